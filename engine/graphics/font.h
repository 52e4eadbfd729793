#pragma once
// Bitmap fonts: a font names a texture and describes, for each of the 256
// byte values, where its glyph lies there and how far it moves the pen.
// Fonts register themselves in the font manager; font 0 is "unnamed", whose
// glyphs are all empty.
#include <cstdint>

#include "engine/core/container.h"
#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"

namespace vek {

class cFont {
public:
    struct cGlyph {
        float width = 0;    // of the quad, in pixels
        float u = 0, v = 0, uw = 0, vh = 0;
        float left = 0;     // quad offset from the pen
        float advance = 0;  // pen movement (before the spacing)
    };

    // Appends itself to the font manager (the first font takes id 0).
    explicit cFont(const string& name);
    virtual ~cFont();
    cFont(const cFont&) = delete;
    cFont& operator=(const cFont&) = delete;

    void Init(const string& first, const string& second, int value, float lineHeight);
    // Looks the texture up by name; its size turns pixel rectangles into uvs.
    void Texture(const string& textureName, int width, int height);
    void Transform(float spacing, float scaleX, float scaleY);
    // The glyph of the first byte of `character`; rect in texture pixels,
    // y counted down from the top of the picture.
    void Char(const string& character, float width, const recti& rect, float left, float advance);
    const string& GetName() const { return name; }
    const cGlyph& Glyph(unsigned char c) const { return glyphs[c]; }

    string name;
    int32_t iTexture = 0;
    float fLineHeight = 0;
    float fSpacing = 0;
    float fScaleX = 1.0f;
    float fScaleY = 1.0f;
    cGlyph glyphs[256];
    string strInit1;
    string strInit2;
    int32_t iInitValue = 0;
    string strTexture;
    int32_t iTextureWidth = 0;
    int32_t iTextureHeight = 0;
};

class cFontManager : public cContainerPtr<cFont> {
public:
    cFontManager() : cContainerPtr<cFont>(15) {}
};

bool CreateFontManager();
bool DestroyFontManager();
extern cFontManager* g_pFontManager;

// The font of an id, font 0 for an id beyond the table or an empty slot;
// null only without a font manager.
cFont* GetFont(uint32_t id);

} // namespace vek
