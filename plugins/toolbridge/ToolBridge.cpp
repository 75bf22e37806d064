// The tool bridge format plug-in: describes media files by the report of
// the media identifier tool in the "plugins" folder.
#define VISTREL_PLUGIN_MODULE
#include "core/PluginApi.h"

#include <string>

#include "plugins/FileNameRules.h"
#include "plugins/PluginGuard.h"
#include "plugins/toolbridge/ToolRunner.h"

namespace {

// Extensions taken in the first pass, in any case.
const char* const kKnownExtensions[] = {".avi", ".divx", ".mpg", ".dat", ".mpeg", ".mov",
                                        ".rm",  ".asf",  ".wmv", ".ifo", ".vob"};

MediaFormat* ReadToolReport(const char* dir, const char* name, const char* ext, BYTE pass)
{
    if (dir == NULL || name == NULL)
        return NULL;
    std::string path = std::string(dir) + name;
    if (ext != NULL) {
        if (pass == 0 && !IsListedExtension(ext, kKnownExtensions))
            return NULL;
        path += ext;
    } else if (pass == 0) {
        return NULL;
    }
    CToolRunner runner;
    return runner.Run(path.c_str());
}

} // namespace

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginDesc(void)
{
    return "Handels AVI, ASF/WMV, MPEG-1/MPEG-2 (VCD,SVCD & DVD), MOV and RM files using Vidscan "
           "written by Mereth"
           ". Plugin written by Tolvik.";
}

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginFormats(void)
{
    return "|Avi file (*.avi)|*.avi|DivX file (*.divx)|*.divx"
           "|MPEG-1 file (*.mpg, *.mpeg, *.dat)|*.mpg; *.mpeg; *.dat"
           "|ASF file (*.asf, *.wmv)|*.asf; *.wmv"
           "|MPEG-2 file (*.m2v, *.ifo)|*.m2v; *.ifo"
           "|QuickTime file (*.mov)|*.mov|RealMedia file (*.rm)|*.rm|";
}

PLUGIN_EXPORT MediaFormat* PLUGIN_STDCALL ReadFromFile(const char* dir, const char* name,
                                                       const char* ext, BYTE pass)
{
    return GuardedRead(ReadToolReport, dir, name, ext, pass);
}
