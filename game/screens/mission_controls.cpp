// The goal lines (cMissionCtrl, cTaskCtrl) and the level clock (cClockCtrl).
#include <algorithm>
#include <cmath>

#include "engine/core/log.h"
#include "engine/graphics/draw2d.h"
#include "engine/gui/gui.h"
#include "engine/gui/host.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"
#include "game/shell/texture_info.h"

namespace {

constexpr int kMissionLabelAlign = vek::cAlign::Left | vek::cAlign::Middle;
// The icon's distance from the line's left edge, and the gap to the text.
constexpr float kIconInset = 40.0f;
constexpr float kTextGap = 4.0f;
constexpr float kPi = 3.14159265358979f;
constexpr int kClockSegments = 64;
// The clock's disc stays this far inside the control's rectangle.
constexpr float kClockInset = 8.0f;

// The sprite's first picture and its pixel size; false (logged) when the
// sprite has no picture.
bool LookupIcon(const vek::string& texture, const vek::string& area, cSprite* sprite)
{
    if (FindSprite(texture, area, sprite) == e_spriteFound && sprite->iFrameCount > 0 && sprite->pFrames)
        return true;
    vek::LogWarning("cMissionCtrl", "SetIcon: sprite '%s:%s' not found\n", texture, area);
    return false;
}

void ApplyIcon(vek::cImageCtrl& image, const vek::string& texture, const cSprite& sprite)
{
    image.SetTexture(texture);
    image.SetSize(sprite.fWidth, sprite.fHeight, 0);
    const vek::rectf& uv = sprite.pFrames[0];
    image.SetUVPos(uv.x, uv.y, 0);
    image.SetUVSize(uv.w, uv.h, 0);
}

struct cClockPicture {
    bool bLooked = false;
    int32_t iTexture = 0;
    vek::rectf uv;
    bool bFound = false;
};
cClockPicture g_ClockPicture;

} // namespace

// ---- cMissionCtrl ----

cMissionCtrl::cMissionCtrl(const vek::string& name, vek::cWindow* parent)
    : vek::cCtrl(name, parent),
      m_Label("", nullptr),
      m_Icon("", nullptr),
      m_CheckImage("", nullptr),
      m_Frame("", nullptr)
{
    m_Label.MarkOwned();
    m_Icon.MarkOwned();
    m_CheckImage.MarkOwned();
    m_Frame.MarkOwned();
    m_Label.SetAlign(kMissionLabelAlign);
    UpdateLayout();
}

cMissionCtrl::~cMissionCtrl() = default;

void cMissionCtrl::Draw()
{
    m_Frame.Draw();
    m_Icon.Draw();
    if (m_bChecked) m_CheckImage.Draw();
    m_Label.Draw();
}

int cMissionCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    // No press is needed: a release over the line is enough. The window
    // also hands the release to the control pressed last; a press on the
    // line that is released elsewhere lets it pass.
    if (message == vek::cGUI::e_wndLButtonUp && m_pParent && m_pParent->GetHoveredControl() == this)
        PostToWindow(vek::cGUI::e_wndCommand, 0, static_cast<unsigned>(GetID()));
    vek::cCtrl::OnMessage(message, a, b);
    return message == vek::cGUI::e_wndChar ? 1 : 0;
}

void cMissionCtrl::UpdateLayout()
{
    const vek::rectf frame = m_Frame.GetRect();
    const vek::rectf icon = m_Icon.GetRect();
    const float ix = frame.x + kIconInset;
    const float iy = frame.y + (frame.h - icon.h) * 0.5f;
    m_Icon.SetPos(ix, iy, 0);
    m_Label.SetPos(ix + icon.w + kTextGap, iy, 0);
    m_Label.SetSize(icon.w, icon.h, 0);
    const vek::rectf check = m_CheckImage.GetRect();
    m_CheckImage.SetPos(ix + (icon.w - check.w) * 0.5f, iy + (icon.h - check.h) * 0.5f, 0);
}

void cMissionCtrl::SetPos(float x, float y, int parts)
{
    m_Frame.SetPos(x, y, parts);
    UpdateLayout();
}

void cMissionCtrl::MoveBy(float dx, float dy, int parts)
{
    m_Frame.MoveBy(dx, dy, parts);
    UpdateLayout();
}

void cMissionCtrl::SetSize(float w, float h, int parts)
{
    if (parts & e_itemImage)
        m_Icon.SetSize(w, h, 0);
    else
        m_Frame.SetSize(w, h, parts);
    UpdateLayout();
}

void cMissionCtrl::SetUVPos(float u, float v, int parts)
{
    if (parts == e_itemImage)
        m_Icon.SetUVPos(u, v, 0);
    else if (parts == e_itemFrame)
        m_Frame.SetUVPos(u, v, 0);
}

void cMissionCtrl::SetUVSize(float w, float h, int parts)
{
    if ((parts & e_itemFrame) || (parts & e_frmBorder))
        m_Frame.SetUVSize(w, h, parts & e_frmBorder);
    else if (parts & e_itemImage)
        m_Icon.SetUVSize(w, h, 0);
}

bool cMissionCtrl::HitTest(float x, float y) const { return m_Frame.HitTest(x, y); }

vek::rect<float> cMissionCtrl::GetRect() const { return m_Frame.GetRect(); }

const char* cMissionCtrl::ClassName() const { return "cMissionCtrl"; }

void cMissionCtrl::SetTexture(const vek::string& name, int part)
{
    if (part == e_itemImage)
        m_Icon.SetTexture(name);
    else if (part == e_itemFrame)
        m_Frame.SetTexture(name);
}

void cMissionCtrl::SetIcon(const vek::string& texture, const vek::string& area)
{
    cSprite sprite;
    if (!LookupIcon(texture, area, &sprite)) return;
    ApplyIcon(m_Icon, texture, sprite);
    m_strIconTexture = texture;
    m_strIconArea = area;
    UpdateLayout();
}

void cMissionCtrl::SetIconCheck(const vek::string& texture, const vek::string& area)
{
    cSprite sprite;
    if (!LookupIcon(texture, area, &sprite)) return;
    ApplyIcon(m_CheckImage, texture, sprite);
    UpdateLayout();
}

void cMissionCtrl::SetCheck(bool checked) { m_bChecked = checked; }

bool cMissionCtrl::IsChecked() const { return m_bChecked; }

void cMissionCtrl::SetText(const vek::string& text) { m_Label.SetText(text); }

const vek::string& cMissionCtrl::GetText() const { return m_Label.GetText(); }

void cMissionCtrl::SetAlign(int flags) { m_Label.SetAlign(flags); }

void cMissionCtrl::SetFontPrt(const vek::string& name) { m_Label.SetFontPrt(name); }

// ---- cTaskCtrl ----

cTaskCtrl::cTaskCtrl(const vek::string& name, vek::cWindow* parent) : cMissionCtrl(name, parent)
{
    m_Slide.m_fSpeed = kSlideSpeed;
}

void cTaskCtrl::SlideTo(const vek::vec2& target, int state)
{
    const vek::rectf r = GetRect();
    m_Slide.Reset(vek::vec2(r.x, r.y));
    m_Slide.SetTarget(target);
    m_iSlideState = state;
}

void cTaskCtrl::Show()
{
    if (m_iSlideState == e_slideShown || m_iSlideState == e_slideShowing) return;
    SlideTo(m_ShownPos, e_slideShowing);
}

void cTaskCtrl::Hide()
{
    if (m_iSlideState == e_slideHidden || m_iSlideState == e_slideHiding) return;
    SlideTo(m_HiddenPos, e_slideHiding);
}

void cTaskCtrl::ShowImmediately()
{
    m_Slide.Reset(m_ShownPos);
    SetPos(m_ShownPos.x, m_ShownPos.y, 0);
    m_iSlideState = e_slideShown;
}

void cTaskCtrl::HideImmediately()
{
    m_Slide.Reset(m_HiddenPos);
    SetPos(m_HiddenPos.x, m_HiddenPos.y, 0);
    m_iSlideState = e_slideHidden;
}

void cTaskCtrl::Update(float seconds)
{
    const bool standing = m_Slide.m_Value == m_Slide.m_To;
    // A slide that took no time (target where the line already was) still
    // has to settle its state.
    if (standing && m_iSlideState != e_slideShowing && m_iSlideState != e_slideHiding) return;
    const int step = standing ? int(vek::mover<vek::vec2>::e_Arrived) : m_Slide.Update(seconds);
    if (step == vek::mover<vek::vec2>::e_Moving) {
        SetPos(m_Slide.m_Value.x, m_Slide.m_Value.y, 0);
    } else if (step == vek::mover<vek::vec2>::e_Arrived) {
        if (m_iSlideState == e_slideShowing)
            ShowImmediately();
        else if (m_iSlideState == e_slideHiding)
            HideImmediately();
    }
}

// ---- cClockCtrl ----

cClockCtrl::cClockCtrl(const vek::string& name, vek::cWindow* parent) : vek::cFrameCtrl(name, parent) {}

uint32_t cClockCtrl::RampColor(float fraction)
{
    const float f = std::clamp(fraction, 0.0f, 1.0f);
    const float red = f < 0.5f ? 2.0f * f : 1.0f;
    const float green = f < 0.5f ? 1.0f : 2.0f * (1.0f - f);
    return vek::PackColor(red, green, 0.0f, 1.0f);
}

void cClockCtrl::ForgetSprite() { g_ClockPicture = cClockPicture(); }

void cClockCtrl::Draw()
{
    if (!g_ClockPicture.bLooked) {
        g_ClockPicture.bLooked = true;
        cSprite sprite;
        if (FindSprite("icons00", "circle_need", &sprite) == e_spriteFound && sprite.iFrameCount > 0 &&
            sprite.pFrames) {
            g_ClockPicture.iTexture = sprite.iTexture;
            g_ClockPicture.uv = sprite.pFrames[0];
            g_ClockPicture.bFound = true;
        }
    }
    if (!g_ClockPicture.bFound) return;
    vek::iGuiHost* host = vek::GetGuiHost();
    vek::cQuadBatch* batch = host ? host->GetHostBatch() : nullptr;
    if (!batch) return;
    const vek::rectf r = GetRect();
    const float radius = std::min(r.w, r.h) * 0.5f - kClockInset;
    if (!(radius > 0.0f)) return;
    const vek::vec2 centre(r.x + r.w * 0.5f, r.y + r.h * 0.5f);
    const uint32_t texture = static_cast<uint32_t>(g_ClockPicture.iTexture);
    batch->AddSector(texture, g_ClockPicture.uv, centre, radius, kClockSegments, 0.0f, 2.0f * kPi, 0xFFFFFFFFu);
    const float f = std::clamp(m_fElapsed, 0.0f, 1.0f);
    if (f > 0.0f && radius > 1.0f)
        batch->AddSector(texture, g_ClockPicture.uv, centre, radius - 1.0f, kClockSegments, kPi * 0.5f - 2.0f * kPi * f,
                         kPi * 0.5f, RampColor(f));
}
