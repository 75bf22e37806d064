// The exports of mediadetect.dll (with plugins/PluginExports.cpp).
#define VISTREL_PLUGIN_MODULE
#include "core/PluginApi.h"
#include "plugins/PluginGuard.h"
#include "plugins/mediadetect/MediaDetector.h"

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginDesc(void)
{
    return "Handels AVI and MPEG-1 files using DirectShow 7. Written by Tolvik.";
}

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginFormats(void)
{
    return "|Avi file (*.avi)|*.avi|DivX file (*.divx)|*.divx|"
           "MPEG-1 file (*.mpg, *.mpeg, *.dat)|*.mpg; *.mpeg; *.dat|";
}

PLUGIN_EXPORT MediaFormat* PLUGIN_STDCALL ReadFromFile(const char* dir, const char* name,
                                                       const char* ext, BYTE pass)
{
    return GuardedRead(ReadMediaDetectFile, dir, name, ext, pass);
}
