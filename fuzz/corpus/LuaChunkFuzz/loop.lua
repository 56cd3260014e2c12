local t = {}
for i = 1, 10 do t[i] = keys.KEY_A + i end
function F(a, ...) return #t, ... end
return F(1, 2)
