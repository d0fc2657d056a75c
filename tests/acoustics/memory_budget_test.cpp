#include "acoustics/memory_budget.h"

#include "platform/core/numeric.h"
#include "platform/core/system_helpers.h"

#include <gtest/gtest.h>

using namespace vendrel;

namespace {

// Records the memory messages for one test and restores the silent default afterwards.
struct MessageRecorder {
    RecordingMessageBox box;
    TScopedMessageBoxService installed{&box};
    size_t count(TMsgDlgType type) const {
        size_t n = 0;
        for (const auto& e : box.shown) {
            n += e.type == type ? 1 : 0;
        }
        return n;
    }
};

} // namespace

TEST(MemoryBudget, ResolutionLadder) {
    const std::pair<double, double> steps[] = {{0.05, 0.1}, {0.1, 0.2}, {0.2, 0.5}, {0.5, 1.0},
                                               {1.0, 2.0},  {2.0, 4.0}, {0.3, 0.6}, {0.08, 0.16}};
    for (const auto& [from, to] : steps) {
        EXPECT_EQ(CoarserPixelSize(from), to) << from;
    }
    EXPECT_EQ(RenderQualityIndexOf(0.1), 3);
    EXPECT_EQ(RenderQualityIndexOf(2.0), -1);
    EXPECT_EQ(RenderQualityPixelSize(0), 1.0);
}

TEST(MemoryBudget, EstimatesCountPixelsFrequenciesAndCabinets) {
    // A 20 m x 10 m zone at 0.1 m, 5 averaged frequencies, 4 cabinets: 200 * 5 * 100 * 8 * 4 bytes.
    const std::vector<TZoneMemoryExtent> zone{{20, 10, false, false, 4}};
    EXPECT_EQ(CabinetMapsBytes(zone, 0.1, 5, 4), 3200000);
    EXPECT_NEAR(BytesToMB(CabinetMapsBytes(zone, 0.1, 5, 4)), 3.05, 0.005);
    EXPECT_EQ(SumMapsBytes(zone, 0.1), 200 * 100 * 8 + 200 * 100 * 4 * 2);

    // A picture adds nothing; a zone without level map counts one pixel per frequency and cabinet.
    const std::vector<TZoneMemoryExtent> others{{30, 30, true, false, 4}, {30, 30, false, true, 4}};
    EXPECT_EQ(CabinetMapsBytes(others, 0.1, 5, 4), 1 * 5 * 1 * 8 * 4);
    EXPECT_EQ(SumMapsBytes(others, 0.1), 8 + 4 * 2);

    // Pixel counts round halves to even: 10.25 m at 0.5 m is 20.5 pixels -> 20.
    int64_t w = 0, d = 0;
    ZonePixels({10.25, 10.75, false, false, 4}, 0.5, w, d);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(d, 22);

    EXPECT_EQ(IncrementAllMapsBytes(100, 7, 3), 100 * 7 * 8 * 3 + 16 * 100);
}

TEST(MemoryBudget, LargeZonesDoNotWrapTheEstimate) {
    // 400 m x 400 m at 0.05 m with the full band: 8000 * 14 * 8000 * 8 bytes per cabinet, far beyond
    // 32 bits; the estimate must grow with the cabinets, never wrap to a small or negative figure.
    const std::vector<TZoneMemoryExtent> zone{{400, 400, false, false, 4}};
    const int64_t one = CabinetMapsBytes(zone, 0.05, 14, 1);
    EXPECT_EQ(one, int64_t{8000} * 14 * 8000 * 8);
    EXPECT_EQ(CabinetMapsBytes(zone, 0.05, 14, 24), one * 24);
    EXPECT_THROW(CabinetMapsBytes(zone, 0.05, 14, int64_t{1} << 40), ERangeError);
}

TEST(MemoryBudget, CoarseningStopsWhereTheNeedFitsOrAtTheMinimum) {
    struct Case {
        double requested;
        double budget;   // MB
        double expected; // size reached
        size_t minimumMessages;
    };
    // The need: 100 MB at 1 cm, falling with the square of the size.
    const auto needAt = [](double s) { return 100.0 * (0.01 / s) * (0.01 / s) * 1e4; };
    const Case cases[] = {
        {0.05, 20000, 0.1, 0}, // 40000 MB at 0.05 does not fit, 10000 at 0.1 does
        {0.05, 5000, 0.2, 0},  // 2500 MB at 0.2
        {0.05, 101, 1.0, 0},   // 100 MB at 1.0 m: fits only below the budget
        {0.05, 100, 2.0, 1},   // a need equal to the budget does not fit
        {0.05, 5, 2.0, 1},     // nothing fits: 2 m and the minimum-resolution message
        {1.0, 1, 2.0, 1},      // from the coarsest table size
        {2.0, 1, 2.0, 1},      // a requested size beyond 1 m: message, no further step
    };
    for (const auto& c : cases) {
        MessageRecorder rec;
        const double s =
            CoarsenResolution(c.requested, needAt(c.requested), needAt, [&] { return c.budget; });
        EXPECT_EQ(s, c.expected) << c.requested << " with " << c.budget << " MB";
        EXPECT_EQ(rec.count(TMsgDlgType::mtWarning), c.minimumMessages);
        EXPECT_EQ(rec.box.shown.size(), c.minimumMessages) << "the low-memory box is the caller's";
    }
}

TEST(MemoryBudget, MessageTexts) {
    MessageRecorder rec;
    ShowLowMemoryMessage();
    ShowMinimumResolutionMessage();
    ASSERT_EQ(rec.box.shown.size(), 2u);
    EXPECT_EQ(rec.box.shown[0].text, "Not enough memory available. Render resolution will be decreased.");
    EXPECT_EQ(rec.box.shown[0].type, TMsgDlgType::mtInformation);
    EXPECT_EQ(rec.box.shown[1].text,
              "You are already at the minimum resolution. Insufficient memory to continue. Please close "
              "other applications or upgrade your system memory.");
    EXPECT_EQ(rec.box.shown[1].type, TMsgDlgType::mtWarning);
    EXPECT_EQ(rec.box.shown[1].buttons, TMsgDlgButtons{TMsgDlgBtn::mbOK});
}

TEST(MemoryBudget, InjectedFiguresSource) {
    double i = 0, a = 0, u = 0;
    {
        const TScopedMemoryFiguresSource figures([](double& i, double& a, double& u) {
            i = 1000;
            a = 250;
            u = 750;
            return true;
        });
        ReadMemoryFiguresMB(i, a, u);
        EXPECT_EQ(a, 250);
        {
            const TScopedMemoryFiguresSource failing([](double&, double&, double&) { return false; });
            a = 7;
            ReadMemoryFiguresMB(i, a, u);
            EXPECT_EQ(a, 7) << "a failing source leaves the figures unchanged";
        }
        ReadMemoryFiguresMB(i, a, u);
        EXPECT_EQ(a, 250) << "the guard put the outer source back";
    }
    ReadMemoryFiguresMB(i, a, u);
    EXPECT_GT(i, 0);
}

// The budget and the system helpers read one figure of available memory: the kernel's, which counts
// the page cache it can drop (free plus buffers alone would coarsen the maps on a machine whose
// memory is mostly cache).
TEST(MemoryBudget, SystemFiguresAreTheProgramsOneReading) {
    double i = 0, budget = 0, u = 0;
    ReadMemoryFiguresMB(i, budget, u);
    double installed = 0, available = 0, used = 0;
    ASSERT_TRUE(GetPhysicalMemoryMB(installed, available, used));
    EXPECT_EQ(i, installed);
    // Both read a live figure a moment apart.
    EXPECT_NEAR(budget, available, 64.0);
}
