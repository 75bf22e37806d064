// Damaged information files made at run time from the fixture folder: cut at
// many lengths with and without their .BUP copies, and patched headers and
// tables. In the host build the library runs under the sanitizers, so a
// damaged file that reached one of its faults fails here.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/PluginRecord.h"
#include "plugins/dvdtitles/DvdTitles.h"
#include "plugins/dvdtitles/IfoCheck.h"
#include "tests/plugins/PluginFolder.h"

namespace fs = std::filesystem;

namespace {

void Quiet(void*, dvd_logger_level_t, const char*, va_list) {}
const dvd_logger_cb kQuiet = {Quiet};

// The fixture read whole, and with title set 1 counted as unreadable.
const char kWhole[] = "125 frames, 1 audio";
const char kWithoutSet1[] = "75 frames, 2 audio";

std::vector<uint8_t> Fixture(const std::string& name)
{
    std::string bytes = ReadAll(std::string(VISTREL_TEST_DATA) + "/dvd/VIDEO_TS/" + name);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// Lengths to cut a file of `size` bytes at: every sector and table edge of
// the fixture and a stride between them.
std::vector<size_t> CutLengths(size_t size)
{
    std::vector<size_t> lengths = {0, 1, 12, 0x1C, 0xE8, 2047, 2049, 2091, 3803, 3804, 4095, 4097};
    for (size_t n = 0; n < size; n += 37)
        lengths.push_back(n);
    for (size_t sector = 2048; sector < size; sector += 2048)
        lengths.push_back(sector);
    lengths.push_back(size - 1);
    return lengths;
}

// A scratch folder with the fixture's three information files.
class ScratchDisc {
public:
    ScratchDisc()
    {
        dir_ = fs::path(testing::TempDir()) / ("dvd_damaged_" + std::to_string(rand()));
        fs::create_directories(dir_);
        for (const char* name : {"VIDEO_TS.IFO", "VTS_01_0.IFO", "VTS_02_0.IFO"})
            Put(name, Fixture(name));
    }
    ~ScratchDisc() { fs::remove_all(dir_); }

    void Put(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    void Remove(const std::string& name) { fs::remove(dir_ / name); }

    // What the analysis makes of the folder.
    std::string Read() const
    {
        dvd_reader_t* dvd = DVDOpen2(NULL, &kQuiet, dir_.string().c_str());
        if (dvd == NULL)
            return "no folder";
        MediaFormat* r = ReadDvdTitles(dvd, NULL);
        DVDClose(dvd);
        std::string answer = r == NULL ? "NULL"
                                       : std::to_string(r->frameCount) + " frames, " +
                                             std::to_string(r->audioCount) + " audio";
        DeleteMediaFormat(&r);
        return answer;
    }

private:
    fs::path dir_;
};

// Cuts `name` at every length, without and then with its backup beside it,
// expecting `cutAnswer` and `cutWithBackup`; then removes it and expects the
// backup alone to read whole.
void CheckCuts(const std::string& name, const char* cutAnswer, const char* cutWithBackup)
{
    ScratchDisc disc;
    ASSERT_EQ(kWhole, disc.Read());
    std::vector<uint8_t> whole = Fixture(name);
    std::string backup = name.substr(0, name.size() - 3) + "BUP";
    for (bool withBackup : {false, true}) {
        if (withBackup)
            disc.Put(backup, Fixture(backup));
        for (size_t length : CutLengths(whole.size())) {
            disc.Put(name, std::vector<uint8_t>(whole.begin(), whole.begin() + length));
            EXPECT_EQ(withBackup ? cutWithBackup : cutAnswer, disc.Read())
                << name << " cut at " << length << (withBackup ? " with" : " without") << " backup";
        }
    }
    disc.Remove(name);
    EXPECT_EQ(kWhole, disc.Read()) << "backup alone";
    disc.Put(backup, std::vector<uint8_t>(whole.begin(), whole.begin() + 3000));
    EXPECT_NE(kWhole, disc.Read()) << "cut backup alone";
}

bool Sound(const std::vector<uint8_t>& bytes, bool manager)
{
    return IfoLayoutIsSound(bytes.size(), [&](uint64_t offset, uint8_t* out, size_t count) {
        if (offset > bytes.size() || count > bytes.size() - offset)
            return false;
        std::copy(bytes.begin() + ptrdiff_t(offset), bytes.begin() + ptrdiff_t(offset + count), out);
        return true;
    }, manager);
}

// The file with `bytes` written at `at`.
std::vector<uint8_t> Patched(std::vector<uint8_t> file, size_t at, std::vector<uint8_t> bytes)
{
    std::copy(bytes.begin(), bytes.end(), file.begin() + ptrdiff_t(at));
    return file;
}

}  // namespace

TEST(DvdDamagedIfo, CutManagerFileGivesNull)
{
    // The library reads a cut manager file before its backup, and frees its
    // title table twice when the cut falls in that table: never handed over.
    CheckCuts("VIDEO_TS.IFO", "NULL", "NULL");
}

TEST(DvdDamagedIfo, CutTitleSetFileFallsBackToItsBackup)
{
    CheckCuts("VTS_01_0.IFO", kWithoutSet1, kWhole);
}

TEST(DvdDamagedIfo, HeadersAndTablesThatLeaveTheFile)
{
    std::vector<uint8_t> manager = Fixture("VIDEO_TS.IFO"), set = Fixture("VTS_01_0.IFO");
    EXPECT_TRUE(Sound(manager, true));
    EXPECT_TRUE(Sound(set, false));
    EXPECT_TRUE(Sound(Fixture("VTS_02_0.BUP"), false));
    EXPECT_FALSE(Sound(set, true));  // the other kind of file

    // Short of the sectors the header claims.
    EXPECT_FALSE(Sound(std::vector<uint8_t>(manager.begin(), manager.begin() + 100), true));
    EXPECT_FALSE(Sound(std::vector<uint8_t>(set.begin(), set.end() - 1), false));
    EXPECT_FALSE(Sound(Patched(manager, 0x1F, {3}), true));

    // Table sectors past the last one, a missing title table, tables whose
    // own end lies past the file, and counts and offsets that leave a table.
    EXPECT_FALSE(Sound(Patched(manager, 0xC7, {3}), true));
    EXPECT_FALSE(Sound(Patched(manager, 0xC7, {0}), true));
    EXPECT_FALSE(Sound(Patched(set, 0xE7, {6}), false));  // an optional table
    EXPECT_FALSE(Sound(Patched(set, 0x1004, {0, 0, 0x30, 0}), false));
    EXPECT_FALSE(Sound(Patched(manager, 0x800, {0, 0}), true));        // no titles
    EXPECT_FALSE(Sound(Patched(manager, 0x800, {0, 4}), true));        // 4 in 3 rows
    EXPECT_FALSE(Sound(Patched(set, 0x1000, {0, 0x82}), false));       // 130 chains
    EXPECT_FALSE(Sound(Patched(set, 0x100C, {0, 0, 0x02, 0x50}), false));  // chain past
    EXPECT_FALSE(Sound(Patched(set, 0x10FC, {0x80, 0xEC}), false));    // command table
    EXPECT_FALSE(Sound(Patched(set, 0x808, {0, 0, 0, 0x18}), false));  // part list
    EXPECT_FALSE(Sound(Patched(manager, 0x84, {0, 0, 0x17, 0xF0}), true)); // first play

    // Through the folder: a damaged title set file is kept from the library
    // even beside a sound backup, which the library would read only after
    // it; so is one that is cut short too, but not the backup cut short.
    ScratchDisc disc;
    disc.Put("VTS_01_0.BUP", Fixture("VTS_01_0.BUP"));
    std::vector<uint8_t> chains = Patched(set, 0x1000, {0, 0x82});
    disc.Put("VTS_01_0.IFO", chains);
    EXPECT_EQ(kWithoutSet1, disc.Read());
    disc.Put("VTS_01_0.IFO", std::vector<uint8_t>(chains.begin(), chains.begin() + 3 * 2048));
    EXPECT_EQ(kWithoutSet1, disc.Read());
    disc.Put("VTS_01_0.IFO", std::vector<uint8_t>(set.begin(), set.begin() + 3 * 2048));
    EXPECT_EQ(kWhole, disc.Read());
}
