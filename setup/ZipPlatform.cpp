#include "setup/ZipPlatform.h"

#include "setup/ZipException.h"
#include "setup/ZipPathParts.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <unistd.h>
#endif

namespace {

// Converters to and from the common (DOS) form; NULL where a system has none.
typedef uint32_t (*AttributeConverter)(uint32_t);

uint32_t Keep(uint32_t attributes)
{
    return attributes;
}

uint32_t MacKeep(uint32_t attributes)
{
    return attributes & (ZIP_ATTR_READONLY | ZIP_ATTR_DIRECTORY);
}

// A Unix member's mode sits in the high 16 bits; some writers put the
// folder bit in the low DOS byte instead.
uint32_t UnixToCommon(uint32_t attributes)
{
    uint32_t mode = attributes >> 16;
    uint32_t common = 0;
    if ((mode & 0xF000) == 0x4000 || (attributes & ZIP_ATTR_DIRECTORY) != 0)
        common |= ZIP_ATTR_DIRECTORY;
    if ((mode & 0100) == 0)
        common |= ZIP_ATTR_ARCHIVE;
    if ((mode & 0400) == 0)
        common |= ZIP_ATTR_HIDDEN;
    return common;
}

uint32_t CommonToUnix(uint32_t attributes)
{
    uint32_t unix = (attributes & ZIP_ATTR_HIDDEN) ? 0x01000000 : 0x01240000;
    if ((attributes & ZIP_ATTR_READONLY) == 0)
        unix |= 0x00900000;
    if (attributes & ZIP_ATTR_DIRECTORY)
        unix |= 0x40000000 | ZIP_ATTR_DIRECTORY;
    return unix;
}

struct Converters {
    AttributeConverter toCommon;
    AttributeConverter fromCommon;
};

const Converters kConverters[11] = {
    {Keep, Keep}, {nullptr, nullptr}, {nullptr, nullptr}, {UnixToCommon, CommonToUnix},
    {nullptr, nullptr}, {nullptr, nullptr}, {Keep, Keep}, {MacKeep, MacKeep},
    {nullptr, nullptr}, {nullptr, nullptr}, {Keep, Keep}};

} // namespace

std::string ZipDiskPath(const std::string& path)
{
#ifdef _WIN32
    return path;
#else
    std::string disk = path;
    for (char& c : disk) {
        if (c == '\\')
            c = '/';
    }
    return disk;
#endif
}

namespace ZipPlatform {

bool IsSupportedSystem(int system)
{
    return system > 10 || system == 0 || system == 3 || system == 6 || system == 7 || system == 10;
}

uint32_t ConvertAttributes(uint32_t attributes, int fromSystem, int toSystem, const std::string& archive)
{
    if (fromSystem == toSystem || fromSystem > 10 || toSystem > 10 || fromSystem < 0 || toSystem < 0)
        return attributes;
    const Converters& from = kConverters[fromSystem];
    const Converters& to = kConverters[toSystem];
    if (from.toCommon == nullptr || to.fromCommon == nullptr)
        throw CZipException(CZipException::platformNotSupported, archive);
    return to.fromCommon(from.toCommon(attributes));
}

void ConvertName(std::string& name, int system, bool toPlatform)
{
    if (toPlatform) {
        for (char& c : name) {
            if (c == '/')
                c = '\\';
        }
#ifdef _WIN32
        if (system == ZIP_SYSTEM_DOS && !name.empty())
            ::OemToCharBuffA(name.c_str(), &name[0], DWORD(name.size()));
#endif
        return;
    }
    if (system != ZIP_SYSTEM_DOS)
        return;
#ifdef _WIN32
    if (!name.empty())
        ::CharToOemBuffA(name.c_str(), &name[0], DWORD(name.size()));
#endif
    for (char& c : name) {
        if (c == '\\')
            c = '/';
    }
}

#ifdef _WIN32

int FileExists(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? -1 : 1;
}

bool MakeOneFolder(const std::string& path)
{
    return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

void DeleteDiskFile(const std::string& path)
{
    if (!::DeleteFileA(path.c_str()))
        throw CZipException(CZipException::cantDelete, path);
}

void RenameDiskFile(const std::string& from, const std::string& to)
{
    if (!::MoveFileA(from.c_str(), to.c_str()))
        throw CZipException(CZipException::cantRename, from);
}

namespace {

std::string DriveRoot(const std::string& path)
{
    CZipPathParts parts(path);
    return parts.m_drive.empty() ? std::string() : parts.m_drive + "\\";
}

} // namespace

uint32_t FreeDiskSpace(const std::string& path)
{
    std::string root = DriveRoot(path);
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!::GetDiskFreeSpaceA(root.empty() ? nullptr : root.c_str(), &sectorsPerCluster, &bytesPerSector,
                             &freeClusters, &clusters))
        return 0;
    // Counted in 64 bits: today's disks overflow the 32-bit product.
    uint64_t bytes = uint64_t(sectorsPerCluster) * bytesPerSector * freeClusters;
    return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(bytes);
}

bool IsDriveRemovable(const std::string& path)
{
    std::string root = DriveRoot(path);
    return ::GetDriveTypeA(root.empty() ? nullptr : root.c_str()) == DRIVE_REMOVABLE;
}

bool LabelVolume(const std::string& path, const std::string& label)
{
    std::string root = DriveRoot(path);
    return ::SetVolumeLabelA(root.empty() ? nullptr : root.c_str(), label.c_str()) != FALSE;
}

bool GetCurrentFolder(std::string& folder)
{
    DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    if (size == 0)
        return false;
    folder.assign(size, '\0');
    DWORD n = ::GetCurrentDirectoryA(size, &folder[0]);
    if (n == 0 || n >= size)
        return false;
    folder.resize(n);
    return true;
}

bool ChangeFolder(const std::string& path)
{
    return ::SetCurrentDirectoryA(path.c_str()) != FALSE;
}

bool SetModTime(const std::string& path, uint16_t dosDate, uint16_t dosTime)
{
    FILETIME local, utc, now;
    if (!::DosDateTimeToFileTime(dosDate, dosTime, &local) || !::LocalFileTimeToFileTime(&local, &utc))
        return false;
    ::GetSystemTimeAsFileTime(&now);
    HANDLE file = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL done = ::SetFileTime(file, nullptr, &now, &utc);
    ::CloseHandle(file);
    return done != FALSE;
}

bool SetAttributes(const std::string& path, uint32_t attributes)
{
    DWORD keep = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_DIRECTORY);
    return ::SetFileAttributesA(path.c_str(), keep != 0 ? keep : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

#else

int FileExists(const std::string& path)
{
    struct stat info;
    if (stat(ZipDiskPath(path).c_str(), &info) != 0)
        return 0;
    return S_ISDIR(info.st_mode) ? -1 : 1;
}

bool MakeOneFolder(const std::string& path)
{
    return mkdir(ZipDiskPath(path).c_str(), 0777) == 0;
}

void DeleteDiskFile(const std::string& path)
{
    if (remove(ZipDiskPath(path).c_str()) != 0)
        throw CZipException(CZipException::cantDelete, path);
}

void RenameDiskFile(const std::string& from, const std::string& to)
{
    if (rename(ZipDiskPath(from).c_str(), ZipDiskPath(to).c_str()) != 0)
        throw CZipException(CZipException::cantRename, from);
}

uint32_t FreeDiskSpace(const std::string& path)
{
    CZipPathParts parts(path);
    std::string folder = parts.GetFolderPath();
    struct statvfs info;
    if (statvfs(folder.empty() ? "." : ZipDiskPath(folder).c_str(), &info) != 0)
        return 0;
    uint64_t bytes = uint64_t(info.f_bavail) * info.f_frsize;
    return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(bytes);
}

bool IsDriveRemovable(const std::string&)
{
    return false;
}

bool LabelVolume(const std::string&, const std::string&)
{
    return false;
}

bool GetCurrentFolder(std::string& folder)
{
    char buffer[4096];
    if (getcwd(buffer, sizeof(buffer)) == nullptr)
        return false;
    folder = buffer;
    return true;
}

bool ChangeFolder(const std::string& path)
{
    return chdir(ZipDiskPath(path).c_str()) == 0;
}

bool SetModTime(const std::string& path, uint16_t dosDate, uint16_t dosTime)
{
    struct tm local = {};
    local.tm_sec = (dosTime & 0x1F) * 2;
    local.tm_min = (dosTime >> 5) & 0x3F;
    local.tm_hour = dosTime >> 11;
    local.tm_mday = dosDate & 0x1F;
    local.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
    local.tm_year = (dosDate >> 9) + 80;
    local.tm_isdst = -1;
    time_t modified = mktime(&local);
    if (modified == time_t(-1))
        return false;
    struct timeval times[2];
    gettimeofday(&times[0], nullptr);
    times[1].tv_sec = modified;
    times[1].tv_usec = 0;
    return utimes(ZipDiskPath(path).c_str(), times) == 0;
}

bool SetAttributes(const std::string& path, uint32_t attributes)
{
    struct stat info;
    std::string disk = ZipDiskPath(path);
    if (stat(disk.c_str(), &info) != 0)
        return false;
    mode_t mode = info.st_mode & 07777;
    if (attributes & ZIP_ATTR_READONLY)
        mode &= ~mode_t(0222);
    return chmod(disk.c_str(), mode) == 0;
}

#endif

DriveCalls theDrive = {FreeDiskSpace, IsDriveRemovable, LabelVolume};

bool FolderExists(const std::string& path)
{
    return FileExists(path) == -1;
}

bool ForceFolder(const std::string& path)
{
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '\\')
        folder.pop_back();
    if (folder.empty() || FolderExists(folder))
        return true;
    CZipPathParts parts(folder);
    std::string parent = parts.GetFolderPath();
    if (parent == folder)
        return true;  // a root
    if (!parent.empty() && !ForceFolder(parent))
        return false;
    return MakeOneFolder(folder) || FolderExists(folder);
}

} // namespace ZipPlatform
