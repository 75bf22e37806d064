// The exports of dvdtitles.dll: the folder rule, libdvdread opening the
// folder, and libdvdnav's command evaluator deciding which program chains
// jump away before they play.
#define VISTREL_PLUGIN_MODULE
#include "core/PluginApi.h"

#include <sys/time.h>

#include <cstdarg>
#include <cstring>
#include <memory>
#include <string>

#include "core/StrUtil.h"
#include "plugins/FormatLog.h"
#include "plugins/PluginGuard.h"
#include "plugins/dvdtitles/DvdTitles.h"
#include "plugins/dvdtitles/IfoCheck.h"
#include "plugins/dvdtitles/WideText.h"

// libdvdnav's evaluator of DVD virtual-machine commands, from libdvdnav's
// own source (its header is not installed): 24 system and 16 general
// registers with their counter modes, and the link a jump leads to.
extern "C" {
struct registers_t {
    uint16_t SPRM[24];
    uint16_t GPRM[16];
    uint8_t GPRM_mode[16];
    struct timeval GPRM_time[16];
};
struct link_t {
    int command;  // an enum in libdvdnav
    uint16_t data1;
    uint16_t data2;
    uint16_t data3;
};
int32_t vmEval_CMD(vm_cmd_t commands[], int32_t num_commands, registers_t* registers,
                   link_t* return_values);
}
static_assert(sizeof(vm_cmd_t) == 8, "vm_cmd_t layout");
static_assert(sizeof(struct timeval) == 8, "timeval layout");
static_assert(sizeof(registers_t) == 224, "registers_t layout");
static_assert(offsetof(registers_t, GPRM_time) == 96, "registers_t layout");
static_assert(sizeof(link_t) == 12, "link_t layout");

namespace {

bool IsFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The ANSI path as UTF-8, which libdvdread takes on Windows.
std::string AnsiToUtf8(const std::string& ansi)
{
    return TextFrom(CP_UTF8, WideFrom(CP_ACP, ansi));
}

// The folder that holds "video_ts.ifo": dir itself or its "video_ts\"
// subfolder, opened by libdvdread; NULL when neither holds it.
dvd_reader_t* OpenDvdFolder(const char* dir)
{
    std::string folder = dir;
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    if (!IsFile(folder + "video_ts.ifo")) {
        folder += "video_ts\\";
        if (!IsFile(folder + "video_ts.ifo"))
            return NULL;
    }
    folder.pop_back();
    std::string utf8 = AnsiToUtf8(folder);
    if (utf8.empty())
        return NULL;
    return DVDOpen2(NULL, &kQuietLogger, utf8.c_str());
}

bool PreCommandsJump(const vm_cmd_t* commands, int count)
{
    registers_t registers;
    memset(&registers, 0, sizeof(registers));
    link_t link;
    memset(&link, 0, sizeof(link));
    return vmEval_CMD(const_cast<vm_cmd_t*>(commands), count, &registers, &link) == 1;
}

MediaFormat* ReadDvdFolder(const char* dir, const char* name, const char* ext, BYTE pass)
{
    if (dir == NULL || name == NULL || ext == NULL || !StrEqualNoCase(name, "vts_01_0") ||
        !StrEqualNoCase(ext, ".ifo"))
        return NULL;
    // Closed however the reading ends.
    std::unique_ptr<dvd_reader_t, void (*)(dvd_reader_t*)> dvd(OpenDvdFolder(dir), DVDClose);
    if (!dvd) {
        WriteFormatLog("Error reading from media");
        return NULL;
    }
    return ReadDvdTitles(dvd.get(), PreCommandsJump);
}

}  // namespace

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginDesc(void)
{
    return "Handels DVD ifo files. Written by Tolvik.";
}

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginFormats(void)
{
    return "|DVD ifo file (vts_01_0.ifo)|vts_01_0.ifo|";
}

PLUGIN_EXPORT MediaFormat* PLUGIN_STDCALL ReadFromFile(const char* dir, const char* name,
                                                       const char* ext, BYTE pass)
{
    return GuardedRead(ReadDvdFolder, dir, name, ext, pass);
}
