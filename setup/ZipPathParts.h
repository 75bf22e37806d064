// A path split into drive, folder, file title and extension.
#pragma once

#include <string>

class CZipPathParts {
public:
    CZipPathParts() = default;
    explicit CZipPathParts(const std::string& path) { SetPath(path); }

    // Splits at '\' and '/'; the drive is "X:" or a "\\server\share"
    // prefix; the folder loses its leading and trailing separators and the
    // extension its leading '.'.
    void SetPath(const std::string& path);

    std::string GetFolderPath() const;    // drive, '\', folder
    std::string GetFileName() const;      // title, '.', extension
    std::string GetFullPath() const;      // folder path, '\', file name
    std::string GetNoDrive() const;       // folder, '\', file name

    std::string m_drive;
    std::string m_folder;
    std::string m_title;
    std::string m_extension;
    bool m_rooted = false;  // no drive, but a separator in front
};
