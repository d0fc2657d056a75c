#include "files/library_bytes.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <string_view>

#include "platform/core/windows1252.h"

namespace vendrel {

std::vector<uint8_t> ReadLibraryFileHead(const std::filesystem::path& FileName, size_t Count) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in) {
        throw ELibraryFileError("Cannot open file \"" + FileName.string() + "\"");
    }
    std::vector<uint8_t> bytes;
    std::array<char, 32768> buffer;
    while (bytes.size() < Count && in) {
        in.read(buffer.data(), static_cast<std::streamsize>(std::min(buffer.size(), Count - bytes.size())));
        bytes.insert(bytes.end(), buffer.data(), buffer.data() + in.gcount());
        if (bytes.size() > kMaxStreamSize) {
            throw ELibraryFileError("File too large: \"" + FileName.string() + "\"");
        }
    }
    if (in.bad()) {
        throw ELibraryFileError("Cannot read file \"" + FileName.string() + "\"");
    }
    return bytes;
}

std::vector<uint8_t> ReadLibraryFileBytes(const std::filesystem::path& FileName) {
    return ReadLibraryFileHead(FileName, kMaxStreamSize + 1);
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
