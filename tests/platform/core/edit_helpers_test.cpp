#include "platform/core/edit_helpers.h"

#include <gtest/gtest.h>

#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

namespace vendrel {
namespace {

const TFormatSettings kPoint{'.'};
const TFormatSettings kComma{','};

struct ReadCase {
    std::string typed;
    double min, max;
    std::string format;
    double fallback;
    std::string pointText; // shown with '.' as the separator
    double value;
};

TEST(ReadFloatEdit, ReadsLimitsFallsBackAndRewrites) {
    const std::vector<ReadCase> cases = {
        {"1.5", 0, 10, "0.00", 0, "1.50", 1.5},
        {"1,5", 0, 10, "0.00", 0, "1.50", 1.5},
        {"2,5", 0, 2, "0.0", 0, "2.0", 2.0},       // above the range
        {"-3", -1, 2, "0.0", 0, "-1.0", -1.0},     // below the range
        {"abc", 0, 5, "0.00", 7, "7.00", 7.0},     // the fallback is not limited
        {"1.234,5", 0, 1e6, "0.0", 3, "3.0", 3.0}, // both separators: unreadable
        {"", 0, 10, "0.0", 4, "4.0", 4.0},
        {"1e400", 0, 10, "0", 2, "2", 2.0},       // out of double's range
        {" 12.5 ", 0, 100, "0", 0, "13", 13.0},   // blanks around it; a tie rounds away from zero
        {"0.125", 0, 1, "0.00", 0, "0.13", 0.13}, // half away from zero at the last decimal
        {"-0.125", -1, 1, "0.00", 0, "-0.13", -0.13},
        {"-0.001", -1, 1, "0.00", 0, "0.00", 0.0}, // no "-0.00"
        {"3.14159", 0, 10, "0.000", 0, "3.142", 3.142},
        {"1e2", 0, 1000, "0.0", 0, "100.0", 100.0},
        {".5", 0, 1, "0.0", 0, "0.5", 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed + " " + c.format);
        const TEditRead p = ReadFloatEdit(c.typed, c.min, c.max, c.format, c.fallback, kPoint);
        EXPECT_EQ(p.Text, c.pointText);
        EXPECT_DOUBLE_EQ(p.Value, c.value);
        // The same with a comma locale: only the separator of the shown text differs.
        std::string commaText = c.pointText;
        for (char& ch : commaText) {
            if (ch == '.') {
                ch = ',';
            }
        }
        const TEditRead q = ReadFloatEdit(c.typed, c.min, c.max, c.format, c.fallback, kComma);
        EXPECT_EQ(q.Text, commaText);
        EXPECT_DOUBLE_EQ(q.Value, c.value);
    }
}

TEST(ReadFloatEdit, UsesTheSeparatorOfAGermanLocale) {
    std::locale de;
    try {
        de = std::locale("de_DE.UTF-8");
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed; the comma cases above cover the behaviour";
    }
    const TFormatSettings fs = FormatSettingsFromLocale(de);
    EXPECT_EQ(fs.DecimalSeparator, ',');
    const TEditRead r = ReadFloatEdit("1.5", 0, 10, "0.00", 0, fs);
    EXPECT_EQ(r.Text, "1,50");
    EXPECT_DOUBLE_EQ(r.Value, 1.5);
}

TEST(ReadAngleEdit, FoldsBeforeLimiting) {
    const struct {
        std::string typed;
        double shown;
    } cases[] = {{"270", -90}, {"-180", 180}, {"540", 180}, {"-190", 170}, {"45,5", 45.5}, {"x", 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_DOUBLE_EQ(ReadAngleEdit(c.typed, -180, 180, "0.0", 12, kPoint).Value, c.shown);
    }
    // A limit narrower than the fold applies after it: 350 folds to -10, then is raised to 0.
    EXPECT_DOUBLE_EQ(ReadAngleEdit("350", 0, 90, "0", 5, kPoint).Value, 0.0);
}

TEST(NormalizeAngle, FoldsIntoHalfOpenRange) {
    const struct {
        double in, out;
    } cases[] = {{360, 0},    {-190, 170},  {190, -170}, {180, 180},
                 {-180, 180}, {720.5, 0.5}, {-540, 180}, {0, 0}};
    for (const auto& c : cases) {
        EXPECT_NEAR(NormalizeAngle(c.in), c.out, 1e-9) << c.in;
    }
}

TEST(PlainNumberText, ShortestFormWithUpTo15Digits) {
    const TFormatSettings comma{','};
    const struct {
        double value;
        const char* text;
    } cases[] = {{90, "90"},  {-90, "-90"},   {0.5, "0.5"},        {28.999999999999996, "29"},
                 {-0.0, "0"}, {1e20, "1E20"}, {1.5e-7, "1.5E-07"}, {1.0 / 3, "0.333333333333333"}};
    for (const auto& c : cases) {
        EXPECT_EQ(PlainNumberText(c.value, kPoint), c.text) << c.value;
    }
    EXPECT_EQ(PlainNumberText(12.5, comma), "12,5");
}

TEST(FormatFloatPattern, RejectsPatternsItDoesNotKnow) {
    EXPECT_THROW(FormatFloatPattern("#,##0.00", 1, kPoint), std::invalid_argument);
    EXPECT_THROW(FormatFloatPattern("0.", 1, kPoint), std::invalid_argument);
    EXPECT_EQ(FormatFloatPattern("00.0", 3.25, kPoint), "03.3");
}

TEST(FilterNumericKey, RefusesWhatANumericFieldCannotTake) {
    const char16_t none = 0;
    struct Case {
        std::string text;
        char16_t key;
        bool noNegative, integerOnly;
        TFormatSettings fs;
        char16_t out;
    };
    const std::vector<Case> cases = {
        {"", u'-', true, true, kPoint, none},      {"", u'.', true, true, kPoint, none},
        {"", u',', true, true, kPoint, none},      {"", u'a', true, true, kPoint, none},
        {"", u'7', true, true, kPoint, u'7'},      {"12", 8, true, true, kPoint, 8},
        {"12", 13, true, true, kPoint, none},      {"12", 13, false, false, kPoint, none},
        {"1", u'.', false, false, kComma, u','},   {"1", u',', false, false, kPoint, u'.'},
        {"1,5", u'.', false, false, kComma, none}, {"1.5", u',', false, false, kComma, u','},
        {"", u'-', false, false, kPoint, u'-'},    {"-1", u'-', false, false, kPoint, none},
        {"1", u' ', false, false, kPoint, none},
    };
    for (const auto& c : cases) {
        char16_t k = c.key;
        FilterNumericKey(c.text, k, c.noNegative, c.integerOnly, c.fs);
        EXPECT_EQ(k, c.out) << "text '" << c.text << "' key " << int(c.key);
    }
}

TEST(SanitizeFileName, BlanksForbiddenCharacters) {
    EXPECT_EQ(SanitizeFileName("A/B: C&D"), "A B  C D");
    EXPECT_EQ(SanitizeFileName("<>:\"/\\|?*&"), "          ");
    EXPECT_EQ(SanitizeFileName("Plain name-1.2"), "Plain name-1.2");
}

} // namespace
} // namespace vendrel
