; Brashwick level 10 "The Long Jump": recorded cases
case win
  on hero 11,8  use trampoline at 16,8
  on hero 13,8  use hair_dryer at 14,8
  on hero 25,8  use trampoline at 29,8
  on hero 36,8  use ladder at 40,8
  on hero 46,4  use parachute at 50,4
  expect win, fruit all

case no-dryer
  on hero 11,8  use trampoline at 16,8
  on hero 25,8  use trampoline at 29,8
  on hero 36,8  use ladder at 40,8
  on hero 46,4  use parachute at 50,4
  expect lose

case no-parachute
  on hero 11,8  use trampoline at 16,8
  on hero 13,8  use hair_dryer at 14,8
  on hero 25,8  use trampoline at 29,8
  on hero 36,8  use ladder at 40,8
  expect lose
