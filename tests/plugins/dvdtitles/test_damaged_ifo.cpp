// Damaged information files made at run time from the fixture folder. In
// the host build the library runs under the sanitizers, so a damaged file
// that reached one of its faults fails here.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>

#include <csignal>
#endif

#include "core/PluginRecord.h"
#include "plugins/FormatLog.h"
#include "plugins/dvdtitles/DvdTitles.h"
#include "plugins/dvdtitles/IfoCheck.h"
#include "tests/plugins/PluginFolder.h"

namespace {

typedef std::vector<uint8_t> Bytes;
const char kWhole[] = "125 frames, 1 audio";
const char kWithoutSet1[] = "75 frames, 2 audio";  // title set 1 unreadable

Bytes Fixture(const std::string& name)
{
    std::string bytes = ReadAll(std::string(VISTREL_TEST_DATA) + "/dvd/VIDEO_TS/" + name);
    return Bytes(bytes.begin(), bytes.end());
}

Bytes Patched(Bytes file, size_t at, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), file.begin() + ptrdiff_t(at));
    return file;
}

Bytes LastSectorZeroed(Bytes file)
{
    std::fill(file.end() - 2048, file.end(), 0);
    return file;
}

// Sets (or, given NULL, removes) a variable of the process's environment.
void SetVariable(const char* name, const char* value)
{
#ifdef _WIN32
    SetEnvironmentVariableA(name, value);
#else
    if (value != nullptr)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}

// Points the system's temporary folder at a fresh folder of the test's own
// while the object lives (TMP on Windows, TMPDIR elsewhere).
class OwnTempFolder {
public:
    OwnTempFolder()
        : path(std::filesystem::path(testing::TempDir()) / UniqueScratchName("dvd_temp_"))
    {
        std::filesystem::create_directories(path);
        const char* was = getenv(kVariable);
        hadValue = was != nullptr;
        kept = hadValue ? was : "";
        SetVariable(kVariable, (path.string() + "/").c_str());
    }
    ~OwnTempFolder()
    {
        SetVariable(kVariable, hadValue ? kept.c_str() : nullptr);
        std::filesystem::remove_all(path);
    }
    const std::filesystem::path path;

private:
#ifdef _WIN32
    const char* const kVariable = "TMP";
#else
    const char* const kVariable = "TMPDIR";
#endif
    bool hadValue;
    std::string kept;
};

void Quiet(void*, dvd_logger_level_t, const char*, va_list) {}
const dvd_logger_cb kQuiet = {Quiet};

// A scratch folder with the fixture's three information files.
struct ScratchDisc {
    std::filesystem::path dir =
        std::filesystem::path(testing::TempDir()) / UniqueScratchName("dvd_damaged_");
    ScratchDisc()
    {
        std::filesystem::create_directories(dir);
        SetFormatLogPath((dir / "format_msg.log").string().c_str());
        for (const char* name : {"VIDEO_TS.IFO", "VTS_01_0.IFO", "VTS_02_0.IFO"})
            Put(name, Fixture(name));
    }
    ~ScratchDisc()
    {
        SetFormatLogPath("c:\\format_msg.log");
        std::filesystem::remove_all(dir);
    }
    void Put(const std::string& name, const Bytes& bytes)
    {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::string Read() const
    {
        dvd_reader_t* dvd = DVDOpen2(NULL, &kQuiet, dir.string().c_str());
        MediaFormat* r = ReadDvdTitles(dvd, NULL);
        DVDClose(dvd);
        std::string answer = r == NULL ? "NULL" : std::to_string(r->frameCount) + " frames, " +
                                                      std::to_string(r->audioCount) + " audio";
        DeleteMediaFormat(&r);
        return answer;
    }
};

// Cuts `name` at many lengths (every sector edge among them), without and
// with its backup; then the backup alone reads whole, and cut it does not.
void CheckCuts(const std::string& name, const char* cut, const char* cutWithBackup)
{
    ScratchDisc disc;
    Bytes whole = Fixture(name);
    std::vector<size_t> lengths;
    for (size_t n = 0; n < whole.size(); n += 29)
        lengths.push_back(n);
    for (size_t n = 2048; n < whole.size(); n += 2048)
        lengths.insert(lengths.end(), {n - 1, n, n + 1});
    std::string backup = name.substr(0, name.size() - 3) + "BUP";
    for (int withBackup = 0; withBackup < 2; withBackup++) {
        if (withBackup)
            disc.Put(backup, whole);
        for (size_t length : lengths) {
            disc.Put(name, Bytes(whole.begin(), whole.begin() + ptrdiff_t(length)));
            EXPECT_EQ(withBackup ? cutWithBackup : cut, disc.Read())
                << name << " cut at " << length << (withBackup ? " with" : " without") << " backup";
        }
    }
    std::filesystem::remove(disc.dir / name);
    EXPECT_EQ(kWhole, disc.Read());
    disc.Put(backup, Bytes(whole.begin(), whole.begin() + 3000));
    EXPECT_NE(kWhole, disc.Read());
}

}  // namespace

TEST(DvdDamagedIfo, CutFiles)
{
    // The library reads a cut manager file before its backup and frees its
    // title table twice on the way; a title set's cut copy of a sound
    // backup it passes by cleanly.
    CheckCuts("VIDEO_TS.IFO", "NULL", "NULL");
    CheckCuts("VTS_01_0.IFO", kWithoutSet1, kWhole);
}

TEST(DvdDamagedIfo, HeadersAndTablesThatLeaveTheFile)
{
    Bytes manager = Fixture("VIDEO_TS.IFO"), set = Fixture("VTS_01_0.IFO");
    auto sound = [](const Bytes& bytes, bool isManager) {
        return IfoLayoutIsSound(bytes.size(), [&](uint64_t at, uint8_t* out, size_t count) {
            std::copy(bytes.begin() + ptrdiff_t(at), bytes.begin() + ptrdiff_t(at + count), out);
            return true;
        }, isManager);
    };
    EXPECT_TRUE(sound(manager, true));
    EXPECT_TRUE(sound(set, false));
    EXPECT_FALSE(sound(set, true));
    EXPECT_FALSE(sound(Bytes(set.begin(), set.end() - 1), false));
    // Title set 1's chain table is at 0x1000: two entries of 8 bytes, the
    // first chain at 0x1018.
    struct Edit { size_t at; Bytes bytes; };
    struct Patch { bool manager; std::vector<Edit> edits; const char* what; } const patches[] = {
        {true, {{0x1F, {3}}}, "a sector more than the file has"},
        {true, {{0xC7, {3}}}, "title table past the last sector"},
        {true, {{0xC7, {0}}}, "no title table"},
        {true, {{0xCF, {1}}}, "parental table on the title table"},
        {true, {{0x84, {0, 0, 0x17, 0xF0}}}, "first-play chain past the end"},
        {false, {{0x1004, {0, 0, 0x30, 0}}}, "chain table past the end"},
        {false, {{0x1000, {0, 0x82}}}, "130 chains"},
        {false, {{0x100C, {0, 0, 0x02, 0x50}}}, "chain past its table"},
        {false, {{0x10FC, {0x80, 0xEC}}}, "command table past its table"},
        {false, {{0x101A, {2}}}, "more programs than cells"},
        {false, {{0x1100, {0, 0}}}, "a cell without a cell playback list"},
        // At 0x1008 the chain would read as one of no cells and no lists.
        {false, {{0x100C, {0, 0, 0, 8}}, {0x10EC, Bytes(8, 0)}}, "chain inside the entries"},
    };
    for (const Patch& p : patches) {
        Bytes bytes = p.manager ? manager : set;
        for (const Edit& edit : p.edits)
            bytes = Patched(bytes, edit.at, edit.bytes);
        EXPECT_FALSE(sound(bytes, p.manager)) << p.what;
    }
}

TEST(DvdDamagedIfo, DamagedTitleSetsAreReadFromTheirBackups)
{
    Bytes manager = Fixture("VIDEO_TS.IFO"), set1 = Fixture("VTS_01_0.IFO"),
          set2 = Fixture("VTS_02_0.IFO");
    const Bytes damaged1 = LastSectorZeroed(set1);
    struct File { const char* name; Bytes bytes; };
    struct Case { const char* what; std::vector<File> files; const char* answer; } const cases[] = {
        {"last sector zeroed", {{"VTS_01_0.IFO", damaged1}, {"VTS_01_0.BUP", set1}}, kWhole},
        {"second chain in the next table",
         {{"VTS_01_0.IFO", Patched(set1, 0x1014, {0, 0, 0x08, 0})}, {"VTS_01_0.BUP", set1}},
         kWhole},
        {"both sets", {{"VTS_01_0.IFO", damaged1}, {"VTS_01_0.BUP", set1},
                       {"VTS_02_0.IFO", LastSectorZeroed(set2)}, {"VTS_02_0.BUP", set2}}, kWhole},
        // Without a sound backup a title set is left out.
        {"backup of 130 chains",
         {{"VTS_01_0.IFO", damaged1}, {"VTS_01_0.BUP", Patched(set1, 0x1000, {0, 0x82})}},
         kWithoutSet1},
        {"manager", {{"VIDEO_TS.IFO", LastSectorZeroed(manager)}, {"VIDEO_TS.BUP", manager}},
         "NULL"},
    };
    // The scratch folders the backups are read from go when the reading
    // ends: the system's temporary folder is one of the test's own here.
    OwnTempFolder temp;
    for (const Case& c : cases) {
        ScratchDisc disc;
        for (const File& file : c.files)
            disc.Put(file.name, file.bytes);
        EXPECT_EQ(c.answer, disc.Read()) << c.what;
    }
    EXPECT_TRUE(std::filesystem::is_empty(temp.path));
}

TEST(DvdDamagedIfo, BackupsAreCopiedAsFarAsTheyClaimAndNeverLeftOutUnread)
{
    Bytes set1 = Fixture("VTS_01_0.IFO");
    const Bytes damaged1 = LastSectorZeroed(set1);
    const std::string backup = "VTS_01_0.BUP";
    ScratchDisc disc;  // outside the temporary folder, which goes below
    disc.Put("VTS_01_0.IFO", damaged1);
    OwnTempFolder temp;
    // A backup of 1 GB (sparse) whose header claims its first sectors:
    // those are copied, and no more (on the host no file of this process
    // may grow past 64 MB here). A header may claim up to the cap (8 MB),
    // not a sector more.
    disc.Put(backup, set1);
    std::filesystem::resize_file(disc.dir / backup, uint64_t(1) << 30);
#ifndef _WIN32
    rlimit was, limit;
    getrlimit(RLIMIT_FSIZE, &was);
    limit = was;
    limit.rlim_cur = 64 << 20;
    setrlimit(RLIMIT_FSIZE, &limit);
    void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
#endif
    EXPECT_EQ(kWhole, disc.Read());
#ifndef _WIN32
    setrlimit(RLIMIT_FSIZE, &was);
    signal(SIGXFSZ, handler);
#endif
    for (uint64_t claim : {kMaxIfoCopyBytes, kMaxIfoCopyBytes + 2048}) {
        uint32_t last = uint32_t(claim / 2048 - 1);
        disc.Put(backup, Patched(set1, 0x1C, {uint8_t(last >> 24), uint8_t(last >> 16),
                                               uint8_t(last >> 8), uint8_t(last)}));
        std::filesystem::resize_file(disc.dir / backup, claim + 4096);
        EXPECT_EQ(claim == kMaxIfoCopyBytes ? kWhole : kWithoutSet1, disc.Read()) << claim;
    }
    EXPECT_TRUE(std::filesystem::is_empty(temp.path));

    disc.Put(backup, set1);
    // The folders that killed runs left behind under the former names
    // stand in no one's way.
    for (int n = 0; n < 1000; n++)
        std::filesystem::create_directory(temp.path / ("vistrel-dvd-" + std::to_string(n)));
    EXPECT_EQ(kWhole, disc.Read());
    // Where no scratch folder can be made, the set that might be the movie
    // is not silently left out: no record rather than title set 2's. A
    // damaged backup needs no folder: its set is left out.
    std::filesystem::remove_all(temp.path);
    EXPECT_EQ("NULL", disc.Read());
    disc.Put(backup, Patched(set1, 0x1000, {0, 0x82}));
    EXPECT_EQ(kWithoutSet1, disc.Read());
}
