// Background rules: the three tests on the expanded template, for movies
// with and without internet information, and the rule file for every kind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "LayoutTestHost.h"
#include "app/BackgroundRule.h"
#include "core/ErrorBox.h"
#include "core/Movie.h"
#include "core/StrUtil.h"

namespace {

class BackgroundRuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        StrSet(&dvd.m_mediaTypeName, "DVD");
        StrSet(&dvd.m_title, "Heat");
        dvd.m_imdbInfo.reset(new CImdbInfo);
        dvd.m_imdbInfo->m_year = 1995;
        StrSet(&dvd.m_imdbInfo->m_genre, "Crime");

        // No internet information at all.
        StrSet(&bare.m_mediaTypeName, "dvd");
    }

    static void Make(CBackgroundRule* rule, BYTE kind, const char* text, const char* value,
                     int32_t first, int32_t second = 0)
    {
        rule->m_kind = kind;
        StrSet(&rule->m_template, text);
        StrSet(&rule->m_value, value);
        rule->m_first = first;
        rule->m_second = second;
    }

    bool Holds(BYTE kind, const char* text, const char* value, int32_t first, int32_t second,
               const CMovie& movie)
    {
        CBackgroundRule rule;
        Make(&rule, kind, text, value, first, second);
        return rule.Matches(&movie);
    }

    CMovie dvd;
    CMovie bare;
    CTestLayoutHost host;
};

TEST_F(BackgroundRuleTest, EqualsComparesWithOrWithoutCase)
{
    EXPECT_TRUE(Holds(RULE_EQUALS, "%movie_type", "dvd", 0, 0, dvd));
    EXPECT_TRUE(Holds(RULE_EQUALS, "%movie_type", "dvd", 7, 0, dvd));  // only 1 is case-sensitive
    EXPECT_FALSE(Holds(RULE_EQUALS, "%movie_type", "dvd", 1, 0, dvd));
    EXPECT_TRUE(Holds(RULE_EQUALS, "%movie_type", "DVD", 1, 0, dvd));
    EXPECT_TRUE(Holds(RULE_EQUALS, "%movie_type", "DVD", 0, 0, bare));
    EXPECT_FALSE(Holds(RULE_EQUALS, "%movie_type", "DVDrip", 0, 0, dvd));
    // No value, no template, or a fresh rule never hold.
    EXPECT_FALSE(Holds(RULE_EQUALS, "%movie_type", NULL, 0, 0, dvd));
    EXPECT_FALSE(Holds(RULE_EQUALS, NULL, "", 0, 0, dvd));
    EXPECT_FALSE(Holds(RULE_NONE, "%movie_type", "DVD", 1, 0, dvd));
    // An empty expansion matches only an empty value.
    EXPECT_FALSE(Holds(RULE_EQUALS, "%movie_genre", "Crime", 0, 0, bare));
    EXPECT_TRUE(Holds(RULE_EQUALS, "%movie_genre", "", 0, 0, bare));
}

TEST_F(BackgroundRuleTest, LongerThanCountsBytesUnsigned)
{
    EXPECT_TRUE(Holds(RULE_LONGER_THAN, "%movie_genre", NULL, 0, 0, dvd));
    EXPECT_FALSE(Holds(RULE_LONGER_THAN, "%movie_genre", NULL, 0, 0, bare));  // empty
    EXPECT_TRUE(Holds(RULE_LONGER_THAN, "%movie_genre", NULL, 4, 0, dvd));
    EXPECT_FALSE(Holds(RULE_LONGER_THAN, "%movie_genre", NULL, 5, 0, dvd));
    // -1 is the greatest unsigned length.
    EXPECT_FALSE(Holds(RULE_LONGER_THAN, "%movie_genre", NULL, -1, 0, dvd));
}

TEST_F(BackgroundRuleTest, RangeIsStrictAndUnsigned)
{
    EXPECT_TRUE(Holds(RULE_NUMBER_RANGE, "%movie_year", NULL, 1990, 2000, dvd));
    EXPECT_FALSE(Holds(RULE_NUMBER_RANGE, "%movie_year", NULL, 1995, 2000, dvd));
    EXPECT_FALSE(Holds(RULE_NUMBER_RANGE, "%movie_year", NULL, 1990, 1995, dvd));
    // Without information the year is empty, which counts as 0.
    EXPECT_FALSE(Holds(RULE_NUMBER_RANGE, "%movie_year", NULL, 1990, 2000, bare));
    // A lower bound of -1 is greater than every number.
    for (const char* number : { "0", "5", "-3", "9" })
        EXPECT_FALSE(Holds(RULE_NUMBER_RANGE, number, NULL, -1, 10, dvd)) << number;
    // An upper bound of -1 takes every non-negative number above the low one...
    EXPECT_TRUE(Holds(RULE_NUMBER_RANGE, "5", NULL, 0, -1, dvd));
    // ...and a negative number lies above a positive upper bound.
    EXPECT_FALSE(Holds(RULE_NUMBER_RANGE, "-3", NULL, 0, 10, dvd));
    EXPECT_TRUE(Holds(RULE_NUMBER_RANGE, "-3", NULL, 0, -1, dvd));
    // Conversion as atol: white space, sign, digits up to the first other character.
    EXPECT_TRUE(Holds(RULE_NUMBER_RANGE, "  +7 dwarfs", NULL, 6, 8, dvd));
    EXPECT_FALSE(Holds(RULE_NUMBER_RANGE, "none", NULL, 0, 10, dvd));
    EXPECT_TRUE(Holds(RULE_NUMBER_RANGE, "99999999999", NULL, 0x7FFFFFFE, -1, dvd));
}

// Every kind reads back exactly what was written, known or not.
TEST_F(BackgroundRuleTest, FilesRoundTripEveryKind)
{
    struct Case {
        BYTE kind;
        const char* text;
        const char* value;
        int32_t first;
        int32_t second;
    } cases[] = {
        { RULE_EQUALS, "%movie_type", "DVD", 1, 0 },
        { RULE_EQUALS, "%movie_type", NULL, 0, 0 },
        { RULE_LONGER_THAN, "%movie_plot", NULL, -7, 0 },
        { RULE_NUMBER_RANGE, "%movie_year", NULL, -1, 2000 },
        { RULE_NONE, NULL, NULL, 0, 0 },
        { 7, "%movie_name", NULL, 0, 0 },
    };
    std::string path = host.Path("bg_def3.dat");
    for (const Case& c : cases) {
        CBackgroundRule written;
        Make(&written, c.kind, c.text, c.value, c.first, c.second);
        ASSERT_TRUE(written.Save(path.c_str())) << int(c.kind);
        EXPECT_FALSE(host.Exists("bg_def3.dat.tmp"));

        CBackgroundRule read;
        ASSERT_TRUE(read.Load(path.c_str())) << int(c.kind);
        EXPECT_EQ(c.kind, read.m_kind);
        EXPECT_STREQ(c.text ? c.text : "", read.m_template);
        EXPECT_EQ(c.first, read.m_first);
        EXPECT_STREQ(c.kind == RULE_EQUALS ? (c.value ? c.value : "") : NULL, read.m_value);
        EXPECT_EQ(c.kind == RULE_NUMBER_RANGE ? c.second : 0, read.m_second);

        // Every shorter file fails.
        std::vector<BYTE> bytes = host.ReadFile("bg_def3.dat");
        for (size_t n = 0; n < bytes.size(); n++) {
            host.WriteFile("cut.dat", std::vector<BYTE>(bytes.begin(), bytes.begin() + n));
            CBackgroundRule cut;
            EXPECT_FALSE(cut.Load(host.Path("cut.dat").c_str())) << int(c.kind) << " cut at " << n;
        }
    }
}

TEST_F(BackgroundRuleTest, FileLayout)
{
    CBackgroundRule rule;
    Make(&rule, RULE_EQUALS, "%movie_type", "VCD", 1);
    ASSERT_TRUE(rule.Save(host.Path("r.dat").c_str()));
    std::string expected("%movie_type\0\x0CVCD\0\x01\0\0\0", 21);
    std::vector<BYTE> bytes = host.ReadFile("r.dat");
    EXPECT_EQ(expected, std::string(bytes.begin(), bytes.end()));

    // A kind this program does not know holds only the template and the kind.
    host.WriteFile("odd.dat", { 'x', 0, 7 });
    CBackgroundRule odd;
    ASSERT_TRUE(odd.Load(host.Path("odd.dat").c_str()));
    EXPECT_EQ(7, odd.m_kind);
    EXPECT_FALSE(odd.Matches(&dvd));

    EXPECT_FALSE(rule.Load(host.Path("missing.dat").c_str()));
    EXPECT_FALSE(rule.Save(host.Path("no-such-folder/r.dat").c_str()));
}

TEST_F(BackgroundRuleTest, CopyTakesTheValueOnlyForEquals)
{
    CBackgroundRule source, copy;
    Make(&source, RULE_EQUALS, "%movie_type", "DVD", 1);
    copy.CopyFrom(&source);
    EXPECT_STREQ("DVD", copy.m_value);
    EXPECT_TRUE(copy.Matches(&dvd));
    Make(&source, RULE_NUMBER_RANGE, "%movie_year", "left over", 3, 9);
    copy.CopyFrom(&source);
    EXPECT_EQ(NULL, copy.m_value);
    EXPECT_EQ(9, copy.m_second);
    copy.CopyFrom(NULL);
    EXPECT_EQ(RULE_NONE, copy.m_kind);
    EXPECT_EQ(NULL, copy.m_template);
}

} // namespace
