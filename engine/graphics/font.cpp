#include "engine/graphics/font.h"

#include <cmath>
#include <cstring>

#include "engine/core/log.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/texture.h"

namespace vek {

cFontManager* g_pFontManager = nullptr;

// ------------------------------------------------------------------- font

cFont::cFont(const string& fontName) : name(fontName)
{
    // The first font takes the empty entry 0; every later one is appended.
    if (g_pFontManager) g_pFontManager->Add(this, g_pFontManager->At(0) == nullptr);
}

cFont::~cFont() = default;

void cFont::Init(const string& first, const string& second, int value, float lineHeight)
{
    strInit1 = first;
    strInit2 = second;
    iInitValue = value;
    fLineHeight = lineHeight;
}

void cFont::Texture(const string& textureName, int width, int height)
{
    strTexture = textureName;
    iTexture = g_pTextureManager ? static_cast<int32_t>(g_pTextureManager->Find(textureName)) : 0;
    if (iTexture != 0) {
        const cTexture* t = g_pTextureManager->Get(static_cast<uint32_t>(iTexture));
        iTextureWidth = t->GetWidth();
        iTextureHeight = t->GetHeight();
    } else {
        iTextureWidth = width;
        iTextureHeight = height;
    }
}

void cFont::Transform(float spacing, float scaleX, float scaleY)
{
    fSpacing = spacing;
    fScaleX = scaleX;
    fScaleY = scaleY;
}

void cFont::Char(const string& character, float width, const recti& rect, float left, float advance)
{
    if (character.empty()) return;
    cGlyph& g = glyphs[static_cast<unsigned char>(character[0])];
    g.width = width;
    g.left = left;
    g.advance = advance;
    const float x = static_cast<float>(rect.x), y = static_cast<float>(rect.y);
    const float w = static_cast<float>(rect.w), h = static_cast<float>(rect.h);
    if (iTextureWidth != 0 && iTextureHeight != 0) {
        const float W = static_cast<float>(iTextureWidth), H = static_cast<float>(iTextureHeight);
        // The rectangle counts y down from the picture's top; v counts up
        // from its bottom (pictures are stored bottom row first).
        g.u = x / W;
        g.uw = w / W;
        g.vh = h / H;
        g.v = 1.0f - y / H - h / H;
    } else {
        g.u = x;
        g.v = y;
        g.uw = w;
        g.vh = h;
    }
}

cFont* GetFont(uint32_t id)
{
    return g_pFontManager ? g_pFontManager->Get(id) : nullptr;
}

bool CreateFontManager()
{
    if (g_pFontManager) {
        LogWarning("CreateFontManager", "Already exist\n");
        return false;
    }
    g_pFontManager = new cFontManager();
    new cFont("unnamed");
    LogText("CreateFontManager", "Ok\n");
    return true;
}

bool DestroyFontManager()
{
    if (!g_pFontManager) {
        LogWarning("DestroyFontManager", "Does not exist\n");
        return false;
    }
    delete g_pFontManager;
    g_pFontManager = nullptr;
    LogText("DestroyFontManager", "Ok\n");
    return true;
}

// ------------------------------------------------------------------- text

namespace {

// A hexadecimal digit; any other character counts as its code minus 48.
int HexDigit(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return static_cast<int>(c) - 48;
}

uint32_t HexByte(const string& text, size_t at)
{
    const int v = HexDigit(static_cast<unsigned char>(text[at])) * 16 +
                  HexDigit(static_cast<unsigned char>(text[at + 1]));
    return static_cast<uint32_t>(v) & 0xffu;
}

void PutGlyph(cVertex2D* v, const cFont& f, unsigned char c, float penX, float penY, uint32_t color)
{
    const cFont::cGlyph& g = f.glyphs[c];
    const float x0 = penX + g.left, x1 = x0 + g.width, y0 = penY, y1 = penY + f.fLineHeight;
    const float u0 = g.u, u1 = g.u + g.uw, v0 = g.v, v1 = g.v + g.vh;
    const float xs[6] = {x0, x1, x0, x0, x1, x1}, ys[6] = {y0, y0, y1, y1, y0, y1};
    const float us[6] = {u0, u1, u0, u0, u1, u1}, vs[6] = {v0, v0, v1, v1, v0, v1};
    for (int i = 0; i < 6; ++i) v[i] = {xs[i], ys[i], 0.0f, color, us[i], vs[i]};
}

} // namespace

void cQuadBatch::AddText(uint32_t font, uint32_t color, const string& text, const vec2& position)
{
    if (text.empty() || font == 0) return;
    const cFont* f = GetFont(font);
    if (!f || text.size() > e_MaxVertices / 6) return;
    cVertex2D* v = AllocVertices(static_cast<uint32_t>(f->iTexture), static_cast<uint32_t>(text.size() * 6));
    if (!v) return;
    float penX = std::floor(position.x);
    const float penY = std::floor(position.y);
    for (size_t i = 0; i < text.size(); ++i, v += 6) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        PutGlyph(v, *f, c, penX, penY, color);
        penX += f->glyphs[c].advance + f->fSpacing;
    }
}

void cQuadBatch::AddColorText(uint32_t font, const string& text, const vec2& position, uint32_t* color)
{
    if (text.empty() || font == 0) return;
    const cFont* f = GetFont(font);
    if (!f || text.size() > e_MaxVertices / 6) return;
    cVertex2D* v = AllocVertices(static_cast<uint32_t>(f->iTexture), static_cast<uint32_t>(text.size() * 6));
    if (!v) return;
    uint32_t current = color ? *color : 0xFFFFFFFFu;
    float penX = std::floor(position.x);
    const float penY = std::floor(position.y);
    const size_t n = text.size();
    size_t j = 0;
    while (j < n) {
        if (text[j] == '^' && j + 1 < n && text[j + 1] == '^') {
            // Two characters that draw nothing.
            std::memset(static_cast<void*>(v), 0, sizeof(cVertex2D) * 12);
            v += 12;
            j += 2;
        } else if (text[j] == '^' && j + 8 < n) {
            const uint32_t r = HexByte(text, j + 1), g = HexByte(text, j + 3), b = HexByte(text, j + 5),
                           a = HexByte(text, j + 7);
            current = (a << 24) | (r << 16) | (g << 8) | b;
            std::memset(static_cast<void*>(v), 0, sizeof(cVertex2D) * 54);
            v += 54;
            j += 9;
        } else {
            const unsigned char c = static_cast<unsigned char>(text[j]);
            PutGlyph(v, *f, c, penX, penY, current);
            penX += f->glyphs[c].advance + f->fSpacing;
            v += 6;
            ++j;
        }
    }
    if (color) *color = current;
}

vec2 MeasureText(uint32_t font, const string& text)
{
    const cFont* f = GetFont(font);
    if (!f) return vec2();
    float width = 0.0f;
    if (!text.empty()) {
        for (size_t i = 0; i + 1 < text.size(); ++i)
            width += f->fSpacing + f->glyphs[static_cast<unsigned char>(text[i])].advance;
        width += f->glyphs[static_cast<unsigned char>(text.back())].width;
    }
    return vec2(width, f->fLineHeight);
}

vec2 MeasureColorText(uint32_t font, const string& text)
{
    const cFont* f = GetFont(font);
    if (!f) return vec2();
    float width = 0.0f;
    const size_t n = text.size();
    size_t j = 0;
    while (n > 0 && j < n - 1) {
        if (text[j] == '^' && text[j + 1] == '^') {
            j += 2;
        } else if (text[j] == '^') {
            j += 9;
        } else {
            width += f->fSpacing + f->glyphs[static_cast<unsigned char>(text[j])].advance;
            ++j;
        }
    }
    if (n > 0 && j == n - 1) width += f->glyphs[static_cast<unsigned char>(text[j])].width;
    return vec2(width, f->fLineHeight);
}

} // namespace vek
