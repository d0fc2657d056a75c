#include "acoustics/line_array.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "platform/core/dispatcher.h"
#include "platform/core/numeric.h"
#include "scene/scene_object.h"

namespace vendrel {
namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;

// A cabinet 0.4 m high hinged at the back, 0.3 m behind its origin; a frame whose anchors are 0.1 m
// apart, 0.4 m behind its origin.
struct ArrayFixture : ::testing::Test {
    TPhysicalSpace medium;
    ManualDispatcher ui;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TCabModel> cab;
    std::unique_ptr<TRigFrameModel> frame;

    void SetUp() override {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetContinuousRender(false);
        medium.StorePixelToMeters(0.5);
        cab = std::make_unique<TCabModel>(&medium, project.get());
        cab->SetWidth(0.6);
        cab->SetHeight(0.4);
        cab->SetDepth(1.0);
        cab->SetWeight(50.0);
        cab->SetJoinType(TJoinType::qzaBackJoin);
        setAnchors(*cab, 0.0);
        cab->SetAllowedAnglesFirstCabFlown({1.0, 2.0});
        cab->SetAllowedAnglesFlown({0.0, 3.0});
        cab->SetAllowedAnglesFirstCabStack({3.0, 1.0, 5.0});
        cab->SetAllowedAnglesStack({4.0, 2.0});
        cab->SetAllowedAnglesFirstCabHCluster({7.0});
        cab->SetAllowedAnglesHCluster({8.0});
        frame = std::make_unique<TRigFrameModel>(&medium, project.get());
        frame->SetWidth(1.0);
        frame->SetHeight(0.1);
        frame->SetDepth(0.8);
        frame->SetWeight(80.0);
        frame->SetBackTopAnchorPointXm(-0.4);
        frame->SetBackTopAnchorPointYm(0.05);
        frame->SetBackBotAnchorPointXm(-0.4);
        frame->SetBackBotAnchorPointYm(-0.05);
        frame->SetFrontTopAnchorPointXm(0.4);
        frame->SetFrontTopAnchorPointYm(0.05);
        frame->SetFrontBotAnchorPointXm(0.4);
        frame->SetFrontBotAnchorPointYm(-0.05);
    }
    // Hinges 0.3 m in front of and behind the origin, 0.2 m above and below it, Z sideways.
    static void setAnchors(TCabModel& m, double z) {
        m.SetBackTopRotPointXm(-0.3);
        m.SetBackTopRotPointYm(0.2);
        m.SetBackTopRotPointZm(z);
        m.SetBackBotRotPointXm(-0.3);
        m.SetBackBotRotPointYm(-0.2);
        m.SetBackBotRotPointZm(z);
        m.SetFrontTopRotPointXm(0.3);
        m.SetFrontTopRotPointYm(0.2);
        m.SetFrontTopRotPointZm(z);
        m.SetFrontBotRotPointXm(0.3);
        m.SetFrontBotRotPointYm(-0.2);
        m.SetFrontBotRotPointZm(z);
    }
    std::unique_ptr<TCabArray> array(int cabinets, TArrayMounting mounting = TArrayMounting::qzaFlown) {
        auto a = std::make_unique<TCabArray>(&medium, project.get());
        a->SetMountingType(mounting);
        a->AddFrame(frame.get());
        for (int i = 0; i < cabinets; ++i) {
            a->AddCabinet(cab.get(), true);
        }
        return a;
    }
};

void expectPoint(const TPoint3D& got, double x, double y, double z, double tol = 2e-5) {
    EXPECT_NEAR(got.X, x, tol);
    EXPECT_NEAR(got.Y, y, tol);
    EXPECT_NEAR(got.Z, z, tol);
}

// Flown: the frame's upper hinge hangs at the array's origin turned by the tilt; each cabinet hangs
// by its upper back hinge from the lower back hinge of the element above (0.1 m below the frame's,
// 0.4 m below a cabinet's, along the turned vertical) and is turned by the sum of the angles above.
TEST_F(ArrayFixture, FlownChainHangsEachCabinetFromTheOneAbove) {
    auto a = array(3);
    EXPECT_NEAR(a->CabinetList()[0]->RotationAngle().Z, 1.0, 1e-6); // the first-cabinet table
    EXPECT_NEAR(a->CabinetList()[1]->RotationAngle().Z, 0.0, 1e-6); // the general table
    a->CabinetList()[1]->SetRotationAngleZ(4.0f);
    a->CabinetList()[2]->SetRotationAngleZ(6.0f);
    a->SetTilt(3.0);
    a->SetPositionsInsideArray();

    const double theta[] = {-3.0 + 1.0, -3.0 + 1.0 + 4.0, -3.0 + 1.0 + 4.0 + 6.0};
    double hx = -0.1 * std::sin(-3.0 * kDeg), hy = 0.1 * std::cos(-3.0 * kDeg); // below the frame
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const TCabinet& c = *a->CabinetList()[static_cast<size_t>(k)];
        const double t = theta[k] * kDeg;
        expectPoint(c.AbsolutePosition(), hx + 0.3 * std::cos(t) - 0.2 * std::sin(t),
                    hy + 0.3 * std::sin(t) + 0.2 * std::cos(t), 0.0);
        expectPoint(c.LocalToAbsolute3D({-0.3f, -0.2f, 0.0f}), hx, hy, 0.0); // its upper back hinge
        expectPoint(c.LocalToAbsoluteDirection({1, 0, 0}), std::cos(t), std::sin(t), 0.0, 1e-6);
        EXPECT_NEAR(c.AbsoluteRotationZ(), theta[k], 1e-4);
        hx += -0.4 * std::sin(t);
        hy += 0.4 * std::cos(t);
    }
}

// Stacked: the frame stands at the origin, each cabinet stands by its lower back hinge on the upper
// back hinge of the element below, on angles nearest to 0 from the stacking tables, negated. The
// cabinets' hinges sit 5 cm to the side of the frame's and still meet them.
TEST_F(ArrayFixture, StackedChainStandsEachCabinetOnTheOneBelow) {
    setAnchors(*cab, 0.05);
    auto a = array(3, TArrayMounting::qzaStacked);
    a->SetPositionsInsideArray();
    const double theta[] = {-1.0, -1.0 - 2.0, -1.0 - 2.0 - 2.0};
    double hx = 0.0, hy = -0.05; // the frame's upper hinge
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const TCabinet& c = *a->CabinetList()[static_cast<size_t>(k)];
        const double t = theta[k] * kDeg;
        EXPECT_NEAR(c.AbsoluteRotationZ(), theta[k], 1e-4);
        expectPoint(c.LocalToAbsolute3D({-0.3f, 0.2f, 0.05f}), hx, hy, 0.0); // its lower back hinge
        expectPoint(c.AbsolutePosition(), hx + 0.3 * std::cos(t) + 0.2 * std::sin(t),
                    hy + 0.3 * std::sin(t) - 0.2 * std::cos(t), -0.05);
        hx += 0.4 * std::sin(t);
        hy += -0.4 * std::cos(t);
    }
}

// Changing the mounting turns the splay angles the other way and places the chain again; the tilt
// stays what it was, so going back restores the array.
TEST_F(ArrayFixture, MountingRoundTripKeepsTheTiltAndRestoresTheSplay) {
    auto a = array(2);
    a->CabinetList()[1]->SetRotationAngleZ(5.0f);
    a->SetTilt(4.0);
    a->SetPositionsInsideArray();
    const TPoint3D before = a->CabinetList()[1]->AbsolutePosition();
    a->SetMountingType(TArrayMounting::qzaStacked);
    const auto* frameNode = dynamic_cast<const TRiggingFrame*>(a->ArrayList()[1]);
    EXPECT_NEAR(frameNode->AbsoluteRotationZ(), -4.0, 1e-5);
    EXPECT_FLOAT_EQ(a->CabinetList()[0]->RotationAngle().Z, -1.0f);
    EXPECT_FLOAT_EQ(a->CabinetList()[1]->RotationAngle().Z, -5.0f);
    EXPECT_LT(a->CabinetList()[1]->AbsolutePosition().Y, 0.0f); // standing above the origin
    a->SetMountingType(TArrayMounting::qzaFlown);
    EXPECT_NEAR(frameNode->AbsoluteRotationZ(), -4.0, 1e-5);
    EXPECT_FLOAT_EQ(a->CabinetList()[1]->RotationAngle().Z, 5.0f);
    expectPoint(a->CabinetList()[1]->AbsolutePosition(), before.X, before.Y, before.Z);
}

// The prediction aims a cabinet by its absolute rotation: a cabinet added below an element that is
// already turned carries that turn too, as one added before the turn does.
TEST_F(ArrayFixture, CabinetsAddedBelowATurnedElementCarryItsTurn) {
    auto a = array(1);
    a->SetTilt(5.0);
    a->AddDummy();
    a->AddCabinet(cab.get(), true); // below a spacer: the first-cabinet table, 1 degree
    a->AddCabinet(cab.get(), true); // the general table: 0 degrees to the one above
    a->SetPositionsInsideArray();
    const double theta[] = {-5.0 + 1.0, -5.0 + 1.0 + 1.0, -5.0 + 1.0 + 1.0};
    for (size_t k = 0; k < 3; ++k) {
        const TCabinet* c = a->CabinetList()[k];
        EXPECT_NEAR(c->AbsoluteRotationZ(), theta[k], 1e-4);
        const double t = theta[k] * kDeg;
        expectPoint(c->LocalToAbsoluteDirection({1, 0, 0}), std::cos(t), std::sin(t), 0.0, 1e-6);
    }
}

TEST_F(ArrayFixture, TiltIsClampedToAHalfTurn) {
    auto a = array(1);
    const double cases[][2] = {{179.2, 180.0}, {-179.5, -180.0}, {179.0, 179.0}, {-12.5, -12.5}};
    for (const auto& c : cases) {
        a->SetTilt(c[0]);
        EXPECT_EQ(a->Tilt(), c[1]);
        const double t = -c[1] * kDeg;
        expectPoint(a->ArrayList()[1]->LocalToAbsoluteDirection({1, 0, 0}), std::cos(t), std::sin(t), 0.0,
                    1e-6);
    }
}

// The tilt turns the whole array about the horizontal axis across its front, about the point it
// flies from; a horizontal array (its first element turned a quarter about X) tilts as a vertical one
// does instead of turning sideways.
TEST_F(ArrayFixture, TiltTurnsTheArrayAboutTheHorizontalAxisAcrossItsFront) {
    for (const TCabPlacement orientation : {TCabPlacement::qzaVertical, TCabPlacement::qzaHorizontal}) {
        SCOPED_TRACE(static_cast<int>(orientation));
        auto a = array(3);
        a->SetRotationAngleY(30.0f);
        a->SetOrientation(orientation);
        a->CabinetList()[0]->SetRotationAngleZ(0.0f);
        a->CabinetList()[2]->SetRotationAngleZ(3.0f);
        a->SetPositionsInsideArray();
        const TControl3D& frameNode = *a->ArrayList()[1];
        const TPoint3D pivot = frameNode.LocalToAbsolute3D(frameNode.RotationCenter());
        std::vector<TPoint3D> aim0, pos0;
        for (const TCabinet* c : a->CabinetList()) {
            aim0.push_back(c->LocalToAbsoluteDirection({1, 0, 0}));
            pos0.push_back(c->AbsolutePosition());
        }
        // Cabinet 1 faces the array's direction: 30 degrees off the scene's X axis.
        expectPoint(aim0[0], std::cos(30 * kDeg), 0.0, -std::sin(30 * kDeg), 1e-6);
        const TMatrix3D direction = TMatrix3D::CreateRotationY(static_cast<float>(30 * kDeg));
        for (const double tilt : {-2.0, 5.0}) {
            SCOPED_TRACE(tilt);
            a->SetTilt(tilt);
            // About the scene axis the array's Z axis points along, which stays horizontal.
            const TMatrix3D turn = direction.Inverse() *
                                   TMatrix3D::CreateRotationZ(static_cast<float>(-tilt * kDeg)) * direction;
            for (size_t k = 0; k < aim0.size(); ++k) {
                SCOPED_TRACE(k);
                const TCabinet& c = *a->CabinetList()[k];
                const TPoint3D aim = aim0[k] * turn;
                expectPoint(c.LocalToAbsoluteDirection({1, 0, 0}), aim.X, aim.Y, aim.Z, 1e-5);
                const TPoint3D p = pivot + (pos0[k] - pivot) * turn;
                expectPoint(c.AbsolutePosition(), p.X, p.Y, p.Z, 1e-5);
            }
            expectPoint(frameNode.LocalToAbsolute3D(frameNode.RotationCenter()), pivot.X, pivot.Y, pivot.Z);
        }
        a->SetTilt(-2.0);
        // Tilted down by 2 degrees, cabinet 1 still faces 30 degrees sideways.
        expectPoint(a->CabinetList()[0]->LocalToAbsoluteDirection({1, 0, 0}), 0.8655, 0.0349, -0.4997, 1e-4);
    }
}

TEST_F(ArrayFixture, FirstSplayAnglesComeFromTheMountingsTables) {
    auto h = std::make_unique<TCabArray>(&medium, project.get());
    h->SetMountingType(TArrayMounting::qzaHorizCluster);
    h->AddCabinet(cab.get(), true); // below the array itself: the general table, negated
    h->AddDummy();
    h->AddCabinet(cab.get(), true); // below a spacer: the first-cabinet table, negated
    EXPECT_FLOAT_EQ(h->CabinetList()[0]->RotationAngle().Z, -8.0f);
    EXPECT_FLOAT_EQ(h->CabinetList()[1]->RotationAngle().Z, -7.0f);
    EXPECT_EQ(h->NObjects(), 3);
    EXPECT_EQ(h->CabinetList()[1]->ArrayElementPosID(), 3);
    EXPECT_EQ(h->CabinetList()[1]->ArrayCabinetPosID(), 2);

    // An empty table is an error that leaves the array as it was.
    cab->SetAllowedAnglesHCluster({});
    EXPECT_THROW(h->AddCabinet(cab.get(), true), ERangeError);
    EXPECT_EQ(h->NObjects(), 3);
    EXPECT_EQ(h->NCabinets(), 2);
}

TEST_F(ArrayFixture, WeightHeightAndBounds) {
    auto a = array(3);
    EXPECT_FLOAT_EQ(a->GetTotalWeight(), 230.0f);
    EXPECT_DOUBLE_EQ(a->GetHeight(), 0.1 + 3 * 0.4);
    a->CabinetList()[0]->SetRotationAngleZ(0.0f);
    a->SetPositionsInsideArray();
    // Straight down: the frame's box (1 m wide, centred 0.4 m in front of the hinge) and three
    // cabinets of 0.6 m centred 0.3 m in front of it; 1.3 m from the frame's top to the last bottom.
    const TBoundingBox b = a->GlobalBounds();
    expectPoint(b.Min, -0.1, 0.0, -0.5);
    expectPoint(b.Max, 0.9, 1.3, 0.5);
    const TBoundingBox l = a->LocalBounds();
    expectPoint(l.Min, -0.5, -0.65, -0.5);
}

// Flying from a pick point puts that point at the array's origin; placing the chain again keeps it
// there.
TEST_F(ArrayFixture, ArrayFliesFromItsChosenPickPoint) {
    frame->SetNPickPoints(3);
    frame->SetPickPoints({{-0.3f, 0.05f, 0.0f}, {0.0f, 0.05f, 0.0f}, {0.3f, 0.05f, 0.0f}});
    auto a = array(2);
    a->SetPositionsInsideArray();
    // One point without a flying point yet: nothing.
    EXPECT_FALSE(a->SetArrayOrigin());
    EXPECT_EQ(a->OriginPoint(), TPoint3D());

    a->SetOriginType(TOriginType::qzaFlyTwoPoints); // runs SetArrayOrigin: the first point
    EXPECT_EQ(a->OriginPoint(), TPoint3D(-0.3f, 0.05f, 0.0f));
    const TControl3D& f = *a->ArrayList()[1];
    expectPoint(f.LocalToAbsolute3D({-0.3f, -0.05f, 0.0f}), 0.0, 0.0, 0.0);
    EXPECT_FALSE(a->SetArrayOrigin()); // unchanged
    a->SetPositionsInsideArray();
    expectPoint(f.LocalToAbsolute3D({-0.3f, -0.05f, 0.0f}), 0.0, 0.0, 0.0);

    a->SetOriginType(TOriginType::qzaFlyOnePoint);
    a->RecalcMechanics();
    ASSERT_GE(a->MechanicalData().FlyingPoint, 1);
    a->SetArrayOrigin();
    const TPoint3D p = frame->PickPoints()[static_cast<size_t>(a->MechanicalData().FlyingPoint - 1)];
    expectPoint(f.LocalToAbsolute3D({p.X, -p.Y, p.Z}), 0.0, 0.0, 0.0);
}

// Removing an element keeps the chain whole: the element below hangs where the removed one hung,
// and the removed cabinet leaves its process and its layer before it is freed.
TEST_F(ArrayFixture, RemovedElementsLeaveTheChainWholeAndTheirProcessClean) {
    auto owned = array(3);
    TCabArray* a = owned.get();
    a->CabinetList()[0]->SetRotationAngleZ(0.0f);
    a->SetPositionsInsideArray();
    project->AddArray(std::move(owned));
    TCabinet* middle = a->CabinetList()[1];
    TCabinet* last = a->CabinetList()[2];
    TGenericDSPProcess* process = project->AddDSPProcess();
    middle->SetExternalDSPProcess(process);
    TQzLayer layer;
    middle->SetMyLayer(&layer);
    layer.ObjListInLayer.push_back(middle);

    project->RemoveElementFromArray(middle, a);
    EXPECT_TRUE(process->AppliedOn().empty());
    EXPECT_TRUE(layer.ObjListInLayer.empty());
    EXPECT_EQ(project->LastLogString(), "---------------------AcousticProject.RemoveElementFromArray");
    ASSERT_EQ(a->NCabinets(), 2);
    EXPECT_EQ(a->CabinetList()[1], last);
    EXPECT_EQ(last->ArrayElementPosID(), 3);
    EXPECT_EQ(last->ArrayCabinetPosID(), 2);
    // The last cabinet now hangs 0.4 m higher, from the first cabinet's lower hinge.
    expectPoint(last->LocalToAbsolute3D({-0.3f, -0.2f, 0.0f}), 0.0, 0.1 + 0.4, 0.0);
    EXPECT_EQ(project->TotalCabinets(), 2);

    // A cabinet right below a frame (not the first element) takes the frame with it.
    project->RemoveCabinetFromArray(a->CabinetList()[0], a);
    EXPECT_EQ(a->NObjects(), 1);
    EXPECT_EQ(a->ArrayList()[1], last);
    EXPECT_EQ(last->ArrayElementPosID(), 1);
    EXPECT_EQ(project->TotalCabinets(), 1);
}

} // namespace
} // namespace vendrel
