#include "platform/core/camera.h"
#include "platform/core/context3d.h"
#include "platform/core/material.h"
#include "platform/core/mesh.h"
#include "platform/core/numeric.h"
#include "platform/core/shapes3d.h"
#include "platform/core/viewport3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vendrel {
namespace {

void expectNear(const TPoint3D& a, const TPoint3D& b, float tol = 1e-4f) {
    EXPECT_NEAR(a.X, b.X, tol);
    EXPECT_NEAR(a.Y, b.Y, tol);
    EXPECT_NEAR(a.Z, b.Z, tol);
}

// A square of side 2*half in the local XY plane, two triangles.
TMeshData square(float half) {
    TMeshData m;
    m.VertexBuffer = {{{-half, -half, 0}, {}, {0, 0}},
                      {{half, -half, 0}, {}, {1, 0}},
                      {{half, half, 0}, {}, {1, 1}},
                      {{-half, half, 0}, {}, {0, 1}}};
    m.IndexBuffer = {0, 1, 2, 2, 3, 0};
    return m;
}

TEST(MeshData, FaceNormalsBoundsAndVoidTriangles) {
    TMeshData m = square(1);
    m.VertexBuffer[2].Position.Z = 0; // keep flat
    m.IndexBuffer.push_back(0);
    m.IndexBuffer.push_back(1);
    m.IndexBuffer.push_back(7); // names no vertex
    m.CalcFaceNormals();
    // (V1 - V0) x (V1 - V2) for (0, 1, 2): (2, 0, 0) x (0, -2, 0) = (0, 0, -4).
    for (const auto& v : m.VertexBuffer) {
        expectNear(v.Normal, {0, 0, -1});
    }
    EXPECT_TRUE(m.IsValidTriangle(1));
    EXPECT_FALSE(m.IsValidTriangle(2));
    const TBoundingBox b = m.BoundingBox();
    expectNear(b.Min, {-1, -1, 0});
    expectNear(b.Max, {1, 1, 0});
    EXPECT_EQ(TMeshData().BoundingBox().Max, TPoint3D());
}

TEST(MeshData, VersionFollowsEveryWriteAndNoRead) {
    struct Edit {
        const char* name;
        std::function<void(TMeshData&)> apply;
        bool changes;
    };
    const std::vector<Edit> edits = {
        {"const reads",
         [](TMeshData& m) {
             const TMeshData& c = m;
             (void)c.VertexBuffer[0];
             (void)c.BoundingBox();
             for (const TMeshVertex& v : c.VertexBuffer) {
                 (void)v;
             }
             (void)(c == square(1));
         },
         false},
        {"reserve", [](TMeshData& m) { m.VertexBuffer.reserve(100); }, false},
        {"a vertex through []", [](TMeshData& m) { m.VertexBuffer[1].Position.X = 5; }, true},
        {"vertices through a loop",
         [](TMeshData& m) {
             for (TMeshVertex& v : m.VertexBuffer) {
                 v.Position.Y += 1;
             }
         },
         true},
        {"an index pushed", [](TMeshData& m) { m.IndexBuffer.push_back(0); }, true},
        {"indices assigned",
         [](TMeshData& m) {
             m.IndexBuffer = {0, 1, 2};
         },
         true},
        {"face normals", [](TMeshData& m) { m.CalcFaceNormals(); }, true},
        {"the whole mesh assigned", [](TMeshData& m) { m = square(2); }, true},
        {"cleared", [](TMeshData& m) { m.Clear(); }, true},
    };
    TMeshData mesh = square(1);
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.name);
        const uint64_t before = mesh.Version();
        e.apply(mesh);
        EXPECT_EQ(mesh.Version() != before, e.changes);
        EXPECT_EQ(mesh.Version(), mesh.Version());
    }
}

TEST(MeshData, NewMeshesNeverRepeatAStampOrShareALifetime) {
    std::optional<TMeshData> slot(square(1));
    const uint64_t first = slot->Version();
    const std::weak_ptr<const void> firstLife = slot->Lifetime();
    // Another mesh in the same storage: a renderer keyed by address must see a different mesh.
    slot.emplace(square(1));
    EXPECT_TRUE(firstLife.expired());
    EXPECT_NE(slot->Version(), first);

    const TMeshData copy = *slot;
    EXPECT_EQ(copy, *slot);
    EXPECT_NE(copy.Lifetime().lock(), slot->Lifetime().lock());
    EXPECT_NE(copy.Version(), slot->Version());
}

TEST(MeshData, RayCastGivesTheNearestTriangleFromEitherSide) {
    TMeshData m = square(1);
    // A second square 3 units further along +Z, listed first.
    TMeshData far = square(1);
    for (auto& v : far.VertexBuffer) {
        v.Position.Z = 3;
    }
    TMeshData both = far;
    for (auto& v : m.VertexBuffer) {
        both.VertexBuffer.push_back(v);
    }
    for (int32_t i : m.IndexBuffer) {
        both.IndexBuffer.push_back(i + 4);
    }
    TPoint3D hit;
    float distance = 0;
    ASSERT_TRUE(RayCastMeshTriangles(both, {0.5f, 0.25f, -5}, {0, 0, 2}, hit, distance));
    expectNear(hit, {0.5f, 0.25f, 0});
    EXPECT_FLOAT_EQ(distance, 2.5f);
    ASSERT_TRUE(RayCastMeshTriangles(both, {0.5f, 0.25f, 10}, {0, 0, -1}, hit, distance)); // back side
    expectNear(hit, {0.5f, 0.25f, 3});
    ASSERT_TRUE(RayCastMeshTriangles(m, {1, 1, -1}, {0, 0, 1}, hit, distance)); // corner counts
    hit = {7, 7, 7};
    EXPECT_FALSE(RayCastMeshTriangles(m, {1.5f, 0, -1}, {0, 0, 1}, hit, distance)); // beside it
    EXPECT_FALSE(RayCastMeshTriangles(m, {0, 0, 1}, {0, 0, 1}, hit, distance));     // behind the origin
    EXPECT_FALSE(RayCastMeshTriangles(m, {0, 0, 0}, {1, 0, 0}, hit, distance));     // in its plane
    EXPECT_EQ(hit, TPoint3D(7, 7, 7));
}

TEST(CustomMesh, WrapModesFitTheDataToTheSize) {
    TCustomMesh mesh;
    mesh.Data = square(0.5f); // 1 x 1, flat in Z
    mesh.Data.VertexBuffer[0].Position = {-0.5f, -0.5f, -0.5f};
    mesh.Data.VertexBuffer[2].Position = {0.5f, 0.5f, 0.5f}; // a unit cube's diagonal
    mesh.SetWidth(4);
    mesh.SetHeight(2);
    mesh.SetDepth(1);
    struct Case {
        TMeshWrapMode mode;
        TPoint3D corner; // where the data corner (0.5, 0.5, 0.5) ends up
    };
    const Case cases[] = {
        {TMeshWrapMode::wmOriginal, {0.5f, 0.5f, 0.5f}},
        {TMeshWrapMode::wmStretch, {2, 1, 0.5f}},
        {TMeshWrapMode::wmResize, {2, 1, 0.5f}},
        {TMeshWrapMode::wmFit, {0.5f, 0.5f, 0.5f}}, // the smallest factor, 1, on every axis
    };
    for (const Case& c : cases) {
        mesh.SetWrapMode(c.mode);
        expectNear(TPoint3D(0.5f, 0.5f, 0.5f) * mesh.MeshMatrix(), c.corner);
    }
    // Hit testing follows the drawn (stretched) triangles.
    mesh.SetWrapMode(TMeshWrapMode::wmStretch);
    mesh.SetPosition({10, 0, 0});
    TPoint3D hit;
    ASSERT_TRUE(mesh.RayCastIntersectAbsolute({11.5f, -0.9f, -5}, {0, 0, 1}, hit));
    EXPECT_NEAR(hit.X, 11.5f, 1e-4);
    EXPECT_FALSE(mesh.RayCastIntersectAbsolute({12.5f, 0, -5}, {0, 0, 1}, hit)); // beyond the width
}

TEST(Cube, FillsItsSizeWithOutwardFaces) {
    const TMeshData unit = UnitCubeMesh();
    ASSERT_EQ(unit.VertexCount(), 24);
    ASSERT_EQ(unit.TriangleCount(), 12);
    for (int k = 0; k < unit.TriangleCount(); ++k) {
        const TMeshVertex& a = unit.VertexBuffer[unit.IndexBuffer[3 * k]];
        const TMeshVertex& b = unit.VertexBuffer[unit.IndexBuffer[3 * k + 1]];
        const TMeshVertex& c = unit.VertexBuffer[unit.IndexBuffer[3 * k + 2]];
        // Counter-clockwise seen from outside, and the normal points away from the centre.
        EXPECT_GT((b.Position - a.Position).CrossProduct(c.Position - a.Position).DotProduct(a.Normal), 0);
        EXPECT_FLOAT_EQ(a.Position.DotProduct(a.Normal), 0.5f);
    }
    TCube cube;
    cube.SetWidth(4);
    cube.SetHeight(0.05f);
    cube.SetDepth(0.05f);
    TPoint3D hit;
    ASSERT_TRUE(cube.RayCastIntersectAbsolute({-10, 0, 0}, {1, 0, 0}, hit));
    expectNear(hit, {-2, 0, 0});
    EXPECT_FALSE(cube.RayCastIntersectAbsolute({0, 0.1f, -10}, {0, 0, 1}, hit));
}

TEST(Model3D, FitsAllMeshesTogetherAndHitsAnyOfThem) {
    TModel3D model;
    TMeshData left = square(1); // -1..1
    TMeshData right = square(1);
    for (auto& v : right.VertexBuffer) {
        v.Position.X += 4; // 3..5: together -1..5, 6 wide and 2 high
    }
    model.AddMesh(left);
    model.AddMesh(right);
    model.SetWidth(3);
    model.SetHeight(3);
    model.SetDepth(3);
    ASSERT_EQ(model.WrapMode(), TMeshWrapMode::wmFit);
    // Fitted: half size, centred on the origin.
    expectNear(TPoint3D(5, 1, 0) * model.ModelMatrix(), {1.5f, 0.5f, 0});
    TPoint3D hit;
    ASSERT_TRUE(model.RayCastIntersectAbsolute({1.25f, 0, -5}, {0, 0, 1}, hit)); // the right square
    expectNear(hit, {1.25f, 0, 0});
    EXPECT_FALSE(model.RayCastIntersectAbsolute({0, 0, -5}, {0, 0, 1}, hit)); // the gap between them
    EXPECT_THROW(model.MeshData(2), ERangeError);

    // Materials: one source for all meshes, dropped when freed; copies carry no material.
    auto* source = new TColorMaterialSource();
    model.SetAllMaterials(source);
    EXPECT_EQ(source->ClientCount(), 1);
    TModel3D copy;
    copy.AssignMeshes(model);
    EXPECT_EQ(copy.MeshCount(), 2);
    EXPECT_EQ(copy.Meshes(0).MaterialSource, nullptr);
    EXPECT_EQ(copy.MeshData(1), model.MeshData(1));
    delete source;
    EXPECT_EQ(model.Meshes(0).MaterialSource, nullptr);
    EXPECT_EQ(model.Meshes(1).MaterialSource, nullptr);
    TContext3D ctx;
    ctx.SetMatrix(model.AbsoluteMatrix());
    model.Render(ctx);
    ASSERT_EQ(ctx.Commands().size(), 2u);
    expectNear(TPoint3D(5, 1, 0) * ctx.Commands()[1].Matrix, {1.5f, 0.5f, 0});
}

struct Client : IMaterialClient {
    std::vector<std::string> log;
    void MaterialChanged(TMaterialSource*) override { log.push_back("changed"); }
    void MaterialFreed(TMaterialSource*) override { log.push_back("freed"); }
};

TEST(MaterialSource, TellsClientsOfChangesAndOfItsEnd) {
    Client client;
    auto* source = new TLightMaterialSource();
    source->AddClient(&client);
    source->SetDiffuse(0xFF112233);
    source->SetDiffuse(0xFF112233); // unchanged
    source->SetTexture(TBitmap(2, 1, TAlphaColors::Red));
    EXPECT_EQ(source->Texture().Pixel(1, 0), TAlphaColors::Red);
    EXPECT_TRUE(source->Material().IsLit());
    delete source;
    EXPECT_EQ(client.log, (std::vector<std::string>{"changed", "changed", "freed"}));

    // A mesh drops a freed source and draws with the default material.
    TCustomMesh mesh;
    {
        TColorMaterialSource color;
        color.SetColor(TAlphaColors::Blue);
        mesh.SetMaterialSource(&color);
        const int before = mesh.RepaintRequests();
        color.SetColor(TAlphaColors::Lime);
        EXPECT_EQ(mesh.RepaintRequests(), before + 1);
        EXPECT_EQ(TMaterialSource::ValidMaterial(mesh.MaterialSource()).Color, TAlphaColors::Lime);
    }
    EXPECT_EQ(mesh.MaterialSource(), nullptr);
    EXPECT_TRUE(TMaterialSource::ValidMaterial(nullptr).IsLit());
}

TEST(Bitmap, CheckedSizeAndPixels) {
    TBitmap b(3, 2, TAlphaColors::White);
    b.SetPixel(2, 1, TAlphaColors::Black);
    EXPECT_EQ(b.Pixels()[5], TAlphaColors::Black);
    EXPECT_THROW(b.Pixel(3, 0), ERangeError);
    EXPECT_THROW(b.SetPixel(0, -1, 0), ERangeError);
    EXPECT_THROW(b.SetSize(-1, 2), ERangeError);
    EXPECT_EQ(MakeColor(0x12, 0x34, 0x56, 0x78), 0x78123456u);
}

TEST(Camera, CentreRayFollowsTheViewDirection) {
    TDummy pivot;
    pivot.SetRotationAngle({330, 330, 0});
    TCamera camera;
    camera.SetParent(&pivot);
    camera.SetPosition({0, 0, -12});
    camera.SetAngleOfView(23);
    TPoint3D pos;
    TPoint3D dir;
    camera.ScreenToRay(400, 300, 800, 600, pos, dir);
    expectNear(pos, camera.AbsolutePosition());
    expectNear(dir, camera.LocalToAbsoluteDirection({0, 0, 1}).Normalize());
    // Turned about the pivot at the origin, the camera still looks at the origin.
    expectNear(pos + dir * 12, {0, 0, 0}, 1e-4f);
    // The angle of view stays within 1..179 degrees.
    camera.SetAngleOfView(0.2f);
    EXPECT_EQ(camera.AngleOfView(), 1.0f);
    camera.SetAngleOfView(500);
    EXPECT_EQ(camera.AngleOfView(), 179.0f);
}

TEST(Camera, RayThroughAPixelHitsAMeshWhereHandComputationSays) {
    // The camera at (-10, 0, 0) turned 90 degrees about Y looks along +X; with a 90 degree angle of
    // view a pixel 25 below the centre of a 200 x 100 view lies half the way down: direction
    // (1, 0.5, 0). A wall turned the same way stands in the plane x = 5: the ray meets it 15 further
    // on, at (5, 7.5, 0).
    TViewport3D view;
    view.SetViewSize(200, 100);
    TCamera camera(&view);
    camera.SetParent(&view);
    camera.SetPosition({-10, 0, 0});
    camera.SetRotationAngle({0, 90, 0});
    camera.SetAngleOfView(90);
    view.SetCamera(&camera);
    TCustomMesh wall(&view);
    wall.SetParent(&view);
    wall.Data = square(20);
    wall.SetPosition({5, 0, 0});
    wall.SetRotationAngle({0, 90, 0});

    TPoint3D hit;
    EXPECT_EQ(view.ObjectAtPoint(100, 75, &hit), &wall);
    expectNear(hit, {5, 7.5f, 0});
    TVector3D o;
    TVector3D d;
    view.Pick(100, 75, o, d);
    expectNear(d.ToPoint3D(), TPoint3D(1, 0.5f, 0).Normalize());
    EXPECT_EQ(o.W, 1.0f);
    EXPECT_EQ(d.W, 0.0f);

    // Back to the pixel, both through the camera and through the drawing matrices.
    TPoint3D screen;
    ASSERT_TRUE(camera.WorldToScreen(hit, 200, 100, screen));
    expectNear(screen, {100, 75, 15}, 1e-3f);
    const TVector3D clip = TVector3D(hit) * camera.ViewProjectionMatrix(200, 100);
    EXPECT_NEAR((clip.X / clip.W + 1) / 2 * 200, 100, 1e-3);
    EXPECT_NEAR((1 - clip.Y / clip.W) / 2 * 100, 75, 1e-3);
    EXPECT_GT(clip.Z / clip.W, -1.0f);
    EXPECT_LT(clip.Z / clip.W, 1.0f);
    EXPECT_FALSE(camera.WorldToScreen({-20, 0, 0}, 200, 100, screen)); // behind the camera

    // A hidden or non-hit-testable wall is not picked.
    wall.HitTest = false;
    EXPECT_EQ(view.ObjectAtPoint(100, 75), nullptr);
    wall.HitTest = true;
    wall.SetVisible(false);
    EXPECT_EQ(view.ObjectAtPoint(100, 75), nullptr);
}

TEST(Viewport3D, FrameListsVisibleNodesInTreeOrderWithTheirMatrices) {
    TViewport3D view;
    int invalidations = 0;
    view.OnInvalidate = [&] { ++invalidations; };
    TDummy group(&view);
    group.SetParent(&view);
    group.SetPosition({1, 2, 3});
    TCustomMesh a(&view);
    a.SetParent(&group);
    a.Data = square(1);
    a.SetOpacity(0.5f);
    TCustomMesh hidden(&view);
    hidden.SetParent(&group);
    hidden.Data = square(1);
    TText3D label(&view);
    label.SetParent(&hidden); // hidden with its parent
    label.SetText("10");
    TGrid3D grid(&view);
    grid.SetParent(&view);
    grid.SetWidth(4);
    grid.SetHeight(2);
    grid.SetFrequency(1);
    std::vector<const TControl3D*> rendered;
    grid.OnRender = [&](TControl3D* s, TContext3D& c) {
        rendered.push_back(s);
        c.DrawLine({0, 0, 0}, {500, 0, 0}, 0.8f, TAlphaColors::Red);
    };
    hidden.SetVisible(false);
    EXPECT_GT(invalidations, 0);

    TContext3D ctx;
    view.BuildFrame(ctx);
    const auto& cmds = ctx.Commands();
    ASSERT_FALSE(cmds.empty());
    EXPECT_EQ(cmds[0].Kind, TDrawKind::dkTriangles);
    EXPECT_EQ(cmds[0].Source, &a);
    EXPECT_FLOAT_EQ(cmds[0].Opacity, 0.5f);
    expectNear(TPoint3D() * cmds[0].Matrix, {1, 2, 3});
    for (const auto& c : cmds) {
        EXPECT_NE(c.Source, &hidden);
        EXPECT_NE(c.Source, &label);
    }
    // The grid: 5 lines across X (-2..2) and 3 across Y (-1..1), then its render event's line.
    int gridLines = 0;
    for (const auto& c : cmds) {
        gridLines += c.Source == &grid && c.Kind == TDrawKind::dkLine ? 1 : 0;
    }
    EXPECT_EQ(gridLines, 5 + 3 + 1);
    EXPECT_EQ(cmds.back().P2, TPoint3D(500, 0, 0));
    EXPECT_EQ(rendered, std::vector<const TControl3D*>{&grid});
}

// An orthographic camera draws every depth at the scale its perspective twin shows at the pivot:
// points off the view's centre do not shift with their height, and the projection, the rays and the
// drawing matrix agree.
TEST(Camera, AnOrthographicCameraShowsEveryDepthAtThePivotsScale) {
    TDummy pivot;
    pivot.SetRotationAngle({270, 0, 0}); // looking down on the floor
    TCamera camera;
    camera.SetParent(&pivot);
    camera.SetPosition({0, 0, -200});
    camera.SetAngleOfView(16);
    TPoint3D floor, raised;
    ASSERT_TRUE(camera.WorldToScreen({40, 0, 5}, 800, 600, floor));
    ASSERT_TRUE(camera.WorldToScreen({40, -1.7f, 5}, 800, 600, raised));
    EXPECT_GT(std::hypot(raised.X - floor.X, raised.Y - floor.Y), 2.0f); // perspective: off by pixels
    camera.SetOrthographic(true);
    ASSERT_TRUE(camera.WorldToScreen({40, 0, 5}, 800, 600, floor));
    ASSERT_TRUE(camera.WorldToScreen({40, -1.7f, 5}, 800, 600, raised));
    EXPECT_NEAR(raised.X, floor.X, 1e-3);
    EXPECT_NEAR(raised.Y, floor.Y, 1e-3);
    // At the pivot's depth the scale is the perspective one: half the picture is 200 tan(8°) high.
    TPoint3D centre, edge;
    ASSERT_TRUE(camera.WorldToScreen({0, 0, 0}, 800, 600, centre));
    ASSERT_TRUE(
        camera.WorldToScreen({0, 0, static_cast<float>(-200 * std::tan(8 * kDegToRad))}, 800, 600, edge));
    EXPECT_NEAR(std::abs(edge.Y - centre.Y), 300, 1e-2);
    // The ray through a screen point runs along the view and meets the floor at that point.
    TPoint3D pos, dir;
    camera.ScreenToRay(floor.X, floor.Y, 800, 600, pos, dir);
    expectNear(dir, camera.LocalToAbsoluteDirection({0, 0, 1}).Normalize());
    const float t = -pos.Y / dir.Y;
    expectNear(pos + dir * t, {40, 0, 5}, 1e-3f);
    // The drawing matrix puts the point where WorldToScreen does.
    const TVector3D clip = TVector3D(TPoint3D(40, -1.7f, 5)) * camera.ViewProjectionMatrix(800, 600);
    EXPECT_NEAR((clip.X / clip.W + 1) / 2 * 800, floor.X, 1e-2);
    EXPECT_NEAR((1 - clip.Y / clip.W) / 2 * 600, floor.Y, 1e-2);
    EXPECT_GT(clip.Z / clip.W, -1.0f);
    EXPECT_LT(clip.Z / clip.W, 1.0f);
}

// A node leaving the scene, freed or moved out, is no longer drawn: the view is asked to draw again.
TEST(Viewport3D, ANodeLeavingTheSceneRepaintsTheView) {
    TViewport3D view;
    auto* freed = new TDummy(&view);
    freed->SetParent(&view);
    TDummy movedOut(&view);
    movedOut.SetParent(&view);
    int invalidations = 0;
    view.OnInvalidate = [&] { ++invalidations; };
    delete freed;
    EXPECT_EQ(invalidations, 1);
    TDummy elsewhere;
    movedOut.SetParent(&elsewhere);
    EXPECT_GE(invalidations, 2);
}

TEST(Viewport3D, LightsInSceneCoordinates) {
    TViewport3D view;
    TDummy pivot(&view);
    pivot.SetParent(&view);
    pivot.SetRotationAngle({-90, 0, 0}); // local +Z turns to scene -Y (up)
    TLight sun(&view);
    sun.SetParent(&pivot);
    TLight off(&view);
    off.SetParent(&view);
    off.SetEnabled(false);
    const auto lights = view.Lights();
    ASSERT_EQ(lights.size(), 1u);
    expectNear(lights[0].Direction, {0, 1, 0}); // RotX(-90) takes (0, 0, 1) to (0, 1, 0)
}

TEST(Viewport3D, MouseGoesToTheObjectUnderItWithCaptureAndLeave) {
    TViewport3D view;
    view.SetViewSize(100, 100);
    TCamera camera(&view);
    camera.SetParent(&view);
    camera.SetPosition({0, 0, -10});
    camera.SetAngleOfView(90);
    view.SetCamera(&camera);
    auto* box = new TCustomMesh(&view);
    box->SetParent(&view);
    box->Data = square(1);
    box->AutoCapture = true;
    std::vector<std::string> log;
    box->OnMouseDown = [&](TControl3D*, TMouseButton, TShiftState, float, float, const TPoint3D& pos,
                           const TPoint3D& dir) {
        log.push_back("down");
        expectNear(pos, {0, 0, -10});
        expectNear(dir, {0, 0, 1});
    };
    box->OnMouseMove = [&](TControl3D*, TShiftState, float X, float, const TPoint3D&, const TPoint3D&) {
        log.push_back("move " + std::to_string(static_cast<int>(X)));
    };
    box->OnMouseUp = [&](TControl3D*, TMouseButton, TShiftState, float, float, const TPoint3D&,
                         const TPoint3D&) { log.push_back("up"); };
    box->OnMouseLeave = [&](TControl3D*) { log.push_back("leave"); };
    view.OnViewportMouseDown = [&](TObject*, TMouseButton, TShiftState, float, float) {
        log.push_back("vdown");
    };
    view.OnViewportMouseMove = [&](TObject*, TShiftState, float X, float) {
        log.push_back("vmove " + std::to_string(static_cast<int>(X)));
    };

    view.MouseMove({}, 50, 50);
    view.MouseDown(TMouseButton::mbLeft, {}, 50, 50);
    view.MouseMove({}, 95, 50); // off the square but captured
    view.MouseUp(TMouseButton::mbLeft, {}, 95, 50);
    view.MouseMove({}, 96, 50); // now it leaves
    view.MouseDown(TMouseButton::mbLeft, {}, 96, 50);
    EXPECT_EQ(log,
              (std::vector<std::string>{"move 50", "down", "move 95", "up", "leave", "vmove 96", "vdown"}));

    // Freeing a hovered or captured object leaves no link behind.
    view.MouseDown(TMouseButton::mbLeft, {}, 50, 50);
    EXPECT_EQ(view.Captured(), box);
    delete box;
    EXPECT_EQ(view.Captured(), nullptr);
    EXPECT_EQ(view.Hovered(), nullptr);
    view.MouseMove({}, 50, 50);
}

TEST(Viewport3D, FreedCameraFallsBackToTheDesignCamera) {
    TViewport3D view;
    auto* camera = new TCamera(&view);
    camera->SetParent(&view);
    view.SetCamera(camera);
    TDummy other;
    camera->SetParent(&other); // moved elsewhere: still the view's camera
    EXPECT_EQ(view.Camera(), camera);
    camera->SetParent(&view);
    delete camera;
    EXPECT_EQ(view.Camera(), view.DesignCamera());
    expectNear(view.Camera()->AbsolutePosition(), {0, 0, -20});
}

} // namespace
} // namespace vendrel
