#include "scene/selection_box.h"

#include <algorithm>

namespace vendrel {

void TMouseSelectionBox::SetFirstPoint(const TPoint3D& Value) {
    FFirstPoint = Value;
    update();
}

void TMouseSelectionBox::SetSecondPoint(const TPoint3D& Value) {
    FSecondPoint = Value;
    update();
}

void TMouseSelectionBox::update() {
    const TPoint3D& a = FFirstPoint;
    const TPoint3D& b = FSecondPoint;
    Bounding.Min = {std::min(a.X, b.X), std::min(a.Y, b.Y), std::min(a.Z, b.Z)};
    Bounding.Max = {std::max(a.X, b.X), std::max(a.Y, b.Y), std::max(a.Z, b.Z)};
}

} // namespace vendrel
