#pragma once
// Builders of small DXF drawings for the reader's tests.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace vendrel::dxf_test {

// Text form: each group as a right-aligned code line and a value line, ended by LF.
inline std::string DxfText(const std::vector<std::pair<int, std::string>>& Groups) {
    std::string out;
    for (const auto& [code, value] : Groups) {
        std::string c = std::to_string(code);
        out += std::string(c.size() < 3 ? 3 - c.size() : 0, ' ') + c + "\n" + value + "\n";
    }
    return out;
}

inline constexpr char kSentinel[] = "AutoCAD Binary DXF\r\n\x1a";

// Binary form, little-endian, written group by group.
class BinaryDxf {
public:
    BinaryDxf() { bytes.assign(kSentinel, kSentinel + sizeof(kSentinel)); } // with its NUL
    BinaryDxf& Str(int Code, const std::string& v) {
        Code16(Code);
        bytes.insert(bytes.end(), v.begin(), v.end());
        bytes.push_back('\0');
        return *this;
    }
    BinaryDxf& I16(int Code, int16_t v) { return Code16(Code).Raw(&v, 2); }
    BinaryDxf& I32(int Code, int32_t v) { return Code16(Code).Raw(&v, 4); }
    BinaryDxf& I64(int Code, int64_t v) { return Code16(Code).Raw(&v, 8); }
    BinaryDxf& Real(int Code, double v) { return Code16(Code).Raw(&v, 8); }
    BinaryDxf& Byte(int Code, uint8_t v) { return Code16(Code).Raw(&v, 1); }
    BinaryDxf& Chunk(int Code, const std::vector<uint8_t>& v) {
        Code16(Code);
        bytes.push_back(static_cast<char>(v.size()));
        bytes.insert(bytes.end(), v.begin(), v.end());
        return *this;
    }
    std::string bytes;

private:
    BinaryDxf& Code16(int Code) {
        const auto c = static_cast<int16_t>(Code);
        return Raw(&c, 2);
    }
    BinaryDxf& Raw(const void* p, size_t n) {
        // The test machines are little-endian, like the format.
        const char* c = static_cast<const char*>(p);
        bytes.append(c, n);
        return *this;
    }
};

inline std::string ReadBytes(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace vendrel::dxf_test
