// Ornaments on the venue page: the command that opens the library picker of ornaments, and each
// ornament's panel on its tab.

#include "acoustics/ornament.h"
#include "editor/editor.h"
#include "editor/qt/library_picker_window.h"
#include "editor/qt/object_pages.h"
#include "editor/qt/ui_bindings.h"
#include "panels/ornament_panel.h"

#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace vendrel {

namespace {

class TOrnamentPage : public TKindPage {
public:
    explicit TOrnamentPage(TObjectPages& Pages) : pages_(Pages) {}

    std::string KindName() const override { return "TOrnament"; }
    TMainPage Page() const override { return TMainPage::VenueAndZonesTabItem; }

    void Build(TPageParts& Parts) override {
        TEditor& ed = pages_.Editor();
        auto* add = new QToolButton(Parts.Commands);
        add->setObjectName(QStringLiteral("AddOrnamentButton"));
        add->setDefaultAction(pages_.Actions().Of(ed.Picker.OpenLibOrnamentAction));
        add->setToolButtonStyle(Qt::ToolButtonTextOnly);
        add->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        Parts.AddCommand(add);
        // The picker's window goes with the page; the editor's calls find it gone then.
        QPointer<TLibraryPickerWindow> window = new TLibraryPickerWindow(ed.Picker, Parts.Widget);
        ed.Picker.OnShowWindow = [window] {
            if (window != nullptr) {
                window->ShowItems();
            }
        };
        ed.Adding.OnBringOrnamentPickerToFront = [window] {
            if (window != nullptr && window->isVisible()) {
                window->raise();
            }
        };
    }

    IObjectPanel* NewPanel(TQzControl3D& Obj, const TPanelRequest& Request, TPageParts& Parts) override {
        QWidget* page = Parts.TabPages.at(static_cast<size_t>(Request.TabIndex));
        auto* panel = new TOrnamentFr(pages_.Editor().PanelHost, page);
        auto* layout = static_cast<QVBoxLayout*>(page->layout());
        layout->addWidget(panel);
        layout->addStretch(1);
        panel->AsignedOrna = &static_cast<TOrnament&>(Obj);
        return panel;
    }

private:
    TObjectPages& pages_;
};

} // namespace

std::unique_ptr<TKindPage> MakeOrnamentPage(TObjectPages& Pages) {
    return std::make_unique<TOrnamentPage>(Pages);
}

} // namespace vendrel
