-- Tells its owner about every call it gets.
function Screen:Initialize() Screen:LuaFeedback("Ready" .. math.floor(2.5)) end
function Screen:Update(dt) Screen:LuaFeedback("Update") end
function Screen:OnKeyDown(key) Screen:LuaFeedback("Key" .. key) end
function Screen:OnKeyUp(key) end
function Screen:OnTouchDown(x, y) Screen:LuaFeedback("Touch" .. x .. "," .. y) end
function Screen:OnTouchUp(x, y) end
function Screen:UpdateFruitPoints(points, bonus) Screen:LuaFeedback("Fruit" .. points .. tostring(bonus)) end
function Screen:Echo(text) Screen:LuaFeedback("Echo" .. text .. tostring(registry ~= nil)) end
function Screen:Bad() Screen:LuaFeedback({}) end
