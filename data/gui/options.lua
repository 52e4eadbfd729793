-- The options: volumes, gamma, mouse speed, the display mode and the hints.
function FillWindow(w)
  gui.Window(w, "options", true)
  gui.Panel(w, 232, 64, 560, 640, "Options")

  local rows = {
    { "slSound", "Sound", "sound" },
    { "slMusic", "Music", "music" },
    { "slGamma", "Brightness", "gamma" },
    { "slMouseSpeed", "Mouse speed", "mouse_speed" },
  }
  for i, row in ipairs(rows) do
    local y = 588 - 52 * (i - 1)
    gui.Label(w, row[1] .. "_label", 264, y, 200, 32, gui.font.text, row[2])
    gui.Slider(w, row[1], 472, y + 8, 280, 16, row[3])
  end

  gui.Label(w, "lstResolution_label", 264, 348, 200, 32, gui.font.text, "Screen size")
  gui.Frame(w, "lstResolution_back", "frame", 472, 228, 280, 152)
  -- The code inserts the display modes.
  gui.List(w, "lstResolution", 480, 236, 264, 136, 26)

  gui.CheckBox(w, "cbWindowed", 264, 184, 32)
  gui.Label(w, "cbWindowed_label", 304, 184, 200, 32, gui.font.text, "In a window")
  gui.CheckBox(w, "cbHints", 520, 184, 32)
  gui.Label(w, "cbHints_label", 560, 184, 200, 32, gui.font.text, "Show hints")

  gui.Button(w, "btBack", 416, 88, 192, 48, "Back")
end
