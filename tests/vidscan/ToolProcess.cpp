#include "ToolProcess.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifdef _WIN32

namespace {

HANDLE InheritableFile(const std::string& path)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder)
{
    ProgramResult result = {-1, "", ""};
    static const std::string base = FreshFolder("vidscan-run");
    HANDLE out = InheritableFile(base + "\\out"), err = InheritableFile(base + "\\err");
    std::string command = "\"" + program + "\"";
    for (const std::string& arg : args)
        command += " \"" + arg + "\"";
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (CreateProcessA(NULL, line.data(), NULL, NULL, TRUE, 0, NULL,
                       folder.empty() ? NULL : folder.c_str(), &startup, &process)) {
        // A tool that hangs is ended and reported with exit code -1, rather
        // than holding the whole test program until CTest's time-out.
        bool ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0;
        if (!ended) {
            std::fprintf(stderr, "%s did not end\n", command.c_str());
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
        }
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = ended ? int(code) : -1;
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(out);
    CloseHandle(err);
    result.out = ReadBytes(base + "\\out");
    result.err = ReadBytes(base + "\\err");
    return result;
}

bool MakeSparseFile(const std::string& path, long long length)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = length;
    bool made = SetFilePointerEx(file, end, NULL, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return made;
}

#else

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder)
{
    ProgramResult result = {-1, "", ""};
    static const std::string base = FreshFolder("vidscan-run");
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(NULL);
    pid_t child = fork();
    if (child == 0) {
        int out = open((base + "/out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open((base + "/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        if (!folder.empty() && chdir(folder.c_str()) != 0)
            _exit(126);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.out = ReadBytes(base + "/out");
    result.err = ReadBytes(base + "/err");
    return result;
}

bool MakeSparseFile(const std::string& path, long long length)
{
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool made = file >= 0 && ftruncate(file, off_t(length)) == 0;
    if (file >= 0)
        close(file);
    return made;
}

#endif

std::string FreshFolder(const std::string& name)
{
#ifdef _WIN32
    std::string unique = name + "-" + std::to_string(GetCurrentProcessId());
#else
    std::string unique = name + "-" + std::to_string(getpid());
#endif
    std::filesystem::path path = std::filesystem::temp_directory_path() / unique;
    std::error_code error;
    std::filesystem::remove_all(path, error);
    std::filesystem::create_directories(path, error);
    return path.string();
}

bool CopyTestFile(const std::string& from, const std::string& to)
{
    std::error_code error;
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
                                      error);
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string UnixLines(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); i++) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            result += text[i];
    }
    return result;
}

std::map<std::string, std::string> ReportFields(const std::string& report)
{
    std::map<std::string, std::string> fields;
    std::istringstream lines(UnixLines(report));
    std::string line, prefix;
    while (std::getline(lines, line)) {
        // The block's own line keeps its label as it is.
        if (line.compare(0, 13, "Video Format:") == 0 || line.compare(0, 13, "Audio Format:") == 0) {
            fields[line.substr(0, 12)] = line.size() > 15 ? line.substr(15) : "";
            prefix = line.substr(0, 6);
            continue;
        }
        if (line.size() < 15 || line[12] != ':')
            continue;
        size_t first = line.find_first_not_of(' ');
        std::string label = prefix + line.substr(first, 12 - first);
        if (fields.count(label) == 0)
            fields[label] = line.substr(15);
    }
    return fields;
}

double ReportSeconds(const std::string& duration)
{
    std::istringstream words(duration);
    double seconds = 0, number;
    std::string unit;
    while (words >> number >> unit)
        seconds += number * (unit == "hr" ? 3600 : unit == "min" ? 60 : 1);
    return seconds;
}
