// The page parsers on pages written for the tests, with a site that serves
// them (or fails them) from memory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/ImdbInfo.h"
#include "core/StrUtil.h"
#include "net/ImdbParse.h"
#include "test_imdb_host.h"

namespace {

struct Text {
    char* p = nullptr;
    ~Text() { free(p); }
};

std::string Str(const char* text)
{
    return text != nullptr ? text : "(null)";
}

bool Find(IImdbHost& host, const std::string& page, const char* label, Text* out, const char* end1 = nullptr,
          const char* end2 = nullptr, const char* keep = nullptr)
{
    return HtmlFindText(host, page.c_str(), page.size(), label, &out->p, keep, end1, end2);
}

bool ParseTitle(CImdbInfo& record, const std::string& page, IImdbHost& host)
{
    return ParseTitlePage(record, page.data(), page.size(), host);
}

// A title page with the given rating text and extra markup.
std::string TitlePage(const std::string& rating, const std::string& extra = std::string())
{
    return "<b>Directed by</b> <a>Someone</a><TABLE></TABLE><b>Genre</b>: Drama<br><b>Country</b>: France<br>"
           "<b>User Rating:</b> " + rating + "/10<br><i>Tagline: Once.</i><b>Plot</b> Outline: Twice.<br>" + extra;
}

} // namespace

TEST_F(ImdbTest, LabelsSkipBlanksAndTagsAtTheirQuestionMarksOnly)
{
    Text value;
    const char* pages[] = { "<b>Directed by</b> <a>Ann</a><TABLE>", "Directedby Ann<table>",
                            "Directed<b>by</b> Ann Writing", "Directed \t <i> </i> by Ann<TABLE>" };
    for (const char* page : pages) {
        ASSERT_TRUE(Find(host, page, "Directed?by", &value, "Writing", "<TABLE")) << page;
        EXPECT_EQ("Ann", Str(value.p)) << page;
    }
    StrSet(&value.p, "old");
    EXPECT_TRUE(Find(host, "Directed&nbsp;by Ann<TABLE>", "Directed?by", &value, "Writing", "<TABLE"));
    EXPECT_EQ(nullptr, value.p);
    EXPECT_TRUE(Find(host, "directed by Ann<TABLE>", "Directed?by", &value, "Writing", "<TABLE"));
    EXPECT_EQ(nullptr, value.p);  // the label's case counts

    // A later occurrence is found when the first one doesn't go on; without
    // end texts the value ends at the next tag.
    ASSERT_TRUE(Find(host, "Country to. <b>Country</b>: Peru<br>", "Country?:", &value));
    EXPECT_EQ("Peru", Str(value.p));
    // End texts without case, the nearer one wins; kept tags stay.
    ASSERT_TRUE(Find(host, "Genre: <a>Drama</a><br>Comedy (more)", "Genre?:", &value, "<BR>", "(more)"));
    EXPECT_EQ("Drama", Str(value.p));
    ASSERT_TRUE(Find(host, "Cast <tr>A<td>B</td> end</TABLE>", "Cast", &value, "</table>", nullptr, "TR"));
    EXPECT_EQ("<tr>AB end", Str(value.p));
    EXPECT_TRUE(host.shown.empty());

    EXPECT_FALSE(Find(host, "x Directed by", "Directed?by", &value));
    EXPECT_FALSE(Find(host, "Directed by Ann", "Directed?by", &value));
    EXPECT_FALSE(Find(host, "Genre: Drama", "Genre?:", &value, "<BR>", "(more)"));
    ASSERT_EQ(3u, host.shown.size());
    EXPECT_EQ("Search go to far...", host.shown[0]);
    EXPECT_EQ("Search after an end did get to far...", host.shown[1]);
    EXPECT_EQ("Search after an end did get to far...", host.shown[2]);
}

TEST_F(ImdbTest, ResultListsGiveHitsBySectionInAFixedOrder)
{
    CImdbInfo record;
    record.m_complete = 1;
    std::string page = ImdbFixture("results_star_get.html");
    ASSERT_TRUE(ParseMultipleResults(record, page.data(), page.size(), true, host));
    EXPECT_EQ(0, record.m_complete);
    // Movies first, each section in page order; videos, TV movies after.
    const char* expected[][2] = {
        { "/Title?0076759", "Star Wars (1977)" },
        { "/Title?0079945", "Star Trek: The Motion Picture (1979)" },
        { "/Title?0300004", "Star Making-Of (2002) (V)" },
        { "/Title?0400005", "Star Hunter \xE9 (1995) (TV)" },
    };
    ASSERT_EQ(4u, record.m_hits.size());
    for (size_t i = 0; i < 4; i++) {
        EXPECT_EQ(std::string(TestImdbHost::kBase) + expected[i][0], Str(record.m_hits[i]->m_address));
        EXPECT_EQ(expected[i][1], Str(record.m_hits[i]->m_title));
    }

    // The section ends at the special titles link, then at the table's end.
    page = ImdbFixture("results_star_post.html");
    ASSERT_TRUE(ParseMultipleResults(record, page.data(), page.size(), true, host));
    ASSERT_EQ(6u, record.m_hits.size());
    EXPECT_EQ("Star Trek IV: The Voyage Home (1986)", Str(record.m_hits[5]->m_title));
    // A named anchor ends a section before a table's end that comes later.
    page = "<a name=mov></a><a href=/Title?1>One</a><a name=other></a><a href=/Title?2>Two</a></table>";
    ASSERT_TRUE(ParseMultipleResults(record, page.data(), page.size(), true, host));
    ASSERT_EQ(7u, record.m_hits.size());
    EXPECT_EQ("One", Str(record.m_hits[6]->m_title));
    EXPECT_TRUE(host.shown.empty());

    // A tag of the link kind that isn't one ends its section.
    page = "<a name=mov>M</a><a href=/Title?3>Three</a><abbr>x</abbr><a href=/Title?4>Four</a><a name=vid></a>"
           "<a href=/Title?5>Five</a></table>";
    ASSERT_TRUE(ParseMultipleResults(record, page.data(), page.size(), true, host));
    ASSERT_EQ(9u, record.m_hits.size());
    EXPECT_EQ("Three", Str(record.m_hits[7]->m_title));
    EXPECT_EQ("Five", Str(record.m_hits[8]->m_title));
    ASSERT_EQ(1u, host.shown.size());
    EXPECT_EQ("First <A> tag was not a link.", host.shown[0]);

    // A section without an end fails and adds nothing; quiet unless asked.
    record.m_complete = 1;
    page = "<a name=mov></a><a href=/Title?6>Six</a>";
    EXPECT_FALSE(ParseMultipleResults(record, page.data(), page.size(), false, host));
    EXPECT_FALSE(ParseMultipleResults(record, page.data(), page.size(), true, host));
    EXPECT_EQ(9u, record.m_hits.size());
    EXPECT_EQ(1, record.m_complete);
    ASSERT_EQ(2u, host.shown.size());
    EXPECT_EQ("Unable to find a end in multiple searches", host.shown[1]);
}

TEST_F(ImdbTest, TitlePageAloneFillsTheRecordWhenItsSubPagesFail)
{
    for (const char* path : { "/Taglines?0078748", "/Plot?0078748", "/Credits?0078748" })
        host.RemovePage(path);
    CImdbInfo record;
    StrSet(&record.m_comment, "mine");
    std::string page = ImdbFixture("title_0078748.html");
    ASSERT_TRUE(ParseTitle(record, page, host));
    EXPECT_EQ(1, record.m_complete);
    EXPECT_EQ(1, host.questions);
    EXPECT_EQ("Ridley Scott", Str(record.m_director));
    EXPECT_EQ("Horror / Sci-Fi", Str(record.m_genre));
    EXPECT_EQ("UK / USA", Str(record.m_country));
    EXPECT_EQ(117u, record.m_runtime);
    EXPECT_DOUBLE_EQ(8.4, record.m_rating);
    EXPECT_EQ(std::string(TestImdbHost::kBase) + "/Title?0078748", Str(record.m_address));
    EXPECT_EQ("In space no one can hear you scream.", Str(record.m_tagline));
    EXPECT_EQ("The crew of a towing ship meets a deadly life form.", Str(record.m_plot));
    EXPECT_EQ("mine", Str(record.m_comment));  // "overwrite" 1: only an empty comment
    ASSERT_EQ(2u, record.m_cast.size());
    EXPECT_EQ("Tom Skerritt", Str(record.m_cast[0]->m_actor));
    EXPECT_EQ("Dallas", Str(record.m_cast[0]->m_character));
    EXPECT_EQ("Ripley", Str(record.m_cast[1]->m_character));
    // The large cover linked around the small one.
    EXPECT_EQ(COVER_SIZE_LARGE, record.m_coverSizeClass);
    EXPECT_EQ("jpg", Str(record.m_coverType));
    EXPECT_EQ(ImdbFixture("../covers/cover_300x475.jpg").size(), record.m_cover.size());
    EXPECT_EQ(std::string(TestImdbHost::kBase) + "/covers/cover_300x475.jpg", host.requests.back());
    EXPECT_TRUE(host.shown.empty());
}

TEST_F(ImdbTest, SubPagesGiveTaglinePlotAndCastAndTheCommentFollowsItsBits)
{
    settings.overwrite = IMDB_OVERWRITE_COMMENT;
    CImdbInfo record;
    record.m_rating = 5.0;
    StrSet(&record.m_comment, "mine");
    record.AddCastEntry("Old", "Cast");
    std::string page = ImdbFixture("title_0078748.html");
    ASSERT_TRUE(ParseTitle(record, page, host));
    EXPECT_EQ("In space no one can hear you scream.\r\nThe perfect organism.", Str(record.m_tagline));
    EXPECT_EQ("A commercial towing ship answers a distress call from a dead planet.\r\n"
              "One of the crew comes back with a passenger. Nobody wants it aboard.",
              Str(record.m_plot));
    EXPECT_EQ("A haunted house\r\nin space. Still frightening.", Str(record.m_comment));
    EXPECT_DOUBLE_EQ(5.0, record.m_rating);  // the rating's bit is clear
    ASSERT_EQ(4u, record.m_cast.size());
    EXPECT_EQ("Veronica Cartwright", Str(record.m_cast[2]->m_actor));
    EXPECT_EQ("Lambert", Str(record.m_cast[2]->m_character));
    EXPECT_EQ("Bolaji Badejo", Str(record.m_cast[3]->m_actor));
    EXPECT_EQ("Alien (uncredited)", Str(record.m_cast[3]->m_character));
}

TEST_F(ImdbTest, RatingsFollowTheOverwriteBitsAndReadOnlyNumbers)
{
    struct {
        int overwrite;
        double before;
        std::string text;
        double after;
    } cases[] = {
        { 16, 5.0, "<b>7.5</b>", 7.5 },
        { 16, 5.0, "not yet rated", -1.0 },   // words read as 0 without "0.0"
        { 16, 5.0, "0.0", 0.0 },
        { 16, 5.0, "0", -1.0 },
        { 16, 5.0, "12.5", -1.0 },            // out of range
        { 16, 5.0, "99999999999999999999999999999999999999999999999", -1.0 },
        { 16, 5.0, "", -1.0 },
        { 1, 5.0, "7.5", 5.0 },               // only into an empty rating
        { 1, -1.0, "7.5", 7.5 },
        { 17, 5.0, "7.5", 7.5 },
        { 0, -1.0, "7.5", -1.0 },
        { 64, 5.0, "7.5", 5.0 },
    };
    for (const auto& c : cases) {
        settings.overwrite = c.overwrite;
        CImdbInfo record;
        record.m_rating = c.before;
        ASSERT_TRUE(ParseTitle(record, TitlePage(c.text), host)) << c.text;
        EXPECT_DOUBLE_EQ(c.after, record.m_rating) << c.overwrite << " " << c.text;
    }
    // The question comes before the bits are read.
    settings.overwrite = 0;
    host.onQuestion = [this] { settings.overwrite = 16; };
    CImdbInfo record;
    ASSERT_TRUE(ParseTitle(record, TitlePage("6.0"), host));
    EXPECT_DOUBLE_EQ(6.0, record.m_rating);

    // A page without a tagline or a runtime empties them; a runtime that
    // doesn't fit is unknown.
    StrSet(&record.m_tagline, "old");
    record.m_runtime = 90;
    std::string page = TitlePage("6.0") + "<b>Runtime</b>: 99999999999 min</td>";
    size_t tagline = page.find("Tagline:");
    page.replace(tagline, 8, "Slogan:");
    ASSERT_TRUE(ParseTitle(record, page, host));
    EXPECT_EQ(nullptr, record.m_tagline);
    EXPECT_EQ(0u, record.m_runtime);
    EXPECT_TRUE(host.shown.empty());
}

TEST_F(ImdbTest, AFailedParseLeavesTheRecordAsItWas)
{
    CImdbInfo record;
    StrSet(&record.m_director, "Kept");
    record.AddCastEntry("Kept", "Too");
    std::string cell(4001, 'x');
    std::string page = TitlePage("7.0", "<b>Cast overview:</b></td><td>" + cell + "</td></table>");
    EXPECT_FALSE(ParseTitle(record, page, host));
    ASSERT_EQ(1u, host.shown.size());
    EXPECT_EQ("Buffer to small", host.shown[0]);
    EXPECT_EQ("Kept", Str(record.m_director));
    EXPECT_EQ(0, record.m_complete);
    ASSERT_EQ(1u, record.m_cast.size());

    // 4,000 characters still make a cell; a director without an end fails.
    page = TitlePage("7.0", "<b>Cast overview:</b></td><td>" + cell.substr(1) + "</td><td>..</td><td>Me</td></table>");
    ASSERT_TRUE(ParseTitle(record, page, host));
    ASSERT_EQ(1u, record.m_cast.size());
    EXPECT_EQ(4000u, strlen(record.m_cast[0]->m_actor));
    EXPECT_EQ("Me", Str(record.m_cast[0]->m_character));
    EXPECT_FALSE(ParseTitle(record, "<b>Directed by</b> Nobody", host));
    EXPECT_EQ("Someone", Str(record.m_director));
}

TEST_F(ImdbTest, CoversFollowTheirSettingsAndOnlyPicturesAreKept)
{
    std::string page = ImdbFixture("title_0078748.html");
    std::string small = ImdbFixture("../covers/cover_93x130.gif");

    settings.forceSmall = true;
    CImdbInfo record;
    ASSERT_TRUE(ParseTitle(record, page, host));
    EXPECT_EQ(COVER_SIZE_SMALL, record.m_coverSizeClass);
    EXPECT_EQ("gif", Str(record.m_coverType));
    EXPECT_EQ(small.size(), record.m_cover.size());

    // A cover of the user's own is kept; one taken from the site is not.
    settings.forceSmall = false;
    settings.noNewCover = true;
    record.m_coverSizeClass = COVER_SIZE_UNKNOWN;
    ASSERT_TRUE(ParseTitle(record, page, host));
    EXPECT_EQ(small.size(), record.m_cover.size());
    record.m_coverSizeClass = COVER_SIZE_SMALL;
    ASSERT_TRUE(ParseTitle(record, page, host));
    EXPECT_EQ(COVER_SIZE_LARGE, record.m_coverSizeClass);
    settings.noNewCover = false;

    struct {
        const char* link;
        size_t shown;
    } bad[] = {
        { "/covers/moved.jpg", 1 },     // a page instead of a picture
        { "/covers/cover_3x3.png", 0 }, // too small to be a cover
        { "/covers/gone.jpg", 1 },      // not there
    };
    for (const auto& b : bad) {
        host.shown.clear();
        std::string moved = page;
        moved.replace(moved.find("/covers/cover_300x475.jpg"), 25, b.link);
        ASSERT_TRUE(ParseTitle(record, moved, host)) << b.link;
        EXPECT_EQ(COVER_SIZE_LARGE, record.m_coverSizeClass) << b.link;
        EXPECT_EQ(b.shown, host.shown.size()) << b.link;
    }
    EXPECT_EQ(0u, host.shown[0].find("Unable to retrieve image from :http://imdb.test/covers/gone.jpg\r\n"));

    // The type is a short plain extension of the file name, else the data's.
    const unsigned char gif[] = { 'G', 'I', 'F', '8', '9', 'a' };
    const unsigned char png[] = { 0x89, 'P', 'N', 'G' };
    struct {
        const char* path;
        bool isAddress;
        const unsigned char* data;
        size_t length;
        const char* type;
    } types[] = {
        { "http://h/a/B.JPEG?x=1.exe#y.z", true, nullptr, 0, "jpeg" },
        { "http://h/pic.php?name=x.gif", true, gif, sizeof gif, "php" },
        { "http://h.com", true, png, sizeof png, "png" },
        { "http://h/cover", true, nullptr, 0, "jpg" },
        { "http://h/a.b/c..", true, gif, sizeof gif, "gif" },
        { "http://h/c.ja pg", true, nullptr, 0, "jpg" },
        { "c:\\covers.d\\front", false, png, sizeof png, "png" },
        { "c:\\my#covers\\front.Gif", false, nullptr, 0, "gif" },
        { "/x/front.jpeg2", false, gif, sizeof gif, "gif" },
    };
    for (const auto& t : types)
        EXPECT_EQ(t.type, CoverTypeOf(t.path, t.isAddress, t.data, t.length)) << t.path;
}
