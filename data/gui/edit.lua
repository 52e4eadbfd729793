-- Building on the island: a tab for each kind of building above a toolbar
-- of the buildings of that kind.
function FillWindow(w)
  gui.Window(w, "edit", false)

  gui.Ignorable(gui.Frame(w, "toolbar_back", "panel", 8, 8, 1008, 96))
  local t = gui.Control(cToolbarCtrl, w, "toolbar", 24, 24, 976, 64)
  t:SetSize(64, 64, cCtrl.e_lstItems)
  t:SetTexture("icons01")

  gui.Tab(w, "market", 24, 104, 140, 40, "Markets")
  gui.Tab(w, "house", 168, 104, 140, 40, "Houses")
  gui.Tab(w, "factory", 312, 104, 140, 40, "Factories")
  gui.Tab(w, "special", 456, 104, 140, 40, "Special")
end
