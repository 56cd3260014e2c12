-- The main menu, the pause menu, their prompts and the options, credits, high-score and
-- developer screens. One control group per screen; only one is visible at a time. Buttons act
-- on release over the button they were pressed on.

-- The screen itself, for the helpers below; set by Initialize.
local ui = nil
local SCREENS = { "scr_first", "scr_sound", "scr_main", "scr_pause", "scr_options", "scr_credits",
                  "scr_highscore", "scr_exit", "scr_debug" }
local LANGUAGES = { "en", "de" }

local shown = nil
local pressed = nil
-- After a command that changes state, input waits until the program calls again.
local waiting = false
-- How far the credits are dragged, in pixels from their top; they scroll by whole lines of their
-- font (fonts/body.xml), and their window is a whole number of lines high, so no line shows cut.
local creditsDrag = 0
local CREDITS_LINE = 23
-- Untouched, the credits roll on by themselves, a line at a time after a first pause, so their
-- last line shows to a player who never drags; a drag takes over and the roll waits again.
local CREDITS_PAUSE, CREDITS_PACE = 2.0, 1.0
local creditsIdle = 0
-- The finger on the credits, nil while none is: where its drag began (the text's place and the
-- finger's y) and how far the finger has moved since, as the program's drag steps tell it.
local finger = nil
-- The title id of the high-score screen; its numbers are read again for every refresh.
local hsTitle = "IDS_HS_GAME_OVER"

local function Get(path) return registry:Get("/quor/" .. path) end
local function Set(path, value) registry:Set("/quor/" .. path, value) end
local function Send(command) menu:LuaFeedback(command) end

-- Drags reach the script only while the credits show, the one screen that scrolls.
local function Show(name)
  if shown == "scr_credits" and name ~= "scr_credits" then Send("DisableTouch") end
  for _, screen in ipairs(SCREENS) do
    ui:GetControl(screen):SetVisibility(screen == name)
  end
  finger = nil
  if name == "scr_credits" and shown ~= "scr_credits" then
    creditsDrag, creditsIdle = 0, 0
    ui:GetControl("credits_text"):SetTextPosition(0)
    Send("EnableTouch")
  end
  shown = name
  waiting = false
end

-- The round sound and music buttons show the switch's present state.
local TOGGLES = { btn_sfx = "sfx_on", btn_music = "music_on", btn_pause_sfx = "sfx_on",
                  btn_pause_music = "music_on" }

local function Face(name, down)
  local key = TOGGLES[name]
  local on = key ~= nil and Get(key) == true
  if on then return down and "on_pressed" or "on" end
  return down and "pressed" or "default"
end

local function RefreshToggles()
  for name in pairs(TOGGLES) do ui:GetControl(name):SetRepresentation(Face(name, false)) end
end

local function Filled(id, value)
  return (string.gsub(ui:GetText(id), "{1}", tostring(value)))
end

local function Switch(key) return Get(key) == true and "IDS_ON" or "IDS_OFF" end

-- The points of the level in progress while the pause screen is asked for: the game sets them
-- aside from "game/score" only after that, and the screen shows the score without them.
local heldPoints = 0

-- Every text the script builds, in the language now loaded.
local function RefreshTexts()
  ui:GetControl("pause_score"):SetTextRaw(Filled("IDS_MENU_SCORE", (Get("game/score") or 0) - heldPoints))
  ui:GetControl("lang_label"):SetText("IDS_LANG_SELF")
  ui:GetControl("btn_opt_sfx_label"):SetText(Get("sfx_on") == true and "IDS_OPT_SOUND_ON" or "IDS_OPT_SOUND_OFF")
  ui:GetControl("btn_opt_music_label"):SetText(Get("music_on") == true and "IDS_OPT_MUSIC_ON" or "IDS_OPT_MUSIC_OFF")
  -- the globe beside it says what the button is; the name alone fits it in every language
  ui:GetControl("btn_opt_lang_label"):SetText("IDS_LANG_SELF")
  ui:GetControl("btn_dbg_unlock_label"):SetTextRaw(ui:GetText("IDS_DEBUG_UNLOCK") .. ": " ..
                                                  ui:GetText(Switch("dev/unlock_all_levels")))
  ui:GetControl("btn_dbg_fps_label"):SetTextRaw(ui:GetText("IDS_DEBUG_FPS") .. ": " ..
                                               ui:GetText(Switch("dev/show_fps_mem")))
  ui:GetControl("hs_title"):SetText(hsTitle)
  ui:GetControl("hs_score"):SetTextRaw(Filled("IDS_MENU_SCORE", Get("game/score") or 0))
  ui:GetControl("hs_best"):SetTextRaw(Filled("IDS_MENU_BEST", Get("game/highScore") or 0))
  -- The main screen shows the best score once there is one.
  local best = Get("game/highScore") or 0
  ui:GetControl("main_best"):SetTextRaw(Filled("IDS_MENU_BEST", best))
  ui:GetControl("main_best"):SetVisibility(best > 0)
end

local function Refresh()
  RefreshToggles()
  RefreshTexts()
end

-- The prompt's answer is what is heard afterwards: each switch is turned to it, never toggled
-- blindly, so a switch already in that state stays.
local function AnswerSounds(on)
  if (Get("sfx_on") == true) ~= on then Send("SwitchSfx") end
  if (Get("music_on") == true) ~= on then Send("SwitchMusic") end
  if on then Send("PlayClickSound") end
  Refresh()
  Show("scr_main")
end

local function NextLanguage()
  local current = Get("language")
  for i, code in ipairs(LANGUAGES) do
    if code == current then return LANGUAGES[i % #LANGUAGES + 1] end
  end
  return LANGUAGES[1]
end

local function ShowOptions()
  ui:GetControl("btn_debug"):SetVisibility(Get("dev/enable_cheats") == true)
  Refresh()
  Show("scr_options")
end

-- A new game starts with full lives and no points; the levels already won stay open.
local function NewGameReset()
  Set("game/lives", Get("constants/start_lives") or 3)
  Set("game/score", 0)
end

local function Click(after) return function() Send("PlayClickSound") after() end end

local function DebugToggle(key, command)
  return function()
    Set(key, Get(key) ~= true)
    Send(command)
    RefreshTexts()
  end
end

-- Defaults come back over everything, but what is heard, the texts and the read-out stay as
-- they are until applied: keep the sound switches, reload the texts, apply the read-out.
local function DebugReset()
  local sfx, music = Get("sfx_on") == true, Get("music_on") == true
  Send("DebugResetAllSettings")
  Set("sfx_on", sfx)
  Set("music_on", music)
  Send("UpdateLanguage")
  Send("DebugShowFpsMem")
  Refresh()
end

local ACTIONS = {
  btn_first_yes = function() AnswerSounds(true) end,
  btn_first_no = function() AnswerSounds(false) end,
  btn_sound_yes = function() AnswerSounds(true) end,
  btn_sound_no = function() AnswerSounds(false) end,
  btn_play = function() Send("PlaySelectSound") waiting = true Send("SelectLevel") end,
  btn_options = Click(ShowOptions),
  btn_more = function() Send("PlayClickSound") Send("GetMoreGames") end,
  btn_exit = Click(function() Show("scr_exit") end),
  btn_exit_yes = function() waiting = true Send("Exit") end,
  btn_exit_no = Click(function() Show("scr_main") end),
  btn_sfx = function() Send("SwitchSfx") Refresh() end,
  btn_music = function() Send("SwitchMusic") Refresh() end,
  btn_lang = function()
    Send("PlayClickSound")
    registry:Set("/quor/language", NextLanguage())
    Send("UpdateLanguage")
  end,
  btn_continue = function() Send("PlaySelectSound") waiting = true Send("Continue") end,
  btn_leave = function() Send("PlayClickSound") Send("LeaveToMainMenu") Show("scr_main") end,
  btn_opt_credits = Click(function() Show("scr_credits") end),
  btn_opt_back = Click(function() Show("scr_main") end),
  btn_debug = Click(function() RefreshTexts() Show("scr_debug") end),
  btn_credits_back = Click(ShowOptions),
  btn_hs_ok = Click(function() NewGameReset() Show("scr_main") end),
  btn_dbg_unlock = DebugToggle("dev/unlock_all_levels", "DebugLevelsLock"),
  btn_dbg_fps = DebugToggle("dev/show_fps_mem", "DebugShowFpsMem"),
  btn_dbg_reset = DebugReset,
  btn_dbg_back = Click(ShowOptions),
}
-- The options' switches act as the round ones do.
ACTIONS.btn_pause_sfx = ACTIONS.btn_sfx
ACTIONS.btn_pause_music = ACTIONS.btn_music
ACTIONS.btn_opt_sfx = ACTIONS.btn_sfx
ACTIONS.btn_opt_music = ACTIONS.btn_music
ACTIONS.btn_opt_lang = ACTIONS.btn_lang

-- What the back key does on each screen.
local BACK = {
  scr_first = ACTIONS.btn_first_no, scr_sound = ACTIONS.btn_sound_no,
  scr_main = ACTIONS.btn_exit, scr_pause = ACTIONS.btn_continue, scr_exit = ACTIONS.btn_exit_no,
  scr_options = ACTIONS.btn_opt_back, scr_credits = ACTIONS.btn_credits_back,
  scr_highscore = ACTIONS.btn_hs_ok, scr_debug = ACTIONS.btn_dbg_back,
}

function Screen:Initialize()
  ui = self
  Show("scr_main")
  Refresh()
end
function Screen:FirstRun() Refresh() Show("scr_first") end
-- The end of a game: the final score against the best, which a better score replaces.
function Screen:NewHighScore()
  local score, best = Get("game/score") or 0, Get("game/highScore") or 0
  hsTitle = Get("runtime/game_end_reason") == "complete" and "IDS_HS_COMPLETE" or "IDS_HS_GAME_OVER"
  Set("runtime/game_end_reason", "")
  ui:GetControl("hs_new"):SetVisibility(score > best)
  if score > best then Set("game/highScore", score) end
  Refresh()
  Show("scr_highscore")
end
function Screen:ShowMenu(which)
  heldPoints = 0
  if which == "PauseMenu" and Get("runtime/playing") == true then heldPoints = Get("runtime/levelScore") or 0 end
  Refresh()
  heldPoints = 0
  if which == "EnableSounds" then Show("scr_sound")
  elseif which == "PauseMenu" then Show("scr_pause")
  else Show("scr_main") end
end
-- The credits moved to creditsDrag pixels from their top, shown from the nearest whole line; the
-- end stays in reach although the text's height need not be whole lines.
local function ScrollCredits(drag)
  local text = ui:GetControl("credits_text")
  local last = math.max(0, text:GetTextHeight() - text:GetHeight())
  local lines = math.ceil(last / CREDITS_LINE)
  creditsDrag = math.min(lines * CREDITS_LINE, math.max(0, drag))
  text:SetTextPosition(math.min(last, math.floor(creditsDrag / CREDITS_LINE + 0.5) * CREDITS_LINE))
end

-- The program remembers where the last move ended, also between drags and for a mouse that moves
-- with no button held; restarting its drag at every touch makes a new drag's first step 0.
local function GrabCredits(y)
  Send("EnableTouch")
  finger = { from = creditsDrag, y = y, moved = 0 }
end

-- A step is half the finger's upward pixels cut towards 0, so the finger moved twice the step or
-- a pixel more: half a pixel more is counted, and the finger's place where it lets go puts right
-- what is left. The text's place is where the drag began plus the finger's way since, so each
-- drag moves it with the finger, from wherever the last one left it.
function Screen:OnMultitouchMove(step)
  if shown ~= "scr_credits" or finger == nil then return end
  creditsIdle = 0
  local cut = step > 0 and 0.5 or step < 0 and -0.5 or 0
  finger.moved = finger.moved + 2 * step + cut
  ScrollCredits(finger.from + finger.moved)
end

local function ReleaseCredits(y)
  ScrollCredits(finger.from + finger.y - y)
  finger = nil
  creditsIdle = 0
end

function Screen:UpdateTexts() RefreshTexts() end
function Screen:Update(dt)
  if shown ~= "scr_credits" or finger ~= nil then return end
  creditsIdle = creditsIdle + dt
  if creditsIdle >= CREDITS_PAUSE + CREDITS_PACE then
    creditsIdle = CREDITS_PAUSE
    ScrollCredits((math.floor(creditsDrag / CREDITS_LINE + 0.5) + 1) * CREDITS_LINE)
  end
end
function Screen:OnKeyDown(key)
  if waiting then return end
  if key == keys.KEY_BACK or key == keys.KEY_ESCAPE then
    local back = BACK[shown]
    if back ~= nil then back() end
  end
end
function Screen:OnKeyUp(key) end

function Screen:OnTouchDown(x, y)
  if waiting then return end
  if shown == "scr_credits" then GrabCredits(y) end
  local control = self:GetTouchableControl(x, y)
  if control == nil then return end
  pressed = control:GetName()
  control:SetRepresentation(Face(pressed, true))
end

function Screen:OnTouchUp(x, y)
  if finger ~= nil then ReleaseCredits(y) end
  if pressed == nil then return end
  local name = pressed
  pressed = nil
  self:GetControl(name):SetRepresentation(Face(name, false))
  local control = self:GetTouchableControl(x, y)
  if waiting or control == nil or control:GetName() ~= name then return end
  local action = ACTIONS[name]
  if action ~= nil then action() end
end
