// The response at a measurement point: against the map kernel at the same place and frequency, the two
// summations, the delay, groups, weighting and the arrival-time capture.

#include "acoustics/point_response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <vector>

#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/mic_point.h"
#include "acoustics/source_point.h"
#include "acoustics/zone_data.h"
#include "column_fixture.h"
#include "dsp/biquad.h"
#include "dsp/gain_delay.h"
#include "dsp/peqs.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

using testing::OmniModel;
using testing::QuietProject;

constexpr double kPiD = 3.141592653589793;

struct PointFixture : ::testing::Test, QuietProject {
    std::unique_ptr<TCabModel> model;

    void SetUp() override {
        medium.StorePixelToMeters(0.5);
        model = OmniModel(medium, *project, 1, 0.0);
    }

    // A loose cabinet of the model at Position (m), turned by Rotation (degrees; X through RotX).
    TCabinet& addCabinet(const TPoint3D& Position, const TPoint3D& Rotation = TPoint3D()) {
        TCabinet& cab =
            *project->AddCabinet(model.get(), Position, Rotation, false, TCabPlacement::qzaVertical, 0, true);
        cab.SetActive(true);
        return cab;
    }

    int32_t gridPointNear(int32_t hz) const {
        const auto& f = project->DSPSpaceForMicGraphs()->FreqDraw;
        return static_cast<int32_t>(std::lower_bound(f.begin(), f.end(), hz) - f.begin());
    }

    // The complex pressure at grid point k from level and phase.
    static std::complex<double> pressure(const std::vector<double>& mag, const std::vector<double>& ph,
                                         int32_t k) {
        const size_t i = static_cast<size_t>(k);
        return std::polar(std::pow(10.0, mag[i] / 20), ph[i] * kPiD / 180);
    }

    std::complex<double> at(const TPoint3D& point, int32_t k, double delay = 0.0) {
        TPointResponse response(*project);
        std::vector<double> mag, ph;
        EXPECT_TRUE(response.Compute(point, delay, mag, ph));
        return pressure(mag, ph, k);
    }
};

// One source seen from the pixel centres of a zone: the map kernel and the point response compute the same
// physics (polar data, processing, spreading, air, propagation) by different routes.
TEST_F(PointFixture, OneSourceAgreesWithTheMapKernelAtThePixelCentres) {
    // Polar data that varies with direction, the same at every frequency.
    const int32_t points = model->DSPSpace()->NRealFreqPoints();
    for (int32_t e = 0; e < model->NPolarElevSlices(); ++e) {
        for (int32_t a = 0; a < model->NPolarAzMeasures(); ++a) {
            rPolarData d = model->PolarData()[0][e][a];
            const double az = a * 5 * kPiD / 180, el = e * 5 * kPiD / 180;
            for (int32_t n = 0; n < points; ++n) {
                d.MagnitudePerFreq[n] = static_cast<float>(1.0 + 0.3 * std::sin(az) * std::cos(2 * el));
                d.PhasePerFreq[n] = static_cast<float>(0.7 * std::sin(az + el) - 3.0);
            }
            model->SetPolarPoint(0, static_cast<size_t>(e), static_cast<size_t>(a), std::move(d));
        }
    }
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
    const int32_t k = gridPointNear(630); // below the real-phase limit of 1 kHz
    const int32_t f = project->DSPSpaceForMicGraphs()->FreqDraw[static_cast<size_t>(k)];
    project->SetFreqsAverage({f});

    TMappingZone* zone =
        TMappingZone::Create(&medium, project.get(), "Zone", TPoint3D(-2, 0, 1), TPoint3D(0, 0, 0), 8, 5,
                             0.1f, false, TSurfaceType::qzaRectangle, 0xFF000000, true);
    zone->SetRotationAngle(TPoint3D(10, 25, -15));
    zone->SetDimensions(8, 5);
    zone->RecalcPosBeginPx();
    TCabinet& cab = addCabinet(TPoint3D(1.5f, -2.0f, 2.0f), TPoint3D(5, 30, -10));
    TZoneData& map = *cab.MapData().at(0);
    map.SetZoneLength(1, zone->WidthPixels(), zone->DepthPixels());
    map.SetCalcCounter(1);
    ASSERT_TRUE(cab.GetMap3D(-1, -1));

    // Pixel (w, l) lies at Q * pixel in the scene with Z negated, Q the kernel's pixel centre.
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
    const double deg = kPiD / 180, px = medium.PixelToMeters();
    const TPoint3D r = zone->RotationAngle();
    const auto toFrame = [&](V p) { return rz(rx(ry(p, -r.Y * deg), r.X * deg), r.Z * deg); };
    const auto fromFrame = [&](V p) { return ry(rx(rz(p, -r.Z * deg), -r.X * deg), r.Y * deg); };
    const V o = toFrame({zone->PosBeginPx().X, -zone->PosBeginPx().Y, -zone->PosBeginPx().Z});
    const double h = zone->DepthPixels() / 2.0;
    int checked = 0;
    for (int32_t w = 0; w < map.WidthPixels(); w += 3) {
        for (int32_t l = 0; l < map.DepthPixels(); l += 2) {
            const V q = fromFrame({w + o[0] + 0.5, o[1], l - h + o[2] + 0.5});
            const TPoint3D point(static_cast<float>(q[0] * px), static_cast<float>(q[1] * px),
                                 static_cast<float>(-q[2] * px));
            const std::complex<double> kernel(map.MapRealFreq()(0, w, l), map.MapImagFreq()(0, w, l));
            const std::complex<double> mic = at(point, k);
            ASSERT_LE(std::abs(mic - kernel), 1e-3 * std::abs(kernel)) << "pixel " << w << ", " << l;
            ++checked;
        }
    }
    EXPECT_GT(checked, 20);
}

TEST_F(PointFixture, ComplexAndEnergySums) {
    medium.SetAirLoss(false);
    const int32_t k = gridPointNear(1000);
    const TPoint3D point(10, 0, 0);
    addCabinet(TPoint3D(0, 0, 0));
    const std::complex<double> one = at(point, k);
    addCabinet(TPoint3D(0, 0, 0));
    const std::complex<double> twoSame = at(point, k);
    EXPECT_NEAR(20 * std::log10(std::abs(twoSame) / std::abs(one)), 6.0206, 1e-3);
    // A second source 0.17 m further away (about half a wavelength at 1 kHz) nearly cancels the first.
    project->Cabinets().back()->SetPosition(TPoint3D(-0.17f, 0, 0));
    const std::complex<double> apart = at(point, k);
    EXPECT_LT(std::abs(apart), 0.2 * std::abs(one));

    project->SetPressureSumType(TPressureSumType::qzaEnergySum);
    TPointResponse response(*project);
    std::vector<double> mag, ph;
    ASSERT_TRUE(response.Compute(point, 0.0, mag, ph));
    // Each source adds its magnitude; the sum reads 3 dB lower and carries no phase.
    const double p1 = std::abs(one);
    const double p2 = p1 * 10.0 / 10.17; // 1/d spreading of the farther one
    EXPECT_NEAR(mag[static_cast<size_t>(k)], 20 * std::log10(p1 + p2) - 3.0, 2e-3);
    EXPECT_TRUE(std::all_of(ph.begin(), ph.end(), [](double p) { return p == 0.0; }));
}

TEST_F(PointFixture, AGroupSumsItsCabinetsAsPressuresAndAnInactiveGroupCountsForNothing) {
    const int32_t k = gridPointNear(1000);
    const TPoint3D point(0, -10,
                         0); // 10 m above a column of two cabinets 0.17 m apart
    auto cluster =
        std::make_unique<TCluster>(&medium, project.get(), model.get(), TCabPlacement::qzaVertical);
    cluster->SetLinearVSpace(0.17f);
    cluster->SetQuantityV(2);
    TCluster& group = *cluster;
    project->AddCluster(std::move(cluster));
    for (TCabinet* cab : group.CabinetList()) {
        cab->SetActive(true);
    }
    // Even in an energy sum the group's cabinets add as pressures: about half a wavelength apart at 1 kHz
    // they nearly cancel, where two loose cabinets would add their magnitudes.
    project->SetPressureSumType(TPressureSumType::qzaEnergySum);
    std::vector<double> mag, ph;
    ASSERT_TRUE(TPointResponse(*project).Compute(point, 0.0, mag, ph));
    const double grouped = mag[static_cast<size_t>(k)];
    addCabinet(TPoint3D(0, -0.085f, 0));
    addCabinet(TPoint3D(0, 0.085f, 0));
    group.SetActive(false);
    ASSERT_TRUE(TPointResponse(*project).Compute(point, 0.0, mag, ph));
    const double loose = mag[static_cast<size_t>(k)];
    EXPECT_LT(grouped, loose - 10.0);
    while (project->NCabinets() > 0) {
        project->RemoveCabinet(project->Cabinets().back().get());
    }
    ASSERT_TRUE(TPointResponse(*project).Compute(point, 0.0, mag, ph));
    EXPECT_EQ(mag[static_cast<size_t>(k)], kSilentPointLevel);
}

TEST_F(PointFixture, ADelayLeadsThePhaseByItsTimeAtEveryFrequency) {
    addCabinet(TPoint3D(0, 0, 0));
    const TPoint3D point(7, 1, -2);
    for (int32_t hz : {100, 1000, 8000}) {
        const int32_t k = gridPointNear(hz);
        const double f = project->DSPSpaceForMicGraphs()->FreqDraw[static_cast<size_t>(k)];
        const std::complex<double> plain = at(point, k), advanced = at(point, k, 0.25);
        EXPECT_NEAR(std::abs(advanced), std::abs(plain), 1e-9 * std::abs(plain));
        EXPECT_NEAR(std::remainder(std::arg(advanced / plain) - 2 * kPiD * f * 0.25e-3, 2 * kPiD), 0.0, 1e-4)
            << hz;
    }
}

TEST_F(PointFixture, WeightingShiftsOnlyTheDrawnCurve) {
    addCabinet(TPoint3D(0, 0, 0));
    TMicPoint mic(&medium, project.get(), 0, TPoint3D(5, 0, 0), 0xFFFF0000, false);
    project->SetEventsEnabled(true);
    ASSERT_TRUE(mic.GetMicMeassureMagPh(0.0));
    const std::vector<double> plain = mic.MagnitudePointAllFreqs();
    struct Case {
        TWeightening w;
        int32_t hz;
        double dB;
    };
    for (const Case& c : {Case{TWeightening::AWeigthed, 100, -19.1}, Case{TWeightening::AWeigthed, 1000, 0.0},
                          Case{TWeightening::CWeigthed, 20000, -11.2}}) {
        project->SetMicWeightening(c.w);
        ASSERT_TRUE(mic.GetMicMeassureMagPh(0.0));
        EXPECT_EQ(mic.MagnitudePointAllFreqs(), plain);
        const size_t k = static_cast<size_t>(gridPointNear(c.hz));
        EXPECT_NEAR(mic.MagnitudePointAllFreqs()[k] + project->WeighteningTable()[k], plain[k] + c.dB, 0.15);
    }
    project->SetEventsEnabled(false);
}

TEST_F(PointFixture, TheArrivalOfTheStrongestSourceIsItsDistanceOverTheSpeedOfSound) {
    const TPoint3D point(0, 0, 0);
    TMicPoint mic(&medium, project.get(), 0, point, 0xFFFF0000, false);
    // Nothing to capture without an active cabinet.
    EXPECT_FALSE(mic.CaptureDelay_ms(0, 2000, 1000, 24000).has_value());
    EXPECT_THROW(mic.CaptureDelay_ms(0, 2000, 1000, 0), ERangeError);
    TCabinet& near = addCabinet(TPoint3D(12, 0, 0));
    TCabinet& far = addCabinet(TPoint3D(0, 0, 25));
    const double c = medium.SpeedOfSound();
    const double step = 1000.0 / 24000; // one impulse sample
    // The phase is referred to 1 m from the source: the arrival is (d - 1) / c.
    std::optional<double> t = mic.CaptureDelay_ms(0, 2000, 1000, 24000);
    ASSERT_TRUE(t.has_value());
    EXPECT_NEAR(*t, (12 - 1) / c * 1000, step);
    near.SetActive(false);
    t = mic.CaptureDelay_ms(0, 2000, 1000, 24000);
    ASSERT_TRUE(t.has_value());
    EXPECT_NEAR(*t, (25 - 1) / c * 1000, step);
    // An active user process adds its delay.
    TGenericDSPProcess* process = project->AddDSPProcess();
    process->Delay()->Setms(2.0);
    process->CalculateProcess();
    far.SetExternalDSPProcess(process);
    t = mic.CaptureDelay_ms(0, 2000, 1000, 24000);
    ASSERT_TRUE(t.has_value());
    EXPECT_NEAR(*t, (25 - 1) / c * 1000 + 2.0, step);
}

} // namespace
} // namespace vendrel
