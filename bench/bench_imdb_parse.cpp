// Times the site's page parsers on large generated pages: a result list of
// 2 MiB with 10,000 hits and a title page whose cast table takes 1 MiB,
// each beside a page twice as large in the same run. The doubled page
// should take at most 2.5 times as long.
#include <cstdio>
#include <string>

#include "bench/BenchFiles.h"
#include "core/ErrorBox.h"
#include "core/ImdbInfo.h"
#include "net/ImdbHost.h"
#include "net/ImdbParse.h"
#include "net/ImdbSettings.h"

namespace {

// A site where every further page is missing.
class OfflineHost : public IImdbHost {
public:
    bool Fetch(const char*, const char*, std::string*) override { return false; }
    std::string GetErrorText() override { return std::string(); }
    void ClearErrors() override {}
    void SetStatus(const char*) override {}
    void ShowError(const char*) override {}
    void AskOverwrite() override {}
    ImdbPicture CheckPicture(const BYTE*, size_t, long*, long*) override { return IMDB_PICTURE_NONE; }
};

// A movie section of hits lines, each padded to take its share of bytes.
std::string ResultPage(long hits, size_t bytes)
{
    std::string page = "<html><body><h2><a name=\"mov\">Movies</a></h2><ol>\n";
    size_t share = bytes / size_t(hits);
    char line[160];
    for (long i = 0; i < hits; i++) {
        int n = snprintf(line, sizeof line, "<li><a href=\"/Title?%07ld\">Movie number %ld</a> (%ld) <i>x</i></li>",
                         i, i, 1900 + i % 100);
        page += line;
        if (size_t(n) + 1 < share)
            page.append(share - size_t(n) - 1, ' ');
        page += '\n';
    }
    return page + "</ol></table></body></html>\n";
}

std::string TitlePage(size_t castBytes)
{
    std::string page = "<html><head><meta name=\"keywords\" content=\"Big (2000)\"></head><body>"
                       "<b>Directed by</b> Someone<br><b>Writing credits</b><b>Genre</b>: Drama<br>"
                       "<b>Country</b>: France<br><b>User Rating:</b> 7.1/10<br>"
                       "<table><tr><td><b>Cast overview, first billed only:</b></td></tr>\n";
    char row[200];
    for (long i = 0; page.size() < castBytes; i++) {
        snprintf(row, sizeof row, "<tr><td><a href=\"/Name?%ld\">Actor %ld</a></td><td>....</td><td>Role %ld</td></tr>\n",
                 i, i, i);
        page += row;
    }
    return page + "</table><i>Tagline: Big.</i><b>Plot</b> Outline: Long.<br></body></html>\n";
}

template <typename Parse> double Time(const std::string& page, Parse parse, size_t* count)
{
    BenchClock::time_point start = BenchClock::now();
    *count = parse(page);
    return SecondsSince(start);
}

void Report(const char* what, const std::string& single, const std::string& doubled,
            size_t (*parse)(const std::string&))
{
    size_t n1 = 0, n2 = 0;
    double t1 = Time(single, parse, &n1);
    double t2 = Time(doubled, parse, &n2);
    printf("%-16s %8.2f MiB: %7.3f s (%7.1f MB/s, %zu items)\n", what, single.size() / 1048576.0, t1,
           single.size() / 1e6 / t1, n1);
    printf("%-16s %8.2f MiB: %7.3f s (%7.1f MB/s, %zu items), %.2f times the single page\n", what,
           doubled.size() / 1048576.0, t2, doubled.size() / 1e6 / t2, n2, t2 / t1);
}

size_t ParseResults(const std::string& page)
{
    OfflineHost host;
    CImdbInfo record;
    ParseMultipleResults(record, page.data(), page.size(), false, host);
    return record.m_hits.size();
}

size_t ParseTitle(const std::string& page)
{
    OfflineHost host;
    CImdbInfo record;
    ParseTitlePage(record, page.data(), page.size(), host);
    return record.m_cast.size();
}

} // namespace

int main()
{
    SetErrorBoxRecording(true);
    Report("result list", ResultPage(10000, 2 << 20), ResultPage(20000, 4 << 20), ParseResults);
    Report("title page", TitlePage(1 << 20), TitlePage(2 << 20), ParseTitle);
    return 0;
}
