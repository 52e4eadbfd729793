// The engine's Lua surface: every name scripts rely on is there with its
// value, the value classes behave at their edges, overloads are told apart
// by the Lua types, and objects made or borrowed by scripts survive Lua's
// collector while their native owners delete them exactly once.
#include <gtest/gtest.h>

#include <string>

// First: the configuration the installed luabind was built with.
#include "engine/core/script_luabind.h"

#include <luabind/detail/class_rep.hpp>

#include "bind_fixture.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/cursor.h"
#include "engine/gui/listctrl.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"

namespace {

using bindtest::BindFixture;

// Lua: members(class) -> the table of methods, properties and the
// constructor that luabind keeps for the class (inherited members
// included). Methods are not reachable on the class object itself.
int Members(lua_State* L)
{
    if (lua_type(L, 1) != LUA_TUSERDATA) return 0;
    auto* crep = static_cast<luabind::detail::class_rep*>(lua_touserdata(L, 1));
    crep->get_table(L);
    return 1;
}

// The names of the engine's Lua surface, with the enum values. "__init"
// stands for a constructor.
const char* const kSurface = R"lua(
functions = { "dump_vek15", "info", "sound", "display", "shot", "luaSaveWAV", "GetSound",
  "GetScript", "GetFonts" }
classes = {
  cLocale = { members = { "Mouse", "MouseButton", "MouseButtonLeft", "MouseButtonRight",
    "MouseButtonMiddle", "MouseWheelUp", "MouseWheelDown", "Keyboard", "KeyboardControl",
    "KeyboardEnter", "KeyboardSpace", "KeyboardBackspace", "KeyboardShift", "KeyboardLeft",
    "KeyboardRight", "KeyboardUp", "KeyboardDown", "Joystick", "TransferWait", "TransferFailed",
    "Ok", "Cancel", "Yes", "No", "Ignore", "Abort", "Help", "Information", "Warning", "Error",
    "Player" } },
  cGame = { enums = { e_ExePath = 0, e_StaticPath = 1, e_AppPath = 2, e_UserPath = 3 },
    members = { "SetWindowTitle", "Exit", "EnableConsole", "GetGamma", "SetGamma", "SetLocale",
      "GetClientSize", "IsWindowed", "PauseWidget", "SetFocusWidget" } },
  cSoundManager = { enums = { e_All = 0, e_Sound = 1, e_Music = 2 },
    members = { "GetVolume", "SetVolume", "Dump", "GetSettings3D", "SetSettings3D" } },
  cScript = { members = { "LoadFile" } },
  cFileSystem = { members = { "__init", "GetFirst", "GetNext", "Exist", "FullAccess", "IsFolder",
    "CreateFolder" } },
  cFile = { members = { "__init", "Open", "IsOpen", "Close" } },
  filename = { members = { "__init", "c_str", "empty", "path", "dir", "file", "name", "ext",
    "replace_ext" } },
  strlist = { members = { "__init", "size", "at", "resize", "set", "empty" } },
  cDataManager = {},
  cAlign = { enums = { None = 0, Left = 1, Center = 2, Right = 4, Top = 8, Middle = 16,
    Bottom = 32 } },
  vectorf = { members = { "__init", "at", "set", "size", "resize" } },
  vectori = { members = { "__init", "at", "set", "size", "resize" } },
  recti = { members = { "__init" } },
  rectf = { members = { "__init" } },
  cCursor = { members = { "__init", "Set" } },
  cWindow = { members = { "__init", "GetID", "FindControl", "AddControl", "GetControl",
    "SetActiveControl", "SetName", "GetName", "SetActive", "IsActive", "SetModal", "IsModal" } },
  cWindowFunction = { members = { "Call" } },
  cGUI = { enums = { e_wndPaint = 1, e_wndTimer = 2, e_wndKeyDown = 3, e_wndChar = 4,
      e_wndMouseMove = 5, e_wndLButtonDown = 6, e_wndLButtonUp = 7, e_wndCreate = 8,
      e_wndDestroy = 9, e_wndShow = 10, e_wndHide = 11, e_wndAfterCreate = 12, e_wndKeyUp = 13,
      e_wndHideImmediately = 14 },
    members = { "ParamToTime", "FindWindow", "GetWindow", "ShowWindow", "HideWindow", "GetCursor",
      "SendMessage", "PostMessage" } },
  cFontManager = { members = { "Find", "Count", "Default", "GetAt" } },
  cFont = { members = { "__init", "Init", "Texture", "Transform", "Char", "GetName" } },
  ["vek::cWidget"] = { members = { "__init" } },
  cCtrl = { enums = { e_None = 0, e_Visibility = 2, e_Disabled = 4, e_Ignorable = 8, e_All = -1,
      e_frmBorder = 2, e_sldImage = 4, e_lstItems = 8, e_edtFont = 0x400, e_btnFont = 0x800,
      e_btnNormal = 0x1000, e_btnPush = 0x2000, e_cbFont = 0x4000, e_cbNormal = 0x8000,
      e_cbPush = 0x10000, e_liFont = 0x20000, e_lstNormal = 0x40000, e_lstHighlight = 0x80000,
      e_lstSelection = 0x100000 },
    members = { "__init", "GetID", "GetName", "EnableState", "DisableState", "GetState", "SetPos",
      "SetSize", "SetUVPos", "SetUVSize" } },
  cImageCtrl = { members = { "__init", "SetTexture" } },
  cLabelCtrl = { members = { "__init", "SetText", "SetAlign", "SetFontPrt" } },
  cLabelSysCtrl = { members = { "__init", "SetColor", "SetText" } },
  cTextBoxSysCtrl = { members = { "__init", "SetColor", "SetText" } },
  cFrameCtrl = { members = { "__init", "SetTexture", "DrawInnerRect" } },
  cProgressBarSysCtrl = { members = { "__init", "SetTexture", "SetValue", "GetValue" } },
  cSliderCtrl = { members = { "__init", "SetValue", "GetValue", "SetMinMax", "GetMin", "GetMax",
    "SetVertical", "IsVertical" } },
  cSliderSysCtrl = { members = { "__init", "SetTexture", "SetMinMax" } },
  cEditCtrl = { members = { "__init", "SetText", "GetText", "SetMaxLength" } },
  cEditSysCtrl = { members = { "__init", "SetAlign", "SetFontPrt", "SetColor", "SetTexture",
    "GetText" } },
  cButtonSysCtrl = { members = { "__init", "SetText", "SetFontPrt", "SetColor", "SetTexture" } },
  cCheckBoxSysCtrl = { members = { "__init", "SetColor", "SetText", "SetAlign", "SetFontPrt",
    "SetTexture", "SetCheck", "IsChecked" } },
  cListCtrl = { members = { "__init", "DeleteItem", "DeleteAllItems", "GetItemCount",
    "SetItemData", "GetItemData", "GetSelectedItem", "IsSelectedItem", "SelectItem",
    "GetVisibleCount", "SetFirstVisible", "GetFirstVisible", "EnsureVisible", "IsVisible",
    "SetMultiselect", "IsMultiselect" } },
  cListSysCtrl = { members = { "__init", "SetTexture", "SetFontPrt", "SetAlign", "SetColor",
    "InsertItem", "SetItemText", "GetItemText", "SelectItem" } },
  cImageListSysCtrl = { members = { "__init", "InsertItem", "SelectItem" } },
  cToolbarSysCtrl = { members = { "__init", "InsertItem", "GetItemCount" } },
}
missing = {}
local function need(ok, what) if not ok then missing[#missing + 1] = what end end
for _, name in ipairs(functions) do need(type(_G[name]) == "function", name) end
for name, entry in pairs(classes) do
  local class = _G[name]
  need(class ~= nil, name)
  if class ~= nil then
    local table = members(class)
    for _, member in ipairs(entry.members or {}) do need(table[member] ~= nil, name .. ":" .. member) end
    for enum, value in pairs(entry.enums or {}) do
      local ok, got = pcall(function() return class[enum] end)
      need(ok and got == value, name .. "." .. enum)
    end
  end
end
missing = table.concat(missing, " ")
)lua";

TEST_F(BindFixture, EveryNameOfTheSurfaceIsThere)
{
    lua_register(L, "members", &Members);
    ASSERT_EQ(Try(kSurface), "");
    EXPECT_EQ(Global("missing"), "");
    // Control classes keep the Lua bases of the native hierarchy.
    ASSERT_EQ(Try("local s = cToolbarSysCtrl(theGUI:GetWindow(0), 't') base = s:GetItemCount() == 0"
                  " and members(cToolbarSysCtrl).EnableState ~= nil"),
              "");
    EXPECT_EQ(Global("base"), "true");
}

TEST_F(BindFixture, ValueClassesAtTheirEdges)
{
    ASSERT_EQ(Try("local s = strlist() s:set(5, 'x') emptyAfterSet = s:empty() and s:size() == 0\n"
                  "s:resize(2) s:set(1, 'b') second = s:at(1) first = s:at(0)\n"
                  "local v = vectori(3) sizeI = v:size() v:set(2, 7) v:set(3, 9) lastI = v:at(2)\n"
                  "local f = vectorf() f:resize(1) f:set(0, 0.5) valueF = f:at(0)\n"
                  "outOfRange = pcall(function() return v:at(3) end)\n"
                  "negative = pcall(function() return vectori(-1) end)\n"
                  "negativeResize = pcall(function() f:resize(-1) end)\n"
                  "local r = recti(1, 2, 3, 4) local rf = rectf(0.5, 0, 1, 1)\n"
                  "local p = vec2(3, 4) px = p.x + p.y"),
              "");
    EXPECT_EQ(Global("emptyAfterSet"), "true");
    EXPECT_EQ(Global("first"), "");
    EXPECT_EQ(Global("second"), "b");
    EXPECT_EQ(Global("sizeI"), "3");
    EXPECT_EQ(Global("lastI"), "7");
    EXPECT_EQ(Global("valueF"), "0.5");
    EXPECT_EQ(Global("outOfRange"), "false");
    EXPECT_EQ(Global("negative"), "false");
    EXPECT_EQ(Global("negativeResize"), "false");
    EXPECT_EQ(Global("px"), "7");

    ASSERT_EQ(Try("local f = filename('{StaticPath}/gui/Main.LUA') fname = f:name() fext = f:ext()"
                  " ffile = f:file() fempty = filename():empty()"),
              "");
    EXPECT_EQ(Global("fname"), "main");
    EXPECT_EQ(Global("fext"), "lua");
    EXPECT_EQ(Global("ffile"), "main.lua");
    EXPECT_EQ(Global("fempty"), "true");
}

TEST_F(BindFixture, GuiCallsPickTheirOverloadsByLuaType)
{
    vek::cWindow* menu = MakeWindow("menu");
    MakeWindow("options");
    ASSERT_EQ(Try("byName = theGUI:GetWindow('options'):GetID()\n"
                  "byIndex = theGUI:GetWindow(1):GetName()\n"
                  "found = theGUI:FindWindow('options')\n"
                  "none = theGUI:GetWindow(99) == nil\n"
                  "seconds = theGUI:ParamToTime(250)\n"
                  "shown = theGUI:ShowWindow('menu')\n"
                  "unknown = theGUI:ShowWindow('nothing')\n"
                  "local c = theGUI:GetCursor() c:Set('pointer', vec2(32, 48), cAlign.Left + cAlign.Top, 2, 4)\n"
                  "local l = cLabelSysCtrl(theGUI:GetWindow('menu'), 'title')\n"
                  "l:SetColor(1, 0, 0) l:SetColor(vec3(0, 0, 1))\n"
                  "fonts = GetFonts():Count() .. GetFonts():Default():GetName() .. GetFonts():GetAt(99):GetName()"),
              "");
    EXPECT_EQ(Global("byName"), "2");
    EXPECT_EQ(Global("byIndex"), "menu");
    EXPECT_EQ(Global("found"), "2");
    EXPECT_EQ(Global("none"), "true");
    EXPECT_EQ(Global("seconds"), "0.25");
    EXPECT_EQ(Global("shown"), "0");
    EXPECT_EQ(Global("unknown"), "1");
    EXPECT_EQ(Global("fonts"), "1unnamedunnamed");
    EXPECT_TRUE(m_pGUI->IsWindowShown("menu"));
    EXPECT_EQ(m_pGUI->GetCursor()->GetAnimation().iFrameCount, 8);

    auto* label = dynamic_cast<vek::cLabelSysCtrl*>(menu->GetControl(1));
    ASSERT_NE(label, nullptr);
    const auto rgba = label->GetColorRGBA();
    EXPECT_FLOAT_EQ(rgba[0], 1.0f);  // blue, from the vec3 overload
    EXPECT_FLOAT_EQ(rgba[2], 0.0f);
}

// The way the game fills a screen: it makes the window with its own
// function and hands it to the script's FillWindow.
const char* const kFillWindow = R"lua(
function FillWindow(w)
  local img = cImageCtrl(w, "img")       img:SetTexture("none") img:SetPos(10, 10, 0) img:SetSize(20, 20, 0)
  local lbl = cLabelCtrl(w, "lbl")       lbl:SetText("plain") lbl:SetAlign(cAlign.Center)
  local sys = cLabelSysCtrl(w, "sys")    sys:SetColor(0.5, 0.5, 0.5)
  local box = cTextBoxSysCtrl(w, "box")  box:SetText("a few words")
  local frm = cFrameCtrl(w, "frm")       frm:DrawInnerRect(false)
  local bar = cProgressBarSysCtrl(w, "bar") bar:SetValue(2.0)
  local sl0 = cSliderCtrl(w, "sl0")      sl0:SetMinMax(0, 10) sl0:SetValue(4)
  local sld = cSliderSysCtrl(w, "sld")   sld:SetTexture("track", cCtrl.e_sldImage) sld:SetVertical(true)
  local ed0 = cEditCtrl(w, "ed0")        ed0:SetMaxLength(4)
  local edt = cEditSysCtrl(w, "edt")     edt:SetPos(100, 100, 0) edt:SetSize(200, 30, 0)
  local btn = cButtonSysCtrl(w, "btn")   btn:SetText("Ok") btn:SetPos(100, 200, 0) btn:SetSize(100, 40, 0)
  local chk = cCheckBoxSysCtrl(w, "chk") chk:SetText("sound") chk:SetPos(100, 300, 0) chk:SetSize(100, 20, 0)
  local lst = cListCtrl(w, "lst")        lst:SetMultiselect(true)
  local txt = cListSysCtrl(w, "txt")
  txt:SetPos(400, 100, 0) txt:SetSize(200, 200, 0) txt:SetSize(200, 20, cCtrl.e_lstItems)
  txt:InsertItem(0, "first", 11) txt:InsertItem(1, "second", 22)
  local img2 = cImageListSysCtrl(w, "imgs") img2:InsertItem(0, "icon", 1)
  local tb = cToolbarSysCtrl(w, "tools")  tb:InsertItem(0, "icon", 1)
  local base = cCtrl(w, "base")          base:DisableState(cCtrl.e_Visibility)
  w:SetActive(true)
  filled = w:GetControl(w:FindControl("btn")):GetName()
end
)lua";

TEST_F(BindFixture, ScriptBuiltWindowIsDrivenByInput)
{
    bindtest::cRecordingWF* wf = nullptr;
    vek::cWindow* window = MakeWindow("screen", &wf);
    ASSERT_TRUE(Run(kFillWindow));
    ASSERT_TRUE(vek::GetScript()->CallFunction("FillWindow", window));
    EXPECT_EQ(Global("filled"), "btn");
    ASSERT_EQ(window->GetControlCount(), 18u);  // control 0 and one of each of the 17 classes
    EXPECT_EQ(std::string(window->GetControl(17)->ClassName()), "cCtrl");
    EXPECT_FALSE(window->GetControl(17)->GetState(vek::cCtrl::e_Visibility));

    // Image lists do not take text rows.
    auto* images = dynamic_cast<vek::cImageListSysCtrl*>(window->GetControl(window->FindControl("imgs")));
    auto* tools = dynamic_cast<vek::cToolbarSysCtrl*>(window->GetControl(window->FindControl("tools")));
    ASSERT_NE(images, nullptr);
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(images->GetItemCount(), 0u);
    EXPECT_EQ(tools->GetItemCount(), 0u);

    ASSERT_EQ(m_pGUI->ShowWindow("screen"), 0);
    m_pGUI->Draw();

    // Client pixels: y runs down from the top of the 768-pixel viewport.
    auto click = [&](int x, int guiY) {
        m_pGUI->OnMouseMove(x, 768 - guiY);
        m_pGUI->OnMouseButton(false, 0, x, 768 - guiY);
        m_pGUI->OnMouseButton(true, 0, x, 768 - guiY);
        m_pGUI->Update(1.0f / 30.0f);
    };

    const unsigned buttonId = static_cast<unsigned>(window->FindControl("btn"));
    click(150, 220);
    EXPECT_EQ(wf->Count(vek::cGUI::e_wndCommand, buttonId), 1);

    const unsigned checkId = static_cast<unsigned>(window->FindControl("chk"));
    click(105, 310);
    EXPECT_EQ(wf->Count(vek::cGUI::e_wndCheck, checkId), 1);

    click(150, 115);
    for (char c : std::string("Hi!")) m_pGUI->OnChar(c);
    m_pGUI->Update(1.0f / 30.0f);

    click(450, 285);  // the first row of the text list (rows run down from its top)

    ASSERT_EQ(Try("local w = theGUI:GetWindow('screen')\n"
                  "checked = w:GetControl(w:FindControl('chk')):IsChecked()\n"
                  "typed = w:GetControl(w:FindControl('edt')):GetText()\n"
                  "local txt = w:GetControl(w:FindControl('txt'))\n"
                  "rows = txt:GetItemCount() .. ' ' .. txt:GetItemText(1) .. ' ' .. txt:GetItemData(1)\n"
                  "picked = txt:IsSelectedItem(0)\n"
                  "bar = w:GetControl(w:FindControl('bar')):GetValue()\n"
                  "theGUI:HideWindow('screen')"),
              "");
    EXPECT_EQ(Global("checked"), "true");
    EXPECT_EQ(Global("typed"), "Hi!");
    EXPECT_EQ(Global("rows"), "2 second 22");
    EXPECT_EQ(Global("picked"), "true");
    EXPECT_EQ(Global("bar"), "1");
    EXPECT_FALSE(m_pGUI->IsWindowShown("screen"));
}

TEST_F(BindFixture, CollectorNeverDeletesWhatNativeOwnersHold)
{
    vek::cWindow* host = MakeWindow("host");
    vek::GetScript()->RegisterVar("host", host);
    ASSERT_EQ(Try("for i = 1, 20 do cButtonSysCtrl(host, 'b' .. i) cListSysCtrl(host, 'l' .. i) end\n"
                  "local w = cWindow(theGUI, nil) w:SetName('scripted') cImageCtrl(w, 'inner')\n"
                  "orphan = cImageCtrl(nil, 'orphan')\n"
                  "widget = _G['vek::cWidget']('scripted widget')\n"
                  "local f = cFont('big') f:Init('a', 'b', 1, 24) f:Texture('none', 64, 64)\n"
                  "f:Char('A', 10, recti(0, 0, 8, 8), 1, 9)\n"
                  "local cursor = theGUI:GetCursor() local again = theGUI:GetWindow('host')\n"
                  "local ctrl = again:GetControl(1)\n"
                  "cursor, again, ctrl = nil, nil, nil\n"
                  "theGUI = nil host = nil"),
              "");

    // Keep the objects that have no native owner: their userdata goes next.
    lua_getglobal(L, "orphan");
    vek::cCtrl* orphan = luabind::object_cast<vek::cCtrl*>(luabind::object(luabind::from_stack(L, -1)));
    lua_getglobal(L, "widget");
    vek::cWidget* widget = luabind::object_cast<vek::cWidget*>(luabind::object(luabind::from_stack(L, -1)));
    lua_pop(L, 2);
    ASSERT_EQ(Try("orphan = nil widget = nil collectgarbage('collect') collectgarbage('collect')"), "");

    // Still alive and usable (a deleted object would be a use after free).
    EXPECT_EQ(host->GetControlCount(), 41u);
    EXPECT_EQ(host->GetControl(40)->GetName(), "l20");
    vek::cWindow* scripted = m_pGUI->GetWindow("scripted");
    ASSERT_NE(scripted, nullptr);
    EXPECT_EQ(scripted->GetControl(1)->GetName(), "inner");
    EXPECT_NE(m_pGUI->GetCursor(), nullptr);
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(orphan->GetName(), "orphan");
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->GetName(), "scripted widget");
    // The font manager owns the script's font.
    const uint32_t big = vek::g_pFontManager->Find("big");
    ASSERT_EQ(big, 1u);
    EXPECT_FLOAT_EQ(vek::g_pFontManager->Get(big)->fLineHeight, 24.0f);
    EXPECT_FLOAT_EQ(vek::g_pFontManager->Get(big)->Glyph('A').advance, 9.0f);

    // Closing the state collects every userdata; the owners delete the
    // objects afterwards exactly once (the fixture deletes the GUI).
    vek::DestroyScript();
    EXPECT_EQ(host->GetControl(1)->GetName(), "b1");
    delete orphan;
    delete widget;
}

TEST_F(BindFixture, ScriptsCannotGiveAnObjectASecondOwner)
{
    vek::cWindow* first = MakeWindow("first");
    vek::cWindow* second = MakeWindow("second");
    vek::GetScript()->RegisterVar("first", first);
    vek::GetScript()->RegisterVar("second", second);
    vek::GetScript()->RegisterVar("usedFunction", first->GetFunction());

    ASSERT_EQ(Try("local c = cImageCtrl(first, 'c')\n"
                  "again = first:AddControl(c) other = second:AddControl(c)\n"
                  "local loose = cLabelCtrl(nil, 'loose') adopted = second:AddControl(loose)\n"
                  "twice = first:AddControl(loose)\n"
                  "none = first:AddControl(nil)\n"
                  "second:SetActiveControl(c) first:SetActiveControl(c)\n"
                  "local w = cWindow(theGUI, usedFunction) w:SetName('borrower')"),
              "");
    EXPECT_EQ(Global("again"), "0");
    EXPECT_EQ(Global("other"), "0");
    EXPECT_EQ(Global("adopted"), "1");
    EXPECT_EQ(Global("twice"), "0");
    EXPECT_EQ(Global("none"), "0");
    EXPECT_EQ(first->GetControlCount(), 2u);
    EXPECT_EQ(second->GetControlCount(), 2u);
    EXPECT_EQ(second->GetControl(1)->GetParent(), second);
    // The focus stays among the window's own controls.
    EXPECT_EQ(second->GetActiveControl(), nullptr);
    EXPECT_EQ(first->GetActiveControl(), first->GetControl(1));

    // The borrower got a function of its own; the GUI's teardown deletes
    // each function once.
    vek::cWindow* borrower = m_pGUI->GetWindow("borrower");
    ASSERT_NE(borrower, nullptr);
    EXPECT_NE(borrower->GetFunction(), first->GetFunction());
    EXPECT_NE(LogContents().find("already belongs"), std::string::npos);

    // Calling a constructor by hand on something that is not a new instance
    // is an error, not a crash.
    lua_register(L, "members", &Members);
    EXPECT_NE(Try("members(cImageCtrl).__init(5, nil, 'x')"), "");
    EXPECT_NE(Try("local c = cImageCtrl(nil, 'y') orphanY = c members(cImageCtrl).__init(c, nil, 'z')"), "");
    lua_getglobal(L, "orphanY");
    delete luabind::object_cast<vek::cCtrl*>(luabind::object(luabind::from_stack(L, -1)));
    lua_pop(L, 1);
}

} // namespace
