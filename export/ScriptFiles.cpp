// Export script files and the scripts folder.
#include "export/ScriptFiles.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/SafeFileWriter.h"
#include "core/ErrorBox.h"

namespace {

const char kNotSingle[] =
    "This is not a single script file. This file contaions a head, body and foot script.";
const char kNotThreePart[] = "This file is not containing a head, body and foot script.";

// Replaces every bare line end of one style (an LF without a CR before it,
// or a CR without an LF behind it) by CR LF.
std::string BareLineEndsToCrLf(const std::string& text, char bare)
{
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        bool isBare = c == bare
            && (bare == '\n' ? (i == 0 || text[i - 1] != '\r')
                             : (i + 1 >= text.size() || text[i + 1] != '\n'));
        if (isBare)
            result += "\r\n";
        else
            result += c;
    }
    return result;
}

bool WriteWhole(const char* path, const std::string& bytes)
{
    CSafeFileWriter writer;
    FILE* file = writer.Open(path);
    if (file == NULL)
        return false;
    if (!bytes.empty() && fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return false;
    return writer.Commit();
}

// The first occurrence of the two bytes FF code at or after from, looked for
// up to the first NUL; npos when there is none.
size_t FindSeparator(const std::string& bytes, size_t from, char code)
{
    for (size_t i = from; i + 1 < bytes.size() && bytes[i] != '\0'; i++) {
        if ((unsigned char)bytes[i] == 0xFF && bytes[i + 1] == code)
            return i;
    }
    return std::string::npos;
}

} // namespace

ScriptReadResult ReadScriptFile(const char* path, std::string* bytes)
{
    FILE* file = fopen(path, "rb");
    if (file == NULL)
        return SCRIPT_OPEN_FAILED;
    std::string data;
    char piece[256];
    bool failed = false;
    for (;;) {
        size_t n = fread(piece, 1, sizeof(piece), file);
        data.append(piece, n);
        if (data.size() > kMaxScriptFileSize) {
            failed = true;
            break;
        }
        if (n < sizeof(piece)) {
            failed = ferror(file) != 0;
            break;
        }
    }
    fclose(file);
    if (failed)
        return SCRIPT_READ_FAILED;
    bytes->swap(data);
    return SCRIPT_READ_OK;
}

std::string SingleScriptFromBytes(const std::string& bytes)
{
    std::string text = bytes.substr(0, bytes.find('\0'));
    size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) {
        if (text[end] == '\n')
            text = BareLineEndsToCrLf(text, '\n');
        else if (end + 1 >= text.size() || text[end + 1] != '\n')
            text = BareLineEndsToCrLf(text, '\r');
    }
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c == '\t')
            result += "%tab";
        else
            result += c;
    }
    return result;
}

bool LoadSingleScriptFile(const char* path, bool showMessages, std::string* text)
{
    std::string bytes;
    if (ReadScriptFile(path, &bytes) != SCRIPT_READ_OK) {
        if (showMessages)
            ShowError(0, "Error loading script file\n%s", path);
        return false;
    }
    if (!bytes.empty() && (unsigned char)bytes[0] == 0xFF) {
        if (showMessages)
            ShowError(0, "%s", kNotSingle);
        return false;
    }
    *text = SingleScriptFromBytes(bytes);
    return true;
}

bool SaveSingleScriptFile(const char* path, const std::string& bytes, bool showMessages)
{
    if (WriteWhole(path, bytes))
        return true;
    if (showMessages)
        ShowError(0, "Error saving script file\n%s", path);
    return false;
}

bool ParseThreePartScript(const std::string& bytes, ThreePartScript* parts)
{
    if (bytes.size() < 2 || (unsigned char)bytes[0] != 0xFF || bytes[1] != '\x01')
        return false;
    size_t second = FindSeparator(bytes, 2, '\x02');
    if (second == std::string::npos)
        return false;
    size_t third = FindSeparator(bytes, second, '\x03');
    if (third == std::string::npos)
        return false;
    parts->head = bytes.substr(2, second - 2);
    parts->body = bytes.substr(second + 2, third - second - 2);
    parts->foot = bytes.substr(third + 2);
    return true;
}

std::string BuildThreePartScript(const ThreePartScript& parts)
{
    std::string bytes;
    bytes.reserve(6 + parts.head.size() + parts.body.size() + parts.foot.size());
    bytes += "\xFF\x01";
    bytes += parts.head;
    bytes += "\xFF\x02";
    bytes += parts.body;
    bytes += "\xFF\x03";
    bytes += parts.foot;
    return bytes;
}

bool LoadThreePartScriptFile(const char* path, bool showMessages, ThreePartScript* parts)
{
    std::string bytes;
    ScriptReadResult read = ReadScriptFile(path, &bytes);
    if (read != SCRIPT_READ_OK) {
        if (showMessages) {
            ShowError(0, read == SCRIPT_OPEN_FAILED ? "Error loading scripts from file %s"
                                                    : "Read error loading scripts from file %s",
                      path);
        }
        return false;
    }
    // Nothing changes unless the whole file is right.
    ThreePartScript loaded;
    if (!ParseThreePartScript(bytes, &loaded)) {
        if (showMessages)
            ShowError(0, "%s", kNotThreePart);
        return false;
    }
    *parts = loaded;
    return true;
}

bool SaveThreePartScriptFile(const char* path, const ThreePartScript& parts, bool showMessages)
{
    CSafeFileWriter writer;
    FILE* file = writer.Open(path);
    if (file == NULL) {
        if (showMessages)
            ShowError(0, "Error saving scripts into file %s", path);
        return false;
    }
    std::string bytes = BuildThreePartScript(parts);
    if (fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || !writer.Commit()) {
        if (showMessages)
            ShowError(0, "Write error while saving scripts into file %s", path);
        return false;
    }
    return true;
}

std::string ScriptsFolderOf(const std::string& programPath)
{
    size_t slash = programPath.find_last_of("\\/");
    if (slash == std::string::npos)
        return "scripts";
    return programPath.substr(0, slash + 1) + "scripts";
}

bool EnterFolder(const char* path)
{
#ifdef _WIN32
    if (_chdir(path) == 0)
        return true;
    _mkdir(path);
    return _chdir(path) == 0;
#else
    if (chdir(path) == 0)
        return true;
    mkdir(path, 0777);
    return chdir(path) == 0;
#endif
}
