#pragma once
// A player of the first levels on the real pack, on top of PackGame: the
// road from a fresh start to level 0, a plain crop player (sow what the
// tasks still want, weed, harvest with the basket, unload at the car), and
// a picture of everything a saved level keeps, to compare a level before
// it was left with the one continued later.
//
// Every action is an injected click or key; the player only looks at the
// field, the tasks and the toolbars to decide where to click.
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "../pack_player.h"
#include "game/objects/gardener.h"
#include "game/objects/hole.h"
#include "game/objects/plant.h"
#include "game/objects/stations.h"
#include "game/objects/tools.h"
#include "game/screens/controls.h"
#include "game/screens/message_box.h"
#include "game/shell/player.h"
#include "game/world/building.h"
#include "game/world/level_defs.h"
#include "game/world/level_task.h"
#include "game/world/ware.h"
#include "support/log_problems.h"

namespace gametest {

// What a saved level holds, in the order it is compared.
struct cLevelPicture {
    struct cTask {
        int32_t kind, ware, amount;
        float time;
        bool operator==(const cTask& o) const
        {
            return kind == o.kind && ware == o.ware && amount == o.amount && time == o.time;
        }
    };
    struct cPlantSpot {
        cell at;
        int32_t ware;
        float growth;
        bool operator==(const cPlantSpot& o) const { return at == o.at && ware == o.ware && growth == o.growth; }
        bool operator<(const cPlantSpot& o) const
        {
            return at.row != o.at.row ? at.row < o.at.row : at.column < o.at.column;
        }
    };
    int level = -1;
    float clock = 0.0f;
    int money = 0;
    int next = 0;
    std::vector<cTask> tasks;
    std::vector<int32_t> car;
    std::vector<cPlantSpot> plants;
    cell gardener;
    // The can, the weeding tool and the basket: where each lies and
    // whether the gardener carries it; and what the basket holds.
    struct cToolSpot {
        cell at;
        bool carried;
    };
    std::vector<cToolSpot> tools;
    std::vector<int32_t> basket;
    int32_t tool = -1;

    // Everything but the tools' places.
    bool operator==(const cLevelPicture& o) const
    {
        return level == o.level && clock == o.clock && money == o.money && next == o.next && tasks == o.tasks &&
               car == o.car && plants == o.plants && gardener == o.gardener && basket == o.basket;
    }
    // The tools of a level continued from this one lie where they lay.
    // Which tool the gardener carries is not part of a saved level: he
    // comes back empty-handed, and the tool he held lies where he stood
    // or, when that is a bed, on a free cell beside it. Empty when so,
    // else what differs.
    std::string ToolsDiffer(const cLevelPicture& continued) const
    {
        if (continued.tools.size() != tools.size()) return "the tools are not all there";
        std::string out;
        for (size_t i = 0; i < tools.size(); ++i) {
            const cToolSpot& was = tools[i];
            const cToolSpot& is = continued.tools[i];
            const bool near = std::abs(is.at.row - gardener.row) <= 1 && std::abs(is.at.column - gardener.column) <= 1;
            if (is.carried)
                out += "tool " + std::to_string(i) + " is carried; ";
            else if (!was.carried && is.at != was.at)
                out += "tool " + std::to_string(i) + " moved; ";
            else if (was.carried && !near)
                out += "tool " + std::to_string(i) + " lies away from where the gardener stood; ";
        }
        return out;
    }
    std::string Text() const
    {
        std::ostringstream s;
        s << "level " << level << ", clock " << clock << ", money " << money << ", next task " << next << "\n tasks:";
        for (const cTask& t : tasks) s << " (" << t.kind << ", " << t.ware << ", " << t.amount << ", " << t.time << ")";
        s << "\n car:";
        for (int32_t w : car) s << " " << w;
        s << "\n plants:";
        for (const cPlantSpot& p : plants)
            s << " [" << p.at.row << "," << p.at.column << "] " << p.ware << " " << p.growth;
        s << "\n gardener at [" << gardener.row << "," << gardener.column << "] carrying " << tool << ", tools at";
        for (const cToolSpot& t : tools) s << " [" << t.at.row << "," << t.at.column << "]" << (t.carried ? "*" : "");
        s << ", basket:";
        for (int32_t w : basket) s << " " << w;
        return s.str();
    }
};

// What the profile keeps besides the level in play: the island's funds and
// buildings (a factory with the units waiting in it), the progress, the
// upgrades and the unlocked sorts and animals.
struct cKeptPicture {
    int32_t islandMoney = 0, progress = 0, sorts = 0, animals = 0, bedLayout = 0;
    std::vector<int> upgrades, results;
    std::vector<std::string> buildings;

    bool operator==(const cKeptPicture& o) const
    {
        return islandMoney == o.islandMoney && progress == o.progress && sorts == o.sorts && animals == o.animals &&
               bedLayout == o.bedLayout && upgrades == o.upgrades && results == o.results && buildings == o.buildings;
    }
    std::string Text() const
    {
        std::ostringstream s;
        s << "island funds " << islandMoney << ", progress " << progress << ", sorts " << sorts << ", animals "
          << animals << ", bed layout " << bedLayout << ", upgrades";
        for (int u : upgrades) s << " " << u;
        s << ", results";
        for (int r : results) s << " " << r;
        s << "\n buildings:";
        for (const std::string& b : buildings) s << " " << b;
        return s.str();
    }
};

// Failure messages show the pictures as text.
inline void PrintTo(const cLevelPicture& p, std::ostream* os) { *os << p.Text(); }
inline void PrintTo(const cKeptPicture& k, std::ostream* os) { *os << k.Text(); }

class PlayLevel : public PackGame {
protected:
    // ---- seeing ----

    cPlayer* Player() const { return g_pGarden ? g_pGarden->GetPlayer() : nullptr; }
    cLevel* Field() const { return g_pGarden ? g_pGarden->GetLevel() : nullptr; }
    cGardener* Gardener() const
    {
        cLevel* field = Field();
        return field ? dynamic_cast<cGardener*>(field->GetGardenerObject()) : nullptr;
    }
    std::vector<cObject*> Objects(uint32_t mask) const
    {
        std::vector<cObject*> found;
        cLevel* field = Field();
        if (!field) return found;
        for (cObject* object : field->GetObjects())
            if (object != field->GetNullObject() && object->IsType(mask) && object->GetState() != cObject::e_stRemove)
                found.push_back(object);
        return found;
    }
    std::vector<cPlant*> Plants() const
    {
        std::vector<cPlant*> plants;
        for (cObject* object : Objects(OBJ_PLANT)) plants.push_back(static_cast<cPlant*>(object));
        return plants;
    }
    cPlant* PlantAsking(int32_t need) const
    {
        for (cPlant* plant : Plants())
            if (plant->GetState() == cPlant::e_psNeeding && plant->GetNeed() == need) return plant;
        return nullptr;
    }
    // A bed the player can see that holds nothing.
    cHole* FreeBed() const
    {
        for (cObject* object : Objects(OBJ_HOLE)) {
            auto* bed = static_cast<cHole*>(object);
            const vek::rectf r = bed->GetRect();
            if (bed->IsShown() && bed->GetPlant() == 0 && r.w > 0.0f && r.h > 0.0f) return bed;
        }
        return nullptr;
    }
    cObject* LooseTool(uint32_t mask) const
    {
        for (cObject* object : Objects(mask))
            if (!static_cast<cTool*>(object)->IsInUse()) return object;
        return nullptr;
    }
    cCar* Car() const
    {
        cLevel* field = Field();
        return field && field->HasObject(field->m_uCarId) ? dynamic_cast<cCar*>(field->GetObject(field->m_uCarId))
                                                           : nullptr;
    }
    bool GardenerIdle() const
    {
        const cGardener* g = Gardener();
        return g && g->GetState() == cGardener::e_gsIdle && g->GetJobs().empty();
    }
    // How many of the ware the active tasks still want.
    int Wanted(int32_t ware) const
    {
        int wanted = 0;
        if (const cPlayer* player = Player())
            for (const cLevelTask& task : player->m_Tasks)
                if (task.iWare == ware && task.iAmount > 0) wanted += task.iAmount;
        return wanted;
    }
    // Task lines of the score panel that are not hidden (shown or moving).
    int TaskLinesOut() const
    {
        int out = 0;
        for (int i = 0; i < 4; ++i)
            if (const cTaskCtrl* line = GetTaskControl(i))
                out += line->GetSlideState() != cTaskCtrl::e_slideHidden ? 1 : 0;
        return out;
    }
    // The log's warnings and errors less those the start-up check of the
    // pack also allows: a first start has no settings file, and a profile
    // that has not been saved yet has no saved game, field or island.
    static std::string UnexpectedProblems(const std::string& log)
    {
        std::string out;
        for (const std::string& line : vektest::LogProblemEntries(log)) {
            bool allowed = false;
            if (line.find("not found on disk") != std::string::npos)
                for (const char* file : {"\\conf\\settings.lua", "save.dat", "level.dat", "island.dat"})
                    allowed = allowed || line.find(file) != std::string::npos;
            if (!allowed) out += line + "\n";
        }
        return out;
    }
    // The island building a level puts up, or null.
    cHouse* LevelHouse(int level) const
    {
        const vek::string name = GetLevelBuilding(level);
        for (cHouse* house : g_pGarden->m_pIsland->GetBuildings())
            if (house->GetName() == name) return house;
        return nullptr;
    }
    // A click on an island building, where it shows on the screen.
    void ClickBuilding(const cHouse* house)
    {
        const vek::vec2 c = house->GetScreenCenter();
        ClickAt(static_cast<int>(c.x), static_cast<int>(768.0f - c.y));
    }
    // On the level map: level point `index`, "Yes" to starting it; its
    // start screen shows.
    void StartLevelFromTheMap(int index)
    {
        int x = 0, y = 0;
        ASSERT_TRUE(LevelPointClient(index, x, y)) << "level point " << index;
        ClickAt(x, y);
        Run(20);
        ASSERT_EQ(BoxCommand(), "start_level" + std::to_string(index));
        ASSERT_TRUE(Press("messagebox", "ok"));
        ASSERT_TRUE(Shown("mission_start"));
    }
    float SliderValue(const char* window, const char* name) const
    {
        auto* slider = dynamic_cast<vek::cSliderCtrl*>(Control(window, name));
        return slider ? slider->GetValue() : -1.0f;
    }
    vek::string BoxCommand() const
    {
        cMessageBoxWF* box = g_pGarden ? g_pGarden->GetMessageBox() : nullptr;
        return box ? box->GetCommand() : vek::string();
    }

    cLevelPicture Picture() const
    {
        cLevelPicture p;
        const cPlayer* player = Player();
        if (!player) return p;
        p.level = player->m_iLevel;
        p.clock = player->m_fClock;
        p.money = player->m_iMoney;
        p.next = player->m_iLevelValue;
        for (const cLevelTask& t : player->m_Tasks) p.tasks.push_back({t.iKind, t.iWare, t.iAmount, t.fTime});
        p.car = player->m_CarLoad;
        for (const cPlant* plant : Plants()) p.plants.push_back({plant->GetCell(), plant->GetWareId(), plant->GetGrowth()});
        std::sort(p.plants.begin(), p.plants.end());
        if (const cGardener* g = Gardener()) {
            p.gardener = g->GetCell();
            p.tool = g->GetToolKind();
        }
        for (uint32_t mask : {OBJ_TOOL_WATER, OBJ_TOOL_WEED, OBJ_TOOL_BIN})
            for (const cObject* tool : Objects(mask))
                p.tools.push_back({tool->GetCell(), static_cast<const cTool*>(tool)->IsInUse()});
        for (const cObject* bin : Objects(OBJ_TOOL_BIN)) p.basket = static_cast<const cToolBin*>(bin)->GetWares();
        return p;
    }

    cKeptPicture Kept() const
    {
        cKeptPicture k;
        const cPlayer* player = Player();
        if (!player) return k;
        k.islandMoney = player->m_iIslandMoney;
        k.progress = player->m_iProgress;
        k.sorts = player->m_iSorts;
        k.animals = player->m_iAnimals;
        k.bedLayout = player->m_iPlayerValue;
        k.results.assign(player->m_Results.begin(), player->m_Results.end());
        for (int i = 0; i < cUpgrades::kCount; ++i) k.upgrades.push_back(player->m_Upgrades.GetLevel(i));
        for (const cHouse* house : g_pGarden->m_pIsland->GetBuildings()) {
            std::string b = std::string(house->strName) + ":" + std::to_string(house->iState);
            if (const auto* factory = dynamic_cast<const cFactory*>(house)) b += "/" + std::to_string(factory->iUnits);
            k.buildings.push_back(b);
        }
        return k;
    }

    // ---- acting ----

    // A click, then frames for the GUI's fades.
    bool Press(const char* window, const char* control, int frames = 20)
    {
        const bool clicked = ClickControl(window, control);
        Run(frames);
        return clicked;
    }

    // The game from its start to the main menu; the GUI settles.
    void StartToMainMenu()
    {
        m_iQuitCode = -1;
        StartOnPack();
        m_pGame->iDrawInterval = 60;
        ASSERT_TRUE(RunToMainMenu(3000));
        Run(20);
        ASSERT_TRUE(Shown("main"));
    }

    // The options' "Show hints" box unchecked, back to where they came from.
    // `whileOpen` runs while the options show.
    void HintsOff(const std::function<void()>& whileOpen = nullptr)
    {
        ASSERT_TRUE(Press("main", "btOptions"));
        ASSERT_TRUE(Shown("options"));
        if (whileOpen) whileOpen();
        auto* box = dynamic_cast<vek::cCheckBoxSysCtrl*>(Control("options", "cbHints"));
        ASSERT_NE(box, nullptr);
        if (box->IsChecked()) {
            ASSERT_TRUE(Press("options", "cbHints"));
        }
        EXPECT_EQ(g_pGarden->GetTraining(), 0);
        ASSERT_TRUE(Press("options", "btBack"));
        ASSERT_TRUE(Shown("main"));
    }

    // "Start" on a new game: the comic strip turned to its end, the level
    // map, level point 0, "Yes", the start screen's button: level 0 runs.
    void NewGameToLevelZero()
    {
        ASSERT_TRUE(Press("main", "btStart"));
        for (int page = 0; page < 20 && Focus() != "island"; ++page) {
            ClickControl("comics", "next");
            Run(20);
        }
        ASSERT_EQ(Focus(), "island");
        Run(60);
        StartLevelFromTheMap(0);
        ASSERT_TRUE(Press("mission_start", "ok"));
        ASSERT_EQ(Focus(), "garden");
        ASSERT_FALSE(Shown("mission_start"));
    }

    // One thing a player of a crop level does next, once the gardener has
    // finished what he was doing; false when there is nothing to do yet.
    bool PlayOnce(int32_t sort)
    {
        if (Shown("hint") && ClickControl("hint", "close")) return true;
        cGardener* g = Gardener();
        if (!g || !GardenerIdle()) return false;
        if (cPlant* weedy = PlantAsking(cPlant::e_NeedWeed)) {
            if (g->GetToolKind() == cTool::e_Weed) {
                ClickObject(weedy);
            } else if (cObject* tool = LooseTool(OBJ_TOOL_WEED)) {
                ClickObject(tool);
            } else {
                return false;
            }
            return true;
        }
        const cToolBin* basket = g->GetBasket();
        if (cPlant* ripe = PlantAsking(cPlant::e_NeedRipe)) {
            if (!basket) {
                if (cObject* bin = LooseTool(OBJ_TOOL_BIN)) {
                    ClickObject(bin);
                    return true;
                }
            } else if (!basket->IsFull()) {
                ClickObject(ripe);
                return true;
            }
        }
        const cCar* car = Car();
        if (basket && basket->GetCount() > 0 && car && car->GetState() == cCar::e_csParked) {
            ClickObject(car);
            return true;
        }
        const cPlayer* player = Player();
        const int held = static_cast<int>(Plants().size()) + (basket ? basket->GetCount() : 0) +
                         static_cast<int>(std::count(player->m_CarLoad.begin(), player->m_CarLoad.end(), sort));
        const cWare* ware = g_pWareManager->GetWare(static_cast<uint32_t>(sort));
        cHole* bed = FreeBed();
        if (Wanted(sort) > held && bed && ware && player->m_iMoney >= ware->iPrice) {
            if (!ClickListItem("garden", "plants", sort)) return false;
            Run(2);
            ClickObject(bed);
            return true;
        }
        return false;
    }
    // Plays until `done` holds (checked between frames); false after
    // `limit` frames.
    bool PlayUntil(int32_t sort, const std::function<bool()>& done, int limit = 9000)
    {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            if (!PlayOnce(sort)) Frame();
        }
        return done();
    }
};

} // namespace gametest
