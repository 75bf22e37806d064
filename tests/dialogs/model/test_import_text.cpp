// Reading, splitting and mapping import files, and adding their rows to a
// collection, on the files that scripts/make-import-fixtures.sh wrote with
// python3's csv module.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/ImportText.h"

namespace {

std::vector<std::string> ReadFixture(const char* name)
{
    std::string path = std::string(VISTREL_TEST_DATA) + "/import/" + name;
    FILE* file = fopen(path.c_str(), "rb");
    EXPECT_NE(file, nullptr) << path;
    std::vector<std::string> lines;
    if (file != nullptr) {
        EXPECT_TRUE(ReadImportLines(file, lines));
        fclose(file);
    }
    return lines;
}

ImportTable ParseFixture(const char* name, char divider, char quote = '"')
{
    ImportTable table;
    EXPECT_EQ(ParseImportLines(ReadFixture(name), divider, quote, table), IMPORT_PARSED) << name;
    return table;
}

ImportMapping Mapping(std::vector<std::string> choices)
{
    return MappingFromChoices(choices);
}

std::string Title(CMovieCollection& collection, DWORD id)
{
    CMovie* movie = collection.GetMovieCopy(id);
    std::string title = movie != nullptr && movie->m_title != nullptr ? movie->m_title : "";
    collection.ReleaseMovieCopy(&movie);
    return title;
}

} // namespace

TEST(ImportText, EveryDialectSplitsIntoTheSameFields)
{
    const std::vector<std::string> second = {"2", "Dinner; with friends", "Drama", "She said \"no\"", ""};
    struct Case {
        const char* name;
        char divider;
    } cases[] = {{"semicolon.txt", ';'}, {"comma.txt", ','}, {"tab.txt", '\t'}};
    for (const Case& c : cases) {
        ImportTable table = ParseFixture(c.name, c.divider);
        // Blank lines between rows and every kind of line end are dropped.
        ASSERT_EQ(table.lines.size(), 3u) << c.name;
        EXPECT_EQ(table.fieldCount, 5u);
        EXPECT_EQ(table.lines[1], second) << c.name;
        EXPECT_EQ(table.lines[0][1], "Alien");
    }

    // Lines longer than a read block, or than 64 KiB, are read whole.
    ImportTable longLines = ParseFixture("long.txt", ';');
    ASSERT_EQ(longLines.lines.size(), 2u);
    EXPECT_EQ(longLines.lines[0][1], std::string(200, 'A'));
    EXPECT_EQ(longLines.lines[1][3].size(), 70000u);
}

TEST(ImportText, RefusesOpenStringsNulBytesAndLinesWithoutFields)
{
    ImportTable table;
    EXPECT_EQ(ParseImportLines(ReadFixture("open_string.txt"), ';', '"', table), IMPORT_NEWLINE_IN_STRING);
    EXPECT_EQ(ParseImportLines({"1;Fine", "2;\"open"}, ';', '"', table), IMPORT_BAD_LINE);
    EXPECT_EQ(ParseImportLines({";;", "1;Alien"}, ';', '"', table), IMPORT_NO_FIELDS);
    // Without a string divider quotes are plain text.
    ASSERT_EQ(ParseImportLines({"1;\"open"}, ';', '\0', table), IMPORT_PARSED);
    EXPECT_EQ(table.lines[0][1], "\"open");

    // Later lines without data are dropped; shorter lines are padded, and
    // the sample is the line with the most filled fields.
    ASSERT_EQ(ParseImportLines({"1;A", ";", "2;B;Drama;Note", "3"}, ';', '"', table), IMPORT_PARSED);
    ASSERT_EQ(table.lines.size(), 3u);
    EXPECT_EQ(table.fieldCount, 2u);
    EXPECT_EQ(table.sample, 1u);
    for (const std::vector<std::string>& line : table.lines)
        EXPECT_EQ(line.size(), 4u);

    FILE* file = tmpfile();
    ASSERT_NE(file, nullptr);
    fwrite("1;A\n2;B\0C\n", 1, 10, file);
    rewind(file);
    std::vector<std::string> lines;
    EXPECT_FALSE(ReadImportLines(file, lines));
    fclose(file);
}

TEST(ImportText, EmptyLinesGoBeforeTheSampleIsTheFirstOfTheFullest)
{
    // Files as read from disk: the sample line, or the parse's refusal.
    struct Case {
        const char* text;
        ImportParseResult result;
        size_t sample;
        const char* sampleId;
    } cases[] = {
        {"\r\n1;A\r\n2;B;C\r\n", IMPORT_PARSED, 1, "2"},  // an empty first line
        {"\n\n\n1;A;B", IMPORT_PARSED, 0, "1"},
        {";\n1;A", IMPORT_NO_FIELDS, 0, ""},                // a first line of dividers only
        {"1;A;B\n2;C;D\n3;E", IMPORT_PARSED, 0, "1"},        // equals: the first
        {"1;A\n2;B;C\n3;D;E", IMPORT_PARSED, 1, "2"},
        {"1;A;;;\n2;B;C", IMPORT_PARSED, 1, "2"},           // filled fields count, not fields
    };
    for (const Case& c : cases) {
        FILE* file = tmpfile();
        ASSERT_NE(file, nullptr);
        fputs(c.text, file);
        rewind(file);
        std::vector<std::string> lines;
        ASSERT_TRUE(ReadImportLines(file, lines));
        fclose(file);
        ImportTable table;
        ASSERT_EQ(ParseImportLines(lines, ';', '"', table), c.result) << c.text;
        if (c.result != IMPORT_PARSED)
            continue;
        EXPECT_EQ(table.sample, c.sample) << c.text;
        EXPECT_EQ(table.lines[table.sample][0], c.sampleId) << c.text;
    }
}

TEST(ImportText, EncodingsGiveTheSameTitles)
{
    std::vector<std::string> expected = {"Am\xE9lie", "L\xE9on"};
    for (const char* name : {"utf8.txt", "utf8_bom.txt", "cp1252.txt"}) {
        ImportTable table = ParseFixture(name, ';');
        ASSERT_EQ(table.lines.size(), 2u) << name;
        // The byte-order mark never reaches the id field.
        EXPECT_EQ(table.lines[0][0], "1") << name;
        EXPECT_EQ(table.lines[0][1], expected[0]) << name;
        EXPECT_EQ(table.lines[1][1], expected[1]) << name;
    }
    EXPECT_EQ(Utf8ToLatin1("\xE2\x82\xAC x \xC3\xA9"), "? x \xE9");
}

TEST(ImportText, IdsAndMapping)
{
    ImportTable table = ParseFixture("ids.txt", ';');
    std::vector<ImportRow> rows = BuildImportRows(table, Mapping({"ID", "Title"}));
    std::vector<int32_t> ids;
    for (const ImportRow& row : rows)
        ids.push_back(row.id);
    EXPECT_EQ(ids, (std::vector<int32_t>{-1, -1, -1, 0, -1, 42}));

    // Without an "ID" box no row has an id; an index past a line is empty.
    ImportMapping noId = Mapping({"[skip]", "Title", "Comment"});
    rows = BuildImportRows(table, noId);
    EXPECT_EQ(rows[3].id, -1);
    EXPECT_EQ(rows[3].title, "Zero");
    EXPECT_EQ(rows[3].comment, "");

    // The first box showing a target wins; after a change the second box
    // neither keeps nor offers it, and boxes past the fields offer "[skip]".
    std::vector<std::string> choices = {"Title", "Title", "Movie genre", "Bogus"};
    EXPECT_EQ(MappingFromChoices(choices).field[IMPORT_TITLE], 0);
    NormaliseImportChoices(choices, 3);
    EXPECT_EQ(choices, (std::vector<std::string>{"Title", "[skip]", "Movie genre", "[skip]", "[skip]",
                                                 "[skip]", "[skip]"}));
    std::vector<std::string> offered = ImportBoxOptions(choices, 1, 3);
    EXPECT_EQ(offered, (std::vector<std::string>{"ID", "IMDB address", "File type", "Comment", "[skip]"}));
    EXPECT_EQ(ImportBoxOptions(choices, 4, 3), std::vector<std::string>{"[skip]"});
}

TEST(ImportText, AddingRowsNewByIdAndByTitle)
{
    CMovieCollection collection;
    ImportMapping mapping = Mapping({"ID", "Title", "Movie genre", "Comment", "IMDB address", "File type"});
    ImportTable table = ParseFixture("semicolon.txt", ';');
    std::vector<ImportRow> rows = BuildImportRows(table, mapping);
    CImportAdder adder(collection, mapping);
    for (ImportRow& row : rows)
        ASSERT_TRUE(adder.Add(row));
    ASSERT_EQ(collection.GetMovieCount(), 3u);
    // New movies get new ids whatever the id field says.
    CMovie* movie = collection.GetMovieCopy(1);
    ASSERT_NE(movie, nullptr);
    EXPECT_STREQ(movie->m_title, "Dinner; with friends");
    ASSERT_NE(movie->m_imdbInfo, nullptr);
    EXPECT_STREQ(movie->m_imdbInfo->m_genre, "Drama");
    EXPECT_STREQ(movie->m_imdbInfo->m_comment, "She said \"no\"");
    EXPECT_EQ(movie->m_imdbInfo->m_address, nullptr);
    collection.ReleaseMovieCopy(&movie);

    // By id: row id 2 updates movie 2 ("The Thing"), keeping what the row
    // leaves empty. By title: the first movie of that title.
    ImportMapping update = mapping;
    update.overwriteId = true;
    update.overwriteName = true;
    CImportAdder updater(collection, update);
    ImportRow byId;
    byId.id = 2;
    byId.title = "The Thing (1982)";
    ASSERT_TRUE(updater.Add(byId));
    EXPECT_EQ(Title(collection, 2), "The Thing (1982)");
    ImportRow byTitle;
    byTitle.title = "Alien";
    byTitle.fileType = "DVD";
    ASSERT_TRUE(updater.Add(byTitle));
    EXPECT_EQ(collection.GetMovieCount(), 3u);
    movie = collection.GetMovieCopy(0);
    EXPECT_STREQ(movie->m_customType, "DVD");
    EXPECT_STREQ(movie->m_imdbInfo->m_genre, "Horror");
    collection.ReleaseMovieCopy(&movie);

    // The old title no longer matches; a missing id falls back to the title.
    ImportRow oldTitle;
    oldTitle.title = "The Thing";
    oldTitle.id = 99;
    ASSERT_TRUE(updater.Add(oldTitle));
    EXPECT_EQ(collection.GetMovieCount(), 4u);
    // A second row of a title added in this run updates that movie.
    ImportRow again;
    again.title = "The Thing";
    again.comment = "seen";
    ASSERT_TRUE(updater.Add(again));
    EXPECT_EQ(collection.GetMovieCount(), 4u);

    // An untitled row never matches an untitled movie; a comment-only row
    // keeps its comment in a new information record.
    CMovie untitled;
    ASSERT_NE(collection.AddMovie(&untitled, false), NO_ID);
    ImportRow commentOnly;
    commentOnly.comment = "only a comment";
    ASSERT_TRUE(updater.Add(commentOnly));
    EXPECT_EQ(collection.GetMovieCount(), 6u);
    movie = collection.GetMovieCopy(collection.GetIdOfLastMovie());
    ASSERT_NE(movie->m_imdbInfo, nullptr);
    EXPECT_STREQ(movie->m_imdbInfo->m_comment, "only a comment");
    collection.ReleaseMovieCopy(&movie);
    movie = collection.GetMovieCopy(4);
    EXPECT_EQ(movie->m_imdbInfo, nullptr);
    collection.ReleaseMovieCopy(&movie);
}

TEST(ImportText, OnlyTheOverwriteFlagsLetARowChangeAStoredMovie)
{
    // Stored: 0 "Alien", 1 "Brazil". Each row carries an id, a title and
    // the comment "imported"; the result is which movie took the comment
    // (-1: a new one) and the titles of the two stored movies after it.
    struct Case {
        bool byId, byTitle;
        int32_t id;
        const char* title;
        int changed;
        const char* alien;
        const char* brazil;
    } cases[] = {
        {false, false, 0, "Changed", -1, "Alien", "Brazil"},
        {false, true, 0, "Changed", -1, "Alien", "Brazil"},
        {false, true, 0, "Brazil", 1, "Alien", "Brazil"},
        {true, false, 0, "Changed", 0, "Changed", "Brazil"},
        {true, true, 1, "Alien", 1, "Alien", "Alien"},  // the id goes first
        {true, false, 7, "Changed", -1, "Alien", "Brazil"},
    };
    for (const Case& c : cases) {
        CMovieCollection collection;
        for (const char* title : {"Alien", "Brazil"}) {
            CMovie movie;
            StrSet(&movie.m_title, title);
            ASSERT_NE(collection.AddMovie(&movie, false), NO_ID);
        }
        ImportMapping mapping = Mapping({"ID", "Title", "Comment"});
        mapping.overwriteId = c.byId;
        mapping.overwriteName = c.byTitle;
        ImportRow row;
        row.id = c.id;
        row.title = c.title;
        row.comment = "imported";
        ASSERT_TRUE(CImportAdder(collection, mapping).Add(row));
        DWORD changed = NO_ID;
        for (DWORD id = collection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = collection.GetNextIdOfMovie(id)) {
            CMovie* movie = collection.GetMovieCopy(id);
            if (movie->m_imdbInfo != nullptr)
                changed = id;
            collection.ReleaseMovieCopy(&movie);
        }
        SCOPED_TRACE(std::string(c.title) + " id " + std::to_string(c.id));
        EXPECT_EQ(collection.GetMovieCount(), c.changed < 0 ? 3u : 2u);
        EXPECT_EQ(changed, c.changed < 0 ? 2u : DWORD(c.changed));
        EXPECT_EQ(Title(collection, 0), c.alien);
        EXPECT_EQ(Title(collection, 1), c.brazil);
    }
}
