-- Keeps a note of every call it gets.
function Screen:Initialize() log = tostring("Ready" .. math.floor(2.5)) end
function Screen:Update(dt) log = tostring("Update") end
function Screen:OnKeyDown(key) log = tostring("Key" .. key) end
function Screen:OnKeyUp(key) end
function Screen:OnTouchDown(x, y) log = tostring("Touch" .. x .. "," .. y) end
function Screen:OnTouchUp(x, y) end
function Screen:UpdateFruitPoints(points, bonus) log = tostring("Fruit" .. points .. tostring(bonus)) end
function Screen:Echo(text) log = tostring("Echo" .. text .. tostring(registry ~= nil)) end
function Screen:Bad() log = tostring({}) end
