#pragma once
// Small controls of the view tools that mirror the editor: the rotation offsets and the absolute or
// incremental mode of cabinets inserted by mouse, and the position and rotation step selectors.

#include <functional>
#include <vector>

class QComboBox;
class QFormLayout;
class QMenu;
class QTabWidget;
class QWidget;

namespace vendrel {

class TEditor;
class TUIRange;
struct TModelMenuItem;

// The rotation offsets ("Cabinet Rotation. Z axis", "Cabinet Rotation. Y axis") and the two mode
// buttons, as rows of Form; Parent owns the new widgets.
void AddInsertRotationOffsets(TEditor& Editor, QFormLayout* Form, QWidget* Parent);

// A step selector: the user's choice sets the item index; it never takes the keyboard focus, so a
// panel's field keeps it and goes on stepping with Up and Down.
void BindStepSelector(QComboBox* Widget, TUIRange& Index);

// The cabinet-model menu from the library's menu items; a model item runs OnModel with its tag.
void FillModelMenu(QMenu* Menu, const std::vector<TModelMenuItem>& Items,
                   const std::function<void(int)>& OnModel);

// The page in front of a tab control follows the value, and the user's page choice sets it.
void BindPages(QTabWidget* Widget, TUIRange& Page);

} // namespace vendrel
