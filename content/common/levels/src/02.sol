; Brashwick level 2 "Springy Meadow": recorded cases
case win
  on hero 9,6  use trampoline at 14,6
  on hero 23,6  use trampoline at 27,6
  on hero 30,6  use bridge at 34,6
  expect win, fruit all

case no-trampoline
  on hero 23,6  use trampoline at 27,6
  on hero 30,6  use bridge at 34,6
  expect lose

case wrong-tool
  on hero 9,6  use trampoline at 14,6
  on hero 23,6  use bridge at 27,6  ; the wrong tool only buzzes
  on hero 30,6  use bridge at 34,6
  expect lose
