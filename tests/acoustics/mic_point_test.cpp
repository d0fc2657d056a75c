// A measurement point and its worker: what starts a computation, how a result reaches the point, the bounded
// retries, and that results of stale requests and of removed points are dropped. The threaded tests
// (MicPointThreads.*) also run under ThreadSanitizer.

#include "acoustics/mic_point.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/overlay.h"
#include "acoustics/point_response.h"
#include "acoustics/response_grids.h"
#include "column_fixture.h"
#include "platform/core/debug_log.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

using testing::OmniModel;
using testing::QuietProject;

// A project of a few loose cabinets with its events on (continuous rendering off, no zones: only the points'
// workers run) and a point 8 m in front of them.
struct MicScene : QuietProject {
    std::unique_ptr<TCabModel> model = OmniModel(medium, *project, 2, 0.3);
    TMicPoint* mic = nullptr;
    int received = 0;

    explicit MicScene(int cabinets = 3) {
        for (int i = 0; i < cabinets; ++i) {
            addCabinet(TPoint3D(0, static_cast<float>(-1.0 * i), static_cast<float>(0.5 * i)));
        }
        project->SetEventsEnabled(true);
        mic = project->AddMeasurePoint(TPoint3D(8, -1, 0.5f), 0xFFFF0000, false, 0.0f);
        mic->SetOnReceiveMic([this](TMicPoint&) { ++received; });
    }
    ~MicScene() { project.reset(); } // every worker stops before the model goes

    TCabinet& addCabinet(const TPoint3D& at) {
        return *project->AddCabinet(model.get(), at, TPoint3D(), false, TCabPlacement::qzaVertical, 0, true);
    }

    // Waits for the point's worker to finish without running queued calls.
    bool waitIdle(double seconds = 20) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (mic->MicThreadActive()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    std::vector<double> expected(const TPoint3D& at) {
        std::vector<double> mag, phase;
        TPointResponse(*project).Compute(at, mic->MicDelay_ms(), mag, phase);
        return mag;
    }
};

// The response grids are the project's measurement-point grid at each spacing, told apart by their
// point counts; an overlay keeps the grid its curves were set on.
TEST(ResponseGrids, APointCountNamesOneGridAndAnOverlayKeepsIt) {
    QuietProject q;
    const TDSPSpace& project = *q.project->DSPSpaceForMicGraphs();
    EXPECT_EQ(ResponseGrid(project.BandPerOctave()).FreqDraw, project.FreqDraw);
    for (TFreqBands spacing : kResponseGridSpacings) {
        EXPECT_EQ(ResponseGridWithPoints(ResponseGrid(spacing).NRealFreqPoints()), spacing);
    }
    // Whichever resolution the project takes, in whichever order, its grid is one of them.
    for (int32_t index : {2, 1, 0, 1, 2, 0}) {
        q.project->SetMagResolution(index);
        EXPECT_EQ(ResponseGrid(project.BandPerOctave()).FreqDraw, project.FreqDraw) << index;
    }
    EXPECT_FALSE(ResponseGridWithPoints(1001));
    EXPECT_FALSE(ResponseGridWithPoints(0));

    TOverlay* overlay = q.project->AddOverlay(0xFFFFFFFF, false);
    EXPECT_EQ(overlay->GridSpacing(), project.BandPerOctave());
    const auto n = static_cast<size_t>(ResponseGrid(TFreqBands::fbOneTwentyFourOctave).NRealFreqPoints());
    EXPECT_THROW(overlay->SetCurvesOnGrid(TFreqBands::fbOneTwentyFourOctave, std::vector<double>(n + 1),
                                          std::vector<double>(n + 1)),
                 ERangeError);
    EXPECT_EQ(overlay->GridSpacing(), project.BandPerOctave());
    overlay->SetCurvesOnGrid(TFreqBands::fbOneTwentyFourOctave, std::vector<double>(n, 1.0),
                             std::vector<double>(n, 2.0));
    EXPECT_EQ(overlay->Grid().NRealFreqPoints(), static_cast<int32_t>(n));
    EXPECT_EQ(overlay->Mag().size(), n);
}

TEST(MicPointThreads, AResultReachesThePointThroughItsEvent) {
    MicScene s;
    EXPECT_EQ(s.mic->Name(), "Mic0");
    EXPECT_EQ(s.mic->MicState(), TCalcState::qzaNeedsCalculate);
    s.mic->ExecuteMicThread();
    ASSERT_TRUE(s.waitIdle());
    EXPECT_EQ(s.received, 0); // only through the user-interface thread
    s.ui.Pump();
    EXPECT_EQ(s.received, 1);
    EXPECT_EQ(s.mic->MicState(), TCalcState::qzaCalculated);
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs(), s.expected(s.mic->Position()));
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs().size(), static_cast<size_t>(s.project->NFreqPointsMicGraph()));
    // A current response is not computed again unless the project forces it.
    const uint64_t passes = s.mic->MicThreadPasses();
    s.mic->ExecuteMicThread();
    EXPECT_FALSE(s.mic->MicThreadActive());
    EXPECT_EQ(s.mic->MicThreadPasses(), passes);
}

TEST(MicPointThreads, AResultOfAStaleRequestIsDropped) {
    MicScene s;
    s.mic->ExecuteMicThread();
    ASSERT_TRUE(s.waitIdle());
    // The first result waits in the queue while the point moves: the move asks again.
    const TPoint3D moved(6, -2, -1);
    s.mic->SetPosition(moved);
    ASSERT_TRUE(s.waitIdle());
    s.ui.Pump();
    EXPECT_EQ(s.received, 1);
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs(), s.expected(moved));
    // So does a new delay.
    s.mic->SetMicDelay_ms(1.5f);
    ASSERT_TRUE(s.waitIdle());
    s.mic->SetMicDelay_ms(1.5f); // the same value asks nothing
    EXPECT_FALSE(s.mic->MicThreadActive());
    s.ui.Pump();
    EXPECT_EQ(s.received, 2);
}

// A move that lands while the pass for the previous position is still running: that pass may finish
// between the move's state change and its request (here, while the request's log line is written).
// The move's request is made all the same, and the response shown is the one at the new place.
TEST(MicPointThreads, AMoveDuringAPassIsNeverLost) {
    MicScene s(48); // a pass long enough to move the point in
    std::atomic<bool> armed{false};
    TScopedDebugLogSink sink([&](const std::string& line) {
        if (!armed || line.find("ExecuteMeasThread") == std::string::npos) {
            return;
        }
        armed = false;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (s.mic->MicState() != TCalcState::qzaCalculated && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    s.mic->ExecuteMicThread();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (s.mic->MicState() != TCalcState::qzaCalculating && std::chrono::steady_clock::now() < end) {
        std::this_thread::yield();
    }
    const TPoint3D moved(5, 0, -2);
    armed = true;
    s.mic->SetPosition(moved);
    ASSERT_TRUE(s.waitIdle());
    s.ui.Pump();
    EXPECT_EQ(s.mic->MicState(), TCalcState::qzaCalculated);
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs(), s.expected(moved));
}

TEST(MicPointThreads, RetriesAreBoundedWithOneGiveUpLinePerStart) {
    MicScene s;
    std::mutex m;
    std::vector<std::string> lines;
    TScopedDebugLogSink sink([&](const std::string& line) {
        std::lock_guard lock(m);
        lines.push_back(line);
    });
    s.project->SetDontCalcMICS(true); // every computation is refused
    for (int start = 0; start < 2; ++start) {
        s.mic->SetMicState(TCalcState::qzaNeedsCalculate);
        ASSERT_TRUE(s.waitIdle());
    }
    s.ui.Pump();
    EXPECT_EQ(s.received, 0);
    EXPECT_EQ(s.mic->MicState(), TCalcState::qzaCalculating);
    std::lock_guard lock(m);
    int giveUps = 0;
    for (const std::string& line : lines) {
        if (line.find("Se quedo en GetMic") != std::string::npos) {
            ++giveUps;
            EXPECT_EQ(line, "************************** Se quedo en GetMic repeat 21");
        }
    }
    EXPECT_EQ(giveUps, 2);
}

TEST(MicPointThreads, ARemovedPointGetsNothingAndItsWorkerStopsFirst) {
    MicScene s;
    TMicPoint* second = s.project->AddMeasurePoint(TPoint3D(3, 0, 0), 0, true, 0.0f);
    int late = 0;
    second->SetOnReceiveMic([&late](TMicPoint&) { ++late; });
    s.mic->ExecuteMicThread();
    second->ExecuteMicThread();
    // The first result is queued; the second point goes while (or after) it computes.
    ASSERT_TRUE(s.waitIdle());
    s.project->RemoveMic(second);
    EXPECT_EQ(s.project->NMics(), 1);
    s.ui.Pump();
    EXPECT_EQ(late, 0);
    EXPECT_EQ(s.received, 1);
    // The next point takes the next number.
    EXPECT_EQ(s.project->AddMeasurePoint(TPoint3D(), 0, true, 0.0f)->IDnumber(), 1);
}

// Cabinets come and go, and move, while the point computes: each edit holds the point's worker, and the
// response finally shown is the one of the project as it ends.
TEST(MicPointThreads, EditsWhileThePointComputesLeaveTheFinalResponse) {
    MicScene s(12);
    for (int round = 0; round < 6; ++round) {
        s.mic->SetMicState(TCalcState::qzaNeedsCalculate);
        std::this_thread::sleep_for(std::chrono::milliseconds(round));
        if (round % 2 == 0) {
            s.project->RemoveCabinet(s.project->Cabinets().front().get());
        } else {
            s.project->Cabinets().back()->SetPosition(TPoint3D(1, static_cast<float>(-round), 0));
        }
        s.ui.Pump();
    }
    ASSERT_TRUE(s.waitIdle());
    s.ui.Pump();
    EXPECT_EQ(s.mic->MicState(), TCalcState::qzaCalculated);
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs(), s.expected(s.mic->Position()));
}

// A steered column's beams are turned, switched, bent and the column grown while the point computes: the
// workers read the sources' switches and filters, so every such edit holds them, and the response finally
// shown is the one of the column as it ends.
TEST(MicPointThreads, BeamEditsWhileThePointComputesLeaveTheFinalResponse) {
    MicScene s(0);
    auto model = testing::ColumnModel(s.medium, *s.project, 8, 0.1, 63);
    auto owned =
        std::make_unique<TBeamContainer>(&s.medium, s.project.get(), model.get(), TCabPlacement::qzaVertical);
    TBeamContainer& column = *owned;
    s.project->AddBeamSteering(std::move(owned));
    column.SetQuantityV(2);
    for (TCabinet* cab : column.CabinetList()) {
        cab->SetActive(true);
    }
    column.AddSingleBeam();
    column.AddSingleBeam();
    for (int round = 0; round < 12; ++round) {
        s.mic->SetMicState(TCalcState::qzaNeedsCalculate);
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 3));
        TSingleBeam& first = *column.SingleBeams()[0];
        TSingleBeam& second = *column.SingleBeams()[1];
        switch (round % 4) {
        case 0:
            first.SetAngle(round % 8 == 0 ? 12.0f : -7.0f);
            break;
        case 1:
            second.SetActive(!second.Active());
            break;
        case 2:
            first.SetCurvatureAngle(static_cast<float>(round));
            break;
        default:
            column.SetQuantityV(column.QuantityV() == 2 ? 3 : 2);
            break;
        }
        s.ui.Pump();
    }
    ASSERT_TRUE(s.waitIdle());
    s.ui.Pump();
    EXPECT_EQ(s.mic->MicState(), TCalcState::qzaCalculated);
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs(), s.expected(s.mic->Position()));
    s.project.reset(); // before the column's model goes
}

// The response resolution changes while the point computes, and again while a response for the old grid
// waits in the queue: that response is dropped, and the one finally shown is on the new grid.
TEST(MicPointThreads, AResolutionChangeWhileThePointComputesEndsOnTheNewGrid) {
    MicScene s(24);
    s.mic->ExecuteMicThread();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (s.mic->MicState() != TCalcState::qzaCalculating && std::chrono::steady_clock::now() < end) {
        std::this_thread::yield();
    }
    s.project->SetMagResolution(2);
    s.project->ReCalculateAllMics();
    ASSERT_TRUE(s.waitIdle());
    s.ui.Pump();
    EXPECT_EQ(s.mic->MicState(), TCalcState::qzaCalculated);
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs().size(), 121u);
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs(), s.expected(s.mic->Position()));

    const int received = s.received;
    const TPoint3D moved(6, -2, 1);
    s.mic->SetPosition(moved);
    ASSERT_TRUE(s.waitIdle()); // its 121-point response is queued
    s.project->SetMagResolution(0);
    s.ui.Pump();
    EXPECT_EQ(s.received, received);
    EXPECT_EQ(s.mic->MicState(), TCalcState::qzaNeedsCalculate);
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs(), std::vector<double>(443, 0.0));
    EXPECT_EQ(s.mic->PhasePointAllFreqs(), std::vector<double>(443, 0.0));
    s.project->ReCalculateAllMics();
    ASSERT_TRUE(s.waitIdle());
    s.ui.Pump();
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs(), s.expected(moved));
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs().size(), 443u);
}

TEST(MicPoint, RequestsFollowTheProjectsSwitches) {
    MicScene s;
    // Events off: setting the state does nothing at all.
    s.project->SetEventsEnabled(false);
    s.mic->SetMicState(TCalcState::qzaCalculated);
    EXPECT_EQ(s.mic->MicState(), TCalcState::qzaNeedsCalculate);
    EXPECT_FALSE(s.mic->MicThreadActive());
    s.project->SetEventsEnabled(true);
    // Measurement points switched off: moving the point starts nothing and keeps its curves.
    s.project->SetDontCalcMICS(true);
    s.mic->SetPosition(TPoint3D(2, 2, 2));
    EXPECT_FALSE(s.mic->MicThreadActive());
    EXPECT_EQ(s.mic->MicThreadPasses(), 0u);
    EXPECT_TRUE(s.mic->MagnitudePointAllFreqs().empty());
    // The whole project asks again once they are on.
    s.project->SetDontCalcMICS(false);
    s.project->ReCalculateAllMics();
    ASSERT_TRUE(s.waitIdle());
    s.ui.Pump();
    EXPECT_EQ(s.received, 1);
    EXPECT_EQ(s.mic->MagnitudePointAllFreqs(), s.expected(TPoint3D(2, 2, 2)));
}

} // namespace
} // namespace vendrel
