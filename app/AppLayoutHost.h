// The layout host of the program: the layout files live beside the program
// file, the settings in the application's registry profile, and messages go
// through the class library's message boxes.
#pragma once

#include "app/LayoutHost.h"

class CAppLayoutHost : public ILayoutHost {
public:
    std::string GetFolder() override;
    int GetProfileInt(const char* section, const char* entry, int defaultValue) override;
    bool WriteProfileInt(const char* section, const char* entry, int value) override;
    bool GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>* data) override;
    bool WriteProfileBinary(const char* section, const char* entry, const void* data,
                            UINT bytes) override;
    void ShowStopMessage(HWND parent, const char* text, const char* caption) override;
};

// The program's folder: the module path up to and including its last backslash.
std::string GetProgramFolder();
