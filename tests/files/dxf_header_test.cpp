#include "files/dxf_header.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "files/dxf_reader.h"

namespace vendrel {
namespace {

using dxf_test::DxfText;
using Groups = std::vector<std::pair<int, std::string>>;

TDxfHeader ReadHeader(const Groups& Vars) {
    Groups g{{0, "SECTION"}, {2, "HEADER"}};
    g.insert(g.end(), Vars.begin(), Vars.end());
    g.insert(g.end(), {{0, "ENDSEC"}, {0, "EOF"}});
    std::istringstream in(DxfText(g));
    TDxfFile dxf;
    EXPECT_EQ(LoadDxfStream(in, dxf), "");
    return dxf.header;
}

// Every header variable ezdxf knows (tests/files/dxf/header_vars.txt, with its value's group code),
// set alone to 7: the known ones each fill a field of their own, the others change nothing.
TEST(DxfHeader, EveryKnownVariableFillsAFieldOfItsOwn) {
    std::ifstream list(std::string(TEST_DATA_DIR) + "/dxf/header_vars.txt");
    ASSERT_TRUE(list);
    std::vector<std::pair<std::string, TDxfHeader>> filled;
    std::string name, kind;
    int code = 0;
    while (list >> name >> code >> kind) {
        // The program has always read $OLESTARTUP as a 16-bit integer (70); ezdxf writes a boolean.
        if (name == "$OLESTARTUP") {
            code = 70;
        }
        const Groups value =
            kind == "point" ? Groups{{code, "7"}, {code + 10, "7"}, {code + 20, "7"}} : Groups{{code, "7"}};
        Groups vars{{9, name}};
        vars.insert(vars.end(), value.begin(), value.end());
        const TDxfHeader h = ReadHeader(vars);
        if (h != TDxfHeader{}) {
            filled.emplace_back(name, h);
        }
    }
    EXPECT_EQ(filled.size(), 198u);
    for (size_t i = 0; i < filled.size(); ++i) {
        for (size_t j = i + 1; j < filled.size(); ++j) {
            EXPECT_NE(filled[i].second, filled[j].second) << filled[i].first << " and " << filled[j].first;
        }
    }
}

TEST(DxfHeader, VariablesLandInTheirNamedFields) {
    const TDxfHeader h = ReadHeader({{9, "$INSUNITS"},
                                     {70, "4"},
                                     {9, "$EXTMIN"},
                                     {10, "1.5"},
                                     {20, "2.5"},
                                     {9, "$DISPSILH"},
                                     {70, "1"},
                                     {9, "$UCSORG"},
                                     {10, "1"},
                                     {20, "2"},
                                     {30, "3"},
                                     {9, "$PUCSORG"},
                                     {10, "4"},
                                     {9, "$DIMSCALE"},
                                     {40, "2.5"},
                                     {9, "$ACADVER"},
                                     {1, "AC1015"},
                                     {9, "$TDCREATE"},
                                     {40, "2460000.5"}});
    EXPECT_EQ(h.Base.DefaultUnits, 4);
    EXPECT_EQ(h.Base.ExtLowLeft, (TDxfPoint{1.5, 2.5, 0.0}));
    EXPECT_EQ(h.Sel.DispSilhMode, 1);
    EXPECT_EQ(h.Ucs.Origin, (TDxfPoint{1, 2, 3}));
    EXPECT_EQ(h.PUcs.Origin, (TDxfPoint{4, 0, 0}));
    EXPECT_EQ(h.Dim.Scale, 2.5);
    EXPECT_EQ(h.acad.Version, "AC1015");
    EXPECT_EQ(h.Time.CreateTimeLocal, 2460000.5);
}

TEST(DxfHeader, ValueOfAnotherCodeGivesTheZeroAndIsPassedOver) {
    struct Case {
        const char* name;
        Groups vars;
        int32_t units;
        int32_t distFormat; // $LUNITS, read after $INSUNITS
    };
    const Case cases[] = {
        {"integer", {{9, "$INSUNITS"}, {70, "4"}, {9, "$LUNITS"}, {70, "2"}}, 4, 2},
        {"real instead of integer", {{9, "$INSUNITS"}, {40, "4.0"}, {9, "$LUNITS"}, {70, "2"}}, 0, 2},
        {"lower case name", {{9, "$insunits"}, {70, "4"}}, 0, 0},
        {"given twice", {{9, "$INSUNITS"}, {70, "4"}, {9, "$INSUNITS"}, {70, "6"}}, 6, 0},
        {"second value replaced by a wrong code",
         {{9, "$INSUNITS"}, {70, "4"}, {9, "$INSUNITS"}, {62, "6"}},
         0,
         0},
        {"short name", {{9, "$I"}, {70, "4"}}, 0, 0},
    };
    for (const Case& c : cases) {
        const TDxfHeader h = ReadHeader(c.vars);
        EXPECT_EQ(h.Base.DefaultUnits, c.units) << c.name;
        EXPECT_EQ(h.Base.DistFormat, c.distFormat) << c.name;
    }
}

} // namespace
} // namespace vendrel
