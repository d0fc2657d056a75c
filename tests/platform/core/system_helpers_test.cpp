#include "platform/core/system_helpers.h"

#include "platform/core/dispatcher.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace vendrel {
namespace {

namespace fs = std::filesystem;

class RunProcess : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vendrel_run_" + std::to_string(getpid()));
        fs::create_directories(dir_ / "sub dir");
        script_ = dir_ / "sub dir" / "probe.sh";
        std::ofstream(script_)
            << "#!/bin/sh\npwd > out.txt\nfor a in \"$@\"; do echo \"[$a]\" >> out.txt; done\n";
        fs::permissions(script_, fs::perms::owner_all);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Read(const fs::path& p) {
        std::ifstream in(p);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path dir_, script_;
};

TEST_F(RunProcess, RunsInTheProgramsFolderWithSplitParameters) {
    int err = -1;
    ManualDispatcher ui;
    bool pumped = false;
    ui.Queue([&] { pumped = true; });
    ASSERT_TRUE(
        RunProcessAndWait(script_.string(), "one \"two words\" three", "", true, false, false, err, &ui));
    EXPECT_TRUE(pumped);
    EXPECT_EQ(Read(script_.parent_path() / "out.txt"),
              fs::canonical(script_.parent_path()).string() + "\n[one]\n[two words]\n[three]\n");
}

TEST_F(RunProcess, RelativeProgramPathWithAnotherFolder) {
    const fs::path old = fs::current_path();
    fs::current_path(dir_);
    int err = -1;
    const bool ok = RunProcessAndWait("sub dir/probe.sh", "", dir_.string(), true, false, false, err);
    fs::current_path(old);
    ASSERT_TRUE(ok);
    EXPECT_EQ(Read(dir_ / "out.txt"), fs::canonical(dir_).string() + "\n");
}

TEST_F(RunProcess, ReportsAProgramThatCannotStart) {
    int err = 0;
    EXPECT_FALSE(RunProcessAndWait((dir_ / "missing").string(), "", "", true, false, false, err));
    EXPECT_EQ(err, ENOENT);
}

TEST(FileVersion, UnknownUntilRegistered) {
    EXPECT_EQ(GetFileVersionText(), "?");
    SetProgramFileVersion(2, 10, 0, 345);
    EXPECT_EQ(GetFileVersionText(), "2.10.0.345");
}

TEST(MemoryFigures, AreConsistent) {
    double installed = -1, available = -1, used = -1;
    GetPhysicalMemoryMB(installed, available, used);
    EXPECT_GT(installed, 0);
    EXPECT_GT(available, 0);
    EXPECT_LE(available, installed);
    EXPECT_DOUBLE_EQ(used, installed - available);

    const int64_t mine = GetProcessWorkingSet(static_cast<uint32_t>(getpid()));
    EXPECT_GT(mine, 0);
    EXPECT_EQ(mine % 1024, 0);
    EXPECT_EQ(GetProcessWorkingSet(0x7ffffff0u), 0);
    TrimWorkingSet();
}

} // namespace
} // namespace vendrel
