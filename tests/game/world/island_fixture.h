#pragma once
// The island's world without an engine: a log, the texture manager and the
// texture-info registry with the buildings' and the walkers' sprites, the
// wares, a game object with a profile and the building catalogue, and the
// island files written into the test's own static folder.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "../shell/sprite_fixture.h"
#include "engine/core/bitstream.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/building.h"
#include "game/world/island.h"
#include "game/world/ware.h"
#include "support/island_files.h"
#include "support/temp_dir.h"

namespace islandtest {

class cTestGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
};

// A texture whose info cuts it into one row of `frames` columns per area.
inline void SpriteTexture(const std::string& texture, int w, int h,
                          const std::vector<std::pair<std::string, int>>& areas)
{
    spritetest::MakeTexture(texture, w, h);
    auto* info = new cTextureInfo(texture, false);
    for (const auto& [area, frames] : areas) info->AddNode(area, frames, 1);
}

class IslandFixture : public spritetest::SpriteFixture {
protected:
    void SetUp() override
    {
        SpriteFixture::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
        // Building frames are 100 x 100 pixels (7 frames in a row).
        SpriteTexture("houses00", 700, 100, {{"house00", 7}, {"house01", 7}, {"house02", 7}, {"house03", 7}, {"house04", 7}});
        SpriteTexture("houses01", 700, 100, {{"market00", 7}, {"market01", 7}, {"market02", 7}, {"market03", 7}});
        SpriteTexture("houses02", 700, 100, {{"market04", 7}, {"house05", 7}});
        SpriteTexture("houses03", 700, 100, {{"factory00", 7}, {"market05", 7}});
        SpriteTexture("houses04", 700, 100, {{"factory01", 7}, {"factory03", 7}});
        SpriteTexture("houses05", 700, 100, {{"institute00", 7}, {"animals00", 7}});
        SpriteTexture("houses07", 700, 100, {{"factory02", 7}, {"factory02_life", 4}});
        SpriteTexture("houses08", 700, 100, {{"factory01_1", 7}, {"factory02_1", 7}});
        SpriteTexture("houses09", 700, 100, {{"factory03", 7}});
        SpriteTexture("peacock02", 700, 100, {{"statue00", 7}, {"hl", 1}});
        SpriteTexture("firework", 64, 64, {{"total", 4}});
        std::vector<std::pair<std::string, int>> icons = {{"house", 1}, {"star", 1}};
        for (const cWare* ware : g_pWareManager->vecWares) icons.emplace_back(ware->strName, 1);
        SpriteTexture("icons00", 32, 32, icons);
        // Walkers: 10 x 20 frames, four in the front view, two in the back.
        SpriteTexture("peacock01", 40, 20, {{"white_front", 4}, {"white_back", 2}});

        m_pGarden = new cTestGarden();
        m_pPlayer = new cPlayer("plrtest");
        m_pGarden->SetCurrent(m_pPlayer);
        CreateBuildings(m_pGarden->m_Buildings);
    }

    void TearDown() override
    {
        delete m_pIsland;
        m_pIsland = nullptr;
        if (m_pGarden) m_pGarden->SetCurrent(nullptr);
        delete m_pPlayer;
        delete m_pGarden;
        if (g_pWareManager) DestroyWareManager();
        SpriteFixture::TearDown();
    }

    std::string StaticFile(const std::string& name) const { return m_strDir + "/data/conf/" + name; }

    void WritePoints(const vektest::IslandPoints& points)
    {
        ASSERT_TRUE(vektest::WriteFile(StaticFile("island.pts"), points.Bytes()));
    }
    void WriteGlobal(const std::vector<vektest::IslandPlacement>& records)
    {
        ASSERT_TRUE(vektest::WriteFile(StaticFile("island.dat"), vektest::IslandGlobalBytes(records)));
    }

    // A fresh island over the files written so far.
    cIsland* MakeIsland()
    {
        delete m_pIsland;
        m_pIsland = new cIsland();
        return m_pIsland;
    }

    static vek::cBitStream Stream(const std::string& bytes)
    {
        vek::cBitStream s;
        s.SetData(bytes.data(), bytes.size());
        return s;
    }

    cTestGarden* m_pGarden = nullptr;
    cPlayer* m_pPlayer = nullptr;
    cIsland* m_pIsland = nullptr;
};

} // namespace islandtest
