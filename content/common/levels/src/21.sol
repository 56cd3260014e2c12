; Brashwick level 21 "Back to the Orchard": recorded cases
case win
  on hero 71,8  use pusher at 76,8
  on hero 66,8  use bridge at 60,7
  on hero 57,8  use trampoline at 52,8
  on hero 47,8  use bridge at 42,8
  on hero 39,8  use trampoline at 34,8
  on hero 29,8  use ladder at 24,8
  expect win, fruit all

case no-lid-bridge
  on hero 71,8  use pusher at 76,8
  on hero 57,8  use trampoline at 52,8
  on hero 47,8  use bridge at 42,8
  on hero 39,8  use trampoline at 34,8
  on hero 29,8  use ladder at 24,8
  expect lose

case no-ladder
  on hero 71,8  use pusher at 76,8
  on hero 66,8  use bridge at 60,7
  on hero 57,8  use trampoline at 52,8
  on hero 47,8  use bridge at 42,8
  on hero 39,8  use trampoline at 34,8
  expect lose trap 48
