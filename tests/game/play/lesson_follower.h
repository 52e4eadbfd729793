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
#include "engine/gui/window.h"
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

    static cObject* NthObject(uint32_t mask, int nth)
    {
        cLevel* field = cLevelBot::Field();
        if (!field) return nullptr;
        for (cObject* object : field->GetObjects())
            if (object->GetType() != OBJ_NONE && object->IsType(mask) && nth-- == 0) return object;
        return nullptr;
    }
    // A client point where a click reaches the object: inside its
    // rectangle, on no control of the hint window but its highlight, and
    // with no other object in front.
    bool ObjectPoint(const cObject* object, int& x, int& y) const
    {
        cLevel* field = cLevelBot::Field();
        if (!field || !object) return false;
        const vek::rectf r = object->GetRect();
        vek::cWindow* hint = Window("hint");
        for (float fy : {0.5f, 0.35f, 0.65f, 0.2f, 0.8f})
            for (float fx : {0.5f, 0.3f, 0.7f, 0.15f, 0.85f}) {
                const vek::vec2 p(r.x + r.w * fx, r.y + r.h * fy);
                bool covered = false;
                if (hint && Shown("hint"))
                    for (unsigned i = 1; i < hint->GetControlCount() && !covered; ++i) {
                        vek::cCtrl* c = hint->GetControl(i);
                        if (!c || !c->GetState(vek::cCtrl::e_Visibility) || c == Control("hint", "highlight")) continue;
                        covered = c->HitTest(p.x, p.y);
                    }
                if (covered || field->PickObject(p) != object) continue;
                GuiToClient(p.x, p.y, x, y);
                return true;
            }
        return false;
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
        // The highlight's middle may lie under the hint's own text or on
        // another object in front: after a try, the object the step points
        // at is clicked where it shows.
        if (m_iStepFrames >= 90 && m_iStepFrames % 90 == 0 && row && row->target == cTrainingStep::e_tObject &&
            ObjectPoint(NthObject(row->mask, row->nth), x, y)) {
            ClickAt(x, y);
            Run(5);
            bot.Note("lesson clicks its object at " + std::to_string(x) + "," + std::to_string(y));
            m_iStepFrames += 8;
            return true;
        }
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

    // What the player faces, for failure messages.
    std::string Situation() const
    {
        std::string text = "focus " + Focus() + ", lesson " + std::to_string(Lesson().iKind) + " step " +
                           std::to_string(Lesson().iStep) + (Lesson().IsWaiting() ? " (pause)" : "") + ", shown:";
        for (const std::string& name : GameWindows())
            if (Shown(name.c_str())) text += " " + name;
        if (const cPlayer* player = cLevelBot::Player())
            text += ", clock " + std::to_string(player->m_fClock) + ", money " + std::to_string(player->m_iMoney);
        if (cLevel* field = cLevelBot::Field()) {
            if (field->HasObject(field->m_uGardenerId)) {
                const auto* g = static_cast<const cGardener*>(field->GetObject(field->m_uGardenerId));
                text += ", gardener state " + std::to_string(g->GetState()) + " jobs " +
                        std::to_string(g->GetJobs().size()) + " tool " + std::to_string(g->GetToolKind());
            } else {
                text += ", no gardener";
            }
        }
        if (const cPlayer* player = cLevelBot::Player())
            for (const cLevelTask& task : player->m_Tasks)
                if (!task.IsEmpty()) text += ", task " + std::to_string(task.iWare) + " x" + std::to_string(task.iAmount);
        return text;
    }

    int m_iLessonKind = -1;
    int m_iLessonStep = -1;
    int m_iStepFrames = 0;
};

} // namespace gametest
