// The central directory of an archive: reading it, and writing it with the
// end record when an archive that was written is closed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "setup/ZipEntryHeader.h"

class CZipStore;

class CZipDirectory {
public:
    CZipDirectory();

    void Attach(CZipStore* store) { m_store = store; }
    // Finds the end record and reads every header (errors 114, 101, 113).
    void Read();
    // At the close of an archive that was written: the headers and the end
    // record; nothing once the directory was read or written.
    void Write();
    uint32_t WriteHeaders();
    uint32_t WriteEndRecord();
    // Turns a spanned archive that fits on its first volume into an
    // ordinary one: drops the span signature and the data descriptors of
    // members that are not encrypted. In the write buffer or in the file.
    bool RemoveDataDescriptors(bool inMemory);
    // Writes the CRC-32 and sizes of the member just added.
    void CloseNewEntry();
    void BuildSortedIndex();
    // Where member index's local header and data must end on its volume;
    // no limit for a member the directory read did not list.
    uint64_t GetMemberLimit(size_t index) const { return index < m_limits.size() ? m_limits[index] : UINT64_MAX; }
    // Empties the directory for the next archive.
    void Clear();

    size_t GetCount() const { return m_headers.size(); }
    CZipEntryHeader* GetHeader(size_t index) const { return index < m_headers.size() ? m_headers[index].get() : nullptr; }
    // The system of the archive's members: the first member's, else 0.
    int GetSystem() const { return m_headers.empty() ? 0 : m_headers[0]->GetSystem(); }

    uint16_t m_thisDisk;
    uint16_t m_diskWithDirectory;
    uint16_t m_entriesOnDisk;
    uint16_t m_totalEntries;
    uint32_t m_directorySize;
    uint32_t m_directoryOffset;
    std::string m_comment;
    std::vector<std::unique_ptr<CZipEntryHeader>> m_headers;
    std::vector<uint8_t> m_localExtra;  // of the member being read
    std::vector<std::pair<CZipEntryHeader*, uint16_t>> m_sortedIndex;
    CZipEntryHeader* m_current;         // being read or written
    CZipStore* m_store;
    uint64_t m_endRecordPosition;
    uint64_t m_prefix;                  // bytes in front of the archive
    bool m_written;
    bool m_convertNames;
    bool m_sortedIndexOn;

private:
    uint64_t FindEndRecord();
    void FindMemberLimits(bool single);
    [[noreturn]] void Fail(int cause) const;

    std::vector<uint64_t> m_limits;  // by member, from FindMemberLimits
};
