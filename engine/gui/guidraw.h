#pragma once
// The GUI's few calls into the 2D drawing layer, the texture and font
// managers, gathered in one place so that the controls stay free of renderer
// details. Every call is safe while the engine's batch, renderer or managers
// do not exist: it then draws nothing and measures 0.
#include <cstdint>

#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"

namespace vek::guidraw {

// 2D state for a width x height space with alpha blending and an alpha test
// passing alpha above 0.05; End switches both off and leaves 2D.
void Begin(float width, float height);
void End();

// The engine's shared sprite batch: empty it, add to it, draw it.
void ResetBatch();
void FlushBatch();
void Quad(int texture, const rect<float>& r, uint32_t colour, const rect<float>& uv);
void Frame(int texture, const rect<float>& r, const vec2& border, const rect<float>& uv,
           const vec2& uvBorder, uint32_t colour, bool centre);
// Text with colour codes; the colour carries over between calls through it.
void ColorText(int font, const string& text, const vec2& pos, uint32_t* colour);
void Caret(int font, const vec2& pos, uint32_t colour);

// Measurement of text with colour codes: {width, line height}.
vec2 MeasureColorText(int font, const string& text);
float LineHeight(int font);
float Spacing(int font);
float Advance(int font, unsigned char character);

// Ids by name; 0 (the manager's default entry) when unknown.
int FindTexture(const string& name);
int FindFont(const string& name);

} // namespace vek::guidraw
