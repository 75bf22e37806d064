#include "dialogs/MovieMainPage.h"

#include <commctrl.h>

#include <cstdio>

#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "core/WndText.h"
#include "dialogs/LoanDlg.h"
#include "dialogs/MovieFilesPage.h"
#include "dialogs/MovieInfoDlg.h"
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

    // The retrieval's seams stay disabled until it is built.
    EnableItem(IDC_MAIN_UPDATE, false);
    EnableItem(IDC_MAIN_CHANGE_ID, false);
    EnableItem(IDC_MAIN_WHAT_IS_IMDB, false);
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
    if (!movie->m_imdbInfo)
        movie->m_imdbInfo.reset(new CImdbInfo);
    CImdbInfo& info = *movie->m_imdbInfo;
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
    std::string address = GetDlgItemText(IDC_MAIN_ADDRESS);
    if (!address.empty())
        ::ShellExecuteA(m_hWnd, "open", address.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
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
    OnCoverMenu(screen);
}

void CMovieMainPage::OnLButtonDblClk(UINT, CPoint point)
{
    if (InCover(point))
        OnShowCover();
    else
        Default();
}

// The retrieval completes these: the update and its merge into the pages,
// the change-id dialog, the note on the site, and the cover menu with its
// operations on the edited movie's record.
void CMovieMainPage::OnUpdateFromImdb()
{
}

void CMovieMainPage::OnChangeId()
{
}

void CMovieMainPage::OnWhatIsImdb()
{
}

void CMovieMainPage::OnCoverMenu(POINT)
{
}

void CMovieMainPage::OnShowCover()
{
}
