; Brashwick level 11 "Orchard Hills": recorded cases
case win
  on hero 18,8  use bridge at 22,8
  on hero 34,8  use trampoline at 36,8
  on hero 40,8  use ladder at 44,8
  on hero 59,8  use bridge at 63,8
  expect win, fruit all

case no-ladder
  on hero 18,8  use bridge at 22,8
  on hero 34,8  use trampoline at 36,8
  on hero 59,8  use bridge at 63,8
  expect lose

case wrong-tool
  on hero 18,8  use bridge at 22,8
  on hero 34,8  use ladder at 36,8  ; the wrong tool only buzzes
  on hero 40,8  use ladder at 44,8
  on hero 59,8  use bridge at 63,8
  expect lose
