#include <gtest/gtest.h>

#include "ToolProcess.h"
#include "tools/vidscan/CodecList.h"
#include "tools/vidscan/FileReport.h"

namespace {

const std::string kData = VISTREL_TEST_DATA "/vidscan";

// The entry the list gives for the class and id, read from a written list.
CodecRecord Lookup(const std::string& list, const char* className, uint32_t id, bool* found)
{
    std::string path = FreshFolder("vidscan-cdb") + "/vidscan.cdb";
    WriteBytes(path, list);
    CodecRecord record;
    SetCodecField(record.name, "(as before)");
    FILE* file = fopen(path.c_str(), "r");
    *found = FindCodecEntry(file, className, id, record);
    fclose(file);
    return record;
}

TEST(CodecList, EntriesOfTheToolsListAreShownInTheReport)
{
    // The tool copied into a folder with a list of its own.
    std::string folder = FreshFolder("vidscan-listed");
    std::string tool = folder + "/" + std::string(VIDSCAN_EXE).substr(std::string(VIDSCAN_EXE).find_last_of("/\\") + 1);
    ASSERT_TRUE(CopyTestFile(VIDSCAN_EXE, tool));
    WriteBytes(folder + "/vidscan.cdb",
               "qtvid: *\n"
               " N: Any QuickTime video\n"
               "qtvid: mp4v\n"
               " N: Never reached\n"
               "msaud: 0x55\n"
               " N: MPEG Layer-3; MP3\n"
               "\tA: Some Maker\n"
               " Unknown: a key of its own is passed over\n"
               " a free line goes to the notes\n"
               "msvid: XVID\n"
               "msvid: DIV3\n"
               " W: www.example.com\n");

    std::string avi = UnixLines(RunProgram(tool, {kData + "/xvid_mp3.avi"}).out);
    // The XVID entry has no body: no name, only the FourCC line.
    EXPECT_NE(std::string::npos, avi.find("\nVideo Format:\n      FourCC:  \"XVID\"\n\n"));
    EXPECT_NE(std::string::npos, avi.find("\nAudio Format:  MPEG Layer-3\n   Format ID:  0x0055\n"
                                          "      Author:  Some Maker\n"
                                          " a free line goes to the notes\n"));
    EXPECT_EQ(std::string::npos, avi.find("passed over"));

    std::string mov = UnixLines(RunProgram(tool, {kData + "/faststart.mov"}).out);
    EXPECT_NE(std::string::npos, mov.find("\nVideo Format:  Any QuickTime video\n"));

    std::string div3 = UnixLines(RunProgram(tool, {kData + "/div3_pcm.avi"}).out);
    EXPECT_NE(std::string::npos, div3.find("      FourCC:  \"DIV3\"\n    Web Site:  www.example.com\n"));
    // PCM has no entry: its block has only the format id.
    EXPECT_NE(std::string::npos, div3.find("\nAudio Format:\n   Format ID:  0x0001\n"));
}

TEST(CodecList, FieldsAndLinesAreCutToTheirSizes)
{
    bool found;
    std::string longValue(100, 'n'), longCode(40, 'c');
    CodecRecord record = Lookup("MSAUD: 0x0055\n"
                                " name: " + longValue + "; " + longCode + "\n"
                                " WEBSITE: " + std::string(300, 'w') + "\n",
                                "msaud", 0x55, &found);
    ASSERT_TRUE(found);
    EXPECT_EQ(std::string(64, 'n'), record.name);
    EXPECT_EQ(std::string(16, 'c'), record.code);
    // A 300-character value, cut with its line at 256 characters.
    EXPECT_EQ(std::string(256 - 10, 'w'), record.webSite);

    // The rest of an over-long line is passed over, never read as a line:
    // neither as a header after 128 characters nor as a body line after 256.
    std::string z(255, 'z');
    std::string line400 = " " + z + " N: Wrong; W" + std::string(132, 'q');
    ASSERT_EQ(400u, line400.size());
    record = Lookup(std::string(128, 'y') + "msaud: 0x55\n N: Wrong\n"
                    "msaud: 0x55\n N: Right; R\n" + line400 + "\n",
                    "msaud", 0x55, &found);
    EXPECT_STREQ("Right", record.name);
    EXPECT_STREQ("R", record.code);
    EXPECT_EQ(" " + z + "\n", std::string(record.notes));

    // Notes take whole lines while they stay below 1024 characters.
    std::string line = " " + std::string(98, 'x') + "\n";
    std::string list = "qtaud: twos\n";
    for (int i = 0; i < 12; i++)
        list += line;
    record = Lookup(list + " short\n", "qtaud", FourCC("twos"), &found);
    EXPECT_EQ(10 * line.size() + 7, strlen(record.notes));

    // Lists written on Windows read the same; a class of six letters is
    // no class; without a match the record is left alone.
    record = Lookup("msvidx: *\r\n N: Six\r\nmsvid: XVID\r\n N: XviD\r\n", "MSVID", FourCC("XVID"), &found);
    EXPECT_STREQ("XviD", record.name);
    // A FourCC text that begins with "*" matches every id, one with a "*"
    // further on only its own.
    record = Lookup("qtvid: a*bc\n N: Not wild\nqtvid: *abc\n N: Wild\n", "qtvid", FourCC("mp4v"),
                    &found);
    EXPECT_STREQ("Wild", record.name);
    record = Lookup("msvid: XVID\n N: XviD\n", "msvid", FourCC("DIVX"), &found);
    EXPECT_FALSE(found);
    EXPECT_STREQ("(as before)", record.name);
}

} // namespace
