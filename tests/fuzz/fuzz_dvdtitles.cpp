// DVD information files with hostile values: the fixture's three IFO files
// (the manager and two title sets) are patched by the input, read three
// bytes at a time (a file, an offset, the byte to put there), written to a
// scratch folder, parsed by libdvdread and analysed. The patches go where
// the values our code reads are kept as the library copies them: the
// manager's category and title set count, and every file's attribute block
// (video, audio and subpicture attributes and their counts). The library
// itself does not survive hostile table pointers, so those are left alone.
// The host's libdvdnav has no command evaluator: pre-commands are not
// evaluated.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/PluginRecord.h"
#include "plugins/FormatLog.h"
#include "plugins/dvdtitles/DvdTitles.h"

namespace {

const char* const kFiles[] = {"VIDEO_TS.IFO", "VTS_01_0.IFO", "VTS_02_0.IFO"};

std::vector<std::vector<uint8_t>> LoadFixture()
{
    std::string here = __FILE__;
    std::string dir = here.substr(0, here.rfind('/')) + "/../data/dvd/VIDEO_TS/";
    std::vector<std::vector<uint8_t>> files;
    for (const char* name : kFiles) {
        std::ifstream in(dir + name, std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

void Quiet(void*, dvd_logger_level_t, const char*, va_list) {}
const dvd_logger_cb kQuiet = {Quiet};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::vector<std::vector<uint8_t>> fixture = LoadFixture();
    static const std::string dir = "/tmp/vistrel-fuzz-dvd-" + std::to_string(getpid()) + "/";
    static bool made = false;
    if (!made) {
        mkdir(dir.c_str(), 0700);
        SetFormatLogPath("/dev/null");
        made = true;
    }
    std::vector<std::vector<uint8_t>> files = fixture;
    for (size_t i = 0; i + 3 <= size; i += 3) {
        std::vector<uint8_t>& file = files[data[i] % files.size()];
        // 0x20..0x3F of the manager, 0x100..0x3FF of every file.
        size_t at = data[i + 1] < 0x20 && &file == &files[0] ? 0x20 + data[i + 1]
                                                             : 0x100 + (data[i + 1] * 3u + data[i]) % 0x300;
        if (at < file.size())
            file[at] = data[i + 2];
    }
    for (size_t i = 0; i < files.size(); i++) {
        FILE* out = fopen((dir + kFiles[i]).c_str(), "wb");
        if (out == NULL)
            return 0;
        fwrite(files[i].data(), 1, files[i].size(), out);
        fclose(out);
    }
    dvd_reader_t* dvd = DVDOpen2(NULL, &kQuiet, dir.c_str());
    if (dvd != NULL) {
        MediaFormat* record = ReadDvdTitles(dvd, NULL);
        DeleteMediaFormat(&record);
        DVDClose(dvd);
    }
    return 0;
}
