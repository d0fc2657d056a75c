#pragma once
// The OpenGL 3.3 core renderer of a scene graph: draws the frame list of a TViewport3D into the
// framebuffer bound in the current context, or off screen into an image.
//
// Drawing: opaque requests first with depth testing and writing, then translucent ones (opacity or
// material alpha below 1, or a texture with transparent pixels) from the farthest to the nearest with
// blending and without depth writing. Triangles are lit per pixel by the viewport's lights (up to
// eight; a scene without lights gets a white light from the eye) when their material is a light
// material; they are seen from both sides. Lines are one pixel wide. Text requests are drawn as
// textured quads.
//
// Graphics memory: a mesh is written to the card when first drawn and again only when its version
// changes; an image when first drawn (a changed texture is a new image). Lines and boxes go to the
// card anew each frame, all in one buffer. Copies are kept per object and freed at the end of the
// first frame after the object was freed, when the renderer moves to another context, when its
// context is about to be destroyed, and when the renderer is destroyed. Stats() counts the writes.
//
// Contexts: the renderer works in one context at a time: the one current at Render (a view widget's
// context, say), or, for RenderToImage before any Render, a context of its own on an off-screen
// surface. Render in another context first frees the copies kept in the old one. GUI thread only.

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>

namespace vendrel {

class TViewport3D;

struct TGLRenderStats {
    int64_t Frames = 0;         // frames drawn
    int64_t MeshUploads = 0;    // meshes written to the card (new or changed)
    int64_t TextureUploads = 0; // images written to the card (materials' textures and text pictures)
    int MeshesHeld = 0;         // meshes with a copy on the card now
    int TexturesHeld = 0;       // images with a copy on the card now
};

class TGLRenderer {
public:
    TGLRenderer();
    ~TGLRenderer();
    TGLRenderer(const TGLRenderer&) = delete;
    TGLRenderer& operator=(const TGLRenderer&) = delete;

    // Draws the viewport's frame into the framebuffer bound in the current context over PixelSize
    // device pixels (the GL viewport is set to it), through the viewport's camera at the aspect of
    // PixelSize. The viewport's view size (mouse positions) is left as it is. A null viewport clears
    // to the default background. False when no context is current or it lacks OpenGL 3.3 core (the
    // framebuffer is then only cleared).
    bool Render(TViewport3D* Viewport, QSize PixelSize);

    // The viewport's frame drawn off screen into an opaque image of Size pixels, with the viewport's
    // view size set to Size meanwhile. Works in the renderer's context (made current on an off-screen
    // surface if it is not; the caller's current context and framebuffer are restored), or in a
    // context of its own. A null image for an empty size, one beyond what the card can draw, or
    // without OpenGL 3.3 core.
    QImage RenderToImage(TViewport3D& Viewport, QSize Size);

    // Samples per pixel of off-screen images (0: no multisampling). A view host sets its own.
    int Samples() const;
    void SetSamples(int Value);

    // True while the renderer is set up in a context with OpenGL 3.3 core.
    bool IsReady() const;
    TGLRenderStats Stats() const;

private:
    class Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace vendrel
