-- Logs every call the menu makes into "/test/log".
local function Log(text) registry:Set("/test/log", (registry:Get("/test/log") or "") .. text .. " ") end
function Screen:Initialize() end
function Screen:FirstRun() Log("FirstRun") end
function Screen:NewHighScore() Log("NewHighScore") end
-- The pause screen shows the score: it is logged as the screen would read it.
function Screen:ShowMenu(which)
  if which == "PauseMenu" then which = which .. ":" .. tostring(registry:Get("/quor/game/score")) end
  Log("ShowMenu:" .. which)
end
function Screen:OnMultitouchMove(dy) Log("Move:" .. dy) end
function Screen:UpdateTexts() Log("Texts") end
