#include "acoustics/cab_model.h"

#include <algorithm>
#include <string>

#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "dsp/dsp_space.h"
#include "platform/core/debug_log.h"
#include "platform/core/geometry3d.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

std::string shortName(std::string s) {
    if (s.size() > kShortNameLength) {
        s.resize(kShortNameLength);
    }
    return s;
}

size_t checkedCount(int32_t value) {
    if (value < 0) {
        throw ERangeError();
    }
    return static_cast<size_t>(value);
}

} // namespace

TPolarProperties::TPolarProperties(int32_t Value, int32_t /*FreqPoints*/)
    : Name(shortName("Measures Set " + std::to_string(static_cast<int64_t>(Value) + 1))), ID(Value) {}

TCabModel::TCabModel(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {
    DSPSpace = std::make_unique<TDSPSpace>();
    DSPSpace->SetBandPerOctave(TFreqBands::fbOneSixOctave);
    SetNSourcePoints(1);
    FNPolarSets = 1;
    SetPolarResolutionDegrees(1);
    GiveLengthToPolars();
    PolarProperties.push_back(std::make_unique<TPolarProperties>(0, DSPSpace->NRealFreqPoints()));
    BypassProcess = std::make_unique<TTransferFunctionProcess>(DSPSpace.get());
    CurveSmoothing = TFreqBands::fbOneSixOctave;
    Reset();
}

TCabModel::~TCabModel() {
    PolarProperties.clear();
    while (!SourcePoint.empty()) {
        SourcePoint.pop_back();
    }
    for (TUserPreset* preset : DSPPresets) {
        delete preset;
    }
    DSPPresets.clear();
    BypassProcess.reset();
    DSPSpace.reset();
}

void TCabModel::Reset() {
    for (size_t i = 0; i < PolarProperties.size(); ++i) {
        TPolarProperties& set = *PolarProperties[i];
        set.GraphicalInterface.Detach();
        set.LowFreqCutoff = 20;
        set.HiFreqCutoff = 20000;
        set.Name = shortName("Measures Set " + std::to_string(i + 1));
        set.ID = 0;
    }
    TopFlangePointXm = TopFlangePointYm = TopFlangePointZm = 0.0;
    BotFlangePointXm = BotFlangePointYm = BotFlangePointZm = 0.0;
    CurveSmoothing = TFreqBands::fbOneSixOctave;
}

TUserPreset* TCabModel::AddUserPreset() {
    const std::string breadcrumb = "-----------------------CabModel.AddUseProcess";
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->SetLastLogString(breadcrumb); // also the debug log
    } else {
        DebugLog(breadcrumb);
    }
    auto preset = std::make_unique<TUserPreset>(DSPSpace.get());
    DSPPresets.push_back(preset.get());
    TUserPreset* result = preset.release();
    result->SetNumberID(static_cast<int32_t>(DSPPresets.size()));
    result->SetNSourcePoints(FNSourcePoints);
    result->SetName("No Name " + std::to_string(result->NumberID()));
    result->SetInfo("");
    return result;
}

void TCabModel::DeleteUserPreset(TUserPreset*& UserPreset) {
    const auto it = std::find(DSPPresets.begin(), DSPPresets.end(), UserPreset);
    if (it == DSPPresets.end()) {
        return; // not one of this model's presets: its owner frees it
    }
    DSPPresets.erase(it);
    delete UserPreset;
    UserPreset = nullptr;
}

std::vector<std::string> TCabModel::GetInternalPresetNames() const {
    std::vector<std::string> lines;
    lines.reserve(DSPPresets.size());
    for (const TUserPreset* preset : DSPPresets) {
        lines.push_back(std::to_string(preset->NumberID()) + " : " + preset->Name());
    }
    return lines;
}

void TCabModel::GiveLengthToPolars() {
    // The map kernel of every cabinet of this model indexes the polar data.
    const TWorkersPause pause(FMyAcousticProject);
    const size_t points = checkedCount(DSPSpace->NRealFreqPoints());
    PolarData.resize(checkedCount(FNPolarSets));
    for (auto& set : PolarData) {
        set.resize(checkedCount(FNPolarElevSlices));
        for (auto& slice : set) {
            slice.resize(checkedCount(FNPolarAzMeasures));
            for (rPolarData& direction : slice) {
                direction.MagnitudePerFreq.resize(points);
                direction.PhasePerFreq.resize(points);
            }
        }
    }
}

void TCabModel::GiveLengthToPresetsTransferF() {
    const size_t points = checkedCount(DSPSpace->NRealFreqPoints());
    for (TUserPreset* preset : DSPPresets) {
        for (int32_t i = 0; i < FNSourcePoints; ++i) {
            At(preset->EQTransferFunction(), i)->SetResponseLength(points);
        }
    }
}

float TCabModel::MaxDbuGlobal() const {
    float result = 0.0f;
    for (const auto& set : PolarProperties) {
        result = std::max(result, set->MaxDbuSPL);
    }
    return result;
}

void TCabModel::CheckPolarLayout() const {
    const int32_t r = FPolarResolutionDegrees;
    if (r <= 0 || 180 % r != 0) {
        throw EPolarLayoutError(
            "Polar resolution of " + std::to_string(r) +
            " degrees does not divide 180 degrees: the model's directivity cannot be used");
    }
    if (FNPolarElevSlices * r != 180 || FNPolarAzMeasures * r != 360) {
        throw EPolarLayoutError("Polar data of " + std::to_string(FNPolarElevSlices) + " slices by " +
                                std::to_string(FNPolarAzMeasures) +
                                " measures does not cover the sphere at " + std::to_string(r) +
                                " degrees: the model's directivity cannot be used");
    }
}

// Clamps a preview coordinate to 0 .. extent; a value beyond the extent lands one metre inside.
static double clampToVenue(double value, double extent) {
    if (value > extent) {
        return extent - 1.0;
    }
    if (value < 0.0) {
        return 0.0;
    }
    return value;
}

void TCabModel::SetXm(double Value) {
    if (Value == FXm) {
        return;
    }
    FXm = clampToVenue(Value, FPhysicalSpace->VenueLength());
    FXp = FXm / FPhysicalSpace->PixelToMeters();
}

void TCabModel::SetYm(double Value) {
    if (Value == FYm) {
        return;
    }
    const double height = FPhysicalSpace->VenueHeightVer();
    FYm = clampToVenue(Value, height);
    const double pixel = FPhysicalSpace->PixelToMeters();
    FYp = height / pixel - FYm / pixel;
}

void TCabModel::SetZm(double Value) {
    if (Value == FZm) {
        return;
    }
    FZm = clampToVenue(Value, FPhysicalSpace->VenueWidthHor());
    FZp = FZm / FPhysicalSpace->PixelToMeters();
}

void TCabModel::SetNSourcePoints(int32_t Value) {
    if (Value == 0 || Value == FNSourcePoints) {
        return;
    }
    const size_t count = checkedCount(Value);
    while (SourcePoint.size() > count) {
        SourcePoint.pop_back();
    }
    while (SourcePoint.size() < count) {
        SourcePoint.push_back(
            std::make_unique<TSourcePoint>(DSPSpace.get(), FPhysicalSpace, FMyAcousticProject, nullptr));
    }
    FNSourcePoints = Value;
}

void TCabModel::SetNPolarSets(int32_t Value) {
    if (Value == 0 || Value == FNPolarSets) {
        return;
    }
    const size_t count = checkedCount(Value);
    FNPolarSets = Value;
    GiveLengthToPolars();
    while (PolarProperties.size() > count) {
        PolarProperties.pop_back();
    }
    while (PolarProperties.size() < count) {
        PolarProperties.push_back(std::make_unique<TPolarProperties>(
            static_cast<int32_t>(PolarProperties.size()), DSPSpace->NRealFreqPoints()));
    }
}

void TCabModel::SetPolarResolutionDegrees(int32_t Value) {
    if (Value == 0 || Value == FPolarResolutionDegrees) {
        return;
    }
    // The map kernel reads slice Trunc(angle / r) and mirrors it once; only a resolution that divides
    // half a turn keeps every index it computes inside the table.
    if (Value < 0 || 180 % Value != 0) {
        throw EPolarLayoutError(
            "Polar resolution of " + std::to_string(Value) +
            " degrees does not divide 180 degrees: the model's directivity cannot be used");
    }
    FPolarResolutionDegrees = Value;
    FNPolarElevSlices = 180 / Value;
    FNPolarAzMeasures = 360 / Value;
    GiveLengthToPolars();
}

void TCabModel::SetNPolarElevSlices(int32_t Value) {
    if (Value == 0 || Value == FNPolarElevSlices) {
        return;
    }
    checkedCount(Value);
    FNPolarElevSlices = Value;
    GiveLengthToPolars();
}

void TCabModel::SetNPolarAzMeasures(int32_t Value) {
    if (Value == 0 || Value == FNPolarAzMeasures) {
        return;
    }
    checkedCount(Value);
    FNPolarAzMeasures = Value;
    GiveLengthToPolars();
}

void TCabModel::SetNOriginCenters(int32_t Value) {
    OriginCenters.resize(checkedCount(Value));
    FNOriginCenters = Value;
}

TRigFrameModel::TRigFrameModel(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {}

TRigFrameModel::~TRigFrameModel() = default;

void TRigFrameModel::SetNPickPoints(int32_t Value) {
    if (Value == FNPickPoints) {
        return;
    }
    PickPoints.resize(checkedCount(Value));
    FNPickPoints = Value;
}

} // namespace vendrel
