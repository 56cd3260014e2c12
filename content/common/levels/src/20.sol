; Brashwick level 20 "Blizzard Pass": recorded cases
case win
  on hero 6,4  use ski at 10,4
  on hero 23,6  use skates at 26,6
  on hero 38,6  use parachute at 42,6
  on hero 44,11  use trampoline at 50,11
  on hero 46,11  use hair_dryer at 48,11
  on hero 56,11  use skates at 60,11
  on hero 82,11  use pusher at 86,11
  on hero 84,11 #2  use ladder at 78,11
  expect win, fruit all

case no-ski
  on hero 23,6  use skates at 26,6
  on hero 38,6  use parachute at 42,6
  on hero 44,11  use trampoline at 50,11
  on hero 46,11  use hair_dryer at 48,11
  on hero 56,11  use skates at 60,11
  on hero 82,11  use pusher at 86,11
  on hero 84,11 #2  use ladder at 78,11
  expect lose

case no-dryer
  on hero 6,4  use ski at 10,4
  on hero 23,6  use skates at 26,6
  on hero 38,6  use parachute at 42,6
  on hero 44,11  use trampoline at 50,11
  on hero 56,11  use skates at 60,11
  on hero 82,11  use pusher at 86,11
  on hero 84,11 #2  use ladder at 78,11
  expect lose
