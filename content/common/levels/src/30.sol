; Brashwick level 30 "Homecoming": recorded cases
case win
  on hero 4,4  use ski at 8,4
  on hero 20,6  use fire_extinguisher at 22,6
  on hero 23,6  use carrot at 27,6
  on hero 27,6  use bridge at 31,6
  on hero 32,6  use skates at 36,6
  on hero 40,6  use parachute at 44,6
  on hero 46,11  use trampoline at 50,11
  on hero 48,11  use trampoline at 57,11
  on hero 54,11  use hair_dryer at 55,11
  on hero 63,11  use bridge at 67,11
  on hero 68,11  use boat at 72,11
  on hero 76,11  use skates at 80,11
  on hero 85,11  use ladder at 89,11
  on hero 103,10  use bridge at 107,10
  on hero 113,11  use pusher at 117,11
  on hero 116,11  use ladder at 114,11
  expect win, fruit all

case no-boat
  on hero 4,4  use ski at 8,4
  on hero 20,6  use fire_extinguisher at 22,6
  on hero 23,6  use carrot at 27,6
  on hero 27,6  use bridge at 31,6
  on hero 32,6  use skates at 36,6
  on hero 40,6  use parachute at 44,6
  on hero 46,11  use trampoline at 50,11
  on hero 48,11  use trampoline at 57,11
  on hero 54,11  use hair_dryer at 55,11
  on hero 63,11  use bridge at 67,11
  on hero 76,11  use skates at 80,11
  on hero 85,11  use ladder at 89,11
  on hero 103,10  use bridge at 107,10
  on hero 113,11  use pusher at 117,11
  on hero 116,11  use ladder at 114,11
  expect lose trap 16

case no-carrot
  on hero 4,4  use ski at 8,4
  on hero 20,6  use fire_extinguisher at 22,6
  on hero 27,6  use bridge at 31,6
  on hero 32,6  use skates at 36,6
  on hero 40,6  use parachute at 44,6
  on hero 46,11  use trampoline at 50,11
  on hero 48,11  use trampoline at 57,11
  on hero 54,11  use hair_dryer at 55,11
  on hero 63,11  use bridge at 67,11
  on hero 68,11  use boat at 72,11
  on hero 76,11  use skates at 80,11
  on hero 85,11  use ladder at 89,11
  on hero 103,10  use bridge at 107,10
  on hero 113,11  use pusher at 117,11
  on hero 116,11  use ladder at 114,11
  expect lose
