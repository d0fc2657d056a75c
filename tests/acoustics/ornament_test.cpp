#include "acoustics/material.h"
#include "acoustics/model_registry.h"
#include "acoustics/ornament.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/dispatcher.h"
#include "platform/core/geometry3d.h"
#include "platform/core/numeric.h"
#include "scene/scene_object.h"

#include <gtest/gtest.h>

#include <memory>

namespace vendrel {
namespace {

struct OrnamentFixture : ::testing::Test {
    TPhysicalSpace medium;
    ManualDispatcher ui;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TOrnaModel> model;

    void SetUp() override {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetContinuousRender(false);
        model = std::make_unique<TOrnaModel>(&medium, project.get());
        model->SetModelName("Truss 2m");
        model->SetWidth(2.0);
        model->SetHeight(0.3);
        model->SetDepth(0.4);
        model->SetOriginCenter({1.0f, 0.0f, 0.0f});
    }
    TOrnament* add() { return project->AddOrnament(model.get(), {1, 2, 3}, {0, 90, 0}, false); }
};

TEST_F(OrnamentFixture, AddedOrnamentsTakeTheModelAndAreRenumberedOnRemoval) {
    const int32_t unique = project->UniqueID();
    TOrnament* a = add();
    TOrnament* b = add();
    TOrnament* c = add();
    EXPECT_EQ(project->UniqueID(), unique + 3);
    EXPECT_EQ(a->NumberID(), 1);
    EXPECT_EQ(c->NumberID(), 3);
    EXPECT_EQ(a->Name(), "Truss 2m");
    EXPECT_EQ(a->Model(), model.get());
    EXPECT_EQ(a->MyAcousticProject(), project.get());
    EXPECT_EQ(a->Width(), 2.0f);
    EXPECT_EQ(a->Depth(), 0.4f);
    EXPECT_EQ(a->Position(), TPoint3D(1, 2, 3));
    EXPECT_EQ(a->RotationAngle(), TPoint3D(0, 90, 0));
    EXPECT_EQ(a->RotationCenter(), TPoint3D(1, 0, 0));
    EXPECT_EQ(project->LastLogString(), "---------------------AcousticProject.AddOrnament");

    TQzLayer layer;
    a->SetMyLayer(&layer);
    layer.ObjListInLayer.push_back(a);
    project->RemoveOrnament(a);
    EXPECT_TRUE(layer.ObjListInLayer.empty());
    ASSERT_EQ(project->NOrnaments(), 2);
    EXPECT_EQ(b->NumberID(), 0);
    EXPECT_EQ(c->NumberID(), 1);
    EXPECT_EQ(add()->NumberID(), 3);
    EXPECT_EQ(project->LastLogString(), "---------------------AcousticProject.AddOrnament");
}

TEST_F(OrnamentFixture, ResizingOrMovingMarksTheProjectModified) {
    TOrnament* orna = add();
    EXPECT_TRUE(project->IsProjectModified()); // creation too
    struct Case {
        const char* edit;
        void (*apply)(TOrnament&);
    };
    const Case cases[] = {
        {"width", [](TOrnament& o) { o.SetWidth(5.0f); }},
        {"height", [](TOrnament& o) { o.SetHeight(5.0f); }},
        {"depth", [](TOrnament& o) { o.SetDepth(5.0f); }},
        {"move",
         [](TOrnament& o) {
             o.SetPosition({7, 7, 7});
         }},
        {"turn", [](TOrnament& o) { o.SetRotationAngleZ(30.0f); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edit);
        project->SetIsProjectModified(false);
        c.apply(*orna);
        EXPECT_TRUE(project->IsProjectModified());
    }

    // Without the origin preference the ornament turns about its own origin.
    project->SetUseOrnaOriginAsRotCenter(false);
    EXPECT_EQ(add()->RotationCenter(), TPoint3D());
}

TEST(OrnamentModels, RegistryKeepsItsModelsOnlyForAnUnchangedCount) {
    TPhysicalSpace medium;
    TOrnasDetected registry(&medium);
    EXPECT_EQ(registry.NOrnasDetected(), 0);
    EXPECT_FALSE(registry.IsCalculating());
    registry.SetNOrnasDetected(2);
    TOrnaModel* first = registry.OrnamentModel(0);
    first->SetModelName("loaded");
    EXPECT_EQ(first->ModelUpdateVersion(), 1);
    EXPECT_FALSE(first->IsSizeable());
    EXPECT_EQ(first->PhysicalSpace(), &medium);

    registry.SetNOrnasDetected(2);
    EXPECT_EQ(registry.OrnamentModel(0)->ModelName(), "loaded");
    registry.SetNOrnasDetected(3);
    ASSERT_EQ(registry.NOrnasDetected(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(registry.OrnamentModel(i)->ModelName().empty());
    }
    EXPECT_THROW(registry.OrnamentModel(3), ERangeError);
    registry.SetNOrnasDetected(0);
    EXPECT_THROW(registry.OrnamentModel(0), ERangeError);
}

TEST(AcousticMaterial, LossTablesHoldOneZeroPerMapFrequency) {
    TPhysicalSpace medium;
    ASSERT_FALSE(medium.FreqsNormalized().empty());
    TAcousticMaterial material(&medium, nullptr);
    EXPECT_EQ(material.NumberID(), 0);
    EXPECT_TRUE(material.MaterialName().empty());
    EXPECT_FLOAT_EQ(material.Thickness(), 0.02f);
    EXPECT_EQ(material.AbsorptionLossdB(), std::vector<double>(medium.FreqsNormalized().size(), 0.0));
    EXPECT_EQ(material.TransmissionLossdB(), std::vector<double>(medium.FreqsNormalized().size(), 0.0));
}

} // namespace
} // namespace vendrel
