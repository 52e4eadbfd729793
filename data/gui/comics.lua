-- The comic strip's own control: the button that turns the page, in the
-- strip below the pictures, under the last one's right edge.
function FillWindow(w)
  gui.Window(w, "comics", false)
  gui.Button(w, "next", 826, 12, 152, 44, "Next", "button_wide")
end
