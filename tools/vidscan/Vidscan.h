// The tool's main sequence: the command line, the file checks, the file
// name line, the detectors and the report. Everything the tool prints goes
// to out; nothing goes to standard error.
#pragma once

#include <string>

// The exit code: 1 when the file cannot be opened or is 2 GB or larger,
// else 0, whether the file was identified or not.
int RunVidscan(int argc, const char* const* argv, std::string& out);
