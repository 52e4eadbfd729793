#pragma once
// A player for the tutorial's play-throughs: the whole game on the real
// pack, driven only by injected clicks and keys. It knows the way from the
// main menu to a level, reads where a lesson's step points (the hint
// window's highlight, or the object or control behind the step) and clicks
// there, and waits as a player waits: frame by frame.
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/gui/ctrl.h"
#include "game/objects/gardener.h"
#include "game/objects/hole.h"
#include "game/objects/object.h"
#include "game/objects/plant.h"
#include "game/objects/tools.h"
#include "game/screens/controls.h"
#include "game/screens/island_screens.h"
#include "game/screens/score_panel.h"
#include "game/shell/player.h"
#include "game/world/building.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/level_task.h"
#include "game/world/training.h"
#include "game/world/ware.h"
#include "game/pack_player.h"

namespace lessontest {

class LessonPlayer : public gametest::PackGame {
protected:
    void TearDown() override
    {
        if (m_pGame) {
            EXPECT_TRUE(Warnings().empty()) << Warnings();
        }
        PackGame::TearDown();
    }

    // The game up to its main menu, drawing one frame in 60.
    void Boot()
    {
        StartOnPack();
        if (!m_pGame) return;
        m_pGame->iDrawInterval = 60;
        ASSERT_TRUE(RunToMainMenu(3000));
        Run(20);
    }
    // The program ends and starts again on the same profile folder.
    void Restart()
    {
        Stop();
        GetProfileHost() = cProfileHost();
        m_iCursorX = m_iCursorY = -1;
        Boot();
    }

    // A click on a control, then time for the screens to fade.
    void Press(const char* window, const char* control, int frames = 20)
    {
        ASSERT_TRUE(Shown(window)) << window;
        ASSERT_TRUE(ClickControl(window, control)) << window << "." << control;
        Run(frames);
    }

    // A new profile made and chosen from the main menu.
    void NewProfile(const std::string& name)
    {
        Press("main", "btProfile");
        Press("profile_select", "btAdd");
        for (int i = 0; i < 16; ++i) Key(SDL_SCANCODE_BACKSPACE);
        Type(name);
        Press("profile_add", "ok");
        Press("profile_select", "btOk");
    }

    // The options screen's "Show hints" box set as asked, from the main menu.
    void SetHintsFromOptions(bool on)
    {
        Press("main", "btOptions");
        vek::cCtrl* box = Control("options", "cbHints");
        ASSERT_NE(box, nullptr);
        if ((g_pGarden->GetTraining() != 0) != on) Press("options", "cbHints");
        Press("options", "btBack");
    }

    // From the main menu through the story to the island. A level left
    // unfinished by the last run is not continued.
    void StartToIsland()
    {
        Press("main", "btStart");
        if (Shown("messagebox")) Press("messagebox", "cancel");
        for (int i = 0; i < 20 && Focus() != "island"; ++i)
            if (Shown("comics")) Press("comics", "next");
            else Run(10);
        ASSERT_EQ(Focus(), "island");
        Run(60);
    }

    // A click on the island's level point, the message and the start
    // screen's "ok": the level's field is in front.
    void EnterLevel(int index)
    {
        CloseHint();
        int x = 0, y = 0;
        ASSERT_TRUE(LevelPointClient(index, x, y)) << "level point " << index;
        ClickAt(x, y);
        Run(20);
        if (Shown("messagebox")) Press("messagebox", "ok");
        ASSERT_TRUE(Shown("mission_start")) << "shown: " << ShownWindows() << "hint kind " << g_pGarden->m_iShownHint;
        Press("mission_start", "ok");
        ASSERT_EQ(Focus(), "garden");
        ASSERT_EQ(Player()->m_iLevel, index);
    }

    // ---- what the player looks at ----

    cPlayer* Player() const { return g_pGarden ? g_pGarden->GetPlayer() : nullptr; }
    cLevel* Field() const { return g_pGarden ? g_pGarden->m_pLevel : nullptr; }
    const cTraining& Lesson() const { return g_pGarden->m_Training; }
    float Clock() const { return Player()->m_fClock; }

    std::vector<cObject*> Objects(uint32_t mask) const
    {
        std::vector<cObject*> found;
        for (cObject* object : Field()->GetObjects())
            if (object->GetType() != OBJ_NONE && object->IsType(mask)) found.push_back(object);
        return found;
    }
    cObject* First(uint32_t mask) const
    {
        const std::vector<cObject*> all = Objects(mask);
        return all.empty() ? nullptr : all.front();
    }
    std::vector<cPlant*> Plants() const
    {
        std::vector<cPlant*> plants;
        for (cObject* object : Objects(OBJ_PLANT)) plants.push_back(static_cast<cPlant*>(object));
        return plants;
    }
    // The hint's "OK" pressed when the hint shows it.
    bool CloseHint()
    {
        const vek::cCtrl* close = Control("hint", "close");
        if (!HintShown() || !close || !close->GetState(vek::cCtrl::e_Visibility)) return false;
        ++m_HintsRead[g_pGarden->m_iShownHint];
        Press("hint", "close");
        return true;
    }
    std::string ShownWindows() const
    {
        std::string names;
        for (const std::string& name : gametest::GameWindows())
            if (Shown(name.c_str())) names += name + " ";
        return names;
    }
    bool HintShown() const { return Shown("hint"); }
    // The hint window's highlight, when it shows one (GUI pixels, y up).
    bool Highlight(vek::rectf& r) const
    {
        const vek::cCtrl* h = Control("hint", "highlight");
        if (!h || !HintShown() || !h->GetState(vek::cCtrl::e_Visibility)) return false;
        r = h->GetRect();
        return r.w > 0.0f && r.h > 0.0f;
    }
    // A click in the middle of the highlight the hint shows; where the
    // step points at a control, in the middle of the part of the control
    // that the highlight leaves bright.
    void ClickHighlight()
    {
        vek::rectf r;
        ASSERT_TRUE(Highlight(r)) << "lesson " << Lesson().iKind << " step " << Lesson().iStep;
        const cTrainingStep* row = FindTrainingStep(Lesson().iKind, Lesson().iStep);
        if (row && row->target == cTrainingStep::e_tControl) {
            if (const vek::cCtrl* control = Control(row->window, row->name)) {
                vek::rectf c = control->GetRect();
                // A toolbar's items are 64 wide with a gap of 3.
                if (row->item > 0 || dynamic_cast<const cToolbarCtrl*>(control))
                    c = vek::rectf(c.x + 67.0f * static_cast<float>(row->item), c.y, 64.0f, 64.0f);
                // A player clicks the middle of what is pointed at: the
                // highlight leaves it bright, so the click reaches it.
                const float cx = c.x + c.w / 2.0f, cy = c.y + c.h / 2.0f;
                EXPECT_TRUE(r.x <= cx && cx < r.x + r.w && r.y <= cy && cy < r.y + r.h)
                    << "the highlight leaves the middle of " << row->name << " dark";
                r = c;
            }
        }
        ClickAt(static_cast<int>(r.x + r.w / 2.0f), static_cast<int>(768.0f - (r.y + r.h / 2.0f)));
    }
    // Back on the island after a level: its result sequence runs, the
    // island's lessons are followed and their screens closed, until the
    // island is free to play.
    void FollowIslandSequence()
    {
        const cIsland* island = g_pGarden->m_pIsland;
        for (int i = 0; i < 300; ++i) {
            if (Focus() == "island" && island->iMode == cIsland::e_modeIsland && !Lesson().IsActive() &&
                !Shown("stat_garden") && !Shown("stat_island"))
                break;
            cHouse* house = g_pGarden->GetLevelHouse(Player()->m_iLevel);
            if (Shown("stat_garden")) Press("stat_garden", "ok");
            else if (Shown("stat_island")) Press("stat_island", "ok");
            else if (Lesson().IsActive() && !Lesson().IsWaiting() && HintShown()) {
                ClickHighlight();
                Run(20);
            } else if (g_pGarden->m_iShownHint == 1 && house) {
                // The hint points at the level's building: the player buys it.
                const vek::vec2 c = house->GetScreenCenter();
                ClickAt(static_cast<int>(c.x), static_cast<int>(768.0f - c.y));
                Run(20);
            } else Run(10);
        }
        ASSERT_EQ(island->iMode, cIsland::e_modeIsland);
        ASSERT_FALSE(Lesson().IsActive());
        // A hint that waits for its button (new people arriving) is read.
        Run(30);
        CloseHint();
    }

    // ---- a plain player's moves on the field ----

    cGardener* Gardener() const { return Field() ? dynamic_cast<cGardener*>(Field()->GetGardenerObject()) : nullptr; }
    bool Idle() const
    {
        const cGardener* g = Gardener();
        return g && g->GetJobs().empty() && g->GetState() == cGardener::e_gsIdle;
    }
    bool WaitIdle(int limit = 900)
    {
        return RunUntil([&] { return Idle() || Shown("mission_finish"); }, limit);
    }
    // A click on the object, then the gardener's walk and work.
    void Use(const cObject* object)
    {
        ASSERT_NE(object, nullptr);
        ClickObject(object);
        Run(2);
        WaitIdle();
    }
    // The gardener takes the tool of that type unless he holds it.
    void TakeTool(uint32_t type)
    {
        const cGardener* g = Gardener();
        const cTool* held = g ? g->GetTool() : nullptr;
        if (held && held->GetType() == type) return;
        Use(First(type));
    }
    // The item of the toolbar that holds the ware.
    vek::cCtrl* ToolbarItem(const char* toolbar, int32_t ware) const
    {
        auto* bar = dynamic_cast<cToolbarCtrl*>(Control("garden", toolbar));
        if (!bar) return nullptr;
        for (unsigned i = 0; i < bar->GetItemCount(); ++i)
            if (bar->GetItemData(i) == ware) return bar->GetItem(i);
        return nullptr;
    }
    // The seed chosen from the plant toolbar.
    void ChooseSort(int32_t ware)
    {
        vek::cCtrl* item = ToolbarItem("plants", ware);
        ASSERT_NE(item, nullptr) << "ware " << ware;
        const vek::rectf r = item->GetRect();
        ClickAt(static_cast<int>(r.x + r.w / 2.0f), static_cast<int>(768.0f - (r.y + r.h / 2.0f)));
        Run(2);
    }
    int32_t Ware(const char* name) const { return g_pWareManager ? g_pWareManager->FindWare(name) : NO_WARE; }
    // The field's first plant of that need, or null.
    cPlant* PlantWithNeed(int32_t need) const
    {
        for (cPlant* p : Plants())
            if (p->GetState() == cPlant::e_psNeeding && p->GetNeed() == need) return p;
        return nullptr;
    }
    cObject* FreeHole() const
    {
        for (cObject* hole : Objects(OBJ_HOLE))
            if (static_cast<cHole*>(hole)->GetPlant() == 0 && hole->GetRect().w > 0.0f) return hole;
        return nullptr;
    }
    cToolBin* Basket() const { return static_cast<cToolBin*>(First(OBJ_TOOL_BIN)); }
    bool CarParked() const
    {
        const cObject* car = First(OBJ_CAR);
        return car && car->GetState() == 1;
    }
    // What the open tasks still want of the ware beyond what the basket
    // holds and the car carries.
    int Open(int32_t ware) const
    {
        int open = 0;
        for (const cLevelTask& task : Player()->m_Tasks)
            if (task.iWare == ware && task.iAmount > 0) open += task.iAmount;
        if (cToolBin* bin = Basket()) open -= bin->GetWareCount(ware);
        for (int32_t carried : Player()->m_CarLoad)
            if (carried == ware) --open;
        return open;
    }
    // The same less what the field's plants of that ware will bring.
    int Wanted(int32_t ware) const
    {
        int wanted = Open(ware);
        for (cPlant* p : Plants())
            if (p->GetWareId() == ware) --wanted;
        return wanted;
    }
    bool BasketHoldsWanted() const
    {
        cToolBin* bin = Basket();
        if (!bin) return false;
        for (const cLevelTask& task : Player()->m_Tasks)
            if (task.iWare != NO_WARE && task.iAmount > 0 && bin->GetWareCount(task.iWare) > 0) return true;
        return false;
    }
    // One move of a plain player: weed, water, harvest what is wanted,
    // deliver or sow, whichever comes first. False when there was nothing
    // to do.
    bool Tend()
    {
        WaitIdle();
        if (Shown("mission_finish")) return false;
        // A hint that waits for its button is read first.
        if (!Lesson().IsActive() && CloseHint()) return true;
        if (cPlant* p = PlantWithNeed(cPlant::e_NeedWeed)) {
            TakeTool(OBJ_TOOL_WEED);
            Use(p);
            return true;
        }
        if (cPlant* p = PlantWithNeed(cPlant::e_NeedWater)) {
            TakeTool(OBJ_TOOL_WATER);
            const cGardener* g = Gardener();
            if (g && g->GetCan() && g->GetCan()->GetWater() == 0) Use(First(OBJ_PUMP));
            Use(p);
            return true;
        }
        cToolBin* bin = Basket();
        for (cPlant* p : Plants()) {
            if (p->GetState() != cPlant::e_psNeeding || p->GetNeed() != cPlant::e_NeedRipe) continue;
            if (!bin || bin->IsFull() || Open(p->GetWareId()) <= 0) continue;
            TakeTool(OBJ_TOOL_BIN);
            Use(p);
            return true;
        }
        if (BasketHoldsWanted() && CarParked()) {
            TakeTool(OBJ_TOOL_BIN);
            Use(First(OBJ_CAR));
            return true;
        }
        if (cObject* hole = FreeHole()) {
            for (const cLevelTask& task : Player()->m_Tasks) {
                if (task.iWare == NO_WARE || Wanted(task.iWare) <= 0 || !ToolbarItem("plants", task.iWare)) continue;
                if (Player()->m_iMoney < g_pWareManager->GetWare(static_cast<uint32_t>(task.iWare))->iPrice) continue;
                ChooseSort(task.iWare);
                Use(hole);
                return true;
            }
        }
        return false;
    }
    // Plays until the level's finish screen shows; false when it did not
    // within `seconds` of game time. `watch` looks at the field after
    // every move.
    bool PlayLevel(float seconds = 240.0f, const std::function<void()>& watch = {})
    {
        const int limit = m_iFrames + static_cast<int>(seconds * 30.0f);
        while (!Shown("mission_finish") && m_iFrames < limit) {
            if (!Tend()) Run(10);
            if (watch) watch();
        }
        Run(5);
        return Shown("mission_finish");
    }
    // The finish screen skipped and left, and the upgrades screen passed
    // when it comes: the island is in front.
    void LeaveFinishScreen()
    {
        for (int i = 0; i < 6 && Focus() != "island"; ++i) {
            if (Shown("mission_finish")) Press("mission_finish", "ok", 30);
            else if (Shown("up")) Press("up", "done", 60);
            else Run(30);
        }
        ASSERT_EQ(Focus(), "island");
    }

    // The warnings and errors the game logged (the console marks them by
    // their colour code).
    std::string Warnings() const
    {
        std::string found;
        const std::string log = ConsoleLog();
        size_t at = 0;
        while (at < log.size()) {
            size_t end = log.find('\n', at);
            if (end == std::string::npos) end = log.size();
            const std::string line = log.substr(at, end - at);
            const bool marked = line.find("^6: ^5") != std::string::npos || line.find("^6: ^4") != std::string::npos;
            // A fresh profile folder has no files yet.
            if (marked && line.find("not found on disk") == std::string::npos) found += line + "\n";
            at = end + 1;
        }
        return found;
    }

    // How often the player read and closed a hint of each kind.
    std::map<int, int> m_HintsRead;
};

} // namespace lessontest
