#pragma once
// The mechanical data dialog's text report of a line array: the lines of its memo, the texts of the
// view's extent and pick-point labels and the warning boxes. Every figure is printed from the array's
// mechanics record (TCabArray::RecalcMechanics) in the units shown; nothing is computed here, so the
// dialog, the array panel, the wizard and the PDF report agree.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/edit_helpers.h"

namespace vendrel {

class TCabArray;
struct TMechanicalData;
struct TUnits;

// One entry of the array's element list as the memo lists it.
struct TMechanicsMemoElement {
    enum class TKind : uint8_t {
        Cabinet, // "Cabinet <pos>:"
        Frame,   // a rigging frame right after the array entry
        Adapter, // a rigging frame right after a cabinet
        Counted, // a rigging frame after any other entry: it takes a number and prints nothing
    };
    TKind Kind = TKind::Cabinet;
    int32_t CabinetPosID = 0;
    std::string ModelName;
    double RelativeAngle = 0.0; // the cabinet's own Z turn, degrees
    double AbsoluteAngle = 0.0; // AbsoluteRotationZ, degrees
};

// What the memo prints: the record, plus the array's own settings the record does not hold.
struct TMechanicsMemoInput {
    const TMechanicalData* Data = nullptr;
    double FrameTilt = 0.0;   // the array's tilt, degrees
    double FrameLength = 0.0; // the frame model's width, metres
    double FrameWeight = 0.0; // the frame model's weight, kilograms
    std::vector<TMechanicsMemoElement> Elements;
};

// Gathers the input from an array (its record as last computed; the array is not recomputed).
TMechanicsMemoInput MechanicsMemoInputOf(const TCabArray& Array);

// The memo and the label texts. A label whose text is empty and whose flag is false is hidden.
struct TMechanicsMemo {
    std::vector<std::string> Lines;
    std::vector<std::string> Warnings; // warning boxes, in the order they are shown
    std::string TopPointLabel, BottomPointLabel;
    bool FlyPointLabelVisible = false, FrontPointLabelVisible = false;
    std::string FlyPointLabel, FrontPointLabel;
};

TMechanicsMemo MechanicsMemo(const TMechanicsMemoInput& In, const TUnits& Units,
                             const TFormatSettings& Format);

// The text beside the cable weight box: "kg (5.51 lbs)" for 2.5 kg per metre.
std::string CableWeightPoundsText(double KilogramsPerMetre, const TFormatSettings& Format);

} // namespace vendrel
