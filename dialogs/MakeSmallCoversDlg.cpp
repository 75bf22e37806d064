#include "dialogs/MakeSmallCoversDlg.h"

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "core/ImdbInfo.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/SmallCoverSize.h"
#include "resources/resource.h"

namespace {

const size_t kChunk = 4096;

// The image format of a cover's type text; unknown types are tried as BMP.
DWORD CoverFormat(const char* type)
{
    if (StrEqualNoCase(type, "jpg") || StrEqualNoCase(type, "jpeg"))
        return IMAGE_FORMAT_JPEG;
    if (StrEqualNoCase(type, "gif"))
        return IMAGE_FORMAT_GIF;
    if (StrEqualNoCase(type, "png"))
        return IMAGE_FORMAT_PNG;
    return IMAGE_FORMAT_BMP;
}

bool WriteCoverFile(const char* path, const std::vector<BYTE>& bytes, const std::atomic<bool>& cancel)
{
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size(); done += kChunk) {
        size_t n = bytes.size() - done < kChunk ? bytes.size() - done : kChunk;
        ok = !cancel && std::fwrite(bytes.data() + done, 1, n, file) == n;
    }
    return std::fclose(file) == 0 && ok;
}

bool ReadCoverFile(const char* path, std::vector<BYTE>* bytes, const std::atomic<bool>& cancel)
{
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return false;
    bytes->clear();
    BYTE chunk[kChunk];
    size_t got;
    while (!cancel && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->insert(bytes->end(), chunk, chunk + got);
    bool ok = !cancel && !std::ferror(file) && !bytes->empty();
    std::fclose(file);
    return ok;
}

// A large cover of a known type is written to the file, read as a picture,
// resized to 93 pixels wide and written back in its format; any failure, or
// a cancel, leaves the record as it was.
void ShrinkCover(CImdbInfo& info, CxImage& image, const char* path, const std::atomic<bool>& cancel)
{
    if (info.m_cover.empty() || info.m_coverSizeClass != COVER_SIZE_LARGE || info.m_coverType == nullptr ||
        info.m_coverType[0] == '\0')
        return;
    if (!WriteCoverFile(path, info.m_cover, cancel))
        return;
    DWORD format = CoverFormat(info.m_coverType);
    if (cancel || !image.Load(path, format))
        return;
    uint64_t height = SmallCoverHeight(image.GetWidth(), image.GetHeight());
    if (cancel || height > 0x7FFFFFFF || !image.Resize(kSmallCoverWidth, DWORD(height), 0))
        return;
    std::vector<BYTE> bytes;
    if (cancel || !image.Save(path, format) || !ReadCoverFile(path, &bytes, cancel))
        return;
    info.m_coverSizeClass = COVER_SIZE_SMALL;
    info.m_cover.swap(bytes);
}

} // namespace

UINT MakeSmallCoversThread(LPVOID param)
{
    CSmallCoversJob* job = static_cast<CSmallCoversJob*>(param);
    const DWORD count = theCollection.GetMovieCount();
    // Up to 1000 movies the bar counts movies, beyond it thousandths.
    ::SendMessage(job->m_progress, PBM_SETRANGE32, 0, LPARAM(count <= 1000 ? count : 1000));
    ::SendMessage(job->m_progress, PBM_SETPOS, 0, 0);
    // The cover's file goes to a name of its own in the temporary folder.
    char folder[MAX_PATH];
    char path[MAX_PATH];
    DWORD length = ::GetTempPathA(sizeof folder, folder);
    bool havePath = length > 0 && length < sizeof folder && ::GetTempFileNameA(folder, "vsc", 0, path) != 0;
    DWORD id = NO_ID;
    for (DWORD index = 0; havePath && index < count && !job->IsStopRequested(); index++) {
        id = theCollection.GetNextIdOfMovie(id);
        if (id == NO_ID)
            break;
        CMovie* movie = theCollection.GetMovieCopy(id);
        if (movie != nullptr) {
            if (movie->m_imdbInfo != nullptr)
                ShrinkCover(*movie->m_imdbInfo, job->m_image, path, job->StopFlag());
            // Handed back also after a cancel: the store keeps no copy out.
            theCollection.ReleaseMovieCopy(&movie);
        }
        int position = count <= 1000 ? int(index) : int(uint64_t(index) * 1000 / count);
        ::SendMessage(job->m_progress, PBM_SETPOS, WPARAM(position), 0);
    }
    if (havePath)
        ::DeleteFileA(path);
    if (job->IsStopRequested()) {
        job->SetDone();
        return 1;
    }
    ::PostMessage(job->m_dialog, WM_CLOSE, 0, 0);
    job->RequestStop();
    job->SetDone();
    return 0;
}

CMakeSmallCoversDlg::CMakeSmallCoversDlg(CWnd* pParent) : CDialog(IDD_MAKE_SMALL_COVERS, pParent)
{
}

CMakeSmallCoversDlg::~CMakeSmallCoversDlg()
{
    m_job.reset();  // joins a worker still running
}

BOOL CMakeSmallCoversDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_progress.SubclassDlgItem(IDC_SMALL_COVERS_PROGRESS, this);
    m_job.reset(new CSmallCoversJob);
    m_job->m_dialog = m_hWnd;
    m_job->m_progress = m_progress.m_hWnd;
    m_job->Start(MakeSmallCoversThread, m_job.get());
    return TRUE;
}

void CMakeSmallCoversDlg::OnCancel()
{
    // The worker stops at its next step, or inside the resampling through the
    // image's escape; the wait serves its messages to the progress bar.
    if (m_job != nullptr) {
        m_job->RequestStop();
        m_job->m_image.SetEscape(1);
        m_job->Join(INFINITE);
    }
    CDialog::OnCancel();
}
