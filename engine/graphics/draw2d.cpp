#include "engine/graphics/draw2d.h"

#include <array>
#include <cmath>

#include "engine/graphics/font.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"

namespace vek {

namespace {

void Put(cVertex2D& v, float x, float y, uint32_t color, float u, float tv)
{
    v.x = x;
    v.y = y;
    v.z = 0.0f;
    v.color = color;
    v.u = u;
    v.v = tv;
}

// The quad order BL, BR, TL, TL, BR, TR for corners given with their uvs.
struct cCorner {
    float x, y, u, v;
};

void PutQuad(cVertex2D* out, const cCorner& bl, const cCorner& br, const cCorner& tl, const cCorner& tr,
             uint32_t color)
{
    const cCorner* order[6] = {&bl, &br, &tl, &tl, &br, &tr};
    for (int i = 0; i < 6; ++i) Put(out[i], order[i]->x, order[i]->y, color, order[i]->u, order[i]->v);
}

} // namespace

matrix4 MatrixOrtho(float left, float right, float bottom, float top, float nearZ, float farZ)
{
    matrix4 m;
    m.m[0][0] = 2.0f / (right - left);
    m.m[1][1] = 2.0f / (top - bottom);
    m.m[2][2] = -2.0f / (farZ - nearZ);
    m.m[3][0] = -(right + left) / (right - left);
    m.m[3][1] = -(top + bottom) / (top - bottom);
    m.m[3][2] = -(farZ + nearZ) / (farZ - nearZ);
    m.m[3][3] = 1.0f;
    return m;
}

bool Begin2D(float width, float height)
{
    if (!g_pRender) return true;
    g_pRender->SetTransform(cRender::e_Projection, MatrixOrtho(0.0f, width, 0.0f, height, -128.0f, 128.0f));
    matrix4 view;
    view.m[3][0] = -0.5f;
    view.m[3][1] = 0.5f;
    g_pRender->SetTransform(cRender::e_View, view);
    g_pRender->SetTransform(cRender::e_World, matrix4());
    g_pRender->SetRenderState(gfx::e_rsLighting, 0);
    g_pRender->SetVertexFormat(g_VertexFormat2D);
    g_pRender->SetRenderState(gfx::e_rsCullMode, gfx::e_cullNone);
    return true;
}

void End2D()
{
    if (!g_pRender) return;
    g_pRender->SetRenderState(gfx::e_rsCullMode, gfx::e_cullCW);
    g_pRender->SetVertexFormat(cVertexFormat());
    g_pRender->SetRenderState(gfx::e_rsLighting, 1);
}

void SetBlendMode(int mode, float alphaReference)
{
    if (!g_pRender) return;
    if (mode == 1)
        g_pRender->SetBlendFunc(gfx::e_blendSrcAlpha, gfx::e_blendInvSrcAlpha);
    else if (mode == 2)
        g_pRender->SetBlendFunc(gfx::e_blendSrcColor, gfx::e_blendOne);
    else
        g_pRender->SetBlendFunc(0, 0);
    if (alphaReference != 0.0f)
        g_pRender->SetAlphaTest(gfx::e_cmpGreater, alphaReference);
    else
        g_pRender->SetAlphaTest(0, 0.0f);
}

void SetModulateColor(uint32_t color)
{
    if (!g_pRender) return;
    const int MOD = gfx::e_topModulate, TEX = gfx::e_taTexture, CUR = gfx::e_taCurrent,
              TF = gfx::e_taTFactor;
    if (color == 0xFFFFFFFFu) {
        g_pRender->SetTextureStageOps(MOD, TEX, CUR, MOD, TEX, CUR);
        return;
    }
    const uint32_t a = color >> 24, r = (color >> 16) & 0xff, g = (color >> 8) & 0xff, b = color & 0xff;
    g_pRender->SetTextureFactor(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
    if (a < 255 && (r < 255 || g < 255 || b < 255))
        g_pRender->SetTextureStageOps(MOD, TEX, TF, MOD, TEX, TF);
    else if (a < 255)
        g_pRender->SetTextureStageOps(MOD, TEX, CUR, MOD, TEX, TF);
    else
        g_pRender->SetTextureStageOps(MOD, TEX, TF, MOD, TEX, CUR);
}

// -------------------------------------------------------------- the batch

cQuadBatch::cQuadBatch() : m_vecVertices(e_MaxVertices), m_vecRuns(e_MaxRuns) {}

cVertex2D* cQuadBatch::AllocVertices(uint32_t texture, uint32_t n)
{
    if (uRunCount > e_MaxRuns) uRunCount = e_MaxRuns;
    const bool newRun = uRunCount == 0 || m_vecRuns[uRunCount - 1].uTexture != texture;
    uint64_t end = 0;
    if (uRunCount > 0) end = uint64_t(m_vecRuns[uRunCount - 1].uFirst) + m_vecRuns[uRunCount - 1].uCount;
    // Computed wide, so that no count can wrap past the test. Refusing a
    // further texture change once all runs are used keeps the quads already
    // gathered in the last run.
    if (end + n >= e_MaxVertices || (newRun && uRunCount == e_MaxRuns)) return nullptr;
    if (newRun) {
        cRun& run = m_vecRuns[uRunCount++];
        run.uTexture = texture;
        run.uFirst = static_cast<uint32_t>(end);
        run.uCount = 0;
    }
    cRun& run = m_vecRuns[uRunCount - 1];
    cVertex2D* out = &m_vecVertices[run.uFirst + run.uCount];
    run.uCount += n;
    return out;
}

cVertex2D* cQuadBatch::AddQuad(uint32_t texture, const rectf& d, uint32_t color, const rectf& uv)
{
    cVertex2D* v = AllocVertices(texture, 6);
    if (!v) return nullptr;
    PutQuad(v, {d.x, d.y, uv.x, uv.y}, {d.x + d.w, d.y, uv.x + uv.w, uv.y},
            {d.x, d.y + d.h, uv.x, uv.y + uv.h}, {d.x + d.w, d.y + d.h, uv.x + uv.w, uv.y + uv.h}, color);
    return v;
}

cVertex2D* cQuadBatch::AddRotatedQuad(uint32_t texture, const rectf& d, uint32_t color, const rectf& uv,
                                      float angle)
{
    cVertex2D* v = AddQuad(texture, d, color, uv);
    if (!v) return nullptr;
    const float cx = d.x + d.w / 2.0f, cy = d.y + d.h / 2.0f;
    const float c = std::cos(angle), s = std::sin(angle);
    for (int i = 0; i < 6; ++i) {
        const float dx = v[i].x - cx, dy = v[i].y - cy;
        v[i].x = cx + dx * c - dy * s;
        v[i].y = cy + dx * s + dy * c;
    }
    return v;
}

cVertex2D* cQuadBatch::AddLine(const vec2& start, const vec2& end, float width, uint32_t color,
                               const rectf& uv)
{
    cVertex2D* v = AllocVertices(0, 6);
    if (!v) return nullptr;
    const float a = std::atan2(end.y - start.y, end.x - start.x);
    const vec2 n = vec2(-std::sin(a), std::cos(a)) * (width / 2.0f);
    const vec2 p[6] = {start + n, start - n, end + n, end + n, start - n, end - n};
    const float us[6] = {uv.x, uv.x, uv.x + uv.w, uv.x + uv.w, uv.x, uv.x + uv.w};
    const float vs[6] = {uv.y + uv.h, uv.y, uv.y + uv.h, uv.y + uv.h, uv.y, uv.y};
    for (int i = 0; i < 6; ++i) Put(v[i], p[i].x, p[i].y, color, us[i], vs[i]);
    return v;
}

cVertex2D* cQuadBatch::AddSector(uint32_t texture, const rectf& uv, const vec2& centre, float radius,
                                 int segments, float start, float end, uint32_t color)
{
    if (segments <= 0 || static_cast<uint64_t>(segments) * 3 >= e_MaxVertices) return nullptr;
    cVertex2D* v = AllocVertices(texture, static_cast<uint32_t>(segments) * 3);
    if (!v) return nullptr;
    const float step = (end - start) / static_cast<float>(segments);
    const float hu = uv.w / 2.0f, hv = uv.h / 2.0f, cu = uv.x + hu, cv = uv.y + hv;
    for (int i = 0; i < segments; ++i) {
        const float a = start + static_cast<float>(i) * step, b = a + step;
        cVertex2D* t = v + i * 3;
        Put(t[0], centre.x, centre.y, color, cu, cv);
        Put(t[1], centre.x + radius * std::cos(a), centre.y + radius * std::sin(a), color,
            cu + hu * std::cos(a), cv + hv * std::sin(a));
        Put(t[2], centre.x + radius * std::cos(b), centre.y + radius * std::sin(b), color,
            cu + hu * std::cos(b), cv + hv * std::sin(b));
    }
    return v;
}

cVertex2D* cQuadBatch::AddFrame(uint32_t texture, const rectf& d, const vec2& border, const rectf& uv,
                                const vec2& uvBorder, uint32_t color, bool centre)
{
    cVertex2D* v = AllocVertices(texture, centre ? 54 : 48);
    if (!v) return nullptr;
    // The 16 grid points: around the outside, then the inside.
    static std::array<cCorner, 16> grid;
    const float xs[4] = {d.x, d.x + border.x, d.x + border.x + (d.w - 2 * border.x), d.x + d.w};
    const float ys[4] = {d.y, d.y + border.y, d.y + border.y + (d.h - 2 * border.y), d.y + d.h};
    const float us[4] = {uv.x, uv.x + uvBorder.x, uv.x + uvBorder.x + (uv.w - 2 * uvBorder.x), uv.x + uv.w};
    const float vs[4] = {uv.y, uv.y + uvBorder.y, uv.y + uvBorder.y + (uv.h - 2 * uvBorder.y), uv.y + uv.h};
    static const int cols[16] = {0, 1, 2, 3, 3, 3, 3, 2, 1, 0, 0, 0, 1, 2, 2, 1};
    static const int rows[16] = {0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 2, 1, 1, 1, 2, 2};
    for (int i = 0; i < 16; ++i) grid[i] = {xs[cols[i]], ys[rows[i]], us[cols[i]], vs[rows[i]]};
    static const int quads[9][4] = {
        {0, 1, 11, 12},  {1, 2, 12, 13},  {2, 3, 13, 4},  {13, 4, 14, 5},  {14, 5, 7, 6},
        {15, 14, 8, 7}, {10, 15, 9, 8}, {11, 12, 10, 15}, {12, 13, 15, 14},
    };
    const int count = centre ? 9 : 8;
    for (int q = 0; q < count; ++q)
        PutQuad(v + q * 6, grid[quads[q][0]], grid[quads[q][1]], grid[quads[q][2]], grid[quads[q][3]], color);
    return v;
}

cVertex2D* cQuadBatch::AddCaret(uint32_t font, const vec2& position, uint32_t color)
{
    const cFont* f = GetFont(font);
    if (!f) return nullptr;
    const cFont::cGlyph& g = f->Glyph('_');
    return AddQuad(static_cast<uint32_t>(f->iTexture), rectf(position.x, position.y, g.width, f->fLineHeight),
                   color, rectf(g.u, g.v, g.uw, g.vh));
}

void cQuadBatch::Draw()
{
    if (!g_pRender) return;
    const uint32_t runs = uRunCount > e_MaxRuns ? e_MaxRuns : uRunCount;
    for (uint32_t i = 0; i < runs; ++i) {
        const cRun& run = m_vecRuns[i];
        if (run.uTexture != 0) {
            cTexture* t = g_pTextureManager ? g_pTextureManager->Get(run.uTexture) : nullptr;
            // A texture without a device texture draws untextured.
            g_pRender->SetTexture(t ? t->GetDeviceTexture() : nullptr);
        } else {
            g_pRender->SetTexture(nullptr);
        }
        g_pRender->DrawPrimitives(&m_vecVertices[run.uFirst], static_cast<int>(run.uCount / 3),
                                  cRender::e_TriangleList, static_cast<int>(run.uCount), nullptr);
    }
}

} // namespace vek
