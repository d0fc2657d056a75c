#pragma once
// The rules every numeric field of an object panel follows, apart from the widgets: what the field
// shows, how a typed text is read, limited and compared, and how it reaches the object.
//
// A field is described once (TFieldDescriptor): the object's value and setter in model units, the unit
// kind that converts it for the display (lengths times the length unit; angles in degrees), whether
// the display negates and wraps it, the format, the limits and the follow-ups of a commit. The exit
// rule then reads the text ('.' or ',' as the separator), limits it, falls back to the object's value
// when it is unreadable, rewrites the field, and commits only when the rewritten text differs from the
// object's value formatted the same way; so a second exit after Enter commits nothing.

#include "platform/core/edit_helpers.h"

#include <functional>
#include <string>

namespace vendrel {

enum class TUnitKind : uint8_t {
    Length, // metres, shown times the length unit; Up and Down step by the position step
    Angle,  // degrees; Up and Down step by the rotation step
    Count,  // whole numbers; Up and Down step by 1
};

struct TFieldDescriptor {
    TUnitKind Unit = TUnitKind::Length;
    std::string Format = "0.000";
    // Limits of the shown value, in metres or degrees (lengths are multiplied by the length unit).
    double Min = -2000.0;
    double Max = 2000.0;
    // The field shows the negated value (heights, the cabinets' turns).
    bool Negated = false;
    // The shown value is wrapped into (-180, 180].
    bool WrapShown = false;
    // A typed angle is wrapped into (-180, 180] before it is limited.
    bool ReadAsAngle = false;
    // The text is handed on even when it equals the object's value.
    bool AlwaysCommit = false;

    std::function<double()> Get;     // the object's value in model units
    std::function<void(double)> Set; // to the object, in model units
    std::function<void()> FollowUps; // after the setter, in order
    std::function<bool()> Guard;     // true: the field commits nothing now
};

// The value a field shows for the object, in the unit shown.
double ShownValue(const TFieldDescriptor& Field, double LengthUnits);
// The text of that value in the field's format.
std::string ShownText(const TFieldDescriptor& Field, double LengthUnits, const TFormatSettings& Settings);

struct TExitResult {
    std::string Text;       // what the field shows afterwards
    bool Committed = false; // the setter and the follow-ups ran
};

// The exit rule on a typed text.
TExitResult ExitField(const TFieldDescriptor& Field, const std::string& Text, double LengthUnits,
                      const TFormatSettings& Settings);

// Up and Down: the typed number plus Step, in StepFormat; false when the text is not a number.
bool StepFieldText(const std::string& Text, double Step, const std::string& StepFormat,
                   const TFormatSettings& Settings, std::string& NewText);

} // namespace vendrel
