#include "app/AppLayoutHost.h"

#include "app/HelpTopic.h"
#include "classlib/WinApp.h"

std::string GetProgramFolder()
{
    std::string folder = GetModulePath();
    size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string CAppLayoutHost::GetFolder()
{
    return GetProgramFolder();
}

int CAppLayoutHost::GetProfileInt(const char* section, const char* entry, int defaultValue)
{
    CWinApp* app = AfxGetApp();
    return app != NULL ? int(app->GetProfileInt(section, entry, defaultValue)) : defaultValue;
}

bool CAppLayoutHost::WriteProfileInt(const char* section, const char* entry, int value)
{
    CWinApp* app = AfxGetApp();
    return app != NULL && app->WriteProfileInt(section, entry, value);
}

bool CAppLayoutHost::GetProfileBinary(const char* section, const char* entry,
                                      std::vector<BYTE>* data)
{
    CWinApp* app = AfxGetApp();
    return app != NULL && app->GetProfileBinary(section, entry, *data);
}

bool CAppLayoutHost::WriteProfileBinary(const char* section, const char* entry, const void* data,
                                        UINT bytes)
{
    CWinApp* app = AfxGetApp();
    return app != NULL && app->WriteProfileBinary(section, entry, data, bytes);
}

void CAppLayoutHost::ShowStopMessage(HWND parent, const char* text, const char* caption)
{
    AfxShowMessageBox(parent, text, caption, MB_OK | MB_ICONSTOP);
}
