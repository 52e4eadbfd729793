// The flowers' watering hint, met where a player first meets it: on a
// level with honey to make, after buying a hive and sowing flowers beside
// it. Flowers ask for water until the hint has been shown; after a restart
// the hint does not come again.
#include "lesson_player.h"

#include "game/objects/hive.h"

using namespace lessontest;

namespace {

class FlowersHint : public LessonPlayer {
protected:
    // The hive bought from the animal toolbar, flowers chosen from the
    // grass toolbar and sown on a free cell; frames run until the flowers
    // have grown, counting the watering hint each time it appears.
    void SowFlowers()
    {
        const int hives = static_cast<int>(Objects(OBJ_HIVE).size());
        vek::cCtrl* hive = ToolbarItem("animals", 2);
        ASSERT_NE(hive, nullptr);
        ClickControlRect(hive);
        ASSERT_TRUE(RunUntil([&] { return static_cast<int>(Objects(OBJ_HIVE).size()) > hives; }, 30));
        vek::cCtrl* flowers = ToolbarItem("grass", Ware("flowers"));
        ASSERT_NE(flowers, nullptr);
        Run(5);
        ClickControlRect(flowers);
        Run(2);
        // A free cell of the field's bottom row.
        const vek::vec2 size = Field()->GetCellSize();
        bool sown = false;
        for (int32_t column = 0; column < Field()->GetColumnCount() && !sown; ++column) {
            const cell at(1, column);
            const cObject* found = Field()->FindObject(at, 0);
            if (found && found != Field()->GetNullObject()) continue;
            ClickField(vek::vec2(g_fFieldLeft + size.x * (static_cast<float>(column) + 0.5f),
                                 g_fFieldBottom + size.y * 1.5f));
            sown = true;
        }
        ASSERT_TRUE(sown);
        ASSERT_TRUE(RunUntil([&] { return FlowerPlant() != nullptr; }, 600)) << "the flowers were not sown";
        int last = -1;
        RunUntil(
            [&] {
                const int shown = HintShown() ? g_pGarden->m_iShownHint : -1;
                if (shown == 9 && last != 9) ++m_iFlowerHints;
                last = shown;
                const cPlant* p = FlowerPlant();
                return p && p->GetState() == cPlant::e_psNeeding && p->GetNeed() != cPlant::e_NeedWater;
            },
            600);
    }
    void ClickControlRect(const vek::cCtrl* control)
    {
        const vek::rectf r = control->GetRect();
        ClickAt(static_cast<int>(r.x + r.w / 2.0f), static_cast<int>(768.0f - (r.y + r.h / 2.0f)));
    }
    cPlant* FlowerPlant() const
    {
        for (cPlant* p : Plants())
            if (p->IsFlowers()) return p;
        return nullptr;
    }
    int m_iFlowerHints = 0;
};

TEST_F(FlowersHint, ComesOnceWhenTheFirstFlowersNeedWater)
{
    Boot();
    NewProfile("Flo");
    SetHintsFromOptions(false);
    // A player who reached level 22: the hive is unlocked.
    cPlayer* player = Player();
    player->m_iProgress = 22;
    player->m_iSorts = 5;
    player->m_iAnimals = 2;
    ASSERT_TRUE(player->SaveGame(22));
    ASSERT_TRUE(player->SavePlayer());
    Restart();
    StartToIsland();
    EnterLevel(22);

    SowFlowers();
    EXPECT_EQ(m_iFlowerHints, 1);
    EXPECT_EQ(Player()->m_Hints[9], 1);

    Restart();
    EXPECT_EQ(Player()->m_Hints[9], 1);
    StartToIsland();
    EnterLevel(22);
    m_iFlowerHints = 0;
    SowFlowers();
    EXPECT_EQ(m_iFlowerHints, 0) << "the hint came again";
}

} // namespace
