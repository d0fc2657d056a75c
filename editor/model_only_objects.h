#pragma once
// Placed objects whose panels are not built yet: clusters and beam-steering arrays read from files.
// They are entered in the project and their layer and drawn with their models' meshes where the
// model places them, but they take no mouse hits, have no tab or panel and
// cannot be edited; saving writes them back unchanged.
//
// Each object gets one container node in the view (its GraphicalObject) holding one drawn model per
// cabinet or rigging frame. A drawn model follows the object it stands for: it draws with
// that object's placement in the scene and only while that object is visible, so the layer's visibility
// and every placement the model computes are shown as they are. Removal frees the container (and the
// drawn models with it) before the project frees the object.

#include "platform/core/mesh.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vendrel {

class TEditor;
class TQzControl3D;
class TQzLayer;
class TCluster;
class TBeamContainer;
class TCabinet;
class TMappingZone;
class TMicPoint;
class TLightMaterialSource;

// A model drawn with the placement of another node (not owned; it must outlive the drawn model).
class TFollowerModel3D : public TModel3D {
public:
    TFollowerModel3D(TComponent* AOwner, const TControl3D* Followed);
    const TControl3D* Followed() const { return FFollowed; }
    void Render(TContext3D& Context) override;

private:
    const TControl3D* FFollowed;
};

class TModelOnlyObjects {
public:
    explicit TModelOnlyObjects(TEditor& Editor);
    TModelOnlyObjects(const TModelOnlyObjects&) = delete;
    TModelOnlyObjects& operator=(const TModelOnlyObjects&) = delete;

    // Enters an object the project has just appended in its layer (its cabinets too; LockedList when
    // it is locked) and draws it. EnableCalc: every cabinet is switched on, unless a project is being
    // opened.
    void InsertNewCluster(TCluster* theCluster, TQzLayer* theLayer, bool EnableCalc);
    void InsertNewBeamSteeringInterface(TBeamContainer* theBeamSteering, TQzLayer* theLayer, bool EnableCalc);
    // A measurement point the project has just appended: its layer and a marker in its colour.
    void InsertMic(TMicPoint* theMic, TQzLayer* theLayer);
    // Window side of removing one object: out of the selection and every editor reference, its drawing
    // freed, then the project removes it; the remaining ones are numbered again and the maps cleared.
    void RemoveCluster(TCluster* theCluster);
    void RemoveBeamSteering(TBeamContainer* theBeamSteering);
    // The point's marker freed, then the project removes it; the remaining points are numbered again.
    void RemoveMic(TMicPoint* theMic);

private:
    void enterLayer(TQzControl3D& object, TQzLayer* layer);
    TDummy* newContainer(TQzControl3D& object);
    void drawCabinet(TDummy& container, TCabinet& cabinet);
    void drawModel(TDummy& container, const TControl3D& followed, const TModel3D* library, TControl3D* sized);
    void freeDrawing(TQzControl3D& object);
    void afterGroupRemoval();

    TEditor& ed_;
};

} // namespace vendrel
