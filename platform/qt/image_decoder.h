#pragma once
// The platform's picture decoding on QImage: every format Qt reads (PNG and JPEG among them).

#include "platform/core/image_decoder.h"

namespace vendrel {

class QtImageDecoder : public IImageDecoder {
public:
    bool DecodeImage(std::span<const uint8_t> Bytes, TBitmap& Image) override;
};

} // namespace vendrel
