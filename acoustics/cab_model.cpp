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
    : FName(shortName("Measures Set " + std::to_string(static_cast<int64_t>(Value) + 1))), FID(Value) {}

TCabModel::TCabModel(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {
    FDSPSpace = std::make_unique<TDSPSpace>();
    FDSPSpace->SetBandPerOctave(TFreqBands::fbOneSixOctave);
    SetNSourcePoints(1);
    FNPolarSets = 1;
    SetPolarResolutionDegrees(1);
    GiveLengthToPolars();
    FPolarProperties.push_back(std::make_unique<TPolarProperties>(0, FDSPSpace->NRealFreqPoints()));
    FBypassProcess = std::make_unique<TTransferFunctionProcess>(FDSPSpace.get());
    FCurveSmoothing = TFreqBands::fbOneSixOctave;
    Reset();
}

TCabModel::~TCabModel() {
    FPolarProperties.clear();
    while (!FSourcePoint.empty()) {
        FSourcePoint.pop_back();
    }
    for (TUserPreset* preset : FDSPPresets) {
        delete preset;
    }
    FDSPPresets.clear();
    FBypassProcess.reset();
    FDSPSpace.reset();
}

void TCabModel::Reset() {
    for (size_t i = 0; i < FPolarProperties.size(); ++i) {
        TPolarProperties& set = *FPolarProperties[i];
        set.GraphicalInterface().Detach();
        set.SetLowFreqCutoff(20);
        set.SetHiFreqCutoff(20000);
        set.SetName(shortName("Measures Set " + std::to_string(i + 1)));
        set.SetID(0);
    }
    FTopFlangePointXm = FTopFlangePointYm = FTopFlangePointZm = 0.0;
    FBotFlangePointXm = FBotFlangePointYm = FBotFlangePointZm = 0.0;
    FCurveSmoothing = TFreqBands::fbOneSixOctave;
}

TUserPreset* TCabModel::AddUserPreset() {
    const std::string breadcrumb = "-----------------------CabModel.AddUseProcess";
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->SetLastLogString(breadcrumb); // also the debug log
    } else {
        DebugLog(breadcrumb);
    }
    auto preset = std::make_unique<TUserPreset>(FDSPSpace.get());
    FDSPPresets.push_back(preset.get());
    TUserPreset* result = preset.release();
    result->SetNumberID(static_cast<int32_t>(FDSPPresets.size()));
    result->SetNSourcePoints(FNSourcePoints);
    result->SetName("No Name " + std::to_string(result->NumberID()));
    result->SetInfo("");
    return result;
}

void TCabModel::DeleteUserPreset(TUserPreset*& UserPreset) {
    const auto it = std::find(FDSPPresets.begin(), FDSPPresets.end(), UserPreset);
    if (it == FDSPPresets.end()) {
        return; // not one of this model's presets: its owner frees it
    }
    FDSPPresets.erase(it);
    delete UserPreset;
    UserPreset = nullptr;
}

std::vector<std::string> TCabModel::GetInternalPresetNames() const {
    std::vector<std::string> lines;
    lines.reserve(FDSPPresets.size());
    for (const TUserPreset* preset : FDSPPresets) {
        lines.push_back(std::to_string(preset->NumberID()) + " : " + preset->Name());
    }
    return lines;
}

void TCabModel::GiveLengthToPolars() {
    // The map kernel of every cabinet of this model indexes the polar data.
    const TWorkersPause pause(FMyAcousticProject);
    const size_t points = checkedCount(FDSPSpace->NRealFreqPoints());
    FPolarData.resize(checkedCount(FNPolarSets));
    for (auto& set : FPolarData) {
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
    const size_t points = checkedCount(FDSPSpace->NRealFreqPoints());
    for (TUserPreset* preset : FDSPPresets) {
        for (int32_t i = 0; i < FNSourcePoints; ++i) {
            At(preset->EQTransferFunction(), i)->SetResponseLength(points);
        }
    }
}

float TCabModel::MaxDbuGlobal() const {
    float result = 0.0f;
    for (const auto& set : FPolarProperties) {
        result = std::max(result, set->MaxDbuSPL());
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
    while (FSourcePoint.size() > count) {
        FSourcePoint.pop_back();
    }
    while (FSourcePoint.size() < count) {
        FSourcePoint.push_back(
            std::make_unique<TSourcePoint>(FDSPSpace.get(), FPhysicalSpace, FMyAcousticProject, nullptr));
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
    while (FPolarProperties.size() > count) {
        FPolarProperties.pop_back();
    }
    while (FPolarProperties.size() < count) {
        FPolarProperties.push_back(std::make_unique<TPolarProperties>(
            static_cast<int32_t>(FPolarProperties.size()), FDSPSpace->NRealFreqPoints()));
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
    FOriginCenters.resize(checkedCount(Value));
    FNOriginCenters = Value;
}

TRigFrameModel::TRigFrameModel(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {}

TRigFrameModel::~TRigFrameModel() = default;

void TRigFrameModel::SetNPickPoints(int32_t Value) {
    if (Value == FNPickPoints) {
        return;
    }
    FPickPoints.resize(checkedCount(Value));
    FNPickPoints = Value;
}

void TRigFrameModel::SetPickPoint(size_t Index, const TPoint3D& Value) {
    FPickPoints.at(Index) = Value;
}

void TRigFrameModel::SetPickPoints(std::vector<TPoint3D> Value) {
    FNPickPoints = static_cast<int32_t>(Value.size());
    FPickPoints = std::move(Value);
}

} // namespace vendrel
