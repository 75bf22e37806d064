// Adding a whole CD-ROM or DVD: its volume as a disc record, its media files
// sorted into movies, and ejecting it afterwards.
#pragma once

struct VolumeOperations;

// Reads the disc in the drive (a blank letter adds nothing) and ejects it
// when asked; every failure is told in a message box.
void AddCdromDisc(char driveLetter, bool eject, const VolumeOperations* operations = nullptr);
