; Brashwick level 4 "Campfire Trail": recorded cases
case win
  on hero 8,6  use fire_extinguisher at 13,6
  on hero 21,6  use trampoline at 25,6
  on hero 30,6  use bridge at 34,6
  on hero 37,6  use fire_extinguisher at 41,6
  expect win, fruit all

case no-extinguisher
  on hero 21,6  use trampoline at 25,6
  on hero 30,6  use bridge at 34,6
  on hero 37,6  use fire_extinguisher at 41,6
  expect lose

case wrong-tool
  on hero 8,6  use fire_extinguisher at 13,6
  on hero 21,6  use bridge at 25,6  ; the wrong tool only buzzes
  on hero 30,6  use bridge at 34,6
  on hero 37,6  use fire_extinguisher at 41,6
  expect lose
