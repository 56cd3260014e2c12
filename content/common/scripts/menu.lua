-- The main menu, the pause menu and their prompts. One control group per screen; only one is
-- visible at a time. Buttons act on release over the button they were pressed on.

-- The screen itself, for the helpers below; set by Initialize.
local ui = nil
local SCREENS = { "scr_first", "scr_sound", "scr_main", "scr_pause", "scr_exit" }
local LANGUAGES = { "en", "de" }

local shown = nil
local pressed = nil
-- After a command that changes state, input waits until the program calls again.
local waiting = false

local function Get(path) return registry:Get("/quor/" .. path) end
local function Send(command) menu:LuaFeedback(command) end

local function Show(name)
  for _, screen in ipairs(SCREENS) do
    ui:GetControl(screen):SetVisibility(screen == name)
  end
  shown = name
  waiting = false
end

-- The sound and music buttons show the switch's present state.
local TOGGLES = { btn_sfx = "sfx_on", btn_music = "music_on" }

local function Face(name, down)
  local key = TOGGLES[name]
  local on = key ~= nil and Get(key) == true
  if on then return down and "on_pressed" or "on" end
  return down and "pressed" or "default"
end

local function RefreshToggles()
  for name in pairs(TOGGLES) do ui:GetControl(name):SetRepresentation(Face(name, false)) end
end

local function RefreshTexts()
  local score = ui:GetControl("pause_score")
  score:SetTextRaw(string.gsub(ui:GetText("IDS_MENU_SCORE"), "{1}", tostring(Get("game/score") or 0)))
  ui:GetControl("lang_label"):SetText("IDS_LANG_SELF")
end

local function SwitchSounds()
  Send("SwitchSfx")
  Send("SwitchMusic")
  RefreshToggles()
end

local function NextLanguage()
  local current = Get("language")
  for i, code in ipairs(LANGUAGES) do
    if code == current then return LANGUAGES[i % #LANGUAGES + 1] end
  end
  return LANGUAGES[1]
end

local ACTIONS = {
  btn_first_yes = function() SwitchSounds() Show("scr_main") end,
  btn_first_no = function() Send("PlayClickSound") Show("scr_main") end,
  btn_sound_yes = function() SwitchSounds() Show("scr_main") end,
  btn_sound_no = function() Send("PlayClickSound") Show("scr_main") end,
  btn_play = function() Send("PlaySelectSound") waiting = true Send("SelectLevel") end,
  btn_more = function() Send("PlayClickSound") Send("GetMoreGames") end,
  btn_exit = function() Send("PlayClickSound") Show("scr_exit") end,
  btn_exit_yes = function() waiting = true Send("Exit") end,
  btn_exit_no = function() Send("PlayClickSound") Show("scr_main") end,
  btn_sfx = function() Send("SwitchSfx") RefreshToggles() end,
  btn_music = function() Send("SwitchMusic") RefreshToggles() end,
  btn_lang = function()
    Send("PlayClickSound")
    registry:Set("/quor/language", NextLanguage())
    Send("UpdateLanguage")
  end,
  btn_continue = function() Send("PlaySelectSound") waiting = true Send("Continue") end,
  btn_leave = function() Send("PlayClickSound") Send("LeaveToMainMenu") Show("scr_main") end,
}

function Screen:Initialize()
  ui = self
  Show("scr_main")
  RefreshToggles()
end
function Screen:FirstRun() Show("scr_first") end
function Screen:NewHighScore()
  registry:Set("/quor/game/lives", Get("constants/start_lives") or 3)
  registry:Set("/quor/game/score", 0)
  Show("scr_main")
end
function Screen:ShowMenu(which)
  RefreshToggles()
  if which == "EnableSounds" then Show("scr_sound")
  elseif which == "PauseMenu" then RefreshTexts() Show("scr_pause")
  else Show("scr_main") end
end
function Screen:OnMultitouchMove(step) end
function Screen:UpdateTexts() RefreshTexts() end
function Screen:Update(dt) end
function Screen:OnKeyDown(key)
  if waiting then return end
  if key == keys.KEY_BACK or key == keys.KEY_ESCAPE then
    if shown == "scr_main" then Show("scr_exit")
    elseif shown == "scr_pause" then ACTIONS.btn_continue()
    else Show("scr_main") end
  end
end
function Screen:OnKeyUp(key) end

function Screen:OnTouchDown(x, y)
  if waiting then return end
  local control = self:GetTouchableControl(x, y)
  if control == nil then return end
  pressed = control:GetName()
  control:SetRepresentation(Face(pressed, true))
end

function Screen:OnTouchUp(x, y)
  if pressed == nil then return end
  local name = pressed
  pressed = nil
  self:GetControl(name):SetRepresentation(Face(name, false))
  local control = self:GetTouchableControl(x, y)
  if waiting or control == nil or control:GetName() ~= name then return end
  local action = ACTIONS[name]
  if action ~= nil then action() end
end
