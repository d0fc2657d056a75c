#include "platform/core/cursor_service.h"

#include <gtest/gtest.h>

#include <vector>

namespace vendrel {
namespace {

class RecordingCursorService : public ICursorService {
public:
    void SetCursor(TCursor c) override { set.push_back(c); }
    TCursor GetCursor() const override { return set.empty() ? crDefault : set.back(); }
    std::vector<TCursor> set;
};

class Cursors : public ::testing::Test {
protected:
    void TearDown() override { RegisterCursorService(nullptr); }
};

TEST_F(Cursors, ClassFunctionsSetTheirCursorOnce) {
    auto platform = std::make_shared<RecordingCursorService>();
    RegisterCursorService(platform);
    {
        const ISmartCursorRef busy = TSmartCursor::HourGlass();
        EXPECT_EQ(platform->set, std::vector<TCursor>{-11});
    }
    EXPECT_EQ(platform->set, std::vector<TCursor>{-11}); // releasing changes nothing
    TSmartCursor::Move();
    TSmartCursor::MultiDrag();
    TSmartCursor::Forbidden();
    TSmartCursor::Cross();
    TSmartCursor::Default();
    EXPECT_EQ(platform->set, (std::vector<TCursor>{-11, -22, -16, -18, -3, 0}));
}

TEST_F(Cursors, WithoutAServiceNothingChanges) {
    RegisterCursorService(nullptr);
    const ISmartCursorRef c = TSmartCursor::HourGlass();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(static_cast<TSmartCursor*>(c.get())->CursorService, nullptr);
}

TEST_F(Cursors, ProgramServiceShowsOwnCursorsAndPassesOthersOn) {
    auto platform = std::make_shared<RecordingCursorService>();
    RegisterCursorService(platform);
    std::vector<int> own;
    auto mine = InstallProgramCursorService([&](int id) { own.push_back(id); });
    EXPECT_EQ(CursorService(), mine);

    TSmartCursor::HourGlass(); // goes through the program's service
    mine->SetCursor(2);
    EXPECT_EQ(mine->GetCursor(), 2);
    mine->SetCursor(1);
    mine->SetCursor(5);
    mine->SetCursor(0);
    mine->SetCursor(6);
    EXPECT_EQ(mine->GetCursor(), 6);
    EXPECT_EQ(own, (std::vector<int>{32801, 32800, 32804}));
    EXPECT_EQ(platform->set, (std::vector<TCursor>{-11, 0, 6}));
}

TEST(MousePos, ComesFromTheMouseService) {
    struct FixedMouse : IMouseService {
        TPointF GetMousePos() const override { return {120, 45}; }
    };
    EXPECT_EQ(GetMousePos(), (TPointF{0, 0}));
    {
        const TScopedMouseService mouse(std::make_shared<FixedMouse>());
        EXPECT_EQ(GetMousePos(), (TPointF{120, 45}));
    }
    EXPECT_EQ(GetMousePos(), (TPointF{0, 0}));
}

} // namespace
} // namespace vendrel
