// The hint window and the island's level pop-up.
#include <algorithm>
#include <cmath>

#include "engine/app/game.h"
#include "engine/core/format.h"
#include "engine/core/input.h"
#include "engine/graphics/draw2d.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/guidraw.h"
#include "engine/gui/window.h"
#include "game/screens/mission_common.h"
#include "game/screens/window_functions.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/window_message.h"
#include "game/world/game_sound.h"
#include "game/world/island.h"
#include "game/world/training.h"

namespace {

// The text is laid out in a box this high before the frame is fitted to it.
constexpr float kTextLayoutHeight = 1280.0f;
// The pop-up hangs under its level point (the GUI's y grows upward): its
// frame's top edge this far below the point, so the point stays in view.
constexpr float kPopUpDrop = 38.0f;

bool Visible(const vek::cCtrl* control) { return control && control->GetState(vek::cCtrl::e_Visibility); }

// The left edge of the leftmost task line of the score panel, come to rest
// on the screen, that the rectangle overlaps; `none` when it overlaps none.
float TaskLinesLeft(const vek::cGUI* gui, const vek::rectf& f, float screenW, float none)
{
    float left = none;
    if (!gui || !gui->IsWindowShown("score")) return left;
    for (const char* name : {"task0", "task1", "task2", "task3"}) {
        const vek::cCtrl* line = FindWindowControl("score", name);
        if (!Visible(line)) continue;
        const vek::rectf r = line->GetRect();
        if (r.x + r.w > screenW) continue;
        if (r.x < f.x + f.w && f.x < r.x + r.w && r.y < f.y + f.h && f.y < r.y + r.h) left = std::min(left, r.x);
    }
    return left;
}

} // namespace

// ---- cHintWF ----

cHintWF::cHintWF() { m_Fade.m_fSpeed = kWindowFadeSpeed; }

int cHintWF::SetText(const vek::string& text, int modal)
{
    return SetHint(text, vek::rectf(0.0f, 0.0f, 0.0f, 0.0f), vek::vec2(-1.0f, -1.0f), 0, modal);
}

int cHintWF::SetHint(const vek::string& text, const vek::rectf& target, const vek::vec2& point, int flags,
                     int modal)
{
    if (m_bNotReady) return 0;
    m_bModal = modal != 0;
    ShowControl(m_pArrow, flags != 0);
    const bool noTarget = target.x == 0.0f && target.y == 0.0f && target.w == 0.0f && target.h == 0.0f;
    if (noTarget) {
        ShowControl(m_pClose, m_bModal);
        ShowControl(m_pHighlight, false);
    } else {
        ShowControl(m_pClose, false);
        ShowControl(m_pHighlight, true);
        m_pHighlight->SetPos(target.x, target.y, 0);
        m_pHighlight->SetSize(target.w, target.h, 0);
    }

    // The text is laid out unbounded, then its box fitted to it.
    const vek::rectf textRect = m_pText->GetRect();
    m_pText->SetSize(textRect.w, kTextLayoutHeight, 0);
    m_pText->SetText(text);
    const float th = m_pText->GetTextRect().h;
    m_pText->SetSize(textRect.w, th, 0);

    const bool closeShown = Visible(m_pClose);
    const vek::rectf frameRect = m_pFrame->GetRect();
    const float fw = frameRect.w;
    const float fh = closeShown ? th + m_fExtraHeight : th + m_fExtraHeight - m_fCloseGap;
    m_pFrame->SetSize(fw, fh, 0);
    const vek::rectf arrowRect = m_pArrow->GetRect();
    const float aw = std::fabs(arrowRect.w);
    const float ah = std::fabs(arrowRect.h);

    const vek::cGUI* gui = m_pWindow ? m_pWindow->GetGUI() : vek::GetEngineGUI();
    const float screenW = gui ? gui->GetWidth() : 1024.0f;
    const float screenH = gui ? gui->GetHeight() : 768.0f;
    float fx = 0.0f;
    float fy = 0.0f;
    if (point.x == -1.0f && point.y == -1.0f) {
        fx = (screenW - fw) / 2.0f;
        fy = (screenH - fh) / 2.0f;
    } else {
        bool left = false;
        bool below = false;
        if (flags != 0) {
            left = (flags & e_hintLeft) != 0;
            below = (flags & e_hintBelow) != 0;
        } else {
            // Away from the middle of the screen (y grows upward).
            left = point.x > screenW / 2.0f;
            below = point.y > screenH / 2.0f;
        }
        // A point on the screen near its top or bottom edge: a frame that
        // does not fit on the side asked for goes to the other side, where
        // it leaves the point (and what it points at) in view; a frame
        // pushed back by the edge alone would lie over it.
        if (point.y >= 0.0f && point.y <= screenH) {
            if (!below && point.y + ah + fh > screenH && point.y - ah - fh >= 0.0f) below = true;
            else if (below && point.y - ah - fh < 0.0f && point.y + ah + fh <= screenH) below = false;
        }
        fx = left ? point.x - aw - fw : point.x + aw;
        fy = below ? point.y - ah - fh : point.y + ah;
        // A point near or past the screen's edge (a ship still out at sea)
        // would put the text and its button out of reach while a modal
        // hint holds the mouse: the frame stays on the screen.
        fx = std::max(0.0f, std::min(fx, screenW - fw));
        fy = std::max(0.0f, std::min(fy, screenH - fh));
        // What is still to deliver stays readable: a frame that would lie
        // over a task line of the score panel moves left of the panel.
        const float lines = TaskLinesLeft(gui, vek::rectf(fx, fy, fw, fh), screenW, screenW + 1.0f);
        if (lines <= screenW && lines - fw >= 0.0f) fx = lines - fw;
        // A negative size mirrors the arrow's picture toward the frame.
        m_pArrow->SetPos(point.x, point.y, 0);
        m_pArrow->SetSize(left ? -aw : aw, below ? -ah : ah, 0);
    }

    m_pFrame->MoveBy(fx - m_fLastX, fy - m_fLastY, 0);
    if (closeShown) {
        m_pText->SetPos(fx + m_fTextDX, fy + m_fTextDY, 0);
        m_pClose->SetPos(fx + m_fCloseDX, fy + m_fCloseDY, 0);
    } else {
        m_pText->SetPos(fx + m_fTextDX, fy + m_fCloseDY, 0);
        m_pClose->SetPos(fx + m_fCloseDX, fy + m_fCloseDY, 0);
    }
    m_fLastX = fx;
    m_fLastY = fy;
    return 0;
}

void cHintWF::Paint(vek::cWindow* window)
{
    const float opacity = m_Fade.m_Value;
    if (opacity < 1.0f) vek::SetModulateColor(vek::PackColor(1.0f, 1.0f, 1.0f, opacity));
    vek::guidraw::ResetBatch();
    if (Visible(m_pHighlight)) {
        m_pHighlight->Draw();
        // The highlight's picture, continued over the whole screen, covers
        // everything but the target, where the highlight itself is drawn.
        const vek::rectf r = m_pHighlight->GetRect();
        const vek::rectf uv = m_pHighlight->GetUV();
        const vek::cGUI* gui = window->GetGUI();
        const float W = gui ? gui->GetWidth() : 1024.0f;
        const float H = gui ? gui->GetHeight() : 768.0f;
        // Each of the four quads around it takes one point well inside the
        // dim border: stretched over the screen, the border's own uv range
        // would be filtered against the clear middle at the quads' inner
        // edges and leave light seams along the target.
        const int texture = m_pHighlight->GetTexture();
        const vek::rectf dim(uv.x * 0.5f, uv.y * 0.5f, 0.0f, 0.0f);
        vek::guidraw::Quad(texture, vek::rectf(0.0f, 0.0f, r.x, H), vek::kOpaqueWhite, dim);
        vek::guidraw::Quad(texture, vek::rectf(r.x, 0.0f, r.w, r.y), vek::kOpaqueWhite, dim);
        vek::guidraw::Quad(texture, vek::rectf(r.x, r.y + r.h, r.w, H - (r.y + r.h)), vek::kOpaqueWhite, dim);
        vek::guidraw::Quad(texture, vek::rectf(r.x + r.w, 0.0f, W - (r.x + r.w), H), vek::kOpaqueWhite, dim);
    }
    if (Visible(m_pArrow)) m_pArrow->Draw();
    m_pFrame->Draw();
    m_pText->Draw();
    if (Visible(m_pClose)) m_pClose->Draw();
    vek::guidraw::FlushBatch();
    if (opacity < 1.0f) vek::SetModulateColor(0xFFFFFFFFu);
}

bool cHintWF::WaitsForClose() const
{
    return !m_bNotReady && m_bModal && m_Fade.m_To > 0.0f && Visible(m_pClose) && !Visible(m_pHighlight);
}

int cHintWF::MouseResult(unsigned point, int result) const
{
    if (!Visible(m_pHighlight)) return m_bModal ? 1 : result;
    const float x = static_cast<float>(vek::GUIPointX(point));
    const float y = static_cast<float>(vek::GUIPointY(point));
    const vek::rectf r = m_pHighlight->GetRect();
    const bool inside = r.x <= x && x < r.x + r.w && r.y <= y && y < r.y + r.h;
    return inside ? 0 : 1;
}

int cHintWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (!window) return 0;
    switch (message) {
    case vek::cGUI::e_wndPaint:
        if (!m_bNotReady) Paint(window);
        return 0;
    case vek::cGUI::e_wndTimer:
        m_Fade.Update(static_cast<float>(a) / 1000.0f);
        if (m_Fade.m_Value == 0.0f && m_Fade.m_To == 0.0f && window->GetGUI())
            window->GetGUI()->HideWindowImmediately(window->GetID());
        // The window's own timer does not reach a control the mouse passes
        // through, so the arrow is advanced here.
        if (m_pArrow && m_pArrow->GetState(vek::cCtrl::e_Ignorable)) m_pArrow->OnMessage(message, a, b);
        break;
    case vek::cGUI::e_wndKeyDown:
        if (m_bModal && (a == vek::e_keyEnter || a == vek::e_keySpace)) {
            if (Visible(m_pClose)) ClickControl(window, "close");
            return 1;
        }
        break;
    case vek::cGUI::e_wndMouseMove:
    case vek::cGUI::e_wndLButtonDown:
        if (m_bNotReady) break;
        return MouseResult(b, vek::cWindowFunction::Call(window, message, a, b));
    case vek::cGUI::e_wndShow:
        m_Fade.SetTarget(1.0f);
        break;
    case vek::cGUI::e_wndHide:
        m_Fade.SetTarget(0.0f);
        return 0;
    case vek::cGUI::e_wndAfterCreate: {
        m_pWindow = window;
        vek::cCtrl* arrow = GetWindowControl(window, "arrow");
        auto* highlight = GetWindowControlAs<vek::cImageCtrl>(window, "highlight");
        auto* text = GetWindowControlAs<vek::cLabelCtrl>(window, "text");
        vek::cCtrl* frame = GetWindowControl(window, "frame");
        vek::cCtrl* close = GetWindowControl(window, "close");
        if (arrow && highlight && text && frame && close) {
            m_pArrow = arrow;
            m_pHighlight = highlight;
            m_pText = text;
            m_pFrame = frame;
            m_pClose = close;
            m_bNotReady = false;
            const vek::rectf c = close->GetRect();
            const vek::rectf f = frame->GetRect();
            const vek::rectf t = text->GetRect();
            m_fCloseDX = c.x - f.x;
            m_fCloseDY = c.y - f.y;
            m_fTextDX = t.x - f.x;
            m_fTextDY = t.y - f.y;
            m_fExtraHeight = f.h - t.h;
            m_fCloseGap = t.y - c.y;
            m_fLastX = f.x;
            m_fLastY = f.y;
        }
        break;
    }
    case vek::cGUI::e_wndHideImmediately:
        if (g_pMiddle) g_pMiddle->OnWindowClose(window->GetName());
        break;
    case vek::cGUI::e_wndCommand:
        HideOnCommandFrom(window, b, "close");
        break;
    default:
        break;
    }
    return vek::cWindowFunction::Call(window, message, a, b);
}

// ---- cHintGDWF ----

int cHintGDWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (!m_bNotReady && window && g_pGarden) {
        switch (message) {
        case vek::cGUI::e_wndShow:
            PlayGameSound(g_pGarden->GetSoundTable(), e_sndHint);
            break;
        case vek::cGUI::e_wndHide:
            g_pGarden->m_iShownHint = -1;
            break;
        case vek::cGUI::e_wndMouseEnter:
            // The island stops its own hover while the cursor is on the hint.
            if (cIsland* island = GetIsland()) island->OnInput(vek::cGUI::e_wndMouseLeave, 0);
            break;
        case vek::cGUI::e_wndCommand:
            if (IsControl(window, b, "close")) {
                g_pGarden->m_Training.NextStep(e_lessonPlants, e_stepPlantsClock);
                g_pGarden->m_Training.NextStep(e_lessonAnimalFood, e_stepFoodSowSecond);
                g_pGarden->HideHint(-1);
            }
            break;
        case vek::cGUI::e_wndCheck:
            if (IsControl(window, b, "show")) {
                g_pGarden->m_Training.Stop();
                g_pGarden->SetTraining(0);
            }
            break;
        default:
            break;
        }
    }
    return cHintWF::Call(window, message, a, b);
}

// ---- cHintMPWF ----

namespace {

// The pop-up's controls, found once its window is made.
vek::cLabelCtrl* g_pDay = nullptr;
vek::cLabelCtrl* g_pTime = nullptr;
vek::cLabelCtrl* g_pMedal = nullptr;
vek::cCtrl* g_pPopUpFrame = nullptr;

} // namespace

vek::string cHintMPWF::FormatTime(float seconds)
{
    const int s = seconds >= 0.0f && seconds < 2.0e9f ? static_cast<int>(seconds) : 0;
    // Seconds of one digit take a leading 0: "2 : 05", "10 : 00".
    return vek::Formatted(s % 60 > 9 ? "%i : %i" : "%i : 0%i", s / 60, s % 60);
}

bool cHintMPWF::GetLevelPoint(int level, vek::vec2& point) const
{
    const cIsland* island = GetIsland();
    if (!island || level < 0 || static_cast<size_t>(level) >= island->vecLevelPoints.size()) return false;
    point = island->vecLevelPoints[static_cast<size_t>(level)];
    return true;
}

int cHintMPWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (!m_bLocked && window) {
        if (message == vek::cGUI::e_wndAfterCreate) {
            g_pDay = GetWindowControlAs<vek::cLabelCtrl>(window, "day");
            g_pTime = GetWindowControlAs<vek::cLabelCtrl>(window, "time");
            g_pMedal = GetWindowControlAs<vek::cLabelCtrl>(window, "medal");
            g_pPopUpFrame = GetWindowControl(window, "frame");
            if (!g_pDay || !g_pTime || !g_pMedal || !g_pPopUpFrame) {
                g_pDay = g_pTime = g_pMedal = nullptr;
                g_pPopUpFrame = nullptr;
                return OnError(window, "wndAfterCreate");
            }
        } else if (message == kGameWindowMessage) {
            const int level = static_cast<int>(a);
            const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
            vek::vec2 point;
            if (player && level >= 0 && static_cast<size_t>(level) < player->m_Times.size() &&
                GetLevelPoint(level, point) && g_pDay) {
                g_pDay->SetText(vek::Formatted("%i", level + 1));
                g_pTime->SetText(FormatTime(player->m_Times[static_cast<size_t>(level)]));
                const int medal = static_cast<size_t>(level) < player->m_Results.size()
                                      ? player->m_Results[static_cast<size_t>(level)]
                                      : 0;
                const cLocaleGD& texts = GetLocaleGD();
                // A medal value from a damaged profile names no medal.
                g_pMedal->SetText(medal == 0 ? texts.Gold : medal == 1 ? texts.Silver
                                                        : medal == 2   ? texts.Bronze
                                                                       : vek::string());
                const cIsland* island = GetIsland();
                const float px = point.x - (island ? island->fScrollX : 0.0f);
                const float py = point.y - (island ? island->fScrollY : 0.0f);
                const vek::rectf frame = g_pPopUpFrame->GetRect();
                window->SetPos(px - frame.w / 2.0f, py - frame.h - kPopUpDrop);
            }
        }
    }
    return cBaseGDWF::Call(window, message, a, b);
}
