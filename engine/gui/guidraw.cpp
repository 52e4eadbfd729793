#include "engine/gui/guidraw.h"

#include <memory>

#include "engine/graphics/draw2d.h"
#include "engine/graphics/font.h"
#include "engine/graphics/texture.h"
#include "engine/gui/host.h"

namespace vek::guidraw {

namespace {

// Texels at or below this alpha are not drawn, so the transparent parts of
// a sprite never cover what lies behind them.
constexpr float kAlphaReference = 0.05f;

// Ids come from scripts as signed numbers; negative ones mean the default.
uint32_t Id(int id) { return id > 0 ? static_cast<uint32_t>(id) : 0u; }

// The engine's shared sprite batch. A GUI working without the engine object
// (tools, tests) draws through a batch of its own, made on first use.
cQuadBatch* Batch()
{
    if (iGuiHost* host = GetGuiHost())
        if (cQuadBatch* batch = host->GetHostBatch()) return batch;
    static std::unique_ptr<cQuadBatch> own;
    if (!own) own = std::make_unique<cQuadBatch>();
    return own.get();
}

} // namespace

void Begin(float width, float height)
{
    Begin2D(width, height);
    SetBlendMode(1, kAlphaReference);
}

void End()
{
    SetBlendMode(0, 0.0f);
    End2D();
}

void ResetBatch() { Batch()->uRunCount = 0; }

void FlushBatch() { Batch()->Draw(); }

void Quad(int texture, const rect<float>& r, uint32_t colour, const rect<float>& uv)
{
    Batch()->AddQuad(Id(texture), r, colour, uv);
}

void Frame(int texture, const rect<float>& r, const vec2& border, const rect<float>& uv,
           const vec2& uvBorder, uint32_t colour, bool centre)
{
    Batch()->AddFrame(Id(texture), r, border, uv, uvBorder, colour, centre);
}

void ColorText(int font, const string& text, const vec2& pos, uint32_t* colour)
{
    // The default font has no glyphs: nothing to draw.
    if (font <= 0 || text.empty()) return;
    Batch()->AddColorText(Id(font), text, pos, colour);
}

void Caret(int font, const vec2& pos, uint32_t colour) { Batch()->AddCaret(Id(font), pos, colour); }

vec2 MeasureColorText(int font, const string& text) { return vek::MeasureColorText(Id(font), text); }

float LineHeight(int font)
{
    const cFont* f = GetFont(Id(font));
    return f ? f->fLineHeight : 0.0f;
}

float Spacing(int font)
{
    const cFont* f = GetFont(Id(font));
    return f ? f->fSpacing : 0.0f;
}

float Advance(int font, unsigned char character)
{
    const cFont* f = GetFont(Id(font));
    return f ? f->Glyph(character).advance : 0.0f;
}

int FindTexture(const string& name)
{
    return g_pTextureManager ? static_cast<int>(g_pTextureManager->Find(name)) : 0;
}

int FindFont(const string& name)
{
    return g_pFontManager ? static_cast<int>(g_pFontManager->Find(name)) : 0;
}

} // namespace vek::guidraw
