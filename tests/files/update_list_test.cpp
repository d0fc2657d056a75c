// The update list of the update service and the version comparisons of the update check.

#include "files/update_list.h"

#include <gtest/gtest.h>

namespace vendrel {
namespace {

const TProgramVersion kRunning{3, 1, 0};

TEST(UpdateList, VersionComparisonTakesTheFirstDifferingPartAsANumber) {
    struct Case {
        const char* a;
        const char* b;
        int32_t parts;
        int32_t expected;
    };
    for (const Case& c :
         {Case{"3.2.0", "3.1.9", 3, 1}, Case{"3.1", "3.1.0", 3, 0}, Case{"3.1.0", "3.1.0", 3, 0},
          Case{"2.9.9", "3.0.0", 3, -1}, Case{"3.10.0", "3.9.0", 3, 1}, Case{"3.2.0", "3.1.0", 1, 0},
          Case{"4.0.0", "3.9.9", 1, 1}, Case{"3.1.0.7", "3.1.0.2", 3, 0}, Case{"3.1.2", "3.1", 3, 0}}) {
        EXPECT_EQ(CompareVersionStrings(c.a, c.b, c.parts), c.expected) << c.a << " vs " << c.b;
    }
    EXPECT_THROW(CompareVersionStrings("x.1.0", "3.1.0", 3), EVersionTextError);
    EXPECT_THROW(CompareVersionStrings("3.1.0", "3..0", 3), EVersionTextError);
    // Parts beyond those compared are not read.
    EXPECT_EQ(CompareVersionStrings("3.1.x", "3.0.0", 2), 1);
}

TEST(UpdateList, ModelsAreKeptForProgramsAtLeastTheirVersion) {
    struct Case {
        const char* version;
        bool compatible;
    };
    for (const Case& c : {Case{"9.0.0", false}, Case{"3.1.0", true}, Case{"3.1.1", false},
                          Case{"3.0.9", true}, Case{"2.99.99", true}, Case{"4.0.0", false},
                          // anything but three numbers counts as 0.0.0
                          Case{"9.0", true}, Case{"a.b.c", true}, Case{"", true}, Case{"9.0.0.0", true}}) {
        EXPECT_EQ(IsLibFileCompatible(c.version, kRunning), c.compatible) << c.version;
    }
}

TEST(UpdateList, AWellFormedListNamesTheProgramAndTheUsableModels) {
    const std::string text = "3.2.0\r\n"
                             "VendrelSetup.exe\r\n"
                             "; cabinets\r\n"
                             "\r\n"
                             "Model A\r\n"
                             "2\r\n"
                             "cabinets/Model A.cabinet\r\n"
                             "3.0.0\r\n"
                             "Future\r\n"
                             "1\r\n"
                             "future.cabinet\r\n"
                             "9.0.0\r\n"
                             ";\r\n"
                             "Model A\r\n"
                             "7\r\n"
                             "again.cabinet\r\n"
                             "3.1.0\r\n"
                             "Frame\r\n"
                             "0\r\n"
                             "Frame.rigging\r\n"
                             "3.1.0\r\n";
    const auto list = ParseUpdateList(text, "https://updates.example/", kRunning);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->NewestVersion, "3.2.0");
    EXPECT_EQ(list->Installer, "VendrelSetup.exe");
    EXPECT_TRUE(list->OffersNewerProgram(kRunning));
    EXPECT_FALSE(list->OffersNewerProgram({3, 2, 0}));
    const auto& files = list->InternetLibFiles();
    ASSERT_EQ(files.size(), 3u); // the model for 9.0.0 is left out
    EXPECT_EQ(files[0].ModelName, "Model A");
    EXPECT_EQ(files[0].ModelUpdateVersion, 2);
    EXPECT_EQ(files[0].UpdateLink, "https://updates.example/cabinets/Model A.cabinet");
    EXPECT_EQ(files[0].CompatibleSinceVendrelVer, "3.0.0");
    EXPECT_FALSE(files[0].IsNewVersion);
    EXPECT_FALSE(files[0].IsNewModel);
    EXPECT_EQ(files[2].ModelName, "Frame");
    EXPECT_EQ(files[2].ModelUpdateVersion, 0);
    // The first entry of a name is the one that counts.
    auto copy = *list;
    ASSERT_NE(copy.FirstNamed("Model A"), nullptr);
    EXPECT_EQ(copy.FirstNamed("Model A")->ModelUpdateVersion, 2);
    EXPECT_EQ(copy.FirstNamed("model a"), nullptr);
    EXPECT_EQ(copy.FirstNamed("Future"), nullptr);

    // Two lines and nothing more: a list without models.
    const auto bare = ParseUpdateList("3.1\nSetup.exe\n", "", kRunning);
    ASSERT_TRUE(bare.has_value());
    EXPECT_TRUE(bare->InternetLibFiles().empty());
    EXPECT_FALSE(bare->OffersNewerProgram(kRunning)); // 3.1 against 3.1.0 on two parts
}

TEST(UpdateList, AMalformedListIsNotRead) {
    const char* const group = "Model A\n2\nA.cabinet\n3.0.0\n";
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"error page", "<HTML>\n<body>Not found</body>\n"},
        {"version not numbers", std::string("x.1.0\nSetup.exe\n") + group},
        {"empty version part", std::string("3..1\nSetup.exe\n") + group},
        {"model version 300", "3.1.0\nSetup.exe\nModel A\n300\nA.cabinet\n3.0.0\n"},
        {"negative model version", "3.1.0\nSetup.exe\nModel A\n-1\nA.cabinet\n3.0.0\n"},
        {"model version not a number", "3.1.0\nSetup.exe\nModel A\n2a\nA.cabinet\n3.0.0\n"},
        {"group cut short", std::string("3.1.0\nSetup.exe\n") + group + "Model B\n1\nB.cabinet\n"},
        {"one line", "3.1.0\n"},
        {"nothing", ""},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(ParseUpdateList(c.text, "https://updates.example/", kRunning).has_value()) << c.name;
    }
}

TEST(UpdateList, TheFileNameOfALinkFollowsItsLastSlash) {
    EXPECT_EQ(ExtractFileNameURL("https://u.example/models/A.cabinet"), "A.cabinet");
    EXPECT_EQ(ExtractFileNameURL("https://u.example/models/"), "");
    EXPECT_EQ(ExtractFileNameURL("https://u.example/.."), "..");
    EXPECT_EQ(ExtractFileNameURL("A.cabinet"), "");
}

} // namespace
} // namespace vendrel
