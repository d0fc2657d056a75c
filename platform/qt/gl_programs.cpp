#include "platform/qt/gl_programs.h"

#include <QtGlobal>

namespace vendrel::gl {

namespace {

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
// A light material sums its emissive and ambient colours and, per light, the diffuse and specular
// light; the sum is clamped per channel. A texture on a light material takes the place of the diffuse
// colour and tints the clamped sum, so a face in full light shows the image's own colours and a face
// turned away from the lights shows them darker, never lighter.
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
        vec4 image = uHasTexture ? texture(uTexture, vUV) : vec4(1.0);
        vec3 diffuse = uHasTexture ? vec3(1.0) : uDiffuse.rgb;
        vec3 V = normalize(uEye - vPos);
        vec3 N = length(vNormal) > 1e-6 ? normalize(vNormal) : V;
        if (dot(N, V) < 0.0) N = -N;
        vec3 color = uEmissive.rgb + uAmbient.rgb;
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
            color += attenuation * d * lightColor * diffuse;
            if (d > 0.0 && uShininess > 0.0) {
                float s = pow(max(dot(reflect(-L, N), V), 0.0), uShininess);
                color += attenuation * s * lightColor * uSpecular.rgb;
            }
        }
        color = clamp(color, 0.0, 1.0) * image.rgb;
        base = vec4(color, uHasTexture ? image.a : uDiffuse.a);
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

GLuint compileShader(QOpenGLFunctions_3_3_Core& gl, GLenum type, const char* source) {
    const GLuint shader = gl.glCreateShader(type);
    gl.glShaderSource(shader, 1, &source, nullptr);
    gl.glCompileShader(shader);
    GLint ok = 0;
    gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        gl.glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        qWarning("Shader compilation failed: %s", log);
        gl.glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint linkProgram(QOpenGLFunctions_3_3_Core& gl, const char* vertexSource, const char* fragmentSource) {
    const GLuint vertex = compileShader(gl, GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = compileShader(gl, GL_FRAGMENT_SHADER, fragmentSource);
    if (vertex == 0 || fragment == 0) {
        gl.glDeleteShader(vertex);
        gl.glDeleteShader(fragment);
        return 0;
    }
    const GLuint program = gl.glCreateProgram();
    gl.glAttachShader(program, vertex);
    gl.glAttachShader(program, fragment);
    gl.glLinkProgram(program);
    gl.glDeleteShader(vertex);
    gl.glDeleteShader(fragment);
    GLint ok = 0;
    gl.glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        gl.glGetProgramInfoLog(program, sizeof log, nullptr, log);
        qWarning("Shader program link failed: %s", log);
        gl.glDeleteProgram(program);
        return 0;
    }
    return program;
}

void locateUniforms(QOpenGLFunctions_3_3_Core& gl, MeshProgram& p) {
    const auto at = [&](const char* name) { return gl.glGetUniformLocation(p.Id, name); };
    p.MVP = at("uMVP");
    p.Model = at("uModel");
    p.NormalMat = at("uNormalMat");
    p.Kind = at("uKind");
    p.Color = at("uColor");
    p.Diffuse = at("uDiffuse");
    p.Ambient = at("uAmbient");
    p.Emissive = at("uEmissive");
    p.Specular = at("uSpecular");
    p.Shininess = at("uShininess");
    p.HasTexture = at("uHasTexture");
    p.Texture = at("uTexture");
    p.Opacity = at("uOpacity");
    p.Eye = at("uEye");
    p.EyeDir = at("uEyeDir");
    p.LightCount = at("uLightCount");
    p.LightType = at("uLightType");
    p.LightColor = at("uLightColor");
    p.LightPos = at("uLightPos");
    p.LightDir = at("uLightDir");
    p.LightCosCut = at("uLightCosCut");
    p.LightExp = at("uLightExp");
}

} // namespace

bool Programs::Create(QOpenGLFunctions_3_3_Core& gl) {
    Mesh.Id = linkProgram(gl, kMeshVertexShader, kMeshFragmentShader);
    Line.Id = linkProgram(gl, kLineVertexShader, kLineFragmentShader);
    if (Mesh.Id == 0 || Line.Id == 0) {
        Release(gl);
        return false;
    }
    locateUniforms(gl, Mesh);
    Line.MVP = gl.glGetUniformLocation(Line.Id, "uMVP");
    Line.Color = gl.glGetUniformLocation(Line.Id, "uColor");
    return true;
}

void Programs::Release(QOpenGLFunctions_3_3_Core& gl) {
    // Deleting program 0 is a no-op.
    gl.glDeleteProgram(Mesh.Id);
    gl.glDeleteProgram(Line.Id);
    Mesh = {};
    Line = {};
}

} // namespace vendrel::gl
