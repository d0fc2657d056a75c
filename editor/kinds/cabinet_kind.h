#pragma once
// Loose cabinets: a cabinet placed on its own. It is drawn as a dummy (position, Y and Z turns,
// rotation centre) holding a copy of its library model (the X turn, which the cabinet keeps on its
// source pivot); its panel is a row of the cabinets page. A cabinet whose model has no 3D mesh in the
// library is drawn as a box of the model's size, so that it is never lost from the scene (and with it
// from the saved project).

#include "editor/object_kind.h"

#include <vector>

namespace vendrel {

class TCabinet;
class TDummy;
class TModel3D;

class TCabinetKind : public TKindOf<TCabinet> {
public:
    explicit TCabinetKind(TEditor& Editor);

    // The design's names of the kind's state.
    bool IsCabinetClicked() const { return State.Clicked; }
    int32_t NCabinetsSelected() const { return State.NSelected; }

    // The drawn object of each loose cabinet, in the order of the project's list (not owned; a removal
    // takes the entry out).
    std::vector<TDummy*> ObjCabContainer;

    // Builds the drawn objects and the panel of the loose cabinet the project has just appended (the
    // last of its list). LibraryModel is its model's library 3D model; null or without meshes, the
    // cabinet is drawn as a box of the model's size.
    void AddInterfaceAndObjectsToCabinet(TCabinet* TheCabinet, const TModel3D* LibraryModel);
    // The cabinet's turns and rotation centre on its dummy and model: the dummy carries the rotation
    // centre and the Y and Z turns, the model the X turn of the cabinet's source pivot.
    void SetObj3DRotation(TCabinet& Cabinet) const;
    // Every mesh of the cabinet's model gets the material of an active or of a switched-off cabinet.
    void SetMaterialInCabinet(TCabinet& Cabinet) const;
    // The drawn model takes a new library model (a change of model).
    void AssignLibraryModel(TCabinet& Cabinet, const TModel3D* LibraryModel);
    void RemoveCabinet(TCabinet* Cabinet);

    // TObjectKind
    void ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const override;
    TQzControl3D* ObjectOf3D(const TObject* Drawn) const override;
    void SetSelected(TQzControl3D& Obj, bool Selected) const override;
    TBoundingBox Bounds(const TQzControl3D& Obj) const override;
    void AreaSelected(TQzControl3D& Obj) override;
    void ApplyModelRules(TQzControl3D& Obj) override;
    void Place(TQzControl3D& Obj) override;
    void Appearance(TQzControl3D& Obj) override;
    void BeforeButtonStep(TQzControl3D& Obj) override;
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
