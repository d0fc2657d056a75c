#pragma once
// Adding objects, and inserting them with the mouse.
//
// The add routines create an object in the project, put it into a layer, build its drawn objects and
// panel, honour the layer's visibility and lock, and select it when asked; every other part of the
// program creates cabinets and zones through them. The commands choose what to add and where: zones
// and trapezia with fixed default sizes beside the last selected object, a cabinet model from the
// model menu, placed by clicking in the view, and a drawn surface from clicked points.
//
// An insertion by mouse stays armed across any number of clicks: a preview follows the mouse, each
// left click adds one object, and EndInsertionInViewPort3D ends it (Esc, a right click in the view,
// and every command that changes the mode, the document or the selection call it first). A click whose
// ray meets no surface inserts nothing.

#include "editor/ui_values.h"
#include "platform/core/geometry3d.h"
#include "platform/core/input.h"
#include "platform/core/planar.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vendrel {

class TEditor;
class TObject;
class TControl3D;
class TModel3D;
class TCabinet;
class TMappingZone;
class TCabModel;
class TOrnament;
class TOrnaModel;
class TQzLayer;
enum class TCabPlacement : uint8_t;
enum class TSurfaceType : uint8_t;

// The kinds of default zone, told apart by the Tag of the command that adds them.
enum class TNewZoneKind : int32_t { Rectangle = 0, Trapezium = 1, Picture = 3 };

// Outline points turned into a zone's plane: its begin corner, the bounding rectangle of the outline
// in that plane and whether the winding was reversed.
struct TPolygonPos {
    TPoint3D Begin;
    TRectF Rect;
    bool Reversed = false;
};

// Turns a list of outline points into plane points (rewritten in place, first point first, the winding
// made positive) for a zone of rotation Rotation (degrees); with Creation the points are scene points
// as picked (X, -Z, Y) and are first turned into the plane of the rotation.
TPolygonPos GetPolygonPos(std::vector<TPoint3D>& Points, const TPoint3D& Rotation, bool Creation);

class TAddObjects {
public:
    explicit TAddObjects(TEditor& Editor);

    // ---- Commands ----
    TUIAction AddSurfaceButton{"Add"};             // "Add Surface with Corners"
    TUIAction AddTrapeziumButton{"Trapezium"};     // "Add Trapezium"
    TUIAction AddCabinetAction{"Add New Cabinet"}; // "Add Cabinets": the model menu
    TUIAction AddZoneAction{"Add Zone"};           // the scene menu's default zone
    TUIAction DrawSurfaceAction{"Draw Surface"};   // "Draw Surface  Points"
    TUIAction AddMeasurePointAction{"Add Measure Point"};
    // Arms the two-point mode of in-line points (its controls stay hidden).
    TUIAction AddLineMicsAction{"Add Line Mics"};

    // ---- Insert offsets of cabinets placed by mouse ----
    TUIRange RotZNB{-360, 360, 0, 1};   // "Cabinet Rotation. Z axis"
    TUIRange RotYNB{-360, 360, 0, 1};   // "Cabinet Rotation. Y axis"
    TUIAction AbsOffRB{"Absolute"};     // "Will apply same values for each Insertion"
    TUIAction AcumOffRB{"Incremental"}; // "Will sum values for next Insertion"
    // The insertion count n of the incremental offsets (the Tag of AcumOffRB): 1 at start and whenever
    // "Absolute" is chosen, one more after each cabinet added with "Incremental" checked.
    int32_t AcumOffTag = 1;
    void AbsOffRBChange();
    // The rotation of the next cabinet from the offset controls: (0, -z n, -y n) degrees.
    TPoint3D InsertionRotation() const;

    // ---- Add routines ----
    // Preset: 1-based, 0 or out of range gives the model's default; Process: 0 the bypass process, n the
    // n-th process of the project. Null when the model is not in the library (its message is shown).
    TCabinet* AddNewCabinet(const std::string& ModelName, const std::string& VariantName,
                            const std::string& BrandName, const TPoint3D& Position, const TPoint3D& Rotation,
                            bool Selected, TCabPlacement Placement, int32_t HornRotationIndex, bool Active,
                            bool Locked, TQzLayer* Layer, int32_t Preset, int32_t Process);
    TMappingZone* AddNewMappingZone(const std::string& Name, const TPoint3D& Position,
                                    const TPoint3D& Rotation, float Width, float Depth, float Height,
                                    bool Selected, TSurfaceType Type, bool Active, TQzLayer* Layer,
                                    const std::vector<TPoint3D>& SurfacePnts);
    // Null when the model is not in the library (its message is shown).
    TOrnament* AddNewOrnament(const std::string& Name, const std::string& ModelName, const TPoint3D& Position,
                              const TPoint3D& Rotation, bool Selected, TQzLayer* Layer, float Width,
                              float Depth, float Height, bool Visible);
    // A default zone of the kind, beside the last selected object, selected alone.
    TMappingZone* AddNewZoneButtonClick(TNewZoneKind Kind);
    TPoint3D DefaultZoneInsertPosition() const;

    // ---- The model menu ----
    // Opens the model menu at the mouse for Target (a loose cabinet changes its model; null inserts a
    // cabinet by mouse).
    void AddCabinetActionExecute();
    void PopupModelsFor(TObject* Target);
    // A model of the menu was chosen (ModelTag: its index in the project's detected models).
    void ModelMenuItemClick(int32_t ModelTag);
    void ChangeCabinetModel(TCabinet& Cabinet, int32_t ModelTag);
    TObject* PopupModelsTarget = nullptr; // not owned; emptied by every choice

    // ---- Insertion by mouse ----
    bool IsInsertigInViewPort3D() const;
    void EndInsertionInViewPort3D();
    void DrawSurfaceActionExecute();
    // Arms the insertion of measurement points: every click on a surface places one.
    void AddMeasurePointActionExecute();
    void InsertingMicOnMouseDown(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                 const TPoint3D& RayDir);
    void InsertingMicOnMouseMove(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                 const TPoint3D& RayDir);
    // Offers to make a hidden active layer visible before something is put into it.
    void CheckIfAddingOnInvisibleLayer();
    // The insertion handlers of a press or a move over an object or an input plane, with the object
    // under the mouse as Sender (a press on a zone or an ornament also places surface points).
    void InsertingOnMouseDown(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                              const TPoint3D& RayDir, bool SurfacePoint);
    void InsertingOnMouseMove(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                              const TPoint3D& RayDir);
    void InsertingCabinetOnMouseDown(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                     const TPoint3D& RayDir);
    void InsertingCabinetOnMouseMove(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                     const TPoint3D& RayDir);
    // An ornament of the model chosen in the library picker, at the point under the mouse less the
    // model's origin; the picker comes to the front again after every click.
    void InsertingOrnamentOnMouseDown(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                      const TPoint3D& RayDir);
    void InsertingOrnamentOnMouseMove(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                      const TPoint3D& RayDir);
    // Arms the insertion of ornaments of the model by mouse (a choice in the library picker): a pending
    // cabinet or measurement point is dropped and every preview hidden.
    void ArmOrnamentInsertion(const std::string& ModelName);
    // The library picker of ornaments comes to the front (set by the window).
    std::function<void()> OnBringOrnamentPickerToFront;
    void InsertingSurfacePointOnMouseDown(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                          const TPoint3D& RayDir);
    void InsertingSurfacePointOnMouseMove(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                          const TPoint3D& RayDir);
    // Turns the picked points into a polygon zone; an outline without area is refused with a message.
    void FinishSurfaceDrawing();

    // Pixels below which a previewed model is marked, and the width of the mark in pixels.
    static constexpr double kSmallPreviewPixels = 6;
    static constexpr double kPreviewMarkPixels = 8;

    // The message of an outline without area.
    static constexpr const char* kNoAreaMessage =
        "The drawn points do not enclose an area.\r\n\r\nPick at least three points that do not lie on "
        "one line.";

    bool IsAddingNewZoneButtonClick = false;

private:
    // Where a cabinet clicked or previewed at goes (position and rotation), or nothing when the ray
    // meets no surface.
    struct TPlacement {
        TPoint3D Position;
        TPoint3D Rotation;
    };
    std::optional<TPlacement> cabinetPlacement(TControl3D* Sender, const TPoint3D& RayPos,
                                               const TPoint3D& RayDir) const;
    // The point under the mouse on Sender (magnetic snapping) or on the input plane of the view.
    std::optional<TPoint3D> pointUnderMouse(TControl3D* Sender, const TPoint3D& RayPos,
                                            const TPoint3D& RayDir) const;
    TCabModel* pendingModel() const;
    // The status line while a cabinet insertion is armed; Placed names the cabinet a click just added.
    void showCabinetInsertionHint(const std::string& Placed);
    // Marks the preview's place with a cube a few pixels wide when the model itself would be drawn
    // smaller than that at the present zoom; hides the mark otherwise.
    void markSmallPreview(const TPoint3D& Centre, double ModelSize);
    TOrnaModel* findOrnaModel(const std::string& Name) const;
    // The library 3D model of an ornament model (null when it has none).
    TModel3D* ornamentPreview(const TOrnaModel* Model) const;
    void hideOrnamentPreviews();
    void setInsertCursor();
    void selectAlone(TObject* Obj);

    TEditor& ed_;
};

} // namespace vendrel
