#pragma once
// The mouse cursor sprite the GUI draws above its windows while an active
// window is shown: a textured quad at the last mouse position, optionally
// animated through a sheet of rows x columns frames, with its hot spot
// chosen by alignment flags.
#include <cstdint>

#include "engine/core/anim.h"
#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"

namespace vek {

class cGUI;


class cCursor {
public:
    // The GUI it belongs to; scripts construct cursors with it, though the
    // cursor needs nothing of it.
    explicit cCursor(cGUI* gui);

    // Texture by name (0 when unknown), size in GUI units, hot-spot flags
    // and the frame sheet; restarts the animation at 30 frames per second.
    // Rows and columns below 1 count as 1.
    void Set(const string& texture, const vec2& size, int align, int rows, int columns);
    void Draw();

    // The quad Draw adds: the rect placed by the hot spot, and the UV rect of
    // the current frame.
    void GetQuad(rect<float>& r, rect<float>& uv) const;

    void SetPosition(float x, float y)
    {
        m_fX = x;
        m_fY = y;
    }
    void Advance(float elapsed) { m_Animation.Update(elapsed); }

    float GetX() const { return m_fX; }
    float GetY() const { return m_fY; }
    int GetTexture() const { return m_iTexture; }
    const cAnimCounter& GetAnimation() const { return m_Animation; }

private:
    float m_fX = 0.0f;
    float m_fY = 0.0f;
    float m_fW = 64.0f;
    float m_fH = 64.0f;
    int32_t m_iTexture = 0;
    int32_t m_iAlign = 9;
    cAnimCounter m_Animation;
    int32_t m_iRows = 1;
    int32_t m_iColumns = 1;
};

} // namespace vek
