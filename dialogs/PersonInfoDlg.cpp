#include "dialogs/PersonInfoDlg.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "app/MainFrame.h"
#include "classlib/Menu.h"
#include "classlib/ProcGuard.h"
#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/PersonLoans.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CPersonInfoDlg, CHelpDialog)
    ON_EN_CHANGE(IDC_PERSON_NAME, OnNameChange)
    ON_NOTIFY(LVN_COLUMNCLICK, IDC_PERSON_LOANS, OnColumnClick)
    ON_NOTIFY(NM_RCLICK, IDC_PERSON_LOANS, OnRightClick)
    ON_COMMAND(ID_LOAN_RETURNED, OnIsReturned)
    ON_COMMAND(ID_LOAN_LOCATE, OnLocateMovie)
END_MESSAGE_MAP()

namespace {

const char* const kColumns[] = { "Movie title", "Borrowed", "Returned" };
const int kColumnCount = 3;

struct SortContext {
    const std::vector<CLoan>* loans;
    const std::vector<std::string>* titles;
    int column;
};

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM context)
{
    // A failed comparison counts as equal; every failure of one sort is
    // the same one, reported once.
    return AfxCallGuarded(nullptr, LVM_SORTITEMS, [&] {
        const SortContext* sort = reinterpret_cast<const SortContext*>(context);
        return CompareLoans(*sort->loans, *sort->titles, int(a), int(b), sort->column);
    }, [] { return 0; });
}

std::string TodayText()
{
    CDateStamp today;
    today.SetToNow();
    return LoanDateText(today);
}

} // namespace

CPersonInfoDlg::CPersonInfoDlg(CWnd* pParent)
    : CHelpDialog(IDD_PERSON_INFO, pParent, "dialog/person_info_dialog.html"), m_personId(NO_ID),
      m_clickedLoan(-1), m_locate(false)
{
}

HWND CPersonInfoDlg::List() const
{
    return ::GetDlgItem(m_hWnd, IDC_PERSON_LOANS);
}

BOOL CPersonInfoDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    CPerson* person = theCollection.GetPersonCopy(m_personId);
    if (person != NULL) {
        SetDlgItemText(IDC_PERSON_NAME, person->m_name != NULL ? person->m_name : "");
        SetDlgItemText(IDC_PERSON_ADDRESS, person->m_address != NULL ? person->m_address : "");
        SetDlgItemText(IDC_PERSON_TELEPHONE, person->m_telephone != NULL ? person->m_telephone : "");
    }
    theCollection.ReleasePersonCopy(&person);
    HWND list = List();
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < kColumnCount; i++) {
        LVCOLUMN column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(kColumns[i]);
        column.cx = 80;
        ListView_InsertColumn(list, i, &column);
    }
    FillList();
    SortList(LOAN_COLUMN_TITLE);
    OnNameChange();
    return TRUE;
}

std::vector<CLoan> CPersonInfoDlg::CurrentLoans() const
{
    std::vector<CLoan> loans;
    CPerson* person = theCollection.GetPersonCopy(m_personId);
    if (person != NULL)
        loans = person->m_loans;
    theCollection.ReleasePersonCopy(&person);
    return LoansWithReturns(loans, m_pendingReturns);
}

void CPersonInfoDlg::FillList()
{
    HWND list = List();
    ListView_DeleteAllItems(list);
    std::vector<CLoan> stored;
    CPerson* person = theCollection.GetPersonCopy(m_personId);
    if (person != NULL)
        stored = person->m_loans;
    theCollection.ReleasePersonCopy(&person);

    std::string today = TodayText();
    m_titles.assign(stored.size(), std::string());
    int widths[kColumnCount];
    // Headers draw their texts with wider margins than the rows.
    for (int i = 0; i < kColumnCount; i++)
        widths[i] = ListView_GetStringWidth(list, kColumns[i]) + 16;
    for (size_t index = 0; index < stored.size(); index++) {
        const CLoan& loan = stored[index];
        std::string title;
        if (!theCollection.ReadMovie(loan.m_movieId, [&](const CMovie& movie) {
                title = movie.m_title != NULL ? movie.m_title : "";
            }) || title.empty())
            continue;
        m_titles[index] = title;
        bool pending = std::find(m_pendingReturns.begin(), m_pendingReturns.end(), int(index)) != m_pendingReturns.end();
        std::string texts[kColumnCount] = { title, LoanDateText(loan.m_borrowed),
                                            !loan.IsOpen() ? LoanDateText(loan.m_returned)
                                                           : (pending ? today : std::string("not returned")) };
        LVITEM item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = const_cast<char*>(texts[0].c_str());
        item.lParam = LPARAM(index);
        int row = ListView_InsertItem(list, &item);
        if (row < 0)
            continue;
        for (int column = 1; column < kColumnCount; column++)
            ListView_SetItemText(list, row, column, const_cast<char*>(texts[column].c_str()));
        for (int column = 0; column < kColumnCount; column++)
            widths[column] = std::max(widths[column], ListView_GetStringWidth(list, texts[column].c_str()));
    }
    for (int column = 0; column < kColumnCount; column++)
        ListView_SetColumnWidth(list, column, widths[column] + 20);

    // Counted over every loan, listed or not.
    LoanTotals totals = CountLoans(LoansWithReturns(stored, m_pendingReturns));
    char text[160];
    std::snprintf(text, sizeof text, "Is borrowing %ld movies right now and have borrowed %ld movies total.",
                  totals.open, totals.returned);
    SetDlgItemText(IDC_PERSON_STATISTICS, text);
}

void CPersonInfoDlg::SortList(int column)
{
    std::vector<CLoan> loans = CurrentLoans();
    SortContext context = { &loans, &m_titles, column };
    ListView_SortItems(List(), CompareRows, LPARAM(&context));
}

void CPersonInfoDlg::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMLISTVIEW* view = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    SortList(view->iSubItem);
    *pResult = 0;
}

void CPersonInfoDlg::OnRightClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    HWND list = List();
    // The list names the row and the point of the click.
    const NMITEMACTIVATE* click = reinterpret_cast<const NMITEMACTIVATE*>(pNMHDR);
    int row = click->iItem;
    if (row < 0 || row >= ListView_GetItemCount(list))
        return;
    POINT point = click->ptAction;
    ::ClientToScreen(list, &point);
    LVITEM item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!ListView_GetItem(list, &item))
        return;
    std::vector<CLoan> loans = CurrentLoans();
    if (item.lParam < 0 || size_t(item.lParam) >= loans.size())
        return;
    m_clickedLoan = int(item.lParam);

    CMenu menu;
    if (!menu.LoadMenu(IDR_LOAN_MENU))
        return;
    HMENU popup = ::GetSubMenu(menu, 0);
    ::EnableMenuItem(popup, ID_LOAN_RETURNED,
                     MF_BYCOMMAND | (loans[size_t(m_clickedLoan)].IsOpen() ? MF_ENABLED : MF_GRAYED));
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, NULL);
}

void CPersonInfoDlg::OnIsReturned()
{
    std::vector<CLoan> loans = CurrentLoans();
    if (m_clickedLoan < 0 || size_t(m_clickedLoan) >= loans.size() || !loans[size_t(m_clickedLoan)].IsOpen())
        return;
    m_pendingReturns.push_back(m_clickedLoan);
    FillList();
}

bool CPersonInfoDlg::Apply()
{
    std::string name = GetDlgItemText(IDC_PERSON_NAME);
    if (FindPersonByName(theCollection, name.c_str(), m_personId) != NO_ID) {
        AfxShowMessageBox(m_hWnd, "There is already a person named this in the database.\nPlease change name of person.",
                          "Input error", MB_OK | MB_ICONSTOP);
        return false;
    }
    CPerson* person = theCollection.GetPersonCopy(m_personId);
    if (person == NULL) {
        ShowError(0, "The person dosn't exist in database anymore ?");
        return false;
    }
    StrSet(&person->m_name, name.c_str());
    StrSet(&person->m_address, GetDlgItemText(IDC_PERSON_ADDRESS).c_str());
    StrSet(&person->m_telephone, GetDlgItemText(IDC_PERSON_TELEPHONE).c_str());
    for (int index : m_pendingReturns) {
        if (index >= 0 && size_t(index) < person->m_loans.size() && person->m_loans[size_t(index)].IsOpen())
            person->m_loans[size_t(index)].m_returned.SetToNow();
    }
    theCollection.ReleasePersonCopy(&person);
    m_pendingReturns.clear();
    return true;
}

void CPersonInfoDlg::OnOK()
{
    if (Apply())
        EndDialog(IDOK);
}

void CPersonInfoDlg::OnLocateMovie()
{
    std::vector<CLoan> loans = CurrentLoans();
    if (m_clickedLoan < 0 || size_t(m_clickedLoan) >= loans.size() || !Apply())
        return;
    if (CMainFrame* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
        frame->OnViewNotify(VIEW_NOTIFY_MOVIE, loans[size_t(m_clickedLoan)].m_movieId);
    m_locate = true;
    EndDialog(IDOK);
}

void CPersonInfoDlg::OnNameChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), !GetDlgItemText(IDC_PERSON_NAME).empty());
}
