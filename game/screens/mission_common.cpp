#include "game/screens/mission_common.h"

#include <cmath>
#include <limits>

#include "engine/app/game.h"
#include "engine/gui/ctrl.h"
#include "game/shell/garden.h"
#include "game/shell/texture_info.h"
#include "game/world/effects.h"

namespace {

// A run shorter than this is no run at all.
constexpr float kTiny = 1.1920929e-7f;

ScreenSoundHook g_pScreenSoundHook = nullptr;

} // namespace

// ---- cIntCounter ----

void cIntCounter::Restart()
{
    iFrom = iValue;
    fTime = 0.0f;
    // The distance in 64 bits: the two ends may lie at the int limits.
    const double distance = std::fabs(static_cast<double>(iTo) - static_cast<double>(iFrom));
    // No distance, or a negative speed, arrives at once; speed 0 never gets
    // anywhere (the value stays while the run lasts for ever).
    double duration = 0.0;
    if (distance >= kTiny && fSpeed > 0.0f)
        duration = distance / fSpeed;
    else if (distance >= kTiny && fSpeed == 0.0f)
        duration = std::numeric_limits<double>::infinity();
    if (!(duration >= kTiny)) {
        fDuration = 0.0f;
        iValue = iTo;
    } else {
        fDuration = static_cast<float>(duration);
    }
}

void cIntCounter::SetTarget(int32_t target)
{
    iTo = target;
    Restart();
}

void cIntCounter::SetSpeed(float speed)
{
    fSpeed = speed;
    Restart();
}

int cIntCounter::Update(float dt)
{
    if (fTime == fDuration) return 0;
    if (dt > 0.0f) fTime += dt;
    if (fTime >= fDuration) {
        fTime = fDuration;
        iValue = iTo;
        return 2;
    }
    const double span = static_cast<double>(iTo) - static_cast<double>(iFrom);
    const double value = std::trunc(static_cast<double>(iFrom) + span * (fTime / fDuration));
    // Between the two ends, which are ints.
    iValue = static_cast<int32_t>(std::fmin(std::fmax(value, std::fmin(iFrom, iTo)), std::fmax(iFrom, iTo)));
    return 1;
}

void cIntCounter::Clear()
{
    *this = cIntCounter();
    fSpeed = 0.0f;
}

void cIntCounter::Finish()
{
    iFrom = iValue = iTo;
    fTime = fDuration = 0.0f;
}

vek::vec2 Lerp(const vek::vec2& from, const vek::vec2& to, float t)
{
    return vek::vec2(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t);
}

void StartTimer(vek::mover<float>& timer, float seconds)
{
    ClearTimer(timer);
    timer.SetTarget(seconds);
}

void ClearTimer(vek::mover<float>& timer)
{
    timer.Reset(0.0f);
    timer.m_fSpeed = 1.0f;
}

void FinishTimer(vek::mover<float>& timer)
{
    timer.m_From = timer.m_Value = timer.m_To;
    timer.m_fTime = timer.m_fDuration = 0.0f;
}

void ShowControl(vek::cCtrl* control, bool shown)
{
    if (!control) return;
    if (shown)
        control->EnableState(vek::cCtrl::e_Visibility);
    else
        control->DisableState(vek::cCtrl::e_Visibility);
}

void SetLabelText(vek::cLabelCtrl* label, const vek::string& text)
{
    if (label) label->SetText(text);
}

bool SetImageSprite(vek::cImageCtrl* image, const vek::string& texture, const vek::string& area)
{
    if (!image) return false;
    image->SetTexture(texture);
    cSprite sprite;
    if (!g_pGarden || !g_pGarden->GetSprite(texture, &sprite, area)) return false;
    const vek::rectf& frame = sprite.pFrames[0];
    image->SetUVPos(frame.x, frame.y, 0);
    image->SetUVSize(frame.w, frame.h, 0);
    return true;
}

vek::vec2 ControlCentre(const vek::cCtrl* control)
{
    if (!control) return vek::vec2(0.0f, 0.0f);
    const vek::rect<float> r = control->GetRect();
    return vek::vec2(r.x + r.w * 0.5f, r.y + r.h * 0.5f);
}

cFlyingItem* AddFlyingIcon(const vek::string& texture, const vek::string& area, float spacing, int trail)
{
    if (!g_pGarden || !g_pGarden->m_pFlyingItems) return nullptr;
    return g_pGarden->m_pFlyingItems->AddItem(texture, area, spacing, trail);
}

void FlyIcon(const vek::string& texture, const vek::string& area, float spacing, const vek::vec2& from,
             const vek::vec2& to, const vek::vec2& bend)
{
    cFlyingItem* item = AddFlyingIcon(texture, area, spacing, 1);
    if (!item) return;
    item->AddPoint(from, 0.0f);
    item->AddPoint(Lerp(from, to, 0.33f) + bend, 0.33f);
    item->AddPoint(Lerp(from, to, 0.66f) + bend, 0.66f);
    item->AddPoint(to, 1.0f);
}

void PlayScreenSound(unsigned id)
{
    if (g_pScreenSoundHook) g_pScreenSoundHook(id);
    if (g_pGarden) g_pGarden->PlayGameSound(id);
}

void SetScreenSoundHook(ScreenSoundHook hook) { g_pScreenSoundHook = hook; }

void FocusWidget(const vek::string& name)
{
    if (vek::g_pGame && vek::g_pGame->GetFocusWidgetName() != name) vek::g_pGame->SetFocusWidget(name);
}
