-- A second component, to show the updater's order.
function Screen:Initialize() end
function Screen:Update(dt) hud:LuaFeedback("Update") end
function Screen:OnKeyDown(key) hud:LuaFeedback("Key" .. key) end
function Screen:OnKeyUp(key) end
function Screen:OnTouchDown(x, y) hud:LuaFeedback("Touch" .. x .. "," .. y) end
function Screen:OnTouchUp(x, y) end
