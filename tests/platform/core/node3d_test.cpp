#include "platform/core/node3d.h"
#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace vendrel {
namespace {

// Independent oracle in double: a right-handed turn of a point about a fixed axis (Rodrigues).
struct D3 {
    double x, y, z;
};
D3 turn(D3 p, D3 axis, double deg) {
    const double a = deg * M_PI / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const double dot = p.x * axis.x + p.y * axis.y + p.z * axis.z;
    const D3 cr{axis.y * p.z - axis.z * p.y, axis.z * p.x - axis.x * p.z, axis.x * p.y - axis.y * p.x};
    return {p.x * c + cr.x * s + axis.x * dot * (1 - c), p.y * c + cr.y * s + axis.y * dot * (1 - c),
            p.z * c + cr.z * s + axis.z * dot * (1 - c)};
}
// One node level: scale, then turn about the rotation centre (Z, then Y, then X about the parent's
// axes), then move by the position.
struct Level {
    TPoint3D pos, angles, center, scale{1, 1, 1};
};
D3 toParent(D3 p, const Level& l) {
    p = {p.x * l.scale.X - l.center.X, p.y * l.scale.Y - l.center.Y, p.z * l.scale.Z - l.center.Z};
    p = turn(p, {0, 0, 1}, l.angles.Z);
    p = turn(p, {0, 1, 0}, l.angles.Y);
    p = turn(p, {1, 0, 0}, l.angles.X);
    return {p.x + l.center.X + l.pos.X, p.y + l.center.Y + l.pos.Y, p.z + l.center.Z + l.pos.Z};
}

void expectNear(const TPoint3D& a, D3 b, double tol) {
    EXPECT_NEAR(a.X, b.x, tol);
    EXPECT_NEAR(a.Y, b.y, tol);
    EXPECT_NEAR(a.Z, b.z, tol);
}

void place(TControl3D& n, const Level& l) {
    n.SetPosition(l.pos);
    n.SetRotationAngle(l.angles);
    n.SetRotationCenter(l.center);
    n.SetScale(l.scale);
}

TEST(Control3D, ThreeLevelsOfParentsWithRotationCentres) {
    const Level levels[3] = {
        {{1, -2, 3}, {30, -45, 60}, {0.5f, 0, -1}, {1, 1, 1}},
        {{0, 4, -1}, {-100, 20, 170}, {2, 1, 0}, {2, 0.5f, 1}},
        {{-3, 0.5f, 2}, {15, 250, -35}, {0, -0.5f, 1.5f}, {1, 1, 1}},
    };
    TDummy root;
    TDummy mid(&root);
    TControl3D leaf(&root);
    mid.SetParent(&root);
    leaf.SetParent(&mid);
    place(root, levels[0]);
    place(mid, levels[1]);
    place(leaf, levels[2]);

    const std::array<TPoint3D, 3> points = {TPoint3D(0, 0, 0), TPoint3D(1, 2, -3), TPoint3D(-0.5f, 4, 0.25f)};
    for (const TPoint3D& p : points) {
        D3 expected{p.X, p.Y, p.Z};
        for (int i = 2; i >= 0; --i) {
            expected = toParent(expected, levels[i]);
        }
        const TPoint3D abs = leaf.LocalToAbsolute3D(p);
        expectNear(abs, expected, 1e-4);
        // Round trip through the inverse.
        const TPoint3D back = leaf.AbsoluteToLocal3D(abs);
        expectNear(back, {p.X, p.Y, p.Z}, 1e-4);
        // The homogeneous form with W = 1 converts points the same way.
        expectNear(leaf.LocalToAbsoluteVector(TVector3D(p)).ToPoint3D(), expected, 1e-4);
    }
    // Directions: the difference of two converted points; W = 0 gives the same.
    const TPoint3D d(0.3f, -1, 2);
    const TPoint3D viaPoints = leaf.LocalToAbsolute3D(d) - leaf.LocalToAbsolute3D({});
    const TPoint3D dir = leaf.LocalToAbsoluteDirection(d);
    expectNear(dir, {viaPoints.X, viaPoints.Y, viaPoints.Z}, 1e-4);
    expectNear(leaf.LocalToAbsoluteVector(TVector3D(d, 0)).ToPoint3D(), {dir.X, dir.Y, dir.Z}, 1e-5);
    expectNear(leaf.AbsoluteToLocalDirection(dir), {d.X, d.Y, d.Z}, 1e-4);
    expectNear(
        leaf.AbsolutePosition(),
        [&] {
            D3 o{0, 0, 0};
            for (int i = 2; i >= 0; --i) {
                o = toParent(o, levels[i]);
            }
            return o;
        }(),
        1e-4);

    // Moving the root moves the whole subtree at once.
    const TPoint3D before = leaf.LocalToAbsolute3D({});
    root.SetPosition(levels[0].pos + TPoint3D(10, 0, 0));
    expectNear(leaf.LocalToAbsolute3D({}), {before.X + 10.0, before.Y, before.Z}, 1e-4);
}

// The kernel computes a zone's pixel centres in a frame M = RotY(-ry) x RotX(rx) x RotZ(rz), in the
// scene's axes with Z negated; the view draws the zone's solid inside a holder inside the zones'
// frame. Both must put every pixel at the same scene point.
TEST(Control3D, DrawnZonePixelsLieWhereTheMapKernelPutsThem) {
    struct Zone {
        float xb, yb, zb; // begin corner; yb is a height (the scene's Y points down)
        float w, d, h;    // width (X), depth, thickness
        float rx, ry, rz; // rotation angles in degrees
    };
    const Zone zones[] = {
        {0, 0, 0, 10, 6, 0.2f, 0, 0, 0},        {2, 1.5f, -4, 12, 8, 0.3f, 10, 0, 0},
        {2, 1.5f, -4, 12, 8, 0.3f, 0, 35, 0},   {2, 1.5f, -4, 12, 8, 0.3f, 0, 0, -20},
        {-5, 3, 7, 20, 10, 0.5f, 25, -130, 15}, {1, -2, 0.5f, 6, 6, 0.1f, -60, 80, 45},
    };
    const float p = 0.5f; // pixel size in metres
    for (const Zone& z : zones) {
        // Drawn: zones' frame -> holder -> rotation holder -> solid, as the editor lays them out.
        TDummy zonesFrame;
        zonesFrame.SetRotationAngle({-90, 0, 0});
        TDummy holder;
        TDummy rotationHolder;
        TDummy solid;
        holder.SetParent(&zonesFrame);
        rotationHolder.SetParent(&holder);
        solid.SetParent(&rotationHolder);
        const TPoint3D zonePos(z.xb + z.w / 2, z.yb, z.zb);
        const TPoint3D rc(-z.w / 2, 0, -z.h / 2);
        holder.SetPosition({zonePos.X, -zonePos.Z, z.h / 2 - zonePos.Y});
        holder.SetRotationAngle({0, 0, -z.ry});
        holder.SetRotationCenter(rc);
        solid.SetRotationAngle({z.rx, z.rz, 0});
        solid.SetRotationCenter(rc);

        // Kernel.
        const auto rad = [](float deg) { return static_cast<float>(deg * kDegToRad); };
        const TMatrix3D M = TMatrix3D::CreateRotationY(rad(-z.ry)) * TMatrix3D::CreateRotationX(rad(z.rx)) *
                            TMatrix3D::CreateRotationZ(rad(z.rz));
        const TPoint3D posBeginPx(z.xb / p, z.yb / p, z.zb / p);
        const TPoint3D O = TPoint3D(posBeginPx.X, -posBeginPx.Y, -posBeginPx.Z) * M;
        const int widthPx = static_cast<int>(z.w / p);
        const int depthPx = static_cast<int>(z.d / p);
        const float half = depthPx / 2.0f;
        for (int l : {0, depthPx / 2, depthPx - 1}) {
            for (int w : {0, widthPx / 3, widthPx - 1}) {
                const TPoint3D P(w + O.X + 0.5f, O.Y, l - half + O.Z + 0.5f);
                const TPoint3D Q = P * M.Inverse();
                const TPoint3D kernelScene(Q.X * p, Q.Y * p, -Q.Z * p);
                // The same pixel centre on the solid's surface (its outline in local XY).
                const TPoint3D local(-z.w / 2 + (w + 0.5f) * p, (l - half + 0.5f) * p, -z.h / 2);
                const TPoint3D drawn = solid.LocalToAbsolute3D(local);
                expectNear(drawn, {kernelScene.X, kernelScene.Y, kernelScene.Z}, 1e-3);
            }
        }
    }
}

TEST(Control3D, VisibilityAndOpacityAreInherited) {
    TDummy a;
    TDummy b;
    TControl3D c;
    b.SetParent(&a);
    c.SetParent(&b);
    struct Case {
        bool va, vb, vc, shown;
    };
    const Case cases[] = {
        {true, true, true, true},   {false, true, true, false},  {true, false, true, false},
        {true, true, false, false}, {false, false, true, false},
    };
    for (const Case& k : cases) {
        a.SetVisible(k.va);
        b.SetVisible(k.vb);
        c.SetVisible(k.vc);
        EXPECT_EQ(c.AbsoluteVisible(), k.shown);
        EXPECT_EQ(c.Visible(), k.vc); // the own flag is untouched by the parents'
    }
    a.SetOpacity(0.5f);
    c.SetOpacity(0.4f);
    EXPECT_FLOAT_EQ(c.AbsoluteOpacity(), 0.2f);
    // Detached, only its own flags count.
    a.SetVisible(false);
    c.SetParent(nullptr);
    c.SetVisible(true);
    EXPECT_TRUE(c.AbsoluteVisible());
    EXPECT_FLOAT_EQ(c.AbsoluteOpacity(), 0.4f);
}

TEST(Control3D, OwnerFreesParentOnlyPlaces) {
    struct Probe : TDummy {
        Probe(TComponent* owner, std::vector<int>& log, int id) : TDummy(owner), log_(log), id_(id) {}
        ~Probe() override { log_.push_back(id_); }
        std::vector<int>& log_;
        int id_;
    };
    std::vector<int> freed;
    auto owner = std::make_unique<TComponent>();
    auto* parent = new Probe(owner.get(), freed, 1);
    auto* ownedChild = new Probe(owner.get(), freed, 2);
    Probe looseChild(nullptr, freed, 3);
    ownedChild->SetParent(parent);
    looseChild.SetParent(parent);
    parent->SetPosition({5, 0, 0});
    EXPECT_EQ(looseChild.AbsolutePosition(), TPoint3D(5, 0, 0));
    ASSERT_EQ(parent->ChildrenCount(), 2);
    EXPECT_EQ(parent->Children(1), &looseChild);
    EXPECT_THROW(parent->Children(2), ERangeError);
    EXPECT_THROW(parent->SetParent(ownedChild), std::invalid_argument);

    // Freeing the parent frees no child: they become roots and fall back to their own placement.
    delete parent;
    EXPECT_EQ(freed, std::vector<int>{1});
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(looseChild.Parent(), nullptr);
    EXPECT_EQ(looseChild.AbsolutePosition(), TPoint3D(0, 0, 0));
    // The owner frees what remains of its components.
    owner.reset();
    EXPECT_EQ(freed, (std::vector<int>{1, 2}));
}

TEST(Control3D, ChangeHooksFireOncePerRealChange) {
    struct Hooks : TDummy {
        int all = 0, x = 0, y = 0, z = 0, matrix = 0, absolute = 0;
        void RotationChanged() override { ++all; }
        void RotateXChanged() override { ++x; }
        void RotateYChanged() override { ++y; }
        void RotateZChanged() override { ++z; }
        void MatrixChanged() override { ++matrix; }
        void RecalcAbsolute() override {
            TDummy::RecalcAbsolute();
            ++absolute;
        }
    };
    TDummy parent;
    Hooks n;
    n.SetParent(&parent);
    n.absolute = 0;
    n.SetRotationAngle({10, 20, 30});
    n.SetRotationAngle({10, 20, 30});
    n.SetRotationAngleX(15);
    n.SetRotationAngleY(20); // unchanged
    n.SetRotationAngleZ(-5);
    EXPECT_EQ(n.all, 1);
    EXPECT_EQ(n.x, 1);
    EXPECT_EQ(n.y, 0);
    EXPECT_EQ(n.z, 1);
    EXPECT_EQ(n.matrix, 3);
    EXPECT_EQ(n.RotationAngle(), TPoint3D(15, 20, -5));
    // A move of the parent reaches the child's absolute handling, not its local hooks.
    parent.SetPosition({1, 1, 1});
    EXPECT_EQ(n.absolute, 4);
    EXPECT_EQ(n.matrix, 3);
    // Repaints only on real changes.
    const int repaints = n.RepaintRequests();
    n.SetVisible(true);
    n.SetWidth(1);
    n.SetOpacity(1);
    EXPECT_EQ(n.RepaintRequests(), repaints);
    n.SetWidth(2);
    EXPECT_EQ(n.RepaintRequests(), repaints + 1);
}

TEST(Control3D, DefaultHitTestIsTheLocalBoxInSceneCoordinates) {
    TDummy parent;
    parent.SetPosition({10, 0, 0});
    TControl3D box;
    box.SetParent(&parent);
    box.SetWidth(2);
    box.SetRotationAngle({0, 90, 0}); // local X now runs along scene -Z
    TPoint3D hit(1, 2, 3);
    // A scene ray along +X meets the box's face at local Z = -0.5, scene X = 9.5.
    ASSERT_TRUE(box.RayCastIntersectAbsolute({0, 0, 0}, {1, 0, 0}, hit));
    expectNear(hit, {9.5, 0, 0}, 1e-5);
    ASSERT_TRUE(box.RayCastIntersectAbsolute({10, 0, -5}, {0, 0, 1}, hit));
    expectNear(hit, {10, 0, -1}, 1e-5);
    hit = {1, 2, 3};
    EXPECT_FALSE(box.RayCastIntersectAbsolute({0, 5, 0}, {1, 0, 0}, hit));
    EXPECT_EQ(hit, TPoint3D(1, 2, 3));
    // A dummy is never hit.
    EXPECT_FALSE(parent.RayCastIntersectAbsolute({0, 0, 0}, {1, 0, 0}, hit));
    // The global bounds of the turned box.
    const TBoundingBox b = box.GlobalBounds();
    expectNear(b.Min, {9.5, -0.5, -1}, 1e-5);
    expectNear(b.Max, {10.5, 0.5, 1}, 1e-5);
}

} // namespace
} // namespace vendrel
