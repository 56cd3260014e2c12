; Brashwick level 14 "Pond Hopping": recorded cases
case win
  on hero 9,8  use boat at 13,8
  on hero 19,8  use trampoline at 26,8
  on hero 21,8  use hair_dryer at 24,8
  on hero 36,8  use boat at 40,8
  on hero 48,8  use trampoline at 52,8
  expect win, fruit all

case no-dryer
  on hero 9,8  use boat at 13,8
  on hero 19,8  use trampoline at 26,8
  on hero 36,8  use boat at 40,8
  on hero 48,8  use trampoline at 52,8
  expect lose

case no-boat
  on hero 9,8  use boat at 13,8
  on hero 19,8  use trampoline at 26,8
  on hero 21,8  use hair_dryer at 24,8
  on hero 48,8  use trampoline at 52,8
  expect lose trap 16
