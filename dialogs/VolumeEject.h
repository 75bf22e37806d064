// Ejecting the medium of a drive: the volume operations and their order.
#pragma once

#include <windows.h>

HANDLE OpenVolume(char driveLetter);
bool LockVolume(HANDLE volume);
bool DismountVolume(HANDLE volume);
bool PreventMediaRemoval(HANDLE volume, bool prevent);
bool EjectMedia(HANDLE volume);
bool CloseVolume(HANDLE volume);

// The six operations, so a run can be watched where a drive can't be had.
struct VolumeOperations {
    HANDLE (*open)(char driveLetter);
    bool (*lock)(HANDLE volume);
    bool (*dismount)(HANDLE volume);
    bool (*preventRemoval)(HANDLE volume, bool prevent);
    bool (*eject)(HANDLE volume);
    bool (*close)(HANDLE volume);
};
extern const VolumeOperations kVolumeOperations;

// Open, lock, dismount, allow removal, eject: the first that fails stops
// the run. The volume is closed whatever happened. False on a failure.
bool EjectDrive(char driveLetter, const VolumeOperations& operations = kVolumeOperations);
