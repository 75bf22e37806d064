// Runs the real main program from a test: a copy of vistrel.exe in a folder
// of its own (where its crash copy lives), started with a registry company
// key of its own, and driven from outside through its windows and messages.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <functional>
#include <string>

// How long the tests wait for the program to show a window, answer a message
// or end: generous, so that a loaded machine only makes the tests slower.
const DWORD kProgramWaitMs = 60000;

class CProgramRun {
public:
    explicit CProgramRun(const char* testName);
    // Ends a program still running, deletes the folder and the profile.
    ~CProgramRun();

    const std::string& Folder() const { return m_folder; }    // with its backslash
    std::string PathOf(const char* name) const { return m_folder + name; }

    // The program's profile: HKCU\Software\<company>\Vistrel\<section>.
    void SetInt(const char* section, const char* entry, DWORD value);
    void SetString(const char* section, const char* entry, const std::string& value);
    void SetBinary(const char* section, const char* entry, const void* data, DWORD size);
    bool GetInt(const char* section, const char* entry, DWORD* value) const;
    bool GetString(const char* section, const char* entry, std::string* value) const;
    // The text of an entry; "<none>" when there is none.
    std::string String(const char* section, const char* entry) const;

    // Starts the program with the given command-line arguments.
    bool Start(const std::string& arguments = std::string());
    // Starts it, answers the warning that no plug-in was found (the copy
    // has no "plugins" folder) and waits for the main window.
    HWND StartToMainWindow(const std::string& arguments = std::string());
    // Answers the plug-in warning that every start shows here.
    bool AnswerPluginWarning();

    HWND MainWindow(DWORD timeoutMs = kProgramWaitMs);
    // The next message box (or other dialog) of the program whose caption or
    // text contains the given text.
    HWND WaitDialog(const char* text, DWORD timeoutMs = kProgramWaitMs);
    // The texts of a dialog's static controls, one per line.
    static std::string DialogText(HWND dialog);
    // Presses a button of a dialog (IDOK, IDCANCEL).
    static void Press(HWND dialog, int button);
    // Types the path into a file dialog's name field and presses OK; false
    // when the dialog has no such field.
    static bool ChooseFile(HWND dialog, const std::string& path);
    // Waits for the program to end; false when it still runs afterwards.
    bool WaitExit(DWORD timeoutMs = kProgramWaitMs);
    bool IsRunning() const;
    DWORD ProcessId() const { return m_process.dwProcessId; }
    // Whether the program has a visible top-level window now.
    bool HasVisibleWindow() const;
    // The run's files and the program's open dialog, for a failure message.
    std::string Describe() const;

    // Posts a menu command to the main window, or sends it and returns
    // once the program has handled it.
    void PostCommand(UINT id);
    void SendCommand(UINT id);

private:
    std::string m_folder;
    std::string m_company;
    PROCESS_INFORMATION m_process;
};

// A Windows path for a path of the build (which is a Unix path under Wine).
std::string WindowsPath(const std::string& path);
// Writes a catalogue with the given number of movies; false on failure.
bool WriteCatalogue(const std::string& path, int movies);
// The number of movies in a catalogue file; -1 when it can't be read.
int CatalogueMovieCount(const std::string& path);
// Waits until the condition holds.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kProgramWaitMs);
bool FileExists(const std::string& path);

#endif
