// Opening, closing and the message callback of the three stages.
#include <cstdio>

#include "completion_wake.h"
#include "gui_runtime.h"
#include "isc_motion.h"
#include "lts.h"

namespace {
void (*connectionProgress)(int axis, int count) = nullptr;
}  // namespace

void SetConnectionProgress(void (*report)(int axis, int count)) { connectionProgress = report; }

int LTS_Open(void) {
  // Filled anew for each stage and not cleared in between; starts empty so that a failed
  // first read still prints a terminated (empty) description.
  TLI_DeviceInfo info{};
  TLI_BuildDeviceList();
  for (int i = 0; i < 3; i++) {
    if (connectionProgress) connectionProgress(i, 3);
    TLI_GetDeviceInfo(serialNumbers[i], &info);
    Sleep(100);
    const int err = LTS_Init(i);
    // Bounded so that a description the library left unterminated cannot overrun.
    printf("%.*s err=%x\n", static_cast<int>(sizeof info.description), info.description,
           static_cast<unsigned int>(err));
    if (err != 0) return err;
  }
  return 0;
}

int LTS_Init(int i) {
  const char* serial = serialNumbers[i];
  const short errorReturn = ISC_Open(serial);
  Sleep(1000);
  if (errorReturn == 0) {
    printf("Device %d (serial %s) Connected... \n", i, serial);
    ISC_SetLEDswitches(serial, 0);
    ISC_StartPolling(serial, 50);
    Sleep(1000);
  } else {
    printf("Error connecting device %d (%s)\n", i, serial);
  }
  return errorReturn;
}

void LTS_Close(int i) {
  ISC_StopPolling(serialNumbers[i]);
  ISC_Close(serialNumbers[i]);
  printf("Device Disconnected...\n");
}

void LTS_RegisterMessageCallback(int i, void (*functionPointer)(void)) {
  ISC_RegisterMessageCallback(serialNumbers[i], functionPointer);
}

// Called by the library, on its own thread, for each message of any stage. Completion is
// still learnt by reading the queue; the callback only ends the wait's sleep early.
void MessageCB(void) { wakeCompletionWait(); }
