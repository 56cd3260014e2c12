; Brashwick level 16 "Thin Ice": recorded cases
case win
  on hero 8,6  use skates at 12,6
  on hero 22,6  use trampoline at 26,6
  on hero 30,6  use skates at 34,6
  on hero 46,6  use bridge at 50,6
  expect win, fruit all

case no-skates
  on hero 22,6  use trampoline at 26,6
  on hero 30,6  use skates at 34,6
  on hero 46,6  use bridge at 50,6
  expect lose trap 16

case no-trampoline
  on hero 8,6  use skates at 12,6
  on hero 30,6  use skates at 34,6
  on hero 46,6  use bridge at 50,6
  expect lose
