; Brashwick level 12 "Pick the Right Tool": recorded cases
case win
  on hero 8,8  use fire_extinguisher at 12,8
  on hero 11,8  use carrot at 15,8
  on hero 14,8  use trampoline at 19,8
  on hero 24,8  use bridge at 28,8
  on hero 32,8  use ladder at 36,8
  expect win, fruit all

case carrot-for-the-fire
  on hero 8,8  use carrot at 12,8  ; the wrong tool only buzzes
  on hero 11,8  use carrot at 15,8
  on hero 14,8  use trampoline at 19,8
  on hero 24,8  use bridge at 28,8
  on hero 32,8  use ladder at 36,8
  expect lose

case no-trampoline
  on hero 8,8  use fire_extinguisher at 12,8
  on hero 11,8  use carrot at 15,8
  on hero 24,8  use bridge at 28,8
  on hero 32,8  use ladder at 36,8
  expect lose
