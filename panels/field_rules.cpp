#include "panels/field_rules.h"

#include "dsp/complex.h"

#include <cmath>

namespace vendrel {

namespace {

double factorOf(const TFieldDescriptor& Field, double LengthUnits) {
    return Field.Unit == TUnitKind::Length ? LengthUnits : 1.0;
}

} // namespace

double ShownValue(const TFieldDescriptor& Field, double LengthUnits) {
    double v = Field.Get ? Field.Get() : 0.0;
    if (Field.Negated) {
        v = -v;
    }
    v *= factorOf(Field, LengthUnits);
    return Field.WrapShown ? WrapDegrees180(v) : v;
}

std::string ShownText(const TFieldDescriptor& Field, double LengthUnits, const TFormatSettings& Settings) {
    return FormatFloatPattern(Field.Format, ShownValue(Field, LengthUnits), Settings);
}

TExitResult ExitField(const TFieldDescriptor& Field, const std::string& Text, double LengthUnits,
                      const TFormatSettings& Settings) {
    if (Field.Guard && Field.Guard()) {
        return {Text, false};
    }
    const double factor = factorOf(Field, LengthUnits);
    const double current = ShownValue(Field, LengthUnits);
    const double min = Field.Min * factor;
    const double max = Field.Max * factor;
    const TEditRead read = Field.ReadAsAngle ? ReadAngleEdit(Text, min, max, Field.Format, current, Settings)
                                             : ReadFloatEdit(Text, min, max, Field.Format, current, Settings);
    if (!Field.AlwaysCommit && read.Text == FormatFloatPattern(Field.Format, current, Settings)) {
        return {read.Text, false};
    }
    double model = read.Value / factor;
    if (Field.Negated) {
        model = -model;
    }
    if (Field.Set) {
        Field.Set(model);
    }
    if (Field.FollowUps) {
        Field.FollowUps();
    }
    return {read.Text, true};
}

bool StepFieldText(const std::string& Text, double Step, const std::string& StepFormat,
                   const TFormatSettings& Settings, std::string& NewText) {
    std::string typed = Text;
    for (char& c : typed) {
        if (c == '.' || c == ',') {
            c = Settings.DecimalSeparator;
        }
    }
    double v = 0.0;
    if (!TryTextToFloat(typed, v, Settings)) {
        return false;
    }
    NewText = FormatFloatPattern(StepFormat, v + Step, Settings);
    return true;
}

} // namespace vendrel
