#pragma once
// What the line-array panel and its cabinet rows change in the model, as named calls the panel's
// fields and buttons make (and tests make without a window): splay choices and their commit, the
// cabinets' directions, the array's on/off, tilt, direction and position, adding and removing
// cabinets, the mechanical warnings and the developer's text report.
//
// Splay choices are the model's angles (doubles); a cabinet keeps its splay as a single-precision
// turn: the two are compared at single precision, so an angle such as 0.7 is found again.

#include "acoustics/array_types.h"
#include "platform/core/geometry3d.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vendrel {

class TAcousticProject;
class TCabArray;
class TCabinet;
struct TMechanicalData;

// ---- A cabinet's row ----

// The splay angles a cabinet may take below the element above it, by the mounting: a frame made for
// a top hat gives the bottom-flange angles, another frame or a spacer the first-cabinet angles, a
// cabinet the general ones; none for another mounting or without an element above.
std::vector<double> SplayChoices(const TCabinet& Cabinet, TArrayMounting Mounting);
// The shown text of a choice: the shortest general notation with the user's separator ("2.5").
std::string SplayChoiceText(double Angle, char DecimalSeparator);
// The index of the cabinet's splay among the choices (a stack's splay is the negated angle), or -1.
int SplayChoiceIndex(const TCabinet& Cabinet, TArrayMounting Mounting, const std::vector<double>& Choices);
// The row's fill: the chosen index; a cabinet whose splay is in no choice takes the first one (flown
// and stacked; a horizontal cluster keeps its angle) and shows it.
int ShowCabinetSplay(TCabinet& Cabinet, TArrayMounting Mounting);
// The user chose Angle: the cabinet's splay becomes it (negated for a stack). False when it already
// had it (nothing to follow up).
bool ChooseCabinetSplay(TCabinet& Cabinet, TArrayMounting Mounting, double Angle);

// The direction joints from Cabinet down: each joint turns half round where its cabinet's direction
// differs from the one above it; then the chain is placed again.
void UpdateDirections(TCabArray& Array, const TCabinet& Cabinet);
// The direction box was clicked: the cabinet is inverted (or back to normal) and the joints follow.
void InvertCabinetDirection(TCabArray& Array, TCabinet& Cabinet, bool Inverted);
// The on/off box: switching a cabinet on switches its array on too.
void SetArrayCabinetActive(TCabArray& Array, TCabinet& Cabinet, bool Active);

// ---- The array's panel ----

// On/Off of the whole array: the array and every cabinet take the opposite of the array's state.
void ToggleArrayActive(TCabArray& Array);
// The tilt typed in degrees, kept within -90 .. 90.
void SetArrayTilt(TCabArray& Array, double Degrees);
// The direction shown (the negated Y turn, degrees): the array's rotation becomes (0, -Degrees, 0).
void SetArrayDirection(TCabArray& Array, double Degrees);
// The position fields in the shown axes (X, the depth Y, the height Z), in metres.
void SetArrayShownPosition(TCabArray& Array, double X, double Y, double Z);

// The warnings of the mechanics: "Gravity Center is out of range! " and "Maximum weight is exceeded."
std::string ArrayWarningText(const TMechanicalData& Data);
// Recomputes the mechanics and returns the warning text; with ShowMsg, a warning that comes up (the
// text shown before, Previous, was empty) is shown once in a warning box.
std::string CheckArrayWarnings(TCabArray& Array, const std::string& Previous, bool ShowMsg);

// One more cabinet of the last cabinet's model below the array, active, in the array's layer and
// selection; refused beyond the model's maximum for a flown or stacked array (the message names the
// maximum, and the array stays as it was). Null when refused or when the array has no cabinet.
TCabinet* ArrayAddAnotherCabinet(TAcousticProject& Project, TCabArray& Array);
// Takes the last cabinet out (and a rigging frame right above it); nothing on a one-cabinet array.
// True when one went.
bool RemoveLastArrayCabinet(TAcousticProject& Project, TCabArray& Array);

// The developer's text report of the array's elements, one line per entry.
std::vector<std::string> ArrayReportLines(const TCabArray& Array);

} // namespace vendrel
