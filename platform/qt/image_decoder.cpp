#include "platform/qt/image_decoder.h"

#include <QImage>

#include <limits>
#include <utility>

namespace vendrel {

bool QtImageDecoder::DecodeImage(std::span<const uint8_t> Bytes, TBitmap& Image) {
    if (Bytes.empty() || Bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
        return false;
    }
    QImage decoded = QImage::fromData(Bytes.data(), static_cast<int>(Bytes.size()));
    if (decoded.isNull()) {
        return false;
    }
    decoded = decoded.convertToFormat(QImage::Format_ARGB32);
    TBitmap bitmap(decoded.width(), decoded.height());
    for (int y = 0; y < decoded.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(decoded.constScanLine(y));
        for (int x = 0; x < decoded.width(); ++x) {
            bitmap.SetPixel(x, y, row[x]);
        }
    }
    Image = std::move(bitmap);
    return true;
}

} // namespace vendrel
