// The program's own path and the topics of its help file.
#include "app/HelpTopic.h"

#include <vector>

namespace {

std::string g_helpFilePath;  // filled by the first GetHelpTopicPath
const UINT kHelpDisplayTopic = 0;  // HH_DISPLAY_TOPIC

} // namespace

std::string GetModulePath()
{
    // GetModuleFileName cuts a path that doesn't fit and tells only by
    // filling the whole buffer: grow it until the path and its zero fit.
    std::vector<char> buffer;
    for (DWORD size = MAX_PATH + 1; size <= 65536; size *= 2) {
        buffer.resize(size);
        DWORD n = GetModuleFileNameA(NULL, buffer.data(), size);
        if (n == 0)
            break;
        if (n < size)
            return std::string(buffer.data(), n);
    }
    return std::string();
}

std::string GetHelpTopicPath(const char* topic)
{
    if (g_helpFilePath.empty()) {
        std::string path = GetModulePath();
        size_t slash = path.find_last_of('\\');
        path.erase(slash == std::string::npos ? 0 : slash);
        g_helpFilePath = path + "\\vistrel.chm";
    }
    std::string result = g_helpFilePath;
    if (topic != NULL) {
        result += "::/";
        result += topic;
    }
    return result;
}

void ShowHelpTopic(HWND owner, const char* topic)
{
    typedef HWND(WINAPI * HtmlHelpFn)(HWND, LPCSTR, UINT, DWORD_PTR);
    static HtmlHelpFn htmlHelp = NULL;
    static bool bound = false;
    if (!bound) {
        bound = true;
        HMODULE module = LoadLibraryA("hhctrl.ocx");
        if (module != NULL)
            htmlHelp = reinterpret_cast<HtmlHelpFn>(
                reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpA")));
    }
    if (htmlHelp != NULL)
        htmlHelp(owner, GetHelpTopicPath(topic).c_str(), kHelpDisplayTopic, 0);
}
