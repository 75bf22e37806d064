#include "dialogs/VolumeEject.h"

#include <winioctl.h>

#include <cstdio>

namespace {

bool Control(HANDLE volume, DWORD code, void* in, DWORD inSize)
{
    if (volume == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    return DeviceIoControl(volume, code, in, inSize, NULL, 0, &returned, NULL) != FALSE;
}

} // namespace

HANDLE OpenVolume(char driveLetter)
{
    char device[8];
    std::snprintf(device, sizeof(device), "\\\\.\\%c:", driveLetter);
    return CreateFileA(device, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
}

bool LockVolume(HANDLE volume)
{
    if (volume == INVALID_HANDLE_VALUE)
        return false;
    // Another program may hold the volume a little longer.
    for (int attempt = 0; attempt < 20; attempt++) {
        if (Control(volume, FSCTL_LOCK_VOLUME, NULL, 0))
            return true;
        Sleep(500);
    }
    return false;
}

bool DismountVolume(HANDLE volume)
{
    return Control(volume, FSCTL_DISMOUNT_VOLUME, NULL, 0);
}

bool PreventMediaRemoval(HANDLE volume, bool prevent)
{
    PREVENT_MEDIA_REMOVAL removal = {};
    removal.PreventMediaRemoval = prevent ? TRUE : FALSE;
    return Control(volume, IOCTL_STORAGE_MEDIA_REMOVAL, &removal, sizeof(removal));
}

bool EjectMedia(HANDLE volume)
{
    return Control(volume, IOCTL_STORAGE_EJECT_MEDIA, NULL, 0);
}

bool CloseVolume(HANDLE volume)
{
    if (volume != INVALID_HANDLE_VALUE)
        CloseHandle(volume);
    return true;
}

const VolumeOperations kVolumeOperations = {OpenVolume, LockVolume, DismountVolume, PreventMediaRemoval,
                                            EjectMedia, CloseVolume};

bool EjectDrive(char driveLetter, const VolumeOperations& operations)
{
    HANDLE volume = operations.open(driveLetter);
    if (volume == INVALID_HANDLE_VALUE)
        return false;
    bool done = operations.lock(volume) && operations.dismount(volume) &&
                operations.preventRemoval(volume, false) && operations.eject(volume);
    // Closed on every path: a volume left open stays locked.
    operations.close(volume);
    return done;
}
