// Titles and part numbers guessed from file names, and the entity cleaning
// they end with.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/StrUtil.h"
#include "core/TitleGuess.h"
#include "core/HtmlEntities.h"

namespace {

struct Guess {
    bool ok;
    std::string title;
    int32_t part;
};

Guess GuessTitle(const char* name, const char* altName = NULL)
{
    char* title = NULL;
    int32_t part = -7;
    Guess guess;
    guess.ok = GuessTitleFromFileName(name, altName, &title, &part);
    guess.title = title ? title : "(null)";
    guess.part = part;
    free(title);
    return guess;
}

// Runs one of the in-place routines on a copy of text.
template <class Routine>
std::string Apply(Routine routine, const char* text)
{
    char* work = NULL;
    StrSet(&work, text);
    routine(&work);
    std::string result = work ? work : "(null)";
    free(work);
    return result;
}

// The text after entity cleaning with the keep tag.
std::string CleanedText(const std::string& text, const char* keep)
{
    char* work = NULL;
    StrSet(&work, text.c_str());
    DecodeHtmlEntities(&work, keep);
    std::string result = work;
    free(work);
    return result;
}

} // namespace

TEST(TitleGuess, FileNamesGiveTitlesAndParts)
{
    Guess matrix = GuessTitle("the.matrix.1999.DivX.avi");
    EXPECT_TRUE(matrix.ok);
    EXPECT_EQ("The matrix 1999", matrix.title);
    EXPECT_EQ(-1, matrix.part);

    Guess alien = GuessTitle("ALIEN_cd1.avi");
    EXPECT_EQ(1, alien.part);
    EXPECT_EQ(0u, alien.title.find("Alien"));

    Guess heat = GuessTitle("Heat.DVDRip.XviD-TS.avi");
    EXPECT_EQ("Heat", heat.title);
}

TEST(TitleGuess, EmptyNameFailsAndStoresNothing)
{
    char* title = NULL;
    int32_t part = 5;
    EXPECT_FALSE(GuessTitleFromFileName(NULL, "alt", &title, &part));
    EXPECT_FALSE(GuessTitleFromFileName("", "alt", &title, &part));
    EXPECT_TRUE(title == NULL);
    EXPECT_EQ(5, part);
}

TEST(TitleGuess, SecondNameWinsOnlyWithMoreWords)
{
    // "dsc" has no vowel and the rest is a number: nothing scores.
    Guess camera = GuessTitle("dsc_0001.avi", "The Big Blue cd2");
    EXPECT_EQ("The Big Blue", camera.title);
    EXPECT_EQ(2, camera.part);  // the first name has none

    Guess tie = GuessTitle("Alien cd1.avi", "Heat 1 of 2");
    EXPECT_EQ("Alien", tie.title);
    EXPECT_EQ(1, tie.part);
}

TEST(TitleGuess, PartNumbers)
{
    struct Row {
        const char* text;
        int32_t part;
        const char* rest;
    } rows[] = {
        {"Film cd2", 2, "Film "},
        {"Film CD 2", 2, "Film "},
        {"Film 1 of 2", 1, "Film "},
        {"Film 1", 1, "Film"},
        {"Film 12.avi", 12, "Film "},
        {"Film #3.avi", 3, "Film "},
        {"Film 2", -1, "Film 2"},        // a sequel number stays
        {"Film  1", -1, "Film  1"},      // two blanks before it
        {"Film 123.avi", -1, "Film 123.avi"},
        {"Film 12", -1, "Film 12"},      // nothing after the digits
        {"x of 2", -1, "x of 2"},
        {"cd2", 2, ""},
        {"a1", -1, "a1"},
        {"no digits", -1, "no digits"},
        {"", -1, ""},
    };
    for (const Row& row : rows) {
        char* text = NULL;
        StrSet(&text, row.text);
        EXPECT_EQ(row.part, ExtractPartNumber(&text)) << row.text;
        EXPECT_STREQ(row.rest, text) << row.text;
        free(text);
    }
    EXPECT_EQ(-1, ExtractPartNumber(NULL));
}

TEST(TitleGuess, TagsAndVowelLessWordsAreStripped)
{
    EXPECT_EQ("the.matrix.1999", Apply(StripTitleTags, "the.matrix.1999.DivX.avi"));
    EXPECT_EQ("Heat.", Apply(StripTitleTags, "Heat.DVDRip.avi"));
    EXPECT_EQ("Film ", Apply(StripTitleTags, "Film dvd rip"));
    EXPECT_EQ("Movie ", Apply(StripTitleTags, "Movie PROPER"));
    EXPECT_EQ("Movie proper", Apply(StripTitleTags, "Movie proper"));  // exact case only
    EXPECT_EQ("Movie ", Apply(StripTitleTags, "Movie DVD TS"));
    EXPECT_EQ("Film 2 4th Schindler's ", Apply(StripTitleTags, "Film 2 4th Schindler's XVD"));
    EXPECT_EQ("Sm\xe5 ", Apply(StripTitleTags, "Sm\xe5 GRDN"));  // å is a vowel
    // "y" counts as a vowel: short words like "Spy" and "Fly" stay.
    EXPECT_EQ("Spy Game", GuessTitle("Spy Game.avi").title);
    EXPECT_EQ("Fly", Apply(StripTitleTags, "Fly"));
}

TEST(TitleGuess, Capitalising)
{
    EXPECT_EQ("The Matrix TV", Apply(CapitaliseTitle, "THE MATRIX TV"));
    EXPECT_EQ("The big lebowski", Apply(CapitaliseTitle, "the-big_lebowski."));
    EXPECT_EQ("\xc4ngel", Apply(CapitaliseTitle, "\xc4NGEL"));
    EXPECT_EQ("12 Monkeys", Apply(CapitaliseTitle, "12 monkeys"));
    EXPECT_EQ("Caf\xe9", Apply(CapitaliseTitle, "caf&#233;"));
}

TEST(TitleGuess, ScoreCountsWordsWithLetters)
{
    EXPECT_EQ(2, ScoreTitle("Film 2 4th"));
    EXPECT_EQ(0, ScoreTitle("0001 - 2"));
    EXPECT_EQ(0, ScoreTitle(NULL));
}

TEST(HtmlText, EntityCleaning)
{
    auto clean = CleanedText;
    EXPECT_EQ("Blade Runner", clean("Blade Runner (1982", NULL));
    EXPECT_EQ("Heat (1995)", clean("Heat (1995) [tv", NULL));
    EXPECT_EQ("A B", clean("A&nbsp;&NBSP;B", NULL));
    EXPECT_EQ("Caf\xe9", clean("Caf&#233;", NULL));
    EXPECT_EQ("a b c", clean("a&#999;b&#000;c", NULL));  // no byte 0 inside a text
    EXPECT_EQ("&#12; &#1234;", clean("&#12; &#1234;", NULL));
    EXPECT_EQ("x <a href=1>y z", clean("x <a href=1>y</a> <b>z</b>", "a"));
    EXPECT_EQ("a", clean("a <b", NULL));
    EXPECT_EQ("a b", clean("\t a\tb \t", NULL));
    EXPECT_EQ("Title [x]", clean("Title [x]( )[]", NULL));

    char* none = NULL;
    DecodeHtmlEntities(&none, NULL);
    EXPECT_TRUE(none == NULL);
}

// The steps work one after the other, each over the whole text once: what a
// step makes is looked at by the later steps only.
TEST(HtmlText, EntityCleaningStepsApplyInOrder)
{
    EXPECT_EQ("x  () y", CleanedText("x [()] (( )) y", NULL));  // "[]" appears only after "()" goes
    EXPECT_EQ("a () b", CleanedText("a ([]) b", NULL));            // but "()" is not looked for again
    EXPECT_EQ("[]", CleanedText("[( )]", NULL));
    EXPECT_EQ("a  b", CleanedText("a ( ) b", NULL));
    EXPECT_EQ("a  b", CleanedText("a\t b", NULL));  // TABs turn into blanks after runs are reduced
    EXPECT_EQ("a b", CleanedText("a<b>  <i> </i> b", NULL));
    EXPECT_EQ("", CleanedText("<a href=x>(</a>)", NULL));
    EXPECT_EQ("(a)", CleanedText("(a) (", NULL));
    EXPECT_EQ("& x", CleanedText("&&nbsp;x", NULL));
    EXPECT_EQ("&#065;", CleanedText("&#038;#065;", NULL));  // a decoded "&" starts nothing
    EXPECT_EQ("&#A", CleanedText("&#&#065;", NULL));
    EXPECT_EQ(" a ", CleanedText(" &#032;a&#032; ", NULL));
    EXPECT_EQ("x", CleanedText("<b<br>x", "br"));
    EXPECT_EQ("<br/>a<BR>b", CleanedText("<br/>a<BR>b<bx>", "br"));
}

TEST(HtmlText, EntityCleaningOfLongRuns)
{
    constexpr size_t n = 300000;
    auto repeated = [](const char* unit) {
        std::string text;
        for (size_t i = 0; i < n; i++)
            text += unit;
        return text;
    };
    EXPECT_EQ("a b", CleanedText("a" + std::string(n, ' ') + "b", NULL));
    EXPECT_EQ("ab", CleanedText("a" + repeated("<b>") + "b", NULL));
    EXPECT_EQ("a b", CleanedText("a" + repeated("&nbsp;") + "b", NULL));
    EXPECT_EQ(std::string(n, '\xe9'), CleanedText(repeated("&#233;"), NULL));
    EXPECT_EQ(repeated("<br>"), CleanedText(repeated("<br>"), "BR"));
    EXPECT_EQ(std::string(n - 1, '('), CleanedText(std::string(n, '(') + ")", NULL));
    EXPECT_EQ("a", CleanedText("a" + repeated("( )"), NULL));
}
