#include "editor/zone_pictures.h"

#include "platform/core/atomic_file.h"
#include "platform/core/image_decoder.h"

#include <cmath>
#include <vector>

namespace vendrel {

std::optional<TBitmap> ReadPicture(const std::filesystem::path& File) {
    try {
        const std::vector<uint8_t> bytes = ReadWholeFile(File);
        TBitmap image;
        if (DecodeImage(bytes, image) && !image.IsEmpty()) {
            return image;
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

void RotatePicture(TBitmap& Image, double Degrees) {
    const double quarters = Degrees / 90.0;
    if (!std::isfinite(quarters) || quarters != std::floor(quarters)) {
        return;
    }
    const int turns = static_cast<int>(std::fmod(std::fmod(quarters, 4.0) + 4.0, 4.0));
    if (turns == 0 || Image.IsEmpty()) {
        return;
    }
    const int w = Image.Width();
    const int h = Image.Height();
    const std::vector<TAlphaColor>& in = Image.Pixels();
    if (turns == 2) {
        TBitmap turned(w, h);
        std::vector<TAlphaColor>& out = turned.Pixels();
        const size_t n = in.size();
        for (size_t i = 0; i < n; ++i) {
            out[n - 1 - i] = in[i];
        }
        Image = std::move(turned);
        return;
    }
    // A quarter turn clockwise takes (x, y) to (h - 1 - y, x); three quarters take it to (y, w - 1 - x).
    TBitmap turned(h, w);
    std::vector<TAlphaColor>& out = turned.Pixels();
    for (int y = 0; y < h; ++y) {
        const TAlphaColor* row = in.data() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            const size_t to = turns == 1 ? static_cast<size_t>(x) * h + (h - 1 - y)
                                         : static_cast<size_t>(w - 1 - x) * h + y;
            out[to] = row[x];
        }
    }
    Image = std::move(turned);
}

std::filesystem::path LibraryTextureFile(const std::filesystem::path& AppDataPath, const std::string& Name) {
    return AppDataPath / "Textures" / Name;
}

} // namespace vendrel
