// Export script files (".vsc"). A single script file is the whole script
// as text with CR LF line ends, "%tab" standing for TAB; its first byte is
// never 0xFF. A three-part file holds the head, body and foot of a big list:
//
//   FF 01 <head> FF 02 <body> FF 03 <foot, up to the end of the file>
//
// with no lengths and no terminators; each text carries the line ends of
// the big file's line format. The scripts folder beside the program keeps
// the working copies "current.small" (single) and "current.big" (three-part).
#pragma once

#include <cstddef>
#include <string>

// Script files above this size are refused.
const size_t kMaxScriptFileSize = 16u * 1024 * 1024;

const char kCurrentSmallScript[] = "current.small";
const char kCurrentBigScript[] = "current.big";

enum ScriptReadResult {
    SCRIPT_READ_OK,
    SCRIPT_OPEN_FAILED,
    SCRIPT_READ_FAILED,  // a read error, or a file above the size limit
};

// The whole file.
ScriptReadResult ReadScriptFile(const char* path, std::string* bytes);

// The text of a single script file as the editor takes it: the bare line
// ends of the style the first line end has (LF, or a CR without LF) become
// CR LF, and every TAB becomes "%tab". The text ends at a NUL byte.
std::string SingleScriptFromBytes(const std::string& bytes);

// Loads a single script file into *text; false (with a message when asked)
// leaves *text alone. A file starting with 0xFF is a three-part file.
bool LoadSingleScriptFile(const char* path, bool showMessages, std::string* text);
// Writes the bytes as they are (already in the wanted line format); the
// file is replaced only once every byte is written.
bool SaveSingleScriptFile(const char* path, const std::string& bytes, bool showMessages);

struct ThreePartScript {
    std::string head;
    std::string body;
    std::string foot;
};

// Splits a three-part file; false when it has not all three separators (the
// separators are looked for up to the first NUL byte).
bool ParseThreePartScript(const std::string& bytes, ThreePartScript* parts);
std::string BuildThreePartScript(const ThreePartScript& parts);

// Load and save with their messages. A load replaces *parts only when the
// whole file is a three-part file; a save replaces the file only when every
// byte is written.
bool LoadThreePartScriptFile(const char* path, bool showMessages, ThreePartScript* parts);
bool SaveThreePartScriptFile(const char* path, const ThreePartScript& parts, bool showMessages);

// The scripts folder of a program path: the path cut at its last '\' (or
// '/'), then "\scripts".
std::string ScriptsFolderOf(const std::string& programPath);

// Makes the folder the current directory, creating it (not its parents) when
// it can't be entered. False when it still can't be entered.
bool EnterFolder(const char* path);
