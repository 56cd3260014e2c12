-- The in-level HUD: the read-outs along the top, the tool bar packed from the bottom-right corner,
-- the tutorial's hint panel and arrow, the "+points" label and the end-of-level panels.

local Q = "/quor/"
-- The tools in the order of the bar, left to right; slot_<i> shows TOOLS[i].
local TOOLS = { "pusher", "carrot", "bridge", "fire_extinguisher", "trampoline", "hair_dryer",
                "boat", "ladder", "parachute", "skates", "ski" }
local FRUITS = { "apple", "cherry", "strawberry", "banana", "watermelon" }
local ICONS = { fruit = true, exit = true, tilt = true, trap = true, fall = true, tools = true }
local PANELS = { "panel_tap", "panel_lose", "panel_summary" }
local SCREEN_W, BAR_H, SLOT, GOTIT_W = 800, 80, 76, 136
local SCREEN_H = 480
local MIN_SLOT = 64
-- The fruit counters pack leftwards from FRUIT_RIGHT: each kind's picture, then room for as many
-- digits as the level holds of that kind, so a count that grows never reaches the next picture.
-- They stop short of the score's room. The content lint holds every level's fruit to these numbers.
local FRUIT_RIGHT, FRUIT_ICON, FRUIT_GAP, FRUIT_SPACE, DIGIT_W = 790, 32, 2, 10, 17
local SCORE_X, SCORE_DIGITS = 360, 6
-- Where the slot's stock badge sits on it.
local BADGE_DX = 50
local PULSE_PERIOD, PULSE_SCALE, BOB = 0.6, 0.15, 6
-- The hint arrow's picture: its width, and how far down in it its tip is.
local ARROW_W, ARROW_TIP = 40, 54
-- In its last seconds the running clock shows each new second for half of it.
local BLINK_FROM = 10

local ui = nil
local S = {
  shown = true, timer = false, acc = 0, clock = 0,
  hint = false, tut = nil, tutStock = 0,
  arrow = nil, panel = nil, waiting = false, pressed = nil, level = 0,
  shownScore = nil, shownLives = nil, shownFruit = {},
}

local function get(key) return registry:Get(Q .. key) end
local function set(key, value) return registry:Set(Q .. key, value) end
-- A number from the settings; 0 for a missing or non-numeric value.
local function num(key) return tonumber(get(key)) or 0 end
local function Send(command) hud:LuaFeedback(command) end
local function C(name) return ui:GetControl(name) end

local function Format(key, value)
  local text = string.gsub(ui:GetText(key), "{1}", tostring(value))
  return text
end

local function SetVisible(name, on)
  local control = C(name)
  if control ~= nil then control:SetVisibility(on) end
end

local function Clock(seconds)
  seconds = math.max(0, math.floor(seconds))
  return string.format("%d:%02d", math.floor(seconds / 60), seconds % 60)
end

-- The pause button at the far right, then one slot per granted tool; the zone the play state
-- leaves to the bar covers these and "Got it" while a hint shows. Slots stand SLOT apart, closer
-- (down to MIN_SLOT, the slot picture's drawn square) when that many would run off the screen's
-- left edge. The content lint holds every level to that bound with these numbers.
local function LayoutBar()
  local count = 0
  for _, tool in ipairs(TOOLS) do
    if num("runtime/tools/max/" .. tool) > 0 then count = count + 1 end
  end
  local room = SCREEN_W - SLOT - (S.hint and GOTIT_W or 0)
  local pitch = SLOT
  if count > 0 then pitch = math.max(MIN_SLOT, math.min(SLOT, math.floor(room / count))) end
  local x = SCREEN_W - SLOT
  C("btn_pause"):SetX(x)
  for i = #TOOLS, 1, -1 do
    local granted = num("runtime/tools/max/" .. TOOLS[i]) > 0
    SetVisible("slot_" .. i, granted)
    SetVisible("slot_" .. i .. "_dot", granted)
    SetVisible("slot_" .. i .. "_badge", granted)
    if granted then
      x = x - pitch
      C("slot_" .. i):SetX(x)
      C("slot_" .. i .. "_dot"):SetX(x + BADGE_DX)
      C("slot_" .. i .. "_badge"):SetX(x + BADGE_DX)
    end
  end
  local width = SCREEN_W - x + 4
  SetVisible("btn_gotit", S.hint)
  if S.hint then
    width = width + GOTIT_W
    C("btn_gotit"):SetX(SCREEN_W - width + 4)
  end
  set("runtime/tool_bar_width", width)
  set("runtime/tool_bar_height", BAR_H)
end

local function RefreshSlots()
  local active = get("runtime/activeTool")
  for i, tool in ipairs(TOOLS) do
    local stock = num("runtime/tools/" .. tool)
    local face = "default"
    if stock <= 0 then face = "empty" elseif active == tool then face = "selected" end
    C("slot_" .. i):SetRepresentation(face)
    C("slot_" .. i .. "_badge"):SetTextRaw(tostring(math.max(0, stock)))
  end
end

-- The score, lives and fruit counts as the registry holds them; a text is set again only when
-- its value changed, so this runs every frame.
local function RefreshCounts()
  local score, lives = num("game/score"), num("game/lives")
  if score ~= S.shownScore then
    S.shownScore = score
    C("score"):SetTextRaw(tostring(score))
  end
  if lives ~= S.shownLives then
    S.shownLives = lives
    C("lives"):SetTextRaw("\195\151" .. tostring(lives))
  end
  for _, fruit in ipairs(FRUITS) do
    local count = num("runtime/fruits/" .. fruit)
    if count ~= S.shownFruit[fruit] then
      S.shownFruit[fruit] = count
      C("fruit_" .. fruit .. "_n"):SetTextRaw(tostring(count))
    end
  end
end

-- Only the kinds of fruit the level has, in their order, the last one at the right.
local function RefreshFruit()
  local x = FRUIT_RIGHT
  for i = #FRUITS, 1, -1 do
    local fruit = FRUITS[i]
    local total = num("runtime/fruits/max/" .. fruit)
    SetVisible("fruit_" .. fruit, total > 0)
    SetVisible("fruit_" .. fruit .. "_n", total > 0)
    if total > 0 then
      x = x - DIGIT_W * string.len(tostring(total))
      C("fruit_" .. fruit .. "_n"):SetX(x)
      x = x - FRUIT_GAP - FRUIT_ICON
      C("fruit_" .. fruit):SetX(x)
      x = x - FRUIT_SPACE
    end
  end
  RefreshCounts()
end

local function RefreshTime()
  S.clock = num("runtime/time")
  C("time"):SetTextRaw(Clock(S.clock))
end

local function RefreshAll()
  S.shownScore, S.shownLives, S.shownFruit = nil, nil, {}
  C("level_name"):SetTextRaw(Format("IDS_HUD_LEVEL", S.level))
  RefreshTime()
  RefreshSlots()
  RefreshFruit()
  LayoutBar()
end

local function Icon(index)
  local slot = C("slot_" .. index)
  return slot ~= nil and slot:GetControl("icon") or nil
end

local function ToolIndex(tool)
  for i, name in ipairs(TOOLS) do
    if name == tool then return i end
  end
  return nil
end

local function StopPulse()
  local index = S.tut and ToolIndex(S.tut)
  local icon = index and Icon(index)
  if icon ~= nil then icon:SetScale(1) end
end

local function HideHint()
  StopPulse()
  S.hint, S.tut, S.arrow = false, nil, nil
  SetVisible("tut_panel", false)
  SetVisible("tut_arrow", false)
  LayoutBar()
end

-- "Got it", or the hint's tool was placed: the hint closes and play goes on, always in this order.
local function CloseHint()
  HideHint()
  Send("DisableTutorialEvent")
  Send("ContinueGame")
end

-- A tool with nothing left cannot be chosen; choosing the chosen one again puts it away.
local function SelectTool(tool)
  if num("runtime/tools/" .. tool) <= 0 then return end
  set("runtime/activeTool", get("runtime/activeTool") == tool and "" or tool)
  Send("PlaySelectToolSound")
  RefreshSlots()
end

local function ShowPanel(name, on)
  SetVisible(name, on)
  if on then
    for _, other in ipairs(PANELS) do
      if other ~= name then SetVisible(other, false) end
    end
    S.panel = name
    S.waiting = false
  elseif S.panel == name then
    S.panel = nil
  end
end

-- A command that changes the state is sent once; input waits until the program calls again.
local function Finish(command)
  S.waiting = true
  Send(command)
end

local ACTIONS = {
  btn_pause = function() Send("GoToPauseMenu") end,
  btn_gotit = function() CloseHint() end,
  btn_lose_ok = function() set("runtime/game_end_reason", "over") Finish("GameEnd") end,
  btn_next = function() set("runtime/auto_play_next", true) Finish("NextLevel") end,
  btn_levels = function() set("runtime/auto_play_next", false) Finish("NextLevel") end,
  btn_finish = function() set("runtime/game_end_reason", "complete") Finish("GameEnd") end,
}
for i, tool in ipairs(TOOLS) do
  ACTIONS["slot_" .. i] = function() SelectTool(tool) end
end

function Screen:Initialize()
  ui = self
  S.level = num("game/currentLevel")
  for _, name in ipairs(PANELS) do SetVisible(name, false) end
  SetVisible("tut_panel", false)
  SetVisible("tut_arrow", false)
  SetVisible("fruit_points", false)
  C("score"):SetX(SCORE_X)
  C("score_icon"):SetX(SCORE_X - FRUIT_GAP - FRUIT_ICON)
  RefreshAll()
end

function Screen:ShowHUD(on)
  S.shown = on and true or false
  C("root"):SetVisibility(S.shown)
  S.waiting = false
  if S.shown then RefreshAll() end
end

-- A repeated start keeps the part of a second already counted.
function Screen:ActivateTimer(on)
  on = on and true or false
  if on and not S.timer then S.acc = 0 end
  S.timer = on
  S.waiting = false
end

function Screen:UpdateLevelData()
  RefreshSlots()
  RefreshFruit()
  LayoutBar()
  if S.tut ~= nil and num("runtime/tools/" .. S.tut) < S.tutStock then CloseHint() end
end

function Screen:SetFruitPointsValue(points)
  C("fruit_points"):SetTextRaw("+" .. tostring(points))
end

-- (x, y) is the lower-left corner of the hero's cell on the screen. An end panel covers the
-- level, so the points of a last pickup still fading stay hidden rather than peek out beside it.
function Screen:UpdateFruitPoints(x, y, alpha)
  local label = C("fruit_points")
  alpha = tonumber(alpha) or 0
  local shown = alpha > 0 and S.panel == nil
  label:SetVisibility(shown)
  if not shown then return end
  label:SetX((tonumber(x) or 0) + 24 - label:GetWidth() / 2)
  label:SetY((tonumber(y) or 0) - 72)
  label:SetAlpha(math.min(255, alpha))
end

function Screen:ShowTutorialText(text, icon)
  S.hint = true
  C("tut_text"):SetText(1, tostring(text or ""))
  local face = nil
  if icon ~= nil and ToolIndex(icon) then face = "tool_" .. icon
  elseif icon ~= nil and ICONS[icon] then face = "icon_" .. icon end
  SetVisible("tut_icon", face ~= nil)
  if face ~= nil then C("tut_icon"):SetRepresentation(face) end
  SetVisible("tut_panel", true)
  LayoutBar()
end

-- The arrow's tip at the centre of the cell whose lower-left corner is (x, y) on the screen. The
-- play state calls again every frame while the camera moves under the hint; the bobbing goes on.
-- The camera shows "ideal_vertical_span" level units on the screen's height, so a cell's size in
-- level units is scaled by that to the screen.
function Screen:ShowTutorialArrow(x, y)
  local span = num("constants/ideal_vertical_span")
  local scale = span > 0 and SCREEN_H / span or 1
  local cw, ch = num("runtime/level_cell_width") * scale, num("runtime/level_cell_height") * scale
  local phase = S.arrow and S.arrow[3] or 0
  S.arrow = { (tonumber(x) or 0) + cw / 2 - ARROW_W / 2, (tonumber(y) or 0) - ch / 2 - ARROW_TIP, phase }
  C("tut_arrow"):SetX(S.arrow[1])
  C("tut_arrow"):SetY(S.arrow[2] - BOB * 0.5 * (1 - math.cos(2 * math.pi * phase)))
  SetVisible("tut_arrow", true)
end

function Screen:AnimateTutorialTool(name)
  StopPulse()
  if ToolIndex(name) == nil then S.tut = nil return end
  S.tut = name
  S.tutStock = num("runtime/tools/" .. name)
  S.pulse = 0
end

-- The clock stands at 0 only when it ran out: the hero was too late.
function Screen:ShowTapToContinue(on)
  if on then
    C("tap_text"):SetText(num("runtime/time") <= 0 and "IDS_HUD_TIME_UP" or "IDS_HUD_TAP")
    C("tap_lives"):SetTextRaw(Format("IDS_HUD_LIVES_LEFT", num("game/lives")))
  end
  ShowPanel("panel_tap", on)
end

function Screen:ShowLoseScreen(on)
  if on then C("lose_score"):SetTextRaw(Format("IDS_HUD_FINAL_SCORE", num("game/score"))) end
  ShowPanel("panel_lose", on)
end

function Screen:ShowSummaryScreen(on)
  if on then
    local fruitPoints, taken, total = 0, 0, 0
    for _, fruit in ipairs(FRUITS) do
      local count = num("runtime/fruits/" .. fruit)
      fruitPoints = fruitPoints + count * num("constants/score_fruits_" .. fruit)
      taken = taken + math.min(count, num("runtime/fruits/max/" .. fruit))
      total = total + num("runtime/fruits/max/" .. fruit)
    end
    local levelScore = num("runtime/levelScore")
    local bonus = math.max(0, num("runtime/time")) * num("constants/score_time_multiplier")
    -- A level won before adds nothing: the lines say what was added.
    if levelScore <= 0 then fruitPoints, bonus = 0, 0 end
    C("sum_fruit"):SetTextRaw(Format("IDS_HUD_FRUIT_POINTS", fruitPoints))
    C("sum_time"):SetTextRaw(Format("IDS_HUD_TIME_BONUS", bonus))
    C("sum_level"):SetTextRaw(Format("IDS_HUD_LEVEL_SCORE", levelScore))
    C("sum_total"):SetTextRaw(Format("IDS_HUD_TOTAL", num("game/score")))
    local perfect = total > 0 and taken >= total
    if perfect then set("game/perfect/level" .. S.level, true) end
    SetVisible("star", perfect)
    SetVisible("sum_perfect", perfect)
    SetVisible("sum_nopoints", not perfect and levelScore <= 0)
    local last = S.level >= num("constants/levels_count") and S.level > 0
    SetVisible("btn_next", not last)
    SetVisible("btn_levels", not last)
    SetVisible("btn_finish", last)
  end
  ShowPanel("panel_summary", on)
end

function Screen:Update(dt)
  dt = tonumber(dt) or 0
  if S.timer and dt > 0 then
    S.acc = S.acc + dt
    while S.acc >= 1 do
      S.acc = S.acc - 1
      local t = num("runtime/time")
      if t > 0 then set("runtime/time", t - 1) end
    end
  end
  if num("runtime/time") ~= S.clock then RefreshTime() end
  SetVisible("time", not (S.timer and S.clock > 0 and S.clock <= BLINK_FROM and S.acc >= 0.5))
  RefreshCounts()
  if S.arrow ~= nil then
    S.arrow[3] = (S.arrow[3] + dt) % 1
    C("tut_arrow"):SetY(S.arrow[2] - BOB * 0.5 * (1 - math.cos(2 * math.pi * S.arrow[3])))
  end
  local index = S.tut and ToolIndex(S.tut)
  local icon = index and Icon(index)
  if icon ~= nil then
    S.pulse = ((S.pulse or 0) + dt) % PULSE_PERIOD
    icon:SetScale(1 + PULSE_SCALE * 0.5 * (1 - math.cos(2 * math.pi * S.pulse / PULSE_PERIOD)))
  end
end

-- The pause menu is open during play and while "Tap to try again" waits.
local function CanPause()
  return S.panel == nil or S.panel == "panel_tap"
end

function Screen:OnKeyDown(key)
  if S.waiting or not CanPause() or not S.shown then return end
  if key == keys.KEY_BACK or key == keys.KEY_ESCAPE then Send("GoToPauseMenu") end
end
function Screen:OnKeyUp(key) end

function Screen:OnTouchDown(x, y)
  if S.waiting or not S.shown then return end
  local control = self:GetTouchableControl(x, y)
  if control == nil then return end
  local name = control:GetName()
  if S.panel == "panel_tap" and name ~= "btn_pause" then return end
  if S.panel ~= nil and S.panel ~= "panel_tap" and name ~= "btn_lose_ok" and name ~= "btn_next"
      and name ~= "btn_levels" and name ~= "btn_finish" then return end
  S.pressed = name
  if string.sub(name, 1, 4) == "btn_" then control:SetRepresentation("pressed") end
end

function Screen:OnTouchUp(x, y)
  if S.waiting or not S.shown then return end
  -- Any tap but one on the pause button tries again; the restart happens inside the call, so
  -- input goes on at once.
  if S.panel == "panel_tap" and S.pressed ~= "btn_pause" then
    ShowPanel("panel_tap", false)
    Send("RestartLevel")
    return
  end
  if S.pressed == nil then return end
  local name = S.pressed
  S.pressed = nil
  if string.sub(name, 1, 4) == "btn_" then C(name):SetRepresentation("default") end
  local control = self:GetTouchableControl(x, y)
  if control == nil or control:GetName() ~= name then return end
  local action = ACTIONS[name]
  if action ~= nil then action() end
end
