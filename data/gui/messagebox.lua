-- The message box: a question or an error with its picture, and the two
-- answers. The code fills the title, the text and the pictures.
function FillWindow(w)
  gui.Window(w, "messagebox", true)
  gui.Panel(w, 272, 224, 480, 320)

  local image = gui.Control(cImageCtrl, w, "image", 304, 384, 96, 96)
  gui.Picture(image, "icon_question")
  local icon = gui.Control(cImageCtrl, w, "icon", 672, 472, 48, 48)
  gui.Picture(icon, "icon_head")

  gui.Label(w, "title", 304, 488, 360, 36, gui.font.header, "", cAlign.Left + cAlign.Middle, gui.color.title)
  gui.Label(w, "text", 416, 312, 312, 168, gui.font.text, "", cAlign.Left + cAlign.Top, gui.color.text,
            cTextBoxSysCtrl)

  gui.Button(w, "ok", 312, 248, 192, 48, "OK")
  gui.Button(w, "cancel", 520, 248, 192, 48, "Cancel")
end
