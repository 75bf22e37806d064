// An archive on disk: the zip file interface over the class layer's file
// (over a C stream on the host).
#pragma once

#include <cstdio>
#include <string>

#include "setup/ZipFileInterface.h"

#ifdef _WIN32
#include "classlib/File.h"
#endif

class CZipFile : public CZipFileInterface {
public:
    CZipFile() = default;
    ~CZipFile() override { Close(); }
    CZipFile(const CZipFile&) = delete;
    CZipFile& operator=(const CZipFile&) = delete;

    // A failure throws the class layer's file exception when throwOnFailure
    // is set, else answers false.
    bool Open(const std::string& name, unsigned flags, bool throwOnFailure) override;
    void Close() override;
    void Flush() override;
    uint64_t GetPosition() const override;
    std::string GetFilePath() const override { return m_path; }
    void SetLength(uint64_t length) override;
    uint32_t Read(void* buffer, uint32_t count) override;
    void Write(const void* buffer, uint32_t count) override;
    uint64_t Seek(int64_t offset, int origin) override;
    bool IsClosed() const override;
    uint64_t GetLength() const override;

private:
    std::string m_path;
#ifdef _WIN32
    CFile m_file;
#else
    FILE* m_stream = nullptr;
#endif
};
