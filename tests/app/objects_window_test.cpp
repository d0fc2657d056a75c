#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/model_registry.h"
#include "acoustics/project.h"
#include "acoustics/user_preset.h"
#include "editor/editor.h"
#include "editor/qt/object_pages.h"
#include "editor/qt/viewport_panel.h"
#include "panels/cabinet_panel.h"
#include "panels/zone_panel.h"
#include "platform/core/camera.h"
#include "window_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;
using testing::ProgramWindow;

// The real window with the sample library's point-source cabinet in its library.
class ObjectsWindow : public ProgramWindow {
protected:
    bool startWithCabinet() {
        const fs::path sample =
            fs::path(TEST_DATA_DIR) / ".." / ".." / "tools" / "sample_library" / "library";
        fs::create_directories(appData() / "Cabinets");
        fs::copy_file(sample / "Cabinets" / "SP12.cabinet", appData() / "Cabinets" / "SP12.cabinet");
        if (!start()) {
            return false;
        }
        // Work in the top view, zoomed to a few metres a hundred pixels.
        QTest::keyClick(main(), Qt::Key_F3);
        editor().Views.ZoomSpinBox.SetValue(-20);
        QCoreApplication::processEvents();
        return true;
    }
    TEditor& editor() const { return *main()->Editor; }
    TAcousticProject& project() const { return *main()->AcousticProject; }
    TEditorGLView* gl() const { return main()->ViewportPanel()->GLView(); }
    QPoint screenOf(const TPoint3D& p) const {
        TPoint3D s;
        editor().Scene.Viewport3D1->Camera()->WorldToScreen(p, gl()->width(), gl()->height(), s);
        return {static_cast<int>(std::lround(s.X)), static_cast<int>(std::lround(s.Y))};
    }
    // A move delivered at once, then a click there.
    void moveTo(const QPoint& p) {
        QMouseEvent move(QEvent::MouseMove, p, gl()->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(gl(), &move);
    }
    void click(const TPoint3D& at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const QPoint p = screenOf(at);
        moveTo(p);
        QTest::mouseClick(gl(), Qt::LeftButton, mods, p);
        QCoreApplication::processEvents();
    }
    template <typename T> T* child(const char* name) const {
        T* w = main()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Arms the cabinet of the library from the model menu of "Add Cabinet".
    void armCabinet() {
        QTest::mouseClick(child<QToolButton>("AddCabinetB"), Qt::LeftButton);
        QMenu* menu = main()->findChild<QMenu*>(QStringLiteral("PopupModels"));
        ASSERT_NE(menu, nullptr);
        QAction* model = nullptr;
        for (QAction* a : menu->findChildren<QAction*>()) {
            if (a->text() == QStringLiteral("SP12")) {
                model = a;
            }
        }
        ASSERT_NE(model, nullptr);
        model->trigger();
        menu->close();
        QCoreApplication::processEvents();
        ASSERT_TRUE(editor().State.InsertInMousePos_Cabinet);
    }
    TCabinetsFr* rowOf(const TCabinet& c) const {
        return dynamic_cast<TCabinetsFr*>(PanelOf<IObjectPanel>(c));
    }
    TZoneFr* panelOf(const TMappingZone& z) const { return dynamic_cast<TZoneFr*>(PanelOf<IObjectPanel>(z)); }
    TCabinet* addCabinet(const TPoint3D& at) {
        return editor().Adding.AddNewCabinet("SP12", "", "", at, {}, false, TCabPlacement::qzaVertical, 0,
                                             true, false, editor().Layers.SelectedLayer, 0, 0);
    }
    std::vector<TObject*> selection() const { return editor().State.SelectedObjList.Raw(); }
};

TEST_F(ObjectsWindow, AddPutsTwoZonesWithTheirTabsAndTheFirstShowsTheColourOfAnUnpaintedMap) {
    ASSERT_TRUE(startWithCabinet());
    QToolButton* add = child<QToolButton>("AddSurfaceButton");
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(add, Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(project().NMappingZones(), 2);
    TMappingZone& first = *project().MappingZones()[0];
    TMappingZone& second = *project().MappingZones()[1];
    EXPECT_EQ(second.XYZBegin(), TPoint3D(1, 2.8f, 0));
    const TUITabs& tabs = editor().PanelSwitching.ZonesTabControl;
    ASSERT_EQ(tabs.Count(), 2);
    EXPECT_EQ(tabs.Items(0).Text, "Zone 1: No Name");
    EXPECT_EQ(tabs.Items(1).Text, "Zone 2: No Name");
    // The second zone's panel is the page in front, on the venue page.
    TZoneFr* panel = panelOf(second);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->ZoneNameEdit->text(), QStringLiteral("No Name"));
    EXPECT_EQ(panel->PosZBegin->text(), QStringLiteral("0.000"));
    EXPECT_EQ(panel->PosYBegin->text(), QStringLiteral("2.800"));
    EXPECT_EQ(main()->MainTabControl()->currentWidget()->objectName(),
              QStringLiteral("VenueAndZonesTabItem"));
    EXPECT_EQ(main()->findChild<QLabel*>(QStringLiteral("StatusLabel"))->text(),
              QStringLiteral("1 Objects Selected, 1 Zones"));

    // Before a render the first zone's floor shows the colour of an unpainted map: seen from above it
    // faces the top light in full, and full light shows the floor's colour itself (2 for rounding).
    // The second zone lies over it 1 m aside: hidden here to see the first.
    editor().Views.ZoomSpinBox.SetValue(-80);
    second.GraphicalObject->SetVisible(false);
    QCoreApplication::processEvents();
    ASSERT_TRUE(gl()->IsReady());
    const TPoint3D centre = TSceneObjects::ZoneSolid(first)->LocalToAbsolute3D({0, 0, 0});
    const QImage frame = gl()->grabFramebuffer();
    const QPoint at = screenOf(centre) * frame.devicePixelRatio();
    ASSERT_TRUE(frame.rect().contains(at));
    const QColor c = frame.pixelColor(at);
    const QColor noMap = QColor::fromRgba(first.NoMapColor());
    EXPECT_NEAR(c.red(), noMap.red(), 2);
    EXPECT_NEAR(c.green(), noMap.green(), 2);
    EXPECT_NEAR(c.blue(), noMap.blue(), 2);
    // Beside the zone the view shows something else.
    const QPoint beside = screenOf(centre + TPoint3D(-30, 0, 7)) * frame.devicePixelRatio();
    ASSERT_TRUE(frame.rect().contains(beside));
    EXPECT_GT(std::abs(frame.pixelColor(beside).blue() - noMap.blue()), 20);
    second.GraphicalObject->SetVisible(true);
}

TEST_F(ObjectsWindow, AnArmedCabinetLandsWhereTheRayMeetsTheFloorAndAClickOnItsTopStacksTheNext) {
    ASSERT_TRUE(startWithCabinet());
    armCabinet();
    const QPoint at(gl()->width() / 2 + 37, gl()->height() / 2 - 21);
    TPoint3D rayPos, rayDir;
    gl()->RayAt(at, rayPos, rayDir);
    const float t = -rayPos.Y / rayDir.Y;
    const TPoint3D floor(rayPos.X + t * rayDir.X, 0, rayPos.Z + t * rayDir.Z);
    const TCabModel& model = *project().ModelsDetected()->CabModel()[0];
    const auto& o = model.OriginCenters().at(static_cast<size_t>(model.DefaultOriginPoint()));
    const TPoint3D origin(static_cast<float>(o.X), static_cast<float>(o.Y), static_cast<float>(o.Z));

    moveTo(at);
    QTest::mouseClick(gl(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_EQ(project().NCabinets(), 1);
    TCabinet& a = *project().Cabinets()[0];
    const TPoint3D p = a.Position();
    EXPECT_NEAR(p.X, floor.X - origin.X, 1e-4);
    EXPECT_NEAR(p.Y, floor.Y - origin.Y, 1e-4);
    EXPECT_NEAR(p.Z, floor.Z - origin.Z, 1e-4);
    EXPECT_EQ(a.GraphicalObject->Position(), p);

    // Magnetic snapping is on: a click on its top face puts the next one on it.
    ASSERT_TRUE(editor().State.IsMagneticObjects);
    click(p + TPoint3D(0.02f, -0.2f, 0.01f));
    ASSERT_EQ(project().NCabinets(), 2);
    const TPoint3D q = project().Cabinets()[1]->Position();
    EXPECT_NEAR(q.X, p.X, 1e-4);
    EXPECT_NEAR(q.Z, p.Z, 1e-4);
    EXPECT_NEAR(q.Y, p.Y - model.Height(), 1e-4);
    QTest::keyClick(gl(), Qt::Key_Escape);
    EXPECT_FALSE(editor().State.InsertInMousePos_Cabinet);
}

TEST_F(ObjectsWindow, TypedPositionCommitsOnceMovesTheDrawnCabinetAndMarksTheRender) {
    ASSERT_TRUE(startWithCabinet());
    TCabinet* cabinet = addCabinet({1, 0, 2});
    TCabinetsFr* row = rowOf(*cabinet);
    ASSERT_NE(row, nullptr);
    editor().Render.RenderB.SetImageIndex(41); // calculated
    project().SetIsProjectModified(false);
    QLineEdit* x = row->XCabBox;
    x->setFocus();
    x->selectAll();
    QTest::keyClicks(x, QStringLiteral("12,5"));
    QTest::keyClick(x, Qt::Key_Tab);
    EXPECT_FLOAT_EQ(cabinet->Position().X, 12.5f);
    EXPECT_FLOAT_EQ(cabinet->GraphicalObject->Position().X, 12.5f);
    EXPECT_EQ(x->text(), QStringLiteral("12.500"));
    EXPECT_EQ(editor().Render.RenderB.ImageIndex(), 42);
    EXPECT_TRUE(project().IsProjectModified());
    EXPECT_EQ(row->Commits(), 1);

    // Enter, then the loss of the focus: one commit.
    x->setFocus();
    x->selectAll();
    QTest::keyClicks(x, QStringLiteral("7"));
    QTest::keyClick(x, Qt::Key_Return);
    row->ZCabBox->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FLOAT_EQ(cabinet->Position().X, 7.0f);
    EXPECT_EQ(row->Commits(), 2);
    // The height shows the negated scene Y, and Up steps it by the position step.
    editor().Keys.GlobalPosStepsCB.SetValue(1);
    row->YCabBox->setFocus();
    QTest::keyClick(row->YCabBox, Qt::Key_Up);
    EXPECT_FLOAT_EQ(cabinet->Position().Y, -0.1f);
    EXPECT_EQ(row->YCabBox->text(), QStringLiteral("0.100"));

    // Switched off: drawn with the inactive material, the maps cleared, the render needed.
    editor().Render.RenderB.SetImageIndex(41);
    QTest::mouseClick(row->ActiveCabCheckBox, Qt::LeftButton);
    EXPECT_FALSE(cabinet->Active());
    const TModel3D* model = TSceneObjects::CabinetModel3D(*cabinet);
    ASSERT_GT(model->MeshCount(), 0);
    EXPECT_EQ(model->Meshes(0).MaterialSource, editor().Objects.UnactiveMaterial.get());
    EXPECT_EQ(editor().Render.RenderB.ImageIndex(), 42);
}

// A cabinet placed while other pages are shown: once the cabinets page opens, each column title stands
// over its field of the cabinet's row.
TEST_F(ObjectsWindow, TheColumnTitlesStandOverTheRowsFieldsOnceTheCabinetsPageOpens) {
    ASSERT_TRUE(startWithCabinet());
    QTabWidget* tabs = main()->MainTabControl();
    int cabinetsPage = -1;
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == QStringLiteral("Cabinets")) {
            cabinetsPage = i;
        }
    }
    ASSERT_GE(cabinetsPage, 0);
    ASSERT_NE(tabs->currentIndex(), cabinetsPage);
    armCabinet();
    click({1, 0, 2});
    QTest::keyClick(gl(), Qt::Key_Escape);
    ASSERT_EQ(project().NCabinets(), 1);
    TCabinetsFr* row = rowOf(*project().Cabinets()[0]);
    ASSERT_NE(row, nullptr);
    for (int i = 0; i <= cabinetsPage; ++i) {
        tabs->setCurrentIndex(i);
        QTest::qWait(50);
    }

    const QList<QLabel*> titles = child<QWidget>("CabinetListHeader")->findChildren<QLabel*>();
    const QLineEdit* fields[] = {row->XCabBox,    row->ZCabBox,    row->YCabBox,
                                 row->RotXCabBox, row->RotZCabBox, row->RotYCabBox};
    ASSERT_EQ(titles.size(), 6);
    const auto expectOverFields = [&](const char* when) {
        for (int k = 0; k < 6; ++k) {
            const std::string title = titles[k]->text().toStdString() + " " + when;
            EXPECT_TRUE(titles[k]->isVisible()) << title;
            const int titleCentre = titles[k]->mapToGlobal(titles[k]->rect().center()).x();
            const int fieldCentre = fields[k]->mapToGlobal(fields[k]->rect().center()).x();
            EXPECT_NEAR(titleCentre, fieldCentre, 1) << title;
        }
    };
    expectOverFields("opened");
    // A window too narrow for the row: the row scrolled sideways takes its titles along.
    main()->resize(900, main()->height());
    QTest::qWait(50);
    QScrollBar* sideways = child<QScrollArea>("CabinetScroll")->horizontalScrollBar();
    ASSERT_GT(sideways->maximum(), 40);
    sideways->setValue(40);
    QTest::qWait(50);
    expectOverFields("scrolled");
}

TEST_F(ObjectsWindow, RefillingACabinetRowChangesNothing) {
    ASSERT_TRUE(startWithCabinet());
    project().AddDSPProcess();
    editor().GetAllProcessNames(editor().ExtDSPProcessNames);
    TCabinet* cabinet = addCabinet({0, 0, 0});
    const TCabModel& model = *cabinet->Model();
    ASSERT_EQ(model.NDSPPresets(), 2);
    cabinet->SetInternalDSPPreset(model.DSPPresets()[1]);
    cabinet->SetExternalDSPProcess(project().DSPProcessList()[0].get());
    editor().Render.RenderB.SetImageIndex(41); // calculated
    project().SetIsProjectModified(false);
    TCabinetsFr* row = rowOf(*cabinet);
    row->UpdateValues();
    row->UpdateValues();
    EXPECT_EQ(cabinet->InternalDSPPreset(), model.DSPPresets()[1]);
    EXPECT_EQ(cabinet->ExternalDSPProcess(), project().DSPProcessList()[0].get());
    EXPECT_EQ(row->IntProcessComboBox->currentIndex(), 1);
    EXPECT_EQ(row->ExtProcessComboBox->currentIndex(), 1);
    EXPECT_EQ(editor().Render.RenderB.ImageIndex(), 41);
    EXPECT_FALSE(project().IsProjectModified());
    EXPECT_EQ(row->Commits(), 0);
}

TEST_F(ObjectsWindow, LeavingTheYAxisFieldOfAZoneTurnedFurtherThanItsLimitKeepsTheTurn) {
    ASSERT_TRUE(startWithCabinet());
    TMappingZone* zone = editor().Adding.AddNewZoneButtonClick(TNewZoneKind::Rectangle);
    zone->SetRotationAngle({0, 0, 120});
    TZoneFr* panel = panelOf(*zone);
    panel->UpdateValues();
    EXPECT_EQ(panel->RotAngleZEdit->text(), QStringLiteral("120.00"));
    panel->RotAngleZEdit->setFocus();
    QTest::keyClick(panel->RotAngleZEdit, Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_FLOAT_EQ(zone->RotationAngle().Z, 120);
    EXPECT_EQ(panel->RotAngleZEdit->text(), QStringLiteral("120.00"));
    // A typed turn is limited to a quarter turn.
    panel->RotAngleZEdit->setFocus();
    panel->RotAngleZEdit->selectAll();
    QTest::keyClicks(panel->RotAngleZEdit, QStringLiteral("135"));
    QTest::keyClick(panel->RotAngleZEdit, Qt::Key_Tab);
    EXPECT_FLOAT_EQ(zone->RotationAngle().Z, 90);
}

TEST_F(ObjectsWindow, TheZonePanelRenamesResizesUnmapsAndKeepsATrapeziumSlopeDefined) {
    ASSERT_TRUE(startWithCabinet());
    const auto type = [](QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    };
    QTest::mouseClick(child<QToolButton>("AddTrapeziumButton"), Qt::LeftButton);
    QCoreApplication::processEvents();
    TMappingZone& zone = *project().MappingZones().at(0);
    TZoneFr* panel = panelOf(zone);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->DimmenTrapezGroupBox->isVisible());
    EXPECT_FALSE(panel->DimmenGroupBox->isVisible());

    type(panel->ZoneNameEdit, QStringLiteral("Stalls"));
    EXPECT_EQ(zone.Name(), "Stalls");
    EXPECT_EQ(editor().PanelSwitching.ZonesTabControl.Items(0).Text, "Zone 1 : Stalls");

    // The "Y" row is the zone's Z coordinate, the "Z" row its height, both as stored.
    type(panel->PosZBegin, QStringLiteral("4"));
    type(panel->PosYBegin, QStringLiteral("2,5"));
    EXPECT_DOUBLE_EQ(zone.ZBegin(), 4.0);
    EXPECT_DOUBLE_EQ(zone.YBegin(), 2.5);
    // A length beyond the limit is the limit.
    type(panel->LengthTrapezEdit, QStringLiteral("300"));
    EXPECT_FLOAT_EQ(zone.Width(), 250);
    EXPECT_EQ(panel->LengthTrapezEdit->text(), QStringLiteral("250.00"));
    EXPECT_FLOAT_EQ(TSceneObjects::ZoneSolid(zone)->Width(), 250);

    // Height and slope are one: a height of 5 on a length of 10 is a turn of 30 degrees about Z.
    type(panel->LengthTrapezEdit, QStringLiteral("10"));
    type(panel->TrapezHeightEdit, QStringLiteral("5"));
    EXPECT_NEAR(zone.RotationAngle().Z, 30, 1e-4);
    EXPECT_EQ(panel->RotAngleZEdit->text(), QStringLiteral("30.00"));
    // A length cut below the height leaves a steep slope, never an undefined one.
    type(panel->LengthTrapezEdit, QStringLiteral("2"));
    EXPECT_NEAR(zone.RotationAngle().Z, 90, 1e-4);
    type(panel->TrapezHeightEdit, QStringLiteral("-50"));
    EXPECT_NEAR(zone.RotationAngle().Z, -90, 1e-4);

    // Mapping switched off: the listening plane goes to the floor and its height field is disabled.
    ASSERT_TRUE(zone.IsObjectSelected());
    QComboBox* mapping = panel->MappingSidesCB;
    mapping->setFocus();
    QTest::keyClick(mapping, Qt::Key_Up);
    QCoreApplication::processEvents();
    EXPECT_EQ(zone.MappingSides(), TMappingSides::qzaNoSPLMap);
    EXPECT_FALSE(panel->AudienceLevelNB->isEnabled());
    EXPECT_FLOAT_EQ(TSceneObjects::ZoneSolid(zone)->ListeningOffset(), 0);
}

TEST_F(ObjectsWindow, ClicksSelectTogglesAndBandsPickExactlyTheVisibleObjects) {
    ASSERT_TRUE(startWithCabinet());
    TCabinet* a = addCabinet({-2, 0, 0});
    TCabinet* b = addCabinet({2, 0, 0});
    TCabinet* c = addCabinet({6, 0, 0});
    QLabel* status = main()->findChild<QLabel*>(QStringLiteral("StatusLabel"));
    click(a->Position());
    EXPECT_EQ(selection(), std::vector<TObject*>{a});
    EXPECT_EQ(status->text(), QStringLiteral("1 Objects Selected, 1 Cabinets"));
    EXPECT_TRUE(rowOf(*a)->isVisible());
    EXPECT_FALSE(rowOf(*b)->isVisible());
    EXPECT_TRUE(rowOf(*a)->SelCheckBox->isChecked());
    click(b->Position(), Qt::ControlModifier);
    EXPECT_EQ(selection(), (std::vector<TObject*>{a, b}));
    click(a->Position(), Qt::ControlModifier);
    EXPECT_EQ(selection(), std::vector<TObject*>{b});
    click({0, 0, 5});
    EXPECT_TRUE(selection().empty());
    EXPECT_EQ(status->text(), QString());

    // A band from (-4, -3) to (4, 3) on the floor: a and b inside, c outside; b hidden is left alone.
    b->SetVisible(false);
    b->GraphicalObject->SetVisible(false);
    const QPoint from = screenOf({-4, 0, -3});
    const QPoint to = screenOf({4, 0, 3});
    const Qt::KeyboardModifiers band = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::mousePress(gl(), Qt::LeftButton, band, from);
    QMouseEvent move(QEvent::MouseMove, to, gl()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, band);
    QCoreApplication::sendEvent(gl(), &move);
    QTest::mouseRelease(gl(), Qt::LeftButton, band, to);
    EXPECT_EQ(selection(), std::vector<TObject*>{a});
    EXPECT_FALSE(c->IsObjectSelected());
}

TEST_F(ObjectsWindow, DrawnPointsMakeAZoneEscapeDropsThemAndALineIsRefused) {
    ASSERT_TRUE(startWithCabinet());
    QToolButton* draw = child<QToolButton>("DrawSurfaceButton");
    QTest::mouseClick(draw, Qt::LeftButton);
    for (const TPoint3D& p : {TPoint3D(0, 0, 0), TPoint3D(4, 0, 0), TPoint3D(0, 0, 3)}) {
        click(p);
    }
    click({0, 0, 0});
    ASSERT_EQ(project().NMappingZones(), 1);
    EXPECT_EQ(project().MappingZones()[0]->NPolygonPoints(), 3);
    EXPECT_EQ(project().MappingZones()[0]->SurfaceType(), TSurfaceType::qzaPolygon);

    QTest::mouseClick(draw, Qt::LeftButton);
    click({10, 0, 0});
    click({12, 0, 0});
    QTest::keyClick(gl(), Qt::Key_Escape);
    EXPECT_EQ(project().NMappingZones(), 1);

    // Points picked along one row of the view lie on one line of the floor.
    QTest::mouseClick(draw, Qt::LeftButton);
    const QPoint row = screenOf({10, 0, -4});
    for (int dx : {0, 40, 80, 0}) {
        const QPoint p = row + QPoint(dx, 0);
        moveTo(p);
        QTest::mouseClick(gl(), Qt::LeftButton, Qt::NoModifier, p);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(project().NMappingZones(), 1);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text, TAddObjects::kNoAreaMessage);
}

TEST_F(ObjectsWindow, DeleteAsksWithTheCountAndRemovesBothObjectsAndTheirPanels) {
    ASSERT_TRUE(startWithCabinet());
    TMappingZone* zone = editor().Adding.AddNewZoneButtonClick(TNewZoneKind::Rectangle);
    TCabinet* cabinet = addCabinet({3, -1, -10});
    click(cabinet->Position());
    click(TSceneObjects::ZoneSolid(*zone)->LocalToAbsolute3D({0, 0, 0}), Qt::ControlModifier);
    ASSERT_EQ(selection().size(), 2u);
    QPointer<TCabinetsFr> row = rowOf(*cabinet);
    QPointer<TZoneFr> panel = panelOf(*zone);

    boxes.answers.push_back(TModalResult::mrYes);
    gl()->setFocus();
    QTest::keyClick(gl(), Qt::Key_Delete);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text, "Delete all selected (and not locked) objects? (2)");
    EXPECT_EQ(project().NCabinets(), 0);
    EXPECT_EQ(project().NMappingZones(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(row.isNull());
    EXPECT_TRUE(panel.isNull());
    EXPECT_TRUE(selection().empty());
    // Clicks where they were meet empty space.
    click({3, -1, -10});
    click({0, 0, 0});
    main()->PopupGlobalMenuWidget()->close();
    EXPECT_TRUE(selection().empty());

    // A zone panel's own remove button takes the zone and the panel away, without a question.
    TMappingZone* other = editor().Adding.AddNewZoneButtonClick(TNewZoneKind::Rectangle);
    QPointer<TZoneFr> own = panelOf(*other);
    const size_t questions = boxes.shown.size();
    QTest::mouseClick(own->RemoveButton, Qt::LeftButton);
    EXPECT_EQ(project().NMappingZones(), 0);
    EXPECT_EQ(boxes.shown.size(), questions);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(own.isNull());
    EXPECT_EQ(editor().PanelSwitching.ZonesTabControl.Count(), 0);
}

} // namespace
} // namespace vendrel
