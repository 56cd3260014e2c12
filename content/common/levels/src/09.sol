; Brashwick level 9 "Canyon Drop": recorded cases
case win
  on hero 11,4  use parachute at 16,4
  on hero 22,8  use trampoline at 26,8
  on hero 32,8  use parachute at 36,8
  on hero 44,14  use bridge at 48,14
  expect win, fruit all

case no-parachute
  on hero 22,8  use trampoline at 26,8
  on hero 32,8  use parachute at 36,8
  on hero 44,14  use bridge at 48,14
  expect lose

case wrong-tool
  on hero 11,4  use parachute at 16,4
  on hero 22,8  use trampoline at 26,8
  on hero 32,8  use bridge at 36,8  ; the wrong tool only buzzes
  on hero 44,14  use bridge at 48,14
  expect lose
