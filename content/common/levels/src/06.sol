; Brashwick level 6 "Turnabout": recorded cases
case win
  on hero 26,9  use bridge at 30,9
  on hero 39,9  use pusher at 44,9
  on hero 15,9  use ladder at 10,9
  expect win, fruit all

case no-pusher
  on hero 26,9  use bridge at 30,9
  on hero 15,9  use ladder at 10,9
  expect lose

case no-ladder
  on hero 26,9  use bridge at 30,9
  on hero 39,9  use pusher at 44,9
  expect lose trap 48
