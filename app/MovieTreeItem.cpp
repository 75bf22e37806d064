#include "app/MovieTreeItem.h"

#include <cstdlib>

#include "classlib/TreeCtrl.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "export/TokenEngine.h"

namespace {

const char kLineTemplate[] = "[%movie_id] %movie_name (%movie_year4)";

} // namespace

CMovieTreeItem::CMovieTreeItem(CTreeCtrl* tree, DWORD movie) : m_tree(tree), m_item(NULL), m_movie(movie), m_text(NULL)
{
    BuildText();
}

CMovieTreeItem::~CMovieTreeItem()
{
    if (m_item != NULL && m_tree != NULL && m_tree->m_hWnd != NULL)
        m_tree->DeleteItem(m_item);
    m_item = NULL;
    m_movie = NO_ID;
    free(m_text);
}

void CMovieTreeItem::BuildText()
{
    CMovie* movie = theCollection.GetMovieCopy(m_movie);
    if (movie == NULL)
        return;  // gone: the line keeps its text until it is removed
    StrSet(&m_text, kLineTemplate);
    ExpandScriptTokens(&m_text, movie, -1, NULL, NULL);
    theCollection.ReleaseMovieCopy(&movie);
}

void CMovieTreeItem::Refresh()
{
    BuildText();
    if (m_item != NULL && m_tree != NULL && m_tree->m_hWnd != NULL)
        m_tree->SetItemText(m_item, GetText());
}

void CMovieTreeItem::Attach(HTREEITEM item)
{
    m_item = item;
    if (item != NULL && m_tree != NULL)
        m_tree->SetItemData(item, DWORD_PTR(this));
}
