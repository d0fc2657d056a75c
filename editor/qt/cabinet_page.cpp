// The cabinets page: the command that adds a cabinet and one row per loose cabinet under column titles.

#include "acoustics/cabinet.h"
#include "editor/editor.h"
#include "editor/qt/object_pages.h"
#include "editor/qt/ui_bindings.h"
#include "panels/cabinet_panel.h"
#include "panels/row_list.h"

#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace vendrel {

namespace {

class TCabinetPage : public TKindPage {
public:
    explicit TCabinetPage(TObjectPages& Pages) : pages_(Pages) {}

    std::string KindName() const override { return "TCabinet"; }
    TMainPage Page() const override { return TMainPage::CabinetsTabItem; }

    void Build(TPageParts& Parts) override {
        TEditor& ed = pages_.Editor();
        auto* add = new QToolButton(Parts.Commands);
        add->setObjectName(QStringLiteral("AddCabinetB"));
        add->setDefaultAction(pages_.Actions().Of(ed.Adding.AddCabinetAction));
        add->setToolButtonStyle(Qt::ToolButtonTextOnly);
        add->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        Parts.AddCommand(add);
        Parts.Rows = new TRowList({QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z"),
                                   QStringLiteral("Rot X"), QStringLiteral("Rot Y"), QStringLiteral("Rot Z")},
                                  Parts.Area);
        Parts.Rows->Header()->setObjectName(QStringLiteral("CabinetListHeader"));
        Parts.Rows->Scroll()->setObjectName(QStringLiteral("CabinetScroll"));
        Parts.Rows->Rows()->setObjectName(QStringLiteral("CabinetScrollBox"));
        Parts.AreaLayout->addWidget(Parts.Rows);
    }

    IObjectPanel* NewPanel(TQzControl3D& Obj, const TPanelRequest& Request, TPageParts& Parts) override {
        auto* row = new TCabinetsFr(pages_.Editor().PanelHost, Parts.Rows->Rows());
        row->setObjectName(QString::fromStdString(Request.Name));
        row->AsignedCabinet = &static_cast<TCabinet&>(Obj);
        Parts.Rows->AddRow(row, row->TitledFields());
        return row;
    }

private:
    TObjectPages& pages_;
};

} // namespace

std::unique_ptr<TKindPage> MakeCabinetPage(TObjectPages& Pages) {
    return std::make_unique<TCabinetPage>(Pages);
}

} // namespace vendrel
