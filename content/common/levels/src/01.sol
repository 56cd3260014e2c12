; Brashwick level 1 "First Steps": recorded cases
case win
  on hero 11,6  use bridge at 15,6
  expect win, fruit all

case no-bridge
  expect lose
