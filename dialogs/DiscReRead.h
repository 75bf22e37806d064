// Reading a stored CD-ROM or DVD again from a drive: refreshing the media
// information of its files, or replacing its files by what the drive holds
// now while each file at an unchanged path keeps its record.
#pragma once

#include <string>

#include "core/WinTypes.h"

// Whether the drive (a CD-ROM drive whose volume can be read) holds the
// disc: its label equals the disc's name and its serial number the disc's.
bool DriveHoldsDisc(char letter, const char* discName, const char* discSerial);

// Reads the media information of each of the disc's files again from the
// drive. A file that can't be read keeps what it had.
void ReReadDiscInfo(DWORD discId, char letter);

// Replaces the disc's files by those found in the drive. Every new record is
// made first; when none could be made nothing changes. A found file at a
// path the disc already had takes over that file's record (its id, movie
// and part number); other found files are stored and placed into movies;
// old files not found again are removed last. False, after a message, when
// nothing changed.
bool ReAddDiscFiles(DWORD discId, char letter);
