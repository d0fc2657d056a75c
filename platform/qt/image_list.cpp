#include "platform/qt/image_list.h"

#include "platform/core/numeric.h"

namespace vendrel {

TFixedBitmapItem* TFixedMultiResBitmap::ItemByScale(float Scale) {
    for (auto& item : Items) {
        if (item.Scale == Scale) {
            return &item;
        }
    }
    return nullptr;
}

int SetImageListBitmap(TImageList& ImageList, int Index, const QImage& Bitmap) {
    if (Bitmap.width() == 0 || Bitmap.height() == 0) {
        return -1;
    }
    // Check everything before anything changes.
    TSourceItem& source = At(ImageList.Source, Index);
    TDestinationItem& destination = At(ImageList.Destination, Index);
    if (destination.Layers.empty()) {
        throw ERangeError();
    }
    if (Bitmap.width() >= 65536 || Bitmap.height() >= 65536) {
        throw ERangeError();
    }

    TFixedMultiResBitmap& multi = source.MultiResBitmap;
    multi.TransparentColor = 0xFF00FF;
    multi.SizeKind = TFixedMultiResBitmap::TSizeKind::Source;
    multi.Width = Bitmap.width();
    multi.Height = Bitmap.height();
    TFixedBitmapItem* item = multi.ItemByScale(1.0f);
    if (item == nullptr) {
        multi.Items.push_back({1.0f, QImage()});
        item = &multi.Items.back();
    }
    item->Bitmap = Bitmap.copy();

    TLayer& layer = destination.Layers.back();
    layer.SourceRect = QRectF(0, 0, Bitmap.width(), Bitmap.height());
    layer.Name = source.Name;
    return Index;
}

} // namespace vendrel
