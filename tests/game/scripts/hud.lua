-- Logs every call play makes into "/test/log", with its arguments.
local function Log(name, ...)
  local text = name
  for i = 1, select("#", ...) do text = text .. ":" .. tostring(select(i, ...)) end
  registry:Set("/test/log", (registry:Get("/test/log") or "") .. text .. " ")
end
-- Counts the HUDs made into "/test/huds": one for every load of play.
function Screen:Initialize()
  registry:Set("/test/huds", (registry:Get("/test/huds") or 0) + 1)
end
for _, name in ipairs({"ShowHUD", "ActivateTimer", "UpdateLevelData", "SetFruitPointsValue", "UpdateFruitPoints",
                       "ShowTutorialText", "ShowTutorialArrow", "AnimateTutorialTool", "ShowTapToContinue"}) do
  Screen[name] = function(self, ...) Log(name, ...) end
end
