// The gardener at the animals and hives: picking up eggs and nibs, milking
// a goat, taking honey, the click road's rules for them, and a short game
// in which the player buys an ostrich and a goat, sows grass for them and
// brings an egg and milk to the car.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "game/objects/animal_world.h"
#include "game/objects/goat.h"
#include "game/objects/hive.h"
#include "game/objects/ostrich.h"
#include "game/objects/product.h"
#include "game/scripted_player.h"
#include "game/world/game_sound.h"

namespace {

using gardentest::cScriptedPlayer;

// The real field's world, seen as if the garden were the focused view (the
// animals fade in only then).
class FocusedWorld : public cAnimalWorld {
public:
    bool IsGardenFocused() const override { return true; }
};

class AnimalGarden : public gardentest::GardenWorld {
protected:
    void MakeSprites() override
    {
        GardenWorld::MakeSprites();
        Area("gard08", "milking_start", 64, 96, 4);
        Area("gard08", "milking_work", 64, 96, 4);
        Area("gard11", "honey_start", 64, 96, 3);
        Area("gard11", "honey_work", 64, 96, 4);
        for (const char* area : {"ld", "lu", "eat_l"}) Area("ostrich", area, 88, 112, 4, 8.0f);
        for (const char* area : {"ld", "lu", "eat_l", "stay"}) Area("goat", area, 88, 84, 4, 8.0f);
        Area("images00", "hive", 72, 88, 4, 8.0f);
        Area("peacock01", "hive_top", 72, 28, 1);
        Area("peacock02", "bee", 20, 20, 2, 14.0f);
        for (const char* icon : {"ostrich", "goat", "hive", "peacock"}) Area("icons00", icon, 24, 24, 1);
    }
    void SetUp() override
    {
        GardenWorld::SetUp();
        SetAnimalWorld(&world);
        LoadField();
        p = std::make_unique<cScriptedPlayer>(*level);
        p->Step(2);
        g = p->Gardener();
    }
    void TearDown() override
    {
        p.reset();
        SetAnimalWorld(nullptr);
        GardenWorld::TearDown();
    }

    cToolBin* TakeBasket()
    {
        EXPECT_TRUE(g->TakeTool(p->First(OBJ_TOOL_BIN)->GetId()));
        return g->GetBasket();
    }
    cEgg* EggOn(const cell& at)
    {
        auto* egg = new cEgg(level);
        egg->SetCell(at);
        return egg;
    }
    // A goat roaming on her cell, then offering milk.
    cGoat* GoatWithMilk()
    {
        auto* goat = static_cast<cGoat*>(level->GetObject(level->AddGoat()));
        p->Step(2);
        goat->SetState(cAnimal::e_stMilk);
        EXPECT_EQ(goat->GetState(), cAnimal::e_stMilk);
        return goat;
    }
    cHive* FullHive()
    {
        auto* hive = static_cast<cHive*>(level->GetObject(level->AddHive()));
        p->Step(2);
        EXPECT_TRUE(hive->AddHoney());
        EXPECT_TRUE(hive->IsFull());
        return hive;
    }
    // The states the gardener passes through until he is idle again.
    std::vector<int32_t> RunJobs(int limit = 3000)
    {
        std::vector<int32_t> seen;
        p->StepUntil(
            [&] {
                if (seen.empty() || seen.back() != g->GetState()) seen.push_back(g->GetState());
                return g->GetState() == cGardener::e_gsIdle && g->GetJobs().empty() && seen.size() > 1;
            },
            limit);
        return seen;
    }
    static bool Passed(const std::vector<int32_t>& seen, std::initializer_list<int32_t> states)
    {
        auto at = seen.begin();
        for (int32_t state : states) {
            at = std::find(at, seen.end(), state);
            if (at == seen.end()) return false;
        }
        return true;
    }
    bool HintIs(const char* area) const
    {
        cSprite expected;
        LookUpSprite("icons00", area, &expected);
        return g->IsHintShown() && g->GetHintIcon().pFrames == expected.pFrames;
    }
    int32_t Texture(const char* name) const { return static_cast<int32_t>(vek::g_pTextureManager->Find(name)); }
    // A point of the object's rectangle where it is the frontmost object,
    // and, when asked, where `also` is hit as well.
    bool FrontPoint(const cObject* object, vek::vec2* point, const cObject* also = nullptr) const
    {
        vek::rectf r = object->GetRect();
        if (r.w < 0.0f) {
            r.x += r.w;
            r.w = -r.w;
        }
        for (float y = r.y + 1.0f; y < r.y + r.h; y += 2.0f)
            for (float x = r.x + 1.0f; x < r.x + r.w; x += 2.0f) {
                const vek::vec2 at(x, y);
                if (level->PickObject(at) == object && (!also || also->HitTest(at))) {
                    *point = at;
                    return true;
                }
            }
        return false;
    }

    FocusedWorld world;
    std::unique_ptr<cScriptedPlayer> p;
    cGardener* g = nullptr;
};

TEST_F(AnimalGarden, EggsAndNibsGoIntoAUsableBasket)
{
    cEgg* egg = EggOn(cell(3, 6));
    const uint32_t eggId = egg->GetId();
    // Without the basket: the basket's hint, nothing queued.
    g->QueueObject(eggId);
    EXPECT_TRUE(g->GetJobs().empty());
    EXPECT_TRUE(HintIs("tool_bin"));
    // With a full basket: the car's hint.
    cToolBin* basket = TakeBasket();
    while (!basket->IsFull()) ASSERT_TRUE(basket->AddWare(Ware("plant00")));
    g->QueueObject(eggId);
    EXPECT_TRUE(g->GetJobs().empty());
    EXPECT_TRUE(HintIs("stock"));

    // Room for one: he walks there, bends down as for a harvest and the
    // egg is gone into the basket.
    basket->TakeFirstWare();
    g->QueueObject(eggId);
    ASSERT_EQ(g->GetJobs().size(), 1u);
    EXPECT_FALSE(g->IsHintShown());
    EXPECT_EQ(egg->GetTargets(), 1);
    bool sawWork = false;
    ASSERT_TRUE(p->StepUntil([&] {
        if (g->GetState() == cGardener::e_gsPick) {
            sawWork = true;
            EXPECT_EQ(g->GetTexture(), Texture("gard11"));
            EXPECT_EQ(g->GetProduct(), eggId);
        }
        return sawWork && g->GetState() == cGardener::e_gsIdle;
    }));
    EXPECT_FALSE(level->HasObject(eggId));
    EXPECT_EQ(basket->GetWareCount(Ware("egg")), 1);
    EXPECT_TRUE(basket->IsFull());
    EXPECT_EQ(g->GetProduct(), 0u);

    // A nib that vanishes while he walks to it leaves him idle with
    // nothing added.
    basket->TakeFirstWare();
    auto* nib = new cNib(level);
    nib->SetCell(cell(0, 1));
    g->QueueObject(nib->GetId());
    ASSERT_EQ(g->GetJobs().size(), 1u);
    p->Step(3);
    ASSERT_EQ(g->GetState(), cGardener::e_gsWalk);
    nib->SetState(2);
    const std::vector<int32_t> seen = RunJobs();
    EXPECT_FALSE(Passed(seen, {cGardener::e_gsPickStart}));
    EXPECT_EQ(basket->GetWareCount(Ware("nib")), 0);

    auto* second = new cNib(level);
    second->SetCell(cell(0, 1));
    g->QueueObject(second->GetId());
    EXPECT_TRUE(Passed(RunJobs(), {cGardener::e_gsPickStart, cGardener::e_gsPick, cGardener::e_gsPickEnd}));
    EXPECT_EQ(basket->GetWareCount(Ware("nib")), 1);
}

TEST_F(AnimalGarden, MilkingTakesTheGoatsMilkAndLetsHerGo)
{
    cGoat* goat = GoatWithMilk();
    const uint32_t goatId = goat->GetId();
    // Without the basket he cannot milk her.
    g->QueueObject(goatId);
    EXPECT_TRUE(g->GetJobs().empty());
    EXPECT_TRUE(HintIs("tool_bin"));
    cToolBin* basket = TakeBasket();
    g->QueueObject(goatId);
    ASSERT_EQ(g->GetJobs().size(), 1u);
    // Waiting for him, she cannot be clicked again.
    EXPECT_FALSE(goat->HitTest(goat->GetPos()));

    int milkingSteps = 0;
    ASSERT_TRUE(p->StepUntil([&] { return g->GetState() == cGardener::e_gsMilkStart; }));
    // He stands to her right; she keeps still while he works.
    EXPECT_NEAR(g->GetPos().x, level->GetCellPos(goat->GetCell()).x + 30.0f, 0.5f);
    EXPECT_EQ(goat->GetState(), cAnimal::e_stLay);
    EXPECT_EQ(g->GetGoat(), goatId);
    EXPECT_EQ(g->GetTexture(), Texture("gard08"));
    const vek::vec2 goatAt = goat->GetPos();
    bool stood = true;
    const std::vector<int32_t> seen = [&] {
        std::vector<int32_t> states;
        p->StepUntil([&] {
            if (states.empty() || states.back() != g->GetState()) states.push_back(g->GetState());
            if (g->GetState() == cGardener::e_gsMilk) {
                ++milkingSteps;
                EXPECT_EQ(goat->GetState(), cAnimal::e_stLay);
                EXPECT_EQ(g->GetAnim().iMode, 3);
                stood = stood && goat->GetPos() == goatAt;
            }
            return g->GetState() == cGardener::e_gsIdle;
        });
        return states;
    }();
    EXPECT_TRUE(Passed(seen, {cGardener::e_gsMilkStart, cGardener::e_gsMilk, cGardener::e_gsMilkEnd}));
    EXPECT_NEAR(milkingSteps, 15, 2);  // her laying time, 0.5 s
    EXPECT_TRUE(stood);
    EXPECT_EQ(basket->GetWareCount(Ware("milk")), 1);
    EXPECT_EQ(goat->GetState(), cAnimal::e_stRoam);
    EXPECT_EQ(g->GetGoat(), 0u);
    // Her next product time has begun.
    EXPECT_GT(goat->m_Product.m_To, 1.0f);
    EXPECT_LT(goat->m_Product.m_Value, goat->m_Product.m_To);
    // Roaming, she has no milk to give.
    g->QueueObject(goatId);
    EXPECT_TRUE(g->GetJobs().empty());
}

TEST_F(AnimalGarden, AMilkingCalledOffLeavesTheGoatFree)
{
    cToolBin* basket = TakeBasket();
    // A right click while he milks, and a cleared queue (as a lesson's
    // start does) before he has begun: either way she roams again.
    for (int32_t stopIn : {int32_t(cGardener::e_gsMilk), int32_t(cGardener::e_gsMilkStart)}) {
        cGoat* goat = GoatWithMilk();
        g->QueueObject(goat->GetId());
        ASSERT_TRUE(p->StepUntil([&] { return g->GetState() == stopIn; })) << stopIn;
        ASSERT_EQ(goat->GetState(), cAnimal::e_stLay);
        if (stopIn == cGardener::e_gsMilk) p->RightClick();
        else g->ClearJobs();
        EXPECT_EQ(goat->GetState(), cAnimal::e_stRoam) << stopIn;
        EXPECT_EQ(g->GetGoat(), 0u);
        EXPECT_EQ(basket->GetCount(), 0);
        // Alive again: she walks, gets hungry and will give milk later.
        EXPECT_GT(goat->m_Product.m_To, 1.0f);
        p->Step(30);
        EXPECT_NE(goat->GetState(), cAnimal::e_stLay);
        goat->SetState(2);
        p->Step(1);
    }

    // The goat gone during the milking: no milk, and he is idle after it.
    cGoat* goat = GoatWithMilk();
    g->QueueObject(goat->GetId());
    ASSERT_TRUE(p->StepUntil([&] { return g->GetState() == cGardener::e_gsMilk; }));
    goat->SetState(2);
    ASSERT_TRUE(p->WaitIdle());
    EXPECT_EQ(basket->GetCount(), 0);
}

TEST_F(AnimalGarden, HoneyComesFromAFullHiveWhoseLidHeOpens)
{
    cHive* hive = static_cast<cHive*>(level->GetObject(level->AddHive()));
    p->Step(2);
    const uint32_t hiveId = hive->GetId();
    // No basket: the hint; an empty hive: he goes, but takes nothing.
    g->QueueObject(hiveId);
    EXPECT_TRUE(HintIs("tool_bin"));
    cToolBin* basket = TakeBasket();
    g->QueueObject(hiveId);
    std::vector<int32_t> seen = RunJobs();
    EXPECT_FALSE(Passed(seen, {cGardener::e_gsHoneyStart}));
    EXPECT_EQ(basket->GetCount(), 0);

    ASSERT_TRUE(hive->AddHoney());
    g->QueueObject(hiveId);
    ASSERT_TRUE(p->StepUntil([&] { return g->GetState() == cGardener::e_gsHoney; }));
    EXPECT_EQ(hive->GetBodyAnim().iMode, 1);  // opened
    EXPECT_EQ(g->GetHive(), hiveId);
    EXPECT_EQ(g->GetTexture(), Texture("gard11"));
    EXPECT_EQ(g->GetAnim().iMode, 3);
    int working = 0;
    ASSERT_TRUE(p->StepUntil([&] {
        if (g->GetState() == cGardener::e_gsHoney) ++working;
        if (g->GetState() == cGardener::e_gsHoneyEnd) {
            EXPECT_EQ(hive->GetBodyAnim().iMode, 2);
        }
        return g->GetState() == cGardener::e_gsIdle;
    }));
    EXPECT_NEAR(working, 27, 2);  // the basket's work time, 0.9 s
    EXPECT_EQ(basket->GetWareCount(Ware("honey")), 1);
    EXPECT_FALSE(hive->IsFull());
    EXPECT_EQ(g->GetHive(), 0u);

    // Called away while at it: the lid closes, the honey stays.
    ASSERT_TRUE(hive->AddHoney());
    g->QueueObject(hiveId);
    ASSERT_TRUE(p->StepUntil([&] { return g->GetState() == cGardener::e_gsHoney; }));
    p->RightClick();
    EXPECT_EQ(hive->GetBodyAnim().iMode, 2);
    EXPECT_TRUE(hive->IsFull());
    EXPECT_EQ(basket->GetWareCount(Ware("honey")), 1);
    // Honey lost while he works (its 60 s ran out): nothing goes in.
    g->QueueObject(hiveId);
    ASSERT_TRUE(p->StepUntil([&] { return g->GetState() == cGardener::e_gsHoney; }));
    hive->SetHoney(0);
    ASSERT_TRUE(p->WaitIdle());
    EXPECT_EQ(basket->GetWareCount(Ware("honey")), 1);
}

TEST_F(AnimalGarden, AGoatWithMilkOrAFullHiveUnderTheBinMeansTheBin)
{
    cObject* bin = p->First(OBJ_TOOL_BIN);
    for (int kind = 0; kind < 2; ++kind) {
        cObject* target = kind == 0 ? static_cast<cObject*>(GoatWithMilk()) : static_cast<cObject*>(FullHive());
        // The bin lies under the same point, behind the goat or the hive.
        const vek::rectf r = target->GetRect();
        bin->SetPos(r.x + r.w / 2.0f, r.y + 20.0f);
        vek::vec2 point;
        ASSERT_TRUE(FrontPoint(target, &point, bin)) << kind;
        ASSERT_TRUE(p->Click(point));
        ASSERT_EQ(g->GetJobs().size(), 1u) << kind;
        EXPECT_EQ(g->GetJobs()[0].iId, static_cast<int32_t>(bin->GetId())) << kind;
        // The same through the picked target (the point is kept).
        g->ClearJobs();
        level->QueueTarget(level->PickTarget(point));
        ASSERT_EQ(g->GetJobs().size(), 1u) << kind;
        EXPECT_EQ(g->GetJobs()[0].iId, static_cast<int32_t>(bin->GetId())) << kind;
        g->ClearJobs();
        // With the basket in his hands: the goat or the hive itself.
        ASSERT_TRUE(g->TakeTool(bin->GetId()));
        ASSERT_TRUE(p->Click(point));
        ASSERT_EQ(g->GetJobs().size(), 1u) << kind;
        EXPECT_EQ(g->GetJobs()[0].iId, static_cast<int32_t>(target->GetId())) << kind;
        g->ClearJobs();
        g->DropTool();
        target->SetState(2);
        p->Step(1);
    }

    // A hive without honey is the hive, bin or not: without the basket
    // he only shows its hint.
    cHive* hive = FullHive();
    hive->SetHoney(0);
    const vek::rectf r = hive->GetRect();
    bin->SetPos(r.x + r.w / 2.0f, r.y + 20.0f);
    vek::vec2 point;
    ASSERT_TRUE(FrontPoint(hive, &point, bin));
    ASSERT_TRUE(p->Click(point));
    EXPECT_TRUE(g->GetJobs().empty());
    EXPECT_TRUE(HintIs("tool_bin"));
}

TEST_F(AnimalGarden, AnEggClickedWithGrassInHandIsACellToSow)
{
    player->m_iMoney = 500;
    cEgg* egg = EggOn(cell(3, 6));
    vek::vec2 point;
    ASSERT_TRUE(FrontPoint(egg, &point));
    ASSERT_TRUE(p->ChooseSeed("grass"));
    p->Step(1);
    ASSERT_EQ(g->GetWare(), Ware("grass"));
    // Nothing queued: the egg's cell, to be sown.
    ASSERT_TRUE(p->Click(point));
    ASSERT_EQ(g->GetJobs().size(), 1u);
    EXPECT_EQ(g->GetJobs()[0].iKind, cGardener::cJob::e_Cell);
    EXPECT_EQ(g->GetJobs()[0].at, egg->GetCell());
    // A walk queued, and the bin behind it: he will have the basket by
    // then, so the egg itself.
    ASSERT_TRUE(p->ClickOn(p->First(OBJ_TOOL_BIN)));
    ASSERT_EQ(g->GetJobs().size(), 2u);
    ASSERT_TRUE(p->Click(point));
    ASSERT_EQ(g->GetJobs().size(), 3u);
    EXPECT_EQ(g->GetJobs()[2].iId, static_cast<int32_t>(egg->GetId()));
    EXPECT_EQ(g->GetJobs()[2].iKind, cGardener::cJob::e_Object);
}

// The game as a player plays it: an ostrich and a goat bought, grass sown
// in their pastures, and the egg and the milk carried to the car.
TEST_F(AnimalGarden, AnOstrichAndAGoatFedAndTheirProductsOnTheCar)
{
    player->m_iMoney = 5000;
    ASSERT_TRUE(level->BuyAnimal(0));
    ASSERT_TRUE(level->BuyAnimal(1));
    cObject* ostrich = p->First(OBJ_OSTRICH);
    cObject* goat = p->First(OBJ_GOAT);
    ASSERT_TRUE(ostrich && goat);

    // Grass in each pasture; the seed is let go afterwards.
    ASSERT_TRUE(p->ChooseSeed("grass"));
    for (const cell& at : {cell(2, 7), cell(1, 8), cell(5, 8), cell(4, 6)}) {
        ASSERT_TRUE(p->ClickCell(at));
        ASSERT_TRUE(p->WaitIdle());
        ASSERT_TRUE(level->FindObject(at, OBJ_PLANT) != level->GetNullObject()) << at.row << "," << at.column;
    }
    p->RightClick();

    std::set<uint32_t> fed;
    const auto watch = [&] {
        for (cObject* animal : {ostrich, goat}) {
            if (level->HasObject(animal->GetId()) && animal->GetState() == cAnimal::e_stEat) fed.insert(animal->GetId());
        }
    };
    ASSERT_TRUE(p->StepUntil([&] {
        watch();
        return p->First(OBJ_EGG) != nullptr;
    }));
    ASSERT_TRUE(p->ClickOn(p->First(OBJ_TOOL_BIN)));
    ASSERT_TRUE(p->WaitIdle());
    ASSERT_EQ(p->CarriedTool(), cTool::e_Basket);
    cObject* egg = p->First(OBJ_EGG);
    vek::vec2 point;
    ASSERT_TRUE(FrontPoint(egg, &point));
    ASSERT_TRUE(p->Click(point));
    ASSERT_TRUE(p->StepUntil([&] {
        watch();
        return g->GetBasket()->GetWareCount(Ware("egg")) == 1 && g->GetState() == cGardener::e_gsIdle;
    }));

    ASSERT_TRUE(p->StepUntil([&] {
        watch();
        return goat->GetState() == cAnimal::e_stMilk;
    }));
    ASSERT_TRUE(FrontPoint(goat, &point));
    ASSERT_TRUE(p->Click(point));
    ASSERT_TRUE(p->StepUntil([&] {
        watch();
        return g->GetBasket()->GetWareCount(Ware("milk")) == 1 && g->GetState() == cGardener::e_gsIdle;
    }));

    ASSERT_TRUE(p->ClickOn(p->First(OBJ_CAR)));
    ASSERT_TRUE(p->WaitIdle());
    EXPECT_EQ(g->GetBasket()->GetCount(), 0);
    std::vector<int32_t> delivered = game->delivered;
    std::sort(delivered.begin(), delivered.end());
    std::vector<int32_t> expected = {Ware("egg"), Ware("milk")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(delivered, expected);
    p->StepUntil([&] {
        watch();
        return fed.size() == 2;
    });
    EXPECT_EQ(fed.size(), 2u);
}

} // namespace
