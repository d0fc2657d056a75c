#include "scene/zone_shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace vendrel {
namespace {

double ShoelaceArea(const TPolygon& p) {
    double a = 0;
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        a += double(p[i].X) * p[i + 1].Y - double(p[i + 1].X) * p[i].Y;
    }
    return std::abs(a) / 2;
}

TEST(RectangleSolid, NewOneIsAUnitSquare) {
    TQzRectangle3D r;
    const TPolygon expected{{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}, {-0.5f, -0.5f}};
    EXPECT_EQ(r.Outline(), expected);
    EXPECT_EQ(r.Data.VertexCount(), 0); // meshes wait for the first size
    EXPECT_TRUE(r.CornersStored());
    r.SetCorners(TCorners::All());
    EXPECT_FALSE(r.CornersStored());

    // A solid without width keeps no point of the path's closing marker.
    r.SetDimensions({0, 1, 1});
    for (const TPointF& p : r.Outline()) {
        EXPECT_LE(std::abs(p.X) + std::abs(p.Y), 1.0f);
    }
    for (const TMeshVertex& v : r.Data.VertexBuffer) {
        EXPECT_LE(std::abs(v.Position.X) + std::abs(v.Position.Y), 1.0f);
    }
}

TEST(RectangleSolid, CutCornersGiveExactOutlines) {
    TQzRectangle3D r;
    r.SetDimensions({4, 0.2f, 2});
    r.SetCorners({true, false, false, true}); // top-left and bottom-right
    for (auto set : {&TQzRectangle3D::SetTopLeftXRadius, &TQzRectangle3D::SetBotRightXRadius}) {
        (r.*set)(1);
    }
    for (auto set : {&TQzRectangle3D::SetTopLeftYRadius, &TQzRectangle3D::SetBotRightYRadius}) {
        (r.*set)(0.5f);
    }
    const TPolygon expected{{-2, -0.5f}, {-1, -1}, {2, -1}, {2, 0.5f}, {1, 1}, {-2, 1}, {-2, -0.5f}};
    EXPECT_EQ(r.Outline(), expected);
    // The meshes follow the outline: 6 points, 4 triangles per layer.
    EXPECT_EQ(r.Data.VertexCount(), 12);
    EXPECT_EQ(r.Data.IndexCount(), 24);
    EXPECT_EQ(r.FrontMesh().VertexCount(), 6);
    EXPECT_EQ(r.FrontMesh().IndexCount(), 12);
}

// The outline of the same path sampled finely in double: the reference for the flattened curves.
TPolygon FineOutline(const TRectF& R, const TCorners& corners, const TCornerShape& s) {
    TPathData path;
    RoundRectPath(path, R, corners, s, s, s, s);
    TPolygon fine;
    TPointF cur{};
    for (const auto& e : path.Elements()) {
        if (e.Kind == TPathData::TKind::CurveTo) {
            for (int i = 1; i <= 2000; ++i) {
                const double t = i / 2000.0, u = 1 - t;
                fine.push_back({float(u * u * u * cur.X + 3 * u * u * t * e.Control1.X +
                                      3 * u * t * t * e.Control2.X + t * t * t * e.Point.X),
                                float(u * u * u * cur.Y + 3 * u * u * t * e.Control1.Y +
                                      3 * u * t * t * e.Control2.Y + t * t * t * e.Point.Y)});
            }
        } else if (e.Kind != TPathData::TKind::Close) {
            fine.push_back(e.Point);
        }
        cur = e.Point;
    }
    fine.push_back(fine.front());
    return fine;
}

TEST(RectangleSolid, RoundedCornersFollowTheirCurves) {
    const struct {
        TCornerType type;
        double area; // of the exact outline where known: the bevelled one is 24 - 4 x 1
    } cases[] = {{TCornerType::Round, 0}, {TCornerType::Bevel, 20.0}, {TCornerType::InnerRound, 0}};
    double areas[3];
    for (int c = 0; c < 3; ++c) {
        TQzRectangle3D r;
        r.SetFlatness(0.05f);
        r.SetDimensions({6, 0.3f, 4});
        r.SetCorners(TCorners::All());
        for (auto set : {&TQzRectangle3D::SetTopLeftCornerType, &TQzRectangle3D::SetTopRightCornerType,
                         &TQzRectangle3D::SetBotLeftCornerType, &TQzRectangle3D::SetBotRightCornerType}) {
            (r.*set)(cases[c].type);
        }
        for (auto set : {&TQzRectangle3D::SetTopLeftYRadius, &TQzRectangle3D::SetTopRightYRadius,
                         &TQzRectangle3D::SetBotLeftYRadius, &TQzRectangle3D::SetBotRightYRadius}) {
            (r.*set)(1);
        }
        const TPolygon& outline = r.Outline();
        ASSERT_GE(outline.size(), 9u);
        EXPECT_EQ(outline.front(), outline.back());
        const double reference =
            ShoelaceArea(FineOutline({-3, -2, 3, 2}, TCorners::All(), {2, 1, cases[c].type}));
        if (cases[c].area > 0) {
            EXPECT_NEAR(reference, cases[c].area, 1e-9);
        }
        areas[c] = ShoelaceArea(outline);
        EXPECT_NEAR(areas[c], reference, 0.002 * reference) << int(cases[c].type);
        for (const TPointF& p : outline) {
            EXPECT_LE(std::abs(p.X), 3.0f);
            EXPECT_LE(std::abs(p.Y), 2.0f);
        }
        // Every flattened point is a face vertex and the faces are fully cut.
        const int n = static_cast<int>(outline.size()) - 1;
        EXPECT_EQ(r.FrontMesh().VertexCount(), n);
        EXPECT_EQ(r.FrontMesh().IndexCount(), 3 * (n - 2));
    }
    EXPECT_GT(areas[0], areas[1]); // round corners bulge outwards
    EXPECT_GT(areas[1], areas[2]); // inner round corners inwards
}

TEST(RectangleSolid, RadiiAreLimitedByTheExtentAndTheirPartner) {
    struct Case {
        const char* name;
        TCorners corners;
        std::function<void(TQzRectangle3D&)> act;
        float tlx, trx, blx, brx, tly, try_, bly, bry;
    };
    const std::vector<Case> cases = {
        {"top-left X beyond the width, both top corners set",
         {true, true, false, false},
         [](TQzRectangle3D& r) { r.SetTopLeftXRadius(5); },
         4,
         0,
         2,
         2,
         2,
         2,
         2,
         2},
        {"top-left X beyond the width, top-right not set",
         {true, false, false, false},
         [](TQzRectangle3D& r) { r.SetTopLeftXRadius(5); },
         4,
         2,
         2,
         2,
         2,
         2,
         2,
         2},
        {"bottom-right X leaves room for bottom-left",
         {false, false, true, true},
         [](TQzRectangle3D& r) { r.SetBotRightXRadius(3); },
         2,
         2,
         1,
         3,
         2,
         2,
         2,
         2},
        {"bottom-left Y cuts top-left Y",
         {true, false, true, false},
         [](TQzRectangle3D& r) { r.SetBotLeftYRadius(2.5f); },
         2,
         2,
         2,
         2,
         0.5f,
         2,
         2.5f,
         2},
        {"top-right Y cuts bottom-right Y",
         {false, true, false, true},
         [](TQzRectangle3D& r) { r.SetTopRightYRadius(3); },
         2,
         2,
         2,
         2,
         2,
         3,
         2,
         0},
        {"a narrower solid cuts the X radii only",
         {},
         [](TQzRectangle3D& r) { r.SetWidth(1.5f); },
         1.5f,
         1.5f,
         1.5f,
         1.5f,
         2,
         2,
         2,
         2},
        {"a lower solid cuts the Y radii only",
         {},
         [](TQzRectangle3D& r) { r.SetHeight(1); },
         2,
         2,
         2,
         2,
         1,
         1,
         1,
         1},
        {"new dimensions cut both",
         {},
         [](TQzRectangle3D& r) {
             r.SetDimensions({1.5f, 0.2f, 1});
         },
         1.5f,
         1.5f,
         1.5f,
         1.5f,
         1,
         1,
         1,
         1},
    };
    for (const Case& c : cases) {
        TQzRectangle3D r;
        r.SetDimensions({4, 0.2f, 3});
        r.SetCorners(c.corners);
        c.act(r);
        SCOPED_TRACE(c.name);
        EXPECT_FLOAT_EQ(r.TopLeftXRadius(), c.tlx);
        EXPECT_FLOAT_EQ(r.TopRightXRadius(), c.trx);
        EXPECT_FLOAT_EQ(r.BotLeftXRadius(), c.blx);
        EXPECT_FLOAT_EQ(r.BotRightXRadius(), c.brx);
        EXPECT_FLOAT_EQ(r.TopLeftYRadius(), c.tly);
        EXPECT_FLOAT_EQ(r.TopRightYRadius(), c.try_);
        EXPECT_FLOAT_EQ(r.BotLeftYRadius(), c.bly);
        EXPECT_FLOAT_EQ(r.BotRightYRadius(), c.bry);
    }

    // Shrinking from 10 to 3 cuts only the X radii above 3.
    TQzRectangle3D r;
    r.SetWidth(10);
    r.SetTopLeftXRadius(5);
    r.SetBotRightXRadius(2.5f);
    r.SetTopLeftYRadius(0.7f);
    r.SetWidth(3);
    EXPECT_FLOAT_EQ(r.TopLeftXRadius(), 3);
    EXPECT_FLOAT_EQ(r.BotRightXRadius(), 2.5f);
    EXPECT_FLOAT_EQ(r.TopLeftYRadius(), 0.7f);
}

TEST(TrapeziumSolid, OutlineFollowsTheTwoSides) {
    TQzTrapezium3D t;
    EXPECT_TRUE(t.Outline().empty()); // nothing until a size or width is set
    t.RebuildMesh();
    EXPECT_EQ(t.Data.VertexCount(), 0);

    t.SetWidth(5);
    t.SetWidth1(3); // the height follows the longer side
    EXPECT_FLOAT_EQ(t.Height(), 4);
    t.SetWidth1(2);
    EXPECT_EQ(t.Outline(), (TPolygon{{-2.5f, -1}, {2.5f, -2}, {2.5f, 2}, {-2.5f, 1}, {-2.5f, -1}}));
    EXPECT_EQ(t.FrontMesh().VertexCount(), 4);

    t.SetWidth1(4);
    t.SetWidth2(2);
    EXPECT_FLOAT_EQ(t.Height(), 4);
    EXPECT_EQ(t.Outline(), (TPolygon{{2.5f, -1}, {2.5f, 1}, {-2.5f, 2}, {-2.5f, -2}, {2.5f, -1}}));

    const TPolygon before = t.Outline();
    const int rebuilds = t.RebuildCount();
    const int repaints = t.RepaintRequests();
    t.SetHeight1(7);
    EXPECT_FLOAT_EQ(t.Height1(), 7);
    EXPECT_EQ(t.Outline(), before);
    EXPECT_EQ(t.RebuildCount(), rebuilds);
    EXPECT_EQ(t.RepaintRequests(), repaints + 1);

    t.SetDimensions({6, 0.2f, 4});
    EXPECT_EQ(t.Outline().front(), (TPointF{3, -1}));
}

TEST(DrawPathSolid, CentresTheClosedPolygon) {
    TQzDrawPath3D d;
    d.SetShapePolygon({{0, 0}, {4, 0}, {4, 2}});
    EXPECT_EQ(d.ShapePolygon(), (TPolygon{{-2, -1}, {2, -1}, {2, 1}, {-2, -1}}));
    EXPECT_EQ(d.FrontMesh().VertexCount(), 3);
    EXPECT_EQ(d.FrontMesh().IndexCount(), 3);

    // Width and height do not touch the outline.
    d.SetWidth(8);
    EXPECT_EQ(d.ShapePolygon().size(), 4u);
    EXPECT_EQ(d.ShapePolygon()[1], (TPointF{2, -1}));

    d.SetShapePolygon({});
    EXPECT_TRUE(d.ShapePolygon().empty());
    EXPECT_EQ(d.Data.VertexCount(), 0);
    EXPECT_EQ(d.Data.IndexCount(), 0);
}

} // namespace
} // namespace vendrel
