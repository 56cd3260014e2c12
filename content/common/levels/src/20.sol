; Brashwick level 20 "Blizzard Pass": recorded cases
case win
  on hero 4,4  use ski at 8,4
  on hero 21,6  use skates at 24,6
  on hero 36,6  use parachute at 40,6
  on hero 42,11  use trampoline at 48,11
  on hero 44,11  use hair_dryer at 46,11
  on hero 54,11  use skates at 58,11
  on hero 80,11  use pusher at 84,11
  on hero 82,11 #2  use ladder at 76,11
  expect win, fruit all

case no-ski
  on hero 21,6  use skates at 24,6
  on hero 36,6  use parachute at 40,6
  on hero 42,11  use trampoline at 48,11
  on hero 44,11  use hair_dryer at 46,11
  on hero 54,11  use skates at 58,11
  on hero 80,11  use pusher at 84,11
  on hero 82,11 #2  use ladder at 76,11
  expect lose

case no-dryer
  on hero 4,4  use ski at 8,4
  on hero 21,6  use skates at 24,6
  on hero 36,6  use parachute at 40,6
  on hero 42,11  use trampoline at 48,11
  on hero 54,11  use skates at 58,11
  on hero 80,11  use pusher at 84,11
  on hero 82,11 #2  use ladder at 76,11
  expect lose
