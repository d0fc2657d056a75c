#pragma once
// Loudspeaker and rigging-frame models of the library: identity, box and mass, array anchors and
// rules, acoustic sources with their measured directivity, and processing presets. The library
// readers fill them; placed objects and the map computation only read them.

#include "platform/core/view_link.h"
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "acoustics/user_preset.h"
#include "dsp/dsp_space.h"

namespace vendrel {

class TDSPSpace;
class TPhysicalSpace;
class TAcousticProject;
class TSourcePoint;
struct TPoint3D;
class TModel3D;
enum class TMeasureSystemBrand : uint8_t;

enum class TCabinetType : uint8_t {
    qzaCabinet,
    qzaLineArray,
    qzaLineArraySub,
    qzaColumn,
    qzaSub,
    qzaMonitor,
    qzaColumnSub,
    qzaCeiling,
    qzaCeilingSub
};
enum class TJoinType : uint8_t { qzaFrontJoin, qzaBackJoin, qzaTopHat };
enum class TCabPlacement : uint8_t { qzaVertical, qzaHorizontal };
enum class TDirRotation : uint8_t { qzaClockwise, qzaAntiClockwise };
enum class TBeamProcessType : uint8_t { qzaNoProcess, qzaFIRProcess, qzaDelayAndIIR };
enum class TQzPolarSymetry : uint8_t { qzFullSphere };
enum class TPickPointType : uint8_t { qzaFixedPoint, qzaWithAdapter };
enum class TRiggingType : uint8_t {
    qzaFly,
    qzaStack,
    qzaLinkCabinets,
    qzaFlyPointAdapter,
    qzaStandFlangeUpDown,
    qzaStandFlangeDown,
    qzaStandFlangeUp,
    qzaBottomArray
};

// A polar resolution or direction count that the map computation could not index safely.
class EPolarLayoutError : public std::runtime_error {
public:
    explicit EPolarLayoutError(const std::string& what) : std::runtime_error(what) {}
};

// Names kept in the models' short-string fields hold at most this many characters.
constexpr size_t kShortNameLength = 25;

// A rotation centre offered by a cabinet model (model coordinates, Y up).
struct rOriginCenterPoint {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    std::string Name; // at most 25 characters
    std::array<uint8_t, 70> NewData{};
};

// One measured direction of a polar set: linear magnitude and phase in radians per point of the
// model's grid.
struct rPolarData {
    float DegAzimuth = 0.0f;
    float DegElevation = 0.0f;
    std::vector<float> MagnitudePerFreq;
    std::vector<float> PhasePerFreq;
    std::array<uint8_t, 8> NewData{};
};

// The properties of one polar data set of a cabinet model.
class TPolarProperties {
public:
    // Value: the set number (from 0). FreqPoints is accepted and not used.
    TPolarProperties(int32_t Value, int32_t FreqPoints);

    int32_t LowFreqCutoff() const { return FLowFreqCutoff; } // Hz
    void SetLowFreqCutoff(int32_t Value) { FLowFreqCutoff = Value; }
    int32_t HiFreqCutoff() const { return FHiFreqCutoff; } // Hz
    void SetHiFreqCutoff(int32_t Value) { FHiFreqCutoff = Value; }
    const std::string& Name() const { return FName; } // at most 25 characters
    void SetName(std::string Value) { FName = std::move(Value); }
    // Measurement source of the set's data.
    TMeasureSystemBrand FileType() const { return FFileType; }
    void SetFileType(TMeasureSystemBrand Value) { FFileType = Value; }
    // The panel that shows the set, not owned.
    TViewLink& GraphicalInterface() { return FGraphicalInterface; }
    const TViewLink& GraphicalInterface() const { return FGraphicalInterface; }
    int32_t ID() const { return FID; } // set number
    void SetID(int32_t Value) { FID = Value; }
    float MaxDbuSPL() const { return FMaxDbuSPL; } // dB
    void SetMaxDbuSPL(float Value) { FMaxDbuSPL = Value; }
    // The set's equaliser: used slots (0..4) and, per slot, as the model file stores them.
    uint8_t NPeqs() const { return FNPeqs; }
    void SetNPeqs(uint8_t Value) { FNPeqs = Value; }
    const std::array<bool, 4>& Active() const { return FActive; }
    void SetActive(const std::array<bool, 4>& Value) { FActive = Value; }
    const std::array<uint8_t, 4>& PeqType() const { return FPeqType; }
    void SetPeqType(const std::array<uint8_t, 4>& Value) { FPeqType = Value; }
    const std::array<uint16_t, 4>& Freq() const { return FFreq; } // Hz
    void SetFreq(const std::array<uint16_t, 4>& Value) { FFreq = Value; }
    const std::array<uint8_t, 4>& Q() const { return FQ; }
    void SetQ(const std::array<uint8_t, 4>& Value) { FQ = Value; }
    const std::array<int16_t, 4>& Gain() const { return FGain; }
    void SetGain(const std::array<int16_t, 4>& Value) { FGain = Value; }
    float SensitivityOneWOneM() const { return FSensitivityOneWOneM; } // dB at 1 W / 1 m
    void SetSensitivityOneWOneM(float Value) { FSensitivityOneWOneM = Value; }
    float PowerMax() const { return FPowerMax; } // W
    void SetPowerMax(float Value) { FPowerMax = Value; }
    int32_t FFTStartFreq() const { return FFFTStartFreq; } // Hz
    void SetFFTStartFreq(int32_t Value) { FFFTStartFreq = Value; }
    float DistanceToMic_meters() const { return FDistanceToMic_meters; }
    void SetDistanceToMic_meters(float Value) { FDistanceToMic_meters = Value; }
    bool PhaseCompensated() const { return FPhaseCompensated; }
    void SetPhaseCompensated(bool Value) { FPhaseCompensated = Value; }
    const std::array<bool, 18>& NewData() const { return FNewData; }
    void SetNewData(const std::array<bool, 18>& Value) { FNewData = Value; }

private:
    int32_t FLowFreqCutoff = 20;
    int32_t FHiFreqCutoff = 20000;
    std::string FName;
    TMeasureSystemBrand FFileType{};
    TViewLink FGraphicalInterface;
    int32_t FID = 0;
    float FMaxDbuSPL = 122.0f;
    uint8_t FNPeqs = 0;
    std::array<bool, 4> FActive{};
    std::array<uint8_t, 4> FPeqType{};
    std::array<uint16_t, 4> FFreq{};
    std::array<uint8_t, 4> FQ{};
    std::array<int16_t, 4> FGain{};
    float FSensitivityOneWOneM = 95.01f;
    float FPowerMax = 500.0f;
    int32_t FFFTStartFreq = 20;
    float FDistanceToMic_meters = 0.0f;
    bool FPhaseCompensated = false;
    std::array<bool, 18> FNewData{};
};

// PolarData[set][elevation slice][azimuth index].
using TPolarDataSets = std::vector<std::vector<std::vector<rPolarData>>>;

class TCabModel {
public:
    TCabModel(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner);
    ~TCabModel();
    TCabModel(const TCabModel&) = delete;
    TCabModel& operator=(const TCabModel&) = delete;

    void Reset();

    // Presets.
    TUserPreset* AddUserPreset();
    // Takes a preset a reader built; it gets no new number.
    void AdoptUserPreset(std::unique_ptr<TUserPreset> Preset) { FDSPPresets.push_back(Preset.release()); }
    void DeleteUserPreset(TUserPreset*& UserPreset);
    // One line per preset: "<NumberID> : <Name>".
    std::vector<std::string> GetInternalPresetNames() const;
    int32_t NDSPPresets() const { return static_cast<int32_t>(FDSPPresets.size()); }

    // Re-size the per-frequency arrays to the grid after a count or the grid changed.
    void GiveLengthToPolars();
    void GiveLengthToPresetsTransferF();

    float MaxDbuGlobal() const;

    // Raises EPolarLayoutError unless the slice and measure counts cover half and a whole turn at the
    // model's resolution: the map computation indexes the polar data on that assumption. Readers that
    // set the counts one by one call it once the model is filled.
    void CheckPolarLayout() const;

    // Preview position in metres, clamped to the venue; pixel mirrors kept (Yp from the top).
    double Xm() const { return FXm; }
    double Ym() const { return FYm; }
    double Zm() const { return FZm; }
    void SetXm(double Value);
    void SetYm(double Value);
    void SetZm(double Value);
    double Xp() const { return FXp; }
    double Yp() const { return FYp; }
    double Zp() const { return FZp; }

    // Counts that govern the arrays: set them before writing the arrays.
    int32_t NSourcePoints() const { return FNSourcePoints; }
    void SetNSourcePoints(int32_t Value);
    int32_t NPolarSets() const { return FNPolarSets; }
    void SetNPolarSets(int32_t Value);
    int32_t PolarResolutionDegrees() const { return FPolarResolutionDegrees; }
    // 0 is ignored; a resolution that does not divide 180 degrees is refused (EPolarLayoutError).
    void SetPolarResolutionDegrees(int32_t Value);
    int32_t NPolarElevSlices() const { return FNPolarElevSlices; }
    void SetNPolarElevSlices(int32_t Value);
    int32_t NPolarAzMeasures() const { return FNPolarAzMeasures; }
    void SetNPolarAzMeasures(int32_t Value);
    int32_t NOriginCenters() const { return FNOriginCenters; }
    void SetNOriginCenters(int32_t Value);
    void SetPolarSourceType(TMeasureSystemBrand Value) { FPolarSourceType = Value; }

    // Preview position as the library stores it (metres, not clamped), and the pixel mirrors for a
    // pixel size; neither runs the setters' clamping.
    void StorePreviewPosition(double X, double Y, double Z) {
        FXm = X;
        FYm = Y;
        FZm = Z;
    }
    void RescalePreviewToPixelSize(double PixelToMeters) {
        FXp = FXm / PixelToMeters;
        FYp = FYm / PixelToMeters;
        FZp = FZm / PixelToMeters;
    }
    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }

    // Identity and documents.
    const std::string& Manufacturer() const { return FManufacturer; }
    void SetManufacturer(std::string Value) { FManufacturer = std::move(Value); }
    const std::string& SerieName() const { return FSerieName; }
    void SetSerieName(std::string Value) { FSerieName = std::move(Value); }
    const std::string& ModelName() const { return FModelName; }
    void SetModelName(std::string Value) { FModelName = std::move(Value); }
    const std::string& VariantName() const { return FVariantName; }
    void SetVariantName(std::string Value) { FVariantName = std::move(Value); }
    const std::string& Comments() const { return FComments; }
    void SetComments(std::string Value) { FComments = std::move(Value); }
    const std::string& CreatedBy() const { return FCreatedBy; }
    void SetCreatedBy(std::string Value) { FCreatedBy = std::move(Value); }
    uint8_t ModelUpdateVersion() const { return FModelUpdateVersion; }
    void SetModelUpdateVersion(uint8_t Value) { FModelUpdateVersion = Value; }
    const std::string& FileName() const { return FFileName; }
    void SetFileName(std::string Value) { FFileName = std::move(Value); }
    const std::string& LinkToDataSheet() const { return FLinkToDataSheet; }
    void SetLinkToDataSheet(std::string Value) { FLinkToDataSheet = std::move(Value); }
    const std::string& LinkToManual() const { return FLinkToManual; }
    void SetLinkToManual(std::string Value) { FLinkToManual = std::move(Value); }
    int32_t ModelID() const { return FModelID; }
    void SetModelID(int32_t Value) { FModelID = Value; }
    TCabinetType CabinetType() const { return FCabinetType; }
    void SetCabinetType(TCabinetType Value) { FCabinetType = Value; }
    bool IsPasive() const { return FIsPasive; }
    void SetIsPasive(bool Value) { FIsPasive = Value; }
    bool HasModelPicture() const { return FHasModelPicture; }
    void SetHasModelPicture(bool Value) { FHasModelPicture = Value; }
    bool HasSerieLogo() const { return FHasSerieLogo; }
    void SetHasSerieLogo(bool Value) { FHasSerieLogo = Value; }
    bool HasManufacturerLogo() const { return FHasManufacturerLogo; }
    void SetHasManufacturerLogo(bool Value) { FHasManufacturerLogo = Value; }

    // Box and mass; model coordinates have Y up.
    double Weight() const { return FWeight; }
    void SetWeight(double Value) { FWeight = Value; }
    double Width() const { return FWidth; }
    void SetWidth(double Value) { FWidth = Value; }
    double Height() const { return FHeight; }
    void SetHeight(double Value) { FHeight = Value; }
    double Depth() const { return FDepth; }
    void SetDepth(double Value) { FDepth = Value; }
    TModel3D* Object3D() const { return FObject3D; } // the model's 3D mesh, owned by the library side
    void SetObject3D(TModel3D* Value) { FObject3D = Value; }
    double GravityCenterXm() const { return FGravityCenterXm; }
    void SetGravityCenterXm(double Value) { FGravityCenterXm = Value; }
    double GravityCenterYm() const { return FGravityCenterYm; }
    void SetGravityCenterYm(double Value) { FGravityCenterYm = Value; }
    double GravityCenterZm() const { return FGravityCenterZm; }
    void SetGravityCenterZm(double Value) { FGravityCenterZm = Value; }
    double AcousticCenterXm() const { return FAcousticCenterXm; }
    void SetAcousticCenterXm(double Value) { FAcousticCenterXm = Value; }
    double AcousticCenterYm() const { return FAcousticCenterYm; }
    void SetAcousticCenterYm(double Value) { FAcousticCenterYm = Value; }
    double AcousticCenterZm() const { return FAcousticCenterZm; }
    void SetAcousticCenterZm(double Value) { FAcousticCenterZm = Value; }
    double AcousticRotationRadX() const { return FAcousticRotationRadX; }
    void SetAcousticRotationRadX(double Value) { FAcousticRotationRadX = Value; }
    double AcousticRotationRadY() const { return FAcousticRotationRadY; }
    void SetAcousticRotationRadY(double Value) { FAcousticRotationRadY = Value; }
    double AcousticRotationRadZ() const { return FAcousticRotationRadZ; }
    void SetAcousticRotationRadZ(double Value) { FAcousticRotationRadZ = Value; }

    // Anchors for arrays.
    double FrontTopRotPointXm() const { return FFrontTopRotPointXm; }
    void SetFrontTopRotPointXm(double Value) { FFrontTopRotPointXm = Value; }
    double FrontTopRotPointYm() const { return FFrontTopRotPointYm; }
    void SetFrontTopRotPointYm(double Value) { FFrontTopRotPointYm = Value; }
    double FrontTopRotPointZm() const { return FFrontTopRotPointZm; }
    void SetFrontTopRotPointZm(double Value) { FFrontTopRotPointZm = Value; }
    double FrontBotRotPointXm() const { return FFrontBotRotPointXm; }
    void SetFrontBotRotPointXm(double Value) { FFrontBotRotPointXm = Value; }
    double FrontBotRotPointYm() const { return FFrontBotRotPointYm; }
    void SetFrontBotRotPointYm(double Value) { FFrontBotRotPointYm = Value; }
    double FrontBotRotPointZm() const { return FFrontBotRotPointZm; }
    void SetFrontBotRotPointZm(double Value) { FFrontBotRotPointZm = Value; }
    double BackTopRotPointXm() const { return FBackTopRotPointXm; }
    void SetBackTopRotPointXm(double Value) { FBackTopRotPointXm = Value; }
    double BackTopRotPointYm() const { return FBackTopRotPointYm; }
    void SetBackTopRotPointYm(double Value) { FBackTopRotPointYm = Value; }
    double BackTopRotPointZm() const { return FBackTopRotPointZm; }
    void SetBackTopRotPointZm(double Value) { FBackTopRotPointZm = Value; }
    double BackBotRotPointXm() const { return FBackBotRotPointXm; }
    void SetBackBotRotPointXm(double Value) { FBackBotRotPointXm = Value; }
    double BackBotRotPointYm() const { return FBackBotRotPointYm; }
    void SetBackBotRotPointYm(double Value) { FBackBotRotPointYm = Value; }
    double BackBotRotPointZm() const { return FBackBotRotPointZm; }
    void SetBackBotRotPointZm(double Value) { FBackBotRotPointZm = Value; }
    double TopFlangePointXm() const { return FTopFlangePointXm; }
    void SetTopFlangePointXm(double Value) { FTopFlangePointXm = Value; }
    double TopFlangePointYm() const { return FTopFlangePointYm; }
    void SetTopFlangePointYm(double Value) { FTopFlangePointYm = Value; }
    double TopFlangePointZm() const { return FTopFlangePointZm; }
    void SetTopFlangePointZm(double Value) { FTopFlangePointZm = Value; }
    double BotFlangePointXm() const { return FBotFlangePointXm; }
    void SetBotFlangePointXm(double Value) { FBotFlangePointXm = Value; }
    double BotFlangePointYm() const { return FBotFlangePointYm; }
    void SetBotFlangePointYm(double Value) { FBotFlangePointYm = Value; }
    double BotFlangePointZm() const { return FBotFlangePointZm; }
    void SetBotFlangePointZm(double Value) { FBotFlangePointZm = Value; }
    TJoinType JoinType() const { return FJoinType; }
    void SetJoinType(TJoinType Value) { FJoinType = Value; }
    bool HasTopFlange() const { return FHasTopFlange; }
    void SetHasTopFlange(bool Value) { FHasTopFlange = Value; }
    bool HasBotFlange() const { return FHasBotFlange; }
    void SetHasBotFlange(bool Value) { FHasBotFlange = Value; }

    // Rotation centres.
    // SetNOriginCenters sizes the list.
    const std::vector<rOriginCenterPoint>& OriginCenters() const { return FOriginCenters; }
    void SetOriginCenter(size_t Index, rOriginCenterPoint Value) {
        FOriginCenters.at(Index) = std::move(Value);
    }
    int32_t DefaultOriginPoint() const { return FDefaultOriginPoint; }
    void SetDefaultOriginPoint(int32_t Value) { FDefaultOriginPoint = Value; }

    // Array rules.
    TCabPlacement DefaultPlacement() const { return FDefaultPlacement; }
    void SetDefaultPlacement(TCabPlacement Value) { FDefaultPlacement = Value; }
    bool AllowFly() const { return FAllowFly; }
    void SetAllowFly(bool Value) { FAllowFly = Value; }
    bool AllowStack() const { return FAllowStack; }
    void SetAllowStack(bool Value) { FAllowStack = Value; }
    bool AllowHorizCluster() const { return FAllowHorizCluster; }
    void SetAllowHorizCluster(bool Value) { FAllowHorizCluster = Value; }
    bool AllowVertCluster() const { return FAllowVertCluster; }
    void SetAllowVertCluster(bool Value) { FAllowVertCluster = Value; }
    bool CanChangeDirectionFlown() const { return FCanChangeDirectionFlown; }
    void SetCanChangeDirectionFlown(bool Value) { FCanChangeDirectionFlown = Value; }
    bool CanChangeDirectionStack() const { return FCanChangeDirectionStack; }
    void SetCanChangeDirectionStack(bool Value) { FCanChangeDirectionStack = Value; }
    TDirRotation DirectionOfRotation() const { return FDirectionOfRotation; }
    void SetDirectionOfRotation(TDirRotation Value) { FDirectionOfRotation = Value; }
    int32_t NAnglesFlown() const { return FNAnglesFlown; }
    void SetNAnglesFlown(int32_t Value) { FNAnglesFlown = Value; }
    int32_t NAnglesOnFirstCabFlown() const { return FNAnglesOnFirstCabFlown; }
    void SetNAnglesOnFirstCabFlown(int32_t Value) { FNAnglesOnFirstCabFlown = Value; }
    int32_t NAnglesStack() const { return FNAnglesStack; }
    void SetNAnglesStack(int32_t Value) { FNAnglesStack = Value; }
    int32_t NAnglesOnFirstCabStack() const { return FNAnglesOnFirstCabStack; }
    void SetNAnglesOnFirstCabStack(int32_t Value) { FNAnglesOnFirstCabStack = Value; }
    int32_t NAnglesBotFlange() const { return FNAnglesBotFlange; }
    void SetNAnglesBotFlange(int32_t Value) { FNAnglesBotFlange = Value; }
    int32_t NAnglesHCluster() const { return FNAnglesHCluster; }
    void SetNAnglesHCluster(int32_t Value) { FNAnglesHCluster = Value; }
    int32_t NAnglesOnFirstCabHCluster() const { return FNAnglesOnFirstCabHCluster; }
    void SetNAnglesOnFirstCabHCluster(int32_t Value) { FNAnglesOnFirstCabHCluster = Value; }
    const std::vector<double>& AllowedAnglesFlown() const { return FAllowedAnglesFlown; }
    void SetAllowedAnglesFlown(std::vector<double> Value) { FAllowedAnglesFlown = std::move(Value); }
    const std::vector<double>& AllowedAnglesFirstCabFlown() const { return FAllowedAnglesFirstCabFlown; }
    void SetAllowedAnglesFirstCabFlown(std::vector<double> Value) {
        FAllowedAnglesFirstCabFlown = std::move(Value);
    }
    const std::vector<double>& AllowedAnglesStack() const { return FAllowedAnglesStack; }
    void SetAllowedAnglesStack(std::vector<double> Value) { FAllowedAnglesStack = std::move(Value); }
    const std::vector<double>& AllowedAnglesFirstCabStack() const { return FAllowedAnglesFirstCabStack; }
    void SetAllowedAnglesFirstCabStack(std::vector<double> Value) {
        FAllowedAnglesFirstCabStack = std::move(Value);
    }
    const std::vector<double>& AllowedAnglesBotFlange() const { return FAllowedAnglesBotFlange; }
    void SetAllowedAnglesBotFlange(std::vector<double> Value) { FAllowedAnglesBotFlange = std::move(Value); }
    const std::vector<double>& AllowedAnglesHCluster() const { return FAllowedAnglesHCluster; }
    void SetAllowedAnglesHCluster(std::vector<double> Value) { FAllowedAnglesHCluster = std::move(Value); }
    const std::vector<double>& AllowedAnglesFirstCabHCluster() const {
        return FAllowedAnglesFirstCabHCluster;
    }
    void SetAllowedAnglesFirstCabHCluster(std::vector<double> Value) {
        FAllowedAnglesFirstCabHCluster = std::move(Value);
    }
    int32_t MaxSupCabsFlown() const { return FMaxSupCabsFlown; }
    void SetMaxSupCabsFlown(int32_t Value) { FMaxSupCabsFlown = Value; }
    int32_t MaxSupCabsStacked() const { return FMaxSupCabsStacked; }
    void SetMaxSupCabsStacked(int32_t Value) { FMaxSupCabsStacked = Value; }
    int32_t MaxSupCabsHCluster() const { return FMaxSupCabsHCluster; }
    void SetMaxSupCabsHCluster(int32_t Value) { FMaxSupCabsHCluster = Value; }
    int32_t NTopAssemblies() const { return FNTopAssemblies; }
    void SetNTopAssemblies(int32_t Value) { FNTopAssemblies = Value; }
    int32_t NBotAssemblies() const { return FNBotAssemblies; }
    void SetNBotAssemblies(int32_t Value) { FNBotAssemblies = Value; }
    const std::vector<std::string>& AllowedTopAssemblies() const { return FAllowedTopAssemblies; }
    void SetAllowedTopAssemblies(std::vector<std::string> Value) { FAllowedTopAssemblies = std::move(Value); }
    const std::vector<std::string>& AllowedBotAssemblies() const { return FAllowedBotAssemblies; }
    void SetAllowedBotAssemblies(std::vector<std::string> Value) { FAllowedBotAssemblies = std::move(Value); }
    const std::vector<std::string>& AllowedTopVariant() const { return FAllowedTopVariant; }
    void SetAllowedTopVariant(std::vector<std::string> Value) { FAllowedTopVariant = std::move(Value); }
    const std::vector<std::string>& AllowedBotVariant() const { return FAllowedBotVariant; }
    void SetAllowedBotVariant(std::vector<std::string> Value) { FAllowedBotVariant = std::move(Value); }
    const std::vector<int32_t>& AllowedTopIfParentIsLessThan() const { return FAllowedTopIfParentIsLessThan; }
    void SetAllowedTopIfParentIsLessThan(std::vector<int32_t> Value) {
        FAllowedTopIfParentIsLessThan = std::move(Value);
    }
    const std::vector<int32_t>& AllowedBotIfParentIsLessThan() const { return FAllowedBotIfParentIsLessThan; }
    void SetAllowedBotIfParentIsLessThan(std::vector<int32_t> Value) {
        FAllowedBotIfParentIsLessThan = std::move(Value);
    }
    int32_t NTopRigFrames() const { return FNTopRigFrames; }
    void SetNTopRigFrames(int32_t Value) { FNTopRigFrames = Value; }
    int32_t NBotRigFrames() const { return FNBotRigFrames; }
    void SetNBotRigFrames(int32_t Value) { FNBotRigFrames = Value; }
    // Frame model names.
    const std::vector<std::string>& TopRigFrame() const { return FTopRigFrame; }
    void SetTopRigFrame(std::vector<std::string> Value) { FTopRigFrame = std::move(Value); }
    const std::vector<std::string>& BotRigFrame() const { return FBotRigFrame; }
    void SetBotRigFrame(std::vector<std::string> Value) { FBotRigFrame = std::move(Value); }
    int32_t NTopAdapters() const { return FNTopAdapters; }
    void SetNTopAdapters(int32_t Value) { FNTopAdapters = Value; }
    int32_t NBotAdapters() const { return FNBotAdapters; }
    void SetNBotAdapters(int32_t Value) { FNBotAdapters = Value; }
    const std::vector<std::string>& TopAdapters() const { return FTopAdapters; }
    void SetTopAdapters(std::vector<std::string> Value) { FTopAdapters = std::move(Value); }
    const std::vector<std::string>& BotAdapters() const { return FBotAdapters; }
    void SetBotAdapters(std::vector<std::string> Value) { FBotAdapters = std::move(Value); }
    const std::vector<uint8_t>& MinCabsToUseTopAdapters() const { return FMinCabsToUseTopAdapters; }
    void SetMinCabsToUseTopAdapters(std::vector<uint8_t> Value) {
        FMinCabsToUseTopAdapters = std::move(Value);
    }
    const std::vector<uint8_t>& MinCabsToUseBotAdapters() const { return FMinCabsToUseBotAdapters; }
    void SetMinCabsToUseBotAdapters(std::vector<uint8_t> Value) {
        FMinCabsToUseBotAdapters = std::move(Value);
    }

    // Horn and coverage.
    bool AllowHornRotation() const { return FAllowHornRotation; }
    void SetAllowHornRotation(bool Value) { FAllowHornRotation = Value; }
    // Decimal digits name the rotatable source points.
    int32_t SourceOfHornRotation() const { return FSourceOfHornRotation; }
    void SetSourceOfHornRotation(int32_t Value) { FSourceOfHornRotation = Value; }
    const std::string& DefaultCoverageText() const { return FDefaultCoverageText; }
    void SetDefaultCoverageText(std::string Value) { FDefaultCoverageText = std::move(Value); }
    const std::string& SecondCoverageText() const { return FSecondCoverageText; }
    void SetSecondCoverageText(std::string Value) { FSecondCoverageText = std::move(Value); }
    int32_t CoverageH() const { return FCoverageH; }
    void SetCoverageH(int32_t Value) { FCoverageH = Value; }
    int32_t CoverageV() const { return FCoverageV; }
    void SetCoverageV(int32_t Value) { FCoverageV = Value; }

    // Acoustic sources and directivity.
    TMeasureSystemBrand PolarSourceType() const { return FPolarSourceType; }
    // Owned, created with no cabinet; SetNSourcePoints sizes the list.
    const std::vector<std::unique_ptr<TSourcePoint>>& SourcePoint() const { return FSourcePoint; }
    // Owned, one per set; SetNPolarSets sizes the list.
    const std::vector<std::unique_ptr<TPolarProperties>>& PolarProperties() const { return FPolarProperties; }
    // The sets' directions; the counts size them, the readers fill them one direction at a time.
    const TPolarDataSets& PolarData() const { return FPolarData; }
    void SetPolarPoint(size_t Set, size_t Slice, size_t Measure, rPolarData Value) {
        FPolarData.at(Set).at(Slice).at(Measure) = std::move(Value);
    }
    int32_t NImportElevPolarSlices() const { return FNImportElevPolarSlices; }
    void SetNImportElevPolarSlices(int32_t Value) { FNImportElevPolarSlices = Value; }
    int32_t NImportAzPolarMeasures() const { return FNImportAzPolarMeasures; }
    void SetNImportAzPolarMeasures(int32_t Value) { FNImportAzPolarMeasures = Value; }
    TQzPolarSymetry PolarSourceSymetry() const { return FPolarSourceSymetry; }
    void SetPolarSourceSymetry(TQzPolarSymetry Value) { FPolarSourceSymetry = Value; }
    bool IsWrappedPhase() const { return FIsWrappedPhase; }
    void SetIsWrappedPhase(bool Value) { FIsWrappedPhase = Value; }
    bool UseRealPhase() const { return FUseRealPhase; }
    void SetUseRealPhase(bool Value) { FUseRealPhase = Value; }
    TDSPSpace* DSPSpace() const { return FDSPSpace.get(); } // the model's own grid, 1/6-octave spacing
    TFreqBands CurveSmoothing() const { return FCurveSmoothing; }
    void SetCurveSmoothing(TFreqBands Value) { FCurveSmoothing = Value; }

    // Processing presets. The list does not own them: the model frees them itself.
    int32_t DefaultPreset() const { return FDefaultPreset; }
    void SetDefaultPreset(int32_t Value) { FDefaultPreset = Value; }
    bool IsNormalizedPresetReference() const { return FIsNormalizedPresetReference; }
    void SetIsNormalizedPresetReference(bool Value) { FIsNormalizedPresetReference = Value; }
    bool IsEmbebedPresetInMeasures() const { return FIsEmbebedPresetInMeasures; }
    void SetIsEmbebedPresetInMeasures(bool Value) { FIsEmbebedPresetInMeasures = Value; }
    bool IsMultiPreset() const { return FIsMultiPreset; }
    void SetIsMultiPreset(bool Value) { FIsMultiPreset = Value; }
    const std::vector<TUserPreset*>& DSPPresets() const { return FDSPPresets; }
    TTransferFunctionProcess* BypassProcess() const { return FBypassProcess.get(); }
    bool UseMeasSetReference() const { return FUseMeasSetReference; }
    void SetUseMeasSetReference(bool Value) { FUseMeasSetReference = Value; }
    uint8_t RefSetSPL() const { return FRefSetSPL; }
    void SetRefSetSPL(uint8_t Value) { FRefSetSPL = Value; }
    uint8_t RefSetLatency() const { return FRefSetLatency; }
    void SetRefSetLatency(uint8_t Value) { FRefSetLatency = Value; }
    int32_t ADDASampleLatency() const { return FADDASampleLatency; }
    void SetADDASampleLatency(int32_t Value) { FADDASampleLatency = Value; }

    // Beam steering.
    bool AllowsBeamSteering() const { return FAllowsBeamSteering; }
    void SetAllowsBeamSteering(bool Value) { FAllowsBeamSteering = Value; }
    TBeamProcessType BeamProcessType() const { return FBeamProcessType; }
    void SetBeamProcessType(TBeamProcessType Value) { FBeamProcessType = Value; }
    int32_t FIRTapsPerSource() const { return FFIRTapsPerSource; }
    void SetFIRTapsPerSource(int32_t Value) { FFIRTapsPerSource = Value; }

private:
    std::string FManufacturer, FSerieName, FModelName, FVariantName, FComments, FCreatedBy;
    uint8_t FModelUpdateVersion = 1;
    std::string FFileName, FLinkToDataSheet, FLinkToManual;
    int32_t FModelID = 0;
    TCabinetType FCabinetType = TCabinetType::qzaCabinet;
    bool FIsPasive = true;
    bool FHasModelPicture = false, FHasSerieLogo = false, FHasManufacturerLogo = false;

    double FWeight = 0.0, FWidth = 0.0, FHeight = 0.0, FDepth = 0.0;
    TModel3D* FObject3D = nullptr;
    double FGravityCenterXm = 0.0, FGravityCenterYm = 0.0, FGravityCenterZm = 0.0;
    double FAcousticCenterXm = 0.0, FAcousticCenterYm = 0.0, FAcousticCenterZm = 0.0;
    double FAcousticRotationRadX = 0.0, FAcousticRotationRadY = 0.0, FAcousticRotationRadZ = 0.0;

    double FFrontTopRotPointXm = 0.0, FFrontTopRotPointYm = 0.0, FFrontTopRotPointZm = 0.0;
    double FFrontBotRotPointXm = 0.0, FFrontBotRotPointYm = 0.0, FFrontBotRotPointZm = 0.0;
    double FBackTopRotPointXm = 0.0, FBackTopRotPointYm = 0.0, FBackTopRotPointZm = 0.0;
    double FBackBotRotPointXm = 0.0, FBackBotRotPointYm = 0.0, FBackBotRotPointZm = 0.0;
    double FTopFlangePointXm = 0.0, FTopFlangePointYm = 0.0, FTopFlangePointZm = 0.0;
    double FBotFlangePointXm = 0.0, FBotFlangePointYm = 0.0, FBotFlangePointZm = 0.0;
    TJoinType FJoinType = TJoinType::qzaFrontJoin;
    bool FHasTopFlange = false, FHasBotFlange = false;

    std::vector<rOriginCenterPoint> FOriginCenters;
    int32_t FDefaultOriginPoint = 0;

    TCabPlacement FDefaultPlacement = TCabPlacement::qzaVertical;
    bool FAllowFly = false, FAllowStack = false, FAllowHorizCluster = false, FAllowVertCluster = true;
    bool FCanChangeDirectionFlown = false, FCanChangeDirectionStack = false;
    TDirRotation FDirectionOfRotation = TDirRotation::qzaClockwise;
    int32_t FNAnglesFlown = 0, FNAnglesOnFirstCabFlown = 0, FNAnglesStack = 0, FNAnglesOnFirstCabStack = 0;
    int32_t FNAnglesBotFlange = 0, FNAnglesHCluster = 0, FNAnglesOnFirstCabHCluster = 0;
    std::vector<double> FAllowedAnglesFlown, FAllowedAnglesFirstCabFlown, FAllowedAnglesStack,
        FAllowedAnglesFirstCabStack, FAllowedAnglesBotFlange, FAllowedAnglesHCluster,
        FAllowedAnglesFirstCabHCluster;
    int32_t FMaxSupCabsFlown = 0, FMaxSupCabsStacked = 0, FMaxSupCabsHCluster = 0;
    int32_t FNTopAssemblies = 0, FNBotAssemblies = 0;
    std::vector<std::string> FAllowedTopAssemblies, FAllowedBotAssemblies, FAllowedTopVariant,
        FAllowedBotVariant;
    std::vector<int32_t> FAllowedTopIfParentIsLessThan, FAllowedBotIfParentIsLessThan;
    int32_t FNTopRigFrames = 0, FNBotRigFrames = 0;
    std::vector<std::string> FTopRigFrame, FBotRigFrame;
    int32_t FNTopAdapters = 0, FNBotAdapters = 0;
    std::vector<std::string> FTopAdapters, FBotAdapters;
    std::vector<uint8_t> FMinCabsToUseTopAdapters, FMinCabsToUseBotAdapters;

    bool FAllowHornRotation = false;
    int32_t FSourceOfHornRotation = 0;
    std::string FDefaultCoverageText, FSecondCoverageText;
    int32_t FCoverageH = 0, FCoverageV = 0;

    TMeasureSystemBrand FPolarSourceType{};
    std::vector<std::unique_ptr<TSourcePoint>> FSourcePoint;
    std::vector<std::unique_ptr<TPolarProperties>> FPolarProperties;
    TPolarDataSets FPolarData;
    int32_t FNImportElevPolarSlices = 0, FNImportAzPolarMeasures = 0;
    TQzPolarSymetry FPolarSourceSymetry = TQzPolarSymetry::qzFullSphere;
    bool FIsWrappedPhase = false;
    bool FUseRealPhase = true;
    std::unique_ptr<TDSPSpace> FDSPSpace;
    TFreqBands FCurveSmoothing = TFreqBands::fbOneSixOctave;

    int32_t FDefaultPreset = 1;
    bool FIsNormalizedPresetReference = false, FIsEmbebedPresetInMeasures = false, FIsMultiPreset = false;
    std::vector<TUserPreset*> FDSPPresets;
    std::unique_ptr<TTransferFunctionProcess> FBypassProcess;
    bool FUseMeasSetReference = false;
    uint8_t FRefSetSPL = 1, FRefSetLatency = 1;
    int32_t FADDASampleLatency = 0;

    bool FAllowsBeamSteering = false;
    TBeamProcessType FBeamProcessType = TBeamProcessType::qzaFIRProcess;
    int32_t FFIRTapsPerSource = 0;

    // Preview position.
    double FXm = 0.0, FYm = 0.0, FZm = 0.0;
    double FXp = 0.0, FYp = 0.0, FZp = 0.0;
    int32_t FNOriginCenters = 0;
    int32_t FNSourcePoints = 0;
    int32_t FNPolarSets = 0;
    int32_t FPolarResolutionDegrees = 0;
    int32_t FNPolarElevSlices = 0;
    int32_t FNPolarAzMeasures = 0;
    TPhysicalSpace* FPhysicalSpace = nullptr;       // shared medium, not owned
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
};

class TRigFrameModel {
public:
    TRigFrameModel(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner);
    ~TRigFrameModel();
    TRigFrameModel(const TRigFrameModel&) = delete;
    TRigFrameModel& operator=(const TRigFrameModel&) = delete;

    int32_t NPickPoints() const { return FNPickPoints; }
    void SetNPickPoints(int32_t Value);

    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }

    // Model coordinates, Y up (platform/core/geometry3d.h); SetNPickPoints sizes the list.
    const std::vector<TPoint3D>& PickPoints() const { return FPickPoints; }
    void SetPickPoint(size_t Index, const TPoint3D& Value);
    // The whole list; the count follows it.
    void SetPickPoints(std::vector<TPoint3D> Value);
    TPickPointType PickPointType() const { return FPickPointType; }
    void SetPickPointType(TPickPointType Value) { FPickPointType = Value; }
    const std::string& Manufacturer() const { return FManufacturer; }
    void SetManufacturer(std::string Value) { FManufacturer = std::move(Value); }
    const std::string& SerieName() const { return FSerieName; }
    void SetSerieName(std::string Value) { FSerieName = std::move(Value); }
    const std::string& ModelName() const { return FModelName; }
    void SetModelName(std::string Value) { FModelName = std::move(Value); }
    const std::string& VariantName() const { return FVariantName; }
    void SetVariantName(std::string Value) { FVariantName = std::move(Value); }
    uint8_t ModelUpdateVersion() const { return FModelUpdateVersion; }
    void SetModelUpdateVersion(uint8_t Value) { FModelUpdateVersion = Value; }
    double GravityCenterXm() const { return FGravityCenterXm; }
    void SetGravityCenterXm(double Value) { FGravityCenterXm = Value; }
    double GravityCenterYm() const { return FGravityCenterYm; }
    void SetGravityCenterYm(double Value) { FGravityCenterYm = Value; }
    double GravityCenterZm() const { return FGravityCenterZm; }
    void SetGravityCenterZm(double Value) { FGravityCenterZm = Value; }
    double FrontTopAnchorPointXm() const { return FFrontTopAnchorPointXm; }
    void SetFrontTopAnchorPointXm(double Value) { FFrontTopAnchorPointXm = Value; }
    double FrontTopAnchorPointYm() const { return FFrontTopAnchorPointYm; }
    void SetFrontTopAnchorPointYm(double Value) { FFrontTopAnchorPointYm = Value; }
    double FrontTopAnchorPointZm() const { return FFrontTopAnchorPointZm; }
    void SetFrontTopAnchorPointZm(double Value) { FFrontTopAnchorPointZm = Value; }
    double FrontBotAnchorPointXm() const { return FFrontBotAnchorPointXm; }
    void SetFrontBotAnchorPointXm(double Value) { FFrontBotAnchorPointXm = Value; }
    double FrontBotAnchorPointYm() const { return FFrontBotAnchorPointYm; }
    void SetFrontBotAnchorPointYm(double Value) { FFrontBotAnchorPointYm = Value; }
    double FrontBotAnchorPointZm() const { return FFrontBotAnchorPointZm; }
    void SetFrontBotAnchorPointZm(double Value) { FFrontBotAnchorPointZm = Value; }
    double BackTopAnchorPointXm() const { return FBackTopAnchorPointXm; }
    void SetBackTopAnchorPointXm(double Value) { FBackTopAnchorPointXm = Value; }
    double BackTopAnchorPointYm() const { return FBackTopAnchorPointYm; }
    void SetBackTopAnchorPointYm(double Value) { FBackTopAnchorPointYm = Value; }
    double BackTopAnchorPointZm() const { return FBackTopAnchorPointZm; }
    void SetBackTopAnchorPointZm(double Value) { FBackTopAnchorPointZm = Value; }
    double BackBotAnchorPointXm() const { return FBackBotAnchorPointXm; }
    void SetBackBotAnchorPointXm(double Value) { FBackBotAnchorPointXm = Value; }
    double BackBotAnchorPointYm() const { return FBackBotAnchorPointYm; }
    void SetBackBotAnchorPointYm(double Value) { FBackBotAnchorPointYm = Value; }
    double BackBotAnchorPointZm() const { return FBackBotAnchorPointZm; }
    void SetBackBotAnchorPointZm(double Value) { FBackBotAnchorPointZm = Value; }
    TRiggingType RiggingType() const { return FRiggingType; }
    void SetRiggingType(TRiggingType Value) { FRiggingType = Value; }
    const std::string& FileName() const { return FFileName; }
    void SetFileName(std::string Value) { FFileName = std::move(Value); }
    double Weight() const { return FWeight; }
    void SetWeight(double Value) { FWeight = Value; }
    double MaxSupportWeight() const { return FMaxSupportWeight; }
    void SetMaxSupportWeight(double Value) { FMaxSupportWeight = Value; }
    double Width() const { return FWidth; }
    void SetWidth(double Value) { FWidth = Value; }
    double Height() const { return FHeight; }
    void SetHeight(double Value) { FHeight = Value; }
    double Depth() const { return FDepth; }
    void SetDepth(double Value) { FDepth = Value; }
    TModel3D* Object3D() const { return FObject3D; } // the frame's 3D mesh, owned by the library side
    void SetObject3D(TModel3D* Value) { FObject3D = Value; }
    int32_t ModelID() const { return FModelID; }
    void SetModelID(int32_t Value) { FModelID = Value; }
    bool IsForTopHatUp() const { return FIsForTopHatUp; }
    void SetIsForTopHatUp(bool Value) { FIsForTopHatUp = Value; }
    bool IsForTopHatDown() const { return FIsForTopHatDown; }
    void SetIsForTopHatDown(bool Value) { FIsForTopHatDown = Value; }

private:
    std::vector<TPoint3D> FPickPoints;
    TPickPointType FPickPointType = TPickPointType::qzaFixedPoint;
    std::string FManufacturer, FSerieName, FModelName, FVariantName;
    uint8_t FModelUpdateVersion = 1;
    double FGravityCenterXm = 0.0, FGravityCenterYm = 0.0, FGravityCenterZm = 0.0;
    double FFrontTopAnchorPointXm = 0.0, FFrontTopAnchorPointYm = 0.0, FFrontTopAnchorPointZm = 0.0;
    double FFrontBotAnchorPointXm = 0.0, FFrontBotAnchorPointYm = 0.0, FFrontBotAnchorPointZm = 0.0;
    double FBackTopAnchorPointXm = 0.0, FBackTopAnchorPointYm = 0.0, FBackTopAnchorPointZm = 0.0;
    double FBackBotAnchorPointXm = 0.0, FBackBotAnchorPointYm = 0.0, FBackBotAnchorPointZm = 0.0;
    TRiggingType FRiggingType = TRiggingType::qzaFly;
    std::string FFileName;
    double FWeight = 0.0, FMaxSupportWeight = 0.0, FWidth = 0.0, FHeight = 0.0, FDepth = 0.0;
    TModel3D* FObject3D = nullptr;
    int32_t FModelID = 0;
    bool FIsForTopHatUp = false, FIsForTopHatDown = false;

    int32_t FNPickPoints = 0;
    TPhysicalSpace* FPhysicalSpace = nullptr;
    TAcousticProject* FMyAcousticProject = nullptr;
};

} // namespace vendrel
