#pragma once
// The complex pressure map of one mapping zone: a real and an imaginary single per averaged
// frequency per pixel. Each cabinet keeps one per zone (its MapData list) and each zone keeps one
// more for the summed and finally the level map (MapSum).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace vendrel {

class TAcousticProject;

// Calculation state shared by cabinets, zones, line arrays and the project's summed maps; stored and
// compared by ordinal.
enum class TCalcState : uint8_t {
    qzaNeedsCalculate = 0, // the maps must be computed from scratch
    qzaNeedsSum = 1,       // the sources' maps are valid, the zone must be summed again
    qzaCalculating = 2,    // a worker thread is computing it
    qzaCalculated = 3,     // complete and valid
    qzaIsSumed = 4,        // the zone's summed map is ready
};

// Singles laid out [frequency layer][width pixel][depth pixel], one contiguous block so that the map
// kernel can run along a depth row. Released buffers keep no memory.
class TMapLayers {
public:
    TMapLayers() = default;
    TMapLayers(const TMapLayers& Other);
    TMapLayers& operator=(const TMapLayers& Other);
    TMapLayers(TMapLayers&&) noexcept = default;
    TMapLayers& operator=(TMapLayers&&) noexcept = default;

    // Re-sizes to nf x w x d cells, all 0. Raises ERangeError for a negative or overflowing count.
    void Resize(int32_t nf, int32_t w, int32_t d);
    // Drops every cell and gives the memory back.
    void Release();
    void Fill(float v);

    bool Empty() const { return size_ == 0; }
    size_t size() const { return size_; }
    int32_t NFreqs() const { return nf_; }
    int32_t Width() const { return w_; }
    int32_t Depth() const { return d_; }

    // Unchecked access for the inner loops.
    float& operator()(int32_t m, int32_t x, int32_t y) { return cells_.get()[offset(m, x, y)]; }
    float operator()(int32_t m, int32_t x, int32_t y) const { return cells_.get()[offset(m, x, y)]; }
    // Checked access: an index outside the layers raises ERangeError.
    float& At(int32_t m, int32_t x, int32_t y);
    float At(int32_t m, int32_t x, int32_t y) const;
    // The depth run of layer m at width pixel x.
    float* Row(int32_t m, int32_t x) { return cells_.get() + offset(m, x, 0); }
    const float* Row(int32_t m, int32_t x) const { return cells_.get() + offset(m, x, 0); }
    float* data() { return cells_.get(); }
    const float* data() const { return cells_.get(); }

private:
    size_t offset(int32_t m, int32_t x, int32_t y) const {
        return (static_cast<size_t>(m) * static_cast<size_t>(w_) + static_cast<size_t>(x)) *
                   static_cast<size_t>(d_) +
               static_cast<size_t>(y);
    }
    void checkIndex(int32_t m, int32_t x, int32_t y) const;

    int32_t nf_ = 0;
    int32_t w_ = 0;
    int32_t d_ = 0;
    // Cleared memory from the system: the pages of a large map are not touched (and so not written)
    // before the map is computed, so a cabinet or a zone is added without waiting for its maps' memory.
    struct FreeCells {
        void operator()(float* p) const { std::free(p); }
    };
    std::unique_ptr<float, FreeCells> cells_;
    size_t size_ = 0;
};

class TZoneData {
public:
    // NFreqAv layers of WidthPixels x DepthPixels for zone ID of the project; a zone that carries no
    // level map (a picture, or no SPL map) gets a 1 x 1 buffer that counts as calculated. ID outside
    // the project's zone list raises ERangeError.
    TZoneData(TAcousticProject* AcousticProjectOwner, int32_t NFreqAv, int32_t WidthPixels,
              int32_t DepthPixels, int32_t ID);

    void SetZoneLength(int32_t NFreq, int32_t WidthPx, int32_t DepthPx);
    void ClearData();

    int32_t NFreqs() const { return FNFreqs; }
    int32_t WidthPixels() const { return FWidthPixels; }
    int32_t DepthPixels() const { return FDepthPixels; }
    void SetNFreqs(int32_t v);
    void SetWidthPixels(int32_t v);
    void SetDepthPixels(int32_t v);

    // Largest value of layer 0, starting from 0; meaningful once layer 0 holds levels in dB.
    double MaxdBSPL() const;

    // The real and imaginary layers; the owning cabinet's map thread writes their cells.
    TMapLayers& MapRealFreq() { return FMapRealFreq; }
    const TMapLayers& MapRealFreq() const { return FMapRealFreq; }
    TMapLayers& MapImagFreq() { return FMapImagFreq; }
    const TMapLayers& MapImagFreq() const { return FMapImagFreq; }
    // The zone's index in the project's list; renumbered when a zone before it is removed.
    int32_t ZoneID() const { return FZoneID; }
    void SetZoneID(int32_t Value) { FZoneID = Value; }
    // Shared with the owning cabinet's map thread: the sources still to add into the buffer, and
    // whether it is complete.
    int32_t CalcCounter() const { return FCalcCounter.load(); }
    void SetCalcCounter(int32_t Value) { FCalcCounter = Value; }
    void RaiseCalcCounter() { ++FCalcCounter; }
    // Lowers the count by one; returns the count left.
    int32_t LowerCalcCounter() { return --FCalcCounter; }
    bool ZoneCalculated() const { return FZoneCalculated.load(); }
    void SetZoneCalculated(bool Value) { FZoneCalculated = Value; }

private:
    TMapLayers FMapRealFreq;
    TMapLayers FMapImagFreq;
    int32_t FZoneID = 0;
    // Shared with the owning cabinet's map thread.
    std::atomic<int32_t> FCalcCounter{0};
    std::atomic<bool> FZoneCalculated{false};
    TAcousticProject* FMyAcousticProject; // not owned
    int32_t FDepthPixels = 0;
    int32_t FWidthPixels = 0;
    double FMaxdBSPL = 0.0;
    int32_t FNFreqs = 0;
};

} // namespace vendrel
