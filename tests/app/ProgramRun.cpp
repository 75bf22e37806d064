#ifdef _WIN32

#include "ProgramRun.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "core/ErrorBox.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

const char kMainTitle[] = "vistrel v1.3.5.2";
const char kPluginWarning[] = "Couldn't find any import plugins";
// The program's single-instance mutex: while any copy holds it, a new start
// only brings that copy forward and ends.
const char kInstanceMutex[] = "VISTREL-{CCD4FCAE-8657-4224-93D8-DA53E59B45F5}";

// The runs of this test program, to tell a test's deliberate second start
// from one that would meet a copy a previous test left behind.
std::vector<const CProgramRun*> g_runs;

// Whether some copy of the program still holds the instance mutex.
bool InstanceMutexHeld()
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, kInstanceMutex);
    if (mutex == NULL)
        return false;
    CloseHandle(mutex);
    return true;
}

struct WindowSearch {
    DWORD processId;
    const char* title;      // exact window text, or NULL
    bool dialogsOnly;
    const char* text;       // contained in caption or static texts, or NULL
    HWND found;
};

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND window)
{
    char text[1024] = {};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &result))
        return std::string();
    text[sizeof(text) - 1] = '\0';
    return text;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || !IsWindowVisible(window))
        return TRUE;
    if (search->dialogsOnly && ClassOf(window) != "#32770")
        return TRUE;
    if (search->title != NULL && TextOf(window) != search->title)
        return TRUE;
    if (search->text != NULL) {
        std::string all = TextOf(window) + "\n" + CProgramRun::DialogText(window);
        if (all.find(search->text) == std::string::npos)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindWindowOf(DWORD pid, const char* title, bool dialogsOnly, const char* text)
{
    WindowSearch search = { pid, title, dialogsOnly, text, NULL };
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam)
{
    std::string* all = reinterpret_cast<std::string*>(lParam);
    if (ClassOf(child) == "Static") {
        std::string text = TextOf(child);
        if (!text.empty()) {
            *all += text;
            *all += '\n';
        }
    }
    return TRUE;
}

void DeleteFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteFolder(folder + name + "\\");
            else
                DeleteFileA((folder + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

std::string WindowsPath(const std::string& path)
{
    std::string result = path;
    for (char& c : result) {
        if (c == '/')
            c = '\\';
    }
    if (!result.empty() && result[0] == '\\')
        result = "Z:" + result;
    return result;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

bool WriteCatalogue(const std::string& path, int movies)
{
    SetErrorBoxRecording(true);
    CMovieCollection collection;
    for (int i = 0; i < movies; ++i) {
        CMovie movie;
        char title[32];
        std::snprintf(title, sizeof(title), "Movie %d", i + 1);
        StrSet(&movie.m_title, title);
        if (collection.AddMovie(&movie, false) == NO_ID)
            return false;
    }
    return collection.Save(path.c_str(), false);
}

int CatalogueMovieCount(const std::string& path)
{
    // A file that is open can't be replaced under Wine, whatever its
    // sharing: a test that polls one of the program's files opens it only
    // when it changed since the last look, which needs no handle. Start
    // looks at the run's files before the program runs.
    struct Seen {
        ULONGLONG size;
        FILETIME written;
        int count;
    };
    static std::map<std::string, Seen> seen;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        seen.erase(path);
        return -1;
    }
    ULONGLONG size = (ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    auto known = seen.find(path);
    if (known != seen.end() && known->second.size == size
        && CompareFileTime(&known->second.written, &data.ftLastWriteTime) == 0)
        return known->second.count;
    // The catalogue is read from a copy, so the program's file is open only
    // while it is copied. A file that can't be copied (the program still
    // holds the handle that renamed it into place) is no answer to keep; one
    // copied but no catalogue is.
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string copy = std::string(temp) + "vistrel-poll-" + std::to_string(GetCurrentProcessId()) + ".vdb";
    bool opened = CopyFileA(path.c_str(), copy.c_str(), FALSE) != FALSE;
    int count = -1;
    if (opened) {
        SetErrorBoxRecording(true);
        CMovieCollection collection;
        if (collection.Load(copy.c_str()))
            count = int(collection.GetMovieCount());
        DeleteFileA(copy.c_str());
    }
    // Kept only when the file stayed the same while it was read.
    WIN32_FILE_ATTRIBUTE_DATA after;
    if (opened && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &after)
        && after.nFileSizeLow == data.nFileSizeLow && after.nFileSizeHigh == data.nFileSizeHigh
        && CompareFileTime(&after.ftLastWriteTime, &data.ftLastWriteTime) == 0)
        seen[path] = Seen{ size, data.ftLastWriteTime, count };
    else
        seen.erase(path);
    return count;
}

// ---------------------------------------------------------------------------

CProgramRun::CProgramRun(const char* testName) : m_process()
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    char unique[128];
    std::snprintf(unique, sizeof(unique), "%lu-%lu-%s", GetCurrentProcessId(), GetTickCount(),
                  testName);
    m_folder = std::string(temp) + "vistrel-" + unique + "\\";
    CreateDirectoryA(m_folder.c_str(), NULL);
    if (!CopyFileA(WindowsPath(VISTREL_EXE).c_str(), PathOf("vistrel.exe").c_str(), FALSE))
        ADD_FAILURE() << "copying the program failed with error " << GetLastError();
    m_company = std::string("VistrelAppTest-") + unique;
    g_runs.push_back(this);
}

CProgramRun::~CProgramRun()
{
    if (m_process.hProcess != NULL) {
        // The next test's copy must not meet this one still ending.
        if (IsRunning()) {
            TerminateProcess(m_process.hProcess, 1);
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m_process.hProcess, kProgramWaitMs))
                << "the program did not end";
        }
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
    g_runs.erase(std::remove(g_runs.begin(), g_runs.end(), this), g_runs.end());
    DeleteFolder(m_folder);
    SHDeleteKeyA(HKEY_CURRENT_USER, ("Software\\" + m_company).c_str());
}

void CProgramRun::SetInt(const char* section, const char* entry, DWORD value)
{
    std::string key = "Software\\" + m_company + "\\Vistrel\\" + section;
    SHSetValueA(HKEY_CURRENT_USER, key.c_str(), entry, REG_DWORD, &value, sizeof(value));
}

void CProgramRun::SetBinary(const char* section, const char* entry, const void* data, DWORD size)
{
    std::string key = "Software\\" + m_company + "\\Vistrel\\" + section;
    SHSetValueA(HKEY_CURRENT_USER, key.c_str(), entry, REG_BINARY, data, size);
}

void CProgramRun::SetString(const char* section, const char* entry, const std::string& value)
{
    std::string key = "Software\\" + m_company + "\\Vistrel\\" + section;
    SHSetValueA(HKEY_CURRENT_USER, key.c_str(), entry, REG_SZ, value.c_str(),
                DWORD(value.size() + 1));
}

bool CProgramRun::GetInt(const char* section, const char* entry, DWORD* value) const
{
    std::string key = "Software\\" + m_company + "\\Vistrel\\" + section;
    DWORD type = 0, size = sizeof(*value);
    return SHGetValueA(HKEY_CURRENT_USER, key.c_str(), entry, &type, value, &size) == ERROR_SUCCESS
           && type == REG_DWORD;
}

bool CProgramRun::GetString(const char* section, const char* entry, std::string* value) const
{
    std::string key = "Software\\" + m_company + "\\Vistrel\\" + section;
    char buffer[2048] = {};
    DWORD type = 0, size = sizeof(buffer) - 1;
    if (SHGetValueA(HKEY_CURRENT_USER, key.c_str(), entry, &type, buffer, &size) != ERROR_SUCCESS
        || type != REG_SZ)
        return false;
    *value = buffer;
    return true;
}

std::string CProgramRun::String(const char* section, const char* entry) const
{
    std::string value;
    return GetString(section, entry, &value) ? value : std::string("<none>");
}

bool CProgramRun::Start(const std::string& arguments)
{
    SetEnvironmentVariableA("VISTREL_PROFILE_COMPANY", m_company.c_str());
    std::string program = PathOf("vistrel.exe");
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (m_process.hProcess != NULL) {
        // A restart: the previous copy of this run must be gone first.
        if (!WaitExit()) {
            ADD_FAILURE() << "the previous copy of the program still runs";
            return false;
        }
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
        m_process = PROCESS_INFORMATION();
    }
    // The files as they are before the program can change them.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                CatalogueMovieCount(m_folder + found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    // Unless a test starts a second copy beside its own on purpose, no copy
    // may hold the instance mutex now, or this one would end at once.
    bool ownCopyRuns = false;
    for (const CProgramRun* run : g_runs)
        ownCopyRuns = ownCopyRuns || (run != this && run->IsRunning());
    if (!ownCopyRuns && !WaitFor([] { return !InstanceMutexHeld(); })) {
        ADD_FAILURE() << "another copy of the program still holds its instance mutex";
        return false;
    }
    // Under Wine on a loaded machine the start of a new process now and then
    // fails inside Wine with ERROR_INTERNAL_ERROR, no process made; that
    // start is tried again.
    for (int tries = 1;; tries++) {
        if (CreateProcessA(program.c_str(), writable.data(), NULL, NULL, FALSE, 0, NULL,
                           m_folder.c_str(), &startup, &m_process))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || tries == 3) {
            ADD_FAILURE() << "CreateProcess failed with error " << error;
            return false;
        }
    }
}

bool CProgramRun::AnswerPluginWarning()
{
    HWND warning = WaitDialog(kPluginWarning);
    if (warning == NULL)
        return false;
    Press(warning, IDOK);
    return true;
}

HWND CProgramRun::StartToMainWindow(const std::string& arguments)
{
    if (!Start(arguments) || !AnswerPluginWarning())
        return NULL;
    return MainWindow();
}

HWND CProgramRun::MainWindow(DWORD timeoutMs)
{
    HWND found = NULL;
    WaitFor([&] { return (found = FindWindowOf(ProcessId(), kMainTitle, false, NULL)) != NULL; },
            timeoutMs);
    return found;
}

HWND CProgramRun::WaitDialog(const char* text, DWORD timeoutMs)
{
    HWND found = NULL;
    WaitFor([&] { return (found = FindWindowOf(ProcessId(), NULL, true, text)) != NULL; },
            timeoutMs);
    return found;
}

std::string CProgramRun::DialogText(HWND dialog)
{
    std::string all;
    EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&all));
    return all;
}

void CProgramRun::Press(HWND dialog, int button)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

bool CProgramRun::ChooseFile(HWND dialog, const std::string& path)
{
    HWND field = GetDlgItem(dialog, 0x47c);  // the combo box of newer dialogs
    if (field == NULL)
        field = GetDlgItem(dialog, 0x480);   // the edit field
    if (field == NULL)
        return false;
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    Press(dialog, IDOK);
    return true;
}

bool CProgramRun::WaitExit(DWORD timeoutMs)
{
    return m_process.hProcess != NULL
           && WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool CProgramRun::IsRunning() const
{
    return m_process.hProcess != NULL && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

std::string CProgramRun::Describe() const
{
    std::string text = "files:";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            text += std::string(" ") + found.cFileName + " (" + std::to_string(found.nFileSizeLow) + ")";
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    HWND dialog = FindWindowOf(m_process.dwProcessId, NULL, true, NULL);
    text += "; dialog: " + (dialog != NULL ? TextOf(dialog) + "\n" + DialogText(dialog) : "none");
    return text;
}

bool CProgramRun::HasVisibleWindow() const
{
    return FindWindowOf(m_process.dwProcessId, NULL, false, NULL) != NULL;
}

void CProgramRun::PostCommand(UINT id)
{
    PostMessageA(MainWindow(0), WM_COMMAND, id, 0);
}

void CProgramRun::SendCommand(UINT id)
{
    // Not given up when the program seems hung: a loaded machine keeps it
    // busy for seconds, and a command dropped then would go unnoticed.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(MainWindow(0), WM_COMMAND, id, 0, SMTO_NORMAL, kProgramWaitMs, &result))
        ADD_FAILURE() << "the program did not take command " << id << ": " << Describe();
}

#endif
