#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/debug_log.h"
#include "platform/core/dispatcher.h"
#include "platform/core/geometry3d.h"
#include "platform/core/view_link.h"
#include "scene/scene_object.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace vendrel;

namespace {

struct RegistryFixture : ::testing::Test {
    TPhysicalSpace medium;
    ManualDispatcher ui;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TCabModel> model;

    void SetUp() override {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetContinuousRender(false);
        medium.StorePixelToMeters(0.5);
        model = std::make_unique<TCabModel>(&medium, project.get());
        model->SetPolarResolutionDegrees(10);
        model->SetNPolarSets(1);
        model->SetNSourcePoints(1);
    }
    void TearDown() override {
        project->ForEachCabinet([](TCabinet& c) { c.FreeMapThread(); });
    }

    TCabinet* cabinet() {
        return project->AddCabinet(model.get(), TPoint3D(0, 2, 0), TPoint3D(0, 0, 0), false,
                                   TCabPlacement::qzaVertical, 0, true);
    }
    TMappingZone* zone(const std::string& name, TSurfaceType type = TSurfaceType::qzaRectangle) {
        return project->AddMappingZone(name, TPoint3D(0, 0, 0), TPoint3D(0, 0, 0), 10, 8, 0.1, false, type,
                                       true);
    }
};

} // namespace

TEST_F(RegistryFixture, AddedObjectsAreNumberedByKind) {
    const int32_t unique = project->UniqueID();
    TCabinet* a = cabinet();
    TCabinet* b = cabinet();
    EXPECT_EQ(a->NumberID(), 1);
    EXPECT_EQ(b->NumberID(), 2);
    EXPECT_TRUE(b->Active());
    TGenericDSPProcess* p = project->AddDSPProcess();
    EXPECT_EQ(p->NumberID(), 1);
    EXPECT_EQ(p->Name(), "No Name 1");
    EXPECT_TRUE(p->Active());
    EXPECT_EQ(project->UniqueID(), unique + 3);
    EXPECT_EQ(project->LastLogString(), "---------------------AcousticProject.AddDSPPRocess");
}

// Each step leaves its breadcrumb in the diagnostic log once.
TEST_F(RegistryFixture, BreadcrumbsReachTheLogOnce) {
    std::vector<std::string> lines;
    {
        const TScopedDebugLogSink sink([&lines](const std::string& line) { lines.push_back(line); });
        TCabinet* cab = cabinet();
        project->RemoveCabinet(cab);
        model->AddUserPreset();
    }
    for (const char* crumb :
         {"AcousticProject.AddCabinet", "AcousticProject.RemoveCabinet", "CabModel.AddUseProcess"}) {
        const auto count = std::count_if(lines.begin(), lines.end(), [crumb](const std::string& line) {
            return line.find(crumb) != std::string::npos;
        });
        EXPECT_EQ(count, 1) << crumb;
    }
}

TEST_F(RegistryFixture, RemovingAZoneRenumbersTheRestAndDropsItsCabinetBuffers) {
    TCabinet* cab = cabinet();
    zone("A");
    TMappingZone* b = zone("B");
    TMappingZone* c = zone("C");
    ASSERT_EQ(cab->MapData().size(), 3u);
    project->RemoveMappingZone(b);
    ASSERT_EQ(project->NMappingZones(), 2);
    EXPECT_EQ(c->ZoneIndexID(), 1);
    EXPECT_EQ(cab->MapData().size(), 2u);
    EXPECT_EQ(cab->MapData()[1]->ZoneID(), 1);
    EXPECT_EQ(project->LastLogString(), "---------------------AcousticProject.RemoveZone");

    // A picture surface has a buffer in every cabinet like any zone: it goes with the picture, so that
    // every zone after it keeps finding its own buffer at its own place.
    TMappingZone* picture = zone("Picture", TSurfaceType::qzaPicture);
    TMappingZone* d = project->AddMappingZone("D", TPoint3D(0, 0, 0), TPoint3D(0, 0, 0), 3, 2, 0.1, false,
                                              TSurfaceType::qzaRectangle, true);
    ASSERT_EQ(cab->MapData().size(), 4u);
    project->RemoveMappingZone(picture);
    ASSERT_EQ(cab->MapData().size(), 3u);
    EXPECT_EQ(d->ZoneIndexID(), 2);
    EXPECT_EQ(cab->MapData()[2]->ZoneID(), 2);
    EXPECT_EQ(cab->MapData()[2]->WidthPixels(), d->WidthPixels());
    EXPECT_EQ(cab->MapData()[2]->DepthPixels(), d->DepthPixels());
}

TEST_F(RegistryFixture, RemovingAProcessHandsItsCabinetsTheBypass) {
    TCabinet* a = cabinet();
    TCabinet* b = cabinet();
    TGenericDSPProcess* p = project->AddDSPProcess();
    a->SetExternalDSPProcess(p);
    b->SetExternalDSPProcess(p);
    ASSERT_EQ(p->AppliedOn().size(), 2u);
    project->RemoveDSPProcess({}, 0); // nothing at all
    EXPECT_EQ(project->NDSPProcess(), 1);
    project->RemoveDSPProcess({p}, 1);
    EXPECT_EQ(project->NDSPProcess(), 0);
    EXPECT_EQ(a->ExternalDSPProcess(), project->BypassProcess());
    EXPECT_EQ(b->ExternalDSPProcess(), project->BypassProcess());
}

TEST_F(RegistryFixture, RemovingACabinetDetachesItFromItsProcessAndKeepsEventsAsTheyWere) {
    TCabinet* a = cabinet();
    TCabinet* b = cabinet();
    TGenericDSPProcess* p = project->AddDSPProcess();
    a->SetExternalDSPProcess(p);
    project->SetEventsEnabled(false);
    project->RemoveCabinet(a);
    EXPECT_FALSE(project->EventsEnabled());
    EXPECT_TRUE(p->AppliedOn().empty());
    ASSERT_EQ(project->NCabinets(), 1);
    EXPECT_EQ(project->Cabinets()[0].get(), b);
    project->RemoveCabinet(nullptr); // ends after the breadcrumb
    EXPECT_EQ(project->LastLogString(), "---------------------AcousticProject.RemoveCabinet");
}

TEST_F(RegistryFixture, RemovedObjectsLeaveTheirLayerSoItNeverReachesThemAgain) {
    TQzLayer layer;
    TCabinet* a = cabinet();
    TCabinet* b = cabinet();
    TCabinet* c = cabinet();
    TMappingZone* z = zone("A");
    for (TQzControl3D* o : std::vector<TQzControl3D*>{a, b, c, z}) {
        o->SetMyLayer(&layer);
        layer.ObjListInLayer.push_back(o);
    }
    project->RemoveCabinet(a);
    project->RemoveCabinets({b}, 1);
    project->RemoveMappingZone(z);
    ASSERT_EQ(layer.ObjListInLayer.size(), 1u);
    EXPECT_EQ(layer.ObjListInLayer[0], c);
    // The layer's next change reaches only the member that is still there.
    layer.SetIsLocked(true);
    EXPECT_TRUE(c->IsLocked());
}

TEST_F(RegistryFixture, RemovedObjectsLeaveNoPanelShowingThem) {
    struct Panel : IModelView {};
    Panel cabinetPanel, zonePanel, processPanel;
    TCabinet* a = cabinet();
    TMappingZone* z = zone("A");
    TGenericDSPProcess* p = project->AddDSPProcess();
    a->GraphicalInterface.Attach(&cabinetPanel);
    z->GraphicalInterface.Attach(&zonePanel);
    p->GraphicalInterface().Attach(&processPanel);
    project->RemoveCabinet(a);
    project->RemoveMappingZone(z);
    project->RemoveDSPProcess({p}, 1);
    EXPECT_EQ(cabinetPanel.ShownLink(), nullptr);
    EXPECT_EQ(zonePanel.ShownLink(), nullptr);
    EXPECT_EQ(processPanel.ShownLink(), nullptr);
}
