#include "acoustics/zone_data.h"

#include <algorithm>
#include <new>

#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "platform/core/numeric.h"

namespace vendrel {

void TMapLayers::Resize(int32_t nf, int32_t w, int32_t d) {
    if (nf < 0 || w < 0 || d < 0) {
        throw ERangeError();
    }
    const size_t cells = CheckedMul<size_t>(
        CheckedMul<size_t>(static_cast<size_t>(nf), static_cast<size_t>(w)), static_cast<size_t>(d));
    // A fresh block rather than resize: the old contents are never wanted and a shrink gives memory back.
    cells_.reset();
    size_ = 0;
    if (cells > 0) {
        auto* block = static_cast<float*>(std::calloc(cells, sizeof(float)));
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        cells_.reset(block);
    }
    size_ = cells;
    nf_ = nf;
    w_ = w;
    d_ = d;
}

TMapLayers::TMapLayers(const TMapLayers& Other) {
    *this = Other;
}

TMapLayers& TMapLayers::operator=(const TMapLayers& Other) {
    if (this != &Other) {
        Resize(Other.nf_, Other.w_, Other.d_);
        std::copy(Other.data(), Other.data() + Other.size_, data());
    }
    return *this;
}

void TMapLayers::Release() {
    cells_.reset();
    size_ = 0;
    nf_ = 0;
    w_ = 0;
    d_ = 0;
}

void TMapLayers::Fill(float v) {
    std::fill(cells_.get(), cells_.get() + size_, v);
}

void TMapLayers::checkIndex(int32_t m, int32_t x, int32_t y) const {
    if (m < 0 || m >= nf_ || x < 0 || x >= w_ || y < 0 || y >= d_) {
        throw ERangeError();
    }
}

float& TMapLayers::At(int32_t m, int32_t x, int32_t y) {
    checkIndex(m, x, y);
    return (*this)(m, x, y);
}

float TMapLayers::At(int32_t m, int32_t x, int32_t y) const {
    checkIndex(m, x, y);
    return (*this)(m, x, y);
}

TZoneData::TZoneData(TAcousticProject* AcousticProjectOwner, int32_t NFreqAv, int32_t WidthPixels,
                     int32_t DepthPixels, int32_t ID)
    : FMyAcousticProject(AcousticProjectOwner), FDepthPixels(DepthPixels), FWidthPixels(WidthPixels),
      FNFreqs(NFreqAv) {
    const TMappingZone& zone = *At(AcousticProjectOwner->MappingZones(), ID);
    if (!zone.HasLevelMap()) {
        FWidthPixels = 1;
        FDepthPixels = 1;
        FZoneCalculated = true;
    }
    SetZoneLength(FNFreqs, FWidthPixels, FDepthPixels);
    FZoneID = ID;
}

void TZoneData::SetZoneLength(int32_t NFreq, int32_t WidthPx, int32_t DepthPx) {
    FNFreqs = NFreq;
    FWidthPixels = WidthPx;
    FDepthPixels = DepthPx;
    // Fresh layers are cleared already.
    FMapRealFreq.Resize(NFreq, WidthPx, DepthPx);
    FMapImagFreq.Resize(NFreq, WidthPx, DepthPx);
}

void TZoneData::ClearData() {
    if (FMapRealFreq.Empty() || FMapImagFreq.Empty()) {
        return;
    }
    FMapRealFreq.Fill(0.0f);
    FMapImagFreq.Fill(0.0f);
}

void TZoneData::SetNFreqs(int32_t v) {
    if (v != FNFreqs) {
        SetZoneLength(v, FWidthPixels, FDepthPixels);
    }
}

void TZoneData::SetWidthPixels(int32_t v) {
    if (v != FWidthPixels) {
        SetZoneLength(FNFreqs, v, FDepthPixels);
    }
}

void TZoneData::SetDepthPixels(int32_t v) {
    if (v != FDepthPixels) {
        SetZoneLength(FNFreqs, FWidthPixels, v);
    }
}

double TZoneData::MaxdBSPL() const {
    double result = 0.0;
    if (FMapRealFreq.NFreqs() == 0) {
        return result;
    }
    for (int32_t y = 0; y < FMapRealFreq.Depth(); ++y) {
        for (int32_t x = 0; x < FMapRealFreq.Width(); ++x) {
            result = std::max(result, static_cast<double>(FMapRealFreq(0, x, y)));
        }
    }
    return result;
}

} // namespace vendrel
