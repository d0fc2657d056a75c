#include "platform/core/base64.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vendrel {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<uint8_t, 256> makeTable() {
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 64; ++i) {
        t[static_cast<uint8_t>(kAlphabet[i])] = static_cast<uint8_t>(i);
    }
    return t;
}

constexpr std::array<uint8_t, 256> kDecode = makeTable();

} // namespace

size_t DecodeBase64Block(const uint8_t* Text, uint8_t* Output, size_t Length) {
    size_t written = 0;
    for (size_t g = 0; g + 4 <= Length; g += 4) {
        const uint8_t* c = Text + g;
        const uint32_t v = (uint32_t(kDecode[c[0]]) << 18) | (uint32_t(kDecode[c[1]]) << 12) |
                           (uint32_t(kDecode[c[2]]) << 6) | uint32_t(kDecode[c[3]]);
        Output[written++] = static_cast<uint8_t>(v >> 16);
        if (c[2] == '=') {
            continue;
        }
        Output[written++] = static_cast<uint8_t>(v >> 8);
        if (c[3] == '=') {
            continue;
        }
        Output[written++] = static_cast<uint8_t>(v);
    }
    return written;
}

std::vector<uint8_t> DecodeBase64(const std::string& Text) {
    std::vector<uint8_t> out(Text.size() / 4 * 3);
    out.resize(DecodeBase64Block(reinterpret_cast<const uint8_t*>(Text.data()), out.data(), Text.size()));
    return out;
}

std::string EncodeBase64(const uint8_t* Data, size_t Length) {
    std::string out;
    out.reserve((Length + 2) / 3 * 4);
    for (size_t i = 0; i < Length; i += 3) {
        const size_t n = std::min<size_t>(3, Length - i);
        uint32_t v = uint32_t(Data[i]) << 16;
        if (n > 1) {
            v |= uint32_t(Data[i + 1]) << 8;
        }
        if (n > 2) {
            v |= Data[i + 2];
        }
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
        out += n > 2 ? kAlphabet[v & 63] : '=';
    }
    return out;
}

std::vector<uint8_t> DecodeDataFile(const std::string& FilePath) {
    std::ifstream in(FilePath, std::ios::binary);
    if (!in) {
        throw std::runtime_error("Cannot open file \"" + FilePath + "\"");
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw std::runtime_error("Cannot read file \"" + FilePath + "\"");
    }
    return DecodeBase64(text);
}

} // namespace vendrel
