#include "engine/gui/cursor.h"

#include "engine/gui/gui.h"
#include "engine/gui/guidraw.h"

namespace vek {

namespace {

constexpr float kCursorFps = 30.0f;

} // namespace

cCursor::cCursor(cGUI*)
{
    m_Animation.Init(1, kCursorFps, cAnimCounter::e_Loop);
}

void cCursor::Set(const string& texture, const vec2& size, int align, int rows, int columns)
{
    m_iTexture = guidraw::FindTexture(texture);
    m_fW = size.x;
    m_fH = size.y;
    m_iAlign = align;
    // A sheet has at least one row and one column: the frame arithmetic
    // divides by both.
    m_iRows = rows > 1 ? rows : 1;
    m_iColumns = columns > 1 ? columns : 1;
    const long long frames = static_cast<long long>(m_iRows) * m_iColumns;
    m_Animation.Init(frames < 2147483647ll ? static_cast<int32_t>(frames) : 2147483647,
                     kCursorFps, cAnimCounter::e_Loop);
}

void cCursor::GetQuad(rect<float>& r, rect<float>& uv) const
{
    r = rect<float>(m_fX, m_fY, m_fW, m_fH);
    uv = rect<float>(0.0f, 0.0f, 1.0f, 1.0f);
    if (m_iRows > 1 || m_iColumns > 1) {
        const int frame = m_Animation.iFrame >= 0 ? m_Animation.iFrame : 0;
        const float columns = static_cast<float>(m_iColumns);
        const float rows = static_cast<float>(m_iRows);
        uv.w = 1.0f / columns;
        uv.h = 1.0f / rows;
        uv.x = static_cast<float>(frame % m_iColumns) / columns;
        // Frames run left to right, then row by row from the top.
        uv.y = 1.0f - (static_cast<float>(frame / m_iColumns) / rows + 1.0f / rows);
    }
    if (m_iAlign & cAlign::Center) r.x -= m_fW / 2.0f;
    if (m_iAlign & cAlign::Right) r.x -= m_fW;
    if (m_iAlign & cAlign::Middle) r.y -= m_fH / 2.0f;
    if (m_iAlign & cAlign::Top) r.y -= m_fH;
}

void cCursor::Draw()
{
    rect<float> r;
    rect<float> uv;
    GetQuad(r, uv);
    // Drawn on its own after everything the windows drew, so it is on top.
    guidraw::ResetBatch();
    guidraw::Quad(m_iTexture, r, 0xFFFFFFFFu, uv);
    guidraw::FlushBatch();
}

} // namespace vek
