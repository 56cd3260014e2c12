; Brashwick level 18 "Frozen Falls": recorded cases
case win
  on hero 6,8  use trampoline at 10,8
  on hero 14,8  use skates at 18,8
  on hero 26,8  use ladder at 30,8
  on hero 68,8  use pusher at 72,8
  on hero 70,8 #2  use ladder at 66,8
  expect win, fruit all

case no-skates
  on hero 6,8  use trampoline at 10,8
  on hero 26,8  use ladder at 30,8
  on hero 68,8  use pusher at 72,8
  on hero 70,8 #2  use ladder at 66,8
  expect lose trap 16

case no-pusher
  on hero 6,8  use trampoline at 10,8
  on hero 14,8  use skates at 18,8
  on hero 26,8  use ladder at 30,8
  on hero 70,8 #2  use ladder at 66,8
  expect lose
