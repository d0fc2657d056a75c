#pragma once
// The renderer's two shader programs and their uniform locations, looked up once at link time.
//
// The mesh program draws triangles: unlit colour, lit (per pixel, up to kMaxLights lights, seen from
// both sides) or unlit texture, with the drawing opacity applied last. The line program draws lines
// and boxes in one colour.

#include <QOpenGLFunctions_3_3_Core>

namespace vendrel::gl {

constexpr int kMaxLights = 8;

// Vertex attributes of every mesh on the card: position, normal, texture coordinate.
constexpr GLuint kPositionAttribute = 0;
constexpr GLuint kNormalAttribute = 1;
constexpr GLuint kTexCoordAttribute = 2;

struct MeshProgram {
    GLuint Id = 0;
    GLint MVP = -1;
    GLint Model = -1;
    GLint NormalMat = -1;
    GLint Kind = -1;
    GLint Color = -1;
    GLint Diffuse = -1;
    GLint Ambient = -1;
    GLint Emissive = -1;
    GLint Specular = -1;
    GLint Shininess = -1;
    GLint HasTexture = -1;
    GLint Texture = -1;
    GLint Opacity = -1;
    GLint Eye = -1;
    GLint EyeDir = -1;
    GLint LightCount = -1;
    GLint LightType = -1;
    GLint LightColor = -1;
    GLint LightPos = -1;
    GLint LightDir = -1;
    GLint LightCosCut = -1;
    GLint LightExp = -1;
};

struct LineProgram {
    GLuint Id = 0;
    GLint MVP = -1;
    GLint Color = -1;
};

struct Programs {
    MeshProgram Mesh;
    LineProgram Line;

    // Compiles and links both programs in the current context; false (with a warning) when either
    // fails, leaving nothing allocated.
    bool Create(QOpenGLFunctions_3_3_Core& gl);
    void Release(QOpenGLFunctions_3_3_Core& gl);
};

} // namespace vendrel::gl
