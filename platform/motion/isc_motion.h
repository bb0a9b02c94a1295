// C interface of the motion-control library for integrated stepper motors. Every ISC_ call
// addresses one stage by its serial-number string; positions are int device units.
// Implemented by the simulator in this folder, or by the vendor's library on Windows.
#pragma once

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t WORD;
typedef uint32_t DWORD;

typedef enum MOT_MotorTypes {
  MOT_NotMotor = 0,
  MOT_DCMotor = 1,
  MOT_StepperMotor = 2,
  MOT_BrushlessMotor = 3,
  MOT_CustomMotor = 100
} MOT_MotorTypes;

// 16-bit travel direction of a homing.
typedef int16_t MOT_TravelDirection;
enum { MOT_TravelDirectionUndefined = 0, MOT_Forwards = 1, MOT_Reverse = 2 };

// 16-bit choice of the limit switch a homing seeks.
typedef int16_t MOT_HomeLimitSwitchDirection;
enum { MOT_LimitSwitchDirectionUndefined = 0, MOT_ReverseLimitSwitch = 1, MOT_ForwardLimitSwitch = 4 };

#pragma pack(push, 1)
typedef struct TLI_DeviceInfo {
  DWORD typeID;
  char description[65];
  char serialNo[16];
  DWORD PID;
  bool isKnownType;
  MOT_MotorTypes motorType;
  bool isPiezoDevice;
  bool isLaser;
  bool isCustomType;
  bool isRack;
  short maxChannels;
} TLI_DeviceInfo;

typedef struct MOT_HomingParameters {
  MOT_TravelDirection direction;
  MOT_HomeLimitSwitchDirection limitSwitch;
  unsigned int velocity;
  unsigned int offsetDistance;
} MOT_HomingParameters;
#pragma pack(pop)

// Message types and ids of the generic motor messages.
enum { MOT_GenericMotorMessage = 2 };
enum { MOT_Homed = 0, MOT_Moved = 1, MOT_Stopped = 2 };

// Status bits.
#define ISC_STATUS_FORWARD_LIMIT 0x00000001u
#define ISC_STATUS_REVERSE_LIMIT 0x00000002u
#define ISC_STATUS_MOVING_FORWARD 0x00000010u
#define ISC_STATUS_MOVING_REVERSE 0x00000020u
#define ISC_STATUS_CONNECTED 0x00000100u
#define ISC_STATUS_HOMING 0x00000200u
#define ISC_STATUS_HOMED 0x00000400u
#define ISC_STATUS_ENABLED 0x80000000u

short TLI_BuildDeviceList(void);
short TLI_GetDeviceInfo(char const* serialNo, TLI_DeviceInfo* info);

short ISC_Open(char const* serialNo);
void ISC_Close(char const* serialNo);
short ISC_SetLEDswitches(char const* serialNo, WORD LEDswitches);
bool ISC_StartPolling(char const* serialNo, int milliseconds);
void ISC_StopPolling(char const* serialNo);
void ISC_RegisterMessageCallback(char const* serialNo, void (*functionPointer)(void));

short ISC_EnableChannel(char const* serialNo);
short ISC_DisableChannel(char const* serialNo);
int ISC_GetNumberPositions(char const* serialNo);
int ISC_GetPosition(char const* serialNo);
DWORD ISC_GetStatusBits(char const* serialNo);
// unitType: 0 distance, 1 velocity, 2 acceleration.
short ISC_GetRealValueFromDeviceUnit(char const* serialNo, int device_unit, double* real_unit,
                                     int unitType);
short ISC_GetDeviceUnitFromRealValue(char const* serialNo, double real_unit, int* device_unit,
                                     int unitType);

short ISC_GetHomingParamsBlock(char const* serialNo, MOT_HomingParameters* homingParams);
short ISC_SetHomingParamsBlock(char const* serialNo, MOT_HomingParameters* homingParams);

short ISC_StopProfiled(char const* serialNo);
short ISC_SetMoveAbsolutePosition(char const* serialNo, int position);
short ISC_SetMoveRelativeDistance(char const* serialNo, int distance);
short ISC_Home(char const* serialNo);
short ISC_MoveAbsolute(char const* serialNo);
short ISC_MoveRelativeDistance(char const* serialNo);

void ISC_ClearMessageQueue(char const* serialNo);
int ISC_MessageQueueSize(char const* serialNo);
bool ISC_GetNextMessage(char const* serialNo, WORD* messageType, WORD* messageID,
                        DWORD* messageData);

#ifdef __cplusplus
}  // extern "C"

#include <cstddef>
static_assert(sizeof(MOT_MotorTypes) == 4);
static_assert(sizeof(TLI_DeviceInfo) == 100);
static_assert(offsetof(TLI_DeviceInfo, typeID) == 0);
static_assert(offsetof(TLI_DeviceInfo, description) == 4);
static_assert(offsetof(TLI_DeviceInfo, serialNo) == 69);
static_assert(offsetof(TLI_DeviceInfo, PID) == 85);
static_assert(offsetof(TLI_DeviceInfo, isKnownType) == 89);
static_assert(offsetof(TLI_DeviceInfo, motorType) == 90);
static_assert(offsetof(TLI_DeviceInfo, isPiezoDevice) == 94);
static_assert(offsetof(TLI_DeviceInfo, isLaser) == 95);
static_assert(offsetof(TLI_DeviceInfo, isCustomType) == 96);
static_assert(offsetof(TLI_DeviceInfo, isRack) == 97);
static_assert(offsetof(TLI_DeviceInfo, maxChannels) == 98);
static_assert(sizeof(MOT_HomingParameters) == 12);
static_assert(offsetof(MOT_HomingParameters, direction) == 0);
static_assert(offsetof(MOT_HomingParameters, limitSwitch) == 2);
static_assert(offsetof(MOT_HomingParameters, velocity) == 4);
static_assert(offsetof(MOT_HomingParameters, offsetDistance) == 8);
#endif
