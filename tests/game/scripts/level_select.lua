-- Logs every call the level select makes into "/test/log".
local function Log(text) registry:Set("/test/log", (registry:Get("/test/log") or "") .. text .. " ") end
function Screen:Initialize() end
function Screen:OnMultitouchMove(dx, dy) Log("Move:" .. dx .. "," .. dy) end
