; Brashwick level 17 "Ski Jump": recorded cases
case win
  on hero 6,4  use ski at 10,4
  on hero 36,6  use parachute at 40,6
  on hero 46,10  use trampoline at 50,10
  expect win, fruit all

case no-ski
  on hero 36,6  use parachute at 40,6
  on hero 46,10  use trampoline at 50,10
  expect lose

case no-parachute
  on hero 6,4  use ski at 10,4
  on hero 46,10  use trampoline at 50,10
  expect lose
