#pragma once
// The 3D scene of the main window: the viewport and the furniture the editor keeps in it — the four
// cameras with their pivots and lights, the floor and wall grids, the three rows of axis labels, the
// axis and overlay layouts, the ruler bar, the three invisible input planes that receive the mouse
// behind everything, the measurement-point insertion marker and the axis letters.
//
// The viewport owns every node created here (component ownership); the Qt view only draws the
// viewport and hands it the mouse.

#include "platform/core/camera.h"
#include "platform/core/mesh.h"
#include "platform/core/shapes3d.h"
#include "platform/core/viewport3d.h"

#include <memory>

namespace vendrel {

class TConeInv;

// A grid plane that draws nothing itself: only its render event draws on it. The input planes are of
// this class.
class TAxis3D : public TGrid3D {
public:
    using TGrid3D::TGrid3D;
    void Render(TContext3D&) override {}
};

class TEditorScene {
public:
    TEditorScene();
    ~TEditorScene();
    TEditorScene(const TEditorScene&) = delete;
    TEditorScene& operator=(const TEditorScene&) = delete;

    std::unique_ptr<TViewport3D> Viewport3D1;

    // Cameras, each the child of the pivot it turns about.
    TDummy* Cam3DDummyY = nullptr;
    TDummy* Cam3DDummyX = nullptr;
    TCamera* Camera3D = nullptr;
    TDummy* CamSideDummy = nullptr;
    TCamera* CameraSide = nullptr;
    TDummy* CamTopDummy = nullptr;
    TCamera* CameraTop = nullptr;
    TDummy* CamFrontDummy = nullptr;
    TCamera* CameraFront = nullptr;
    TLight* Light3D = nullptr;
    TLight* LightSide = nullptr;
    TLight* LightTop = nullptr;
    TLight* LightFront = nullptr;
    TLight* Light4 = nullptr;

    // Reference furniture.
    TGrid3D* Grid3DHoriz = nullptr;
    TGrid3D* Grid3DVert = nullptr;
    TDummy* TextsLengthDummy = nullptr;
    TDummy* TextsHeightDummy = nullptr;
    TDummy* TextsWidthDummy = nullptr;
    TDummy* LayoutAxis3D = nullptr;
    TDummy* LayoutDraw3D = nullptr;
    TCube* RulerCube = nullptr;
    TText3D* AxisLetterX = nullptr;
    TText3D* AxisLetterY = nullptr;
    TText3D* AxisLetterZ = nullptr;

    // The zones' frame: the scene turned -90 degrees about X, so that a scene displacement (dx, dy, dz)
    // is (dx, -dz, dy) in it. Every zone's drawn holder hangs here.
    TDummy* ZonesDummy = nullptr;

    // Mouse input.
    TAxis3D* InputSide = nullptr;
    TAxis3D* InputTop = nullptr;
    TAxis3D* InputFront = nullptr;
    TConeInv* MeasCone3D = nullptr;
    // Marks where an armed cabinet insertion places a model too small to see at the present zoom.
    TCube* InsertMarker = nullptr;
};

} // namespace vendrel
