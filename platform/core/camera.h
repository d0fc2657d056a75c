#pragma once
// Cameras and lights.
//
// A camera looks along its local +Z axis; its local +X points to the right of the picture and its
// local +Y down the picture (the scene's own Y points down too, so an unturned camera sees the scene
// upright). The angle of view is the vertical opening of the picture in degrees. Viewport positions
// are pixels from the top-left corner of a view of ViewWidth x ViewHeight pixels.

#include "platform/core/bitmap.h"
#include "platform/core/node3d.h"

namespace vendrel {

class TCamera : public TControl3D {
public:
    explicit TCamera(TComponent* AOwner = nullptr);

    float AngleOfView() const { return FAngleOfView; }
    // Kept within [1, 179] degrees.
    void SetAngleOfView(float Value);
    // An orthographic camera draws every depth at the scale a perspective camera of the same angle of
    // view shows at the origin of its parent (the pivot it turns about, at the distance -Z along its
    // view): nothing shifts with its distance from the camera.
    bool Orthographic() const { return FOrthographic; }
    void SetOrthographic(bool Value);
    // Half the picture's height in scene units at the parent's origin.
    double OrthographicHalfHeight() const;
    float NearPlane() const { return FNearPlane; }
    float FarPlane() const { return FFarPlane; }
    // Distances along the view direction; the near plane stays positive and below the far one.
    void SetPlanes(float NearPlane, float FarPlane);

    // Camera-local coordinates to clip coordinates (row vectors) for a picture of the given
    // width / height; x and y of the normalised result run -1..1 from left to right and from bottom
    // to top, z -1..1 from the near to the far plane.
    TMatrix3D ProjectionMatrix(float Aspect) const;
    // Scene coordinates to clip coordinates: the inverse of the camera's absolute matrix, then the
    // projection.
    TMatrix3D ViewProjectionMatrix(float ViewWidth, float ViewHeight) const;

    // The ray through a viewport position, in scene coordinates: from the camera's position, with a
    // direction of unit length.
    void ScreenToRay(float X, float Y, float ViewWidth, float ViewHeight, TPoint3D& RayPos,
                     TPoint3D& RayDir) const;
    // The viewport position of a scene point (X, Y in pixels, Z the distance along the view direction);
    // false for a point on or behind the camera's plane.
    bool WorldToScreen(const TPoint3D& P, float ViewWidth, float ViewHeight, TPoint3D& Screen) const;

protected:
    bool DoRayCastIntersect(const TPoint3D&, const TPoint3D&, TPoint3D&) override { return false; }

private:
    float FAngleOfView = 45.0f;
    bool FOrthographic = false;
    float FNearPlane = 1.0f;
    float FFarPlane = 10000.0f;
};

enum class TLightType : uint8_t { ltDirectional, ltPoint, ltSpot };

// A light shines along its local +Z axis (directional and spot lights) or from its position (point and
// spot lights).
class TLight : public TControl3D {
public:
    explicit TLight(TComponent* AOwner = nullptr) : TControl3D(AOwner) {}

    TLightType LightType() const { return FLightType; }
    void SetLightType(TLightType Value);
    TAlphaColor Color() const { return FColor; }
    void SetColor(TAlphaColor Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Half opening of a spot light's cone in degrees.
    float SpotCutOff = 180.0f;
    float SpotExponent = 0.0f;

    // The light's direction in scene coordinates (unit length).
    TPoint3D AbsoluteDirection() const { return LocalToAbsoluteDirection({0, 0, 1}).Normalize(); }

protected:
    bool DoRayCastIntersect(const TPoint3D&, const TPoint3D&, TPoint3D&) override { return false; }

private:
    TLightType FLightType = TLightType::ltDirectional;
    TAlphaColor FColor = TAlphaColors::White;
    bool FEnabled = true;
};

} // namespace vendrel
