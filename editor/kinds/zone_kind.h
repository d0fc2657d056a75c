#pragma once
// Mapping zones and drawn surfaces. A zone hangs in the zones' frame (the scene turned -90 degrees
// about X, so a scene displacement (dx, dy, dz) is (dx, -dz, dy) there): an outer holder (position,
// turn about the frame's Z) holding a rotation holder holding the extruded solid (turns about X and Z);
// its panel fills a tab of the venue page and the zone is listed in the venue object list.
//
// The zone's rules that its panel's fields start (a polygon following its begin corner, the slope of
// a trapezium, the thickness the mapping choice restores, the listening height of the selection) are
// named calls here (IZoneCommands), so the panel only declares fields.

#include "editor/object_kind.h"

#include <map>
#include <string>
#include <vector>

namespace vendrel {

class TMappingZone;
class TDummy;
class TQzExtrudedShape3D;
enum class TMappingSides : uint8_t;

// What the zone panel's fields start besides the generic follow-ups of IPanelHost.
class IZoneCommands {
public:
    virtual ~IZoneCommands() = default;
    // The listening height as typed applies to every selected unlocked zone.
    virtual void SetListenLevelOnSelection(const std::string& Text) = 0;
    virtual void SetMappingSidesOnSelection(TMappingSides Value) = 0;
    // A begin coordinate (metres, as the zone stores it: Axis 0 X, 1 Y (the height), 2 Z); a polygon's
    // points follow on the axis the current view gives the panel's row.
    virtual void SetZoneBegin(TMappingZone& Zone, int Axis, double Value) = 0;
    // Length (the zone's Width) or width (its Depth), metres.
    virtual void SetZoneLength(TMappingZone& Zone, double Value) = 0;
    virtual void SetZoneDepth(TMappingZone& Zone, double Value) = 0;
    virtual void SetZoneThickness(TMappingZone& Zone, double Value) = 0;
    // A trapezium's length, front or back width and height; its slope (the turn about Z) and its
    // height stay one: height = sin(turn) x length.
    virtual void SetTrapeziumLength(TMappingZone& Zone, double Value) = 0;
    virtual void SetTrapeziumWidth(TMappingZone& Zone, bool Front, double Value) = 0;
    virtual void SetTrapeziumHeight(TMappingZone& Zone, double Value) = 0;
    // The zone's turns (degrees, as the zone stores them).
    virtual void SetZoneRotation(TMappingZone& Zone, const TPoint3D& Value) = 0;
};

class TZoneKind : public TKindOf<TMappingZone>, public IZoneCommands {
public:
    explicit TZoneKind(TEditor& Editor);

    // The design's names of the kind's state.
    bool IsZoneClicked() const { return State.Clicked; }
    bool IsZoneMoved() const { return State.Moved; }
    int32_t NZonesSelected() const { return State.NSelected; }

    // The drawn holder of each zone, in the order of the project's list (not owned).
    std::vector<TDummy*> Obj3DZonesContainer;

    // The zone the project has just appended: its tab, holder, solid and panel.
    void AddInterfaceAndObjectsToZone(TMappingZone* TheZone);
    void RemoveSurface(TMappingZone* Zone);
    // Position, turns, rotation centres, size and outline of the zone's drawn objects from the zone.
    void PlaceZoneObjects(TMappingZone& Zone) const;
    // The solid's face materials from the zone's texture sides.
    void UpdateTextureSidesFloor(TMappingZone& Zone) const;
    // The zone's solid (first child of the first child of its drawn object), or null.
    static TQzExtrudedShape3D* ZoneSolid(const TMappingZone& Zone);
    // The thickness the mapping choice restores (the zone's own until a mapped zone's thickness is
    // typed).
    double OldThikness(const TMappingZone& Zone) const;
    // Draws the guide line of the rotation field that has the focus on the zone's holder.
    void ZoneContainerRender(TControl3D* Sender, TContext3D& Context);

    // TObjectKind
    void ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const override;
    TQzControl3D* ObjectOf3D(const TObject* Drawn) const override;
    void SetSelected(TQzControl3D& Obj, bool Selected) const override;
    TBoundingBox Bounds(const TQzControl3D& Obj) const override;
    TPoint3D AreaPoint(const TQzControl3D& Obj) const override;
    std::string TabText(const TQzControl3D& Obj) const override;
    void Renamed(TQzControl3D& Obj) override;
    void ApplyModelRules(TQzControl3D& Obj) override;
    void Place(TQzControl3D& Obj) override;
    void Appearance(TQzControl3D& Obj) override;
    bool SelectionStepBlocked() const override;
    void Reselected(TQzControl3D& Obj) override;
    TPoint3D DragAnchor(const TQzControl3D& Obj) const override;
    bool MasksAnchor() const override { return false; }
    TPoint3D DragTarget(const TQzControl3D& Obj, const TPoint3D& Plane) const override;
    TPoint3D DragDisplacement(const TQzControl3D& Obj, const TPoint3D& Target,
                              const TPoint3D& Anchor) const override;
    void Render(TControl3D* Sender, TContext3D& Context) override;
    void WriteBack(TQzControl3D& Obj) override;
    void MoveBy(TQzControl3D& Obj, const TPoint3D& D) override;
    void MoveAndRotate(TQzControl3D& Obj, const TMoveAndRotate& M) override;
    void ForEachSnapCandidate(const std::function<bool(TControl3D*, TControl3D*)>& Visit) const override;
    void Remove(TQzControl3D& Obj) override;

    // IZoneCommands
    void SetListenLevelOnSelection(const std::string& Text) override;
    void SetMappingSidesOnSelection(TMappingSides Value) override;
    void SetZoneBegin(TMappingZone& Zone, int Axis, double Value) override;
    void SetZoneLength(TMappingZone& Zone, double Value) override;
    void SetZoneDepth(TMappingZone& Zone, double Value) override;
    void SetZoneThickness(TMappingZone& Zone, double Value) override;
    void SetTrapeziumLength(TMappingZone& Zone, double Value) override;
    void SetTrapeziumWidth(TMappingZone& Zone, bool Front, double Value) override;
    void SetTrapeziumHeight(TMappingZone& Zone, double Value) override;
    void SetZoneRotation(TMappingZone& Zone, const TPoint3D& Value) override;

private:
    // The slope of a trapezium as its Z-turn field shows it: the arcsine of height / length (the ratio
    // held to -1..1), degrees, two decimals.
    double slopeAsShown(const TMappingZone& Zone) const;
    void followBegin(TMappingZone& Zone, int Axis, double Delta) const;
    void changed(TMappingZone& Zone);

    std::map<const TMappingZone*, double> oldThikness_;
};

} // namespace vendrel
