#pragma once
// Scene objects and their panels: the two faces every placed object has in the main window, the 3D
// objects that draw it in the view and take its mouse events, and the panel that edits it. Each kind
// builds its own drawn objects (editor/kinds/); this class holds what they share: the window's
// materials, the link between an object and its panel, and what follows an edit made outside the
// panel (the drawings and the panel take the object's state again).
//
// The drawn objects are owned by the viewport; the panels by the window.

#include "platform/core/material.h"

#include <memory>
#include <string>

namespace vendrel {

class TEditor;
class TObjectKind;
class TQzControl3D;
class TCabinet;
class TMappingZone;
class TModel3D;
class TQzExtrudedShape3D;
class IObjectPanel;

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

    // ---- An object and its panel ----
    // The window builds the object's panel in its kind's page (named Name, on the page's tab TabIndex
    // for tabbed kinds); the object's model rules are applied, the panel filled and its lock shown,
    // and the drawn objects placed. Fill false: only the rules and the link (the caller fills later).
    // Returns the panel, null when the window has none for the kind.
    IObjectPanel* AttachPanel(TObjectKind& Kind, TQzControl3D& Obj, const std::string& Name, int TabIndex,
                              bool Fill = true);
    // The object forgets its panel and the window frees it.
    void FreePanel(TQzControl3D& Obj);
    // The kind's rows stand in the order of the project's list.
    void SortRows(TObjectKind& Kind);
    // The panel shows the object again (it only reads).
    void RefreshPanel(TQzControl3D& Obj);
    // After an edit made outside the panel: the drawings take the object's placement and look, the
    // panel its values.
    void ObjectChanged(TQzControl3D& Obj);

    // Replaces the destination's meshes with copies of the source's (sizes and materials are the
    // caller's).
    static void CopyMeshCollection(const TModel3D& SourceModel3D, TModel3D& DestinationModel3D);
    // The zone's solid (first child of the first child of its drawn object), or null.
    static TQzExtrudedShape3D* ZoneSolid(const TMappingZone& Zone);
    // The cabinet's drawn model (first child of its drawn object), or null.
    static TModel3D* CabinetModel3D(const TCabinet& Cabinet);

private:
    TEditor& ed_;
};

} // namespace vendrel
