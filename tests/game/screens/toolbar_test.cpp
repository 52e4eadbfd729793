// The game's toolbars: which tools the player may use, what a locked tool
// does (nothing), where the tools, prices and background pieces go, and
// how wide the background strip is for what the player has unlocked.
#include "control_fixture.h"

#include "game/shell/garden.h"
#include "game/world/building.h"
#include "game/world/ware.h"

namespace {

using namespace controltest;
using vek::cGUI;

class ToolbarTest : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        cToolbarCtrl::ForgetStripReference();
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
        m_pWindow->SetActive(true);
    }
    void TearDown() override
    {
        DestroyWareManager();
        ControlFixture::TearDown();
    }

    // A toolbar as the garden's script makes it: 10 tools of 64 x 64.
    cToolbarCtrl* MakeToolbar(const char* name = "plants")
    {
        auto* t = new cToolbarCtrl(name, m_pWindow);
        t->SetPos(24.0f, 28.0f, 0);
        t->SetSize(67.0f * 10.0f - 3.0f, 64.0f, 0);
        t->SetSize(64.0f, 64.0f, vek::cCtrl::e_lstItems);
        return t;
    }
    void AddWare(cToolbarCtrl* t, const char* ware)
    {
        const vek::rectf uvs[4] = {{0.0f, 0.75f, 0.25f, 0.25f},
                                   {0.0f, 0.5f, 0.25f, 0.25f},
                                   {0.0f, 0.25f, 0.25f, 0.25f},
                                   {0.0f, 0.0f, 0.25f, 0.25f}};
        const int index = g_pWareManager->FindWare(ware);
        ASSERT_NE(index, NO_WARE) << ware;
        t->AddWareItem(uvs, index);
    }
    void Mouse(int message, int x, int y)
    {
        m_GUI.SendMessage(m_pWindow->GetID(), message, 0, vek::PackGUIPoint(x, y));
    }
    int Selected() const { return m_pRecorder->Count(cGUI::e_wndItemSelect); }
};

TEST_F(ToolbarTest, WhatIsAvailableFollowsTheUnlockedSortAndAnimal)
{
    cToolbarCtrl* t = MakeToolbar();
    for (const char* ware : {"plant00", "plant02", "grass", "flowers"}) AddWare(t, ware);
    t->AddAnimalItem(1);
    t->AddAnimalItem(-1);
    ASSERT_EQ(t->GetItemCount(), 5u) << "a negative animal kind adds nothing";
    EXPECT_EQ(t->GetItemData(1), g_pWareManager->FindWare("plant02"));
    EXPECT_EQ(t->GetItemData(4), 1);
    const cToolbarItemCtrl& sort0 = *t->GetItem(0);
    const cToolbarItemCtrl& sort2 = *t->GetItem(1);
    const cToolbarItemCtrl& grass = *t->GetItem(2);
    const cToolbarItemCtrl& flowers = *t->GetItem(3);
    const cToolbarItemCtrl& goat = *t->GetItem(4);

    struct {
        int sorts, animals;
        bool sort0, sort2, grass, flowers, goat;
    } const rows[] = {
        {0, -1, true, false, false, false, false},
        {2, -1, true, true, false, false, false},
        {1, 0, true, false, true, false, false},
        {1, 1, true, false, true, false, true},
        {7, 2, true, true, true, true, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "sorts " << r.sorts << " animals " << r.animals);
        EXPECT_EQ(sort0.IsAvailableFor(r.sorts, r.animals), r.sort0);
        EXPECT_EQ(sort2.IsAvailableFor(r.sorts, r.animals), r.sort2);
        EXPECT_EQ(grass.IsAvailableFor(r.sorts, r.animals), r.grass);
        EXPECT_EQ(flowers.IsAvailableFor(r.sorts, r.animals), r.flowers);
        EXPECT_EQ(goat.IsAvailableFor(r.sorts, r.animals), r.goat);
    }
    // A ware that is no sort (the plant toolbar has a slot for every ware)
    // is never offered, however many sorts are open.
    AddWare(t, "product00");
    EXPECT_FALSE(t->GetItem(5)->IsAvailableFor(7, 3));
    EXPECT_TRUE(Drawn(*t->GetItem(5)).empty());

    // Without a profile: what a new one has unlocked.
    EXPECT_TRUE(sort0.IsAvailable());
    EXPECT_FALSE(sort2.IsAvailable());
    EXPECT_FALSE(goat.IsAvailable());
}

TEST_F(ToolbarTest, ALockedToolDrawsNothingIgnoresTheCursorAndIsNeverChosen)
{
    cToolbarCtrl* t = MakeToolbar();
    AddWare(t, "plant00");
    AddWare(t, "plant01");
    t->AddAnimalItem(0);
    cToolbarItemCtrl* open = t->GetItem(0);
    cToolbarItemCtrl* locked = t->GetItem(1);

    EXPECT_TRUE(Drawn(*locked).empty());
    EXPECT_TRUE(Drawn(*t->GetItem(2)).empty());
    EXPECT_EQ(Drawn(*open).size(), 6u) << "the picture; the price label has no font here";

    // The cursor over the locked tool's slot, then a press there.
    Mouse(cGUI::e_wndMouseMove, 24 + 67 + 30, 60);
    EXPECT_EQ(t->GetHoveredItem(), 1);
    EXPECT_FALSE(locked->IsHovered());
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndMouseEnter), 1) << "the toolbar itself was entered";
    Mouse(cGUI::e_wndLButtonDown, 24 + 67 + 30, 60);
    EXPECT_FALSE(locked->IsPressed());
    EXPECT_EQ(Selected(), 0);
    Mouse(cGUI::e_wndLButtonUp, 24 + 67 + 30, 60);

    // The open tool: hover with its sound, the window told, then chosen.
    Sounds().clear();
    Mouse(cGUI::e_wndMouseMove, 24 + 30, 60);
    EXPECT_TRUE(open->IsHovered());
    EXPECT_EQ(Sounds(), std::vector<std::string>{"mouse_in"});
    ASSERT_EQ(m_pRecorder->Count(cGUI::e_wndMouseEnter), 2);
    EXPECT_EQ(m_pRecorder->messages.back().uA, 0u) << "a = the hovered item";
    EXPECT_EQ(m_pRecorder->messages.back().uB, static_cast<unsigned>(t->GetID()));
    Mouse(cGUI::e_wndLButtonDown, 24 + 30, 60);
    EXPECT_TRUE(open->IsPressed());
    ASSERT_EQ(Selected(), 1) << "sent at once";
    EXPECT_EQ(m_pRecorder->messages.back().uA, 0u);
    EXPECT_EQ(m_pRecorder->messages.back().uB, static_cast<unsigned>(t->GetID()));
    Mouse(cGUI::e_wndLButtonUp, 24 + 30, 60);
    EXPECT_FALSE(open->IsPressed());

    // A disabled tool shows its disabled picture and is not chosen.
    open->EnableState(vek::cCtrl::e_Disabled);
    EXPECT_FLOAT_EQ(MinV(Drawn(*open)), 0.0f);
    Mouse(cGUI::e_wndLButtonDown, 24 + 30, 60);
    EXPECT_EQ(Selected(), 1);
    Mouse(cGUI::e_wndMouseMove, 600, 600);
    EXPECT_FALSE(open->IsHovered());
}

TEST_F(ToolbarTest, ToolsRunAlongTheTopWithThePriceUnderEach)
{
    cToolbarCtrl* t = MakeToolbar();
    t->SetSize(67.0f * 10.0f - 3.0f, 100.0f, 0);
    for (int i = 0; i < 12; ++i) AddWare(t, "plant00");
    EXPECT_EQ(t->GetVisibleCount(), 10u);
    EXPECT_EQ(t->GetItem(0)->GetRect(), vek::rectf(24.0f, 64.0f, 64.0f, 64.0f));
    EXPECT_EQ(t->GetItem(9)->GetRect(), vek::rectf(24.0f + 67.0f * 9.0f, 64.0f, 64.0f, 64.0f));
    t->SetFirstVisible(2);
    EXPECT_EQ(t->GetItem(11)->GetRect().x, 24.0f + 67.0f * 9.0f);
    EXPECT_EQ(t->GetItem(2)->GetRect().x, 24.0f);

    Drawn(*t->GetItem(3));
    EXPECT_EQ(t->GetPriceLabel().GetText(), "$5");
    EXPECT_EQ(t->GetPriceLabel().GetRect(), vek::rectf(24.0f + 67.0f, 64.0f - 26.0f, 64.0f, 64.0f));
    EXPECT_EQ(t->GetPriceLabel().GetAlign(), vek::cAlign::Center | vek::cAlign::Bottom);
    EXPECT_FLOAT_EQ(t->GetItemWidth(), 64.0f);
    EXPECT_EQ(t->GetItemBuilding(0), nullptr);
    EXPECT_EQ(t->GetItemBuilding(99), nullptr);
}

TEST_F(ToolbarTest, TheStripCoversWhatIsUnlockedAndThePiecesFrameIt)
{
    cToolbarCtrl* plants = MakeToolbar();
    EXPECT_EQ(plants->StripWidthFor(3, 3), 0.0f) << "no tools, no strip";
    for (int i = 0; i < 8; ++i) AddWare(plants, "plant00");
    EXPECT_EQ(plants->StripWidthFor(2, -1), 67.0f * 3.0f - 3.0f);
    EXPECT_EQ(plants->StripWidthFor(40, -1), 67.0f * 10.0f - 3.0f) << "no more than fit";

    cToolbarCtrl* food = MakeToolbar("grass");
    AddWare(food, "grass");
    AddWare(food, "flowers");
    EXPECT_EQ(food->StripWidthFor(5, -1), -3.0f) << "the garden keeps that toolbar hidden";
    EXPECT_EQ(food->StripWidthFor(5, 1), 64.0f);
    EXPECT_EQ(food->StripWidthFor(5, 3), 131.0f);
    cToolbarCtrl* animals = MakeToolbar("animals");
    for (int kind = 0; kind < 4; ++kind) animals->AddAnimalItem(kind);
    EXPECT_EQ(animals->StripWidthFor(0, -1), 67.0f * 10.0f - 3.0f) << "anything but wares: 20, cut to the row";

    auto* left = new vek::cFrameCtrl("left_plants", m_pWindow);
    left->SetPos(0.0f, 20.0f, 0);
    left->SetSize(16.0f, 80.0f, 0);
    auto* centre = new vek::cFrameCtrl("center_plants", m_pWindow);
    centre->SetPos(28.0f, 20.0f, 0);
    centre->SetSize(400.0f, 80.0f, 0);
    centre->SetUVSize(0.5f, 0.25f, 0);
    auto* right = new vek::cFrameCtrl("right_plants", m_pWindow);
    right->SetPos(900.0f, 20.0f, 0);
    right->SetSize(16.0f, 80.0f, 0);
    plants->SetPieces(left, centre, right);
    // A new profile has one sort: the strip is one tool wide.
    EXPECT_EQ(left->GetRect(), vek::rectf(8.0f, 20.0f, 16.0f, 80.0f));
    EXPECT_EQ(centre->GetRect(), vek::rectf(28.0f, 20.0f, 64.0f, 80.0f));
    EXPECT_FLOAT_EQ(centre->GetUV().w, 0.5f * 64.0f / 400.0f) << "the picture repeats, not stretches";
    EXPECT_FLOAT_EQ(centre->GetUV().h, 0.25f);
    EXPECT_EQ(right->GetRect(), vek::rectf(92.0f, 20.0f, 16.0f, 80.0f));
    // The scale stays that of the first strip.
    plants->UpdateLayout();
    EXPECT_FLOAT_EQ(centre->GetUV().w, 0.5f * 64.0f / 400.0f);

    plants->DisableState(vek::cCtrl::e_Visibility);
    for (vek::cCtrl* piece : std::initializer_list<vek::cCtrl*>{left, centre, right})
        EXPECT_FALSE(piece->GetState(vek::cCtrl::e_Visibility));
    plants->EnableState(vek::cCtrl::e_Visibility);
    EXPECT_TRUE(right->GetState(vek::cCtrl::e_Visibility));
}

TEST_F(ToolbarTest, BuildingToolsComeFromTheGamesRegistry)
{
    cGarden garden;
    CreateBuildings(garden.m_Buildings);
    ASSERT_GT(garden.m_Buildings.Count(), 0u);
    cToolbarCtrl* t = MakeToolbar("toolbar");
    t->AddBuildingItem(0);
    t->AddBuildingItem(static_cast<int>(garden.m_Buildings.Count()));
    ASSERT_EQ(t->GetItemCount(), 2u);
    EXPECT_EQ(t->GetItemBuilding(0), garden.m_Buildings.Get(0));
    EXPECT_EQ(t->GetItemBuilding(1), nullptr) << "an index past the registry names none";
    EXPECT_TRUE(t->GetItem(0)->IsAvailable());
    EXPECT_TRUE(Drawn(*t->GetItem(0)).empty()) << "its sprite is not loaded: nothing to draw, no price";
    Mouse(cGUI::e_wndMouseMove, 24 + 30, 60);
    Mouse(cGUI::e_wndLButtonDown, 24 + 30, 60);
    EXPECT_EQ(Selected(), 1);
}

} // namespace
