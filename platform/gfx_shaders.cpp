// The two programs of the device: the scene program, which does what the
// fixed-function pipeline does for the states the engine uses, and the
// present program, which scales the frame into the window through the
// gamma lookup.
#include <cstdio>
#include <string>

#include "platform/gfx_gl.h"

namespace vek::platform::gfx::gl {

// Matrices arrive as row-vector matrices stored row by row; read as GL's
// column-major mat4 that is their transpose, so M * v here equals v * M there.
const char* const g_szSceneVS = R"(#version 330 core
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec4 aTex;

uniform mat4 uWVP;
uniform vec2 uHalfPixel;      // 1 / back-buffer width, 1 / height
uniform int uTexSize;         // floats in the vertex's first texture set (0: none)
uniform bool uTexTransform;
uniform mat4 uTexMatrix;
uniform bool uLighting;
uniform bool uVertexColor;    // the vertex carries a diffuse colour the lighting may use
uniform int uDiffuseSrc;
uniform int uAmbientSrc;
uniform int uEmissiveSrc;
uniform vec4 uMatDiffuse;
uniform vec4 uMatAmbient;
uniform vec4 uMatEmissive;
uniform vec4 uGlobalAmbient;

out vec4 vColor;
out vec2 vTex;

vec4 MaterialSource(int src, vec4 material)
{
    if (src == 1 && uVertexColor) return aColor;
    return material;
}

void main()
{
    vec4 p = uWVP * vec4(aPos, 1.0);
    // Depth 0..1 to -1..1.
    p.z = 2.0 * p.z - p.w;
    // Pixel centres sit on whole coordinates in the engine's convention and
    // on halves here: move everything by half a pixel right and down.
    p.x += p.w * uHalfPixel.x;
    p.y -= p.w * uHalfPixel.y;
    gl_Position = p;

    if (uLighting) {
        // No lights are ever enabled: the lit colour is emissive plus
        // ambient, the alpha the diffuse source's.
        vec4 d = MaterialSource(uDiffuseSrc, uMatDiffuse);
        vec4 a = MaterialSource(uAmbientSrc, uMatAmbient);
        vec4 e = MaterialSource(uEmissiveSrc, uMatEmissive);
        vColor = clamp(vec4(e.rgb + a.rgb * uGlobalAmbient.rgb, d.a), 0.0, 1.0);
    } else {
        vColor = aColor;
    }

    vec4 t;
    if (uTexSize == 1) t = vec4(aTex.x, 1.0, 0.0, 0.0);
    else if (uTexSize == 2) t = vec4(aTex.xy, 1.0, 0.0);
    else if (uTexSize == 3) t = vec4(aTex.xyz, 1.0);
    else t = aTex;
    if (uTexTransform) t = uTexMatrix * t;
    vTex = t.xy;
}
)";

// The fragment program is built for each combination of stage operations,
// alpha test and texture presence that is drawn, with those values as
// constants: a software rasteriser runs every branch of a general program
// for every pixel, a specialised one runs only its own.
static const char* const kSceneFSBody = R"(
in vec4 vColor;
in vec2 vTex;

uniform sampler2D uTex0;
uniform vec4 uTFactor;
uniform int uAlphaRef;    // 0..255

out vec4 oColor;

vec4 Arg(int a, vec4 tex)
{
    int sel = a & 15;
    vec4 v;
    if (sel == 2) v = tex;
    else if (sel == 3) v = uTFactor;
    else if (sel == 4) v = vec4(0.0);
    else v = vColor;   // diffuse, and the current colour of the first stage
    if ((a & 16) != 0) v = vec4(1.0) - v;
    if ((a & 32) != 0) v = v.aaaa;
    return v;
}

vec4 Op(int op, vec4 a, vec4 b)
{
    if (op == 2) return a;
    if (op == 3) return b;
    if (op == 5) return a * b * 2.0;
    if (op == 6) return a * b * 4.0;
    if (op == 7) return a + b;
    if (op == 8) return a + b - 0.5;
    if (op == 9) return (a + b - 0.5) * 2.0;
    if (op == 10) return a - b;
    return a * b;
}

bool Compare(int func, int a, int ref)
{
    if (func == 1) return false;
    if (func == 2) return a < ref;
    if (func == 3) return a == ref;
    if (func == 4) return a <= ref;
    if (func == 5) return a > ref;
    if (func == 6) return a != ref;
    if (func == 7) return a >= ref;
    return true;
}

void main()
{
#if HAS_TEX
    vec4 tex = texture(uTex0, vTex);
#else
    // A stage without a texture reads opaque white.
    vec4 tex = vec4(1.0);
#endif
    vec4 c;
#if COLOR_OP == 1
    c = vColor;
#else
    c.rgb = clamp(Op(COLOR_OP, Arg(COLOR_ARG1, tex), Arg(COLOR_ARG2, tex)).rgb, 0.0, 1.0);
#if ALPHA_OP == 1
    c.a = vColor.a;
#else
    c.a = clamp(Op(ALPHA_OP, Arg(ALPHA_ARG1, tex), Arg(ALPHA_ARG2, tex)).a, 0.0, 1.0);
#endif
#endif
#if ALPHA_FUNC != 0
    if (!Compare(ALPHA_FUNC, int(c.a * 255.0 + 0.5), uAlphaRef)) discard;
#endif
    oColor = c;
}
)";

std::string SceneFragmentSource(const cFragmentKey& k)
{
    char head[512];
    std::snprintf(head, sizeof(head),
                  "#version 330 core\n#define HAS_TEX %d\n#define COLOR_OP %u\n#define COLOR_ARG1 %u\n"
                  "#define COLOR_ARG2 %u\n#define ALPHA_OP %u\n#define ALPHA_ARG1 %u\n"
                  "#define ALPHA_ARG2 %u\n#define ALPHA_FUNC %u\n",
                  k.hasTexture ? 1 : 0, k.ops[0], k.ops[1], k.ops[2], k.ops[3], k.ops[4], k.ops[5],
                  k.alphaFunc);
    return std::string(head) + kSceneFSBody;
}

uint64_t cFragmentKey::Pack() const
{
    uint64_t key = hasTexture ? 1 : 0;
    for (uint32_t op : ops) key = (key << 8) | (op & 0xff);
    return (key << 4) | (alphaFunc & 0xf);
}

const char* const g_szPresentVS = R"(#version 330 core
out vec2 vUV;
void main()
{
    vec2 p = vec2((gl_VertexID & 1) != 0 ? 1.0 : -1.0, (gl_VertexID & 2) != 0 ? 1.0 : -1.0);
    vUV = p * 0.5 + 0.5;
    gl_Position = vec4(p, 0.0, 1.0);
}
)";

const char* const g_szPresentFS = R"(#version 330 core
in vec2 vUV;
uniform sampler2D uFrame;
uniform sampler2D uLut;   // 256 x 1, one 8-bit ramp per channel
uniform bool uUseLut;
out vec4 oColor;
void main()
{
    vec3 c = texture(uFrame, vUV).rgb;
    if (uUseLut) {
        ivec3 i = ivec3(clamp(c, 0.0, 1.0) * 255.0 + 0.5);
        c = vec3(texelFetch(uLut, ivec2(i.r, 0), 0).r, texelFetch(uLut, ivec2(i.g, 0), 0).g,
                 texelFetch(uLut, ivec2(i.b, 0), 0).b);
    }
    oColor = vec4(c, 1.0);
}
)";

static GLuint Compile(GLenum kind, const char* src)
{
    GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &src, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetShaderInfoLog(s, sizeof(log) - 1, nullptr, log);
        std::fprintf(stderr, "gfx: shader compile failed: %s\n", log);
        glDeleteShader(s);
        return 0;
    }
    return s;
}

GLuint BuildProgram(const char* vs, const char* fs)
{
    GLuint v = Compile(GL_VERTEX_SHADER, vs);
    GLuint f = Compile(GL_FRAGMENT_SHADER, fs);
    if (!v || !f) {
        if (v) glDeleteShader(v);
        if (f) glDeleteShader(f);
        return 0;
    }
    GLuint p = glCreateProgram();
    glAttachShader(p, v);
    glAttachShader(p, f);
    glLinkProgram(p);
    glDeleteShader(v);
    glDeleteShader(f);
    GLint ok = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetProgramInfoLog(p, sizeof(log) - 1, nullptr, log);
        std::fprintf(stderr, "gfx: program link failed: %s\n", log);
        glDeleteProgram(p);
        return 0;
    }
    return p;
}

}  // namespace vek::platform::gfx::gl
