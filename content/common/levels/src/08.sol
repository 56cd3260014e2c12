; Brashwick level 8 "Boardwalk": recorded cases
case win
  on hero 7,7  use bridge at 12,6
  on hero 19,7  use trampoline at 23,7
  on hero 26,7  use boat at 30,7
  on hero 39,7  use bridge at 43,6
  on hero 49,7  use bridge at 53,7
  expect win, fruit all

case no-lid-bridge
  on hero 19,7  use trampoline at 23,7
  on hero 26,7  use boat at 30,7
  on hero 39,7  use bridge at 43,6
  on hero 49,7  use bridge at 53,7
  expect lose

case no-boat
  on hero 7,7  use bridge at 12,6
  on hero 19,7  use trampoline at 23,7
  on hero 39,7  use bridge at 43,6
  on hero 49,7  use bridge at 53,7
  expect lose trap 16
