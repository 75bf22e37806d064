// The temporary rule is checked by AddressSanitizer in the host build: a
// temporary that an operation fails to delete is reported as a leak, one it
// deletes twice as a double free.
#include <gtest/gtest.h>

#include <string>

#include "core/DynString.h"

namespace {

std::string Text(const CDynString& s)
{
    return std::string(s.CStr(), s.GetLength());
}

// Takes a temporary result over for inspection.
std::string Take(CDynString* s)
{
    EXPECT_TRUE(s->IsTemporary());
    std::string text = Text(*s);
    delete s;
    return text;
}

TEST(DynString, EmptyIsNullAndAssignmentsReplace)
{
    CDynString s;
    EXPECT_EQ(NULL, s.GetText());
    EXPECT_EQ(0u, s.GetLength());
    EXPECT_FALSE(s.IsTemporary());

    s.Assign("title");
    EXPECT_EQ("title", Text(s));
    s.AssignN("abcdef", 3);
    s.AppendN("xyz", 2);
    s.AppendN(NULL, 5);
    EXPECT_EQ("abcxy", Text(s));
    s.Assign(s.GetText() + 3);  // source inside the own buffer
    EXPECT_EQ("xy", Text(s));

    CDynString empty;
    s.AssignFrom(&empty);
    EXPECT_EQ(NULL, s.GetText());
    s.Assign("a");
    s.Assign(NULL);
    EXPECT_EQ(NULL, s.GetText());
    EXPECT_EQ(0u, s.GetLength());
}

TEST(DynString, FormatMeasuresSoNothingIsCut)
{
    std::string big(4000, 'q');
    CDynString s("x");
    s.Format("%s|%d", big.c_str(), 12);
    EXPECT_EQ(big + "|12", Text(s));
    s.AppendFormat("%s", "");
    EXPECT_EQ(big + "|12", Text(s));
    s.AppendFormat("-%u-", 5u);
    EXPECT_EQ(big + "|12-5-", Text(s));
    s.Format("%s", "");
    EXPECT_EQ(0u, s.GetLength());
}

TEST(DynString, LeftAndRightCapAtTheLength)
{
    CDynString s("movie");
    EXPECT_EQ("", Take(CDynString::Left(0, &s)));
    EXPECT_EQ("mov", Take(CDynString::Left(3, &s)));
    EXPECT_EQ("movie", Take(CDynString::Left(99, &s)));
    EXPECT_EQ("ie", Take(CDynString::Right(2, &s)));
    EXPECT_EQ("movie", Take(CDynString::Right(99, &s)));
    CDynString none;
    EXPECT_EQ("", Take(CDynString::Left(4, &none)));
    EXPECT_EQ("", Take(CDynString::Right(4, &none)));
    EXPECT_EQ("movie", Text(s));
}

TEST(DynString, OperationsDeleteTemporariesAndKeepOthers)
{
    CDynString a("abc");
    CDynString b("xyz");

    // Chained: the Left results are consumed by Concat, which is consumed by
    // the constructor.
    CDynString joined(CDynString::Concat(CDynString::Left(2, &a), CDynString::Right(1, &b)));
    EXPECT_EQ("abz", Text(joined));
    EXPECT_FALSE(joined.IsTemporary());

    // Both operands temporary, and one temporary given as both operands.
    EXPECT_EQ("abcxyz", Take(CDynString::Concat(CDynString::NewTemporary("abc"),
                                                CDynString::NewTemporary("xyz"))));
    CDynString* twice = CDynString::NewTemporary("ha");
    EXPECT_EQ("haha", Take(CDynString::Concat(twice, twice)));
    EXPECT_EQ("abc", Take(CDynString::Concat(&a, NULL)));

    CDynString s;
    s.AssignFrom(CDynString::NewTemporary("one"));
    s.Append(CDynString::NewTemporary("two"));
    s.Append(CDynString::NewTemporary(NULL));
    s.Append(&a);
    s.Append(&s);
    EXPECT_EQ("onetwoabconetwoabc", Text(s));

    bool found = false;
    EXPECT_EQ(1u, CDynString::FindNoCase("B", CDynString::NewTemporary("abc"), 0, &found));
    EXPECT_TRUE(found);
    EXPECT_EQ(2u, CDynString::FindChar('c', CDynString::NewTemporary("abc"), 0, &found));
    EXPECT_TRUE(found);
    CDynString::FindNoCase("", CDynString::NewTemporary("abc"), 0, &found);
    EXPECT_FALSE(found);

    // A kept temporary belongs to the caller.
    CDynString* kept = CDynString::Left(1, &a);
    kept->ClearTemporary();
    CDynString copy(kept);
    EXPECT_EQ("a", Text(*kept));
    delete kept;

    EXPECT_EQ("abc", Text(a));
    EXPECT_EQ("xyz", Text(b));
}

TEST(DynString, FindNoCasePrefersThePatternsOwnCase)
{
    CDynString s("ABC xyz abc");
    bool found = false;
    EXPECT_EQ(8u, CDynString::FindNoCase("abc", &s, 0, &found));
    EXPECT_TRUE(found);
    EXPECT_EQ(0u, CDynString::FindNoCase("Abc", &s, 0, &found));
    EXPECT_TRUE(found);
    // Only the other case is there.
    EXPECT_EQ(4u, CDynString::FindNoCase("XYZ", &s, 0, &found));
    EXPECT_TRUE(found);
    // Not found: past the end, a pattern running over the end, no letter to flip.
    EXPECT_EQ(0u, CDynString::FindNoCase("c", &s, 11, &found));
    EXPECT_FALSE(found);
    EXPECT_EQ(0u, CDynString::FindNoCase("abcd", &s, 0, &found));
    EXPECT_FALSE(found);
    EXPECT_EQ(0u, CDynString::FindNoCase("1a", &s, 0, &found));
    EXPECT_FALSE(found);
    // Latin-1 letters fold too.
    CDynString accented("\xC9LAN");
    EXPECT_EQ(0u, CDynString::FindNoCase("\xE9lan", &accented, 0, &found));
    EXPECT_TRUE(found);
    EXPECT_EQ(7u, CDynString::FindChar(' ', &s, 4, &found));
    EXPECT_TRUE(found);
}

TEST(DynString, ReplaceDoesNotRescanAndCountsMatches)
{
    CDynString s("aaa");
    EXPECT_EQ(3u, s.Replace("a", "aa"));
    EXPECT_EQ("aaaaaa", Text(s));

    CDynString t("a--b--c");
    EXPECT_EQ(2u, t.Replace("--", ""));
    EXPECT_EQ("abc", Text(t));
    EXPECT_EQ(0u, t.Replace("", "y"));
}

TEST(DynString, ReplaceNoCaseTakesEveryMatchInEitherCase)
{
    CDynString s("line<BR>next<br>last<Br>");
    EXPECT_EQ(3u, s.ReplaceNoCase("<br>", "\n"));
    EXPECT_EQ("line\nnext\nlast\n", Text(s));
    CDynString t("Aa");
    EXPECT_EQ(2u, t.ReplaceNoCase("a", "aA"));
    EXPECT_EQ("aAaA", Text(t));
}

} // namespace
