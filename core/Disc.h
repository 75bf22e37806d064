// A disc or volume: a CD-ROM or DVD, or a hard-disc or network volume, with
// the ids of the movie files found on it.
#pragma once

#include <vector>

#include "core/WinTypes.h"

class CDisc {
public:
    CDisc();
    virtual ~CDisc();

    void CopyFrom(const CDisc& other);
    // The network flag is not compared: it is not kept in the file.
    bool IsDifferent(const CDisc& other) const;

    void AddFileId(DWORD id);
    // Takes the first occurrence of the id out of the file list; false when
    // the list does not hold it.
    bool RemoveFileId(DWORD id);
    bool HasFileId(DWORD id) const;

    DWORD GetFileCount() const { return DWORD(m_fileIds.size()); }

    char* m_serialNumber;  // "1A2B-3C4D"
    char* m_name;          // volume label, "%s (%c:)" for a hard-disc or network volume
    std::vector<DWORD> m_fileIds;
    DWORD m_id;
    BYTE m_fixedOrNetwork; // 1 for a hard-disc or network volume
    BYTE m_network;        // 1 for a network volume
    BYTE m_driveLetter;    // lower case

private:
    CDisc(const CDisc&) = delete;
    CDisc& operator=(const CDisc&) = delete;
};
