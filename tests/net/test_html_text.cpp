// The page-text routines and Base64 on page-like texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ErrorBox.h"
#include "core/StrUtil.h"
#include "net/Base64Coding.h"
#include "net/HtmlText.h"

namespace {

struct Heap {
    char* p = nullptr;
    explicit Heap(const char* text) { StrSet(&p, text); }
    ~Heap() { free(p); }
};

} // namespace

TEST(HtmlText, FindsTagsByAttributeOutsideQuotesAndReadsValues)
{
    const std::string page = "<p><a title=\"name=cast list\" href=x>1</a> <A class=y NAME = \"Cast\" href='z'>2</a>"
                             "<img src=\"/pic.jpg\" alt=cover></p><b";
    const char* text = page.c_str();
    long length = long(page.size());
    long first = FindHtmlTag(0, "a", NULL, NULL, text, length, true);
    EXPECT_EQ(3, first);
    long cast = FindHtmlTag(0, "A", "NAME", "\"cast\"", text, length, true);
    EXPECT_EQ(long(page.find("<A class")), cast);
    EXPECT_EQ(long(page.find('>', size_t(cast))), FindHtmlTag(0, "A", "name", "cast", text, length, false));
    EXPECT_EQ(-1, FindHtmlTag(0, "a", "name", "crew", text, length, true));
    EXPECT_EQ(-1, FindHtmlTag(cast + 1, "b", NULL, NULL, text, length, true));  // no ">"

    Heap value("old");
    long img = FindHtmlTag(0, "img", NULL, NULL, text, length, true);
    ASSERT_TRUE(FindTagAttribute(text, length, img + 3, "SRC", &value.p));
    EXPECT_STREQ("/pic.jpg", value.p);
    ASSERT_TRUE(FindTagAttribute(text, length, img, "alt", &value.p));
    EXPECT_STREQ("cover", value.p);
    EXPECT_FALSE(FindTagAttribute(text, length, img, "width", &value.p));
    EXPECT_STREQ("cover", value.p);
}

TEST(HtmlText, CleansJoinsAndEncodesText)
{
    Heap tags("a <b>bold</b> c <i");
    StripHtmlTags(&tags.p);
    EXPECT_STREQ("a bold c ", tags.p);

    char* joined = nullptr;
    size_t joinedLength = 0;
    JoinLines("one\r\ntwo\nthree", 14, &joined, &joinedLength);
    EXPECT_EQ(std::string("one  two three"), std::string(joined, joinedLength));
    free(joined);

    Heap spaces("a\tb\n c\r d");
    NormalizeWhitespace(&spaces.p);
    EXPECT_STREQ("a    b\nc\rd", spaces.p);

    Heap form("Alien: Part 2 @x_y*z/é");
    UrlEncode(&form.p);
    EXPECT_STREQ("Alien%3A+Part+2+@x_y*z%2F%C3%A9", form.p);
    UrlDecode(&form.p);
    EXPECT_STREQ("Alien:+Part+2+@x_y*z/é", form.p);
    Heap odd("100%zz%2f%4");
    UrlDecode(&odd.p);
    EXPECT_STREQ("100%zz/%4", odd.p);

    // A long text goes through several steps of the work buffer.
    std::string big(3000, ':');
    Heap large(big.c_str());
    UrlEncode(&large.p);
    ASSERT_NE(nullptr, large.p);
    EXPECT_EQ(9000u, strlen(large.p));

    char* buffer = nullptr;
    size_t used = 0;
    StrAppendBuffer("ab", &buffer, &used);
    StrAppendBuffer("cde", &buffer, &used);
    EXPECT_EQ(5u, used);
    EXPECT_STREQ("abcde", buffer);
    free(buffer);
    EXPECT_TRUE(IsDigitChar('7'));
    EXPECT_FALSE(IsDigitChar('x'));
}

TEST(Base64Coding, EncodesWithPaddingAndLineBreaksAndDecodesBack)
{
    CBase64Coding coder;
    std::string text;
    const BYTE three[] = { 'M', 'a', 'n' };
    coder.Encode(three, 3, text);
    EXPECT_EQ("TWFu", text);
    coder.Encode(three, 1, text);
    EXPECT_EQ("TQ==", text);
    coder.Encode(three, 0, text);
    EXPECT_EQ("", text);

    std::vector<BYTE> data(100);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = BYTE(i * 7);
    coder.Encode(data.data(), data.size(), text);
    ASSERT_EQ(136u + 2u, text.size());  // 136 characters, one CR LF after 72
    EXPECT_EQ("\r\n", text.substr(72, 2));
    std::vector<BYTE> bytes;
    coder.Encode(data.data(), data.size(), bytes);
    EXPECT_EQ(136u, bytes.size());

    std::vector<BYTE> back;
    ASSERT_TRUE(coder.Decode(text.c_str(), back));
    EXPECT_EQ(data, back);
    ASSERT_TRUE(coder.Decode("dXNlcjpw YXNz", back));
    EXPECT_EQ("user:pass", std::string(back.begin(), back.end()));
    EXPECT_FALSE(coder.Decode("dXNl!", back));
}
