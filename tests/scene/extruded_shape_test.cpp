#include "scene/zone_shapes.h"

#include "platform/core/context3d.h"
#include "platform/core/material.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace vendrel {

// The zone's states as the acoustic model defines them (ordinals as stored).
enum class TCalcState : uint8_t { qzaNeedsCalculate, qzaNeedsSum, qzaCalculating, qzaCalculated, qzaIsSumed };
enum class TMappingSides : uint8_t { qzaNoSPLMap, qzaSPLOneSide, qzaSPLTwoSide };

namespace {

// A 2 x 2 square solid wired to zone and project flags the test controls.
struct Zone {
    TCalcState state = TCalcState::qzaNeedsCalculate;
    TMappingSides sides = TMappingSides::qzaSPLOneSide;
    bool upwards = false;
    bool splRaycast = true;
    TColorMaterialSource floor, shaft, back, map;
    TQzRectangle3D solid;

    Zone() {
        solid.MapState = [this] { return state; };
        solid.MapSides = [this] { return sides; };
        solid.IsThicknessParriba = [this] { return upwards; };
        solid.UseSPLMeshforRaycast = [this] { return splRaycast; };
        solid.SetMaterialFloorSource(&floor);
        solid.SetMaterialShaftSource(&shaft);
        solid.SetMaterialBackSource(&back);
        solid.SetMaterialSource(&map);
        floor.SetColor(0xFF000001);
        shaft.SetColor(0xFF000002);
        back.SetColor(0xFF000003);
        map.SetColor(0xFF000004);
        solid.SetDimensions({2, 0.5f, 2}); // width 2, depth 0.5, height 2
    }
};

std::set<float> Zs(const TMeshData& m) {
    std::set<float> z;
    for (const auto& v : m.VertexBuffer) {
        z.insert(v.Position.Z);
    }
    return z;
}

TEST(ExtrudedShape, LevelsAlongTheThickness) {
    const struct {
        bool upwards;
        float spl, front, back;
    } cases[] = {{false, -0.3f, -0.2f, 0.2f}, {true, -0.7f, -0.6f, -0.2f}};
    for (const auto& c : cases) {
        Zone z;
        z.upwards = c.upwards;
        z.solid.SetListeningOffset(0.1f);
        z.solid.RebuildMesh();
        EXPECT_EQ(Zs(z.solid.Data), std::set<float>{c.spl}) << c.upwards;
        EXPECT_EQ(Zs(z.solid.FrontMesh()), std::set<float>{c.front});
        EXPECT_EQ(Zs(z.solid.BackMesh()), (std::set<float>{c.back}));
        EXPECT_EQ(Zs(z.solid.ShaftMesh()), (std::set<float>{c.front, c.back}));
    }
}

TEST(ExtrudedShape, SquareMeshesAndWallTextureRunAlongTheOutline) {
    Zone z;
    ASSERT_EQ(z.solid.Outline().size(), 5u);
    const TMeshData& spl = z.solid.Data;
    EXPECT_EQ(spl.VertexCount(), 8);
    EXPECT_EQ(spl.IndexCount(), 12);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(spl.VertexBuffer[i].Normal, (TPoint3D{0, 0, -1}));
        EXPECT_EQ(spl.VertexBuffer[4 + i].Normal, (TPoint3D{0, 0, 1}));
        EXPECT_EQ(spl.VertexBuffer[4 + i].Position, spl.VertexBuffer[i].Position);
    }
    // The second layer is the first one reversed and shifted by N.
    for (int k = 0; k < 6; k += 3) {
        EXPECT_EQ(spl.IndexBuffer[6 + k], spl.IndexBuffer[k + 2] + 4);
        EXPECT_EQ(spl.IndexBuffer[6 + k + 2], spl.IndexBuffer[k] + 4);
    }
    // Texture coordinates span the outline's bounds.
    EXPECT_EQ(spl.VertexBuffer[0].TexCoord0, (TTexCoord{0, 0}));
    EXPECT_EQ(spl.VertexBuffer[2].TexCoord0, (TTexCoord{1, 1}));

    EXPECT_EQ(z.solid.FrontMesh().VertexCount(), 4);
    EXPECT_EQ(z.solid.FrontMesh().IndexCount(), 6);
    EXPECT_EQ(z.solid.BackMesh().VertexCount(), 4);
    EXPECT_EQ(z.solid.BackMesh().IndexCount(), 6);
    EXPECT_EQ(z.solid.BackMesh().IndexBuffer[0], z.solid.FrontMesh().IndexBuffer[2]);

    const TMeshData& walls = z.solid.ShaftMesh();
    ASSERT_EQ(walls.VertexCount(), 10);
    EXPECT_EQ(walls.IndexCount(), 24);
    const float v[5] = {0, 0.25f, 0.5f, 0.75f, 1};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(walls.VertexBuffer[i].TexCoord0, (TTexCoord{0, v[i]}));
        EXPECT_EQ(walls.VertexBuffer[5 + i].TexCoord0, (TTexCoord{1, v[i]}));
    }
    // Smoothed wall normals lie in the XY plane, point away from the centre and have unit length;
    // the closing point repeats the first point's.
    for (int i = 0; i < 10; ++i) {
        const TMeshVertex& w = walls.VertexBuffer[i];
        EXPECT_NEAR(w.Normal.Length(), 1.0f, 1e-6f);
        EXPECT_FLOAT_EQ(w.Normal.Z, 0.0f);
        EXPECT_GT(w.Normal.X * w.Position.X + w.Normal.Y * w.Position.Y, 0.0f) << i;
    }
    EXPECT_EQ(walls.VertexBuffer[4].Normal, walls.VertexBuffer[0].Normal);
    EXPECT_EQ(walls.VertexBuffer[9].Normal, walls.VertexBuffer[5].Normal);
}

TEST(ExtrudedShape, RebuildsOnlyOnChangeAndWallsNeedAMaterial) {
    Zone z;
    const int before = z.solid.RebuildCount();
    z.solid.SetWidth(2);
    z.solid.SetDimensions({2, 0.5f, 2});
    EXPECT_EQ(z.solid.RebuildCount(), before);
    z.solid.SetDepth(0.6f);
    EXPECT_EQ(z.solid.RebuildCount(), before + 1);

    TQzRectangle3D bare;
    bare.SetDimensions({2, 0.5f, 2});
    EXPECT_EQ(bare.ShaftMesh().VertexCount(), 0);
    EXPECT_EQ(bare.FrontMesh().VertexCount(), 4);

    z.solid.SetFlatness(0.01f);
    EXPECT_FLOAT_EQ(z.solid.Flatness(), 0.05f);
}

TEST(ExtrudedShape, ForgetsAFreedMaterial) {
    TQzRectangle3D solid;
    {
        TColorMaterialSource temporary;
        solid.SetMaterialFloorSource(&temporary);
        EXPECT_EQ(temporary.ClientCount(), 1);
    }
    EXPECT_EQ(solid.MaterialFloorSource(), nullptr);
    TColorMaterialSource kept;
    {
        TQzRectangle3D shortLived;
        shortLived.SetMaterialBackSource(&kept);
        shortLived.SetMaterialShaftSource(&kept);
        EXPECT_EQ(kept.ClientCount(), 2);
    }
    EXPECT_EQ(kept.ClientCount(), 0);
}

// What one frame draws: the mesh requests with their colour and the lines.
struct Frame {
    std::vector<std::pair<const TMeshData*, TAlphaColor>> meshes;
    std::vector<TDrawCommand> lines;
};

Frame Draw(TQzExtrudedShape3D& solid) {
    TContext3D ctx;
    solid.Render(ctx);
    Frame f;
    for (const auto& c : ctx.Commands()) {
        if (c.Kind == TDrawKind::dkTriangles) {
            f.meshes.push_back({c.Mesh, c.Material.Color});
        } else if (c.Kind == TDrawKind::dkLine) {
            f.lines.push_back(c);
        }
    }
    return f;
}

bool Draws(const Frame& f, const TMeshData& m) {
    return std::any_of(f.meshes.begin(), f.meshes.end(), [&](const auto& e) { return e.first == &m; });
}

// A renderer writes a mesh to the card again whenever its version moves: drawing and hit testing
// must leave the versions alone, a rebuild must move all of them.
TEST(ExtrudedShape, OnlyARebuildChangesTheMeshesVersions) {
    Zone z;
    z.state = TCalcState::qzaIsSumed;
    z.solid.SetListeningOffset(0.5f);
    z.solid.RebuildMesh();
    const auto versions = [&z] {
        return std::vector<uint64_t>{z.solid.Data.Version(), z.solid.FrontMesh().Version(),
                                     z.solid.BackMesh().Version(), z.solid.ShaftMesh().Version()};
    };
    const std::vector<uint64_t> built = versions();
    const Frame f = Draw(z.solid);
    ASSERT_EQ(f.meshes.size(), 4u);
    TPoint3D hit;
    EXPECT_TRUE(z.solid.RayCastIntersect({0, 0, -5}, {0, 0, 1}, hit));
    Draw(z.solid);
    EXPECT_EQ(versions(), built);

    z.solid.SetDepth(0.6f);
    const std::vector<uint64_t> rebuilt = versions();
    for (size_t i = 0; i < built.size(); ++i) {
        EXPECT_NE(rebuilt[i], built[i]) << i;
    }
}

TEST(ExtrudedShape, FrontFaceGivesWayToAMapOnTheFloor) {
    const struct {
        float offset;
        TCalcState state;
        TMappingSides sides;
        bool front, spl;
    } cases[] = {
        {0.04f, TCalcState::qzaIsSumed, TMappingSides::qzaSPLOneSide, false, true},
        {0.05f, TCalcState::qzaIsSumed, TMappingSides::qzaSPLOneSide, true, true},
        {0.5f, TCalcState::qzaIsSumed, TMappingSides::qzaSPLTwoSide, true, true},
        {0.04f, TCalcState::qzaCalculated, TMappingSides::qzaSPLOneSide, true, false},
        {0.04f, TCalcState::qzaIsSumed, TMappingSides::qzaNoSPLMap, true, false},
    };
    for (const auto& c : cases) {
        Zone z;
        z.state = c.state;
        z.sides = c.sides;
        z.solid.SetListeningOffset(c.offset);
        const Frame f = Draw(z.solid);
        EXPECT_EQ(Draws(f, z.solid.FrontMesh()), c.front) << c.offset;
        EXPECT_EQ(Draws(f, z.solid.Data), c.spl) << c.offset;
        EXPECT_TRUE(Draws(f, z.solid.ShaftMesh()));
        EXPECT_TRUE(Draws(f, z.solid.BackMesh()));
    }
}

TEST(ExtrudedShape, ThinZoneShowsTheMapOnItsBackToo) {
    const struct {
        float depth, offset;
        TCalcState state;
        TAlphaColor backColor;
    } cases[] = {
        {0.1f, 0.0f, TCalcState::qzaIsSumed, 0xFF000004},    // the map material
        {0.2f, 0.0f, TCalcState::qzaIsSumed, 0xFF000003},    // too thick
        {0.1f, 0.01f, TCalcState::qzaIsSumed, 0xFF000003},   // lifted map
        {0.1f, 0.0f, TCalcState::qzaCalculated, 0xFF000003}, // no map yet
    };
    for (const auto& c : cases) {
        Zone z;
        z.state = c.state;
        z.solid.SetListeningOffset(c.offset);
        z.solid.SetDepth(c.depth);
        const Frame f = Draw(z.solid);
        const auto it = std::find_if(f.meshes.begin(), f.meshes.end(),
                                     [&](const auto& e) { return e.first == &z.solid.BackMesh(); });
        ASSERT_NE(it, f.meshes.end());
        EXPECT_EQ(it->second, c.backColor) << c.depth << " " << c.offset;
    }
}

TEST(ExtrudedShape, EdgesFollowSelectionAndShowEdges) {
    Zone z;
    z.solid.SetListeningOffset(0.1f);
    z.solid.SetColorSel(0xFF00FF00);
    z.solid.RebuildMesh();

    z.solid.ShowEdges = false;
    Frame f = Draw(z.solid);
    ASSERT_EQ(f.lines.size(), 4u); // the SPL outline only
    for (const auto& l : f.lines) {
        EXPECT_EQ(l.Color, 0xFFFFFFFFu);
        EXPECT_FLOAT_EQ(l.Opacity, 0.3f);
        EXPECT_FLOAT_EQ(l.P1.Z, -0.3f);
    }

    z.solid.ShowEdges = true;
    f = Draw(z.solid);
    ASSERT_EQ(f.lines.size(), 16u);
    // Per side: front segment at -0.2, vertical edge from -0.2 to 0.2, back segment at 0.2.
    EXPECT_FLOAT_EQ(f.lines[4].P1.Z, -0.2f);
    EXPECT_FLOAT_EQ(f.lines[5].P1.Z, -0.2f);
    EXPECT_FLOAT_EQ(f.lines[5].P2.Z, 0.2f);
    EXPECT_FLOAT_EQ(f.lines[6].P1.Z, 0.2f);
    EXPECT_EQ(f.lines[5].P1.X, f.lines[5].P2.X);

    z.solid.ShowEdges = false;
    z.solid.SetIsSelected(true);
    f = Draw(z.solid);
    ASSERT_EQ(f.lines.size(), 16u);
    for (const auto& l : f.lines) {
        EXPECT_EQ(l.Color, 0xFF00FF00u);
        EXPECT_FLOAT_EQ(l.Opacity, 1.0f);
    }

    TQzDrawPath3D triangle;
    triangle.SetShapePolygon({{0, 0}, {1, 0}});
    EXPECT_TRUE(Draw(triangle).lines.empty()); // three entries or fewer: no edges
}

TEST(ExtrudedShape, RayCastKeepsTheNearestMeshHit) {
    Zone z;
    z.solid.SetListeningOffset(0.1f);
    z.solid.RebuildMesh();
    TPoint3D hit;
    // From the front side (-Z) through SPL surface, front face, back face.
    ASSERT_TRUE(z.solid.RayCastIntersect({0.3f, 0.2f, -5}, {0, 0, 1}, hit));
    EXPECT_NEAR(hit.Z, -0.3f, 1e-6);
    z.splRaycast = false;
    ASSERT_TRUE(z.solid.RayCastIntersect({0.3f, 0.2f, -5}, {0, 0, 1}, hit));
    EXPECT_NEAR(hit.Z, -0.2f, 1e-6);
    // From behind the back face is nearer.
    ASSERT_TRUE(z.solid.RayCastIntersect({0.3f, 0.2f, 5}, {0, 0, -1}, hit));
    EXPECT_NEAR(hit.Z, 0.2f, 1e-6);
    // From inside the slab only one wall lies ahead.
    ASSERT_TRUE(z.solid.RayCastIntersect({0, 0.2f, 0}, {-1, 0, 0}, hit));
    EXPECT_NEAR(hit.X, -1.0f, 1e-6);
    // The hit is reported in scene coordinates.
    z.solid.SetPosition({10, 0, 0});
    ASSERT_TRUE(z.solid.RayCastIntersect({0.3f, 0.2f, 5}, {0, 0, -1}, hit));
    EXPECT_FLOAT_EQ(hit.X, 10.3f);
    const TPoint3D before = hit;
    EXPECT_FALSE(z.solid.RayCastIntersect({3, 3, 5}, {0, 0, -1}, hit));
    EXPECT_EQ(hit, before);
}

} // namespace
} // namespace vendrel
