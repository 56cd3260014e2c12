; Brashwick level 24 "Trapdoor Alley": recorded cases
case win
  on hero 6,6  use bridge at 10,5
  on hero 13,6  use fire_extinguisher at 17,6
  on hero 20,6  use bridge at 24,5
  on hero 27,6  use trampoline at 31,6
  on hero 34,6  use bridge at 38,5
  on hero 41,6  use fire_extinguisher at 45,6
  on hero 48,6  use bridge at 52,6
  on hero 56,6  use bridge at 60,5
  expect win, fruit all

case one-lid-short
  on hero 6,6  use bridge at 10,5
  on hero 13,6  use fire_extinguisher at 17,6
  on hero 20,6  use bridge at 24,5
  on hero 27,6  use trampoline at 31,6
  on hero 34,6  use bridge at 38,5
  on hero 41,6  use fire_extinguisher at 45,6
  on hero 48,6  use bridge at 52,6
  expect lose

case no-second-extinguisher
  on hero 6,6  use bridge at 10,5
  on hero 13,6  use fire_extinguisher at 17,6
  on hero 20,6  use bridge at 24,5
  on hero 27,6  use trampoline at 31,6
  on hero 34,6  use bridge at 38,5
  on hero 48,6  use bridge at 52,6
  on hero 56,6  use bridge at 60,5
  expect lose
