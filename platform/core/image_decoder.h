#pragma once
// Decoding pictures (PNG, JPEG and whatever else the platform reads) from bytes in memory, reached
// through an interface: the Qt side installs its decoder at start, core tests install their own.
// Without one nothing decodes.

#include <cstdint>
#include <filesystem>
#include <span>

#include "platform/core/bitmap.h"

namespace vendrel {

class IImageDecoder {
public:
    virtual ~IImageDecoder() = default;
    // Fills Image and returns true when the bytes hold a picture; leaves Image alone otherwise.
    virtual bool DecodeImage(std::span<const uint8_t> Bytes, TBitmap& Image) = 0;
};

IImageDecoder& ImageDecoderService();
void SetImageDecoderService(IImageDecoder* decoder); // not owned; nullptr restores the default

// Installs a decoder for the guard's lifetime and restores the previous one after it.
class ImageDecoderGuard {
public:
    explicit ImageDecoderGuard(IImageDecoder& decoder);
    ~ImageDecoderGuard();
    ImageDecoderGuard(const ImageDecoderGuard&) = delete;
    ImageDecoderGuard& operator=(const ImageDecoderGuard&) = delete;

private:
    IImageDecoder* FPrevious;
};

// Decodes bytes with the installed decoder.
bool DecodeImage(std::span<const uint8_t> Bytes, TBitmap& Image);
// Whether the file exists, can be read and decodes as a picture.
bool FileDecodesAsImage(const std::filesystem::path& FileName);

} // namespace vendrel
