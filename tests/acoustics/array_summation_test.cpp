// Line arrays and clusters in the summation of all maps: a flown array summed on the calculation
// threads against its cabinets' maps computed and added one by one, and the weights of the groups
// when maps are summed as energies.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <complex>
#include <memory>
#include <thread>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/dispatcher.h"
#include "platform/core/worker_thread.h"

namespace vendrel {
namespace {

constexpr double kPiD = 3.141592653589793;

// A zone 8 x 5 m on the floor and a one-source model with 10-degree polar data that differs from
// direction to direction, so that every cabinet's map depends on where it hangs and how it is turned.
struct ArraySummation : ::testing::Test {
    TPhysicalSpace medium;
    ManualDispatcher ui;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TCabModel> model;
    std::unique_ptr<TRigFrameModel> frame;
    TMappingZone* zone = nullptr;
    bool received = false;

    void SetUp() override {
        SetIdlePriorityEnabled(false); // the test machine runs other work at normal priority
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetContinuousRender(false);
        medium.StorePixelToMeters(0.5);
        project->SetFreqsAverage({250, 1000, 4000});
        project->SetAvoidPhaseAliasing(false);
        project->SetOnReceiveAllMaps([this](TAcousticProject& p) {
            received = true;
            p.SetForceCalculation(false);
        });
        model = std::make_unique<TCabModel>(&medium, project.get());
        model->SetPolarResolutionDegrees(10);
        model->SetNPolarSets(1);
        model->SetNSourcePoints(1);
        const int32_t points = model->DSPSpace()->NRealFreqPoints();
        for (int32_t e = 0; e < model->NPolarElevSlices(); ++e) {
            for (int32_t a = 0; a < model->NPolarAzMeasures(); ++a) {
                rPolarData d = model->PolarData()[0][e][a];
                const double az = a * 10 * kPiD / 180, el = e * 10 * kPiD / 180;
                for (int32_t n = 0; n < points; ++n) {
                    d.MagnitudePerFreq[n] = static_cast<float>(1.2 + 0.5 * std::cos(az) + 0.2 * std::sin(el));
                    d.PhasePerFreq[n] = static_cast<float>(0.4 * std::sin(az + el) + 0.01 * n);
                }
                model->SetPolarPoint(0, static_cast<size_t>(e), static_cast<size_t>(a), std::move(d));
            }
        }
        model->SetWidth(0.6);
        model->SetHeight(0.4);
        model->SetDepth(1.0);
        model->SetJoinType(TJoinType::qzaBackJoin);
        model->SetBackTopRotPointXm(-0.3);
        model->SetBackTopRotPointYm(0.2);
        model->SetBackBotRotPointXm(-0.3);
        model->SetBackBotRotPointYm(-0.2);
        model->SetAllowedAnglesFirstCabFlown({2.0});
        model->SetAllowedAnglesFlown({5.0});
        frame = std::make_unique<TRigFrameModel>(&medium, project.get());
        frame->SetBackTopAnchorPointXm(-0.4);
        frame->SetBackTopAnchorPointYm(0.05);
        frame->SetBackBotAnchorPointXm(-0.4);
        frame->SetBackBotAnchorPointYm(-0.05);
        zone = TMappingZone::Create(&medium, project.get(), "Floor", TPoint3D(2, 0, -2.5), TPoint3D(0, 0, 0),
                                    8, 5, 0.1f, false, TSurfaceType::qzaRectangle, 0xFF000000, true);
        zone->SetDimensions(8, 5);
        zone->RecalcPosBeginPx();
    }
    void TearDown() override {
        project->AllMapsThread().CancelAndWait(&ui);
        project->ForEachCabinet([](TCabinet& c) { c.FreeMapThread(); });
        project.reset();
        SetIdlePriorityEnabled(true);
    }

    // A frame and four cabinets opening 2, 5, 5 and 5 degrees, 6 m up, tilted 4 degrees down.
    TCabArray* flownArray() {
        auto a = std::make_unique<TCabArray>(&medium, project.get());
        a->AddFrame(frame.get());
        for (int i = 0; i < 4; ++i) {
            a->AddCabinet(model.get(), true);
        }
        a->SetTilt(-4.0);
        a->SetPositionsInsideArray();
        a->SetPosition({0, -6, 0});
        TCabArray* raw = a.get();
        project->AddArray(std::move(a));
        return raw;
    }

    template <typename Pred> bool pumpUntil(Pred pred, double seconds = 120) {
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

    // The cabinet's complex map of the zone, computed by itself on this thread.
    std::vector<std::complex<double>> mapOf(TCabinet& c) {
        TZoneData& data = *c.MapData()[0];
        data.SetZoneCalculated(false);
        data.SetCalcCounter(1);
        EXPECT_TRUE(c.GetMap3D(-1, -1));
        c.StoreMapState(TCalcState::qzaCalculated);
        std::vector<std::complex<double>> out;
        for (int32_t k = 0; k < 3; ++k) {
            for (int32_t w = 0; w < zone->WidthPixels(); ++w) {
                for (int32_t l = 0; l < zone->DepthPixels(); ++l) {
                    out.emplace_back(data.MapRealFreq()(k, w, l), data.MapImagFreq()(k, w, l));
                }
            }
        }
        return out;
    }
    size_t cell(int32_t k, int32_t w, int32_t l) const {
        return (static_cast<size_t>(k) * zone->WidthPixels() + w) * zone->DepthPixels() + l;
    }
};

// The array's cabinets add coherently: the level at a pixel is 20 log10 of the average over the
// frequencies of |sum of the cabinets' pressures|.
TEST_F(ArraySummation, FlownArrayLevelIsTheCoherentSumOfItsCabinets) {
    TCabArray* array = flownArray();
    project->SetForceCalculation(true);
    project->SetAllCabsNeedsCalculateMapsInZone(-1);
    ASSERT_TRUE(pumpUntil([&] { return received; }));
    ASSERT_EQ(zone->MapState(), TCalcState::qzaIsSumed);
    const TMapLayers summed = zone->MapSum()->MapRealFreq();

    std::vector<std::vector<std::complex<double>>> maps;
    for (TCabinet* c : array->CabinetList()) {
        maps.push_back(mapOf(*c));
    }
    double spread = 0.0; // the cabinets must not all give the same map
    for (int32_t w = 0; w < zone->WidthPixels(); ++w) {
        for (int32_t l = 0; l < zone->DepthPixels(); ++l) {
            double average = 0.0;
            for (int32_t k = 0; k < 3; ++k) {
                std::complex<double> sum = 0.0;
                for (const auto& m : maps) {
                    sum += m[cell(k, w, l)];
                }
                average += std::abs(sum) / 3.0;
                spread = std::max(spread, std::abs(maps[0][cell(k, w, l)] - maps[3][cell(k, w, l)]));
            }
            ASSERT_NEAR(summed(0, w, l), 20.0 * std::log10(average), 1e-3) << w << "," << l;
        }
    }
    EXPECT_GT(spread, 1e-3);
}

// Summed as energies, a line array still adds its own cabinets coherently and counts once, with
// weight 1; a cluster's cabinets count one by one with weight 0.71 each.
TEST_F(ArraySummation, EnergySumWeighsArraysAndClustersByGroup) {
    project->SetPressureSumType(TPressureSumType::qzaEnergySum);
    TCabArray* array = flownArray();
    auto owned = std::make_unique<TCluster>(&medium, project.get(), model.get(), TCabPlacement::qzaVertical);
    owned->SetQuantityH(2);
    owned->SetLinearHSpace(1.0f);
    owned->SetPosition({6, -3, 0});
    owned->SetRotationAngle({0, 180, 0});
    TCluster* cluster = owned.get();
    project->AddCluster(std::move(owned));

    std::vector<std::vector<std::complex<double>>> inArray, inCluster;
    for (TCabinet* c : array->CabinetList()) {
        inArray.push_back(mapOf(*c));
    }
    for (TCabinet* c : cluster->CabinetList()) {
        inCluster.push_back(mapOf(*c));
    }
    zone->StoreMapState(TCalcState::qzaNeedsSum);
    project->SumAllCabinetsInProject3D(-1);
    for (int32_t w = 0; w < zone->WidthPixels(); ++w) {
        for (int32_t l = 0; l < zone->DepthPixels(); ++l) {
            double average = 0.0;
            for (int32_t k = 0; k < 3; ++k) {
                std::complex<double> coherent = 0.0;
                for (const auto& m : inArray) {
                    coherent += m[cell(k, w, l)];
                }
                double magnitude = std::abs(coherent);
                for (const auto& m : inCluster) {
                    magnitude += 0.71 * std::abs(m[cell(k, w, l)]);
                }
                average += magnitude / 3.0;
            }
            ASSERT_NEAR(zone->MapSum()->MapRealFreq()(0, w, l),
                        20.0 * std::log10(average) - project->dBEnergyComp(), 1e-3)
                << w << "," << l;
        }
    }
}

} // namespace
} // namespace vendrel
