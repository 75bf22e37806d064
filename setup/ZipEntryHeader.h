// One member of an archive as its central directory header describes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CZipStore;

const uint32_t ZIP_LOCAL_SIGNATURE = 0x04034B50;
const uint32_t ZIP_CENTRAL_SIGNATURE = 0x02014B50;
const uint32_t ZIP_END_SIGNATURE = 0x06054B50;
const uint32_t ZIP_DESCRIPTOR_SIGNATURE = 0x08074B50;
const uint32_t ZIP_SPAN_SIGNATURE = 0x08074B50;

const uint16_t ZIP_FLAG_ENCRYPTED = 0x0001;
const uint16_t ZIP_FLAG_DESCRIPTOR = 0x0008;

const uint32_t ZIP_CENTRAL_SIZE = 46;
const uint32_t ZIP_LOCAL_SIZE = 30;
const uint32_t ZIP_END_SIZE = 22;

class CZipEntryHeader {
public:
    CZipEntryHeader();

    // Reads a central header from the storage; false on a wrong signature.
    // The name, extra field and comment must lie on the same volume as
    // the fixed part.
    bool Read(CZipStore& store);
    // Writes it at once; returns its size.
    uint32_t Write(CZipStore& store) const;
    uint32_t GetSize() const { return ZIP_CENTRAL_SIZE + uint32_t(m_name.size() + m_extra.size() + m_comment.size()); }

    int GetSystem() const { return m_versionMadeBy >> 8; }
    bool IsEncrypted() const { return (m_flags & ZIP_FLAG_ENCRYPTED) != 0; }
    bool HasDescriptor() const { return (m_flags & ZIP_FLAG_DESCRIPTOR) != 0; }

    uint16_t m_versionMadeBy;
    uint16_t m_versionNeeded;
    uint16_t m_flags;
    uint16_t m_method;  // 0 stored, 8 deflated
    uint16_t m_modTime;
    uint16_t m_modDate;
    uint32_t m_crc32;
    uint32_t m_compressedSize;
    uint32_t m_uncompressedSize;
    uint16_t m_diskStart;
    uint16_t m_internalAttributes;
    uint32_t m_externalAttributes;
    uint32_t m_localOffset;
    std::string m_name;
    std::vector<uint8_t> m_extra;
    std::string m_comment;
};

// Little-endian fields of the records.
inline uint16_t ZipGet16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t ZipGet32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void ZipPut16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void ZipPut32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
