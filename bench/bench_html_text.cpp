// Times the cleaning of page text on 5 MB of blanks, of tags, of "&nbsp;"
// and of numeric entities, against a plain copy of the same bytes into a
// heap text, and on 10 MB of each. The cleaning should take at most 10 times
// the copy, and the 10 MB text at most 2.2 times the 5 MB one.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/BenchFiles.h"
#include "core/HtmlEntities.h"
#include "core/StrUtil.h"

namespace {

const int kRounds = 9;

// A labelled value: "x", then the unit repeated to the size, then "y".
std::string Page(const char* unit, size_t bytes)
{
    std::string page = "x";
    while (page.size() < bytes)
        page += unit;
    return page + "y";
}

// Best of a few rounds of copying the text into a new heap text.
double CopyTime(const std::string& page)
{
    double best = 1e9;
    for (int i = 0; i < kRounds; i++) {
        char* copy = NULL;
        BenchClock::time_point start = BenchClock::now();
        StrAssign(&copy, page.c_str());
        double t = SecondsSince(start);
        free(copy);
        best = t < best ? t : best;
    }
    return best;
}

// Best of a few rounds of cleaning a heap text made beforehand.
double DecodeTime(const std::string& page, size_t* resultLength)
{
    double best = 1e9;
    for (int i = 0; i < kRounds; i++) {
        char* text = NULL;
        StrAssign(&text, page.c_str());
        BenchClock::time_point start = BenchClock::now();
        DecodeHtmlEntities(&text, NULL);
        double t = SecondsSince(start);
        *resultLength = strlen(text);
        free(text);
        best = t < best ? t : best;
    }
    return best;
}

void Report(const char* what, const char* unit)
{
    const size_t kSize = 5000000;
    std::string single = Page(unit, kSize), doubled = Page(unit, 2 * kSize);
    size_t length1 = 0, length2 = 0;
    double copy = CopyTime(single);
    double decode1 = DecodeTime(single, &length1);
    double decode2 = DecodeTime(doubled, &length2);
    printf("%-9s 5 MB: copy %7.3f ms, clean %7.3f ms, %5.1f times the copy; "
           "10 MB: clean %7.3f ms, %.2f times 5 MB (%zu and %zu bytes left)\n",
           what, copy * 1e3, decode1 * 1e3, decode1 / copy, decode2 * 1e3, decode2 / decode1, length1, length2);
}

} // namespace

int main()
{
    Report("blanks", " ");
    Report("tags", "<b>");
    Report("nbsp", "&nbsp;");
    Report("entities", "&#233;");
    return 0;
}
