#include "platform/core/camera.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

TCamera::TCamera(TComponent* AOwner) : TControl3D(AOwner) {}

void TCamera::SetAngleOfView(float Value) {
    Value = std::clamp(Value, 1.0f, 179.0f);
    if (Value == FAngleOfView) {
        return;
    }
    FAngleOfView = Value;
    Repaint();
}

void TCamera::SetPlanes(float NearPlane, float FarPlane) {
    FNearPlane = std::max(NearPlane, 1e-4f);
    FFarPlane = std::max(FarPlane, FNearPlane * 2);
    Repaint();
}

void TCamera::SetOrthographic(bool Value) {
    if (Value == FOrthographic) {
        return;
    }
    FOrthographic = Value;
    Repaint();
}

double TCamera::OrthographicHalfHeight() const {
    const double distance = std::max(std::abs(static_cast<double>(Position().Z)), 1e-3);
    return distance * std::tan(FAngleOfView * kDegToRad / 2);
}

TMatrix3D TCamera::ProjectionMatrix(float Aspect) const {
    const double t = std::tan(FAngleOfView * kDegToRad / 2);
    const double n = FNearPlane;
    const double f = FFarPlane;
    TMatrix3D p;
    if (FOrthographic) {
        const double h = OrthographicHalfHeight();
        p.m[0][0] = static_cast<float>(1.0 / (h * Aspect));
        p.m[1][1] = static_cast<float>(-1.0 / h); // picture Y runs down, clip Y up
        p.m[2][2] = static_cast<float>(2.0 / (f - n));
        p.m[3][2] = static_cast<float>(-(f + n) / (f - n));
        return p;
    }
    p.m[0][0] = static_cast<float>(1.0 / (t * Aspect));
    p.m[1][1] = static_cast<float>(-1.0 / t); // picture Y runs down, clip Y up
    p.m[2][2] = static_cast<float>((f + n) / (f - n));
    p.m[2][3] = 1.0f;
    p.m[3][2] = static_cast<float>(-2.0 * f * n / (f - n));
    p.m[3][3] = 0.0f;
    return p;
}

TMatrix3D TCamera::ViewProjectionMatrix(float ViewWidth, float ViewHeight) const {
    const float aspect = ViewHeight > 0 ? ViewWidth / ViewHeight : 1.0f;
    return InvAbsoluteMatrix() * ProjectionMatrix(aspect);
}

void TCamera::ScreenToRay(float X, float Y, float ViewWidth, float ViewHeight, TPoint3D& RayPos,
                          TPoint3D& RayDir) const {
    const double t = std::tan(FAngleOfView * kDegToRad / 2);
    const double halfH = ViewHeight > 0 ? ViewHeight / 2.0 : 0.5;
    const double halfW = ViewWidth > 0 ? ViewWidth / 2.0 : 0.5;
    if (FOrthographic) {
        // Parallel rays along the view, from the camera's plane.
        const double h = OrthographicHalfHeight();
        const TPoint3D local(static_cast<float>((X - halfW) / halfH * h),
                             static_cast<float>((Y - halfH) / halfH * h), 0.0f);
        RayPos = LocalToAbsolute3D(local);
        RayDir = LocalToAbsoluteDirection({0, 0, 1}).Normalize();
        return;
    }
    // Picture-plane position at unit distance in front of the camera.
    const TPoint3D local(static_cast<float>((X - halfW) / halfH * t),
                         static_cast<float>((Y - halfH) / halfH * t), 1.0f);
    RayPos = AbsolutePosition();
    RayDir = LocalToAbsoluteDirection(local).Normalize();
}

bool TCamera::WorldToScreen(const TPoint3D& P, float ViewWidth, float ViewHeight, TPoint3D& Screen) const {
    const TPoint3D local = AbsoluteToLocal3D(P);
    if (!(local.Z > 0)) {
        return false;
    }
    const double halfH = ViewHeight / 2.0;
    const double halfW = ViewWidth / 2.0;
    if (FOrthographic) {
        const double h = OrthographicHalfHeight();
        Screen = {static_cast<float>(halfW + local.X / h * halfH),
                  static_cast<float>(halfH + local.Y / h * halfH), local.Z};
        return true;
    }
    const double t = std::tan(FAngleOfView * kDegToRad / 2);
    Screen = {static_cast<float>(halfW + local.X / (local.Z * t) * halfH),
              static_cast<float>(halfH + local.Y / (local.Z * t) * halfH), local.Z};
    return true;
}

void TLight::SetLightType(TLightType Value) {
    if (Value == FLightType) {
        return;
    }
    FLightType = Value;
    Repaint();
}

void TLight::SetColor(TAlphaColor Value) {
    if (Value == FColor) {
        return;
    }
    FColor = Value;
    Repaint();
}

void TLight::SetEnabled(bool Value) {
    if (Value == FEnabled) {
        return;
    }
    FEnabled = Value;
    Repaint();
}

} // namespace vendrel
