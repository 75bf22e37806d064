#include "setup/ZipEntryHeader.h"

#include "setup/ZipException.h"
#include "setup/ZipStore.h"

CZipEntryHeader::CZipEntryHeader()
    : m_versionMadeBy(20), m_versionNeeded(20), m_flags(0), m_method(8), m_modTime(0), m_modDate(0x21),
      m_crc32(0), m_compressedSize(0), m_uncompressedSize(0), m_diskStart(0), m_internalAttributes(0),
      m_externalAttributes(0), m_localOffset(0)
{
}

bool CZipEntryHeader::Read(CZipStore& store)
{
    uint8_t fixed[ZIP_CENTRAL_SIZE];
    store.Read(fixed, sizeof(fixed), true);
    if (ZipGet32(fixed) != ZIP_CENTRAL_SIGNATURE)
        return false;
    int volume = store.CurrentVolume();
    m_versionMadeBy = ZipGet16(fixed + 4);
    m_versionNeeded = ZipGet16(fixed + 6);
    m_flags = ZipGet16(fixed + 8);
    m_method = ZipGet16(fixed + 10);
    m_modTime = ZipGet16(fixed + 12);
    m_modDate = ZipGet16(fixed + 14);
    m_crc32 = ZipGet32(fixed + 16);
    m_compressedSize = ZipGet32(fixed + 20);
    m_uncompressedSize = ZipGet32(fixed + 24);
    uint16_t nameLength = ZipGet16(fixed + 28);
    uint16_t extraLength = ZipGet16(fixed + 30);
    uint16_t commentLength = ZipGet16(fixed + 32);
    m_diskStart = ZipGet16(fixed + 34);
    m_internalAttributes = ZipGet16(fixed + 36);
    m_externalAttributes = ZipGet32(fixed + 38);
    m_localOffset = ZipGet32(fixed + 42);

    std::vector<uint8_t> rest(size_t(nameLength) + extraLength + commentLength);
    if (!rest.empty())
        store.Read(rest.data(), uint32_t(rest.size()), true);
    if (store.CurrentVolume() != volume)
        throw CZipException(CZipException::badZipFile, store.ArchivePath());
    m_name.assign(rest.begin(), rest.begin() + nameLength);
    m_extra.assign(rest.begin() + nameLength, rest.begin() + nameLength + extraLength);
    m_comment.assign(rest.begin() + nameLength + extraLength, rest.end());
    return true;
}

uint32_t CZipEntryHeader::Write(CZipStore& store) const
{
    std::vector<uint8_t> record(GetSize());
    uint8_t* p = record.data();
    ZipPut32(p, ZIP_CENTRAL_SIGNATURE);
    ZipPut16(p + 4, m_versionMadeBy);
    ZipPut16(p + 6, m_versionNeeded);
    ZipPut16(p + 8, m_flags);
    ZipPut16(p + 10, m_method);
    ZipPut16(p + 12, m_modTime);
    ZipPut16(p + 14, m_modDate);
    ZipPut32(p + 16, m_crc32);
    ZipPut32(p + 20, m_compressedSize);
    ZipPut32(p + 24, m_uncompressedSize);
    ZipPut16(p + 28, uint16_t(m_name.size()));
    ZipPut16(p + 30, uint16_t(m_extra.size()));
    ZipPut16(p + 32, uint16_t(m_comment.size()));
    ZipPut16(p + 34, m_diskStart);
    ZipPut16(p + 36, m_internalAttributes);
    ZipPut32(p + 38, m_externalAttributes);
    ZipPut32(p + 42, m_localOffset);
    size_t at = ZIP_CENTRAL_SIZE;
    std::copy(m_name.begin(), m_name.end(), record.begin() + at);
    at += m_name.size();
    std::copy(m_extra.begin(), m_extra.end(), record.begin() + at);
    at += m_extra.size();
    std::copy(m_comment.begin(), m_comment.end(), record.begin() + at);
    store.Write(record.data(), uint32_t(record.size()), true);
    return uint32_t(record.size());
}
