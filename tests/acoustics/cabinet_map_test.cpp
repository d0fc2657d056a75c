// The map kernel against an independent double-precision evaluation of the same formulas, and the
// summation of maps.

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "acoustics/vector_math.h"
#include "dsp/biquad.h"
#include "dsp/dsp_space.h"
#include "dsp/gain_delay.h"
#include "dsp/peqs.h"
#include "platform/core/debug_log.h"
#include "platform/core/dispatcher.h"
#include "platform/core/geometry3d.h"
#include "platform/core/message_box.h"
#include "platform/core/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <complex>
#include <memory>
#include <thread>

#include <tbb/global_control.h>

using namespace vendrel;

namespace {

constexpr double kPiD = 3.141592653589793;

double wrap2Pi(double x) {
    x = std::fmod(x, 2 * kPiD);
    return x < 0 ? x + 2 * kPiD : x;
}

// A project with one zone, a one-source model with 5-degree polar data that differs in every cell
// (and is not symmetric under the mirror), and cabinets built on demand.
struct KernelFixture : ::testing::Test {
    TPhysicalSpace medium;
    ManualDispatcher ui;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TCabModel> model;
    TMappingZone* zone = nullptr;

    void SetUp() override {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetEventsEnabled(false);
        project->SetContinuousRender(false);
        medium.StorePixelToMeters(0.5);
        project->SetFreqsAverage({250, 1000, 4000});
        project->SetMaxFreqforRealPhase(1000);
        model = std::make_unique<TCabModel>(&medium, project.get());
        model->SetPolarResolutionDegrees(5);
        model->SetNPolarSets(1);
        model->SetNSourcePoints(1);
        model->SetUseRealPhase(true);
        const int32_t points = model->DSPSpace()->NRealFreqPoints();
        for (int32_t e = 0; e < model->NPolarElevSlices(); ++e) {
            for (int32_t a = 0; a < model->NPolarAzMeasures(); ++a) {
                rPolarData d = model->PolarData()[0][e][a];
                for (int32_t n = 0; n < points; ++n) {
                    const double az = a * 5 * kPiD / 180, el = e * 5 * kPiD / 180;
                    d.MagnitudePerFreq[n] = static_cast<float>(1.0 + 0.3 * std::sin(az) * std::cos(2 * el) +
                                                               0.1 * std::cos(az) + 0.001 * n);
                    d.PhasePerFreq[n] = static_cast<float>(0.7 * std::sin(az + el) + 0.02 * n - 3.0);
                }
                model->SetPolarPoint(0, static_cast<size_t>(e), static_cast<size_t>(a), std::move(d));
            }
        }
        zone = TMappingZone::Create(&medium, project.get(), "Zone", TPoint3D(-2, 0, 1), TPoint3D(0, 0, 0), 10,
                                    6, 0.1f, false, TSurfaceType::qzaRectangle, 0xFF000000, true);
        zone->SetRotationAngle(TPoint3D(10, 25, -15));
        zone->SetDimensions(10, 6);
        zone->RecalcPosBeginPx();
    }

    TCabinet& addCabinet() {
        TCabinet& cab = *project->AddCabinet(model.get(), TPoint3D(0, 0, 0), TPoint3D(0, 0, 0), false,
                                             TCabPlacement::qzaVertical, 0, true);
        cab.SetActive(true);
        for (auto& data : cab.MapData()) {
            data->SetZoneLength(project->NFreqsAverage(), zone->WidthPixels(), zone->DepthPixels());
            data->SetCalcCounter(1);
        }
        return cab;
    }

    // Places the cabinet's only source (pixel coordinates, Y counted upwards) and turns it.
    static void placeSource(TCabinet& cab, double x, double y, double z, double rx, double ry, double rz) {
        TSourcePoint& s = *cab.SourcePoints()[0];
        s.StorePixelPosition(x, y, z);
        s.StoreAbsoluteRotations(rx, ry, rz);
    }

    // Response of a processing array at a whole frequency, between its grid points.
    static void responseAt(const TDSPSpace& grid, const std::vector<double>& mg,
                           const std::vector<double>& ph, int32_t f, double& m, double& p) {
        const int32_t n = grid.NRealFreqPoints();
        const int32_t i = std::max(0, grid.FreqToPoint(f) - 1);
        const int32_t j = i < n - 1 ? i + 1 : i;
        const double w = grid.FreqToNearPercent(f - 1);
        m = mg[i] * (1 - w) + mg[j] * w;
        double g = wrap2Pi(ph[i]);
        const double h = wrap2Pi(ph[j]);
        if (h - g < -kPiD) {
            g -= 2 * kPiD;
        } else if (h - g > kPiD) {
            g += 2 * kPiD;
        }
        p = wrap2Pi(g * (1 - w) + h * w);
    }

    // The expected complex pressure of the cabinet's source at zone pixel (w, l) and frequency index k.
    std::complex<double> expected(const TCabinet& cab, int32_t w, int32_t l, int32_t k) const {
        using V = std::array<double, 3>;
        const auto rx = [](V p, double a) {
            return V{p[0], p[1] * std::cos(a) - p[2] * std::sin(a), p[1] * std::sin(a) + p[2] * std::cos(a)};
        };
        const auto ry = [](V p, double a) {
            return V{p[0] * std::cos(a) + p[2] * std::sin(a), p[1], -p[0] * std::sin(a) + p[2] * std::cos(a)};
        };
        const auto rz = [](V p, double a) {
            return V{p[0] * std::cos(a) - p[1] * std::sin(a), p[0] * std::sin(a) + p[1] * std::cos(a), p[2]};
        };
        const double deg = kPiD / 180;
        const TPoint3D r = zone->RotationAngle();
        // M = RotY(-ry) RotX(rx) RotZ(rz) as row vectors; its inverse undoes them in reverse order.
        const auto toFrame = [&](V p) { return rz(rx(ry(p, -r.Y * deg), r.X * deg), r.Z * deg); };
        const auto fromFrame = [&](V p) { return ry(rx(rz(p, -r.Z * deg), -r.X * deg), r.Y * deg); };
        const V o = toFrame({zone->PosBeginPx().X, -zone->PosBeginPx().Y, -zone->PosBeginPx().Z});
        const double h = zone->DepthPixels() / 2.0;
        const V q = fromFrame({w + o[0] + 0.5, o[1], l - h + o[2] + 0.5});
        const TSourcePoint& s = *cab.SourcePoints()[0];
        const double px = medium.PixelToMeters();
        const V dv{(q[0] - s.XpixAbs()) * px, (q[1] + s.YpixAbs()) * px, (q[2] + s.ZpixAbs()) * px};
        const V t =
            rx(rz(ry(dv, s.AbsoluteRotationRadY()), s.AbsoluteRotationRadZ()), s.AbsoluteRotationRadX());
        const double dist = std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
        double az = std::atan2(std::sqrt(t[2] * t[2] + t[1] * t[1]), t[0]) * 180 / kPiD;
        double el = std::fmod((2 * kPiD - std::atan2(t[1], -t[2])) * 180 / kPiD, 360.0);
        az = std::fmod(az, 360.0);
        const int r5 = 5, nAz = 72, nEl = 36, L = 50;
        int a1 = static_cast<int>(az / r5), a2 = (a1 + 1) % nAz;
        const int dAz = static_cast<int>((az / r5 - a1) * 10 * r5);
        int e1 = static_cast<int>(el / r5), e2 = e1 + 1;
        const int dEl = static_cast<int>((el / r5 - e1) * 10 * r5);
        int b11 = a1, b21 = a2, b12 = a1, b22 = a2;
        if (e1 > nEl - 1) { // the other half of the sphere: mirrored azimuths
            b11 = (nAz - a1) % nAz;
            b21 = (nAz - a2) % nAz;
            e1 -= nEl;
        }
        if (e2 > nEl - 1) {
            b12 = (nAz - a1) % nAz;
            b22 = (nAz - a2) % nAz;
            e2 -= nEl;
            if (e2 > nEl - 1) {
                e2 -= nEl;
                b12 = (nAz - b12) % nAz;
                b22 = (nAz - b22) % nAz;
            }
        }
        const int32_t f = project->FreqsAverage()[k];
        const int32_t n = model->DSPSpace()->FreqToPoint(f);
        const auto M = [&](int e, int a) { return double(model->PolarData()[0][e][a].MagnitudePerFreq[n]); };
        const auto P = [&](int e, int a) { return wrap2Pi(model->PolarData()[0][e][a].PhasePerFreq[n]); };
        const auto inc = [&](double d) {
            if (std::fabs(d) <= kPiD) {
                return d / L;
            }
            return d < -kPiD ? (d + 2 * kPiD) / L : (d - 2 * kPiD) / L;
        };
        const double m1 = M(e1, b11) + dAz * (M(e1, b21) - M(e1, b11)) / L;
        const double m2 = M(e2, b12) + dAz * (M(e2, b22) - M(e2, b12)) / L;
        const double p1 = wrap2Pi(P(e1, b11) + dAz * inc(P(e1, b21) - P(e1, b11)));
        const double p2 = wrap2Pi(P(e2, b12) + dAz * inc(P(e2, b22) - P(e2, b12)));
        const double mag = m1 + dEl * (m2 - m1) / L;
        const double phase = f < 1000 ? wrap2Pi(p1 + dEl * inc(p2 - p1)) : P(0, 0); // real below 1 kHz
        double pm = 0, pp = 0;
        const TGenericDSPProcess& proc = *project->BypassProcess();
        responseAt(*proc.DSPSpace(), proc.AllProcessResponseMg(), proc.AllProcessResponsePh(), f, pm, pp);
        const TFreqConstants fc = medium.GetFreqConstants(f);
        const double dc = std::max(dist, 1.0);
        const double amp = mag * pm / dc * std::pow(10.0, -fc.dBPerMeter * dc / 20);
        const double phi = phase + pp - (dist - 1) * fc.RadiansPerMeter;
        return std::polar(amp, phi);
    }
};

} // namespace

TEST_F(KernelFixture, MapMatchesTheIndependentEvaluation) {
    // The process response varies across its grid so that reading between points matters.
    TGenericDSPProcess& proc = *project->BypassProcess();
    // A boosted PEQ section, a cut gain and a delay: magnitude and phase vary along the grid.
    TSOS& section = *proc.PEQS()->Peqs.at(0);
    section.Active = true;
    section.SetFrequency(800);
    section.SetQ(2.0);
    section.SetGain(9.0);
    proc.Gain()->SetdB(-6.0);
    proc.Delay()->SetSamples(5);
    proc.CalculatePEQSResponse();
    proc.CalculateProcess();
    TCabinet& cab = addCabinet();
    // Just above the zone (pixels within 1 m get the clamp and the phase lead), turned about all axes.
    placeSource(cab, 4.0, 1.5, 5.0, 0.3, -0.8, 0.5);
    // The widest vector unit and the plain loop (what a processor without it runs) both.
    for (const char* unit : {"avx512f", "scalar"}) {
        SetVectorMathUnit(unit);
        cab.MapData()[0]->SetZoneCalculated(false);
        cab.MapData()[0]->SetCalcCounter(1);
        ASSERT_TRUE(cab.GetMap3D(-1, -1));
        const TZoneData& map = *cab.MapData()[0];
        EXPECT_TRUE(map.ZoneCalculated());
        double worst = 0;
        int near = 0;
        for (int32_t k = 0; k < 3; ++k) {
            for (int32_t w = 0; w < map.WidthPixels(); ++w) {
                for (int32_t l = 0; l < map.DepthPixels(); ++l) {
                    const std::complex<double> e = expected(cab, w, l, k);
                    const std::complex<double> got(map.MapRealFreq()(k, w, l), map.MapImagFreq()(k, w, l));
                    // Single-precision storage, float geometry and 1-ULP vector sin/cos: a few 1e-5 of
                    // the amplitude, a tenth-degree cell edge landing on the other side included.
                    worst = std::max(worst, std::abs(got - e) / std::abs(e));
                    near += std::abs(e) > 0 && std::abs(got - e) <= 5e-4 * std::abs(e) ? 1 : 0;
                }
            }
        }
        EXPECT_EQ(near, 3 * map.WidthPixels() * map.DepthPixels())
            << unit << ": worst relative error " << worst;
    }
    SetVectorMathUnit(nullptr);
}

TEST_F(KernelFixture, DistanceClampAndAirLoss) {
    TCabinet& cab = addCabinet();
    EXPECT_DOUBLE_EQ(cab.GetLinealGainVsDistance(2.0, 0.5, 0.1), cab.GetLinealGainVsDistance(2.0, 1.0, 0.1));
    medium.SetAirLoss(false);
    EXPECT_DOUBLE_EQ(cab.GetLinealGainVsDistance(2.0, 10.0, 0.1), 0.2);
    medium.SetAirLoss(true);
    EXPECT_NEAR(cab.GetLinealGainVsDistance(2.0, 10.0, 0.1), 0.2 * std::pow(10.0, -1.0 / 20), 1e-15);
    // Closer than 1 m the phase leads by (1 - d) k.
    EXPECT_DOUBLE_EQ(cab.GetPhaseVsDistance(0.0, 0.5, 4.0), 2.0);
    EXPECT_DOUBLE_EQ(cab.GetPhaseVsDistance(1.0, 3.0, 4.0), -7.0);
}

TEST_F(KernelFixture, SkippedZonesAreLeftUntouched) {
    TCabinet& cab = addCabinet();
    cab.MapData()[0]->SetZoneCalculated(true);
    cab.MapData()[0]->MapRealFreq().Fill(7.0f);
    ASSERT_TRUE(cab.GetMap3D(-1, -1));
    EXPECT_EQ(cab.MapData()[0]->MapRealFreq()(0, 0, 0), 7.0f);
    EXPECT_EQ(cab.MapData()[0]->CalcCounter(), 1);
}

TEST_F(KernelFixture, AbortLeavesEverythingNeedingCalculation) {
    TCabinet& cab = addCabinet();
    project->SetAbortCalculation(true);
    EXPECT_FALSE(cab.GetMap3D(-1, -1));
    EXPECT_EQ(cab.MapState(), TCalcState::qzaNeedsCalculate);
    EXPECT_EQ(zone->MapState(), TCalcState::qzaNeedsCalculate);
    EXPECT_EQ(project->AllMapsState(), TCalcState::qzaNeedsCalculate);
    EXPECT_FALSE(cab.MapData()[0]->ZoneCalculated());
}

TEST_F(KernelFixture, TwoCoherentSourcesAtOnePointAreSixDecibelsUp) {
    project->SetEventsEnabled(true);
    project->SetAvoidPhaseAliasing(false);
    TCabinet& a = addCabinet();
    placeSource(a, 3, 2, 4, 0.1, 0.2, 0.3);
    ASSERT_TRUE(a.GetMap3D(-1, -1));
    a.StoreMapState(TCalcState::qzaCalculated);
    project->SumAllCabinetsInProject3D(0);
    const TMapLayers one = zone->MapSum()->MapRealFreq();

    TCabinet& b = addCabinet();
    placeSource(b, 3, 2, 4, 0.1, 0.2, 0.3);
    ASSERT_TRUE(b.GetMap3D(-1, -1));
    b.StoreMapState(TCalcState::qzaCalculated);
    zone->StoreMapState(TCalcState::qzaNeedsSum);
    project->SumAllCabinetsInProject3D(0);
    for (int32_t w = 0; w < zone->WidthPixels(); ++w) {
        for (int32_t l = 0; l < zone->DepthPixels(); ++l) {
            ASSERT_NEAR(zone->MapSum()->MapRealFreq()(0, w, l) - one(0, w, l), 20 * std::log10(2.0), 1e-4);
        }
    }
    EXPECT_EQ(zone->MapState(), TCalcState::qzaIsSumed);
}

TEST_F(KernelFixture, EnergySumWeightsLooseCabinetsAndCompensates) {
    project->SetEventsEnabled(true);
    project->SetPressureSumType(TPressureSumType::qzaEnergySum);
    TCabinet& a = addCabinet();
    TCabinet& b = addCabinet();
    for (TCabinet* c : {&a, &b}) {
        placeSource(*c, 3, 2, 4, 0.1, 0.2, 0.3);
        ASSERT_TRUE(c->GetMap3D(-1, -1));
        c->StoreMapState(TCalcState::qzaCalculated);
    }
    project->SumAllCabinetsInProject3D(-1);
    // Per frequency the magnitudes add with weight 0.71 each: 1.42 |p|; then the offset that brings
    // the maximum to the coarse coherent estimate is taken off.
    EXPECT_NEAR(project->dBEnergyComp(), zone->MaxdBEnergySum() - zone->MaxdBSPL(), 1e-9);
    const TZoneData& m = *a.MapData()[0];
    for (int32_t w = 0; w < zone->WidthPixels(); w += 3) {
        for (int32_t l = 0; l < zone->DepthPixels(); l += 3) {
            double avg = 0;
            for (int32_t k = 0; k < 3; ++k) {
                avg += 1.42 * std::hypot(m.MapRealFreq()(k, w, l), m.MapImagFreq()(k, w, l));
            }
            const double expectedDb = 20 * std::log10(avg / 3) - project->dBEnergyComp();
            ASSERT_NEAR(zone->MapSum()->MapRealFreq()(0, w, l), expectedDb, 1e-3);
        }
    }
}

// ---- The calculation threads ----

namespace {

struct PredictionThreads : KernelFixture {
    bool received = false; // touched on the UI thread only

    void SetUp() override {
        SetIdlePriorityEnabled(false); // the test machine runs other work at normal priority
        KernelFixture::SetUp();
        project->SetEventsEnabled(true);
        project->SetOnReceiveAllMaps([this](TAcousticProject& p) {
            received = true;
            p.SetForceCalculation(false); // as the window's handler does
        });
    }
    void TearDown() override {
        // Every worker stops before the objects it reads go away.
        project->AllMapsThread().CancelAndWait(&ui);
        project->ForEachCabinet([](TCabinet& c) { c.FreeMapThread(); });
        KernelFixture::TearDown();
        SetIdlePriorityEnabled(true);
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

    std::vector<TCabinet*> threeCabinets() {
        std::vector<TCabinet*> cabs;
        const double at[3][3] = {{3, 2, 4}, {-1, 3, 2}, {8, 1, 9}};
        for (const auto& p : at) {
            TCabinet& c = addCabinet();
            placeSource(c, p[0], p[1], p[2], 0.1, p[0] * 0.1, -0.2);
            cabs.push_back(&c);
        }
        return cabs;
    }

    // The maps and their sum computed on this thread alone.
    std::vector<float> serialLevels(const std::vector<TCabinet*>& cabs) {
        const tbb::global_control oneThread(tbb::global_control::max_allowed_parallelism, 1);
        for (TCabinet* c : cabs) {
            c->MapData()[0]->SetZoneCalculated(false);
            c->MapData()[0]->SetCalcCounter(1);
            EXPECT_TRUE(c->GetMap3D(-1, -1));
            c->StoreMapState(TCalcState::qzaCalculated);
        }
        zone->StoreMapState(TCalcState::qzaNeedsSum);
        project->SumAllCabinetsInProject3D(-1);
        const TMapLayers& l = zone->MapSum()->MapRealFreq();
        return std::vector<float>(l.data(),
                                  l.data() + static_cast<size_t>(zone->WidthPixels()) * zone->DepthPixels());
    }

    void render() {
        project->SetForceCalculation(true);
        project->SetAllCabsNeedsCalculateMapsInZone(-1);
    }
};

} // namespace

TEST_F(PredictionThreads, SerialAndThreadedRunsGiveIdenticalMaps) {
    const auto cabs = threeCabinets();
    const std::vector<float> serial = serialLevels(cabs);
    render();
    ASSERT_TRUE(pumpUntil([&] { return received; }));
    EXPECT_EQ(project->AllMapsState(), TCalcState::qzaCalculated);
    EXPECT_EQ(zone->MapState(), TCalcState::qzaIsSumed);
    const TMapLayers& l = zone->MapSum()->MapRealFreq();
    const std::vector<float> threaded(l.data(), l.data() + serial.size());
    EXPECT_EQ(threaded, serial);
    for (TCabinet* c : cabs) {
        EXPECT_EQ(c->MapState(), TCalcState::qzaCalculated);
    }
}

TEST_F(PredictionThreads, AbortEndsTheRunWithoutDelivery) {
    medium.StorePixelToMeters(0.05); // a larger map, so that the abort finds the run going
    zone->SetDimensions(10, 6);
    zone->RecalcPosBeginPx();
    const auto cabs = threeCabinets();
    // The abort arrives as the first cabinet's pass is asked for, so no machine is fast enough to
    // finish a map before it (setting it after the request raced with the cabinets).
    {
        const TScopedDebugLogSink sink([this](const std::string& line) {
            if (line.find("Cabinet.ExecuteMapThread") != std::string::npos) {
                project->SetAbortCalculation(true);
            }
        });
        render();
    }
    for (TCabinet* c : cabs) {
        if (c->HasMapThread()) {
            c->MapThread().WaitForStopped(&ui);
        }
    }
    project->AllMapsThread().WaitForStopped(&ui);
    ui.Pump();
    EXPECT_FALSE(received);
    EXPECT_EQ(project->AllMapsState(), TCalcState::qzaNeedsCalculate);
    for (TCabinet* c : cabs) {
        EXPECT_NE(c->MapState(), TCalcState::qzaCalculated);
    }
    // A request while the abort is pending does nothing.
    project->ExecuteAllMapsThread();
    EXPECT_TRUE(project->AllMapsThread().Stopped());
}

TEST_F(PredictionThreads, UnsettledPassesAreRetriedTwentyTimesThenReported) {
    RecordingMessageBox box;
    const TScopedMessageBoxService installed(&box);
    const auto cabs = threeCabinets();
    serialLevels(cabs);
    zone->StoreMapState(TCalcState::qzaNeedsSum);
    {
        // Every pass is invalidated while it runs (as an edit on another thread would): none can settle.
        const TScopedDebugLogSink sink([this](const std::string& line) {
            if (line.find("AcousticProject.SumAllCabinetsInProject3D") != std::string::npos) {
                project->SetAllMapsState(TCalcState::qzaNeedsCalculate);
            }
        });
        project->SetForceCalculation(true);
        project->SetAllMapsState(TCalcState::qzaNeedsCalculate);
        project->ExecuteAllMapsThread();
        ASSERT_TRUE(pumpUntil([&] { return project->AbortCalculation(); }));
        project->AllMapsThread().WaitForStopped(&ui);
    }
    ui.Pump();
    EXPECT_EQ(project->LastLogString(),
              "************************** Se quedo en AcousticProject.GetAllMaps Zone:-1  Repeat:21");
    ASSERT_EQ(box.shown.size(), 1u) << "the user hears of the failed run";
    EXPECT_EQ(box.shown[0].type, TMsgDlgType::mtError);
    EXPECT_TRUE(received) << "the window is told so that it leaves its rendering state";
}

TEST_F(PredictionThreads, RemovingACabinetWhileItsMapIsComputedStopsItFirst) {
    medium.StorePixelToMeters(0.05);
    zone->SetDimensions(10, 6);
    zone->RecalcPosBeginPx();
    const auto cabs = threeCabinets();
    project->SetContinuousRender(true);
    render();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    project->RemoveCabinet(cabs[0]);
    EXPECT_EQ(project->NCabinets(), 2);
    const auto settled = [&] {
        bool done = project->AllMapsState() == TCalcState::qzaCalculated &&
                    zone->MapState() == TCalcState::qzaIsSumed && (project->AllMapsThread().Stopped());
        project->ForEachCabinet([&](TCabinet& c) {
            done = done && c.MapState() == TCalcState::qzaCalculated && !c.MapThreadActive();
        });
        return done;
    };
    ASSERT_TRUE(pumpUntil(settled, 60)) << [&] {
        std::string st = "all " + std::to_string(int(project->AllMapsState())) + " zone " +
                         std::to_string(int(zone->MapState())) + " sum " +
                         std::to_string(project->AllMapsThread().Active());
        project->ForEachCabinet([&](TCabinet& c) {
            st += " cab " + std::to_string(int(c.MapState())) + "/" + std::to_string(c.MapThreadActive());
        });
        return st + " log " + project->LastLogString();
    }();
    const TMapLayers& l = zone->MapSum()->MapRealFreq();
    const std::vector<float> threaded(l.data(), l.data() + static_cast<size_t>(zone->WidthPixels()) *
                                                               zone->DepthPixels());
    project->SetContinuousRender(false);
    EXPECT_EQ(threaded, serialLevels({cabs[1], cabs[2]}))
        << "the summed map is that of the remaining cabinets";
}

TEST_F(PredictionThreads, AnExceptionInTheKernelIsReportedAndStopsTheWait) {
    RecordingMessageBox box;
    const TScopedMessageBoxService installed(&box);
    const auto cabs = threeCabinets();
    cabs[1]->MapData()[0]->SetZoneLength(1, zone->WidthPixels(), zone->DepthPixels()); // too few layers
    render();
    ASSERT_TRUE(pumpUntil([&] { return !box.shown.empty(); }, 60));
    project->AllMapsThread().WaitForStopped(&ui);
    EXPECT_NE(cabs[1]->MapState(), TCalcState::qzaCalculating);
    EXPECT_TRUE(project->AbortCalculation());
    EXPECT_EQ(project->AllMapsState(), TCalcState::qzaNeedsCalculate);
    // As after exhausted passes: the window is told, finds the abort flag set and leaves its rendering
    // state without painting.
    EXPECT_TRUE(received);
}
