; Brashwick level 7 "Across the Lake": recorded cases
case win
  on hero 9,6  use boat at 13,6
  on hero 22,6  use trampoline at 26,6
  on hero 29,6  use boat at 32,6
  on hero 44,6  use bridge at 48,6
  expect win, fruit all

case no-boat
  on hero 22,6  use trampoline at 26,6
  on hero 29,6  use boat at 32,6
  on hero 44,6  use bridge at 48,6
  expect lose trap 16

case wrong-tool
  on hero 9,6  use boat at 13,6
  on hero 22,6  use boat at 26,6  ; the wrong tool only buzzes
  on hero 29,6  use boat at 32,6
  on hero 44,6  use bridge at 48,6
  expect lose
