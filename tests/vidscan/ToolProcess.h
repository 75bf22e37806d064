// Running a built program as a process for the tests (fork and exec on the
// host, CreateProcess under Wine), with its standard output and error kept
// in files; and the files and report lines the tests work with.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ProgramResult {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs program with args in folder (the current one when empty).
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder = std::string());

// A fresh, empty folder of the name under the system's temporary folder.
std::string FreshFolder(const std::string& name);
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool CopyTestFile(const std::string& from, const std::string& to);
// A file of the length whose bytes are all zero, without writing them.
bool MakeSparseFile(const std::string& path, long long length);

// The text with CR LF line ends made LF.
std::string UnixLines(const std::string& text);

// The labelled lines of a report ("Duration" -> "4.040 sec"); the lines of
// the video and audio format blocks get the prefixes "Video " and "Audio ".
std::map<std::string, std::string> ReportFields(const std::string& report);
// "4.040 sec", "1 min 2 sec", "1 hr 2 min 3 sec" in seconds.
double ReportSeconds(const std::string& duration);
