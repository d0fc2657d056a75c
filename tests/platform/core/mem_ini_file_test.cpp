#include "platform/core/mem_ini_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vendrel {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(MemIniFile, ReadsTypedValuesWithDefaultsForWhatDoesNotRead) {
    TMemIniFile ini;
    ini.SetText("ignored=1\n[Options]\nWidth = 1000\nColor=-15329255\nHex=$FF161819\nOn=1\nOff=0\n"
                "Word=true\nOpacity=0.25\nBad=12x\n; comment\n[options]\nwidth=1200\n");
    EXPECT_EQ(ini.Sections().size(), 1u); // names compare without letter case
    EXPECT_EQ(ini.ReadInteger("OPTIONS", "width", 0), 1200);
    EXPECT_EQ(static_cast<uint32_t>(ini.ReadInteger("Options", "Color", 0)), 0xFF161819u);
    EXPECT_EQ(static_cast<uint32_t>(ini.ReadInteger("Options", "Hex", 0)), 0xFF161819u);
    EXPECT_TRUE(ini.ReadBool("Options", "On", false));
    EXPECT_FALSE(ini.ReadBool("Options", "Off", true));
    EXPECT_TRUE(ini.ReadBool("Options", "Word", true));   // not an integer: the default
    EXPECT_FALSE(ini.ReadBool("Options", "Word", false)); // ...either way
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Options", "Opacity", 0), 0.25);
    EXPECT_EQ(ini.ReadInteger("Options", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Options", "Missing", 7), 7);
    EXPECT_FALSE(ini.ValueExists("Options", "ignored"));
}

TEST(MemIniFile, IntegersOutsideThirtyTwoBitsGiveTheDefault) {
    int32_t v = 0;
    EXPECT_TRUE(TMemIniFile::TryParseInteger("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_FALSE(TMemIniFile::TryParseInteger("2147483648", v));
    EXPECT_FALSE(TMemIniFile::TryParseInteger("", v));
    EXPECT_FALSE(TMemIniFile::TryParseInteger("-", v));
}

TEST(MemIniFile, WritesInTheCLocaleKeepsOrderAndSavesOnlyWhenAsked) {
    const fs::path dir = fs::temp_directory_path() / ("vendrel_ini_test_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = dir / "Pref.ini";
    {
        TMemIniFile ini(file.string());
        ini.AutoSave = true;
        ini.WriteInteger("MainForm", "Width", 1000);
        ini.WriteBool("Panels", "ViewTools", true);
        ini.WriteFloat("Options", "OpacityGrid", 0.2);
        ini.WriteInteger("Options", "BackSceneColor", static_cast<int32_t>(0xFF161819u));
        ini.WriteString("MainForm", "LastPath", "/home/u/Vendrel Projects");
    }
    EXPECT_EQ(readFile(file), "[MainForm]\nWidth=1000\nLastPath=/home/u/Vendrel Projects\n\n[Panels]\n"
                              "ViewTools=1\n\n[Options]\nOpacityGrid=0.2\nBackSceneColor=-15329255\n\n");
    TMemIniFile again(file.string());
    EXPECT_EQ(again.ReadString("MainForm", "LastPath", ""), "/home/u/Vendrel Projects");
    again.WriteInteger("MainForm", "Width", 1);
    // Without AutoSave the file keeps its content.
    EXPECT_EQ(TMemIniFile(file.string()).ReadInteger("MainForm", "Width", 0), 1000);
    // A saved file keeps the permissions it was given, and nothing is left beside it.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(again.UpdateFile());
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(TMemIniFile(file.string()).ReadInteger("MainForm", "Width", 0), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

TEST(MemIniFile, AFailedWriteReportsFalseAndKeepsNothingHalfWritten) {
    TMemIniFile ini("/nonexistent-folder/Pref.ini");
    ini.WriteInteger("A", "B", 1);
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_TRUE(ini.Modified());
}

} // namespace
} // namespace vendrel
