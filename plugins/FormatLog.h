// The diagnostics file that the DVD and DirectShow plug-ins append to,
// "c:\format_msg.log". A plug-in never shows a message: this file is the
// only trace of why it answered NULL.
#pragma once

#include "core/StrUtil.h"

// Appends the formatted text and CR LF (the file opened "ab"); a file that
// cannot be opened is passed over.
void WriteFormatLog(const char* format, ...) VISTREL_PRINTF(1, 2);

// Where the log goes; tests on the host point it elsewhere.
void SetFormatLogPath(const char* path);
