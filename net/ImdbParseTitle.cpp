// The title page of a movie and the pages it leads to.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/ImdbInfo.h"
#include "core/StrUtil.h"
#include "net/HtmlText.h"
#include "net/ImdbHost.h"
#include "net/ImdbParse.h"
#include "net/ImdbParseText.h"
#include "net/ImdbSettings.h"
#include "net/ImdbSite.h"

using namespace imdbparse;

namespace {

// A cast cell longer than this is no cell of a cast table.
const size_t kMaxCastCell = 4000;

// A page with CR and LF made blanks, so that labels match across lines.
struct JoinedPage {
    char* text = nullptr;
    size_t length = 0;
    JoinedPage(const char* page, size_t n) { JoinLines(page, n, &text, &length); }
    ~JoinedPage() { free(text); }
    JoinedPage(const JoinedPage&) = delete;
    JoinedPage& operator=(const JoinedPage&) = delete;
};

bool IsEmpty(const char* text)
{
    return text == nullptr || *text == '\0';
}

// A rating text: digits with an optional fraction. Words read as 0, which
// counts as a rating only when the page wrote "0.0"; anything outside 0-10
// is no rating.
double ReadRating(const char* text)
{
    if (IsEmpty(text))
        return -1.0;
    const char* p = text;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        p++;
    double value = 0.0;
    for (; IsAsciiDigit(*p); p++)
        value = value * 10.0 + (*p - '0');
    if (*p == '.') {
        double scale = 0.1;
        for (p++; IsAsciiDigit(*p); p++, scale /= 10.0)
            value += (*p - '0') * scale;
    }
    if (negative)
        value = -value;
    if (value == 0.0 && strstr(text, "0.0") == nullptr)
        return -1.0;
    if (!std::isfinite(value) || value < 0.0 || value > 10.0)
        return -1.0;
    return value;
}

// The minutes of a runtime text: the first number in it; 0 when there is
// none or it doesn't fit.
DWORD ReadRuntime(const char* text)
{
    if (text == nullptr)
        return 0;
    while (*text != '\0' && !IsAsciiDigit(*text))
        text++;
    unsigned long minutes = 0;
    return ReadLeadingDecimal(text, 0xFFFFFFFFUL, &minutes) ? DWORD(minutes) : 0;
}

// The text between the end of the tag at open and at.
std::string Between(const JoinedPage& page, size_t open, size_t at)
{
    const void* close = memchr(page.text + open, '>', at - open);
    if (close == nullptr)
        return std::string();
    size_t from = size_t(static_cast<const char*>(close) - page.text) + 1;
    return std::string(page.text + from, at - from);
}

// Calls piece(from, to) for each stretch of text[start, end) that the tags
// isTag(text, end, i, tag) finds divide it into: the stretch before the
// first such tag, then the one after each. Gives false as soon as piece
// does.
template <class Piece>
bool ForEachPiece(const char* text, size_t start, size_t end,
                  bool (*isTag)(const char*, size_t, size_t, const char*), const char* tag, Piece piece)
{
    size_t from = start;
    for (size_t i = start; i <= end; i++) {
        if (i < end && !isTag(text, end, i, tag))
            continue;
        if (!piece(from, i))
            return false;
        if (i == end)
            break;
        const void* close = memchr(text + i, '>', end - i);
        if (close == nullptr)
            break;
        i = size_t(static_cast<const char*>(close) - text);
        from = i + 1;
    }
    return true;
}

// The first "<HR" of the page and the nearest tag of the name before it.
bool FindBeforeRule(const JoinedPage& page, const char* name, size_t* open, size_t* rule)
{
    long hr = FindHtmlTag(0, "HR", NULL, NULL, page.text, long(page.length), true);
    if (hr < 0)
        return false;
    *rule = size_t(hr);
    *open = FindTagBefore(page.text, page.length, *rule, name);
    return *open != npos;
}

std::string TaglineOfPage(const JoinedPage& page)
{
    size_t open = 0, rule = 0;
    if (!FindBeforeRule(page, "P", &open, &rule))
        return std::string();
    std::string raw = Between(page, open, rule);
    return CleanedBlock(raw.data(), raw.size());
}

// Each paragraph of the plot on a line of its own.
std::string PlotOfPage(const JoinedPage& page)
{
    size_t open = 0, rule = 0;
    if (!FindBeforeRule(page, "/TABLE", &open, &rule))
        return std::string();
    std::string raw = Between(page, open, rule);
    std::string plot;
    ForEachPiece(raw.data(), 0, raw.size(), IsTagNamed, "p", [&](size_t from, size_t to) {
        std::string paragraph = CleanedText(raw.data() + from, to - from, NULL);
        if (!paragraph.empty()) {
            if (!plot.empty())
                plot += "\r\n";
            plot += paragraph;
        }
        return true;
    });
    char* work = nullptr;
    StrAssign(&work, plot.c_str());
    NormalizeWhitespace(&work);
    std::string normalized = work != nullptr ? work : "";
    free(work);
    return normalized;
}

typedef std::vector<std::pair<std::string, std::string>> CastList;

// The rows of the full credits' cast table that read "actor .... character".
bool CastOfCreditsPage(IImdbHost& host, const JoinedPage& page, CastList* cast)
{
    long anchor = FindHtmlTag(0, "A", "NAME", "cast", page.text, long(page.length), false);
    if (anchor < 0)
        return false;
    const char* text = page.text + anchor;
    size_t length = page.length - size_t(anchor);
    bool found = false;
    size_t start = 0, end = 0;
    if (!FindLabelValue(host, text, length, "Cast", "</TABLE>", NULL, &found, &start, &end) || !found)
        return false;
    // Rows are cleaned one at a time: the table can be large. What comes
    // before the first row is no row.
    bool first = true;
    ForEachPiece(text, start, end, StartsWithNoCase, "<tr", [&](size_t row, size_t rowEnd) {
        if (!first) {
            std::string line = CleanedText(text + row, rowEnd - row, NULL);
            size_t dots = line.find(" .... ");
            if (dots != npos)
                cast->emplace_back(CleanedText(line.data(), dots, NULL),
                                   CleanedText(line.data() + dots + 6, line.size() - dots - 6, NULL));
        }
        first = false;
        return true;
    });
    return !cast->empty();
}

// The cast overview of the title page: cells separated by cell-end tags,
// cycling through actor, a skipped cell and character. False after a cell
// too long to be one.
bool CastOfTitlePage(IImdbHost& host, const JoinedPage& page, CastList* cast)
{
    static const struct {
        const char* label;
        const char* end;
    } kLabels[] = {
        { "Cast?overview,?first?billed?only:", "(more)" },
        { "Credited?cast?overview:", "rest of cast" },
        { "Cast?overview:", "rest of cast" },
        { "credited?cast:", "rest of cast" },
    };
    for (const auto& label : kLabels) {
        bool found = false;
        size_t start = 0, end = 0;
        if (!FindLabelValue(host, page.text, page.length, label.label, label.end, "</TABLE>", &found, &start,
                            &end) ||
            !found)
            continue;
        int column = 0;
        bool any = false;
        bool read = ForEachPiece(page.text, start, end, StartsWithNoCase, "</td", [&](size_t cell, size_t cellEnd) {
            std::string content = CleanedText(page.text + cell, cellEnd - cell, NULL);
            if (content.size() > kMaxCastCell)
                return false;
            if (!content.empty()) {
                any = true;
                if (column == 0)
                    cast->emplace_back(content, std::string());
                else if (column == 2 && !cast->empty())
                    cast->back().second = content;
                column = (column + 1) % 3;
            }
            return true;
        });
        if (!read) {
            ShowHostError(host, false, "Buffer to small");
            return false;
        }
        if (any)
            return true;
    }
    return true;
}

void SetCast(CImdbInfo& record, const CastList& cast)
{
    record.ClearCast();
    for (const auto& entry : cast)
        record.AddCastEntry(entry.first.c_str(), entry.second.empty() ? nullptr : entry.second.c_str());
}

bool ContainsNoCase(const std::string& data, const char* word)
{
    return FindNoCase(data.data(), data.size(), 0, word) != npos;
}

// The cover picture of the title page: the large one linked around it
// unless only small covers are wanted, else the page's own.
bool FindCover(const JoinedPage& page, bool forceSmall, std::string* address, int* sizeClass)
{
    long img = FindHtmlTag(0, "IMG", "ALT", "cover", page.text, long(page.length), true);
    if (img < 0)
        return false;
    char* value = nullptr;
    if (!forceSmall) {
        size_t before = FindTagBefore(page.text, size_t(img), size_t(img), "A");
        // Only the tag right before the picture counts.
        bool adjacent = before != npos && memchr(page.text + before + 1, '<', size_t(img) - before - 1) == nullptr;
        if (adjacent && FindTagAttribute(page.text, long(page.length), long(before), "href", &value)) {
            const char* question = strchr(value, '?');
            const char* equals = question != nullptr ? strchr(question, '=') : nullptr;
            if (equals != nullptr && strchr(equals, '/') != nullptr) {
                char* target = nullptr;
                StrAssign(&target, equals + 1);
                UrlDecode(&target);
                *address = ImdbFullAddress(target);
                free(target);
                free(value);
                *sizeClass = COVER_SIZE_LARGE;
                return true;
            }
        }
        StrAssign(&value, nullptr);
    }
    bool found = FindTagAttribute(page.text, long(page.length), img, "src", &value) && !IsEmpty(value);
    if (found) {
        *address = ImdbFullAddress(value);
        *sizeClass = COVER_SIZE_SMALL;
    }
    free(value);
    return found;
}

void TakeCover(CImdbInfo& record, const JoinedPage& page, IImdbHost& host)
{
    IImdbSettings& settings = GetImdbSettings();
    // A cover the user chose (size class unknown) may be kept.
    if (settings.NoNewCover() && record.HasCover() && !IsEmpty(record.m_coverType) &&
        record.m_coverSizeClass == COVER_SIZE_UNKNOWN)
        return;
    std::string address;
    int sizeClass = COVER_SIZE_UNKNOWN;
    if (!FindCover(page, settings.ForceSmallCover(), &address, &sizeClass))
        return;
    std::string data;
    if (!host.Fetch(address.c_str(), nullptr, &data)) {
        ShowHostError(host, false, "Unable to retrieve image from :%s\r\n%s", address.c_str(),
                      host.GetErrorText().c_str());
        return;
    }
    if (ContainsNoCase(data, "<HTML>")) {
        ShowHostError(host, false, "An HTML page was returned instead of the expected cover image.\r\nurl:%s",
                      address.c_str());
        return;
    }
    const BYTE* bytes = reinterpret_cast<const BYTE*>(data.data());
    long width = 0, height = 0;
    ImdbPicture picture = host.CheckPicture(bytes, data.size(), &width, &height);
    if (picture == IMDB_PICTURE_NONE || (picture == IMDB_PICTURE_MEASURED && (width < 5 || height < 5)))
        return;
    record.m_cover.assign(bytes, bytes + data.size());
    record.m_coverSizeClass = sizeClass;
    StrAssign(&record.m_coverType, CoverTypeOf(address.c_str(), true, bytes, data.size()).c_str());
}

// Fetches a page of the movie: base address, path, "?" and the movie id.
bool FetchMoviePage(IImdbHost& host, const char* path, const char* movieId, std::string* answer)
{
    std::string url = std::string(ImdbBaseAddress()) + path + "?" + movieId;
    return host.Fetch(url.c_str(), nullptr, answer);
}

bool ParseInto(CImdbInfo& record, const char* page, size_t pageLength, IImdbHost& host)
{
    record.m_complete = 1;
    JoinedPage joined(page, pageLength);
    const char* text = joined.text != nullptr ? joined.text : "";
    size_t length = joined.length;

    if (!HtmlFindText(host, text, length, "Directed?by", &record.m_director, NULL, "Writing", "<TABLE"))
        return false;

    host.AskOverwrite();
    int overwrite = GetImdbSettings().Overwrite(IMDB_OVERWRITE_ONLY_EMPTY);
    bool onlyEmpty = (overwrite & IMDB_OVERWRITE_ONLY_EMPTY) != 0;

    if (!HtmlFindText(host, text, length, "Country?:", &record.m_country, NULL, NULL, NULL) ||
        !HtmlFindText(host, text, length, "Genre?:", &record.m_genre, NULL, "<BR>", "(more)"))
        return false;

    char* value = nullptr;
    record.m_runtime = 0;
    if (HtmlFindText(host, text, length, "Runtime?:", &value, NULL, "</TD>", "</TR>"))
        record.m_runtime = ReadRuntime(value);

    if ((overwrite & IMDB_OVERWRITE_RATE) != 0 || (onlyEmpty && record.m_rating == -1.0)) {
        if (!HtmlFindText(host, text, length, "User?Rating:", &value, NULL, "/10", "<BR>")) {
            free(value);
            return false;
        }
        record.m_rating = ReadRating(value);
    }

    // The title page's own address, from its recommendations link.
    static const char kRecommendations[] = "/Recommendations";
    StrAssign(&record.m_address, "");
    long link = FindHtmlTag(0, "A", "HREF", "/Recommendations?", text, long(length), true);
    if (link >= 0 && FindTagAttribute(text, long(length), link, "HREF", &value) &&
        strlen(value) >= sizeof kRecommendations - 1) {
        std::string address = std::string(ImdbBaseAddress()) + kImdbTitlePath + (value + sizeof kRecommendations - 1);
        StrAssign(&record.m_address, address.c_str());
    }
    free(value);
    value = nullptr;

    bool taglineTaken = false, plotTaken = false, castTaken = false;
    const char* question = record.m_address != nullptr ? strchr(record.m_address, '?') : nullptr;
    if (question != nullptr) {
        std::string movieId = question + 1;
        std::string answer;
        if (FetchMoviePage(host, kImdbTaglinesPath, movieId.c_str(), &answer)) {
            std::string tagline = TaglineOfPage(JoinedPage(answer.data(), answer.size()));
            if (!tagline.empty()) {
                StrAssign(&record.m_tagline, tagline.c_str());
                taglineTaken = true;
            }
        }
        if (FetchMoviePage(host, kImdbPlotPath, movieId.c_str(), &answer)) {
            std::string plot = PlotOfPage(JoinedPage(answer.data(), answer.size()));
            if (!plot.empty()) {
                StrAssign(&record.m_plot, plot.c_str());
                plotTaken = true;
            }
        }
        CastList cast;
        if (FetchMoviePage(host, kImdbCreditsPath, movieId.c_str(), &answer) &&
            CastOfCreditsPage(host, JoinedPage(answer.data(), answer.size()), &cast)) {
            SetCast(record, cast);
            castTaken = true;
        }
    }

    // The user comment: always, or only into an empty one.
    bool commentAllowed = (overwrite & IMDB_OVERWRITE_COMMENT) != 0 || (onlyEmpty && IsEmpty(record.m_comment));
    bool commentTaken = false;
    long anchor = FindHtmlTag(0, "A", "name", "comment", text, long(length), false);
    long quote = anchor >= 0 ? FindHtmlTag(anchor, "BLOCKQUOTE", NULL, NULL, text, long(length), false) : -1;
    long unquote = quote >= 0 ? FindHtmlTag(quote, "/BLOCKQUOTE", NULL, NULL, text, long(length), true) : -1;
    if (unquote >= 0 && commentAllowed) {
        StrAssign(&record.m_comment, CleanedBlock(text + quote + 1, size_t(unquote - quote - 1)).c_str());
        commentTaken = true;
    }
    if (!commentTaken && commentAllowed)
        HtmlFindText(host, text, length, "User?Comments:", &record.m_comment, NULL, NULL, NULL);

    if (!castTaken) {
        CastList cast;
        if (!CastOfTitlePage(host, joined, &cast))
            return false;
        if (!cast.empty())
            SetCast(record, cast);
    }

    if (!taglineTaken && !HtmlFindText(host, text, length, "Tagline:", &record.m_tagline, NULL, NULL, NULL))
        return false;
    if (!plotTaken) {
        if (!HtmlFindText(host, text, length, "Plot?Outline:", &record.m_plot, NULL, NULL, NULL))
            return false;
        if (IsEmpty(record.m_plot) &&
            !HtmlFindText(host, text, length, "Plot?Summary:", &record.m_plot, NULL, NULL, NULL))
            return false;
    }

    TakeCover(record, joined, host);
    return true;
}

} // namespace

bool ParseTitlePage(CImdbInfo& record, const char* page, size_t length, IImdbHost& host)
{
    // The record changes only when the whole page could be read.
    CImdbInfo scratch;
    scratch.CopyFrom(record);
    if (!ParseInto(scratch, page != nullptr ? page : "", page != nullptr ? length : 0, host))
        return false;
    record.CopyFrom(scratch);
    return true;
}

std::string FindCoverImageAddress(const char* page, size_t length)
{
    JoinedPage joined(page != nullptr ? page : "", page != nullptr ? length : 0);
    std::string address;
    int sizeClass = COVER_SIZE_UNKNOWN;
    if (joined.text == nullptr || !FindCover(joined, true, &address, &sizeClass))
        return std::string();
    return address;
}
