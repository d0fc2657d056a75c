#pragma once
// Measurement points: each drawn as an upside-down cone standing on the point, with a row of the
// response page. A point is dragged even when locked; the drag moves its cone, and the point follows
// as "Recalculate Mic On Mouse Move" says (TMeasurePoints::MicDragged). Adding and removing points
// belong to TMeasurePoints, which builds and frees the cone, the row and the chart's series together.

#include "editor/object_kind.h"

namespace vendrel {

class TMicPoint;

class TMicKind : public TKindOf<TMicPoint> {
public:
    explicit TMicKind(TEditor& Editor);

    // The design's names of the kind's state.
    bool IsMicClicked() const { return State.Clicked; }
    int32_t NMicsSelected() const { return State.NSelected; }
    // The point pressed or released last (null: none).
    TMicPoint* ClickedMic = nullptr;

    // The point a drawn object stands for (its cone), or null.
    TMicPoint* GetMicOfObject3D(const TObject* Drawn) const;

    // TObjectKind
    void ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const override;
    TQzControl3D* ObjectOf3D(const TObject* Drawn) const override;
    void SetSelected(TQzControl3D& Obj, bool Selected) const override;
    TBoundingBox Bounds(const TQzControl3D& Obj) const override;
    void Place(TQzControl3D& Obj) override;
    void Appearance(TQzControl3D& Obj) override;
    void BeforeButtonStep(TQzControl3D& Obj) override;
    TPoint3D DragAnchor(const TQzControl3D& Obj) const override;
    bool MasksAnchor() const override { return false; }
    TPoint3D DragDisplacement(const TQzControl3D& Obj, const TPoint3D& Target,
                              const TPoint3D& Anchor) const override;
    bool IsMoving(const TQzControl3D& Obj) const override;
    void SetMoving(TQzControl3D& Obj, bool Moving) override;
    void AfterDragMove(TQzControl3D& Obj) override;
    void Released(TQzControl3D* Obj) override;
    void Render(TControl3D* Sender, TContext3D& Context) override;
    void WriteBack(TQzControl3D& Obj) override;
    void MoveBy(TQzControl3D& Obj, const TPoint3D& D) override;
    void MoveAndRotate(TQzControl3D& Obj, const TMoveAndRotate& M) override;
    void Remove(TQzControl3D& Obj) override;
};

} // namespace vendrel
