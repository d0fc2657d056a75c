// The result widgets on their own: the response chart mirroring the editor's chart, the distribution
// panel, the window a panel is detached into, and the picture of the view that screenshots save.

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "acoustics/mapping_zone.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/zone_data.h"
#include "editor/editor_state.h"
#include "editor/level_distribution.h"
#include "editor/measure_responses.h"
#include "editor/qt/detached_window.h"
#include "editor/qt/distribution_panel.h"
#include "editor/qt/response_chart_widget.h"
#include "editor/qt/scene_picture.h"
#include "platform/core/atomic_file.h"
#include "platform/core/dispatcher.h"
#include "platform/core/message_box.h"
#include "platform/qt/chart_view.h"
#include "window_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;

struct ResultWidgets : ::testing::Test {
    void SetUp() override {
        testing::EnsureGuardedApplication();
        SetMessageBoxService(&boxes);
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetContinuousRender(false);
    }
    void TearDown() override {
        project.reset();
        SetMessageBoxService(nullptr);
    }
    RecordingMessageBox boxes;
    ManualDispatcher ui;
    TPhysicalSpace medium;
    std::unique_ptr<TAcousticProject> project;
};

TEST_F(ResultWidgets, TheResponseChartMirrorsTheCurvesZoomsWithoutPhaseAndReadsOut) {
    TResponseChart chart;
    uint8_t color = 5;
    TMeasureResponses responses(*project, chart, color);
    TResponseChartWidget widget(chart, responses, *project);
    widget.resize(800, 300);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));

    std::vector<double> curve(static_cast<size_t>(project->NFreqPointsMicGraph()), 70.0);
    TOverlay* overlay = responses.AddOverlay(curve, curve, 0xFFFF0000, false, "A", true, false);
    responses.ShowOverlay(overlay);
    chart.LeftAxis = LevelAxisAfterResponse(70.0);
    chart.Changed(nullptr);
    TChartView& view = *widget.Chart();
    view.Replot();
    EXPECT_EQ(view.PointCount(1), project->NFreqPointsMicGraph());
    EXPECT_EQ(view.Color(1), QColor(0xFF, 0, 0));
    EXPECT_TRUE(view.IsVisible(1));
    EXPECT_DOUBLE_EQ(view.AxisRange(TChartAxis::Left).Max, 80.0);

    // A right-button zoom changes frequency and level, not the phase axis.
    QWidget* plot = view.Plot();
    const QPoint a(int(view.BottomToPixel(100)), int(view.ValueToPixel(TChartAxis::Left, 60)));
    const QPoint b(int(view.BottomToPixel(2000)), int(view.ValueToPixel(TChartAxis::Left, 20)));
    QTest::mousePress(plot, Qt::RightButton, {}, a);
    QTest::mouseMove(plot, b);
    QTest::mouseRelease(plot, Qt::RightButton, {}, b);
    EXPECT_NEAR(view.BottomRange().Max, 2000, 50);
    EXPECT_NEAR(view.AxisRange(TChartAxis::Left).Max, 60, 0.5);
    EXPECT_EQ(view.AxisRange(TChartAxis::Right).Min, -181);
    EXPECT_EQ(view.AxisRange(TChartAxis::Right).Max, 181);

    // The read-out follows the mouse and empties beyond the axes.
    const QPoint inside(int(view.BottomToPixel(1000)), int(view.ValueToPixel(TChartAxis::Left, 40)));
    QTest::mouseMove(plot, inside);
    const QStringList parts = widget.CoordLabel()->text().split("  |  ");
    ASSERT_EQ(parts.size(), 2) << widget.CoordLabel()->text().toStdString();
    EXPECT_NEAR(parts[0].chopped(3).toDouble(), 1000, 10);
    EXPECT_NEAR(parts[1].chopped(3).toDouble(), 40, 0.3);
    EXPECT_TRUE(parts[1].endsWith(" dB"));
    QTest::mouseMove(plot, QPoint(int(view.BottomToPixel(1999)) + 40, inside.y()));
    EXPECT_TRUE(widget.CoordLabel()->text().isEmpty());

    // Show Phase off hides the overlay's phase curve; removal takes both series out of the chart.
    widget.ShowPhaseCheckBox()->click();
    EXPECT_FALSE(view.IsVisible(2));
    responses.RemoveOverlay(overlay);
    EXPECT_FALSE(view.HasSeries(1));
    EXPECT_FALSE(view.HasSeries(2));
}

TEST_F(ResultWidgets, TheDistributionPanelDrawsTheBandsAndHidesWithoutData) {
    project->SetEventsEnabled(false);
    TMappingZone* zone = project->AddMappingZone("Z", TPoint3D(), TPoint3D(), 4, 2, 0.1, false,
                                                 TSurfaceType::qzaRectangle, true);
    TObjectList selection;
    TFormatSettings format;
    TDistributionChart chart(*project, selection, format);
    int32_t steps = 1;
    TDistributionPanel panel(
        chart, [&] { return steps; }, [&](int32_t w) { steps = w; });
    panel.resize(900, 250);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    chart.ShowDistribution(steps);
    EXPECT_TRUE(panel.NoDataLabel()->isVisible());
    EXPECT_FALSE(panel.Chart()->isVisible());

    zone->MapSum()->MapRealFreq().Resize(1, zone->WidthPixels(), zone->DepthPixels());
    zone->MapSum()->MapRealFreq().Fill(90.0f);
    zone->StoreMapState(TCalcState::qzaIsSumed);
    project->SetMaxdBSPL(100);
    chart.ShowDistribution(steps);
    EXPECT_FALSE(panel.NoDataLabel()->isVisible());
    EXPECT_EQ(panel.AvLabel()->text(), "Average: 90.0 dB");
    EXPECT_EQ(panel.Chart()->BarCount(), 36);
    EXPECT_EQ(panel.Chart()->BarLabel(10), "100 %"); // (89, 90]
    EXPECT_EQ(panel.Chart()->BarLabel(9), "0 %");
    EXPECT_FALSE(panel.Chart()->BarLabelVisible(9)); // 1 dB bands under 1000 pixels: every second label
    EXPECT_EQ(panel.DistributionComboBox()->currentText(), "1 dB");

    QTest::keyClick(panel.DistributionComboBox(), Qt::Key_Down);
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(panel.Chart()->BarCount(), 12);
    EXPECT_TRUE(panel.Chart()->BarLabelVisible(1));
}

TEST_F(ResultWidgets, ADetachedPanelGoesBackToItsTabWhenTheWindowCloses) {
    QWidget tab;
    auto* layout = new QVBoxLayout(&tab);
    auto* panel = new QLabel("panel", &tab);
    layout->addWidget(panel);
    TDetachedWindow window("Frequency Meassurements", QSize(1124, 250), QSize(800, 250));
    int detached = 0, returned = 0;
    std::vector<int> keys;
    window.OnDetached = [&] { ++detached; };
    window.OnReturned = [&] { ++returned; };
    window.OnKey = [&](QKeyEvent* e) { keys.push_back(e->key()); };
    window.Detach(panel, &tab);
    EXPECT_EQ(panel->window(), &window);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(detached, 1);
    QTest::keyClick(&window, Qt::Key_R);
    EXPECT_EQ(keys, std::vector<int>{Qt::Key_R});
    window.close();
    EXPECT_EQ(panel->parentWidget(), &tab);
    EXPECT_EQ(returned, 1);
    EXPECT_FALSE(window.IsDetached());
}

TEST_F(ResultWidgets, TheScenePictureAddsTheBarTheCaptionBandAndSavesOnlyWhereItCan) {
    QImage view(300, 200, QImage::Format_ARGB32);
    view.fill(QColor(10, 200, 10));
    QImage bar(40, 100, QImage::Format_ARGB32);
    bar.fill(QColor(200, 10, 10));
    const QImage picture = ComposeScenePicture(view, bar, QImage(), QImage(), "View: 3D    ");
    ASSERT_EQ(picture.size(), QSize(340, 220));
    EXPECT_EQ(QColor(picture.pixel(150, 100)), QColor(10, 200, 10));
    EXPECT_EQ(QColor(picture.pixel(320, 190)), QColor(200, 10, 10)); // the bar stretched to the view's height
    EXPECT_EQ(QColor(picture.pixel(335, 210)), QColor(0x80, 0x80, 0x80));

    const fs::path dir = fs::temp_directory_path() / ("vendrel_shot_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path existing = dir / "Hall 2.jpeg";
    WriteFileAtomically(existing, std::vector<uint8_t>{1, 2, 3});
    EXPECT_EQ(SaveScenePicture(picture, dir / "Hall 2.0 @ 1000 Hz FullBand 3D.jpeg"), "");
    EXPECT_EQ(ReadWholeFile(existing), (std::vector<uint8_t>{1, 2, 3}));
    QImage back;
    ASSERT_TRUE(back.load(QString::fromStdString((dir / "Hall 2.0 @ 1000 Hz FullBand 3D.jpeg").string())));
    EXPECT_EQ(back.size(), picture.size());
    EXPECT_NE(SaveScenePicture(picture, dir / "missing" / "shot.jpeg"), "");
    fs::remove_all(dir);
}

} // namespace
} // namespace vendrel
