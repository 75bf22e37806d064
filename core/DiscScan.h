// Reading a drive's volume into a disc record and searching a CD-ROM or DVD
// for media files.
#pragma once

#ifdef _WIN32
#include <string>

#include "core/WinTypes.h"

class CDisc;
class CFoundFileList;

// A volume serial number as discs keep it: "1A2B-3C4D".
std::string SerialNumberText(DWORD serial);

// Fills disc from the drive named by path (a drive letter, or a root such as
// "e:\"): kind, drive letter, serial number text and name. Fixed and network
// drives are taken as they are; a CD-ROM or DVD is also searched for media
// files into list when one is given (the list is emptied first). Any other
// kind of drive is refused with a message. False, after a message, on any
// failure; the disc may then be partly filled.
bool ScanDisc(const char* path, CDisc* disc, CFoundFileList* list);

// Adds every media file in folder and its subfolders to list, in the order
// the search meets them. Names beginning with "." are passed over. False,
// after a message, when a folder cannot be searched.
bool SearchFolder(CFoundFileList* list, const char* folder);

// True for a name that the search takes: ".avi", ".mpg", ".dat", ".asf",
// ".divx" or ".mpeg" after its last ".", or the whole name "vts_01_0.ifo",
// all ignoring case.
bool IsMediaFileName(const char* name);
#endif
