#include "setup/ZipDirectory.h"

#include <algorithm>
#include <clocale>
#include <cstring>

#include "setup/ZipException.h"
#include "setup/ZipPlatform.h"
#include "setup/ZipStore.h"

namespace {

const uint32_t kMaxCommentAndRecord = 65535 + ZIP_END_SIZE;
const uint32_t kSearchBlock = 4096;

} // namespace

CZipDirectory::CZipDirectory()
    : m_thisDisk(0), m_diskWithDirectory(0), m_entriesOnDisk(0), m_totalEntries(0), m_directorySize(0),
      m_directoryOffset(0), m_current(nullptr), m_store(nullptr), m_endRecordPosition(0), m_prefix(0),
      m_written(false), m_convertNames(true), m_sortedIndexOn(false)
{
}

void CZipDirectory::Clear()
{
    m_headers.clear();
    m_sortedIndex.clear();
    m_localExtra.clear();
    m_limits.clear();
    m_comment.clear();
    m_current = nullptr;
    m_thisDisk = m_diskWithDirectory = m_entriesOnDisk = m_totalEntries = 0;
    m_directorySize = m_directoryOffset = 0;
    m_endRecordPosition = m_prefix = 0;
    m_written = false;
}

void CZipDirectory::Fail(int cause) const
{
    throw CZipException(cause, m_store->ArchivePath());
}

uint64_t CZipDirectory::FindEndRecord()
{
    CZipFileInterface* file = m_store->File();
    uint64_t length = file->GetLength();
    uint64_t lowest = length > kMaxCommentAndRecord ? length - kMaxCommentAndRecord : 0;
    std::vector<uint8_t> block(kSearchBlock);
    // Blocks from the end backwards, overlapping by 3 bytes so that a
    // signature across two blocks is found; each searched from its end.
    uint64_t end = length;
    while (end > lowest && end - lowest >= 4) {
        uint64_t start = end - lowest > kSearchBlock ? end - kSearchBlock : lowest;
        uint32_t size = uint32_t(end - start);
        file->Seek(int64_t(start), ZIP_SEEK_BEGIN);
        if (file->Read(block.data(), size) != size)
            Fail(CZipException::badZipFile);
        for (uint32_t i = size - 3; i-- > 0;) {
            if (ZipGet32(block.data() + i) == ZIP_END_SIGNATURE && start + i + ZIP_END_SIZE <= length)
                return start + i;
        }
        if (start == lowest)
            break;
        end = start + 3;
    }
    Fail(CZipException::cdirNotFound);
}

void CZipDirectory::Read()
{
    m_endRecordPosition = FindEndRecord();
    CZipFileInterface* file = m_store->File();
    file->Seek(int64_t(m_endRecordPosition), ZIP_SEEK_BEGIN);
    uint8_t record[ZIP_END_SIZE];
    m_store->Read(record, ZIP_END_SIZE, true);
    m_thisDisk = ZipGet16(record + 4);
    m_diskWithDirectory = ZipGet16(record + 6);
    m_entriesOnDisk = ZipGet16(record + 8);
    m_totalEntries = ZipGet16(record + 10);
    m_directorySize = ZipGet32(record + 12);
    m_directoryOffset = ZipGet32(record + 16);
    uint16_t commentLength = ZipGet16(record + 20);
    m_comment.assign(commentLength, '\0');
    if (commentLength > 0)
        m_store->Read(&m_comment[0], commentLength, true);

    m_store->UpdateSpanMode(m_thisDisk);
    bool single = m_store->IsSpanMode() == 0;
    if (single) {
        uint64_t directoryEnd = uint64_t(m_directoryOffset) + m_directorySize;
        if (m_endRecordPosition < directoryEnd || m_entriesOnDisk != m_totalEntries)
            Fail(CZipException::badZipFile);
        m_prefix = m_endRecordPosition - directoryEnd;
    } else {
        m_prefix = 0;
    }
    if ((m_directorySize == 0) != (m_totalEntries == 0) ||
        uint64_t(m_totalEntries) * ZIP_CENTRAL_SIZE > m_directorySize)
        Fail(CZipException::badZipFile);

    if (!single)
        m_store->ChangeVolume(m_diskWithDirectory);
    file = m_store->File();
    file->Seek(int64_t(m_prefix + m_directoryOffset), ZIP_SEEK_BEGIN);
    m_headers.clear();
    uint64_t used = 0;
    for (uint32_t i = 0; i < m_totalEntries; i++) {
        std::unique_ptr<CZipEntryHeader> header(new CZipEntryHeader());
        if (!header->Read(*m_store))
            Fail(CZipException::badZipFile);
        // Every header lies within the directory's size.
        used += header->GetSize();
        if (single && used > m_directorySize)
            Fail(CZipException::badZipFile);
        if (m_convertNames)
            ZipPlatform::ConvertName(header->m_name, header->GetSystem(), true);
        m_headers.push_back(std::move(header));
    }
    if (!m_headers.empty() && !ZipPlatform::IsSupportedSystem(GetSystem()))
        Fail(CZipException::platformNotSupported);
    FindMemberLimits(single);
    m_written = true;
    if (m_sortedIndexOn)
        BuildSortedIndex();
}

void CZipDirectory::FindMemberLimits(bool single)
{
    // A member's local header and data end where the next local header on
    // its volume begins, or at the central directory. Members that share a
    // local header get no room at all, and so does one that begins inside
    // the directory. A single-file archive has one volume whatever the
    // headers say.
    auto volume = [&](size_t i) { return single ? 0 : m_headers[i]->m_diskStart; };
    auto offset = [&](size_t i) { return m_headers[i]->m_localOffset; };
    uint16_t directoryVolume = single ? 0 : m_diskWithDirectory;
    std::vector<size_t> order(m_headers.size());
    for (size_t i = 0; i < order.size(); i++)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return volume(a) != volume(b) ? volume(a) < volume(b) : offset(a) < offset(b);
    });

    m_limits.assign(m_headers.size(), UINT64_MAX);
    for (size_t k = 0; k < order.size(); k++) {
        size_t i = order[k];
        uint64_t limit = UINT64_MAX;
        if (volume(i) == directoryVolume)
            limit = offset(i) < m_directoryOffset ? m_directoryOffset : offset(i);
        if (k + 1 < order.size() && volume(order[k + 1]) == volume(i))
            limit = std::min<uint64_t>(limit, offset(order[k + 1]));
        if (k > 0 && volume(order[k - 1]) == volume(i) && offset(order[k - 1]) == offset(i))
            limit = offset(i);
        m_limits[i] = limit;
    }
}

void CZipDirectory::BuildSortedIndex()
{
    m_sortedIndex.clear();
    for (size_t i = 0; i < m_headers.size(); i++) {
        CZipEntryHeader* header = m_headers[i].get();
        size_t lo = 0, hi = m_sortedIndex.size();
        while (lo < hi) {
            size_t mid = (lo + hi) / 2;
            int c = strcoll(m_sortedIndex[mid].first->m_name.c_str(), header->m_name.c_str());
            if (c > 0) {
                hi = mid;
            } else if (c < 0) {
                lo = mid + 1;
            } else {
                lo = mid;
                break;
            }
        }
        m_sortedIndex.insert(m_sortedIndex.begin() + long(lo), std::make_pair(header, uint16_t(i)));
    }
}

void CZipDirectory::CloseNewEntry()
{
    CZipEntryHeader* header = m_current;
    if (header == nullptr)
        return;
    uint8_t fields[16];
    bool spanned = m_store->IsSpanMode() != 0;
    if (header->HasDescriptor()) {
        // After the data; with its signature when spanned or encrypted.
        uint32_t size = 12;
        uint8_t* p = fields;
        if (spanned || header->IsEncrypted()) {
            ZipPut32(fields, ZIP_DESCRIPTOR_SIGNATURE);
            p += 4;
            size = 16;
        }
        ZipPut32(p, header->m_crc32);
        ZipPut32(p + 4, header->m_compressedSize);
        ZipPut32(p + 8, header->m_uncompressedSize);
        m_store->Write(fields, size, true);
    } else {
        ZipPut32(fields, header->m_crc32);
        ZipPut32(fields + 4, header->m_compressedSize);
        ZipPut32(fields + 8, header->m_uncompressedSize);
        m_store->Flush();
        CZipFileInterface* file = m_store->File();
        file->Seek(int64_t(header->m_localOffset) + 14, ZIP_SEEK_BEGIN);
        file->Write(fields, 12);
        file->SeekToEnd();
    }
    header->m_localOffset -= uint32_t(m_prefix);
    if (!spanned && header->IsEncrypted() && header->HasDescriptor()) {
        ZipPut32(fields, header->m_crc32);
        ZipPut32(fields + 4, header->m_compressedSize);
        ZipPut32(fields + 8, header->m_uncompressedSize);
        m_store->Flush();
        CZipFileInterface* file = m_store->File();
        file->Seek(int64_t(header->m_localOffset + m_prefix) + 14, ZIP_SEEK_BEGIN);
        file->Write(fields, 12);
        file->SeekToEnd();
        m_store->Flush();
    }
    m_current = nullptr;
}

uint32_t CZipDirectory::WriteHeaders()
{
    m_entriesOnDisk = 0;
    m_diskWithDirectory = uint16_t(m_store->CurrentVolume());
    m_directoryOffset = uint32_t(m_store->GetPosition() - m_prefix);
    m_directorySize = 0;
    int reference = m_store->CurrentVolume();
    for (size_t i = 0; i < m_headers.size(); i++) {
        CZipEntryHeader header = *m_headers[i];
        if (m_convertNames)
            ZipPlatform::ConvertName(header.m_name, header.GetSystem(), false);
        uint32_t size = header.Write(*m_store);
        m_directorySize += size;
        if (m_store->CurrentVolume() == reference) {
            m_entriesOnDisk++;
        } else {
            // The header went onto another volume (it is never split).
            m_entriesOnDisk = 1;
            reference = m_store->CurrentVolume();
            if (i == 0) {
                m_directoryOffset = 0;
                m_diskWithDirectory = uint16_t(reference);
            }
        }
    }
    return m_directorySize;
}

uint32_t CZipDirectory::WriteEndRecord()
{
    std::vector<uint8_t> record(ZIP_END_SIZE + m_comment.size());
    uint8_t* p = record.data();
    ZipPut32(p, ZIP_END_SIGNATURE);
    ZipPut16(p + 4, m_thisDisk);
    ZipPut16(p + 6, m_diskWithDirectory);
    ZipPut16(p + 8, m_entriesOnDisk);
    ZipPut16(p + 10, m_totalEntries);
    ZipPut32(p + 12, m_directorySize);
    ZipPut32(p + 16, m_directoryOffset);
    ZipPut16(p + 20, uint16_t(m_comment.size()));
    std::copy(m_comment.begin(), m_comment.end(), record.begin() + ZIP_END_SIZE);
    m_store->Write(record.data(), uint32_t(record.size()), true);
    return uint32_t(record.size());
}

bool CZipDirectory::RemoveDataDescriptors(bool inMemory)
{
    // The area holding the archive: the write buffer, or the whole file.
    std::vector<uint8_t> fileBytes;
    uint8_t* area;
    uint64_t areaEnd;
    CZipFileInterface* file = m_store->File();
    if (inMemory) {
        area = m_store->WriteBuffer();
        areaEnd = m_store->Buffered();
    } else {
        uint64_t length = file->GetLength();
        if (length > 0x7FFFFFFF)
            return false;
        fileBytes.resize(size_t(length));
        file->SeekToBegin();
        if (file->Read(fileBytes.data(), uint32_t(length)) != length)
            return false;
        area = fileBytes.data();
        areaEnd = length;
    }

    uint64_t shift = 4;  // the span signature in front of the first member
    uint64_t out = 0;
    for (size_t i = 0; i < m_headers.size(); i++) {
        CZipEntryHeader& header = *m_headers[i];
        uint64_t offset = header.m_localOffset;
        uint64_t next = i + 1 < m_headers.size() ? m_headers[i + 1]->m_localOffset : areaEnd;
        uint64_t cut = 0;
        if (next > areaEnd || offset + ZIP_LOCAL_SIZE > next)
            return false;
        if (!header.IsEncrypted()) {
            header.m_flags &= uint16_t(~ZIP_FLAG_DESCRIPTOR);
            ZipPut16(area + offset + 6, header.m_flags);
            cut = 16;
        }
        ZipPut32(area + offset + 14, header.m_crc32);
        ZipPut32(area + offset + 18, header.m_compressedSize);
        ZipPut32(area + offset + 22, header.m_uncompressedSize);
        uint64_t length = next - offset - cut;
        memmove(area + out, area + offset, size_t(length));
        header.m_localOffset = uint32_t(offset - shift);
        out += length;
        shift += cut;
    }
    if (inMemory) {
        m_store->SetBuffered(uint32_t(out));
    } else {
        file->SeekToBegin();
        file->Write(area, uint32_t(out));
        file->SetLength(out);
        file->SeekToEnd();
        m_store->SetWritten(uint32_t(out));
    }
    return true;
}

void CZipDirectory::Write()
{
    if (m_written)
        return;
    bool spanned = m_store->IsSpanMode() != 0;
    if (!spanned) {
        m_store->Flush();
        m_store->File()->SeekToEnd();
    }
    m_totalEntries = uint16_t(m_headers.size());
    m_directorySize = 0;

    bool converted = false;
    if (spanned && m_store->CurrentVolume() == 0) {
        uint64_t whole = ZIP_END_SIZE + m_comment.size();
        for (const auto& header : m_headers)
            whole += header->GetSize();
        uint64_t needed = whole > 16 * m_headers.size() + 4 ? whole - 16 * m_headers.size() - 4 : 0;
        if (m_store->VolumeLeft() >= needed) {
            bool inMemory = m_store->Written() == 0 &&
                            m_store->WriteBufferSize() - m_store->Buffered() >= whole;
            if (!inMemory) {
                m_store->Flush();
                m_store->File()->Flush();
            }
            converted = RemoveDataDescriptors(inMemory);
            if (converted)
                m_store->SetConverted();
        }
    }

    WriteHeaders();
    int volume = m_store->CurrentVolume();
    m_thisDisk = uint16_t(volume);
    uint32_t size = WriteEndRecord();
    if (converted && m_store->CurrentVolume() != 0)
        Fail(CZipException::badZipFile);
    if (m_store->CurrentVolume() != volume) {
        // The end record moved whole onto a new volume: say so in it.
        m_thisDisk = uint16_t(m_store->CurrentVolume());
        if (!m_headers.empty()) {
            m_entriesOnDisk = 0;
        } else {
            m_diskWithDirectory = m_thisDisk;
            m_directoryOffset = 0;
        }
        if (m_store->Buffered() >= size) {
            m_store->SetBuffered(m_store->Buffered() - size);
        } else {
            m_store->Flush();
            m_store->SetWritten(m_store->Written() - size);
            m_store->File()->SeekToBegin();
        }
        WriteEndRecord();
    }
    m_written = true;
}
