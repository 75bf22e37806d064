// Script files: single scripts in every line-end style, three-part files,
// refused files that change nothing, and the scripts folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "TestFiles.h"
#include "core/ErrorBox.h"
#include "export/ScriptFiles.h"
#include "export/ScriptText.h"

namespace {

class ScriptFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path = TestTempPath(std::string(info->name()) + ".vsc");
    }
    void TearDown() override { remove(path.c_str()); }

    void Write(const std::string& bytes)
    {
        FILE* file = fopen(path.c_str(), "wb");
        ASSERT_TRUE(file != NULL);
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    std::string Read()
    {
        std::string bytes;
        EXPECT_EQ(SCRIPT_READ_OK, ReadScriptFile(path.c_str(), &bytes));
        return bytes;
    }
    // The file loaded as a single script, or "<refused>".
    std::string Load(bool messages = false)
    {
        std::string text = "<refused>";
        LoadSingleScriptFile(path.c_str(), messages, &text);
        return text;
    }

    std::string path;
};

} // namespace

TEST_F(ScriptFileTest, SingleScriptsTakeTheStyleOfTheirFirstLineEnd)
{
    struct {
        std::string bytes;
        const char* text;
    } rows[] = {
        {"a\nb\nc", "a\r\nb\r\nc"},
        {"a\nb\r\nc", "a\r\nb\r\nc"},        // the later CR LF stays one line end
        {"a\r\nb\nc", "a\r\nb\nc"},          // PC: a lone LF stays a character
        {"a\rb\r\nc\r", "a\r\nb\r\nc\r\n"},  // MAC
        {"no line end", "no line end"},
        {"col1\tcol2\xff", "col1%tabcol2\xff"},
        {std::string("cut\0here", 8), "cut"},
    };
    for (const auto& row : rows) {
        Write(row.bytes);
        EXPECT_EQ(row.text, Load()) << row.bytes;
    }

    // A three-part file is refused by its first byte, with a message only
    // when asked for; so is a missing file.
    Write("\xff\x01head\xff\x02\xff\x03");
    int before = ErrorBoxCount();
    EXPECT_EQ("<refused>", Load());
    EXPECT_EQ(before, ErrorBoxCount());
    EXPECT_EQ("<refused>", Load(true));
    EXPECT_NE(std::string::npos, LastErrorBoxText().find("contaions a head, body and foot"));
    remove(path.c_str());
    EXPECT_EQ("<refused>", Load(true));
    EXPECT_EQ("Error loading script file\n" + path, LastErrorBoxText());

    // Saved in UNIX format and loaded again: the same lines.
    CScriptText text;
    text.SetSingleLine(false);
    text.SetText("<html>\r\n%movie_name\r\n</html>");
    ASSERT_TRUE(SaveSingleScriptFile(path.c_str(), text.GetText(LINE_FORMAT_UNIX), true));
    EXPECT_EQ("<html>\n%movie_name\n</html>", Read());
    EXPECT_EQ(text.GetText(), Load());
}

TEST_F(ScriptFileTest, ThreePartFilesLoadWholeOrNotAtAll)
{
    ThreePartScript empty;
    ASSERT_TRUE(SaveThreePartScriptFile(path.c_str(), empty, true));
    EXPECT_EQ(std::string("\xff\x01\xff\x02\xff\x03"), Read());

    ThreePartScript parts = {"<table>\n", "<tr>%movie_name\xff</tr>\n", "</table>\n"};
    ASSERT_TRUE(SaveThreePartScriptFile(path.c_str(), parts, true));
    ThreePartScript loaded;
    ASSERT_TRUE(LoadThreePartScriptFile(path.c_str(), true, &loaded));
    EXPECT_EQ(parts.head, loaded.head);
    EXPECT_EQ(parts.body, loaded.body);
    EXPECT_EQ(parts.foot, loaded.foot);

    // Refused files leave every part as it was.
    std::string refused[] = {
        "\xff\x01head\xff\x02" "body without a foot",
        "\xff\x01head only",
        "\xff",
        "",
        "plain text\xff\x02\xff\x03",
        std::string("\xff\x01head\0\xff\x02\xff\x03", 11),  // separators are looked for up to a NUL
    };
    for (size_t i = 0; i < sizeof(refused) / sizeof(refused[0]); i++) {
        Write(refused[i]);
        EXPECT_FALSE(LoadThreePartScriptFile(path.c_str(), true, &loaded)) << i;
        EXPECT_EQ("This file is not containing a head, body and foot script.", LastErrorBoxText());
        EXPECT_EQ(parts.head, loaded.head);
        EXPECT_EQ(parts.foot, loaded.foot);
    }

    // Files above 16 MiB are not read at all.
    Write(std::string("\xff\x01\xff\x02\xff\x03") + std::string(kMaxScriptFileSize, 'x'));
    EXPECT_FALSE(LoadThreePartScriptFile(path.c_str(), true, &loaded));
    EXPECT_EQ("Read error loading scripts from file " + path, LastErrorBoxText());
    EXPECT_EQ("<refused>", Load());

    // A save that can't be made keeps the file there was.
    Write("old");
    std::string folderPath = path + "-missing/x.vsc";
    EXPECT_FALSE(SaveThreePartScriptFile(folderPath.c_str(), parts, true));
    EXPECT_EQ("Error saving scripts into file " + folderPath, LastErrorBoxText());
    EXPECT_FALSE(SaveSingleScriptFile(folderPath.c_str(), "x", true));
    EXPECT_EQ("Error saving script file\n" + folderPath, LastErrorBoxText());
    EXPECT_EQ("old", Read());
}

TEST_F(ScriptFileTest, TheScriptsFolderLiesBesideTheProgramAndIsMadeWhenMissing)
{
    EXPECT_EQ("C:\\Program Files\\Vistrel\\scripts", ScriptsFolderOf("C:\\Program Files\\Vistrel\\vistrel.exe"));
    std::string folder = ScriptsFolderOf(TestTempPath("program"));
    EXPECT_EQ(::testing::TempDir() + "scripts", folder);
    std::string fresh = TestTempPath("fresh-scripts");
    rmdir(fresh.c_str());
    EXPECT_TRUE(EnterFolder(fresh.c_str()));
    EXPECT_TRUE(EnterFolder(fresh.c_str()));
    EXPECT_FALSE(EnterFolder((fresh + "/a/b").c_str()));
    EXPECT_EQ(0, chdir(::testing::TempDir().c_str()));
    rmdir(fresh.c_str());
}
