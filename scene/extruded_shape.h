#pragma once
// The 3D solid that shows a mapping zone: an outline in the local XY plane extruded along local Z
// into a slab (front face, back face, side walls, each with its own material), plus the SPL surface
// that lies ListeningOffset in front of the front face and carries the coloured level map. The
// inherited mesh (Data) is the SPL surface and the inherited MaterialSource the map material.
//
// Heights along local Z, with D = Depth, L = ListeningOffset and h = D/2:
//
//   level          zones do not grow upwards   zones grow upwards
//   SPL surface    -h - L/2                    -h - D + L/2
//   front face     -h + L/2                    -h - D + 1.5 L
//   back face       h - L/2                     h - D + L/2
//   wall centre     0                           L - D
//
// so the slab is D - L thick and the SPL surface lies L beyond its front face.

#include "platform/core/mesh.h"
#include "platform/core/planar.h"
#include "scene/triangulate.h"

#include <cstdint>
#include <functional>

namespace vendrel {

// Calculation state of a zone's maps and the sides a zone is mapped on; both are defined with the
// zone maps of the acoustic model and compared here by their stored ordinals.
enum class TCalcState : uint8_t;
enum class TMappingSides : uint8_t;
inline constexpr TCalcState kMapStateIsSumed = static_cast<TCalcState>(4);            // qzaIsSumed
inline constexpr TMappingSides kMappingSidesNoSPLMap = static_cast<TMappingSides>(0); // qzaNoSPLMap

// Which faces of the slab exist.
struct TExtrudedShapeSides {
    bool Front = true;
    bool Back = true;
    bool Shaft = true;
    bool operator==(const TExtrudedShapeSides&) const = default;
};

class TQzExtrudedShape3D : public TCustomMesh {
public:
    explicit TQzExtrudedShape3D(TComponent* AOwner = nullptr);
    ~TQzExtrudedShape3D() override;

    void SetWidth(float Value) override;
    void SetHeight(float Value) override;
    void SetDepth(float Value) override;
    // X is the Width, Y the Depth, Z the Height; an unchanged triple does nothing.
    virtual void SetDimensions(const TPoint3D& Value);

    // Rebuilds the SPL surface and the faces of the present sides from the outline.
    void RebuildMesh();

    float ListeningOffset() const { return FListeningOffset; }
    void SetListeningOffset(float Value); // stored only: follow it with a size change or RebuildMesh
    bool IsSelected() const { return FIsSelected; }
    void SetIsSelected(bool Value);
    TAlphaColor ColorSel() const { return FColorSel; }
    void SetColorSel(TAlphaColor Value) { FColorSel = Value; }
    float Flatness() const { return FFlatness; }
    void SetFlatness(float Value); // never below 0.05
    const TExtrudedShapeSides& Sides() const { return FSides; }
    void SetSides(const TExtrudedShapeSides& Value); // takes effect on the next RebuildMesh

    // Not owned; the solid forgets a source that is freed and repaints when its material changes.
    TMaterialSource* MaterialFloorSource() const { return FFloor.Source; }
    void SetMaterialFloorSource(TMaterialSource* Value) { FFloor.Set(Value); }
    TMaterialSource* MaterialShaftSource() const { return FShaft.Source; }
    void SetMaterialShaftSource(TMaterialSource* Value) { FShaft.Set(Value); }
    TMaterialSource* MaterialBackSource() const { return FBack.Source; }
    void SetMaterialBackSource(TMaterialSource* Value) { FBack.Set(Value); }

    const TMeshData& FrontMesh() const { return FFrontMesh; }
    const TMeshData& BackMesh() const { return FBackMesh; }
    const TMeshData& ShaftMesh() const { return FShaftMesh; }
    // The outline: closed (last point repeats the first), in local X and Y.
    const TPolygon& Outline() const { return FPolyg; }

    // Number of RebuildMesh runs (for code that must not rebuild needlessly).
    int RebuildCount() const { return FRebuildCount; }

    void Render(TContext3D& Context) override;

    // Draw the slab's edges even when not selected.
    bool ShowEdges = true;
    // Read from the zone and the project; set by the solid's creator before it is sized, drawn or hit.
    // An unset one reads as "not summed", "no SPL map" and false.
    std::function<TCalcState()> MapState;
    std::function<TMappingSides()> MapSides;
    std::function<bool()> IsThicknessParriba;
    std::function<bool()> UseSPLMeshforRaycast;

protected:
    // The nearest hit over the meshes tried (SPL surface when UseSPLMeshforRaycast, back, front, walls).
    bool DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) override;

    TPolygon FPolyg;

private:
    struct Heights {
        float spl, front, back, centre;
    };
    Heights ZLevels() const;
    bool MapIsSumed() const;
    bool MapIsShown() const;
    bool GrowsUpwards() const;
    TTexCoord TexCoordOf(const TPointF& p, const TRectF& bounds) const;
    static void BuildShaftMesh(TMeshData& M, const TPoint3D& C, const TPoint3D& S, const TRectF& R,
                               const TPolygon& Q);

    // One material slot: registers with its source for change and free notices.
    struct MaterialLink : ::vendrel::IMaterialClient {
        explicit MaterialLink(TQzExtrudedShape3D* owner) : Owner(owner) {}
        void Set(TMaterialSource* Value);
        void MaterialChanged(TMaterialSource*) override { Owner->Repaint(); }
        void MaterialFreed(TMaterialSource* Freed) override;
        TQzExtrudedShape3D* Owner;
        TMaterialSource* Source = nullptr;
    };

    float FListeningOffset = 0.0f;
    MaterialLink FFloor{this};
    bool FIsSelected = false;
    TAlphaColor FColorSel = 0;
    TTriangulate FTriangulate;
    float FFlatness = 1.0f;
    TExtrudedShapeSides FSides;
    MaterialLink FShaft{this};
    MaterialLink FBack{this};
    TMeshData FShaftMesh;
    TMeshData FFrontMesh;
    TMeshData FBackMesh;
    int FRebuildCount = 0;
};

} // namespace vendrel
