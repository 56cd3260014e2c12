; Brashwick level 5 "Snare Woods": recorded cases
case win
  on hero 9,7  use carrot at 14,7
  on hero 25,7  use trampoline at 29,7
  on hero 40,7  use carrot at 44,7
  on hero 44,7  use fire_extinguisher at 48,7
  expect win, fruit all

case no-carrot
  on hero 25,7  use trampoline at 29,7
  on hero 40,7  use carrot at 44,7
  on hero 44,7  use fire_extinguisher at 48,7
  expect lose

case extinguisher-for-the-snare
  on hero 9,7  use carrot at 14,7
  on hero 25,7  use trampoline at 29,7
  on hero 40,7  use fire_extinguisher at 44,7  ; the wrong tool only buzzes
  on hero 44,7  use fire_extinguisher at 48,7
  expect lose
