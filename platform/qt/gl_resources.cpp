#include "platform/qt/gl_resources.h"

#include "platform/core/context3d.h"
#include "platform/core/mesh.h"
#include "platform/qt/gl_programs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vendrel::gl {

namespace {

constexpr GLsizei kVertexStride = 8 * sizeof(float);

// Positions, normals and texture coordinates, 8 floats per vertex.
std::vector<float> packVertices(const TMeshData& mesh) {
    std::vector<float> out;
    out.reserve(mesh.VertexBuffer.size() * 8);
    for (const TMeshVertex& v : mesh.VertexBuffer) {
        out.insert(out.end(), {v.Position.X, v.Position.Y, v.Position.Z, v.Normal.X, v.Normal.Y, v.Normal.Z,
                               v.TexCoord0.U, v.TexCoord0.V});
    }
    return out;
}

// The indices of the valid triangles: a void triangle is never drawn.
std::vector<GLuint> packIndices(const TMeshData& mesh) {
    std::vector<GLuint> out;
    out.reserve(mesh.IndexBuffer.size());
    for (int k = 0; k < mesh.TriangleCount(); ++k) {
        if (!mesh.IsValidTriangle(k)) {
            continue;
        }
        for (int j = 0; j < 3; ++j) {
            out.push_back(static_cast<GLuint>(mesh.IndexBuffer[static_cast<size_t>(3 * k + j)]));
        }
    }
    return out;
}

bool hasTransparentPixels(const TBitmap& b) {
    return std::any_of(b.Pixels().begin(), b.Pixels().end(), [](TAlphaColor c) { return AlphaOf(c) < 255; });
}

// A bitmap as an image sharing its pixels: our ARGB words are Qt's ARGB32 pixels.
QImage wrap(const TBitmap& b) {
    return QImage(reinterpret_cast<const uchar*>(b.Pixels().data()), b.Width(), b.Height(),
                  static_cast<qsizetype>(b.Width()) * 4, QImage::Format_ARGB32);
}

} // namespace

const GpuMesh& GpuMeshes::Get(QOpenGLFunctions_3_3_Core& gl, const TMeshData& Mesh) {
    auto [it, added] = FEntries.try_emplace(&Mesh);
    GpuMesh& copy = it->second;
    const std::weak_ptr<const void> owner = Mesh.Lifetime();
    // A copy left by a freed mesh at the same address belongs to another object.
    const bool sameObject = !added && copy.Owner.lock() == owner.lock();
    const uint64_t version = Mesh.Version();
    if (!sameObject || copy.Version != version) {
        write(gl, Mesh, copy);
        copy.Owner = owner;
        copy.Version = version;
        ++FUploads;
    }
    return copy;
}

void GpuMeshes::write(QOpenGLFunctions_3_3_Core& gl, const TMeshData& Mesh, GpuMesh& Copy) {
    if (Copy.Vao == 0) {
        gl.glGenVertexArrays(1, &Copy.Vao);
        gl.glGenBuffers(1, &Copy.Vbo);
        gl.glGenBuffers(1, &Copy.Ebo);
        gl.glBindVertexArray(Copy.Vao);
        gl.glBindBuffer(GL_ARRAY_BUFFER, Copy.Vbo);
        gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, Copy.Ebo);
        gl.glEnableVertexAttribArray(kPositionAttribute);
        gl.glEnableVertexAttribArray(kNormalAttribute);
        gl.glEnableVertexAttribArray(kTexCoordAttribute);
        gl.glVertexAttribPointer(kPositionAttribute, 3, GL_FLOAT, GL_FALSE, kVertexStride, nullptr);
        gl.glVertexAttribPointer(kNormalAttribute, 3, GL_FLOAT, GL_FALSE, kVertexStride,
                                 reinterpret_cast<const void*>(3 * sizeof(float)));
        gl.glVertexAttribPointer(kTexCoordAttribute, 2, GL_FLOAT, GL_FALSE, kVertexStride,
                                 reinterpret_cast<const void*>(6 * sizeof(float)));
    } else {
        gl.glBindVertexArray(Copy.Vao);
        gl.glBindBuffer(GL_ARRAY_BUFFER, Copy.Vbo);
    }
    const std::vector<float> vertices = packVertices(Mesh);
    const std::vector<GLuint> indices = packIndices(Mesh);
    gl.glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)),
                    vertices.data(), GL_STATIC_DRAW);
    gl.glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)),
                    indices.data(), GL_STATIC_DRAW);
    gl.glBindVertexArray(0);
    Copy.IndexCount = static_cast<GLsizei>(indices.size());
    Copy.Centre = Mesh.BoundingBox().Center();
}

void GpuMeshes::free(QOpenGLFunctions_3_3_Core& gl, GpuMesh& Copy) {
    gl.glDeleteVertexArrays(1, &Copy.Vao);
    gl.glDeleteBuffers(1, &Copy.Vbo);
    gl.glDeleteBuffers(1, &Copy.Ebo);
    Copy = {};
}

void GpuMeshes::FreeOrphans(QOpenGLFunctions_3_3_Core& gl) {
    for (auto it = FEntries.begin(); it != FEntries.end();) {
        if (it->second.Owner.expired()) {
            free(gl, it->second);
            it = FEntries.erase(it);
        } else {
            ++it;
        }
    }
}

void GpuMeshes::Release(QOpenGLFunctions_3_3_Core& gl) {
    for (auto& [mesh, copy] : FEntries) {
        free(gl, copy);
    }
    FEntries.clear();
}

const GpuTexture* GpuTextures::Get(QOpenGLFunctions_3_3_Core& gl,
                                   const std::shared_ptr<const TBitmap>& Image) {
    if (!Image || Image->IsEmpty()) {
        return nullptr;
    }
    auto [it, added] = FEntries.try_emplace(Image.get());
    GpuTexture& copy = it->second;
    if (added || copy.Image.lock() != Image) {
        write(gl, *Image, copy);
        copy.Image = Image;
        ++FUploads;
    }
    return &copy;
}

void GpuTextures::write(QOpenGLFunctions_3_3_Core& gl, const TBitmap& Image, GpuTexture& Copy) {
    if (Copy.Id == 0) {
        gl.glGenTextures(1, &Copy.Id);
    }
    gl.glBindTexture(GL_TEXTURE_2D, Copy.Id);
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GLint maxSize = 0;
    gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (Image.Width() <= maxSize && Image.Height() <= maxSize) {
        // Our ARGB words are B, G, R, A bytes in memory on a little-endian machine.
        gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, Image.Width(), Image.Height(), 0, GL_BGRA,
                        GL_UNSIGNED_BYTE, Image.Pixels().data());
    } else {
        // The card takes no larger image: a smaller picture beats a black face.
        const QImage fitted = wrap(Image)
                                  .scaled(maxSize, maxSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_ARGB32);
        gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, fitted.width(), fitted.height(), 0, GL_BGRA,
                        GL_UNSIGNED_BYTE, fitted.constBits());
    }
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    Copy.Translucent = hasTransparentPixels(Image);
}

void GpuTextures::FreeOrphans(QOpenGLFunctions_3_3_Core& gl) {
    for (auto it = FEntries.begin(); it != FEntries.end();) {
        if (it->second.Image.expired()) {
            gl.glDeleteTextures(1, &it->second.Id);
            it = FEntries.erase(it);
        } else {
            ++it;
        }
    }
}

void GpuTextures::Release(QOpenGLFunctions_3_3_Core& gl) {
    for (auto& [image, copy] : FEntries) {
        gl.glDeleteTextures(1, &copy.Id);
    }
    FEntries.clear();
}

QImage DrawTextPicture(const QString& Text, int PixelSize, QRgb Color) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(1, PixelSize));
    const QFontMetricsF metrics(font);
    QImage image(std::max(1, static_cast<int>(std::ceil(metrics.horizontalAdvance(Text)))) + 2,
                 std::max(1, static_cast<int>(std::ceil(metrics.height()))), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QColor::fromRgba(Color));
    painter.drawText(image.rect(), Qt::AlignCenter, Text);
    painter.end();
    return image;
}

int FittingTextPixelSize(const QString& Text, double Width, double Height, int MinPixels) {
    // Line height and advance grow in proportion to the pixel size, up to the rounding of hinting:
    // estimate from a large size, then step down until the picture fits.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(100);
    const QFontMetricsF large(font);
    const double perPixelHeight = large.height() / 100.0;
    const double perPixelWidth = std::max(large.horizontalAdvance(Text), 1.0) / 100.0;
    int size = static_cast<int>(std::floor(std::min(Height / perPixelHeight, (Width - 2) / perPixelWidth)));
    size = std::clamp(size, MinPixels, 512);
    while (size > MinPixels) {
        font.setPixelSize(size);
        const QFontMetricsF m(font);
        if (std::ceil(m.height()) <= Height && std::ceil(m.horizontalAdvance(Text)) + 2 <= Width) {
            break;
        }
        --size;
    }
    return size;
}

std::shared_ptr<const TBitmap> TextImages::Get(const TDrawCommand& Text) {
    return Get(Text.Text, static_cast<int>(std::lround(Text.FontSize)), Text.Color);
}

std::shared_ptr<const TBitmap> TextImages::Get(const std::string& Text, int PixelSize, TAlphaColor Color) {
    if (Text.empty()) {
        return nullptr;
    }
    const std::string key = Text + '\x1f' + std::to_string(PixelSize) + '\x1f' + std::to_string(Color);
    Entry& entry = FEntries[key];
    entry.Used = true;
    if (entry.Image) {
        return entry.Image;
    }
    const QImage image = DrawTextPicture(QString::fromStdString(Text), PixelSize, Color);
    auto bitmap = std::make_shared<TBitmap>(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::copy(row, row + image.width(),
                  bitmap->Pixels().begin() + static_cast<ptrdiff_t>(y) * image.width());
    }
    entry.Image = std::move(bitmap);
    return entry.Image;
}

void TextImages::EndFrame() {
    for (auto it = FEntries.begin(); it != FEntries.end();) {
        if (!it->second.Used) {
            it = FEntries.erase(it);
        } else {
            it->second.Used = false;
            ++it;
        }
    }
}

} // namespace vendrel::gl
