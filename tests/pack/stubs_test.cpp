// The window scripts are checked under stand-ins of the control classes
// (tests/pack/stub_classes.lua). Those stand-ins must accept nothing the
// engine does not bind: every engine class they name exists in the real
// Lua state with each method and constant they allow. The game's own
// classes are held to the same once the game has registered them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/app/bind_fixture.h"

namespace {

class StubClasses : public bindtest::BindFixture {};

// Returns the faults as one line each, or "" when the stand-ins agree.
const char* const kCompare = R"lua(
local path, broken = ...
local stubs = dofile(path)
if broken then
  stubs.cImageCtrl[2] = stubs.cImageCtrl[2] .. " Frobnicate"
  stubs.cCtrl[3].e_Ignorable = 9
  stubs.cFancyCtrl = { "cCtrl", "" }
end
local faults = {}
local window = cWindow(theGUI, nil)
for _, m in ipairs({ "SetName", "SetActive", "SetModal", "GetName", "IsActive", "IsModal", "GetID" }) do
  if type(window[m]) ~= "function" then faults[#faults + 1] = "cWindow has no method " .. m end
end
local names = {}
for name in pairs(stubs) do names[#names + 1] = name end
table.sort(names)
for _, name in ipairs(names) do
  local c = stubs[name]
  local real = rawget(_G, name)
  if real == nil then
    if not c.game then faults[#faults + 1] = name .. " is not bound" end
  else
    -- Methods are found on objects, not on the class table; the window
    -- owns the probe and deletes it with the GUI.
    local ok, probe = pcall(real, window, "probe")
    if not ok then
      faults[#faults + 1] = name .. "(window, name) fails: " .. tostring(probe)
    else
      local all, cls = {}, name
      while cls do
        for m in stubs[cls][2]:gmatch("%S+") do all[#all + 1] = m end
        cls = stubs[cls][1]
      end
      for _, m in ipairs(all) do
        if type(probe[m]) ~= "function" then faults[#faults + 1] = name .. " has no method " .. m end
      end
    end
    for k, v in pairs(c[3] or {}) do
      if real[k] ~= v then faults[#faults + 1] = name .. "." .. k .. " is " .. tostring(real[k]) end
    end
  end
end
for _, k in ipairs({ "None", "Left", "Center", "Right", "Top", "Middle", "Bottom" }) do
  if type(cAlign[k]) ~= "number" then faults[#faults + 1] = "cAlign." .. k .. " is not bound" end
end
return table.concat(faults, "\n")
)lua";

// Runs the comparison; returns its faults, "" when there are none.
std::string Compare(lua_State* L, bool broken)
{
    const char* repo = std::getenv("VEK_REPO_DIR");
    if (!repo) return "VEK_REPO_DIR is not set";
    const std::string stubs = std::string(repo) + "/tests/pack/stub_classes.lua";
    if (luaL_loadstring(L, kCompare) != 0) return lua_tostring(L, -1);
    lua_pushstring(L, stubs.c_str());
    lua_pushboolean(L, broken);
    if (lua_pcall(L, 2, 1, 0) != 0) return std::string("error: ") + lua_tostring(L, -1);
    const char* faults = lua_tostring(L, -1);
    std::string out = faults ? faults : "no result";
    lua_pop(L, 1);
    return out;
}

TEST_F(StubClasses, AcceptOnlyWhatTheEngineBinds) { EXPECT_EQ(Compare(L, false), ""); }

TEST_F(StubClasses, AMethodAConstantAndAClassTheEngineLacksAreCaught)
{
    const std::string faults = Compare(L, true);
    EXPECT_NE(faults.find("cImageCtrl has no method Frobnicate"), std::string::npos) << faults;
    EXPECT_NE(faults.find("cCtrl.e_Ignorable is 8"), std::string::npos) << faults;
    EXPECT_NE(faults.find("cFancyCtrl is not bound"), std::string::npos) << faults;
}

} // namespace
