-- Runs conf/system.lua against stand-ins of the engine and the game and
-- prints the state they end in, one "key<TAB>value" line each:
--   lua5.2 settings.lua DATA_FOLDER APP_FOLDER write   -- state A, WriteSettings
--   lua5.2 settings.lua DATA_FOLDER APP_FOLDER load    -- defaults, settings.lua, the two loaders
-- The settings file is APP_FOLDER/conf/settings.lua.
local root, app, mode = arg[1], arg[2], arg[3]

local function expand(p)
  return (p:gsub("{StaticPath}", root):gsub("{AppPath}", app))
end

local state = {
  windowed = false, width = 1024, height = 768, gamma = 1.0, sound = 0.5, music = 0.5,
  mouse_speed = 0.3, render_info = 0, cheat_mode = 0, player = "Default", player_counter = 1,
  display_calls = 0,
}
local File = {}
File.__index = File
function filename(p) return setmetatable({ path = expand(p) }, File) end
function File:dir() return (self.path:match("^(.*)/[^/]*$")) or "" end

local Host = {}
function Host:LoadFile(f)
  local chunk = loadfile(f.path)
  return chunk ~= nil and pcall(chunk)
end
function GetScript() return Host end

local Fs = {}
Fs.__index = Fs
function cFileSystem() return setmetatable({}, Fs) end
function Fs:Exist(f)
  local h = io.open(f.path, "rb")
  if h then h:close() end
  return h ~= nil
end
function Fs:CreateFolder(f) os.execute("mkdir -p '" .. f.path .. "'") return true end

function display(windowed, w, h, bits)
  state.windowed, state.width, state.height = windowed, w, h
  state.display_calls = state.display_calls + 1
  return true
end

theEngine = {}
function theEngine:IsWindowed() return state.windowed end
function theEngine:GetClientSize() return state.width, state.height end
function theEngine:GetGamma() return state.gamma end
function theEngine:SetGamma(g) state.gamma = g end

cSoundManager = { e_All = 0, e_Sound = 1, e_Music = 2 }
local Sound = {}
function Sound:GetVolume(k) return k == 1 and state.sound or state.music end
function Sound:SetVolume(k, v) if k == 1 then state.sound = v else state.music = v end end
function GetSound() return Sound end

-- The settings record is handed out as a copy, as a by-value property may be.
local Game = {}
function Game.GetName() return state.player end
function Game.ChangePlayer(_, name) state.player = name return 0 end
function Game.GetPlayerCounter() return state.player_counter end
function Game.SetPlayerCounter(_, n) state.player_counter = n end
theGame = setmetatable({}, {
  __index = function(_, k)
    if Game[k] then return Game[k] end
    if k == "m_Settings" then
      return { fMouseSpeed = state.mouse_speed, iRenderInfo = state.render_info, iCheatMode = state.cheat_mode }
    end
  end,
  __newindex = function(_, k, v)
    if k ~= "m_Settings" then error("no property " .. k) end
    state.mouse_speed, state.render_info, state.cheat_mode = v.fMouseSpeed, v.iRenderInfo, v.iCheatMode
  end })

local path = app .. "/conf/settings.lua"
local before = { state.windowed, state.width, state.height }
local ok, err = pcall(dofile, root .. "/conf/system.lua")
if not ok then io.stderr:write("system.lua: ", tostring(err), "\n") os.exit(3) end
-- The first-run window is asked for before any settings are read.
-- Its effect is reported on its own and then undone, so that what follows
-- compares the settings alone.
state.first_run_display = state.display_calls
state.display_calls = 0
state.windowed, state.width, state.height = before[1], before[2], before[3]

-- At exit: a state other than the defaults, and a name that would break a writer
-- that does not quote it.
if mode == "write" then
  state.windowed, state.width, state.height, state.gamma = true, 1280, 720, 1.25
  state.sound, state.music, state.mouse_speed = 0.25, 0.75, 0.45
  state.render_info, state.cheat_mode, state.player_counter = 1, 3, 7
  state.player = "Jo \"Q\" ]] [[x\n'\\' \200\255 %s\0end"
end


if mode == "write" then
  WriteSettings(path)
else
  local chunk = loadfile(path)
  if chunk and pcall(chunk) then LoadHardwareSettings() end
  LoadSettings()
end

local keys = {}
for k in pairs(state) do keys[#keys + 1] = k end
table.sort(keys)
for _, k in ipairs(keys) do
  local v = state[k]
  io.write(k, "\t", type(v) == "string" and (v:gsub(".", function(c) return string.format("%02x", c:byte()) end))
           or tostring(v), "\n")
end
