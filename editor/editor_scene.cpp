#include "editor/editor_scene.h"

#include "scene/cone_marker.h"

namespace vendrel {

namespace {

constexpr TAlphaColor kLightColor = 0xFFCAC0C1;
constexpr TAlphaColor kGridColor = 0xBB737383;

template <typename T> T* make(TViewport3D& owner, TControl3D* parent) {
    auto* node = new T(&owner);
    node->SetParent(parent);
    return node;
}

TLight* makeLight(TViewport3D& owner, TControl3D* parent, TLightType type, bool enabled) {
    auto* light = make<TLight>(owner, parent);
    light->SetLightType(type);
    light->SetColor(kLightColor);
    light->SetEnabled(enabled);
    light->HitTest = false;
    return light;
}

} // namespace

TEditorScene::TEditorScene() : Viewport3D1(std::make_unique<TViewport3D>()) {
    TViewport3D& v = *Viewport3D1;
    v.Color = 0xFF161819;

    // The 3D camera turns about two pivots: Y (vertical axis) holding X.
    Cam3DDummyY = make<TDummy>(v, &v);
    Cam3DDummyY->SetRotationAngleY(330);
    Cam3DDummyX = make<TDummy>(v, Cam3DDummyY);
    Cam3DDummyX->SetRotationAngleX(330);
    Camera3D = make<TCamera>(v, Cam3DDummyX);
    Camera3D->SetPositionZ(5);
    Light3D = makeLight(v, Camera3D, TLightType::ltPoint, true);

    CamSideDummy = make<TDummy>(v, &v);
    CameraSide = make<TCamera>(v, CamSideDummy);
    CameraSide->SetPositionZ(-5);
    LightSide = makeLight(v, CameraSide, TLightType::ltDirectional, false);

    CamTopDummy = make<TDummy>(v, &v);
    CamTopDummy->SetRotationAngleX(270);
    CameraTop = make<TCamera>(v, CamTopDummy);
    CameraTop->SetPositionZ(-5);
    LightTop = makeLight(v, CameraTop, TLightType::ltDirectional, true);

    CamFrontDummy = make<TDummy>(v, &v);
    CamFrontDummy->SetRotationAngleY(270);
    CameraFront = make<TCamera>(v, CamFrontDummy);
    CameraFront->SetPositionZ(-800);
    LightFront = makeLight(v, CameraFront, TLightType::ltDirectional, false);

    // The side, top and front views are plans: drawn without perspective at the scale their angle of
    // view and distance give at the pivot, so that a map at listening height lies on its zone's outline
    // however far from the view's centre.
    for (TCamera* plan : {CameraSide, CameraTop, CameraFront}) {
        plan->SetOrthographic(true);
    }

    Light4 = makeLight(v, &v, TLightType::ltDirectional, true);

    for (TDummy* pivot : {Cam3DDummyY, Cam3DDummyX, CamSideDummy, CamTopDummy, CamFrontDummy}) {
        pivot->HitTest = false;
    }
    for (TCamera* camera : {Camera3D, CameraSide, CameraTop, CameraFront}) {
        camera->HitTest = false;
    }

    // Floor grid (in the floor plane) and wall grid (upright).
    Grid3DHoriz = make<TGrid3D>(v, &v);
    Grid3DHoriz->SetRotationAngleX(270);
    Grid3DVert = make<TGrid3D>(v, &v);
    for (TGrid3D* grid : {Grid3DHoriz, Grid3DVert}) {
        grid->SetLineColor(kGridColor);
        grid->SetMarks(5);
        grid->HitTest = false;
        grid->ZWrite = false;
    }

    // Parents of the three rows of axis labels.
    TextsLengthDummy = make<TDummy>(v, &v);
    TextsLengthDummy->SetOpacity(0.9f);
    TextsHeightDummy = make<TDummy>(v, &v);
    TextsWidthDummy = make<TDummy>(v, &v);
    TextsWidthDummy->SetRotationAngleX(270);
    for (TDummy* d : {TextsLengthDummy, TextsHeightDummy, TextsWidthDummy}) {
        d->ZWrite = false;
        d->HitTest = false;
    }

    // Layouts whose render events draw the axis lines and the overlays.
    LayoutAxis3D = make<TDummy>(v, &v);
    LayoutDraw3D = make<TDummy>(v, &v);
    for (TDummy* d : {LayoutAxis3D, LayoutDraw3D}) {
        d->SetWidth(0.01f);
        d->SetHeight(0.01f);
        d->SetDepth(0.01f);
        d->HitTest = false;
    }

    ZonesDummy = make<TDummy>(v, &v);
    ZonesDummy->SetRotationAngle({-90, 0, 0});
    ZonesDummy->HitTest = false;

    RulerCube = make<TCube>(v, &v);
    RulerCube->SetVisible(false);
    RulerCube->HitTest = false;

    // The three input planes lie behind everything and reach 1000 m from their centre.
    const auto makePlane = [&](const char* tag) {
        auto* plane = make<TAxis3D>(v, &v);
        plane->TagString = tag;
        plane->SetFrequency(1000);
        plane->SetWidth(2000);
        plane->SetHeight(2000);
        plane->HitTest = false;
        return plane;
    };
    InputSide = makePlane("InputSide");
    InputTop = makePlane("InputTop");
    InputTop->SetRotationAngleX(270);
    InputFront = makePlane("InputFront");
    InputFront->SetRotationAngleY(270);
    InputSide->SetVisible(false);
    InputFront->SetVisible(false);

    MeasCone3D = make<TConeInv>(v, &v);
    MeasCone3D->SetVisible(false);
    MeasCone3D->HitTest = false;
    MeasCone3D->SetWidth(0.6f);
    MeasCone3D->SetHeight(1.3f);
    MeasCone3D->SetDepth(0.6f);

    InsertMarker = make<TCube>(v, &v);
    InsertMarker->SetVisible(false);
    InsertMarker->HitTest = false;

    // Axis letters: text layers that write no depth and are never hit.
    const auto makeLetter = [&](const char* text, TPoint3D at, float height, TAlphaColor color) {
        auto* t = make<TText3D>(v, &v);
        t->SetText(text);
        t->SetPosition(at);
        t->SetHeight(height);
        t->SetWidth(0.2f);
        t->SetDepth(0);
        t->SetOpacity(0.95f);
        t->FontFamily = "Liberation Sans";
        t->SetFontSize(50);
        t->SetColor(color);
        t->ZWrite = false;
        t->HitTest = false;
        return t;
    };
    AxisLetterX = makeLetter("X", {1, -0.1f, 0}, 0.1f, 0xFFFF0000);
    AxisLetterY = makeLetter("Y", {0, -0.1f, -1}, 0.1f, 0xFF008000);
    AxisLetterZ = makeLetter("Z", {0.1f, -1, 0}, 0.13f, 0xFF0000FF);

    v.SetCamera(Camera3D);
}

TEditorScene::~TEditorScene() {
    // The viewport frees what it owns (last created first).
    Viewport3D1.reset();
}

} // namespace vendrel
