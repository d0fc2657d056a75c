#pragma once
// Line arrays (flown or stacked columns of cabinets with their rigging frames and spacers). An array
// is drawn by a container that stands where the array stands and turns as it turns, holding one drawn
// model per element; each model draws its element where the array places it against the array, so a
// splay, a tilt or a re-chained array shows at once, and a drag that moves the container carries the
// whole array along. A press on any element is a press on the array. Its panel fills a tab of the
// line-array page, with one row per cabinet.
//
// The commands of the array's panel that reach beyond the array (adding and removing cabinets, the
// automatic splay, removing the array) are named calls here (ILineArrayCommands).

#include "editor/auto_splay.h"
#include "editor/object_kind.h"
#include "editor/ui_values.h"

#include <functional>
#include <string>

namespace vendrel {

class TCabArray;
class TCabinet;
class TQzLayer;

// What the array panel's buttons start besides the generic follow-ups of IPanelHost.
class ILineArrayCommands {
public:
    virtual ~ILineArrayCommands() = default;
    // One more cabinet of the last cabinet's model (refused beyond the model's maximum).
    virtual void AddAnotherCabinet(TCabArray& Array) = 0;
    // The last cabinet goes (with a rigging frame right above it); nothing on a one-cabinet array.
    virtual void RemoveLastCabinet(TCabArray& Array) = 0;
    // The array's elements changed place (a splay, a direction, the tilt): its drawing and rows follow.
    virtual void ArrayGeometryChanged(TCabArray& Array) = 0;
    // The automatic splay of the array.
    virtual void AutoSplay(TCabArray& Array) = 0;
    // The remove button: asks, then removes the array (the panel with it).
    virtual void RemoveArrayAsked(TCabArray& Array) = 0;
};

class TLineArrayKind : public TKindOf<TCabArray>, public ILineArrayCommands {
public:
    explicit TLineArrayKind(TEditor& Editor);
    ~TLineArrayKind() override;

    // The design's names of the kind's state.
    bool IsArrayClicked() const { return State.Clicked; }
    int32_t NArraysSelected() const { return State.NSelected; }
    TCabArray* ArrayInEdition() const;

    // "Add Line Array": the wizard builds a new array; inserted on OK, taken out again on Cancel.
    TUIAction AddLineArrayAction{"Add Line Array"};
    // "AutoSplay Array": the flown array in edition aimed at the zones.
    TUIAction ArrayAutoSplayAction{"AutoSplay Array"};
    // The window's wizard: runs it modally on the new, empty array; true for OK. Unset: no wizard, the
    // command does nothing.
    std::function<bool(TCabArray&)> RunWizard;
    TAutoSplay AutoSplayer;

    // Enters the array the project has just appended in its layer, draws it, builds its tab (shown
    // when ShowTab) and its panel with one row per cabinet. EnableCalc: every cabinet is switched on
    // (unless a project is being opened) and the elements take mouse presses.
    void InsertNewArray(TCabArray* theArray, TQzLayer* theLayer, bool EnableCalc, bool ShowTab = true);
    // The drawn elements are made again from the array's element list (after a cabinet came or went);
    // HitTest: they take mouse presses.
    void DrawArrayObjects(TCabArray& Array, bool HitTest = true);
    // Out of the selection and every editor reference, its drawing, tab and panel freed, then the
    // project removes it; the remaining arrays are numbered again and the maps cleared.
    void RemoveArray(TCabArray* theArray);
    void AddLineArrayWithWizard();

    // TObjectKind
    void ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const override;
    TQzControl3D* ObjectOf3D(const TObject* Drawn) const override;
    TBoundingBox Bounds(const TQzControl3D& Obj) const override;
    std::string TabText(const TQzControl3D& Obj) const override;
    void Place(TQzControl3D& Obj) override;
    void Appearance(TQzControl3D& Obj) override;
    void BeforeButtonStep(TQzControl3D& Obj) override;
    bool IsMoving(const TQzControl3D& Obj) const override;
    void SetMoving(TQzControl3D& Obj, bool Moving) override;
    void Render(TControl3D* Sender, TContext3D& Context) override;
    void WriteBack(TQzControl3D& Obj) override;
    void MoveBy(TQzControl3D& Obj, const TPoint3D& D) override;
    void MoveAndRotate(TQzControl3D& Obj, const TMoveAndRotate& M) override;
    void Remove(TQzControl3D& Obj) override;

    // ILineArrayCommands
    void AddAnotherCabinet(TCabArray& Array) override;
    void RemoveLastCabinet(TCabArray& Array) override;
    void ArrayGeometryChanged(TCabArray& Array) override;
    void AutoSplay(TCabArray& Array) override;
    void RemoveArrayAsked(TCabArray& Array) override;

private:
    void enableAutoSplay();
};

} // namespace vendrel
