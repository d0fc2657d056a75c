#include "platform/core/viewport3d.h"

#include "platform/core/context3d.h"

#include <cmath>

namespace vendrel {

TViewport3D::TViewport3D(TComponent* AOwner)
    : TControl3D(AOwner), FDesignCamera(std::make_unique<TCamera>()) {
    FDesignCamera->SetPosition({0, 0, -20});
}

TViewport3D::~TViewport3D() = default;

TCamera* TViewport3D::Camera() const {
    return FCamera != nullptr ? FCamera : FDesignCamera.get();
}

void TViewport3D::SetCamera(TCamera* Value) {
    if (Value == FCamera) {
        return;
    }
    FCamera = Value;
    Repaint();
}

void TViewport3D::SetViewSize(float Width, float Height) {
    FViewWidth = Width > 0 ? Width : 1;
    FViewHeight = Height > 0 ? Height : 1;
}

void TViewport3D::RepaintRequested(TControl3D*) {
    if (OnInvalidate) {
        OnInvalidate();
    }
}

void TViewport3D::SubtreeDetaching(TControl3D* Node, bool Freeing) {
    const auto inside = [Node](const TControl3D* n) {
        for (; n != nullptr; n = n->Parent()) {
            if (n == Node) {
                return true;
            }
        }
        return false;
    };
    if (inside(FCaptured)) {
        FCaptured = nullptr;
    }
    if (inside(FHovered)) {
        FHovered = nullptr;
    }
    if (Freeing && inside(FCamera)) {
        FCamera = nullptr;
    }
    // What leaves the scene is drawn no more: the view draws again at once, not at the next event
    // that happens to repaint it.
    RepaintRequested(Node);
}

namespace {

template <typename Fn> void walkVisible(TControl3D* node, Fn&& fn) {
    for (TControl3D* c : node->ChildList()) {
        if (!c->Visible()) {
            continue;
        }
        fn(c);
        walkVisible(c, fn);
    }
}

} // namespace

void TViewport3D::BuildFrame(TContext3D& Context) {
    Context.Clear();
    walkVisible(this, [&Context](TControl3D* n) {
        Context.SetSource(n);
        Context.SetZWrite(n->ZWrite);
        Context.SetMatrix(n->AbsoluteMatrix());
        n->Render(Context);
        if (n->OnRender) {
            Context.SetMatrix(n->AbsoluteMatrix());
            n->OnRender(n, Context);
        }
    });
    Context.SetSource(nullptr);
    Context.SetMatrix({});
}

std::vector<TSceneLight> TViewport3D::Lights() const {
    std::vector<TSceneLight> lights;
    walkVisible(const_cast<TViewport3D*>(this), [&lights](TControl3D* n) {
        const auto* light = dynamic_cast<const TLight*>(n);
        if (light == nullptr || !light->Enabled()) {
            return;
        }
        lights.push_back({light->LightType(), light->Color(), light->AbsolutePosition(),
                          light->AbsoluteDirection(), light->SpotCutOff, light->SpotExponent});
    });
    return lights;
}

void TViewport3D::Pick(float X, float Y, TVector3D& RayPos, TVector3D& RayDir) const {
    TPoint3D pos;
    TPoint3D dir;
    Camera()->ScreenToRay(X, Y, FViewWidth, FViewHeight, pos, dir);
    RayPos = TVector3D(pos, 1);
    RayDir = TVector3D(dir, 0);
}

TControl3D* TViewport3D::ObjectAtRay(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D* Hit) {
    TControl3D* best = nullptr;
    double bestDistance = INFINITY;
    TPoint3D bestHit;
    walkVisible(this, [&](TControl3D* n) {
        if (!n->HitTest) {
            return;
        }
        TPoint3D hit;
        if (!n->RayCastIntersectAbsolute(RayPos, RayDir, hit)) {
            return;
        }
        const double distance = hit.Distance(RayPos);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = n;
            bestHit = hit;
        }
    });
    if (best != nullptr && Hit != nullptr) {
        *Hit = bestHit;
    }
    return best;
}

TControl3D* TViewport3D::ObjectAtPoint(float X, float Y, TPoint3D* Hit) {
    TPoint3D pos;
    TPoint3D dir;
    Camera()->ScreenToRay(X, Y, FViewWidth, FViewHeight, pos, dir);
    return ObjectAtRay(pos, dir, Hit);
}

void TViewport3D::localRay(TControl3D* node, float X, float Y, TPoint3D& pos, TPoint3D& dir) const {
    TPoint3D p;
    TPoint3D d;
    Camera()->ScreenToRay(X, Y, FViewWidth, FViewHeight, p, d);
    pos = node->AbsoluteToLocal3D(p);
    dir = node->AbsoluteToLocalDirection(d);
}

void TViewport3D::MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) {
    TControl3D* target = ObjectAtPoint(X, Y);
    if (target == nullptr) {
        if (OnViewportMouseDown) {
            OnViewportMouseDown(this, Button, Shift, X, Y);
        }
        return;
    }
    if (target->AutoCapture) {
        FCaptured = target;
    }
    if (target->OnMouseDown) {
        TPoint3D pos;
        TPoint3D dir;
        localRay(target, X, Y, pos, dir);
        target->OnMouseDown(target, Button, Shift, X, Y, pos, dir);
    }
}

void TViewport3D::MouseMove(TShiftState Shift, float X, float Y) {
    TControl3D* target = FCaptured;
    if (target == nullptr) {
        target = ObjectAtPoint(X, Y);
        if (target != FHovered) {
            TControl3D* left = FHovered;
            FHovered = target;
            if (left != nullptr && left->OnMouseLeave) {
                left->OnMouseLeave(left);
            }
        }
    }
    if (target == nullptr) {
        if (OnViewportMouseMove) {
            OnViewportMouseMove(this, Shift, X, Y);
        }
        return;
    }
    if (target->OnMouseMove) {
        TPoint3D pos;
        TPoint3D dir;
        localRay(target, X, Y, pos, dir);
        target->OnMouseMove(target, Shift, X, Y, pos, dir);
    }
}

void TViewport3D::MouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) {
    TControl3D* target = FCaptured != nullptr ? FCaptured : ObjectAtPoint(X, Y);
    FCaptured = nullptr;
    if (target == nullptr) {
        if (OnViewportMouseUp) {
            OnViewportMouseUp(this, Button, Shift, X, Y);
        }
        return;
    }
    if (target->OnMouseUp) {
        TPoint3D pos;
        TPoint3D dir;
        localRay(target, X, Y, pos, dir);
        target->OnMouseUp(target, Button, Shift, X, Y, pos, dir);
    }
}

void TViewport3D::MouseWheel(TShiftState Shift, int WheelDelta, float X, float Y) {
    bool handled = false;
    TControl3D* target = ObjectAtPoint(X, Y);
    if (target != nullptr && target->OnMouseWheel) {
        target->OnMouseWheel(target, Shift, WheelDelta, handled);
    }
    if (!handled && OnViewportMouseWheel) {
        OnViewportMouseWheel(this, Shift, WheelDelta, handled);
    }
}

} // namespace vendrel
