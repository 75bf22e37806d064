#include "plugins/dvdtitles/ScratchFolder.h"

#ifdef _WIN32

#include <atomic>

#include "plugins/dvdtitles/WideText.h"

CScratchFolder::CScratchFolder()
{
    wchar_t temp[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        return;
    // Named after the process and a count of its own, so that folders left
    // behind by killed runs do not stand in the way; one left by an earlier
    // process of the same id is stepped past.
    static std::atomic<unsigned> serial(0);
    std::string prefix = "vistrel-dvd-" + std::to_string(GetCurrentProcessId()) + "-";
    for (int tries = 0; tries < 100; tries++) {
        std::wstring candidate = temp + WideFrom(CP_UTF8, prefix + std::to_string(serial++));
        if (CreateDirectoryW(candidate.c_str(), NULL)) {
            m_path = TextFrom(CP_UTF8, candidate);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
}

CScratchFolder::~CScratchFolder()
{
    for (const std::string& file : m_made)
        DeleteFileW(WideFrom(CP_UTF8, file).c_str());
    if (!m_path.empty())
        RemoveDirectoryW(WideFrom(CP_UTF8, m_path).c_str());
}

FILE* CScratchFolder::Create(const char* name)
{
    if (m_path.empty())
        return NULL;
    std::string path = m_path + "\\" + name;
    FILE* file = _wfopen(WideFrom(CP_UTF8, path).c_str(), L"wb");
    if (file != NULL)
        m_made.push_back(path);
    return file;
}

#else

#include <cstdlib>
#include <unistd.h>

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
