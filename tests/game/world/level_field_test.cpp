// The level field as a widget: the order of its fixed step and frame
// update, the depth sort every third step, what a click picks, the sky's
// scroll, the music of successive visits and the progress ring.
#include "game/world/level.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/graphics/draw2d.h"
#include "engine/sound/sound_fixture.h"
#include "game/objects/object.h"
#include "game/shell/garden.h"
#include "game/world/effects.h"

namespace {

std::vector<std::string>* g_pTrace = nullptr;

void Trace(const std::string& what)
{
    if (g_pTrace) g_pTrace->push_back(what);
}

// The rules' steps, recorded.
class cTracingGarden : public cGarden {
public:
    void UpdateTraining() override { Trace("training"); }
    void UpdateShips() override { Trace("ships"); }
    void UpdateSession() override { Trace("session"); }
    void ClearShips() override { Trace("clear ships"); }
};

// An object of a chosen type, depth and rectangle that records its steps.
struct Probe : cObject {
    Probe(cLevel* level, const std::string& name, uint32_t type = 0x00100004u, float depth = 0.0f)
        : cObject(level), strName(name), uType(type), fDepth(depth)
    {
        m_vSize = vek::vec2(40.0f, 40.0f);
    }
    ~Probe() override { Trace("delete " + strName); }
    uint32_t GetType() const override { return uType; }
    float GetDepth() const override { return fDepth; }
    void Update() override
    {
        Trace("update " + strName);
        cObject::Update();
    }
    void Move(float) override { Trace("move " + strName); }
    std::string strName;
    uint32_t uType;
    float fDepth;
};

class LevelField : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pTrace = &m_Trace;
        m_pGarden = new cTracingGarden();
        m_pLevel = new cLevel();
    }
    void TearDown() override
    {
        delete m_pLevel;
        delete m_pGarden;
        g_pTrace = nullptr;
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (cObject* object : m_pLevel->GetDrawList())
            if (auto* probe = dynamic_cast<Probe*>(object)) names.push_back(probe->strName);
        return names;
    }
    std::vector<std::string> m_Trace;
    cTracingGarden* m_pGarden = nullptr;
    cLevel* m_pLevel = nullptr;
};

TEST_F(LevelField, OneStepAndOneFrameRunInOrder)
{
    new Probe(m_pLevel, "a");
    auto* b = new Probe(m_pLevel, "b");
    b->SetState(2);  // queued; it goes after the pass
    m_Trace.clear();
    m_pLevel->Tick();
    EXPECT_EQ(m_Trace, (std::vector<std::string>{"training", "ships", "session", "update a", "update b", "delete b"}));

    new Probe(m_pLevel, "c");
    m_Trace.clear();
    m_pLevel->Update(0.02f);
    EXPECT_EQ(m_Trace, (std::vector<std::string>{"move a", "move c"}));

    // A mission screen open: the rules and the objects stand still.
    m_pGarden->SetFlowState(1);
    m_Trace.clear();
    m_pLevel->Tick();
    m_pLevel->Update(0.02f);
    EXPECT_EQ(m_Trace, (std::vector<std::string>{"training", "ships"}));
}

TEST_F(LevelField, TheDrawListIsSortedEveryThirdStep)
{
    auto* front = new Probe(m_pLevel, "front", OBJ_TOOL_BIN, 10.0f);
    auto* back = new Probe(m_pLevel, "back", OBJ_TOOL_BIN, 500.0f);
    auto* middle = new Probe(m_pLevel, "middle", OBJ_TOOL_BIN, 200.0f);
    m_pLevel->Tick();  // counter 0: sorted
    EXPECT_EQ(Names(), (std::vector<std::string>{"back", "middle", "front"}));
    front->fDepth = 900.0f;
    m_pLevel->Tick();
    m_pLevel->Tick();
    EXPECT_EQ(Names(), (std::vector<std::string>{"back", "middle", "front"}));
    m_pLevel->Tick();  // the third step after the sort
    EXPECT_EQ(Names(), (std::vector<std::string>{"front", "back", "middle"}));
    // Equal keys keep their order.
    back->fDepth = middle->fDepth = 1.0f;
    for (int i = 0; i < 3; ++i) m_pLevel->Tick();
    EXPECT_EQ(Names(), (std::vector<std::string>{"front", "back", "middle"}));

    // With nothing to draw the counter keeps counting; the first step with
    // something to draw at a multiple of 3 sorts.
    m_pLevel->Reset();
    EXPECT_TRUE(m_pLevel->GetDrawList().empty());
    const uint32_t counter = m_pLevel->GetSortCounter();
    for (int i = 0; i < 4; ++i) m_pLevel->Tick();
    EXPECT_EQ(m_pLevel->GetSortCounter(), counter + 4);
    new Probe(m_pLevel, "low", OBJ_TOOL_BIN, 1.0f);
    new Probe(m_pLevel, "high", OBJ_TOOL_BIN, 2.0f);
    while (m_pLevel->GetSortCounter() % 3 != 0) {
        m_pLevel->Tick();
        if (m_pLevel->GetSortCounter() % 3 != 0) {
            EXPECT_EQ(Names(), (std::vector<std::string>{"low", "high"}));
        }
    }
    m_pLevel->Tick();
    EXPECT_EQ(Names(), (std::vector<std::string>{"high", "low"}));
    EXPECT_EQ(m_pLevel->GetSortCounter(), 1u);
}

TEST_F(LevelField, AClickPicksTheCarThePumpTheFrontmostObjectOrTheCell)
{
    // Car and pump overlap at (300, 300); the car wins.
    auto* car = new Probe(m_pLevel, "car", OBJ_CAR, 5.0f);
    auto* pump = new Probe(m_pLevel, "pump", OBJ_PUMP, 1.0f);
    car->SetPos(300.0f, 280.0f);
    pump->SetPos(310.0f, 280.0f);
    m_pLevel->m_uCarId = car->GetId();
    m_pLevel->m_uPumpId = pump->GetId();
    cLevel::cTarget t = m_pLevel->PickTarget({300.0f, 300.0f});
    EXPECT_EQ(t.kind, cLevel::cTarget::e_Car);
    EXPECT_EQ(t.object, car);
    t = m_pLevel->PickTarget({325.0f, 300.0f});
    EXPECT_EQ(t.kind, cLevel::cTarget::e_Pump);

    // Three objects under (600, 400): the smallest depth key is in front;
    // of two equal keys the first registered wins.
    auto* deep = new Probe(m_pLevel, "deep", OBJ_PLANT, 50.0f);
    auto* tie1 = new Probe(m_pLevel, "tie1", OBJ_HOLE, 20.0f);
    auto* tie2 = new Probe(m_pLevel, "tie2", OBJ_GOAT, 20.0f);
    for (Probe* p : {deep, tie1, tie2}) p->SetPos(600.0f, 380.0f);
    t = m_pLevel->PickTarget({600.0f, 400.0f});
    EXPECT_EQ(t.kind, cLevel::cTarget::e_Object);
    EXPECT_EQ(t.object, tie1);
    EXPECT_EQ(t.at, m_pLevel->PosToCell(600.0f, 400.0f));
    tie1->fDepth = 30.0f;
    EXPECT_EQ(m_pLevel->PickTarget({600.0f, 400.0f}).object, tie2);

    // An empty cell; a point off the field with nothing there.
    t = m_pLevel->PickTarget({140.0f, 140.0f});
    EXPECT_EQ(t.kind, cLevel::cTarget::e_Cell);
    EXPECT_EQ(t.at, cell(0, 0));
    t = m_pLevel->PickTarget({50.0f, 700.0f});
    EXPECT_EQ(t.kind, cLevel::cTarget::e_None);
    EXPECT_EQ(t.object, nullptr);
    // Objects off the field are still picked.
    deep->SetPos(50.0f, 690.0f);
    EXPECT_EQ(m_pLevel->PickTarget({50.0f, 700.0f}).object, deep);
}

TEST_F(LevelField, LeavingTheFieldDropsShipsAndFlyingItems)
{
    m_pGarden->m_Training.iKind = 3;
    m_pGarden->m_Training.iStep = 1;
    m_pGarden->m_pFlyingItems->AddItem("icons00", "tool_water", 10.0f, 1);
    m_Trace.clear();
    m_pLevel->OnDeactivate();
    EXPECT_EQ(m_Trace, (std::vector<std::string>{"clear ships"}));
    EXPECT_EQ(m_pGarden->m_pFlyingItems->Count(), 0u);
    EXPECT_EQ(m_pGarden->m_Training.iKind, -1);
    // Escape without a GUI, and a click without a gardener, change nothing.
    m_pLevel->OnInput(1, 1);
    m_pLevel->OnInput(4, 0);
    m_pLevel->OnInput(6, 0);
}

TEST_F(LevelField, TheSkyScrollsAndWraps)
{
    const float start = m_pLevel->GetBackdrop(cLevel::e_bdSky).source.x;
    m_pLevel->Update(1.0f);
    EXPECT_FLOAT_EQ(m_pLevel->GetBackdrop(cLevel::e_bdSky).source.x, start + 0.01f);
    m_pGarden->SetFlowState(2);  // the sky moves on behind the mission screens
    m_pLevel->Update(1.0f);
    EXPECT_FLOAT_EQ(m_pLevel->GetBackdrop(cLevel::e_bdSky).source.x, start + 0.02f);
    m_pLevel->Update(10001.0f);
    EXPECT_FLOAT_EQ(m_pLevel->GetBackdrop(cLevel::e_bdSky).source.x, 0.0f);
}

TEST(ProgressRing, GoesFromGreenThroughYellowToRed)
{
    EXPECT_EQ(cLevel::ProgressColor(0.0f), 0xFF00FF00u);
    // Each channel times 255, truncated: half is 0x7F.
    EXPECT_EQ(cLevel::ProgressColor(0.25f), 0xFF7FFF00u);
    EXPECT_EQ(cLevel::ProgressColor(0.5f), 0xFFFFFF00u);
    EXPECT_EQ(cLevel::ProgressColor(0.75f), 0xFFFF7F00u);
    EXPECT_EQ(cLevel::ProgressColor(1.0f), 0xFFFF0000u);

    cLevel level;
    vek::cQuadBatch batch;
    level.DrawProgressCircle(batch, {100.0f, 100.0f}, 20.0f, 0.25f);
    ASSERT_EQ(batch.uRunCount, 1u);
    ASSERT_EQ(batch.GetRuns()[0].uCount, 2u * 32u * 3u);
    const vek::cVertex2D* v = batch.GetVertices();
    // Both discs start at the top; the coloured one ends a quarter turn
    // clockwise, at the right, one pixel inside.
    EXPECT_NEAR(v[1].x, 100.0f, 1e-3f);
    EXPECT_NEAR(v[1].y, 120.0f, 1e-3f);
    EXPECT_EQ(v[1].color, 0xFFFFFFFFu);
    const vek::cVertex2D* last = v + 32 * 3 + 31 * 3;
    EXPECT_NEAR(last[2].x, 119.0f, 1e-3f);
    EXPECT_NEAR(last[2].y, 100.0f, 1e-3f);
    EXPECT_EQ(last[2].color, 0xFF7FFF00u);
}

// The music of successive visits, on the null audio output.
class FieldMusic : public vektest::SoundFixture {};

TEST_F(FieldMusic, VisitsAlternateTheTwoGardenMusics)
{
    for (const char* name : {"music_menu", "music0", "music1"}) {
        AddModule(name, vektest::MakeModule(6, 125));
        new vek::cMusic(name, name, false);
    }
    {
        cGarden garden;
        cLevel level;
        auto& musics = vek::g_pSoundManager->m_Musics;
        garden.m_pMenuMusic = musics.At(musics.Find("music_menu"));
        garden.m_pMenuMusic->Play();
        level.OnActivate();
        ASSERT_NE(garden.m_pGameMusic, nullptr);
        const std::string first = garden.m_pGameMusic->GetName();
        EXPECT_TRUE(first == "music0" || first == "music1");
        EXPECT_TRUE(garden.m_pGameMusic->IsPlaying());
        level.OnDeactivate();
        level.OnActivate();
        EXPECT_NE(std::string(garden.m_pGameMusic->GetName()), first);
        EXPECT_TRUE(garden.m_pGameMusic->IsPlaying());
        level.OnActivate();
        EXPECT_EQ(std::string(garden.m_pGameMusic->GetName()), first);
    }
}

} // namespace
