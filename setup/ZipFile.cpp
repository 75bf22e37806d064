#include "setup/ZipFile.h"

#include "classlib/Exception.h"

#ifdef _WIN32

bool CZipFile::Open(const std::string& name, unsigned flags, bool throwOnFailure)
{
    Close();
    CFileException error;
    if (!m_file.Open(name.c_str(), flags, &error)) {
        if (throwOnFailure)
            throw error;
        return false;
    }
    m_path = name;
    return true;
}

void CZipFile::Close()
{
    m_file.Close();
}

void CZipFile::Flush()
{
    m_file.Flush();
}

uint64_t CZipFile::GetPosition() const
{
    return m_file.GetPosition();
}

void CZipFile::SetLength(uint64_t length)
{
    m_file.SetLength(length);
}

uint32_t CZipFile::Read(void* buffer, uint32_t count)
{
    return m_file.Read(buffer, count);
}

void CZipFile::Write(const void* buffer, uint32_t count)
{
    m_file.Write(buffer, count);
}

uint64_t CZipFile::Seek(int64_t offset, int origin)
{
    return m_file.Seek(offset, origin == ZIP_SEEK_CURRENT ? CFile::current
                                : origin == ZIP_SEEK_END ? CFile::end : CFile::begin);
}

bool CZipFile::IsClosed() const
{
    return m_file.m_hFile == INVALID_HANDLE_VALUE;
}

uint64_t CZipFile::GetLength() const
{
    return m_file.GetLength();
}

#else

#include <cerrno>
#include <unistd.h>

#include "setup/ZipPlatform.h"

namespace {

void ThrowFileError(const std::string& path)
{
    int cause = errno == ENOENT ? CFileException::fileNotFound
                : errno == EACCES ? CFileException::accessDenied : CFileException::genericException;
    throw CFileException(cause, errno, path);
}

} // namespace

bool CZipFile::Open(const std::string& name, unsigned flags, bool throwOnFailure)
{
    Close();
    std::string path = ZipDiskPath(name);
    bool write = (flags & 3) != ZIP_MODE_READ;
    const char* mode = "rb";
    if (flags & ZIP_MODE_CREATE) {
        if (flags & ZIP_MODE_NO_TRUNCATE) {
            FILE* probe = fopen(path.c_str(), "ab");
            if (probe != nullptr)
                fclose(probe);
            mode = "r+b";
        } else {
            mode = "w+b";
        }
    } else if (write) {
        mode = "r+b";
    }
    m_stream = fopen(path.c_str(), mode);
    if (m_stream == nullptr) {
        if (throwOnFailure)
            ThrowFileError(name);
        return false;
    }
    m_path = name;
    return true;
}

void CZipFile::Close()
{
    if (m_stream != nullptr)
        fclose(m_stream);
    m_stream = nullptr;
}

void CZipFile::Flush()
{
    if (m_stream != nullptr && fflush(m_stream) != 0)
        ThrowFileError(m_path);
}

uint64_t CZipFile::GetPosition() const
{
    off_t position = m_stream != nullptr ? ftello(m_stream) : 0;
    return position < 0 ? 0 : uint64_t(position);
}

void CZipFile::SetLength(uint64_t length)
{
    fflush(m_stream);
    if (ftruncate(fileno(m_stream), off_t(length)) != 0)
        ThrowFileError(m_path);
}

uint32_t CZipFile::Read(void* buffer, uint32_t count)
{
    size_t n = fread(buffer, 1, count, m_stream);
    if (n < count && ferror(m_stream))
        ThrowFileError(m_path);
    return uint32_t(n);
}

void CZipFile::Write(const void* buffer, uint32_t count)
{
    if (fwrite(buffer, 1, count, m_stream) != count)
        ThrowFileError(m_path);
}

uint64_t CZipFile::Seek(int64_t offset, int origin)
{
    int whence = origin == ZIP_SEEK_CURRENT ? SEEK_CUR : origin == ZIP_SEEK_END ? SEEK_END : SEEK_SET;
    if (fseeko(m_stream, off_t(offset), whence) != 0)
        ThrowFileError(m_path);
    return GetPosition();
}

bool CZipFile::IsClosed() const
{
    return m_stream == nullptr;
}

uint64_t CZipFile::GetLength() const
{
    off_t here = ftello(m_stream);
    fseeko(m_stream, 0, SEEK_END);
    off_t length = ftello(m_stream);
    fseeko(m_stream, here, SEEK_SET);
    return length < 0 ? 0 : uint64_t(length);
}

#endif
