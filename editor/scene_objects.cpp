#include "editor/scene_objects.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "editor/editor.h"
#include "editor/object_panels.h"
#include "platform/core/mesh.h"
#include "scene/zone_shapes.h"

#include <string>

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
    return dynamic_cast<TQzExtrudedShape3D*>(firstChild(firstChild(Zone.GraphicalObject)));
}

TModel3D* TSceneObjects::CabinetModel3D(const TCabinet& Cabinet) {
    return dynamic_cast<TModel3D*>(firstChild(Cabinet.GraphicalObject));
}

void TSceneObjects::CopyMeshCollection(const TModel3D& SourceModel3D, TModel3D& DestinationModel3D) {
    DestinationModel3D.AssignMeshes(SourceModel3D);
}

// ---------------------------------------------------------------------------------------------------
// Cabinets

void TSceneObjects::AddInterfaceAndObjectsToCabinet(TCabinet* TheCabinet, const TModel3D* LibraryModel) {
    if (TheCabinet == nullptr) {
        return;
    }
    TCabinet& cabinet = *TheCabinet;
    TViewport3D& viewport = *ed_.Scene.Viewport3D1;
    const auto k = static_cast<size_t>(ed_.Project.NCabinets() - 1);
    ObjCabContainer.resize(k + 1, nullptr);

    auto* dummy = new TDummy(&viewport);
    ObjCabContainer[k] = dummy;
    dummy->SetParent(&viewport);
    auto* model = new TModel3D(dummy); // freed with the dummy
    model->SetParent(dummy);
    cabinet.GraphicalObject = dummy;

    if (LibraryModel != nullptr && LibraryModel->MeshCount() > 0) {
        model->SetWidth(LibraryModel->Width());
        model->SetHeight(LibraryModel->Height());
        model->SetDepth(LibraryModel->Depth());
        model->SetScale(LibraryModel->Scale());
        model->SetWrapMode(LibraryModel->WrapMode());
        CopyMeshCollection(*LibraryModel, *model);
    } else {
        // No mesh to show: a box of the model's size stands for the cabinet.
        const TCabModel* m = cabinet.Model();
        model->SetWidth(m != nullptr && m->Width() > 0 ? static_cast<float>(m->Width()) : 0.5f);
        model->SetHeight(m != nullptr && m->Height() > 0 ? static_cast<float>(m->Height()) : 0.5f);
        model->SetDepth(m != nullptr && m->Depth() > 0 ? static_cast<float>(m->Depth()) : 0.5f);
        model->SetWrapMode(TMeshWrapMode::wmStretch);
        model->AddMesh(UnitCubeMesh());
    }
    model->HitTest = true;
    model->AutoCapture = true;
    ed_.ObjectMouse.BindCabinetModel(*model);

    dummy->SetPosition(cabinet.Position());
    SetObj3DRotation(cabinet);

    if (ed_.Panels != nullptr) {
        ICabinetPanel* panel =
            ed_.Panels->NewCabinetPanel(cabinet, "CabinetFrame" + std::to_string(ed_.Project.UniqueID()));
        AttachPanel(cabinet, panel);
        if (panel != nullptr) {
            panel->UpdateValues();
            panel->UpdateLockUnlock();
        }
        ed_.Panels->SortCabinetsFrames();
    } else {
        SetMaterialInCabinet(cabinet);
    }
}

void TSceneObjects::SetObj3DRotation(TCabinet& Cabinet) {
    TControl3D* dummy = Cabinet.GraphicalObject;
    if (dummy == nullptr) {
        return;
    }
    const TPoint3D rc = Cabinet.RotationCenter();
    dummy->SetRotationCenter(rc);
    if (TControl3D* model = firstChild(dummy)) {
        model->SetRotationCenter({0, 0, rc.Z});
        model->SetRotationAngleX(Cabinet.DummySource() != nullptr ? Cabinet.DummySource()->RotationAngle().X
                                                                  : 0.0f);
    }
    dummy->SetRotationAngle({0, 0, 0});
    dummy->SetRotationAngle({0, Cabinet.RotationAngle().Y, Cabinet.RotationAngle().Z});
}

void TSceneObjects::SetMaterialInCabinet(TCabinet& Cabinet) {
    if (TModel3D* model = CabinetModel3D(Cabinet)) {
        model->SetAllMaterials(Cabinet.Active() ? BoxMaterial.get() : UnactiveMaterial.get());
    }
}

// ---------------------------------------------------------------------------------------------------
// Zones

void TSceneObjects::AddInterfaceAndObjectsToZone(TMappingZone* TheZone) {
    if (TheZone == nullptr) {
        return;
    }
    TMappingZone& zone = *TheZone;
    TAcousticProject& project = ed_.Project;

    // The tab.
    TUITabs& tabs = ed_.PanelSwitching.ZonesTabControl;
    const int tab = tabs.Add("Zone " + std::to_string(zone.ZoneIndexID() + 1) + ": " + zone.Name(), &zone);
    tabs.SetTabIndex(tab);
    zone.Tag = tab;

    // Holder, rotation holder and solid.
    const auto k = static_cast<size_t>(project.NMappingZones() - 1);
    Obj3DZonesContainer.resize(k + 1, nullptr);
    TDummy* zones = ed_.Scene.ZonesDummy;
    auto* holder = new TDummy(zones);
    Obj3DZonesContainer[k] = holder;
    holder->CanFocus = true;
    holder->SetParent(zones);
    holder->TagObject = &zone;
    ed_.ObjectMouse.BindZoneHolder(*holder);
    zone.GraphicalObject = holder;
    auto* inner = new TDummy(holder); // the holder frees what it holds
    inner->SetParent(holder);

    TQzExtrudedShape3D* solid = nullptr;
    switch (zone.SurfaceType()) {
    case TSurfaceType::qzaTrapezium:
        solid = new TQzTrapezium3D(holder);
        break;
    case TSurfaceType::qzaPolygon:
        solid = new TQzDrawPath3D(holder);
        break;
    case TSurfaceType::qzaRectangle:
    case TSurfaceType::qzaPicture:
        solid = new TQzRectangle3D(holder);
        break;
    }
    solid->MapState = [&zone] { return zone.MapState(); };
    solid->MapSides = [&zone] { return zone.MappingSides(); };
    solid->IsThicknessParriba = [&project] { return project.ZonasCrecenParriba(); };
    solid->UseSPLMeshforRaycast = [&project] { return project.UseSPLMeshforRaycast(); };
    if (auto* path = dynamic_cast<TQzDrawPath3D*>(solid)) {
        TPolygon outline;
        for (const TPoint3D& p : zone.PolygonPoints()) {
            outline.push_back({p.X, p.Y});
        }
        path->SetShapePolygon(outline);
    }

    solid->ZWrite = true;
    solid->SetColorSel(zone.MyLayer() != nullptr ? zone.MyLayer()->Color : TAlphaColors::White);
    solid->SetMaterialSource(zone.MapMaterial());
    solid->SetMaterialFloorSource(zone.TopFloorMaterial());
    NoMapMaterial->SetDiffuse(project.ZoneCreationColor());
    solid->SetMaterialBackSource(ZoneFloorMaterial.get());
    solid->SetMaterialShaftSource(NoMapMaterial.get());
    solid->SetDepth(1.0f);
    solid->CanFocus = true;
    solid->SetParent(inner);
    solid->TagObject = &zone;
    solid->SetVisible(true);
    solid->ShowEdges = ed_.Grid.ShowZoneEdgesItem.Checked();
    solid->HitTest = true;
    solid->AutoCapture = true;
    ed_.ObjectMouse.BindZoneSolid(*solid);
    solid->SetListeningOffset(zone.ListenLevel());

    // An unpainted map shows the colour of new zones.
    zone.SetNoMapColor(project.ZoneCreationColor());
    if (zone.IsMapCleared()) {
        zone.MapBMP().Clear(zone.NoMapColor());
        zone.ApplyTexture();
    }

    IZonePanel* panel = ed_.Panels != nullptr ? ed_.Panels->NewZonePanel(zone, tab) : nullptr;
    AttachPanel(zone, panel);
    if (!ed_.State.IsOpeningProject) {
        if (panel != nullptr) {
            panel->UpdateValues();
        } else {
            PlaceZoneObjects(zone);
        }
    }
}

void TSceneObjects::PlaceZoneHolder(TMappingZone& Zone) {
    if (TControl3D* holder = Zone.GraphicalObject) {
        const TPoint3D p = Zone.Position();
        holder->SetPosition({p.X, -p.Z, Zone.Height() / 2 - p.Y});
    }
}

void TSceneObjects::PlaceZoneObjects(TMappingZone& Zone) {
    TControl3D* holder = Zone.GraphicalObject;
    TQzExtrudedShape3D* solid = ZoneSolid(Zone);
    if (holder == nullptr || solid == nullptr) {
        return;
    }
    const bool mapped = Zone.MappingSides() != TMappingSides::qzaNoSPLMap;
    const float offset = mapped ? Zone.ListenLevel() : 0.0f;
    solid->SetListeningOffset(offset);
    solid->SetColorSel(Zone.MyLayer() != nullptr ? Zone.MyLayer()->Color : TAlphaColors::White);
    solid->SetDimensions({Zone.Width(), Zone.Height() + offset, Zone.Depth()});
    UpdateTextureSidesFloor(Zone);

    PlaceZoneHolder(Zone);
    const TPoint3D r = Zone.RotationAngle();
    holder->SetRotationAngle({0, 0, -r.Y});
    if (TControl3D* inner = firstChild(holder)) {
        inner->SetRotationAngle({0, 0, 0});
    }
    solid->SetRotationAngle({r.X, r.Z, 0});
    holder->SetRotationCenter(Zone.RotationCenter());
    solid->SetRotationCenter(Zone.RotationCenter());

    if (auto* trapezium = dynamic_cast<TQzTrapezium3D*>(solid)) {
        trapezium->SetWidth1(static_cast<float>(Zone.TrapezWidth1()));
        trapezium->SetWidth2(static_cast<float>(Zone.TrapezWidth2()));
        trapezium->SetHeight1(static_cast<float>(Zone.TrapezHeight()));
    } else if (auto* path = dynamic_cast<TQzDrawPath3D*>(solid)) {
        TPolygon outline;
        for (const TPoint3D& p : Zone.PolygonPoints()) {
            outline.push_back({p.X, p.Y});
        }
        path->SetShapePolygon(outline);
    } else if (auto* rectangle = dynamic_cast<TQzRectangle3D*>(solid)) {
        rectangle->SetCorners(
            {Zone.CornerTopLeft(), Zone.CornerTopRight(), Zone.CornerBotLeft(), Zone.CornerBotRight()});
        rectangle->SetTopLeftCornerType(Zone.TLCornerType());
        rectangle->SetTopRightCornerType(Zone.TRCornerType());
        rectangle->SetBotLeftCornerType(Zone.BLCornerType());
        rectangle->SetBotRightCornerType(Zone.BRCornerType());
        rectangle->SetTopLeftXRadius(static_cast<float>(Zone.TLXRadius()));
        rectangle->SetTopLeftYRadius(static_cast<float>(Zone.TLYRadius()));
        rectangle->SetTopRightXRadius(static_cast<float>(Zone.TRXRadius()));
        rectangle->SetTopRightYRadius(static_cast<float>(Zone.TRYRadius()));
        rectangle->SetBotLeftXRadius(static_cast<float>(Zone.BLXRadius()));
        rectangle->SetBotLeftYRadius(static_cast<float>(Zone.BLYRadius()));
        rectangle->SetBotRightXRadius(static_cast<float>(Zone.BRXRadius()));
        rectangle->SetBotRightYRadius(static_cast<float>(Zone.BRYRadius()));
    }
    solid->RebuildMesh();
}

void TSceneObjects::UpdateTextureSidesFloor(TMappingZone& Zone) {
    TQzExtrudedShape3D* solid = ZoneSolid(Zone);
    if (solid == nullptr) {
        return;
    }
    const TExtrudedShapeSides& sides = Zone.TextureSides();
    TMaterialSource* topFloor = Zone.TopFloorMaterial();
    solid->SetMaterialFloorSource(sides.Front ? topFloor : NoMapMaterial.get());
    TMaterialSource* back = ZoneFloorMaterial.get();
    if (sides.Back) {
        if (Zone.Height() >= 0.11f) {
            back = topFloor;
        } else if (Zone.isTextureOverSPL()) {
            back = Zone.MapMaterial();
        } else if (Zone.isTextureOnTopFloor()) {
            back = topFloor;
        }
    }
    solid->SetMaterialBackSource(back);
    solid->SetMaterialShaftSource(sides.Shaft ? topFloor : NoMapMaterial.get());
}

} // namespace vendrel
