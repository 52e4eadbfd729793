-- Start-up script of the game: the helpers the window scripts share, and
-- the settings the game keeps between runs in "{AppPath}/conf/settings.lua".
--
-- That file is code the game runs at every start, so it is written with
-- literals only (a player's name cannot inject anything) and replaced in
-- one step (a crash while writing never leaves half a file). Every value
-- read back is checked; one that is missing, of the wrong type or out of
-- range keeps its default.

GetScript():LoadFile(filename("{StaticPath}/gui/sprites.lua"))
GetScript():LoadFile(filename("{StaticPath}/gui/common.lua"))
-- The skin's sprite areas: the shell loads its picture before the game's
-- Lua classes exist, so they are described here rather than beside it.
GetScript():LoadFile(filename("{StaticPath}/texture/system/gui_system_areas.lua"))

-- What settings.lua fills in: the game runs it before this script, as plain
-- values without the libraries; a file that does not run leaves this empty.
if type(rawget(_G, "settings")) ~= "table" then settings = {} end

-- The display modes the options screen offers.
local MODES = { { 800, 600 }, { 1024, 768 }, { 1152, 720 }, { 1280, 720 }, { 1280, 1024 } }

-- Ranges shared with the options screen's sliders (gui/common.lua); these
-- stand in when that file did not load.
local function range(name, lo, hi)
  local r = rawget(_G, "gui") and gui.range and gui.range[name]
  if type(r) == "table" and type(r[1]) == "number" and type(r[2]) == "number" then return r[1], r[2] end
  return lo, hi
end

-- Calls f in protected mode: a global the game has not bound yet, or a
-- call that fails, gives nil instead of stopping the script.
local function try(f, ...)
  local ok, a, b = pcall(f, ...)
  if ok then return a, b end
  return nil
end

local function finite(v) return type(v) == "number" and v == v and v > -math.huge and v < math.huge end
local function within(v, lo, hi) return finite(v) and v >= lo and v <= hi end
local function whole(v, lo, hi) return within(v, lo, hi) and math.floor(v) == v end

-- The saved values that pass their checks; others are left out.
local function checked()
  local s = rawget(_G, "settings")
  if type(s) ~= "table" then return {} end
  local out = {}
  if type(s.windowed) == "boolean" then out.windowed = s.windowed end
  for _, m in ipairs(MODES) do
    if s.width == m[1] and s.height == m[2] then out.width, out.height = m[1], m[2] end
  end
  local lo, hi = range("gamma", 2.5, 3.5)
  -- The slider shows 4 - gamma.
  if within(s.gamma, 4 - hi, 4 - lo) then out.gamma = s.gamma end
  if within(s.sound, 0, 1) then out.sound = s.sound end
  if within(s.music, 0, 1) then out.music = s.music end
  lo, hi = range("mouse_speed", 0.1, 0.6)
  if within(s.mouse_speed, lo, hi) then out.mouse_speed = s.mouse_speed end
  if whole(s.render_info, -2147483648, 2147483647) then out.render_info = s.render_info end
  if whole(s.cheat_mode, -2147483648, 2147483647) then out.cheat_mode = s.cheat_mode end
  if whole(s.player_counter, 0, 4294967295) then out.player_counter = s.player_counter end
  if type(s.player) == "string" and #s.player > 0 and #s.player <= 255 then out.player = s.player end
  return out
end

-- Called after settings.lua ran: the display mode and the gamma.
function LoadHardwareSettings()
  local s = checked()
  if s.windowed ~= nil or s.width then
    local windowed = try(function() return theEngine:IsWindowed() end)
    local w, h = try(function() return theEngine:GetClientSize() end)
    local want_windowed = s.windowed
    if want_windowed == nil then want_windowed = windowed end
    local want_w, want_h = s.width or w, s.height or h
    if want_windowed ~= nil and want_w and want_h
       and (want_windowed ~= windowed or want_w ~= w or want_h ~= h) then
      try(function() display(want_windowed, want_w, want_h, 0) end)
    end
  end
  if s.gamma then try(function() theEngine:SetGamma(s.gamma) end) end
end

-- Called when loading has finished: volumes, the game's settings record
-- and the current player.
function LoadSettings()
  local s = checked()
  if s.sound then try(function() GetSound():SetVolume(cSoundManager.e_Sound, s.sound) end) end
  if s.music then try(function() GetSound():SetVolume(cSoundManager.e_Music, s.music) end) end
  if s.mouse_speed or s.render_info or s.cheat_mode then
    try(function()
      local record = theGame.m_Settings
      if s.mouse_speed then record.fMouseSpeed = s.mouse_speed end
      if s.render_info then record.iRenderInfo = s.render_info end
      if s.cheat_mode then record.iCheatMode = s.cheat_mode end
      -- Written back whole, whether the property hands out a copy or not.
      theGame.m_Settings = record
    end)
  end
  if s.player_counter then try(function() theGame:SetPlayerCounter(s.player_counter) end) end
  if s.player then try(function() theGame:ChangePlayer(s.player) end) end
end

-- A Lua literal of a value, or nil for one that has none.
local function literal(v)
  if type(v) == "boolean" then return tostring(v) end
  if type(v) == "string" then return string.format("%q", v) end
  if finite(v) then
    if math.floor(v) == v and v >= -2 ^ 53 and v <= 2 ^ 53 then return string.format("%d", v) end
    return string.format("%.17g", v)
  end
  return nil
end

-- Called at exit, and when the profile screens change the current player,
-- with the path of settings.lua: writes every value the engine and the game
-- report. The game writes the file whole (a temporary file of a fresh name,
-- on disk before it is renamed over path); without the game's writer, to
-- path .. ".tmp", then renamed over path.
function WriteSettings(path)
  if type(path) ~= "string" or path == "" then return end
  local values = {}
  values.windowed = try(function() return theEngine:IsWindowed() end)
  values.width, values.height = try(function() return theEngine:GetClientSize() end)
  values.gamma = try(function() return theEngine:GetGamma() end)
  -- The engine reads the gamma back from its ramp, a little off the value
  -- it was set to; kept to three decimals, the value stays the same from
  -- one start to the next instead of creeping.
  if finite(values.gamma) then values.gamma = math.floor(values.gamma * 1000 + 0.5) / 1000 end
  values.sound = try(function() return GetSound():GetVolume(cSoundManager.e_Sound) end)
  values.music = try(function() return GetSound():GetVolume(cSoundManager.e_Music) end)
  try(function()
    local record = theGame.m_Settings
    values.mouse_speed = record.fMouseSpeed
    values.render_info = record.iRenderInfo
    values.cheat_mode = record.iCheatMode
  end)
  values.player = try(function() return theGame:GetName() end)
  values.player_counter = try(function() return theGame:GetPlayerCounter() end)

  local lines = { "-- Written by the game at exit; plain values only.", "settings = {" }
  for _, key in ipairs({ "windowed", "width", "height", "gamma", "sound", "music", "mouse_speed", "render_info",
                         "cheat_mode", "player", "player_counter" }) do
    local text = literal(values[key])
    if text then lines[#lines + 1] = "  " .. key .. " = " .. text .. "," end
  end
  lines[#lines + 1] = "}"
  local text = table.concat(lines, "\n") .. "\n"

  -- The game's writer logs what it could not write.
  local written = try(function() return theGame:WriteSettingsFile(path, text) end)
  if written ~= nil then return end

  local tmp = path .. ".tmp"
  -- Whatever is at the temporary name (a link left there, say) is replaced,
  -- never written through.
  os.remove(tmp)
  local f = io.open(tmp, "wb")
  if not f then
    -- The folder may not exist yet on a first run.
    try(function() cFileSystem():CreateFolder(filename(filename(path):dir())) end)
    f = io.open(tmp, "wb")
  end
  if not f then return end
  local ok = f:write(text)
  ok = f:close() and ok
  if ok then
    os.rename(tmp, path)
  else
    os.remove(tmp)
  end
end

-- On a first run no settings file exists and LoadHardwareSettings is not
-- called: ask for a 1024 x 768 window rather than the full screen the game
-- opens with (on a small work area the game turns it back to full screen).
if try(function() return not cFileSystem():Exist(filename("{AppPath}/conf/settings.lua")) end) then
  try(function() display(true, 1024, 768, 0) end)
end
