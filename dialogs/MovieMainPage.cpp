#include "dialogs/MovieMainPage.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/OlePicture.h"
#include "app/ShowCoverDlg.h"
#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "core/WndText.h"
#include "dialogs/ChangeIdDlg.h"
#include "dialogs/LoanDlg.h"
#include "dialogs/MovieActorsPage.h"
#include "dialogs/MovieFilesPage.h"
#include "dialogs/MovieInfoDlg.h"
#include "dialogs/MoviePlotPage.h"
#include "dialogs/MultipleResultsDlg.h"
#include "dialogs/WhatIsImdbDlg.h"
#include "net/ImdbParse.h"
#include "net/ImdbRetrieval.h"
#include "resources/resource.h"

namespace {

// Edits that become read-only with the dialog.
const int kEdits[] = { IDC_MAIN_TITLE, IDC_MAIN_YEAR, IDC_MAIN_DIRECTOR, IDC_MAIN_GENRE, IDC_MAIN_COUNTRY,
                       IDC_MAIN_RUNTIME, IDC_MAIN_LANGUAGE, IDC_MAIN_SUBTITLES, IDC_MAIN_ADDRESS };
// Controls that a read-only dialog disables.
const int kReadOnlyDisabled[] = { IDC_MAIN_CHANGE_ID, IDC_MAIN_UPDATE, IDC_MAIN_SEEN, IDC_MAIN_HAS_SUBTITLES,
                                  IDC_MAIN_BORROWED, IDC_MAIN_RETURNED, IDC_MAIN_RATE };

// The number typed into a number edit, held at limit: the leading digits
// (0 for none), never wrapped.
unsigned long ClampedNumber(const std::string& text, unsigned long limit)
{
    unsigned long value = 0;
    for (char c : text) {
        if (!IsAsciiDigit(c))
            break;
        unsigned digit = unsigned(c - '0');
        if (value > (limit - digit) / 10)
            return limit;
        value = value * 10 + digit;
    }
    return value;
}

// A cover file larger than this is no cover.
const long kMaxCoverFile = 16L * 1024 * 1024;

void ShowStop(HWND owner, const char* text)
{
    AfxShowMessageBox(owner, text, "Error", MB_OK | MB_ICONSTOP);
}

} // namespace

BEGIN_MESSAGE_MAP(CMovieMainPage, CMovieDlg_0)
    ON_EN_CHANGE(IDC_MAIN_TITLE, OnTitleChange)
    ON_EN_CHANGE(IDC_MAIN_ADDRESS, OnAddressChange)
    ON_BN_CLICKED(IDC_MAIN_HAS_SUBTITLES, OnSubtitlesClicked)
    ON_BN_CLICKED(IDC_MAIN_GOTO, OnGoto)
    ON_BN_CLICKED(IDC_MAIN_BORROWED, OnBorrowed)
    ON_BN_CLICKED(IDC_MAIN_RETURNED, OnReturned)
    ON_BN_CLICKED(IDC_MAIN_UPDATE, OnUpdateFromImdb)
    ON_BN_CLICKED(IDC_MAIN_CHANGE_ID, OnChangeId)
    ON_BN_CLICKED(IDC_MAIN_WHAT_IS_IMDB, OnWhatIsImdb)
    ON_WM_HSCROLL()
    ON_WM_RBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CMovieMainPage::CMovieMainPage()
    : CMovieDlg_0(IDD_MOVIE_MAIN, nullptr),
      m_shownBorrower(NO_ID),
      m_openingBorrower(NO_ID),
      m_loanIndex(-1),
      m_borrowedOn{},
      m_exchange(true)
{
    m_focusId = IDC_MAIN_TITLE;
}

BOOL CMovieMainPage::CreatePage(CWnd* parent)
{
    return CreateFromResource(parent);
}

void CMovieMainPage::OnSetMovie(const CMovie* source)
{
    m_shownBorrower = m_openingBorrower = NO_ID;
    m_loanIndex = -1;
    m_borrowedOn = SYSTEMTIME{};
    CMovieCollection* collection = Collection();
    if (source == nullptr || collection == nullptr)
        return;
    int index = -1;
    CPerson* person = collection->FindBorrower(source->m_id, &index);
    if (person != nullptr && index >= 0 && DWORD(index) < person->GetLoanCount()) {
        m_shownBorrower = m_openingBorrower = person->m_id;
        m_loanIndex = index;
        m_borrowedOn = person->m_loans[size_t(index)].m_borrowed.m_time;
    }
    collection->ReleasePersonCopy(&person);
}

BOOL CMovieMainPage::OnInitDialog()
{
    CMovieDlg_0::OnInitDialog();
    m_cover.SubclassDlgItem(IDC_COVER, this);
    FillFromMovie(false);
    HWND title = ::GetDlgItem(m_hWnd, IDC_MAIN_TITLE);
    ::SendMessage(title, EM_SETSEL, 0, -1);
    ::SendMessage(title, EM_SCROLLCARET, 0, 0);
    return FALSE;
}

std::string CMovieMainPage::GetTitleText() const
{
    return GetDlgItemText(IDC_MAIN_TITLE);
}

bool CMovieMainPage::HasTitleText() const
{
    return m_hWnd != NULL && ItemHasText(IDC_MAIN_TITLE);
}

void CMovieMainPage::SetNumber(int id, unsigned long value)
{
    if (value == 0)
        SetDlgItemText(id, "");
    else
        SetWndLong(::GetDlgItem(m_hWnd, id), long(value));
}

void CMovieMainPage::FillFromMovie(bool fromImdb)
{
    CMovieInfoDlg* owner = GetOwner();
    CMovie* movie = EditedMovie();
    if (owner == nullptr || m_hWnd == NULL)
        return;
    HWND save = ::GetDlgItem(owner->m_hWnd, IDC_MOVIEINFO_SAVE);
    HWND remove = ::GetDlgItem(owner->m_hWnd, IDC_MOVIEINFO_REMOVE);
    if (IsNewMovie()) {
        ::SetWindowTextA(save, "Create");
        ::ShowWindow(remove, SW_HIDE);
        SetDlgItemText(IDC_MAIN_CHANGE_ID, "Set ID");
    }
    if (IsReadOnly()) {
        // Hidden and disabled, so that Enter can't reach them either.
        ::ShowWindow(save, SW_HIDE);
        ::EnableWindow(save, FALSE);
        ::ShowWindow(remove, SW_HIDE);
        for (int id : kEdits)
            SetItemReadOnly(id, true);
        for (int id : kReadOnlyDisabled)
            EnableItem(id, false);
    }

    if (movie != nullptr) {
        ShowLoanText();
        SetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_TITLE), movie->m_title);
        if (movie->m_id == NO_ID)
            SetDlgItemText(IDC_MAIN_ID, "");
        else
            SetWndLong(::GetDlgItem(m_hWnd, IDC_MAIN_ID), long(movie->m_id));
        if (!fromImdb) {
            SetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_LANGUAGE), movie->m_language);
            CheckDlgButton(IDC_MAIN_SEEN, movie->m_seen ? BST_CHECKED : BST_UNCHECKED);
            CheckDlgButton(IDC_MAIN_HAS_SUBTITLES, movie->m_hasSubtitles ? BST_CHECKED : BST_UNCHECKED);
            EnableItem(IDC_MAIN_SUBTITLES, movie->m_hasSubtitles != 0);
            SetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_SUBTITLES), movie->m_subtitles);
        }
        const CImdbInfo* info = movie->m_imdbInfo.get();
        if (info != nullptr) {
            SetNumber(IDC_MAIN_YEAR, info->m_year);
            int overwrite = OverwriteBits();
            if (!fromImdb || (overwrite & 16) != 0 || ((overwrite & 1) != 0 && !ItemHasText(IDC_MAIN_RATE_TEXT)))
                ShowRating(info->m_rating);
            SetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_DIRECTOR), info->m_director);
            SetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_GENRE), info->m_genre);
            SetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_ADDRESS), info->m_address);
            SetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_COUNTRY), info->m_country);
            SetNumber(IDC_MAIN_RUNTIME, info->m_runtime);
            m_cover.SetImageAndSize(info->HasCover() ? info->m_cover.data() : nullptr, info->GetCoverLength(),
                                    false, true);
        }
    }
    OnAddressChange();
    OnTitleChange();
}

void CMovieMainPage::ShowRating(double rating)
{
    HWND bar = ::GetDlgItem(m_hWnd, IDC_MAIN_RATE);
    ::SendMessage(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    ::SendMessage(bar, TBM_SETTICFREQ, 10, 0);
    ::SendMessage(bar, TBM_SETLINESIZE, 0, 1);
    ::SendMessage(bar, TBM_SETPAGESIZE, 0, 10);
    if (rating == -1.0) {
        SetDlgItemText(IDC_MAIN_RATE_TEXT, "");
        ::SendMessage(bar, TBM_SETPOS, TRUE, 0);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", rating);
    SetDlgItemText(IDC_MAIN_RATE_TEXT, text);
    // A stored rating outside 0-10 (or not a number) holds the bar at its
    // ends instead of overflowing the position.
    double scaled = rating * 10.0;
    int position = !(scaled > 0.0) ? 0 : scaled >= 100.0 ? 100 : int(scaled);
    ::SendMessage(bar, TBM_SETPOS, TRUE, position);
}

void CMovieMainPage::ShowRatingText(int position)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", position * double(0.1f));
    SetDlgItemText(IDC_MAIN_RATE_TEXT, text);
}

void CMovieMainPage::ShowLoanText()
{
    bool readOnly = IsReadOnly();
    if (m_shownBorrower == NO_ID) {
        SetDlgItemText(IDC_MAIN_LOAN_TEXT, "Nobody is borrowing this movie.");
        EnableItem(IDC_MAIN_RETURNED, false);
        EnableItem(IDC_MAIN_BORROWED, !readOnly);
        return;
    }
    std::string name;
    CMovieCollection* collection = Collection();
    CPerson* person = collection != nullptr ? collection->GetPersonCopy(m_shownBorrower) : nullptr;
    if (person != nullptr && person->m_name != nullptr)
        name = person->m_name;
    if (collection != nullptr)
        collection->ReleasePersonCopy(&person);
    char* text = nullptr;
    if (m_shownBorrower != m_openingBorrower)
        StrAppendFormat(&text, "%s is borrowing this movie since now.", name.c_str());
    else
        StrAppendFormat(&text, "%s is borrowing this movie since %d-%02d-%02d.", name.c_str(),
                        int(m_borrowedOn.wYear), int(m_borrowedOn.wMonth), int(m_borrowedOn.wDay));
    SetDlgItemText(IDC_MAIN_LOAN_TEXT, text != nullptr ? text : "");
    free(text);
    EnableItem(IDC_MAIN_RETURNED, !readOnly);
    EnableItem(IDC_MAIN_BORROWED, false);
}

bool CMovieMainPage::SaveToMovie()
{
    CMovie* movie = EditedMovie();
    if (movie == nullptr || m_hWnd == NULL)
        return true;
    GetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_TITLE), &movie->m_title);
    CImdbInfo& info = *EditedRecord();
    movie->m_seen = IsDlgButtonChecked(IDC_MAIN_SEEN) == BST_CHECKED ? 1 : 0;
    // Typed numbers are held at what their fields take: the year is 16-bit.
    info.m_year = WORD(ClampedNumber(GetDlgItemText(IDC_MAIN_YEAR), 0xFFFF));
    info.m_runtime = DWORD(ClampedNumber(GetDlgItemText(IDC_MAIN_RUNTIME), 0xFFFFFFFFul));
    int position = int(SendDlgItemMessage(IDC_MAIN_RATE, TBM_GETPOS));
    if (ItemHasText(IDC_MAIN_RATE_TEXT) || position >= 1)
        info.m_rating = position * double(0.1f);
    GetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_LANGUAGE), &movie->m_language);
    movie->m_hasSubtitles = IsDlgButtonChecked(IDC_MAIN_HAS_SUBTITLES) == BST_CHECKED ? 1 : 0;
    if (movie->m_hasSubtitles) {
        GetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_SUBTITLES), &movie->m_subtitles);
    } else {
        free(movie->m_subtitles);
        movie->m_subtitles = nullptr;
    }
    GetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_DIRECTOR), &info.m_director);
    GetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_GENRE), &info.m_genre);
    GetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_ADDRESS), &info.m_address);
    GetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_COUNTRY), &info.m_country);
    return true;
}

void CMovieMainPage::ApplyChangedId(DWORD id, bool exchange)
{
    CMovie* movie = EditedMovie();
    if (movie == nullptr || id == NO_ID)
        return;
    movie->m_id = id;
    m_exchange = exchange;
    SetWndLong(::GetDlgItem(m_hWnd, IDC_MAIN_ID), long(id));
}

void CMovieMainPage::OnTitleChange()
{
    CMovieInfoDlg* owner = GetOwner();
    if (owner == nullptr || owner->m_hWnd == NULL)
        return;
    bool hasText = HasTitleText();
    if (!IsReadOnly())
        ::EnableWindow(::GetDlgItem(owner->m_hWnd, IDC_MOVIEINFO_SAVE), hasText);
    CMovieFilesPage* files = owner->GetFilesPage();
    if (files != nullptr && files->m_hWnd != NULL)
        files->AllowAdd(hasText);
    owner->SetWindowText(("Movie Info - " + GetTitleText()).c_str());
}

void CMovieMainPage::OnAddressChange()
{
    EnableItem(IDC_MAIN_GOTO, ItemHasText(IDC_MAIN_ADDRESS));
}

void CMovieMainPage::OnGoto()
{
    OpenAddress(GetDlgItemText(IDC_MAIN_ADDRESS));
}

void CMovieMainPage::OnSubtitlesClicked()
{
    EnableItem(IDC_MAIN_SUBTITLES, IsDlgButtonChecked(IDC_MAIN_HAS_SUBTITLES) == BST_CHECKED);
}

void CMovieMainPage::OnHScroll(UINT, UINT, CWnd* pScrollBar)
{
    if (pScrollBar == nullptr || pScrollBar->m_hWnd != ::GetDlgItem(m_hWnd, IDC_MAIN_RATE))
        return;
    ShowRatingText(int(SendDlgItemMessage(IDC_MAIN_RATE, TBM_GETPOS)));
}

void CMovieMainPage::OnBorrowed()
{
    if (IsReadOnly())
        return;
    CLoanDlg dialog(GetOwner());
    std::string title = GetTitleText();
    dialog.SetMovie(title.c_str());
    if (dialog.DoModal() != IDOK || dialog.GetPersonId() == NO_ID)
        return;
    m_shownBorrower = dialog.GetPersonId();
    ShowLoanText();
}

void CMovieMainPage::OnReturned()
{
    if (IsReadOnly())
        return;
    m_shownBorrower = NO_ID;
    ShowLoanText();
}

bool CMovieMainPage::InCover(CPoint point) const
{
    if (m_cover.m_hWnd == NULL)
        return false;
    RECT cover;
    m_cover.GetWindowRect(&cover);
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    return ::PtInRect(&cover, screen) != FALSE;
}

void CMovieMainPage::OnRButtonDown(UINT, CPoint point)
{
    if (!InCover(point)) {
        Default();
        return;
    }
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    m_cover.ShowCoverMenu(screen, IsReadOnly());
}

void CMovieMainPage::OnLButtonDblClk(UINT, CPoint point)
{
    if (InCover(point))
        ShowCover();
    else
        Default();
}

void CMovieMainPage::OnPaint()
{
    Default();
    if (m_cover.m_hWnd != NULL)
        ::RedrawWindow(m_cover.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool CMovieMainPage::Retrieve(CImdbInfo* record, const std::string& name, bool isLink, const char* failure)
{
    HWND owner = GetOwner() != nullptr ? GetOwner()->m_hWnd : m_hWnd;
    if (StartGetInfo(record, owner, name.c_str(), true, isLink))
        return true;
    ShowStop(m_hWnd, failure);
    return false;
}

void CMovieMainPage::OnUpdateFromImdb()
{
    CMovie* movie = EditedMovie();
    if (movie == nullptr || IsReadOnly())
        return;
    CWinApp* app = AfxGetApp();
    bool updateTitle = app == nullptr || app->GetProfileInt("update", "dont_update_title", 0) != 1;
    EnableItem(IDC_MAIN_UPDATE, false);
    if (!movie->m_imdbInfo)
        movie->m_imdbInfo.reset(new CImdbInfo);
    CImdbInfo* record = movie->m_imdbInfo.get();

    std::string address = GetDlgItemText(IDC_MAIN_ADDRESS);
    std::string title = GetTitleText();
    if (title.empty() && movie->m_title != nullptr)
        title = movie->m_title;

    bool retrieved = false;
    if (title.empty() && address.empty())
        ShowStop(m_hWnd, "The movie must have a name so I can search for it.");
    else if (!address.empty())
        retrieved = Retrieve(record, address, true,
                             "Unable to perform search.\nAre the IMDB address correct ?\nAre you really connected "
                             "to the internet ?");
    else
        retrieved = Retrieve(record, title, false, "Unable to perform search.\nAre you really connected to the internet ?");

    if (retrieved && record->m_complete) {
        MergeRetrieved(updateTitle);
    } else if (retrieved && !record->m_hits.empty()) {
        CMultipleResultsDlg choice(GetOwner());
        choice.SetResults(&record->m_hits);
        std::string link;
        if (choice.DoModal() == IDOK) {
            if (!choice.GetSelection(&link) || link.empty())
                AfxShowMessageBox(m_hWnd, "Somehow you managed to select invalid data.\nProbably my fault...",
                                  "Error ?", MB_OK);
            else if (Retrieve(record, link, true,
                              "Unable to perform search.\nAre you still connected to the internet ?\nIf you are, "
                              "then it's probably my fault...\nTry to make the movies title more searchable ;)="))
                MergeRetrieved(updateTitle);
        }
    } else if (retrieved) {
        MessageBox("Unable to find a movie with this name at IMDb.", nullptr, MB_OK);
    }
    EnableItem(IDC_MAIN_UPDATE, true);
}

void CMovieMainPage::MergeRetrieved(bool updateTitle)
{
    CMovie* movie = EditedMovie();
    // A title typed on the page counts as the movie's own.
    if (HasTitleText())
        GetWndText(::GetDlgItem(m_hWnd, IDC_MAIN_TITLE), &movie->m_title);
    ApplyRetrievedTitle(*movie, !updateTitle);
    FillFromMovie(true);
    CMovieInfoDlg* owner = GetOwner();
    if (owner == nullptr)
        return;
    if (CMoviePlotPage* plot = owner->GetPlotPage())
        plot->FillFromMovie(true);
    if (CMovieActorsPage* actors = owner->GetActorsPage())
        actors->FillFromMovie();
}

void CMovieMainPage::OnChangeId()
{
    CMovie* movie = EditedMovie();
    if (movie == nullptr || IsReadOnly())
        return;
    CChangeIdDlg dialog(GetOwner());
    dialog.SetMovie(movie, movie->m_id);
    if (dialog.DoModal() != IDOK)
        return;
    DWORD id = movie->m_id;
    bool exchange = m_exchange;
    dialog.GetResult(&id, &exchange);
    ApplyChangedId(id, exchange);
}

void CMovieMainPage::OnWhatIsImdb()
{
    CWhatIsImdbDlg dialog(GetOwner());
    dialog.DoModal();
}

bool CMovieMainPage::HasCover()
{
    CMovie* movie = EditedMovie();
    return movie != nullptr && movie->m_imdbInfo && movie->m_imdbInfo->HasCover();
}

void CMovieMainPage::ShowCover()
{
    if (!HasCover())
        return;
    const CImdbInfo& record = *EditedMovie()->m_imdbInfo;
    CShowCoverDlg dialog(GetOwner());
    dialog.SetCover(record.GetCoverLength(), record.m_cover.data());
    dialog.DoModal();
}

void CMovieMainPage::GetCoverType(char** type)
{
    CMovie* movie = EditedMovie();
    StrAssign(type, movie != nullptr && movie->m_imdbInfo ? movie->m_imdbInfo->m_coverType : nullptr);
}

bool CMovieMainPage::SaveCover(const char* path)
{
    if (!HasCover())
        return false;
    const std::vector<BYTE>& cover = EditedMovie()->m_imdbInfo->m_cover;
    FILE* file = path != nullptr ? fopen(path, "wb") : nullptr;
    if (file == nullptr) {
        ShowError(0, "Unable to create file %s", path != nullptr ? path : "");
        return false;
    }
    bool written = fwrite(cover.data(), 1, cover.size(), file) == cover.size();
    written = fclose(file) == 0 && written;
    if (!written) {
        ShowError(0, "Unable to write to file");
        return false;
    }
    return true;
}

bool CMovieMainPage::LoadCover(const char* path)
{
    CMovie* movie = EditedMovie();
    if (movie == nullptr)
        return false;
    FILE* file = path != nullptr ? fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        ShowError(0, "Unable to open file %s", path != nullptr ? path : "");
        return false;
    }
    // The whole file in one read; a file too large for a cover is refused.
    long size = fseek(file, 0, SEEK_END) == 0 ? ftell(file) : -1;
    std::vector<BYTE> bytes;
    if (size > 0 && size <= kMaxCoverFile && fseek(file, 0, SEEK_SET) == 0) {
        bytes.resize(size_t(size));
        if (fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
            bytes.clear();
    }
    fclose(file);
    if (size > kMaxCoverFile) {
        ShowError(0, "Unable to read image data");
        return false;
    }
    if (bytes.empty()) {
        ShowError(0, "Unable to read file or file empty");
        return false;
    }
    COlePicture picture;
    if (!picture.LoadFromMemory(bytes.data(), DWORD(bytes.size()))) {
        ShowError(0, "Unable to read image data");
        return false;
    }
    CImdbInfo& record = *EditedRecord();
    record.m_coverSizeClass = COVER_SIZE_UNKNOWN;
    StrAssign(&record.m_coverType, CoverTypeOf(path, false, bytes.data(), bytes.size()).c_str());
    record.m_cover = std::move(bytes);
    m_cover.SetImageAndSize(record.m_cover.data(), record.GetCoverLength(), false, true);
    return true;
}

bool CMovieMainPage::RemoveCover()
{
    if (!HasCover())
        return false;
    CImdbInfo& record = *EditedMovie()->m_imdbInfo;
    record.m_cover.clear();
    StrAssign(&record.m_coverType, nullptr);
    m_cover.SetImageAndSize(nullptr, 0, false, true);
    return true;
}
