#pragma once
// Cameras, standard views and zoom.
//
// The venue is seen through one viewport and four cameras: a free perspective camera for the 3D view
// and nearly orthographic ones (angle of view 1 degree) for the side, top and front views. Each
// camera keeps its own position, pivot rotation and angle of view while another view is current;
// ZoomOut and PerspectiveCoeff of the editor state always describe the active camera, and the scroll
// bars and the zoom box show only the active camera. Switching the view also sets the view basis
// that the mouse code reads (MoveMask, InvMoveMask, RotationView_Matrix, InputRotMatrix) and shows
// the grid, input plane and insert-offset field of that view.
//
// The zoom box, the zoom track bar and the active camera move together (the zoom chain): the box
// drives the track bar, the track bar sets ZoomOut and the camera distance. The camera never stands
// more than 430 from its pivot: zooming out beyond that widens the angle of view instead, up to the
// camera's limit of 179 degrees.

#include "editor/ui_values.h"
#include "platform/core/geometry3d.h"
#include "platform/core/input.h"

#include <cstdint>
#include <string>

namespace vendrel {

class TEditor;
class TCamera;
class TDummy;
class TObject;
class TQzControl3D;
enum class TViewType : uint8_t;

class TViewsCameras {
public:
    explicit TViewsCameras(TEditor& Editor);

    // ---- Controls ----
    TUIRange CamXScrollBar{-25, 25, 0, 0};
    TUIRange CamYScrollBar{-25, 25, 0, 0};
    TUIRange ZoomSpinBox{-20, 20.1, -10, 0.1};
    TUIRange CamZTrackBar{-20, 20.1, -10, 0.1};
    TUIAction ThreeDviewAction{"3D View", "F1"};
    TUIAction SideViewAction{"Side View", "F2"};
    TUIAction TopViewAction{"Top View", "F3"};
    TUIAction FrontViewAction{"Front View", "F4"};
    TUIAction ZoomItemIn{"Zoom In", "I"};
    TUIAction ZoomItemOut{"Zoom Out", "O"};
    TUIAction ZoomToObjectB{"Zoom to Fit Selection"};
    TUIAction ResetCenterItem{"Axis 0,0,0"};
    TUIAction CenterSelItem{"Center of Selection"};
    TUIAction CameraOnSelectionB{"Track Selection"};
    TUIAction DefaultMouseB{"Default Mouse"};
    TUIAction CamRotB{"Rotate View"};
    TUIAction CamPanB{"Panning View"};
    // The insert-offset fields with their labels; only the field of the current view is shown.
    TUIText LengthOffset{"Length"};
    TUIText DepthOffset{"Depth"};
    TUIText HeightOffset{"Height"};
    // Camera X and Y as numbers.
    TUIText XNumBox{"0"};
    TUIText YNumBox{"0"};

    // ---- Developer controls ----
    TUIRange CamXTrackBar{-5, 40, 0, 0.1};
    TUIRange CamYTrackBar{-40, 5, 0, 0.1};
    TUIRange TrackBar4{0.1, 45, 23, 0.1}; // angle of view
    TUIRange TrackX{-180, 180, 0, 1};
    TUIRange TrackY{-180, 180, 0, 1};
    TUIRange TrackZ{-180, 180, 0, 1};
    TUIText Memo1;
    TUIRange LightTypeCB{0, 2, 1, 1}; // "Directional", "Point", "Spot"
    TUIText LightColorEdit{"FFCAC0C0"};
    TUIRange LightDistanceNB{0, 10000, 15, 1};
    TUIRange SpotCutoffNB{0, 180, 180, 1};
    TUIRange LightFocusNB{0, 1000, 100, 1};
    TUIRange ShininessNB{0, 1000, 12, 1};

    // ---- The active camera ----
    TCamera* ActiveCamera() const;
    // The camera of a view.
    TCamera* CameraOf(TViewType View) const;
    // The pivot a 2D view's camera turns about (null for the 3D view).
    TDummy* PivotOf(TViewType View) const;
    // Whether a 2D view is turned half a turn in its plane (a repeated press of its command).
    bool IsViewTurned(TViewType View) const;
    // The pivot's rotation as project files store it, where the half turn of the top view is a turn
    // about X and that of the side and front views one about Y; and the way back.
    TPoint3D StoredPivotRotation(TViewType View) const;
    void RestorePivotRotation(TViewType View, float StoredX, float StoredY);

    // ---- Standard views ----
    void ThreeDviewActionExecute();
    void SideViewActionExecute();
    void TopViewActionExecute();
    void FrontViewActionExecute();

    // ---- Angle of view and distance ----
    void CheckValidAngleOfView();
    void CheckMinimumZoom();

    // ---- Zoom chain ----
    void UpdateZoomIncrement();
    void ZoomSpinBoxChange();
    void CamZTrackBarChange();
    void ZoomItemInClick();
    void ZoomItemOutClick();
    // Wheel zoom towards the mouse; Ctrl scrolls vertically, Shift horizontally.
    void ViewportMouseWheel(TObject* Sender, TShiftState Shift, int WheelDelta);

    // ---- Camera moves with the mouse ----
    void CameraOnMouseMove(TObject* Sender, TShiftState Shift, float X, float Y);
    void UpdateObjectCursor(TObject* Sender, TShiftState Shift);

    // ---- Scroll bars ----
    void CamXScrollBarChange();
    void CamYScrollBarChange();
    void UpdateCameraScrollRanges();
    // Shows a camera in the scroll bars and the zoom box; only the active camera is shown.
    void SyncCameraControls(TCamera* Camera);
    // Sets a camera's position Y then X; the scroll bars show them when it is the active camera.
    void SetCameraPanXY(TCamera* Camera, float X, float Y);

    // ---- Fitting and framing ----
    void FitCameraToVenue(TCamera* Camera);
    void ZoomToObjectBClick();
    void ZoomToSelection();
    void ZoomToObj3D(TQzControl3D* Obj);

    // ---- Camera target and mouse modes ----
    void SetRotationCenter();
    void CenterSelItemClick();
    void CameraOnSelectionBClick();
    void CamRotBClick();
    void CamPanBClick();
    void DefaultMouseActionExecute();

    // The viewport's new size in pixels.
    void Viewport3D1Resized(float Width, float Height);

    // ---- Developer knobs ----
    void CamXTrackBarChange();
    void CamYTrackBarChange();
    void TrackBar4Change();
    void TrackBarRotChange();
    void UpdateLightsNBChange();

    // Binds the controls' change events to the handlers above (the window's creation).
    void BindControls();

private:
    void switchView(TViewType View);
    // Sets a camera's distance from the zoom of its own view's range (for a camera that is not active).
    void frameCamera(TCamera* Camera, double Zoom);
    TUIAction& actionOf(TViewType View);
    void setViewCursor(int16_t Cursor);
    void showCameraXY();

    TEditor& ed_;
};

// The zoom range of a view (the same for the zoom box and the zoom track bar).
double ZoomRangeOf(TViewType View);

} // namespace vendrel
