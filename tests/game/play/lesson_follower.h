#pragma once
// A player who follows the tutorial as it comes, on top of the scripted
// player of level_bot.h: while a lesson runs, it clicks where the lesson's
// step points (the middle of the hint's highlight, or of the part of the
// pointed control the highlight leaves bright), closes the screens a step
// opens (the level's goals, the ratings), presses the hint's button where
// the step has no highlight and scrolls the island when the lesson asks
// for it. Between lessons the level bot plays. Like the bot, it looks at
// the game to know where to click and acts only through injected input.
#include <algorithm>
#include <functional>
#include <string>

#include "engine/gui/ctrl.h"
#include "game/play/level_bot.h"
#include "game/shell/garden.h"
#include "game/world/island.h"
#include "game/world/training.h"
#include "game/pack_player.h"

namespace gametest {

class LessonFollowingGame : public PackGame {
protected:
    static const cTraining& Lesson() { return g_pGarden->m_Training; }

    // The hint window's highlight, when it shows one (GUI pixels, y up).
    bool Highlight(vek::rectf& r) const
    {
        const vek::cCtrl* h = Control("hint", "highlight");
        if (!h || !Shown("hint") || !h->GetState(vek::cCtrl::e_Visibility)) return false;
        r = h->GetRect();
        return r.w > 0.0f && r.h > 0.0f;
    }
    // Where a click on the highlight lands: its middle, or where the step
    // points at a control, the middle of the part of the control (or of
    // its toolbar item) that the highlight covers.
    bool HighlightPoint(int& x, int& y) const
    {
        vek::rectf r;
        if (!Highlight(r)) return false;
        const cTrainingStep* row = FindTrainingStep(Lesson().iKind, Lesson().iStep);
        if (row && row->target == cTrainingStep::e_tControl) {
            if (const vek::cCtrl* control = Control(row->window, row->name)) {
                vek::rectf c = control->GetRect();
                if (row->item > 0) c = vek::rectf(c.x + 67.0f * static_cast<float>(row->item), c.y, 64.0f, 64.0f);
                const float x0 = std::max(r.x, c.x), y0 = std::max(r.y, c.y);
                const float x1 = std::min(r.x + r.w, c.x + c.w), y1 = std::min(r.y + r.h, c.y + c.h);
                if (x0 < x1 && y0 < y1) r = vek::rectf(x0, y0, x1 - x0, y1 - y0);
            }
        }
        GuiToClient(r.x + r.w / 2.0f, r.y + r.h / 2.0f, x, y);
        return true;
    }

    // One move of the lesson's follower. True when the lesson has the
    // player's attention (it acted or waited a frame); false when no
    // lesson runs, or the step lets the player play on (a step that
    // points at something without holding the field).
    bool FollowLesson(cLevelBot& bot)
    {
        // Screens a step opens are read and closed.
        for (const char* window : {"mission_goal", "stat_garden", "stat_island"})
            if (Shown(window) && (Lesson().IsActive() || std::string(window) != "mission_goal")) {
                bot.Note(std::string("lesson closes ") + window);
                if (!ClickControl(window, "ok")) Frame();
                Run(20);
                return true;
            }
        if (!Lesson().IsActive()) {
            m_iLessonKind = m_iLessonStep = -1;
            return false;
        }
        if (Lesson().IsWaiting() || !Shown("hint")) {
            Frame();
            return true;
        }
        const cTrainingStep* row = FindTrainingStep(Lesson().iKind, Lesson().iStep);
        const bool fresh = Lesson().iKind != m_iLessonKind || Lesson().iStep != m_iLessonStep;
        if (fresh) {
            m_iLessonKind = Lesson().iKind;
            m_iLessonStep = Lesson().iStep;
            m_iStepFrames = 0;
            bot.Note("lesson " + std::to_string(m_iLessonKind) + " step " + std::to_string(m_iLessonStep));
        }
        // The island's scrolling lesson: the cursor at the lower edge.
        if (row && row->target == cTrainingStep::e_tPoint) {
            MoveTo(512, 766);
            Run(10);
            MoveTo(512, 384);
            return true;
        }
        int x = 0, y = 0;
        if (HighlightPoint(x, y)) {
            // A step may point at what is not ready yet (a plant ripening):
            // the click is tried again now and then.
            if (m_iStepFrames % 90 == 0) {
                bot.Note("lesson click at " + std::to_string(x) + "," + std::to_string(y));
                ClickAt(x, y);
                Run(5);
                m_iStepFrames += 8;
            } else {
                Frame();
                ++m_iStepFrames;
            }
            return true;
        }
        if (const vek::cCtrl* close = Control("hint", "close");
            close && close->GetState(vek::cCtrl::e_Visibility) && !close->GetState(vek::cCtrl::e_Disabled)) {
            bot.Note("lesson closes its hint");
            ClickControl("hint", "close");
            Run(20);
            return true;
        }
        // A step that lets the field be played (it ends by what the player
        // does there anyway).
        if (row && row->modal == 0) return false;
        Frame();
        ++m_iStepFrames;
        return true;
    }

    // The garden until the finish screen shows, following the lessons and
    // closing the hints as they come; false after `limit` frames.
    bool PlayLevelFollowing(cLevelBot& bot, int limit = 30 * 600)
    {
        const int start = m_iFrames;
        while (m_iFrames - start < limit) {
            if (Shown("mission_finish")) return true;
            if (FollowLesson(bot)) continue;
            if (bot.HintWaits()) {
                if (!bot.CloseHint()) Frame();
                continue;
            }
            if (Focus() != "garden" || !cLevelBot::Field()) {
                Frame();
                continue;
            }
            if (bot.Act()) Run(1 + bot.iIdleFrames);
            else Frame();
        }
        return Shown("mission_finish");
    }

    // From the finish screen to the level map: the finish screen skipped,
    // the cheapest affordable upgrade bought when offered, the island's
    // result sequence with its lessons followed and the level's building
    // bought when it is offered; done when the island is free to play.
    bool FinishToMapFollowing(cLevelBot& bot, int limit = 30 * 90)
    {
        bot.iBoughtUpgrade = -1;
        bool finishLeft = false, bought = false;
        const int start = m_iFrames;
        while (m_iFrames - start < limit) {
            if (Shown("mission_finish")) {
                bot.Click("mission_finish", "ok");
                continue;
            }
            finishLeft = true;
            if (Shown("up")) {
                bot.BuyUpgrade();
                Run(bot.iSettleFrames);
                continue;
            }
            if (FollowLesson(bot)) continue;
            if (Shown("messagebox")) {
                Frame();
                continue;
            }
            cIsland* island = cLevelBot::Island();
            if (Focus() == "island" && island && island->iMode == cIsland::e_modeLevel) {
                if (!bought && bot.BuyOfferedHouse()) bought = true;
                else if (cLevelBot::OfferedHouse() && bot.HintWaits()) bot.CloseHint();
                Frame();
                continue;
            }
            if (bot.HintWaits()) {
                bot.CloseHint();
                continue;
            }
            if (Focus() == "island" && island && island->iMode == cIsland::e_modeIsland && finishLeft) {
                Run(bot.iSettleFrames);
                if (Lesson().IsActive() || Shown("stat_garden") || Shown("stat_island")) continue;
                if (bot.HintWaits()) continue;
                return true;
            }
            Frame();
        }
        return false;
    }

    int m_iLessonKind = -1;
    int m_iLessonStep = -1;
    int m_iStepFrames = 0;
};

} // namespace gametest
