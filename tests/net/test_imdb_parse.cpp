// The page parsers on pages written for the tests, with a site that serves
// them (or fails them) from memory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ImdbInfo.h"
#include "core/StrUtil.h"
#include "net/ImdbParse.h"
#include "test_imdb_host.h"

namespace {

std::string Str(const char* text)
{
    return text != nullptr ? text : "(null)";
}

bool Parse(CImdbInfo& record, const std::string& page, IImdbHost& host)
{
    return ParseTitlePage(record, page.data(), page.size(), host);
}

bool Results(CImdbInfo& record, const std::string& page, IImdbHost& host, bool showErrors = true)
{
    return ParseMultipleResults(record, page.data(), page.size(), showErrors, host);
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
    struct {
        const char* page;
        const char* value;  // NULL: the label is not there
        bool ok;
    } cases[] = {
        { "<b>Directed by</b> <a>Ann</a><TABLE>", "Ann", true },
        { "Directedby Ann<table>", "Ann", true },
        { "Directed<b>by</b> Ann Writing", "Ann", true },
        { "Directed to. Directed \t <i> </i> by Ann<TABLE>", "Ann", true },
        { "Directed&nbsp;by Ann<TABLE>", nullptr, true },
        { "directed by Ann<TABLE>", nullptr, true },  // the label's case counts
        { "x Directed by", nullptr, false },          // "Search go to far..."
        { "Directed by Ann", nullptr, false },        // "Search after an end did get to far..."
    };
    for (const auto& c : cases) {
        char* value = nullptr;
        StrSet(&value, "old");
        EXPECT_EQ(c.ok, HtmlFindText(host, c.page, strlen(c.page), "Directed?by", &value, nullptr, "Writing", "<TABLE"))
            << c.page;
        if (c.ok)
            EXPECT_EQ(Str(c.value), Str(value)) << c.page;
        free(value);
    }
    EXPECT_EQ((std::vector<std::string>{ "Search go to far...", "Search after an end did get to far..." }), host.shown);

    // Without end texts the value ends at the next tag; kept tags stay.
    char* value = nullptr;
    const char* country = "<b>Country</b>: Peru<br>";
    ASSERT_TRUE(HtmlFindText(host, country, strlen(country), "Country?:", &value, nullptr, nullptr, nullptr));
    EXPECT_EQ("Peru", Str(value));
    const char* cast = "Cast <tr>A<td>B</td> end</TABLE>";
    ASSERT_TRUE(HtmlFindText(host, cast, strlen(cast), "Cast", &value, "TR", "</table>", nullptr));
    EXPECT_EQ("<tr>AB end", Str(value));
    free(value);
}

TEST_F(ImdbTest, ResultListsGiveHitsBySectionInAFixedOrder)
{
    CImdbInfo record;
    record.m_complete = 1;
    ASSERT_TRUE(Results(record, ImdbFixture("results_star_get.html"), host));
    EXPECT_EQ(0, record.m_complete);
    // Movies first, in page order; then videos and TV movies. The sections
    // end at a named anchor, at the special titles link or at the table's end.
    ASSERT_TRUE(Results(record, ImdbFixture("results_star_post.html"), host));
    const char* expected[][2] = {
        { "/Title?0076759", "Star Wars (1977)" }, { "/Title?0079945", "Star Trek: The Motion Picture (1979)" },
        { "/Title?0300004", "Star Making-Of (2002) (V)" }, { "/Title?0400005", "Star Hunter \xE9 (1995) (TV)" },
        { "/Title?0076759", "Star Wars (1977)" }, { "/Title?0092007", "Star Trek IV: The Voyage Home (1986)" },
    };
    ASSERT_EQ(6u, record.m_hits.size());
    for (size_t i = 0; i < 6; i++) {
        EXPECT_EQ(std::string(TestImdbHost::kBase) + expected[i][0], Str(record.m_hits[i]->m_address));
        EXPECT_EQ(expected[i][1], Str(record.m_hits[i]->m_title));
    }
    EXPECT_TRUE(host.shown.empty());

    // A tag of the link kind that is no link ends its section.
    ASSERT_TRUE(Results(record, "<a name=mov>M</a><a href=/Title?3>Three</a><abbr>x</abbr><a href=/Title?4>Four</a>"
                                "<a name=vid></a><a href=/Title?5>Five</a></table>",
                        host));
    ASSERT_EQ(8u, record.m_hits.size());
    EXPECT_EQ("Three", Str(record.m_hits[6]->m_title));
    EXPECT_EQ("Five", Str(record.m_hits[7]->m_title));
    EXPECT_EQ(std::vector<std::string>{ "First <A> tag was not a link." }, host.shown);

    // A section without an end fails, adds nothing and is quiet unless asked.
    record.m_complete = 1;
    EXPECT_FALSE(Results(record, "<a name=mov></a><a href=/Title?6>Six</a>", host, false));
    EXPECT_FALSE(Results(record, "<a name=mov></a><a href=/Title?6>Six</a>", host));
    EXPECT_EQ(8u, record.m_hits.size());
    EXPECT_EQ(1, record.m_complete);
    EXPECT_EQ("Unable to find a end in multiple searches", host.shown.back());
    EXPECT_EQ(2u, host.shown.size());
}

TEST_F(ImdbTest, TitlePagesFillTheRecordFromThemselvesOrTheirSubPages)
{
    std::string page = ImdbFixture("title_0078748.html");
    for (const char* path : { "/Taglines?0078748", "/Plot?0078748", "/Credits?0078748" })
        host.RemovePage(path);
    CImdbInfo alone;
    StrSet(&alone.m_comment, "mine");
    ASSERT_TRUE(Parse(alone, page, host));
    EXPECT_EQ(1, alone.m_complete);
    EXPECT_EQ(1, host.questions);
    EXPECT_EQ("Ridley Scott", Str(alone.m_director));
    EXPECT_EQ("Horror / Sci-Fi", Str(alone.m_genre));
    EXPECT_EQ("UK / USA", Str(alone.m_country));
    EXPECT_EQ(117u, alone.m_runtime);
    EXPECT_DOUBLE_EQ(8.4, alone.m_rating);
    EXPECT_EQ(std::string(TestImdbHost::kBase) + "/Title?0078748", Str(alone.m_address));
    EXPECT_EQ("In space no one can hear you scream.", Str(alone.m_tagline));
    EXPECT_EQ("The crew of a towing ship meets a deadly life form.", Str(alone.m_plot));
    EXPECT_EQ("mine", Str(alone.m_comment));  // "overwrite" 1: only an empty comment
    ASSERT_EQ(2u, alone.m_cast.size());
    EXPECT_EQ("Tom Skerritt/Dallas", Str(alone.m_cast[0]->m_actor) + "/" + Str(alone.m_cast[0]->m_character));
    EXPECT_EQ("Ripley", Str(alone.m_cast[1]->m_character));
    EXPECT_EQ(COVER_SIZE_LARGE, alone.m_coverSizeClass);  // the picture linked around the small one
    EXPECT_EQ("jpg", Str(alone.m_coverType));
    EXPECT_EQ(ImdbFixture("../covers/cover_300x475.jpg").size(), alone.m_cover.size());
    EXPECT_TRUE(host.shown.empty());

    TestImdbHost site;
    settings.overwrite = IMDB_OVERWRITE_COMMENT;
    CImdbInfo full;
    full.m_rating = 5.0;
    full.AddCastEntry("Old", "Cast");
    ASSERT_TRUE(Parse(full, page, site));
    EXPECT_EQ("In space no one can hear you scream.\r\nThe perfect organism.", Str(full.m_tagline));
    EXPECT_EQ("A commercial towing ship answers a distress call from a dead planet.\r\n"
              "One of the crew comes back with a passenger. Nobody wants it aboard.",
              Str(full.m_plot));
    EXPECT_EQ("A haunted house\r\nin space. Still frightening.", Str(full.m_comment));
    EXPECT_DOUBLE_EQ(5.0, full.m_rating);  // the rating's bit is clear
    ASSERT_EQ(4u, full.m_cast.size());
    EXPECT_EQ("Bolaji Badejo/Alien (uncredited)", Str(full.m_cast[3]->m_actor) + "/" + Str(full.m_cast[3]->m_character));
}

TEST_F(ImdbTest, RatingsFollowTheOverwriteBitsAndReadOnlyNumbers)
{
    struct {
        int overwrite;
        double before;
        std::string text;
        double after;
    } cases[] = {
        { 16, 5.0, "<b>7.5</b>", 7.5 }, { 16, 5.0, "not yet rated", -1.0 }, { 16, 5.0, "0.0", 0.0 },
        { 16, 5.0, "0", -1.0 },         { 16, 5.0, "12.5", -1.0 },          { 16, 5.0, std::string(60, '9'), -1.0 },
        { 1, 5.0, "7.5", 5.0 },         { 1, -1.0, "7.5", 7.5 },            { 17, 5.0, "7.5", 7.5 },
        { 0, -1.0, "7.5", -1.0 },       { 64, 5.0, "7.5", 5.0 },
    };
    for (const auto& c : cases) {
        settings.overwrite = c.overwrite;
        CImdbInfo record;
        record.m_rating = c.before;
        ASSERT_TRUE(Parse(record, TitlePage(c.text), host)) << c.text;
        EXPECT_DOUBLE_EQ(c.after, record.m_rating) << c.overwrite << " " << c.text;
    }
    // The bits are read after the question.
    settings.overwrite = 0;
    host.onQuestion = [this] { settings.overwrite = 16; };
    CImdbInfo record;
    StrSet(&record.m_tagline, "old");
    record.m_runtime = 90;
    // A page without a tagline empties it; a runtime that doesn't fit is unknown.
    std::string page = TitlePage("6.0") + "<b>Runtime</b>: 99999999999 min</td>";
    page.replace(page.find("Tagline:"), 8, "Slogan:");
    ASSERT_TRUE(Parse(record, page, host));
    EXPECT_DOUBLE_EQ(6.0, record.m_rating);
    EXPECT_EQ(nullptr, record.m_tagline);
    EXPECT_EQ(0u, record.m_runtime);
}

TEST_F(ImdbTest, AFailedParseLeavesTheRecordAsItWas)
{
    CImdbInfo record;
    StrSet(&record.m_director, "Kept");
    record.AddCastEntry("Kept", "Too");
    std::string cell(4001, 'x');
    EXPECT_FALSE(Parse(record, TitlePage("7.0", "<b>Cast overview:</b></td><td>" + cell + "</td></table>"), host));
    EXPECT_EQ(std::vector<std::string>{ "Buffer to small" }, host.shown);
    EXPECT_EQ("Kept", Str(record.m_director));
    EXPECT_EQ(0, record.m_complete);
    ASSERT_EQ(1u, record.m_cast.size());

    // 4,000 characters still make a cell.
    ASSERT_TRUE(Parse(record, TitlePage("7.0", "<b>Cast overview:</b></td><td>" + cell.substr(1) +
                                                   "</td><td>..</td><td>Me</td></table>"),
                      host));
    EXPECT_EQ(4000u, strlen(record.m_cast.at(0)->m_actor));
    EXPECT_EQ("Me", Str(record.m_cast[0]->m_character));
}

TEST_F(ImdbTest, CoversFollowTheirSettingsAndOnlyPicturesAreKept)
{
    std::string page = ImdbFixture("title_0078748.html");
    settings.forceSmall = true;
    CImdbInfo record;
    ASSERT_TRUE(Parse(record, page, host));
    EXPECT_EQ(COVER_SIZE_SMALL, record.m_coverSizeClass);
    EXPECT_EQ("gif", Str(record.m_coverType));

    // A cover of the user's own is kept; one taken from the site is not.
    settings.forceSmall = false;
    settings.noNewCover = true;
    record.m_coverSizeClass = COVER_SIZE_UNKNOWN;
    ASSERT_TRUE(Parse(record, page, host));
    EXPECT_EQ(COVER_SIZE_UNKNOWN, record.m_coverSizeClass);
    record.m_coverSizeClass = COVER_SIZE_SMALL;
    ASSERT_TRUE(Parse(record, page, host));
    EXPECT_EQ(COVER_SIZE_LARGE, record.m_coverSizeClass);

    // A page instead of a picture, one too small to be a cover and one that
    // isn't there leave the cover; two of them say so.
    for (const char* link : { "/covers/moved.jpg", "/covers/cover_3x3.png", "/covers/gone.jpg" }) {
        std::string moved = page;
        moved.replace(moved.find("/covers/cover_300x475.jpg"), 25, link);
        ASSERT_TRUE(Parse(record, moved, host)) << link;
        EXPECT_EQ(COVER_SIZE_LARGE, record.m_coverSizeClass) << link;
    }
    ASSERT_EQ(2u, host.shown.size());
    EXPECT_EQ(0u, host.shown[1].find("Unable to retrieve image from :http://imdb.test/covers/gone.jpg\r\n"));

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
        { "http://h/a/B.JPEG?x=1.exe#y.z", true, nullptr, 0, "jpeg" }, { "http://h.com", true, png, 4, "png" },
        { "http://h/cover", true, nullptr, 0, "jpg" },                  { "http://h/a.b/c..", true, gif, 6, "gif" },
        { "c:\\covers.d\\front", false, png, 4, "png" },                { "c:\\my#covers\\f.Gif", false, nullptr, 0, "gif" },
        { "/x/front.jpeg2", false, gif, 6, "gif" },
    };
    for (const auto& t : types)
        EXPECT_EQ(t.type, CoverTypeOf(t.path, t.isAddress, t.data, t.length)) << t.path;
}
