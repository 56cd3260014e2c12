; Brashwick level 29 "The Long Way Round": recorded cases
case win
  on hero 6,15  use trampoline at 10,15
  on hero 14,15  use fire_extinguisher at 18,15
  on hero 22,15  use bridge at 26,15
  on hero 30,15  use skates at 34,15
  on hero 76,15  use ladder at 80,15
  on hero 84,10  use pusher at 88,10
  on hero 76,10  use trampoline at 70,10
  on hero 62,10  use bridge at 56,10
  on hero 25,10  use ladder at 20,10
  on hero 14,5  use pusher at 8,5
  expect win, fruit all

case no-skates
  on hero 6,15  use trampoline at 10,15
  on hero 14,15  use fire_extinguisher at 18,15
  on hero 22,15  use bridge at 26,15
  on hero 76,15  use ladder at 80,15
  on hero 84,10  use pusher at 88,10
  on hero 76,10  use trampoline at 70,10
  on hero 62,10  use bridge at 56,10
  on hero 25,10  use ladder at 20,10
  on hero 14,5  use pusher at 8,5
  expect lose trap 16

case no-left-trampoline
  on hero 6,15  use trampoline at 10,15
  on hero 14,15  use fire_extinguisher at 18,15
  on hero 22,15  use bridge at 26,15
  on hero 30,15  use skates at 34,15
  on hero 76,15  use ladder at 80,15
  on hero 84,10  use pusher at 88,10
  on hero 62,10  use bridge at 56,10
  on hero 25,10  use ladder at 20,10
  on hero 14,5  use pusher at 8,5
  expect lose
