#include "files/project_file.h"

#include "files/record_sections.h"
#include "platform/core/cursor_service.h"
#include "platform/core/message_box.h"

namespace vendrel {
namespace record_transfer {

template <class IO, RecordOf<rPRJCamera> R> constexpr void Transfer(IO& io, R& c) {
    const size_t start = io.Position();
    io.Str(c.Name, 23, "camera Name");
    io.Point(c.DummyPos);
    io.Point(c.Position);
    io.Point(c.Rotation);
    io.Pad(4);
    io.At(start, 64);
    io.F64(c.AngleOfView);
    io.F32(c.DummyRotX);
    io.F32(c.DummyRotY);
    io.Pad(56); // NewData
}

template <class IO, RecordOf<rPRJStaticDataFile> R> constexpr void Transfer(IO& io, R& s) {
    const size_t start = io.Position();
    io.Str(s.InstallationName, 25, "InstallationName");
    io.Str(s.GPSCoordinates, 25, "GPSCoordinates");
    io.Str(s.PRJCreatedBy, 25, "PRJCreatedBy");
    io.Str(s.PRJDescription, 200, "PRJDescription");
    io.Pad(1);
    io.At(start, 280);
    io.I32(s.VenueLength);
    io.I32(s.VenueHeightVer);
    io.I32(s.VenueWidthHor);
    io.I32(s.MappingColorsRes);
    io.Enum8(s.MappingBandsType, "MappingBandsType");
    io.Pad(3);
    io.I32(s.FreqToEvaluate);
    io.I32(s.SelectedFreqPoint);
    io.Enum8(s.ViewType, "ViewType");
    io.Bool(s.OnlyPhase, "OnlyPhase");
    io.Bool(s.ZeroPhaseStart, "ZeroPhaseStart");
    io.Bool(s.IdealSpeaker, "IdealSpeaker");
    io.Bool(s.ContinuousRender, "ContinuousRender");
    io.Pad(3);
    io.At(start, 316);
    io.I32(s.RefreshTimeMsec);
    io.Enum8(s.RenderQuality, "RenderQuality");
    io.Bool(s.SPLNormalized, "SPLNormalized");
    io.Pad(6);
    io.At(start, 328);
    io.F64(s.MaxdBSPL);
    io.F64(s.RangedBSPL);
    io.F64(s.MaxPhase);
    io.F64(s.MinPhase);
    io.Enum8(s.PressureSumType, "PressureSumType");
    io.Pad(3);
    io.I32(s.MaxFreqForComplexSum);
    io.I32(s.ColorMapStepsdB);
    io.Str(s.MappingColors, 15, "MappingColors");
    io.At(start, 388);
    io.Bool(s.MaxAuto, "MaxAuto");
    io.Enum8(s.GenNoiseType, "GenNoiseType");
    io.Pad(2);
    io.F32(s.GenGain);
    io.At(start, 396);
    io.I32(s.NCabsInProject);
    io.I32(s.NCabinets);
    io.I32(s.NCabArrays);
    io.I32(s.NMappingZones);
    io.I32(s.NMics);
    io.I32(s.NCamerasUser);
    io.I32(s.NLights);
    io.I32(s.NDSPProcess);
    io.I32(s.NSubArrangements);
    io.I32(s.NLayers);
    io.I32(s.NOrnaments);
    io.I32(s.NClusters);
    io.Pad(4);
    io.At(start, 448);
    Transfer(io, s.CameraSide);
    Transfer(io, s.CameraTop);
    Transfer(io, s.Camera3D);
    Transfer(io, s.CameraFront);
    Transfer(io, s.CameraBack);
    io.At(start, 1128);
    io.Bool(s.AvoidPhaseAliasing, "AvoidPhaseAliasing");
    io.Pad(3);
    io.I32(s.ActiveLayer);
    io.U8(s.NOverlays);
    io.Enum8(s.Weighting, "Weighting");
    io.U8(s.DistributionStepsdB);
    io.Bool(s.ZonasCrecenParriba, "ZonasCrecenParriba");
    io.U8(s.NBeams);
    io.U8(s.NewLayerColorID);
    io.U8(s.NewMicColorID);
    io.U8(s.NewOverlaysColorID);
    io.At(start, 1144);
    io.Pad(504); // NewData
}

// Everything after the header.
template <class IO, RecordOf<rProjectFile> R> void TransferBody(IO& io, R& f) {
    Transfer(io, f.GlobalStaticData);
    const auto& s = f.GlobalStaticData;
    Section(io, f.Cabinets, s.NCabinets, kPRJCabinetSize, "cabinets");
    Section(io, f.CabArrays, s.NCabArrays, kPRJCabArraySize, "line arrays");
    Section(io, f.Clusters, s.NClusters, kPRJClusterSize, "clusters");
    Section(io, f.Beams, s.NBeams, kPRJBeamSteeringSize, "beam-steering arrays");
    Section(io, f.MappingZones, s.NMappingZones, kPRJMappingZoneSize, "zones");
    Section(io, f.Lights, s.NLights, kPRJLightSize, "lights");
    Section(io, f.Measures, s.NMics, kPRJMeasureSize, "measurement points");
    ProcessSection(io, f.ProcessActive, f.DSPProcess, s.NDSPProcess);
    Section(io, f.SubArrangements, s.NSubArrangements, kPRJSubArrangementSize, "sub-arrangements");
    Section(io, f.Layers, s.NLayers, kPRJLayerSize, "layers");
    Section(io, f.Ornaments, s.NOrnaments, kPRJOrnamentSize, "ornaments");
    if constexpr (IO::kReading) {
        io.I32(f.OverlaysSize);
    } else {
        io.I32(static_cast<int32_t>(s.NOverlays) * kOverlaySizeCounted);
    }
    Section(io, f.Overlays, s.NOverlays, kPRJOverlaySize, "overlays");
    io.I32(f.NewDataSize);
}

#if VENDREL_STATIC_RECORD_SIZES
static_assert(SizeOf<rPRJCamera>([](auto& io, auto& r) { Transfer(io, r); }) == kPRJCameraSize);
static_assert(SizeOf<rPRJStaticDataFile>([](auto& io, auto& r) { Transfer(io, r); }) == kPRJStaticDataSize);
#endif

} // namespace record_transfer

using namespace record_transfer;

std::vector<uint8_t> WriteProjectFile(const rProjectFile& file) {
    ByteWriter w;
    WritePRJHeader(w, file.Header);
    RecordWriter io(w);
    TransferBody(io, file);
    return w.Take();
}

TProjectOpen ReadProjectFile(std::span<const uint8_t> bytes, const std::string& softwareName,
                             rProjectFile& file) {
    ByteReader r(bytes);
    rProjectFile read;
    ReadPRJHeader(r, read.Header);
    if (!IsSoftType(read.Header.SoftType, softwareName)) {
        return TProjectOpen::OtherSoftware;
    }
    if (read.Header.FileMajorVer > kProjectFileMajorVer) {
        return TProjectOpen::NewerVersion;
    }
    RecordReader io(r);
    TransferBody(io, read);
    file = std::move(read);
    return TProjectOpen::Opened;
}

std::string NewerProjectMessage(const std::string& softwareName) {
    return "The project was made with higher version of " + softwareName + " and cannot be opened.\r\n\r\n" +
           "Update the application to the latest version";
}

void SaveProjectRecord(const std::filesystem::path& fileName, const rProjectFile& file, IFileSystem& fs) {
    const auto cursor = TSmartCursor::HourGlass();
    WriteFileAtomically(fileName, WriteProjectFile(file), fs);
}

bool OpenProjectRecord(const std::filesystem::path& fileName, rProjectFile& file,
                       const std::string& softwareName) {
    const auto cursor = TSmartCursor::HourGlass();
    const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
    TProjectOpen result;
    try {
        result = ReadProjectFile(bytes, softwareName, file);
    } catch (const EReadError& e) {
        throw Named(fileName, e);
    }
    if (result == TProjectOpen::NewerVersion) {
        MessageBoxService().ShowMessage(NewerProjectMessage(softwareName));
    }
    return result == TProjectOpen::Opened;
}

} // namespace vendrel
