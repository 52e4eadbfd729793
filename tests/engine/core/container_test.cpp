#include "engine/core/container.h"

#include <gtest/gtest.h>

#include "engine/core/vekstring.h"

namespace {

int g_Deleted = 0;

struct cItem {
    explicit cItem(const char* n) : name(n) {}
    virtual ~cItem() { ++g_Deleted; }
    const vek::string& GetName() const { return name; }
    vek::string name;
};

struct cNamedByMethod {
    explicit cNamedByMethod(std::string n) : m_Name(std::move(n)) {}
    vek::string GetName() const { return m_Name; }  // by value on purpose
    vek::string m_Name;
};

} // namespace

TEST(ContainerPtr, ReservedSlotAndAppending)
{
    vek::cContainerPtr<cItem> t;
    EXPECT_EQ(t.Count(), 1u);
    EXPECT_EQ(t.At(0), nullptr);
    EXPECT_EQ(t.Get(0), nullptr);  // nothing to fall back on yet

    cItem* a = new cItem("a");
    EXPECT_EQ(t.Add(a, false), 1u);  // slot 0 stays free for the default
    EXPECT_EQ(t.At(0), nullptr);
    cItem* def = new cItem("unnamed");
    EXPECT_EQ(t.Add(def, true), 0u);
    EXPECT_EQ(t.Add(new cItem("b"), true), 2u);  // the one reserved slot is used up
    EXPECT_EQ(t.Count(), 3u);
    EXPECT_EQ(t.Get(1), a);
    EXPECT_EQ(t.Default(), def);
}

TEST(ContainerPtr, GetFallsBackToTheDefault)
{
    vek::cContainerPtr<cItem> t(30);
    cItem* def = new cItem("unnamed");
    t.Add(def, true);
    cItem* x = new cItem("x");
    t.Add(x, false);
    EXPECT_EQ(t.Get(1), x);
    EXPECT_EQ(t.Get(2), def);           // beyond the table
    EXPECT_EQ(t.Get(0xFFFFFFFFu), def);
    EXPECT_EQ(t.Get(7), def);
}

TEST(ContainerPtr, FindByExactName)
{
    vek::cContainerPtr<cItem> t;
    t.Add(new cItem("unnamed"), true);
    t.Add(new cItem("font"), false);
    t.Add(new cItem("font"), false);
    t.Add(new cItem("Font"), false);
    EXPECT_EQ(t.Find("font"), 1u);   // the lower id wins
    EXPECT_EQ(t.Find("Font"), 3u);   // case matters
    EXPECT_EQ(t.Find("FONT"), 0u);
    EXPECT_EQ(t.Find("unnamed"), 0u);
    EXPECT_EQ(t.Find("fon"), 0u);
    EXPECT_EQ(t.Search("missing"), t.end());

    vek::cContainerPtr<cNamedByMethod> m;
    m.Add(new cNamedByMethod("unnamed"), true);
    m.Add(new cNamedByMethod("song"), false);
    EXPECT_EQ(m.Find("song"), 1u);
}

TEST(ContainerPtr, DestructionDeletesEveryEntryOnce)
{
    g_Deleted = 0;
    {
        vek::cContainerPtr<cItem> t;
        t.Add(new cItem("a"), false);  // slot 0 never filled
        t.Add(new cItem("b"), false);
    }
    EXPECT_EQ(g_Deleted, 2);
}
