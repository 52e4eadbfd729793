-- The message box: a question or an error with its picture, and the two
-- answers. The code fills the title, the text and the pictures.
--
-- The text box is as wide as a player's name needs: the questions and
-- notices about a player name it, and the longest name the name field takes
-- in the widest glyph is one word the box cannot wrap.
function FillWindow(w)
  gui.Window(w, "messagebox", true)
  gui.Panel(w, 200, 224, 624, 320)

  local image = gui.Control(cImageCtrl, w, "image", 232, 384, 96, 96)
  gui.Picture(image, "icon_question")
  local icon = gui.Control(cImageCtrl, w, "icon", 744, 472, 48, 48)
  gui.Picture(icon, "icon_head")

  gui.Label(w, "title", 232, 488, 496, 36, gui.font.header, "", cAlign.Left + cAlign.Middle, gui.color.title)
  gui.Label(w, "text", 344, 312, 448, 168, gui.font.text, "", cAlign.Left + cAlign.Top, gui.color.text,
            cTextBoxSysCtrl)

  gui.Button(w, "ok", 312, 248, 192, 48, "OK")
  gui.Button(w, "cancel", 520, 248, 192, 48, "Cancel")
end
