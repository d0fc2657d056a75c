#include "platform/qt/gl_frame.h"

#include "platform/core/camera.h"
#include "platform/core/context3d.h"
#include "platform/core/viewport3d.h"

#include <QFont>
#include <QFontMetricsF>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <algorithm>
#include <array>
#include <cmath>

namespace vendrel::gl {

namespace {

std::array<float, 4> rgba(TAlphaColor c) {
    return {RedOf(c) / 255.0f, GreenOf(c) / 255.0f, BlueOf(c) / 255.0f, AlphaOf(c) / 255.0f};
}

// Our matrices are row-major for row vectors (p x M); GLSL reads a column-major array for column
// vectors (M v). The same 16 floats therefore serve both without transposing.
const float* glMatrix(const TMatrix3D& m) {
    return &m.m[0][0];
}

// The matrix that turns normals: the transposed inverse of the linear part, in row-vector form.
std::array<float, 9> normalMatrix(const TMatrix3D& m) {
    TMatrix3D linear = m;
    linear.m[3][0] = linear.m[3][1] = linear.m[3][2] = 0;
    const TMatrix3D n = linear.Inverse().Transpose();
    return {n.m[0][0], n.m[0][1], n.m[0][2], n.m[1][0], n.m[1][1],
            n.m[1][2], n.m[2][0], n.m[2][1], n.m[2][2]};
}

const TMaterial& textMaterial() {
    static const TMaterial material = [] {
        TMaterial m;
        m.Kind = TMaterialKind::mkTexture;
        return m;
    }();
    return material;
}

// A corner of the box of a cube request: bit 0, 1, 2 of i pick the high side along X, Y, Z.
TPoint3D cubeCorner(const TDrawCommand& c, int i) {
    return {c.P1.X + ((i & 1) ? 0.5f : -0.5f) * c.P2.X, c.P1.Y + ((i & 2) ? 0.5f : -0.5f) * c.P2.Y,
            c.P1.Z + ((i & 4) ? 0.5f : -0.5f) * c.P2.Z};
}

// The camera's side of the frame.
struct FrameView {
    TMatrix3D ViewProjection;
    TPoint3D Eye;
    TPoint3D EyeDirection;
};

FrameView viewOf(const TCamera& camera, QSize pixels) {
    return {
        camera.ViewProjectionMatrix(static_cast<float>(pixels.width()), static_cast<float>(pixels.height())),
        camera.AbsolutePosition(), camera.LocalToAbsoluteDirection({0, 0, 1}).Normalize()};
}

// A scene point on the picture: pixels from the top-left corner, and the depth; false behind the eye.
bool toPixels(const TPoint3D& p, const TMatrix3D& viewProjection, QSize pixels, double& x, double& y,
              double& depth) {
    const TVector3D clip = TVector3D(p) * viewProjection;
    if (!(clip.W > 0)) {
        return false;
    }
    x = (clip.X / clip.W + 1) / 2 * pixels.width();
    y = (1 - clip.Y / clip.W) / 2 * pixels.height();
    depth = clip.Z / clip.W;
    return true;
}

// One request ready to draw.
struct Item {
    const TDrawCommand* Command = nullptr;
    const TMaterial* Material = nullptr; // meshes and text
    TMatrix3D Matrix;                    // object to scene coordinates
    const GpuMesh* Mesh = nullptr;       // meshes and text; lines and boxes have none
    const GpuTexture* Texture = nullptr;
    GLenum Mode = GL_LINES; // lines and boxes: their vertices in the frame's stream
    GLint First = 0;
    GLsizei Count = 0;
    bool Translucent = false;
    bool Screen = false; // Matrix takes the mesh straight to clip coordinates; texels copied 1:1
    float Distance = 0;  // of its centre from the eye
};

class FrameDrawer {
public:
    FrameDrawer(QOpenGLFunctions_3_3_Core& gl, GpuState& state) : FGl(gl), FState(state) {}

    void Draw(TViewport3D& viewport, QSize pixels) {
        FPixels = pixels;
        ClearFrame(pixels, viewport.Color);
        viewport.BuildFrame(FFrame);
        FView = viewOf(*viewport.Camera(), pixels);
        collectItems();
        orderItems();
        FState.Stream.Write(FGl, FStream);
        beginDrawing();
        setLights(viewport.Lights());
        for (const Item& item : FItems) {
            drawItem(item);
        }
        endDrawing();
    }

private:
    // --- Requests to items (writing new and changed meshes and images to the card) ---
    void collectItems() {
        for (const TDrawCommand& c : FFrame.Commands()) {
            switch (c.Kind) {
            case TDrawKind::dkTriangles:
                addTriangles(c);
                break;
            case TDrawKind::dkText:
                addText(c);
                break;
            case TDrawKind::dkLine:
                addStream(c, GL_LINES, {c.P1, c.P2}, (c.P1 + c.P2) * 0.5f);
                break;
            case TDrawKind::dkWireCube:
                addStream(c, GL_LINES, wireCube(c), c.P1);
                break;
            case TDrawKind::dkSolidCube:
                addStream(c, GL_TRIANGLES, solidCube(c), c.P1);
                break;
            }
        }
    }

    void addTriangles(const TDrawCommand& c) {
        Item item;
        item.Command = &c;
        item.Material = &c.Material;
        item.Matrix = c.Matrix;
        item.Mesh = &FState.Meshes.Get(FGl, *c.Mesh);
        if (item.Mesh->IndexCount == 0) {
            return;
        }
        const TMaterial& m = c.Material;
        if (m.Kind != TMaterialKind::mkColor) {
            item.Texture = FState.Textures.Get(FGl, m.Texture);
        }
        // A texture takes the place of a light material's colour; a texture material has none.
        const TAlphaColor own = m.Kind == TMaterialKind::mkColor ? m.Color : m.Diffuse;
        const bool ownColorShows =
            m.Kind == TMaterialKind::mkColor || (m.Kind == TMaterialKind::mkLight && item.Texture == nullptr);
        item.Translucent = c.Opacity < 0.999f || (ownColorShows && AlphaOf(own) < 255) ||
                           (item.Texture != nullptr && item.Texture->Translucent);
        item.Distance = (item.Mesh->Centre * c.Matrix).Distance(FView.Eye);
        FItems.push_back(item);
    }

    void addText(const TDrawCommand& c) {
        const TScreenText place = PlaceScreenText(c, FView.ViewProjection, FPixels);
        if (place.Facing) {
            addScreenText(c, place);
            return;
        }
        // On its plane in the scene: drawn from a picture about as large as the plane shows, so that
        // the view neither shrinks nor blows up its strokes much.
        const int size = std::clamp(static_cast<int>(std::lround(place.PlaneHeight)), kMinTextPixels,
                                    static_cast<int>(std::lround(std::max(c.FontSize, 1.0f))));
        const std::shared_ptr<const TBitmap> image = FState.Texts.Get(c.Text, size, c.Color);
        if (!image) {
            return;
        }
        Item item;
        item.Command = &c;
        item.Material = &textMaterial();
        item.Matrix =
            TMatrix3D::CreateScaling({c.P2.X, c.P2.Y, 1}) * TMatrix3D::CreateTranslation(c.P1) * c.Matrix;
        item.Mesh = &FState.Meshes.Get(FGl, FState.TextQuad);
        item.Texture = FState.Textures.Get(FGl, image);
        item.Translucent = c.Opacity < 0.999f || (item.Texture != nullptr && item.Texture->Translucent);
        item.Distance = (c.P1 * c.Matrix).Distance(FView.Eye);
        FItems.push_back(item);
    }

    // A text facing the camera square: its picture, drawn at its own pixel size, covers its box's pixels
    // one for one.
    void addScreenText(const TDrawCommand& c, const TScreenText& place) {
        const std::shared_ptr<const TBitmap> image = FState.Texts.Get(c.Text, place.PixelSize, c.Color);
        if (!image) {
            return;
        }
        const double w = FPixels.width(), h = FPixels.height();
        const QRect& b = place.Box;
        Item item;
        item.Command = &c;
        item.Material = &textMaterial();
        item.Screen = true;
        // The unit square (-0.5..0.5, top row first) onto the box, in clip coordinates.
        TMatrix3D m;
        m.m[0][0] = static_cast<float>(2.0 * b.width() / w);
        m.m[1][1] = static_cast<float>(-2.0 * b.height() / h);
        m.m[2][2] = 0;
        m.m[3][0] = static_cast<float>(2.0 * (b.left() + b.width() / 2.0) / w - 1);
        m.m[3][1] = static_cast<float>(1 - 2.0 * (b.top() + b.height() / 2.0) / h);
        m.m[3][2] = place.DepthNdc;
        item.Matrix = m;
        item.Mesh = &FState.Meshes.Get(FGl, FState.TextQuad);
        item.Texture = FState.Textures.Get(FGl, image);
        item.Translucent = true;
        item.Distance = (c.P1 * c.Matrix).Distance(FView.Eye);
        FItems.push_back(item);
    }

    void addStream(const TDrawCommand& c, GLenum mode, const std::vector<TPoint3D>& points,
                   const TPoint3D& centre) {
        Item item;
        item.Command = &c;
        item.Matrix = c.Matrix;
        item.Mode = mode;
        item.First = static_cast<GLint>(FStream.size() / 3);
        item.Count = static_cast<GLsizei>(points.size());
        for (const TPoint3D& p : points) {
            FStream.insert(FStream.end(), {p.X, p.Y, p.Z});
        }
        item.Translucent = c.Opacity < 0.999f || AlphaOf(c.Color) < 255;
        item.Distance = (centre * c.Matrix).Distance(FView.Eye);
        FItems.push_back(item);
    }

    static std::vector<TPoint3D> wireCube(const TDrawCommand& c) {
        static const int edges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                         {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
        std::vector<TPoint3D> points;
        for (const auto& e : edges) {
            points.push_back(cubeCorner(c, e[0]));
            points.push_back(cubeCorner(c, e[1]));
        }
        return points;
    }

    static std::vector<TPoint3D> solidCube(const TDrawCommand& c) {
        static const int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                        {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
        std::vector<TPoint3D> points;
        for (const auto& f : faces) {
            for (int k : {f[0], f[1], f[2], f[2], f[3], f[0]}) {
                points.push_back(cubeCorner(c, k));
            }
        }
        return points;
    }

    // Opaque items first in scene order, then translucent ones from the farthest to the nearest.
    void orderItems() {
        const auto firstTranslucent =
            std::stable_partition(FItems.begin(), FItems.end(), [](const Item& i) { return !i.Translucent; });
        std::stable_sort(firstTranslucent, FItems.end(),
                         [](const Item& a, const Item& b) { return a.Distance > b.Distance; });
    }

    // --- Drawing ---
    void beginDrawing() {
        FGl.glEnable(GL_DEPTH_TEST);
        FGl.glDepthFunc(GL_LEQUAL);
        FGl.glDisable(GL_CULL_FACE);
        FGl.glEnable(GL_BLEND);
        FGl.glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        FGl.glActiveTexture(GL_TEXTURE0);
    }

    void endDrawing() {
        FGl.glDepthMask(GL_TRUE);
        FGl.glBindVertexArray(0);
        FGl.glBindTexture(GL_TEXTURE_2D, 0);
        FGl.glUseProgram(0);
        FProgram = 0;
    }

    void use(GLuint program) {
        if (program != FProgram) {
            FGl.glUseProgram(program);
            FProgram = program;
        }
    }

    // The mesh program's state that holds for the whole frame: lights, eye, texture unit.
    void setLights(const std::vector<TSceneLight>& lights) {
        const MeshProgram& p = FState.Shaders.Mesh;
        use(p.Id);
        const int count = std::min<int>(static_cast<int>(lights.size()), kMaxLights);
        std::array<GLint, kMaxLights> type{};
        std::array<float, 3 * kMaxLights> color{}, pos{}, dir{};
        std::array<float, kMaxLights> cosCut{}, exponent{};
        for (int i = 0; i < count; ++i) {
            const TSceneLight& l = lights[static_cast<size_t>(i)];
            type[i] = static_cast<GLint>(l.LightType);
            const auto c = rgba(l.Color);
            std::copy(c.begin(), c.begin() + 3, color.begin() + 3 * i);
            const float p3[3] = {l.Position.X, l.Position.Y, l.Position.Z};
            const float d3[3] = {l.Direction.X, l.Direction.Y, l.Direction.Z};
            std::copy(p3, p3 + 3, pos.begin() + 3 * i);
            std::copy(d3, d3 + 3, dir.begin() + 3 * i);
            cosCut[i] = static_cast<float>(std::cos(std::min(l.SpotCutOff, 180.0f) * kDegToRad));
            exponent[i] = l.SpotExponent;
        }
        FGl.glUniform1i(p.LightCount, count);
        FGl.glUniform1iv(p.LightType, kMaxLights, type.data());
        FGl.glUniform3fv(p.LightColor, kMaxLights, color.data());
        FGl.glUniform3fv(p.LightPos, kMaxLights, pos.data());
        FGl.glUniform3fv(p.LightDir, kMaxLights, dir.data());
        FGl.glUniform1fv(p.LightCosCut, kMaxLights, cosCut.data());
        FGl.glUniform1fv(p.LightExp, kMaxLights, exponent.data());
        FGl.glUniform3f(p.Eye, FView.Eye.X, FView.Eye.Y, FView.Eye.Z);
        FGl.glUniform3f(p.EyeDir, FView.EyeDirection.X, FView.EyeDirection.Y, FView.EyeDirection.Z);
        FGl.glUniform1i(p.Texture, 0);
    }

    void drawItem(const Item& item) {
        FGl.glDepthMask(item.Command->ZWrite && !item.Translucent ? GL_TRUE : GL_FALSE);
        if (item.Mesh != nullptr) {
            drawMesh(item);
        } else {
            drawStream(item);
        }
    }

    void drawMesh(const Item& item) {
        const MeshProgram& p = FState.Shaders.Mesh;
        const TMaterial& m = *item.Material;
        use(p.Id);
        const TMatrix3D mvp = item.Screen ? item.Matrix : item.Matrix * FView.ViewProjection;
        FGl.glUniformMatrix4fv(p.MVP, 1, GL_FALSE, glMatrix(mvp));
        FGl.glUniformMatrix4fv(p.Model, 1, GL_FALSE, glMatrix(item.Matrix));
        const auto normals = normalMatrix(item.Matrix);
        FGl.glUniformMatrix3fv(p.NormalMat, 1, GL_FALSE, normals.data());
        FGl.glUniform1i(p.Kind, static_cast<GLint>(m.Kind));
        FGl.glUniform4fv(p.Color, 1, rgba(m.Color).data());
        FGl.glUniform4fv(p.Diffuse, 1, rgba(m.Diffuse).data());
        FGl.glUniform4fv(p.Ambient, 1, rgba(m.Ambient).data());
        FGl.glUniform4fv(p.Emissive, 1, rgba(m.Emissive).data());
        FGl.glUniform4fv(p.Specular, 1, rgba(m.Specular).data());
        FGl.glUniform1f(p.Shininess, static_cast<float>(m.Shininess));
        FGl.glUniform1f(p.Opacity, std::clamp(item.Command->Opacity, 0.0f, 1.0f));
        FGl.glUniform1i(p.HasTexture, item.Texture != nullptr ? 1 : 0);
        FGl.glBindTexture(GL_TEXTURE_2D, item.Texture != nullptr ? item.Texture->Id : 0);
        if (item.Texture != nullptr) {
            // A picture copied pixel for pixel takes each texel as it is; others are filtered.
            const GLint filter = item.Screen ? GL_NEAREST : GL_LINEAR;
            FGl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
            FGl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        }
        FGl.glBindVertexArray(item.Mesh->Vao);
        FGl.glDrawElements(GL_TRIANGLES, item.Mesh->IndexCount, GL_UNSIGNED_INT, nullptr);
    }

    void drawStream(const Item& item) {
        const LineProgram& p = FState.Shaders.Line;
        use(p.Id);
        const TMatrix3D mvp = item.Matrix * FView.ViewProjection;
        FGl.glUniformMatrix4fv(p.MVP, 1, GL_FALSE, glMatrix(mvp));
        auto color = rgba(item.Command->Color);
        color[3] *= std::clamp(item.Command->Opacity, 0.0f, 1.0f);
        FGl.glUniform4fv(p.Color, 1, color.data());
        FGl.glBindVertexArray(FState.Stream.Vao());
        FGl.glDrawArrays(item.Mode, item.First, item.Count);
    }

    QOpenGLFunctions_3_3_Core& FGl;
    GpuState& FState;
    TContext3D FFrame;
    FrameView FView;
    QSize FPixels;
    std::vector<Item> FItems;
    std::vector<float> FStream;
    GLuint FProgram = 0;
};

TMeshData unitQuad() {
    TMeshData q;
    q.VertexBuffer = {{{-0.5f, -0.5f, 0}, {0, 0, -1}, {0, 0}},
                      {{0.5f, -0.5f, 0}, {0, 0, -1}, {1, 0}},
                      {{0.5f, 0.5f, 0}, {0, 0, -1}, {1, 1}},
                      {{-0.5f, 0.5f, 0}, {0, 0, -1}, {0, 1}}};
    q.IndexBuffer = {0, 1, 2, 2, 3, 0};
    return q;
}

} // namespace

TScreenText PlaceScreenText(const TDrawCommand& Text, const TMatrix3D& ViewProjection, QSize Pixels) {
    TScreenText place;
    double cx = 0, cy = 0, cz = 0, rx = 0, ry = 0, bx = 0, by = 0, unused = 0;
    const TPoint3D c = Text.P1 * Text.Matrix;
    const TPoint3D right = (Text.P1 + TPoint3D(Text.P2.X / 2, 0, 0)) * Text.Matrix;
    const TPoint3D below = (Text.P1 + TPoint3D(0, Text.P2.Y / 2, 0)) * Text.Matrix;
    if (!toPixels(c, ViewProjection, Pixels, cx, cy, cz) ||
        !toPixels(right, ViewProjection, Pixels, rx, ry, unused) ||
        !toPixels(below, ViewProjection, Pixels, bx, by, unused)) {
        return place;
    }
    // Half the plane along its width and along its height, on the picture.
    const double ux = rx - cx, uy = ry - cy, vx = bx - cx, vy = by - cy;
    place.PlaneHeight = 2 * std::hypot(vx, vy);
    constexpr double kSquare = 0.02; // about one degree
    place.Facing = ux > 0 && vy > 0 && std::abs(uy) <= kSquare * ux && std::abs(vx) <= kSquare * vy;
    if (!place.Facing) {
        return place;
    }
    const QString text = QString::fromStdString(Text.Text);
    place.PixelSize = FittingTextPixelSize(text, 2 * ux, 2 * vy, kMinTextPixels);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(place.PixelSize);
    const QFontMetricsF metrics(font);
    const int w = std::max(1, static_cast<int>(std::ceil(metrics.horizontalAdvance(text)))) + 2;
    const int h = std::max(1, static_cast<int>(std::ceil(metrics.height())));
    place.Box =
        QRect(static_cast<int>(std::lround(cx - w / 2.0)), static_cast<int>(std::lround(cy - h / 2.0)), w, h);
    place.DepthNdc = static_cast<float>(cz);
    return place;
}

void StreamBuffer::Create(QOpenGLFunctions_3_3_Core& gl) {
    gl.glGenVertexArrays(1, &FVao);
    gl.glGenBuffers(1, &FVbo);
    gl.glBindVertexArray(FVao);
    gl.glBindBuffer(GL_ARRAY_BUFFER, FVbo);
    gl.glEnableVertexAttribArray(kPositionAttribute);
    gl.glVertexAttribPointer(kPositionAttribute, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    gl.glBindVertexArray(0);
}

void StreamBuffer::Release(QOpenGLFunctions_3_3_Core& gl) {
    gl.glDeleteVertexArrays(1, &FVao);
    gl.glDeleteBuffers(1, &FVbo);
    FVao = 0;
    FVbo = 0;
}

void StreamBuffer::Write(QOpenGLFunctions_3_3_Core& gl, const std::vector<float>& Positions) {
    if (Positions.empty()) {
        return;
    }
    gl.glBindBuffer(GL_ARRAY_BUFFER, FVbo);
    gl.glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(Positions.size() * sizeof(float)),
                    Positions.data(), GL_STREAM_DRAW);
}

GpuState::GpuState() : TextQuad(unitQuad()) {}

bool GpuState::Create(QOpenGLFunctions_3_3_Core& gl) {
    if (!Shaders.Create(gl)) {
        return false;
    }
    Stream.Create(gl);
    return true;
}

void GpuState::Release(QOpenGLFunctions_3_3_Core& gl) {
    Meshes.Release(gl);
    Textures.Release(gl);
    Texts.Clear();
    Stream.Release(gl);
    Shaders.Release(gl);
}

void ClearFrame(QSize Pixels, TAlphaColor Background) {
    QOpenGLFunctions* f = QOpenGLContext::currentContext()->functions();
    f->glViewport(0, 0, Pixels.width(), Pixels.height());
    f->glClearColor(RedOf(Background) / 255.0f, GreenOf(Background) / 255.0f, BlueOf(Background) / 255.0f,
                    1.0f);
    f->glClearDepthf(1.0f);
    f->glDepthMask(GL_TRUE);
    f->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void DrawFrame(QOpenGLFunctions_3_3_Core& gl, GpuState& State, TViewport3D& Viewport, QSize Pixels) {
    FrameDrawer(gl, State).Draw(Viewport, Pixels);
    FreeLeftovers(gl, State);
}

void FreeLeftovers(QOpenGLFunctions_3_3_Core& gl, GpuState& State) {
    State.Texts.EndFrame();
    State.Textures.FreeOrphans(gl);
    State.Meshes.FreeOrphans(gl);
}

} // namespace vendrel::gl
