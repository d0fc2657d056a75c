#include "editor/scene_objects.h"

#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/kinds/zone_kind.h"
#include "editor/object_panels.h"
#include "platform/core/mesh.h"

#include <vector>

namespace vendrel {

namespace {

TControl3D* firstChild(const TControl3D* node) {
    return node != nullptr && node->ChildrenCount() > 0 ? node->Children(0) : nullptr;
}

std::unique_ptr<TLightMaterialSource> makeMaterial(TAlphaColor diffuse, TAlphaColor ambient,
                                                   TAlphaColor specular, int shininess) {
    auto m = std::make_unique<TLightMaterialSource>();
    m->SetDiffuse(diffuse);
    m->SetAmbient(ambient);
    m->SetEmissive(TAlphaColors::Null);
    m->SetSpecular(specular);
    m->SetShininess(shininess);
    return m;
}

} // namespace

TSceneObjects::TSceneObjects(TEditor& Editor)
    : BoxMaterial(makeMaterial(0xFF404040, 0xFF202020, 0xFFA0A0A0, 11)),
      UnactiveMaterial(makeMaterial(0xFF202020, 0xFF101010, 0xFF404040, 11)),
      NoMapMaterial(makeMaterial(0xFF505457, TAlphaColors::Black, 0xFF708090, 20)),
      ZoneFloorMaterial(makeMaterial(0xFF5AA4B4, 0xFF202020, 0xFF606060, 30)),
      HighLightMaterial(makeMaterial(0xFFFFFFFF, 0xFF202020, 0xFF606060, 20)), ed_(Editor) {}

TSceneObjects::~TSceneObjects() = default;

TQzExtrudedShape3D* TSceneObjects::ZoneSolid(const TMappingZone& Zone) {
    return TZoneKind::ZoneSolid(Zone);
}

TModel3D* TSceneObjects::CabinetModel3D(const TCabinet& Cabinet) {
    return dynamic_cast<TModel3D*>(firstChild(Cabinet.GraphicalObject));
}

void TSceneObjects::CopyMeshCollection(const TModel3D& SourceModel3D, TModel3D& DestinationModel3D) {
    DestinationModel3D.AssignMeshes(SourceModel3D);
}

IObjectPanel* TSceneObjects::AttachPanel(TObjectKind& Kind, TQzControl3D& Obj, const std::string& Name,
                                         int TabIndex, bool Fill) {
    IObjectPanel* panel =
        ed_.Panels != nullptr ? ed_.Panels->NewPanel(Obj, {Kind.ClassName(), Name, TabIndex}) : nullptr;
    vendrel::AttachPanel(Obj, panel);
    Kind.ApplyModelRules(Obj);
    if (!Fill) {
        return panel;
    }
    Kind.Place(Obj);
    Kind.Appearance(Obj);
    if (panel != nullptr) {
        panel->UpdateValues();
        panel->UpdateLockUnlock();
    }
    return panel;
}

void TSceneObjects::FreePanel(TQzControl3D& Obj) {
    IObjectPanel* panel = DetachPanel(Obj);
    if (panel != nullptr && ed_.Panels != nullptr) {
        ed_.Panels->FreePanel(panel);
    }
}

void TSceneObjects::SortRows(TObjectKind& Kind) {
    if (ed_.Panels == nullptr) {
        return;
    }
    std::vector<IObjectPanel*> rows;
    Kind.ForEachObject([&rows](TQzControl3D& obj) {
        if (auto* panel = PanelOf<IObjectPanel>(obj)) {
            rows.push_back(panel);
        }
    });
    ed_.Panels->SortRows(Kind.ClassName(), rows);
}

void TSceneObjects::RefreshPanel(TQzControl3D& Obj) {
    if (auto* panel = PanelOf<IObjectPanel>(Obj)) {
        panel->UpdateValues();
    }
}

void TSceneObjects::ObjectChanged(TQzControl3D& Obj) {
    if (TObjectKind* kind = ed_.Kinds.KindOf(&Obj)) {
        kind->Place(Obj);
        kind->Appearance(Obj);
    }
    RefreshPanel(Obj);
}

} // namespace vendrel
