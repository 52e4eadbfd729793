-- Helpers shared by the window scripts: controls made by class and name,
-- placed and sized in the 1024 x 768 GUI space (origin bottom-left, y up),
-- with their font, text and a picture taken by texture and area from the
-- generated sprite table (gui/sprites.lua).
--
-- A picture that the table does not hold leaves the control without one
-- rather than failing the window: the screen still works, only unskinned.
gui = {}

-- Fonts of the pack.
gui.font = {
  system = "system",
  small = "text14",
  text = "text18",
  header = "header24x24",
  title = "title32",
}

-- Text colours.
gui.color = {
  text = { 0.22, 0.16, 0.08 },
  light = { 1, 0.97, 0.86 },
  title = { 0.45, 0.2, 0.05 },
}

-- The value ranges of the options' sliders, in one place. Gamma is shown
-- inverted (the slider holds 4 - gamma), so its range is 4 - 1.5 .. 4 - 0.5.
gui.range = {
  sound = { 0, 1 },
  music = { 0, 1 },
  mouse_speed = { 0.1, 0.6 },
  gamma = { 2.5, 3.5 },
  -- The profile list's scroll bar; the code sets it from the player count.
  list = { 0, 1 },
}

-- The longest player name the name field takes.
gui.name_length = 16

-- The skin texture and the border width of its nine-part frames, in pixels.
gui.skin = "gui_system"
gui.border = 16

-- The area record of a texture's sprite, or nil.
function gui.Area(texture, area)
  local t = sprites and sprites[texture]
  return t and t[area]
end

-- The uv rectangle (u, v, w, h) of one frame of an area; frame 0 is the
-- top-left cell. Rows are cut from the high-v edge downward, so row r lies
-- at v + h - (r + 1) * (h / rows).
function gui.FrameUV(a, frame)
  frame = frame or 0
  local cols, rows = a.columns or 1, a.rows or 1
  local cw, ch = a.w / cols, a.h / rows
  local c, r = frame % cols, math.floor(frame / cols)
  return a.u + c * cw, a.v + a.h - (r + 1) * ch, cw, ch
end

-- The uv size of n pixels of the area's texture (sideways, upward).
local function texel(a, n)
  return n * a.w / (a.fw * (a.columns or 1)), n * a.h / (a.fh * (a.rows or 1))
end

-- Makes a control of the class with the name in window w, at (x, y) with
-- size (width, height) when given.
function gui.Control(class, w, name, x, y, width, height)
  local c = class(w, name)
  if x then c:SetPos(x, y, 0) end
  if width then c:SetSize(width, height, 0) end
  return c
end

-- Font, text, colour and alignment of a text control.
function gui.Text(c, font, text, align, color)
  c:SetFontPrt(font or gui.font.text)
  if align then c:SetAlign(align) end
  if text then c:SetText(text) end
  if color then c:SetColor(color[1], color[2], color[3]) end
  return c
end

-- An image with one frame of a sprite area as its picture. Without a size
-- the image takes the frame's pixel size.
function gui.Image(w, name, texture, area, x, y, width, height, class)
  local a = gui.Area(texture, area)
  if not width and a then width, height = a.fw, a.fh end
  local c = gui.Control(class or cImageCtrl, w, name, x, y, width, height)
  gui.Picture(c, texture, area)
  return c
end

-- Sets an image's picture to frame 'frame' of the area; a whole texture
-- when area is nil.
function gui.Picture(c, texture, area, frame)
  if not area then
    c:SetTexture(texture)
    c:SetUVPos(0, 0, 0)
    c:SetUVSize(1, 1, 0)
    return
  end
  local a = gui.Area(texture, area)
  if not a then return end
  local u, v, uw, vh = gui.FrameUV(a, frame)
  c:SetTexture(texture)
  c:SetUVPos(u, v, 0)
  c:SetUVSize(uw, vh, 0)
end

-- A decoration that the mouse passes through: clicks reach what is below.
function gui.Ignorable(c)
  c:EnableState(cCtrl.e_Ignorable)
  return c
end

-- A nine-part frame (cFrameCtrl or a class built on it) over the rectangle,
-- with the skin area as its picture.
function gui.Frame(w, name, area, x, y, width, height, class)
  local c = gui.Control(class or cFrameCtrl, w, name, x, y, width, height)
  local a = gui.Area(gui.skin, area)
  if a then
    local u, v, uw, vh = gui.FrameUV(a)
    c:SetTexture(gui.skin)
    c:SetUVPos(u, v, 0)
    c:SetUVSize(uw, vh, 0)
    c:SetSize(gui.border, gui.border, cCtrl.e_frmBorder)
    local bu, bv = texel(a, gui.border)
    c:SetUVSize(bu, bv, cCtrl.e_frmBorder)
  end
  return c
end

-- A label (cLabelSysCtrl unless a class is given).
function gui.Label(w, name, x, y, width, height, font, text, align, color, class)
  local c = gui.Control(class or cLabelSysCtrl, w, name, x, y, width, height)
  return gui.Text(c, font, text, align or cAlign.Left + cAlign.Middle, color or gui.color.text)
end

-- A game button: its four pictures lie in one column of the skin area, the
-- normal one on top; the button finds the others below it from the state
-- column's uv origin and cell height.
function gui.Button(w, name, x, y, width, height, text, area, class)
  local c = gui.Control(class or cButtonCtrl, w, name, x, y, width, height)
  local a = gui.Area(gui.skin, area or "button")
  if a then
    local u, v, uw, vh = gui.FrameUV(a)
    c:SetTexture(gui.skin, cCtrl.e_btnNormal)
    c:SetUVSize(uw, vh, cCtrl.e_btnNormal)
    c:SetUVPos(u, v, 0)
    c:SetSize(gui.border, gui.border, cCtrl.e_frmBorder)
    local bu, bv = texel(a, gui.border)
    c:SetUVSize(bu, bv, cCtrl.e_frmBorder)
  end
  c:SetFontPrt(gui.font.text)
  c:SetColor(gui.color.light[1], gui.color.light[2], gui.color.light[3])
  if text then c:SetText(text) end
  return c
end

-- A tab button: the skin's tab area holds its pictures in the button's
-- order (normal, checked as the pushed picture, hover, disabled). The
-- caption is dark: the checked tab is as light as the panel it joins.
function gui.Tab(w, name, x, y, width, height, text)
  local c = gui.Button(w, name, x, y, width, height, text, "tab", cTabButtonCtrl)
  c:SetColor(gui.color.text[1], gui.color.text[2], gui.color.text[3])
  return c
end

-- A check box: the box picture and the checked picture, each with its hover
-- picture directly below.
function gui.CheckBox(w, name, x, y, size, class)
  local c = gui.Control(class or cCheckBoxCtrl, w, name, x, y, size, size)
  for _, part in ipairs({ { "check", cCtrl.e_cbNormal }, { "check_checked", cCtrl.e_cbPush } }) do
    local a = gui.Area(gui.skin, part[1])
    if a then
      local u, v, uw, vh = gui.FrameUV(a)
      c:SetTexture(gui.skin, part[2])
      c:SetUVPos(u, v, part[2])
      c:SetUVSize(uw, vh, part[2])
    end
  end
  c:SetFontPrt(gui.font.text)
  return c
end

-- A slider with the range named in gui.range; vertical when asked, with the
-- skin's upright pictures. Each picture has its hover state in the cell below.
function gui.Slider(w, name, x, y, width, height, range, vertical, class)
  local c = gui.Control(class or cSliderCtrlEx, w, name, x, y, width, height)
  if vertical then c:SetVertical(true) end
  local suffix = vertical and "_v" or ""
  local track = gui.Area(gui.skin, "slider_track" .. suffix)
  local knob = gui.Area(gui.skin, "slider_knob" .. suffix)
  if track then
    local u, v, uw, vh = gui.FrameUV(track)
    c:SetTexture(gui.skin, 0)
    c:SetUVPos(u, v, 0)
    c:SetUVSize(uw, vh, 0)
  end
  if knob then
    local u, v, uw, vh = gui.FrameUV(knob)
    c:SetTexture(gui.skin, cCtrl.e_sldImage)
    c:SetUVPos(u, v, cCtrl.e_sldImage)
    c:SetUVSize(uw, vh, cCtrl.e_sldImage)
    if vertical then
      c:SetSize(width, knob.fh, cCtrl.e_sldImage)
    else
      c:SetSize(knob.fw, height, cCtrl.e_sldImage)
    end
  end
  local r = gui.range[range or "sound"]
  c:SetMinMax(r[1], r[2])
  return c
end

-- A text list with the skin's selection bar and rows of the given height.
function gui.List(w, name, x, y, width, height, row)
  local c = gui.Control(cListSysCtrl, w, name, x, y, width, height)
  c:SetSize(width, row or 28, cCtrl.e_lstItems)
  local a = gui.Area(gui.skin, "list_select")
  if a then
    local u, v, uw, vh = gui.FrameUV(a)
    c:SetTexture(gui.skin, cCtrl.e_lstSelection)
    c:SetUVPos(u, v, cCtrl.e_lstSelection)
    c:SetUVSize(uw, vh, cCtrl.e_lstSelection)
  end
  c:SetFontPrt(gui.font.text)
  c:SetColor(gui.color.text[1], gui.color.text[2], gui.color.text[3], cCtrl.e_lstNormal)
  c:SetColor(gui.color.title[1], gui.color.title[2], gui.color.title[3], cCtrl.e_lstHighlight)
  return c
end

-- A progress bar on the skin's bar picture.
function gui.Progress(w, name, x, y, width, height)
  local c = gui.Control(cProgressBarSysCtrl, w, name, x, y, width, height)
  local a = gui.Area(gui.skin, "progress_fill")
  if a then
    local u, v, uw, vh = gui.FrameUV(a)
    c:SetTexture(gui.skin)
    c:SetUVPos(u, v, 0)
    c:SetUVSize(uw, vh, 0)
  end
  return c
end

-- A window's panel: a nine-part frame with a title label on top.
function gui.Panel(w, x, y, width, height, title)
  gui.Frame(w, "panel", "panel", x, y, width, height)
  if title then
    gui.Label(w, "caption_static", x, y + height - 56, width, 40, gui.font.title, title,
              cAlign.Center + cAlign.Middle, gui.color.title)
  end
end

-- The flags every window that takes input sets.
function gui.Window(w, name, modal)
  w:SetName(name)
  w:SetActive(true)
  w:SetModal(modal and true or false)
end

-- A comic page: each picture an image control named by its delay in
-- seconds after the previous one ("#" in front: it fades in without
-- zooming). The page's pictures share one texture, a 2 x 2 grid of
-- 512 x 512 cells, each picture 480 x 352 at its cell's lower left corner
-- plus (16, 16); places are the pictures' positions on the screen. They
-- are shown a little smaller, 458 x 336, which leaves the comics window's
-- button a strip below the pictures. The page window itself is never
-- shown, so it takes no input.
function gui.ComicPage(w, name, texture, delays, places)
  w:SetName(name)
  w:SetActive(false)
  w:SetModal(false)
  for i, delay in ipairs(delays) do
    local col, row = (i - 1) % 2, math.floor((i - 1) / 2)
    local c = cImageCtrl(w, delay)
    c:SetTexture(texture)
    c:SetPos(places[i][1], places[i][2], 0)
    c:SetSize(458, 336, 0)
    c:SetUVPos(col * 0.5 + 16 / 1024, 0.5 - row * 0.5 + 16 / 1024, 0)
    c:SetUVSize(480 / 1024, 352 / 1024, 0)
  end
end
