// Helpers of the zip library's tests: fixture paths, scratch folders and
// whole-file reads, in both builds.
#pragma once

#include <filesystem>
#include <string>

// A fixture of tests/data/zip as the library takes it.
std::string ZipFixture(const char* name);

// A fresh, empty folder of its own, removed with the object.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name);
    ~ScratchFolder();
    std::string Path() const { return m_path.string(); }
    std::string operator/(const char* name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

std::string ReadWhole(const std::string& path);
void WriteWhole(const std::string& path, const std::string& bytes);
