#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/StrUtil.h"

namespace {

// A heap text freed at the end of the test.
struct HeapText {
    char* p = NULL;
    ~HeapText() { free(p); }
};

TEST(StrUtil, SetCopiesAndKeepsTheSamePointer)
{
    HeapText t;
    StrSet(&t.p, "movie");
    char* stored = t.p;
    StrSet(&t.p, t.p);  // must neither free nor copy
    EXPECT_EQ(stored, t.p);
    EXPECT_STREQ("movie", t.p);

    // A source inside the stored text is copied before the old one goes.
    StrSet(&t.p, t.p + 2);
    EXPECT_STREQ("vie", t.p);
    StrSet(&t.p, NULL);
    EXPECT_EQ(NULL, t.p);
}

TEST(StrUtil, AssignAppendAndTheirByteCountForms)
{
    HeapText t;
    StrAppend(&t.p, "ab");  // NULL destination acts as assign
    StrAppend(&t.p, NULL);
    StrAppend(&t.p, t.p);   // appending itself
    EXPECT_STREQ("abab", t.p);
    StrAssignN(&t.p, "xyz", 2);
    StrAppendN(&t.p, "12345", 3);
    StrAppendN(&t.p, NULL, 3);
    EXPECT_STREQ("xy123", t.p);
    StrAssignN(&t.p, NULL, 4);
    EXPECT_EQ(NULL, t.p);
    StrAppendN(&t.p, "qrs", 1);
    EXPECT_STREQ("q", t.p);
    StrAssign(&t.p, NULL);
    EXPECT_EQ(NULL, t.p);
}

TEST(StrUtil, AppendFormatNeverTruncates)
{
    HeapText t;
    StrAssign(&t.p, "n=");
    std::string longText(5000, 'x');
    StrAppendFormat(&t.p, "%ld:%s", 42L, longText.c_str());
    EXPECT_EQ("n=42:" + longText, std::string(t.p));
}

TEST(StrUtil, EqualTreatsNullAsEmptyAndIsCaseSensitive)
{
    char empty[] = "";
    EXPECT_TRUE(StrEqual(NULL, empty));
    EXPECT_TRUE(StrEqual(empty, NULL));
    EXPECT_FALSE(StrEqual("a", "A"));
    EXPECT_FALSE(StrEqual(NULL, "a"));
    EXPECT_FALSE(StrEqual("ab", "abc"));
}

TEST(StrUtil, ReplaceDoesNotRescanItsOwnOutput)
{
    HeapText t;
    StrAssign(&t.p, "aaa");
    StrReplace(&t.p, "a", "aa");
    EXPECT_STREQ("aaaaaa", t.p);

    StrAssign(&t.p, "one<br>two<br>");
    StrReplace(&t.p, "<br>", "\r\n");
    EXPECT_STREQ("one\r\ntwo\r\n", t.p);

    // Shrinking, and a replacement that points into the text itself.
    StrAssign(&t.p, "x--y--z");
    StrReplace(&t.p, "--", t.p + 6);
    EXPECT_STREQ("xzyzz", t.p);
}

TEST(StrUtil, ReplaceWithoutMatchOrFindLeavesTextAlone)
{
    HeapText t;
    StrAssign(&t.p, "plain text");
    char* before = t.p;
    StrReplace(&t.p, "<br>", "\r\n");
    EXPECT_EQ(before, t.p);
    EXPECT_STREQ("plain text", t.p);
    StrReplace(&t.p, "", "x");  // an empty find text would never end
    EXPECT_STREQ("plain text", t.p);
}

} // namespace

TEST(StrUtil, ParseDecimalTakesOnlyDigitsWithinTheLimit)
{
    unsigned long long value = 7;
    EXPECT_TRUE(ParseDecimal("2147483636", 2147483636ull, &value));
    EXPECT_EQ(2147483636ull, value);
    EXPECT_FALSE(ParseDecimal("2147483637", 2147483636ull, &value));
    EXPECT_FALSE(ParseDecimal("99999999999999999999999", ~0ull, &value));
    EXPECT_FALSE(ParseDecimal("", 10, &value));
    EXPECT_FALSE(ParseDecimal("1a", 10, &value));
    EXPECT_FALSE(ParseDecimal("-1", 10, &value));
    EXPECT_EQ(2147483636ull, value);
}
