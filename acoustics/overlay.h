#pragma once
// A response overlay: a stored response curve (level and phase on a response grid) shown in the
// response chart beside the computed ones, for instance a measurement point's curve captured at one
// moment. The overlay keeps the grid its values were made on (acoustics/response_grids.h), so a
// later change of the project's measurement-point grid, or a file saved at another resolution, never
// moves its values to other frequencies: it is drawn by its own frequencies and saved on its grid.

#include <cstdint>
#include <string>
#include <vector>

#include "dsp/dsp_space.h"
#include "platform/core/bitmap.h"
#include "scene/scene_object.h"

namespace vendrel {

class TAcousticProject;

class TOverlay : public TQzControl3D {
public:
    // Number Value, named "Overlay<Value>", visible, drawn in MyColor or, when AutoColor, in a colour
    // of random hue; on the project's measurement-point grid, both curves sized to it and zero. The
    // project is read here only: the registry that adds the overlay sets MyAcousticProject.
    TOverlay(const TAcousticProject& AcousticProjectOwner, int32_t Value, TAlphaColor MyColor,
             bool AutoColor);

    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    void SetMyAcousticProject(TAcousticProject* Value) { FMyAcousticProject = Value; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    int32_t IDnumber() const { return FIDnumber; }
    void SetIDnumber(int32_t Value) { FIDnumber = Value; }
    TAlphaColor Color() const { return FColor; }
    void SetColor(TAlphaColor Value) { FColor = Value; }
    // The response grid the curves lie on: its spacing and the grid itself.
    TFreqBands GridSpacing() const { return FGridSpacing; }
    const TDSPSpace& Grid() const;
    // Level in dB and phase in degrees per point of the overlay's grid.
    const std::vector<double>& Mag() const { return FMag; }
    const std::vector<double>& Phase() const { return FPhase; }
    // Curves on the overlay's grid; another length than the grid's raises ERangeError (nothing stored).
    void SetCurves(std::vector<double> Magnitude, std::vector<double> PhaseDegrees);
    // Curves on the response grid of Spacing, which becomes the overlay's grid; a spacing without a
    // response grid or curves of another length raise ERangeError (nothing changes).
    void SetCurvesOnGrid(TFreqBands Spacing, std::vector<double> Magnitude, std::vector<double> PhaseDegrees);
    // The two chart series that draw it (not owned; the main window creates and frees them).
    TObject* MagFLSerie() const { return FMagFLSerie; }
    void SetMagFLSerie(TObject* Value) { FMagFLSerie = Value; }
    TObject* PhaseFLSerie() const { return FPhaseFLSerie; }
    void SetPhaseFLSerie(TObject* Value) { FPhaseFLSerie = Value; }

private:
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
    std::string FName;
    int32_t FIDnumber = 0;
    TAlphaColor FColor = 0;
    TFreqBands FGridSpacing = TFreqBands::fbOneFortyEigthOctave;
    std::vector<double> FMag;
    std::vector<double> FPhase;
    TObject* FMagFLSerie = nullptr;
    TObject* FPhaseFLSerie = nullptr;
};

} // namespace vendrel
