// Zones on the venue page: the commands that add and draw zones, and each zone's panel on its tab.

#include "acoustics/mapping_zone.h"
#include "editor/editor.h"
#include "editor/kinds/zone_kind.h"
#include "editor/qt/object_pages.h"
#include "editor/qt/ui_bindings.h"
#include "panels/zone_panel.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace vendrel {

namespace {

class TZonePage : public TKindPage {
public:
    explicit TZonePage(TObjectPages& Pages) : pages_(Pages) {}

    std::string KindName() const override { return "TMappingZone"; }
    TMainPage Page() const override { return TMainPage::VenueAndZonesTabItem; }

    void Build(TPageParts& Parts) override {
        TAddObjects& add = pages_.Editor().Adding;
        const auto command = [&](TUIAction& action, const char* name) {
            auto* b = new QToolButton(Parts.Commands);
            b->setObjectName(QString::fromLatin1(name));
            b->setDefaultAction(pages_.Actions().Of(action));
            b->setToolButtonStyle(Qt::ToolButtonTextOnly);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            Parts.AddCommand(b);
        };
        command(add.AddSurfaceButton, "AddSurfaceButton");
        command(add.AddTrapeziumButton, "AddTrapeziumButton");
        command(add.DrawSurfaceAction, "DrawSurfaceButton");
    }

    IObjectPanel* NewPanel(TQzControl3D& Obj, const TPanelRequest& Request, TPageParts& Parts) override {
        TEditor& ed = pages_.Editor();
        QWidget* page = Parts.TabPages.at(static_cast<size_t>(Request.TabIndex));
        auto* panel = new TZoneFr(ed.PanelHost, *ed.Kinds.Get<TZoneKind>(), page);
        auto* layout = static_cast<QVBoxLayout*>(page->layout());
        layout->addWidget(panel);
        layout->addStretch(1);
        panel->Assign(static_cast<TMappingZone&>(Obj));
        return panel;
    }

private:
    TObjectPages& pages_;
};

} // namespace

std::unique_ptr<TKindPage> MakeZonePage(TObjectPages& Pages) {
    return std::make_unique<TZonePage>(Pages);
}

} // namespace vendrel
