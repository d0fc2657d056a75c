#include "acoustics/sound_system.h"

#include <gtest/gtest.h>

#include <memory>

#include "acoustics/beam_steering.h"
#include "acoustics/cab_model.h"
#include "acoustics/cluster.h"
#include "acoustics/ornament.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/dispatcher.h"

namespace vendrel {
namespace {

TEST(SoundSystem, CountsMembersByKindAndBoundsThem) {
    TPhysicalSpace medium;
    ManualDispatcher ui;
    TAcousticProject project(&medium, &ui);
    project.SetContinuousRender(false);
    TSystem system(&project);
    EXPECT_EQ(system.UpdateVersion(), 0);
    // Empty: the box at the origin.
    EXPECT_EQ(system.GlobalBounds().Min, TPoint3D());
    EXPECT_EQ(system.LocalBounds().Max, TPoint3D());

    TCabModel model(&medium, &project);
    model.SetWidth(1.0);
    model.SetHeight(1.0);
    model.SetDepth(1.0);
    TCluster cluster(&medium, &project, &model, TCabPlacement::qzaVertical);
    TBeamContainer beam(&medium, &project, &model, TCabPlacement::qzaVertical);
    TOrnament box(&medium, nullptr, &project, {5.5f, 5.5f, 5.5f}, {}, false); // 1 x 1 x 1 node
    TOrnament flat(&medium, nullptr, &project, {}, {}, false);
    flat.SetHeight(0.0f); // no extent: adds nothing to the box
    cluster.SetPosition({-20, 0, 0});
    beam.SetPosition({-20, 0, 0});
    system.ObjectList() = {&cluster, &beam};
    EXPECT_EQ(system.NObjects(), 2);
    EXPECT_EQ(system.NClusters(), 1);
    EXPECT_EQ(system.NBeams(), 1);
    EXPECT_EQ(system.NCabinets(), 0);

    system.ObjectList() = {&flat, &box};
    EXPECT_EQ(system.NOrnaments(), 2);
    EXPECT_EQ(system.GlobalBounds().Min, TPoint3D(5, 5, 5));
    EXPECT_EQ(system.GlobalBounds().Max, TPoint3D(6, 6, 6));
    EXPECT_EQ(system.LocalBounds().Min, TPoint3D(-0.5f, -0.5f, -0.5f));
    EXPECT_EQ(system.LocalBounds().Max, TPoint3D(0.5f, 0.5f, 0.5f));

    // A cluster is measured by its cabinets: one 1 m cabinet at (-20, 0, 0).
    system.ObjectList() = {&box, &cluster};
    EXPECT_EQ(system.GlobalBounds().Min, TPoint3D(-20.5f, -0.5f, -0.5f));
    EXPECT_EQ(system.GlobalBounds().Max, TPoint3D(6, 6, 6));
}

} // namespace
} // namespace vendrel
