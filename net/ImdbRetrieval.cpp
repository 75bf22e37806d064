#include "net/ImdbRetrieval.h"

#ifdef _WIN32

#include <objbase.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include "app/OlePicture.h"
#include "classlib/ProcGuard.h"
#include "classlib/WorkerJob.h"
#include "core/CoverSize.h"
#include "core/ErrorBox.h"
#include "core/ImdbInfo.h"
#include "core/Movie.h"
#include "core/StrUtil.h"
#include "dialogs/OverwriteInfoDlg.h"
#include "net/DownloadStatus.h"
#include "net/HttpClient.h"
#include "net/ImdbHost.h"
#include "net/ImdbParse.h"
#include "net/ImdbSearch.h"

// The state of one running retrieval, hung on its record.
class CImdbRetrieval {
public:
    CImdbRetrieval() : showErrors(false), isLink(false), result(0), finished(false), cancelled(false),
                       status(nullptr), messenger(nullptr) {}

    std::string name;           // the retrieval's own copy of the name or address
    bool showErrors;
    bool isLink;
    BYTE result;
    bool finished;              // the worker has handed over its result (under g_lock)
    std::atomic<bool> cancelled;
    CDownloadStatus* status;
    HWND messenger;             // on the starting thread: shows what the worker asks to show
    CWorkerJob job;
};

namespace {

// Guards each record's m_retrieval and the finished and cancelled states
// of the retrieval hung there.
std::mutex g_lock;

// Sent by the worker to the messenger window: a text to show (lParam), the
// overwrite question.
const UINT WM_RETRIEVAL_ERROR = WM_APP + 60;
const UINT WM_RETRIEVAL_OVERWRITE = WM_APP + 61;
const char kMessengerClass[] = "VistrelRetrievalMessenger";

// A cancelled retrieval is joined in steps; its client is closed again
// each time, in case a request began just as the cancel came.
const DWORD kJoinStepMs = 100;

LRESULT CALLBACK MessengerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return AfxCallGuarded(window, message, [&]() -> LRESULT {
        switch (message) {
        case WM_RETRIEVAL_ERROR:
            ShowError(0, "%s", reinterpret_cast<const char*>(lParam));
            return 0;
        case WM_RETRIEVAL_OVERWRITE: {
            HWND parent = reinterpret_cast<HWND>(lParam);
            COverwriteInfoDlg question(parent != nullptr ? CWnd::FromHandle(parent) : nullptr);
            question.DoModal();
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
        }
    }, [&] { return DefWindowProcA(window, message, wParam, lParam); });
}

HWND CreateMessenger()
{
    static ATOM registered = 0;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (registered == 0) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = MessengerProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kMessengerClass;
        registered = RegisterClassA(&windowClass);
    }
    return CreateWindowA(kMessengerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

// The site over the program's HTTP client, for the worker of one
// retrieval: messages and questions go to the starting thread, and once
// the retrieval is cancelled every request fails and nothing is shown.
class CRetrievalHost : public IImdbHost {
public:
    explicit CRetrievalHost(CImdbRetrieval* retrieval) : m_retrieval(retrieval) {}

    bool Fetch(const char* url, const char* body, std::string* answer) override
    {
        if (m_retrieval->cancelled)
            return false;
        char* buffer = nullptr;
        size_t length = 0;
        bool ok = theHttpClient.Fetch(url, body, &buffer, &length, m_retrieval->status);
        if (ok && buffer != nullptr)
            answer->assign(buffer, length);
        free(buffer);
        return ok && !m_retrieval->cancelled;
    }
    std::string GetErrorText() override
    {
        char* text = theHttpClient.GetErrorText();
        std::string copy = text != nullptr ? text : "";
        free(text);
        return copy;
    }
    void ClearErrors() override { theHttpClient.ClearErrors(); }
    void SetStatus(const char* text) override { m_retrieval->status->SetSpeed(0, text); }
    void ShowError(const char* text) override
    {
        if (!m_retrieval->cancelled)
            SendMessageA(m_retrieval->messenger, WM_RETRIEVAL_ERROR, 0, reinterpret_cast<LPARAM>(text));
    }
    void AskOverwrite() override
    {
        if (!m_retrieval->cancelled)
            SendMessageA(m_retrieval->messenger, WM_RETRIEVAL_OVERWRITE, 0,
                         reinterpret_cast<LPARAM>(m_retrieval->status->GetWindow()));
    }
    ImdbPicture CheckPicture(const BYTE* data, size_t length, long* width, long* height) override
    {
        COlePicture picture;
        if (length > 0xFFFFFFFFu || !picture.LoadFromMemory(data, DWORD(length)))
            return IMDB_PICTURE_NONE;
        HDC screen = GetDC(nullptr);
        SIZE size = picture.GetPixelSize(screen);
        ReleaseDC(nullptr, screen);
        if (size.cx > 0 && size.cy > 0) {
            *width = size.cx;
            *height = size.cy;
            return IMDB_PICTURE_MEASURED;
        }
        return MeasurePicture(data, length, width, height) ? IMDB_PICTURE_MEASURED : IMDB_PICTURE_UNMEASURED;
    }

private:
    CImdbRetrieval* m_retrieval;
};

void CancelProc(void* record)
{
    CancelGetInfo(static_cast<CImdbInfo*>(record));
}

} // namespace

BYTE StartGetInfo(CImdbInfo* record, HWND owner, const char* name, bool showErrors, bool isLink)
{
    if (record == nullptr)
        return 0;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (record->m_retrieval != nullptr)
            return 0;
    }
    record->ClearSearchHits();

    CImdbRetrieval retrieval;
    retrieval.name = name != nullptr ? name : "";
    retrieval.showErrors = showErrors;
    retrieval.isLink = isLink;
    retrieval.messenger = CreateMessenger();
    CDownloadStatus status(owner, CancelProc, record);
    retrieval.status = &status;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        record->m_retrieval = &retrieval;
    }

    if (name != nullptr && retrieval.messenger != nullptr && retrieval.job.Start(GetInfoThread, record)) {
        status.Run();
        // The window is closed: by the worker at its end, or by a cancel,
        // whose worker ends soon after. A window that ended otherwise (the
        // program is quitting) cancels the retrieval.
        CancelGetInfo(record);
        while (!retrieval.job.Join(kJoinStepMs)) {
            if (retrieval.cancelled)
                theHttpClient.Close();
        }
    }

    {
        std::lock_guard<std::mutex> guard(g_lock);
        record->m_retrieval = nullptr;
    }
    if (retrieval.messenger != nullptr)
        DestroyWindow(retrieval.messenger);
    return retrieval.cancelled ? 0 : retrieval.result;
}

UINT GetInfoThread(LPVOID param)
{
    CImdbInfo* record = static_cast<CImdbInfo*>(param);
    CImdbRetrieval* retrieval = record != nullptr ? record->m_retrieval : nullptr;
    if (retrieval == nullptr)
        return 1;
    // Pictures are checked through the system's picture object.
    HRESULT com = CoInitialize(nullptr);
    // However the worker ends, the status window closes and the starter
    // goes on: a retrieval that did not finish changes nothing.
    struct AtEnd {
        CImdbRetrieval* retrieval;
        HRESULT com;
        ~AtEnd()
        {
            retrieval->status->Close();
            if (SUCCEEDED(com))
                CoUninitialize();
        }
    } atEnd = {retrieval, com};

    // The retrieval works on a copy: a cancelled or failed one changes
    // nothing. A failure (out of memory, say) is shown like the site's own
    // errors, and the retrieval ends with 0.
    CRetrievalHost host(retrieval);
    std::unique_ptr<CImdbInfo> scratch;
    bool ok = false;
    try {
        scratch.reset(new CImdbInfo);
        scratch->CopyFrom(*record);
        ok = GetInfo(*scratch, host, retrieval->name.c_str(), retrieval->showErrors, false, -1, retrieval->isLink);
    } catch (...) {
        if (retrieval->showErrors)
            host.ShowError(AfxCaughtExceptionText().c_str());
        return AFX_THREAD_FAILED;
    }
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (!retrieval->cancelled) {
            record->CopyFrom(*scratch);
            retrieval->result = ok ? 1 : 0;
            retrieval->finished = true;
        }
    }
    return 0;
}

void CancelGetInfo(CImdbInfo* record)
{
    if (record == nullptr)
        return;
    std::lock_guard<std::mutex> guard(g_lock);
    CImdbRetrieval* retrieval = record->m_retrieval;
    if (retrieval == nullptr || retrieval->finished)
        return;
    retrieval->cancelled = true;
    retrieval->result = 0;
    theHttpClient.Close();
    retrieval->status->Close();
}

void ApplyRetrievedTitle(CMovie& movie, bool keepMovieTitle)
{
    CImdbInfo* record = movie.m_imdbInfo.get();
    if (record == nullptr || StrEqual(record->m_title, ""))
        return;
    if (keepMovieTitle && !StrEqual(movie.m_title, ""))
        StrSet(&record->m_title, movie.m_title);
    else
        StrSet(&movie.m_title, record->m_title);
}

bool DownloadCover(const char* address, std::vector<BYTE>* cover)
{
    cover->clear();
    theHttpClient.ClearErrors();
    char* page = nullptr;
    size_t length = 0;
    if (address == nullptr || !theHttpClient.Fetch(address, nullptr, &page, &length, nullptr)) {
        char* errors = theHttpClient.GetErrorText();
        ShowError(0, "Unable to download cover image.\r\n%s", errors != nullptr ? errors : "");
        free(errors);
        free(page);
        return false;
    }
    std::string image = FindCoverImageAddress(page, length);
    free(page);
    page = nullptr;
    if (image.empty())
        return false;
    if (!theHttpClient.Fetch(image.c_str(), nullptr, &page, &length, nullptr)) {
        ShowError(0, "Unable to retrieve image at: %s", image.c_str());
        free(page);
        return false;
    }
    const BYTE* bytes = reinterpret_cast<const BYTE*>(page);
    cover->assign(bytes, bytes + length);
    free(page);
    return true;
}

#endif // _WIN32
