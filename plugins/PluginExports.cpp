// The two exports every format plug-in has alike: the interface version it
// is built for, and the release of the records it hands out; and the guard
// of every plug-in's ReadFromFile. Built into each plug-in DLL.
#define VISTREL_PLUGIN_MODULE
#include "core/PluginApi.h"
#include "core/PluginRecord.h"
#include "plugins/PluginGuard.h"

MediaFormat* GuardedRead(FormatReader read, const char* dir, const char* name, const char* ext, BYTE pass)
{
    try {
        return read(dir, name, ext, pass);
    } catch (...) {
        // The host goes on with the next plug-in.
        return NULL;
    }
}

PLUGIN_EXPORT BYTE PLUGIN_CDECL Version(void)
{
    return PLUGIN_API_VERSION;
}

PLUGIN_EXPORT void PLUGIN_STDCALL FreeFormat(MediaFormat** record)
{
    DeleteMediaFormat(record);
}
