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

    int32_t LowFreqCutoff = 20;     // Hz
    int32_t HiFreqCutoff = 20000;   // Hz
    std::string Name;               // at most 25 characters
    TMeasureSystemBrand FileType{}; // measurement source of the set's data
    TViewLink GraphicalInterface;   // the panel that shows the set, not owned
    int32_t ID = 0;                 // set number
    float MaxDbuSPL = 122.0f;       // dB
    uint8_t NPeqs = 0;              // used EQ slots, 0..4
    std::array<bool, 4> Active{};
    std::array<uint8_t, 4> PeqType{};
    std::array<uint16_t, 4> Freq{};     // Hz
    std::array<uint8_t, 4> Q{};         // as the model file stores it
    std::array<int16_t, 4> Gain{};      // as the model file stores it
    float SensitivityOneWOneM = 95.01f; // dB at 1 W / 1 m
    float PowerMax = 500.0f;            // W
    int32_t FFTStartFreq = 20;          // Hz
    float DistanceToMic_meters = 0.0f;
    bool PhaseCompensated = false;
    std::array<bool, 18> NewData{};
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
    void DeleteUserPreset(TUserPreset*& UserPreset);
    // One line per preset: "<NumberID> : <Name>".
    std::vector<std::string> GetInternalPresetNames() const;
    int32_t NDSPPresets() const { return static_cast<int32_t>(DSPPresets.size()); }

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
    void SetPolarSourceType(TMeasureSystemBrand Value) { PolarSourceType = Value; }

    // Identity and documents.
    std::string Manufacturer, SerieName, ModelName, VariantName, Comments, CreatedBy;
    uint8_t ModelUpdateVersion = 1;
    std::string FileName, LinkToDataSheet, LinkToManual;
    int32_t ModelID = 0;
    TCabinetType CabinetType = TCabinetType::qzaCabinet;
    bool IsPasive = true;
    bool HasModelPicture = false, HasSerieLogo = false, HasManufacturerLogo = false;

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

    // Box and mass; model coordinates have Y up.
    double Weight = 0.0, Width = 0.0, Height = 0.0, Depth = 0.0;
    TModel3D* Object3D = nullptr; // the model's 3D mesh, owned by the library side
    double GravityCenterXm = 0.0, GravityCenterYm = 0.0, GravityCenterZm = 0.0;
    double AcousticCenterXm = 0.0, AcousticCenterYm = 0.0, AcousticCenterZm = 0.0;
    double AcousticRotationRadX = 0.0, AcousticRotationRadY = 0.0, AcousticRotationRadZ = 0.0;

    // Anchors for arrays.
    double FrontTopRotPointXm = 0.0, FrontTopRotPointYm = 0.0, FrontTopRotPointZm = 0.0;
    double FrontBotRotPointXm = 0.0, FrontBotRotPointYm = 0.0, FrontBotRotPointZm = 0.0;
    double BackTopRotPointXm = 0.0, BackTopRotPointYm = 0.0, BackTopRotPointZm = 0.0;
    double BackBotRotPointXm = 0.0, BackBotRotPointYm = 0.0, BackBotRotPointZm = 0.0;
    double TopFlangePointXm = 0.0, TopFlangePointYm = 0.0, TopFlangePointZm = 0.0;
    double BotFlangePointXm = 0.0, BotFlangePointYm = 0.0, BotFlangePointZm = 0.0;
    TJoinType JoinType = TJoinType::qzaFrontJoin;
    bool HasTopFlange = false, HasBotFlange = false;

    // Rotation centres.
    std::vector<rOriginCenterPoint> OriginCenters;
    int32_t DefaultOriginPoint = 0;

    // Array rules.
    TCabPlacement DefaultPlacement = TCabPlacement::qzaVertical;
    bool AllowFly = false, AllowStack = false, AllowHorizCluster = false, AllowVertCluster = true;
    bool CanChangeDirectionFlown = false, CanChangeDirectionStack = false;
    TDirRotation DirectionOfRotation = TDirRotation::qzaClockwise;
    int32_t NAnglesFlown = 0, NAnglesOnFirstCabFlown = 0, NAnglesStack = 0, NAnglesOnFirstCabStack = 0;
    int32_t NAnglesBotFlange = 0, NAnglesHCluster = 0, NAnglesOnFirstCabHCluster = 0;
    std::vector<double> AllowedAnglesFlown, AllowedAnglesFirstCabFlown, AllowedAnglesStack,
        AllowedAnglesFirstCabStack, AllowedAnglesBotFlange, AllowedAnglesHCluster,
        AllowedAnglesFirstCabHCluster;
    int32_t MaxSupCabsFlown = 0, MaxSupCabsStacked = 0, MaxSupCabsHCluster = 0;
    int32_t NTopAssemblies = 0, NBotAssemblies = 0;
    std::vector<std::string> AllowedTopAssemblies, AllowedBotAssemblies, AllowedTopVariant, AllowedBotVariant;
    std::vector<int32_t> AllowedTopIfParentIsLessThan, AllowedBotIfParentIsLessThan;
    int32_t NTopRigFrames = 0, NBotRigFrames = 0;
    std::vector<std::string> TopRigFrame, BotRigFrame; // frame model names
    int32_t NTopAdapters = 0, NBotAdapters = 0;
    std::vector<std::string> TopAdapters, BotAdapters;
    std::vector<uint8_t> MinCabsToUseTopAdapters, MinCabsToUseBotAdapters;

    // Horn and coverage.
    bool AllowHornRotation = false;
    int32_t SourceOfHornRotation = 0; // decimal digits name the rotatable source points
    std::string DefaultCoverageText, SecondCoverageText;
    int32_t CoverageH = 0, CoverageV = 0;

    // Acoustic sources and directivity.
    TMeasureSystemBrand PolarSourceType{};
    std::vector<std::unique_ptr<TSourcePoint>> SourcePoint;         // owned, created with no cabinet
    std::vector<std::unique_ptr<TPolarProperties>> PolarProperties; // owned, one per set
    TPolarDataSets PolarData;
    int32_t NImportElevPolarSlices = 0, NImportAzPolarMeasures = 0;
    TQzPolarSymetry PolarSourceSymetry = TQzPolarSymetry::qzFullSphere;
    bool IsWrappedPhase = false;
    bool UseRealPhase = true;
    std::unique_ptr<TDSPSpace> DSPSpace; // the model's own grid, 1/6-octave spacing
    TFreqBands CurveSmoothing = TFreqBands::fbOneSixOctave;

    // Processing presets. The list does not own them: the model frees them itself.
    int32_t DefaultPreset = 1;
    bool IsNormalizedPresetReference = false, IsEmbebedPresetInMeasures = false, IsMultiPreset = false;
    std::vector<TUserPreset*> DSPPresets;
    std::unique_ptr<TTransferFunctionProcess> BypassProcess;
    bool UseMeasSetReference = false;
    uint8_t RefSetSPL = 1, RefSetLatency = 1;
    int32_t ADDASampleLatency = 0;

    // Beam steering.
    bool AllowsBeamSteering = false;
    TBeamProcessType BeamProcessType = TBeamProcessType::qzaFIRProcess;
    int32_t FIRTapsPerSource = 0;

private:
    // Preview position (fields written directly by the library reading).
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

    std::vector<TPoint3D> PickPoints; // model coordinates, Y up (platform/core/geometry3d.h)
    TPickPointType PickPointType = TPickPointType::qzaFixedPoint;
    std::string Manufacturer, SerieName, ModelName, VariantName;
    uint8_t ModelUpdateVersion = 1;
    double GravityCenterXm = 0.0, GravityCenterYm = 0.0, GravityCenterZm = 0.0;
    double FrontTopAnchorPointXm = 0.0, FrontTopAnchorPointYm = 0.0, FrontTopAnchorPointZm = 0.0;
    double FrontBotAnchorPointXm = 0.0, FrontBotAnchorPointYm = 0.0, FrontBotAnchorPointZm = 0.0;
    double BackTopAnchorPointXm = 0.0, BackTopAnchorPointYm = 0.0, BackTopAnchorPointZm = 0.0;
    double BackBotAnchorPointXm = 0.0, BackBotAnchorPointYm = 0.0, BackBotAnchorPointZm = 0.0;
    TRiggingType RiggingType = TRiggingType::qzaFly;
    std::string FileName;
    double Weight = 0.0, MaxSupportWeight = 0.0, Width = 0.0, Height = 0.0, Depth = 0.0;
    TModel3D* Object3D = nullptr; // the frame's 3D mesh, owned by the library side
    int32_t ModelID = 0;
    bool IsForTopHatUp = false, IsForTopHatDown = false;
    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }

private:
    int32_t FNPickPoints = 0;
    TPhysicalSpace* FPhysicalSpace = nullptr;
    TAcousticProject* FMyAcousticProject = nullptr;
};

} // namespace vendrel
