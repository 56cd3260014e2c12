-- Tells its owner about every call it gets.
function Screen:Initialize() menu:LuaFeedback("Ready" .. math.floor(2.5)) end
function Screen:Update(dt) menu:LuaFeedback("Update") end
function Screen:OnKeyDown(key) menu:LuaFeedback("Key" .. key) end
function Screen:OnKeyUp(key) end
function Screen:OnTouchDown(x, y) menu:LuaFeedback("Touch" .. x .. "," .. y) end
function Screen:OnTouchUp(x, y) end
function Screen:UpdateFruitPoints(points, bonus) menu:LuaFeedback("Fruit" .. points .. tostring(bonus)) end
function Screen:Echo(text) menu:LuaFeedback("Echo" .. text .. tostring(registry ~= nil)) end
function Screen:Bad() menu:LuaFeedback({}) end
