#pragma once
// Cabinet model files (".cabinet", and ".wendrix" files of the same layout): header, fixed block,
// origin and source points, polar sets, 3D model and pictures, array rules, internal presets.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "acoustics/cab_model.h"
#include "files/library_header.h"

namespace vendrel {

struct rWDXStaticDataFile {
    static constexpr size_t kSize = 1328;

    uint8_t CabType = 0; // TCabinetType ordinal; enumeration ordinals are passed on unchecked
    double CabWeight = 0;
    uint8_t DefaultPlacement = 0;
    float MaxGlobalSPL = 0;
    double CabCenterX = 0, CabCenterY = 0, CabCenterZ = 0;
    double CabGravityX = 0, CabGravityY = 0, CabGravityZ = 0;
    double CabAcousticPosX = 0, CabAcousticPosY = 0, CabAcousticPosZ = 0;
    double CabAcousticRotRadX = 0, CabAcousticRotRadY = 0, CabAcousticRotRadZ = 0;
    double CabWidth = 0, CabHeight = 0, CabDepth = 0;
    int32_t NSources = 0, NPolarSets = 0, PolarResolutionDegrees = 0, NPolarSlices = 0, NPolarMeasures = 0;
    int32_t NPolarSourceMeas = 0, NPolarSourceSlices = 0, NIntDSP = 0, DefaultPreset = 0;
    uint8_t PolarSourceType = 0, PolarSourceSymetry = 0;
    bool IsWrappedPhase = false;
    uint8_t BandPerOctave = 0; // TFreqBands ordinal
    int32_t NFreqPoints = 0;
    uint8_t DSPSampleRate = 0; // TSampleRate ordinal
    double ImportAzResolutionDegrees = 0, ImportElevSlicesTakenDegrees = 0;
    bool IsPasive = false, CanChangeDirectionFlown = false, CanChangeDirectionStack = false;
    double unusedDistanceToMic_meters = 0, unusedOldDistanceToMic_meters = 0;
    bool PhaseInterpolated = false;
    int32_t DegreesIndex = 0, PlaneIndex = 0, FreqIndex = 0, SelectedPolar = 0;
    bool unusedPhaseCompensated = false;
    int32_t SizeModel3D = 0, SizeModelImage = 0, SizeManufacturerLogo = 0, SizeSerieLogo = 0;
    int32_t ArrayTestNCabinets = 0;
    double ArrayTestCabAngle = 0;
    // Front top, front bottom, back top, back bottom rotation points, then the top and bottom flange
    // points; X, Y, Z each (metres).
    std::array<double, 18> RotAndFlangePoints{};
    bool HasTopFlange = false, HasBotFlange = false;
    uint8_t JoinType = 0;
    int32_t NTopAssemblies = 0, NBotAssemblies = 0, NAnglesFlown = 0, NAnglesOnFirstCabFlown = 0;
    int32_t NAnglesStack = 0, NAnglesOnFirstCabStack = 0, NAnglesBotFlange = 0, NAnglesHCluster = 0;
    int32_t NAnglesOnFirstCabHCluster = 0;
    bool AllowFly = false, AllowStack = false;
    int32_t NTopAdapters = 0, NBotAdapters = 0, MaxSupCabsFlown = 0, MaxSupCabsStacked = 0;
    int32_t NTopRigFrames = 0, NBotRigFrames = 0;
    bool AllowHorizCluster = false, AllowVertCluster = false, AllowHornRotation = false;
    int32_t SourceOfHornRotation = 0;
    std::string DefaultCoverageText, SecondCoverageText;
    std::string VertPrefix, VertDegreeFormat, VertSuffix, HorizPrefix, HorizDegreeFormat, HorizSuffix;
    bool SwapHV = false;
    std::string LinkToDataSheet, LinkToManual;
    bool IncludeSpeakerInTF = false;
    double PresetViewAxesLeftMax = 0, PresetViewAxesLeftMin = 0;
    int32_t CoverageH = 0, CoverageV = 0, MaxSupCabsHCluster = 0;
    uint8_t DirectionOfRotation = 0;
    bool IsNormalizedPresetReference = false, IsEmbebedPresetInMeasures = false, IsMultiPreset = false;
    bool UseRealPhase = false;
    uint8_t NOriginPoints = 0;
    bool UseMeasSetReference = false;
    uint8_t RefSetSPL = 0, RefSetLatency = 0;
    int32_t ADDASampleLatency = 0;
    bool AllowsBeamSteering = false;
    uint8_t BeamProcessType = 0;
    int32_t FIRTapsPerSource = 0;
    uint8_t DefaultOriginPoint = 0, ApplySmoothing = 0;
};

struct rSourcePoint {
    double SpeakerInchSize = 0;
    double RotationRadRelX = 0, RotationRadRelY = 0, RotationRadRelZ = 0;
    double SourceCenterX = 0, SourceCenterY = 0, SourceCenterZ = 0;
    int32_t PolarID = 0; // the polar set of the source
    std::string SourceName;
};

// One polar set: its properties and NPolarSlices x NPolarMeasures measured directions.
struct rPolar {
    std::unique_ptr<TPolarProperties> PolarProperties;
    double PhaseRef = 0;
    std::vector<std::vector<rPolarData>> PolarData; // [slice][measure]
};

struct rTransferFunction {
    float LinReferenceSpl = 0, MaxSpl = 0, OffsetSpl = 0;
    bool IsLoaded = false;
    std::string FileName;
    std::vector<float> MagnitudePerFreq, PhasePerFreq;
    int32_t DelaySamples = 0;
    bool IsDelayIncludedinPhase = false;
};

struct rPresetTranferF {
    std::string Name, Info;
    int32_t NSources = 0;
    std::vector<rTransferFunction> EQTransferFunction;
    int32_t TypeIndex = 0;
};

struct rCabinetFile {
    rWDXHeaderFile Header;
    rWDXStaticDataFile GlobalStaticData;
    std::vector<rOriginCenterPoint> OriginCenter;
    std::vector<rSourcePoint> SourcePoint;
    std::vector<rPolar> Polar;
    std::vector<uint8_t> Model3D;
    bool HasModelImage = false, HasManufacturerLogo = false, HasSerieLogo = false;
    std::vector<uint8_t> ModelImage, ManufacturerLogo, SerieLogo;
    std::vector<double> CabAllowedAnglesBotFlange, CabAllowedAnglesOnFirstFlown, CabAllowedAnglesFlown,
        CabAllowedAnglesOnFirstStack, CabAllowedAnglesStack, CabAllowedAnglesOnFirstHCluster,
        CabAllowedAnglesHCluster;
    std::vector<std::string> CabAllowedTopAssemblies, CabAllowedBotAssemblies, TopRigFrameName,
        BotRigFrameName, TopAdapters, BotAdapters;
    std::vector<rPresetTranferF> IntDSP;
    int32_t TotalSizeCabAllowedVariant = 0;
    std::vector<std::string> CabAllowedTopVariant, CabAllowedBotVariant;
    std::vector<uint8_t> MinCabsToUseTopAdapters, MinCabsToUseBotAdapters;
    int32_t TotalSizeCabAllowedIfParentIsLessThan = 0;
    std::vector<uint8_t> AllowedBotIfParentIsLessThan, AllowedTopIfParentIsLessThan;
    std::vector<std::string> PolarSourcePath;     // one per polar set
    std::vector<std::string> TransferFSourcePath; // per source, its presets' texts
};

rWDXStaticDataFile ReadWDXStaticData(TLibraryReader& Reader);

// Reads the whole file. False when the user declines an older file or the file is too new (both asked
// only under the software name "Wendrix"); the record then holds the header. A file that ends early,
// holds a count or size that does not fit its bytes, a negative extension size or more than four
// equaliser entries in a polar set raises ELibraryFileError.
bool ReadCabinetFileRecord(const std::filesystem::path& FileName, rCabinetFile& Record,
                           const std::string& SoftwareName);
// The same from bytes in memory; FileName decides only whether the trailing source paths are read.
bool ReadCabinetFileBytes(std::span<const uint8_t> Bytes, const std::filesystem::path& FileName,
                          rCabinetFile& Record, const std::string& SoftwareName);

} // namespace vendrel
