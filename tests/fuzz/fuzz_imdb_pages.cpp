// Runs arbitrary text through the site's page parsers and the search as
// every page the site answers with: title pages, result lists, sub-pages
// and covers alike.
#include <cstdint>
#include <string>

#include "core/CoverSize.h"
#include "core/ErrorBox.h"
#include "core/ImdbInfo.h"
#include "net/ImdbHost.h"
#include "net/ImdbParse.h"
#include "net/ImdbSearch.h"
#include "net/ImdbSettings.h"

namespace {

class FuzzHost : public IImdbHost {
public:
    explicit FuzzHost(const std::string& page) : m_page(page) {}
    bool Fetch(const char*, const char*, std::string* answer) override
    {
        *answer = m_page;
        return m_page.size() % 7 != 3;
    }
    std::string GetErrorText() override { return "Error(s) returned:\r\n"; }
    void ClearErrors() override {}
    void SetStatus(const char*) override {}
    void ShowError(const char*) override {}
    void AskOverwrite() override {}
    ImdbPicture CheckPicture(const BYTE* data, size_t length, long* width, long* height) override
    {
        return MeasurePicture(data, length, width, height) ? IMDB_PICTURE_MEASURED : IMDB_PICTURE_UNMEASURED;
    }

private:
    std::string m_page;
};

class FuzzSettings : public IImdbSettings {
public:
    explicit FuzzSettings(uint8_t bits) : m_bits(bits) {}
    int Overwrite(int) override { return m_bits & (1 | 16 | 64); }
    bool ForceSmallCover() override { return (m_bits & 2) != 0; }
    bool NoNewCover() override { return (m_bits & 4) != 0; }

private:
    uint8_t m_bits;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetErrorBoxRecording(true);
    std::string page(reinterpret_cast<const char*>(data), size);
    FuzzSettings settings(size > 0 ? data[0] : 0);
    SetImdbSettings(&settings);
    FuzzHost host(page);

    CImdbInfo record;
    ParseTitlePage(record, page.data(), page.size(), host);
    ParseMultipleResults(record, page.data(), page.size(), true, host);
    FindCoverImageAddress(page.data(), page.size());
    CoverTypeOf(page.c_str(), size % 2 == 0, data, size);

    std::string title;
    WORD year = 0;
    ImdbKeywordsTitle(page.c_str(), &title, &year);

    CImdbInfo searched;
    GetInfo(searched, host, page.c_str(), true, false, -1, size % 3 == 0);
    SetImdbSettings(nullptr);
    return 0;
}
