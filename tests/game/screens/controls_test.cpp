// The game's controls as the screen scripts make them: each joins its window
// and survives Lua's collector, reaches its Lua base's methods, and keeps
// what its setters were given.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

// First: the configuration the installed luabind was built with.
#include "engine/core/script_luabind.h"

#include <luabind/detail/class_rep.hpp>

#include "engine/app/bind_fixture.h"
#include "engine/core/geometry.h"
#include "engine/core/image.h"
#include "engine/graphics/texture.h"
#include "engine/gui/window.h"
#include "game/screens/bind_controls.h"
#include "game/screens/controls.h"

namespace {

// Lua: members(class) -> luabind's table of the class's methods, the
// inherited ones included.
int Members(lua_State* L)
{
    if (lua_type(L, 1) != LUA_TUSERDATA) return 0;
    static_cast<luabind::detail::class_rep*>(lua_touserdata(L, 1))->get_table(L);
    return 1;
}

// Each class with its own members and one member of its Lua base; "__init"
// is the constructor.
const char* const kSurface = R"lua(
classes = {
  cClockCtrl = { "__init", "DrawInnerRect" },
  cImageCtrlEx = { "__init", "SetColor", "SetTexture" },
  cTaskCtrl = { "__init", "SetTexture", "SetIcon", "SetText", "SetAlign", "SetFontPrt" },
  cMissionCtrl = { "__init", "SetTexture", "SetIcon", "SetText", "SetAlign", "SetFontPrt",
    "GetID" },
  cSliderCtrlEx = { "__init", "SetValue" },
  cCheckBoxUpCtrl = { "__init", "SetCheck" },
  cCheckBoxCtrl = { "__init", "IsChecked" },
  cTabButtonCtrl = { "__init", "SetText", "SetFontPrt", "SetColor", "SetTexture" },
  cButtonCtrl = { "__init", "SetText", "SetFontPrt", "SetColor", "SetTexture", "SetPos" },
  cAnimationCtrl = { "__init", "SetTileset", "SetTexture" },
  cLinkCtrl = { "__init", "SetColor", "SetText" },
  cToolbarCtrl = { "__init", "SetTexture", "GetItemCount" },
}
missing = {}
for name, list in pairs(classes) do
  local class = _G[name]
  if class == nil then missing[#missing + 1] = name
  else
    local t = members(class)
    for _, member in ipairs(list) do
      if t[member] == nil then missing[#missing + 1] = name .. ":" .. member end
    end
  end
end
if type(luaToImageCtrl) ~= "function" then missing[#missing + 1] = "luaToImageCtrl" end
missing = table.concat(missing, " ")
-- The toolbar's Lua base is the list, not the engine's image list.
toolbarInsert = members(cToolbarCtrl).InsertItem == nil
)lua";

class GameControls : public bindtest::BindFixture {
protected:
    void SetUp() override
    {
        BindFixture::SetUp();
        ASSERT_TRUE(vek::CreateTextureManager());
        ASSERT_TRUE(RegisterGameControls(vek::GetScript()));
        m_pHost = MakeWindow("host");
        vek::GetScript()->RegisterVar("host", m_pHost);
    }
    void TearDown() override
    {
        BindFixture::TearDown();
        if (vek::g_pTextureManager) vek::DestroyTextureManager();
    }

    // A texture registered under the name; returns its id.
    int MakeTexture(const std::string& name)
    {
        vek::cImage image(vek::e_pfRGBA, 4, 4, 1);
        new vek::cTexture(&image, name, false);
        return static_cast<int>(vek::g_pTextureManager->Find(name));
    }

    // The host's control of that name, as T; null when missing or of
    // another class.
    template <class T>
    T* Control(const char* name)
    {
        for (unsigned i = 0; i < m_pHost->GetControlCount(); ++i)
            if (m_pHost->GetControl(i)->GetName() == name) return dynamic_cast<T*>(m_pHost->GetControl(i));
        return nullptr;
    }

    vek::cWindow* m_pHost = nullptr;
};

// Every class, made from Lua and dropped at once, is still in its window
// after a full collection, with its id, class name and first values; each
// reaches a method of its Lua base. Under the sanitizers a control deleted
// by the collector would show up here as a use after free.
TEST_F(GameControls, EveryControlJoinsItsWindowAndOutlivesTheCollector)
{
    const unsigned before = m_pHost->GetControlCount();
    ASSERT_EQ(Try("cButtonCtrl(host, 'button')\n"
                  "cTabButtonCtrl(host, 'tab')\n"
                  "cCheckBoxCtrl(host, 'check')\n"
                  "cCheckBoxUpCtrl(host, 'checkup')\n"
                  "cSliderCtrlEx(host, 'slider')\n"
                  "cMissionCtrl(host, 'mission')\n"
                  "cTaskCtrl(host, 'task')\n"
                  "cToolbarCtrl(host, 'toolbar')\n"
                  "cLinkCtrl(host, 'link')\n"
                  "cAnimationCtrl(host, 'anim')\n"
                  "cClockCtrl(host, 'clock')\n"
                  "cImageCtrlEx(host, 'imageex')\n"
                  "orphan = cTaskCtrl(nil, 'orphan')\n"
                  "collectgarbage('collect') collectgarbage('collect')"),
              "");
    ASSERT_EQ(m_pHost->GetControlCount(), before + 12u);

    const struct {
        const char* name;
        const char* className;
    } expected[] = {
        {"button", "cButtonCtrl"},     {"tab", "cButtonCtrl"},         {"check", "cCheckBoxCtrl"},
        {"checkup", "cCheckBoxCtrl"},  {"slider", "cSliderCtrlEx"},    {"mission", "cMissionCtrl"},
        {"task", "cMissionCtrl"},      {"toolbar", "cToolbarCtrl"},    {"link", "cLinkCtrl"},
        {"anim", "cAnimationCtrl"},    {"clock", "cFrameCtrl"},        {"imageex", "cImageCtrlEx"},
    };
    for (unsigned i = 0; i < 12; ++i) {
        SCOPED_TRACE(expected[i].name);
        const vek::cCtrl* control = m_pHost->GetControl(before + i);
        EXPECT_EQ(control->GetName(), expected[i].name);
        EXPECT_EQ(control->GetID(), static_cast<int>(before + i));
        EXPECT_EQ(control->GetParent(), m_pHost);
        EXPECT_STREQ(control->ClassName(), expected[i].className);
    }
    EXPECT_NE(Control<cTabButtonCtrl>("tab"), nullptr);
    EXPECT_NE(Control<cCheckBoxUpCtrl>("checkup"), nullptr);
    EXPECT_NE(Control<cTaskCtrl>("task"), nullptr);
    EXPECT_NE(Control<cClockCtrl>("clock"), nullptr);

    EXPECT_EQ(Control<cButtonCtrl>("button")->GetVisualState(), 0);
    EXPECT_EQ(Control<cCheckBoxUpCtrl>("checkup")->GetFilledStars(), 0);
    EXPECT_EQ(Control<cCheckBoxUpCtrl>("checkup")->GetStarCount(), 2);
    EXPECT_EQ(Control<cClockCtrl>("clock")->GetElapsed(), 0.0f);

    // Inherited from the Lua bases, on controls the script no longer holds.
    ASSERT_EQ(Try("local function get(name) return host:GetControl(host:FindControl(name)) end\n"
                  "get('tab'):SetText('Tab')\n"
                  "get('checkup'):SetCheck(true)\n"
                  "get('slider'):SetValue(75)\n"
                  "get('task'):SetText('3')\n"
                  "toolbarItems = get('toolbar'):GetItemCount()\n"
                  "get('link'):SetText('more')\n"
                  "get('clock'):DrawInnerRect(false)\n"
                  "get('imageex'):SetUVPos(0.5, 0.25, 0)\n"
                  "orphanName = orphan:GetName()"),
              "");
    EXPECT_EQ(Control<cTabButtonCtrl>("tab")->GetText(), "Tab");
    EXPECT_TRUE(Control<cCheckBoxUpCtrl>("checkup")->IsChecked());
    EXPECT_EQ(Control<cSliderCtrlEx>("slider")->GetValue(), 75.0f);
    EXPECT_EQ(Control<cTaskCtrl>("task")->GetText(), "3");
    EXPECT_EQ(Global("toolbarItems"), "0");
    EXPECT_EQ(Control<cLinkCtrl>("link")->GetText(), "more");
    EXPECT_FLOAT_EQ(Control<cImageCtrlEx>("imageex")->GetUV().x, 0.5f);
    EXPECT_EQ(Global("orphanName"), "orphan");

    // The control made without a window belongs to no one: the test frees it.
    lua_getglobal(L, "orphan");
    auto* orphan = luabind::object_cast<cTaskCtrl*>(luabind::object(luabind::from_stack(L, -1)));
    lua_pop(L, 1);
    ASSERT_EQ(Try("orphan = nil collectgarbage('collect')"), "");
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(orphan->GetName(), "orphan");
    delete orphan;
}

TEST_F(GameControls, LuaSettersStoreWhatTheySet)
{
    const int frames = MakeTexture("frames");
    const int icons = MakeTexture("icons00");
    const int tools = MakeTexture("tools");
    ASSERT_GT(frames, 0);
    ASSERT_GT(icons, 0);
    ASSERT_GT(tools, 0);
    ASSERT_EQ(Try("local b = cButtonCtrl(host, 'button')\n"
                  "b:SetText('Play') b:SetColor(1, 0, 0) b:SetTexture('frames', cCtrl.e_btnNormal)\n"
                  "local m = cMissionCtrl(host, 'mission')\n"
                  "m:SetText('12') m:SetAlign(2) m:SetIcon('icons00', 'corn')\n"
                  "m:SetTexture('frames', cMissionCtrl.e_itemFrame)\n"
                  "m:SetTexture('tools', cMissionCtrl.e_itemLabel)\n"
                  "local one = cTaskCtrl(host, 'task') one:SetIcon('icons00')\n"
                  "cToolbarCtrl(host, 'toolbar'):SetTexture('tools')\n"
                  "local l = cLinkCtrl(host, 'link')\n"
                  "l:SetColor(0, 1, 0, cLinkCtrl.e_lnkHighlight)\n"
                  "l:SetColor(0, 0, 1, cLinkCtrl.e_lnkNormal)\n"
                  "local both = cLinkCtrl(host, 'both')\n"
                  "both:SetColor(1, 0, 0, cLinkCtrl.e_lnkNormal + cLinkCtrl.e_lnkHighlight)\n"
                  "enums = cMissionCtrl.e_itemLabel .. ' ' .. cMissionCtrl.e_itemImage .. ' ' ..\n"
                  "  cMissionCtrl.e_itemFrame .. ' ' .. cLinkCtrl.e_lnkNormal .. ' ' .. cLinkCtrl.e_lnkHighlight"),
              "");
    EXPECT_EQ(Global("enums"), "4 8 16 268435456 536870912");

    const cButtonCtrl* button = Control<cButtonCtrl>("button");
    EXPECT_EQ(button->GetText(), "Play");
    EXPECT_EQ(button->GetLabel().GetColor(), 0xFFFF0000u);
    for (int i = 0; i < cButtonCtrl::e_frameCount; ++i) EXPECT_EQ(button->GetFrame(i)->GetTexture(), frames);
    EXPECT_EQ(button->GetFrame(4), nullptr);

    const cMissionCtrl* mission = Control<cMissionCtrl>("mission");
    EXPECT_EQ(mission->GetText(), "12");
    EXPECT_EQ(mission->GetLabel().GetAlign(), 2);
    // "icons00" has no sprite "corn" here: the icon is left as it was.
    EXPECT_EQ(mission->GetIconTexture(), "");
    EXPECT_EQ(mission->GetIconArea(), "");
    EXPECT_NE(mission->GetIcon().GetTexture(), icons);
    // The label is no texture part: that call changed nothing.
    EXPECT_EQ(mission->GetFrame().GetTexture(), frames);
    EXPECT_EQ(Control<cTaskCtrl>("task")->GetIconTexture(), "");

    EXPECT_EQ(Control<cToolbarCtrl>("toolbar")->GetTextureID(), tools);

    const cLinkCtrl* link = Control<cLinkCtrl>("link");
    EXPECT_EQ(link->GetHighlightColor(), 0xFF00FF00u);
    EXPECT_EQ(link->GetNormalColor(), 0xFF0000FFu);
    EXPECT_EQ(link->GetColor(), 0xFF0000FFu);  // the normal colour shows at once
    EXPECT_EQ(Control<cLinkCtrl>("both")->GetNormalColor(), 0xFFFF0000u);
    EXPECT_EQ(Control<cLinkCtrl>("both")->GetHighlightColor(), 0xFFFF0000u);
}

// The last operation of the tab button answers from the shared state field:
// checked exactly while it is 1.
TEST_F(GameControls, TabButtonIsCheckedExactlyInStateOne)
{
    cTabButtonCtrl tab("tab", nullptr);
    EXPECT_FALSE(tab.IsChecked());
    tab.SetCheck(true);
    EXPECT_EQ(tab.GetVisualState(), 1);
    EXPECT_TRUE(tab.IsChecked());
    tab.SetCheck(false);
    EXPECT_EQ(tab.GetVisualState(), 0);
    EXPECT_FALSE(tab.IsChecked());
}

TEST_F(GameControls, ImageCtrlExPacksAlphaAndKeepsTheThreeChannelForm)
{
    ASSERT_EQ(Try("local i = cImageCtrlEx(host, 'arrow')\n"
                  "i:SetColor(1, 0.5, 0, 0.25)\n"
                  "name = i:GetName()"),
              "");
    const cImageCtrlEx* image = Control<cImageCtrlEx>("arrow");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetColor(), vek::PackColor(1.0f, 0.5f, 0.0f, 0.25f));
    EXPECT_EQ(image->GetColor(), 0x3FFF7F00u);
    EXPECT_STREQ(image->ClassName(), "cImageCtrlEx");

    cImageCtrlEx native("native", nullptr);
    native.SetColor(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(native.GetColor(), 0xFF0000FFu);
}

// An image control (and the classes built on it) comes back as one; any
// other control, and nil, give nil instead of a misread object.
TEST_F(GameControls, ToImageCtrlGivesNilForOtherControls)
{
    ASSERT_EQ(Try("local img = cImageCtrl(host, 'img')\n"
                  "local ex = cImageCtrlEx(host, 'ex')\n"
                  "local anim = cAnimationCtrl(host, 'anim')\n"
                  "local button = cButtonCtrl(host, 'button')\n"
                  "local label = cLabelCtrl(host, 'label')\n"
                  "local got = luaToImageCtrl(img)\n"
                  "got:SetTexture('none')\n"
                  "image = got:GetName()\n"
                  "exName = luaToImageCtrl(ex):GetName()\n"
                  "animName = luaToImageCtrl(anim):GetName()\n"
                  "buttonIsNil = luaToImageCtrl(button) == nil\n"
                  "labelIsNil = luaToImageCtrl(label) == nil\n"
                  "nilIsNil = luaToImageCtrl(nil) == nil"),
              "");
    EXPECT_EQ(Global("image"), "img");
    EXPECT_EQ(Global("exName"), "ex");
    EXPECT_EQ(Global("animName"), "anim");
    EXPECT_EQ(Global("buttonIsNil"), "true");
    EXPECT_EQ(Global("labelIsNil"), "true");
    EXPECT_EQ(Global("nilIsNil"), "true");
}

// A grid of 0 (or fewer) columns or rows would divide the picture size by 0
// later: it counts as one. An fps that is not above 0 plays at 30.
TEST_F(GameControls, TilesetCountsBelowOneAreTakenAsOne)
{
    cAnimationCtrl fresh("fresh", nullptr);
    EXPECT_EQ(fresh.GetCounter().iFrameCount, 1);
    EXPECT_EQ(fresh.GetCounter().iMode, vek::cAnimCounter::e_Loop);
    EXPECT_FLOAT_EQ(fresh.GetCounter().fFrameTime, 1.0f / 30.0f);

    ASSERT_EQ(Try("local a = cAnimationCtrl(host, 'grid') a:SetTileset(4, 2, 10)\n"
                  "local z = cAnimationCtrl(host, 'zero') z:SetTileset(0, -3, 0)\n"
                  "local n = cAnimationCtrl(host, 'nan') n:SetTileset(3, 0, 0/0)"),
              "");
    const cAnimationCtrl* grid = Control<cAnimationCtrl>("grid");
    EXPECT_EQ(grid->GetColumns(), 4);
    EXPECT_EQ(grid->GetRows(), 2);
    EXPECT_EQ(grid->GetCounter().iFrameCount, 8);
    EXPECT_EQ(grid->GetCounter().iFrame, 0);
    EXPECT_EQ(grid->GetCounter().iDirection, 1);
    EXPECT_EQ(grid->GetCounter().iMode, vek::cAnimCounter::e_Loop);
    EXPECT_FLOAT_EQ(grid->GetCounter().fFrameTime, 0.1f);

    const cAnimationCtrl* zero = Control<cAnimationCtrl>("zero");
    EXPECT_EQ(zero->GetColumns(), 1);
    EXPECT_EQ(zero->GetRows(), 1);
    EXPECT_EQ(zero->GetCounter().iFrameCount, 1);
    EXPECT_FLOAT_EQ(zero->GetCounter().fFrameTime, 1.0f / 30.0f);

    const cAnimationCtrl* nan = Control<cAnimationCtrl>("nan");
    EXPECT_EQ(nan->GetCounter().iFrameCount, 3);
    EXPECT_FLOAT_EQ(nan->GetCounter().fFrameTime, 1.0f / 30.0f);

    // A grid too big to count plays as many frames as the counter holds.
    cAnimationCtrl huge("huge", nullptr);
    huge.SetTileset(100000, 100000, 30.0f);
    EXPECT_EQ(huge.GetCounter().iFrameCount, 0x7FFFFFFF);
}

TEST_F(GameControls, EveryNameIsThereWithItsLuaBase)
{
    lua_register(L, "members", &Members);
    ASSERT_EQ(Try(kSurface), "");
    EXPECT_EQ(Global("missing"), "");
    EXPECT_EQ(Global("toolbarInsert"), "true");
    // The one-argument texture form of the button.
    ASSERT_EQ(Try("cButtonCtrl(host, 'b'):SetTexture('none')"), "");
}

TEST_F(GameControls, RegistrationNeedsAScriptState)
{
    EXPECT_FALSE(RegisterGameControls(nullptr));
}

} // namespace
