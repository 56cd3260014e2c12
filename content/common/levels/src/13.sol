; Brashwick level 13 "Zigzag": recorded cases
case win
  on hero 26,15  use ladder at 30,15
  on hero 31,11  use pusher at 35,11
  on hero 12,11  use ladder at 8,11
  on hero 7,7  use pusher at 4,7
  on hero 13,7  use bridge at 18,7
  expect win, fruit all

case no-first-pusher
  on hero 26,15  use ladder at 30,15
  on hero 12,11  use ladder at 8,11
  on hero 7,7  use pusher at 4,7
  on hero 13,7  use bridge at 18,7
  expect lose

case no-second-ladder
  on hero 26,15  use ladder at 30,15
  on hero 31,11  use pusher at 35,11
  on hero 7,7  use pusher at 4,7
  on hero 13,7  use bridge at 18,7
  expect lose
