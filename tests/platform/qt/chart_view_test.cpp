#include "platform/qt/chart_view.h"

#include "qt_app.h"

#include <QSignalSpy>
#include <QTest>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vendrel {
namespace {

struct ChartFixture : ::testing::Test {
    void SetUp() override {
        testing::EnsureQApplication();
        chart = std::make_unique<TChartView>();
        chart->resize(600, 300);
        chart->SetFrequencyAxis();
        chart->SetAxisRange(TChartAxis::Left, 20, 100);
        chart->SetAxisRange(TChartAxis::Right, -181, 181);
        chart->show();
        chart->Replot();
    }
    std::unique_ptr<TChartView> chart;
};

TEST_F(ChartFixture, TheFrequencyAxisIsLogarithmicWithItsTwentyNineMarks) {
    const std::vector<TChartMark>& marks = TChartView::FrequencyMarks();
    ASSERT_EQ(marks.size(), 29u);
    EXPECT_EQ(marks.front().Value, 20.0);
    EXPECT_EQ(marks.back().Value, 20000.0);
    QStringList labelled;
    for (const TChartMark& m : marks) {
        if (!m.Label.isEmpty()) {
            labelled << m.Label;
        }
    }
    EXPECT_EQ(labelled.join(' '), "20 30 40 60 80 100 200 300 400 600 1k 2k 3k 4k 6k 10k 15k 20k");
    QCPAxis* x = chart->Plot()->xAxis;
    EXPECT_EQ(x->scaleType(), QCPAxis::stLogarithmic);
    const auto ticker = qSharedPointerDynamicCast<QCPAxisTickerText>(x->ticker());
    ASSERT_TRUE(ticker);
    EXPECT_EQ(ticker->subTickCount(), 0);
    EXPECT_EQ(ticker->ticks().size(), 29);
    EXPECT_EQ(ticker->ticks().value(1000), "1k");
    EXPECT_FALSE(x->grid()->subGridVisible());

    // Equal ratios are equal distances; a pixel maps back to its value.
    const double p20 = chart->BottomToPixel(20), p200 = chart->BottomToPixel(200);
    const double p2k = chart->BottomToPixel(2000);
    EXPECT_NEAR(p200 - p20, p2k - p200, 1e-6);
    EXPECT_NEAR(chart->PixelToBottom(chart->BottomToPixel(1234.5)), 1234.5, 1e-6);
    EXPECT_NEAR(chart->PixelToValue(TChartAxis::Left, chart->ValueToPixel(TChartAxis::Left, 63.2)), 63.2,
                1e-9);
    EXPECT_TRUE(
        chart->PlotArea().contains(QPoint(int(p200), int(chart->ValueToPixel(TChartAxis::Left, 60)))));
}

TEST_F(ChartFixture, AnAreaIsFilledDownToZeroOfItsAxis) {
    chart->SetAxisRange(TChartAxis::Left, -20, 20);
    const auto id = chart->AddArea(TChartAxis::Left, Qt::yellow, 1, QColor(0, 0, 255));
    const std::vector<double> x{20, 20000}, y{10, 10};
    chart->SetData(id, x, y);
    chart->SetPlotBackground(Qt::black, Qt::black);
    chart->Replot();
    const QImage image = chart->grab().toImage();
    const int px = int(chart->BottomToPixel(1000));
    const auto at = [&](double v) {
        return QColor(image.pixel(px, int(chart->ValueToPixel(TChartAxis::Left, v))));
    };
    EXPECT_EQ(at(5), QColor(0, 0, 255));  // between the line and 0
    EXPECT_EQ(at(15), QColor(Qt::black)); // above the line
    EXPECT_EQ(at(-5), QColor(Qt::black)); // below 0

    // A translucent line is drawn laid over the background, opaque; its colour reads back as set.
    const auto line = chart->AddLine(TChartAxis::Left, QColor(255, 0, 0, 128), 3);
    const std::vector<double> low{-10, -10};
    chart->SetData(line, x, low);
    chart->Replot();
    const QImage second = chart->grab().toImage();
    EXPECT_EQ(QColor(second.pixel(px, int(chart->ValueToPixel(TChartAxis::Left, -10)))), QColor(128, 0, 0));
    EXPECT_EQ(chart->Color(line), QColor(255, 0, 0, 128));
}

TEST_F(ChartFixture, LabelledPointsAreFoundUnderTheMouse) {
    const auto id = chart->AddLabelledPoints(TChartAxis::Left, Qt::white, 8);
    const std::vector<double> x{100, 1000, 10000}, y{40, 60, 80};
    chart->SetLabelledData(id, x, y, {"1", "2", "3"});
    const QPointF second(chart->BottomToPixel(1000), chart->ValueToPixel(TChartAxis::Left, 60));
    EXPECT_EQ(chart->HitTest(id, second + QPointF(3, -2), 6), 1);
    EXPECT_EQ(chart->HitTest(id, second + QPointF(10, 0), 6), -1);
    chart->SetVisible(id, false);
    EXPECT_EQ(chart->HitTest(id, second, 6), -1);
    EXPECT_EQ(chart->PointCount(id), 3);
    chart->RemoveSeries(id);
    EXPECT_FALSE(chart->HasSeries(id));
}

TEST_F(ChartFixture, TheRightButtonZoomsInDownRightAndBackOtherwiseWithoutThePhaseAxis) {
    chart->SetRightButtonZoom(true);
    chart->SetLeftButtonPan(Qt::Vertical);
    QSignalSpy changed(chart.get(), &TChartView::RangesChangedByUser);
    QWidget* plot = chart->Plot();
    const QPoint a(int(chart->BottomToPixel(100)), int(chart->ValueToPixel(TChartAxis::Left, 90)));
    const QPoint b(int(chart->BottomToPixel(1000)), int(chart->ValueToPixel(TChartAxis::Left, 50)));
    QTest::mousePress(plot, Qt::RightButton, {}, a);
    QTest::mouseMove(plot, b);
    QTest::mouseRelease(plot, Qt::RightButton, {}, b);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_NEAR(chart->BottomRange().Min, 100, 2);
    EXPECT_NEAR(chart->BottomRange().Max, 1000, 20);
    EXPECT_NEAR(chart->AxisRange(TChartAxis::Left).Min, 50, 0.5);
    EXPECT_NEAR(chart->AxisRange(TChartAxis::Left).Max, 90, 0.5);
    EXPECT_EQ(chart->AxisRange(TChartAxis::Right).Min, -181);
    EXPECT_EQ(chart->AxisRange(TChartAxis::Right).Max, 181);

    // Up and to the left: back to the ranges the program set.
    QTest::mousePress(plot, Qt::RightButton, {}, b);
    QTest::mouseMove(plot, a);
    QTest::mouseRelease(plot, Qt::RightButton, {}, a);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_DOUBLE_EQ(chart->BottomRange().Min, 20);
    EXPECT_DOUBLE_EQ(chart->BottomRange().Max, 20000);
    EXPECT_DOUBLE_EQ(chart->AxisRange(TChartAxis::Left).Max, 100);

    // A left drag pans the level only.
    QTest::mousePress(plot, Qt::LeftButton, {}, a);
    QTest::mouseMove(plot, a + QPoint(40, 30));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, a + QPoint(40, 30));
    EXPECT_EQ(changed.count(), 3);
    EXPECT_DOUBLE_EQ(chart->BottomRange().Min, 20);
    EXPECT_GT(chart->AxisRange(TChartAxis::Left).Max, 100);
    EXPECT_EQ(chart->AxisRange(TChartAxis::Right).Max, 181);
}

TEST_F(ChartFixture, BarsHaveTheirOwnColoursAndEveryStepthLabel) {
    chart->SetBottomMarks({{68, "68"}, {71, "71"}, {74, "74"}});
    chart->SetBottomRange(68, 77);
    chart->SetAxisRange(TChartAxis::Left, 0, 10);
    const std::vector<double> x{69.5, 72.5, 75.5}, h{4, 8, 6};
    chart->SetBars(x, h, {Qt::red, Qt::green, Qt::blue}, {"22.2 %", "44.4 %", "33.3 %"}, 3 * 0.99);
    chart->SetBarLabelStep(2);
    ASSERT_EQ(chart->BarCount(), 3);
    EXPECT_EQ(chart->BarLabel(1), "44.4 %");
    EXPECT_TRUE(chart->BarLabelVisible(0));
    EXPECT_FALSE(chart->BarLabelVisible(1));
    EXPECT_TRUE(chart->BarLabelVisible(2));
    chart->SetPlotBackground(Qt::black, Qt::black);
    chart->Replot();
    const QImage image = chart->grab().toImage();
    const auto at = [&](double x, double v) {
        return QColor(
            image.pixel(int(chart->BottomToPixel(x)), int(chart->ValueToPixel(TChartAxis::Left, v))));
    };
    EXPECT_EQ(at(70.5, 1), QColor(Qt::red));
    EXPECT_EQ(at(73.5, 7), QColor(Qt::green));
    EXPECT_EQ(at(76.5, 1), QColor(Qt::blue));
    EXPECT_EQ(at(73.5, 9), QColor(Qt::black));
}

} // namespace
} // namespace vendrel
