// Archives we write: read back by us and, on the host, by Info-ZIP's unzip
// and 7-Zip; split volumes, their limits, and the one-volume conversion.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ZipTestSupport.h"
#include "setup/ZipContainer.h"
#include "setup/ZipException.h"
#include "setup/ZipFile.h"
#include "setup/ZipPlatform.h"

namespace {

struct Member {
    std::string name;
    std::string data;
    uint16_t method;
};

std::string Noise(size_t size)
{
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = char(state >> 24);
    }
    return bytes;
}

void AddMembers(CZipContainer& zip, const std::vector<Member>& members)
{
    for (const Member& member : members) {
        CZipEntryHeader header;
        header.m_name = member.name;
        header.m_method = member.method;
        header.m_modDate = uint16_t(((2024 - 1980) << 9) | (3 << 5) | 5);
        header.m_modTime = uint16_t((14 << 11) | (37 << 5) | 21);
        header.m_externalAttributes = ZIP_ATTR_ARCHIVE;
        ASSERT_TRUE(zip.OpenNewEntry(header));
        // In pieces, so the data buffer fills and is written on the way.
        for (size_t at = 0; at < member.data.size(); at += 7000)
            ASSERT_TRUE(zip.WriteNewEntry(member.data.data() + at, uint32_t(std::min<size_t>(7000, member.data.size() - at))));
        ASSERT_TRUE(zip.CloseNewEntry());
    }
}

void WriteArchive(const std::string& path, const std::vector<Member>& members, const char* password = nullptr)
{
    CZipFile file;
    file.Open(path, ZIP_MODE_CREATE | ZIP_MODE_READ_WRITE, true);
    CZipContainer zip;
    zip.Open(file, CZipContainer::zipCreate);
    if (password != nullptr)
        zip.SetPassword(password);
    AddMembers(zip, members);
    zip.Close();
}

// Extracts everything of the archive and compares it with the members.
void CheckArchive(const std::string& path, const std::vector<Member>& members, const char* password = nullptr,
                  ZipSpanCallback callback = nullptr, void* data = nullptr)
{
    ScratchFolder folder("check");
    CZipFile file;
    file.Open(path, ZIP_MODE_READ, true);
    CZipContainer zip;
    zip.SetSpanCallback(callback, data);
    zip.Open(file, CZipContainer::zipOpen);
    if (password != nullptr)
        zip.SetPassword(password);
    ASSERT_EQ(zip.GetCount(), int(members.size()));
    for (int i = 0; i < zip.GetCount(); i++)
        EXPECT_TRUE(zip.ExtractEntry(i, folder.Path(), true, nullptr, nullptr, nullptr, 65535)) << members[size_t(i)].name;
    zip.Close();
    for (const Member& member : members)
        EXPECT_EQ(ReadWhole(folder / member.name.c_str()), member.data) << member.name;
}

#ifndef _WIN32
// A peer's verdict on an archive: its exit code.
int Peer(const std::string& command)
{
    return system((command + " >/dev/null 2>&1").c_str());
}
#endif

const std::vector<Member> kMembers = {
    {"readme.txt", "Read me first.\r\n", 8},
    {"docs/big.txt", std::string(100000, 'a') + "end", 8},
    {"bin/tool.exe", Noise(40000), 0},
    {"empty.txt", "", 8},
};

// A folder stands for the drive of removable disks: the disk in it is one
// of the shelf's folders, moved in and out as the span callback asks.
struct FolderDrive {
    std::filesystem::path drive, shelf;
    int inserted = 0;  // the disk in the drive, 0 none
    uint32_t capacity = 4000;
    bool labelFails = false, pulledAfterLabel = false, refuse = false;
    std::map<int, std::string> labels;
    std::string calls;  // "volume:code" as the callback got them; + for the bytes needed

    void Insert(int disk)
    {
        if (inserted != 0)
            std::filesystem::rename(drive, shelf / std::to_string(inserted));
        inserted = disk;
        if (disk != 0 && std::filesystem::exists(shelf / std::to_string(disk)))
            std::filesystem::rename(shelf / std::to_string(disk), drive);
        else if (disk != 0)
            std::filesystem::create_directory(drive);
    }
};
FolderDrive* theFolderDrive;

const ZipPlatform::DriveCalls kFolderDriveCalls = {
    [](const std::string&) -> uint32_t {
        uint32_t used = 0;
        std::error_code none;
        for (const auto& file : std::filesystem::directory_iterator(theFolderDrive->drive, none))
            used += uint32_t(file.file_size());
        return theFolderDrive->inserted != 0 ? theFolderDrive->capacity - used : 0;
    },
    [](const std::string&) { return true; },
    [](const std::string&, const std::string& label) {
        FolderDrive& d = *theFolderDrive;
        if (d.inserted == 0 || d.labelFails)
            return false;
        d.labels[d.inserted] = label;
        if (d.pulledAfterLabel)
            d.Insert(0);
        d.pulledAfterLabel = false;
        return true;
    }};

// The user: leaves the first disk in when the second is asked for, then
// brings one that can't be labelled, pulls it out after labelling, and at
// last inserts it for good; any other disk asked for is inserted at once.
// Gives up when asked far more often than that takes.
bool SwapDisks(int volume, int code, void* data)
{
    FolderDrive& d = *static_cast<FolderDrive*>(data);
    d.calls += std::to_string(volume) + ":" + (code > 0 ? std::string("+") : std::to_string(code)) + " ";
    d.labelFails = code == -2;
    d.pulledAfterLabel = code == -3;
    if (d.refuse || d.calls == "2:+ " || d.calls.size() > 200)
        return !d.refuse && d.calls.size() <= 200;
    if (code != -3)
        d.Insert(volume);
    return true;
}

} // namespace

TEST(ZipWriter, DiskSpanningLabelsEachDiskAndTellsTheUserWhatWentWrong)
{
    ScratchFolder folder("disk-spanning");
    FolderDrive d;
    d.drive = folder / "drive";
    d.shelf = folder.Path();
    d.Insert(1);
    theFolderDrive = &d;
    struct Restore {
        ZipPlatform::DriveCalls real = ZipPlatform::theDrive;
        ~Restore() { ZipPlatform::theDrive = real; }
    } restore;
    ZipPlatform::theDrive = kFolderDriveCalls;
    std::string path = (d.drive / "set.zip").string();
    std::vector<Member> members = {{"noise.bin", Noise(40000), 0}, {"a.txt", "small", 8}};
    {
        CZipContainer zip;
        zip.SetSpanCallback(SwapDisks, &d);
        zip.OpenSpanned(path, 0);
        AddMembers(zip, members);
        zip.Close();
    }
    EXPECT_EQ(d.calls, "2:+ 2:-2 2:-3 2:-4 3:+ 4:+ 5:+ 6:+ 7:+ 8:+ 9:+ 10:+ 11:+ ");
    EXPECT_EQ(d.labels.size(), 10u);  // disks 2 to 11
    EXPECT_EQ(d.labels[2], "pkback# 002");
    EXPECT_EQ(d.labels[9], "pkback# 009");
    EXPECT_EQ(d.labels[10], "pkback# 010");

    // Read back from the last disk: every other disk is asked for with -1.
    d.calls.clear();
    CheckArchive(path, members, nullptr, SwapDisks, &d);
    EXPECT_EQ(d.calls, "1:-1 2:-1 3:-1 4:-1 5:-1 6:-1 7:-1 8:-1 9:-1 10:-1 11:-1 ");

    // A user who gives up ends the writing with 104.
    d.refuse = true;
    try {
        CZipContainer zip;
        zip.SetSpanCallback(SwapDisks, &d);
        zip.OpenSpanned((d.drive / "more.zip").string(), 0);
        AddMembers(zip, members);
        ADD_FAILURE() << "written without a disk";
    } catch (const CZipException& e) {
        EXPECT_EQ(e.m_iCause, CZipException::aborted);
    }
}

TEST(ZipWriter, PlainAndEncryptedArchivesReadBackEverywhere)
{
    ScratchFolder folder("writer");
    std::string plain = folder / "plain.zip";
    WriteArchive(plain, kMembers);
    CheckArchive(plain, kMembers);
    std::string locked = folder / "locked.zip";
    WriteArchive(locked, kMembers, "pass word");
    CheckArchive(locked, kMembers, "pass word");
#ifndef _WIN32
    EXPECT_EQ(Peer("unzip -tq " + plain), 0);
    EXPECT_EQ(Peer("7z t " + plain), 0);
    EXPECT_EQ(Peer("unzip -tq -P 'pass word' " + locked), 0);
    EXPECT_NE(Peer("unzip -tq -P wrong " + locked), 0);
#endif
}

TEST(ZipWriter, SplitVolumesLimitsAndOneVolumeConversion)
{
    ScratchFolder folder("split-writer");
    std::string path = folder / "set.zip";
    std::vector<Member> members = {{"noise.bin", Noise(150000), 8}, {"a.txt", "small", 8},
                                   {std::string(200, 'n') + ".txt", "a long name", 0}};
    {
        CZipContainer zip;
        zip.OpenSpanned(path, 65536);
        AddMembers(zip, members);
        zip.Close();
    }
    // Volumes set.000, set.001, ... and the last as set.zip.
    EXPECT_EQ(ZipPlatform::FileExists(folder / "set.000"), 1);
    EXPECT_EQ(ZipPlatform::FileExists(folder / "set.001"), 1);
    EXPECT_EQ(ZipPlatform::FileExists(folder / "set.zip"), 1);
    EXPECT_EQ(ReadWhole(folder / "set.000").substr(0, 4), std::string("PK\x07\x08", 4));
    CheckArchive(path, members);
#ifndef _WIN32
    // 7-Zip reads Info-ZIP's names for the volumes.
    std::string renamed = folder.Path() + "/peer";
    Peer("mkdir " + renamed);
    for (int i = 0; ZipPlatform::FileExists(folder.Path() + "/set.00" + std::to_string(i)) == 1; i++)
        Peer("cp " + folder.Path() + "/set.00" + std::to_string(i) + " " + renamed + "/set.z0" + std::to_string(i + 1));
    Peer("cp " + path + " " + renamed + "/set.zip");
    EXPECT_EQ(Peer("cd " + renamed + " && 7z t set.zip"), 0);
#endif

    // A record larger than a volume goes whole onto an empty one.
    std::string tiny = folder / "tiny.zip";
    {
        CZipContainer zip;
        zip.OpenSpanned(tiny, 100);
        AddMembers(zip, {{std::string(200, 'x'), "data", 0}});
        zip.Close();
    }
    CheckArchive(tiny, {{std::string(200, 'x'), "data", 0}});

    // Volume 998 is the last one there can be.
    std::string many = folder / "many.zip";
    try {
        CZipContainer zip;
        zip.OpenSpanned(many, 64);
        AddMembers(zip, {{"n", std::string(999 * 64, 'm'), 0}});
        zip.Close();
        ADD_FAILURE() << "a 1000th volume was written";
    } catch (const CZipException& e) {
        EXPECT_EQ(e.m_iCause, CZipException::tooManyVolumes);
    }
    EXPECT_EQ(ZipPlatform::FileExists(folder / "many.998"), 1);
    EXPECT_EQ(ZipPlatform::FileExists(folder / "many.999"), 0);

    // A spanned archive that fits on its first volume becomes an ordinary
    // one: no span signature, no descriptors but the encrypted member's.
    std::string single = folder / "single.zip";
    {
        CZipContainer zip;
        zip.OpenSpanned(single, 1 << 20);
        AddMembers(zip, {{"one.txt", "first member", 8}, {"two.txt", std::string(5000, 't'), 8}});
        zip.SetPassword("pw");
        AddMembers(zip, {{"three.txt", "secret", 8}});
        zip.Close();
    }
    EXPECT_EQ(ZipPlatform::FileExists(folder / "single.000"), 0);
    std::string bytes = ReadWhole(single);
    EXPECT_EQ(bytes.substr(0, 4), std::string("PK\x03\x04", 4));
    CheckArchive(single, {{"one.txt", "first member", 8}, {"two.txt", std::string(5000, 't'), 8},
                          {"three.txt", "secret", 8}}, "pw");
    CZipFile file;
    file.Open(single, ZIP_MODE_READ, true);
    CZipContainer zip;
    zip.Open(file, CZipContainer::zipOpen);
    CZipEntryHeader first, third;
    zip.GetEntryInfo(0, first);
    zip.GetEntryInfo(2, third);
    EXPECT_EQ(first.m_flags & ZIP_FLAG_DESCRIPTOR, 0);
    EXPECT_EQ(first.m_localOffset, 0u);
    EXPECT_NE(third.m_flags & ZIP_FLAG_DESCRIPTOR, 0);
    zip.Close();
#ifndef _WIN32
    EXPECT_EQ(Peer("unzip -tq -P pw " + single), 0);
#endif
}
