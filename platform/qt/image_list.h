#pragma once
// An image list as the windows keep their icons: source items hold multi-resolution bitmaps, the
// destination items compose layers taken from source items. SetImageListBitmap puts an image file's
// picture in place of one icon.

#include <QImage>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <vector>

namespace vendrel {

struct TFixedBitmapItem {
    float Scale = 1.0f;
    QImage Bitmap;
};

struct TFixedMultiResBitmap {
    enum class TSizeKind : uint8_t { Custom, Bitmap, Source };

    uint32_t TransparentColor = 0;
    TSizeKind SizeKind = TSizeKind::Custom;
    int Width = 0;
    int Height = 0;
    std::vector<TFixedBitmapItem> Items;

    // The item of exactly this scale, empty items included; nullptr when none.
    TFixedBitmapItem* ItemByScale(float Scale);
};

struct TSourceItem {
    QString Name;
    TFixedMultiResBitmap MultiResBitmap;
};

struct TLayer {
    QString Name;
    QRectF SourceRect;
};

struct TDestinationItem {
    std::vector<TLayer> Layers;
};

struct TImageList {
    std::vector<TSourceItem> Source;
    std::vector<TDestinationItem> Destination;
};

// Puts a copy of Bitmap at scale 1 into source item Index and points the last layer of destination
// item Index at the whole picture. Returns Index, or -1 (nothing changed) for an empty bitmap. An Index
// outside either list, a destination item without layers, or a side of 65536 pixels or more raises
// ERangeError.
int SetImageListBitmap(TImageList& ImageList, int Index, const QImage& Bitmap);

} // namespace vendrel
