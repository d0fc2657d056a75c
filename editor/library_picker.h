#pragma once
// The library picker apart from its window: one list of library items, each with a picture and its
// details, in four modes told apart by what opened it.
//
// - Texture mode (a zone's "Lib Texture"): the library textures with their pixel sizes; the chosen
//   texture's name is the result.
// - Ornament mode ("Insert Ornamental Object", shown without waiting): the ornament models with a
//   picture of each and their sizes; a click arms the insertion of that ornament by mouse, and closing
//   the picker ends it.
// - Beam-steering mode ("Add Beam Steering"): the cabinet models that allow beam steering, with their
//   own pictures; a click chooses the model (SelectedBeamStModelID).
// - Sound-system mode (anything else): the library sound systems with their pictures and
//   descriptions; the chosen item's index is the result.
//
// A picture that does not decode lists its item without a picture.

#include "editor/ui_values.h"
#include "platform/core/bitmap.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vendrel {

class TEditor;
class TModel3D;
class TMaterialSource;

enum class TLibraryPickerMode : uint8_t { Texture, Ornament, BeamSteering, SoundSystem };

struct TLibraryPickerItem {
    std::string Text;
    int32_t Tag = 0;      // the index of the texture, ornament model or sound system; a model's ModelID
    int32_t Height = 120; // the item's height in the list, pixels
    std::optional<TBitmap> Picture;
    std::string Detail;
};

class TLibraryPicker {
public:
    explicit TLibraryPicker(TEditor& Editor);

    // "Insert Ornamental Object": a pending insertion ends and the picker lists the ornaments, shown
    // without waiting. Enabled while the library holds an ornament.
    TUIAction OpenLibOrnamentAction{"Insert Ornamental Object"};
    void OpenLibOrnamentActionExecute();
    // Shows the picker's window (set by the window; it returns at once).
    std::function<void()> OnShowWindow;

    // What opened the picker (its tag object).
    TLibraryPickerMode Mode = TLibraryPickerMode::SoundSystem;

    std::string Caption;
    std::string ButtonText;
    bool OkButtonEnabled = false;
    bool ViewportVisible = true; // the small 3D view that draws the ornament pictures
    std::vector<TLibraryPickerItem> Items;
    int32_t ItemIndex = -1;
    // The chosen item's text, after OK.
    std::string Name;
    // The cabinet model chosen for a new beam-steering array; -1 before a choice.
    int32_t SelectedBeamStModelID = -1;

    // Draws the picture of an ornament model (its library 3D model, material and size) as the window's
    // small 3D view shows it; none leaves the item without a picture.
    std::function<std::optional<TBitmap>(const TModel3D& Model, TMaterialSource* Material, float Width,
                                         float Height, float Depth)>
        RenderOrnamentPicture;

    // The list filled for the mode; the button disabled until an item is clicked (ornament and
    // beam-steering modes enable it at once).
    void FormShow();
    void LibListViewItemClick(int32_t Index);
    // Stores the chosen item's text in Name; true (OK) in every case, as the button closes the picker.
    bool OkButtonClick();
    // The pictures go (beam-steering pictures are the models' own and stay with them); a pending
    // insertion ends.
    void FormClose();

private:
    void fillTextures();
    void fillOrnaments();
    void fillBeamSteering();
    void fillSoundSystems();

    TEditor& ed_;
};

} // namespace vendrel
