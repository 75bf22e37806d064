#include "setup/ZipPathParts.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

} // namespace

void CZipPathParts::SetPath(const std::string& path)
{
    m_drive.clear();
    size_t start = 0;
    if (path.size() >= 2 && path[1] == ':') {
        m_drive = path.substr(0, 2);
        start = 2;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // "\\server\share" counts as the drive.
        size_t server = path.find_first_of("\\/", 2);
        size_t share = server == std::string::npos ? std::string::npos : path.find_first_of("\\/", server + 1);
        start = share == std::string::npos ? path.size() : share;
        m_drive = path.substr(0, start);
    }
    size_t lastSeparator = path.find_last_of("\\/");
    size_t nameStart = lastSeparator == std::string::npos || lastSeparator < start ? start : lastSeparator + 1;

    m_rooted = m_drive.empty() && !path.empty() && IsSeparator(path[0]);
    m_folder = path.substr(start, nameStart - start);
    while (!m_folder.empty() && IsSeparator(m_folder.front()))
        m_folder.erase(m_folder.begin());
    while (!m_folder.empty() && IsSeparator(m_folder.back()))
        m_folder.pop_back();

    std::string name = path.substr(nameStart);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        m_title = name;
        m_extension.clear();
    } else {
        m_title = name.substr(0, dot);
        m_extension = name.substr(dot + 1);
    }
}

std::string CZipPathParts::GetFolderPath() const
{
    std::string path = m_rooted ? std::string("\\") : m_drive;
    if (!m_drive.empty() && !m_folder.empty())
        path += '\\';
    return path + m_folder;
}

std::string CZipPathParts::GetFileName() const
{
    return m_extension.empty() ? m_title : m_title + "." + m_extension;
}

std::string CZipPathParts::GetFullPath() const
{
    // A relative path stays relative: no separator in front of a bare name.
    std::string path = GetFolderPath();
    std::string name = GetFileName();
    if (!name.empty() && !path.empty() && path.back() != '\\')
        path += '\\';
    return path + name;
}

std::string CZipPathParts::GetNoDrive() const
{
    std::string path = m_folder;
    std::string name = GetFileName();
    if (!m_folder.empty() && !name.empty())
        path += '\\';
    return path + name;
}
