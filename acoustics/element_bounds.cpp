#include "acoustics/element_bounds.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/rigging_frame.h"
#include "platform/core/node3d.h"

namespace vendrel {

const TControl3D& CabinetBodyFrame(const TCabinet& Cabinet) {
    if (Cabinet.DummySource() != nullptr) {
        return *Cabinet.DummySource();
    }
    return Cabinet;
}

TBoundingBox BoxInScene(const TControl3D& Frame, double Width, double Height, double Depth) {
    const float w = static_cast<float>(Width / 2);
    const float h = static_cast<float>(Height / 2);
    const float d = static_cast<float>(Depth / 2);
    const TPoint3D first = Frame.LocalToAbsolute3D({-w, -h, -d});
    TBoundingBox box{first, first};
    for (int i = 1; i < 8; ++i) {
        box = box.Include(Frame.LocalToAbsolute3D({(i & 1) ? w : -w, (i & 2) ? h : -h, (i & 4) ? d : -d}));
    }
    return box;
}

TBoundingBox ElementGlobalBounds(const TControl3D& Element) {
    if (const auto* cab = dynamic_cast<const TCabinet*>(&Element)) {
        if (const TCabModel* m = cab->Model()) {
            return BoxInScene(CabinetBodyFrame(*cab), m->Width(), m->Height(), m->Depth());
        }
    } else if (const auto* frame = dynamic_cast<const TRiggingFrame*>(&Element)) {
        if (const TRigFrameModel* m = frame->Model()) {
            return BoxInScene(*frame, m->Width(), m->Height(), m->Depth());
        }
    }
    return Element.GlobalBounds();
}

TBoundingBox CentredBounds(const TBoundingBox& Bounds) {
    const TPoint3D half(Bounds.Width() / 2, Bounds.Height() / 2, Bounds.Depth() / 2);
    return {-half, half};
}

} // namespace vendrel
