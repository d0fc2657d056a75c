#pragma once
// The pictures a report places, made by the windows that draw them (the main window implements
// this). Each call leaves the windows as it found them, also when it fails. An empty bitmap means
// there is no picture to place; a picture that should exist and cannot be made is a failure, raised
// as an exception derived from std::runtime_error that says why.

#include "platform/core/bitmap.h"

namespace vendrel {

class TCabArray;
class TCabModel;
class TGenericDSPProcess;
enum class TViewType : uint8_t;

class IReportPictures {
public:
    virtual ~IReportPictures() = default;

    // The composed picture of the scene in one standard view, with its colour bar and caption line.
    virtual TBitmap SceneView(TViewType View) = 0;
    // The model's own picture from the library, when the library's model at its index is this model.
    virtual TBitmap ModelPicture(const TCabModel& Model) = 0;
    // The array in the mechanical view, as the mechanical data dialog shows it for a report; the
    // array's mechanics are computed again on the way.
    virtual TBitmap ArrayPicture(TCabArray& Array) = 0;
    // The process's response chart as the DSP process editor draws it for print.
    virtual TBitmap DspProcessChart(TGenericDSPProcess& Process) = 0;
    // The response chart of the measurement points without the overlays.
    virtual TBitmap ResponseChart() = 0;
};

} // namespace vendrel
