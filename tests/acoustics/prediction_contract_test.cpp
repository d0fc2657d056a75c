// The contract between edits and the prediction threads: calls queued for the user-interface thread
// reach only living objects, and edits made while the threads compute (resizes, new lists, new
// models, options, aborts) leave maps equal to a render of the same project from scratch.

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/memory_budget.h"
#include "acoustics/mic_point.h"
#include "acoustics/physical_space.h"
#include "acoustics/prediction_waits.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "platform/core/dispatcher.h"
#include "platform/core/geometry3d.h"
#include "platform/core/message_box.h"
#include "platform/core/worker_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace vendrel;

namespace {

// A model whose polar data differs in every direction and frequency (10-degree resolution).
std::unique_ptr<TCabModel> makeModel(TPhysicalSpace& medium, TAcousticProject& project, int32_t sources,
                                     double tilt) {
    auto model = std::make_unique<TCabModel>(&medium, &project);
    model->SetPolarResolutionDegrees(10);
    model->SetNPolarSets(1);
    model->SetNSourcePoints(sources);
    model->SetUseRealPhase(true);
    for (int32_t i = 0; i < sources; ++i) {
        model->SourcePoint()[static_cast<size_t>(i)]->SetYmRel(0.4 * i);
    }
    const int32_t points = model->DSPSpace()->NRealFreqPoints();
    for (int32_t e = 0; e < model->NPolarElevSlices(); ++e) {
        for (int32_t a = 0; a < model->NPolarAzMeasures(); ++a) {
            rPolarData d = model->PolarData()[0][static_cast<size_t>(e)][static_cast<size_t>(a)];
            for (int32_t n = 0; n < points; ++n) {
                const double az = a * 10 * 3.141592653589793 / 180, el = e * 10 * 3.141592653589793 / 180;
                d.MagnitudePerFreq[static_cast<size_t>(n)] =
                    static_cast<float>(1.0 + 0.4 * std::cos(az + tilt) * std::cos(el) + 0.002 * n);
                d.PhasePerFreq[static_cast<size_t>(n)] =
                    static_cast<float>(0.5 * std::sin(az - el) + 0.03 * n);
            }
            model->SetPolarPoint(0, static_cast<size_t>(e), static_cast<size_t>(a), std::move(d));
        }
    }
    return model;
}

// A medium, a project on it and its models, with the memory figures and message boxes under the
// test's control for the fixture's life.
struct Scene {
    double availableMB = 1e6;
    RecordingMessageBox boxes;
    TScopedMemoryFiguresSource figures{[this](double& installed, double& available, double& used) {
        installed = 16384.0;
        available = availableMB;
        used = installed - available;
        return true;
    }};
    TScopedMessageBoxService box{&boxes};
    ManualDispatcher ui;
    TPhysicalSpace medium;
    std::unique_ptr<TAcousticProject> project = std::make_unique<TAcousticProject>(&medium, &ui);
    std::unique_ptr<TCabModel> modelA = makeModel(medium, *project, 1, 0.0);
    std::unique_ptr<TCabModel> modelB = makeModel(medium, *project, 2, 0.7);
    std::unique_ptr<TRigFrameModel> frame = std::make_unique<TRigFrameModel>(&medium, project.get());

    Scene() {
        // As the window's handler does: a forced render ends with its delivery.
        project->SetOnReceiveAllMaps([](TAcousticProject& p) { p.SetForceCalculation(false); });
        // Both models hang in line arrays by their back hinges, 0.4 m apart; the frame's are 0.1 m
        // apart.
        for (TCabModel* m : {modelA.get(), modelB.get()}) {
            m->SetWidth(0.6);
            m->SetHeight(0.4);
            m->SetDepth(0.8);
            m->SetJoinType(TJoinType::qzaBackJoin);
            m->SetBackTopRotPointXm(-0.3);
            m->SetBackBotRotPointXm(-0.3);
            m->SetBackTopRotPointYm(0.2);
            m->SetBackBotRotPointYm(-0.2);
            m->SetAllowedAnglesFirstCabFlown({1.0});
            m->SetAllowedAnglesFlown({3.0});
        }
        frame->SetBackTopAnchorPointXm(-0.4);
        frame->SetBackBotAnchorPointXm(-0.4);
        frame->SetBackTopAnchorPointYm(0.05);
        frame->SetBackBotAnchorPointYm(-0.05);
    }
    ~Scene() { project.reset(); } // every worker ends before the models go

    // Runs queued calls until pred holds; false after the time limit.
    template <typename Pred> bool pumpUntil(Pred pred, double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!pred()) {
            ui.Pump();
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    bool anyWorkerActive() const {
        bool active = project->AllMapsThread().Active();
        project->ForEachCabinet([&active](TCabinet& c) { active = active || c.MapThreadActive(); });
        return active;
    }

    // Nothing runs, nothing is queued, every cabinet and every mapped zone is done.
    bool settled() const {
        bool done = !anyWorkerActive() && ui.PendingCount() == 0 &&
                    project->AllMapsState() == TCalcState::qzaCalculated;
        project->ForEachCabinet(
            [&done](TCabinet& c) { done = done && c.MapState() == TCalcState::qzaCalculated; });
        for (const auto& zone : project->MappingZones()) {
            done = done && (!zone->HasLevelMap() || zone->MapState() == TCalcState::qzaIsSumed);
        }
        return done;
    }

    std::string describe() const {
        std::string s = "all " + std::to_string(int(project->AllMapsState())) + " pending " +
                        std::to_string(ui.PendingCount()) + " sum " +
                        std::to_string(project->AllMapsThread().Active());
        project->ForEachCabinet([&s](TCabinet& c) {
            s += " cab " + std::to_string(int(c.MapState())) + "/" + std::to_string(c.MapThreadActive());
        });
        for (const auto& zone : project->MappingZones()) {
            s += " zone " + std::to_string(int(zone->MapState()));
        }
        return s + " log " + project->LastLogString();
    }

    size_t failures() const {
        size_t n = 0;
        for (const auto& e : boxes.shown) {
            n += e.type == TMsgDlgType::mtError ? 1 : 0;
        }
        return n;
    }
};

struct PredictionContract : ::testing::Test {
    void SetUp() override { SetIdlePriorityEnabled(false); } // the machine runs other work too
    void TearDown() override { SetIdlePriorityEnabled(true); }
};

// A cabinet placed in the scene: model, position (metres) and angles (degrees).
struct CabPlan {
    int model = 0;
    TPoint3D position;
    TPoint3D rotation;
};

// A zone placed in the scene: begin corner, angles, width, depth and thickness.
struct ZonePlan {
    TPoint3D begin;
    TPoint3D rotation;
    float width = 0, depth = 0, height = 0.1f;
};

TCabinet* addCabinet(Scene& s, const CabPlan& plan) {
    TCabModel* model = plan.model == 0 ? s.modelA.get() : s.modelB.get();
    return s.project->AddCabinet(model, plan.position, plan.rotation, false, TCabPlacement::qzaVertical, 0,
                                 true);
}

// A flown line array below a frame: its cabinets' models and splay angles (degrees), its tilt and
// where it hangs.
struct ArrayPlan {
    std::vector<int> models;
    std::vector<float> splay;
    double tilt = 0;
    TPoint3D position;
};

// A cluster: its grid, distribution and spacing, where it stands and how it is turned.
struct ClusterPlan {
    int32_t columns = 1, rows = 1;
    TClusterDistribution distribution = TClusterDistribution::qzaLinear;
    float space = 0, angle = 10;
    TPoint3D position, rotation;
};

TCabArray* addArray(Scene& s, const ArrayPlan& plan) {
    auto array = std::make_unique<TCabArray>(&s.medium, s.project.get());
    array->AddFrame(s.frame.get());
    for (const int m : plan.models) {
        array->AddCabinet(m == 0 ? s.modelA.get() : s.modelB.get(), true);
    }
    for (size_t k = 0; k < plan.splay.size(); ++k) {
        array->CabinetList()[k]->SetRotationAngleZ(plan.splay[k]);
    }
    array->SetTilt(plan.tilt);
    array->SetPositionsInsideArray();
    array->SetPosition(plan.position);
    TCabArray* raw = array.get();
    s.project->AddArray(std::move(array));
    return raw;
}

TCluster* addCluster(Scene& s, const ClusterPlan& plan) {
    auto cluster =
        std::make_unique<TCluster>(&s.medium, s.project.get(), s.modelA.get(), TCabPlacement::qzaVertical);
    cluster->SetClusterDistribution(plan.distribution);
    cluster->SetLinearHSpace(plan.space);
    cluster->SetLinearVSpace(plan.space);
    cluster->SetAngularHAngle(plan.angle);
    cluster->SetAngularVAngle(plan.angle);
    cluster->SetQuantityH(plan.columns);
    cluster->SetQuantityV(plan.rows);
    cluster->SetPosition(plan.position);
    cluster->SetRotationAngle(plan.rotation);
    TCluster* raw = cluster.get();
    s.project->AddCluster(std::move(cluster));
    return raw;
}

TMappingZone* addZone(Scene& s, const ZonePlan& plan) {
    return s.project->AddMappingZone("Zone", plan.begin, plan.rotation, plan.width, plan.depth, plan.height,
                                     false, TSurfaceType::qzaRectangle, true);
}

} // namespace

TEST_F(PredictionContract, QueuedResultOfARemovedCabinetReachesNoObject) {
    Scene s;
    s.project->SetContinuousRender(false);
    addZone(s, {TPoint3D(-4, 0, 2), TPoint3D(0, 0, 0), 8, 6});
    TCabinet* old = addCabinet(s, {0, TPoint3D(0, -2, 0), TPoint3D(0, 0, 0)});
    int oldReceived = 0;
    old->SetOnReceiveMap([&oldReceived](TCabinet*) { ++oldReceived; });
    // The cabinet computes its map; its map-received call waits in the queue.
    s.project->SetForceCalculation(true);
    old->SetMapState(TCalcState::qzaNeedsCalculate);
    old->MapThread().WaitForStopped();
    ASSERT_EQ(old->MapState(), TCalcState::qzaCalculated);
    ASSERT_GT(s.ui.PendingCount(), 0u);
    s.project->SetForceCalculation(false);

    const void* address = old;
    s.project->RemoveCabinet(old);
    // New cabinets until one takes the removed one's place (the allocator hands the block back at
    // once; the address sanitizer's quarantine never does, which leaves the token test as such).
    TCabinet* reused = nullptr;
    int newReceived = 0;
    for (int attempt = 0; attempt < 16 && reused == nullptr; ++attempt) {
        TCabinet* fresh = addCabinet(s, {0, TPoint3D(1, -2, 0), TPoint3D(0, 0, 0)});
        fresh->SetOnReceiveMap([&newReceived](TCabinet*) { ++newReceived; });
        if (fresh == address) {
            reused = fresh;
        }
    }
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_NE(reused, nullptr) << "no new cabinet took the removed one's address";
#endif
    s.ui.Pump();
    EXPECT_EQ(oldReceived, 0);
    EXPECT_EQ(newReceived, 0) << "a new cabinet received the removed one's result";
}

namespace {

// The window's progress bar, recording what reaches it.
struct RecordingBar : IProgressBar {
    int calls = 0;
    double value = 0;
    void SetMax(double) override { ++calls; }
    void SetValue(double v) override {
        ++calls;
        value = v;
    }
    double Value() const override { return value; }
    void SetStyleLookup(const std::string&) override { ++calls; }
};

} // namespace

TEST_F(PredictionContract, FreeingTheProjectInvalidatesItsQueuedCalls) {
    Scene s;
    RecordingBar bar;
    s.project->SetProgressBar(&bar);
    addZone(s, {TPoint3D(-4, 0, 2), TPoint3D(0, 0, 0), 8, 6});
    TCabinet* cab = addCabinet(s, {0, TPoint3D(0, -2, 0), TPoint3D(0, 0, 0)});
    int received = 0, allMaps = 0;
    cab->SetOnReceiveMap([&received](TCabinet*) { ++received; });
    s.project->SetOnReceiveAllMaps([&allMaps](TAcousticProject&) { ++allMaps; });
    s.project->SetForceCalculation(true);
    s.project->SetAllCabsNeedsCalculateMapsInZone(-1);
    cab->MapThread().WaitForStopped();
    ASSERT_GT(s.ui.PendingCount(), 0u);
    s.project.reset();
    s.ui.Pump();
    EXPECT_EQ(bar.calls, 0);
    EXPECT_EQ(received, 0);
    EXPECT_EQ(allMaps, 0);
}

// A summing run that meets the project's events off sums nothing, so it publishes nothing: the zones
// stay to be summed, no all-maps call reaches the window, and the sum runs once the events are back.
TEST_F(PredictionContract, ASummationSkippedWhileEventsAreOffRunsWhenTheyComeBack) {
    Scene s;
    int delivered = 0;
    s.project->SetOnReceiveAllMaps([&delivered](TAcousticProject& p) {
        ++delivered;
        p.SetForceCalculation(false);
    });
    addZone(s, {TPoint3D(-4, 0, 2), TPoint3D(0, 0, 0), 8, 6});
    addCabinet(s, {0, TPoint3D(0, -2, 0), TPoint3D(0, 0, 0)});
    ASSERT_TRUE(s.pumpUntil([&s] { return s.settled(); }, 60)) << s.describe();
    TMappingZone& zone = *s.project->MappingZones()[0];
    const float before = zone.MapSum()->MapRealFreq().At(0, 3, 3);
    delivered = 0;

    // The zone needs a new sum; a run starts, as one already under way would, while events are off.
    zone.SetMapState(TCalcState::qzaNeedsSum);
    s.project->AllMapsThread().CancelAndWait();
    zone.StoreMapState(TCalcState::qzaNeedsSum);
    zone.MapSum()->MapRealFreq().At(0, 3, 3) = 0.0f;
    s.project->SetAllMapsState(TCalcState::qzaNeedsCalculate);
    s.project->SetEventsEnabled(false);
    s.project->AllMapsThread().Start();
    s.project->AllMapsThread().WaitForStopped();
    s.ui.Pump();
    EXPECT_EQ(delivered, 0) << "maps that were never summed reached the window";
    EXPECT_NE(s.project->AllMapsState(), TCalcState::qzaCalculated);
    EXPECT_EQ(zone.MapState(), TCalcState::qzaNeedsSum);

    s.project->SetEventsEnabled(true);
    ASSERT_TRUE(s.pumpUntil([&s] { return s.settled(); }, 60)) << s.describe();
    EXPECT_EQ(delivered, 1);
    EXPECT_EQ(zone.MapSum()->MapRealFreq().At(0, 3, 3), before);
}

// A moved cabinet is summed once: the summing run that its move starts waits for its maps, so their
// arrival starts no second run, and the window is handed the maps once. The run's coalescing delay
// (the user's setting) holds it while the maps arrive; it is the one wait that a clock ends, every
// other ends when what it waits for is there.
TEST_F(PredictionContract, AMoveIsSummedOnceAndOnlyTheCoalescingDelayIsTimed) {
    Scene s;
    int delivered = 0;
    s.project->SetOnReceiveAllMaps([&delivered](TAcousticProject& p) {
        ++delivered;
        p.SetForceCalculation(false);
    });
    addZone(s, {TPoint3D(-5, 0, 2), TPoint3D(0, 0, 0), 10, 6});
    addZone(s, {TPoint3D(-3, -1, 9), TPoint3D(0, 20, 0), 6, 4});
    TCabinet* moved = addCabinet(s, {0, TPoint3D(0, -2.5f, 0), TPoint3D(0, 10, -5)});
    addCabinet(s, {1, TPoint3D(3, -3, 1), TPoint3D(0, -30, -10)});
    ASSERT_TRUE(s.pumpUntil([&s] { return s.settled(); }, 60)) << s.describe();
    s.project->SetAllMapsWaitingMsec(25);
    TPredictionWaitTotals waits;
    const TScopedPredictionWaitHook hook(&waits);
    for (int move = 0; move < 6; ++move) {
        delivered = 0;
        waits.Clear();
        const uint64_t runs = s.project->AllMapsThread().PassCount();
        moved->SetPosition(TPoint3D(move % 2 == 0 ? 0.5f : 0.0f, -2.5f, 0));
        ASSERT_TRUE(s.pumpUntil([&s] { return s.settled(); }, 60)) << s.describe();
        EXPECT_EQ(s.project->AllMapsThread().PassCount() - runs, 1u) << "move " << move;
        EXPECT_EQ(delivered, 1) << "move " << move;
        EXPECT_EQ(waits.Count(TPredictionWait::Coalescing), 1u) << "move " << move;
        EXPECT_EQ(waits.TimeLimited(), 1u) << "move " << move;
        // The hook saw the move's requests: the cabinet's pass and the summing run began.
        EXPECT_GE(waits.Count(TPredictionWait::StartToRun), 2u) << "move " << move;
    }
}

// A cabinet's map reflects its pose when its state says it is done: a change of its absolute turn
// (as its parent passes one on) makes its maps needed again, and the render that follows ends equal
// to a render of the turned cabinet from scratch.
TEST_F(PredictionContract, ATurnPassedOnToACalculatedCabinetAsksForItsMapsAgain) {
    const auto render = [](Scene& s, bool turnAfterwards) {
        addZone(s, {TPoint3D(-5, 0, 2), TPoint3D(0, 0, 0), 10, 6});
        TCabinet* cab = addCabinet(s, {1, TPoint3D(0, -2.5f, 0), TPoint3D(0, 10, -5)});
        if (!turnAfterwards) {
            cab->SetAbsoluteRotationRadZ(cab->AbsoluteRotationRadZ() - 0.5);
        }
        EXPECT_TRUE(s.pumpUntil([&s] { return s.settled(); }, 60)) << s.describe();
        if (turnAfterwards) {
            {
                // Held, so that the new map cannot be done before the state is read.
                const TWorkersPause hold(*s.project);
                cab->SetAbsoluteRotationRadZ(cab->AbsoluteRotationRadZ() - 0.5);
                EXPECT_NE(cab->MapState(), TCalcState::qzaCalculated)
                    << "a map of the old pose counts as done";
            }
            EXPECT_TRUE(s.pumpUntil([&s] { return s.settled(); }, 60)) << s.describe();
        }
    };
    Scene turned, fresh;
    render(turned, true);
    render(fresh, false);
    const TMapLayers& got = turned.project->MappingZones()[0]->MapSum()->MapRealFreq();
    const TMapLayers& want = fresh.project->MappingZones()[0]->MapSum()->MapRealFreq();
    ASSERT_EQ(got.size(), want.size());
    int differing = 0;
    for (int32_t w = 0; w < want.Width(); ++w) {
        for (int32_t l = 0; l < want.Depth(); ++l) {
            differing += std::abs(got.At(0, w, l) - want.At(0, w, l)) > 1e-3 ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

// Edits land while the cabinets' threads compute, in a fixed pseudo-random order: zone sizes, the
// pixel size, the mapping band, cabinets and zones added and removed (also with too little memory),
// a cabinet's model, the phase options, continuous rendering, aborts; a line array's splay angles,
// tilt, cabinets' models, cabinets added and removed; a cluster's grid, distribution and turn;
// measurement points placed and removed. Once the last run settles, every zone's level map equals that
// of the same scene built and rendered from scratch.
TEST_F(PredictionContract, EditsDuringRendersEndEqualToARenderFromScratch) {
    Scene s;
    std::vector<ZonePlan> zones{{TPoint3D(-5, 0, 2), TPoint3D(0, 0, 0), 10, 6},
                                {TPoint3D(-3, -1, 9), TPoint3D(0, 20, 0), 6, 4}};
    std::vector<CabPlan> cabs{{0, TPoint3D(0, -2.5f, 0), TPoint3D(0, 10, -5)},
                              {1, TPoint3D(3, -3, 1), TPoint3D(0, -30, -10)},
                              {0, TPoint3D(-3, -2, 0), TPoint3D(0, 40, 0)}};
    s.project->SetRenderQuality(TRenderQuality::qzaLow);
    for (const ZonePlan& z : zones) {
        addZone(s, z);
    }
    for (const CabPlan& c : cabs) {
        addCabinet(s, c);
    }
    ArrayPlan arrayPlan{{0, 1}, {1.0f, 3.0f}, -2.0, TPoint3D(-2, -6, 4)};
    TCabArray* array = addArray(s, arrayPlan);
    ClusterPlan clusterPlan{
        2, 1, TClusterDistribution::qzaLinear, 0.5f, 10, TPoint3D(1, -3, 6), TPoint3D(0, 30, 0)};
    TCluster* cluster = addCluster(s, clusterPlan);

    std::mt19937 random(20261211u);
    const auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const TRenderQuality qualities[] = {TRenderQuality::qzaVeryLow, TRenderQuality::qzaLow,
                                        TRenderQuality::qzaMedium};
    const TMappingBands bands[] = {TMappingBands::mbOneSixOctave, TMappingBands::mbOneThirdOctave,
                                   TMappingBands::mbOneOctave, TMappingBands::mbTwoOctave};
    bool aborted = false;
    int midRender = 0; // edits made while a worker was computing
    for (int step = 0; step < 60; ++step) {
        // Into the middle of a render: wait (briefly) for a worker to be running.
        s.pumpUntil([&s] { return s.anyWorkerActive(); }, 0.05);
        std::this_thread::sleep_for(std::chrono::microseconds(200 * pick(5)));
        midRender += s.anyWorkerActive() ? 1 : 0;
        switch (pick(21)) {
        case 0: { // a zone's width or depth
            const size_t z = static_cast<size_t>(pick(static_cast<int>(zones.size())));
            const float size = 3.0f + static_cast<float>(pick(9));
            if (pick(2) == 0) {
                zones[z].width = size;
                s.project->MappingZones()[z]->SetWidth(size);
            } else {
                zones[z].depth = size;
                s.project->MappingZones()[z]->SetDepth(size);
            }
            break;
        }
        case 1:
            s.project->SetRenderQuality(qualities[pick(3)]);
            break;
        case 2:
            s.project->SetMappingBandsType(bands[pick(4)]);
            break;
        case 3:
        case 4: // a cabinet, sometimes while memory is short
            if (cabs.size() < 5) {
                const CabPlan c{pick(2), TPoint3D(static_cast<float>(pick(7) - 3), -2.0f - pick(2), 0.5f),
                                TPoint3D(0, static_cast<float>(pick(90) - 45), -8)};
                s.availableMB = pick(3) == 0 ? 0.5 : 1e6;
                addCabinet(s, c);
                s.availableMB = 1e6;
                cabs.push_back(c);
            }
            break;
        case 5:
            if (cabs.size() > 1) {
                const size_t i = static_cast<size_t>(pick(static_cast<int>(cabs.size())));
                s.project->RemoveCabinet(s.project->Cabinets()[i].get());
                cabs.erase(cabs.begin() + static_cast<std::ptrdiff_t>(i));
            }
            break;
        case 6:
            if (zones.size() < 3) {
                const ZonePlan z{TPoint3D(static_cast<float>(pick(5) - 6), 0, 12),
                                 TPoint3D(0, static_cast<float>(pick(40)), 0), 4.0f + pick(5),
                                 3.0f + pick(4)};
                addZone(s, z);
                zones.push_back(z);
            } else {
                const size_t z = static_cast<size_t>(pick(static_cast<int>(zones.size())));
                s.project->RemoveMappingZone(s.project->MappingZones()[z].get());
                zones.erase(zones.begin() + static_cast<std::ptrdiff_t>(z));
            }
            break;
        case 7: { // another model
            const size_t i = static_cast<size_t>(pick(static_cast<int>(cabs.size())));
            cabs[i].model = 1 - cabs[i].model;
            s.project->Cabinets()[i]->SetModel(cabs[i].model == 0 ? s.modelA.get() : s.modelB.get());
            break;
        }
        case 8:
            s.project->SetOnlyPhase(!s.project->OnlyPhase());
            break;
        case 9:
            s.project->SetAvoidPhaseAliasing(!s.project->AvoidPhaseAliasing());
            break;
        case 10:
            s.project->SetContinuousRender(!s.project->ContinuousRender());
            break;
        case 11: // Esc, then (every other time) the render button as the window presses it
            if (!aborted) {
                s.project->SetAbortCalculation(true);
                aborted = true;
            } else {
                s.project->SetForceCalculation(true);
                s.project->SetAbortCalculation(false);
                aborted = false;
                s.project->ReCalculateZones(-1);
            }
            break;
        case 12: { // a splay angle of the array, the chain placed again
            const size_t k = static_cast<size_t>(pick(static_cast<int>(arrayPlan.splay.size())));
            arrayPlan.splay[k] = static_cast<float>(pick(7));
            array->CabinetList()[k]->SetRotationAngleZ(arrayPlan.splay[k]);
            array->SetPositionsInsideArray();
            break;
        }
        case 13:
            arrayPlan.tilt = pick(17) - 8;
            array->SetTilt(arrayPlan.tilt);
            break;
        case 14: { // an array cabinet's model (which resets its turn): its angle set again, placed
            const size_t k = static_cast<size_t>(pick(static_cast<int>(arrayPlan.models.size())));
            arrayPlan.models[k] = 1 - arrayPlan.models[k];
            TCabinet* cab = array->CabinetList()[k];
            cab->SetModel(arrayPlan.models[k] == 0 ? s.modelA.get() : s.modelB.get());
            cab->SetRotationAngleZ(arrayPlan.splay[k]);
            array->SetPositionsInsideArray();
            break;
        }
        case 15: // a cabinet taken out of the array, or one more at its end
            if (arrayPlan.models.size() > 1 && pick(2) == 0) {
                const size_t k = static_cast<size_t>(pick(static_cast<int>(arrayPlan.models.size())));
                s.project->RemoveElementFromArray(array->CabinetList()[k], array);
                arrayPlan.models.erase(arrayPlan.models.begin() + static_cast<std::ptrdiff_t>(k));
                arrayPlan.splay.erase(arrayPlan.splay.begin() + static_cast<std::ptrdiff_t>(k));
            } else if (arrayPlan.models.size() < 4) {
                const int m = pick(2);
                TCabinet* cab = array->AddCabinet(m == 0 ? s.modelA.get() : s.modelB.get(), true);
                array->SetPositionsInsideArray();
                arrayPlan.models.push_back(m);
                arrayPlan.splay.push_back(cab->RotationAngle().Z);
            }
            break;
        case 16: // the cluster's grid grows or shrinks
            if (pick(2) == 0) {
                clusterPlan.columns = 1 + pick(3);
                cluster->SetQuantityH(clusterPlan.columns);
            } else {
                clusterPlan.rows = 1 + pick(2);
                cluster->SetQuantityV(clusterPlan.rows);
            }
            break;
        case 17: { // the cluster's distribution and spacing
            const TClusterDistribution kinds[] = {
                TClusterDistribution::qzaAngular, TClusterDistribution::qzaLinear,
                TClusterDistribution::qzaAngHLinV, TClusterDistribution::qzaAngVLinH};
            clusterPlan.distribution = kinds[pick(4)];
            clusterPlan.space = 0.1f * static_cast<float>(pick(6));
            clusterPlan.angle = 5.0f + static_cast<float>(pick(20));
            cluster->SetClusterDistribution(clusterPlan.distribution);
            cluster->SetLinearHSpace(clusterPlan.space);
            cluster->SetLinearVSpace(clusterPlan.space);
            cluster->SetAngularHAngle(clusterPlan.angle);
            cluster->SetAngularVAngle(clusterPlan.angle);
            break;
        }
        case 18: // the whole array moved
            arrayPlan.position = TPoint3D(static_cast<float>(pick(5) - 4), -5.0f - pick(3), 4);
            array->SetPosition(arrayPlan.position);
            break;
        case 19: // a measurement point placed, computing, and removed again, rendering continuously
            if (!s.project->ContinuousRender()) {
                s.project->SetContinuousRender(true);
            }
            if (s.project->NMics() == 0) {
                s.project->AddMeasurePoint(TPoint3D(static_cast<float>(pick(5)), -1, 4), 0xFF00FF00, true, 0)
                    ->ExecuteMicThread();
            } else {
                s.project->RemoveMic(s.project->Mics().front().get());
            }
            break;
        case 20: // the cluster turned (and later grown or shrunk by the turn it has)
            clusterPlan.rotation =
                TPoint3D(0, static_cast<float>(pick(90) - 45), static_cast<float>(pick(20)));
            cluster->SetRotationAngle(clusterPlan.rotation);
            break;
        }
        s.ui.Pump();
    }
    EXPECT_GE(midRender, 20) << "too few edits met a running worker to test anything";
    // The user ends where a user would: rendering continuously, any abort followed by a render.
    if (aborted) {
        s.project->SetForceCalculation(true);
        s.project->SetAbortCalculation(false);
        s.project->ReCalculateZones(-1);
    }
    s.project->SetContinuousRender(true);
    ASSERT_TRUE(s.pumpUntil([&s] { return s.settled(); }, 240)) << s.describe();
    EXPECT_EQ(s.failures(), 0u) << "a worker failed: " << s.boxes.shown.front().text;

    // The same scene, built and rendered from scratch.
    Scene fresh;
    fresh.project->SetRenderQuality(s.project->RenderQuality());
    fresh.project->SetMappingBandsType(s.project->MappingBandsType());
    fresh.project->SetAvoidPhaseAliasing(s.project->AvoidPhaseAliasing());
    fresh.project->SetOnlyPhase(s.project->OnlyPhase());
    fresh.medium.SetPixelToMeters(s.medium.PixelToMeters());
    ASSERT_EQ(fresh.medium.PixelToMeters(), s.medium.PixelToMeters());
    for (const ZonePlan& z : zones) {
        addZone(fresh, z);
    }
    for (const CabPlan& c : cabs) {
        addCabinet(fresh, c);
    }
    addArray(fresh, arrayPlan);
    addCluster(fresh, clusterPlan);
    fresh.project->SetForceCalculation(true);
    fresh.project->SetAllCabsNeedsCalculateMapsInZone(-1);
    ASSERT_TRUE(fresh.pumpUntil([&fresh] { return fresh.settled(); }, 240)) << fresh.describe();

    ASSERT_EQ(s.project->NMappingZones(), fresh.project->NMappingZones());
    for (size_t z = 0; z < zones.size(); ++z) {
        const TMappingZone& got = *s.project->MappingZones()[z];
        const TMappingZone& want = *fresh.project->MappingZones()[z];
        ASSERT_EQ(got.WidthPixels(), want.WidthPixels()) << "zone " << z;
        ASSERT_EQ(got.DepthPixels(), want.DepthPixels()) << "zone " << z;
        int differing = 0;
        double worst = 0;
        for (int32_t w = 0; w < want.WidthPixels(); ++w) {
            for (int32_t l = 0; l < want.DepthPixels(); ++l) {
                // Energy-compensated levels kept from an earlier sum are shifted by the change of the
                // offset, which rounds differently from one shift by the whole offset.
                const double d = std::abs(got.MapSum()->MapRealFreq().At(0, w, l) -
                                          want.MapSum()->MapRealFreq().At(0, w, l));
                worst = std::max(worst, d);
                differing += d > 1e-3 ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0) << "zone " << z << ": worst difference " << worst << " dB";
    }
}
