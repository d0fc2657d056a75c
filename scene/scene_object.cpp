#include "scene/scene_object.h"

namespace vendrel {

TQzControl3D::TQzControl3D(TComponent* AOwner) : TControl3D(AOwner) {}

void TQzControl3D::SetIsHighLight(bool Value) {
    if (Value == FIsHighLight) {
        return;
    }
    FIsHighLight = Value;
    Repaint();
}

std::string TQzControl3D::LayerName() const {
    return FMyLayer != nullptr ? FMyLayer->Name() : std::string("No Assigned Layer");
}

int TQzControl3D::LayerNumber() const {
    return FMyLayer != nullptr ? FMyLayer->NumID() : -1;
}

void TQzLayer::SetIsLocked(bool Value) {
    if (Value == FIsLocked) {
        return;
    }
    FIsLocked = Value;
    for (TQzControl3D* member : ObjListInLayer) {
        member->SetIsLocked(Value);
    }
}

void TQzLayer::SetVisible(bool Value) {
    if (Value == FVisible) {
        return;
    }
    FVisible = Value;
    for (TQzControl3D* member : ObjListInLayer) {
        member->SetVisible(Value);
    }
}

} // namespace vendrel
