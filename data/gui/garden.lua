-- The level's garden: the three toolbars below and above the field, and
-- the three factory panels that slide in at the left. Nothing here takes
-- input inside the field (130, 130)-(870, 670); the garden is not modal.
local STEP = 67 -- a toolbar item is 64 wide with a gap of 3

-- A toolbar of n items at (x, y) with its left, centre and right pieces.
local function toolbar(w, name, x, y, n)
  local width = STEP * n - 3
  gui.Ignorable(gui.Frame(w, "left_" .. name, "frame", x - 12, y - 8, 16, 80))
  gui.Ignorable(gui.Frame(w, "center_" .. name, "panel", x + 4, y - 8, width - 8, 80))
  gui.Ignorable(gui.Frame(w, "right_" .. name, "frame", x + width - 4, y - 8, 16, 80))
  local t = gui.Control(cToolbarCtrl, w, name, x, y, width, 64)
  t:SetSize(64, 64, cCtrl.e_lstItems)
  t:SetTexture("gui_plants")
  return t
end

function FillWindow(w)
  gui.Window(w, "garden", false)

  -- Behind everything, never hit: the window function disables it. It has
  -- no picture, and a control without one draws a plain white quad: kept
  -- out of sight, or it would cover the whole field.
  local main = gui.Control(cImageCtrl, w, "MainFrame", 0, 0, 1024, 768)
  gui.Ignorable(main)
  main:DisableState(cCtrl.e_Visibility)

  toolbar(w, "plants", 24, 28, 10)
  toolbar(w, "grass", 724, 28, 2)
  toolbar(w, "animals", 380, 692, 4)

  -- The factory panels: a button as their face, what goes in, its count,
  -- the arrow, what comes out and the progress of the work.
  for i = 0, 2 do
    local y = 500 - 130 * i
    gui.Button(w, "but_" .. i, 4, y, 122, 112, nil, "button_wide")
    gui.Control(cImageCtrl, w, "img0_" .. i, 12, y + 56, 40, 40)
    gui.Label(w, "lb0_" .. i, 12, y + 36, 40, 20, gui.font.small, "", cAlign.Center + cAlign.Middle)
    local arrow = gui.Control(cImageCtrlEx, w, "arrow_" .. i, 54, y + 64, 24, 24)
    gui.Picture(arrow, gui.skin, "factory_arrow")
    arrow:SetColor(1, 1, 1, 1)
    gui.Control(cImageCtrl, w, "img1_" .. i, 80, y + 56, 40, 40)
    gui.Image(w, "back_progress_" .. i, gui.skin, "progress_back", 12, y + 12, 106, 16)
    gui.Progress(w, "progress_" .. i, 12, y + 12, 106, 16)
  end
end
