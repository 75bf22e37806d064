// Dialogs built from a dialog resource. DoModal runs one modally: the owner
// is disabled and the layer's own loop runs until EndDialog, offering every
// message to PreTranslateMessage first. The owner may belong to another
// thread, so a worker can open a dialog over the user-interface thread's
// window. Create makes one modeless: top-level, or a child page inside
// another dialog when its resource has the child style.
#pragma once

#include <atomic>

#include "classlib/Wnd.h"

class CDialog : public CWnd {
public:
    CDialog() {}
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDHelp(nIDTemplate), m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_pParentWnd(pParentWnd) {}
    explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr)
        : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

    // Runs the dialog modally; the value given to EndDialog, or -1 when the
    // dialog could not be created.
    virtual INT_PTR DoModal();
    // Makes a modeless dialog (a page when the resource has WS_CHILD).
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);

    // Ends a modal dialog with nResult (from any thread); hides a modeless one.
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    BOOL PreTranslateMessage(MSG* pMsg) override;

    void NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl)
    { if (pWndCtrl) ::SendMessage(m_hWnd, WM_NEXTDLGCTL, (WPARAM)pWndCtrl->m_hWnd, 1); }
    void SetDefID(UINT nID) { ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0); }
    DWORD GetDefID() const { return (DWORD)::SendMessage(m_hWnd, DM_GETDEFID, 0, 0); }
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

    UINT m_nIDHelp = 0;     // the template id, for help topics

protected:
    LPCSTR m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;

    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    BOOL IsModal() const { return m_bModal; }

    DECLARE_MESSAGE_MAP()

private:
    std::atomic<bool> m_bModal{ false };
    std::atomic<bool> m_bEndModal{ false };
    std::atomic<int> m_nModalResult{ -1 };

    BOOL CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndOwner);
    LPCDLGTEMPLATE LoadTemplate(LPCSTR lpszTemplateName) const;
    void RunModalLoop();
};
