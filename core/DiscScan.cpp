#ifdef _WIN32
#include "core/DiscScan.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/Disc.h"
#include "core/ErrorBox.h"
#include "core/FoundFileList.h"
#include "core/StrUtil.h"

bool IsMediaFileName(const char* name)
{
    if (name == NULL)
        return false;
    if (StrEqualNoCase(name, "vts_01_0.ifo"))
        return true;
    const char* dot = strrchr(name, '.');
    if (dot == NULL)
        return false;
    static const char* const extensions[] = {".avi", ".mpg", ".dat", ".asf", ".divx", ".mpeg"};
    for (const char* extension : extensions) {
        if (StrEqualNoCase(dot, extension))
            return true;
    }
    return false;
}

bool SearchFolder(CFoundFileList* list, const char* folder)
{
    if (list == NULL || folder == NULL)
        return false;
    std::string base = folder;
    if (base.empty() || base[base.size() - 1] != '\\')
        base += '\\';
    std::string pattern = base + "*.*";

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        // The root of an empty disc has no entries at all, not even "." and
        // "..": that is an empty folder, not a failed search.
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES)
            return true;
        ShowSystemError(error, "Unable to searching drive, %s", folder);
        return false;
    }
    do {
        if (found.cFileName[0] == '.')
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            std::string sub = base + found.cFileName;
            if (!SearchFolder(list, sub.c_str())) {
                FindClose(search);
                return false;
            }
        } else if (IsMediaFileName(found.cFileName)) {
            // The folder without its trailing backslash, as the list keeps it.
            std::string where = base.substr(0, base.size() - 1);
            if (where.size() == 2 && where[1] == ':')
                where += '\\';
            list->Add(where.c_str(), found.cFileName, found.ftCreationTime, found.nFileSizeHigh,
                      found.nFileSizeLow);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

std::string SerialNumberText(DWORD serial)
{
    char hex[16];
    snprintf(hex, sizeof(hex), "%08lx", (unsigned long)serial);
    char serialText[16];
    snprintf(serialText, sizeof(serialText), "%.4s-%s", hex, hex + 4);
    for (char* p = serialText; *p != '\0'; p++)
        *p = char(toupper((unsigned char)*p));
    return serialText;
}

bool ScanDisc(const char* path, CDisc* disc, CFoundFileList* list)
{
    if (path == NULL || path[0] == '\0' || disc == NULL)
        return false;

    char letter = path[0];
    char driveRoot[4] = {letter, ':', '\\', '\0'};
    UINT type = GetDriveTypeA(driveRoot);
    switch (type) {
    case DRIVE_FIXED:
        disc->m_fixedOrNetwork = 1;
        disc->m_network = 0;
        break;
    case DRIVE_REMOTE:
        disc->m_fixedOrNetwork = 1;
        disc->m_network = 1;
        break;
    case DRIVE_CDROM:
        disc->m_fixedOrNetwork = 0;
        disc->m_network = 0;
        break;
    default:
        ShowError(0, "The drive %c is not a CDROM, DVD, Local or Network drive.", letter);
        return false;
    }
    disc->m_driveLetter = BYTE(LowerAscii(letter));

    if (list != NULL)
        list->Clear();

    // A letter alone, or a letter and a colon, names the drive's root.
    std::string root = path;
    if (root.size() == 1)
        root += ":\\";
    else if (root.size() == 2 && root[1] == ':')
        root += '\\';

    if (type == DRIVE_CDROM && list != NULL && !SearchFolder(list, root.c_str())) {
        ShowError(0, "Search died");
        return false;
    }

    char label[4000];
    DWORD serial = 0;
    if (!GetVolumeInformationA(driveRoot, label, sizeof(label), &serial, NULL, NULL, NULL, 0)) {
        ShowSystemError(GetLastError(), "Unable to read Volume info");
        return false;
    }
    label[sizeof(label) - 1] = '\0';

    StrSet(&disc->m_serialNumber, SerialNumberText(serial).c_str());

    if (type == DRIVE_CDROM) {
        StrSet(&disc->m_name, label);
    } else {
        free(disc->m_name);
        disc->m_name = NULL;
        StrAppendFormat(&disc->m_name, "%s (%c:)", label, letter);
    }

    ShowError(1, "Name:%s Serialnr:%s", disc->m_name, disc->m_serialNumber);
    return true;
}

#endif
