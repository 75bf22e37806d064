// What the zip library needs of the platform: attribute and name conversion
// between the archive's systems and ours, and file, folder and drive calls.
// Paths use '\' on every platform; the host build maps them to '/'.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// System codes in the high byte of "version made by".
enum ZipSystem { ZIP_SYSTEM_DOS = 0, ZIP_SYSTEM_UNIX = 3, ZIP_SYSTEM_MAC = 7, ZIP_SYSTEM_NTFS = 10 };

// DOS attribute bits, the common form of the conversions.
const uint32_t ZIP_ATTR_READONLY = 0x01;
const uint32_t ZIP_ATTR_HIDDEN = 0x02;
const uint32_t ZIP_ATTR_DIRECTORY = 0x10;
const uint32_t ZIP_ATTR_ARCHIVE = 0x20;

namespace ZipPlatform {

// The systems whose archives can be read: 0, 3, 6, 7, 10 and above 10.
bool IsSupportedSystem(int system);
// Converts external attributes between two systems; throws 113 (with the
// archive path given) when either system has no converter.
uint32_t ConvertAttributes(uint32_t attributes, int fromSystem, int toSystem, const std::string& archive);
// Converts a member name to the platform's form ('/' to '\', and OEM to
// ANSI for names stored by MS-DOS) or back.
void ConvertName(std::string& name, int system, bool toPlatform);

// 0: no such path; -1: a folder; 1: a file.
int FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Makes the folder and its missing parents; true when it exists afterwards.
bool ForceFolder(const std::string& path);
// Makes one folder whose parent exists.
bool MakeOneFolder(const std::string& path);
// Throw 111 / 112 with the path on failure.
void DeleteDiskFile(const std::string& path);
void RenameDiskFile(const std::string& from, const std::string& to);
// Free bytes on the path's drive, at most 0xFFFFFFFF; 0 on failure.
uint32_t FreeDiskSpace(const std::string& path);
bool IsDriveRemovable(const std::string& path);
bool LabelVolume(const std::string& path, const std::string& label);
// The drive calls of disk spanning, as the storage makes them; a test points
// them at a folder that stands for a removable disk.
struct DriveCalls {
    uint32_t (*freeSpace)(const std::string& path);
    bool (*isRemovable)(const std::string& path);
    bool (*labelVolume)(const std::string& path, const std::string& label);
};
extern DriveCalls theDrive;
bool GetCurrentFolder(std::string& folder);
bool ChangeFolder(const std::string& path);
// Modification time from a DOS date and time, read as local time; the
// access time becomes now.
bool SetModTime(const std::string& path, uint16_t dosDate, uint16_t dosTime);
// Sets DOS attributes (read-only, hidden, archive) on a file or folder.
bool SetAttributes(const std::string& path, uint32_t attributes);

} // namespace ZipPlatform

// The path as the platform's file calls take it.
std::string ZipDiskPath(const std::string& path);
