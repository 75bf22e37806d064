// Error boxes. The text is measured before it is formatted, so it is never cut.
#include "core/ErrorBox.h"
#include "core/StrUtil.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <new>

namespace {

ErrorBoxOwnerProvider g_ownerProvider = NULL;
bool g_recording = false;
std::string g_lastText;
int g_count = 0;
int g_recordedAnswer = 1;  // IDOK
std::mutex g_recordLock;

#ifdef _WIN32
std::string SystemText(DWORD code)
{
    char* buffer = NULL;
    DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        NULL, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<char*>(&buffer), 512, NULL);
    if (n == 0 || buffer == NULL) {
        char failed[80];
        snprintf(failed, sizeof failed, "Error formating error message [%ld] [%ld]",
                 long(code), long(GetLastError()));
        if (buffer != NULL)
            LocalFree(buffer);
        return failed;
    }
    std::string text(buffer, n);
    LocalFree(buffer);
    return text;
}
#else
std::string SystemText(DWORD code)
{
    char text[40];
    snprintf(text, sizeof text, "system error %lu", static_cast<unsigned long>(code));
    return text;
}
#endif

// The text a box shows when memory for its own text runs out.
const char kOutOfMemory[] = "Out of memory.";

void Show(const char* text)
{
    {
        std::lock_guard<std::mutex> lock(g_recordLock);
        if (g_recording) {
            try {
                g_lastText = text;
            } catch (const std::bad_alloc&) {
                g_lastText.clear();
            }
            ++g_count;
            return;
        }
    }
#ifdef _WIN32
    HWND owner = g_ownerProvider ? g_ownerProvider() : NULL;
    MessageBoxA(owner, text, "Error", MB_OK | MB_ICONHAND);
#else
    fprintf(stderr, "Error: %s\n", text);
#endif
}

} // namespace

void ShowError(int quiet, const char* format, ...)
{
    // A quiet message is a step trace that is never shown.
    if (quiet)
        return;
    // A failure must reach the user even when memory has run out.
    va_list args;
    va_start(args, format);
    std::string text;
    bool formatted = true;
    try {
        text = StrFormatV(format, args);
    } catch (const std::bad_alloc&) {
        formatted = false;
    }
    va_end(args);
    Show(formatted ? text.c_str() : kOutOfMemory);
}

void ShowSystemError(DWORD code, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = StrFormatV(format, args);
    va_end(args);
    text += '\n';
    text += SystemText(code);
    Show(text.c_str());
}

int AskUser(const char* text, const char* caption, unsigned type)
{
    {
        std::lock_guard<std::mutex> lock(g_recordLock);
        if (g_recording) {
            g_lastText = text != NULL ? text : "";
            ++g_count;
            return g_recordedAnswer;
        }
    }
#ifdef _WIN32
    HWND owner = g_ownerProvider ? g_ownerProvider() : NULL;
    return MessageBoxA(owner, text, caption, type);
#else
    fprintf(stderr, "%s: %s\n", caption, text);
    return g_recordedAnswer;
#endif
}

void SetRecordedAnswer(int answer)
{
    std::lock_guard<std::mutex> lock(g_recordLock);
    g_recordedAnswer = answer;
}

void SetErrorBoxOwnerProvider(ErrorBoxOwnerProvider provider)
{
    g_ownerProvider = provider;
}

void SetErrorBoxRecording(bool on)
{
    std::lock_guard<std::mutex> lock(g_recordLock);
    g_recording = on;
}

const std::string& LastErrorBoxText()
{
    return g_lastText;
}

int ErrorBoxCount()
{
    return g_count;
}
