/* Extra exports of the fake-world build of resource.dll only (never of the real one): they let a
 * host under test choose the simulated world and see what reached it. */
#ifndef DEVICE_LIBRARY_FAKE_WORLD_EXPORTS_H
#define DEVICE_LIBRARY_FAKE_WORLD_EXPORTS_H

#include "device_library/device_library.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Replaces the simulated world with a fresh one of the named scenario (fake_world_scenarios.h
 * lists them); 1 on success, 0 (world unchanged) for an unknown name. */
uint8_t DEVICE_LIBRARY_CALL FakeWorldUseScenario(const DeviceLibraryChar* name);
/* Reports that reached a collection (HidD_SetFeature, HidD_SetOutputReport), accepted or not. */
int32_t DEVICE_LIBRARY_CALL FakeWorldReportCount(void);
/* The report at index: its length is the result (-1 beyond the last); the collection's path goes
 * to pathOut (string-output convention), up to bytesCapacity bytes to bytesOut, 1 or 0 to
 * acceptedOut. Every output may be null. */
int32_t DEVICE_LIBRARY_CALL FakeWorldGetReport(int32_t index, DeviceLibraryChar* pathOut, uint8_t* bytesOut,
                                               uint32_t bytesCapacity, uint8_t* acceptedOut);
/* Handles, device information sets, preparsed data and buffers acquired and not released. */
int32_t DEVICE_LIBRARY_CALL FakeWorldOpenObjectCount(void);
/* Makes the occurrence-th next call of the named platform function fail (1 = the next one, 0 =
 * every one from now on) with the given last-error value; 0 for an unknown name. */
uint8_t DEVICE_LIBRARY_CALL FakeWorldFailCall(const DeviceLibraryChar* callName, int32_t occurrence, uint32_t error);

#ifdef __cplusplus
}
#endif

#endif
