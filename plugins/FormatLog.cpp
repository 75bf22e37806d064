#include "plugins/FormatLog.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {
std::string logPath = "c:\\format_msg.log";
}

void SetFormatLogPath(const char* path)
{
    logPath = path;
}

void WriteFormatLog(const char* format, ...)
{
    FILE* file = fopen(logPath.c_str(), "ab");
    if (file == NULL)
        return;
    va_list args;
    va_start(args, format);
    vfprintf(file, format, args);
    va_end(args);
    fputs("\r\n", file);
    fclose(file);
}
