// A kind the editor does not know, registered by the test alone: its objects are pressed, toggled,
// counted, dragged and written back through the one generic handler, as cabinets are.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "acoustics/events_held_back.h"
#include "editor/scopes.h"
#include "objects_fixture.h"
#include "platform/core/mesh.h"

namespace vendrel {
namespace {

using testing::ObjectsFixture;

// A placed object of a class of its own.
class TTestBox : public TQzControl3D {};

class TTestBoxKind : public TKindOf<TTestBox> {
public:
    explicit TTestBoxKind(TEditor& Editor) : TKindOf<TTestBox>(Editor, "TTestBox", " Boxes") {
        Placement.ShownOnSelection = false;
        Ranks = {10, 10, 10};
    }

    // A box at P: a holder carrying the position, a 1 m cube that takes the mouse.
    TTestBox& Add(const TPoint3D& P) {
        boxes.push_back(std::make_unique<TTestBox>());
        TTestBox& box = *boxes.back();
        box.SetPosition(P);
        TViewport3D& viewport = *ed_.Scene.Viewport3D1;
        auto* holder = new TDummy(&viewport);
        holder->SetParent(&viewport);
        holder->SetPosition(P);
        auto* cube = new TModel3D(holder);
        cube->SetParent(holder);
        cube->AddMesh(UnitCubeMesh());
        cube->SetWrapMode(TMeshWrapMode::wmStretch);
        cube->HitTest = true;
        cube->AutoCapture = true;
        cube->TagObject = &box;
        box.GraphicalObject = holder;
        ed_.ObjectMouse.Bind(*cube, *this);
        return box;
    }

    void ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const override {
        for (const auto& b : boxes) {
            Visit(*b);
        }
    }
    TQzControl3D* ObjectOf3D(const TObject* Drawn) const override {
        const auto* c = dynamic_cast<const TComponent*>(Drawn);
        return c != nullptr ? Cast(c->TagObject) : nullptr;
    }
    void WriteBack(TQzControl3D& Obj) override {
        const TPoint3D p = Obj.GraphicalObject->Position();
        Obj.SetPosition({static_cast<float>(ShownAndReadBack(p.X, 1, "0.000")),
                         static_cast<float>(ShownAndReadBack(p.Y, 1, "0.000")),
                         static_cast<float>(ShownAndReadBack(p.Z, 1, "0.000"))});
        ++writeBacks;
    }
    void MoveBy(TQzControl3D& Obj, const TPoint3D& D) override { Obj.SetPosition(Obj.Position() + D); }

    std::vector<std::unique_ptr<TTestBox>> boxes;
    int writeBacks = 0;
};

struct KindFixture : ObjectsFixture {
    KindFixture() {
        kind = &static_cast<TTestBoxKind&>(editor->Kinds.Register(std::make_unique<TTestBoxKind>(*editor)));
        topView();
    }
    TTestBoxKind* kind = nullptr;
};

TEST(Kinds, ARegisteredKindIsPressedToggledCountedDraggedAndWrittenBack) {
    KindFixture f;
    TTestBox& a = f.kind->Add({0, 0, 0});
    TTestBox& b = f.kind->Add({4, 0, 0});
    TShiftState ctrl;
    ctrl.Ctrl = true;

    f.click(a.Position());
    EXPECT_EQ(f.selection(), std::vector<TObject*>{&a});
    EXPECT_EQ(f.editor->PanelSwitching.StatusLabel.Text(), "1 Objects Selected, 1 Boxes");
    f.click(b.Position(), ctrl);
    EXPECT_EQ(f.selection(), (std::vector<TObject*>{&a, &b}));
    EXPECT_EQ(f.kind->State.NSelected, 2);
    f.click(a.Position(), ctrl);
    EXPECT_EQ(f.selection(), std::vector<TObject*>{&b});
    EXPECT_FALSE(a.IsObjectSelected());

    // Shift and the left button drag the selection; only the drawn object moves until the release,
    // which writes it back as shown, three decimals.
    f.click(a.Position(), ctrl);
    const TPointF from = f.screenOf(b.Position());
    const TPointF to = f.screenOf({5.23456f, 0, 1.1f});
    TShiftState drag;
    drag.Shift = true;
    drag.Left = true;
    f.viewport().MouseDown(TMouseButton::mbLeft, drag, from.X, from.Y);
    f.viewport().MouseMove(drag, to.X, to.Y);
    const TPoint3D drawnB = b.GraphicalObject->Position();
    EXPECT_NEAR(drawnB.X, 5.23456f, 0.02f);
    EXPECT_NEAR(drawnB.Z, 1.1f, 0.02f);
    EXPECT_FLOAT_EQ(drawnB.Y, 0); // the top view keeps heights
    EXPECT_EQ(b.Position(), TPoint3D(4, 0, 0));
    // Both selected boxes moved by the same distance.
    EXPECT_NEAR(a.GraphicalObject->Position().X, drawnB.X - 4, 1e-4);
    f.viewport().MouseUp(TMouseButton::mbLeft, {}, to.X, to.Y);
    EXPECT_EQ(f.kind->writeBacks, 2);
    EXPECT_FLOAT_EQ(b.Position().X, static_cast<float>(std::nearbyint(drawnB.X * 1000.0) / 1000.0));
    EXPECT_EQ(b.GraphicalObject->Position(), drawnB);

    // A release without a move writes nothing back.
    f.click(b.Position());
    EXPECT_EQ(f.kind->writeBacks, 2);
}

TEST(Kinds, ALockedObjectOrLayerKeepsItsPlaceInADrag) {
    KindFixture f;
    TTestBox& a = f.kind->Add({0, 0, 0});
    TTestBox& b = f.kind->Add({4, 0, 0});
    f.editor->Selection.UnSelectAllObjects();
    TShiftState ctrl;
    ctrl.Ctrl = true;
    f.click(a.Position(), ctrl);
    f.click(b.Position(), ctrl);
    b.SetIsLocked(true);
    f.editor->Moving.BeginDragSelection(TVector3D(0, 10, 0, 1), TVector3D(0, -1, 0, 0));
    f.editor->Moving.MoveSelectionByDelta({1, 0, 2});
    EXPECT_EQ(a.GraphicalObject->Position(), TPoint3D(1, 0, 2));
    EXPECT_EQ(b.GraphicalObject->Position(), TPoint3D(4, 0, 0));
    // The arrow keys look at the object's own lock only: one locked box stops the move, with a message.
    f.editor->Moving.ArrowKeyMove(TArrowKey::Up);
    EXPECT_EQ(a.Position(), TPoint3D(0, 0, 0));
    ASSERT_FALSE(f.boxes.shown.empty());
    EXPECT_EQ(f.boxes.shown.back().text, "There are 1 objects Locked.  Cannot be moved");
}

TEST(Kinds, AThrowInsideAHeldBlockGivesTheFlagsBack) {
    KindFixture f;
    TAcousticProject& p = *f.project;
    p.SetCalcHitPointEnabled(true);
    p.SetEventsEnabled(true);
    try {
        const THitPointsHeld held(p);
        const EventsHeldBack quiet(p);
        EXPECT_FALSE(p.CalcHitPointEnabled());
        EXPECT_FALSE(p.EventsEnabled());
        throw std::runtime_error("an edit failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(p.CalcHitPointEnabled());
    EXPECT_TRUE(p.EventsEnabled());
    // Nested holds give back what each found.
    p.SetCalcHitPointEnabled(false);
    { const THitPointsHeld held(p); }
    EXPECT_FALSE(p.CalcHitPointEnabled());
}

} // namespace
} // namespace vendrel
