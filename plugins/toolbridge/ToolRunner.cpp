// Running the tool: a hidden child process with its standard output on an
// anonymous pipe, read while the child runs so that it never blocks on a
// full pipe.
#ifdef _WIN32

#include "plugins/toolbridge/ToolRunner.h"

#include "core/PluginRecord.h"

namespace {

// The pipe's buffer, and the pause between looks at an empty pipe.
const DWORD kPipeBuffer = 65536;
const DWORD kPollMs = 5;
// A child ended at the time-out is waited for this long.
const DWORD kEndWaitMs = 10000;

// A kernel handle closed when it goes out of scope.
class CHandleOwner {
public:
    CHandleOwner() : handle(NULL) {}
    ~CHandleOwner() { Close(); }
    void Close()
    {
        if (handle != NULL && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = NULL;
    }
    HANDLE handle;

private:
    CHandleOwner(const CHandleOwner&) = delete;
    CHandleOwner& operator=(const CHandleOwner&) = delete;
};

// Reads what the pipe holds now, in blocks of up to 256 bytes; output past
// the limit is read and dropped. False once the pipe is empty or closed.
bool ReadWaiting(HANDLE pipe, std::string& output)
{
    DWORD waiting = 0;
    if (!PeekNamedPipe(pipe, NULL, 0, NULL, &waiting, NULL) || waiting == 0)
        return false;
    while (waiting > 0) {
        char block[256];
        DWORD got = 0;
        DWORD want = waiting < sizeof(block) ? waiting : DWORD(sizeof(block));
        if (!ReadFile(pipe, block, want, &got, NULL) || got == 0)
            return false;
        size_t room = CToolRunner::kOutputLimit - output.size();
        output.append(block, got < room ? got : room);
        waiting -= got;
    }
    return true;
}

} // namespace

MediaFormat* CToolRunner::Run(const char* path)
{
    if (programFolder.empty() || path == NULL)
        return NULL;
    std::string command = "\"" + programFolder + "\\plugins\\vidscan.exe\" \"" + path + "\"";

    // The child inherits its three ends; of the parent's ends only the
    // output pipe's read end is kept, and it is not inherited.
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    CHandleOwner inRead, inWrite, outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&inRead.handle, &inWrite.handle, &inherit, 0) ||
        !CreatePipe(&outRead.handle, &outWrite.handle, &inherit, kPipeBuffer) ||
        !CreatePipe(&errRead.handle, &errWrite.handle, &inherit, 0) ||
        !SetHandleInformation(outRead.handle, HANDLE_FLAG_INHERIT, 0))
        return NULL;
    inWrite.Close();
    errRead.Close();

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW | STARTF_USESIZE;
    startup.dwXSize = 1;
    startup.dwYSize = 1;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = inRead.handle;
    startup.hStdOutput = outWrite.handle;
    startup.hStdError = errWrite.handle;
    PROCESS_INFORMATION process;
    std::vector<char> commandLine(command.begin(), command.end());
    commandLine.push_back('\0');
    if (!CreateProcessA(NULL, commandLine.data(), NULL, NULL, TRUE, CREATE_NEW_CONSOLE, NULL, NULL,
                        &startup, &process))
        return NULL;
    CHandleOwner child, thread;
    child.handle = process.hProcess;
    thread.handle = process.hThread;
    // Without the parent's copies of the child's ends the pipe closes when
    // the child ends.
    inRead.Close();
    outWrite.Close();
    errWrite.Close();

    // Read what comes while waiting for the child, up to the time-out.
    std::string output;
    DWORD started = GetTickCount();
    bool ended = false;
    for (;;) {
        if (!ReadWaiting(outRead.handle, output)) {
            DWORD wait = WaitForSingleObject(child.handle, kPollMs);
            if (wait == WAIT_OBJECT_0) {
                ended = true;
                break;
            }
            if (wait == WAIT_FAILED)
                break;
        }
        // Also a child that never stops writing meets the time-out.
        if (GetTickCount() - started >= timeoutMs)
            break;
    }
    if (!ended) {
        // A child still running at the time-out is ended, and waited for.
        TerminateProcess(child.handle, 1);
        WaitForSingleObject(child.handle, kEndWaitMs);
        return NULL;
    }
    // All the child wrote is in the pipe now.
    while (ReadWaiting(outRead.handle, output)) {
    }
    DWORD exitCode = 1;
    if (!GetExitCodeProcess(child.handle, &exitCode) || exitCode != 0)
        return NULL;

    MediaFormat* record = NewMediaFormat();
    if (record == NULL)
        return NULL;
    ReportParseState state;
    size_t position = 0;
    std::string line;
    while (NextReportLine(output.data(), output.size(), position, line))
        ParseReportLine(*record, line.c_str(), state);
    return record;
}

#endif
