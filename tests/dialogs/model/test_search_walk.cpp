// Searching the catalogue without a window: the matching rule in both
// modes and the walk over movies, files and discs.
#include <gtest/gtest.h>

#include <vector>

#include "core/StrUtil.h"
#include "dialogs/SearchWalk.h"

TEST(SearchWalk, MatchingRuleInBothModes)
{
    struct Case {
        const char* text;
        const char* search;
        bool exact, caseSensitive, expected;
    } cases[] = {
        { "The Alien Queen", "alien queen", true, false, true },
        { "The Alien Queen", "queen alien", true, false, false },
        { "The Alien Queen", "queen alien", false, false, true },
        { "Brazil", "queen alien", false, false, false },
        { "the alien", "ALIEN", true, false, true },
        { "the alien", "ALIEN", true, true, false },
        { "ALIEN", "ALIEN", false, true, true },
        { "Al", "Alien", true, false, false },        // shorter than the search
        // Empty words are skipped: blanks alone find nothing in any-word mode.
        { "Brazil", "alien ", false, false, false },
        { "Brazil", "alien  queen", false, false, false },
        { "Brazil", "   ", false, false, false },
        { "two  spaces", "  ", true, false, true },   // exact keeps them
        { "Brazil", "", false, false, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, MatchSearchWords(c.text, c.search, c.exact, c.caseSensitive))
            << c.text << " / " << c.search;
    EXPECT_FALSE(MatchSearchWords(NULL, "a", true, false));
    EXPECT_FALSE(MatchSearchWords("a", NULL, true, false));
}

TEST(SearchWalk, WalksMoviesFilesAndDiscsOnceEachAndStops)
{
    CMovieCollection collection;
    CMovie alien;
    StrSet(&alien.m_title, "Alien");
    StrSet(&alien.m_language, "English");
    alien.m_imdbInfo.reset(new CImdbInfo);
    StrSet(&alien.m_imdbInfo->m_plot, "In space no one hears the alien");
    alien.m_imdbInfo->AddCastEntry("Sigourney Weaver", "Ripley");
    alien.m_imdbInfo->m_year = 1979;
    StrSet(&alien.m_imdbInfo->m_country, "UK");
    DWORD alienId = collection.AddMovie(&alien, false);
    CMovie brazil;
    StrSet(&brazil.m_title, "Brazil");
    StrSet(&brazil.m_subtitles, "Ripley notes");  // not shown: no subtitles flag
    collection.AddMovie(&brazil, false);
    CMovieFile file;
    StrSet(&file.m_fileName, "alien.avi");
    DWORD fileId = collection.AddFile(&file);
    CDisc disc;
    StrSet(&disc.m_name, "ALIEN_DISC");
    StrSet(&disc.m_serialNumber, "1234");
    DWORD discId = collection.AddDisc(&disc, false);

    std::vector<std::pair<int, DWORD>> found;
    std::atomic<bool> stop(false);
    auto sink = [&](int kind, DWORD id, const char*) { found.push_back({ kind, id }); };
    SearchOptions options;
    options.text = "alien ripley 1979";
    options.extra = true;
    options.files = true;
    EXPECT_EQ(3, SearchCollection(collection, options, stop, sink));
    std::vector<std::pair<int, DWORD>> expected = { { SEARCH_MOVIE, alienId }, { SEARCH_FILE, fileId },
                                                    { SEARCH_DISC, discId } };
    EXPECT_EQ(expected, found);

    // Extra fields only when asked: the year as a number, the country.
    options.files = false;
    for (const char* text : { "1979", "uk" }) {
        options.text = text;
        options.extra = true;
        EXPECT_EQ(1, SearchCollection(collection, options, stop, sink)) << text;
        options.extra = false;
        EXPECT_EQ(0, SearchCollection(collection, options, stop, sink)) << text;
    }

    stop = true;
    options.text = "a";
    options.files = true;
    EXPECT_EQ(0, SearchCollection(collection, options, stop, sink));
}
