// Steered column arrays: the per-source delays and shading against hand calculations, the beams of a
// column, and the radiation of a steered column evaluated through the measurement-point response.

#include "acoustics/beam_steering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <string>
#include <vector>

#include "acoustics/beam_design.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/point_response.h"
#include "acoustics/source_point.h"
#include "column_fixture.h"
#include "dsp/fir.h"
#include "platform/core/debug_log.h"

namespace vendrel {
namespace {

using testing::ColumnModel;
using testing::OmniModel;
using testing::QuietProject;

constexpr double kPiD = 3.141592653589793;
constexpr double kC = 343.0;
constexpr double kTs = 1.0 / 48000;

TEST(BeamDesign, SteeringDelaysFollowThePathDifferenceTowardsTheAngle) {
    struct Case {
        float angle;
        int32_t n;
        float sep;
    };
    for (const Case& c :
         {Case{0, 8, 0.1f}, Case{20, 16, 0.1f}, Case{-30, 12, 0.075f}, Case{7.5f, 24, 0.05f}}) {
        const std::vector<int32_t> S = SteeringDelays(c.angle, c.n, c.sep, kC, kTs);
        ASSERT_EQ(S.size(), static_cast<size_t>(c.n));
        for (int32_t i = 0; i < c.n; ++i) {
            // A plane wave leaving the column at the angle travels i Sep sin(angle) further from source
            // i than from source 0: source i starts that much earlier, to the nearest sample.
            const double path = i * c.sep * std::sin(c.angle * kPiD / 180);
            const double delayed = S[static_cast<size_t>(i)] * kTs * kC;
            EXPECT_NEAR(delayed, -path, 0.5 * kTs * kC + 1e-9) << c.angle << " deg, source " << i;
        }
    }
    EXPECT_EQ(SteeringDelays(0, 8, 0.1f, kC, kTs), std::vector<int32_t>(8, 0));
}

TEST(BeamDesign, CurvatureDelaysTheOuterQuarterAtEachEnd) {
    const double y = 0.1 * std::tan(5 * kPiD / 180) / (kC * kTs); // samples per step for 10 degrees
    const std::vector<int32_t> C = CurvatureDelays(10, 16, 0.1f, kC, kTs);
    const std::vector<int32_t> ends = {
        static_cast<int32_t>(std::nearbyint(4 * y)), static_cast<int32_t>(std::nearbyint(3 * y)),
        static_cast<int32_t>(std::nearbyint(2 * y)), static_cast<int32_t>(std::nearbyint(y))};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(C[i], ends[i]);
        EXPECT_EQ(C[15 - i], ends[i]);
    }
    for (size_t i = 4; i < 12; ++i) {
        EXPECT_EQ(C[i], 0);
    }
    EXPECT_GT(ends[0], ends[3]);
    // Negative curvature leads the ends; ten sources give Round(2.5) = 2 outer sources (ties to even).
    const std::vector<int32_t> N = CurvatureDelays(-10, 10, 0.1f, kC, kTs);
    EXPECT_EQ(N, (std::vector<int32_t>{-ends[2], -ends[3], 0, 0, 0, 0, 0, 0, -ends[3], -ends[2]}));
}

TEST(BeamDesign, ShadingLowPassesAndAttenuatesTheOuterSources) {
    const TBeamShading s = BeamShading(10, 16, 0.1f);
    // h = 5 degrees, K = 4: cut-offs Trunc(12000 / (Sep (4 - i) 5)) with the single-precision spacing
    // (a hair above 0.1, so 5999 rather than 6000); attenuations 1.5 (4 - i) - 1.5 dB.
    const std::vector<int32_t> cuts = {5999, 7999, 11999, 23999};
    const std::vector<double> atts = {4.5, 3.0, 1.5, 0.0};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(s.Cut[i], cuts[i]);
        EXPECT_EQ(s.Cut[15 - i], cuts[i]);
        EXPECT_DOUBLE_EQ(s.Att[i], atts[i]);
        EXPECT_DOUBLE_EQ(s.Att[15 - i], atts[i]);
    }
    for (size_t i = 4; i < 12; ++i) {
        EXPECT_EQ(s.Cut[i], 24000);
        EXPECT_DOUBLE_EQ(s.Att[i], -1.5);
    }
    // Below a tenth of a degree (or bent the other way) every source is left alone.
    for (float curvature : {0.05f, -10.0f}) {
        const TBeamShading none = BeamShading(curvature, 16, 0.1f);
        EXPECT_EQ(none.Cut, std::vector<int32_t>(16, 24000));
        EXPECT_EQ(none.Att, std::vector<double>(16, 0.0));
    }
}

TEST(BeamDesign, SourcesAreSharedInConsecutiveSlices) {
    EXPECT_EQ(BeamSourceCounts(16, 3), (std::vector<int32_t>{5, 6, 5}));
    EXPECT_EQ(BeamSourceCounts(12, 3), (std::vector<int32_t>{4, 4, 4}));
    EXPECT_EQ(BeamSourceCounts(8, 1), (std::vector<int32_t>{8}));
}

TEST(BeamDesign, UnsteerableModelsAndSettingsAreRefused) {
    EXPECT_THROW(SteeringSourceSeparation("One", 1, 0.0, 0.0), EBeamSteeringError);
    EXPECT_THROW(SteeringSourceSeparation("Flat", 2, 0.1, 0.1), EBeamSteeringError);
    EXPECT_FLOAT_EQ(SteeringSourceSeparation("Two", 2, 0.05, -0.05), 0.1f);
    for (double angle : {std::nan(""), 95.0, -180.0}) {
        EXPECT_THROW(CheckSteeringAngle(angle), EBeamSteeringError) << angle;
    }
    EXPECT_THROW(CheckCurvatureAngle(std::nan("")), EBeamSteeringError);
    EXPECT_THROW(SteeringDelays(10, 4, 0.1f, 0.0, kTs), EBeamSteeringError);
    try {
        SteeringSourceSeparation("SP1", 1, 0.0, 0.0);
    } catch (const EBeamSteeringError& e) {
        EXPECT_NE(std::string(e.what()).find("SP1"), std::string::npos);
    }
}

// A column of two 8-source elements, 0.1 m between sources, in a quiet project.
struct ColumnFixture : ::testing::Test, QuietProject {
    std::unique_ptr<TCabModel> model = ColumnModel(medium, *project, 8, 0.1);
    TBeamContainer* column = nullptr;

    void SetUp() override {
        medium.SetAirLoss(false);
        auto c =
            std::make_unique<TBeamContainer>(&medium, project.get(), model.get(), TCabPlacement::qzaVertical);
        column = c.get();
        project->AddBeamSteering(std::move(c));
        column->SetPosition(TPoint3D(0, -5, 0)); // 5 m up (the scene's Y axis points down)
        column->SetQuantityV(2);
    }

    // Level (dB) at frequency point k of the measurement-point grid, 40 m away at each elevation
    // (degrees, up positive) in the column's vertical plane, seen from the centre of its sources.
    std::vector<double> pattern(const std::vector<double>& elevations, int32_t k) {
        TBoundingBox box =
            TBoundingBox::FromPoints(column->CabinetList()[0]->SourcePoints()[0]->AbsolutePosition(),
                                     column->CabinetList()[0]->SourcePoints()[0]->AbsolutePosition());
        for (TCabinet* cab : column->CabinetList()) {
            for (auto& s : cab->SourcePoints()) {
                box = box.Include(s->AbsolutePosition());
            }
        }
        const TPoint3D centre = box.Center();
        TPointResponse response(*project);
        std::vector<double> levels;
        std::vector<double> mag, phase;
        for (double e : elevations) {
            const double r = 40.0, a = e * kPiD / 180;
            const TPoint3D at(static_cast<float>(centre.X + r * std::cos(a)),
                              static_cast<float>(centre.Y - r * std::sin(a)), centre.Z);
            EXPECT_TRUE(response.Compute(at, 0.0, mag, phase));
            levels.push_back(mag[static_cast<size_t>(k)]);
        }
        return levels;
    }

    int32_t gridPointNear(int32_t hz) const {
        const auto& f = project->DSPSpaceForMicGraphs()->FreqDraw;
        return static_cast<int32_t>(std::lower_bound(f.begin(), f.end(), hz) - f.begin());
    }

    static std::vector<double> elevations() {
        std::vector<double> e;
        for (double a = -60; a <= 60; a += 0.5) {
            e.push_back(a);
        }
        return e;
    }

    // Highest local maximum other than the main lobe's, below the main lobe in dB.
    static double sideLobeDepth(const std::vector<double>& levels) {
        const size_t peak =
            static_cast<size_t>(std::max_element(levels.begin(), levels.end()) - levels.begin());
        double side = -1e300;
        for (size_t i = 1; i + 1 < levels.size(); ++i) {
            if (i != peak && levels[i] >= levels[i - 1] && levels[i] >= levels[i + 1]) {
                side = std::max(side, levels[i]);
            }
        }
        return levels[peak] - side;
    }
};

TEST_F(ColumnFixture, AColumnAllowsABeamPerFourSources) {
    EXPECT_EQ(column->TotalSources(), 16);
    EXPECT_EQ(column->MaxSingleBeams(), 4);
    for (int32_t i = 0; i < 4; ++i) {
        TSingleBeam* beam = column->AddSingleBeam();
        ASSERT_NE(beam, nullptr);
        EXPECT_EQ(beam->NumberID(), i);
        EXPECT_EQ(beam->NCabinets(), 2);
    }
    EXPECT_EQ(column->AddSingleBeam(), nullptr);
    // Four beams of four consecutive sources, each with a filter per source.
    for (const auto& beam : column->SingleBeams()) {
        EXPECT_EQ(beam->NSources(), 4);
        EXPECT_EQ(beam->FIRprocess().size(), 4u);
        EXPECT_FLOAT_EQ(beam->SourceSeparation(), 0.1f);
    }
    EXPECT_EQ(column->SingleBeams()[1]->pSourcePoints()[0],
              column->CabinetList()[0]->SourcePoints()[4].get());
    EXPECT_EQ(column->CabinetList()[1]->SingleBeamList().size(), 4u);
}

TEST_F(ColumnFixture, AModelThatCannotBeSteeredIsRefusedBeforeAnythingChanges) {
    auto single = OmniModel(medium, *project, 1, 0.3, "SP1");
    single->SetAllowsBeamSteering(true);
    single->SetFIRTapsPerSource(255);
    auto c =
        std::make_unique<TBeamContainer>(&medium, project.get(), single.get(), TCabPlacement::qzaVertical);
    c->SetQuantityV(8);
    EXPECT_THROW(c->AddSingleBeam(), EBeamSteeringError);
    EXPECT_EQ(c->NSingleBeams(), 0);
    for (TCabinet* cab : c->CabinetList()) {
        EXPECT_TRUE(cab->SingleBeamList().empty());
    }
    // Out-of-range angles leave the beam as it was.
    TSingleBeam& beam = *column->AddSingleBeam();
    EXPECT_THROW(beam.SetAngle(std::nanf("")), EBeamSteeringError);
    EXPECT_THROW(beam.SetCurvatureAngle(200.0f), EBeamSteeringError);
    EXPECT_EQ(beam.Angle(), 0.0f);
    EXPECT_EQ(beam.CurvatureAngle(), 0.0f);
}

TEST_F(ColumnFixture, AnUnsteeredBeamIsFlatAndInPhase) {
    TSingleBeam& beam = *column->AddSingleBeam();
    EXPECT_DOUBLE_EQ(beam.BeamFIRSampleLatency(), 127.0);
    for (TSourcePoint* s : beam.pSourcePoints()) {
        for (size_t k = 0; k < s->BeamFIRResponseMg().size(); ++k) {
            EXPECT_NEAR(s->BeamFIRResponseMg()[k], 1.0, 0.02);
            EXPECT_NEAR(std::remainder(s->BeamFIRResponsePh()[k], 2 * kPiD), 0.0, 0.02);
        }
    }
}

TEST_F(ColumnFixture, TheSteeredMainLobePointsWhereItWasSteered) {
    TSingleBeam& beam = *column->AddSingleBeam();
    const std::vector<double> e = elevations();
    for (int32_t k : {gridPointNear(1000), gridPointNear(2500)}) {
        for (float angle : {0.0f, 20.0f, -12.0f}) {
            beam.SetAngle(angle);
            const std::vector<double> levels = pattern(e, k);
            const double peak =
                e[static_cast<size_t>(std::max_element(levels.begin(), levels.end()) - levels.begin())];
            EXPECT_NEAR(peak, angle, 1.0) << "steered to " << angle << " at grid point " << k;
        }
    }
    // The beam is aimed from the centre of its sources.
    EXPECT_NEAR(beam.EmisionPoint().Y, 0.0f, 1e-4f);
}

TEST_F(ColumnFixture, ShadingLowersTheSideLobes) {
    TSingleBeam& beam = *column->AddSingleBeam();
    beam.SetCurvatureAngle(10.0f);
    const std::vector<double> e = elevations();
    const int32_t k = gridPointNear(2500);
    const double plain = sideLobeDepth(pattern(e, k));
    beam.SetLobesOptimize(true);
    const double shaded = sideLobeDepth(pattern(e, k));
    EXPECT_GT(shaded, plain + 2.0) << "side lobes " << plain << " dB down without, " << shaded << " dB with";
}

TEST_F(ColumnFixture, CurvatureWidensTheBeam) {
    TSingleBeam& beam = *column->AddSingleBeam();
    const std::vector<double> e = elevations();
    const int32_t k = gridPointNear(2500);
    // The -6 dB width of the main lobe.
    const auto width = [&](const std::vector<double>& levels) {
        const size_t peak =
            static_cast<size_t>(std::max_element(levels.begin(), levels.end()) - levels.begin());
        size_t lo = peak, hi = peak;
        while (lo > 0 && levels[lo] > levels[peak] - 6) {
            --lo;
        }
        while (hi + 1 < levels.size() && levels[hi] > levels[peak] - 6) {
            ++hi;
        }
        return e[hi] - e[lo];
    };
    const double straight = width(pattern(e, k));
    beam.SetCurvatureAngle(12.0f);
    const double curved = width(pattern(e, k));
    EXPECT_GT(curved, 1.5 * straight) << straight << " deg straight, " << curved << " deg curved";
}

// The beam's axis leaves the centre of its sources at its steering angle: a column 5 m up steered
// 20 degrees down meets a floor through the origin 5 / tan(20 deg) ahead.
TEST_F(ColumnFixture, TheBeamIsAimedFromItsSourcesAlongItsAngle) {
    TMappingZone* zone = TMappingZone::Create(&medium, project.get(), "Floor", TPoint3D(), TPoint3D(), 40, 40,
                                              0.1f, false, TSurfaceType::qzaRectangle, 0xFF000000, true);
    TDummy drawn, holder;
    TControl3D surface;
    holder.SetParent(&drawn);
    surface.SetParent(&holder);
    surface.SetWidth(100.0f);
    surface.SetHeight(0.0002f);
    surface.SetDepth(100.0f);
    zone->GraphicalObject = &drawn;

    TSingleBeam& beam = *column->AddSingleBeam();
    beam.SetAngle(-20.0f);
    ASSERT_EQ(beam.HitPointZoneThrow(), zone);
    EXPECT_NEAR(beam.HitPointAbsThrow().X, 5.0 / std::tan(20 * kPiD / 180), 1e-3);
    EXPECT_NEAR(beam.HitPointAbsThrow().Y, 0.0, 1e-3);
    // Aimed up, it meets nothing; switched off, it has no hit point.
    beam.SetAngle(10.0f);
    EXPECT_EQ(beam.HitPointZoneThrow(), nullptr);
    beam.SetAngle(-20.0f);
    beam.SetActive(false);
    beam.CalcHitPoint();
    EXPECT_EQ(beam.HitPointZoneThrow(), nullptr);
    EXPECT_EQ(beam.HitPointAbsThrow().X, 0.0f);
    zone->GraphicalObject = nullptr;
}

TEST_F(ColumnFixture, MoreRowsJoinEveryBeam) {
    column->AddSingleBeam();
    column->AddSingleBeam();
    column->SetQuantityV(3);
    EXPECT_EQ(column->TotalSources(), 24);
    for (const auto& beam : column->SingleBeams()) {
        EXPECT_EQ(beam->NCabinets(), 3);
        EXPECT_EQ(beam->NSources(), 12);
    }
    for (TCabinet* cab : column->CabinetList()) {
        EXPECT_EQ(cab->SingleBeamList().size(), 2u);
    }
    column->SetQuantityV(1);
    for (const auto& beam : column->SingleBeams()) {
        EXPECT_EQ(beam->NCabinets(), 1);
        EXPECT_EQ(beam->NSources(), 4);
        for (TSourcePoint* s : beam->pSourcePoints()) {
            EXPECT_EQ(s->MyCabinet(), column->CabinetList()[0]);
        }
    }
}

// The field of a steered column computed straight from its taps: every source's filter summed at the
// frequency itself (no grid in between), spread and delayed by its distance to the point. The beam's
// latency, which the response takes off the whole sum, is taken off here too.
double TapsField(const TSingleBeam& beam, const TPhysicalSpace& medium, const TPoint3D& at, int32_t hz) {
    std::complex<double> sum{0.0, 0.0};
    for (size_t i = 0; i < beam.pSourcePoints().size(); ++i) {
        const TFIR& fir = *beam.FIRprocess()[i];
        const double w = 2 * kPiD * hz / fir.SampleRate();
        std::complex<double> h{0.0, 0.0};
        for (int32_t t = 0; t < fir.UseNTaps(); ++t) {
            h += fir.Coef(t) * std::polar(1.0, -w * t);
        }
        const TPoint3D s = beam.pSourcePoints()[i]->AbsolutePosition();
        const double d = std::sqrt(double(at.X - s.X) * (at.X - s.X) + double(at.Y - s.Y) * (at.Y - s.Y) +
                                   double(at.Z - s.Z) * (at.Z - s.Z));
        const double k = medium.GetFreqConstants(hz).RadiansPerMeter;
        sum += h * std::polar(1.0 / std::max(d, 1.0), w * beam.BeamFIRSampleLatency() - (d - 1) * k);
    }
    return 20 * std::log10(std::abs(sum));
}

// Between the model's 1/6-octave grid points a steering filter turns its phase by many half turns:
// the point's level follows the filter itself at every frequency of its grid, not a blend of the
// phases at the two model grid points around it.
TEST_F(ColumnFixture, ASteeredColumnsPointLevelFollowsItsTapsBetweenGridPoints) {
    TSingleBeam& beam = *column->AddSingleBeam();
    ASSERT_EQ(beam.NSources(), 16);
    const auto& f = project->DSPSpaceForMicGraphs()->FreqDraw;
    ASSERT_NE(std::find(f.begin(), f.end(), 7551), f.end());
    for (float angle : {15.0f, 30.0f, 45.0f}) {
        beam.SetAngle(angle);
        const TPoint3D centre = column->CabinetList()[0]->SourcePoints()[7]->AbsolutePosition();
        for (double elevation : {0.0, double(angle)}) {
            const double r = 12.0, a = elevation * kPiD / 180;
            const TPoint3D at(static_cast<float>(centre.X + r * std::cos(a)),
                              static_cast<float>(centre.Y - r * std::sin(a)), centre.Z);
            TPointResponse response(*project);
            std::vector<double> mag, phase;
            ASSERT_TRUE(response.Compute(at, 0.0, mag, phase));
            double worst = 0.0;
            int32_t worstHz = 0;
            for (size_t k = 0; k < f.size(); ++k) {
                if (f[k] < 500 || f[k] > 16000) {
                    continue;
                }
                const double error = std::abs(mag[k] - TapsField(beam, medium, at, f[k]));
                if (error > worst) {
                    worst = error;
                    worstHz = f[k];
                }
            }
            EXPECT_LT(worst, 0.05) << "steered " << angle << ", point at " << elevation
                                   << " degrees: " << worst << " dB off at " << worstHz << " Hz";
        }
    }
}

// Steered by plain delays (no taps), each source's stored response is the delay itself: between grid
// points the point's level follows the field of the exact delays too.
TEST_F(ColumnFixture, AColumnSteeredByDelaysFollowsItsDelaysBetweenGridPoints) {
    auto delayModel = ColumnModel(medium, *project, 8, 0.1);
    delayModel->SetBeamProcessType(TBeamProcessType::qzaDelayAndIIR);
    auto c = std::make_unique<TBeamContainer>(&medium, project.get(), delayModel.get(),
                                              TCabPlacement::qzaVertical);
    TBeamContainer* delays = c.get();
    project->AddBeamSteering(std::move(c));
    delays->SetPosition(TPoint3D(0, -5, 0));
    delays->SetQuantityV(2);
    column->SetActive(false);
    TSingleBeam& beam = *delays->AddSingleBeam();
    ASSERT_EQ(beam.BeamProcessType(), TBeamProcessType::qzaDelayAndIIR);
    const auto& f = project->DSPSpaceForMicGraphs()->FreqDraw;
    const double rate = beam.DSPSpace()->iSampleRate();
    for (float angle : {15.0f, 30.0f, 45.0f}) {
        beam.SetAngle(angle);
        const std::vector<int32_t> D = SteeringDelays(angle, 16, 0.1f, medium.SpeedOfSound(), 1.0 / rate);
        const TPoint3D centre = delays->CabinetList()[0]->SourcePoints()[7]->AbsolutePosition();
        const double a = angle * kPiD / 180;
        const TPoint3D at(static_cast<float>(centre.X + 12 * std::cos(a)),
                          static_cast<float>(centre.Y - 12 * std::sin(a)), centre.Z);
        TPointResponse response(*project);
        std::vector<double> mag, phase;
        ASSERT_TRUE(response.Compute(at, 0.0, mag, phase));
        double worst = 0.0;
        for (size_t k = 0; k < f.size(); ++k) {
            if (f[k] < 500 || f[k] > 16000) {
                continue;
            }
            std::complex<double> sum{0.0, 0.0};
            for (size_t i = 0; i < beam.pSourcePoints().size(); ++i) {
                const TPoint3D s = beam.pSourcePoints()[i]->AbsolutePosition();
                const double d = std::hypot(double(at.X - s.X), double(at.Y - s.Y), double(at.Z - s.Z));
                const double kw = medium.GetFreqConstants(f[k]).RadiansPerMeter;
                sum += std::polar(1.0 / std::max(d, 1.0), -2 * kPiD * f[k] * D[i] / rate - (d - 1) * kw);
            }
            worst = std::max(worst, std::abs(mag[k] - 20 * std::log10(std::abs(sum))));
        }
        EXPECT_LT(worst, 0.05) << "steered " << angle;
    }
}

// Switching a beam off switches its sources off, which the map and measurement-point workers read: the
// workers are held meanwhile, and the cabinets are asked for their maps again while they are held.
TEST_F(ColumnFixture, SwitchingABeamHoldsTheWorkers) {
    TSingleBeam& beam = *column->AddSingleBeam();
    project->SetEventsEnabled(true);
    project->AddMappingZone("Floor", TPoint3D(2, 0, -2), TPoint3D(), 10, 4, 0.1, false,
                            TSurfaceType::qzaRectangle, true);
    project->SetAllCabsCalculated();
    std::vector<bool> paused;
    {
        const TScopedDebugLogSink sink([&](const std::string& line) {
            if (line.find("Cabinet.ExecuteMapThread") != std::string::npos) {
                paused.push_back(project->WorkersPaused());
            }
        });
        beam.SetActive(false);
    }
    ASSERT_EQ(paused.size(), column->CabinetList().size());
    EXPECT_TRUE(std::all_of(paused.begin(), paused.end(), [](bool p) { return p; }));
    for (TSourcePoint* s : beam.pSourcePoints()) {
        EXPECT_FALSE(s->Active());
    }
    project->SetEventsEnabled(false);
}

} // namespace
} // namespace vendrel
