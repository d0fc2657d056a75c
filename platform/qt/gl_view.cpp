#include "platform/qt/gl_view.h"

#include "platform/core/camera.h"
#include "platform/core/context3d.h"
#include "platform/core/mesh.h"
#include "platform/core/viewport3d.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPainter>
#include <QSurfaceFormat>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

namespace vendrel {

namespace {

constexpr int kMaxLights = 8;

const char* const kMeshVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUV;
uniform mat4 uMVP;
uniform mat4 uModel;
uniform mat3 uNormalMat;
out vec3 vPos;
out vec3 vNormal;
out vec2 vUV;
void main() {
    vPos = (uModel * vec4(aPos, 1.0)).xyz;
    vNormal = uNormalMat * aNormal;
    vUV = aUV;
    gl_Position = uMVP * vec4(aPos, 1.0);
}
)";

// Kinds: 0 colour (unlit), 1 light material (lit), 2 texture (unlit).
const char* const kMeshFragmentShader = R"(#version 330 core
in vec3 vPos;
in vec3 vNormal;
in vec2 vUV;
uniform int uKind;
uniform vec4 uColor;
uniform vec4 uDiffuse;
uniform vec4 uAmbient;
uniform vec4 uEmissive;
uniform vec4 uSpecular;
uniform float uShininess;
uniform bool uHasTexture;
uniform sampler2D uTexture;
uniform float uOpacity;
uniform vec3 uEye;
uniform vec3 uEyeDir;
uniform int uLightCount;
uniform int uLightType[8];
uniform vec3 uLightColor[8];
uniform vec3 uLightPos[8];
uniform vec3 uLightDir[8];
uniform float uLightCosCut[8];
uniform float uLightExp[8];
out vec4 fragColor;
void main() {
    vec4 base;
    if (uKind == 0) {
        base = uColor;
    } else if (uKind == 2) {
        base = uHasTexture ? texture(uTexture, vUV) : vec4(1.0);
    } else {
        vec4 diffuse = uHasTexture ? texture(uTexture, vUV) : uDiffuse;
        vec3 ambient = uHasTexture ? diffuse.rgb * 0.3 : uAmbient.rgb;
        vec3 V = normalize(uEye - vPos);
        vec3 N = length(vNormal) > 1e-6 ? normalize(vNormal) : V;
        if (dot(N, V) < 0.0) N = -N;
        vec3 color = uEmissive.rgb + ambient;
        int count = uLightCount;
        for (int i = 0; i < 8; ++i) {
            if (i >= max(count, 1)) break;
            vec3 L;
            vec3 lightColor;
            float attenuation = 1.0;
            if (count == 0) {
                // No light in the scene: a white light from the eye.
                L = -uEyeDir;
                lightColor = vec3(1.0);
            } else {
                lightColor = uLightColor[i];
                if (uLightType[i] == 0) {
                    L = -normalize(uLightDir[i]);
                } else {
                    L = normalize(uLightPos[i] - vPos);
                    if (uLightType[i] == 2) {
                        float c = dot(-L, normalize(uLightDir[i]));
                        attenuation = c < uLightCosCut[i] ? 0.0 : pow(max(c, 0.0), uLightExp[i]);
                    }
                }
            }
            float d = max(dot(N, L), 0.0);
            color += attenuation * d * lightColor * diffuse.rgb;
            if (d > 0.0 && uShininess > 0.0) {
                float s = pow(max(dot(reflect(-L, N), V), 0.0), uShininess);
                color += attenuation * s * lightColor * uSpecular.rgb;
            }
        }
        base = vec4(min(color, vec3(1.0)), diffuse.a);
    }
    fragColor = vec4(base.rgb, base.a * uOpacity);
}
)";

const char* const kLineVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPos;
uniform mat4 uMVP;
void main() { gl_Position = uMVP * vec4(aPos, 1.0); }
)";

const char* const kLineFragmentShader = R"(#version 330 core
uniform vec4 uColor;
out vec4 fragColor;
void main() { fragColor = uColor; }
)";

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

bool hasTransparentPixels(const TBitmap& b) {
    return std::any_of(b.Pixels().begin(), b.Pixels().end(), [](TAlphaColor c) { return AlphaOf(c) < 255; });
}

TShiftState shiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    TShiftState s;
    s.Shift = mods.testFlag(Qt::ShiftModifier);
    s.Alt = mods.testFlag(Qt::AltModifier);
    s.Ctrl = mods.testFlag(Qt::ControlModifier);
    s.Left = buttons.testFlag(Qt::LeftButton);
    s.Right = buttons.testFlag(Qt::RightButton);
    s.Middle = buttons.testFlag(Qt::MiddleButton);
    return s;
}

bool buttonOf(Qt::MouseButton b, TMouseButton& out) {
    switch (b) {
    case Qt::LeftButton:
        out = TMouseButton::mbLeft;
        return true;
    case Qt::RightButton:
        out = TMouseButton::mbRight;
        return true;
    case Qt::MiddleButton:
        out = TMouseButton::mbMiddle;
        return true;
    default:
        return false;
    }
}

TMeshData unitQuad(float w, float h) {
    TMeshData q;
    q.VertexBuffer = {{{-w / 2, -h / 2, 0}, {0, 0, -1}, {0, 0}},
                      {{w / 2, -h / 2, 0}, {0, 0, -1}, {1, 0}},
                      {{w / 2, h / 2, 0}, {0, 0, -1}, {1, 1}},
                      {{-w / 2, h / 2, 0}, {0, 0, -1}, {0, 1}}};
    q.IndexBuffer = {0, 1, 2, 2, 3, 0};
    return q;
}

} // namespace

struct TGLView::Gpu {
    GLuint meshProgram = 0;
    GLuint lineProgram = 0;
    GLuint vao = 0;
    GLuint vbo = 0;
    GLuint ebo = 0;

    struct Texture {
        std::weak_ptr<const TBitmap> image;
        GLuint id = 0;
        bool translucent = false;
        bool used = false;
    };
    std::unordered_map<const TBitmap*, Texture> textures;

    struct Text {
        std::shared_ptr<const TBitmap> image;
        bool used = false;
    };
    std::unordered_map<std::string, Text> texts;

    std::vector<float> vertices;
    std::vector<GLuint> indices;
};

TGLView::TGLView(QWidget* parent) : QOpenGLWidget(parent) {
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    format.setAlphaBufferSize(8);
    setFormat(format);
    setMouseTracking(true);
}

TGLView::~TGLView() {
    SetViewport(nullptr);
    if (gpu_) {
        makeCurrent();
        releaseGpu();
        doneCurrent();
    }
}

void TGLView::SetViewport(TViewport3D* viewport) {
    if (viewport_ != nullptr) {
        viewport_->OnInvalidate = nullptr;
    }
    viewport_ = viewport;
    if (viewport_ != nullptr) {
        viewport_->SetViewSize(static_cast<float>(width()), static_cast<float>(height()));
        viewport_->OnInvalidate = [this] { update(); };
    }
    update();
}

void TGLView::RayAt(const QPointF& pos, TPoint3D& rayPos, TPoint3D& rayDir) const {
    if (viewport_ == nullptr) {
        rayPos = {};
        rayDir = {0, 0, 1};
        return;
    }
    viewport_->Camera()->ScreenToRay(static_cast<float>(pos.x()), static_cast<float>(pos.y()),
                                     static_cast<float>(width()), static_cast<float>(height()), rayPos,
                                     rayDir);
}

namespace {

GLuint compileProgram(QOpenGLFunctions_3_3_Core& gl, const char* vs, const char* fs) {
    const auto compile = [&gl](GLenum type, const char* src) -> GLuint {
        const GLuint s = gl.glCreateShader(type);
        gl.glShaderSource(s, 1, &src, nullptr);
        gl.glCompileShader(s);
        GLint ok = 0;
        gl.glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
        if (!ok) {
            char log[1024] = {};
            gl.glGetShaderInfoLog(s, sizeof log, nullptr, log);
            qWarning("Shader compilation failed: %s", log);
            gl.glDeleteShader(s);
            return 0;
        }
        return s;
    };
    const GLuint v = compile(GL_VERTEX_SHADER, vs);
    const GLuint f = compile(GL_FRAGMENT_SHADER, fs);
    if (v == 0 || f == 0) {
        return 0;
    }
    const GLuint p = gl.glCreateProgram();
    gl.glAttachShader(p, v);
    gl.glAttachShader(p, f);
    gl.glLinkProgram(p);
    gl.glDeleteShader(v);
    gl.glDeleteShader(f);
    GLint ok = 0;
    gl.glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) {
        gl.glDeleteProgram(p);
        return 0;
    }
    return p;
}

} // namespace

void TGLView::initializeGL() {
    ready_ = false;
    if (!initializeOpenGLFunctions()) {
        qWarning("OpenGL 3.3 core functions are not available");
        return;
    }
    gpu_ = std::make_unique<Gpu>();
    gpu_->meshProgram = compileProgram(*this, kMeshVertexShader, kMeshFragmentShader);
    gpu_->lineProgram = compileProgram(*this, kLineVertexShader, kLineFragmentShader);
    if (gpu_->meshProgram == 0 || gpu_->lineProgram == 0) {
        return;
    }
    glGenVertexArrays(1, &gpu_->vao);
    glGenBuffers(1, &gpu_->vbo);
    glGenBuffers(1, &gpu_->ebo);
    ready_ = true;
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        makeCurrent();
        releaseGpu();
        doneCurrent();
    });
}

void TGLView::releaseGpu() {
    if (!gpu_) {
        return;
    }
    for (auto& [key, t] : gpu_->textures) {
        glDeleteTextures(1, &t.id);
    }
    if (gpu_->vao != 0) {
        glDeleteVertexArrays(1, &gpu_->vao);
        glDeleteBuffers(1, &gpu_->vbo);
        glDeleteBuffers(1, &gpu_->ebo);
    }
    if (gpu_->meshProgram != 0) {
        glDeleteProgram(gpu_->meshProgram);
    }
    if (gpu_->lineProgram != 0) {
        glDeleteProgram(gpu_->lineProgram);
    }
    gpu_.reset();
    ready_ = false;
}

void TGLView::resizeGL(int w, int h) {
    if (viewport_ != nullptr) {
        viewport_->SetViewSize(static_cast<float>(w), static_cast<float>(h));
    }
}

void TGLView::paintGL() {
    const QColor background =
        viewport_ != nullptr ? QColor::fromRgba(viewport_->Color) : QColor::fromRgba(0xFF2B2B2B);
    if (!ready_) {
        if (auto* f = context() ? context()->functions() : nullptr) {
            f->glClearColor(background.redF(), background.greenF(), background.blueF(), 1.0f);
            f->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }
        return;
    }
    glClearColor(background.redF(), background.greenF(), background.blueF(), 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (viewport_ == nullptr) {
        return;
    }
    Gpu& g = *gpu_;
    viewport_->SetViewSize(static_cast<float>(width()), static_cast<float>(height()));
    TContext3D frame;
    viewport_->BuildFrame(frame);
    const std::vector<TSceneLight> lights = viewport_->Lights();
    const TCamera* camera = viewport_->Camera();
    const TMatrix3D viewProj =
        camera->ViewProjectionMatrix(static_cast<float>(width()), static_cast<float>(height()));
    const TPoint3D eye = camera->AbsolutePosition();
    const TPoint3D eyeDir = camera->LocalToAbsoluteDirection({0, 0, 1}).Normalize();

    for (auto& [key, t] : g.textures) {
        t.used = false;
    }
    for (auto& [key, t] : g.texts) {
        t.used = false;
    }

    // Text requests become textured quads; their meshes live until the end of the frame.
    std::vector<std::unique_ptr<TMeshData>> textMeshes;
    std::vector<TDrawCommand> extra;
    for (const TDrawCommand& c : frame.Commands()) {
        if (c.Kind != TDrawKind::dkText || c.Text.empty()) {
            continue;
        }
        const std::string key =
            c.Text + '\x1f' + std::to_string(c.FontSize) + '\x1f' + std::to_string(c.Color);
        auto& entry = g.texts[key];
        if (!entry.image) {
            QFont font(QStringLiteral("Liberation Sans"));
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(c.FontSize))));
            const QString text = QString::fromStdString(c.Text);
            const QFontMetricsF metrics(font);
            QImage image(std::max(1, static_cast<int>(std::ceil(metrics.horizontalAdvance(text)))) + 2,
                         std::max(1, static_cast<int>(std::ceil(metrics.height()))), QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setFont(font);
            painter.setPen(QColor::fromRgba(c.Color));
            painter.drawText(image.rect(), Qt::AlignCenter, text);
            painter.end();
            auto bitmap = std::make_shared<TBitmap>(image.width(), image.height());
            for (int y = 0; y < image.height(); ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                std::copy(row, row + image.width(),
                          bitmap->Pixels().begin() + static_cast<size_t>(y) * image.width());
            }
            entry.image = bitmap;
        }
        entry.used = true;
        auto mesh = std::make_unique<TMeshData>(unitQuad(c.P2.X, c.P2.Y));
        for (auto& v : mesh->VertexBuffer) {
            v.Position += c.P1;
        }
        TDrawCommand quad = c;
        quad.Kind = TDrawKind::dkTriangles;
        quad.Mesh = mesh.get();
        quad.Material.Kind = TMaterialKind::mkTexture;
        quad.Material.Texture = entry.image;
        extra.push_back(quad);
        textMeshes.push_back(std::move(mesh));
    }

    const auto textureOf = [&](const std::shared_ptr<const TBitmap>& image) -> Gpu::Texture* {
        if (!image || image->IsEmpty()) {
            return nullptr;
        }
        auto it = g.textures.find(image.get());
        if (it != g.textures.end() && it->second.image.lock() != image) {
            glDeleteTextures(1, &it->second.id);
            g.textures.erase(it);
            it = g.textures.end();
        }
        if (it == g.textures.end()) {
            Gpu::Texture t;
            t.image = image;
            t.translucent = hasTransparentPixels(*image);
            glGenTextures(1, &t.id);
            glBindTexture(GL_TEXTURE_2D, t.id);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            // Our ARGB words are B, G, R, A bytes in memory on a little-endian machine.
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image->Width(), image->Height(), 0, GL_BGRA,
                         GL_UNSIGNED_BYTE, image->Pixels().data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            it = g.textures.emplace(image.get(), t).first;
        }
        it->second.used = true;
        return &it->second;
    };

    struct Item {
        const TDrawCommand* cmd;
        bool translucent;
        double distance;
    };
    std::vector<Item> items;
    const auto addItem = [&](const TDrawCommand& c) {
        if (c.Kind == TDrawKind::dkText) {
            return;
        }
        bool translucent = c.Opacity < 0.999f;
        TPoint3D centre = c.P1;
        if (c.Kind == TDrawKind::dkTriangles) {
            const TMaterial& m = c.Material;
            const TAlphaColor own = m.Kind == TMaterialKind::mkColor ? m.Color : m.Diffuse;
            if (m.Kind != TMaterialKind::mkTexture && !(m.IsLit() && m.Texture) && AlphaOf(own) < 255) {
                translucent = true;
            }
            if (Gpu::Texture* t = textureOf(m.Texture)) {
                translucent = translucent || t->translucent;
            }
            centre = c.Mesh->BoundingBox().Center();
        } else {
            translucent = translucent || AlphaOf(c.Color) < 255;
            if (c.Kind == TDrawKind::dkLine) {
                centre = (c.P1 + c.P2) * 0.5f;
            }
        }
        items.push_back({&c, translucent, (centre * c.Matrix).Distance(eye)});
    };
    for (const TDrawCommand& c : frame.Commands()) {
        addItem(c);
    }
    for (const TDrawCommand& c : extra) {
        addItem(c);
    }
    std::stable_partition(items.begin(), items.end(), [](const Item& i) { return !i.translucent; });
    const auto firstTranslucent =
        std::find_if(items.begin(), items.end(), [](const Item& i) { return i.translucent; });
    std::stable_sort(firstTranslucent, items.end(),
                     [](const Item& a, const Item& b) { return a.distance > b.distance; });

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glBindVertexArray(g.vao);
    glBindBuffer(GL_ARRAY_BUFFER, g.vbo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, g.ebo);

    // Mesh program state that holds for the whole frame.
    glUseProgram(g.meshProgram);
    const auto uniform = [&](GLuint program, const char* name) {
        return glGetUniformLocation(program, name);
    };
    const int lightCount = std::min<int>(static_cast<int>(lights.size()), kMaxLights);
    {
        std::array<GLint, kMaxLights> type{};
        std::array<float, 3 * kMaxLights> color{}, pos{}, dir{};
        std::array<float, kMaxLights> cosCut{}, exponent{};
        for (int i = 0; i < lightCount; ++i) {
            const TSceneLight& l = lights[static_cast<size_t>(i)];
            type[i] = static_cast<GLint>(l.LightType);
            const auto c = rgba(l.Color);
            for (int k = 0; k < 3; ++k) {
                color[3 * i + k] = c[k];
            }
            pos[3 * i] = l.Position.X;
            pos[3 * i + 1] = l.Position.Y;
            pos[3 * i + 2] = l.Position.Z;
            dir[3 * i] = l.Direction.X;
            dir[3 * i + 1] = l.Direction.Y;
            dir[3 * i + 2] = l.Direction.Z;
            cosCut[i] = static_cast<float>(std::cos(std::min(l.SpotCutOff, 180.0f) * kDegToRad));
            exponent[i] = l.SpotExponent;
        }
        glUniform1i(uniform(g.meshProgram, "uLightCount"), lightCount);
        glUniform1iv(uniform(g.meshProgram, "uLightType"), kMaxLights, type.data());
        glUniform3fv(uniform(g.meshProgram, "uLightColor"), kMaxLights, color.data());
        glUniform3fv(uniform(g.meshProgram, "uLightPos"), kMaxLights, pos.data());
        glUniform3fv(uniform(g.meshProgram, "uLightDir"), kMaxLights, dir.data());
        glUniform1fv(uniform(g.meshProgram, "uLightCosCut"), kMaxLights, cosCut.data());
        glUniform1fv(uniform(g.meshProgram, "uLightExp"), kMaxLights, exponent.data());
        glUniform3f(uniform(g.meshProgram, "uEye"), eye.X, eye.Y, eye.Z);
        glUniform3f(uniform(g.meshProgram, "uEyeDir"), eyeDir.X, eyeDir.Y, eyeDir.Z);
        glUniform1i(uniform(g.meshProgram, "uTexture"), 0);
    }

    const auto drawTriangles = [&](const TDrawCommand& c) {
        const TMeshData& mesh = *c.Mesh;
        g.vertices.clear();
        g.vertices.reserve(mesh.VertexBuffer.size() * 8);
        for (const TMeshVertex& v : mesh.VertexBuffer) {
            g.vertices.insert(g.vertices.end(), {v.Position.X, v.Position.Y, v.Position.Z, v.Normal.X,
                                                 v.Normal.Y, v.Normal.Z, v.TexCoord0.U, v.TexCoord0.V});
        }
        g.indices.clear();
        for (int k = 0; k < mesh.TriangleCount(); ++k) {
            if (mesh.IsValidTriangle(k)) {
                for (int j = 0; j < 3; ++j) {
                    g.indices.push_back(
                        static_cast<GLuint>(mesh.IndexBuffer[static_cast<size_t>(3 * k + j)]));
                }
            }
        }
        if (g.indices.empty()) {
            return;
        }
        glUseProgram(g.meshProgram);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(g.vertices.size() * sizeof(float)),
                     g.vertices.data(), GL_STREAM_DRAW);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(g.indices.size() * sizeof(GLuint)),
                     g.indices.data(), GL_STREAM_DRAW);
        glEnableVertexAttribArray(0);
        glEnableVertexAttribArray(1);
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 8 * sizeof(float), nullptr);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 8 * sizeof(float),
                              reinterpret_cast<const void*>(3 * sizeof(float)));
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 8 * sizeof(float),
                              reinterpret_cast<const void*>(6 * sizeof(float)));
        const TMatrix3D mvp = c.Matrix * viewProj;
        glUniformMatrix4fv(uniform(g.meshProgram, "uMVP"), 1, GL_FALSE, glMatrix(mvp));
        glUniformMatrix4fv(uniform(g.meshProgram, "uModel"), 1, GL_FALSE, glMatrix(c.Matrix));
        const auto nm = normalMatrix(c.Matrix);
        glUniformMatrix3fv(uniform(g.meshProgram, "uNormalMat"), 1, GL_FALSE, nm.data());
        const TMaterial& m = c.Material;
        glUniform1i(uniform(g.meshProgram, "uKind"), static_cast<GLint>(m.Kind));
        glUniform4fv(uniform(g.meshProgram, "uColor"), 1, rgba(m.Color).data());
        glUniform4fv(uniform(g.meshProgram, "uDiffuse"), 1, rgba(m.Diffuse).data());
        glUniform4fv(uniform(g.meshProgram, "uAmbient"), 1, rgba(m.Ambient).data());
        glUniform4fv(uniform(g.meshProgram, "uEmissive"), 1, rgba(m.Emissive).data());
        glUniform4fv(uniform(g.meshProgram, "uSpecular"), 1, rgba(m.Specular).data());
        glUniform1f(uniform(g.meshProgram, "uShininess"), static_cast<float>(m.Shininess));
        glUniform1f(uniform(g.meshProgram, "uOpacity"), std::clamp(c.Opacity, 0.0f, 1.0f));
        Gpu::Texture* texture = m.Kind != TMaterialKind::mkColor ? textureOf(m.Texture) : nullptr;
        glUniform1i(uniform(g.meshProgram, "uHasTexture"), texture != nullptr ? 1 : 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->id : 0);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(g.indices.size()), GL_UNSIGNED_INT, nullptr);
        glDisableVertexAttribArray(1);
        glDisableVertexAttribArray(2);
    };

    const auto drawPlain = [&](const TDrawCommand& c, GLenum mode, const std::vector<float>& points) {
        glUseProgram(g.lineProgram);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size() * sizeof(float)), points.data(),
                     GL_STREAM_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
        const TMatrix3D mvp = c.Matrix * viewProj;
        glUniformMatrix4fv(uniform(g.lineProgram, "uMVP"), 1, GL_FALSE, glMatrix(mvp));
        auto color = rgba(c.Color);
        color[3] *= std::clamp(c.Opacity, 0.0f, 1.0f);
        glUniform4fv(uniform(g.lineProgram, "uColor"), 1, color.data());
        glDrawArrays(mode, 0, static_cast<GLsizei>(points.size() / 3));
    };

    const auto cubeCorner = [](const TDrawCommand& c, int i) {
        return TPoint3D(c.P1.X + ((i & 1) ? 0.5f : -0.5f) * c.P2.X,
                        c.P1.Y + ((i & 2) ? 0.5f : -0.5f) * c.P2.Y,
                        c.P1.Z + ((i & 4) ? 0.5f : -0.5f) * c.P2.Z);
    };

    for (const Item& item : items) {
        const TDrawCommand& c = *item.cmd;
        glDepthMask(c.ZWrite && !item.translucent ? GL_TRUE : GL_FALSE);
        switch (c.Kind) {
        case TDrawKind::dkTriangles:
            drawTriangles(c);
            break;
        case TDrawKind::dkLine:
            drawPlain(c, GL_LINES, {c.P1.X, c.P1.Y, c.P1.Z, c.P2.X, c.P2.Y, c.P2.Z});
            break;
        case TDrawKind::dkWireCube: {
            static const int edges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                             {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
            std::vector<float> pts;
            for (const auto& e : edges) {
                for (int k : e) {
                    const TPoint3D p = cubeCorner(c, k);
                    pts.insert(pts.end(), {p.X, p.Y, p.Z});
                }
            }
            drawPlain(c, GL_LINES, pts);
            break;
        }
        case TDrawKind::dkSolidCube: {
            static const int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                            {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
            std::vector<float> pts;
            for (const auto& f : faces) {
                for (int k : {f[0], f[1], f[2], f[2], f[3], f[0]}) {
                    const TPoint3D p = cubeCorner(c, k);
                    pts.insert(pts.end(), {p.X, p.Y, p.Z});
                }
            }
            drawPlain(c, GL_TRIANGLES, pts);
            break;
        }
        case TDrawKind::dkText:
            break;
        }
    }
    glDepthMask(GL_TRUE);
    glBindVertexArray(0);
    glUseProgram(0);

    // Forget images no longer drawn.
    for (auto it = g.textures.begin(); it != g.textures.end();) {
        if (!it->second.used) {
            glDeleteTextures(1, &it->second.id);
            it = g.textures.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = g.texts.begin(); it != g.texts.end();) {
        it = it->second.used ? std::next(it) : g.texts.erase(it);
    }
}

void TGLView::mousePressEvent(QMouseEvent* event) {
    TMouseButton button;
    if (viewport_ == nullptr || !buttonOf(event->button(), button)) {
        return;
    }
    const QPointF p = event->position();
    viewport_->MouseDown(button, shiftOf(event->modifiers(), event->buttons()), static_cast<float>(p.x()),
                         static_cast<float>(p.y()));
}

void TGLView::mouseMoveEvent(QMouseEvent* event) {
    if (viewport_ == nullptr) {
        return;
    }
    const QPointF p = event->position();
    viewport_->MouseMove(shiftOf(event->modifiers(), event->buttons()), static_cast<float>(p.x()),
                         static_cast<float>(p.y()));
}

void TGLView::mouseReleaseEvent(QMouseEvent* event) {
    TMouseButton button;
    if (viewport_ == nullptr || !buttonOf(event->button(), button)) {
        return;
    }
    const QPointF p = event->position();
    viewport_->MouseUp(button, shiftOf(event->modifiers(), event->buttons()), static_cast<float>(p.x()),
                       static_cast<float>(p.y()));
}

void TGLView::wheelEvent(QWheelEvent* event) {
    if (viewport_ == nullptr) {
        return;
    }
    const QPointF p = event->position();
    viewport_->MouseWheel(shiftOf(event->modifiers(), event->buttons()), event->angleDelta().y(),
                          static_cast<float>(p.x()), static_cast<float>(p.y()));
}

} // namespace vendrel
