; Brashwick level 26 "Avalanche Run": recorded cases
case win
  on hero 6,4  use ski at 10,4
  on hero 22,6  use skates at 25,6
  on hero 34,6  use ski at 38,6
  on hero 53,8  use trampoline at 57,8
  on hero 67,8  use parachute at 72,8
  expect win, fruit all

case no-second-ski
  on hero 6,4  use ski at 10,4
  on hero 22,6  use skates at 25,6
  on hero 53,8  use trampoline at 57,8
  on hero 67,8  use parachute at 72,8
  expect lose

case no-skates
  on hero 6,4  use ski at 10,4
  on hero 34,6  use ski at 38,6
  on hero 53,8  use trampoline at 57,8
  on hero 67,8  use parachute at 72,8
  expect lose trap 16
