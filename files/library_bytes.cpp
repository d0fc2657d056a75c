#include "files/library_bytes.h"

#include <algorithm>
#include <string_view>

#include "platform/core/atomic_file.h"
#include "platform/core/windows1252.h"

namespace vendrel {

std::vector<uint8_t> ReadLibraryFileHead(const std::filesystem::path& FileName, size_t Count) {
    try {
        return ReadFileHead(FileName, Count);
    } catch (const EFileError& e) {
        throw ELibraryFileError(e.what());
    }
}

std::vector<uint8_t> ReadLibraryFileBytes(const std::filesystem::path& FileName) {
    try {
        return ReadWholeFile(FileName);
    } catch (const EFileError& e) {
        throw ELibraryFileError(e.what());
    }
}

std::string TLibraryReader::ShortString(size_t Capacity) {
    const std::span<const uint8_t> raw = FReader.Bytes(Capacity + 1);
    const size_t length = std::min<size_t>(raw[0], Capacity);
    return Windows1252ToUtf8(std::string_view(reinterpret_cast<const char*>(raw.data() + 1), length));
}

std::vector<uint8_t> TLibraryReader::Bytes(int32_t Count) {
    const std::span<const uint8_t> raw = FReader.Bytes(this->Count(Count, 1, "byte block"));
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

std::string TLibraryReader::ZeroTerminated() {
    const size_t start = FReader.Position();
    const std::span<const uint8_t> rest = FReader.Bytes(FReader.Remaining());
    const auto zero = std::find(rest.begin(), rest.end(), uint8_t{0});
    if (zero == rest.end()) {
        FReader.Seek(start);
        FReader.Fail("text without its end");
    }
    const size_t n = static_cast<size_t>(zero - rest.begin());
    FReader.Seek(start + n + 1);
    return Windows1252ToUtf8(std::string_view(reinterpret_cast<const char*>(rest.data()), n));
}

} // namespace vendrel
