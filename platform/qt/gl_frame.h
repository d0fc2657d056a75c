#pragma once
// One frame of the renderer and what the renderer keeps in its context to draw it.

#include "platform/core/mesh.h"
#include "platform/qt/gl_programs.h"
#include "platform/qt/gl_resources.h"

#include <QOpenGLFunctions_3_3_Core>
#include <QRect>
#include <QSize>

#include <vector>

namespace vendrel {
class TViewport3D;
struct TDrawCommand;
} // namespace vendrel

namespace vendrel::gl {

// The buffer that takes each frame's lines and boxes (positions only), written once per frame.
class StreamBuffer {
public:
    void Create(QOpenGLFunctions_3_3_Core& gl);
    void Release(QOpenGLFunctions_3_3_Core& gl);
    void Write(QOpenGLFunctions_3_3_Core& gl, const std::vector<float>& Positions);
    GLuint Vao() const { return FVao; }

private:
    GLuint FVao = 0;
    GLuint FVbo = 0;
};

// Everything the renderer keeps in its context.
struct GpuState {
    GpuState();

    Programs Shaders;
    GpuMeshes Meshes;
    GpuTextures Textures;
    TextImages Texts;
    StreamBuffer Stream;
    // A unit square in the XY plane about the origin, (0, 0) texture corner at (-0.5, -0.5): each text
    // request draws it scaled to its plane.
    TMeshData TextQuad;

    // False (nothing allocated) when the programs do not build.
    bool Create(QOpenGLFunctions_3_3_Core& gl);
    void Release(QOpenGLFunctions_3_3_Core& gl);
};

// How a text request lies on a picture of Pixels: when its plane faces the camera square, upright and
// unmirrored (plan views), it is drawn at its own pixel size, its picture copied pixel for pixel into
// Box; otherwise it is drawn on its plane in the scene.
struct TScreenText {
    bool Facing = false;
    int PixelSize = 0;      // the font's pixel size: the largest at which the text fits its plane's box
    QRect Box;              // the picture's pixels, top-left on whole pixels
    float DepthNdc = 0;     // the plane centre's depth, -1 (near) to 1 (far)
    double PlaneHeight = 0; // the plane's height on the picture in pixels
};
// The smallest font drawn: digits smaller than this lose their strokes.
inline constexpr int kMinTextPixels = 8;
TScreenText PlaceScreenText(const TDrawCommand& Text, const TMatrix3D& ViewProjection, QSize Pixels);

// Clears the framebuffer over Pixels to the given colour; needs only OpenGL ES 2 functions.
void ClearFrame(QSize Pixels, TAlphaColor Background);

// Draws the viewport's frame into the bound framebuffer over Pixels and then frees the copies of
// objects that were freed.
void DrawFrame(QOpenGLFunctions_3_3_Core& gl, GpuState& State, TViewport3D& Viewport, QSize Pixels);

// Frees the copies of freed objects and the pictures of texts no longer drawn.
void FreeLeftovers(QOpenGLFunctions_3_3_Core& gl, GpuState& State);

} // namespace vendrel::gl
