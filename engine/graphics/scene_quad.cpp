#include <cstdint>

#include "engine/graphics/render.h"
#include "engine/graphics/scene.h"

namespace vek {

void DrawScreenQuad(float x1, float y1, float x2, float y2, float tu1, float tv1, float tu2,
                    float tv2)
{
    if (!g_pRender) return;
    const float vertices[4 * 5] = {
        x1, y1, 0.0f, tu1, tv1,  //
        x2, y1, 0.0f, tu2, tv1,  //
        x2, y2, 0.0f, tu2, tv2,  //
        x1, y2, 0.0f, tu1, tv2,
    };
    // Corners 0, 1, 3, 2 make the strip's two triangles (0 1 3) and (1 3 2).
    static const uint16_t kIndices[4] = {0, 1, 3, 2};
    g_pRender->DrawPrimitives(vertices, 2, cRender::e_TriangleStrip, 4, kIndices);
}

} // namespace vek
