// Ornaments on the venue page: each ornament's panel on its tab.

#include "acoustics/ornament.h"
#include "editor/editor.h"
#include "editor/qt/object_pages.h"
#include "panels/ornament_panel.h"

#include <QVBoxLayout>

#include <memory>

namespace vendrel {

namespace {

class TOrnamentPage : public TKindPage {
public:
    explicit TOrnamentPage(TObjectPages& Pages) : pages_(Pages) {}

    std::string KindName() const override { return "TOrnament"; }
    TMainPage Page() const override { return TMainPage::VenueAndZonesTabItem; }

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
