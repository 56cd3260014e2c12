; Brashwick level 25 "Orchard Maze": recorded cases
case win
  on hero 36,19  use pusher at 44,19
  on hero 20,19  use ladder at 14,19
  on hero 13,14  use pusher at 10,14
  on hero 20,14  use bridge at 24,14
  on hero 35,14  use ladder at 40,14
  on hero 44,9  use pusher at 52,9
  on hero 36,9  use ladder at 30,9
  on hero 14,4  use parachute at 8,4
  expect win, fruit all

case no-first-pusher
  on hero 20,19  use ladder at 14,19
  on hero 13,14  use pusher at 10,14
  on hero 20,14  use bridge at 24,14
  on hero 35,14  use ladder at 40,14
  on hero 44,9  use pusher at 52,9
  on hero 36,9  use ladder at 30,9
  on hero 14,4  use parachute at 8,4
  expect lose

case no-parachute
  on hero 36,19  use pusher at 44,19
  on hero 20,19  use ladder at 14,19
  on hero 13,14  use pusher at 10,14
  on hero 20,14  use bridge at 24,14
  on hero 35,14  use ladder at 40,14
  on hero 44,9  use pusher at 52,9
  on hero 36,9  use ladder at 30,9
  expect lose
