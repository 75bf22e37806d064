// The report of an identified file, in the fixed layout that both a
// person and the tool bridge plug-in read: every label right-aligned in
// 12 characters and followed by ":" and two blanks, so each value starts
// in column 16. Lines end with "\n".
#pragma once

#include <string>

#include "core/StrUtil.h"
#include "tools/vidscan/FileReport.h"

// Appends printf-style formatted text.
void AppendFormat(std::string& out, const char* format, ...) VISTREL_PRINTF(2, 3);

// "   File Name:  %s\n".
void PrintFileNameLine(const std::string& name, std::string& out);

// Everything after the file name line for an identified file.
void PrintReport(const FileReport& report, std::string& out);

// The Duration value: "%0.3f sec" below a minute, else whole seconds as
// "%d min %d sec" or "%d hr %d min %d sec".
std::string FormatDuration(double seconds);
