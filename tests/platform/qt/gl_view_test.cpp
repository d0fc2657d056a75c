#include "platform/qt/gl_view.h"

#include "platform/qt/gl_renderer.h"

#include "platform/core/camera.h"
#include "platform/core/material.h"
#include "platform/core/mesh.h"
#include "platform/core/viewport3d.h"
#include "tests/platform/qt/qt_app.h"

#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace vendrel {
namespace {

// A box of the given size about the origin, four vertices and one normal per face.
TMeshData box(float w, float h, float d) {
    TMeshData m;
    const TPoint3D half(w / 2, h / 2, d / 2);
    const TPoint3D axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int a = 0; a < 3; ++a) {
        for (float side : {-1.0f, 1.0f}) {
            const TPoint3D n = axes[a] * side;
            const TPoint3D u = axes[(a + 1) % 3];
            const TPoint3D v = axes[(a + 2) % 3];
            const auto base = static_cast<int32_t>(m.VertexBuffer.size());
            for (const auto& [su, sv] :
                 {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
                const TPoint3D p = n + u * su + v * sv;
                m.VertexBuffer.push_back({p.Scale(half), n, {(su + 1) / 2, (sv + 1) / 2}});
            }
            m.IndexBuffer.insert(m.IndexBuffer.end(), {base, base + 1, base + 2, base + 2, base + 3, base});
        }
    }
    return m;
}

// One face of side 3 in the local XY plane.
TMeshData square3() {
    TMeshData m;
    m.VertexBuffer = {{{-1.5f, -1.5f, 0}, {0, 0, -1}, {0, 0}},
                      {{1.5f, -1.5f, 0}, {0, 0, -1}, {1, 0}},
                      {{1.5f, 1.5f, 0}, {0, 0, -1}, {1, 1}},
                      {{-1.5f, 1.5f, 0}, {0, 0, -1}, {0, 1}}};
    m.IndexBuffer = {0, 1, 2, 2, 3, 0};
    return m;
}

class GLView : public ::testing::Test {
protected:
    void SetUp() override {
        // The OpenGL widget needs a real X server: never Qt's offscreen platform.
        if (!testing::EnsureXcbApplication()) {
            GTEST_SKIP() << "needs an X server, platform is "
                         << QGuiApplication::platformName().toStdString();
        }
    }
};

TEST_F(GLView, DrawsALitSolidUnderATranslucentPanelAndPicksWhatIsUnderTheMouse) {
    TViewport3D view;
    view.Color = 0xFF000000 | 0x203040;
    TCamera camera(&view);
    camera.SetParent(&view);
    camera.SetPosition({0, 0, -10});
    view.SetCamera(&camera);
    TLight light(&view); // shines along +Z, onto the faces looking at the camera
    light.SetParent(&view);

    // A red slab like a zone seen from above, 4 x 3 and 0.2 thick.
    TLightMaterialSource red(&view);
    red.SetDiffuse(0xFFFF0000);
    red.SetAmbient(0xFF000000);
    red.SetSpecular(0xFF000000);
    TCustomMesh slab(&view);
    slab.SetParent(&view);
    slab.Data = box(4, 3, 0.2f);
    slab.SetMaterialSource(&red);
    bool clicked = false;
    slab.OnMouseDown = [&](TControl3D*, TMouseButton b, TShiftState, float, float, const TPoint3D&,
                           const TPoint3D&) { clicked = b == TMouseButton::mbLeft; };

    // A half-transparent blue panel in front of its right half.
    TColorMaterialSource blue(&view);
    blue.SetColor(0xFF0000FF);
    TCustomMesh panel(&view);
    panel.SetParent(&view);
    panel.Data = square3();
    panel.SetPosition({1.5f, 0, -1});
    panel.SetOpacity(0.5f);
    panel.SetMaterialSource(&blue);

    TGLView widget;
    widget.SetViewport(&view);
    widget.resize(200, 150);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    const QImage image = widget.grabFramebuffer();
    ASSERT_TRUE(widget.IsReady());
    ASSERT_FALSE(image.isNull());
    const double scale = image.width() / static_cast<double>(widget.width());

    const auto pixelAt = [&](const TPoint3D& p) {
        TPoint3D s;
        EXPECT_TRUE(camera.WorldToScreen(p, 200, 150, s));
        return image.pixelColor(static_cast<int>(s.X * scale), static_cast<int>(s.Y * scale));
    };
    // The lit red face, head on: full red.
    const QColor lit = pixelAt({-1, 0.5f, -0.1f});
    EXPECT_GE(lit.red(), 245);
    EXPECT_LE(lit.green(), 10);
    EXPECT_LE(lit.blue(), 10);
    // Behind the panel: half red, half blue.
    const QColor mixed = pixelAt({1, 0.5f, -1});
    EXPECT_NEAR(mixed.red(), 128, 8);
    EXPECT_LE(mixed.green(), 10);
    EXPECT_NEAR(mixed.blue(), 128, 8);
    // Beside everything: the background.
    const QColor corner = image.pixelColor(2, 2);
    EXPECT_EQ(corner.rgb() & 0xFFFFFF, 0x203040u);

    // The mouse ray of a widget position meets the slab where it was drawn.
    TPoint3D onScreen;
    ASSERT_TRUE(camera.WorldToScreen({-1, 0.5f, -0.1f}, 200, 150, onScreen));
    TPoint3D rayPos;
    TPoint3D rayDir;
    widget.RayAt(QPointF(onScreen.X, onScreen.Y), rayPos, rayDir);
    TPoint3D hit;
    EXPECT_EQ(view.ObjectAtRay(rayPos, rayDir, &hit), &slab);
    EXPECT_NEAR(hit.X, -1, 1e-3);
    EXPECT_NEAR(hit.Y, 0.5, 1e-3);
    EXPECT_NEAR(hit.Z, -0.1, 1e-3);
    QTest::mouseClick(&widget, Qt::LeftButton, {},
                      QPoint(static_cast<int>(onScreen.X), static_cast<int>(onScreen.Y)));
    EXPECT_TRUE(clicked);

    // Hiding the slab takes it off the picture.
    slab.SetVisible(false);
    const QImage after = widget.grabFramebuffer();
    TPoint3D s;
    camera.WorldToScreen({-1, 0.5f, -0.1f}, 200, 150, s);
    EXPECT_EQ(after.pixelColor(static_cast<int>(s.X * scale), static_cast<int>(s.Y * scale)).rgb() & 0xFFFFFF,
              0x203040u);
    widget.SetViewport(nullptr);
}

TEST_F(GLView, ScreenshotSharesTheViewsCopiesAndLeavesTheViewDrawing) {
    TViewport3D view;
    view.Color = 0xFF000000 | 0x203040;
    TCamera camera(&view);
    camera.SetParent(&view);
    camera.SetPosition({0, 0, -10});
    view.SetCamera(&camera);
    TColorMaterialSource green(&view);
    green.SetColor(0xFF00C000);
    TCustomMesh slab(&view);
    slab.SetParent(&view);
    slab.Data = box(4, 3, 0.2f);
    slab.SetMaterialSource(&green);

    TGLView widget;
    widget.SetViewport(&view);
    widget.resize(200, 150);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    const QImage before = widget.grabFramebuffer();
    ASSERT_TRUE(widget.IsReady());
    const TGLRenderStats drawn = widget.Renderer().Stats();

    const QImage shot = widget.Renderer().RenderToImage(view, before.size());
    ASSERT_EQ(shot.size(), before.size());
    // Drawn in the view's context with the copies the view made: nothing written again.
    EXPECT_EQ(widget.Renderer().Stats().MeshUploads, drawn.MeshUploads);
    EXPECT_EQ(view.ViewWidth(), 200.0f);

    const QImage after = widget.grabFramebuffer();
    for (const QPoint p : {QPoint(100, 75), QPoint(2, 2)}) {
        SCOPED_TRACE(std::to_string(p.x()) + ", " + std::to_string(p.y()));
        EXPECT_EQ(shot.pixel(p) & 0xFFFFFF, before.pixel(p) & 0xFFFFFF);
        EXPECT_EQ(after.pixel(p) & 0xFFFFFF, before.pixel(p) & 0xFFFFFF);
    }
    EXPECT_EQ(before.pixel(100, 75) & 0xFFFFFF, 0x00C000u);
    widget.SetViewport(nullptr);
}

} // namespace
} // namespace vendrel
