#include "engine/core/vlist.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Counts its destructions, and like the game's objects unregisters itself
// from the list it was added to.
struct Item {
    explicit Item(vek::vlist_ptr<Item>* list, int* deaths) : pList(list), pDeaths(deaths)
    {
        if (pList) uId = pList->Add(this);
    }
    virtual ~Item()
    {
        if (pList) pList->Remove(uId);
        if (pDeaths) ++*pDeaths;
    }
    vek::vlist_ptr<Item>* pList;
    int* pDeaths;
    uint32_t uId = 0;
};

struct Derived : Item {
    Derived(vek::vlist_ptr<Item>* list, int* deaths, int* derivedDeaths)
        : Item(list, deaths), pDerivedDeaths(derivedDeaths)
    {
    }
    ~Derived() override { ++*pDerivedDeaths; }
    int* pDerivedDeaths;
    std::vector<int> payload = std::vector<int>(64, 7);  // a leak would show under ASan
};

std::vector<Item*> Walk(const vek::vlist_ptr<Item>& list) { return {list.begin(), list.end()}; }

TEST(VListPtr, IdsStayStableAcrossRemovals)
{
    int deaths = 0;
    vek::vlist_ptr<Item> list;
    EXPECT_EQ(list.Get(0), nullptr);  // empty: nothing to fall back on
    Item* null = new Item(&list, &deaths);
    Item* a = new Item(&list, &deaths);
    Item* b = new Item(&list, &deaths);
    EXPECT_EQ(null->uId, 0u);
    EXPECT_EQ(a->uId, 1u);
    EXPECT_EQ(b->uId, 2u);

    delete a;  // unregisters itself
    EXPECT_EQ(list.Get(1), null);
    EXPECT_FALSE(list.IsValid(1));
    EXPECT_EQ(list.Get(2), b);
    EXPECT_TRUE(list.IsValid(2));
    EXPECT_EQ(list.Get(5), null);  // never handed out
    EXPECT_FALSE(list.IsValid(5));

    Item* c = new Item(&list, &deaths);
    EXPECT_EQ(c->uId, 3u);  // the removed id is not reused
    EXPECT_EQ(list.Get(1), null);
    EXPECT_EQ(Walk(list), (std::vector<Item*>{null, b, c}));

    list.Remove(0);  // element 0 is never unlinked
    list.Remove(1);  // already removed
    list.Remove(99);
    EXPECT_EQ(Walk(list), (std::vector<Item*>{null, b, c}));
    EXPECT_EQ(deaths, 1);
}

TEST(VListPtr, ClearDeletesAllButTheNullObjectAndRestartsIds)
{
    int deaths = 0, derivedDeaths = 0;
    vek::vlist_ptr<Item> list;
    Item* null = new Item(&list, &deaths);
    for (int i = 0; i < 5; ++i) new Derived(&list, &deaths, &derivedDeaths);
    delete list.Get(3);

    // The objects' own Remove calls during Clear must not disturb it.
    list.Clear();
    EXPECT_EQ(deaths, 5);
    EXPECT_EQ(derivedDeaths, 5);  // through the virtual destructor
    EXPECT_EQ(Walk(list), std::vector<Item*>{null});
    EXPECT_EQ(list.Get(4), null);
    Item* next = new Item(&list, &deaths);
    EXPECT_EQ(next->uId, 1u);
    EXPECT_EQ(list.Get(1), next);
}

TEST(VListPtr, DestructorDeletesEveryElementOnce)
{
    int deaths = 0, derivedDeaths = 0;
    {
        vek::vlist_ptr<Item> list;
        new Item(&list, &deaths);
        for (int i = 0; i < 3; ++i) new Derived(&list, &deaths, &derivedDeaths);
    }
    EXPECT_EQ(deaths, 4);
    EXPECT_EQ(derivedDeaths, 3);
}

} // namespace
