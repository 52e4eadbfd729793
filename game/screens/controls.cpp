#include "game/screens/controls.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "engine/core/geometry.h"
#include "engine/gui/gui.h"
#include "engine/gui/guidraw.h"
#include "engine/sound/sound.h"

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

void cTabButtonCtrl::SetCheck(bool checked) { m_iVisualState = checked ? 1 : 0; }

bool cTabButtonCtrl::IsChecked() const { return m_iVisualState == 1; }

// ---- check boxes and slider ----

cCheckBoxCtrl::cCheckBoxCtrl(const vek::string& name, vek::cWindow* parent)
    : vek::cCheckBoxSysCtrl(name, parent)
{
}

const char* cCheckBoxCtrl::ClassName() const { return "cCheckBoxCtrl"; }

cCheckBoxUpCtrl::cCheckBoxUpCtrl(const vek::string& name, vek::cWindow* parent)
    : cCheckBoxCtrl(name, parent)
{
}

void cCheckBoxUpCtrl::SetFilledStars(int count) { m_iFilledStars = count; }

void cCheckBoxUpCtrl::SetStarCount(int count) { m_iStarCount = count; }

cSliderCtrlEx::cSliderCtrlEx(const vek::string& name, vek::cWindow* parent)
    : vek::cSliderSysCtrl(name, parent)
{
}

const char* cSliderCtrlEx::ClassName() const { return "cSliderCtrlEx"; }

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
