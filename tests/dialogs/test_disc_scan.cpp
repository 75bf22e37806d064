// Disc scanning on the drives that wine-drives.sh maps: m: a CD-ROM holding
// the test disc, e: an empty CD-ROM, r: removable, h: fixed, n: network.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "DialogDriver.h"
#include "core/Disc.h"
#include "core/DiscScan.h"
#include "core/ErrorBox.h"
#include "core/FoundFileList.h"

namespace {

class DiscScan : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::GetDriveTypeA("m:\\") != DRIVE_CDROM)
            GTEST_SKIP() << "drive m: is no CD-ROM: run through CTest, whose fixture maps the drives";
    }

    // "folder|name" of each found file, with its size.
    static std::map<std::string, int64_t> Found(const CFoundFileList& list)
    {
        std::map<std::string, int64_t> found;
        for (DWORD i = 0; i < list.GetCount(); i++) {
            const CFileInfo* info = list.GetAt(i);
            found[std::string(info->m_folder) + "|" + info->m_fileName] = info->m_size;
        }
        return found;
    }
};

int64_t FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

TEST(DiscScanNames, TakesTheMediaExtensionsAndTheFirstTitleSet)
{
    for (const char* name : {"MOVIE.AVI", "a.mpg", "a.MPEG", "x.DivX", "AVSEQ01.DAT", "t.asf",
                             "VTS_01_0.IFO", "vts_01_0.ifo", "Vts_01_0.Ifo", "a.b.avi"})
        EXPECT_TRUE(IsMediaFileName(name)) << name;
    for (const char* name : {"MOVIE.AVI.TXT", "README", "a.mpe", "a.avi2", "VTS_01_1.IFO",
                             "VIDEO_TS.IFO", "VTS_01_0.BUP", "avi", ""})
        EXPECT_FALSE(IsMediaFileName(name)) << name;
}

TEST_F(DiscScan, CdromGivesSerialLabelAndEveryMediaFileOnIt)
{
    CDisc disc;
    CFoundFileList list;
    ASSERT_TRUE(ScanDisc("M:\\", &disc, &list));
    EXPECT_STREQ("1A2B-3C4D", disc.m_serialNumber);
    EXPECT_STREQ("THE_MATRIX", disc.m_name);
    EXPECT_EQ('m', disc.m_driveLetter);
    EXPECT_EQ(0, disc.m_fixedOrNetwork);
    EXPECT_EQ(0, disc.m_network);

    std::map<std::string, int64_t> found = Found(list);
    const std::map<std::string, int64_t> expected = {
        {"|MOVIE.AVI", FileSize(WindowsPath(VISTREL_TEST_DATA "/disc/MOVIE.AVI"))},
        {"|BIG.AVI", 5000000000LL},
        {"|Clip.DivX", 0},
        {"|trailer.asf", 0},
        {"MPEGAV|AVSEQ01.DAT", 0},
        {"VIDEO_TS|VTS_01_0.IFO", 0},
        {"Extras\\dvd|vts_01_0.ifo", 0},
        {"Series\\Season 1|Show cd1.mpg", 0},
        {"Series\\Season 1|Show cd2.MPEG", 0},
    };
    EXPECT_EQ(expected, found);
    EXPECT_GT(expected.at("|MOVIE.AVI"), 0);

    // Every entry has its creation time in local time.
    for (DWORD i = 0; i < list.GetCount(); i++)
        EXPECT_GE(list.GetAt(i)->m_creationTime.wYear, 2000) << list.GetAt(i)->m_fileName;

    // A letter alone names the same drive; the list is made anew.
    CDisc again;
    ASSERT_TRUE(ScanDisc("m", &again, &list));
    EXPECT_EQ(found, Found(list));
    EXPECT_STREQ("1A2B-3C4D", again.m_serialNumber);
}

TEST_F(DiscScan, HardDiscAndNetworkVolumesAreNamedWithTheirLetterAndNotSearched)
{
    CFoundFileList list;
    FILETIME time = {};
    list.Add("m:\\", "old.avi", time, 0, 1);

    CDisc fixed;
    ASSERT_TRUE(ScanDisc("h:\\", &fixed, &list));
    EXPECT_STREQ("0BAD-CAFE", fixed.m_serialNumber);
    EXPECT_STREQ("Data (h:)", fixed.m_name);
    EXPECT_EQ(1, fixed.m_fixedOrNetwork);
    EXPECT_EQ(0, fixed.m_network);
    EXPECT_EQ(0u, list.GetCount());

    CDisc network;
    ASSERT_TRUE(ScanDisc("N", &network, nullptr));
    EXPECT_STREQ("1234-5678", network.m_serialNumber);
    EXPECT_STREQ("Share (N:)", network.m_name);
    EXPECT_EQ('n', network.m_driveLetter);
    EXPECT_EQ(1, network.m_fixedOrNetwork);
    EXPECT_EQ(1, network.m_network);
}

TEST_F(DiscScan, OtherDrivesAndEmptyPathsAreRefused)
{
    int before = ErrorBoxCount();
    CDisc disc;
    CFoundFileList list;
    EXPECT_FALSE(ScanDisc("r:\\", &disc, &list));
    EXPECT_EQ("The drive r is not a CDROM, DVD, Local or Network drive.", LastErrorBoxText());
    EXPECT_EQ(before + 1, ErrorBoxCount());
    // A letter that names no drive at all.
    EXPECT_FALSE(ScanDisc("q", &disc, &list));
    EXPECT_EQ("The drive q is not a CDROM, DVD, Local or Network drive.", LastErrorBoxText());

    before = ErrorBoxCount();
    EXPECT_FALSE(ScanDisc("", &disc, &list));
    EXPECT_FALSE(ScanDisc(nullptr, &disc, &list));
    EXPECT_EQ(before, ErrorBoxCount());
}

TEST_F(DiscScan, EmptyDiscGivesAnEmptyList)
{
    CDisc disc;
    CFoundFileList list;
    FILETIME time = {};
    list.Add("e:\\", "old.avi", time, 0, 1);
    ASSERT_TRUE(ScanDisc("e", &disc, &list));
    EXPECT_NE(nullptr, disc.m_serialNumber);
    EXPECT_EQ(0u, list.GetCount());
}

TEST_F(DiscScan, MissingFolderFailsWithItsName)
{
    CFoundFileList list;
    EXPECT_FALSE(SearchFolder(&list, "m:\\No such folder"));
    EXPECT_EQ(0u, LastErrorBoxText().find("Unable to searching drive, m:\\No such folder\n"))
        << LastErrorBoxText();
}

TEST(FoundFileList, KeepsFoldersWithoutTheDriveAndJoinsTheSize)
{
    SYSTEMTIME when = {2003, 4, 0, 5, 6, 7, 8, 0};
    FILETIME utc;
    ASSERT_TRUE(::SystemTimeToFileTime(&when, &utc));
    // An impossible time: the entry stays, with an empty time.
    FILETIME bad = {0xFFFFFFFF, 0xFFFFFFFF};

    CFoundFileList list;
    list.Add("e:\\Movies\\Old", "a.avi", utc, 1, 705032704);
    list.Add("e:\\", "b.avi", utc, 0, 7);
    list.Add("Movies", "c.avi", utc, 0, 0);
    list.Add("e:", "d.avi", bad, 0, 1);
    ASSERT_EQ(4u, list.GetCount());
    EXPECT_EQ(nullptr, list.GetAt(4));

    EXPECT_STREQ("Movies\\Old", list.GetAt(0)->m_folder);
    EXPECT_STREQ("a.avi", list.GetAt(0)->m_fileName);
    EXPECT_EQ(5000000000LL, list.GetAt(0)->m_size);
    EXPECT_STREQ("", list.GetAt(1)->m_folder);
    EXPECT_STREQ("Movies", list.GetAt(2)->m_folder);
    EXPECT_STREQ("", list.GetAt(3)->m_folder);

    // The stored time is the local one.
    FILETIME local;
    SYSTEMTIME expected;
    ASSERT_TRUE(::FileTimeToLocalFileTime(&utc, &local));
    ASSERT_TRUE(::FileTimeToSystemTime(&local, &expected));
    EXPECT_EQ(0, memcmp(&expected, &list.GetAt(0)->m_creationTime, sizeof(SYSTEMTIME)));

    EXPECT_EQ(0, list.GetAt(3)->m_creationTime.wYear);
    EXPECT_EQ(0u, LastErrorBoxText().find("Unable to get created time")) << LastErrorBoxText();
}
