; Brashwick level 15 "Harvest Festival": recorded cases
case win
  on hero 6,6  use fire_extinguisher at 10,6
  on hero 12,6  use carrot at 16,6
  on hero 17,6  use bridge at 21,6
  on hero 23,6  use trampoline at 27,6
  on hero 32,6  use boat at 35,6
  on hero 40,6  use parachute at 44,6
  on hero 46,10  use trampoline at 52,10
  on hero 48,10  use hair_dryer at 50,10
  on hero 59,10  use bridge at 63,10
  on hero 80,10  use pusher at 84,10
  on hero 82,10 #2  use ladder at 78,10
  expect win, fruit all

case no-carrot
  on hero 6,6  use fire_extinguisher at 10,6
  on hero 17,6  use bridge at 21,6
  on hero 23,6  use trampoline at 27,6
  on hero 32,6  use boat at 35,6
  on hero 40,6  use parachute at 44,6
  on hero 46,10  use trampoline at 52,10
  on hero 48,10  use hair_dryer at 50,10
  on hero 59,10  use bridge at 63,10
  on hero 80,10  use pusher at 84,10
  on hero 82,10 #2  use ladder at 78,10
  expect lose

case no-pusher
  on hero 6,6  use fire_extinguisher at 10,6
  on hero 12,6  use carrot at 16,6
  on hero 17,6  use bridge at 21,6
  on hero 23,6  use trampoline at 27,6
  on hero 32,6  use boat at 35,6
  on hero 40,6  use parachute at 44,6
  on hero 46,10  use trampoline at 52,10
  on hero 48,10  use hair_dryer at 50,10
  on hero 59,10  use bridge at 63,10
  on hero 82,10 #2  use ladder at 78,10
  expect lose
