// Finding a movie: the keywords rule and the requests a search makes on a
// site served from memory.
#include <gtest/gtest.h>

#include <string>

#include "core/ImdbInfo.h"
#include "core/StrUtil.h"
#include "net/ImdbSearch.h"
#include "test_imdb_host.h"

namespace {

std::string Str(const char* text)
{
    return text != nullptr ? text : "(null)";
}

std::string At(const char* path)
{
    return std::string(TestImdbHost::kBase) + path;
}

} // namespace

TEST(ImdbKeywords, TitleAndYearComeFromTheLastFittingParentheses)
{
    struct {
        const char* keywords;
        bool found;
        const char* title;
        WORD year;
    } cases[] = {
        { "Alien (1979)", true, "Alien", 1979 },
        { "Alien   (1979) (Director's Cut)", true, "Alien", 1979 },
        { "Aliens (1986/I)", true, "Aliens", 1986 },
        { "Name (1999) (TV) (V)", true, "Name", 1999 },
        { "Short (ab)", false, "Short (ab)", 7 },
        { "No parentheses", false, "No parentheses", 7 },
        { "Open (1999", false, "Open (1999", 7 },
        { "Close 1999)", false, "Close 1999)", 7 },
        { "Mixed ) (1999", false, "Mixed ) (1999", 7 },
        { "(2001)", true, "", 2001 },
        { "Words (abcd)", true, "Words", 0 },
        { "", false, "", 7 },
    };
    for (const auto& c : cases) {
        std::string title;
        WORD year = 7;
        EXPECT_EQ(c.found, ImdbKeywordsTitle(c.keywords, &title, &year)) << c.keywords;
        EXPECT_EQ(c.title, title) << c.keywords;
        EXPECT_EQ(c.year, year) << c.keywords;
    }
}

TEST_F(ImdbTest, ANameFoundAtOnceIsReadWithOneSearch)
{
    CImdbInfo record;
    ASSERT_TRUE(GetInfo(record, host, "Alien", true, false, -1, false));
    EXPECT_EQ(1, record.m_complete);
    EXPECT_EQ("Alien", Str(record.m_title));
    EXPECT_EQ(1979, record.m_year);
    EXPECT_EQ("Ridley Scott", Str(record.m_director));
    // The search, the three sub-pages and the cover.
    ASSERT_EQ(5u, host.requests.size());
    EXPECT_EQ(At("/Tsearch?type=fuzzy&title=Alien"), host.requests[0]);
    EXPECT_EQ(At("/Taglines?0078748"), host.requests[1]);
    EXPECT_TRUE(host.shown.empty());

    // Blanks are encoded; a name that encodes to nothing fetches nothing.
    CImdbInfo none;
    EXPECT_TRUE(GetInfo(none, host, "Nothing at all", true, false, -1, false));
    EXPECT_EQ(0u, none.m_hits.size());
    EXPECT_EQ(0, none.m_complete);
    EXPECT_EQ(At("/Find select=Titles&Go.x=1&Go.y=16&for=Nothing+at+all"), host.requests.back());
    size_t made = host.requests.size();
    EXPECT_FALSE(GetInfo(none, host, "", true, false, -1, false));
    EXPECT_FALSE(GetInfo(none, host, nullptr, true, false, -1, false));
    EXPECT_EQ(made, host.requests.size());
}

TEST_F(ImdbTest, OneMovieListedByBothSearchesIsFollowed)
{
    CImdbInfo record;
    ASSERT_TRUE(GetInfo(record, host, "Aliens", true, false, -1, false));
    ASSERT_EQ(4u, host.requests.size());
    EXPECT_EQ(At("/Tsearch?type=fuzzy&title=Aliens"), host.requests[0]);
    EXPECT_EQ(At("/Find select=Titles&Go.x=1&Go.y=16&for=Aliens"), host.requests[1]);
    EXPECT_EQ(At("/Title?0090605"), host.requests[2]);
    EXPECT_EQ(At("/covers/cover_93x130.gif"), host.requests[3]);
    EXPECT_EQ(1, record.m_complete);
    EXPECT_EQ("Aliens", Str(record.m_title));
    EXPECT_EQ(1986, record.m_year);
    EXPECT_EQ("James Cameron", Str(record.m_director));
    EXPECT_EQ("Ripley goes back, with marines.", Str(record.m_plot));
    EXPECT_EQ("This time it's war.", Str(record.m_tagline));
    EXPECT_EQ(137u, record.m_runtime);
    EXPECT_EQ("", Str(record.m_address));
    ASSERT_EQ(2u, record.m_cast.size());
    EXPECT_EQ("Hicks", Str(record.m_cast[1]->m_character));
    EXPECT_EQ(COVER_SIZE_SMALL, record.m_coverSizeClass);
}

TEST_F(ImdbTest, SeveralHitsGoBackWithoutDuplicates)
{
    CImdbInfo record;
    record.m_complete = 1;
    ASSERT_TRUE(GetInfo(record, host, "Star", false, false, -1, false));
    EXPECT_EQ(2u, host.requests.size());
    EXPECT_EQ(0, record.m_complete);
    const char* titles[] = { "Star Wars (1977)", "Star Trek: The Motion Picture (1979)", "Star Making-Of (2002) (V)",
                             "Star Hunter \xE9 (1995) (TV)", "Star Trek IV: The Voyage Home (1986)" };
    ASSERT_EQ(5u, record.m_hits.size());
    for (size_t i = 0; i < 5; i++)
        EXPECT_EQ(titles[i], Str(record.m_hits[i]->m_title));
    EXPECT_EQ("Multiple results returned...", host.status);

    // A page address is fetched as it is.
    CImdbInfo linked;
    ASSERT_TRUE(GetInfo(linked, host, At("/Title?0090605").c_str(), true, false, -1, true));
    EXPECT_EQ("Aliens", Str(linked.m_title));
    EXPECT_EQ(At("/Title?0090605"), host.requests[2]);
}

TEST_F(ImdbTest, AResultListThatLeadsToItselfEndsWithItsHit)
{
    CImdbInfo record;
    EXPECT_TRUE(GetInfo(record, host, "Loop", true, false, -1, false));
    EXPECT_EQ(0, record.m_complete);
    ASSERT_EQ(1u, record.m_hits.size());
    EXPECT_EQ(At("/Tsearch?type=fuzzy&title=Loop"), Str(record.m_hits[0]->m_address));
    EXPECT_LE(host.requests.size(), 4u);

    // A followed hit that lists itself again is not fetched a third time.
    host.requests.clear();
    CImdbInfo again;
    EXPECT_TRUE(GetInfo(again, host, At("/Tsearch?type=fuzzy&title=Loop").c_str(), true, false, -1, true));
    EXPECT_EQ(1u, again.m_hits.size());
    EXPECT_LE(host.requests.size(), 2u);
}

TEST_F(ImdbTest, FailedRequestsAreShownOnlyWhenAsked)
{
    CImdbInfo record;
    StrSet(&record.m_title, "Kept");
    EXPECT_FALSE(GetInfo(record, host, "Unknown", false, false, -1, false));
    EXPECT_TRUE(host.shown.empty());
    EXPECT_FALSE(GetInfo(record, host, At("/Title?404").c_str(), true, false, -1, true));
    ASSERT_EQ(1u, host.shown.size());
    EXPECT_EQ("Unable to retrieve site.\r\nError(s) returned:\r\n404 - Not Found " + At("/Title?404") + "\r\n",
              host.shown[0]);

    // A title page that can't be read leaves title and year alone.
    host.AddPage("/Title?bad", "<meta name=keywords content=\"Bad (2000)\"><b>Directed by</b> x");
    record.m_year = 1990;
    EXPECT_FALSE(GetInfo(record, host, At("/Title?bad").c_str(), false, false, -1, true));
    EXPECT_EQ("Kept", Str(record.m_title));
    EXPECT_EQ(1990, record.m_year);
    EXPECT_EQ(0, record.m_complete);
}
