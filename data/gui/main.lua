-- The main menu over the island, which draws the backdrop: the greeting on
-- a board of its own above the panel of buttons.
--
-- The greeting's board holds the longest name the name field takes in the
-- greeting's font (gui.name_length of the widest glyph).
function FillWindow(w)
  gui.Window(w, "main", false)
  gui.Frame(w, "greeting", "panel", 216, 548, 592, 72)
  -- The code formats this text with the player's name.
  gui.Label(w, "lbProfile", 232, 560, 560, 48, gui.font.header, "Hello, %s!", cAlign.Center + cAlign.Middle,
            gui.color.title)

  gui.Panel(w, 352, 160, 320, 372)
  gui.Button(w, "btStart", 416, 440, 192, 48, "Play")
  gui.Button(w, "btProfile", 416, 376, 192, 48, "Players")
  gui.Button(w, "btOptions", 416, 312, 192, 48, "Options")
  gui.Button(w, "btExit", 416, 200, 192, 48, "Exit")
end
