// A zip archive: opened over a file interface, its members listed and
// extracted (stored or deflated, with CRC-32 check and the traditional
// encryption), or written member by member.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

#include "setup/ZipDirectory.h"
#include "setup/ZipEntryHeader.h"
#include "setup/ZipStore.h"

// Called after each written block with the member's size, the bytes
// written so far and the user data; false ends the extraction.
typedef bool (*ZipExtractCallback)(uint32_t total, uint32_t done, void* userData);

class CZipContainer {
public:
    enum OpenMode { zipOpen = 0, zipOpenReadOnly = 1, zipCreate = 2 };

    CZipContainer();
    ~CZipContainer();
    CZipContainer(const CZipContainer&) = delete;
    CZipContainer& operator=(const CZipContainer&) = delete;

    // Modes 0 and 1 read the central directory; 2 starts an empty archive on
    // the file. Nothing while an archive is open.
    void Open(CZipFileInterface& file, int mode);
    // Starts a spanned archive by name: on removable disks (splitSize 0,
    // with a span callback) or as split volumes of at most splitSize bytes.
    void OpenSpanned(const std::string& path, uint32_t splitSize);
    void SetSpanCallback(ZipSpanCallback callback, void* userData) { m_store.SetSpanCallback(callback, userData); }
    void SetPassword(const std::string& password) { m_password = password; }

    int GetCount() const { return int(m_directory.GetCount()); }
    bool GetEntryInfo(int index, CZipEntryHeader& header) const;
    // Writes the member below folder (with its stored folders when
    // fullPath); true only when it was written whole with the right CRC.
    bool ExtractEntry(int index, const std::string& folder, bool fullPath, const char* newName,
                      ZipExtractCallback callback, void* userData, uint32_t bufferSize);
    void Close(bool afterException = false);
    bool IsClosed() const { return m_store.File() == nullptr; }
    std::string GetArchivePath() const;
    CZipDirectory& Directory() { return m_directory; }

    // Reading a member: open, read until a short count, close. CloseFile
    // answers 1 complete, -1 bytes left, -2 attributes or time not set.
    bool OpenFile(int index);
    uint32_t ReadFile(void* buffer, uint32_t size);
    int CloseFile(const std::string& extractedPath = std::string());

    // Adding a member: its local header (and encryption header), its data,
    // then the CRC and sizes. The header gives name, time, attributes and
    // method; level is deflate's.
    bool OpenNewEntry(const CZipEntryHeader& header, int level = Z_DEFAULT_COMPRESSION);
    bool WriteNewEntry(const void* data, uint32_t size);
    bool CloseNewEntry();

    // The traditional encryption.
    void InitKeys();
    bool CheckEncryptionHeader();
    void EncryptBuffer(uint8_t* data, uint32_t size);
    void DecryptBuffer(uint8_t* data, uint32_t size);

    void CheckForError(int result);
    [[noreturn]] void ThrowError(int code, bool zlib);

private:
    void UpdateKeys(uint8_t c);
    uint8_t StreamByte() const;
    void ReleaseMember();
    // Writes the compressed bytes of the member being added (encrypted when
    // it is).
    void FlushDataBuffer();
    static voidpf Alloc(voidpf opaque, uInt items, uInt size);
    static void Free(voidpf opaque, voidpf address);
    void ReadDescriptor();
    bool MakeTarget(int index, const std::string& folder, bool fullPath, const char* newName, std::string& target);

    CZipStore m_store;
    CZipDirectory m_directory;
    uint32_t m_keys[3];
    std::string m_password;
    int m_system;
    int m_memberState;     // 0 none, 1 being added, -1 being extracted
    uint32_t m_bytesLeft;  // adding: bytes in the data buffer; extracting: compressed bytes left
    uint32_t m_uncompressedLeft;
    uint32_t m_crc;
    z_stream m_stream;
    std::vector<uint8_t> m_data;  // the member's data buffer
    bool m_trackZlib;
    std::vector<void*> m_zlibBlocks;
};
