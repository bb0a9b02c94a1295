// Homing and moves of one stage, in millimetres at this interface and device units at the
// library.
#include <cstdio>

#include "isc_motion.h"
#include "lts.h"

// Converts millimetres to device units, truncating toward zero. A value whose product is
// not a number or does not fit a signed 32-bit int cannot be converted: the move is refused
// with one printed line, so nothing undefined reaches the stage.
static bool toDeviceUnits(int i, const char* what, double mm, int* deviceUnits) {
  const double product = mm * static_cast<double>(StepsPerMm);
  if (!(product > -2147483649.0 && product < 2147483648.0)) {
    printf("Axis %d: %s %g mm refused, outside the stage's device-unit range\n", i, what, mm);
    return false;
  }
  *deviceUnits = static_cast<int>(product);
  return true;
}

void LTS_Home(int i, int wait) {
  const char* serial = serialNumbers[i];
  MOT_HomingParameters params;
  const short readError = ISC_GetHomingParamsBlock(serial, &params);
  if (readError != 0) {
    // The record holds nothing the stage reported; writing it back would send undefined
    // settings, so the homing is not started.
    printf("Axis %d: homing parameters could not be read (error %d), homing not started\n", i,
           readError);
    return;
  }
  params.direction = MOT_Reverse;
  ISC_SetHomingParamsBlock(serial, &params);
  ISC_ClearMessageQueue(serial);
  ISC_Home(serial);
  printf("Start Homing...\n");
  if (wait != 0) LTS_waitHome(i, wait);
}

// The moves differ only in the library calls that give the target and start the motion.
static void move(int i, const char* what, double mm, int wait, short (*give)(char const*, int),
                 short (*start)(char const*)) {
  int deviceUnits = 0;
  if (!toDeviceUnits(i, what, mm, &deviceUnits)) return;
  give(serialNumbers[i], deviceUnits);
  start(serialNumbers[i]);
  if (wait != 0) LTS_waitMove(i, wait);
}

void LTS_MoveAbsolute(int i, double position, int wait) {
  move(i, "move to", position, wait, ISC_SetMoveAbsolutePosition, ISC_MoveAbsolute);
}

void LTS_MoveRelative(int i, double distance, int wait) {
  move(i, "move by", distance, wait, ISC_SetMoveRelativeDistance, ISC_MoveRelativeDistance);
}
