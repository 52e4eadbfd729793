#include "game/world/ware.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/bitstream.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/texture_info.h"
#include "game/world/level_task.h"

namespace {

using Bytes = std::vector<uint8_t>;

vek::cBitStream Reading(const Bytes& bytes)
{
    vek::cBitStream s;
    s.SetData(bytes.data(), bytes.size());
    return s;
}

Bytes Le(const std::vector<uint32_t>& values)
{
    Bytes out;
    for (uint32_t v : values)
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return out;
}

struct WareManagerFixture : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(CreateWareManager()); }
    void TearDown() override
    {
        if (g_pWareManager) DestroyWareManager();
    }
};

struct Catalogue : WareManagerFixture {
    void SetUp() override
    {
        WareManagerFixture::SetUp();
        CreateWares();
    }
};

TEST_F(WareManagerFixture, DefaultsStayOutOfTheTable)
{
    ASSERT_NE(g_pWareManager->pDefaultSort, nullptr);
    ASSERT_NE(g_pWareManager->pDefaultProduct, nullptr);
    EXPECT_EQ(g_pWareManager->pDefaultSort->strName, "default");
    EXPECT_EQ(g_pWareManager->pDefaultSort->GetType(), 0x80000001u);
    EXPECT_EQ(g_pWareManager->pDefaultProduct->strName, "default");
    EXPECT_EQ(g_pWareManager->DefaultProduct()->GetType(), 0x80000002u);
    EXPECT_TRUE(g_pWareManager->DefaultSort()->strTitle.empty());
    EXPECT_EQ(g_pWareManager->DefaultSort()->iPrice, 0);
    EXPECT_EQ(g_pWareManager->DefaultSort()->iIndex, 0);
    EXPECT_EQ(g_pWareManager->DefaultSort()->vecNeedIntervals, (std::vector<int32_t>{0, 0}));
    EXPECT_FLOAT_EQ(g_pWareManager->DefaultSort()->fGrowthTime, 3.0f);
    EXPECT_TRUE(g_pWareManager->vecWares.empty());
    EXPECT_EQ(g_pWareManager->FindWare("default"), NO_WARE);
    EXPECT_EQ(g_pWareManager->FindWare(""), NO_WARE);
}

TEST_F(WareManagerFixture, WaresRegisterInCreationOrder)
{
    new cSort("plant00", "Tomato");
    new cProduct("product00", "OliveOil");
    new cWare("egg", "Egg");
    cWare* unnamed = new cWare("", "never registered");  // stays out of the table
    EXPECT_EQ(g_pWareManager->vecWares.size(), 3u);
    EXPECT_EQ(g_pWareManager->FindWare("plant00"), 0);
    EXPECT_EQ(g_pWareManager->FindWare("egg"), 2);
    EXPECT_EQ(g_pWareManager->FindWare("EGG"), NO_WARE);  // names are case-sensitive
    EXPECT_EQ(g_pWareManager->FindWare("eg"), NO_WARE);
    EXPECT_EQ(g_pWareManager->GetWare(2)->iIndex, 2);
    EXPECT_EQ(unnamed->iIndex, 0);
    delete unnamed;
}

TEST(WareManager, CreateAndDestroyAreRefusedTwice)
{
    ASSERT_TRUE(CreateWareManager());
    cWareManager* first = g_pWareManager;
    CreateWares();
    EXPECT_FALSE(CreateWareManager());
    EXPECT_EQ(g_pWareManager, first);
    EXPECT_EQ(g_pWareManager->vecWares.size(), 21u);
    EXPECT_EQ(g_pWareManager->FindWare("plant00"), 0);
    EXPECT_EQ(g_pWareManager->DefaultSort()->strName, "default");
    EXPECT_TRUE(DestroyWareManager());
    EXPECT_EQ(g_pWareManager, nullptr);
    EXPECT_FALSE(DestroyWareManager());
}

// Saved ware lists hold catalogue indices: a list as a save holds it (the
// count, then every index in catalogue order) must read back to the same
// wares, each with its own kind, price and needs, and write back the same
// bytes. A catalogue reordered or edited would misread every old save.
TEST_F(Catalogue, SavedIndicesNameTheTwentyOneWares)
{
    struct Row {
        const char* name;
        uint32_t type;
        const char* title;
        int32_t price;
        int32_t water, weed;
        float growth;
    };
    const uint32_t S = 0x80000001u, P = 0x80000002u, W = 0x80000000u;
    const Row rows[] = {
        {"plant00", S, "Tomato", 5, 0, 2, 3.0f},       {"plant01", S, "Olive", 10, 3, 3, 4.5f},
        {"plant02", S, "Orange", 15, 3, 4, 6.0f},      {"plant03", S, "Banana", 20, 3, 3, 7.5f},
        {"plant04", S, "Wheat", 25, 2, 4, 6.5f},       {"plant05", S, "Corn", 30, 2, 3, 7.5f},
        {"plant06", S, "Grape", 35, 4, 3, 8.0f},       {"plant07", S, "Pineapple", 40, 4, 4, 8.5f},
        {"product00", P, "OliveOil", 15, 0, 0, 0},     {"product01", P, "OrangeJuice", 20, 0, 0, 0},
        {"product02", P, "Flour", 30, 0, 0, 0},        {"product03", P, "GrapeJuice", 40, 0, 0, 0},
        {"product01_1", P, "Lemonade", 30, 0, 0, 0},   {"product02_1", P, "Bread", 50, 0, 0, 0},
        {"product03_1", P, "Wine", 70, 0, 0, 0},       {"flowers", S, "Flowers", 50, 2, 0, 3.0f},
        {"grass", S, "Grass", 20, 0, 0, 3.0f},         {"egg", W, "Egg", 50, 0, 0, 0},
        {"milk", W, "Milk", 70, 0, 0, 0},              {"honey", W, "Honey", 50, 0, 0, 0},
        {"nib", W, "Nib", 60, 0, 0, 0},
    };
    ASSERT_EQ(g_pWareManager->vecWares.size(), 21u);
    std::vector<uint32_t> words = {21};
    for (uint32_t i = 0; i < 21; ++i) words.push_back(i);
    const Bytes saved = Le(words);
    vek::cBitStream in = Reading(saved);
    std::vector<int32_t> list;
    ASSERT_TRUE(ReadWareList(list, &in));
    ASSERT_EQ(list.size(), 21u);
    vek::cBitStream out;
    ASSERT_TRUE(WriteWareList(list, &out));
    EXPECT_EQ(Bytes(out.GetData().begin(), out.GetData().begin() + static_cast<long>(out.GetByteCount())), saved);

    for (int i = 0; i < 21; ++i) {
        const Row& row = rows[i];
        const cWare* ware = g_pWareManager->GetWare(static_cast<uint32_t>(list[static_cast<size_t>(i)]));
        SCOPED_TRACE(row.name);
        ASSERT_NE(ware, nullptr);
        EXPECT_EQ(ware->iIndex, i);
        EXPECT_EQ(ware->strName, row.name);
        EXPECT_EQ(ware->GetType(), row.type);
        // A locale text holds its own name until the locale script sets it.
        EXPECT_EQ(ware->strTitle, row.title);
        EXPECT_EQ(ware->iPrice, row.price);
        EXPECT_EQ(g_pWareManager->FindWare(row.name), i);
        if (row.type == S) {
            const cSort* sort = g_pWareManager->GetSort(static_cast<uint32_t>(i));
            ASSERT_EQ(sort, ware);
            EXPECT_EQ(sort->vecNeedIntervals, (std::vector<int32_t>{row.water, row.weed}));
            EXPECT_FLOAT_EQ(sort->fGrowthTime, row.growth);
            EXPECT_EQ(sort->vecNeedCounters, (std::vector<int32_t>{0, 0}));
        } else {
            EXPECT_EQ(g_pWareManager->GetSort(static_cast<uint32_t>(i)), g_pWareManager->DefaultSort());
        }
    }
}

TEST(WareTitles, AreCopiedFromTheLocaleWhenTheWaresAreMade)
{
    cLocaleGD& texts = GetLocaleGD();
    const vek::string saved = texts.Tomato;
    texts.Tomato = "Pomodoro";
    ASSERT_TRUE(CreateWareManager());
    CreateWares();
    texts.Tomato = "changed later";
    EXPECT_EQ(g_pWareManager->GetWare(0)->strTitle, "Pomodoro");
    texts.Tomato = saved;
    DestroyWareManager();
}

TEST_F(Catalogue, BadLookupsNeverFail)
{
    cWare* empty = g_pWareManager->GetWare(NO_WARE);
    EXPECT_TRUE(empty->strName.empty());
    EXPECT_TRUE(empty->strTitle.empty());
    EXPECT_EQ(empty->iPrice, 0);
    EXPECT_EQ(empty->iIndex, 0);
    EXPECT_EQ(empty->GetType(), 0x80000000u);
    EXPECT_EQ(g_pWareManager->GetWare(21), empty);
    EXPECT_EQ(g_pWareManager->GetWare(static_cast<uint32_t>(-1)), empty);
    EXPECT_EQ(g_pWareManager->FindWare("default"), NO_WARE);
    EXPECT_EQ(g_pWareManager->FindWare(""), NO_WARE);
    EXPECT_EQ(g_pWareManager->FindWare("Plant00"), NO_WARE);
    EXPECT_EQ(g_pWareManager->FindWare("nib"), 20);
    EXPECT_EQ(g_pWareManager->GetSort(8), g_pWareManager->DefaultSort());   // a product
    EXPECT_EQ(g_pWareManager->GetSort(17), g_pWareManager->DefaultSort());  // the egg
    EXPECT_EQ(g_pWareManager->GetSort(NO_WARE), g_pWareManager->DefaultSort());
    EXPECT_EQ(g_pWareManager->GetSort(15)->strName, "flowers");
}

// The icon strip "gui_plants": ten frames per node, in the order plant07,
// plant00, plant02, plant05, grass, plant01, plant04, plant06, plant03,
// flowers. Each node is cut from its own quarter of the texture, so a frame
// tells which node and which column it came from.
struct PlantIcons : Catalogue {
    void SetUp() override
    {
        Catalogue::SetUp();
        ASSERT_TRUE(CreateTextureInfos());
    }
    void TearDown() override
    {
        DestroyTextureInfos();
        Catalogue::TearDown();
    }
    cTextureInfo* MakeIcons(int normal, int highlight, int push, int disable)
    {
        auto* info = new cTextureInfo("gui_plants", false);
        const char* names[4] = {"normal", "highlight", "push", "disable"};
        const int counts[4] = {normal, highlight, push, disable};
        for (int i = 0; i < 4; ++i)
            if (counts[i] > 0)
                info->AddNode(names[i], vek::rectf(0.0f, 0.25f * static_cast<float>(i), 1.0f, 0.25f), counts[i], 1);
        return info;
    }
};

TEST_F(PlantIcons, EachSortHasItsColumnOfEveryNode)
{
    MakeIcons(10, 10, 10, 10);
    const char* order[10] = {"plant07", "plant00", "plant02", "plant05", "grass",
                             "plant01", "plant04", "plant06", "plant03", "flowers"};
    for (int icon = 0; icon < 10; ++icon) {
        SCOPED_TRACE(order[icon]);
        const int32_t ware = g_pWareManager->FindWare(order[icon]);
        vek::rectf frames[4];
        int32_t price = -1;
        ASSERT_TRUE(g_pWareManager->GetPlantIcon(static_cast<uint32_t>(ware), frames, &price));
        EXPECT_EQ(price, g_pWareManager->GetWare(static_cast<uint32_t>(ware))->iPrice);
        for (int node = 0; node < 4; ++node) {
            EXPECT_NEAR(frames[node].x, 0.1f * static_cast<float>(icon), 1e-5f);
            EXPECT_NEAR(frames[node].y, 0.25f * static_cast<float>(node), 1e-5f);
        }
    }
    vek::rectf frames[4];
    int32_t price = -1;
    EXPECT_FALSE(g_pWareManager->GetPlantIcon(8, frames, &price));  // product00: no icon
    EXPECT_EQ(price, 15);
    price = -1;
    EXPECT_FALSE(g_pWareManager->GetPlantIcon(NO_WARE, frames, &price));
    EXPECT_EQ(price, -1);  // nothing written past the table
}

TEST_F(PlantIcons, UnevenOrShortNodesGiveNoIcon)
{
    vek::rectf frames[4];
    int32_t price = 0;
    const uint32_t plant03 = 3;  // icon 8
    {
        cTextureInfo* info = MakeIcons(10, 10, 9, 10);
        EXPECT_FALSE(g_pWareManager->GetPlantIcon(plant03, frames, &price));
        (void)info;
    }
    // The lookups are kept: a second manager starts afresh.
    DestroyWareManager();
    DestroyTextureInfos();
    ASSERT_TRUE(CreateTextureInfos());
    ASSERT_TRUE(CreateWareManager());
    CreateWares();
    MakeIcons(8, 8, 8, 8);
    EXPECT_TRUE(g_pWareManager->GetPlantIcon(0, frames, &price));  // plant00, icon 1
    EXPECT_FALSE(g_pWareManager->GetPlantIcon(plant03, frames, &price));  // icon 8 of 8
    DestroyWareManager();
    ASSERT_TRUE(CreateWareManager());
    CreateWares();
    MakeIcons(10, 10, 10, 0);  // no "disable" node; the info is the first "gui_plants"
    EXPECT_TRUE(g_pWareManager->GetPlantIcon(0, frames, &price));
}

TEST_F(PlantIcons, NoIconsWithoutTheirTextureInfo)
{
    vek::rectf frames[4];
    int32_t price = 0;
    EXPECT_FALSE(g_pWareManager->GetPlantIcon(7, frames, &price));
    EXPECT_EQ(price, 40);
    // The missing info is looked up once for the run.
    MakeIcons(10, 10, 10, 10);
    EXPECT_FALSE(g_pWareManager->GetPlantIcon(7, frames, &price));
}

TEST_F(Catalogue, SavedListsKeepOnlyWaresOfTheTable)
{
    vek::cBitStream out;
    ASSERT_TRUE(WriteWareList({0, 20, 5, 5}, &out));
    vek::cBitStream in = Reading(Bytes(out.GetData().begin(), out.GetData().begin() + static_cast<long>(out.GetByteCount())));
    std::vector<int32_t> list = {9, 9};
    ASSERT_TRUE(ReadWareList(list, &in));
    EXPECT_EQ(list, (std::vector<int32_t>{0, 20, 5, 5}));

    vek::cBitStream dropped = Reading(Le({5, 4, 21, 1000, 5000, 7}));
    ASSERT_TRUE(ReadWareList(list, &dropped));
    EXPECT_EQ(list, (std::vector<int32_t>{4, 7}));

    // A count of a million over 12 bytes refuses the list.
    vek::cBitStream huge = Reading(Le({1000000, 1, 2, 3}));
    EXPECT_FALSE(ReadWareList(list, &huge));
    EXPECT_TRUE(list.empty());
    vek::cBitStream top = Reading(Le({0x80000002u, 1, 2}));
    EXPECT_FALSE(ReadWareList(list, &top));
    EXPECT_TRUE(list.empty());
}

// Counts what the tasks are told of.
class cCountingGarden : public cGarden {
public:
    void CountTaskWare(int32_t ware) override { counted.push_back(ware); }
    std::vector<int32_t> counted;
};

TEST_F(Catalogue, CollectedWaresGoOnTheListAndToTheTasks)
{
    cCountingGarden garden;
    std::vector<int32_t> load;
    for (int32_t ware : {3, NO_WARE, 20, 21, -1}) garden.CollectWare(load, ware);
    EXPECT_EQ(load, (std::vector<int32_t>{3, 20}));
    EXPECT_EQ(garden.counted, (std::vector<int32_t>{3, NO_WARE, 20, 21, -1}));

    vek::cBitStream out;
    ASSERT_TRUE(garden.WriteWareList(load, &out));
    EXPECT_FALSE(garden.WriteWareList(load, nullptr));
    vek::cBitStream in = Reading(Bytes(out.GetData().begin(), out.GetData().begin() + static_cast<long>(out.GetByteCount())));
    std::vector<int32_t> back;
    ASSERT_TRUE(garden.ReadWareList(back, &in));
    EXPECT_EQ(back, load);
    EXPECT_FALSE(garden.ReadWareList(back, nullptr));
}

TEST(TaskRecords, OnlyTheEmptyRecordIsNoWare)
{
    cLevelTask task;
    EXPECT_TRUE(IsNoWare(task));
    task.iWare = 3;
    EXPECT_FALSE(IsNoWare(task));
    task.iWare = NO_WARE;
    task.iKind = 1;  // an animal task names no ware but is a task
    EXPECT_FALSE(IsNoWare(task));
}

} // namespace
