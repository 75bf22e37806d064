// File names made from titles, the link to the cover folder, cover types
// and folders made with their parents.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "TestFiles.h"
#include "export/ExportPaths.h"

TEST(ExportPaths, TitlesBecomeNamesWindowsTakes)
{
    struct {
        const char* title;
        const char* name;
    } rows[] = {
        {"a:b?", "a_b_"},
        {"Alien \\ Aliens / \"3\" <*> |", "Alien _ Aliens _ _3_ ___ _"},
        {"tab\tand\x01" "bell\x7f", "tab_and_bell_"},
        {"CON", "CON_"},
        {"nul.", "nul_"},
        {"Aux.txt", "Aux_.txt"},
        {"com1", "com1_"},
        {"LpT9 ", "LpT9_"},
        {"COM0", "COM0"},
        {"CONSOLE", "CONSOLE"},
        {"dots and blanks . .", "dots and blanks"},
        {" . ", ""},
        {"caf\xe9", "caf\xe9"},
    };
    for (const auto& row : rows) {
        std::string name = row.title;
        MakeValidFileName(&name);
        EXPECT_EQ(row.name, name) << row.title;
    }

    // Long titles are cut to the room left, and lose blanks left at the cut.
    std::string name = std::string(150, 'x') + " " + std::string(149, 'y');
    MakeValidFileName(&name, 151);
    EXPECT_EQ(std::string(150, 'x'), name);
    name = std::string(300, 'z');
    MakeValidFileName(&name);
    EXPECT_EQ(kMaxExportPath, name.size());

    // A name already written in the run, whatever its case, gets the id.
    CExportFileNames names;
    EXPECT_EQ("Alien", names.Take("Alien", 4));
    EXPECT_EQ("ALIEN-9", names.Take("ALIEN", 9));
    EXPECT_EQ("alien-9-12", names.Take("alien-9", 12));
    EXPECT_EQ("Brazil", names.Take("Brazil", 4));
}

TEST(ExportPaths, LinksFromTheExportFolderToTheCovers)
{
    struct {
        const char* from;
        const char* to;
        const char* link;
    } rows[] = {
        {"C:\\out\\list", "C:\\out\\covers", "../covers/"},
        {"C:\\out\\list\\", "C:\\out\\covers\\", "../covers/"},
        {"c:\\OUT\\List", "C:\\out\\Covers", "../Covers/"},
        {"C:\\out\\list", "D:\\covers", "file:///D:/covers/"},
        // Another drive or share is linked by its address, the same share
        // relatively.
        {"C:\\out", "\\\\server\\share\\covers", "file://server/share/covers/"},
        {"\\\\server\\share\\out", "C:\\covers", "file:///C:/covers/"},
        {"\\\\server\\share\\out", "\\\\SERVER\\Share\\covers", "../covers/"},
        {"\\\\server\\a\\out", "\\\\server\\b", "file://server/b/"},
        {"\\\\server\\share\\out", "\\\\server2\\share\\covers", "file://server2/share/covers/"},
        {"/srv/out/list", "/srv/out/covers", "../covers/"},
        {"C:\\out\\list", "c:\\OUT\\LIST\\", ""},
        {"C:\\out", "C:\\out\\list\\covers", "list/covers/"},
        {"C:\\out\\a\\b\\c", "C:\\out\\x", "../../../x/"},
        {"C:\\out\\abc", "C:\\out\\abd", "../abd/"},
        {"C:\\out", "", ""},
    };
    for (const auto& row : rows) {
        std::string link = "old";
        MakeRelativeLink(&link, row.from, row.to);
        EXPECT_EQ(row.link, link) << row.from << " -> " << row.to;
    }
    std::string link = "old";
    MakeRelativeLink(&link, NULL, "C:\\covers");
    EXPECT_EQ("old", link);
}

TEST(ExportPaths, CoverTypesAndFolders)
{
    for (const char* plain : {"jpg", "JPEG", "png2", "abcdefgh"})
        EXPECT_TRUE(IsPlainCoverType(plain)) << plain;
    for (const char* other : {"", "abcdefghi", "../../x", "jpg\\..\\y", "jp g", "gif.", (const char*)NULL})
        EXPECT_FALSE(IsPlainCoverType(other)) << (other != NULL ? other : "NULL");

    std::string base = TestTempPath("create-path");
    std::string nested = base + "/a/b/c";
    EXPECT_TRUE(CreatePath(nested.c_str()));
    EXPECT_TRUE(CreatePath((nested + "/").c_str()));
    // A file where the folder should be is no success.
    std::string file = base + "/a/plain";
    FILE* f = fopen(file.c_str(), "wb");
    ASSERT_TRUE(f != NULL);
    fclose(f);
    EXPECT_FALSE(CreatePath(file.c_str()));
    EXPECT_FALSE(CreatePath((file + "/below").c_str()));
    EXPECT_FALSE(CreatePath(""));
    remove(file.c_str());
    for (const char* folder : {"/a/b/c", "/a/b", "/a", ""})
        rmdir((base + folder).c_str());
}
