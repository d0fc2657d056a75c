#include "panels/field_rules.h"

#include <gtest/gtest.h>

namespace vendrel {
namespace {

// One value behind a field, counting the commits.
struct Value {
    double model = 0.0;
    int commits = 0;
    int followUps = 0;
    TFieldDescriptor field(TFieldDescriptor f) {
        f.Get = [this] { return model; };
        f.Set = [this](double v) {
            model = v;
            ++commits;
        };
        f.FollowUps = [this] { ++followUps; };
        return f;
    }
};

TEST(FieldRules, TypedTextsAreReadLimitedRestoredAndCommittedOnlyWhenTheyChangeTheValue) {
    const TFormatSettings point{'.'};
    const TFormatSettings comma{','};
    struct Case {
        const char* typed;
        double lengthUnits;
        TFormatSettings settings;
        const char* shown;
        double model; // after the exit
        int commits;
    };
    const Case cases[] = {
        {"1,5", 1.0, point, "1.500", 1.5, 1},
        {"1.5", 1.0, comma, "1,500", 1.5, 1},
        {"2500", 1.0, point, "2000.000", 2000.0, 1},                   // limited, shown with three decimals
        {"-7000", 3.2808398950131235, point, "-6561.680", -2000.0, 1}, // limits in the shown unit
        {"10", 3.2808398950131235, point, "10.000", 3.048, 1},         // feet stored as metres
        {"abc", 1.0, point, "0.250", 0.25, 0},  // unreadable: the value again, no commit
        {"0.25", 1.0, point, "0.250", 0.25, 0}, // unchanged: nothing committed
    };
    for (const Case& c : cases) {
        Value v;
        v.model = 0.25;
        TFieldDescriptor length;
        length.Format = "0.000";
        const TFieldDescriptor f = v.field(length);
        const TExitResult r = ExitField(f, c.typed, c.lengthUnits, c.settings);
        EXPECT_EQ(r.Text, c.shown) << c.typed;
        EXPECT_NEAR(v.model, c.model, 1e-4) << c.typed; // read back from the shown text
        EXPECT_EQ(v.commits, c.commits) << c.typed;
        EXPECT_EQ(v.followUps, c.commits) << c.typed;
        // A second exit on the rewritten text (Enter, then the loss of the focus) commits nothing.
        ExitField(f, r.Text, c.lengthUnits, c.settings);
        EXPECT_EQ(v.commits, c.commits) << c.typed;
    }
}

TEST(FieldRules, NegatedWrappedTurnsAndHeightsShowAndCommitTheirSign) {
    const TFormatSettings s{'.'};
    Value turn;
    TFieldDescriptor angle;
    angle.Unit = TUnitKind::Angle;
    angle.Format = "0.00";
    angle.Min = -180;
    angle.Max = 180;
    angle.Negated = true;
    angle.WrapShown = true;
    angle.ReadAsAngle = true;
    const TFieldDescriptor f = turn.field(angle);
    // 190 typed is -170 shown, the turn 170.
    EXPECT_EQ(ExitField(f, "190", 1.0, s).Text, "-170.00");
    EXPECT_DOUBLE_EQ(turn.model, 170.0);
    turn.model = 200; // shown negated and wrapped
    EXPECT_EQ(ShownText(f, 1.0, s), "160.00");

    Value height;
    TFieldDescriptor h;
    h.Negated = true;
    const TFieldDescriptor g = height.field(h);
    ExitField(g, "3", 1.0, s);
    EXPECT_DOUBLE_EQ(height.model, -3.0); // a shown height of 3 m is a scene Y of -3
    // A guarded field commits nothing.
    h.Guard = [] { return true; };
    const TFieldDescriptor guarded = height.field(h);
    EXPECT_FALSE(ExitField(guarded, "5", 1.0, s).Committed);
    EXPECT_DOUBLE_EQ(height.model, -3.0);
}

TEST(FieldRules, UpAndDownStepTheNumberAsShown) {
    const TFormatSettings s{','};
    std::string text;
    ASSERT_TRUE(StepFieldText("1,000", 0.5, "0.000", s, text));
    EXPECT_EQ(text, "1,500");
    ASSERT_TRUE(StepFieldText("1.000", -2, "0.00", s, text));
    EXPECT_EQ(text, "-1,00");
    EXPECT_FALSE(StepFieldText("abc", 1, "0.000", s, text));
}

} // namespace
} // namespace vendrel
