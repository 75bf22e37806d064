// MPEG headers from hostile files: every input is written to a scratch file
// named like a CD track (so the fallback runs too), read in pass 1 as a
// plain file and as one in an "\MPEG2\" folder, and its report built.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/PluginRecord.h"
#include "plugins/streamheader/MpegHeaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string dir = "/tmp/vistrel-fuzz-mpeg-" + std::to_string(getpid()) + "/";
    static const std::string mpeg2 = dir + "x\\MPEG2\\";
    static bool made = false;
    if (!made) {
        mkdir(dir.c_str(), 0700);
        made = true;
    }
    for (const std::string& folder : {dir, mpeg2}) {
        FILE* f = fopen((folder + "AVSEQ01.DAT").c_str(), "wb");
        if (f == NULL)
            return 0;
        fwrite(data, 1, size, f);
        fclose(f);
        MediaFormat* record = ReadStreamHeaderFile(folder.c_str(), "AVSEQ01", ".DAT", 1);
        DeleteMediaFormat(&record);
    }
    return 0;
}
