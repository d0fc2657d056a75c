// Rendering in the real window: level maps painted on a zone, checked in the grabbed framebuffer at
// the projected centres of map texels against the palette colour of the level computed there.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "editor/adding.h"
#include "editor/documents.h"
#include "editor/editor.h"
#include "editor/object_panels.h"
#include "editor/palettes.h"
#include "editor/qt/map_bar.h"
#include "editor/qt/viewport_panel.h"
#include "editor/scene_objects.h"
#include "panels/zone_panel.h"
#include "platform/core/camera.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/worker_thread.h"
#include "scene/extruded_shape.h"
#include "window_fixture.h"

namespace vendrel {
namespace {

using testing::ProgramWindow;

// Scene point of the centre of map texel (x, y) on a zone's drawn SPL surface.
TPoint3D texelCentre(const TMappingZone& zone, int x, int y) {
    const TQzExtrudedShape3D& solid = *TSceneObjects::ZoneSolid(zone);
    const float pixel = static_cast<float>(zone.PhysicalSpace()->PixelToMeters());
    const auto& v = solid.Data.VertexBuffer;
    float left = v.at(0).Position.X, top = v.at(0).Position.Y;
    for (const auto& p : v) {
        left = std::min(left, p.Position.X);
        top = std::min(top, p.Position.Y);
    }
    return solid.LocalToAbsolute3D({left + (x + 0.5f) * pixel, top + (y + 0.5f) * pixel, v[0].Position.Z});
}

int channelDistance(QColor a, TAlphaColor b) {
    return std::max(
        {std::abs(a.red() - RedOf(b)), std::abs(a.green() - GreenOf(b)), std::abs(a.blue() - BlueOf(b))});
}

class RenderWindow : public ProgramWindow {
protected:
    void SetUp() override {
        ProgramWindow::SetUp();
        SetIdlePriorityEnabled(false);
    }
    void TearDown() override {
        program.reset(); // the project and its cabinets go before the model they use
        model.reset();
        SetIdlePriorityEnabled(true);
        ProgramWindow::TearDown();
    }

    TEditor& editor() const { return *main()->Editor; }
    TAcousticProject& project() const { return *main()->AcousticProject; }
    TEditorGLView* gl() const { return main()->ViewportPanel()->GLView(); }
    TMapBarPanel& bar() const { return *main()->MapBar(); }

    // Starts the program with 1 m map pixels and an omnidirectional model of about 120 dB at 1 m.
    void startWithModel() {
        ASSERT_TRUE(start());
        ASSERT_TRUE(QTest::qWaitForWindowActive(main()));
        editor().Render.VeryLowItem.Click();
        ASSERT_EQ(main()->PhysicalSpace->PixelToMeters(), 1.0);
        model = std::make_unique<TCabModel>(main()->PhysicalSpace.get(), &project());
        model->SetPolarResolutionDegrees(30);
        for (size_t e = 0; e < model->PolarData()[0].size(); ++e) {
            for (size_t a = 0; a < model->PolarData()[0][e].size(); ++a) {
                rPolarData direction = model->PolarData()[0][e][a];
                std::fill(direction.MagnitudePerFreq.begin(), direction.MagnitudePerFreq.end(), 1e6f);
                model->SetPolarPoint(0, e, a, std::move(direction));
            }
        }
    }
    // A 20 x 10 m zone on the floor, X from -10 to 10, Z from -5 to 5, added as the window adds it.
    TMappingZone& addZone() {
        return *editor().Adding.AddNewMappingZone("Zone", TPoint3D(-10, 0, 0), TPoint3D(), 20, 10, 0.1f,
                                                  false, TSurfaceType::qzaRectangle, true,
                                                  editor().Layers.SelectedLayer, {});
    }
    TCabinet& addCabinet(TPoint3D at) {
        return *project().AddCabinet(model.get(), at, TPoint3D(), false, TCabPlacement::qzaVertical, 0, true);
    }
    // The top view, zoomed so that the zone fills most of the view.
    void topView() {
        QTest::keyClick(main(), Qt::Key_F3);
        editor().Views.ZoomSpinBox.SetValue(-30);
        QCoreApplication::processEvents();
    }
    bool clickRenderAndWait() {
        QTest::mouseClick(bar().RenderB(), Qt::LeftButton);
        return waitCalculated();
    }
    bool waitCalculated() {
        return QTest::qWaitFor(
            [&] {
                return bar().RenderB()->property("imageIndex").toInt() == 41 &&
                       !bar().RenderingIndicator()->isVisible();
            },
            30000);
    }
    QImage frame() {
        gl()->update();
        QCoreApplication::processEvents();
        EXPECT_TRUE(gl()->IsReady());
        return gl()->grabFramebuffer();
    }
    QPoint screenOf(TPoint3D p) const {
        TPoint3D s;
        EXPECT_TRUE(editor().Scene.Viewport3D1->Camera()->WorldToScreen(p, gl()->width(), gl()->height(), s));
        return {static_cast<int>(std::floor(s.X)), static_cast<int>(std::floor(s.Y))};
    }
    // The palette entry of a level as the colouring computes it.
    int entryOf(const TMappingZone& zone, int x, int y) const {
        const double k = 300.0 / editor().Colors.SPLRangeBox.Value();
        return PaletteIndexOf(zone.MapSum()->MapRealFreq().At(0, x, y), project().MaxdBSPL(), k, 300);
    }
    // The palette entry nearest to a framebuffer colour.
    int nearestEntry(QColor c) const {
        int best = 0, bestDistance = 1 << 30;
        for (int i = 0; i < 300; ++i) {
            const TAlphaColor p = project().MappingColors()[static_cast<size_t>(i)];
            const int d = channelDistance(c, p);
            if (d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        return best;
    }
    void typeInto(QDoubleSpinBox* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    std::unique_ptr<TCabModel> model;
};

TEST_F(RenderWindow, RenderPaintsThePaletteColourOfEachTexelsLevel) {
    startWithModel();
    TMappingZone& zone = addZone();
    addCabinet({-3, -6, 1});
    topView();
    // A fixed scale: maximum 110 dB over 36 dB.
    bar().AutoScaleCheckBox()->click();
    ASSERT_FALSE(project().SPLNormalized());
    typeInto(bar().MaxdBuEdit(), "110");
    ASSERT_EQ(project().MaxdBSPL(), 110);
    ASSERT_EQ(bar().SPLRangeBox()->value(), 36);

    ASSERT_TRUE(clickRenderAndWait());
    EXPECT_EQ(bar().RenderB()->property("styleLookup").toString(),
              QStringLiteral("CornerButtonRenderGreenStyle"));
    ASSERT_EQ(zone.WidthPixels(), 20);
    ASSERT_EQ(zone.DepthPixels(), 10);
    const QImage image = frame();
    image.save("/tmp/vendrel_render_top.png");
    main()->grab().save("/tmp/vendrel_render_window.png");
    int distinct = 0, previous = -1;
    for (const auto& [x, y] : {std::pair{2, 2}, {7, 5}, {12, 3}, {17, 8}, {4, 7}}) {
        const int entry = entryOf(zone, x, y);
        distinct += entry != previous ? 1 : 0;
        previous = entry;
        const TAlphaColor expected = project().MappingColors()[static_cast<size_t>(entry)];
        const QPoint at = screenOf(texelCentre(zone, x, y));
        ASSERT_TRUE(image.rect().contains(at));
        EXPECT_LE(channelDistance(image.pixelColor(at), expected), 2)
            << "texel " << x << ", " << y << " entry " << entry << " at " << at.x() << ", " << at.y();
    }
    EXPECT_GE(distinct, 3) << "the texels checked must differ in colour";
}

TEST_F(RenderWindow, TheCornerUnderTheCabinetIsTheLoudOneInTopAnd3DViews) {
    startWithModel();
    TMappingZone& zone = addZone();
    // Over the corner of texel (0, 0): the kernel's first width and depth pixels.
    addCabinet({-9.5f, -4, 4.5f});
    topView();
    ASSERT_TRUE(clickRenderAndWait());
    const int w = zone.WidthPixels(), d = zone.DepthPixels();
    ASSERT_GT(zone.MapSum()->MapRealFreq().At(0, 0, 0), zone.MapSum()->MapRealFreq().At(0, w - 1, d - 1) + 6);
    // Texel (0, 0) is drawn right under the cabinet: the drawn map is not mirrored against the venue.
    const TPoint3D corner = texelCentre(zone, 0, 0);
    EXPECT_NEAR(corner.X, -9.5, 1e-3);
    EXPECT_NEAR(corner.Z, 4.5, 1e-3);
    for (const bool threeD : {false, true}) {
        SCOPED_TRACE(threeD ? "3D view" : "top view");
        if (threeD) {
            QTest::keyClick(main(), Qt::Key_F1);
            editor().Views.ZoomSpinBox.SetValue(-40);
        }
        const QImage image = frame();
        const QPoint near = screenOf(texelCentre(zone, 0, 0));
        const QPoint far = screenOf(texelCentre(zone, w - 1, d - 1));
        ASSERT_TRUE(image.rect().contains(near));
        ASSERT_TRUE(image.rect().contains(far));
        EXPECT_LT(nearestEntry(image.pixelColor(near)) + 20, nearestEntry(image.pixelColor(far)));
        // Seen at a slant in the 3D view, a texel is filtered with its neighbours: one level apart at most.
        EXPECT_NEAR(nearestEntry(image.pixelColor(near)), entryOf(zone, 0, 0), threeD ? 1 : 0);
    }
}

TEST_F(RenderWindow, RenderWithoutAZoneDoesNothingAndEscAbortsARunningRender) {
    startWithModel();
    addCabinet({0, -6, 0});
    const int image = bar().RenderB()->property("imageIndex").toInt();
    QTest::mouseClick(bar().RenderB(), Qt::LeftButton);
    EXPECT_EQ(bar().RenderB()->property("imageIndex").toInt(), image);
    EXPECT_FALSE(bar().RenderingIndicator()->isVisible());
    EXPECT_FALSE(project().AllMapsThread().Active());
    EXPECT_FALSE(project().ForceCalculation());

    TMappingZone& zone = addZone();
    const std::shared_ptr<const TBitmap> texture = zone.MapMaterial()->Material().Texture;
    gl()->setFocus();
    QTest::mouseClick(bar().RenderB(), Qt::LeftButton);
    EXPECT_TRUE(bar().RenderingIndicator()->isVisible());
    EXPECT_EQ(bar().RenderBLabel()->text(), QStringLiteral("Rendering..."));
    // The results are delivered through the event loop, which has not run since the click.
    QTest::keyClick(gl(), Qt::Key_Escape);
    EXPECT_TRUE(project().AbortCalculation());
    EXPECT_FALSE(bar().RenderingIndicator()->isVisible());
    EXPECT_EQ(bar().RenderB()->property("imageIndex").toInt(), 42);
    QTest::qWait(300);
    EXPECT_EQ(zone.MapMaterial()->Material().Texture, texture) << "an aborted run paints nothing";

    ASSERT_TRUE(clickRenderAndWait());
    EXPECT_FALSE(project().AbortCalculation());
    EXPECT_NE(zone.MapMaterial()->Material().Texture, texture);
}

// An empty project's progress is an empty bar, never Qt's endless busy bar; a value stays within the
// maximum and a finished render fills the bar.
TEST_F(RenderWindow, TheProgressBarIsNeverBusyAndAFinishedRenderFillsIt) {
    startWithModel();
    auto* shown = main()->findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
    ASSERT_NE(shown, nullptr);
    IProgressBar& progress = *project().ProgressBar();
    const struct {
        double max, value, expected;
    } cases[] = {{0, 0, 0},
                 {0, 5, 0},
                 {4, 9, 4},
                 {4, -1, 0},
                 {std::numeric_limits<double>::quiet_NaN(), 2, 0},
                 {4, std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& c : cases) {
        progress.SetMax(c.max);
        progress.SetValue(c.value);
        EXPECT_EQ(progress.Value(), c.expected) << c.max << " " << c.value;
        EXPECT_LT(shown->minimum(), shown->maximum()) << c.max << " " << c.value;
        EXPECT_EQ(shown->value(), static_cast<int>(c.expected)) << c.max << " " << c.value;
    }

    addCabinet({0, -6, 0});
    addZone();
    ASSERT_TRUE(clickRenderAndWait());
    EXPECT_GT(shown->maximum(), 0);
    EXPECT_EQ(shown->value(), shown->maximum());
}

TEST_F(RenderWindow, StepsAndRangeRecolourAndReachTheSettings) {
    startWithModel();
    addZone();
    addCabinet({0, -6, 0});
    ASSERT_TRUE(clickRenderAndWait());
    QComboBox* steps = bar().ColorStepsComboBox();
    steps->setFocus();
    QTest::keyClick(steps, Qt::Key_Down);
    QTest::keyClick(steps, Qt::Key_Down);
    ASSERT_EQ(steps->currentText(), QStringLiteral("3 dB"));
    EXPECT_EQ(editor().Colors.ColorMapStepsdB, 3);
    TBitmap raw;
    LoadPaletteBitmap(raw, "MapVendrel");
    for (int i : {0, 24, 25, 49, 299}) {
        EXPECT_EQ(project().MappingColors()[static_cast<size_t>(i)], raw.Pixel(0, i / 25 * 25)) << i;
    }
    for (const auto& [typed, kept] : {std::pair{"20", 18}, {"15", 12}, {"21", 24}}) {
        typeInto(bar().SPLRangeBox(), QString::fromLatin1(typed));
        EXPECT_EQ(bar().SPLRangeBox()->value(), kept);
        EXPECT_EQ(project().RangedBSPL(), kept);
    }
    editor().Colors.FireItem.Click();
    stop();
    TMemIniFile ini((appData() / "Pref.ini").string());
    EXPECT_EQ(ini.ReadInteger("Options", "ColorSteps", -1), 2);
    EXPECT_EQ(ini.ReadInteger("Options", "MappingColors", -1), 1);
}

TEST_F(RenderWindow, AMaximumOf30dBOrANaNLevelPaintsTheLastEntry) {
    startWithModel();
    TMappingZone& zone = addZone();
    addCabinet({0, -6, 0});
    topView();
    ASSERT_TRUE(clickRenderAndWait());
    const TAlphaColor last = project().MappingColors().back();
    // A NaN among quiet neighbours: the view's blending at the texel's centre mixes in only their
    // colour, which is the last entry too.
    for (int y = 4; y <= 6; ++y) {
        for (int x = 4; x <= 6; ++x) {
            zone.MapSum()->MapRealFreq().At(0, x, y) = 0.0f;
        }
    }
    zone.MapSum()->MapRealFreq().At(0, 5, 5) = std::numeric_limits<float>::quiet_NaN();
    typeInto(bar().SPLRangeBox(), "30");
    QImage image = frame();
    EXPECT_LE(channelDistance(image.pixelColor(screenOf(texelCentre(zone, 5, 5))), last), 2);
    EXPECT_GT(channelDistance(image.pixelColor(screenOf(texelCentre(zone, 10, 5))), last), 20);

    bar().AutoScaleCheckBox()->click();
    typeInto(bar().MaxdBuEdit(), "30");
    ASSERT_EQ(project().MaxdBSPL(), 30);
    image = frame();
    for (int y = 0; y < zone.DepthPixels(); y += 3) {
        for (int x = 0; x < zone.WidthPixels(); x += 3) {
            EXPECT_LE(channelDistance(image.pixelColor(screenOf(texelCentre(zone, x, y))), last), 2)
                << x << ", " << y;
        }
    }
}

TEST_F(RenderWindow, AVenueBuiltInTheWindowWithALibraryCabinetRenders) {
    namespace fs = std::filesystem;
    const fs::path sample = fs::path(TEST_DATA_DIR) / ".." / ".." / "tools" / "sample_library" / "library";
    fs::create_directories(appData() / "Cabinets");
    fs::copy_file(sample / "Cabinets" / "SP12.cabinet", appData() / "Cabinets" / "SP12.cabinet");
    ASSERT_TRUE(start());
    QToolButton* add = main()->findChild<QToolButton*>(QStringLiteral("AddSurfaceButton"));
    ASSERT_NE(add, nullptr);
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(project().NMappingZones(), 1);
    TMappingZone& zone = *project().MappingZones()[0];
    const TPoint3D centre = zone.Position();
    ASSERT_NE(editor().Adding.AddNewCabinet("SP12", "", "", {centre.X - 2, -6, centre.Z}, {}, false,
                                            TCabPlacement::qzaVertical, 0, true, false,
                                            editor().Layers.SelectedLayer, 0, 0),
              nullptr);
    ASSERT_TRUE(clickRenderAndWait());
    const std::vector<TAlphaColor>& pixels = zone.MapBMP().Pixels();
    ASSERT_FALSE(pixels.empty());
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), pixels.front()),
              static_cast<std::ptrdiff_t>(pixels.size()));
    EXPECT_EQ(*zone.MapMaterial()->Material().Texture, zone.MapBMP());
}

// Whether a framebuffer colour is one of the level palette's (saturated), not the view's greys.
bool mapColoured(QColor c) {
    return std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 80;
}

// The top view draws a map at listening height on its zone's outline, also 40 m from the view's
// centre; pressed again it turns in its plane: still seen from above, the map still shown, the floor's
// axes turned and never mirrored. The front view likewise.
TEST_F(RenderWindow, ThePlanViewsDrawTheMapOnItsOutlineAndTurnInTheirPlane) {
    startWithModel();
    // X from 30 to 50, Z from -5 to 5, the map 1.7 m above the floor.
    TMappingZone& zone = *editor().Adding.AddNewMappingZone("Far", TPoint3D(30, 0, 0), TPoint3D(), 20, 10,
                                                            0.1f, false, TSurfaceType::qzaRectangle, true,
                                                            editor().Layers.SelectedLayer, {});
    addCabinet({40, -6, 0});
    QTest::keyClick(main(), Qt::Key_F3);
    ASSERT_TRUE(clickRenderAndWait());
    // The default zoom, then one closer as a user zooms in.
    for (const double zoom : {editor().State.ZoomOut, 100.0}) {
        SCOPED_TRACE(zoom);
        editor().Views.ZoomSpinBox.SetValue(-zoom);
        const QImage image = frame();
        const int row = screenOf({40, 0, 2.5f}).y();
        // Between 25 and 55 m: clear of the axis lines.
        const int from = std::max(screenOf({25, 0, 2.5f}).x(), 0);
        const int to = std::min(screenOf({55, 0, 2.5f}).x(), image.width() - 1);
        ASSERT_LT(screenOf({50, 0, 2.5f}).x(), to) << "the zone is off the picture";
        int left = image.width(), right = -1;
        for (int x = from; x <= to; ++x) {
            if (mapColoured(image.pixelColor(x, row))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        ASSERT_GE(right, 0) << "no map drawn";
        EXPECT_NEAR(left, screenOf({30, 0, 2.5f}).x(), 2);
        EXPECT_NEAR(right, screenOf({50, 0, 2.5f}).x(), 2);
    }

    // The floor's axes on the screen: the sign of their cross product tells a turn from a mirror.
    const auto handedness = [&] {
        const QPoint o = screenOf({40, 0, 0}), x = screenOf({50, 0, 0}), z = screenOf({40, 0, 5});
        return (x.x() - o.x()) * (z.y() - o.y()) - (x.y() - o.y()) * (z.x() - o.x());
    };
    const int before = handedness();
    QTest::keyClick(main(), Qt::Key_F3);
    QToolButton* topButton = nullptr;
    for (QToolButton* b : main()->findChildren<QToolButton*>()) {
        if (b->defaultAction() != nullptr && b->defaultAction()->text() == QStringLiteral("Top View")) {
            topButton = b;
        }
    }
    ASSERT_NE(topButton, nullptr);
    EXPECT_TRUE(topButton->isChecked());
    EXPECT_LT(editor().Scene.CameraTop->AbsolutePosition().Y, 0) << "seen from above";
    EXPECT_GT(before * handedness(), 0) << "mirrored";
    EXPECT_GT(screenOf({30, 0, 0}).x(), screenOf({50, 0, 0}).x()) << "not turned";
    const QImage turned = frame();
    for (const auto& [x, y] : {std::pair{3, 3}, {10, 5}, {16, 7}}) {
        const QPoint at = screenOf(texelCentre(zone, x, y));
        ASSERT_TRUE(turned.rect().contains(at));
        EXPECT_TRUE(mapColoured(turned.pixelColor(at))) << x << ", " << y;
    }

    // The front view, pressed twice, is still seen from the front.
    QTest::keyClick(main(), Qt::Key_F4);
    const float frontX = editor().Scene.CameraFront->AbsolutePosition().X;
    const QPoint o = screenOf({0, 0, 0}), up = screenOf({0, -5, 0}), side = screenOf({0, 0, 5});
    const int frontHand = (side.x() - o.x()) * (up.y() - o.y()) - (side.y() - o.y()) * (up.x() - o.x());
    QTest::keyClick(main(), Qt::Key_F4);
    EXPECT_GT(frontX * editor().Scene.CameraFront->AbsolutePosition().X, 0);
    const QPoint o2 = screenOf({0, 0, 0}), up2 = screenOf({0, -5, 0}), side2 = screenOf({0, 0, 5});
    EXPECT_GT(frontHand *
                  ((side2.x() - o2.x()) * (up2.y() - o2.y()) - (side2.y() - o2.y()) * (up2.x() - o2.x())),
              0);
    EXPECT_GT(up2.y(), o2.y()) << "not turned";
}

// The level maps of every zone (layer 0), in zone order.
std::vector<std::vector<float>> levelMaps(const TAcousticProject& p) {
    std::vector<std::vector<float>> maps;
    for (const auto& zone : p.MappingZones()) {
        const auto& levels = zone->MapSum()->MapRealFreq();
        std::vector<float>& m = maps.emplace_back();
        for (int y = 0; y < zone->DepthPixels(); ++y) {
            for (int x = 0; x < zone->WidthPixels(); ++x) {
                m.push_back(levels.At(0, x, y));
            }
        }
    }
    return maps;
}

// A project opened while continuous rendering is off holds cabinets whose maps were never computed:
// switching continuous rendering on paints what Render paints, never the sum of empty maps.
TEST_F(RenderWindow, SwitchingContinuousRenderOnAfterAnOpenPaintsWhatRenderPaints) {
    namespace fs = std::filesystem;
    const fs::path sample = fs::path(TEST_DATA_DIR) / ".." / ".." / "tools" / "sample_library" / "library";
    fs::create_directories(appData() / "Cabinets");
    fs::copy_file(sample / "Cabinets" / "SP12.cabinet", appData() / "Cabinets" / "SP12.cabinet");
    ASSERT_TRUE(start());
    editor().Render.VeryLowItem.Click();
    QToolButton* add = main()->findChild<QToolButton*>(QStringLiteral("AddSurfaceButton"));
    ASSERT_NE(add, nullptr);
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(project().NMappingZones(), 2);
    for (const auto& zone : project().MappingZones()) {
        const TPoint3D centre = zone->Position();
        ASSERT_NE(editor().Adding.AddNewCabinet("SP12", "", "", {centre.X - 5, centre.Y - 6, centre.Z}, {},
                                                false, TCabPlacement::qzaVertical, 0, true, false,
                                                editor().Layers.SelectedLayer, 0, 0),
                  nullptr);
    }
    const fs::path file = root / "Two zones.V3DPrj";
    ASSERT_TRUE(main()->Documents->SaveProjectFile(file.string()));
    QAction* continuous = main()->findChild<QAction*>(QStringLiteral("ContinuousRenderItem"));
    ASSERT_NE(continuous, nullptr);
    ASSERT_FALSE(continuous->isChecked());
    ASSERT_FALSE(project().ContinuousRender());

    // Opened with continuous rendering off, then switched on from the menu.
    ASSERT_TRUE(main()->Documents->LoadProjectFile(file.string()));
    continuous->trigger();
    ASSERT_TRUE(project().ContinuousRender());
    ASSERT_TRUE(waitCalculated());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return project().AllMapsState() == TCalcState::qzaCalculated; }, 30000));
    QCoreApplication::processEvents();
    const auto continuousMaps = levelMaps(project());
    const double continuousMax = project().MaxdBSPL();
    const double continuousBox = bar().MaxdBuEdit()->value();

    // The same file opened again, rendered with Render.
    continuous->trigger();
    ASSERT_FALSE(project().ContinuousRender());
    ASSERT_TRUE(main()->Documents->LoadProjectFile(file.string()));
    ASSERT_TRUE(clickRenderAndWait());
    const auto renderMaps = levelMaps(project());
    ASSERT_EQ(continuousMaps.size(), renderMaps.size());
    float loudest = -1e30f;
    for (size_t z = 0; z < renderMaps.size(); ++z) {
        ASSERT_EQ(continuousMaps[z].size(), renderMaps[z].size()) << "zone " << z;
        ASSERT_GT(renderMaps[z].size(), 100u);
        for (size_t i = 0; i < renderMaps[z].size(); ++i) {
            ASSERT_NEAR(continuousMaps[z][i], renderMaps[z][i], 0.01) << "zone " << z << " pixel " << i;
            loudest = std::max(loudest, renderMaps[z][i]);
        }
    }
    EXPECT_GT(loudest, 80.0f);
    // The colour bar's maximum is the loudest level of the maps (the box shows whole decibels).
    EXPECT_NEAR(continuousMax, loudest, 0.01);
    EXPECT_NEAR(project().MaxdBSPL(), loudest, 0.01);
    EXPECT_NEAR(continuousBox, loudest, 0.5);
}

TEST_F(RenderWindow, APanelCommitMarksTheRenderNeededAndAUnitsRefreshOfThePanelsDoesNot) {
    startWithModel();
    TMappingZone& zone = addZone();
    addCabinet({0, -6, 0});
    ASSERT_TRUE(clickRenderAndWait());
    TZoneFr* panel = dynamic_cast<TZoneFr*>(PanelOf<IObjectPanel>(zone));
    ASSERT_NE(panel, nullptr);

    // Every panel filled again in feet, and back in metres: no commit, the maps stay current.
    for (const double units : {3.2808398950131235, 1.0}) {
        editor().State.Units.LengthUnits = units;
        editor().State.Units.LengthUnitText = units == 1.0 ? "m" : "ft";
        for (const auto& z : project().MappingZones()) {
            PanelOf<IObjectPanel>(*z)->UpdateValues();
        }
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(panel->LengthEdit->text(), QStringLiteral("20.00"));
    EXPECT_EQ(bar().RenderB()->property("imageIndex").toInt(), 41);
    EXPECT_FLOAT_EQ(zone.Width(), 20.0f);

    // A typed length commits: the render is needed.
    panel->LengthEdit->setFocus();
    panel->LengthEdit->selectAll();
    QTest::keyClicks(panel->LengthEdit, QStringLiteral("18"));
    QTest::keyClick(panel->LengthEdit, Qt::Key_Tab);
    EXPECT_FLOAT_EQ(zone.Width(), 18.0f);
    EXPECT_EQ(bar().RenderB()->property("imageIndex").toInt(), 42);
    EXPECT_EQ(bar().RenderB()->property("styleLookup").toString(),
              QStringLiteral("CornerButtonRenderRedStyle"));
}

// Every size a trapezium's panel accepts renders: a side below one map pixel gets one pixel, the
// other zone's map is not touched, and no message reaches the user.
TEST_F(RenderWindow, EverySizeAZonePanelAcceptsRendersAndLeavesTheOtherZones) {
    startWithModel();
    TMappingZone& rectangle = addZone();
    addCabinet({0, -6, 0});
    TMappingZone& trapezium = *editor().Adding.AddNewZoneButtonClick(TNewZoneKind::Trapezium);
    ASSERT_EQ(trapezium.SurfaceType(), TSurfaceType::qzaTrapezium);
    ASSERT_TRUE(clickRenderAndWait());
    const auto before = levelMaps(project());
    TZoneFr* panel = dynamic_cast<TZoneFr*>(PanelOf<IObjectPanel>(trapezium));
    ASSERT_NE(panel, nullptr);
    const struct {
        QLineEdit* field;
        const char* typed;
    } cases[] = {
        {panel->LengthTrapezEdit, "0"},   {panel->TrapezWidth1Edit, "-5"},  {panel->TrapezWidth2Edit, "1e9"},
        {panel->LengthTrapezEdit, "0.3"}, {panel->TrapezWidth1Edit, "0.2"}, {panel->TrapezWidth2Edit, "0.4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field->objectName().toStdString()) + " = " + c.typed);
        c.field->setFocus();
        c.field->selectAll();
        QTest::keyClicks(c.field, QString::fromLatin1(c.typed));
        QTest::keyClick(c.field, Qt::Key_Tab);
        ASSERT_TRUE(clickRenderAndWait());
        EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
        EXPECT_FALSE(project().AbortCalculation());
        EXPECT_GE(trapezium.WidthPixels(), 1);
        EXPECT_GE(trapezium.DepthPixels(), 1);
        EXPECT_EQ(levelMaps(project())[0], before[0]) << "the rectangle's map changed";
        const float level = trapezium.MapSum()->MapRealFreq().At(0, 0, 0);
        EXPECT_TRUE(std::isfinite(level) && level > 40) << level;
    }
    EXPECT_EQ(&rectangle, project().MappingZones()[0].get());
}

TEST_F(RenderWindow, RTypedIntoAZonesNameIsTextAndRWithTheViewFocusedRenders) {
    startWithModel();
    TMappingZone& named = addZone();
    addCabinet({0, -6, 0});
    TZoneFr* panel = dynamic_cast<TZoneFr*>(PanelOf<IObjectPanel>(named));
    ASSERT_NE(panel, nullptr);
    QLineEdit* field = panel->ZoneNameEdit;
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, QStringLiteral("r"));
    EXPECT_EQ(field->text(), QStringLiteral("r"));
    EXPECT_FALSE(bar().RenderingIndicator()->isVisible());
    EXPECT_FALSE(project().ForceCalculation());
    // The letters of the render menus are text there too, also in the map bar's number boxes.
    QTest::keyClicks(field, QStringLiteral("cl"));
    EXPECT_EQ(field->text(), QStringLiteral("rcl"));
    bar().SPLRangeBox()->setFocus();
    QTest::keyClicks(bar().SPLRangeBox(), QStringLiteral("rcl"));
    EXPECT_FALSE(project().UseSPLMeshforRaycast());
    EXPECT_FALSE(editor().Render.UseListeningPlaneFoRaysMenuItem.Checked());
    EXPECT_FALSE(project().ForceCalculation());

    gl()->setFocus();
    QTest::keyClick(gl(), Qt::Key_R);
    EXPECT_TRUE(bar().RenderingIndicator()->isVisible());
    ASSERT_TRUE(waitCalculated());
    TMappingZone& zone = *project().MappingZones().front();
    EXPECT_FALSE(zone.IsMapCleared());
    // With the view focused, C clears the colours (once) and L switches the rays (once).
    QTest::keyClick(gl(), Qt::Key_C);
    EXPECT_TRUE(zone.IsMapCleared());
    QTest::keyClick(gl(), Qt::Key_L);
    EXPECT_TRUE(project().UseSPLMeshforRaycast());
    EXPECT_TRUE(editor().Render.IntersectListeningCB.Checked());
}

} // namespace
} // namespace vendrel
