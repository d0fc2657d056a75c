#pragma once
// An audience area or drawn surface on which sound pressure is predicted and painted: a flat slab of
// given width, depth and thickness, placed by its begin corner and turned by three rotation angles,
// whose surface is a grid of square map pixels. The zone owns the summed map of all sources over it
// (MapSum) and the bitmap the levels are painted on; every cabinet keeps one more buffer per zone.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "acoustics/zone_data.h"
#include "platform/core/bitmap.h"
#include "platform/core/geometry3d.h"
#include "platform/core/material.h"
#include "scene/extruded_shape.h"
#include "scene/scene_object.h"
#include "scene/zone_shapes.h"

namespace vendrel {

class TAcousticProject;
class TPhysicalSpace;

enum class TSurfaceType : uint8_t { qzaRectangle, qzaTrapezium, qzaPolygon, qzaPicture };

enum class TMappingSides : uint8_t { qzaNoSPLMap, qzaSPLOneSide, qzaSPLTwoSide };

enum class TTextureType : uint8_t { qzaLoadedImage, qzaLibTexture, qzaColor };

class TMappingZone : public TQzControl3D {
public:
    // Creates a zone, appends it to the project's MappingZones (which owns it) and gives every
    // cabinet of the project a buffer for it. Returns the new zone. iPosition3D is the begin corner in
    // metres, iRotation3D the angles in degrees; IsSelected and IsActive are accepted and not used.
    static TMappingZone* Create(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner,
                                const std::string& iName, const TPoint3D& iPosition3D,
                                const TPoint3D& iRotation3D, float iWidth, float iDepth, float iHeight,
                                bool IsSelected, TSurfaceType iZoneType, TAlphaColor ZoneCreationColor,
                                bool IsActive);
    ~TMappingZone() override;
    TMappingZone(const TMappingZone&) = delete;
    TMappingZone& operator=(const TMappingZone&) = delete;

    // ---- Geometry (metres): width along local X, depth along local Z, thickness along local Y ----
    void SetWidth(float Value) override;
    void SetDepth(float Value) override;
    // Recomputes the listening point and asks for the maps also when the height is unchanged.
    void SetHeight(float Value) override;
    // Stores width and depth directly and re-sizes the pixel grid for the current pixel size.
    void SetDimensions(float theWidth, float theDepth);
    double XBegin() const { return FXBegin; }
    double YBegin() const { return FYBegin; }
    double ZBegin() const { return FZBegin; }
    void SetXBegin(double Value);
    void SetYBegin(double Value);
    void SetZBegin(double Value);
    // The begin corner as one point; a change below 0.1 mm on every axis is ignored.
    TPoint3D XYZBegin() const;
    void SetXYZBegin(const TPoint3D& Value);

    TSurfaceType SurfaceType() const { return FSurfaceType; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }

    // ---- Outline figures ----
    double TrapezWidth1() const { return FTrapezWidth1; }
    double TrapezWidth2() const { return FTrapezWidth2; }
    double TrapezHeight() const { return FTrapezHeight; }
    // A width larger than the other one becomes the zone's depth.
    void SetTrapezWidth1(double Value);
    void SetTrapezWidth2(double Value);
    void SetTrapezHeight(double Value) { FTrapezHeight = Value; }
    // Polygon outline in zone coordinates: X along the width, Y along the depth.
    const std::vector<TPoint3D>& PolygonPoints() const { return FPolygonPoints; }
    void SetPolygonPoints(std::vector<TPoint3D> Value) { FPolygonPoints = std::move(Value); }
    int32_t NPolygonPoints() const { return static_cast<int32_t>(FPolygonPoints.size()); }
    // Stretch the outline to a new extent, keeping its lowest coordinate; a flat outline stays.
    void ResizePolygonX(double NewWidth);
    void ResizePolygonY(double NewDepth);
    // The rounded or bevelled corners of a rectangle's outline (radii in metres); the outline is
    // built from them when the zone is drawn.
    bool CornerTopLeft() const { return FCornerTopLeft; }
    void SetCornerTopLeft(bool Value) { FCornerTopLeft = Value; }
    bool CornerTopRight() const { return FCornerTopRight; }
    void SetCornerTopRight(bool Value) { FCornerTopRight = Value; }
    bool CornerBotLeft() const { return FCornerBotLeft; }
    void SetCornerBotLeft(bool Value) { FCornerBotLeft = Value; }
    bool CornerBotRight() const { return FCornerBotRight; }
    void SetCornerBotRight(bool Value) { FCornerBotRight = Value; }
    double TLXRadius() const { return FTLXRadius; }
    void SetTLXRadius(double Value) { FTLXRadius = Value; }
    double TLYRadius() const { return FTLYRadius; }
    void SetTLYRadius(double Value) { FTLYRadius = Value; }
    double TRXRadius() const { return FTRXRadius; }
    void SetTRXRadius(double Value) { FTRXRadius = Value; }
    double TRYRadius() const { return FTRYRadius; }
    void SetTRYRadius(double Value) { FTRYRadius = Value; }
    double BLXRadius() const { return FBLXRadius; }
    void SetBLXRadius(double Value) { FBLXRadius = Value; }
    double BLYRadius() const { return FBLYRadius; }
    void SetBLYRadius(double Value) { FBLYRadius = Value; }
    double BRXRadius() const { return FBRXRadius; }
    void SetBRXRadius(double Value) { FBRXRadius = Value; }
    double BRYRadius() const { return FBRYRadius; }
    void SetBRYRadius(double Value) { FBRYRadius = Value; }
    TCornerType TLCornerType() const { return FTLCornerType; }
    void SetTLCornerType(TCornerType Value) { FTLCornerType = Value; }
    TCornerType TRCornerType() const { return FTRCornerType; }
    void SetTRCornerType(TCornerType Value) { FTRCornerType = Value; }
    TCornerType BLCornerType() const { return FBLCornerType; }
    void SetBLCornerType(TCornerType Value) { FBLCornerType = Value; }
    TCornerType BRCornerType() const { return FBRCornerType; }
    void SetBRCornerType(TCornerType Value) { FBRCornerType = Value; }
    // The zone carries a level map: not a picture and mapped on at least one side.
    bool HasLevelMap() const;

    // ---- Map grid, state and buffers ----
    TMappingSides MappingSides() const { return FMappingSides; }
    void SetMappingSides(TMappingSides Value);
    int32_t WidthPixels() const { return FWidthPixels; }
    int32_t DepthPixels() const { return FDepthPixels; }
    void SetWidthPixels(int32_t Value);
    void SetDepthPixels(int32_t Value);
    TCalcState MapState() const { return FMapState.load(); }
    void SetMapState(TCalcState Value);
    // Stores a state without the setter's requests: the summation and the map kernel's abort path
    // move zones between states this way.
    void StoreMapState(TCalcState Value) { FMapState = Value; }
    bool Active() const { return FActive.load(); }
    void SetActive(bool Value);

    // The painted level bitmap's size; 0 x 0 once the maps are released.
    int32_t MapBMPWidth() const { return FMapBMP.Width(); }
    int32_t MapBMPHeight() const { return FMapBMP.Height(); }
    // Re-sizes the level bitmap, filled with the no-map colour.
    void SetMapBMPSize(int32_t w, int32_t h);

    // ---- Image texture and materials ----
    // Where the image lies: over the map (listening height below 0.05 m) and on the slab's top floor.
    bool isTextureOverSPL() const { return FisTextureOverSPL; }
    bool isTextureOnTopFloor() const { return FisTextureOnTopFloor; }
    void CheckIsTextureOverSplOrFloor();
    // Composes the map and top-floor textures from the level bitmap, the image and its colour.
    void ApplyTexture();
    // Sizes the two material textures for the bitmap and the image (FitTextureSize), then composes
    // them (ApplyTexture).
    void SetTextureSize();
    void FitTextureSize();
    // Makes the image fully transparent.
    void ClearCADImage();
    // The faces of the solid that carry the texture.
    const TExtrudedShapeSides& TextureSides() const { return FTextureSides; }
    void SetTextureSides(const TExtrudedShapeSides& Value);

    // The image shown on the zone (owned, null when none) and how it is shown; ApplyTexture composes
    // it with the levels.
    TBitmap* ImageTexture() const { return FImageTexture.get(); }
    void SetImageTexture(std::unique_ptr<TBitmap> Value) { FImageTexture = std::move(Value); }
    TTextureType ImageTextureType() const { return FImageTextureType; }
    void SetImageTextureType(TTextureType Value) { FImageTextureType = Value; }
    const std::string& ImageTextureLibName() const { return FImageTextureLibName; }
    void SetImageTextureLibName(std::string Value) { FImageTextureLibName = std::move(Value); }
    const std::string& ImageTexturePath() const { return FImageTexturePath; }
    void SetImageTexturePath(std::string Value) { FImageTexturePath = std::move(Value); }
    double ImgTextureOpacity() const { return FImgTextureOpacity; }
    void SetImgTextureOpacity(double Value) { FImgTextureOpacity = Value; }
    double ImgTextureRot() const { return FImgTextureRot; }
    void SetImgTextureRot(double Value) { FImgTextureRot = Value; }
    bool ImageTextureHasTransparecy() const { return FImageTextureHasTransparecy; }
    void SetImageTextureHasTransparecy(bool Value) { FImageTextureHasTransparecy = Value; }
    TAlphaColor ImgTransparentColor() const { return FImgTransparentColor; }
    void SetImgTransparentColor(TAlphaColor Value) { FImgTransparentColor = Value; }
    int32_t ImgTranspTolerance() const { return FImgTranspTolerance; }
    void SetImgTranspTolerance(int32_t Value) { FImgTranspTolerance = Value; }
    TAlphaColor ImgTextureColor() const { return FImgTextureColor; }
    void SetImgTextureColor(TAlphaColor Value) { FImgTextureColor = Value; }
    // The materials showing the levels (or the image over them) and the image on the top floor.
    TTextureMaterialSource* MapMaterial() const { return FMapMaterial.get(); }
    TLightMaterialSource* TopFloorMaterial() const { return FTopFloorMaterial.get(); }
    // A reference segment on a picture surface, used to scale its image.
    double RefBeginX() const { return FRefBeginX; }
    void SetRefBeginX(double Value) { FRefBeginX = Value; }
    double RefBeginY() const { return FRefBeginY; }
    void SetRefBeginY(double Value) { FRefBeginY = Value; }
    double RefEndX() const { return FRefEndX; }
    void SetRefEndX(double Value) { FRefEndX = Value; }
    double RefEndY() const { return FRefEndY; }
    void SetRefEndY(double Value) { FRefEndY = Value; }
    float RefLength() const { return FRefLength; }
    void SetRefLength(float Value) { FRefLength = Value; }

    void NeedsCalcAllCabsInZone();
    void ClearMap();
    void UpdateMapLength();
    // Sizes the buffers again when a resolution change released them and left the pixel grid as it was.
    void RestoreReleasedBuffers();
    // Called before the zone grows by the given metres; true when it changed the map resolution.
    bool CheckMemoryOnChangeZone(float WidthIncrement, float DepthIncrement);
    void RecalcPosBeginPx();
    void RecalcListenPointAbs();
    // The rotation angles (degrees) the map kernel turns the pixel grid by: taken with the listening
    // point, under the workers' pause, so that a pass never reads an angle being changed.
    const TPoint3D& MapFrameAngles() const { return FMapFrameAngles; }
    float ListenLevel() const { return FListenLevel; }
    void SetListenLevel(float Value);

    // Begin corner plus listening offset, in map pixels: where the map computation starts its grid.
    const TPoint3D& PosBeginPx() const { return FPosBeginPx; }
    // The listening offset turned by the zone's rotation, metres.
    const TPoint3D& ListenPointAbs() const { return FListenPointAbs; }

    // The summed map, then the level map in layer 0.
    TZoneData* MapSum() const { return FMapSum.get(); }
    // The painted levels, WidthPixels x DepthPixels; the colour mapping paints into it.
    TBitmap& MapBMP() { return FMapBMP; }
    const TBitmap& MapBMP() const { return FMapBMP; }
    // No levels painted since the map was cleared.
    bool IsMapCleared() const { return FIsMapCleared; }
    void SetIsMapCleared(bool Value) { FIsMapCleared = Value; }
    TAlphaColor NoMapColor() const { return FNoMapColor; }
    void SetNoMapColor(TAlphaColor Value) { FNoMapColor = Value; }
    // The zone's highest level and highest energy sum, dB, as the summation stores them (the summing
    // thread among others).
    double MaxdBSPL() const { return FMaxdBSPL.load(); }
    void StoreMaxdBSPL(double Value) { FMaxdBSPL = Value; }
    double MaxdBEnergySum() const { return FMaxdBEnergySum.load(); }
    void StoreMaxdBEnergySum(double Value) { FMaxdBEnergySum = Value; }
    // The zone's index in the project's list; the project renumbers the zones after a removal.
    int32_t ZoneIndexID() const { return FZoneIndexID; }
    void SetZoneIndexID(int32_t Value) { FZoneIndexID = Value; }
    const std::string& Name() const { return FName; }
    void SetName(std::string Value) { FName = std::move(Value); }
    // The outline point being edited, -1 when none.
    int32_t EditingPointID() const { return FEditingPointID; }
    void SetEditingPointID(int32_t Value) { FEditingPointID = Value; }

protected:
    void RotationChanged() override;
    void RotateXChanged() override;
    void RotateYChanged() override;
    void RotateZChanged() override;

private:
    std::vector<TPoint3D> FPolygonPoints;
    bool FCornerTopLeft = false;
    bool FCornerTopRight = false;
    bool FCornerBotLeft = false;
    bool FCornerBotRight = false;
    double FTLXRadius = 2.0;
    double FTLYRadius = 2.0;
    double FTRXRadius = 2.0;
    double FTRYRadius = 2.0;
    double FBLXRadius = 2.0;
    double FBLYRadius = 2.0;
    double FBRXRadius = 2.0;
    double FBRYRadius = 2.0;
    TCornerType FTLCornerType = TCornerType::Bevel;
    TCornerType FTRCornerType = TCornerType::Bevel;
    TCornerType FBLCornerType = TCornerType::Bevel;
    TCornerType FBRCornerType = TCornerType::Bevel;
    std::unique_ptr<TBitmap> FImageTexture;
    TTextureType FImageTextureType = TTextureType::qzaColor;
    std::string FImageTextureLibName;
    std::string FImageTexturePath;
    double FImgTextureOpacity = 1.0;
    double FImgTextureRot = 0.0;
    bool FImageTextureHasTransparecy = false;
    TAlphaColor FImgTransparentColor = 0;
    int32_t FImgTranspTolerance = 35;
    TAlphaColor FImgTextureColor = 0;
    std::unique_ptr<TTextureMaterialSource> FMapMaterial;
    std::unique_ptr<TLightMaterialSource> FTopFloorMaterial;
    int32_t FMapTextureWidth = 1, FMapTextureHeight = 1;
    int32_t FTopFloorTextureWidth = 1, FTopFloorTextureHeight = 1;
    double FRefBeginX = 0.0;
    double FRefBeginY = 0.0;
    double FRefEndX = 0.0;
    double FRefEndY = 0.0;
    float FRefLength = 0.0f;
    TPoint3D FPosBeginPx;
    std::unique_ptr<TZoneData> FMapSum;
    TBitmap FMapBMP;
    bool FIsMapCleared = true;
    TAlphaColor FNoMapColor = 0;
    std::atomic<double> FMaxdBSPL{0.0};
    std::atomic<double> FMaxdBEnergySum{0.0};
    int32_t FZoneIndexID = 0;
    std::string FName;
    int32_t FEditingPointID = -1;
    TPoint3D FListenPointAbs;
    TPoint3D FMapFrameAngles;
    float FListenLevel = 0.0f;
    TPhysicalSpace* FPhysicalSpace = nullptr;       // not owned
    TAcousticProject* FMyAcousticProject = nullptr; // the owning project
    double FXBegin = 0.0;
    double FYBegin = 0.0;
    double FZBegin = 0.0;
    TPoint3D FXYZBegin;
    TSurfaceType FSurfaceType = TSurfaceType::qzaRectangle;
    TMappingSides FMappingSides = TMappingSides::qzaSPLOneSide;
    int32_t FWidthPixels = 1;
    int32_t FDepthPixels = 1;
    std::atomic<TCalcState> FMapState{TCalcState::qzaCalculated};
    std::atomic<bool> FActive{true};
    double FTrapezWidth1 = 1e-5;
    double FTrapezWidth2 = 1e-5;
    double FTrapezHeight = 0.0;
    TExtrudedShapeSides FTextureSides{true, false, false};
    bool FisTextureOverSPL = false;
    bool FisTextureOnTopFloor = false;
    TMappingZone(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner);
    // A turn of the zone: new listening point and, with events, new maps (aboutY: also for a picture).
    void turned(bool aboutY);
    void init(const std::string& iName, const TPoint3D& iPosition3D, const TPoint3D& iRotation3D,
              float iWidth, float iDepth, float iHeight, TSurfaceType iZoneType,
              TAlphaColor ZoneCreationColor, bool renderingBefore);
    void SetPixelDimensions(int32_t w, int32_t d);
    void UpdateZonePosition();
    // Pixel counts changed: sizes the zone's own buffers and, with events, the cabinets' buffers.
    void pixelCountChanged();
    double pixelSize() const;
    // Map pixels along a side of the given length: at least one.
    int32_t pixelCountOf(double Metres) const;
};

// Where an aiming ray (from Start along Direction, scene coordinates) meets the drawn surfaces of the
// project's mapped zones: the hit farthest along Frame's X axis (more than 1 mm ahead of its origin)
// wins, an earlier zone keeping a tie. Zones without a level map or not drawn yet are passed over.
struct TZoneRayHit {
    TMappingZone* Zone = nullptr; // none when nothing was hit
    TVector3D Local{0, 0, 0};     // the hit in Frame's coordinates
    TVector3D Absolute{0, 0, 0};  // the hit in the scene
};
TZoneRayHit FarthestZoneHit(const TAcousticProject& Project, const TControl3D& Frame, const TPoint3D& Start,
                            const TPoint3D& Direction);

} // namespace vendrel
