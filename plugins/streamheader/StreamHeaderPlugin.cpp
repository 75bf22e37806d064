// The exports of streamheader.dll (with plugins/PluginExports.cpp).
#define VISTREL_PLUGIN_MODULE
#include "core/PluginApi.h"
#include "plugins/PluginGuard.h"
#include "plugins/streamheader/MpegHeaders.h"

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginDesc(void)
{
    return "Handels MPEG-1 & MPEG-2 files. VCD and SVCD included. Not much info from MPEG-2... "
           "Written by Tolvik.";
}

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginFormats(void)
{
    return "|MPEG-1 file (*.mpeg, *.mpg, *.dat)|*.mpeg; *.mpg; *.dat|"
           "MPEG-2 files (*.m2v, *.m2s)|*.m2v; *.m2s|";
}

PLUGIN_EXPORT MediaFormat* PLUGIN_STDCALL ReadFromFile(const char* dir, const char* name,
                                                       const char* ext, BYTE pass)
{
    return GuardedRead(ReadStreamHeaderFile, dir, name, ext, pass);
}
