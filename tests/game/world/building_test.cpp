// The building catalogue, and the buildings' life on an island: buying,
// construction, fireworks, the level popup, the sprite warnings, copies of
// definitions, and the factories' processing.
#include "game/world/building.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/objects/object.h"
#include "game/shell/comics.h"
#include "game/shell/locale_gd.h"
#include "game/world/effects.h"
#include "island_fixture.h"

using namespace islandtest;

namespace {

struct Row {
    const char* name;
    int type;
    const char* title;
    int category;
    const char* texture;
    const char* area;
    int price;
    int increase;
    const char* input;
    const char* output;
    float time;
};

const Row kCatalogue[] = {
    {"market00", 3, "Market00", 2, "houses01", "market00", 50, 2, nullptr, nullptr, 0},
    {"house00", 3, "House00", 1, "houses00", "house00", 50, 1, nullptr, nullptr, 0},
    {"factory00", 4, "FactoryOliveOil", 3, "houses03", "factory00", 60, 0, "plant01", "product00", 7},
    {"institute00", 3, "Institute00", 4, "houses05", "institute00", 70, 0, nullptr, nullptr, 0},
    {"factory01", 4, "FactoryOrangeJuice", 3, "houses04", "factory01", 200, 0, "plant02", "product01", 7},
    {"animals00", 3, "Animals00", 5, "houses05", "animals00", 200, 0, nullptr, nullptr, 0},
    {"market01", 3, "Market01", 2, "houses01", "market01", 100, 2, nullptr, nullptr, 0},
    {"house01", 3, "House01", 1, "houses00", "house01", 250, 1, nullptr, nullptr, 0},
    {"market02", 3, "Market02", 2, "houses01", "market02", 450, 2, nullptr, nullptr, 0},
    {"factory01_1", 4, "FactoryLemonade", 3, "houses08", "factory01_1", 200, 0, "product01", "product01_1", 5},
    {"house02", 3, "House02", 1, "houses00", "house02", 200, 2, nullptr, nullptr, 0},
    {"market03", 3, "Market03", 2, "houses01", "market03", 350, 2, nullptr, nullptr, 0},
    {"factory02", 4, "Mill", 3, "houses07", "factory02", 500, 0, "plant04", "product02", 6},
    {"factory02_1", 4, "Bakery", 3, "houses08", "factory02_1", 400, 0, "product02", "product02_1", 4},
    {"house03", 3, "House03", 1, "houses00", "house03", 300, 2, nullptr, nullptr, 0},
    {"market04", 3, "Market04", 2, "houses02", "market04", 350, 2, nullptr, nullptr, 0},
    {"house04", 3, "House04", 1, "houses00", "house04", 350, 3, nullptr, nullptr, 0},
    {"market05", 3, "Market05", 2, "houses03", "market05", 500, 2, nullptr, nullptr, 0},
    {"factory03", 4, "FactoryGrapeJuice", 3, "houses09", "factory03", 500, 0, "plant06", "product03", 6},
    {"factory03_1", 4, "FactoryWine", 3, "houses04", "factory03", 500, 0, "product03", "product03_1", 3},
    {"house05", 3, "House05", 1, "houses02", "house05", 500, 3, nullptr, nullptr, 0},
    {"statue00", 3, "Statue00", 7, "peacock02", "statue00", 2000, 0, nullptr, nullptr, 0},
};

class Buildings : public IslandFixture {
protected:
    // An island with one level point per level at (100 i, 100), and a copy
    // of catalogue entry `index` whose centre sits on the point of `level`.
    cHouse* PlaceCopy(unsigned index, int level)
    {
        if (!m_pIsland) {
            vektest::IslandPoints points;
            for (int i = 0; i < 45; ++i) points.levels.push_back({100.0f * static_cast<float>(i), 100.0f});
            WritePoints(points);
            MakeIsland();
        }
        cHouse* b = m_pGarden->CreateBuilding(index, m_pIsland);
        if (b) b->SetPos(100.0f * static_cast<float>(level) - b->rect.w / 2, 100.0f - b->rect.h / 2);
        return b;
    }
    // Fixed steps until the state is reached (at most `limit`); the count.
    int TicksUntil(const cHouse* b, int state, int limit = 300)
    {
        for (int i = 0; i < limit; ++i) {
            if (b->iState == state) return i;
            m_pIsland->TickWorld();
        }
        return -1;
    }
};

TEST_F(Buildings, TheCatalogueHoldsTheTwentyTwoDefinitions)
{
    ASSERT_EQ(m_pGarden->m_Buildings.Count(), 22u);
    for (unsigned i = 0; i < 22; ++i) {
        const Row& row = kCatalogue[i];
        SCOPED_TRACE(row.name);
        const cHouse* def = m_pGarden->GetBuilding(i);
        ASSERT_NE(def, nullptr);
        EXPECT_EQ(def->strName, row.name);
        EXPECT_EQ(def->GetType(), row.type);
        EXPECT_EQ(def->strTitle, row.title);
        EXPECT_EQ(def->GetValue(), row.category);
        EXPECT_EQ(def->iPrice, row.price);
        EXPECT_EQ(def->iIncrease, row.increase);
        EXPECT_EQ(def->iState, -1);
        ASSERT_GE(def->vecSprites.size(), 1u);
        EXPECT_EQ(def->vecSprites[0].strTexture, row.texture);
        EXPECT_EQ(def->vecSprites[0].strArea, row.area);
        EXPECT_EQ(def->vecSprites.size(), std::string(row.name) == "factory02" ? 2u : 1u);
        EXPECT_FLOAT_EQ(def->rect.w, 0.0f);  // a definition is never shown
        if (row.type == 4) {
            const auto* f = static_cast<const cFactory*>(def);
            EXPECT_EQ(f->iInputWare, g_pWareManager->FindWare(row.input));
            EXPECT_EQ(f->iOutputWare, g_pWareManager->FindWare(row.output));
            EXPECT_NE(f->iOutputWare, NO_WARE);
            EXPECT_FLOAT_EQ(f->fProcessTime, row.time);
            EXPECT_NE(f->uIconTexture, 0u);  // the output's icon for the garden screen
        }
        EXPECT_EQ(m_pGarden->FindBuilding(row.name), def);
    }
    EXPECT_EQ(m_pGarden->GetBuilding(22), nullptr);
    EXPECT_EQ(m_pGarden->FindBuilding("factory02_1"), m_pGarden->GetBuilding(13));
    EXPECT_EQ(m_pGarden->FindBuilding("Factory02_1"), nullptr);
    EXPECT_EQ(m_pGarden->m_Buildings.Get(13)->vecSprites[0].strTexture, "houses08");
    EXPECT_EQ(m_pGarden->GetBuilding(12)->vecSprites[1].strArea, "factory02_life");
    EXPECT_EQ(Logged("AddSprite"), 0);
}

TEST_F(Buildings, CategoriesComeFromTheNamePrefix)
{
    EXPECT_EQ(cHouse("house99", "").GetValue(), 1);
    EXPECT_EQ(cHouse("market", "").GetValue(), 2);
    EXPECT_EQ(cHouse("institute7", "").GetValue(), 4);
    EXPECT_EQ(cHouse("animals", "").GetValue(), 5);
    EXPECT_EQ(cHouse("statue01", "").GetValue(), 7);
    EXPECT_EQ(cHouse("factory00", "").GetValue(), 0);  // only the factory class makes a factory
    EXPECT_EQ(cHouse("xhouse", "").GetValue(), 0);
    EXPECT_EQ(cFactory("anything", "").GetValue(), 3);
    EXPECT_EQ(cDecor("house00", nullptr).GetValue(), 0);

    const cHouse statue("statue00", "");
    const cHouse house("house00", "");
    EXPECT_EQ(statue.GetSpriteIndex(0), 3);
    EXPECT_EQ(house.GetSpriteIndex(0), 6);
    EXPECT_EQ(house.GetSpriteIndex(1), 4);
    EXPECT_EQ(statue.GetSpriteIndex(1), 4);
    EXPECT_EQ(house.GetSpriteIndex(2), 0);
}

TEST_F(Buildings, AddSpriteNamesEachMissingPart)
{
    spritetest::MakeTexture("bare", 8, 8);  // a texture without areas
    auto* info = new cTextureInfo("broken", false);
    spritetest::MakeTexture("broken", 8, 8);
    info->nodes.push_back(cTextureInfo::cNode{"empty", 30.0f, {}});

    cHouse h("house00", "");
    EXPECT_FALSE(h.AddSprite("nothing", "house00"));
    EXPECT_FALSE(h.AddSprite("bare", "house00"));
    EXPECT_FALSE(h.AddSprite("houses01", "house00"));
    EXPECT_FALSE(h.AddSprite("broken", "empty"));
    EXPECT_TRUE(h.vecSprites.empty());
    EXPECT_EQ(Logged("AddSprite: texture nothing not found"), 1);
    EXPECT_EQ(Logged("AddSprite: texinfo for texture bare not found"), 1);
    EXPECT_EQ(Logged("AddSprite: texture houses01 not containes area house00"), 1);
    EXPECT_EQ(Logged("AddSprite: texture broken area empty - invalid"), 1);

    // Without a sprite the building stays a zero-sized rectangle.
    EXPECT_FALSE(h.SetSprite(0));
    EXPECT_FLOAT_EQ(h.rect.w, 0.0f);
    ASSERT_TRUE(h.AddSprite("houses00", "house02"));
    EXPECT_TRUE(h.SetSprite(0));
    EXPECT_FLOAT_EQ(h.rect.w, 100.0f);
    EXPECT_FLOAT_EQ(h.rect.h, 100.0f);
    EXPECT_EQ(h.vecSprites[0].iFrameCount, 7);
    EXPECT_FLOAT_EQ(h.vecSprites[0].counter.fFrameTime, 1.0f / 30.0f);
    // An area without a frame rate plays at two frames a second.
    info->AddNode("still", 2, 1, 0.0f);
    ASSERT_TRUE(h.AddSprite("broken", "still"));
    EXPECT_FLOAT_EQ(h.vecSprites[1].counter.fFrameTime, 0.5f);
}

TEST_F(Buildings, CopiesTakeTheDefinitionAndStartOnTheirOwn)
{
    cHouse* mill = PlaceCopy(12, 15);
    ASSERT_NE(mill, nullptr);
    ASSERT_EQ(mill->GetType(), 4);
    const auto* f = static_cast<const cFactory*>(mill);
    EXPECT_EQ(f->strName, "factory02");
    EXPECT_EQ(f->strTitle, "Mill");
    EXPECT_EQ(f->iPrice, 500);
    EXPECT_EQ(f->GetValue(), 3);
    EXPECT_EQ(f->iInputWare, g_pWareManager->FindWare("plant04"));
    EXPECT_EQ(f->iOutputWare, g_pWareManager->FindWare("product02"));
    EXPECT_FLOAT_EQ(f->fProcessTime, 6.0f);
    ASSERT_EQ(f->vecSprites.size(), 2u);
    EXPECT_EQ(f->vecSprites[1].strArea, "factory02_life");
    EXPECT_FLOAT_EQ(f->rect.w, 100.0f);
    EXPECT_EQ(f->GetOwner(), m_pIsland);
    // The copy's own state never touches the definition.
    mill->iPrice = 1;
    EXPECT_EQ(m_pGarden->GetBuilding(12)->iPrice, 500);

    cHouse* house = PlaceCopy(16, 32);
    ASSERT_NE(house, nullptr);
    EXPECT_EQ(house->GetType(), 3);
    EXPECT_EQ(house->iIncrease, 3);
    EXPECT_EQ(house->strTitle, "House04");
    EXPECT_EQ(m_pGarden->CreateBuilding(22, m_pIsland), nullptr);
    EXPECT_EQ(m_pIsland->GetBuildings().size(), 2u);

    // In the edit mode a new building starts not built.
    m_pIsland->iMode = cIsland::e_modeEdit;
    EXPECT_EQ(m_pGarden->CreateBuilding(1, m_pIsland)->iState, 0);
}

TEST_F(Buildings, BuyingNeverFailsForLackOfFunds)
{
    std::vector<std::string> popups;
    cHouse* b = PlaceCopy(0, 1);  // market00, price 50
    m_pIsland->hooks.popup = [&](const vek::string& text, const vek::vec2&) { popups.push_back(text); };
    b->iState = 0;
    m_pPlayer->m_iIslandMoney = 30;
    b->Buy();
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 5);
    EXPECT_EQ(b->iState, 1);
    m_pPlayer->m_iIslandMoney = 3;
    b->Buy();  // already under construction: only the cost
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 0);
    EXPECT_EQ(b->iState, 1);
    m_pPlayer->m_iIslandMoney = 80;
    b->Buy();
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 30);
    EXPECT_EQ(popups, (std::vector<std::string>{"-$25", "-$3", "-$50"}));
}

TEST_F(Buildings, AClickBuysOnlyAnAvailableBuildingOnTheResultScreen)
{
    cHouse* b = PlaceCopy(1, 0);
    b->iState = 0;
    m_pPlayer->m_iIslandMoney = 100;
    m_pIsland->iMode = cIsland::e_modeLevel;
    m_pGarden->m_iShownHint = 2;
    b->OnMessage(48, 1);  // not available
    EXPECT_EQ(b->iState, 0);
    EXPECT_EQ(m_pGarden->m_iShownHint, 2);
    b->bAvailable = 1;
    m_pIsland->iMode = cIsland::e_modeIsland;
    b->OnMessage(48, 1);
    EXPECT_EQ(b->iState, 0);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1);  // any click ends a shown hint
    m_pIsland->iMode = cIsland::e_modeLevel;
    b->OnMessage(48, 0);
    EXPECT_EQ(b->iState, 0);
    b->OnMessage(48, 1);
    EXPECT_EQ(b->iState, 1);
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 50);
}

TEST_F(Buildings, ConstructionEndsAtTheBuiltFrameWithThreeFireworks)
{
    GetLocaleGD().IncPeople = "+%i people";
    std::vector<int> fireworks;
    std::vector<std::string> popups;
    int tick = 0;
    cHouse* b = PlaceCopy(7, 6);  // house01 on the spot of level 6
    const cHouse* building = b;
    m_pIsland->hooks.playOnce = [&](const vek::string& t, const vek::string& a, const vek::vec2& at) {
        EXPECT_EQ(t, "firework");
        EXPECT_EQ(a, "total");
        const vek::rectf& r = building->rect;
        EXPECT_TRUE(r.x + r.w / 6 - 0.01f <= at.x && at.x < r.x + r.w * 5 / 6);
        EXPECT_TRUE(r.y + r.h / 6 - 0.01f <= at.y && at.y < r.y + r.h * 5 / 6);
        fireworks.push_back(tick);
    };
    m_pIsland->hooks.popup = [&](const vek::string& text, const vek::vec2&) { popups.push_back(text); };
    m_pPlayer->m_iProgress = 6;
    m_pPlayer->m_iLevel = 6;
    m_pPlayer->m_iContinueLevel = 4;
    m_pIsland->iMode = cIsland::e_modeLevel;
    b->iState = 0;
    b->SetState(1);
    EXPECT_EQ(b->GetCurrentSprite().counter.iFrame, 0);

    // Nothing is built while the island is the menu's backdrop.
    m_pIsland->iMode = cIsland::e_modeNone;
    for (int i = 0; i < 30; ++i) m_pIsland->TickWorld();
    EXPECT_EQ(b->iState, 1);
    m_pIsland->iMode = cIsland::e_modeLevel;
    b->SetState(1);
    for (tick = 0; tick < 120; ++tick) m_pIsland->TickWorld();
    EXPECT_EQ(b->iState, 2);
    EXPECT_EQ(b->GetCurrentSprite().counter.iFrame, 4);
    EXPECT_EQ(m_pPlayer->m_iContinueLevel, -1);
    ASSERT_EQ(fireworks.size(), 3u);
    EXPECT_LE(fireworks[0], 6);
    for (size_t i = 1; i < fireworks.size(); ++i) {
        EXPECT_GE(fireworks[i] - fireworks[i - 1], 15);
        EXPECT_LE(fireworks[i] - fireworks[i - 1], 25);
    }
    EXPECT_EQ(popups, (std::vector<std::string>{"+1 people"}));
    // The result sequence's stage E runs for 2 s.
    EXPECT_FLOAT_EQ(m_pIsland->stages[4].m_To, 2.0f);

    // A building whose level lies behind the progress shows no popup.
    cHouse* other = PlaceCopy(7, 8);
    building = other;
    other->iState = 0;
    other->SetState(1);
    for (int i = 0; i < 60; ++i) m_pIsland->TickWorld();
    EXPECT_EQ(other->iState, 2);
    EXPECT_EQ(popups.size(), 1u);
    EXPECT_EQ(fireworks.size(), 6u);

    // Back to not built: the frame of the building not built.
    b->SetState(0);
    EXPECT_EQ(b->GetCurrentSprite().counter.iFrame, 6);
}

TEST_F(Buildings, FireworksPlayOnTheIslandsOwnList)
{
    cHouse* b = PlaceCopy(1, 0);  // house00 on level 0's point
    m_pIsland->iMode = cIsland::e_modeLevel;
    ASSERT_NE(m_pGarden->m_pSpriteAnimations, nullptr);
    b->iState = 0;
    b->SetState(1);
    const cSpriteAnimations& shots = *m_pIsland->GetAnimations();
    ASSERT_GT(TicksUntil(b, 2), 0);
    // The first firework goes off at once, where the house stands on the
    // island (a 64 x 64 sheet of four 16 x 64 frames, centred on the point).
    ASSERT_EQ(shots.Count(), 1u);
    const vek::rectf& r = shots.GetEntries().front().rect;
    const vek::vec2 c(r.x + r.w / 2.0f, r.y + r.h / 2.0f);
    EXPECT_FLOAT_EQ(r.w, 16.0f);
    EXPECT_TRUE(b->rect.Contains(c.x, c.y)) << c.x << ", " << c.y;
    EXPECT_EQ(m_pGarden->m_pSpriteAnimations->Count(), 0u) << "not on the game's screen-space list";
    // Its four frames play out with the island's steps; all three do.
    for (int i = 0; i < 5; ++i) m_pIsland->TickWorld();
    EXPECT_EQ(shots.Count(), 0u);
    for (int i = 0; i < 60; ++i) m_pIsland->TickWorld();
    EXPECT_EQ(b->iFireworks, 0);
    EXPECT_EQ(shots.Count(), 0u);
}

TEST_F(Buildings, AFireworksOffsetDrawsXThenY)
{
    cHouse* b = PlaceCopy(1, 0);
    std::vector<vek::vec2> shots;
    m_pIsland->hooks.playOnce = [&](const vek::string&, const vek::string&, const vek::vec2& at) { shots.push_back(at); };
    const vek::vec2 c = b->GetCenter();
    const float w = b->rect.w / 3.0f, h = b->rect.h / 3.0f;
    for (const uint32_t seed : {1u, 12345u, 0xBEEFu}) {
        RandomSeed() = seed;
        const float dx = RandomRange(-w, w);
        const float dy = RandomRange(-h, h);
        ASSERT_NE(dx, dy);
        RandomSeed() = seed;
        b->iFireworks = 1;
        b->fFireworkDelay = 0.0f;
        shots.clear();
        b->Tick();
        ASSERT_EQ(shots.size(), 1u);
        EXPECT_FLOAT_EQ(shots[0].x, c.x + dx);
        EXPECT_FLOAT_EQ(shots[0].y, c.y + dy);
    }
}

TEST_F(Buildings, TheStatueStartsTheClosingComicsOnce)
{
    struct cCountingComics : cGardenComics {
        void SetEpisode(int episode) override
        {
            episodes.push_back(episode);
            cGardenComics::SetEpisode(episode);
        }
        std::vector<int> episodes;
    };
    auto* comics = new cCountingComics();
    m_pGarden->m_pComics = comics;
    int fireworks = 0;
    cHouse* statue = PlaceCopy(21, 44);
    m_pIsland->hooks.playOnce = [&](const vek::string&, const vek::string&, const vek::vec2&) { ++fireworks; };
    m_pIsland->iMode = cIsland::e_modeLevel;
    statue->iState = 0;
    statue->SetState(1);
    for (int i = 0; i < 300; ++i) m_pIsland->TickWorld();
    EXPECT_EQ(statue->iState, 2);
    EXPECT_EQ(fireworks, 6);
    // The result screen still records the level: not yet.
    EXPECT_TRUE(comics->episodes.empty());
    m_pIsland->iMode = cIsland::e_modeIsland;
    for (int i = 0; i < 60; ++i) m_pIsland->TickWorld();
    EXPECT_EQ(comics->episodes, std::vector<int>{1});
    m_pGarden->m_pComics = nullptr;
    delete comics;
}

TEST_F(Buildings, AWaitingBuildingPulsesWithinTheAlphaRange)
{
    cHouse* b = PlaceCopy(1, 0);
    b->iState = 0;
    EXPECT_EQ(b->GetColor(), 0x50FFFFFFu);
    b->bAvailable = 1;
    uint32_t low = 255, high = 0;
    for (int i = 0; i < 4000; ++i) {
        cIsland::AdvancePulse();
        const uint32_t alpha = b->GetColor() >> 24;
        EXPECT_EQ(b->GetColor() & 0xFFFFFFu, 0xFFFFFFu);
        low = std::min(low, alpha);
        high = std::max(high, alpha);
    }
    EXPECT_EQ(low, 80u);
    EXPECT_GE(high, 254u);
    b->iState = 2;
    EXPECT_EQ(b->GetColor(), 0xFFFFFFFFu);
    b->iState = 0;
    m_pIsland->iMode = cIsland::e_modeEdit;
    EXPECT_EQ(b->GetColor(), 0xFFFFFFFFu);
}

TEST_F(Buildings, AFactoryProcessesOneUnitPerStart)
{
    std::vector<int> made;
    std::vector<int> modes;
    cHouse* b = PlaceCopy(2, 2);  // olive oil, 7 s
    auto* oil = static_cast<cFactory*>(b);
    m_pIsland->hooks.countWare = [&](int ware) { made.push_back(ware); };
    m_pIsland->hooks.sendWare = [&](int, cFactory* from, int mode, cFactory*) {
        EXPECT_EQ(from, oil);
        modes.push_back(mode);
    };
    m_pIsland->iMode = cIsland::e_modeIsland;
    oil->iState = 2;
    oil->StartProcessing();
    EXPECT_EQ(oil->iState, 2);  // no units

    // A saved stock of two units.
    vek::cBitStream saved;
    saved.WriteInt(2);
    oil->LoadState(saved);
    EXPECT_EQ(oil->iUnits, 2);
    oil->StartProcessing();
    EXPECT_EQ(oil->iState, 3);
    int ticks = 0;
    while (oil->iState == 3 && ticks < 1000) {
        m_pIsland->TickWorld();
        ++ticks;
    }
    EXPECT_NEAR(ticks, 7 * 30, 2);
    EXPECT_EQ(oil->iUnits, 1);
    EXPECT_EQ(made, std::vector<int>{g_pWareManager->FindWare("product00")});
    for (int i = 0; i < 300; ++i) m_pIsland->TickWorld();
    EXPECT_EQ(oil->iUnits, 1);  // one unit per start
    oil->StartProcessing();
    for (int i = 0; i < 300; ++i) m_pIsland->TickWorld();
    EXPECT_EQ(oil->iUnits, 0);
    EXPECT_EQ(made.size(), 2u);
    EXPECT_EQ(modes, (std::vector<int>{0, 0}));
    vek::cBitStream out;
    oil->SaveState(out);
    EXPECT_EQ(out.GetByteCount(), 4u);

    // Stopping returns a working factory to idle without making anything.
    oil->AddInput();
    oil->StartProcessing();
    oil->StopProcessing();
    EXPECT_EQ(oil->iState, 2);
    EXPECT_EQ(oil->iUnits, 1);
    EXPECT_EQ(made.size(), 2u);
}

TEST_F(Buildings, AChainSendsTheProductToTheNextFactoryOnlyForATask)
{
    auto* juice = static_cast<cFactory*>(PlaceCopy(4, 7));
    auto* lemonade = static_cast<cFactory*>(PlaceCopy(9, 11));
    std::vector<std::pair<int, cFactory*>> sent;
    m_pIsland->hooks.sendWare = [&](int, cFactory*, int mode, cFactory* next) { sent.emplace_back(mode, next); };
    m_pIsland->iMode = cIsland::e_modeIsland;
    juice->iState = 2;
    juice->iUnits = 2;
    juice->StartProcessing();
    for (int i = 0; i < 240; ++i) m_pIsland->TickWorld();
    cLevelTask task;
    task.iWare = g_pWareManager->FindWare("product01_1");
    task.iAmount = 3;
    m_pPlayer->m_Tasks.push_back(task);
    juice->StartProcessing();
    for (int i = 0; i < 240; ++i) m_pIsland->TickWorld();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], std::make_pair(0, static_cast<cFactory*>(nullptr)));
    EXPECT_EQ(sent[1], std::make_pair(2, lemonade));
}

} // namespace
