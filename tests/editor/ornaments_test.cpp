#include <gtest/gtest.h>

#include "acoustics/cab_model.h"
#include "acoustics/model_registry.h"
#include "acoustics/ornament.h"
#include "documents_fixture.h"
#include "editor/kinds/ornament_kind.h"
#include "editor/kinds/zone_kind.h"
#include "editor/library_picker.h"
#include "platform/core/camera.h"

namespace vendrel {
namespace {

// The sample library's ornament, placed by clicks in the top view.
struct Ornaments : testing::DocumentsFixture {
    TEditor& ed = *f.editor;
    TLibraryPicker& picker = ed.Picker;
    int broughtToFront = 0;

    Ornaments() {
        ed.Views.TopViewActionExecute();
        ed.Views.ZoomSpinBox.SetValue(-20);
        ed.State.IsMagneticObjects = false;
        ed.Adding.OnBringOrnamentPickerToFront = [this] { ++broughtToFront; };
        picker.RenderOrnamentPicture = [](const TModel3D&, TMaterialSource*, float, float, float) {
            return std::optional<TBitmap>(TBitmap(4, 4, TAlphaColors::Red));
        };
    }
    TPointF screenOf(const TPoint3D& p) {
        TPoint3D s;
        f.viewport().Camera()->WorldToScreen(p, f.viewport().ViewWidth(), f.viewport().ViewHeight(), s);
        return {s.X, s.Y};
    }
    void click(const TPoint3D& at) {
        const TPointF s = screenOf(at);
        TShiftState left;
        left.Left = true;
        f.viewport().MouseMove({}, s.X, s.Y);
        f.viewport().MouseDown(TMouseButton::mbLeft, left, s.X, s.Y);
        f.viewport().MouseUp(TMouseButton::mbLeft, {}, s.X, s.Y);
    }
    void openPicker(TLibraryPickerMode mode) {
        picker.Mode = mode;
        picker.FormShow();
    }
    std::vector<std::string> tabTexts() const {
        std::vector<std::string> texts;
        const TUITabs& tabs = ed.PanelSwitching.ZonesTabControl;
        for (int i = 0; i < tabs.Count(); ++i) {
            texts.push_back(tabs.Items(i).Text);
        }
        return texts;
    }
};

void expectNear(const TPoint3D& a, const TPoint3D& b) {
    EXPECT_NEAR(a.X, b.X, 1e-4);
    EXPECT_NEAR(a.Y, b.Y, 1e-4);
    EXPECT_NEAR(a.Z, b.Z, 1e-4);
}

TEST_F(Ornaments, ThePickerListsTheOrnamentAndEachClickPlacesOneUntilItCloses) {
    openPicker(TLibraryPickerMode::Ornament);
    EXPECT_EQ(picker.Caption, "Select Ornament from Library");
    EXPECT_EQ(picker.ButtonText, "Close");
    EXPECT_TRUE(picker.OkButtonEnabled);
    ASSERT_EQ(picker.Items.size(), 1u);
    EXPECT_EQ(picker.Items[0].Text, "Truss Block");
    EXPECT_EQ(picker.Items[0].Detail, "Width: 0.50 meters\r\nHeight: 0.50 meters\r\nDepth: 0.50 meters");
    EXPECT_TRUE(picker.Items[0].Picture.has_value());

    // A zone first, then two ornaments, turned further each time with "Incremental".
    ed.Adding.AddNewZoneButtonClick(TNewZoneKind::Rectangle);
    ed.Adding.RotZNB.SetValue(15);
    ed.Adding.AcumOffRB.Execute();
    picker.LibListViewItemClick(0);
    ASSERT_TRUE(ed.State.InsertInMousePos_Ornament);
    const TOrnaModel* model = library->GetOrnaModelByName("Truss Block", false);
    ASSERT_NE(model, nullptr);
    click({2, 0, 3});
    click({-4, 0, 1});
    ASSERT_EQ(f.project->NOrnaments(), 2);
    const TOrnament& first = *f.project->Ornaments()[0];
    const TOrnament& second = *f.project->Ornaments()[1];
    expectNear(first.Position(), TPoint3D(2, 0, 3) - model->OriginCenter());
    expectNear(second.Position(), TPoint3D(-4, 0, 1) - model->OriginCenter());
    EXPECT_FLOAT_EQ(first.RotationAngle().Y, -15);
    EXPECT_FLOAT_EQ(second.RotationAngle().Y, -30);
    EXPECT_EQ(first.Name(), "Truss Block");
    EXPECT_EQ(broughtToFront, 2);
    EXPECT_EQ(ed.State.SelectedObjList.Raw(), std::vector<TObject*>{const_cast<TOrnament*>(&second)});
    // Drawn at its position, its model turned (X, -Y, -Z) in its model's material.
    const TModel3D* drawn = TOrnamentKind::OrnamentModel3D(second);
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(second.GraphicalObject->Position(), second.Position());
    EXPECT_FLOAT_EQ(drawn->RotationAngle().Y, 30);
    EXPECT_GT(drawn->MeshCount(), 0);
    EXPECT_EQ(tabTexts(),
              (std::vector<std::string>{"Zone 1: No Name", "Orna 1: Truss Block", "Orna 2: Truss Block"}));

    // Closing the picker ends the insertion: later clicks place nothing.
    picker.FormClose();
    EXPECT_FALSE(ed.State.InsertInMousePos_Ornament);
    click({0, 0, 0});
    EXPECT_EQ(f.project->NOrnaments(), 2);

    // The ornaments' tabs keep their numbers when the zone goes, and follow the list when one goes.
    ed.Kinds.Get<TZoneKind>()->RemoveSurface(f.project->MappingZones()[0].get());
    EXPECT_EQ(tabTexts(), (std::vector<std::string>{"Orna 1: Truss Block", "Orna 2: Truss Block"}));
    ed.Kinds.Get<TOrnamentKind>()->RemoveOrnament(f.project->Ornaments()[0].get());
    EXPECT_EQ(tabTexts(), (std::vector<std::string>{"Orna 1: Truss Block"}));
    EXPECT_EQ(ed.Kinds.Get<TOrnamentKind>()->Obj3DOrnaContainer.size(), 1u);
}

TEST_F(Ornaments, AnOrnamentIsPressedAndShiftDraggedInThePlaneOfTheViewUnlessLocked) {
    ed.Adding.ArmOrnamentInsertion("Truss Block");
    click({2, 0, 3});
    ed.Adding.EndInsertionInViewPort3D();
    ASSERT_EQ(f.project->NOrnaments(), 1);
    TOrnament& o = *f.project->Ornaments()[0];
    const TOrnaModel& model = *o.Model();
    ed.Selection.UnSelectAllObjects();
    click({2, 0, 3});
    ASSERT_EQ(ed.State.SelectedObjList.Raw(), std::vector<TObject*>{&o});

    const TPoint3D before = o.Position();
    TShiftState drag;
    drag.Shift = drag.Left = true;
    const auto dragTo = [&](const TPoint3D& to) {
        const TPointF a = screenOf({2, 0, 3});
        const TPointF b = screenOf(to);
        f.viewport().MouseDown(TMouseButton::mbLeft, drag, a.X, a.Y);
        f.viewport().MouseMove(drag, b.X, b.Y);
        f.viewport().MouseUp(TMouseButton::mbLeft, {}, b.X, b.Y);
    };
    // The model's origin centre follows the mouse; the top view keeps the height.
    dragTo({5, 0, -1});
    EXPECT_NEAR(o.Position().X, 5 - model.OriginCenter().X, 0.05);
    EXPECT_NEAR(o.Position().Z, -1 - model.OriginCenter().Z, 0.05);
    EXPECT_FLOAT_EQ(o.Position().Y, before.Y);
    EXPECT_NEAR(o.GraphicalObject->Position().X, o.Position().X, 1e-3); // written back as shown

    const TPoint3D moved = o.Position();
    o.SetIsLocked(true);
    const TPointF at = screenOf(moved + model.OriginCenter());
    const TPointF away = screenOf({-3, 0, -3});
    f.viewport().MouseDown(TMouseButton::mbLeft, drag, at.X, at.Y);
    f.viewport().MouseMove(drag, away.X, away.Y);
    f.viewport().MouseUp(TMouseButton::mbLeft, {}, away.X, away.Y);
    EXPECT_EQ(o.Position(), moved);
}

TEST_F(Ornaments, InsertOrnamentalObjectEndsAPendingInsertionAndShowsThePickerOfOrnaments) {
    int shown = 0;
    picker.OnShowWindow = [&shown] { ++shown; };
    picker.OpenLibOrnamentAction.SetEnabled(true);
    ed.Adding.ArmOrnamentInsertion("Truss Block");
    picker.OpenLibOrnamentAction.Execute();
    EXPECT_FALSE(ed.State.InsertInMousePos_Ornament);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(picker.Mode, TLibraryPickerMode::Ornament);
    ASSERT_EQ(picker.Items.size(), 1u);
    EXPECT_EQ(picker.Items[0].Text, "Truss Block");
    // Disabled (a library without ornaments), the command does nothing.
    picker.OpenLibOrnamentAction.SetEnabled(false);
    picker.OpenLibOrnamentAction.Execute();
    EXPECT_EQ(shown, 1);
}

TEST_F(Ornaments, AMissingModelIsReportedAndPlacesNothing) {
    ed.Adding.ArmOrnamentInsertion("Gone");
    click({1, 0, 1});
    EXPECT_EQ(f.project->NOrnaments(), 0);
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, "Ornament: \"Gone\" was not found in Library");
    EXPECT_EQ(broughtToFront, 1);
}

TEST_F(Ornaments, OrnamentsSurviveSaveAndOpen) {
    ed.Adding.ArmOrnamentInsertion("Truss Block");
    click({2, 0, 3});
    ed.Adding.EndInsertionInViewPort3D();
    f.project->Ornaments()[0]->SetName("Stage left");
    ASSERT_TRUE(docs->SaveProjectFile(path("orna.V3DPrj").string()));
    ASSERT_TRUE(docs->LoadProjectFile(path("orna.V3DPrj").string()));
    ASSERT_EQ(f.project->NOrnaments(), 1);
    const TOrnament& o = *f.project->Ornaments()[0];
    EXPECT_EQ(o.Name(), "Stage left");
    EXPECT_NE(TOrnamentKind::OrnamentModel3D(o), nullptr);
    EXPECT_EQ(tabTexts(), std::vector<std::string>{"Orna 1: Stage left"});
}

TEST_F(Ornaments, ThePickerListsTexturesBeamModelsAndSoundSystemsByMode) {
    // The library lists the sample texture, which no longer decodes when the picker opens: it is listed
    // without a picture.
    testing::PngSignatureDecoder png;
    {
        ImageDecoderGuard guard(png);
        library->ReadLibraryFiles();
    }
    openPicker(TLibraryPickerMode::Texture);
    EXPECT_EQ(picker.Caption, "Select Texture from Library");
    EXPECT_FALSE(picker.OkButtonEnabled);
    ASSERT_EQ(picker.Items.size(), 1u);
    EXPECT_EQ(picker.Items[0].Text, "Checker.png");
    EXPECT_FALSE(picker.Items[0].Picture.has_value());
    picker.LibListViewItemClick(0);
    EXPECT_TRUE(picker.OkButtonEnabled);
    EXPECT_TRUE(picker.OkButtonClick());
    EXPECT_EQ(picker.Name, "Checker.png");
    {
        ImageDecoderGuard guard(png);
        openPicker(TLibraryPickerMode::Texture);
        ASSERT_TRUE(picker.Items[0].Picture.has_value());
        EXPECT_EQ(picker.Items[0].Detail, "Width: 2 px\r\nHeight: 2 px");
        EXPECT_EQ(picker.Name, "");
    }

    // Beam steering: only the models that allow it.
    openPicker(TLibraryPickerMode::BeamSteering);
    EXPECT_EQ(picker.Caption, "Select a Model to apply Beam Steering");
    std::vector<std::string> expected;
    for (const auto& m : f.project->ModelsDetected()->CabModel()) {
        if (m->AllowsBeamSteering()) {
            expected.push_back(m->ModelName());
        }
    }
    ASSERT_FALSE(expected.empty());
    ASSERT_LT(expected.size(), f.project->ModelsDetected()->CabModel().size());
    std::vector<std::string> listed;
    for (const auto& item : picker.Items) {
        listed.push_back(item.Text);
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(picker.SelectedBeamStModelID, -1);
    picker.LibListViewItemClick(0);
    EXPECT_EQ(picker.SelectedBeamStModelID, picker.Items[0].Tag);

    openPicker(TLibraryPickerMode::SoundSystem);
    EXPECT_EQ(picker.Caption, "Select Sound System from Library");
    EXPECT_EQ(picker.ButtonText, "Insert");
    EXPECT_TRUE(picker.Items.empty());
}

} // namespace
} // namespace vendrel
