#include "acoustics/mapping_zone.h"

#include <algorithm>
#include <cmath>

#include "acoustics/cabinet.h"
#include "acoustics/memory_budget.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// Below this listening height an image texture lies over the map, metres.
constexpr double kTextureOverMapHeight = 0.05;

// Saves a flag of the project and restores it on every exit path.
class RenderingRestorer {
public:
    RenderingRestorer(TAcousticProject& project, bool value)
        : project_(project), saved_(project.AllowRendering()) {
        project_.SetAllowRendering(value);
    }
    ~RenderingRestorer() { project_.SetAllowRendering(saved_); }
    RenderingRestorer(const RenderingRestorer&) = delete;
    RenderingRestorer& operator=(const RenderingRestorer&) = delete;
    bool saved() const { return saved_; }

private:
    TAcousticProject& project_;
    bool saved_;
};

} // namespace

TMappingZone::TMappingZone(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : TQzControl3D(nullptr), FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {
    FWidth = 0.0f;
    FDepth = 0.0f;
    FHeight = 0.0f;
}

TMappingZone::~TMappingZone() = default;

TMappingZone* TMappingZone::Create(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner,
                                   const std::string& iName, const TPoint3D& iPosition3D,
                                   const TPoint3D& iRotation3D, float iWidth, float iDepth, float iHeight,
                                   bool /*IsSelected*/, TSurfaceType iZoneType, TAlphaColor ZoneCreationColor,
                                   bool /*IsActive*/) {
    TAcousticProject& project = *AcousticProjectOwner;
    // Every cabinet gets a buffer for the new zone: no worker runs meanwhile.
    const TWorkersPause pause(project);
    // State changes of a zone under construction are not requests.
    RenderingRestorer rendering(project, false);
    TMappingZone* zone = project.appendMappingZone(
        std::unique_ptr<TMappingZone>(new TMappingZone(PhysicalSpace, AcousticProjectOwner)));
    try {
        zone->init(iName, iPosition3D, iRotation3D, iWidth, iDepth, iHeight, iZoneType, ZoneCreationColor,
                   rendering.saved());
    } catch (...) {
        // Leave the project as it was: no zone entry and no cabinet buffer for it.
        const size_t index = project.MappingZones().size() - 1;
        project.ForEachCabinet([index](TCabinet& cabinet) { cabinet.TruncateZoneData(index); });
        project.dropLastMappingZone();
        throw;
    }
    return zone;
}

void TMappingZone::init(const std::string& iName, const TPoint3D& iPosition3D, const TPoint3D& iRotation3D,
                        float iWidth, float iDepth, float iHeight, TSurfaceType iZoneType,
                        TAlphaColor ZoneCreationColor, bool renderingBefore) {
    TAcousticProject& project = *FMyAcousticProject;
    FMapState = TCalcState::qzaCalculated;
    FMappingSides = TMappingSides::qzaSPLOneSide;
    FImgTextureColor = ZoneCreationColor;
    FEditingPointID = -1;
    FZoneIndexID = project.NMappingZones() - 1;
    FName = iName;
    FSurfaceType = iZoneType;
    FWidthPixels = 1;
    FDepthPixels = 1;
    SetMapBMPSize(1, 1);
    FIsMapCleared = true;
    FMapMaterial = std::make_unique<TTextureMaterialSource>();
    FTopFloorMaterial = std::make_unique<TLightMaterialSource>();
    project.ForEachCabinet([&](TCabinet& cabinet) {
        cabinet.AppendZoneData(std::make_unique<TZoneData>(&project, project.NFreqsAverage(), FWidthPixels,
                                                           FDepthPixels, FZoneIndexID));
    });
    FMapSum = std::make_unique<TZoneData>(&project, 1, FWidthPixels, FDepthPixels, FZoneIndexID);
    SetRotationAngle(iRotation3D);
    FListenLevel = FSurfaceType == TSurfaceType::qzaPicture ? 0.0f : 1.7f;
    if (FSurfaceType != TSurfaceType::qzaPicture) {
        NeedsCalcAllCabsInZone();
    }
    FActive = true;
    FXBegin = iPosition3D.X;
    FZBegin = iPosition3D.Z;
    SetYBegin(iPosition3D.Y);
    RecalcPosBeginPx();
    SetWidth(iWidth);
    SetHeight(iHeight);
    // Rendering comes back before the last size is set, so that the new zone asks for its maps.
    FMyAcousticProject->SetAllowRendering(renderingBefore);
    SetDepth(iDepth);
}

double TMappingZone::pixelSize() const {
    return FPhysicalSpace->PixelToMeters();
}

int32_t TMappingZone::pixelCountOf(double Metres) const {
    // A zone narrower than one map pixel still gets one row or column: its map is that pixel.
    return std::max(1, RoundHalfEven<int32_t>(Metres / pixelSize()));
}

bool TMappingZone::HasLevelMap() const {
    return FSurfaceType != TSurfaceType::qzaPicture && FMappingSides != TMappingSides::qzaNoSPLMap;
}

void TMappingZone::SetMapBMPSize(int32_t w, int32_t h) {
    FMapBMP.SetSize(w, h, FNoMapColor);
}

// ---- Position and listening point ----

void TMappingZone::RecalcListenPointAbs() {
    const TPoint3D angles = RotationAngle();
    const auto rx = static_cast<float>(angles.X * kDegToRad);
    const auto ry = static_cast<float>(angles.Y * kDegToRad);
    const auto rz = static_cast<float>(angles.Z * kDegToRad);
    // The offset lies along the zone's normal, turned as the map kernel turns the zone's pixel grid, so
    // that the listening plane is the SPL surface drawn on the zone's solid. (The X and Z turns taken the
    // other way round, once used without upward growth, moved the plane sideways when both were set.)
    const TMatrix3D M =
        TMatrix3D::CreateRotationZ(rz) * TMatrix3D::CreateRotationX(-rx) * TMatrix3D::CreateRotationY(-ry);
    // Growing upwards, the listening height is measured from the slab's top face.
    const TPoint3D offset(0.0f, FListenLevel + (FMyAcousticProject->ZonasCrecenParriba() ? Height() : 0.0f),
                          0.0f);
    FListenPointAbs = offset * M;
    FMapFrameAngles = angles;
    RecalcPosBeginPx();
}

void TMappingZone::turned(bool aboutY) {
    const TWorkersPause pause(FMyAcousticProject);
    RecalcListenPointAbs();
    TAcousticProject& project = *FMyAcousticProject;
    project.SetIsProjectModified(true);
    if (!project.EventsEnabled()) {
        return;
    }
    if (FSurfaceType != TSurfaceType::qzaPicture) {
        NeedsCalcAllCabsInZone();
        SetMapState(TCalcState::qzaNeedsCalculate);
    } else if (aboutY) {
        SetMapState(TCalcState::qzaNeedsCalculate);
    }
}

void TMappingZone::RotationChanged() {
    TQzControl3D::RotationChanged();
    turned(false);
}

void TMappingZone::RotateXChanged() {
    TQzControl3D::RotateXChanged();
    turned(false);
}

void TMappingZone::RotateYChanged() {
    TQzControl3D::RotateYChanged();
    turned(true);
}

void TMappingZone::RotateZChanged() {
    TQzControl3D::RotateZChanged();
    turned(false);
}

void TMappingZone::RecalcPosBeginPx() {
    const double p = pixelSize();
    FPosBeginPx.X = static_cast<float>((FXBegin + FListenPointAbs.X) / p);
    FPosBeginPx.Y = static_cast<float>((FYBegin + FListenPointAbs.Y) / p);
    FPosBeginPx.Z = static_cast<float>((FZBegin + FListenPointAbs.Z) / p);
}

void TMappingZone::UpdateZonePosition() {
    FMyAcousticProject->SetIsProjectModified(true);
    // The rotation centre sits at the middle of the width, so the begin corner is half a width left.
    SetPosition(TPoint3D(static_cast<float>(FXBegin + Width() / 2.0), static_cast<float>(FYBegin),
                         static_cast<float>(FZBegin)));
    if (FSurfaceType != TSurfaceType::qzaPicture) {
        NeedsCalcAllCabsInZone();
        SetMapState(TCalcState::qzaNeedsCalculate);
    }
}

void TMappingZone::SetXBegin(double Value) {
    if (Value == FXBegin) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FXBegin = Value;
    FPosBeginPx.X = static_cast<float>((Value + FListenPointAbs.X) / pixelSize());
    UpdateZonePosition();
}

void TMappingZone::SetYBegin(double Value) {
    if (Value == FYBegin) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FYBegin = Value;
    FPosBeginPx.Y = static_cast<float>((Value + FListenPointAbs.Y) / pixelSize());
    UpdateZonePosition();
}

void TMappingZone::SetZBegin(double Value) {
    if (Value == FZBegin) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FZBegin = Value;
    FPosBeginPx.Z = static_cast<float>((Value + FListenPointAbs.Z) / pixelSize());
    UpdateZonePosition();
}

TPoint3D TMappingZone::XYZBegin() const {
    return TPoint3D(static_cast<float>(FXBegin), static_cast<float>(FYBegin), static_cast<float>(FZBegin));
}

void TMappingZone::SetXYZBegin(const TPoint3D& Value) {
    constexpr double tolerance = 1e-4;
    if (std::abs(Value.X - FXBegin) <= tolerance && std::abs(Value.Y - FYBegin) <= tolerance &&
        std::abs(Value.Z - FZBegin) <= tolerance) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FXYZBegin = Value;
    FXBegin = Value.X;
    FYBegin = Value.Y;
    FZBegin = Value.Z;
    RecalcPosBeginPx();
    UpdateZonePosition();
}

void TMappingZone::SetListenLevel(float Value) {
    if (Value == FListenLevel) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    if (FImageTexture != nullptr) {
        if (FListenLevel < kTextureOverMapHeight && Value >= kTextureOverMapHeight) {
            FIsMapCleared = false;
            FisTextureOverSPL = false;
            FisTextureOnTopFloor = true;
        } else if (FListenLevel >= kTextureOverMapHeight && Value < kTextureOverMapHeight) {
            FIsMapCleared = false;
            FisTextureOverSPL = true;
            FisTextureOnTopFloor = false;
        }
    } else {
        FisTextureOverSPL = false;
        FisTextureOnTopFloor = false;
    }
    FListenLevel = Value;
    if (!FIsMapCleared) {
        SetTextureSize();
    }
    RecalcListenPointAbs();
    UpdateZonePosition();
}

// ---- Outline figures ----

void TMappingZone::SetTrapezWidth1(double Value) {
    if (Value == FTrapezWidth1) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FTrapezWidth1 = Value;
    if (Value > FTrapezWidth2) {
        SetDepth(static_cast<float>(Value));
    }
}

void TMappingZone::SetTrapezWidth2(double Value) {
    if (Value == FTrapezWidth2) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FTrapezWidth2 = Value;
    if (Value > FTrapezWidth1) {
        SetDepth(static_cast<float>(Value));
    }
}

namespace {

template <typename Coord> void stretchOutline(std::vector<TPoint3D>& points, double newExtent, Coord coord) {
    if (points.empty()) {
        return;
    }
    double lo = coord(points.front());
    double hi = lo;
    for (const TPoint3D& p : points) {
        lo = std::min(lo, static_cast<double>(coord(p)));
        hi = std::max(hi, static_cast<double>(coord(p)));
    }
    const double range = hi - lo;
    if (range <= 0.0) {
        return; // a flat outline has no extent to stretch
    }
    for (TPoint3D& p : points) {
        float& c = coord(p);
        const double r = (c - lo) / range;
        c = static_cast<float>(c + (newExtent - range) * r);
    }
}

} // namespace

void TMappingZone::ResizePolygonX(double NewWidth) {
    stretchOutline(
        FPolygonPoints, NewWidth, [](auto& p) -> auto& { return p.X; });
}

void TMappingZone::ResizePolygonY(double NewDepth) {
    stretchOutline(
        FPolygonPoints, NewDepth, [](auto& p) -> auto& { return p.Y; });
}

// ---- Image texture and materials ----

void TMappingZone::CheckIsTextureOverSplOrFloor() {
    if (FImageTexture != nullptr) {
        FisTextureOnTopFloor = true;
        FisTextureOverSPL = FListenLevel < kTextureOverMapHeight;
    } else {
        FisTextureOnTopFloor = false;
        FisTextureOverSPL = false;
    }
}

void TMappingZone::FitTextureSize() {
    CheckIsTextureOverSplOrFloor();
    const double a = FMapBMP.Width() > 0 ? static_cast<double>(FMapBMP.Height()) / FMapBMP.Width() : 1.0;
    // The image's size fitted to the bitmap's aspect.
    const auto imageFit = [&](int32_t& w, int32_t& h) {
        const int32_t iw = FImageTexture->Width();
        const int32_t ih = FImageTexture->Height();
        if (iw > ih) {
            w = iw;
            h = a <= 1.0 ? Trunc<int32_t>(iw * a) : Trunc<int32_t>(iw / a);
        } else {
            h = ih;
            w = a <= 1.0 ? Trunc<int32_t>(ih * a) : Trunc<int32_t>(ih / a);
        }
    };
    const bool imageLarger =
        FImageTexture != nullptr && static_cast<int64_t>(FImageTexture->Width()) * FImageTexture->Height() >
                                        static_cast<int64_t>(FMapBMP.Width()) * FMapBMP.Height();
    if (FisTextureOverSPL && imageLarger) {
        imageFit(FMapTextureWidth, FMapTextureHeight);
    } else {
        FMapTextureWidth = FMapBMP.Width();
        FMapTextureHeight = FMapBMP.Height();
    }
    if (FisTextureOnTopFloor) {
        imageFit(FTopFloorTextureWidth, FTopFloorTextureHeight);
    } else {
        FTopFloorTextureWidth = 1;
        FTopFloorTextureHeight = 1;
    }
}

void TMappingZone::SetTextureSize() {
    FitTextureSize();
    ApplyTexture();
}

namespace {

// Src stretched over the whole of dst (nearest pixel), blended at opacity. A source pixel drawn at
// full strength replaces the destination and one at none leaves it, exactly as the blend would.
void drawStretched(TBitmap& dst, const TBitmap& src, double opacity) {
    if (dst.IsEmpty() || src.IsEmpty()) {
        return;
    }
    auto& out = dst.Pixels();
    const auto& in = src.Pixels();
    std::vector<int> columns(static_cast<size_t>(dst.Width()));
    for (int x = 0; x < dst.Width(); ++x) {
        columns[static_cast<size_t>(x)] =
            static_cast<int>(static_cast<int64_t>(x) * src.Width() / dst.Width());
    }
    const auto blend = [opacity](TAlphaColor s, TAlphaColor d) {
        const double alpha = ((s >> 24) & 0xFF) / 255.0 * opacity;
        if (alpha == 1.0) {
            return s;
        }
        if (alpha == 0.0) {
            return d;
        }
        const double dstAlpha = ((d >> 24) & 0xFF);
        TAlphaColor blended =
            static_cast<TAlphaColor>(RoundHalfEven<int32_t>(alpha * 255.0 + dstAlpha * (1.0 - alpha))) << 24;
        for (int shift = 0; shift < 24; shift += 8) {
            const double sc = (s >> shift) & 0xFF;
            const double dc = (d >> shift) & 0xFF;
            blended |= static_cast<TAlphaColor>(RoundHalfEven<int32_t>(sc * alpha + dc * (1.0 - alpha)))
                       << shift;
        }
        return blended;
    };
    for (int y = 0; y < dst.Height(); ++y) {
        const int sy = static_cast<int>(static_cast<int64_t>(y) * src.Height() / dst.Height());
        const TAlphaColor* srcRow = in.data() + static_cast<size_t>(sy) * src.Width();
        TAlphaColor* dstRow = out.data() + static_cast<size_t>(y) * dst.Width();
        for (int x = 0; x < dst.Width(); ++x) {
            dstRow[x] = blend(srcRow[columns[static_cast<size_t>(x)]], dstRow[x]);
        }
    }
}

// A bitmap of the wanted size; an allocation that fails is retried at three quarters of each side.
TBitmap allocateTexture(int32_t& w, int32_t& h, TAlphaColor fill) {
    for (;;) {
        try {
            return TBitmap(std::max(w, 0), std::max(h, 0), fill);
        } catch (const std::bad_alloc&) {
            w = Trunc<int32_t>(w * 0.75);
            h = Trunc<int32_t>(h * 0.75);
        }
    }
}

} // namespace

void TMappingZone::ApplyTexture() {
    FMyAcousticProject->SetIsProjectModified(true);
    CheckIsTextureOverSplOrFloor();
    if (FMapMaterial == nullptr || FTopFloorMaterial == nullptr) {
        return;
    }
    const bool mapped = HasLevelMap();
    if (FisTextureOverSPL) {
        TBitmap map = allocateTexture(FMapTextureWidth, FMapTextureHeight, FImgTextureColor);
        if (mapped) {
            drawStretched(map, FMapBMP, 1.0);
        }
        drawStretched(map, *FImageTexture, FImgTextureOpacity);
        FMapMaterial->SetTexture(std::move(map));
    } else if (mapped) {
        FMapMaterial->SetTexture(FMapBMP);
    } else {
        FMapMaterial->SetTexture(allocateTexture(FMapTextureWidth, FMapTextureHeight, FImgTextureColor));
    }
    TBitmap floor = allocateTexture(FTopFloorTextureWidth, FTopFloorTextureHeight, FImgTextureColor);
    if (FisTextureOnTopFloor) {
        drawStretched(floor, *FImageTexture, FImgTextureOpacity);
    }
    FTopFloorMaterial->SetTexture(std::move(floor));
}

void TMappingZone::SetTextureSides(const TExtrudedShapeSides& Value) {
    if (Value == FTextureSides) {
        return;
    }
    FTextureSides = Value;
    ApplyTexture();
}

void TMappingZone::ClearCADImage() {
    FMyAcousticProject->SetIsProjectModified(true);
    if (FImageTexture == nullptr) {
        return;
    }
    FImageTexture->Clear(0x00FFFFFF); // fully transparent white
    ApplyTexture();
}

// ---- Size ----

void TMappingZone::SetWidth(float Value) {
    if (Value == FWidth) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FMyAcousticProject->SetIsProjectModified(true);
    FIsMapCleared = false;
    TQzControl3D::SetWidth(Value);
    if (FSurfaceType == TSurfaceType::qzaPolygon) {
        ResizePolygonX(Width());
    }
    SetWidthPixels(pixelCountOf(Width()));
    SetPositionX(static_cast<float>(Width() / 2.0 + FXBegin));
    SetRotationCenterX(-Width() / 2.0f);
}

void TMappingZone::SetDepth(float Value) {
    if (Value == FDepth) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FMyAcousticProject->SetIsProjectModified(true);
    FIsMapCleared = false;
    TQzControl3D::SetDepth(Value);
    if (FSurfaceType == TSurfaceType::qzaPolygon) {
        ResizePolygonY(Depth());
    }
    SetDepthPixels(pixelCountOf(Depth()));
    SetPositionZ(static_cast<float>(FZBegin));
    SetRotationCenterY(0.0f);
}

void TMappingZone::SetHeight(float Value) {
    const TWorkersPause pause(FMyAcousticProject);
    TQzControl3D::SetHeight(Value);
    FMyAcousticProject->SetIsProjectModified(true);
    SetRotationCenterZ(-Height() * 0.5f);
    RecalcListenPointAbs();
    if (FSurfaceType != TSurfaceType::qzaPicture) {
        NeedsCalcAllCabsInZone();
        SetMapState(TCalcState::qzaNeedsCalculate);
    }
}

void TMappingZone::SetDimensions(float theWidth, float theDepth) {
    const TWorkersPause pause(FMyAcousticProject);
    FWidth = theWidth;
    FDepth = theDepth;
    Repaint();
    if (FSurfaceType == TSurfaceType::qzaTrapezium && FTrapezWidth1 < 1e-4 && FTrapezWidth2 < 1e-4) {
        // Stored as the widths' setters would leave them, without re-sizing the zone in between.
        FTrapezWidth1 = theDepth * 0.5;
        FTrapezWidth2 = theDepth;
    }
    SetPixelDimensions(pixelCountOf(theWidth), pixelCountOf(theDepth));
    SetPosition(
        TPoint3D(static_cast<float>(theWidth / 2.0 + FXBegin), Position().Y, static_cast<float>(FZBegin)));
    SetRotationCenter(TPoint3D(-theWidth / 2.0f, 0.0f, RotationCenter().Z));
}

void TMappingZone::SetPixelDimensions(int32_t w, int32_t d) {
    if (w == FWidthPixels && d == FDepthPixels) {
        return;
    }
    FWidthPixels = w;
    FDepthPixels = d;
    if (FMyAcousticProject->EventsEnabled()) {
        UpdateMapLength();
    }
}

// ---- Map buffers ----

void TMappingZone::UpdateMapLength() {
    const TWorkersPause pause(FMyAcousticProject);
    TAcousticProject& project = *FMyAcousticProject;
    if (HasLevelMap()) {
        SetMapBMPSize(FWidthPixels, FDepthPixels);
        FMapSum->SetZoneLength(FMapSum->NFreqs(), FWidthPixels, FDepthPixels);
        project.SetZoneMapLengthToAllCabs(FZoneIndexID);
        NeedsCalcAllCabsInZone();
        SetMapState(TCalcState::qzaNeedsCalculate);
        return;
    }
    FWidthPixels = 1;
    FDepthPixels = 1;
    SetMapBMPSize(1, 1);
    FMapSum->SetZoneLength(1, 1, 1);
    project.SetZoneMapLengthToAllCabs(FZoneIndexID);
    SetMapState(TCalcState::qzaCalculated);
}

void TMappingZone::pixelCountChanged() {
    // The zone's sum and every cabinet's buffer for it are re-sized: no worker may index them.
    const TWorkersPause pause(FMyAcousticProject);
    TAcousticProject& project = *FMyAcousticProject;
    const bool events = project.EventsEnabled();
    if (HasLevelMap()) {
        SetMapBMPSize(FWidthPixels, FDepthPixels);
        FMapSum->SetZoneLength(1, FWidthPixels, FDepthPixels);
        if (events) {
            project.SetZoneMapLengthToAllCabs(FZoneIndexID);
            NeedsCalcAllCabsInZone();
            SetMapState(TCalcState::qzaNeedsCalculate);
        }
        return;
    }
    FWidthPixels = 1;
    FDepthPixels = 1;
    SetMapBMPSize(1, 1);
    FMapSum->SetZoneLength(1, 1, 1);
    if (events) {
        project.SetZoneMapLengthToAllCabs(FZoneIndexID);
        SetMapState(TCalcState::qzaCalculated);
    }
}

void TMappingZone::SetWidthPixels(int32_t Value) {
    if (Value == FWidthPixels) {
        return;
    }
    FWidthPixels = Value;
    pixelCountChanged();
}

void TMappingZone::SetDepthPixels(int32_t Value) {
    if (Value == FDepthPixels) {
        return;
    }
    FDepthPixels = Value;
    pixelCountChanged();
}

void TMappingZone::RestoreReleasedBuffers() {
    if (FMapSum->MapRealFreq().Empty() || FMapSum->MapImagFreq().Empty()) {
        UpdateMapLength();
    }
}

void TMappingZone::SetMappingSides(TMappingSides Value) {
    if (Value == FMappingSides) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    TAcousticProject& project = *FMyAcousticProject;
    if (Value != TMappingSides::qzaNoSPLMap && FSurfaceType != TSurfaceType::qzaPicture) {
        bool changed = false;
        if (!project.IsCheckingMemory()) {
            changed = CheckMemoryOnChangeZone(Width(), Depth());
        }
        FDepthPixels = pixelCountOf(Depth());
        FWidthPixels = pixelCountOf(Width());
        SetMapBMPSize(FWidthPixels, FDepthPixels);
        FMapSum->SetZoneLength(1, FWidthPixels, FDepthPixels);
        FMappingSides = Value;
        FIsMapCleared = false;
        if (!project.EventsEnabled()) {
            return;
        }
        project.SetZoneMapLengthToAllCabs(FZoneIndexID);
        if (changed) {
            NeedsCalcAllCabsInZone();
            for (auto& zone : project.MappingZones()) {
                zone->SetMapState(TCalcState::qzaNeedsCalculate);
            }
        } else {
            SetMapState(TCalcState::qzaNeedsCalculate);
        }
    } else {
        FWidthPixels = 1;
        FDepthPixels = 1;
        SetMapBMPSize(1, 1);
        FMapSum->SetZoneLength(1, 1, 1);
        FMappingSides = Value;
        project.SetZoneMapLengthToAllCabs(FZoneIndexID);
    }
    if (FImageTexture != nullptr) {
        SetTextureSize();
    }
}

// ---- State and requests ----

void TMappingZone::NeedsCalcAllCabsInZone() {
    TAcousticProject& project = *FMyAcousticProject;
    project.SetIsProjectModified(true);
    if (!HasLevelMap()) {
        return;
    }
    ClearMap();
    const int32_t zone = FZoneIndexID;
    project.ForEachCabinet(
        [zone](TCabinet& cabinet) { At(cabinet.MapData(), zone)->SetZoneCalculated(false); });
}

void TMappingZone::ClearMap() {
    if (FIsMapCleared) {
        return;
    }
    FMapBMP.Clear(FNoMapColor);
    TCalcState sumed = TCalcState::qzaIsSumed;
    FMapState.compare_exchange_strong(sumed, TCalcState::qzaCalculated);
    ApplyTexture();
    FIsMapCleared = true;
}

void TMappingZone::SetMapState(TCalcState Value) {
    TAcousticProject& project = *FMyAcousticProject;
    if (!project.EventsEnabled() || project.TotalCabinets() == 0) {
        return;
    }
    if (!project.AllowRendering()) {
        return;
    }
    if (Value == FMapState.load() && !project.ForceCalculation()) {
        return;
    }
    FMapState = Value;
    if (!project.ContinuousRender() && !project.ForceCalculation()) {
        return;
    }
    if (Value == TCalcState::qzaNeedsCalculate) {
        project.SetAllCabsNeedsCalculateMapsInZone(FZoneIndexID);
    } else if (Value == TCalcState::qzaNeedsSum) {
        project.SetAllMapsState(TCalcState::qzaNeedsCalculate);
        project.ExecuteAllMapsThread();
    }
}

void TMappingZone::SetActive(bool Value) {
    if (Value == FActive.load()) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FActive = Value;
    TAcousticProject& project = *FMyAcousticProject;
    project.SetIsProjectModified(true);
    const TCalcState state = FMapState.load();
    if (project.TotalCabinets() > 0 &&
        (state == TCalcState::qzaCalculated || state == TCalcState::qzaIsSumed) &&
        project.ContinuousRender()) {
        project.SumAllCabinetsNow(FZoneIndexID);
    }
}

// ---- Memory check before the zone grows ----

bool TMappingZone::CheckMemoryOnChangeZone(float WidthIncrement, float DepthIncrement) {
    TAcousticProject& project = *FMyAcousticProject;
    if (!project.EventsEnabled()) {
        return false;
    }
    const TWorkersPause pause(project);
    project.SetIsCheckingMemory(true);
    struct ClearChecking {
        TAcousticProject& project;
        ~ClearChecking() { project.SetIsCheckingMemory(false); }
    } clearChecking{project};
    project.RefreshMemoryFigures();

    double p = pixelSize();
    const double m0 = project.CalcMemoryInAllMaps(p);
    const auto addedPixels = [&](double size) {
        const int64_t a = RoundHalfEven<int64_t>(static_cast<double>(WidthIncrement) / size);
        const int64_t b = RoundHalfEven<int64_t>(static_cast<double>(DepthIncrement) / size);
        // The growth at this size: the new strips along both edges and their corner.
        const int64_t w = RoundHalfEven<int64_t>(static_cast<double>(Width()) / size);
        const int64_t d = RoundHalfEven<int64_t>(static_cast<double>(Depth()) / size);
        return CheckedAdd(CheckedAdd(CheckedMul(a, d), CheckedMul(b, w)), CheckedMul(a, b));
    };
    const int64_t n = CheckedAdd(
        CheckedAdd(CheckedMul<int64_t>(RoundHalfEven<int64_t>(static_cast<double>(WidthIncrement) / p),
                                       FDepthPixels),
                   CheckedMul<int64_t>(RoundHalfEven<int64_t>(static_cast<double>(DepthIncrement) / p),
                                       FWidthPixels)),
        CheckedMul(RoundHalfEven<int64_t>(static_cast<double>(WidthIncrement) / p),
                   RoundHalfEven<int64_t>(static_cast<double>(DepthIncrement) / p)));
    double need = project.CalcMemoryIncrementAllMaps(n);
    if (need <= project.MaxMemoryToUse()) {
        return false;
    }
    // Already beyond the coarsest quality: nothing can be coarsened, so the maps are kept as they are
    // rather than released with no resolution to size them again.
    if (p > kCoarsestRenderPixel) {
        ShowMinimumResolutionMessage();
        return false;
    }
    project.ClearMapsLength();
    ShowLowMemoryMessage();
    bool goOn = true;
    while (goOn && need > project.MaxMemoryToUse()) {
        p = CoarserPixelSize(p);
        if (p > kCoarsestRenderPixel) {
            ShowMinimumResolutionMessage();
            goOn = false;
        }
        need = project.CalcMemoryIncrementAllMaps(addedPixels(p)) - (m0 - project.CalcMemoryInAllMaps(p));
    }

    FPhysicalSpace->StorePixelToMeters(p);
    project.RescaleObjectsToPixelSize();
    for (auto& zone : project.MappingZones()) {
        const int32_t w = zone->WidthPixels();
        const int32_t d = zone->DepthPixels();
        zone->SetDimensions(zone->Width(), zone->Depth());
        if (zone->WidthPixels() == w && zone->DepthPixels() == d && project.EventsEnabled()) {
            zone->UpdateMapLength();
        }
        zone->RecalcPosBeginPx();
    }
    const int index = RenderQualityIndexOf(p);
    if (index >= 0) {
        project.SetRenderQuality(static_cast<TRenderQuality>(index));
    } else {
        FPhysicalSpace->SetPixelToMeters(p);
    }
    {
        RenderingRestorer rendering(project, true);
        project.ReCalculateZones(-1);
    }
    return true;
}

// ---- Aiming rays ----

namespace {

// The surface of a zone that an aiming ray is cast against: the first child of the first child of the
// zone's drawn object (its solid inside the holder), or null while the zone is not drawn.
TControl3D* zoneRaySurface(const TMappingZone& zone) {
    const TControl3D* drawn = zone.GraphicalObject;
    if (drawn == nullptr || drawn->ChildrenCount() == 0) {
        return nullptr;
    }
    const TControl3D* holder = drawn->Children(0);
    return holder->ChildrenCount() == 0 ? nullptr : holder->Children(0);
}

} // namespace

TZoneRayHit FarthestZoneHit(const TAcousticProject& Project, const TControl3D& Frame, const TPoint3D& Start,
                            const TPoint3D& Direction) {
    TZoneRayHit result;
    double best = 0.0;
    for (const auto& zone : Project.MappingZones()) {
        if (zone->MappingSides() == TMappingSides::qzaNoSPLMap) {
            continue;
        }
        TControl3D* surface = zoneRaySurface(*zone);
        if (surface == nullptr) {
            continue;
        }
        TPoint3D hit;
        if (!surface->RayCastIntersect(surface->AbsoluteToLocal3D(Start),
                                       surface->AbsoluteToLocalDirection(Direction), hit)) {
            continue;
        }
        const TPoint3D local = Frame.AbsoluteToLocal3D(hit);
        if (local.X > best && local.X > 0.001) {
            result.Zone = zone.get();
            result.Local = TVector3D(local);
            result.Absolute = TVector3D(hit);
            best = local.X;
        }
    }
    return result;
}

} // namespace vendrel
