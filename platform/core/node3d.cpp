#include "platform/core/node3d.h"

#include "platform/core/numeric.h"
#include "platform/core/raycast.h"

#include <algorithm>
#include <stdexcept>

namespace vendrel {

TMatrix3D NodeRotationMatrix(const TPoint3D& a) {
    const auto rad = [](float deg) { return static_cast<float>(deg * kDegToRad); };
    return TMatrix3D::CreateRotationZ(rad(a.Z)) * TMatrix3D::CreateRotationY(rad(a.Y)) *
           TMatrix3D::CreateRotationX(rad(a.X));
}

TControl3D::TControl3D(TComponent* AOwner) : TComponent(AOwner) {}

TControl3D::~TControl3D() {
    notifyDetaching(true);
    if (FParent != nullptr) {
        auto& siblings = FParent->FChildren;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        FParent = nullptr;
    }
    // Children are placed, not owned: they stay alive as roots of their own.
    std::vector<TControl3D*> children;
    children.swap(FChildren);
    for (TControl3D* c : children) {
        c->FParent = nullptr;
        c->RecalcAbsolute();
    }
}

void TControl3D::SetParent(TControl3D* NewParent) {
    if (NewParent == FParent) {
        return;
    }
    for (TControl3D* p = NewParent; p != nullptr; p = p->FParent) {
        if (p == this) {
            throw std::invalid_argument("A 3D object cannot become a child of itself or of its children");
        }
    }
    if (FParent != nullptr) {
        notifyDetaching(false);
        auto& siblings = FParent->FChildren;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    FParent = NewParent;
    if (FParent != nullptr) {
        FParent->FChildren.push_back(this);
    }
    RecalcAbsolute();
    Repaint();
}

TControl3D* TControl3D::Children(int i) const {
    return At(FChildren, i);
}

void TControl3D::notifyDetaching(bool freeing) {
    TControl3D* root = this;
    while (root->FParent != nullptr) {
        root = root->FParent;
    }
    if (root != this) {
        root->SubtreeDetaching(this, freeing);
    }
}

void TControl3D::SubtreeDetaching(TControl3D*, bool) {}

void TControl3D::localChanged() {
    FLocalMatrix = TMatrix3D::CreateScaling(FScale) * TMatrix3D::CreateTranslation(-FRotationCenter) *
                   NodeRotationMatrix(FRotationAngle) * TMatrix3D::CreateTranslation(FRotationCenter) *
                   TMatrix3D::CreateTranslation(FPosition);
    RecalcAbsolute();
    MatrixChanged();
    Repaint();
}

void TControl3D::RecalcAbsolute() {
    FAbsoluteMatrix = FParent != nullptr ? FLocalMatrix * FParent->FAbsoluteMatrix : FLocalMatrix;
    FInvAbsoluteMatrix = FAbsoluteMatrix.Inverse();
    for (TControl3D* c : FChildren) {
        c->RecalcAbsolute();
    }
}

void TControl3D::SetPosition(const TPoint3D& Value) {
    if (Value == FPosition) {
        return;
    }
    FPosition = Value;
    localChanged();
}

void TControl3D::SetRotationAngle(const TPoint3D& Value) {
    if (Value == FRotationAngle) {
        return;
    }
    FRotationAngle = Value;
    localChanged();
    RotationChanged();
}

void TControl3D::SetRotationAngleX(float Value) {
    if (Value == FRotationAngle.X) {
        return;
    }
    FRotationAngle.X = Value;
    localChanged();
    RotateXChanged();
}

void TControl3D::SetRotationAngleY(float Value) {
    if (Value == FRotationAngle.Y) {
        return;
    }
    FRotationAngle.Y = Value;
    localChanged();
    RotateYChanged();
}

void TControl3D::SetRotationAngleZ(float Value) {
    if (Value == FRotationAngle.Z) {
        return;
    }
    FRotationAngle.Z = Value;
    localChanged();
    RotateZChanged();
}

void TControl3D::SetRotationCenter(const TPoint3D& Value) {
    if (Value == FRotationCenter) {
        return;
    }
    FRotationCenter = Value;
    localChanged();
}

void TControl3D::SetScale(const TPoint3D& Value) {
    if (Value == FScale) {
        return;
    }
    FScale = Value;
    localChanged();
}

void TControl3D::SetWidth(float Value) {
    if (Value == FWidth) {
        return;
    }
    FWidth = Value;
    Repaint();
}

void TControl3D::SetHeight(float Value) {
    if (Value == FHeight) {
        return;
    }
    FHeight = Value;
    Repaint();
}

void TControl3D::SetDepth(float Value) {
    if (Value == FDepth) {
        return;
    }
    FDepth = Value;
    Repaint();
}

void TControl3D::SetVisible(bool Value) {
    if (Value == FVisible) {
        return;
    }
    FVisible = Value;
    Repaint();
}

bool TControl3D::AbsoluteVisible() const {
    for (const TControl3D* n = this; n != nullptr; n = n->FParent) {
        if (!n->FVisible) {
            return false;
        }
    }
    return true;
}

void TControl3D::SetOpacity(float Value) {
    if (Value == FOpacity) {
        return;
    }
    FOpacity = Value;
    Repaint();
}

float TControl3D::AbsoluteOpacity() const {
    float o = 1.0f;
    for (const TControl3D* n = this; n != nullptr; n = n->FParent) {
        o *= n->FOpacity;
    }
    return o;
}

void TControl3D::Repaint() {
    ++FRepaintRequests;
    RepaintRequested(this);
}

void TControl3D::RepaintRequested(TControl3D* From) {
    if (FParent != nullptr) {
        FParent->RepaintRequested(From);
    }
}

TBoundingBox TControl3D::GlobalBounds() const {
    const float w = FWidth / 2;
    const float h = FHeight / 2;
    const float d = FDepth / 2;
    const TPoint3D first = LocalToAbsolute3D({-w, -h, -d});
    TBoundingBox box{first, first};
    for (int i = 1; i < 8; ++i) {
        box = box.Include(LocalToAbsolute3D({(i & 1) ? w : -w, (i & 2) ? h : -h, (i & 4) ? d : -d}));
    }
    return box;
}

bool TControl3D::RayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) {
    return DoRayCastIntersect(RayPos, RayDir, Intersection);
}

bool TControl3D::RayCastIntersectAbsolute(const TPoint3D& RayPos, const TPoint3D& RayDir,
                                          TPoint3D& Intersection) {
    return DoRayCastIntersect(AbsoluteToLocal3D(RayPos), AbsoluteToLocalDirection(RayDir), Intersection);
}

bool TControl3D::DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) {
    TPoint3D hit;
    if (!RayCastCuboidIntersect(RayPos, RayDir, {}, FWidth, FHeight, FDepth, hit)) {
        return false;
    }
    Intersection = LocalToAbsolute3D(hit);
    return true;
}

void TControl3D::Render(TContext3D&) {}

} // namespace vendrel
