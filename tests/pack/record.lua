-- Runs one pack script under stand-ins for the engine's classes and prints
-- every call it makes, one per line, fields separated by tabs:
--   usage: lua5.2 record.lua SCRIPT
-- Only the classes and functions that generated scripts use are stood in
-- for; any other global the script touches is an error.
local out = {}
local function emit(...)
  local t = {}
  for i = 1, select("#", ...) do t[i] = tostring((select(i, ...))) end
  out[#out + 1] = table.concat(t, "\t")
end

local function rect(kind)
  return function(x, y, w, h)
    assert(type(x) == "number" and type(y) == "number" and type(w) == "number" and type(h) == "number",
           kind .. " needs four numbers")
    return { kind = kind, x = x, y = y, w = w, h = h }
  end
end
rectf, recti = rect("rectf"), rect("recti")

local Info = {}
Info.__index = Info
function cTextureInfo(name, reserved)
  assert(type(name) == "string" and type(reserved) == "boolean", "cTextureInfo(name, reserved)")
  emit("info", name, tostring(reserved))
  return setmetatable({}, Info)
end
function Info:AddNode(name, r, columns, rows, rate)
  assert(type(name) == "string", "AddNode: name")
  assert(type(r) == "table", "AddNode: rectangle")
  emit("node", name, r.kind, r.x, r.y, r.w, r.h, columns or 1, rows or 1, rate or 30)
  return 0
end

local Font = {}
Font.__index = Font
function cFont(name)
  assert(type(name) == "string", "cFont(name)")
  emit("font", name)
  return setmetatable({}, Font)
end
function Font:Init(a, b, n, lh) emit("init", a, b, n, lh) end
function Font:Texture(name, w, h) emit("texture", name, w, h) end
function Font:Transform(s, x, y) emit("transform", s, x, y) end
function Font:Char(ch, width, r, left, advance)
  assert(type(ch) == "string" and #ch >= 1, "Char: character")
  assert(type(r) == "table" and r.kind == "recti", "Char: recti")
  emit("char", string.byte(ch), width, r.x, r.y, r.w, r.h, left, advance)
end

local Job = {}
Job.__index = Job
function Job:SetParameters(n) emit("param", n) end
local function job(kind)
  return function(path, reserved)
    assert(type(path) == "string", kind .. ": path")
    emit("job", kind, path, tostring(reserved))
    return setmetatable({}, Job)
  end
end
cLoadTexture, cLoadFont, cLoadSound, cLoadMusic = job("texture"), job("font"), job("sound"), job("music")

-- The locale objects: every assignment is recorded with its text as hex, so
-- that line breaks and any byte survive the trip.
local function texts(which)
  local store = {}
  return setmetatable({}, {
    __index = store,
    __newindex = function(_, k, v)
      assert(type(v) == "string", which .. "." .. tostring(k) .. " must be a string")
      emit("set", which, k, (v:gsub(".", function(c) return string.format("%02x", c:byte()) end)))
      store[k] = v
    end })
end
locale, vek_locale = texts("locale"), texts("vek_locale")

-- Window scripts: the control classes with the methods their Lua bindings
-- give (engine controls and the game's own), each constructed as
-- Class(parent window or nil, name). A method a class does not have is an
-- error, as it would be in the game.
local function enum(t) return t end
cAlign = enum { None = 0, Left = 1, Center = 2, Right = 4, Top = 8, Middle = 16, Bottom = 32 }
-- The classes, their bases, methods and constants: shared with the test
-- that holds them against the engine's real bindings.
local classes = dofile((arg[0]:match("^(.*/)") or "./") .. "stub_classes.lua")

local Window = {}
Window.__index = function(_, k)
  local known = { SetName = true, SetActive = true, SetModal = true, GetName = true, IsActive = true,
                  IsModal = true, GetID = true }
  if not known[k] then error("cWindow has no method " .. tostring(k), 2) end
  return function(self, ...)
    emit("window", k, ...)
    if k == "GetName" then return self.name end
    if k == "SetName" then self.name = ... end
  end
end

local function has_method(cls, m)
  while cls do
    local c = classes[cls]
    if (" " .. c[2] .. " "):find(" " .. m .. " ", 1, true) then return true end
    cls = c[1]
  end
  return false
end

local function arg_text(v)
  if type(v) == "table" and getmetatable(v) and getmetatable(v).ctrl then return "ctrl:" .. v.name end
  -- One call per line, fields split by tabs: both are escaped in texts.
  return (tostring(v):gsub("[\n\t\\]", { ["\n"] = "\\n", ["\t"] = "\\t", ["\\"] = "\\\\" }))
end

for cname, c in pairs(classes) do
  local mt = {}
  mt.ctrl = true
  mt.__index = function(self, m)
    if not has_method(cname, m) then error(cname .. " has no method " .. tostring(m), 2) end
    return function(obj, ...)
      if obj ~= self then error(cname .. ":" .. m .. " called without its object", 2) end
      local t = { "call", self.name, m }
      for i = 1, select("#", ...) do
        local v = select(i, ...)
        if type(v) ~= "number" and type(v) ~= "string" and type(v) ~= "boolean" then
          error(cname .. ":" .. m .. ": argument " .. i .. " is a " .. type(v), 2)
        end
        t[#t + 1] = arg_text(v)
      end
      emit(table.unpack(t))
      if m == "GetName" then return self.name end
      if m == "GetState" or m == "GetID" or m == "GetItemCount" then return 0 end
    end
  end
  local cls = setmetatable({}, {
    __index = function(_, k)
      if c[3] and c[3][k] ~= nil then return c[3][k] end
      error(cname .. " has no constant " .. tostring(k), 2)
    end,
    __call = function(_, parent, name)
      if parent ~= nil and getmetatable(parent) ~= Window then error(cname .. ": the parent must be a window", 2) end
      if type(name) ~= "string" then error(cname .. ": the name must be a string", 2) end
      emit("ctrl", cname, name)
      return setmetatable({ name = name }, mt)
    end })
  _G[cname] = cls
end

-- What system.lua publishes before the windows are built: nothing here runs
-- the engine, so loading a file goes straight to Lua.
local function run_file(path)
  local chunk, err = loadfile(path)
  if not chunk then io.stderr:write(err, "\n") os.exit(2) end
  local ok, msg = pcall(chunk)
  if not ok then io.stderr:write(tostring(msg), "\n") os.exit(3) end
end

setmetatable(_G, { __index = function(_, k) error("unknown global " .. tostring(k), 2) end,
                   __newindex = function(t, k, v) rawset(t, k, v) end })

if arg[1] == "--window" then
  -- usage: lua5.2 record.lua --window DATA_FOLDER SCRIPT
  local root = arg[2]
  run_file(root .. "/gui/sprites.lua")
  run_file(root .. "/gui/common.lua")
  -- Every sprite a window asks for is recorded, found or not, so that the
  -- check can hold the names against the manifest.
  local area = rawget(_G, "gui") and gui.Area
  if area then
    gui.Area = function(texture, name)
      emit("area", texture, name)
      return area(texture, name)
    end
  end
  rawset(_G, "FillWindow", nil)
  run_file(arg[3])
  local fill = rawget(_G, "FillWindow")
  if type(fill) ~= "function" then io.stderr:write("FillWindow is not defined\n") os.exit(4) end
  local ok, msg = pcall(fill, setmetatable({ name = "" }, Window))
  if not ok then io.stderr:write(tostring(msg), "\n") os.exit(3) end
else
  run_file(arg[1])
end
io.write(table.concat(out, "\n"), "\n")
