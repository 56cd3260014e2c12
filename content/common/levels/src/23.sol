; Brashwick level 23 "High Road, Low Road": recorded cases
case win
  on hero 10,12  use ladder at 14,12
  on hero 35,12  use trampoline at 37,12
  on hero 40,12  use boat at 43,12
  on hero 51,12  use trampoline at 56,12
  on hero 53,12  use hair_dryer at 54,12
  on hero 62,12  use ladder at 66,12
  on hero 85,12  use bridge at 87,12
  expect win, fruit all

case no-boat
  on hero 10,12  use ladder at 14,12
  on hero 35,12  use trampoline at 37,12
  on hero 51,12  use trampoline at 56,12
  on hero 53,12  use hair_dryer at 54,12
  on hero 62,12  use ladder at 66,12
  on hero 85,12  use bridge at 87,12
  expect lose trap 16

case no-dryer
  on hero 10,12  use ladder at 14,12
  on hero 35,12  use trampoline at 37,12
  on hero 40,12  use boat at 43,12
  on hero 51,12  use trampoline at 56,12
  on hero 62,12  use ladder at 66,12
  on hero 85,12  use bridge at 87,12
  expect lose
