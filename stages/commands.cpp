// One library call per operation; none sleeps, waits or prints.
#include "isc_motion.h"
#include "lts.h"

int LTS_Enable(int i) { return ISC_EnableChannel(serialNumbers[i]); }

int LTS_Disable(int i) { return ISC_DisableChannel(serialNumbers[i]); }

void LTS_StopProfiled(int i) { ISC_StopProfiled(serialNumbers[i]); }

unsigned int LTS_GetStatus(int i) { return ISC_GetStatusBits(serialNumbers[i]); }

double LTS_GetPosition(int i) {
  const int device_unit = ISC_GetPosition(serialNumbers[i]);
  return static_cast<double>(device_unit) / static_cast<double>(StepsPerMm);
}

int LTS_GetNumberPositions(int i) { return ISC_GetNumberPositions(serialNumbers[i]); }

void LTS_GetRealValueFromDeviceUnit(int i, int device_unit, double* real_unit, int unitType) {
  ISC_GetRealValueFromDeviceUnit(serialNumbers[i], device_unit, real_unit, unitType);
}

void LTS_GetDeviceUnitFromRealValue(int i, double real_unit, int* device_unit, int unitType) {
  ISC_GetDeviceUnitFromRealValue(serialNumbers[i], real_unit, device_unit, unitType);
}
