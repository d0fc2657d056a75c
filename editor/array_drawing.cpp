#include "editor/array_drawing.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/source_point.h"
#include "platform/core/context3d.h"
#include "platform/core/material.h"

namespace vendrel {

namespace {

const TControl3D& followedNode(const TControl3D& element) {
    if (const auto* cab = dynamic_cast<const TCabinet*>(&element); cab != nullptr && cab->DummySource()) {
        return *cab->DummySource();
    }
    return element;
}

} // namespace

TArrayElementModel3D::TArrayElementModel3D(TComponent* AOwner, const TControl3D& Element,
                                           const TControl3D* RelativeTo)
    : TModel3D(AOwner), FElement(Element), FFollowed(followedNode(Element)), FRelativeTo(RelativeTo) {}

TMatrix3D TArrayElementModel3D::DrawMatrix() const {
    return FFollowed.AbsoluteMatrix() * frame().InvAbsoluteMatrix() * AbsoluteMatrix();
}

void TArrayElementModel3D::Render(TContext3D& Context) {
    if (!FFollowed.AbsoluteVisible() && FRelativeTo == nullptr) {
        return;
    }
    const TMatrix3D saved = Context.CurrentMatrix();
    Context.SetMatrix(DrawMatrix());
    TModel3D::Render(Context);
    Context.SetMatrix(saved);
}

bool TArrayElementModel3D::DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir,
                                              TPoint3D& Intersection) {
    // The ray into the followed node's frame, where the base test finds the shape.
    const TControl3D& f = frame();
    const TPoint3D pos = FFollowed.AbsoluteToLocal3D(f.LocalToAbsolute3D(RayPos));
    const TPoint3D dir = FFollowed.AbsoluteToLocalDirection(f.LocalToAbsoluteDirection(RayDir));
    TPoint3D hit;
    if (!TModel3D::DoRayCastIntersect(pos, dir, hit)) {
        return false;
    }
    // The base test gives its hit through this model's frame; back to the followed node's frame, then
    // to the scene where the model draws it.
    const TPoint3D local = AbsoluteToLocal3D(hit);
    Intersection = LocalToAbsolute3D(f.AbsoluteToLocal3D(FFollowed.LocalToAbsolute3D(local)));
    return true;
}

TArrayElementModel3D* DrawArrayElement(TControl3D& Container, const TCabArray& Array, TControl3D& Element,
                                       const TControl3D* RelativeTo, TMaterialSource* Material) {
    (void)Array;
    auto* drawn = new TArrayElementModel3D(&Container, Element, RelativeTo);
    drawn->SetParent(&Container);
    drawn->HitTest = false;
    const TModel3D* library = nullptr;
    float w = 0, h = 0, d = 0;
    if (const auto* cab = dynamic_cast<const TCabinet*>(&Element)) {
        if (const TCabModel* m = cab->Model()) {
            library = m->Object3D();
            w = static_cast<float>(m->Width());
            h = static_cast<float>(m->Height());
            d = static_cast<float>(m->Depth());
        }
    } else if (const auto* frame = dynamic_cast<const TRiggingFrame*>(&Element)) {
        if (const TRigFrameModel* m = frame->Model()) {
            library = m->Object3D();
            w = static_cast<float>(m->Width());
            h = static_cast<float>(m->Height());
            d = static_cast<float>(m->Depth());
        }
    } else {
        return drawn; // a spacer: nothing to see
    }
    if (library != nullptr && library->MeshCount() > 0) {
        drawn->AssignMeshes(*library);
        drawn->SetWrapMode(library->WrapMode());
        w = library->Width();
        h = library->Height();
        d = library->Depth();
        Element.SetWidth(w);
        Element.SetHeight(h);
        Element.SetDepth(d);
    } else {
        // Without a library mesh the element shows as a box of its size.
        drawn->AddMesh(UnitCubeMesh());
        drawn->SetWrapMode(TMeshWrapMode::wmStretch);
    }
    drawn->SetWidth(w);
    drawn->SetHeight(h);
    drawn->SetDepth(d);
    drawn->SetAllMaterials(Material);
    return drawn;
}

} // namespace vendrel
