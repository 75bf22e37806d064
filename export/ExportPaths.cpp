// File names, folders and links of an export.
#include "export/ExportPaths.h"

#include <cerrno>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#endif

#include "core/StrUtil.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// A device name, whatever follows a point.
bool IsDeviceName(const std::string& name)
{
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char& c : base)
        c = LowerAscii(c);
    static const char* const kDevices[] = {"con", "prn", "aux", "nul"};
    for (const char* device : kDevices) {
        if (base == device)
            return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

void DropTrailingDotsAndBlanks(std::string* name)
{
    while (!name->empty() && (name->back() == '.' || name->back() == ' '))
        name->pop_back();
}

bool IsFolder(const char* path)
{
    // The C runtime's stat refuses a trailing separator (but for a root).
    std::string folder = path;
    while (folder.size() > 1 && IsSeparator(folder.back()) && folder[folder.size() - 2] != ':')
        folder.pop_back();
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

// The root of a folder: "X:" for a drive, "\\server\share" for a share,
// "" for a folder without one.
std::string FolderRoot(const std::string& folder)
{
    if (folder.size() >= 2 && folder[1] == ':')
        return folder.substr(0, 2);
    if (folder.size() < 2 || !IsSeparator(folder[0]) || !IsSeparator(folder[1]))
        return std::string();
    size_t server = folder.find_first_of("\\/", 2);
    if (server == std::string::npos)
        return folder;
    return folder.substr(0, folder.find_first_of("\\/", server + 1));
}

int MakeFolder(const char* path)
{
#ifdef _WIN32
    return _mkdir(path);
#else
    return mkdir(path, 0777);
#endif
}

} // namespace

void MakeValidFileName(std::string* name, size_t maxLength)
{
    for (char& c : *name) {
        unsigned char u = (unsigned char)c;
        if (u < 32 || u == 127 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' ||
            c == '<' || c == '>' || c == '|')
            c = '_';
    }
    DropTrailingDotsAndBlanks(name);
    if (name->size() > maxLength) {
        name->resize(maxLength);
        DropTrailingDotsAndBlanks(name);
    }
    if (!name->empty() && IsDeviceName(*name)) {
        size_t point = name->find('.');
        name->insert(point == std::string::npos ? name->size() : point, "_");
        if (name->size() > maxLength && maxLength > 0)
            name->resize(maxLength);
    }
}

std::string CExportFileNames::Take(const std::string& name, DWORD movieId)
{
    std::string result = name;
    for (;;) {
        std::string folded = result;
        for (char& c : folded)
            c = char(LowerLatin1((unsigned char)c));
        if (m_used.insert(folded).second)
            return result;
        result += "-" + std::to_string((unsigned long)movieId);
    }
}

void MakeRelativeLink(std::string* link, const char* from, const char* to)
{
    if (from == NULL || to == NULL)
        return;
    if (from[0] == '\0' || to[0] == '\0') {
        link->clear();
        return;
    }
    std::string source = from;
    std::string target = to;
    if (!IsSeparator(source.back()))
        source += '\\';
    if (!IsSeparator(target.back()))
        target += '\\';

    size_t common = 0;
    while (common < source.size() && common < target.size() &&
           LowerAscii(source[common]) == LowerAscii(target[common]))
        common++;

    std::string result;
    std::string root = FolderRoot(target);
    if (!root.empty() && !StrEqualNoCase(root.c_str(), FolderRoot(source).c_str())) {
        // Another drive or share can't be reached by a relative link.
        result = (target[1] == ':' ? "file:///" : "file:") + target;
    } else if (common == source.size() && common == target.size()) {
        link->clear();
        return;
    } else {
        // Back to the last separator inside the common part.
        size_t point = 0;
        for (size_t i = common; i > 0; i--) {
            if (IsSeparator(source[i - 1])) {
                point = i;
                break;
            }
        }
        for (size_t i = point; i < source.size(); i++) {
            if (IsSeparator(source[i]))
                result += "../";
        }
        result += target.substr(point);
    }
    for (char& c : result) {
        if (c == '\\')
            c = '/';
    }
    if (result.empty() || result.back() != '/')
        result += '/';
    *link = result;
}

bool IsPlainCoverType(const char* type)
{
    if (type == NULL)
        return false;
    size_t length = 0;
    for (const char* p = type; *p != '\0'; p++, length++) {
        char c = *p;
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!plain || length >= 8)
            return false;
    }
    return length > 0;
}

bool FolderExists(const char* path)
{
    return path != NULL && path[0] != '\0' && IsFolder(path);
}

bool CreatePath(const char* path)
{
    if (path == NULL || path[0] == '\0')
        return false;
    if (MakeFolder(path) == 0)
        return true;
    if (errno == EEXIST)
        return IsFolder(path);
    std::string parent = path;
    size_t slash = parent.find_last_of("\\/");
    if (slash == std::string::npos || slash == 0)
        return false;
    parent.erase(slash);
    if (!CreatePath(parent.c_str()))
        return false;
    return MakeFolder(path) == 0 || (errno == EEXIST && IsFolder(path));
}
