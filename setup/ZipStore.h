// The storage between an archive and its file: a write buffer, and volumes
// of a spanned archive, either on removable disks labelled "pkback# 001"...
// or as split files a.000, a.001 ... a.zip.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "setup/ZipFile.h"
#include "setup/ZipFileInterface.h"

// Called with the volume number counted from 1, a code (the bytes needed
// when asking for a new disk; -1 when asking for a disk to read; -2 the
// file is already on the disk; -3 the disk can't be labelled; -4 the file
// can't be made) and the user data; false gives up.
typedef bool (*ZipSpanCallback)(int volume, int code, void* userData);

enum ZipSpanMode { ZIP_NOT_SPANNED = 0, ZIP_DISK_SPANNING = 1, ZIP_SPLIT_VOLUMES = 2, ZIP_SPAN_UNDETERMINED = 3 };

class CZipStore {
public:
    CZipStore();
    ~CZipStore();
    CZipStore(const CZipStore&) = delete;
    CZipStore& operator=(const CZipStore&) = delete;

    // Mode 2 creates (the file is emptied), any other opens an existing
    // archive, whose span mode the end record settles.
    void Open(CZipFileInterface* file, int mode);
    // Creating a spanned archive by name: disk spanning (splitSize 0) or
    // split volumes of at most splitSize bytes each.
    void OpenSpanned(const std::string& path, uint32_t splitSize);
    void SetSpanCallback(ZipSpanCallback callback, void* userData);

    // 0 not spanned, 1 a spanned archive being created, -1 one being read.
    int IsSpanMode() const;
    // Reads length bytes; a short read is error 101. Without atOnce a read
    // of a spanned archive goes on over the following volumes.
    uint32_t Read(void* buffer, uint32_t length, bool atOnce);
    // With atOnce the bytes never straddle two volumes.
    void Write(const void* buffer, uint32_t length, bool atOnce);
    void Flush();
    uint64_t GetPosition() const;
    uint32_t VolumeLeft() const;
    void UpdateSpanMode(uint16_t volume);
    void ChangeVolume(uint16_t volume);
    void NextVolume(uint32_t needed);
    void Close(bool afterException);

    CZipFileInterface* File() const { return m_file; }
    int SpanMode() const { return m_spanMode; }
    int CurrentVolume() const { return m_currentVolume; }
    uint32_t Buffered() const { return m_buffered; }
    uint8_t* WriteBuffer() { return m_writeBuffer.data(); }
    uint32_t WriteBufferSize() const { return m_writeBufferSize; }
    uint32_t Written() const { return m_written; }
    void SetBuffered(uint32_t count) { m_buffered = count; }
    void SetWritten(uint32_t count) { m_written = count; }
    // A spanned archive that fit on its first volume is written on as an
    // ordinary one (its split file still gets the last volume's name).
    void SetConverted() { m_converted = true; }
    const std::string& ArchivePath() const { return m_archivePath; }

private:
    std::string SplitVolumeName(int volume, bool last) const;
    void RaiseShortRead() const;

    uint32_t m_writeBufferSize;
    void* m_userData;
    CZipFile m_ownFile;
    CZipFileInterface* m_file;
    int m_spanMode;
    ZipSpanCallback m_callback;
    uint32_t m_splitDatum;  // writing: the volume size; reading: the last volume
    uint32_t m_buffered;
    uint32_t m_volumeLimit;
    std::vector<uint8_t> m_writeBuffer;
    uint32_t m_written;
    bool m_creating;
    bool m_converted;
    int m_currentVolume;
    std::string m_archivePath;  // the path the volumes are named after
    std::exception_ptr m_volumeFailure;  // why the last volume change failed
};
