#include "files/rigging_file.h"

namespace vendrel {

rFrameStaticDataFile ReadFrameStaticData(TLibraryReader& Reader) {
    rFrameStaticDataFile s;
    const size_t start = Reader.Position();
    s.RiggingType = Reader.U8();
    Reader.Skip(7);
    s.Weight = Reader.F64();
    s.MaxSupportWeight = Reader.F64();
    s.GravityCenterX = Reader.F64();
    s.GravityCenterY = Reader.F64();
    s.GravityCenterZ = Reader.F64();
    s.Width = Reader.F64();
    s.Height = Reader.F64();
    s.Depth = Reader.F64();
    s.NPickPoints = Reader.I32();
    s.PickPointType = Reader.U8();
    Reader.Skip(3);
    for (float& v : s.PickPointOffset) {
        v = Reader.F32();
    }
    Reader.Skip(4);
    for (double& v : s.AnchorPoints) {
        v = Reader.F64();
    }
    s.SizeModel3D = Reader.I32();
    s.IsForTopHatUp = Reader.Bool8();
    s.IsForTopHatDown = Reader.Bool8();
    Reader.Skip(66);
    if (Reader.Position() - start != rFrameStaticDataFile::kSize) {
        throw ELibraryFileError("Rigging block layout");
    }
    return s;
}

bool ReadFrameFileRecord(const std::filesystem::path& FileName, rFrameFile& Record,
                         const std::string& SoftwareName) {
    return ReadFrameFileBytes(ReadLibraryFileBytes(FileName), Record, SoftwareName);
}

bool ReadFrameFileBytes(std::span<const uint8_t> Bytes, rFrameFile& Record, const std::string& SoftwareName) {
    TLibraryReader reader(Bytes);
    Record.Header = ReadWDXHeader(reader);
    if (!ConfirmOtherFrameOrOrnamentVersion(Record.Header, "Riggings", SoftwareName)) {
        return false;
    }
    Record.GlobalStaticData = ReadFrameStaticData(reader);
    Record.Model3D = reader.Bytes(Record.GlobalStaticData.SizeModel3D);
    const size_t points = reader.Count(Record.GlobalStaticData.NPickPoints, 24, "pick points");
    Record.PickPoints.resize(points);
    for (auto& p : Record.PickPoints) {
        for (double& v : p) {
            v = reader.F64();
        }
    }
    reader.Skip(64);
    return true;
}

} // namespace vendrel
