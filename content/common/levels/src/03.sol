; Brashwick level 3 "Up and Over": recorded cases
case win
  on hero 7,8  use ladder at 12,8
  on hero 36,8  use bridge at 40,8
  on hero 42,8  use trampoline at 46,8
  expect win, fruit all

case no-ladder
  on hero 36,8  use bridge at 40,8
  on hero 42,8  use trampoline at 46,8
  expect lose

case no-bridge
  on hero 7,8  use ladder at 12,8
  on hero 42,8  use trampoline at 46,8
  expect lose
