// The file an archive is read from and written to: an abstract interface,
// and its implementation over a heap buffer.
#pragma once

#include <cstdint>
#include <string>

// Origins of Seek.
enum ZipSeekOrigin { ZIP_SEEK_BEGIN = 0, ZIP_SEEK_CURRENT = 1, ZIP_SEEK_END = 2 };

// Open flags, as the class layer's file takes them.
enum ZipOpenFlags {
    ZIP_MODE_READ = 0x0000,
    ZIP_MODE_READ_WRITE = 0x0002,
    ZIP_SHARE_DENY_WRITE = 0x0020,
    ZIP_MODE_CREATE = 0x1000,
    ZIP_MODE_NO_TRUNCATE = 0x2000
};

class CZipFileInterface {
public:
    virtual bool Open(const std::string& name, unsigned flags, bool throwOnFailure) { return true; }
    virtual void Close() = 0;
    virtual void Flush() = 0;
    virtual uint64_t GetPosition() const = 0;
    virtual uint64_t SeekToBegin() { return Seek(0, ZIP_SEEK_BEGIN); }
    virtual uint64_t SeekToEnd() { return Seek(0, ZIP_SEEK_END); }
    virtual std::string GetFilePath() const = 0;
    virtual void SetLength(uint64_t length) = 0;
    // The number of bytes read; fewer at the end.
    virtual uint32_t Read(void* buffer, uint32_t count) = 0;
    virtual void Write(const void* buffer, uint32_t count) = 0;
    virtual uint64_t Seek(int64_t offset, int origin) = 0;
    virtual bool IsClosed() const = 0;
    virtual uint64_t GetLength() const = 0;
    virtual ~CZipFileInterface() = default;
};

// A file in memory. Writes past the capacity grow the buffer in steps of
// growBy bytes; a failed allocation throws the library's memory error.
class CZipMemoryFile : public CZipFileInterface {
public:
    explicit CZipMemoryFile(uint32_t growBy = 1024);
    // Over an existing buffer of size bytes; with own the file frees it
    // (with free) when closed.
    CZipMemoryFile(uint8_t* buffer, uint32_t size, uint32_t growBy = 1024, bool own = false);
    ~CZipMemoryFile() override;
    CZipMemoryFile(const CZipMemoryFile&) = delete;
    CZipMemoryFile& operator=(const CZipMemoryFile&) = delete;

    void Attach(uint8_t* buffer, uint32_t size, bool own);
    const uint8_t* Data() const { return m_buffer; }

    void Close() override;
    void Flush() override {}
    uint64_t GetPosition() const override { return m_position; }
    std::string GetFilePath() const override { return std::string(); }
    void SetLength(uint64_t length) override;
    uint32_t Read(void* buffer, uint32_t count) override;
    void Write(const void* buffer, uint32_t count) override;
    uint64_t Seek(int64_t offset, int origin) override;
    bool IsClosed() const override { return m_buffer == nullptr; }
    uint64_t GetLength() const override { return m_size; }

private:
    void Reserve(uint64_t needed);

    uint8_t* m_buffer;
    uint32_t m_size;
    uint64_t m_position;
    uint32_t m_capacity;
    uint32_t m_growBy;
    bool m_own;
};
