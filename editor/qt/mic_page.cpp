// The response page: the commands that add points and size their markers, the list of point rows
// under the column titles with the header's colour, tick and remove buttons, the list of overlay rows
// with their import, save and remove buttons, and the response chart.

#include "acoustics/mic_point.h"
#include "acoustics/overlay.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/qt/object_pages.h"
#include "editor/qt/response_chart_widget.h"
#include "editor/qt/ui_bindings.h"
#include "panels/mic_panel.h"
#include "panels/row_list.h"
#include "platform/core/message_box.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace vendrel {

namespace {

QToolButton* headerButton(const QString& Name, const QString& Text, const QString& Hint, QWidget* Parent) {
    auto* b = new QToolButton(Parent);
    b->setObjectName(Name);
    b->setText(Text);
    b->setToolTip(Hint);
    return b;
}

bool confirmed(const std::string& Question) {
    return MessageBoxService().MessageDlg(Question, TMsgDlgType::mtConfirmation,
                                          {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) == TModalResult::mrYes;
}

class TMicPage : public TKindPage {
public:
    explicit TMicPage(TObjectPages& Pages) : pages_(Pages) {}

    std::string KindName() const override { return "TMicPoint"; }
    TMainPage Page() const override { return TMainPage::FreqRespTabItem; }

    void Build(TPageParts& Parts) override {
        TEditor& ed = pages_.Editor();
        TMeasurePoints& points = ed.Points;
        auto* frame = new QWidget(Parts.Widget);
        frame->setObjectName(QStringLiteral("MicResponseFrame"));
        Parts.Widget->layout()->addWidget(frame);
        auto* line = new QHBoxLayout(frame);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(2);

        // Command column.
        auto* commands = new QWidget(frame);
        commands->setFixedWidth(90);
        auto* column = new QVBoxLayout(commands);
        column->setContentsMargins(2, 2, 2, 2);
        auto* add = new QToolButton(commands);
        add->setObjectName(QStringLiteral("AddMicButton"));
        add->setDefaultAction(pages_.Actions().Of(ed.Adding.AddMeasurePointAction));
        add->setToolButtonStyle(Qt::ToolButtonTextOnly);
        add->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        column->addWidget(add);
        column->addWidget(new QLabel(QStringLiteral("Mic Size"), commands));
        auto* size = new QDoubleSpinBox(commands);
        size->setObjectName(QStringLiteral("MicSizeNB"));
        size->setToolTip(QStringLiteral("Mic Size"));
        size->setDecimals(1);
        size->setRange(0.0, 1.0);
        size->setSingleStep(0.1);
        size->setValue(points.MicSize());
        QObject::connect(size, &QDoubleSpinBox::valueChanged, size, [&ed](double v) {
            if (ed.Project.EventsEnabled()) {
                ed.Points.SetMicSize(v);
            }
        });
        column->addWidget(size);
        column->addStretch(1);
        line->addWidget(commands);

        // Point list.
        auto* list = new QWidget(frame);
        list->setFixedWidth(380);
        auto* listColumn = new QVBoxLayout(list);
        listColumn->setContentsMargins(0, 0, 0, 0);
        listColumn->setSpacing(0);
        auto* top = new QWidget(list);
        top->setObjectName(QStringLiteral("TopListPanel"));
        auto* topLine = new QHBoxLayout(top);
        topLine->setContentsMargins(2, 0, 2, 0);
        auto* colors = headerButton(QStringLiteral("DistributeColorsB"), QStringLiteral("Colors"),
                                    QStringLiteral("Assign Colors in the Vendrel Spectrum"), top);
        QObject::connect(colors, &QToolButton::clicked, colors,
                         [&points] { points.Responses.AssignVendrelColorsInMics(0.7f); });
        topLine->addWidget(colors);
        topLine->addStretch(1);
        auto* tickAll = new QCheckBox(top);
        tickAll->setObjectName(QStringLiteral("SelCheckBox"));
        QObject::connect(tickAll, &QCheckBox::clicked, tickAll,
                         [&points](bool on) { points.Responses.TickAllMics(on); });
        topLine->addWidget(tickAll);
        auto* remove = headerButton(QStringLiteral("RemoveB"), QStringLiteral("Remove"),
                                    QStringLiteral("Remove Selected Mics"), top);
        QObject::connect(remove, &QToolButton::clicked, remove, [&points] {
            if (confirmed("Remove selected meassurement points?")) {
                points.RemoveTickedMics();
            }
        });
        topLine->addWidget(remove);
        listColumn->addWidget(top);
        Parts.Rows = new TRowList(
            {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z"), QStringLiteral("msec")}, list);
        Parts.Rows->Header()->setObjectName(QStringLiteral("MicListHeader"));
        Parts.Rows->Scroll()->setObjectName(QStringLiteral("MicScroll"));
        Parts.Rows->Rows()->setObjectName(QStringLiteral("MicScrollBox"));
        listColumn->addWidget(Parts.Rows, 1);
        line->addWidget(list);

        // Overlay list.
        auto* overlays = new QWidget(frame);
        overlays->setFixedWidth(160);
        auto* ovColumn = new QVBoxLayout(overlays);
        ovColumn->setContentsMargins(0, 0, 0, 0);
        ovColumn->setSpacing(0);
        auto* ovTop = new QWidget(overlays);
        auto* ovLine = new QHBoxLayout(ovTop);
        ovLine->setContentsMargins(2, 0, 2, 0);
        ovLine->addWidget(new QLabel(QStringLiteral("Overlays"), ovTop));
        auto* import = new QToolButton(ovTop);
        import->setObjectName(QStringLiteral("ImportOVL"));
        import->setDefaultAction(pages_.Actions().Of(points.ImportOverlayAction));
        import->setText(QStringLiteral("In"));
        ovLine->addWidget(import);
        auto* exportB = new QToolButton(ovTop);
        exportB->setObjectName(QStringLiteral("ExportOVL"));
        exportB->setDefaultAction(pages_.Actions().Of(points.SaveOverlayAction));
        exportB->setText(QStringLiteral("Out"));
        ovLine->addWidget(exportB);
        auto* removeOv = headerButton(QStringLiteral("RemoveOvB"), QStringLiteral("X"),
                                      QStringLiteral("Remove Selected Overlays"), ovTop);
        QObject::connect(removeOv, &QToolButton::clicked, removeOv, [&points] {
            if (confirmed("Remove selected Overlays?")) {
                points.RemoveTickedOverlays();
            }
        });
        ovLine->addWidget(removeOv);
        ovColumn->addWidget(ovTop);
        overlayRows_ = new TRowList({}, overlays);
        overlayRows_->Scroll()->setObjectName(QStringLiteral("OverlayScroll"));
        overlayRows_->Rows()->setObjectName(QStringLiteral("OverlayScrollBox"));
        ovColumn->addWidget(overlayRows_, 1);
        line->addWidget(overlays);

        // Chart.
        auto* chart = new TResponseChartWidget(points.Chart, points.Responses, ed.Project, frame);
        chart->setObjectName(QStringLiteral("ResponseChart"));
        line->addWidget(chart, 1);

        TMeasureResponses& r = points.Responses;
        r.OnOverlayAdded = [this, &ed](TOverlay& Overlay) {
            auto* row = new TOverlayFr(ed.PanelHost, ed.Points.Responses, overlayRows_->Rows());
            row->setObjectName(QStringLiteral("OverlayFrame%1").arg(ed.Project.UniqueID()));
            row->AsignedOverlay = &Overlay;
            AttachPanel(Overlay, row);
            row->UpdateValues();
            overlayRows_->AddRow(row, {});
        };
        r.OnOverlayRowRemoving = [this](TOverlay& Overlay) {
            if (auto* row = dynamic_cast<TOverlayFr*>(DetachPanel(Overlay))) {
                overlayRows_->RemoveRow(row);
            }
        };
        r.OnOverlayChanged = [](TOverlay& Overlay) {
            if (auto* row = PanelOf<TOverlayFr>(Overlay)) {
                row->UpdateValues();
            }
        };
        r.OnTicksChanged = [&ed] {
            for (const auto& mic : ed.Project.Mics()) {
                if (auto* row = PanelOf<TSingleMicFr>(*mic)) {
                    row->ShowTick();
                }
            }
            for (const auto& overlay : ed.Project.Overlays()) {
                if (auto* row = PanelOf<TOverlayFr>(*overlay)) {
                    row->ShowTick();
                }
            }
        };
    }

    IObjectPanel* NewPanel(TQzControl3D& Obj, const TPanelRequest& Request, TPageParts& Parts) override {
        TEditor& ed = pages_.Editor();
        auto* row = new TSingleMicFr(ed.PanelHost, ed.Points.Responses, Parts.Rows->Rows());
        row->setObjectName(QString::fromStdString(Request.Name));
        row->AsignedMic = &static_cast<TMicPoint&>(Obj);
        Parts.Rows->AddRow(row, row->TitledFields());
        return row;
    }

private:
    TObjectPages& pages_;
    TRowList* overlayRows_ = nullptr;
};

} // namespace

std::unique_ptr<TKindPage> MakeMicPage(TObjectPages& Pages) {
    return std::make_unique<TMicPage>(Pages);
}

} // namespace vendrel
