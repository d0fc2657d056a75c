#include "app/app_info.h"
#include "app/units_status.h"
#include "editor/units.h"

#include <gtest/gtest.h>

#include "platform/core/mem_ini_file.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

TEST(AppInfo, MissingKeysTakeTheirDefaultsAndFiltersFollowTheValues) {
    TMemIniFile ini;
    ini.SetText("[AppInfo]\nAPP_CAPTION=Hall Designer\n");
    TApplicationInfo info;
    ReadApplicationInfo(ini, info);
    EXPECT_EQ(info.ProjectFileExt, ".V3DPrj");
    EXPECT_EQ(info.ProjectFilter, "AppName Project File|*.V3DPrj");
    EXPECT_EQ(info.ProjectAllFilter, "AppName Project File|*.V3DPrj|All|*.*");
    EXPECT_EQ(info.Copyright, "");
    EXPECT_EQ(info.DefaultProjectFileName(), "NewProject.V3DPrj");
    EXPECT_EQ(info.MinVerMajor, 3);
    EXPECT_TRUE(info.ImportVenueOtherVersions);
    ini.SetText("[appinfo]\nsoftware_name=Vendrel\nPROJECTFILE_EXT=.vprj\nMIN_VER_FOR_VENDREL_MINOR=256\n");
    EXPECT_THROW(ReadApplicationInfo(ini, info), ERangeError);
    EXPECT_EQ(info.ProjectFileExt, ".vprj");
}

TEST(AppInfo, VersionSplitsIntoItsFourParts) {
    const TAppVersion v = SplitAppVersion("3.1.0.123");
    EXPECT_EQ(v.AppMajorVersion, "3");
    EXPECT_EQ(v.AppMinorVersion, "1");
    EXPECT_EQ(v.AppReleaseVersion, "0");
    EXPECT_EQ(v.AppBuildVersion, "123");
    EXPECT_EQ(v.Major_Version, 3);
    EXPECT_EQ(v.Minor_Version, 1);
    EXPECT_EQ(v.Release_Version, 0);
    const TAppVersion unknown = SplitAppVersion("?");
    EXPECT_EQ(unknown.AppMajorVersion, "?");
    EXPECT_EQ(unknown.Major_Version, 0);
}

TEST(Status, MemoryShareNeedsAReadableInstalledMemory) {
    EXPECT_EQ(MemoryStatusText(4096, 16384, 0.2, '.'), "RAM: 25.00%   |   PxPerMeter: 0.2");
    EXPECT_EQ(MemoryStatusText(4096, 16384, 0.2, ','), "RAM: 25,00%   |   PxPerMeter: 0,2");
    EXPECT_EQ(MemoryStatusText(4096, 0, 0.5, '.'), "RAM: ?%   |   PxPerMeter: 0.5");
    EXPECT_EQ(MemoryStatusText(0, 0, 1, '.'), "RAM: ?%   |   PxPerMeter: 1");
}

TEST(Status, UnitsAndPanelWidths) {
    EXPECT_DOUBLE_EQ(UnitSystemOf(false).LengthUnits * 300, 300 * 3.2808398950131235);
    EXPECT_EQ(UnitSystemOf(false).LengthUnitText, "ft");
    EXPECT_EQ(PosStepTexts(false)[0], "0.01 ft");
    struct Case {
        int free, limit;
        bool fill;
        int width;
    };
    for (const Case& c : {Case{1000, 1400, false, 1065}, Case{1200, 1400, true, 1200},
                          Case{1700, 1400, false, 1400}, Case{1700, 1600, false, 1600}}) {
        const TPanelWidth w = PanelWidthFor(c.free, c.limit);
        EXPECT_EQ(w.Fill, c.fill) << c.free;
        if (!c.fill) {
            EXPECT_EQ(w.Width, c.width) << c.free;
        }
    }
}

} // namespace
} // namespace vendrel
