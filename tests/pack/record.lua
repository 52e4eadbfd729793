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

setmetatable(_G, { __index = function(_, k) error("unknown global " .. tostring(k), 2) end,
                   __newindex = function(t, k, v) rawset(t, k, v) end })

local chunk, err = loadfile(arg[1])
if not chunk then io.stderr:write(err, "\n") os.exit(2) end
local ok, msg = pcall(chunk)
if not ok then io.stderr:write(tostring(msg), "\n") os.exit(3) end
io.write(table.concat(out, "\n"), "\n")
