#pragma once
// A player who follows the tutorial as it comes, on top of the scripted
// player of level_bot.h: while a lesson runs, it clicks where the lesson's
// step points (the middle of the pointed control, or of its toolbar item,
// where the hint's own bubble leaves it visible; the middle of the
// highlight where the step points at the field), closes the screens a step
// opens (the level's goals, the ratings), presses the hint's button where
// the step has no highlight and scrolls the island when the lesson asks
// for it. Between lessons the level bot plays. Like the bot, it looks at
// the game to know where to click and acts only through injected input.
#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

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
    // The control a step points at: the control itself, or for a toolbar
    // its item (64 x 64, 67 apart). False for a step at the field.
    bool StepTarget(const cTrainingStep* row, vek::rectf& c) const
    {
        if (!row || row->target != cTrainingStep::e_tControl) return false;
        const vek::cCtrl* control = Control(row->window, row->name);
        if (!control) return false;
        c = control->GetRect();
        if (row->item > 0 || IsToolbarPage(row->name))
            c = vek::rectf(c.x + 67.0f * static_cast<float>(row->item), c.y, 64.0f, 64.0f);
        return true;
    }
    // Whether a control of the hint window other than its highlight (the
    // bubble, its text, the arrow) covers the GUI point.
    bool HintCovers(float gx, float gy) const
    {
        vek::cWindow* hint = Window("hint");
        if (!hint || !Shown("hint")) return false;
        for (unsigned i = 1; i < hint->GetControlCount(); ++i) {
            vek::cCtrl* c = hint->GetControl(i);
            if (!c || !c->GetState(vek::cCtrl::e_Visibility) || c == Control("hint", "highlight")) continue;
            if (c->HitTest(gx, gy)) return true;
        }
        return false;
    }
    // How much of the rectangle the hint's bubble and arrow hide: the part
    // under the bubble, and half the part under the arrow's box (the arrow
    // is a slanted stroke across it). Whether its middle is under the
    // bubble is told apart.
    float HintCover(const vek::rectf& t, bool& middle) const
    {
        middle = false;
        if (t.w <= 0.0f || t.h <= 0.0f) return 0.0f;
        const auto overlap = [&](vek::rectf r) {
            if (r.w < 0.0f) r = vek::rectf(r.x + r.w, r.y, -r.w, r.h);
            if (r.h < 0.0f) r = vek::rectf(r.x, r.y + r.h, r.w, -r.h);
            const float w = std::min(t.x + t.w, r.x + r.w) - std::max(t.x, r.x);
            const float h = std::min(t.y + t.h, r.y + r.h) - std::max(t.y, r.y);
            return w > 0.0f && h > 0.0f ? w * h : 0.0f;
        };
        float hidden = 0.0f;
        if (const vek::cCtrl* frame = Control("hint", "frame")) {
            hidden += overlap(frame->GetRect());
            middle = frame->HitTest(t.x + t.w / 2.0f, t.y + t.h / 2.0f);
        }
        if (const vek::cCtrl* arrow = Control("hint", "arrow"); arrow && arrow->GetState(vek::cCtrl::e_Visibility))
            hidden += 0.5f * overlap(arrow->GetRect());
        return hidden / (t.w * t.h);
    }
    // How much of the arrow's stroke lies over the rectangle: the arrow
    // runs along its box's diagonal from the tip at the box's corner on the
    // point (a negative size mirrors it), from a tenth to three quarters of
    // the way.
    float ArrowOver(const vek::rectf& t) const
    {
        const vek::cCtrl* arrow = Control("hint", "arrow");
        if (!arrow || !arrow->GetState(vek::cCtrl::e_Visibility) || t.w <= 0.0f || t.h <= 0.0f) return 0.0f;
        const vek::rectf a = arrow->GetRect();
        constexpr int kSamples = 32;
        int over = 0;
        for (int i = 0; i < kSamples; ++i) {
            const float u = 0.1f + 0.65f * static_cast<float>(i) / static_cast<float>(kSamples - 1);
            const float x = a.x + a.w * u, y = a.y + a.h * u;
            if (t.x < x && x < t.x + t.w && t.y < y && y < t.y + t.h) ++over;
        }
        return static_cast<float>(over) / static_cast<float>(kSamples);
    }
    // A note when the hint hides the rectangle: a quarter of it under the
    // bubble (half the arrow's box counted), its middle under the bubble,
    // or a quarter of the arrow's stroke over it.
    std::string Hiding(const vek::rectf& t) const
    {
        bool middle = false;
        const float hidden = HintCover(t, middle);
        const float arrow = ArrowOver(t);
        if (!middle && hidden <= 0.25f && arrow <= 0.25f) return std::string();
        return std::to_string(static_cast<int>(hidden * 100.0f)) + "% hidden" +
               (middle ? ", its middle under the bubble" : "") +
               (arrow > 0.25f ? ", the arrow " + std::to_string(static_cast<int>(arrow * 100.0f)) + "% over it" : "");
    }
    // The score panel's task lines the hint's bubble hides (a quarter of a
    // line, or its middle): what is still to deliver stays readable while a
    // hint points elsewhere. Lines still sliding in from the screen's edge
    // are left out.
    std::string HiddenTaskLines(const vek::cCtrl* pointed = nullptr) const
    {
        std::string out;
        for (int i = 0; i < 4; ++i) {
            const vek::cCtrl* line = Control("score", ("task" + std::to_string(i)).c_str());
            if (!line || line == pointed || !Shown("score") || !line->GetState(vek::cCtrl::e_Visibility)) continue;
            const vek::rectf r = line->GetRect();
            if (r.x + r.w > 1024.0f) continue;
            bool middle = false;
            const float hidden = HintCover(r, middle);
            if (middle || hidden > 0.25f)
                out += ", task line " + std::to_string(i) + " " + std::to_string(static_cast<int>(hidden * 100.0f)) +
                       "% hidden";
        }
        return out;
    }
    // What the step points at: its control (or toolbar item), the
    // highlight around its object or cell, or the object itself where the
    // step draws no highlight.
    bool PointedAt(const cTrainingStep* row, vek::rectf& t) const
    {
        if (StepTarget(row, t) || Highlight(t)) return true;
        if (!row || row->target != cTrainingStep::e_tObject) return false;
        const cObject* object = NthObject(row->mask, row->nth);
        if (!object) return false;
        t = object->GetRect();
        return t.w > 0.0f && t.h > 0.0f;
    }

    // Where a player clicks the step's target: for a control, the middle
    // of what of it the hint leaves visible (the middle itself when it
    // shows) whether or not the highlight covers it, so a click area the
    // player cannot find keeps the lesson from moving on; at the field,
    // the middle of the highlight.
    bool HighlightPoint(int& x, int& y) const
    {
        vek::rectf r;
        if (!Highlight(r)) return false;
        const cTrainingStep* row = FindTrainingStep(Lesson().iKind, Lesson().iStep);
        vek::rectf c;
        if (StepTarget(row, c)) {
            for (float fy : {0.5f, 0.35f, 0.65f, 0.2f, 0.8f})
                for (float fx : {0.5f, 0.35f, 0.65f, 0.2f, 0.8f}) {
                    const float gx = c.x + c.w * fx, gy = c.y + c.h * fy;
                    if (HintCovers(gx, gy)) continue;
                    GuiToClient(gx, gy, x, y);
                    return true;
                }
            GuiToClient(c.x + c.w / 2.0f, c.y + c.h / 2.0f, x, y);
            return true;
        }
        GuiToClient(r.x + r.w / 2.0f, r.y + r.h / 2.0f, x, y);
        return true;
    }

    // The object of the field a step points at: the nth of its type, or
    // the first plant with the need asked.
    static const cObject* StepObject(const cTrainingStep* row)
    {
        if (!row) return nullptr;
        if (row->target == cTrainingStep::e_tObject) return NthObject(row->mask, row->nth);
        if (row->target != cTrainingStep::e_tPlantNeed) return nullptr;
        for (const cPlant* plant : cLevelBot::Plants())
            if (plant->GetState() == cPlant::e_psNeeding && plant->GetNeed() == row->nth) return plant;
        return nullptr;
    }
    // A note when the gardener, drawn after the object, covers a quarter
    // of its rectangle or its middle.
    static std::string GardenerHides(const cLevel& field, const cObject& gardener, const cObject* target)
    {
        if (!target || target == &gardener) return std::string();
        const vek::rectf t = target->GetRect(), g = gardener.GetRect();
        if (t.w <= 0.0f || t.h <= 0.0f) return std::string();
        int targetAt = -1, gardenerAt = -1, i = 0;
        for (const cObject* o : field.GetDrawList()) {
            if (o == target) targetAt = i;
            if (o == &gardener) gardenerAt = i;
            ++i;
        }
        if (targetAt < 0 || gardenerAt < targetAt) return std::string();
        const float w = std::min(t.x + t.w, g.x + g.w) - std::max(t.x, g.x);
        const float h = std::min(t.y + t.h, g.y + g.h) - std::max(t.y, g.y);
        const float hidden = w > 0.0f && h > 0.0f ? w * h / (t.w * t.h) : 0.0f;
        const float mx = t.x + t.w / 2.0f, my = t.y + t.h / 2.0f;
        const bool middle = g.x <= mx && mx < g.x + g.w && g.y <= my && my < g.y + g.h;
        if (!middle && hidden <= 0.25f) return std::string();
        return "the gardener in front hides " + std::to_string(static_cast<int>(hidden * 100.0f)) + "% of its target" +
               (middle ? ", its middle" : "");
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
            // The hint leaves what it points at to be seen, and on the
            // field the gardener, who does what the step asks.
            const std::string step = "lesson " + std::to_string(m_iLessonKind) + " step " + std::to_string(m_iLessonStep);
            vek::rectf pointed;
            if (row && PointedAt(row, pointed))
                if (const std::string note = Hiding(pointed); !note.empty())
                    m_vecCoveringSteps.push_back(step + ": " + note);
            if (const std::string lines = HiddenTaskLines(row && row->window && row->name ? Control(row->window, row->name) : nullptr); !lines.empty())
                m_vecCoveringSteps.push_back(step + lines);
            cLevel* field = cLevelBot::Field();
            const bool island = m_iLessonKind == e_lessonScrolling || m_iLessonKind == e_lessonIslandRate ||
                                m_iLessonKind == e_lessonRate;
            if (row && field && !island && field->HasObject(field->m_uGardenerId)) {
                const cObject* gardener = field->GetObject(field->m_uGardenerId);
                if (const std::string note = Hiding(gardener->GetRect()); !note.empty())
                    m_vecCoveringSteps.push_back(step + ": the gardener " + note);
                if (const std::string note = GardenerHides(*field, *gardener, StepObject(row)); !note.empty())
                    m_vecCoveringSteps.push_back(step + ": " + note);
            }
            // A step that waits for a click on a control says so.
            vek::rectf c;
            if (row && StepTarget(row, c) && row->grow > 0.0f && Lesson().iStep >= 0) {
                const vek::cCtrl* control = Control(row->window, row->name);
                const std::string text = Text("hint", "text");
                if (!IsToolbarPage(row->name) && control && text.find("lick") == std::string::npos)
                    m_vecSilentSteps.push_back("lesson " + std::to_string(m_iLessonKind) + " step " +
                                               std::to_string(m_iLessonStep) + ": \"" + text + "\"");
            }
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

    // A screen hint (the bin, a task, the ratings, the clock's medal, the
    // level's building or point on the island, the flowers to water) that
    // hides what it points at is noted once per kind; meant to run after
    // every frame.
    void WatchScreenHint()
    {
        const int kind = g_pGarden ? g_pGarden->m_iShownHint : -1;
        if (kind < 0 || Lesson().IsActive() || !Shown("hint") || m_setHintKindsSeen.count(kind)) return;
        const vek::cCtrl* arrow = Control("hint", "arrow");
        if (!arrow) return;
        const vek::rectf a = arrow->GetRect();
        const vek::cCtrl* target = nullptr;
        vek::rectf t;
        if (kind == 0) {
            if (const cObject* bin = NthObject(OBJ_TOOL_BIN, 0)) t = bin->GetRect();
        } else if (kind == 4) {
            // The task line whose corner is nearest the arrow's point (a
            // line may have slid on since the hint took its place).
            float best = 1.0e9f;
            for (int i = 0; i < 4; ++i) {
                const vek::cCtrl* line = Control("score", ("task" + std::to_string(i)).c_str());
                if (!line || !line->GetState(vek::cCtrl::e_Visibility)) continue;
                const vek::rectf r = line->GetRect();
                const float d = std::fabs(r.x - a.x) + std::fabs(r.y - a.y);
                if (d < best) {
                    best = d;
                    target = line;
                }
            }
        } else if (kind == 5 || kind == 6) {
            target = Control("island", kind == 5 ? "but_rate" : "but_island_rate");
        } else if (kind == 7 || kind == 8) {
            target = Control("score", "clock_medal");
        } else if (kind == 1 || kind == 3) {
            // The level's building, or the level point (where a click
            // opens it), on the island as it is scrolled.
            const cIsland* island = cLevelBot::Island();
            const cPlayer* player = cLevelBot::Player();
            if (!island || !player) return;
            const vek::vec2 scroll(island->fScrollX, island->fScrollY);
            if (kind == 1) {
                if (const cHouse* house = island->GetLevelHouse(player->m_iLevel))
                    t = vek::rectf(house->rect.x - scroll.x, house->rect.y - scroll.y, house->rect.w, house->rect.h);
            } else if (player->m_iProgress >= 0 &&
                       static_cast<size_t>(player->m_iProgress) < island->vecLevelPoints.size()) {
                const vek::vec2 p = island->vecLevelPoints[static_cast<size_t>(player->m_iProgress)] - scroll;
                t = vek::rectf(p.x - 18.0f, p.y - 30.0f, 36.0f, 60.0f);
            }
        } else if (kind == 9) {
            // The plant whose corner the arrow stands on.
            if (cLevel* field = cLevelBot::Field())
                for (const cObject* object : field->GetObjects()) {
                    if (object->GetType() == OBJ_NONE || !object->IsType(OBJ_PLANT)) continue;
                    const vek::rectf r = object->GetRect();
                    if (r.y + r.h == a.y && (r.x + r.w == a.x || r.x == a.x)) t = r;
                }
        }
        if (target) t = target->GetRect();
        if (t.w <= 0.0f || t.h <= 0.0f) return;
        m_setHintKindsSeen.insert(kind);
        if (const std::string note = Hiding(t); !note.empty())
            m_vecCoveringSteps.push_back("screen hint " + std::to_string(kind) + ": " + note);
        if (const std::string lines = HiddenTaskLines(target); !lines.empty())
            m_vecCoveringSteps.push_back("screen hint " + std::to_string(kind) + lines);
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
    // Steps that wait for a click on a control without saying so, and
    // steps whose hint hides what it points at.
    std::vector<std::string> m_vecSilentSteps;
    std::vector<std::string> m_vecCoveringSteps;
    std::set<int> m_setHintKindsSeen;
};

} // namespace gametest
