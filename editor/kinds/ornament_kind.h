#pragma once
// Ornaments: library models that dress the venue (trusses, stage blocks ...). An ornament stands in a
// holder at its position holding a copy of its model's library 3D model, turned by the ornament's
// angles as (X, -Y, -Z) about its rotation centre, in its model's material. Its panel fills a tab of
// the venue page and it is listed in the venue object list; it is pressed, dragged (by its model's
// origin centre), snapped onto and removed like the other kinds.

#include "editor/object_kind.h"

#include <string>
#include <vector>

namespace vendrel {

class TOrnament;
class TDummy;
class TModel3D;

class TOrnamentKind : public TKindOf<TOrnament> {
public:
    explicit TOrnamentKind(TEditor& Editor);

    // The drawn holder of each ornament, in the order of the project's list (not owned).
    std::vector<TDummy*> Obj3DOrnaContainer;

    // The ornament the project has just appended: its tab (made current), a holder at its position and
    // a copy of LibraryModel (its model's library 3D model) sized to the ornament in its model's
    // material; without a library model it is drawn as a box of its size. Then its panel.
    void AddInterfaceAndObjectsToOrna(TOrnament* TheOrna, const TModel3D* LibraryModel);
    // Its drawing, panel and tab go, then the project frees it; the venue tabs are numbered again.
    void RemoveOrnament(TOrnament* Ornament);
    // The ornament's drawn model (first child of its holder), or null.
    static TModel3D* OrnamentModel3D(const TOrnament& Ornament);

    // TObjectKind
    void ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const override;
    TQzControl3D* ObjectOf3D(const TObject* Drawn) const override;
    TBoundingBox Bounds(const TQzControl3D& Obj) const override;
    // "Orna " + its place in the project's list (from 1) + ": " + its name.
    std::string TabText(const TQzControl3D& Obj) const override;
    // A renamed ornament's tab shows its bare name until the venue tabs are numbered again.
    void Renamed(TQzControl3D& Obj) override;
    void Place(TQzControl3D& Obj) override;
    void BeforeButtonStep(TQzControl3D& Obj) override;
    bool SelectionStepBlocked() const override;
    void Reselected(TQzControl3D& Obj) override;
    TPoint3D DragAnchor(const TQzControl3D& Obj) const override;
    bool IsMoving(const TQzControl3D& Obj) const override;
    void SetMoving(TQzControl3D& Obj, bool Moving) override;
    void Render(TControl3D* Sender, TContext3D& Context) override;
    void WriteBack(TQzControl3D& Obj) override;
    void MoveBy(TQzControl3D& Obj, const TPoint3D& D) override;
    void MoveAndRotate(TQzControl3D& Obj, const TMoveAndRotate& M) override;
    void ForEachSnapCandidate(const std::function<bool(TControl3D*, TControl3D*)>& Visit) const override;
    void Remove(TQzControl3D& Obj) override;
};

} // namespace vendrel
