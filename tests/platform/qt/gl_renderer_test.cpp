#include "platform/qt/gl_renderer.h"

#include "platform/core/camera.h"
#include "platform/core/material.h"
#include "platform/core/mesh.h"
#include "platform/core/shapes3d.h"
#include "platform/core/viewport3d.h"
#include "tests/platform/qt/qt_app.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vendrel {
namespace {

constexpr TAlphaColor kBackground = 0xFF203040;
constexpr QSize kImageSize(160, 120);

// A slab like a zone's solid: a convex outline in the XY plane extruded from z = -t/2 (the front,
// facing the camera) to z = t/2, caps fan-triangulated, each face with its own normal.
TMeshData extrudedSlab(const std::vector<TPoint3D>& outline, float thickness) {
    TMeshData m;
    const float h = thickness / 2;
    const auto n = static_cast<int32_t>(outline.size());
    for (float side : {-1.0f, 1.0f}) {
        const auto base = static_cast<int32_t>(m.VertexBuffer.size());
        for (const TPoint3D& p : outline) {
            m.VertexBuffer.push_back({{p.X, p.Y, side * h}, {0, 0, side}, {}});
        }
        for (int32_t k = 1; k + 1 < n; ++k) {
            m.IndexBuffer.insert(m.IndexBuffer.end(), {base, base + k, base + k + 1});
        }
    }
    for (int32_t k = 0; k < n; ++k) {
        const TPoint3D& a = outline[static_cast<size_t>(k)];
        const TPoint3D& b = outline[static_cast<size_t>((k + 1) % n)];
        const TPoint3D normal = TPoint3D(b.Y - a.Y, a.X - b.X, 0).Normalize();
        const auto base = static_cast<int32_t>(m.VertexBuffer.size());
        for (const TPoint3D& p : {a, b}) {
            m.VertexBuffer.push_back({{p.X, p.Y, -h}, normal, {}});
            m.VertexBuffer.push_back({{p.X, p.Y, h}, normal, {}});
        }
        m.IndexBuffer.insert(m.IndexBuffer.end(), {base, base + 1, base + 3, base + 3, base + 2, base});
    }
    return m;
}

// A square of the given side in the XY plane about the origin, the image's top-left corner at -X -Y.
TMeshData texturedSquare(float side) {
    const float s = side / 2;
    TMeshData m;
    m.VertexBuffer = {{{-s, -s, 0}, {0, 0, -1}, {0, 0}},
                      {{s, -s, 0}, {0, 0, -1}, {1, 0}},
                      {{s, s, 0}, {0, 0, -1}, {1, 1}},
                      {{-s, s, 0}, {0, 0, -1}, {0, 1}}};
    m.IndexBuffer = {0, 1, 2, 2, 3, 0};
    return m;
}

// An 8 x 8 image of four plain 4 x 4 quadrants, so that filtering keeps their colours inside them.
TBitmap quadrants(TAlphaColor topLeft, TAlphaColor topRight, TAlphaColor bottomLeft,
                  TAlphaColor bottomRight) {
    TBitmap b(8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            b.SetPixel(x, y, y < 4 ? (x < 4 ? topLeft : topRight) : (x < 4 ? bottomLeft : bottomRight));
        }
    }
    return b;
}

// Seen from a camera 10 m in front: on the left a red zone solid (a trapezoid 0.2 m thick) lit by a
// white directional light at 60 degrees to its front face, on the right a square showing an image of
// four colours unlit.
class SceneFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::EnsureXcbApplication()) {
            GTEST_SKIP() << "needs an X server, platform is "
                         << QGuiApplication::platformName().toStdString();
        }
        view.Color = kBackground;
        camera.SetParent(&view);
        camera.SetPosition({0, 0, -10});
        view.SetCamera(&camera);
        light.SetParent(&view);
        light.SetRotationAngle({0, 60, 0}); // shines along (sin 60, 0, cos 60)

        red.SetDiffuse(0xFFFF0000);
        red.SetAmbient(0xFF000000);
        red.SetSpecular(0xFF000000);
        zone.SetParent(&view);
        zone.Data =
            extrudedSlab({{-3.5f, -1.5f, 0}, {-1.5f, -1.5f, 0}, {-0.5f, 1.5f, 0}, {-4.5f, 1.5f, 0}}, 0.2f);
        zone.SetMaterialSource(&red);

        picture.SetTexture(quadrants(0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFFFFFFFF));
        quad.SetParent(&view);
        quad.Data = texturedSquare(3);
        quad.SetPosition({2.75f, 0, 0});
        quad.SetMaterialSource(&picture);
    }

    QColor pixelAt(const QImage& image, const TPoint3D& p) {
        TPoint3D s;
        EXPECT_TRUE(camera.WorldToScreen(p, static_cast<float>(image.width()),
                                         static_cast<float>(image.height()), s));
        return image.pixelColor(static_cast<int>(s.X), static_cast<int>(s.Y));
    }

    TViewport3D view;
    TCamera camera{&view};
    TLight light{&view};
    TLightMaterialSource red{&view};
    TCustomMesh zone{&view};
    TTextureMaterialSource picture{&view};
    TCustomMesh quad{&view};
};

const TPoint3D kZoneFront{-2.5f, 0, -0.1f};
const TPoint3D kBesideTheZone{-4.3f, -1.3f, -0.1f}; // inside its box, outside the trapezoid
const TPoint3D kQuadTopLeft{2.0f, -0.75f, 0};
const TPoint3D kQuadTopRight{3.5f, -0.75f, 0};
const TPoint3D kQuadBottomLeft{2.0f, 0.75f, 0};
const TPoint3D kQuadBottomRight{3.5f, 0.75f, 0};

void expectColor(const QColor& got, TAlphaColor want, int tolerance, const char* where) {
    SCOPED_TRACE(where);
    EXPECT_NEAR(got.red(), RedOf(want), tolerance);
    EXPECT_NEAR(got.green(), GreenOf(want), tolerance);
    EXPECT_NEAR(got.blue(), BlueOf(want), tolerance);
}

class OffScreen : public SceneFixture, public ::testing::WithParamInterface<int> {};

TEST_P(OffScreen, DrawsALitZoneSolidAndATexturedQuad) {
    TGLRenderer renderer;
    renderer.SetSamples(GetParam());
    const QImage image = renderer.RenderToImage(view, kImageSize);
    ASSERT_EQ(image.size(), kImageSize);
    EXPECT_TRUE(renderer.IsReady());

    // Diffuse red times cos 60 degrees, no ambient or specular light.
    expectColor(pixelAt(image, kZoneFront), 0xFF800000, 3, "zone front");
    expectColor(pixelAt(image, kBesideTheZone), kBackground, 1, "beside the zone");
    expectColor(image.pixelColor(2, 2), kBackground, 1, "corner");
    // The image's quadrants, unlit and the right way up.
    expectColor(pixelAt(image, kQuadTopLeft), 0xFF00FF00, 2, "top left");
    expectColor(pixelAt(image, kQuadTopRight), 0xFF0000FF, 2, "top right");
    expectColor(pixelAt(image, kQuadBottomLeft), 0xFFFFFF00, 2, "bottom left");
    expectColor(pixelAt(image, kQuadBottomRight), 0xFFFFFFFF, 2, "bottom right");
    // The view size is the viewport's again.
    EXPECT_EQ(view.ViewWidth(), 1.0f);
}

INSTANTIATE_TEST_SUITE_P(Samples, OffScreen, ::testing::Values(0, 4));

// A zone's floor carries its colour as an image on a lit material: the light tints the image and
// never makes it lighter than it is.
TEST_F(SceneFixture, AnImageOnALitFaceIsTintedByTheClampedLight) {
    TLightMaterialSource painted(&view);
    painted.SetAmbient(TAlphaColors::Black);
    painted.SetSpecular(TAlphaColors::Black);
    painted.SetTexture(TBitmap(2, 2, 0xFF4080C0));
    zone.SetMaterialSource(&painted);
    TGLRenderer renderer;

    // The light at 60 degrees to the face: half the image's colour.
    expectColor(pixelAt(renderer.RenderToImage(view, kImageSize), kZoneFront), 0xFF204060, 3, "half light");
    // A second light straight at the face: the summed light is clamped to full, the image's own colour.
    TLight facing(&view);
    facing.SetParent(&view);
    expectColor(pixelAt(renderer.RenderToImage(view, kImageSize), kZoneFront), 0xFF4080C0, 2, "full light");
}

TEST_F(SceneFixture, UploadsOnlyWhatChangedSinceTheLastFrame) {
    TText3D label(&view);
    label.SetParent(&view);
    label.SetText("Zone 1");
    label.SetWidth(2);
    label.SetHeight(0.5f);
    label.SetPosition({0, 3, 0});
    TGrid3D grid(&view);
    grid.SetParent(&view);
    grid.SetWidth(10);
    grid.SetHeight(10);
    grid.SetPosition({0, 0, 1});

    TGLRenderer renderer;
    ASSERT_FALSE(renderer.RenderToImage(view, kImageSize).isNull());
    ASSERT_GT(renderer.Stats().MeshUploads, 0);

    struct Step {
        const char* edit;
        std::function<void()> apply;
        int64_t meshUploads;
        int64_t textureUploads;
    };
    const std::vector<Step> steps = {
        {"nothing", [] {}, 0, 0},
        {"move, turn and fade a node",
         [&] {
             quad.SetPosition({2.75f, 0.01f, 0});
             zone.SetRotationAngle({0, 0, 1});
             zone.SetOpacity(0.9f);
             zone.SetOpacity(1);
         },
         0, 0},
        {"change a material's colour", [&] { red.SetDiffuse(0xFFFE0000); }, 0, 0},
        {"move every vertex of the zone out of sight",
         [&] {
             for (TMeshVertex& v : zone.Data.VertexBuffer) {
                 v.Position.Y += 50;
             }
         },
         1, 0},
        {"give the quad a new image", [&] { picture.SetTexture(TBitmap(2, 2, 0xFFFF00FF)); }, 0, 1},
        {"change the label", [&] { label.SetText("Zone 2"); }, 0, 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.edit);
        const TGLRenderStats before = renderer.Stats();
        step.apply();
        const QImage image = renderer.RenderToImage(view, kImageSize);
        ASSERT_FALSE(image.isNull());
        const TGLRenderStats after = renderer.Stats();
        EXPECT_EQ(after.MeshUploads - before.MeshUploads, step.meshUploads);
        EXPECT_EQ(after.TextureUploads - before.TextureUploads, step.textureUploads);
        // Images replaced are freed with their copies.
        EXPECT_EQ(after.TexturesHeld, before.TexturesHeld);
    }

    // The changes show.
    const QImage image = renderer.RenderToImage(view, kImageSize);
    EXPECT_LT(pixelAt(image, kZoneFront).red(), 100);
    expectColor(pixelAt(image, kQuadTopLeft), 0xFFFF00FF, 2, "new image");

    // A freed mesh's copy goes with it.
    const int held = renderer.Stats().MeshesHeld;
    {
        TCustomMesh extra(&view);
        extra.SetParent(&view);
        extra.Data = texturedSquare(1);
        renderer.RenderToImage(view, kImageSize);
        EXPECT_EQ(renderer.Stats().MeshesHeld, held + 1);
    }
    renderer.RenderToImage(view, kImageSize);
    EXPECT_EQ(renderer.Stats().MeshesHeld, held);
}

TEST_F(SceneFixture, DrawsIntoTheCurrentContextAndFreesItsCopiesWhenTheContextGoes) {
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    ASSERT_TRUE(context->create());
    QOffscreenSurface surface;
    surface.setFormat(context->format());
    surface.create();
    ASSERT_TRUE(context->makeCurrent(&surface));

    TGLRenderer renderer;
    {
        QOpenGLFramebufferObject target(kImageSize, QOpenGLFramebufferObject::Depth);
        ASSERT_TRUE(target.bind());
        ASSERT_TRUE(renderer.Render(&view, kImageSize));
        const QImage image = target.toImage();
        expectColor(pixelAt(image, kQuadTopLeft), 0xFF00FF00, 2, "drawn into the caller's framebuffer");
    }
    EXPECT_GT(renderer.Stats().MeshesHeld, 0);

    context.reset();
    EXPECT_FALSE(renderer.IsReady());
    EXPECT_EQ(renderer.Stats().MeshesHeld, 0);
    EXPECT_EQ(renderer.Stats().TexturesHeld, 0);
    // It carries on in a context of its own.
    const QImage image = renderer.RenderToImage(view, kImageSize);
    ASSERT_FALSE(image.isNull());
    expectColor(pixelAt(image, kQuadTopLeft), 0xFF00FF00, 2, "drawn again off screen");
}

TEST_F(SceneFixture, ImageWiderThanTheCardTakesIsDrawnSmallerNotBlack) {
    // Wider than any card's largest texture (16384 or 32768 pixels).
    picture.SetTexture(TBitmap(32769, 2, 0xFFFF8000));
    TGLRenderer renderer;
    const QImage image = renderer.RenderToImage(view, kImageSize);
    ASSERT_FALSE(image.isNull());
    expectColor(pixelAt(image, kQuadTopLeft), 0xFFFF8000, 2, "oversized image");
}

TEST_F(SceneFixture, RefusesImageSizesItCannotDraw) {
    TGLRenderer renderer;
    for (const QSize size : {QSize(0, 10), QSize(-5, -5), QSize(1 << 20, 16)}) {
        SCOPED_TRACE(std::to_string(size.width()) + " x " + std::to_string(size.height()));
        EXPECT_TRUE(renderer.RenderToImage(view, size).isNull());
    }
    EXPECT_FALSE(renderer.RenderToImage(view, kImageSize).isNull());
}

} // namespace
} // namespace vendrel
