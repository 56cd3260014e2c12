; Brashwick level 26 "Avalanche Run": recorded cases
case win
  on hero 4,4  use ski at 8,4
  on hero 20,6  use skates at 23,6
  on hero 32,6  use ski at 36,6
  on hero 51,8  use trampoline at 55,8
  on hero 65,8  use parachute at 70,8
  expect win, fruit all

case no-second-ski
  on hero 4,4  use ski at 8,4
  on hero 20,6  use skates at 23,6
  on hero 51,8  use trampoline at 55,8
  on hero 65,8  use parachute at 70,8
  expect lose

case no-skates
  on hero 4,4  use ski at 8,4
  on hero 32,6  use ski at 36,6
  on hero 51,8  use trampoline at 55,8
  on hero 65,8  use parachute at 70,8
  expect lose trap 16
