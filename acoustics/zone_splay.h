#pragma once
// What the automatic splay of a line array records while it sweeps the array's tilt: where the
// aiming ray of a cabinet met an audience zone, and for each zone reached the stretch it covers and
// the evenly spaced points its cabinets are aimed at.

#include <cstdint>
#include <vector>

#include "platform/core/geometry3d.h"

namespace vendrel {

class TMappingZone;

enum class THitType : uint8_t { qzaHitInput, qzaHitOutput, qzaNoHit };

// One recorded hit.
class THitPointInZone {
public:
    THitPointInZone() = default;

    const TVector3D& HitPoint3D() const { return FHitPoint3D; }
    void SetHitPoint3D(const TVector3D& Value) { FHitPoint3D = Value; }
    // The array tilt at which the hit was found, degrees.
    double HitAngleDed() const { return FHitAngleDed; }
    void SetHitAngleDed(double Value) { FHitAngleDed = Value; }
    // The zone hit; not owned.
    TMappingZone* theZone() const { return FtheZone; }
    void SettheZone(TMappingZone* Value) { FtheZone = Value; }
    THitType HitType() const { return FHitType; }
    void SetHitType(THitType Value) { FHitType = Value; }

private:
    TVector3D FHitPoint3D{0, 0, 0, 0};
    double FHitAngleDed = 0.0;
    TMappingZone* FtheZone = nullptr;
    THitType FHitType = THitType::qzaNoHit;
};

// The coverage of one zone and the points its cabinets are aimed at.
class TZoneArraySplay {
public:
    TZoneArraySplay() = default;

    // The distance from the first to the last point of the zone reached during the sweep.
    double CoverageLength() const;
    int32_t CabsPerZone() const { return FCabsPerZone; }
    // A changed count re-sizes the aiming points (new ones at the origin); a negative count raises
    // ERangeError.
    void SetCabsPerZone(int32_t Value);
    // The aiming points from the begin point towards the end point in steps of 1/CabsPerZone of the
    // stretch (the end point itself is never one of them).
    void CalcPointsToHit();

    int32_t ZoneID() const { return FZoneID; }
    void SetZoneID(int32_t Value) { FZoneID = Value; }
    // The zone's share of the cabinets.
    double CoefReparto() const { return FCoefReparto; }
    void SetCoefReparto(double Value) { FCoefReparto = Value; }
    const std::vector<TPoint3D>& PointsToHit() const { return FPointsToHit; }
    const TPoint3D& CoverBeginPoint() const { return FCoverBeginPoint; }
    void SetCoverBeginPoint(const TPoint3D& Value) { FCoverBeginPoint = Value; }
    const TPoint3D& CoverEndPoint() const { return FCoverEndPoint; }
    void SetCoverEndPoint(const TPoint3D& Value) { FCoverEndPoint = Value; }
    const TVector3D& SeparationBetweenPoints() const { return FSeparationBetweenPoints; }

private:
    int32_t FCabsPerZone = 0;
    int32_t FZoneID = 0;
    double FCoefReparto = 0.0;
    std::vector<TPoint3D> FPointsToHit;
    TPoint3D FCoverBeginPoint;
    TPoint3D FCoverEndPoint;
    TVector3D FSeparationBetweenPoints{0, 0, 0, 0};
};

} // namespace vendrel
