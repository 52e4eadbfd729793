#pragma once
// The 2D drawing layer: the 2D coordinate system (x right, y up, origin
// bottom-left), the blend and colour-modulation presets, and the quad batch
// that gathers quads into runs of one texture each, so that a run costs one
// draw call.
#include <cstdint>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"

namespace vek {

// One 2D vertex in the renderer's 2D layout.
struct cVertex2D {
    float x, y, z;
    uint32_t color;  // ARGB, alpha in the top byte
    float u, v;
};
static_assert(sizeof(cVertex2D) == 24, "the 2D vertex is 24 bytes");

// Row-vector orthographic matrix.
matrix4 MatrixOrtho(float left, float right, float bottom, float top, float nearZ, float farZ);

// 0..width by 0..height, y up; lighting off, no culling, the 2D vertex
// layout, a view shifted by half a pixel so that whole coordinates are pixel
// edges. Returns true.
bool Begin2D(float width, float height);
// Clockwise culling, the empty vertex layout, lighting on.
void End2D();
// 1 alpha blending, 2 additive (source colour added), anything else off.
// A non-zero alpha reference (0..1) turns the alpha test on with "greater".
void SetBlendMode(int mode, float alphaReference = 0.0f);
// Opaque white as a packed ARGB colour: a picture drawn in its own colours.
inline constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

// Modulates drawing by a packed ARGB colour; kOpaqueWhite restores plain
// texture times vertex colour.
void SetModulateColor(uint32_t color);

class cQuadBatch {
public:
    static constexpr uint32_t e_MaxVertices = 65536;
    static constexpr uint32_t e_MaxRuns = 500;

    struct cRun {
        uint32_t uTexture = 0;  // texture manager id; 0 untextured
        uint32_t uFirst = 0;
        uint32_t uCount = 0;
    };

    cQuadBatch();
    cQuadBatch(const cQuadBatch&) = delete;
    cQuadBatch& operator=(const cQuadBatch&) = delete;

    // Room for n vertices in the run of that texture (a new run when the
    // texture changes); null when the batch is full, in vertices or in runs.
    cVertex2D* AllocVertices(uint32_t texture, uint32_t n);
    // Six vertices BL, BR, TL, TL, BR, TR; uv (u, v) at the bottom-left.
    cVertex2D* AddQuad(uint32_t texture, const rectf& dst, uint32_t color, const rectf& uv);
    // As AddQuad, turned counter-clockwise by angle radians about the centre.
    cVertex2D* AddRotatedQuad(uint32_t texture, const rectf& dst, uint32_t color, const rectf& uv,
                              float angle);
    // An untextured band of the given width along the segment.
    cVertex2D* AddLine(const vec2& start, const vec2& end, float width, uint32_t color, const rectf& uv);
    // A pie sector of `segments` triangles from start to end (radians).
    cVertex2D* AddSector(uint32_t texture, const rectf& uv, const vec2& centre, float radius,
                         int segments, float start, float end, uint32_t color);
    // A nine-part frame: 48 vertices, 54 with the centre.
    cVertex2D* AddFrame(uint32_t texture, const rectf& dst, const vec2& border, const rectf& uv,
                        const vec2& uvBorder, uint32_t color, bool centre);
    // The font's "_" glyph at the position, one line high.
    cVertex2D* AddCaret(uint32_t font, const vec2& position, uint32_t color);
    // One quad per byte of the text (font.cpp).
    void AddText(uint32_t font, uint32_t color, const string& text, const vec2& position);
    // With "^RRGGBBAA" colour codes and "^^"; color carries the colour in and out.
    void AddColorText(uint32_t font, const string& text, const vec2& position, uint32_t* color);
    // Draws every run; the run count is left as it is.
    void Draw();

    const cVertex2D* GetVertices() const { return m_vecVertices.data(); }
    const cRun* GetRuns() const { return m_vecRuns.data(); }

    uint32_t uRunCount = 0;  // runs in use; set to 0 to start a new batch

private:
    std::vector<cVertex2D> m_vecVertices;
    std::vector<cRun> m_vecRuns;
};

// Width and line height of a text; font ids beyond the table measure with font 0.
vec2 MeasureText(uint32_t font, const string& text);
// The same, colour codes taking no room.
vec2 MeasureColorText(uint32_t font, const string& text);

} // namespace vek
