#include "platform/core/worker_thread.h"

#include "platform/core/dispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

using namespace vendrel;
using namespace std::chrono_literals;

namespace {

// Spins (with short sleeps) until pred holds or about 10 s pass.
template <typename Pred> bool eventually(Pred pred) {
    for (int i = 0; i < 10000; ++i) {
        if (pred()) {
            return true;
        }
        std::this_thread::sleep_for(1ms);
    }
    return pred();
}

} // namespace

TEST(WorkerThread, EachStartRunsTheHandlerOnceAndReportsStopped) {
    TWorkerThread t("Once");
    std::atomic<int> runs{0}, stops{0};
    t.OnRun = [&](TWorkerThread&) { ++runs; };
    t.OnStopped = [&](TWorkerThread&) { ++stops; };
    EXPECT_TRUE(t.Stopped());
    for (int i = 1; i <= 3; ++i) {
        t.Start();
        t.WaitForStopped();
        EXPECT_EQ(runs, i);
        EXPECT_EQ(stops, i);
    }
    EXPECT_EQ(t.PassCount(), 3u);
}

TEST(WorkerThread, TerminateModeRunsOnAFreshThreadEachStartAndSuspendModeReusesIt) {
    // A thread-local counter starts at 0 on every new thread.
    struct Case {
        TThreadStopMode mode;
        int secondPassSees;
    };
    for (const Case c : {Case{TThreadStopMode::smTerminate, 1}, Case{TThreadStopMode::smSuspend, 2}}) {
        TWorkerThread t("Mode");
        t.StopMode = c.mode;
        std::atomic<int> seen{0};
        t.OnRun = [&](TWorkerThread&) {
            thread_local int passesOnThisThread = 0;
            seen = ++passesOnThisThread;
        };
        t.Start();
        t.WaitForStopped();
        t.Start();
        t.WaitForStopped();
        EXPECT_EQ(seen, c.secondPassSees);
    }
}

TEST(WorkerThread, AStartDuringAPassGivesExactlyOneMorePass) {
    TWorkerThread t("Restart");
    std::atomic<bool> release{false};
    std::atomic<int> runs{0};
    t.OnRun = [&](TWorkerThread&) {
        ++runs;
        while (runs == 1 && !release) {
            std::this_thread::sleep_for(1ms);
        }
    };
    t.Start();
    ASSERT_TRUE(eventually([&] { return runs == 1; }));
    t.Start();
    t.Start();
    release = true;
    t.WaitForStopped();
    EXPECT_EQ(runs, 2);
}

TEST(WorkerThread, StopFromTheHandlerKeepsAStartAskedMeanwhile) {
    TWorkerThread t("SelfStop");
    std::atomic<bool> startedAgain{false};
    std::atomic<int> runs{0};
    t.OnRun = [&](TWorkerThread& self) {
        if (++runs == 1) {
            std::thread other([&] {
                t.Start();
                startedAgain = true;
            });
            other.join();
        }
        self.Stop();
    };
    t.Start();
    ASSERT_TRUE(eventually([&] { return runs == 2 && t.Stopped(); }));
    EXPECT_TRUE(startedAgain);
}

TEST(WorkerThread, StopBeforeTheThreadPicksUpTheStartLeavesItStopped) {
    TWorkerThread t("Dropped");
    std::atomic<int> runs{0};
    t.OnRun = [&](TWorkerThread&) { ++runs; };
    for (int i = 0; i < 200; ++i) {
        t.Start();
        t.Stop();
        t.WaitForStopped(); // must never hang, whether the pass ran or not
    }
    EXPECT_LE(runs, 200);
}

TEST(WorkerThread, LoopingRunsUntilStopped) {
    TWorkerThread t("Loop");
    t.Loop = true;
    std::atomic<int> runs{0};
    t.OnRun = [&](TWorkerThread&) {
        ++runs;
        std::this_thread::sleep_for(100us);
    };
    t.Start();
    ASSERT_TRUE(eventually([&] { return runs >= 5; }));
    t.StopAndWait();
    const int after = runs;
    std::this_thread::sleep_for(5ms);
    EXPECT_EQ(runs, after);
}

TEST(WorkerThread, CancelMakesTheRunningPassLeaveAndSuspendHoldsIt) {
    TWorkerThread t("Cancel");
    std::atomic<int> checkpoints{0};
    std::atomic<bool> leftEarly{false};
    t.OnRun = [&](TWorkerThread& self) {
        while (self.CheckPoint()) {
            ++checkpoints;
            std::this_thread::sleep_for(100us);
        }
        leftEarly = true;
    };
    t.Start();
    ASSERT_TRUE(eventually([&] { return checkpoints > 3; }));
    t.Suspend();
    std::this_thread::sleep_for(5ms);
    const int held = checkpoints;
    std::this_thread::sleep_for(10ms);
    EXPECT_LE(checkpoints - held, 1) << "a suspended pass keeps running";
    t.Resume();
    ASSERT_TRUE(eventually([&] { return checkpoints > held + 3; }));
    t.CancelAndWait();
    EXPECT_TRUE(leftEarly);
    EXPECT_TRUE(t.Stopped());

    // A cancelled thread runs normally again on the next start.
    leftEarly = false;
    checkpoints = 0;
    t.Start();
    ASSERT_TRUE(eventually([&] { return checkpoints > 3; }));
    t.CancelAndWait();
    EXPECT_TRUE(leftEarly);
}

TEST(WorkerThread, AnExceptionInTheHandlerIsReportedAndTheThreadStaysUsable) {
    TWorkerThread t("Throws");
    std::atomic<int> runs{0};
    std::string reported;
    t.OnRun = [&](TWorkerThread&) {
        if (++runs == 1) {
            throw std::runtime_error("broken map");
        }
    };
    t.OnException = [&](TWorkerThread&, const std::string& m) { reported = m; };
    t.Start();
    t.WaitForStopped();
    EXPECT_EQ(reported, "broken map");
    EXPECT_EQ(t.LastError(), "broken map");
    t.Start();
    t.WaitForStopped();
    EXPECT_EQ(runs, 2);
}

TEST(WorkerThread, ResultsQueuedToTheDispatcherRunWhileTheUiThreadWaits) {
    ManualDispatcher ui;
    TWorkerThread t("Queue");
    std::vector<int> received; // touched on the UI thread only
    t.OnRun = [&](TWorkerThread&) {
        for (int i = 0; i < 5; ++i) {
            ui.Queue([&received, i] { received.push_back(i); });
        }
    };
    t.Start();
    t.WaitForStopped(&ui);
    EXPECT_EQ(received, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(WorkerThread, WaitingFromTheHandlerItselfDoesNotDeadlock) {
    TWorkerThread t("SelfWait");
    std::atomic<bool> done{false};
    t.OnRun = [&](TWorkerThread& self) {
        self.StopAndWait();
        done = true;
    };
    t.Start();
    t.WaitForStopped();
    EXPECT_TRUE(done);
}

TEST(WorkerThread, DestroyingARunningThreadCancelsAndJoinsIt) {
    std::atomic<bool> left{false}, started{false};
    {
        TWorkerThread t("Destroyed");
        t.OnRun = [&](TWorkerThread& self) {
            started = true;
            while (self.CheckPoint()) {
                std::this_thread::sleep_for(100us);
            }
            left = true;
        };
        t.Start();
        ASSERT_TRUE(eventually([&] { return started.load(); }));
    }
    EXPECT_TRUE(left);
}
