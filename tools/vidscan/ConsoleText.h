// Texts the report shows from the file system and from UTF-16 file fields.
// On Windows they are given in the console's (OEM) code page, or in the
// ANSI code page when asked; elsewhere every character outside ASCII
// becomes "?".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// count UTF-16 code units, ending early at a NUL.
std::string Utf16ToReportText(const uint16_t* text, size_t count, bool ansi);

// The file's name without its folder, as the file system spells it (its
// long name on Windows); empty when the file cannot be found.
std::string ReportFileName(const char* path, bool ansi);
