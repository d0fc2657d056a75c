#pragma once
// The project file: the project's information and calculation options, the standard views, and every
// cabinet, line array, cluster, beam-steering array, mapping zone, light, measurement point, DSP
// process, sub-arrangement, layer, ornament and overlay. Templates and the crash handler's backups are
// project files too.
//
// Layout: the header, the static block (both memory images), then the sections in a fixed order,
// each as long as its count in the static block: cabinets, line arrays, clusters, beam-steering
// arrays, zones, lights, measurement points, DSP processes (an active byte and a processor blob
// each), sub-arrangements, layers, ornaments, the overlays' byte size, the overlays, and a final int32.

#include "files/dsp_cabinet.h"
#include "files/record_elements.h"
#include "files/record_headers.h"
#include "platform/core/atomic_file.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace vendrel {

// A standard view of the project.
struct rPRJCamera {
    std::string Name;  // at most 23 characters; not read back by the loaders
    TPoint3D DummyPos; // 3D view: X and Y rotations of its two pivots, degrees
    TPoint3D Position;
    TPoint3D Rotation;
    double AngleOfView = 0; // degrees
    float DummyRotX = 0;    // side, top and front views: rotations of the view's pivot
    float DummyRotY = 0;

    bool operator==(const rPRJCamera&) const = default;
};

// The static block of a project file.
struct rPRJStaticDataFile {
    std::string InstallationName; // at most 25 characters
    std::string GPSCoordinates;   // at most 25 characters
    std::string PRJCreatedBy;     // at most 25 characters
    std::string PRJDescription;   // at most 200 characters
    int32_t VenueLength = 0;      // whole metres
    int32_t VenueHeightVer = 0;
    int32_t VenueWidthHor = 0;
    int32_t MappingColorsRes = 0;
    TMappingBands MappingBandsType{};
    int32_t FreqToEvaluate = 0; // Hz
    int32_t SelectedFreqPoint = 0;
    TViewType ViewType{};
    bool OnlyPhase = false;
    bool ZeroPhaseStart = false;
    bool IdealSpeaker = false;
    bool ContinuousRender = false;
    int32_t RefreshTimeMsec = 0;
    TRenderQuality RenderQuality{};
    bool SPLNormalized = false;
    double MaxdBSPL = 0;
    double RangedBSPL = 0;
    double MaxPhase = 0;
    double MinPhase = 0;
    TPressureSumType PressureSumType{};
    int32_t MaxFreqForComplexSum = 0; // not used
    int32_t ColorMapStepsdB = 0;
    std::string MappingColors; // palette name, at most 15 characters
    bool MaxAuto = false;      // a second copy of SPLNormalized
    TGenNoiseType GenNoiseType{};
    float GenGain = 0;          // dB
    int32_t NCabsInProject = 0; // every cabinet, also those in arrays and clusters; drives no section
    int32_t NCabinets = 0;
    int32_t NCabArrays = 0;
    int32_t NMappingZones = 0;
    int32_t NMics = 0;
    int32_t NCamerasUser = 0; // user views are not stored
    int32_t NLights = 0;
    int32_t NDSPProcess = 0;
    int32_t NSubArrangements = 0;
    int32_t NLayers = 0;
    int32_t NOrnaments = 0;
    int32_t NClusters = 0;
    rPRJCamera CameraSide;
    rPRJCamera CameraTop;
    rPRJCamera Camera3D;
    rPRJCamera CameraFront;
    rPRJCamera CameraBack; // not used
    bool AvoidPhaseAliasing = false;
    int32_t ActiveLayer = 0;
    uint8_t NOverlays = 0;
    TWeightening Weighting{};
    uint8_t DistributionStepsdB = 0;
    bool ZonasCrecenParriba = false; // zones grow upward when drawn
    uint8_t NBeams = 0;
    uint8_t NewLayerColorID = 0;
    uint8_t NewMicColorID = 0;
    uint8_t NewOverlaysColorID = 0;

    bool operator==(const rPRJStaticDataFile&) const = default;
};
inline constexpr size_t kPRJStaticDataSize = 1648;
inline constexpr size_t kPRJCameraSize = 136;

// A whole project file. Every list holds exactly as many elements as its count in the static block.
struct rProjectFile {
    rPRJHeaderFile Header; // FileMajorVer kProjectFileMajorVer
    rPRJStaticDataFile GlobalStaticData;
    std::vector<rPRJCabinet> Cabinets;
    std::vector<rPRJCabArray> CabArrays;
    std::vector<rPRJMappingZone> MappingZones;
    std::vector<rPRJCamera> CameraUser; // not stored
    std::vector<rPRJLight> Lights;
    std::vector<rPRJMeasure> Measures;
    std::vector<rPRJSubArrangement> SubArrangements;
    std::vector<bool> ProcessActive;
    std::vector<TDspCabinet> DSPProcess;
    std::vector<rPRJLayer> Layers;
    std::vector<rPRJOrnament> Ornaments;
    std::vector<rPRJCluster> Clusters;
    std::vector<rPRJBeamSteering> Beams;
    // As read from a file; the writer always stores NOverlays x 16136, and nothing relies on it.
    int32_t OverlaysSize = 0;
    std::vector<rPRJOverlay> Overlays;
    int32_t NewDataSize = 0;

    bool operator==(const rProjectFile&) const = default;
};

// Size of an overlay as the overlays' byte size counts it (one more than its stored size).
inline constexpr int32_t kOverlaySizeCounted = 16136;

enum class TProjectOpen : uint8_t {
    Opened,
    OtherSoftware, // another program's file: refused without a message
    NewerVersion,  // a format newer than this program reads
};

// The file's bytes. Raises ERangeError, before anything is written, when a list does not hold its
// count or a value cannot be stored.
std::vector<uint8_t> WriteProjectFile(const rProjectFile& file);
// Reads a project from bytes. Fills `file` only when the result is Opened; raises EReadError with a
// message for the user when the bytes are damaged, and leaves `file` untouched then.
TProjectOpen ReadProjectFile(std::span<const uint8_t> bytes, const std::string& softwareName,
                             rProjectFile& file);

// Saves a project; a failed save leaves a previous file of that name as it was.
void SaveProjectRecord(const std::filesystem::path& fileName, const rProjectFile& file,
                       IFileSystem& fs = LocalFileSystem());
// Opens a project of this program (`softwareName`); true when read. Another program's file gives false
// without a message, a newer format false after telling the user; a damaged or unreadable file raises
// EReadError or EFileError naming it. `file` is filled only on true.
bool OpenProjectRecord(const std::filesystem::path& fileName, rProjectFile& file,
                       const std::string& softwareName);

// The message shown for a project of a newer format.
std::string NewerProjectMessage(const std::string& softwareName);

} // namespace vendrel
