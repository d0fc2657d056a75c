#include "files/ornament_file.h"

namespace vendrel {

rOrnamentStaticDataFile ReadOrnamentStaticData(TLibraryReader& Reader) {
    rOrnamentStaticDataFile s;
    const size_t start = Reader.Position();
    s.OrnamentType = Reader.U8();
    Reader.Skip(7);
    s.GravityCenterX = Reader.F64();
    s.GravityCenterY = Reader.F64();
    s.GravityCenterZ = Reader.F64();
    s.Width = Reader.F32();
    s.Height = Reader.F32();
    s.Depth = Reader.F32();
    s.Weight = Reader.F32();
    for (double& v : s.AnchorPoints) {
        v = Reader.F64();
    }
    s.SizeTextureImage = Reader.I32();
    s.SizeModel3D = Reader.I32();
    s.OriginX = Reader.F64();
    s.OriginY = Reader.F64();
    s.OriginZ = Reader.F64();
    s.IsSizeable = Reader.Bool8();
    Reader.Skip(127);
    if (Reader.Position() - start != rOrnamentStaticDataFile::kSize) {
        throw ELibraryFileError("Ornament block layout");
    }
    return s;
}

bool ReadOrnamentFileRecord(const std::filesystem::path& FileName, rOrnamentFile& Record,
                            const std::string& SoftwareName) {
    return ReadOrnamentFileBytes(ReadLibraryFileBytes(FileName), Record, SoftwareName);
}

bool ReadOrnamentFileBytes(std::span<const uint8_t> Bytes, rOrnamentFile& Record,
                           const std::string& SoftwareName) {
    TLibraryReader reader(Bytes);
    Record.Header = ReadWDXHeader(reader);
    if (!ConfirmOtherFrameOrOrnamentVersion(Record.Header, "Ornaments", SoftwareName)) {
        return false;
    }
    Record.GlobalStaticData = ReadOrnamentStaticData(reader);
    Record.HasTexture = reader.Bool8();
    Record.TextureImage.clear();
    if (Record.HasTexture) {
        Record.TextureImage = reader.Bytes(Record.GlobalStaticData.SizeTextureImage);
    }
    Record.Model3D = reader.Bytes(Record.GlobalStaticData.SizeModel3D);
    reader.Skip(64);
    return true;
}

} // namespace vendrel
