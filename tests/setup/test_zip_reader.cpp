// Reading archives made by Info-ZIP, and refusing hostile ones.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "ZipTestSupport.h"
#include "setup/ZipContainer.h"
#include "setup/ZipException.h"
#include "setup/ZipFile.h"
#include "setup/ZipPathParts.h"
#include "setup/ZipPlatform.h"

namespace {

std::string LongText()
{
    std::string text;
    for (int i = 0; i < 400; i++)
        text += "line " + std::to_string(i) + " of a text that deflates well" + (i < 399 ? "\n" : "\n");
    return text;
}

// Opens the fixture and extracts every member below the folder; the
// number of members written whole.
int ExtractAll(const char* fixture, const std::string& folder, const char* password = nullptr)
{
    CZipFile file;
    file.Open(ZipFixture(fixture), ZIP_MODE_READ | ZIP_SHARE_DENY_WRITE, true);
    CZipContainer zip;
    zip.Open(file, CZipContainer::zipOpenReadOnly);
    if (password != nullptr)
        zip.SetPassword(password);
    int written = 0;
    for (int i = 0; i < zip.GetCount(); i++)
        written += zip.ExtractEntry(i, folder, true, nullptr, nullptr, nullptr, 65535) ? 1 : 0;
    zip.Close();
    return written;
}

// The cause an extraction of every member raises; 0 when none.
int CauseOf(const char* fixture, const std::string& folder)
{
    try {
        ExtractAll(fixture, folder);
    } catch (const CZipException& e) {
        return e.m_iCause;
    }
    return 0;
}

// Each member extracted on its own: 1 written, 0 not, else the cause it
// raised (-1 for a file error).
std::vector<int> Outcomes(const std::string& archive, const std::string& folder)
{
    CZipFile file;
    file.Open(archive, ZIP_MODE_READ, true);
    CZipContainer zip;
    zip.Open(file, CZipContainer::zipOpenReadOnly);
    std::vector<int> outcomes;
    for (int i = 0; i < zip.GetCount(); i++) {
        try {
            outcomes.push_back(zip.ExtractEntry(i, folder, true, nullptr, nullptr, nullptr, 0));
        } catch (const CZipException& e) {
            outcomes.push_back(e.m_iCause);
        } catch (const CFileException&) {
            outcomes.push_back(-1);
        }
    }
    return outcomes;
}

} // namespace

TEST(ZipReader, InfoZipArchivesExtractWhole)
{
    for (const char* fixture : {"deflated.zip", "stored.zip", "streamed.zip", "sevenzip.zip"}) {
        ScratchFolder folder(fixture);
        EXPECT_GE(ExtractAll(fixture, folder.Path()), 4) << fixture;
        EXPECT_EQ(ReadWhole(folder / "hello.txt"), "Hello from the archive.\r\n") << fixture;
        EXPECT_EQ(ReadWhole(folder / "docs/long.txt"), LongText()) << fixture;
        EXPECT_EQ(ReadWhole(folder / "docs/deep/leaf.txt"), "deep\n") << fixture;
        // The stored time, read as local time.
        struct tm when = {};
        when.tm_year = 124;
        when.tm_mon = 2;
        when.tm_mday = 5;
        when.tm_hour = 14;
        when.tm_min = 37;
        when.tm_sec = 42;
        when.tm_isdst = -1;
        struct stat info;
        ASSERT_EQ(stat((folder / "hello.txt").c_str(), &info), 0);
        EXPECT_EQ(info.st_mtime, mktime(&when)) << fixture;
    }
    ScratchFolder folder("deflated-folders");
    ExtractAll("deflated.zip", folder.Path());
    EXPECT_EQ(ZipPlatform::FileExists(folder / "empty"), -1);

    // A stub in front: the offsets are corrected by the counted prefix,
    // whether or not "zip -A" adjusted them.
    for (const char* fixture : {"stub.zip", "stub_adjusted.zip", "sevenzip_stub.zip"}) {
        ScratchFolder stub(fixture);
        EXPECT_EQ(ExtractAll(fixture, stub.Path()), 2) << fixture;
        EXPECT_EQ(ReadWhole(stub / "docs/long.txt"), LongText()) << fixture;
    }

    // A descriptor without its signature; the comment of the end record.
    ScratchFolder plain("descriptor");
    EXPECT_EQ(ExtractAll("descriptor_plain.zip", plain.Path()), 1);
    CZipFile file;
    file.Open(ZipFixture("deflated.zip"), ZIP_MODE_READ, true);
    CZipContainer zip;
    zip.Open(file, CZipContainer::zipOpen);
    EXPECT_EQ(zip.Directory().m_comment, "archive comment");
    CZipEntryHeader header;
    EXPECT_FALSE(zip.GetEntryInfo(zip.GetCount(), header));
    try {
        zip.ExtractEntry(99, plain.Path(), true, nullptr, nullptr, nullptr, 0);
        ADD_FAILURE() << "an index out of range extracted";
    } catch (const CZipException& e) {
        EXPECT_EQ(e.m_iCause, CZipException::noSuchEntry);
    }
}

TEST(ZipReader, EncryptedAndSplitArchives)
{
    ScratchFolder folder("encrypted");
    EXPECT_EQ(ExtractAll("encrypted.zip", folder.Path()), 0);  // no password: not opened
    EXPECT_EQ(ZipPlatform::FileExists(folder / "hello.txt"), 0);
    try {
        ExtractAll("encrypted.zip", folder.Path(), "wrong");
        ADD_FAILURE() << "a wrong password was taken";
    } catch (const CZipException& e) {
        EXPECT_EQ(e.m_iCause, CZipException::badPassword);
    }
    EXPECT_EQ(ExtractAll("encrypted.zip", folder.Path(), "secret"), 2);
    EXPECT_EQ(ReadWhole(folder / "docs/long.txt"), LongText());

    // Split volumes a.000, a.001, ... a.zip, read from the last.
    ScratchFolder split("split");
    EXPECT_EQ(ExtractAll("split.zip", split.Path()), 2);
    EXPECT_EQ(ReadWhole(split / "noise.bin").size(), 200000u);
    EXPECT_EQ(ReadWhole(split / "hello.txt"), "Hello from the archive.\r\n");
}

TEST(ZipReader, HostileArchivesAreRefusedAndLeaveNothing)
{
    ScratchFolder folder("hostile");
    std::string inside = folder / "inside";
    for (const char* fixture : {"hostile_dotdot.zip", "hostile_rooted.zip", "hostile_drive.zip",
                                "hostile_drive_relative.zip"}) {
        EXPECT_EQ(CauseOf(fixture, inside), CZipException::badZipFile) << fixture;
    }
    EXPECT_EQ(ZipPlatform::FileExists(folder / "x.txt"), 0);
    const struct {
        const char* fixture;
        int cause;
    } cases[] = {
        {"bad_crc.zip", CZipException::badCrc},
        {"size_mismatch.zip", CZipException::badZipFile},
        {"stored_sizes.zip", CZipException::badZipFile},
        {"bzip2.zip", CZipException::badZipFile},
        {"amiga.zip", CZipException::platformNotSupported},
        {"bad_count.zip", CZipException::badZipFile},
        {"bad_dirsize.zip", CZipException::badZipFile},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CauseOf(c.fixture, inside), c.cause) << c.fixture;
        // A member that failed leaves no file under its name.
        EXPECT_EQ(ZipPlatform::FileExists(inside + "/a.txt"), 0) << c.fixture;
    }
    // Refused as they are opened: not a zip at all (no end record), and
    // made on a system the reader does not support.
    std::string junk = folder / "junk.zip";
    WriteWhole(junk, std::string(5000, 'x'));
    const struct {
        std::string archive;
        int cause;
    } opened[] = {{junk, CZipException::cdirNotFound}, {ZipFixture("amiga.zip"), CZipException::platformNotSupported}};
    for (const auto& o : opened) {
        CZipFile file;
        file.Open(o.archive, ZIP_MODE_READ, true);
        CZipContainer zip;
        try {
            zip.Open(file, CZipContainer::zipOpen);
            ADD_FAILURE() << o.archive << " opened";
        } catch (const CZipException& e) {
            EXPECT_EQ(e.m_iCause, o.cause) << o.archive;
        }
    }

    // A Unix folder stored without "/" is a folder by its mode.
    ScratchFolder unix("unix");
    EXPECT_EQ(ExtractAll("unix_folder.zip", unix.Path()), 2);
    EXPECT_EQ(ZipPlatform::FileExists(unix / "dir"), -1);
    EXPECT_EQ(ReadWhole(unix / "dir/file.txt"), "in the folder");
}

TEST(ZipReader, MissingVolumesAndOverlappingMembersFailEveryMemberCleanly)
{
    ScratchFolder folder("refused");
    // Members on a volume that is not there; Info-ZIP's split set by its
    // ".zip" name without its ".000", then without its ".001" only: the
    // member on the ".zip" volume fails alike.
    EXPECT_EQ(Outcomes(ZipFixture("other_volume.zip"), folder.Path()), std::vector<int>({-1, -1}));
    ScratchFolder set("split-set");
    std::filesystem::copy_file(ZipFixture("split.zip"), set / "split.zip");
    EXPECT_EQ(Outcomes(set / "split.zip", folder.Path()), std::vector<int>({-1, -1}));
    std::filesystem::copy_file(ZipFixture("split.000"), set / "split.000");
    EXPECT_EQ(Outcomes(set / "split.zip", folder.Path()), std::vector<int>({-1, -1}));

    // 100 names over one local header of 10 MB (the first its own), and 10
    // headers all under its own name; data running into the next local
    // header and into the directory; a local name other than the central
    // one.
    EXPECT_EQ(Outcomes(ZipFixture("bomb.zip"), folder.Path()), std::vector<int>(100, CZipException::badZipFile));
    EXPECT_EQ(Outcomes(ZipFixture("bomb_same_name.zip"), folder.Path()),
              std::vector<int>(10, CZipException::badZipFile));
    EXPECT_EQ(Outcomes(ZipFixture("overlap.zip"), folder.Path()), std::vector<int>(2, CZipException::badZipFile));
    EXPECT_EQ(Outcomes(ZipFixture("local_name.zip"), folder.Path()), std::vector<int>(1, CZipException::badZipFile));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    // An empty member whose local extra field alone reaches the next local
    // header; the next member is whole.
    EXPECT_EQ(Outcomes(ZipFixture("extra_reach.zip"), folder.Path()), std::vector<int>({CZipException::badZipFile, 1}));
}

TEST(ZipReader, AttributeNameAndPathConversions)
{
    std::string archive = "a.zip";
    // Unix modes: owner-read clear is hidden, owner-execute clear archive,
    // the folder bit in the high half.
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x81A40000, 3, 0, archive), ZIP_ATTR_ARCHIVE);
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x80240000, 3, 0, archive), ZIP_ATTR_ARCHIVE | ZIP_ATTR_HIDDEN);
    // Owner-read alone decides hidden; owner-write decides nothing.
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x81000000, 3, 0, archive), ZIP_ATTR_ARCHIVE);                    // r--------
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x80800000, 3, 0, archive), ZIP_ATTR_ARCHIVE | ZIP_ATTR_HIDDEN);  // -w-------
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x81C00000, 3, 0, archive), 0u);                                  // rwx------
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x80C00000, 3, 0, archive), ZIP_ATTR_HIDDEN);                     // -wx------
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x41ED0000, 3, 0, archive) & ZIP_ATTR_DIRECTORY, ZIP_ATTR_DIRECTORY);
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x21, 0, 3, archive), 0x01240000u);
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x37, 7, 0, archive), 0x11u);
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x37, 6, 10, archive), 0x37u);
    EXPECT_EQ(ZipPlatform::ConvertAttributes(0x37, 12, 0, archive), 0x37u);
    try {
        ZipPlatform::ConvertAttributes(0x20, 1, 0, archive);
        ADD_FAILURE() << "Amiga attributes converted";
    } catch (const CZipException& e) {
        EXPECT_EQ(e.m_iCause, CZipException::platformNotSupported);
    }
    std::string name = "docs/deep/leaf.txt";
    ZipPlatform::ConvertName(name, 3, true);
    EXPECT_EQ(name, "docs\\deep\\leaf.txt");
    ZipPlatform::ConvertName(name, 3, false);  // only names of MS-DOS go back
    EXPECT_EQ(name, "docs\\deep\\leaf.txt");
    ZipPlatform::ConvertName(name, 0, false);
    EXPECT_EQ(name, "docs/deep/leaf.txt");

    CZipPathParts parts("C:\\setup\\data\\a.zip");
    EXPECT_EQ(parts.m_drive, "C:");
    EXPECT_EQ(parts.m_folder, "setup\\data");
    EXPECT_EQ(parts.GetFolderPath(), "C:\\setup\\data");
    EXPECT_EQ(parts.GetNoDrive(), "setup\\data\\a.zip");
    parts.m_extension = "001";
    EXPECT_EQ(parts.GetFullPath(), "C:\\setup\\data\\a.001");
    EXPECT_EQ(CZipPathParts("a.zip").GetFullPath(), "a.zip");
    EXPECT_EQ(CZipPathParts("\\a.zip").GetFullPath(), "\\a.zip");
    EXPECT_EQ(CZipPathParts("\\\\server\\share\\x\\b.tar.gz").m_extension, "gz");

    CZipMemoryFile memory;
    memory.Write("abc", 3);
    memory.Seek(10, ZIP_SEEK_BEGIN);
    char byte;
    EXPECT_EQ(memory.Read(&byte, 1), 0u);  // past the end reads nothing
    memory.Write(std::string(3000, 'z').data(), 3000);  // growth covers the whole write
    EXPECT_EQ(memory.GetLength(), 3010u);
    EXPECT_EQ(memory.Data()[5], 0);

    CZipContainer zip;
    zip.CheckForError(2);  // Z_NEED_DICT passes
    try {
        zip.CheckForError(-3);
        ADD_FAILURE() << "a data error passed";
    } catch (const CZipException& e) {
        EXPECT_EQ(e.m_iCause, CZipException::zDataError);
        EXPECT_EQ(e.m_szFileName, "");
    }
}
