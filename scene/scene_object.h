#pragma once
// The base of every object placed in the venue, and the drawing layers that group them.
//
// A TQzControl3D is a scene-graph node with the flags and links the editor, the panels and the file
// code share. A TQzLayer passes a change of its lock or visibility on to every member; callers keep
// the members' MyLayer links and the layer's member list consistent.

#include "platform/core/bitmap.h"
#include "platform/core/geometry3d.h"
#include "platform/core/node3d.h"
#include "platform/core/view_link.h"

#include <string>
#include <vector>

namespace vendrel {

class TQzLayer;

class TQzControl3D : public TControl3D {
public:
    explicit TQzControl3D(TComponent* AOwner = nullptr);

    bool IsObjectSelected() const { return FObjectSelected; }
    void SetIsObjectSelected(bool Value) { FObjectSelected = Value; }
    bool IsLocked() const { return FIsLocked; }
    void SetIsLocked(bool Value) { FIsLocked = Value; }
    // The layer the object belongs to; not owned; nullptr for none.
    TQzLayer* MyLayer() const { return FMyLayer; }
    void SetMyLayer(TQzLayer* Value) { FMyLayer = Value; }
    // The sound system the object belongs to; not owned; nullptr for none.
    TObject* MySystem() const { return FMySystem; }
    void SetMySystem(TObject* Value) { FMySystem = Value; }
    const std::string& AcousticMaterialName() const { return FAcousticMaterialName; }
    void SetAcousticMaterialName(const std::string& Value) { FAcousticMaterialName = Value; }
    // Drawn highlighted (mouse over it in the editor); a change repaints.
    bool IsHighLight() const { return FIsHighLight; }
    void SetIsHighLight(bool Value);

    // The layer's name, or "No Assigned Layer".
    std::string LayerName() const;
    // The layer's number, or -1.
    int LayerNumber() const;

    void SetObjectSelected() { FObjectSelected = true; }

    TObject* AcousticMaterial = nullptr;   // not owned
    TViewLink GraphicalInterface;          // the panel that edits the object; not owned
    TControl3D* GraphicalObject = nullptr; // the 3D object that draws the object, when separate; not owned

private:
    bool FObjectSelected = false;
    bool FIsLocked = false;
    TQzLayer* FMyLayer = nullptr;
    TObject* FMySystem = nullptr;
    std::string FAcousticMaterialName;
    bool FIsHighLight = false;
};

class TQzLayer : public TObject {
public:
    TQzLayer() = default;

    bool IsLocked() const { return FIsLocked; }
    // A change is stored, then written into the lock of every member in list order.
    void SetIsLocked(bool Value);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    int NumID() const { return FNumber; }
    void SetNumID(int Value) { FNumber = Value; }
    bool Visible() const { return FVisible; }
    // A change is stored, then passed to the visibility of every member in list order.
    void SetVisible(bool Value);

    // Frees a layer created with new (the members stay).
    void FreeClass() { delete this; }
    void SetObjectSelected() {}

    std::vector<TQzControl3D*> ObjListInLayer;     // the members; not owned
    TAlphaColor Color = TAlphaColors::White;       // also the selection colour of its zones' edges
    TViewLink GraphicalInterface;                  // the editor's row that shows the layer; not owned
    std::vector<TQzLayer*>* MyLayerList = nullptr; // the editor's list that holds the layer; not owned
    bool Active = true;

private:
    bool FIsLocked = false;
    std::string FName;
    int FNumber = 0;
    bool FVisible = true;
};

// A line of a reference outline (DXF drawings).
struct TQzLine3D {
    TPoint3D StartPoint;
    TPoint3D EndPoint;
};

} // namespace vendrel
