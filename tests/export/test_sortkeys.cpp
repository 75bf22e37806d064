// Sort keys of movies for the listing and the export.
#include "TokenFixture.h"

#include <cstring>

#include "export/SortKeys.h"

namespace {

const char* theScript = NULL;

const char* Script()
{
    return theScript;
}

std::string Key(int code, const CMovie* movie)
{
    char* key = NULL;
    MovieSortKey(code, movie, &key);
    std::string text = key ? key : "(null)";
    free(key);
    return text;
}

} // namespace

TEST_F(TokenTest, SortKeysByCode)
{
    CMovie two(2), ten(10);
    std::string keyTwo = Key(SORT_BY_ID, &two);
    std::string keyTen = Key(SORT_BY_ID, &ten);
    EXPECT_EQ("           2", keyTwo);
    EXPECT_LT(keyTwo, keyTen);

    EXPECT_EQ("Avi", Key(SORT_BY_TYPE, &full));
    EXPECT_EQ("[unknown]", Key(SORT_BY_TYPE, &bare));
    EXPECT_EQ("Sci-Fi", Key(SORT_BY_GENRE, &full));
    EXPECT_EQ("[unknown]", Key(SORT_BY_GENRE, &bare));
    StrSet(&full.m_imdbInfo->m_genre, "");
    EXPECT_EQ("[unknown]", Key(SORT_BY_GENRE, &full));
}

TEST_F(TokenTest, TitleKeysSkipALeadingThe)
{
    struct {
        const char* title;
        const char* key;
    } rows[] = {
        {"The Thing", "Thing"}, {"THE END", "END"}, {"Theatre", "Theatre"},
        {"The", "The"}, {"the ", ""}, {NULL, ""},
    };
    for (const auto& row : rows) {
        CMovie movie(1);
        StrSet(&movie.m_title, row.title);
        EXPECT_EQ(row.key, Key(SORT_BY_TITLE, &movie)) << (row.title ? row.title : "NULL");
        EXPECT_EQ(row.key, Key(12345, &movie));  // any other code sorts by title
    }
}

TEST_F(TokenTest, CustomKeyExpandsTheScript)
{
    SetCustomSortScriptSource(NULL);
    EXPECT_EQ("", Key(SORT_BY_CUSTOM, &full));

    SetCustomSortScriptSource(Script);
    theScript = "%movie_genre/%movie_id5/%movie_number";
    EXPECT_EQ("Sci-Fi/   42/%movie_number", Key(SORT_BY_CUSTOM, &full));
    theScript = NULL;
    EXPECT_EQ("", Key(SORT_BY_CUSTOM, &full));
    SetCustomSortScriptSource(NULL);
}

TEST_F(TokenTest, KeyPairsForMoviesAndIds)
{
    char* key = NULL;
    char* key2 = NULL;
    MovieSortKeys(SORT_BY_GENRE, &full, &key, &key2);
    EXPECT_STREQ("Sci-Fi", key);
    EXPECT_STREQ("Matrix", key2);

    MovieSortKeysById(SORT_BY_ID, 43, &key, &key2);
    EXPECT_STREQ("          43", key);
    EXPECT_STREQ("Bare", key2);

    MovieSortKeysById(SORT_BY_TITLE, 999, &key, &key2);
    EXPECT_STREQ("", key);
    EXPECT_STREQ("", key2);
    free(key);
    free(key2);
}
