#pragma once
// Scene objects to file records and back, for the parts that need no window: every document the
// program writes (project, sound-system, venue and overlay files) is assembled from these records, and
// the project open fills its user DSP processes from them.
//
// The converters read the live objects and change nothing in the scene; every field a converter does
// not name stays zero. Names longer than a field are cut by the record writers. Rotation angles of
// line arrays, clusters and beam-steering arrays are stored wrapped into (-180, 180]; those of cabinets,
// zones, ornaments and array elements as they are.

#include "files/dsp_cabinet.h"
#include "files/record_elements.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vendrel {

class TQzLayer;
class TCabinet;
class TCabArray;
class TCluster;
class TBeamContainer;
class TMappingZone;
class TOrnament;
class TGenericDSPProcess;
class TMicPoint;
class TOverlay;

void LayerToRecord(rPRJLayer& Record, const TQzLayer& Layer);
// A loose cabinet (project and sound-system files).
void CabinetToSystemRecord(const TCabinet& Cabinet, rPRJCabinet& Record);
// A line array with one item per element (rigging frame, cabinet, spacer) in chain order.
void CabArrayToRecord(const TCabArray& Array, rPRJCabArray& Record);
void ClusterToRecord(const TCluster& Cluster, rPRJCluster& Record);
// The cluster part of a beam-steering array (without a brand name) and its beams.
void BeamSteeringToRecord(const TBeamContainer& Container, rPRJBeamSteering& Record);
void OrnamentToRecord(rPRJOrnament& Record, const TOrnament& Ornament);
// A measurement point; a layer numbered above 255 does not fit the record (ERangeError).
void MicToRecord(rPRJMeasure& Record, const TMicPoint& Mic);
// A response overlay on its own grid (its point count names that grid); a curve of more than 1001
// points does not fit the record (ERangeError).
void OverlayToRecord(rPRJOverlay& Record, const TOverlay& Overlay);
// A stored overlay's curves into Overlay: on the response grid whose point count the record names, or,
// when no grid has that count, as values of the overlay's own grid (its first points).
void OverlayCurvesFromRecord(const rPRJOverlay& Record, TOverlay& Overlay);

// The user pictures of a document's zones, copied into the document's texture folder (the document's
// path without its extension) under names that no two pictures share.
//
// A picture keeps its own file name unless another picture of the same document already took it, in
// which case it gets " (2)", " (3)" ... before its extension; pictures that already lie in the texture
// folder keep their names first, so that copying another picture can never overwrite one of them
// before it is read. Saving a document again therefore stores the same names.
class TTextureCopies {
public:
    // Plans the names of the zones' pictures (zones of other texture kinds take no name).
    TTextureCopies(const std::filesystem::path& TextureFolder, const std::vector<const TMappingZone*>& Zones);

    const std::filesystem::path& Folder() const { return FFolder; }
    // The stored file name of a zone's picture; empty for a zone without a picture file.
    std::string NameOf(const TMappingZone& Zone) const;
    // Creates the folder (one level) and copies every planned picture, replacing files of those names.
    // Failures (a missing source, a source that is its own target, a folder that cannot be written)
    // are ignored: the document is written without them.
    void Copy() const;

private:
    std::filesystem::path FFolder;
    bool FNeedsFolder = false;
    std::map<const TMappingZone*, std::string> FNames;
    std::map<std::string, std::filesystem::path> FSources; // stored name -> source file
};

// The texture folder of a document: its path without the extension.
std::filesystem::path TextureFolderOf(const std::filesystem::path& DocumentFileName);

// A zone; its picture's stored name comes from Copies (planned for the same document).
void MappingZoneToRecord(rPRJMappingZone& Record, const TMappingZone& Zone, const TTextureCopies& Copies);

// A user DSP process as a processor blob of one output with gain, delay and PEQ bank.
TDspCabinet DSPProcessToRecord(const TGenericDSPProcess& Process, const std::string& SoftwareName);

// Fills a process just added to the project from its stored blob: active flag, name, the sample rate
// of the processes' shared grid, gain with polarity, delay and PEQ sections, then the bank's and the
// process's responses. Only the blob's first output is read. The blob must have passed
// CheckProcessRecord.
void LoadDSPProcessFromRecord(const TDspCabinet& Stored, TGenericDSPProcess& Process, bool Active);

} // namespace vendrel
