; Brashwick level 30 "Homecoming": recorded cases
case win
  on hero 6,4  use ski at 10,4
  on hero 22,6  use fire_extinguisher at 24,6
  on hero 25,6  use carrot at 29,6
  on hero 29,6  use bridge at 33,6
  on hero 34,6  use skates at 38,6
  on hero 42,6  use parachute at 46,6
  on hero 48,11  use trampoline at 52,11
  on hero 50,11  use trampoline at 59,11
  on hero 56,11  use hair_dryer at 57,11
  on hero 65,11  use bridge at 69,11
  on hero 70,11  use boat at 74,11
  on hero 78,11  use skates at 82,11
  on hero 87,11  use ladder at 91,11
  on hero 107,11  use bridge at 109,10
  on hero 115,11  use pusher at 119,11
  on hero 118,11  use ladder at 116,11
  expect win, fruit all

case no-boat
  on hero 6,4  use ski at 10,4
  on hero 22,6  use fire_extinguisher at 24,6
  on hero 25,6  use carrot at 29,6
  on hero 29,6  use bridge at 33,6
  on hero 34,6  use skates at 38,6
  on hero 42,6  use parachute at 46,6
  on hero 48,11  use trampoline at 52,11
  on hero 50,11  use trampoline at 59,11
  on hero 56,11  use hair_dryer at 57,11
  on hero 65,11  use bridge at 69,11
  on hero 78,11  use skates at 82,11
  on hero 87,11  use ladder at 91,11
  on hero 107,11  use bridge at 109,10
  on hero 115,11  use pusher at 119,11
  on hero 118,11  use ladder at 116,11
  expect lose trap 16

case no-carrot
  on hero 6,4  use ski at 10,4
  on hero 22,6  use fire_extinguisher at 24,6
  on hero 29,6  use bridge at 33,6
  on hero 34,6  use skates at 38,6
  on hero 42,6  use parachute at 46,6
  on hero 48,11  use trampoline at 52,11
  on hero 50,11  use trampoline at 59,11
  on hero 56,11  use hair_dryer at 57,11
  on hero 65,11  use bridge at 69,11
  on hero 70,11  use boat at 74,11
  on hero 78,11  use skates at 82,11
  on hero 87,11  use ladder at 91,11
  on hero 107,11  use bridge at 109,10
  on hero 115,11  use pusher at 119,11
  on hero 118,11  use ladder at 116,11
  expect lose
