-- The comic strip's own control: the button that turns the page.
function FillWindow(w)
  gui.Window(w, "comics", false)
  gui.Button(w, "next", 860, 16, 152, 44, "Next", "button_wide")
end
