// DVD information files with hostile values: the fixture's three IFO files
// (the manager and two title sets) are patched by the input, read three
// bytes at a time (a file and a region, an offset, the byte to put there),
// and a last pair of bytes cuts one file short; the files are written to a
// scratch folder beside sound backups of all three, checked, parsed by
// libdvdread and analysed. The patches go
// to the manager's category and title set count, every file's attribute
// block (video, audio and subpicture attributes and their counts), the
// header's last sector, first-play offset and table sectors, and the heads
// of the tables (counts and lengths): the layout check must keep the files
// from the library when these lead outside them. The host's libdvdnav has no command
// evaluator: pre-commands are not evaluated.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

bool Write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* out = fopen(path.c_str(), "wb");
    if (out == NULL)
        return false;
    fwrite(bytes.data(), 1, bytes.size(), out);
    fclose(out);
    return true;
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
        for (size_t n = 0; n < fixture.size(); n++) {
            std::string backup = kFiles[n];
            Write(dir + backup.replace(backup.size() - 3, 3, "BUP"), fixture[n]);
        }
        made = true;
    }
    std::vector<std::vector<uint8_t>> files = fixture;
    size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        std::vector<uint8_t>& file = files[data[i] % files.size()];
        unsigned at = data[i + 1];
        switch (data[i] / files.size() % 4) {
        case 0:  // 0x20..0x3F
            at = 0x20 + at % 0x20;
            break;
        case 3:  // header fields, then the 8-byte heads of the tables in sectors 1 to 5
            if (at < 0x30)
                at = 0xC0 + at;
            else if (at < 0x38)
                at = at < 0x34 ? 0x1C + at - 0x30 : 0x84 + at - 0x34;
            else
                at = 2048 * (1 + at % 5) + at / 5 % 8;
            break;
        default:  // 0x100..0x3FF
            at = 0x100 + (at * 3u + data[i]) % 0x300;
            break;
        }
        if (at < file.size())
            file[at] = data[i + 2];
    }
    if (i + 2 == size) {
        std::vector<uint8_t>& file = files[data[i] % files.size()];
        file.resize(std::min<size_t>(file.size(), data[i + 1] * 48u));
    }
    for (size_t n = 0; n < files.size(); n++) {
        if (!Write(dir + kFiles[n], files[n]))
            return 0;
    }
    dvd_reader_t* dvd = DVDOpen2(NULL, &kQuiet, dir.c_str());
    if (dvd != NULL) {
        MediaFormat* record = ReadDvdTitles(dvd, NULL);
        DeleteMediaFormat(&record);
        DVDClose(dvd);
    }
    return 0;
}
