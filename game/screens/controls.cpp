#include "game/screens/controls.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "engine/core/geometry.h"
#include "engine/gui/gui.h"
#include "engine/gui/guidraw.h"
#include "engine/sound/sound.h"
#include "game/shell/texture_info.h"

namespace {

constexpr int kButtonLabelAlign = vek::cAlign::Center | vek::cAlign::Middle;
constexpr int kMissionLabelAlign = vek::cAlign::Left | vek::cAlign::Middle;
constexpr float kDefaultFps = 30.0f;

} // namespace

namespace {
InterfaceSoundHook g_pSoundHook = nullptr;
} // namespace

void PlayInterfaceSound(const vek::string& name)
{
    if (g_pSoundHook) g_pSoundHook(name);
    // Without sound there is nothing to play and nothing to warn about.
    if (!vek::g_pSoundManager) return;
    // Not looping: the sound plays to its end after the instance is gone.
    vek::cSound sound(name);
    sound.Play(true);
}

void SetInterfaceSoundHook(InterfaceSoundHook hook) { g_pSoundHook = hook; }

// ---- sprites shared by the controls ----

namespace {

// The first picture of a sprite, kept by value: the registry's frame lists
// are not held beyond the lookup.
struct cPicture {
    int32_t iTexture = 0;
    vek::rectf uv;
    bool bFound = false;
};

// Looks the sprite up; found only when it has at least one picture.
cPicture LookupPicture(const char* texture, const char* area)
{
    cPicture picture;
    cSprite sprite;
    if (FindSprite(texture, area, &sprite) == e_spriteFound && sprite.iFrameCount > 0 && sprite.pFrames) {
        picture.iTexture = sprite.iTexture;
        picture.uv = sprite.pFrames[0];
        picture.bFound = true;
    }
    return picture;
}

// The star pictures, shared by every star row. A sheet that is not loaded
// yet is asked again on a later draw.
cPicture g_StarFull;
cPicture g_StarEmpty;

void LookupStars()
{
    if (!g_StarFull.bFound) g_StarFull = LookupPicture("icons00", "star");
    if (!g_StarEmpty.bFound) g_StarEmpty = LookupPicture("icons00", "star_empty");
}

// The picture one UV cell below: the next state in the texture's column.
vek::vec2 CellBelow(const vek::rectf& uv) { return vek::vec2(uv.x, uv.y - uv.h); }

} // namespace

void ForgetControlSprites()
{
    g_StarFull = cPicture();
    g_StarEmpty = cPicture();
}

// ---- cButtonCtrl ----

cButtonCtrl::cButtonCtrl(const vek::string& name, vek::cWindow* parent)
    : vek::cCtrl(name, parent),
      m_Label("", nullptr),
      m_Frames{{"", nullptr}, {"", nullptr}, {"", nullptr}, {"", nullptr}}
{
    m_Label.MarkOwned();
    for (vek::cFrameCtrl& frame : m_Frames) frame.MarkOwned();
    m_Label.SetAlign(kButtonLabelAlign);
}

cButtonCtrl::~cButtonCtrl() = default;

void cButtonCtrl::Draw()
{
    // Disabled overrides the picture, not the state.
    const int frame = GetState(e_Disabled) ? e_frameDisabled : m_iVisualState;
    if (frame >= 0 && frame < e_frameCount) m_Frames[frame].Draw();
    if (!m_Label.GetText().empty()) m_Label.Draw();
}

int cButtonCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    switch (message) {
    case vek::cGUI::e_wndLButtonDown:
        m_iVisualState = e_statePushed;
        PlayInterfaceSound("click");
        break;
    case vek::cGUI::e_wndLButtonUp:
        if (m_iVisualState != e_statePushed) break;
        PostToWindow(vek::cGUI::e_wndCommand, 0, static_cast<unsigned>(GetID()));
        // The cursor is still over the button.
        m_iVisualState = e_stateHover;
        PlayInterfaceSound("mouse_in");
        break;
    case vek::cGUI::e_wndMouseEnter:
        m_iVisualState = e_stateHover;
        PlayInterfaceSound("mouse_in");
        break;
    case vek::cGUI::e_wndMouseLeave:
        m_iVisualState = e_stateNormal;
        break;
    default:
        break;
    }
    // Enter and leave go on to the window.
    return vek::cCtrl::OnMessage(message, a, b);
}

void cButtonCtrl::UpdateLayout()
{
    const vek::rectf r = m_Frames[e_frameNormal].GetRect();
    const vek::vec2 border = m_Frames[e_frameNormal].GetBorderSize();
    m_Label.SetPos(r.x, r.y, 0);
    m_Label.SetSize(r.w, r.h, 0);
    for (int i = e_framePushed; i < e_frameCount; ++i) {
        vek::cFrameCtrl& frame = m_Frames[i];
        frame.SetPos(r.x, r.y, 0);
        frame.SetSize(r.w, r.h, 0);
        frame.SetSize(border.x, border.y, e_frmBorder);
        frame.SetUVPos(m_UVOrigin.x, m_UVOrigin.y - static_cast<float>(i) * m_UVCell.y, 0);
    }
}

void cButtonCtrl::SetPos(float x, float y, int parts)
{
    m_Frames[e_frameNormal].SetPos(x, y, parts);
    UpdateLayout();
}

void cButtonCtrl::MoveBy(float dx, float dy, int parts)
{
    m_Frames[e_frameNormal].MoveBy(dx, dy, parts);
    UpdateLayout();
}

void cButtonCtrl::SetSize(float w, float h, int parts)
{
    m_Frames[e_frameNormal].SetSize(w, h, parts);
    UpdateLayout();
}

void cButtonCtrl::SetUVPos(float u, float v, int parts)
{
    m_UVOrigin = vek::vec2(u, v);
    m_Frames[e_frameNormal].SetUVPos(u, v, parts);
    UpdateLayout();
}

void cButtonCtrl::SetUVSize(float w, float h, int parts)
{
    if (parts == e_btnNormal) m_UVCell = vek::vec2(w, h);
    for (vek::cFrameCtrl& frame : m_Frames) frame.SetUVSize(w, h, parts);
    UpdateLayout();
}

bool cButtonCtrl::HitTest(float x, float y) const { return m_Frames[e_frameNormal].HitTest(x, y); }

vek::rect<float> cButtonCtrl::GetRect() const { return m_Frames[e_frameNormal].GetRect(); }

const char* cButtonCtrl::ClassName() const { return "cButtonCtrl"; }

void cButtonCtrl::SetText(const vek::string& text) { m_Label.SetText(text); }

const vek::string& cButtonCtrl::GetText() const { return m_Label.GetText(); }

void cButtonCtrl::SetFontPrt(const vek::string& name) { m_Label.SetFontPrt(name); }

void cButtonCtrl::SetColor(float r, float g, float b) { m_Label.SetColor(r, g, b); }

void cButtonCtrl::SetAlign(int flags) { m_Label.SetAlign(flags); }

void cButtonCtrl::SetTexture(const vek::string& name, int)
{
    for (vek::cFrameCtrl& frame : m_Frames) frame.SetTexture(name);
}

const vek::cFrameCtrl* cButtonCtrl::GetFrame(int which) const
{
    return which >= 0 && which < e_frameCount ? &m_Frames[which] : nullptr;
}

// ---- cTabButtonCtrl ----

cTabButtonCtrl::cTabButtonCtrl(const vek::string& name, vek::cWindow* parent)
    : cButtonCtrl(name, parent)
{
}

cTabButtonCtrl::~cTabButtonCtrl() = default;

int cTabButtonCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    switch (message) {
    case vek::cGUI::e_wndLButtonDown:
        if (IsChecked()) break;
        SetCheck(true);
        PostToWindow(vek::cGUI::e_wndCheck, 1, static_cast<unsigned>(GetID()));
        break;
    case vek::cGUI::e_wndMouseEnter:
        if (!IsChecked()) m_iVisualState = e_stateHover;
        break;
    case vek::cGUI::e_wndMouseLeave:
        if (!IsChecked()) m_iVisualState = e_stateNormal;
        break;
    default:
        break;
    }
    return vek::cCtrl::OnMessage(message, a, b);
}

void cTabButtonCtrl::SetCheck(bool checked) { m_iVisualState = checked ? e_statePushed : e_stateNormal; }

bool cTabButtonCtrl::IsChecked() const { return m_iVisualState == e_statePushed; }

// ---- cCheckBoxCtrl, cCheckBoxUpCtrl ----

cCheckBoxCtrl::cCheckBoxCtrl(const vek::string& name, vek::cWindow* parent)
    : vek::cCheckBoxSysCtrl(name, parent), m_HoverBox("", nullptr), m_HoverCheck("", nullptr)
{
    m_HoverBox.MarkOwned();
    m_HoverCheck.MarkOwned();
}

cCheckBoxCtrl::~cCheckBoxCtrl() = default;

void cCheckBoxCtrl::Draw()
{
    if (m_iHover)
        (m_bChecked ? m_HoverCheck : m_HoverBox).Draw();
    else
        (m_bChecked ? m_Check : m_Box).Draw();
    m_Label.Draw();
}

int cCheckBoxCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    switch (message) {
    case vek::cGUI::e_wndLButtonDown:
        PlayInterfaceSound("click");
        break;
    case vek::cGUI::e_wndMouseEnter:
        m_iHover = 1;
        PlayInterfaceSound("mouse_in");
        break;
    case vek::cGUI::e_wndMouseLeave:
        m_iHover = 0;
        break;
    default:
        break;
    }
    return vek::cCheckBoxSysCtrl::OnMessage(message, a, b);
}

void cCheckBoxCtrl::UpdateLayout()
{
    vek::cCheckBoxSysCtrl::UpdateLayout();
    const vek::rectf box = m_Box.GetRect();
    const vek::rectf check = m_Check.GetRect();
    m_HoverBox.SetPos(box.x, box.y, 0);
    m_HoverBox.SetSize(box.w, box.h, 0);
    m_HoverCheck.SetPos(check.x, check.y, 0);
    m_HoverCheck.SetSize(check.w, check.h, 0);
    const vek::vec2 boxUV = CellBelow(m_Box.GetUV());
    const vek::vec2 checkUV = CellBelow(m_Check.GetUV());
    m_HoverBox.SetUVPos(boxUV.x, boxUV.y, 0);
    m_HoverCheck.SetUVPos(checkUV.x, checkUV.y, 0);
}

void cCheckBoxCtrl::SetUVPos(float u, float v, int parts)
{
    vek::cCheckBoxSysCtrl::SetUVPos(u, v, parts);
    UpdateLayout();
}

void cCheckBoxCtrl::SetUVSize(float w, float h, int parts)
{
    vek::cCheckBoxSysCtrl::SetUVSize(w, h, parts);
    if (parts & e_cbNormal) m_HoverBox.SetUVSize(w, h, 0);
    if (parts & e_cbPush) m_HoverCheck.SetUVSize(w, h, 0);
    UpdateLayout();
}

const char* cCheckBoxCtrl::ClassName() const { return "cCheckBoxCtrl"; }

void cCheckBoxCtrl::SetTexture(const vek::string& name, int parts)
{
    vek::cCheckBoxSysCtrl::SetTexture(name, parts);
    if (parts & e_cbNormal) m_HoverBox.SetTexture(name);
    if (parts & e_cbPush) m_HoverCheck.SetTexture(name);
}

cCheckBoxUpCtrl::cCheckBoxUpCtrl(const vek::string& name, vek::cWindow* parent)
    : cCheckBoxCtrl(name, parent)
{
}

vek::rect<float> cCheckBoxUpCtrl::GetStarRect(int k) const
{
    const vek::rectf r = GetRect();
    const float n = static_cast<float>(m_iStarCount);
    const float base = r.x + (r.w - (n * 0.5f + 1.0f) * kStarSize) * 0.5f;
    return vek::rectf(base + kStarSize * 0.5f * static_cast<float>(k), r.y - kStarSize, kStarSize, kStarSize);
}

void cCheckBoxUpCtrl::Draw()
{
    cCheckBoxCtrl::Draw();
    LookupStars();
    for (int k = 1; k <= m_iStarCount; ++k) {
        const cPicture& star = k <= m_iFilledStars ? g_StarFull : g_StarEmpty;
        if (star.bFound) vek::guidraw::Quad(star.iTexture, GetStarRect(k), 0xFFFFFFFFu, star.uv);
    }
}

void cCheckBoxUpCtrl::SetFilledStars(int count) { m_iFilledStars = count; }

void cCheckBoxUpCtrl::SetStarCount(int count) { m_iStarCount = count; }

// ---- cSliderCtrlEx ----

cSliderCtrlEx::cSliderCtrlEx(const vek::string& name, vek::cWindow* parent)
    : vek::cSliderSysCtrl(name, parent), m_HoverThumb("", nullptr), m_HoverTrack("", nullptr)
{
    m_HoverThumb.MarkOwned();
    m_HoverTrack.MarkOwned();
}

cSliderCtrlEx::~cSliderCtrlEx() = default;

void cSliderCtrlEx::Draw()
{
    if (m_iHover) {
        m_HoverTrack.Draw();
        m_HoverThumb.Draw();
    } else {
        m_Track.Draw();
        m_Thumb.Draw();
    }
}

int cSliderCtrlEx::OnMessage(int message, unsigned a, unsigned b)
{
    if (message == vek::cGUI::e_wndMouseEnter) {
        m_iHover = 1;
        PlayInterfaceSound("mouse_in");
    } else if (message == vek::cGUI::e_wndMouseLeave) {
        m_iHover = 0;
    }
    return vek::cSliderSysCtrl::OnMessage(message, a, b);
}

void cSliderCtrlEx::UpdateLayout()
{
    // Places the thumb along the track for the value (which lays out again).
    vek::cSliderSysCtrl::UpdateLayout();
    const vek::rectf track = m_Track.GetRect();
    const vek::rectf thumb = m_Thumb.GetRect();
    m_HoverTrack.SetPos(track.x, track.y, 0);
    m_HoverTrack.SetSize(track.w, track.h, 0);
    m_HoverThumb.SetPos(thumb.x, thumb.y, 0);
    m_HoverThumb.SetSize(thumb.w, thumb.h, 0);
    const vek::vec2 trackUV = CellBelow(m_Track.GetUV());
    const vek::vec2 thumbUV = CellBelow(m_Thumb.GetUV());
    m_HoverTrack.SetUVPos(trackUV.x, trackUV.y, 0);
    m_HoverThumb.SetUVPos(thumbUV.x, thumbUV.y, 0);
}

void cSliderCtrlEx::SetSize(float w, float h, int parts)
{
    if (parts & e_sldImage) {
        m_HoverThumb.SetSize(w, h, 0);
        m_Thumb.SetSize(w, h, 0);
    } else {
        m_HoverTrack.SetSize(w, h, parts);
        m_Track.SetSize(w, h, parts);
    }
    UpdateLayout();
}

void cSliderCtrlEx::SetUVPos(float u, float v, int parts)
{
    vek::cSliderSysCtrl::SetUVPos(u, v, parts);
    UpdateLayout();
}

void cSliderCtrlEx::SetUVSize(float w, float h, int parts)
{
    vek::cSliderSysCtrl::SetUVSize(w, h, parts);
    if (parts & e_sldImage)
        m_HoverThumb.SetUVSize(w, h, 0);
    else
        m_HoverTrack.SetUVSize(w, h, parts);
    UpdateLayout();
}

const char* cSliderCtrlEx::ClassName() const { return "cSliderCtrlEx"; }

void cSliderCtrlEx::SetTexture(const vek::string& name, int parts)
{
    vek::cSliderSysCtrl::SetTexture(name, parts);
    if (parts & e_sldImage)
        m_HoverThumb.SetTexture(name);
    else
        m_HoverTrack.SetTexture(name);
}

// ---- cMissionCtrl, cTaskCtrl ----

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
}

cMissionCtrl::~cMissionCtrl() = default;

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
    m_strIconTexture = texture;
    m_strIconArea = area;
    m_Icon.SetTexture(texture);
}

void cMissionCtrl::SetCheck(bool checked) { m_bChecked = checked; }

bool cMissionCtrl::IsChecked() const { return m_bChecked; }

void cMissionCtrl::SetText(const vek::string& text) { m_Label.SetText(text); }

const vek::string& cMissionCtrl::GetText() const { return m_Label.GetText(); }

void cMissionCtrl::SetAlign(int flags) { m_Label.SetAlign(flags); }

void cMissionCtrl::SetFontPrt(const vek::string& name) { m_Label.SetFontPrt(name); }

cTaskCtrl::cTaskCtrl(const vek::string& name, vek::cWindow* parent) : cMissionCtrl(name, parent) {}

// ---- cToolbarCtrl ----

cToolbarCtrl::cToolbarCtrl(const vek::string& name, vek::cWindow* parent)
    : vek::cToolbarSysCtrl(name, parent)
{
}

cToolbarCtrl::~cToolbarCtrl() = default;

const char* cToolbarCtrl::ClassName() const { return "cToolbarCtrl"; }

void cToolbarCtrl::SetTexture(const vek::string& name) { m_iTexture = vek::guidraw::FindTexture(name); }

// ---- cLinkCtrl ----

cLinkCtrl::cLinkCtrl(const vek::string& name, vek::cWindow* parent) : vek::cLabelCtrl(name, parent) {}

cLinkCtrl::~cLinkCtrl() = default;

const char* cLinkCtrl::ClassName() const { return "cLinkCtrl"; }

void cLinkCtrl::SetColor(float r, float g, float b, int flags)
{
    const uint32_t colour = vek::PackColor(r, g, b, 1.0f);
    const auto which = static_cast<uint32_t>(flags);
    if (which & e_lnkNormal) {
        m_uNormal = colour;
        m_uColor = colour;
    }
    if (which & e_lnkHighlight) m_uHighlight = colour;
}

// ---- cAnimationCtrl ----

cAnimationCtrl::cAnimationCtrl(const vek::string& name, vek::cWindow* parent)
    : vek::cImageCtrl(name, parent)
{
    m_Counter.iMode = vek::cAnimCounter::e_Loop;
    m_Counter.iFrameCount = 1;
    m_Counter.fFrameTime = 1.0f / kDefaultFps;
}

cAnimationCtrl::~cAnimationCtrl() = default;

const char* cAnimationCtrl::ClassName() const { return "cAnimationCtrl"; }

void cAnimationCtrl::SetTileset(int columns, int rows, float fps)
{
    // The picture size is 1 / columns by 1 / rows of the texture.
    m_iColumns = std::max(columns, 1);
    m_iRows = std::max(rows, 1);
    // A grid too large for the frame counter plays its first frames only.
    const int64_t frames = static_cast<int64_t>(m_iColumns) * m_iRows;
    m_Counter.iFrameCount =
        static_cast<int32_t>(std::min<int64_t>(frames, std::numeric_limits<int32_t>::max()));
    m_Counter.iFrame = 0;
    m_Counter.fElapsed = 0.0f;
    m_Counter.iDirection = 1;
    m_Counter.iMode = vek::cAnimCounter::e_Loop;
    m_Counter.fFrameTime = 1.0f / (fps > 0.0f ? fps : kDefaultFps);
    m_Counter.ApplyMode(m_Counter.iMode, true);
}

// ---- cClockCtrl ----

cClockCtrl::cClockCtrl(const vek::string& name, vek::cWindow* parent) : vek::cFrameCtrl(name, parent) {}

// ---- cImageCtrlEx ----

cImageCtrlEx::cImageCtrlEx(const vek::string& name, vek::cWindow* parent)
    : vek::cImageCtrl(name, parent)
{
}

const char* cImageCtrlEx::ClassName() const { return "cImageCtrlEx"; }

void cImageCtrlEx::SetColor(float r, float g, float b, float a) { m_uColor = vek::PackColor(r, g, b, a); }

vek::cImageCtrl* ToImageCtrl(vek::cCtrl* control) { return dynamic_cast<vek::cImageCtrl*>(control); }
