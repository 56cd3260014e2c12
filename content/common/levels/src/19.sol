; Brashwick level 19 "Summit Descent": recorded cases
case win
  on hero 6,4  use ski at 10,4
  on hero 27,6  use parachute at 32,6
  on hero 34,11  use skates at 38,11
  on hero 48,11  use parachute at 52,11
  on hero 56,16  use bridge at 60,16
  expect win, fruit all

case no-skates
  on hero 6,4  use ski at 10,4
  on hero 27,6  use parachute at 32,6
  on hero 48,11  use parachute at 52,11
  on hero 56,16  use bridge at 60,16
  expect lose trap 16

case no-second-parachute
  on hero 6,4  use ski at 10,4
  on hero 27,6  use parachute at 32,6
  on hero 34,11  use skates at 38,11
  on hero 56,16  use bridge at 60,16
  expect lose
