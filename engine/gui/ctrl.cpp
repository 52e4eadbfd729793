#include "engine/gui/ctrl.h"

#include <cmath>
#include <limits>

#include "engine/core/numeric.h"
#include "engine/gui/gui.h"
#include "engine/gui/host.h"
#include "engine/gui/guidraw.h"
#include "engine/gui/window.h"

namespace vek {

namespace {

// A float value as a message argument: truncated toward zero, limited to the
// int range (a value that is not a number gives 0).
unsigned TruncToArg(float value) { return static_cast<unsigned>(SaturatingCast<int32_t>(value)); }

} // namespace

// ---- cCtrl ----

cCtrl::cCtrl(const string& name, cWindow* parent) : m_strName(name)
{
    if (iGuiHost* host = GetGuiHost()) m_pGUI = host->GetHostGUI();
    // Joining the window sets parent, GUI and id.
    if (parent) parent->AddControl(this);
}

cCtrl::~cCtrl()
{
    if (m_pParent) m_pParent->ForgetControl(this);
}

void cCtrl::Draw() {}

int cCtrl::OnMessage(int message, unsigned, unsigned)
{
    if (message == cGUI::e_wndMouseEnter || message == cGUI::e_wndMouseLeave)
        SendToWindow(message, 0, static_cast<unsigned>(GetID()));
    return message == cGUI::e_wndChar ? 1 : 0;
}

void cCtrl::UpdateLayout() {}

const string& cCtrl::GetName() const { return m_strName; }

int cCtrl::GetID() const { return m_iID; }

void cCtrl::SetPos(float, float, int) { UpdateLayout(); }

void cCtrl::MoveBy(float, float, int) { UpdateLayout(); }

void cCtrl::SetSize(float, float, int) { UpdateLayout(); }

void cCtrl::SetUVPos(float, float, int) {}

void cCtrl::SetUVSize(float, float, int) {}

bool cCtrl::HitTest(float, float) const { return false; }

rect<float> cCtrl::GetRect() const { return {}; }

void cCtrl::EnableState(int flags) { m_iState |= flags; }

void cCtrl::DisableState(int flags) { m_iState &= ~flags; }

bool cCtrl::GetState(int flags) const { return (m_iState & flags) != 0; }

const char* cCtrl::ClassName() const { return "cCtrl"; }

int cCtrl::SendToWindow(int message, unsigned a, unsigned b)
{
    if (!m_pParent || !m_pGUI) return 0;
    return m_pGUI->SendMessage(m_pParent->GetID(), message, a, b);
}

void cCtrl::PostToWindow(int message, unsigned a, unsigned b)
{
    if (!m_pParent || !m_pGUI) return;
    m_pGUI->PostMessage(m_pParent->GetID(), message, a, b);
}

// ---- cImageCtrl ----

cImageCtrl::cImageCtrl(const string& name, cWindow* parent) : cCtrl(name, parent) {}

void cImageCtrl::Draw() { guidraw::Quad(m_iTexture, m_Rect, m_uColor, GetUV()); }

void cImageCtrl::SetPos(float x, float y, int)
{
    m_Rect.x = x;
    m_Rect.y = y;
    UpdateLayout();
}

void cImageCtrl::MoveBy(float dx, float dy, int)
{
    m_Rect.x += dx;
    m_Rect.y += dy;
    UpdateLayout();
}

void cImageCtrl::SetSize(float w, float h, int)
{
    m_Rect.w = w;
    m_Rect.h = h;
    UpdateLayout();
}

void cImageCtrl::SetUVPos(float u, float v, int) { m_UVPos = vec2(u, v); }

void cImageCtrl::SetUVSize(float w, float h, int) { m_UVSize = vec2(w, h); }

bool cImageCtrl::HitTest(float x, float y) const { return RectHit(m_Rect, x, y); }

rect<float> cImageCtrl::GetRect() const { return m_Rect; }

const char* cImageCtrl::ClassName() const { return "cImageCtrl"; }

void cImageCtrl::SetTexture(const string& name) { m_iTexture = guidraw::FindTexture(name); }

void cImageCtrl::SetColor(float r, float g, float b) { m_uColor = PackColor(r, g, b, 1.0f); }

int cImageCtrl::GetTexture() const { return m_iTexture; }

rect<float> cImageCtrl::GetUV() const
{
    return rect<float>(m_UVPos.x, m_UVPos.y, m_UVSize.x, m_UVSize.y);
}

// ---- cLabelCtrl ----

cLabelCtrl::cLabelCtrl(const string& name, cWindow* parent) : cCtrl(name, parent) {}

void cLabelCtrl::Draw()
{
    uint32_t colour = m_uColor;
    guidraw::ColorText(m_iFont, m_strText, vec2(m_TextRect.x, m_TextRect.y), &colour);
}

void cLabelCtrl::UpdateLayout()
{
    const vec2 size = guidraw::MeasureColorText(m_iFont, m_strText);
    m_TextRect.w = size.x;
    m_TextRect.h = size.y;
    AlignRect(m_Rect, m_TextRect, m_iAlign);
    // Whole units, so the glyphs land on whole pixels.
    m_TextRect.x = std::trunc(m_TextRect.x);
    m_TextRect.y = std::trunc(m_TextRect.y);
}

void cLabelCtrl::SetPos(float x, float y, int)
{
    m_Rect.x = x;
    m_Rect.y = y;
    UpdateLayout();
}

void cLabelCtrl::MoveBy(float dx, float dy, int)
{
    m_Rect.x += dx;
    m_Rect.y += dy;
    UpdateLayout();
}

void cLabelCtrl::SetSize(float w, float h, int)
{
    m_Rect.w = w;
    m_Rect.h = h;
    UpdateLayout();
}

bool cLabelCtrl::HitTest(float x, float y) const { return RectHit(m_TextRect, x, y); }

rect<float> cLabelCtrl::GetRect() const { return m_Rect; }

const char* cLabelCtrl::ClassName() const { return "cLabelCtrl"; }

void cLabelCtrl::SetText(const string& text)
{
    m_strText = text;
    UpdateLayout();
}

const string& cLabelCtrl::GetText() const { return m_strText; }

void cLabelCtrl::SetAlign(int flags)
{
    m_iAlign = flags;
    UpdateLayout();
}

void cLabelCtrl::SetFontPrt(const string& name) { SetFontID(guidraw::FindFont(name)); }

void cLabelCtrl::SetFontID(int id)
{
    m_iFont = id;
    UpdateLayout();
}

rect<float> cLabelCtrl::GetTextRect() const { return m_TextRect; }

int cLabelCtrl::GetFont() const { return m_iFont; }

uint32_t cLabelCtrl::GetColor() const { return m_uColor; }

// ---- cFrameCtrl ----

cFrameCtrl::cFrameCtrl(const string& name, cWindow* parent) : cCtrl(name, parent) {}

void cFrameCtrl::Draw()
{
    guidraw::Frame(m_iTexture, m_Rect, m_BorderSize, GetUV(), m_BorderUV, m_uColor, m_bDrawInner);
}

void cFrameCtrl::SetPos(float x, float y, int flags)
{
    m_Rect.x = x;
    m_Rect.y = y;
    cCtrl::SetPos(x, y, flags);
}

void cFrameCtrl::MoveBy(float dx, float dy, int flags)
{
    m_Rect.x += dx;
    m_Rect.y += dy;
    cCtrl::MoveBy(dx, dy, flags);
}

void cFrameCtrl::SetSize(float w, float h, int flags)
{
    if (flags & e_frmBorder) {
        m_BorderSize = vec2(w, h);
    } else {
        m_Rect.w = w;
        m_Rect.h = h;
    }
    cCtrl::SetSize(w, h, flags);
}

void cFrameCtrl::SetUVPos(float u, float v, int) { m_UVPos = vec2(u, v); }

void cFrameCtrl::SetUVSize(float w, float h, int flags)
{
    if (flags & e_frmBorder)
        m_BorderUV = vec2(w, h);
    else
        m_UVSize = vec2(w, h);
}

bool cFrameCtrl::HitTest(float x, float y) const { return RectHit(m_Rect, x, y); }

rect<float> cFrameCtrl::GetRect() const { return m_Rect; }

const char* cFrameCtrl::ClassName() const { return "cFrameCtrl"; }

void cFrameCtrl::SetTexture(const string& name) { m_iTexture = guidraw::FindTexture(name); }

void cFrameCtrl::DrawInnerRect(bool draw) { m_bDrawInner = draw; }

void cFrameCtrl::SetColor(float r, float g, float b) { m_uColor = PackColor(r, g, b, 1.0f); }

vec2 cFrameCtrl::GetBorderSize() const { return m_BorderSize; }

rect<float> cFrameCtrl::GetUV() const
{
    return rect<float>(m_UVPos.x, m_UVPos.y, m_UVSize.x, m_UVSize.y);
}

// ---- cSliderCtrl ----

cSliderCtrl::cSliderCtrl(const string& name, cWindow* parent) : cCtrl(name, parent) {}

int cSliderCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    switch (message) {
    case cGUI::e_wndSetFocus: m_bFocused = true; break;
    case cGUI::e_wndKillFocus: m_bFocused = false; break;
    case cGUI::e_wndLButtonUp: m_bPressed = false; break;
    case cGUI::e_wndLButtonDown:
        m_bPressed = true;
        [[fallthrough]];
    case cGUI::e_wndMouseMove:
        if (m_bFocused && m_bPressed) {
            const rect<float> track = GetTrackRect();
            const float x = static_cast<float>(GUIPointX(b));
            const float y = static_cast<float>(GUIPointY(b));
            // A track of no length gives the thumb nowhere to go.
            const float length = m_bVertical ? track.h : track.w;
            if (length != 0.0f) {
                const float f = m_bVertical ? (y - track.y) / length : (x - track.x) / length;
                SetValue(f * (m_fMax - m_fMin) + m_fMin);
                PostToWindow(cGUI::e_wndSliderChange, TruncToArg(m_fValue),
                             static_cast<unsigned>(GetID()));
            }
        }
        break;
    default: break;
    }
    return cCtrl::OnMessage(message, a, b);
}

void cSliderCtrl::UpdateLayout()
{
    const rect<float> track = GetTrackRect();
    const rect<float> thumb = GetThumbRect();
    // With nothing to choose the thumb stands where one starts reading the
    // track: at the left, or at the top of an upright one (where a list
    // scrolled by it starts), not at its bottom.
    const float t = m_fMin < m_fMax ? (m_fValue - m_fMin) / (m_fMax - m_fMin) : (m_bVertical ? 1.0f : 0.0f);
    float x = 0.0f;
    float y = 0.0f;
    // Lower bound first, then the upper one, so a thumb longer than its track
    // sits at the track's end.
    auto clamp = [](float v, float lo, float hi) {
        if (v < lo) v = lo;
        if (v > hi) v = hi;
        return v;
    };
    if (m_bVertical) {
        y = clamp(t * track.h - thumb.h / 2.0f + track.y, track.y, track.y + track.h - thumb.h);
        x = track.x + (track.w - thumb.w) / 2.0f;
    } else {
        x = clamp(t * track.w - thumb.w / 2.0f + track.x, track.x, track.x + track.w - thumb.w);
        y = track.y + (track.h - thumb.h) / 2.0f;
    }
    // Placing the thumb lays out again; a position that is not a finite
    // number would never compare equal and must not recurse.
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (x != thumb.x || y != thumb.y) SetPos(x, y, e_sldImage);
}

bool cSliderCtrl::HitTest(float x, float y) const
{
    return RectHit(GetTrackRect(), x, y) || RectHit(GetThumbRect(), x, y);
}

rect<float> cSliderCtrl::GetRect() const { return GetTrackRect(); }

const char* cSliderCtrl::ClassName() const { return "cSliderCtrl"; }

rect<float> cSliderCtrl::GetTrackRect() const { return {}; }

rect<float> cSliderCtrl::GetThumbRect() const { return {}; }

void cSliderCtrl::SetValue(float value)
{
    if (!(value == value)) value = m_fMin;
    if (value < m_fMin) value = m_fMin;
    if (value > m_fMax) value = m_fMax;
    m_fValue = value;
    UpdateLayout();
}

float cSliderCtrl::GetValue() const { return m_fValue; }

void cSliderCtrl::SetMinMax(float min, float max)
{
    // A bound that is no finite number fails every comparison and would let
    // any value through; the range stays as it was.
    if (!std::isfinite(min) || !std::isfinite(max)) return;
    m_fMin = min;
    m_fMax = max;
    if (m_fMin > m_fMax) m_fMax = m_fMin;
    SetValue(m_fValue);
}

float cSliderCtrl::GetMin() const { return m_fMin; }

float cSliderCtrl::GetMax() const { return m_fMax; }

void cSliderCtrl::SetVertical(bool vertical) { m_bVertical = vertical; }

bool cSliderCtrl::IsVertical() const { return m_bVertical; }

// ---- cEditCtrl ----

cEditCtrl::cEditCtrl(const string& name, cWindow* parent) : cCtrl(name, parent) {}

int cEditCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    const unsigned id = static_cast<unsigned>(GetID());
    switch (message) {
    case cGUI::e_wndKillFocus:
        PostToWindow(cGUI::e_wndEditEnd, 0, id);
        break;
    case cGUI::e_wndMouseEnter:
    case cGUI::e_wndMouseLeave:
        cCtrl::OnMessage(message, a, b);
        break;
    case cGUI::e_wndChar: {
        const string& text = GetText();
        if (a == 8) {
            if (!text.empty()) {
                SetText(string(text.substr(0, text.size() - 1)));
                PostToWindow(cGUI::e_wndEditChange, 0, id);
            }
        } else if (a == 13) {
            PostToWindow(cGUI::e_wndKillFocus, 0, id);
        } else if (a == 96 || a == 126 || a == 168 || a == 184) {
            // The console keys and the two forms of the letter Yo of the
            // 8-bit code page are never typed into a field.
        } else if (a < 32 || a > 255) {
            // Control codes, and anything that is not one byte of text.
        } else if (static_cast<long long>(text.size()) < m_iMaxLength) {
            SetText(text + static_cast<char>(a));
            PostToWindow(cGUI::e_wndEditChange, 0, id);
        }
        break;
    }
    default: break;
    }
    return 0;
}

const char* cEditCtrl::ClassName() const { return "cEditCtrl"; }

void cEditCtrl::SetText(const string&) {}

const string& cEditCtrl::GetText() const
{
    static const string empty;
    return empty;
}

void cEditCtrl::SetMaxLength(int length) { m_iMaxLength = length; }

int cEditCtrl::GetMaxLength() const { return m_iMaxLength; }

} // namespace vek
