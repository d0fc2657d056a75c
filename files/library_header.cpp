#include "files/library_header.h"

#include "platform/core/message_box.h"

namespace vendrel {

rWDXHeaderFile ReadWDXHeader(TLibraryReader& Reader) {
    rWDXHeaderFile h;
    const size_t start = Reader.Position();
    h.SoftType = Reader.ShortString(25);
    Reader.Skip(2);
    h.FileMajorVer = Reader.I32();
    h.FileMinorVer = Reader.I32();
    h.BrandName = Reader.ShortString(25);
    h.SerieName = Reader.ShortString(25);
    h.ModelName = Reader.ShortString(25);
    h.PresetName = Reader.ShortString(25);
    h.CreatedBy = Reader.ShortString(25);
    h.Comments = Reader.ShortString(200);
    h.MajorVersion = Reader.U8();
    h.MinorVersion = Reader.U8();
    h.ReleaseVersion = Reader.U8();
    h.BuildVersion = Reader.U8();
    h.VariantName = Reader.ShortString(20);
    h.ModelUpdateVersion = Reader.U8();
    h.IsProjectOnly_NoCopySources = Reader.Bool8();
    h.Flags[0] = Reader.Bool8();
    h.Flags[1] = Reader.Bool8();
    Reader.Skip(40);
    if (Reader.Position() - start != rWDXHeaderFile::kSize) {
        throw ELibraryFileError("Library header layout");
    }
    return h;
}

namespace {

bool isWendrixFile(const std::filesystem::path& FileName, rWDXHeaderFile& Header) {
    const std::vector<uint8_t> head = ReadLibraryFileHead(FileName, rWDXHeaderFile::kSize);
    TLibraryReader reader(head);
    Header = ReadWDXHeader(reader);
    return Header.SoftType == kLibrarySoftType;
}

} // namespace

bool IsWendrixCabinetFile(const std::filesystem::path& FileName, rWDXHeaderFile& Header) {
    return isWendrixFile(FileName, Header);
}

bool IsWendrixFrameFile(const std::filesystem::path& FileName, rWDXHeaderFile& Header) {
    return isWendrixFile(FileName, Header);
}

bool IsWendrixOrnamentFile(const std::filesystem::path& FileName, rWDXHeaderFile& Header) {
    return isWendrixFile(FileName, Header);
}

bool EsVersionCompatibleConVendrel(const rWDXHeaderFile& Header, const TLibraryMinVersion& Min) {
    if (Header.MajorVersion != Min.Major) {
        return Header.MajorVersion > Min.Major;
    }
    if (Header.MinorVersion != Min.Minor) {
        return Header.MinorVersion > Min.Minor;
    }
    return Header.ReleaseVersion >= Min.Release;
}

bool ConfirmOtherFrameOrOrnamentVersion(const rWDXHeaderFile& Header, const std::string& KindPlural,
                                        const std::string& SoftwareName) {
    if (SoftwareName != kLibrarySoftType || Header.FileMajorVer == 3) {
        return true;
    }
    const std::string text = "You are trying to open a File v" + std::to_string(Header.MajorVersion) + "." +
                             std::to_string(Header.MinorVersion) + "\r\n" + "This software works with " +
                             KindPlural + " v3.0\r\n" + "Do you want to try it anayway?";
    return MessageBoxService().MessageDlg(text, TMsgDlgType::mtConfirmation,
                                          {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) == TModalResult::mrYes;
}

} // namespace vendrel
