#pragma once
// The renderer's copies of meshes and images on the graphics card.
//
// A copy is keyed by the object it copies: a mesh by its address, checked against the mesh's
// lifetime token and version, an image by its address, checked against a weak handle to it. So a
// copy is written when the object is first drawn and again only when it changed (a mesh) or when a
// new object took the address of a freed one; FreeOrphans frees the copies of objects that no longer
// exist. All calls need the owning context current.

#include "platform/core/bitmap.h"
#include "platform/core/geometry3d.h"

#include <QImage>
#include <QOpenGLFunctions_3_3_Core>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace vendrel {
class TMeshData;
struct TDrawCommand;
} // namespace vendrel

namespace vendrel::gl {

struct GpuMesh {
    std::weak_ptr<const void> Owner; // the mesh's lifetime token
    uint64_t Version = 0;
    GLuint Vao = 0;
    GLuint Vbo = 0;
    GLuint Ebo = 0;
    GLsizei IndexCount = 0; // indices of the valid triangles only
    TPoint3D Centre;        // of the mesh's bounding box, for ordering translucent drawing
};

class GpuMeshes {
public:
    // The card's copy of Mesh, written now when it is new or the mesh changed.
    const GpuMesh& Get(QOpenGLFunctions_3_3_Core& gl, const TMeshData& Mesh);
    // Frees the copies of meshes that were freed.
    void FreeOrphans(QOpenGLFunctions_3_3_Core& gl);
    void Release(QOpenGLFunctions_3_3_Core& gl);

    int Count() const { return static_cast<int>(FEntries.size()); }
    // Meshes written to the card so far (also across Release).
    int64_t Uploads() const { return FUploads; }

private:
    void write(QOpenGLFunctions_3_3_Core& gl, const TMeshData& Mesh, GpuMesh& Copy);
    static void free(QOpenGLFunctions_3_3_Core& gl, GpuMesh& Copy);

    std::unordered_map<const TMeshData*, GpuMesh> FEntries;
    int64_t FUploads = 0;
};

struct GpuTexture {
    std::weak_ptr<const TBitmap> Image;
    GLuint Id = 0;
    bool Translucent = false; // some pixel is not fully opaque
};

class GpuTextures {
public:
    // The card's copy of Image (written now when new); nullptr for no image or an empty one. Images
    // in materials never change: a new texture is a new image.
    const GpuTexture* Get(QOpenGLFunctions_3_3_Core& gl, const std::shared_ptr<const TBitmap>& Image);
    void FreeOrphans(QOpenGLFunctions_3_3_Core& gl);
    void Release(QOpenGLFunctions_3_3_Core& gl);

    int Count() const { return static_cast<int>(FEntries.size()); }
    int64_t Uploads() const { return FUploads; }

private:
    void write(QOpenGLFunctions_3_3_Core& gl, const TBitmap& Image, GpuTexture& Copy);

    std::unordered_map<const TBitmap*, GpuTexture> FEntries;
    int64_t FUploads = 0;
};

// The pictures of text requests (text, size and colour), kept as long as they are drawn in every
// frame: a text that a frame no longer draws is forgotten at its end.
// A line of text as the renderer draws it: in Liberation Sans at PixelSize pixels, centred in a picture
// as wide as its advance (plus one pixel each side) and as high as the font's line, on transparent.
QImage DrawTextPicture(const QString& Text, int PixelSize, QRgb Color);

// The largest font pixel size at which Text fits a box of the given pixels (its line height within
// Height, its picture within Width), but never below MinPixels.
int FittingTextPixelSize(const QString& Text, double Width, double Height, int MinPixels);

class TextImages {
public:
    // The picture of a text request at the request's font size; nullptr for an empty text.
    std::shared_ptr<const TBitmap> Get(const TDrawCommand& Text);
    // The picture of a text at a pixel size (DrawTextPicture); nullptr for an empty text.
    std::shared_ptr<const TBitmap> Get(const std::string& Text, int PixelSize, TAlphaColor Color);
    void EndFrame();
    void Clear() { FEntries.clear(); }

private:
    struct Entry {
        std::shared_ptr<const TBitmap> Image;
        bool Used = false;
    };
    std::unordered_map<std::string, Entry> FEntries;
};

} // namespace vendrel::gl
