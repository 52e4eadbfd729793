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
// icons of plants, the tool the gardener carries, what lights up under the
// cursor) and acts only through mouse events handed to the level field's
// OnInput, as the engine hands them over for a real mouse; the field reads
// the player's cursor through its cursor seam. Only the seed is chosen
// directly (the garden toolbar is not part of this world). It runs the
// field's fixed steps and frame moves itself.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/core/input.h"
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

// A progress ring as the player sees it in a batch: a white disc, a fan of
// triangles around one centre, and right after it a coloured fan over it
// around the same centre. The sector's sweep is measured clockwise (y up)
// from its first edge, in turns; its coverage is its area over the disc's.
struct cRingSeen {
    vek::vec2 centre;
    float radius = 0.0f;        // the white disc's
    float sectorRadius = 0.0f;  // the coloured sector's
    uint32_t color = 0;         // the sector's
    vek::vec2 start, end;       // the sector's first and last edge points
    float swept = 0.0f;
    float coverage = 0.0f;
};
namespace detail {
// The fan of `triangles` triangles from vertex i: every triangle starts at
// the same centre, one colour, each picking up where the last ended.
inline bool IsFan(const vek::cVertex2D* v, size_t i, size_t triangles)
{
    const auto same = [](const vek::cVertex2D& a, const vek::cVertex2D& b) {
        return std::fabs(a.x - b.x) < 1e-3f && std::fabs(a.y - b.y) < 1e-3f;
    };
    for (size_t k = 0; k < triangles; ++k) {
        const vek::cVertex2D* t = v + i + k * 3;
        if (!same(t[0], v[i]) || t[0].color != v[i].color || t[1].color != v[i].color || t[2].color != v[i].color)
            return false;
        if (k > 0 && !same(t[1], t[-1])) return false;
    }
    return true;
}
// The fan's area and its clockwise turn.
inline void MeasureFan(const vek::cVertex2D* v, size_t i, size_t triangles, float* area, float* turns)
{
    *area = 0.0f;
    *turns = 0.0f;
    for (size_t k = 0; k < triangles; ++k) {
        const vek::cVertex2D* t = v + i + k * 3;
        const float ax = t[1].x - t[0].x, ay = t[1].y - t[0].y, bx = t[2].x - t[0].x, by = t[2].y - t[0].y;
        const float cross = ax * by - ay * bx;
        *area += std::fabs(cross) / 2.0f;
        *turns -= std::atan2(cross, ax * bx + ay * by) / (2.0f * 3.14159265f);
    }
}
} // namespace detail
inline std::vector<cRingSeen> Rings(const vek::cQuadBatch& batch, size_t triangles = 32)
{
    std::vector<cRingSeen> rings;
    size_t total = 0;
    for (uint32_t r = 0; r < batch.uRunCount; ++r) total += batch.GetRuns()[r].uCount;
    const vek::cVertex2D* v = batch.GetVertices();
    const size_t fan = triangles * 3;
    for (size_t i = 0; i + 2 * fan <= total;) {
        const size_t j = i + fan;
        if (v[i].color != 0xFFFFFFFFu || !detail::IsFan(v, i, triangles) || !detail::IsFan(v, j, triangles) ||
            std::fabs(v[j].x - v[i].x) > 1e-3f || std::fabs(v[j].y - v[i].y) > 1e-3f) {
            i += 3;
            continue;
        }
        cRingSeen ring;
        ring.centre = vek::vec2(v[i].x, v[i].y);
        ring.radius = std::hypot(v[i + 1].x - v[i].x, v[i + 1].y - v[i].y);
        ring.sectorRadius = std::hypot(v[j + 1].x - v[j].x, v[j + 1].y - v[j].y);
        ring.color = v[j].color;
        ring.start = vek::vec2(v[j + 1].x, v[j + 1].y);
        ring.end = vek::vec2(v[j + fan - 1].x, v[j + fan - 1].y);
        float disc = 0.0f, turns = 0.0f, sector = 0.0f;
        detail::MeasureFan(v, i, triangles, &disc, &turns);
        detail::MeasureFan(v, j, triangles, &sector, &ring.swept);
        ring.coverage = disc > 0.0f ? sector / disc : 0.0f;
        rings.push_back(ring);
        i = j + fan;
    }
    return rings;
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

    // ---- acting: mouse events only ----
    // Every action is what the engine hands the focused field for a real
    // mouse: the cursor moves to the point (the field reads it through its
    // cursor seam, in client pixels), one move event, then the button goes
    // down and up. Points are field points (y up).

    // The cursor moves to the point: objects under it light up and the
    // hover cell follows.
    void MoveTo(const vek::vec2& point)
    {
        const int x = static_cast<int>(std::lround(point.x));
        const int y = static_cast<int>(std::lround(kViewHeight - point.y));
        // The engine reports the motion as deltas (x in the low half, y in
        // the high half); the field reads the cursor itself.
        const uint32_t dx = static_cast<uint32_t>(x - m_pCursor->x) & 0xFFFFu;
        const uint32_t dy = static_cast<uint32_t>(y - m_pCursor->y) & 0xFFFFu;
        m_pCursor->x = x;
        m_pCursor->y = y;
        m_pCursor->known = true;
        Attach();
        m_Level.OnInput(vek::e_inMouseMove, static_cast<int>(dx | (dy << 16)));
    }
    // A left click at the point: false when the field ignored it or found
    // nothing there.
    bool Click(const vek::vec2& point)
    {
        MoveTo(point);
        Press(0);
        return m_Level.WasClickTaken();
    }
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
    // The right button, wherever the cursor is.
    void RightClick()
    {
        Attach();
        Press(1);
    }
    // The seed chosen on the toolbar. The garden toolbar is not part of
    // this world, so the choice goes straight to the field, as the
    // toolbar's item does.
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
    // The cell marked under the cursor ((-1, -1) for none) and the objects
    // lit up under it.
    cell HoverCell() const { return m_Level.GetHoverCell(); }
    std::vector<cObject*> Highlighted() const
    {
        std::vector<cObject*> lit;
        for (cObject* object : m_Level.GetObjects())
            if (object->IsHighlighted()) lit.push_back(object);
        return lit;
    }

private:
    static constexpr float kViewHeight = 768.0f;

    struct cCursor {
        int x = 0, y = 0;
        bool known = false;
    };

    // The field reads this player's cursor. The seam holds the cursor, not
    // the player, so a player that goes (a temporary made to look) leaves
    // nothing dangling.
    void Attach()
    {
        m_Level.fnCursor = [cursor = m_pCursor](int* x, int* y) {
            if (!cursor->known) return false;
            *x = cursor->x;
            *y = cursor->y;
            return true;
        };
    }
    void Press(int button)
    {
        m_Level.OnInput(vek::e_inMouseDown, button);
        m_Level.OnInput(vek::e_inMouseUp, button);
    }

    cLevel& m_Level;
    std::shared_ptr<cCursor> m_pCursor = std::make_shared<cCursor>();
    int m_iSteps = 0;
};

} // namespace gardentest
