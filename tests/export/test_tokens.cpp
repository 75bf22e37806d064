// The token engine: every token group for a full and a bare movie, widths,
// unknown values, literal text and the check-only lookup.
#include "TokenFixture.h"

#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Row {
    const char* text;
    const char* full;  // expanded for the full movie
    const char* bare;  // expanded for the bare movie
};

} // namespace

#define EXPECT_ROWS(rows, ...)                                                        \
    for (const Row& row : rows) {                                                     \
        EXPECT_EQ(row.full, Expand(row.text, &full, ##__VA_ARGS__)) << row.text;      \
        EXPECT_EQ(row.bare, Expand(row.text, &bare, ##__VA_ARGS__)) << row.text;      \
    }

TEST_F(TokenTest, TokensWithoutAMovie)
{
    struct {
        const char* text;
        const char* expected;
    } rows[] = {
        {"100%%", "100%"},
        {"%%movie_id", "%movie_id"},
        {"a%tabb", "a\tb"},
        {"%date_year-%date_month-%date_day %time_hour:%time_min:%time_sec", "2005-6-7 8:9:10"},
        {"%nr_of_movies movies", "2 movies"},
        {"%movie_name", "%movie_name"},
        {"%movies_total_seen", "%movies_total_seen"},
        {"%movie_number", "%movie_number"},
        {"%movie_cover_file", "%movie_cover_file"},
        {"end %", "end %"},
        {"%", "%"},
        {"%foo %movie %date_dayx", "%foo %movie 7x"},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, Expand(row.text, NULL)) << row.text;

    char* none = NULL;
    ExpandScriptTokens(&none, NULL, -1, NULL, NULL);
    EXPECT_TRUE(none == NULL);
}

TEST_F(TokenTest, MovieTexts)
{
    Row rows[] = {
        {"%movie_id", "42", "43"},
        {"%movie_name", "The Matrix", "Bare"},
        {"%movie_names", "The Matrixs", "Bares"},
        {"%movie_type", "Avi", "[unknown]"},
        {"%movie_language", "English", ""},
        {"%movie_subtitle_language", "Swedish", ""},
        {"%movie_have_seen_it|%movie_has_been_seen", "Yes|Yes", "No|No"},
        {"%movie_has_subtitels|%movie_have_subtitels", "Yes|Yes", "No|No"},
        {"%movie_nr_of_files", "2", "0"},
        {"%movies_total_seen", "1", "1"},
        {"%movie_number", "%movie_number", "%movie_number"},
    };
    EXPECT_ROWS(rows);
}

TEST_F(TokenTest, InternetInformationAndCast)
{
    Row rows[] = {
        {"%movie_plot", "Neo wakes.", ""},
        {"%movie_genre", "Sci-Fi", ""},
        {"%movie_tagline|%movie_comment", "Free your mind|Good", "|"},
        {"%movie_country|%movie_director", "USA|The Wachowskis", "|"},
        {"%movie_imdb_address", "http://example.org/tt1", ""},
        {"%movie_year", "1999", ""},
        {"%movie_rate", "7.3", "?"},
        {"%movie_actor1_name=%movie_actor1_char", "Keanu Reeves=Neo", "="},
        {"%movie_actor2_char", "Trinity", ""},
        {"[%movie_actor3_name][%movie_actor0_name]", "[][]", "[][]"},
        {"[%movie_actor99999999999999999999999_char]", "[]", "[]"},
        {"%movie_actor1_x %movie_actor_name", "%movie_actor1_x %movie_actor_name",
         "%movie_actor1_x %movie_actor_name"},
    };
    EXPECT_ROWS(rows);
}

TEST_F(TokenTest, StreamsOfTheFirstFile)
{
    Row rows[] = {
        {"%movie_fps", "25", "?"},
        {"%movie_width x %movie_height", "640 x 480", "? x ?"},
        {"%movie_streams", "2", "?"},
        {"%movie_video_comp/%movie_audio_comp", "DIVX/MP3", "[unknown]/[unknown]"},
        {"%movie_video_bitrate %movie_video_bitdepth", "900 24", "? ?"},
        {"%movie_audio_rate %movie_audio_rate_k", "44100 44.100002", "? ?"},
        {"%movie_audio_bits %movie_audio_channels %movie_audio_bitrate", "16 2 128", "? ? ?"},
        {"%movie_video_frames", "135000", "?"},
    };
    EXPECT_ROWS(rows);
}

TEST_F(TokenTest, FilesByNumber)
{
    Row rows[] = {
        {"%movie_file1_path", "\\movies\\a.avi", ""},
        {"%movie_file2_path", "\\movies\\b.avi", ""},
        {"%movie_file1_filesize|%movie_file2_filesize", "700|0.5", "|"},
        {"%movie_file1_created", "2003-04-05 06:07", ""},
        {"%movie_file1_info|%movie_file2_info", "AVI report|--- no info ---", "|"},
        {"%movie_file1_length_hour:%movie_file1_length_min:%movie_file1_length_sec", "1:0:0", "?:?:?"},
        {"%movie_file2_length_min", "30", "?"},
        {"[%movie_file3_path][%movie_file0_path]%movie_file3_length_sec", "[][]?", "[][]?"},
        {"[%movie_file99999999999999999999999_path]", "[]", "[]"},
        {"%movie_file_path", "%movie_file_path", "%movie_file_path"},
        {"%movie_file1_length_", "%movie_file1_length_", "%movie_file1_length_"},
        {"%movie_file1_length_x", "%movie_file1_length_x", "%movie_file1_length_x"},
        {"%movie_file1_size", "%movie_file1_size", "%movie_file1_size"},
    };
    EXPECT_ROWS(rows);
}

TEST_F(TokenTest, RunningTime)
{
    Row rows[] = {
        {"%movie_length_only_min", "90", "?"},
        {"%movie_length_hour:%movie_length_min:%movie_length_sec", "1:30:0", "?:?:?"},
        {"%movie_length_", "%movie_length_", "%movie_length_"},
        {"%movie_length_only", "%movie_length_only", "%movie_length_only"},
    };
    EXPECT_ROWS(rows);

    settings.imdbRuntime = true;
    EXPECT_EQ("136 2:16", Expand("%movie_length_only_min %movie_length_hour:%movie_length_min", &full));

    // Without usable files the IMDb runtime is taken whatever the setting.
    settings.imdbRuntime = false;
    CMovie noFiles;
    noFiles.m_imdbInfo.reset(new CImdbInfo);
    noFiles.m_imdbInfo->m_runtime = 100;
    EXPECT_EQ("100", Expand("%movie_length_only_min", &noFiles));
}

// Whole units of a running time are exact on every build: a whole number of
// seconds or minutes is never one short (2,700 s is 45 minutes), a time just
// below a whole second stays below it, and parts of a second add up across
// the files.
TEST_F(TokenTest, RunningTimesInWholeUnits)
{
    const float rates[] = {25.0f, 24.0f, 23.976f, 29.97f, 59.94f, 30.0f, 12.5f, 0.3f, 1000.0f};
    const int32_t frames[] = {1, 299, 2997, 2998, 29970, 67500, 162000, 215784, 899999, 2147483647};
    for (float rate : rates) {
        for (int32_t count : frames) {
            CMovie movie;
            movie.m_fileIds = {AddMediaFile({"\\x", "one.avi", 1, count, rate, false, NULL})};
            // The reference: the exact quotient is at least 2^-24 s from any
            // whole second it is not, far above long double's error.
            long double seconds = floorl((long double)count / (long double)rate);
            std::string expected = "? ?:?:?";
            if (seconds < 2147483648.0L) {
                long long whole = (long long)seconds;
                expected = std::to_string(whole / 60) + " " + std::to_string(whole / 3600) + ":" +
                           std::to_string(whole / 60 % 60) + ":" + std::to_string(whole % 60);
            }
            EXPECT_EQ(expected, Expand("%movie_length_only_min %movie_file1_length_hour:%movie_file1_length_min:"
                                       "%movie_file1_length_sec", &movie))
                << count << " frames at " << rate;
        }
    }

    CMovie parts;
    parts.m_imdbInfo.reset(new CImdbInfo);
    parts.m_imdbInfo->m_runtime = 45;
    EXPECT_EQ("45 0:45:0", Expand("%movie_length_only_min %movie_length_hour:%movie_length_min:%movie_length_sec",
                                  &parts));
    // Thirds and halves of a second make whole seconds.
    for (int i = 0; i < 3; i++)
        parts.m_fileIds.push_back(AddMediaFile({"\\x", "third.avi", 1, 10, 30.0f, false, NULL}));
    EXPECT_EQ("1", Expand("%movie_length_sec", &parts));
    parts.m_fileIds.push_back(AddMediaFile({"\\x", "half.avi", 1, 12, 24.0f, false, NULL}));
    parts.m_fileIds.push_back(AddMediaFile({"\\x", "half.avi", 1, 12, 24.0f, false, NULL}));
    EXPECT_EQ("2", Expand("%movie_length_sec", &parts));
    // Files shorter than a second together give way to the IMDb runtime.
    parts.m_fileIds = {parts.m_fileIds[0], parts.m_fileIds[1]};
    EXPECT_EQ("45", Expand("%movie_length_only_min", &parts));
}

TEST_F(TokenTest, LoanAndCover)
{
    Row loans[] = {
        {"%movie_is_borrowed_by", "Anna", ""},
        {"%movie_is_borrowed_since|", "2004-02-03|", "|"},
    };
    EXPECT_ROWS(loans);

    Row covers[] = {
        {"%movie_cover_file", "covers/42.jpg", "covers/none.png"},
        {"%movie_number", "7", "7"},
    };
    EXPECT_ROWS(covers, 7, "covers/", "none.png");

    EXPECT_EQ("", Expand("%movie_cover_file", &bare, 1, "covers/", NULL));
    EXPECT_EQ("%movie_cover_file", Expand("%movie_cover_file", &full, 1, NULL, "none.png"));
}

TEST_F(TokenTest, WidthsAndPrecisions)
{
    Row rows[] = {
        {"%movie_rate2.1", "7.3", "?.?"},
        {"%movie_rate3|", "  7|", "?.??????|"},
        {"%movie_id5|%movie_id5.3|%movie_id05", "   42|   42|00042", "   43|   43|00043"},
        {"%movie_width4", " 640", "?.??????"},
        {"%movie_width5.2", "  640", " ?.??"},
        {"%movie_fps6.2", " 25.00", "  ?.??"},
        {"%movie_name2", "The Matrix2", "Bare2"},
        {"[%movie_year6]", "[  1999]", "[]"},
        {"%date_day3.", "  7", "  7"},
        {"%date_day.5", "7.5", "7.5"},
        {"%movie_audio_rate_k7.1", "   44.1", "    ?.?"},
    };
    EXPECT_ROWS(rows);

    full.m_imdbInfo->m_rating = 7.0;
    EXPECT_EQ("7", Expand("%movie_rate", &full));
    full.m_imdbInfo->m_rating = 6.75;
    EXPECT_EQ("6.75", Expand("%movie_rate", &full));
    full.m_imdbInfo->m_rating = 29.97;
    EXPECT_EQ("29.97", Expand("%movie_rate", &full));
}

TEST_F(TokenTest, HugeWidthsStayWithinTheirRoom)
{
    std::string nines(40, '9');
    std::string wide = Expand(("[%movie_id" + nines + "]").c_str(), &full);
    EXPECT_EQ("[" + std::string(47, ' ') + "42]", wide);

    std::string precise = Expand(("%movie_rate1." + nines).c_str(), &full);
    EXPECT_EQ(49u, precise.size());
    EXPECT_EQ(0u, precise.find("7.2999"));

    std::string unknown = Expand(("%movie_fps" + nines + "|").c_str(), &bare);
    EXPECT_EQ(std::string(41, ' ') + "?.??????|", unknown);
}

TEST_F(TokenTest, InsertedValuesAreNotExpandedAgain)
{
    StrSet(&full.m_title, "50%% of %movie_id");
    EXPECT_EQ("50%% of %movie_id/42", Expand("%movie_name/%movie_id", &full));
}

TEST_F(TokenTest, LengthsOfFilesWithoutAFrameRateAreUnknown)
{
    CMovie odd;
    odd.m_fileIds = {
        AddMediaFile({"\\x", "zero.avi", 1, 1000, 0.0f, true, NULL}),
        AddMediaFile({"\\x", "tiny.avi", 1, 1000, 1e-30f, true, NULL}),
        AddMediaFile({"\\x", "slow.avi", 1, -1, 0.001f, true, NULL}),  // 2^32-1 frames
    };
    EXPECT_EQ("? ?", Expand("%movie_fps %movie_file1_length_sec", &odd));
    EXPECT_EQ("?:?", Expand("%movie_file2_length_hour:%movie_file3_length_min", &odd));
    EXPECT_EQ("?", Expand("%movie_length_only_min", &odd));
}

TEST_F(TokenTest, TokensAtTheEndOfTheTextAndOneBufferForMany)
{
    // A token cut short by the end of the text stays as written; a whole
    // one there expands, the longest too.
    struct {
        const char* text;
        const char* expected;
    } rows[] = {
        {"x%movie_i", "x%movie_i"},
        {"%movie_subtitle_languag", "%movie_subtitle_languag"},
        {"%movie_subtitle_language", "Swedish"},
        {"[%movie_name]%", "[The Matrix]%"},
        {"%movie_file1_", "%movie_file1_"},
        {"%movie_rate2.", " 7"},
    };
    std::string buffer = "kept|";
    std::string expected = "kept|";
    for (const auto& row : rows) {
        EXPECT_EQ(row.expected, Expand(row.text, &full)) << row.text;
        ExpandScriptTokensTo(&buffer, row.text, &full, -1, NULL, NULL);
        expected += row.expected;
    }
    EXPECT_EQ(expected, buffer);
}

TEST_F(TokenTest, OneClockReadingPerExpansion)
{
    clock.advance = true;
    clock.calls = 0;
    EXPECT_EQ("11 11 11", Expand("%time_sec %time_sec %time_sec", NULL));
    EXPECT_EQ("12", Expand("%time_sec", NULL));
    EXPECT_EQ(2, clock.calls);
    EXPECT_EQ("abc", Expand("abc", NULL));
}

TEST_F(TokenTest, CheckOnlySpansEqualExpansionSpans)
{
    const char* templates[] = {
        "%% %tab9 %movie_id5.3x %date_day.5 %movie_rate2. %movie_names",
        "%movie_file1_length_ %movie_file12_pathx %movie_file2_length_min07",
        "%movie_audio_rate_k7. %movie_audio_rate9 %movie_actor1_name3 %movie_actor2_charx",
        "%movie_length_only_min05 %movie_length_sec1.1 %movie_is_borrowed_since",
        "%movie_number3 %movie_cover_file %nr_of_movies4 %movies_total_seen %movie_x %",
        "%movie_subtitle_language %movie_video_bitdepth8 %movie_file1_filesize3.1",
    };
    const CMovie* movies[] = {&full, &bare, NULL};
    for (const char* text : templates) {
        for (const CMovie* movie : movies) {
            int32_t number = movie ? 0 : -1;
            const char* prefix = movie ? "" : NULL;
            for (const char* p = strchr(text, '%'); p != NULL; p = strchr(p + 1, '%')) {
                size_t checked = 99, expanded = 77, asked = 55;
                char* value = ExpandScriptToken(p, &expanded, movie, number, prefix, prefix, false);
                char* marker = ExpandScriptToken(p, &checked, movie, number, prefix, prefix, true);
                bool isToken = IsScriptToken(movie, p, &asked);
                EXPECT_EQ(value != NULL, marker != NULL) << p;
                EXPECT_EQ(value != NULL, isToken) << p;
                if (value != NULL) {
                    EXPECT_EQ(expanded, checked) << p;
                    EXPECT_EQ(expanded, asked) << p;
                    EXPECT_STREQ("", marker);
                }
                free(value);
                free(marker);
            }
        }
    }

    size_t length = 0;
    EXPECT_TRUE(IsScriptToken(NULL, "%movie_is_borrowed_since", &length) == false);
    EXPECT_TRUE(IsScriptToken(&full, "%movie_is_borrowed_since|", &length));
    EXPECT_EQ(24u, length);
    EXPECT_TRUE(IsScriptToken(&full, "%movie_id05.3x", &length));
    EXPECT_EQ(13u, length);
    EXPECT_TRUE(IsScriptToken(&full, "%movie_number", &length));
    EXPECT_FALSE(IsScriptToken(NULL, "%movie_number", &length));
}

TEST_F(TokenTest, WorkersExpandConcurrently)
{
    const char* text = "%movie_name %movie_file1_path %movie_length_only_min %movie_is_borrowed_by";
    std::vector<std::thread> workers;
    std::vector<int> failures(4, 0);
    for (int w = 0; w < 4; w++) {
        workers.emplace_back([&, w] {
            for (int i = 0; i < 100; i++) {
                if (Expand(text, &full) != "The Matrix \\movies\\a.avi 90 Anna")
                    failures[w]++;
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    for (int count : failures)
        EXPECT_EQ(0, count);
}

TEST(TokenFormat, NumberFormatting)
{
    struct {
        const char* value;
        TokenKind kind;
        const char* position;
        size_t length;
        const char* expected;
        size_t consumed;
    } rows[] = {
        {"7.300000", TOKEN_REAL, "%x", 2, "7.3", 2},
        {"25.000000", TOKEN_REAL, "%x", 2, "25", 2},
        {"-0.500000", TOKEN_REAL, "%x", 2, "-0.5", 2},
        {"12", TOKEN_INTEGER, "%x5", 2, "   12", 3},
        {"12", TOKEN_TEXT, "%x5", 2, "12", 2},
        {"?", TOKEN_INTEGER, "%x5.2z", 2, " ?.??", 5},
        {"", TOKEN_REAL, "%x12.34", 2, "", 7},
        {"nan", TOKEN_REAL, "%x5.1", 2, "  nan", 5},
    };
    for (const auto& row : rows) {
        size_t consumed = row.length;
        EXPECT_EQ(row.expected, FormatTokenNumber(row.value, row.kind, row.position, &consumed))
            << row.value << " " << row.position;
        EXPECT_EQ(row.consumed, consumed) << row.value << " " << row.position;
    }
}
