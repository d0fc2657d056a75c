#include "platform/core/image_decoder.h"

#include <atomic>
#include <vector>

#include "platform/core/atomic_file.h"

namespace vendrel {

namespace {

class NoImageDecoder : public IImageDecoder {
public:
    bool DecodeImage(std::span<const uint8_t>, TBitmap&) override { return false; }
};

NoImageDecoder noDecoder;
std::atomic<IImageDecoder*> currentDecoder{&noDecoder};

} // namespace

IImageDecoder& ImageDecoderService() {
    return *currentDecoder.load();
}

void SetImageDecoderService(IImageDecoder* decoder) {
    currentDecoder.store(decoder ? decoder : &noDecoder);
}

ImageDecoderGuard::ImageDecoderGuard(IImageDecoder& decoder) : FPrevious(currentDecoder.exchange(&decoder)) {}

ImageDecoderGuard::~ImageDecoderGuard() {
    currentDecoder.store(FPrevious);
}

bool DecodeImage(std::span<const uint8_t> Bytes, TBitmap& Image) {
    return ImageDecoderService().DecodeImage(Bytes, Image);
}

bool FileDecodesAsImage(const std::filesystem::path& FileName) {
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadWholeFile(FileName);
    } catch (const EFileError&) {
        return false;
    }
    TBitmap image;
    return DecodeImage(bytes, image);
}

} // namespace vendrel
