// The two exports every format plug-in has alike: the interface version it
// is built for, and the release of the records it hands out. Built into
// each plug-in DLL.
#define VISTREL_PLUGIN_MODULE
#include "core/PluginApi.h"
#include "core/PluginRecord.h"

PLUGIN_EXPORT BYTE PLUGIN_CDECL Version(void)
{
    return PLUGIN_API_VERSION;
}

PLUGIN_EXPORT void PLUGIN_STDCALL FreeFormat(MediaFormat** record)
{
    DeleteMediaFormat(record);
}
