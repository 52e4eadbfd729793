#pragma once
// A garden to play in without a screen, and a scripted player for it.
//
// GardenWorld builds what the garden's objects need: the texture manager
// (no device) with the sprite areas of the gardener, the plants, tools,
// car and pump, the ware table, a game object with a current profile, and
// the level field with a small bed layout. The areas are made here, sized
// like the pack's; a test may leave some out (SkipArea) before SetUp.
//
// cScriptedPlayer sees what a player sees (object rectangles, the need
// icons of plants, the tool the gardener carries) and acts only through
// clicks at field points, which go down the level field's click road. It
// runs the field's fixed steps and frame moves itself.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/core/log.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/texture.h"
#include "game/objects/gardener.h"
#include "game/objects/hole.h"
#include "game/objects/plant.h"
#include "game/objects/stations.h"
#include "game/objects/tools.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/shell/texture_info.h"
#include "game/world/level.h"
#include "game/world/ware.h"
#include "support/temp_dir.h"

namespace gardentest {

// The game object with the profile the test hands in; it also records the
// wares delivered against the tasks (every ware the car load receives).
class cWorldGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
    void CountTaskWare(int32_t ware) override { delivered.push_back(ware); }
    std::vector<int32_t> delivered;
};

inline std::string PlainLog(const std::string& html)
{
    std::string log = html;
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"&nbsp;", " "}, {"&#39;", "'"}, {"&quot;", "\""}}) {
        for (size_t at = log.find(from); at != std::string::npos; at = log.find(from, at + to.size()))
            log.replace(at, from.size(), to);
    }
    return log;
}

// The quads a batch holds (six vertices each) and the rectangle of quad i.
inline size_t QuadCount(const vek::cQuadBatch& batch)
{
    size_t vertices = 0;
    for (uint32_t i = 0; i < batch.uRunCount; ++i) vertices += batch.GetRuns()[i].uCount;
    return vertices / 6;
}
inline vek::rectf QuadRect(const vek::cQuadBatch& batch, size_t index)
{
    const vek::cVertex2D* v = batch.GetVertices() + index * 6;
    return vek::rectf(v[0].x, v[0].y, v[5].x - v[0].x, v[5].y - v[0].y);
}

class GardenWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = vektest::MakeTempDir("garden");
        ASSERT_FALSE(dir.empty());
        vek::SetPathMacro(vek::e_macroStaticPath, dir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, dir + "/app");
        log = std::make_unique<vek::cLog>(1024.0f, 768.0f);
        ASSERT_TRUE(vek::CreateTextureManager());
        ASSERT_TRUE(CreateTextureInfos());
        MakeSprites();
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
        game = new cWorldGarden();
        player = new cPlayer("plrgarden");
        game->SetCurrent(player);
        game->SetTraining(0);
        player->m_iMoney = 50;
        player->m_Events.assign(15, 0);
        player->m_Hints.assign(10, 0);
        // Beds on rows 1 and 2, columns 2 to 4 (the layout counts lines
        // from the top).
        game->m_BedLayouts = {{{6, 2}, {6, 3}, {6, 4}, {5, 2}, {5, 3}, {5, 4}}};
        level = new cLevel();
        GetProfileHost().pLevel = level;
        game->m_pLevel = level;
    }

    void TearDown() override
    {
        delete level;
        GetProfileHost().pLevel = nullptr;
        if (game) {
            game->m_pLevel = nullptr;
            game->SetCurrent(nullptr);
        }
        delete player;
        delete game;
        DestroyWareManager();
        DestroyTextureInfos();
        if (vek::g_pTextureManager) vek::DestroyTextureManager();
        log.reset();
    }

    // An area of `frames` frames of w x h pixels, side by side, on the
    // texture's next free line.
    void Area(const std::string& texture, const std::string& name, int w, int h, int frames, float rate = 0.0f)
    {
        if (skipped.count(texture + ":" + name)) return;
        if (!infos.count(texture)) {
            // One tall texture per name; its areas are stacked lines.
            vek::cImage image(vek::e_pfRGBA, 1024, 1024, 1);
            new vek::cTexture(&image, texture, false);
            infos[texture] = new cTextureInfo(texture, false);
            lines[texture] = 0;
        }
        cTextureInfo* info = infos[texture];
        int& y = lines[texture];
        info->AddNode(name, vek::recti(0, y, w * frames, h), frames, 1, rate);
        y += h;
    }
    void SkipArea(const std::string& texture, const std::string& area) { skipped.insert(texture + ":" + area); }

    virtual void MakeSprites()
    {
        for (int i = 0; i < 8; ++i) {
            const std::string gard = "gard0" + std::to_string(i);
            for (const char* dir4 : {"r", "l", "u", "d"}) Area(gard, dir4, 64, 96, 4);
        }
        Area("gard08", "water_put", 64, 96, 3);
        Area("gard08", "water_wait", 64, 96, 3);
        Area("gard09", "seed_start", 64, 96, 3);
        Area("gard09", "seed_work", 64, 96, 4);
        Area("gard09", "been_stock", 64, 96, 4);
        for (const char* name : {"water_start", "water_work", "weed_start", "weed_work"}) Area("gard10", name, 64, 96, 4);
        for (const char* name : {"harvest_start", "harvest_work"}) Area("gard11", name, 64, 96, 4);
        for (int i = 0; i < 8; ++i) Area("images00", "plant0" + std::to_string(i), 64, 64, 5);
        Area("images00", "flowers", 64, 48, 5);
        Area("images00", "grass", 64, 48, 5);
        Area("images00", "hole", 72, 46, 1);
        Area("images00", "highlight", 80, 52, 1);
        Area("images00", "water", 44, 40, 1);
        Area("images00", "weed", 44, 40, 1);
        Area("images00", "bin", 44, 40, 1);
        Area("images00", "car", 168, 98, 1);
        Area("images00", "pump", 60, 200, 1);
        Area("images00", "pump_water", 20, 40, 4);
        Area("car", "wheel", 40, 40, 2);
        Area("car", "bort", 40, 90, 4);
        Area("car", "back", 40, 90, 1);
        Area("peacock01", "pump_top", 30, 30, 2);
        for (const char* name : {"tool_water", "tool_weed", "tool_bin", "stock", "water_pump", "water", "target"})
            Area("icons00", name, 16, 16, 1);
        Area("icons00", "cloud", 48, 40, 1);
        Area("icons00", "circle_need", 32, 32, 1);
        Area("icons00", "bin", 16, 16, 2);
        for (const char* ware : {"plant00", "plant01", "plant02", "plant03", "plant04", "plant05", "plant06",
                                 "plant07", "flowers", "grass", "egg", "milk", "honey", "nib"})
            Area("icons00", ware, 24, 24, 1);
    }

    // The field as a level start leaves it: "level.dat" of the slot, or
    // the default placement.
    void LoadField(int slot = -1) { ASSERT_TRUE(level->Load(slot)); }

    int Logged(const std::string& text) const
    {
        const std::string all = PlainLog(vektest::ReadFile(dir + "/app/_log.html"));
        int n = 0;
        for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) ++n;
        return n;
    }

    int32_t Ware(const char* name) const { return g_pWareManager->FindWare(name); }

    std::string dir;
    std::unique_ptr<vek::cLog> log;
    cWorldGarden* game = nullptr;
    cPlayer* player = nullptr;
    cLevel* level = nullptr;
    std::map<std::string, int> lines;
    std::map<std::string, cTextureInfo*> infos;
    std::set<std::string> skipped;
};

class cScriptedPlayer {
public:
    static constexpr float kStep = 1.0f / 30.0f;

    explicit cScriptedPlayer(cLevel& level) : m_Level(level) {}

    // Fixed steps of the field's objects, each followed by one frame's
    // moves.
    void Step(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            for (cObject* object : m_Level.GetObjects()) object->Update();
            m_Level.FlushRemoved();
            for (cObject* object : m_Level.GetObjects()) object->Move(kStep);
            m_Level.FlushRemoved();
            ++m_iSteps;
        }
    }
    // Steps until the condition holds; false when it did not within the
    // limit.
    bool StepUntil(const std::function<bool()>& done, int limit = 3000)
    {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Step();
        }
        return done();
    }
    // The gardener idle with nothing queued.
    bool WaitIdle(int limit = 3000)
    {
        return StepUntil([this] { return Gardener()->GetState() == cGardener::e_gsIdle && Gardener()->GetJobs().empty(); },
                         limit);
    }

    // ---- acting: clicks only ----
    bool Click(const vek::vec2& point) { return m_Level.GardenClick(point); }
    // The middle of what the player sees of the object.
    bool ClickOn(const cObject* object)
    {
        const vek::rectf r = object->GetRect();
        return Click(vek::vec2(r.x + r.w / 2.0f, r.y + r.h / 2.0f));
    }
    // A point inside the cell, above its bottom edge.
    bool ClickCell(const cell& at)
    {
        const vek::vec2 p = m_Level.GetCellPos(at);
        return Click(vek::vec2(p.x, p.y + 30.0f));
    }
    void RightClick() { m_Level.GardenRightClick(); }
    // The seed chosen on the toolbar.
    bool ChooseSeed(const char* ware) { return m_Level.PlantSort(g_pWareManager->FindWare(ware)); }

    // ---- seeing ----
    cGardener* Gardener() const { return static_cast<cGardener*>(m_Level.GetObject(m_Level.m_uGardenerId)); }
    std::vector<cObject*> All(uint32_t mask) const
    {
        std::vector<cObject*> found;
        for (cObject* object : m_Level.GetObjects())
            if (object != m_Level.GetNullObject() && object->IsType(mask) && object->GetState() != 2)
                found.push_back(object);
        return found;
    }
    cObject* First(uint32_t mask) const
    {
        const std::vector<cObject*> all = All(mask);
        return all.empty() ? nullptr : all.front();
    }
    // What can be clicked: a rectangle with an area.
    static bool Visible(const cObject* object)
    {
        const vek::rectf r = object->GetRect();
        return r.w > 0.0f && r.h > 0.0f;
    }
    std::vector<cHole*> Beds() const
    {
        std::vector<cHole*> beds;
        for (cObject* object : All(OBJ_HOLE))
            if (Visible(object)) beds.push_back(static_cast<cHole*>(object));
        return beds;
    }
    std::vector<cPlant*> Plants() const
    {
        std::vector<cPlant*> plants;
        for (cObject* object : All(OBJ_PLANT)) plants.push_back(static_cast<cPlant*>(object));
        return plants;
    }
    // The plant whose need icon (or ripe look) asks for that need.
    cPlant* PlantAsking(int32_t need) const
    {
        for (cPlant* plant : Plants())
            if (plant->GetState() == cPlant::e_psNeeding && plant->GetNeed() == need) return plant;
        return nullptr;
    }
    int32_t CarriedTool() const { return Gardener()->GetToolKind(); }
    int Steps() const { return m_iSteps; }

private:
    cLevel& m_Level;
    int m_iSteps = 0;
};

} // namespace gardentest
