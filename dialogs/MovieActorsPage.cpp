#include "dialogs/MovieActorsPage.h"

#include <commctrl.h>

#include "core/Movie.h"
#include "dialogs/ActorDlg.h"
#include "dialogs/MovieInfoDlg.h"
#include "net/ImdbPersonAddress.h"
#include "resources/resource.h"

namespace {

const int kPadding = 20;
const char kAs[] = " as ";

} // namespace

BEGIN_MESSAGE_MAP(CMovieActorsPage, CMovieDlg_0)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_ACTORS_LIST, OnItemChanged)
    ON_BN_CLICKED(IDC_ACTORS_ADD, OnAdd)
    ON_BN_CLICKED(IDC_ACTORS_EDIT, OnEdit)
    ON_BN_CLICKED(IDC_ACTORS_REMOVE, OnRemove)
    ON_BN_CLICKED(IDC_ACTORS_REMOVE_ALL, OnRemoveAll)
    ON_BN_CLICKED(IDC_ACTORS_UP, OnMoveUp)
    ON_BN_CLICKED(IDC_ACTORS_DOWN, OnMoveDown)
    ON_BN_CLICKED(IDC_ACTORS_SHOW_IMDB, OnShowImdb)
END_MESSAGE_MAP()

CMovieActorsPage::CMovieActorsPage() : CMovieDlg_0(IDD_MOVIE_ACTORS, nullptr)
{
}

BOOL CMovieActorsPage::CreatePage(CWnd* parent)
{
    return CreateFromResource(parent);
}

int CMovieActorsPage::TextWidth(const char* text) const
{
    return int(m_list.SendMessage(LVM_GETSTRINGWIDTHA, 0, LPARAM(text != nullptr ? text : "")));
}

BOOL CMovieActorsPage::OnInitDialog()
{
    CMovieDlg_0::OnInitDialog();
    m_list.SubclassDlgItem(IDC_ACTORS_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    for (int id : { IDC_ACTORS_REMOVE, IDC_ACTORS_EDIT, IDC_ACTORS_UP, IDC_ACTORS_DOWN, IDC_ACTORS_SHOW_IMDB })
        EnableItem(id, false);
    m_list.InsertColumn(0, "Name", LVCFMT_LEFT, TextWidth("Name") + kPadding);
    m_list.InsertColumn(1, "", LVCFMT_LEFT, TextWidth("as") + kPadding);
    m_list.InsertColumn(2, "Character", LVCFMT_LEFT, TextWidth("Character") + kPadding);
    FillFromMovie();
    m_list.SendMessage(LVM_SETSELECTIONMARK, 0, 0);
    UpdateButtons();
    return FALSE;
}

void CMovieActorsPage::AddActor(int index, const char* name, const char* character)
{
    if (index < 0)
        index = m_list.GetItemCount();
    int nameWidth = TextWidth(name) + kPadding;
    if (nameWidth > m_list.GetColumnWidth(0))
        m_list.SetColumnWidth(0, nameWidth);
    int characterWidth = TextWidth(character) + kPadding;
    if (characterWidth > m_list.GetColumnWidth(2))
        m_list.SetColumnWidth(2, characterWidth);
    int row = m_list.InsertItem(index, name != nullptr ? name : "");
    if (row < 0)
        return;
    m_list.SetItemText(row, 1, kAs);
    m_list.SetItemText(row, 2, character != nullptr ? character : "");
}

void CMovieActorsPage::FillFromMovie()
{
    CMovie* movie = EditedMovie();
    if (m_hWnd == NULL)
        return;
    if (movie != nullptr && movie->m_imdbInfo) {
        m_list.DeleteAllItems();
        for (const auto& entry : movie->m_imdbInfo->m_cast)
            AddActor(-1, entry->m_actor, entry->m_character);
    }
    if (IsReadOnly()) {
        EnableItem(IDC_ACTORS_REMOVE_ALL, false);
        EnableItem(IDC_ACTORS_ADD, false);
    } else {
        EnableItem(IDC_ACTORS_REMOVE_ALL, m_list.GetItemCount() > 0);
    }
}

bool CMovieActorsPage::IsSelected(int row) const
{
    return (m_list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int CMovieActorsPage::ChosenRow() const
{
    UINT selected = m_list.GetSelectedCount();
    if (selected == 0)
        return -1;
    if (selected == 1)
        return m_list.GetNextItem(-1, LVNI_SELECTED);
    int anchor = int(m_list.SendMessage(LVM_GETSELECTIONMARK));
    return anchor >= 0 && anchor < m_list.GetItemCount() ? anchor : -1;
}

void CMovieActorsPage::UpdateButtons()
{
    bool any = m_list.GetSelectedCount() > 0;
    bool editable = any && !IsReadOnly();
    for (int id : { IDC_ACTORS_REMOVE, IDC_ACTORS_EDIT, IDC_ACTORS_UP, IDC_ACTORS_DOWN })
        EnableItem(id, editable);
    EnableItem(IDC_ACTORS_SHOW_IMDB, any);
}

void CMovieActorsPage::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    if ((change->uChanged & LVIF_STATE) != 0)
        UpdateButtons();
    *pResult = 0;
}

void CMovieActorsPage::OnAdd()
{
    if (IsReadOnly())
        return;
    CImdbCastEntry entry;
    CActorDlg dialog(GetOwner());
    dialog.SetEntry(&entry);
    if (dialog.DoModal() != IDOK)
        return;
    AddActor(-1, entry.m_actor, entry.m_character);
    EnableItem(IDC_ACTORS_REMOVE_ALL, m_list.GetItemCount() > 0);
}

void CMovieActorsPage::OnEdit()
{
    int row = ChosenRow();
    if (row < 0 || IsReadOnly())
        return;
    CImdbCastEntry entry;
    entry.SetStrings(m_list.GetItemText(row, 0).c_str(), m_list.GetItemText(row, 2).c_str());
    CActorDlg dialog(GetOwner());
    dialog.SetEntry(&entry);
    if (dialog.DoModal() != IDOK)
        return;
    m_list.DeleteItem(row);
    AddActor(row, entry.m_actor, entry.m_character);
}

void CMovieActorsPage::OnRemove()
{
    if (IsReadOnly())
        return;
    for (int row = m_list.GetItemCount() - 1; row >= 0; row--) {
        if (IsSelected(row))
            m_list.DeleteItem(row);
    }
    EnableItem(IDC_ACTORS_REMOVE_ALL, m_list.GetItemCount() > 0);
    UpdateButtons();
}

void CMovieActorsPage::OnRemoveAll()
{
    if (IsReadOnly())
        return;
    m_list.DeleteAllItems();
    for (int id : { IDC_ACTORS_REMOVE_ALL, IDC_ACTORS_REMOVE, IDC_ACTORS_EDIT, IDC_ACTORS_UP, IDC_ACTORS_DOWN,
                    IDC_ACTORS_SHOW_IMDB })
        EnableItem(id, false);
}

void CMovieActorsPage::MoveRow(int from, int to)
{
    std::string name = m_list.GetItemText(from, 0);
    std::string character = m_list.GetItemText(from, 2);
    m_list.DeleteItem(from);
    AddActor(to, name.c_str(), character.c_str());
}

// Each selected row changes places with the unselected row above it, so
// the selection rises by one in its order; rows already at the top stay.
void CMovieActorsPage::OnMoveUp()
{
    if (IsReadOnly())
        return;
    int count = m_list.GetItemCount();
    int top = 0;  // the selected rows that stay at the top
    for (int row = 0; row < count; row++) {
        if (!IsSelected(row))
            continue;
        if (row == top)
            top++;
        else
            MoveRow(row - 1, row);
    }
}

void CMovieActorsPage::OnMoveDown()
{
    if (IsReadOnly())
        return;
    int bottom = m_list.GetItemCount();  // from here on: selected rows that stay
    for (int row = bottom - 1; row >= 0; row--) {
        if (!IsSelected(row))
            continue;
        if (row == bottom - 1)
            bottom--;
        else
            MoveRow(row + 1, row);
    }
}

std::string CMovieActorsPage::GetShowImdbAddress() const
{
    int row = ChosenRow();
    if (row < 0)
        return std::string();
    return ImdbPersonAddress(m_list.GetItemText(row, 0).c_str());
}

void CMovieActorsPage::OnShowImdb()
{
    OpenAddress(GetShowImdbAddress());
}

bool CMovieActorsPage::SaveToMovie()
{
    CImdbInfo* info = m_hWnd != NULL ? EditedRecord() : nullptr;
    if (info == nullptr)
        return true;
    info->ClearCast();
    int count = m_list.GetItemCount();
    for (int row = 0; row < count; row++)
        info->AddCastEntry(m_list.GetItemText(row, 0).c_str(), m_list.GetItemText(row, 2).c_str());
    return true;
}
