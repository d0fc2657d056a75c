// The line-array page: the commands that add a line array through the setup wizard and aim the array
// in edition at the zones, and each array's panel on its tab.

#include "acoustics/line_array.h"
#include "editor/array_wizard.h"
#include "editor/editor.h"
#include "editor/kinds/line_array_kind.h"
#include "editor/qt/object_pages.h"
#include "editor/qt/ui_bindings.h"
#include "panels/array_wizard_dialog.h"
#include "panels/line_array_panel.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace vendrel {

namespace {

class TLineArrayPage : public TKindPage {
public:
    explicit TLineArrayPage(TObjectPages& Pages) : pages_(Pages) {}

    std::string KindName() const override { return "TCabArray"; }
    TMainPage Page() const override { return TMainPage::LineArrayTabItem; }

    void Build(TPageParts& Parts) override {
        TEditor& ed = pages_.Editor();
        TLineArrayKind& kind = *ed.Kinds.Get<TLineArrayKind>();
        const auto command = [&](TUIAction& action, const char* name) {
            auto* b = new QToolButton(Parts.Commands);
            b->setObjectName(QString::fromLatin1(name));
            b->setDefaultAction(pages_.Actions().Of(action));
            b->setToolButtonStyle(Qt::ToolButtonTextOnly);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            Parts.AddCommand(b);
        };
        command(kind.AddLineArrayAction, "NewArrayB");
        command(kind.ArrayAutoSplayAction, "ArrayAutoSplayB");
        QWidget* window = Parts.Widget;
        kind.RunWizard = [this, &ed, window](TCabArray& Array) {
            // One wizard and its window for the program's life, made at the first use.
            if (!wizard_) {
                wizard_ = std::make_unique<TArrayWizard>(ed.Project, ed.Library);
                wizard_->OnUpdateRenderControls = [&ed] { ed.UpdateRenderControls(); };
                dialog_ = std::make_unique<TArrayWizardDialog>(*wizard_, ed.Library, window->window());
                dialog_->setObjectName(QStringLiteral("WizardArrayForm"));
            }
            wizard_->FormatSettings = ed.PanelHost.FormatSettings();
            return dialog_->Run(&Array);
        };
    }

    IObjectPanel* NewPanel(TQzControl3D& Obj, const TPanelRequest& Request, TPageParts& Parts) override {
        TEditor& ed = pages_.Editor();
        QWidget* page = Parts.TabPages.at(static_cast<size_t>(Request.TabIndex));
        auto* panel = new TLineArrayConfigFr(ed.PanelHost, *ed.Kinds.Get<TLineArrayKind>(), page);
        static_cast<QVBoxLayout*>(page->layout())->addWidget(panel, 1);
        panel->Assign(static_cast<TCabArray&>(Obj));
        return panel;
    }

private:
    TObjectPages& pages_;
    std::unique_ptr<TArrayWizard> wizard_;
    std::unique_ptr<TArrayWizardDialog> dialog_;
};

} // namespace

std::unique_ptr<TKindPage> MakeLineArrayPage(TObjectPages& Pages) {
    return std::make_unique<TLineArrayPage>(Pages);
}

} // namespace vendrel
