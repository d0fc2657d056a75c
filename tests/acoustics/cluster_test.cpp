#include "acoustics/cluster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "acoustics/beam_steering.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "platform/core/dispatcher.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;

struct ClusterFixture : ::testing::Test {
    TPhysicalSpace medium;
    ManualDispatcher ui;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TCabModel> model;

    void SetUp() override {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetContinuousRender(false);
        medium.StorePixelToMeters(0.5);
        model = std::make_unique<TCabModel>(&medium, project.get());
        model->SetWidth(0.6);
        model->SetHeight(0.3);
        model->SetDepth(0.5);
        model->SetWeight(30.0);
    }
    std::unique_ptr<TCluster> cluster() {
        return std::make_unique<TCluster>(&medium, project.get(), model.get(), TCabPlacement::qzaVertical);
    }
};

// The cabinets of a grid, (column, row) -> position and rotation, from the layout's figures by hand:
// cabinets on a sphere of radius R at azimuth a and elevation e sit at (R cos e cos a, -R sin e,
// R cos e sin a) (Y down) and face outwards; on a plane they are spaced by their extent plus the gap.
TEST(ClusterPlacement, GridsOfEveryDistribution) {
    struct Expect {
        int32_t i, j;
        TPoint3D position, rotation;
    };
    struct Case {
        const char* name;
        TClusterLayout layout;
        std::vector<Expect> cabinets;
    };
    const double c10 = std::cos(10 * kDeg), s10 = std::sin(10 * kDeg);
    const double c5 = std::cos(5 * kDeg), s5 = std::sin(5 * kDeg);
    const auto pt = [](double x, double y, double z) {
        return TPoint3D(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    };
    TClusterLayout linear;
    linear.Distribution = TClusterDistribution::qzaLinear;
    linear.QuantityH = 3;
    linear.QuantityV = 2;
    linear.LinearHSpace = 0.1f;
    linear.LinearVSpace = 0.2f;
    linear.ExtentH = 0.5;
    linear.ExtentV = 0.3;
    TClusterLayout angular;
    angular.Distribution = TClusterDistribution::qzaAngular;
    angular.QuantityH = 3;
    angular.QuantityV = 2;
    angular.AngularHAngle = 10;
    angular.AngularVAngle = 10;
    angular.AngularRadius = 1.2f;
    TClusterLayout inverted = angular;
    inverted.IsInvDirection = true;
    TClusterLayout angH = linear;
    angH.Distribution = TClusterDistribution::qzaAngHLinV;
    angH.AngularHAngle = 10;
    angH.AngularRadius = 2.0f;
    TClusterLayout angV = linear;
    angV.Distribution = TClusterDistribution::qzaAngVLinH;
    angV.AngularVAngle = 10;
    angV.AngularRadius = 2.0f;
    const Case cases[] = {
        // Columns 0.6 m apart (0.5 + 0.1) centred on the cluster; rows 0.5 m apart (0.3 + 0.2).
        {"linear",
         linear,
         {{0, 0, pt(0, -0.25, -0.6), pt(0, 0, 0)},
          {1, 0, pt(0, -0.25, 0), pt(0, 0, 0)},
          {2, 1, pt(0, 0.25, 0.6), pt(0, 0, 0)}}},
        // Columns at azimuths +10, 0, -10 degrees, rows at elevations -5 and +5 degrees (upper row
        // higher, so at negative Y), each turned to face outwards.
        {"angular",
         angular,
         {{0, 0, pt(1.2 * c5 * c10, 1.2 * s5, 1.2 * c5 * s10), pt(0, -10, 5)},
          {1, 1, pt(1.2 * c5, -1.2 * s5, 0), pt(0, 0, -5)},
          {2, 1, pt(1.2 * c5 * c10, -1.2 * s5, -1.2 * c5 * s10), pt(0, 10, -5)}}},
        // Inverted: the same places, every cabinet turned round and its vertical splay mirrored.
        {"inverted", inverted, {{0, 0, pt(1.2 * c5 * c10, 1.2 * s5, 1.2 * c5 * s10), pt(0, -190, -5)}}},
        {"angular across, linear up",
         angH,
         {{0, 0, pt(2 * c10, -0.25, 2 * s10), pt(0, -10, 0)},
          {2, 1, pt(2 * c10, 0.25, -2 * s10), pt(0, 10, 0)}}},
        {"linear across, angular up",
         angV,
         {{0, 0, pt(2 * c5, 2 * s5, -0.6), pt(0, 0, 5)}, {2, 1, pt(2 * c5, -2 * s5, 0.6), pt(0, 0, -5)}}},
    };
    for (const Case& c : cases) {
        for (const Expect& e : c.cabinets) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(e.i) + "," + std::to_string(e.j));
            const TClusterPlacement p = ClusterCabinetPlacement(c.layout, e.i, e.j);
            ASSERT_TRUE(p.Placed);
            EXPECT_NEAR(p.Position.X, e.position.X, 1e-5);
            EXPECT_NEAR(p.Position.Y, e.position.Y, 1e-5);
            EXPECT_NEAR(p.Position.Z, e.position.Z, 1e-5);
            EXPECT_NEAR(p.RotationAngle.X, e.rotation.X, 1e-4);
            EXPECT_NEAR(p.RotationAngle.Y, e.rotation.Y, 1e-4);
            EXPECT_NEAR(p.RotationAngle.Z, e.rotation.Z, 1e-4);
        }
    }
}

TEST_F(ClusterFixture, NewClusterHoldsOneCabinetAtItsCentre) {
    auto c = cluster();
    ASSERT_EQ(c->NCabinets(), 1);
    TCabinet* only = c->Cabinets(0, 0);
    EXPECT_EQ(only->Parent(), c.get());
    EXPECT_EQ(only->MyCluster(), c.get());
    EXPECT_EQ(only->Position(), TPoint3D());
    EXPECT_EQ(only->RotationAngle(), TPoint3D());
    EXPECT_TRUE(only->Active());
    EXPECT_EQ(c->Name(), "No Name");
    EXPECT_EQ(c->ClusterMounting(), TArrayMounting::qzaMatrix);
    EXPECT_EQ(c->ClusterDistribution(), TClusterDistribution::qzaLinear);
    c->SetIsInvDirection(true);
    EXPECT_EQ(only->RotationAngle(), TPoint3D(0, -180, 0));
    // Without a model the grid does not change.
    TCluster empty(&medium, project.get(), nullptr, TCabPlacement::qzaVertical);
    empty.SetQuantityH(3);
    EXPECT_EQ(empty.NCabinets(), 0);
}

// The list grows column by column or row by row as the quantities change; shrinking releases the
// last cells, last row first, and keeps the others in their order.
TEST_F(ClusterFixture, GrowingAndShrinkingKeepTheCabinetOrder) {
    auto c = cluster();
    c->SetQuantityH(3);
    c->SetQuantityV(2);
    const std::vector<TCabinet*> grown = {c->Cabinets(0, 0), c->Cabinets(1, 0), c->Cabinets(2, 0),
                                          c->Cabinets(0, 1), c->Cabinets(1, 1), c->Cabinets(2, 1)};
    EXPECT_EQ(c->CabinetList(), grown);
    for (size_t k = 0; k < grown.size(); ++k) {
        EXPECT_EQ(grown[k]->Parent(), c.get());
    }

    // A cabinet of the dropped column uses a process: it must leave the process's users.
    TGenericDSPProcess* process = project->AddDSPProcess();
    c->Cabinets(2, 1)->SetExternalDSPProcess(process);
    ASSERT_EQ(process->AppliedOn().size(), 1u);
    c->SetQuantityH(2);
    EXPECT_TRUE(process->AppliedOn().empty());
    EXPECT_EQ(c->CabinetList(), (std::vector<TCabinet*>{grown[0], grown[1], grown[3], grown[4]}));
    EXPECT_THROW(c->Cabinets(2, 0), ERangeError);

    c->SetQuantityV(1);
    EXPECT_EQ(c->CabinetList(), (std::vector<TCabinet*>{grown[0], grown[1]}));
    c->SetQuantityH(2); // unchanged
    EXPECT_EQ(c->NCabinets(), 2);
    EXPECT_THROW(c->SetQuantityH(-1), ERangeError);
    EXPECT_EQ(c->NCabinets(), 2);
    c->SetQuantityH(0);
    EXPECT_EQ(c->NCabinets(), 0);
}

// Cabinets added to a turned cluster take its turn as the ones already in it did: a grid grown after
// the turn ends as the same grid turned after it was grown, down to what the map kernel reads.
TEST_F(ClusterFixture, CabinetsAddedToATurnedClusterTakeItsTurn) {
    auto grownAfter = cluster();
    grownAfter->SetQuantityH(2);
    grownAfter->SetRotationAngle({0, 60, 0});
    grownAfter->SetQuantityH(3);
    grownAfter->SetQuantityV(2);
    auto turnedAfter = cluster();
    turnedAfter->SetQuantityH(3);
    turnedAfter->SetQuantityV(2);
    turnedAfter->SetRotationAngle({0, 60, 0});
    ASSERT_EQ(grownAfter->NCabinets(), 6);
    ASSERT_EQ(turnedAfter->NCabinets(), 6);
    for (size_t k = 0; k < 6; ++k) {
        const TCabinet& got = *grownAfter->CabinetList()[k];
        const TCabinet& want = *turnedAfter->CabinetList()[k];
        EXPECT_NEAR(got.AbsoluteRotationRadY(), 60 * kDeg, 1e-6) << "cabinet " << k;
        EXPECT_NEAR(got.AbsoluteRotationRadX(), want.AbsoluteRotationRadX(), 1e-9) << "cabinet " << k;
        EXPECT_NEAR(got.AbsoluteRotationRadZ(), want.AbsoluteRotationRadZ(), 1e-9) << "cabinet " << k;
        EXPECT_EQ(got.AbsolutePosition(), want.AbsolutePosition()) << "cabinet " << k;
        ASSERT_EQ(got.SourcePoints().size(), want.SourcePoints().size());
        for (size_t i = 0; i < got.SourcePoints().size(); ++i) {
            const TSourcePoint& a = *got.SourcePoints()[i];
            const TSourcePoint& b = *want.SourcePoints()[i];
            EXPECT_NEAR(a.AbsoluteRotationRadX(), b.AbsoluteRotationRadX(), 1e-9) << "cabinet " << k;
            EXPECT_NEAR(a.AbsoluteRotationRadY(), b.AbsoluteRotationRadY(), 1e-9) << "cabinet " << k;
            EXPECT_NEAR(a.AbsoluteRotationRadZ(), b.AbsoluteRotationRadZ(), 1e-9) << "cabinet " << k;
            EXPECT_NEAR(a.XpixAbs(), b.XpixAbs(), 1e-9) << "cabinet " << k;
            EXPECT_NEAR(a.ZpixAbs(), b.ZpixAbs(), 1e-9) << "cabinet " << k;
        }
    }
}

TEST_F(ClusterFixture, BoundsAndWeightComeFromTheModel) {
    auto c = cluster();
    c->SetQuantityH(2);
    c->SetQuantityV(2);
    c->SetLinearHSpace(0.1f);
    EXPECT_FLOAT_EQ(c->GetTotalWeight(), 120.0f);
    // Two columns of 0.5 m with a 0.1 m gap: 1.1 m across (Z); two rows of 0.3 m: 0.6 m high; one
    // cabinet deep (0.6 m along X). The cluster stands at (1, -2, 3).
    c->SetPosition({1, -2, 3});
    const TBoundingBox g = c->GlobalBounds();
    EXPECT_NEAR(g.Min.X, 0.7, 1e-5);
    EXPECT_NEAR(g.Max.X, 1.3, 1e-5);
    EXPECT_NEAR(g.Min.Y, -2.3, 1e-5);
    EXPECT_NEAR(g.Max.Y, -1.7, 1e-5);
    EXPECT_NEAR(g.Min.Z, 2.45, 1e-5);
    EXPECT_NEAR(g.Max.Z, 3.55, 1e-5);
    EXPECT_NEAR(c->GetHeight(), 0.6, 1e-5);
    const TBoundingBox l = c->LocalBounds();
    EXPECT_NEAR(l.Min.Z, -0.55, 1e-5);
    EXPECT_NEAR(l.Max.X, 0.3, 1e-5);

    // On their sides (the panel turns each cabinet with the cluster) the cabinets swap height and
    // depth: 0.3 m columns, 0.5 m rows.
    c->SetOrientation(TCabPlacement::qzaHorizontal);
    for (TCabinet* cab : c->CabinetList()) {
        cab->SetPlacementType(TCabPlacement::qzaHorizontal);
    }
    EXPECT_NEAR(c->GlobalBounds().Depth(), 0.3 + 0.1 + 0.3, 1e-5);
    EXPECT_NEAR(c->GlobalBounds().Height(), 1.0, 1e-5);
}

TEST_F(ClusterFixture, RemovingARegisteredClusterReleasesItsCabinetsFromTheirProcess) {
    auto owned = cluster();
    TCluster* c = owned.get();
    c->SetQuantityH(2);
    project->AddCluster(std::move(owned));
    EXPECT_EQ(c->MyAcousticProject(), project.get());
    EXPECT_EQ(project->TotalCabinets(), 2);
    TGenericDSPProcess* process = project->AddDSPProcess();
    c->Cabinets(1, 0)->SetExternalDSPProcess(process);
    project->RemoveCluster(c);
    EXPECT_TRUE(process->AppliedOn().empty());
    EXPECT_EQ(project->NClusters(), 0);
}

} // namespace
} // namespace vendrel
