// The program as the listing layout sees it: the folder that holds the layout
// files, the registry profile, and the message boxes of the layout editor.
// The program installs its own at start-up; tests install one over a folder
// and a profile of their own.
#pragma once

#include <string>
#include <vector>

#include "core/WinTypes.h"

class ILayoutHost {
public:
    virtual ~ILayoutHost() {}

    // The folder of the layout files, ending in its path separator.
    virtual std::string GetFolder() = 0;

    virtual int GetProfileInt(const char* section, const char* entry, int defaultValue) = 0;
    virtual bool WriteProfileInt(const char* section, const char* entry, int value) = 0;
    // False when the entry is missing; otherwise *data holds its bytes.
    virtual bool GetProfileBinary(const char* section, const char* entry,
                                  std::vector<BYTE>* data) = 0;
    virtual bool WriteProfileBinary(const char* section, const char* entry, const void* data,
                                    UINT bytes) = 0;

    // A message box with the stop icon over the parent window.
    virtual void ShowStopMessage(HWND parent, const char* text, const char* caption) = 0;
};

// NULL (the start) means no host: layouts take their defaults and save nothing.
void SetLayoutHost(ILayoutHost* host);
ILayoutHost* GetLayoutHost();
