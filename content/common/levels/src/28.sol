; Brashwick level 28 "Mountain Rescue": recorded cases
case win
  on hero 6,21  use ladder at 10,21
  on hero 15,17  use ladder at 20,17
  on hero 25,13  use ladder at 30,13
  on hero 45,9  use parachute at 50,9
  on hero 52,15  use bridge at 55,15
  on hero 58,15  use parachute at 62,15
  expect win, fruit all

case no-third-ladder
  on hero 6,21  use ladder at 10,21
  on hero 15,17  use ladder at 20,17
  on hero 45,9  use parachute at 50,9
  on hero 52,15  use bridge at 55,15
  on hero 58,15  use parachute at 62,15
  expect lose

case no-bridge
  on hero 6,21  use ladder at 10,21
  on hero 15,17  use ladder at 20,17
  on hero 25,13  use ladder at 30,13
  on hero 45,9  use parachute at 50,9
  on hero 58,15  use parachute at 62,15
  expect lose
