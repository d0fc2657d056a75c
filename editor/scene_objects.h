#pragma once
// Scene objects and their panels: the two faces every placed object has in the main window, the 3D
// objects that draw it in the view and take its mouse events, and the panel that edits it.
//
// A loose cabinet is a dummy (position, Y and Z turns, rotation centre) holding a copy of its library
// model (the X turn, which the cabinet keeps on its source pivot); its panel is a row of the cabinet
// list. A zone hangs in the zones' frame (the scene turned -90 degrees about X, so a scene displacement
// (dx, dy, dz) is (dx, -dz, dy) there): an outer holder (position, turn about the frame's Z) holding a
// rotation holder holding the extruded solid (turns about X and Z); its panel fills a tab of the zone
// tab control. The drawn objects are owned by the viewport; the panels by the window.
//
// A cabinet whose model has no 3D mesh in the library is drawn as a box of the model's size, so that it
// is never lost from the scene (and with it from the saved project).

#include "editor/ui_values.h"
#include "platform/core/material.h"

#include <memory>
#include <vector>

namespace vendrel {

class TEditor;
class TCabinet;
class TMappingZone;
class TModel3D;
class TDummy;
class TQzExtrudedShape3D;

class TSceneObjects {
public:
    explicit TSceneObjects(TEditor& Editor);
    ~TSceneObjects();
    TSceneObjects(const TSceneObjects&) = delete;
    TSceneObjects& operator=(const TSceneObjects&) = delete;

    // Materials of the window (owned).
    std::unique_ptr<TLightMaterialSource> BoxMaterial;       // active cabinets
    std::unique_ptr<TLightMaterialSource> UnactiveMaterial;  // switched-off cabinets
    std::unique_ptr<TLightMaterialSource> NoMapMaterial;     // side walls of the zones
    std::unique_ptr<TLightMaterialSource> ZoneFloorMaterial; // back faces of the zones
    std::unique_ptr<TLightMaterialSource> HighLightMaterial; // drawn over highlighted objects

    // The drawn object of each loose cabinet and each zone, in the order of the project's lists (not
    // owned; a removal takes the entry out).
    std::vector<TDummy*> ObjCabContainer;
    std::vector<TDummy*> Obj3DZonesContainer;

    // Builds the 3D objects and the panel of the loose cabinet the project has just appended (the last
    // of its list). LibraryModel is its model's library 3D model; null or without meshes, the cabinet is
    // drawn as a box of the model's size.
    void AddInterfaceAndObjectsToCabinet(TCabinet* TheCabinet, const TModel3D* LibraryModel);
    // The same for the zone the project has just appended: its tab, holder, solid and panel.
    void AddInterfaceAndObjectsToZone(TMappingZone* TheZone);
    // Replaces the destination's meshes with copies of the source's (sizes and materials are the
    // caller's).
    static void CopyMeshCollection(const TModel3D& SourceModel3D, TModel3D& DestinationModel3D);

    // ---- The drawn objects follow the model objects ----
    // The cabinet's turns and rotation centre on its dummy and model: the dummy carries the rotation
    // centre and the Y and Z turns, the model the X turn of the cabinet's source pivot.
    void SetObj3DRotation(TCabinet& Cabinet);
    // Every mesh of the cabinet's model gets BoxMaterial (active) or UnactiveMaterial.
    void SetMaterialInCabinet(TCabinet& Cabinet);
    // Position, turns, rotation centres, size and outline of the zone's drawn objects from the zone.
    void PlaceZoneObjects(TMappingZone& Zone);
    // Only the holder's position (after a move of the begin corner or a new listening height).
    void PlaceZoneHolder(TMappingZone& Zone);
    // The solid's face materials from the zone's texture sides.
    void UpdateTextureSidesFloor(TMappingZone& Zone);

    // The zone's solid (first child of the first child of its drawn object), or null.
    static TQzExtrudedShape3D* ZoneSolid(const TMappingZone& Zone);
    // The cabinet's drawn model (first child of its drawn object), or null.
    static TModel3D* CabinetModel3D(const TCabinet& Cabinet);

private:
    TEditor& ed_;
};

} // namespace vendrel
