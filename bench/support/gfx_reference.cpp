#include "bench/support/gfx_reference.h"

#include "platform/gfx_gl.h"

namespace vek::platform::gfx {

namespace {

const char* const kVS = R"(#version 330 core
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec2 aTex;
uniform vec2 uScale;
out vec4 vColor;
out vec2 vTex;
void main()
{
    gl_Position = vec4(aPos.xy * uScale - 1.0, 0.0, 1.0);
    vColor = aColor;
    vTex = aTex;
}
)";

const char* const kFS = R"(#version 330 core
in vec4 vColor;
in vec2 vTex;
uniform sampler2D uTex;
uniform bool uHasTex;
out vec4 oColor;
void main()
{
    vec4 c = vColor;
    if (uHasTex) c *= texture(uTex, vTex);
    if (c.a <= 0.05) discard;
    oColor = c;
}
)";

}  // namespace

cReferenceBatch::cReferenceBatch(cDevice* device) : m_pDevice(device)
{
    m_uProgram = gl::BuildProgram(kVS, kFS);
    if (!m_uProgram) return;
    m_iScale = glGetUniformLocation(m_uProgram, "uScale");
    m_iHasTex = glGetUniformLocation(m_uProgram, "uHasTex");
    glGenVertexArrays(1, &m_uVao);
    glGenBuffers(1, &m_uVbo);
}

cReferenceBatch::~cReferenceBatch()
{
    if (m_uVbo) glDeleteBuffers(1, &m_uVbo);
    if (m_uVao) glDeleteVertexArrays(1, &m_uVao);
    if (m_uProgram) glDeleteProgram(m_uProgram);
}

void cReferenceBatch::Draw(const std::vector<cVertex>& vertices, const std::vector<cRun>& runs)
{
    if (!m_uProgram) return;
    int w = 0, h = 0;
    m_pDevice->GetBackBufferSize(w, h);
    // Draws into the framebuffer the device last bound: its frame, once it
    // has cleared or drawn.
    glViewport(0, 0, w, h);
    glUseProgram(m_uProgram);
    glUniform2f(m_iScale, 2.0f / static_cast<float>(w), 2.0f / static_cast<float>(h));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glBindVertexArray(m_uVao);
    glBindBuffer(GL_ARRAY_BUFFER, m_uVbo);
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(vertices.size() * sizeof(cVertex));
    glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, vertices.data());
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(cVertex), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(cVertex),
                          reinterpret_cast<const void*>(12));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(cVertex), reinterpret_cast<const void*>(16));
    glActiveTexture(GL_TEXTURE0);
    for (const cRun& run : runs) {
        auto* t = static_cast<gl::cGLTexture*>(run.texture);
        glBindTexture(GL_TEXTURE_2D, t ? t->Name() : 0);
        glUniform1i(m_iHasTex, t ? 1 : 0);
        glDrawArrays(GL_TRIANGLES, run.first, run.count);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    m_pDevice->InvalidateState();
}

void FinishDevice(cDevice*)
{
    glFinish();
}

}  // namespace vek::platform::gfx
