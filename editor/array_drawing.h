#pragma once
// The drawing of a line array's elements. Each element is drawn by a model that follows the element:
// it draws the element's mesh (a cabinet turned with its source pivot, which carries its placement)
// where the array places it, and a press on it hits the element's shape there. Nothing is copied
// from the element, so a splay, a tilt or a re-chained array shows at once.
//
// A model may draw its element as the scene holds it, or relative to the array (RelativeTo): inside a
// container of its own (the wizard's preview), the element then stands where it stands against its
// array.

#include "platform/core/mesh.h"

namespace vendrel {

class TCabArray;
class TMaterialSource;

class TArrayElementModel3D : public TModel3D {
public:
    // Element and RelativeTo (null: the scene) are not owned and outlive the model.
    TArrayElementModel3D(TComponent* AOwner, const TControl3D& Element, const TControl3D* RelativeTo);
    const TControl3D& Element() const { return FElement; }
    // The node the mesh turns with (a cabinet's source pivot, else the element).
    const TControl3D& Followed() const { return FFollowed; }
    // From the model's own frame to the frame it draws the element in.
    TMatrix3D DrawMatrix() const;
    void Render(TContext3D& Context) override;

protected:
    // The element's shape where it is drawn; the hit is given in scene coordinates.
    bool DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) override;

private:
    const TControl3D& frame() const { return FRelativeTo != nullptr ? *FRelativeTo : *this; }

    const TControl3D& FElement;
    const TControl3D& FFollowed;
    const TControl3D* FRelativeTo;
};

// Draws Element of Array inside Container: the library mesh of its model (cabinet or rigging frame) in
// Material, or a box of the element's size when its model has no mesh; a spacer draws nothing. The
// model takes the library model's sizes, and so does the element when it has a library mesh. Returns
// the model, owned by Container.
TArrayElementModel3D* DrawArrayElement(TControl3D& Container, const TCabArray& Array, TControl3D& Element,
                                       const TControl3D* RelativeTo, TMaterialSource* Material);

} // namespace vendrel
