#include "platform/qt/image_list.h"

#include "platform/core/numeric.h"

#include <gtest/gtest.h>

namespace vendrel {
namespace {

TImageList TwoIcons() {
    TImageList list;
    list.Source.resize(2);
    list.Source[0].Name = "open";
    list.Source[1].Name = "save";
    list.Source[1].MultiResBitmap.Items = {{2.0f, QImage(32, 32, QImage::Format_ARGB32)}, {1.0f, QImage()}};
    list.Destination.resize(2);
    list.Destination[0].Layers = {{"x", {}}};
    list.Destination[1].Layers = {{"base", {0, 0, 16, 16}}, {"top", {0, 0, 16, 16}}};
    return list;
}

TEST(ImageList, ReplacesTheScaleOneBitmapAndTheLastLayer) {
    TImageList list = TwoIcons();
    QImage pic(20, 10, QImage::Format_ARGB32);
    pic.fill(Qt::red);
    EXPECT_EQ(SetImageListBitmap(list, 1, pic), 1);
    const auto& multi = list.Source[1].MultiResBitmap;
    EXPECT_EQ(multi.TransparentColor, 0xFF00FFu);
    EXPECT_EQ(multi.SizeKind, TFixedMultiResBitmap::TSizeKind::Source);
    EXPECT_EQ(multi.Width, 20);
    EXPECT_EQ(multi.Height, 10);
    ASSERT_EQ(multi.Items.size(), 2u); // the empty item of scale 1 was reused
    EXPECT_EQ(multi.Items[1].Bitmap, pic);
    EXPECT_EQ(list.Destination[1].Layers[0].Name, "base");
    EXPECT_EQ(list.Destination[1].Layers[1].Name, "save");
    EXPECT_EQ(list.Destination[1].Layers[1].SourceRect, QRectF(0, 0, 20, 10));

    EXPECT_EQ(SetImageListBitmap(list, 0, pic), 0); // no item of scale 1: one is added
    ASSERT_EQ(list.Source[0].MultiResBitmap.Items.size(), 1u);
    EXPECT_EQ(list.Source[0].MultiResBitmap.Items[0].Scale, 1.0f);
}

TEST(ImageList, RefusesEmptyOversizedAndMissing) {
    TImageList list = TwoIcons();
    EXPECT_EQ(SetImageListBitmap(list, 0, QImage()), -1);
    EXPECT_TRUE(list.Source[0].MultiResBitmap.Items.empty());
    EXPECT_THROW(SetImageListBitmap(list, 2, QImage(4, 4, QImage::Format_ARGB32)), ERangeError);
    EXPECT_THROW(SetImageListBitmap(list, -1, QImage(4, 4, QImage::Format_ARGB32)), ERangeError);
    EXPECT_THROW(SetImageListBitmap(list, 0, QImage(65536, 1, QImage::Format_Mono)), ERangeError);
    EXPECT_TRUE(list.Source[0].MultiResBitmap.Items.empty());
}

} // namespace
} // namespace vendrel
