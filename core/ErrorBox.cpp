// Error boxes. The text is measured before it is formatted, so it is never cut.
#include "core/ErrorBox.h"
#include "core/StrUtil.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

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

void Show(const std::string& text)
{
    {
        std::lock_guard<std::mutex> lock(g_recordLock);
        if (g_recording) {
            g_lastText = text;
            ++g_count;
            return;
        }
    }
#ifdef _WIN32
    HWND owner = g_ownerProvider ? g_ownerProvider() : NULL;
    MessageBoxA(owner, text.c_str(), "Error", MB_OK | MB_ICONHAND);
#else
    fprintf(stderr, "Error: %s\n", text.c_str());
#endif
}

} // namespace

void ShowError(int quiet, const char* format, ...)
{
    // A quiet message is a step trace that is never shown.
    if (quiet)
        return;
    va_list args;
    va_start(args, format);
    std::string text = StrFormatV(format, args);
    va_end(args);
    Show(text);
}

void ShowSystemError(DWORD code, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = StrFormatV(format, args);
    va_end(args);
    text += '\n';
    text += SystemText(code);
    Show(text);
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
