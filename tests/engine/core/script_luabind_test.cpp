// Native objects seen from Lua: published globals, call arguments, classes
// whose Lua-made objects the collector must not delete, and the engine's
// texts as the locale script sees them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/locale.h"
#include "engine/core/script.h"
#include "engine/core/script_luabind.h"
#include "script_fixture.h"

namespace {

using vektest::ScriptFixture;

struct cTracked {
    static int s_iAlive;
    static std::vector<cTracked*> s_vecMade;

    cTracked() { ++s_iAlive; }
    virtual ~cTracked() { --s_iAlive; }
    int Value() const { return iValue; }
    void SetValue(int v) { iValue = v; }

    int iValue = 7;
};
int cTracked::s_iAlive = 0;
std::vector<cTracked*> cTracked::s_vecMade;

// Made from Lua; remembers itself so that the test, standing in for a
// native owner, can delete it.
struct cOwnedElsewhere : cTracked {
    cOwnedElsewhere() { s_vecMade.push_back(this); }
};

// A second base puts the cTracked part at an offset inside the object.
struct cPadding {
    virtual ~cPadding() = default;
    double dPad[3] = {1, 2, 3};
};
struct cOffset : cPadding, cTracked {
    int Twice() const { return 2 * iValue; }
};

struct cUnbound {
    int i = 0;
};

int ValueOf(const cTracked* object)
{
    return object ? object->Value() : -1;
}

class ScriptObjects : public ScriptFixture {
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        if (HasFatalFailure())
            return;
        using luabind::class_;
        using luabind::constructor;
        luabind::module(L)[class_<cTracked>("cTracked")
                               .def(constructor<>())
                               .def("Value", &cTracked::Value)
                               .def("SetValue", &cTracked::SetValue),
                           class_<cOwnedElsewhere, cTracked>("cOwnedElsewhere").def(constructor<>()),
                           class_<cOffset, luabind::bases<cTracked>>("cOffset").def("Twice", &cOffset::Twice),
                           luabind::def("ValueOf", &ValueOf), vek::cLocale::LuaClass()];
        m_iAliveBefore = cTracked::s_iAlive;
    }

    void TearDown() override
    {
        ScriptFixture::TearDown();
        for (cTracked* made : cTracked::s_vecMade)
            delete made;
        cTracked::s_vecMade.clear();
    }

    void CollectGarbage() { lua_gc(L, LUA_GCCOLLECT, 0); }

    int m_iAliveBefore = 0;
};

TEST_F(ScriptObjects, PublishedObjectsAreUsedButNeverCollected)
{
    cTracked object;
    Host().RegisterVar("theObject", &object);
    ASSERT_TRUE(Run("theObject:SetValue(11) seen = theObject:Value() theObject = nil"));
    EXPECT_EQ(Global("seen"), "11");
    EXPECT_EQ(object.iValue, 11);
    CollectGarbage();
    // Closing the state collects every userdata; the object must survive.
    vek::DestroyScript();
    EXPECT_EQ(object.iValue, 11);
    EXPECT_EQ(cTracked::s_iAlive, m_iAliveBefore + 1);
}

TEST_F(ScriptObjects, ObjectsAtAnOffsetCastCorrectly)
{
    // Two objects published through the base type, one of them a derived
    // object whose base part does not start at its address.
    cOffset derived;
    derived.iValue = 21;
    cTracked plain;
    plain.iValue = 5;
    Host().RegisterVar("derived", &derived);
    Host().RegisterVar("asBase", static_cast<cTracked*>(&derived));
    Host().RegisterVar("plain", &plain);
    ASSERT_TRUE(Run("a = derived:Twice() b = derived:Value() c = ValueOf(derived)"
                    " d = ValueOf(asBase) e = asBase:Value() f = ValueOf(plain)"));
    EXPECT_EQ(Global("a"), "42");
    EXPECT_EQ(Global("b"), "21");
    EXPECT_EQ(Global("c"), "21");
    EXPECT_EQ(Global("d"), "21");
    EXPECT_EQ(Global("e"), "21");
    EXPECT_EQ(Global("f"), "5");
}

TEST_F(ScriptObjects, UnknownClassesAndNullObjects)
{
    cUnbound unbound;
    ASSERT_TRUE(Run("theThing = 'kept'"));
    Host().RegisterVar("theThing", &unbound);
    EXPECT_EQ(Global("theThing"), "kept");
    const std::string log = LogContents();
    const size_t warning = log.find("RegisterVar: registry-&gt;find_class(...): ");
    ASSERT_NE(warning, std::string::npos) << log;
    EXPECT_NE(log.find("cUnbound", warning), std::string::npos);

    Host().RegisterVar("nothing", static_cast<cTracked*>(nullptr));
    ASSERT_TRUE(Run("isnil = nothing == nil"));
    EXPECT_EQ(Global("isnil"), "true");

    const int top = lua_gettop(L);
    vek::push_pointer(L, static_cast<cTracked*>(nullptr));
    EXPECT_EQ(lua_gettop(L), top + 1);
    EXPECT_TRUE(lua_isnil(L, -1));
    vek::push_pointer(L, &unbound);
    EXPECT_EQ(lua_gettop(L), top + 1);
    lua_settop(L, top);
}

TEST_F(ScriptObjects, FunctionsCalledByNameReceiveObjects)
{
    cTracked window;
    ASSERT_TRUE(Run("function FillWindow(w) w:SetValue(99) end"));
    const int top = lua_gettop(L);
    EXPECT_TRUE(Host().CallFunction("FillWindow", &window));
    EXPECT_EQ(window.iValue, 99);
    EXPECT_EQ(lua_gettop(L), top);
    CollectGarbage();
    EXPECT_EQ(cTracked::s_iAlive, m_iAliveBefore + 1);
}

TEST_F(ScriptObjects, UndeletedClassesLeaveTheirObjectsToTheirOwners)
{
    vek::undelete_class_rep<cOwnedElsewhere>(L);
    vek::undelete_class_rep<cOwnedElsewhere>(L);  // twice is harmless
    ASSERT_TRUE(Run("for i = 1, 3 do local made = cOwnedElsewhere() made:SetValue(i) end"
                    " local plain = cTracked()"));
    CollectGarbage();
    // The three owned objects live on; the plain one was Lua's to delete.
    EXPECT_EQ(cTracked::s_iAlive, m_iAliveBefore + 3);
    ASSERT_EQ(cTracked::s_vecMade.size(), 3u);
    EXPECT_EQ(cTracked::s_vecMade[2]->iValue, 3);

    ASSERT_TRUE(Run("last = cOwnedElsewhere()"));
    vek::DestroyScript();
    EXPECT_EQ(cTracked::s_iAlive, m_iAliveBefore + 4);
}

TEST_F(ScriptObjects, UndeletingAnUnknownClassIsAWarning)
{
    vek::undelete_class_rep<cUnbound>(L);
    EXPECT_NE(LogContents().find("registry-&gt;find_class(...)"), std::string::npos);
}

// ---- the engine's texts ----

class EngineTexts : public ScriptObjects {
protected:
    void TearDown() override
    {
        vek::g_Locale = vek::cLocale();
        ScriptObjects::TearDown();
    }
};

const char* const kTextNames[] = {
    "Mouse", "MouseButton", "MouseButtonLeft", "MouseButtonRight", "MouseButtonMiddle",
    "MouseWheelUp", "MouseWheelDown", "Keyboard", "KeyboardControl", "KeyboardEnter",
    "KeyboardSpace", "KeyboardBackspace", "KeyboardShift", "KeyboardLeft", "KeyboardRight",
    "KeyboardUp", "KeyboardDown", "Joystick", "TransferWait", "TransferFailed", "Ok", "Cancel",
    "Yes", "No", "Ignore", "Abort", "Help", "Information", "Warning", "Error", "Player"};

TEST_F(EngineTexts, AScriptThatSetsOneTextLeavesTheOthers)
{
    Host().RegisterVar("vek_locale", &vek::g_Locale);
    ASSERT_TRUE(Run("ok = vek_locale.Ok vek_locale.Cancel = 'Abbrechen'"));
    EXPECT_EQ(Global("ok"), "Ok");
    EXPECT_EQ(vek::g_Locale.Cancel, "Abbrechen");
    EXPECT_EQ(vek::g_Locale.Ok, "Ok");
    EXPECT_EQ(vek::g_Locale.TransferWait, "Please wait...");
    EXPECT_EQ(vek::g_Locale.MouseWheelDown, "Mouse wheel down");
    EXPECT_EQ(vek::g_Locale.Player, "Player");
}

TEST_F(EngineTexts, EveryTextIsAReadWriteProperty)
{
    Host().RegisterVar("vek_locale", &vek::g_Locale);
    std::string names = "names = {";
    for (const char* name : kTextNames)
        names += std::string("'") + name + "',";
    ASSERT_TRUE(Run(names + "}"));
    ASSERT_TRUE(Run("for i, n in ipairs(names) do"
                    "  assert(type(vek_locale[n]) == 'string' and vek_locale[n] ~= '')"
                    "  vek_locale[n] = 'text ' .. i end"));
    const vek::cLocale& texts = vek::g_Locale;
    const vek::string* fields[] = {
        &texts.Mouse, &texts.MouseButton, &texts.MouseButtonLeft, &texts.MouseButtonRight,
        &texts.MouseButtonMiddle, &texts.MouseWheelUp, &texts.MouseWheelDown, &texts.Keyboard,
        &texts.KeyboardControl, &texts.KeyboardEnter, &texts.KeyboardSpace,
        &texts.KeyboardBackspace, &texts.KeyboardShift, &texts.KeyboardLeft, &texts.KeyboardRight,
        &texts.KeyboardUp, &texts.KeyboardDown, &texts.Joystick, &texts.TransferWait,
        &texts.TransferFailed, &texts.Ok, &texts.Cancel, &texts.Yes, &texts.No, &texts.Ignore,
        &texts.Abort, &texts.Help, &texts.Information, &texts.Warning, &texts.Error, &texts.Player};
    static_assert(std::size(fields) == std::size(kTextNames));
    for (size_t i = 0; i < std::size(fields); ++i)
        EXPECT_EQ(*fields[i], "text " + std::to_string(i + 1)) << kTextNames[i];
    // A number is not a text.
    EXPECT_FALSE(Run("vek_locale.Ok = 5"));
    EXPECT_EQ(vek::g_Locale.Ok, "text 21");
}

} // namespace
