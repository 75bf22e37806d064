#include "setup/ZipFileInterface.h"

#include <cstdlib>
#include <cstring>

#include "setup/ZipException.h"

CZipMemoryFile::CZipMemoryFile(uint32_t growBy)
    : m_buffer(nullptr), m_size(0), m_position(0), m_capacity(0), m_growBy(growBy ? growBy : 1024),
      m_own(true)
{
}

CZipMemoryFile::CZipMemoryFile(uint8_t* buffer, uint32_t size, uint32_t growBy, bool own)
    : CZipMemoryFile(growBy)
{
    Attach(buffer, size, own);
}

CZipMemoryFile::~CZipMemoryFile()
{
    Close();
}

void CZipMemoryFile::Attach(uint8_t* buffer, uint32_t size, bool own)
{
    Close();
    m_buffer = buffer;
    m_size = size;
    m_capacity = size;
    m_own = own;
}

void CZipMemoryFile::Close()
{
    if (m_own)
        free(m_buffer);
    m_buffer = nullptr;
    m_size = m_capacity = 0;
    m_position = 0;
    m_own = true;
}

void CZipMemoryFile::Reserve(uint64_t needed)
{
    if (needed <= m_capacity)
        return;
    // The growth covers the whole request, in steps of m_growBy.
    uint64_t capacity = (needed + m_growBy - 1) / m_growBy * m_growBy;
    if (capacity > UINT32_MAX)
        throw CZipException(CZipException::zMemError, std::string());
    uint8_t* grown;
    if (m_own) {
        grown = static_cast<uint8_t*>(realloc(m_buffer, size_t(capacity)));
    } else {
        grown = static_cast<uint8_t*>(malloc(size_t(capacity)));
        if (grown != nullptr && m_size > 0)
            memcpy(grown, m_buffer, m_size);
    }
    if (grown == nullptr)
        throw CZipException(CZipException::zMemError, std::string());
    m_buffer = grown;
    m_capacity = uint32_t(capacity);
    m_own = true;
}

void CZipMemoryFile::SetLength(uint64_t length)
{
    Reserve(length);
    if (length > m_size && m_buffer != nullptr)
        memset(m_buffer + m_size, 0, size_t(length - m_size));
    m_size = uint32_t(length);
    if (m_position > m_size)
        m_position = m_size;
}

uint32_t CZipMemoryFile::Read(void* buffer, uint32_t count)
{
    // A position at or past the end reads nothing.
    if (m_position >= m_size)
        return 0;
    uint64_t left = m_size - m_position;
    uint32_t n = left < count ? uint32_t(left) : count;
    memcpy(buffer, m_buffer + m_position, n);
    m_position += n;
    return n;
}

void CZipMemoryFile::Write(const void* buffer, uint32_t count)
{
    if (count == 0)
        return;
    uint64_t end = m_position + count;
    Reserve(end);
    if (m_position > m_size)
        memset(m_buffer + m_size, 0, size_t(m_position - m_size));
    memcpy(m_buffer + m_position, buffer, count);
    m_position = end;
    if (end > m_size)
        m_size = uint32_t(end);
}

uint64_t CZipMemoryFile::Seek(int64_t offset, int origin)
{
    int64_t base = origin == ZIP_SEEK_CURRENT ? int64_t(m_position) : origin == ZIP_SEEK_END ? int64_t(m_size) : 0;
    int64_t position = base + offset;
    m_position = position < 0 ? 0 : uint64_t(position);
    return m_position;
}
