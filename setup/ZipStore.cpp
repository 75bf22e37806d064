#include "setup/ZipStore.h"

#include <cstdio>
#include <cstring>
#include <exception>

#include "setup/ZipException.h"
#include "setup/ZipPathParts.h"
#include "setup/ZipPlatform.h"

namespace {

const unsigned kNewVolumeFlags = ZIP_MODE_CREATE | ZIP_MODE_READ_WRITE | ZIP_SHARE_DENY_WRITE;
const unsigned kExistingVolumeFlags = ZIP_MODE_NO_TRUNCATE | ZIP_MODE_READ | ZIP_SHARE_DENY_WRITE;
const int kMaxVolumes = 999;

} // namespace

CZipStore::CZipStore()
    : m_writeBufferSize(65535), m_userData(nullptr), m_file(nullptr), m_spanMode(ZIP_NOT_SPANNED),
      m_callback(nullptr), m_splitDatum(0), m_buffered(0), m_volumeLimit(0), m_written(0), m_creating(false),
      m_converted(false), m_currentVolume(-1)
{
}

CZipStore::~CZipStore()
{
    m_ownFile.Close();
}

void CZipStore::SetSpanCallback(ZipSpanCallback callback, void* userData)
{
    m_callback = callback;
    m_userData = userData;
}

void CZipStore::Open(CZipFileInterface* file, int mode)
{
    m_file = file;
    m_writeBuffer.assign(m_writeBufferSize, 0);
    m_buffered = 0;
    m_written = 0;
    m_creating = false;
    m_converted = false;
    m_archivePath = file->GetFilePath();
    if (mode == 2) {
        m_currentVolume = 0;
        m_spanMode = ZIP_NOT_SPANNED;
        m_file->SetLength(0);
        m_file->SeekToBegin();
    } else {
        m_file->SeekToBegin();
        m_spanMode = ZIP_SPAN_UNDETERMINED;
    }
}

void CZipStore::OpenSpanned(const std::string& path, uint32_t splitSize)
{
    m_archivePath = path;
    m_writeBuffer.assign(m_writeBufferSize, 0);
    m_buffered = 0;
    m_written = 0;
    m_currentVolume = 0;
    m_creating = true;
    m_converted = false;
    if (splitSize == 0) {
        if (m_callback == nullptr)
            throw CZipException(CZipException::noCallback, path);
        m_spanMode = ZIP_DISK_SPANNING;
        m_ownFile.Open(path, kNewVolumeFlags, true);
        m_volumeLimit = ZipPlatform::theDrive.freeSpace(path);
    } else {
        m_spanMode = ZIP_SPLIT_VOLUMES;
        m_splitDatum = splitSize;
        m_volumeLimit = splitSize;
        m_ownFile.Open(SplitVolumeName(0, false), kNewVolumeFlags, true);
    }
    m_file = &m_ownFile;
}

int CZipStore::IsSpanMode() const
{
    if (m_spanMode == ZIP_NOT_SPANNED || m_spanMode == ZIP_SPAN_UNDETERMINED || m_converted)
        return 0;
    return m_creating ? 1 : -1;
}

std::string CZipStore::SplitVolumeName(int volume, bool last) const
{
    CZipPathParts parts(m_archivePath);
    if (last) {
        parts.m_extension = "zip";
    } else {
        char number[16];
        std::snprintf(number, sizeof(number), "%.3d", volume);
        parts.m_extension = number;
    }
    return parts.GetFullPath();
}

void CZipStore::RaiseShortRead() const
{
    throw CZipException(CZipException::badZipFile, m_archivePath);
}

uint32_t CZipStore::Read(void* buffer, uint32_t length, bool atOnce)
{
    if (length == 0)
        return 0;
    if (m_volumeFailure)
        std::rethrow_exception(m_volumeFailure);
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t got = m_file->Read(out, length);
    while (got == 0) {
        if (IsSpanMode() == 0)
            RaiseShortRead();
        ChangeVolume(uint16_t(m_currentVolume + 1));
        got = m_file->Read(out, length);
    }
    if (got == length)
        return got;
    if (IsSpanMode() != 0 && !atOnce) {
        while (got < length) {
            ChangeVolume(uint16_t(m_currentVolume + 1));
            uint32_t more = m_file->Read(out + got, length - got);
            if (more == 0)
                break;
            got += more;
        }
        if (got == length)
            return got;
    }
    RaiseShortRead();
    return 0;
}

uint32_t CZipStore::VolumeLeft() const
{
    if (m_spanMode == ZIP_DISK_SPANNING)
        return m_volumeLimit > m_buffered ? m_volumeLimit - m_buffered : 0;
    uint64_t used = uint64_t(m_buffered) + m_written;
    return m_volumeLimit > used ? uint32_t(m_volumeLimit - used) : 0;
}

void CZipStore::Write(const void* buffer, uint32_t length, bool atOnce)
{
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    if (IsSpanMode() != 1) {
        while (length > 0) {
            uint32_t room = m_writeBufferSize - m_buffered;
            uint32_t n = length < room ? length : room;
            memcpy(m_writeBuffer.data() + m_buffered, in, n);
            m_buffered += n;
            in += n;
            length -= n;
            if (m_buffered == m_writeBufferSize)
                Flush();
        }
        return;
    }
    uint32_t needed = atOnce ? length : 1;
    while (length > 0) {
        while (VolumeLeft() < needed) {
            // A record larger than a split volume goes whole onto an empty one.
            if (m_spanMode == ZIP_SPLIT_VOLUMES && m_written == 0 && m_buffered == 0)
                m_volumeLimit = needed;
            else
                NextVolume(needed);
        }
        uint32_t left = VolumeLeft();
        uint32_t n = length < left ? length : left;
        while (n > 0) {
            uint32_t room = m_writeBufferSize - m_buffered;
            uint32_t part = n < room ? n : room;
            memcpy(m_writeBuffer.data() + m_buffered, in, part);
            m_buffered += part;
            in += part;
            n -= part;
            length -= part;
            if (m_buffered == m_writeBufferSize)
                Flush();
        }
        if (atOnce)
            break;
    }
}

void CZipStore::Flush()
{
    m_written += m_buffered;
    if (m_buffered > 0 && m_file != nullptr)
        m_file->Write(m_writeBuffer.data(), m_buffered);
    m_buffered = 0;
    if (m_spanMode == ZIP_DISK_SPANNING && m_file != nullptr) {
        std::string path = m_file->GetFilePath();
        m_volumeLimit = path.empty() ? 0 : ZipPlatform::theDrive.freeSpace(path);
    }
}

uint64_t CZipStore::GetPosition() const
{
    return m_file->GetPosition() + m_buffered;
}

void CZipStore::NextVolume(uint32_t needed)
{
    Flush();
    if (m_written > 0) {
        m_written = 0;
        m_currentVolume++;
        if (m_currentVolume >= kMaxVolumes)
            throw CZipException(CZipException::tooManyVolumes, m_archivePath);
    }
    std::string path =
        m_spanMode == ZIP_DISK_SPANNING ? m_file->GetFilePath() : SplitVolumeName(m_currentVolume, false);
    m_file->Close();
    if (m_spanMode == ZIP_DISK_SPANNING) {
        int code = int(needed);
        for (;;) {
            if (m_callback == nullptr || !m_callback(m_currentVolume + 1, code, m_userData))
                throw CZipException(CZipException::aborted, path);
            if (ZipPlatform::FileExists(path) != 0) {
                code = -2;
                continue;
            }
            char label[16];
            std::snprintf(label, sizeof(label), "pkback# %.3d", m_currentVolume + 1);
            if (!ZipPlatform::theDrive.labelVolume(path, label)) {
                code = -3;
                continue;
            }
            if (!m_file->Open(path, kNewVolumeFlags, false)) {
                code = -4;
                continue;
            }
            break;
        }
        m_volumeLimit = ZipPlatform::theDrive.freeSpace(path);
    } else {
        m_volumeLimit = m_splitDatum;
        m_file->Open(path, kNewVolumeFlags, true);
    }
}

void CZipStore::ChangeVolume(uint16_t volume)
{
    // The file was closed for a volume that could not be opened: nothing
    // can be read any more, and every later change or read fails the same
    // way.
    if (m_volumeFailure)
        std::rethrow_exception(m_volumeFailure);
    if (int(volume) == m_currentVolume)
        return;
    if (m_spanMode == ZIP_SPLIT_VOLUMES && volume > m_splitDatum)
        RaiseShortRead();
    try {
        std::string path;
        if (m_spanMode == ZIP_DISK_SPANNING) {
            path = m_file->GetFilePath();
            m_file->Close();
            if (m_callback == nullptr || !m_callback(volume + 1, -1, m_userData))
                throw CZipException(CZipException::aborted, path);
        } else {
            path = SplitVolumeName(volume, volume == m_splitDatum);
            m_file->Close();
        }
        m_file->Open(path, kExistingVolumeFlags, true);
    } catch (...) {
        m_volumeFailure = std::current_exception();
        throw;
    }
    m_currentVolume = volume;
}

void CZipStore::UpdateSpanMode(uint16_t volume)
{
    m_currentVolume = volume;
    if (volume == 0) {
        m_spanMode = ZIP_NOT_SPANNED;
        return;
    }
    // Other volumes are files named after this one: an archive without a
    // path (in memory) has none.
    if (m_archivePath.empty())
        RaiseShortRead();
    if (m_spanMode == ZIP_SPAN_UNDETERMINED && ZipPlatform::theDrive.isRemovable(m_archivePath))
        m_spanMode = ZIP_DISK_SPANNING;
    else
        m_spanMode = ZIP_SPLIT_VOLUMES;
    if (m_spanMode == ZIP_SPLIT_VOLUMES)
        m_splitDatum = volume;
    else if (m_callback == nullptr)
        throw CZipException(CZipException::noCallback, m_archivePath);
    m_writeBuffer.clear();
    m_writeBuffer.shrink_to_fit();
}

void CZipStore::Close(bool afterException)
{
    if (!afterException && m_file != nullptr && !m_file->IsClosed())
        Flush();
    if (m_file != nullptr) {
        if (!afterException && m_spanMode == ZIP_SPLIT_VOLUMES && m_creating) {
            std::string last = SplitVolumeName(0, true);
            std::string current = m_file->GetFilePath();
            m_file->Close();
            if (ZipPlatform::FileExists(last) != 0)
                ZipPlatform::DeleteDiskFile(last);
            ZipPlatform::RenameDiskFile(current, last);
        } else {
            m_file->Close();
        }
    }
    m_writeBuffer.clear();
    m_writeBuffer.shrink_to_fit();
    m_buffered = 0;
    m_spanMode = ZIP_NOT_SPANNED;
    m_file = nullptr;
    m_currentVolume = -1;
    m_creating = false;
    m_converted = false;
    m_volumeFailure = nullptr;
}
