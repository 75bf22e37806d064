#include "plugins/dvdtitles/ScratchFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <unistd.h>
#endif

#ifdef _WIN32

namespace {

std::wstring Widen(const std::string& text)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, NULL, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(size_t(length - 1));
    return wide;
}

std::string Narrow(const std::wstring& wide)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, NULL, 0, NULL, NULL);
    if (length <= 0)
        return std::string();
    std::string text(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &text[0], length, NULL, NULL);
    text.resize(size_t(length - 1));
    return text;
}

}  // namespace

CScratchFolder::CScratchFolder()
{
    wchar_t temp[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        return;
    for (int n = 0; n < 1000; n++) {
        std::wstring candidate = temp + Widen("vistrel-dvd-" + std::to_string(n));
        if (CreateDirectoryW(candidate.c_str(), NULL)) {
            m_path = Narrow(candidate);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
}

CScratchFolder::~CScratchFolder()
{
    for (const std::string& file : m_made)
        DeleteFileW(Widen(file).c_str());
    if (!m_path.empty())
        RemoveDirectoryW(Widen(m_path).c_str());
}

FILE* CScratchFolder::Create(const char* name)
{
    if (m_path.empty())
        return NULL;
    std::string path = m_path + "\\" + name;
    FILE* file = _wfopen(Widen(path).c_str(), L"wb");
    if (file != NULL)
        m_made.push_back(path);
    return file;
}

#else

CScratchFolder::CScratchFolder()
{
    const char* temp = getenv("TMPDIR");
    std::string pattern = std::string(temp != NULL && *temp != '\0' ? temp : "/tmp") + "/vistrel-dvd-XXXXXX";
    if (mkdtemp(&pattern[0]) != NULL)
        m_path = pattern;
}

CScratchFolder::~CScratchFolder()
{
    for (const std::string& file : m_made)
        unlink(file.c_str());
    if (!m_path.empty())
        rmdir(m_path.c_str());
}

FILE* CScratchFolder::Create(const char* name)
{
    if (m_path.empty())
        return NULL;
    std::string path = m_path + "/" + name;
    FILE* file = fopen(path.c_str(), "wb");
    if (file != NULL)
        m_made.push_back(path);
    return file;
}

#endif
