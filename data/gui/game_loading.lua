-- The loading screen's window: the island scene and a progress bar. No
-- "label" with the path being loaded: while the window has one, every job
-- waits six frames, which on the whole pack cost more than the loading
-- itself.
function FillWindow(window)
  window:SetName("loading")

  local back = cImageCtrl(window, "back")
  back:SetTexture("gui_loading")
  back:SetPos(0, 0, 0)
  back:SetSize(1024, 768, 0)
  back:SetUVPos(0, 0, 0)
  back:SetUVSize(1, 0.75, 0)

  local progress = cProgressBarSysCtrl(window, "progress")
  progress:SetTexture("gui_loading_progress")
  progress:SetPos(256, 96, 0)
  progress:SetSize(512, 32, 0)
  progress:SetUVPos(0, 0, 0)
  progress:SetUVSize(1, 1, 0)
end
