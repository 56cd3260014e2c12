; Brashwick level 27 "Ice Caves": recorded cases
case win
  on hero 6,10  use trampoline at 10,10
  on hero 14,10  use skates at 18,10
  on hero 38,10  use trampoline at 46,10
  on hero 40,10  use hair_dryer at 44,10
  on hero 52,10  use skates at 56,10
  on hero 65,10  use ladder at 68,10
  expect win, fruit all

case no-dryer
  on hero 6,10  use trampoline at 10,10
  on hero 14,10  use skates at 18,10
  on hero 38,10  use trampoline at 46,10
  on hero 52,10  use skates at 56,10
  on hero 65,10  use ladder at 68,10
  expect lose

case wrong-tool
  on hero 6,10  use trampoline at 10,10
  on hero 14,10  use skates at 18,10
  on hero 38,10  use trampoline at 46,10
  on hero 40,10  use hair_dryer at 44,10
  on hero 52,10  use ladder at 56,10  ; the wrong tool only buzzes
  on hero 65,10  use ladder at 68,10
  expect lose
