#include "platform/qt/image_decoder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "qt_app.h"

namespace vendrel {
namespace {

TEST(QtImageDecoder, DecodesTheSampleTextureAndRefusesOtherBytes) {
    testing::EnsureQApplication();
    std::ifstream in(std::string(TEST_DATA_DIR) +
                         "/../../../tools/sample_library/library/Textures/Checker.png",
                     std::ios::binary);
    const std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(png.empty());
    QtImageDecoder decoder;
    ImageDecoderGuard guard(decoder);
    TBitmap image;
    ASSERT_TRUE(DecodeImage(png, image));
    EXPECT_EQ(image.Width(), 16);
    EXPECT_EQ(image.Height(), 16);
    // The generator's checker: 4-pixel squares, light in the top-left one.
    EXPECT_EQ(image.Pixel(0, 0), MakeColor(240, 230, 210));
    EXPECT_EQ(image.Pixel(4, 0), MakeColor(200, 60, 40));

    TBitmap untouched(1, 1, TAlphaColors::Red);
    const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    EXPECT_FALSE(DecodeImage(text, untouched));
    EXPECT_EQ(untouched.Pixel(0, 0), TAlphaColors::Red);
}

} // namespace
} // namespace vendrel
