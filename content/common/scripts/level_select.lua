-- The level select: three pages of ten levels on a strip that the player drags or pages with
-- the arrows. An open or won level starts on release over its button; a locked one says so.

-- The screen itself, for the helpers below; set by Initialize.
local ui = nil
local PAGE_WIDTH = 800
local PAGES = 3
-- Drag steps adding up to more than this cancel a press and move the strip instead.
local PRESS_SLOP = 12

local page = 1
local stripX = 0
local target = 0
local pressed = nil
local dragged = 0
local noteTime = 0
local waiting = false
local count = 30
-- "Next level" on the HUD's summary asks for the next level straight away.
local autoPlay = false

local function Get(path) return registry:Get("/quor/" .. path) end
local function Send(command) level_select:LuaFeedback(command) end

local function LevelState(n)
  if Get("game/perfect/level" .. n) == true then return "perfect" end
  local value = Get("game/levels/level" .. n) or 0
  if value == 0 then return "locked" elseif value == 2 then return "won" end
  return "open"
end

local PAGE_TITLES = { "IDS_LS_PAGE_1", "IDS_LS_PAGE_2", "IDS_LS_PAGE_3" }

local function ShowPage(p)
  page = math.max(1, math.min(PAGES, p))
  target = -(page - 1) * PAGE_WIDTH
  ui:GetControl("title"):SetText(PAGE_TITLES[page])
  ui:GetControl("btn_prev"):SetVisibility(page > 1)
  ui:GetControl("btn_next"):SetVisibility(page < PAGES)
end

local function Start(n)
  if LevelState(n) == "locked" then
    Send("PlayLevelSelectSound")
    ui:GetControl("locked_note"):SetVisibility(true)
    noteTime = 2
    return
  end
  waiting = true
  Send("DisableTouch")
  registry:Set("/quor/game/currentLevel", n)
  Send("Play")
end

function Screen:Initialize()
  ui = self
  if (Get("game/lives") or 0) <= 0 then
    registry:Set("/quor/game/lives", Get("constants/start_lives") or 3)
    registry:Set("/quor/game/score", 0)
  end
  count = math.max(0, math.min(30, Get("constants/levels_count") or 30))
  for n = 1, 30 do
    local button = self:GetControl("lvl_" .. n)
    button:SetVisibility(n <= count)
    button:SetRepresentation(LevelState(n))
    self:GetControl("lvl_" .. n .. "_num"):SetTextRaw(tostring(n))
  end
  self:GetControl("locked_note"):SetVisibility(false)
  local current = Get("game/currentLevel") or 1
  ShowPage(math.floor((math.max(1, current) - 1) / 10) + 1)
  stripX = target
  self:GetControl("strip"):SetX(stripX)
  autoPlay = Get("runtime/auto_play_next") == true
  registry:Set("/quor/runtime/auto_play_next", false)
end

function Screen:Update(dt)
  -- Never from Initialize, which runs while the screen is still loading.
  if autoPlay then
    autoPlay = false
    if not waiting then Start(math.max(1, Get("game/currentLevel") or 1)) end
  end
  if pressed == nil and stripX ~= target then
    local step = (target - stripX) * 0.2
    if math.abs(target - stripX) < 2 then stripX = target else stripX = stripX + step end
    self:GetControl("strip"):SetX(math.floor(stripX + 0.5))
  end
  if noteTime > 0 then
    noteTime = noteTime - dt
    if noteTime <= 0 then self:GetControl("locked_note"):SetVisibility(false) end
  end
end

function Screen:OnMultitouchMove(dx, dy)
  if waiting then return end
  dragged = dragged + math.abs(dx)
  if dragged <= PRESS_SLOP then return end
  stripX = math.max(-(PAGES - 1) * PAGE_WIDTH, math.min(0, stripX - dx))
  self:GetControl("strip"):SetX(math.floor(stripX))
end

function Screen:OnTouchDown(x, y)
  if waiting then return end
  dragged = 0
  local control = self:GetTouchableControl(x, y)
  pressed = control ~= nil and control:GetName() or "strip"
end

function Screen:OnTouchUp(x, y)
  if waiting or pressed == nil then return end
  local name = pressed
  pressed = nil
  if dragged > PRESS_SLOP then
    local before = page
    ShowPage(math.floor(-stripX / PAGE_WIDTH + 0.5) + 1)
    if page ~= before then Send("PlayLevelSelectSound") end
    return
  end
  local control = self:GetTouchableControl(x, y)
  if control == nil or control:GetName() ~= name then return end
  if name == "btn_back" then waiting = true Send("Back")
  elseif name == "btn_prev" then Send("PlayLevelSelectSound") ShowPage(page - 1)
  elseif name == "btn_next" then Send("PlayLevelSelectSound") ShowPage(page + 1)
  else
    local n = tonumber(string.match(name, "^lvl_(%d+)$"))
    if n ~= nil then Start(n) end
  end
end

function Screen:OnKeyDown(key)
  if waiting then return end
  if key == keys.KEY_LEFT then ShowPage(page - 1)
  elseif key == keys.KEY_RIGHT then ShowPage(page + 1)
  elseif key == keys.KEY_BACK or key == keys.KEY_ESCAPE then waiting = true Send("Back") end
end
function Screen:OnKeyUp(key) end
