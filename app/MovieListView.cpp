#include "app/MovieListView.h"

#include "app/MainFrame.h"

BEGIN_MESSAGE_MAP(CMovieListView, CWnd)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CMovieListView::CMovieListView()
    : m_pendingTree(0),
      m_pendingPaintedList(0),
      m_pendingTreeList(0),
      m_listShown(0),
      m_treeShown(0),
      m_treeListShown(0),
      m_sortCode(55),
      m_ascending(1)
{
}

CMovieListView::~CMovieListView()
{
}

BOOL CMovieListView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                       LoadCursor(NULL, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    cs.style &= ~WS_BORDER;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return CWnd::PreCreateWindow(cs);
}

void CMovieListView::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    BYTE tree = m_pendingTree, list = m_pendingPaintedList, treeList = m_pendingTreeList;
    m_pendingTree = m_pendingPaintedList = m_pendingTreeList = 0;
    if (tree)
        CreateTree();
    else if (list)
        ShowMovies();
    else if (treeList)
        CreateList();
}

void CMovieListView::ShowMovies()
{
    if (m_listShown)
        return;
    m_treeShown = m_treeListShown = 0;
    m_listShown = 1;
    FillList();
}

void CMovieListView::CreateTree()
{
    if (m_treeShown)
        return;
    m_listShown = m_treeListShown = 0;
    m_treeShown = 1;
    Invalidate();
    FillTree();
}

void CMovieListView::CreateList()
{
    if (m_treeListShown)
        return;
    m_listShown = m_treeShown = 0;
    m_treeListShown = 1;
    Invalidate();
    UpdateMovieList();
}

void CMovieListView::FillList()
{
    if (!m_listShown)
        return;
    Invalidate();
    UpdateFrameTotals();
}

void CMovieListView::FillTree()
{
    if (!m_treeShown)
        return;
    UpdateFrameTotals();
}

void CMovieListView::UpdateMovieList()
{
    if (!m_treeListShown)
        return;
    UpdateFrameTotals();
}

void CMovieListView::SetSortOrder(BYTE code, BYTE ascending)
{
    m_sortCode = code;
    m_ascending = ascending;
}

void CMovieListView::SelectMovie(DWORD)
{
}

void CMovieListView::SelectDisc(DWORD)
{
}

void CMovieListView::SelectFile(DWORD)
{
}

DWORD CMovieListView::GetSelectedCount()
{
    return 0;
}

void CMovieListView::ShowSelectedMovieInfo()
{
}

void CMovieListView::DeleteSelected()
{
}

void CMovieListView::UpdateFrameTotals()
{
    if (m_hWnd == NULL)
        return;
    CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    if (frame != NULL)
        frame->UpdateTotals();
}
