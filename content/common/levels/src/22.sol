; Brashwick level 22 "Decoys": recorded cases
case win
  on hero 6,8  use trampoline at 10,8
  on hero 22,8  use bridge at 26,8
  on hero 28,8  use carrot at 32,8
  on hero 42,8  use ladder at 46,8
  on hero 61,8  use trampoline at 64,8
  on hero 68,8  use bridge at 70,8
  expect win, fruit all

case decoy-trampoline
  on hero 14,8  use trampoline at 18,8  ; the decoy
  on hero 6,8  use trampoline at 10,8
  on hero 22,8  use bridge at 26,8
  on hero 28,8  use carrot at 32,8
  on hero 42,8  use ladder at 46,8
  on hero 61,8  use trampoline at 64,8
  on hero 68,8  use bridge at 70,8
  expect lose

case decoy-ladder
  on hero 34,8  use ladder at 38,8  ; the decoy
  on hero 6,8  use trampoline at 10,8
  on hero 22,8  use bridge at 26,8
  on hero 28,8  use carrot at 32,8
  on hero 42,8  use ladder at 46,8
  on hero 61,8  use trampoline at 64,8
  on hero 68,8  use bridge at 70,8
  expect lose
