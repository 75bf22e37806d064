// The search dialog's result list: a right click on a result opens its
// menu (by kind) to locate it in the main window or show its information.
#pragma once

#include <string>

#include "classlib/ListBox.h"

class CSearchResultItem {
public:
    CSearchResultItem(int kind, DWORD id, const char* text)
        : m_text(text != nullptr ? text : ""), m_id(id), m_kind(BYTE(kind)) {}
    virtual ~CSearchResultItem() {}

    std::string m_text;
    DWORD m_id;
    BYTE m_kind;   // 100 movie, 200 file, 230 disc
};

class CSearchDlg;

class CSearchResultList : public CListBox {
public:
    CSearchResultList() : m_dialog(nullptr), m_item(nullptr) {}
    void SetDialog(CSearchDlg* dialog) { m_dialog = dialog; }

protected:
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnLocateMovie();
    void OnLocateFile();
    void OnLocateDisc();
    void OnShowInfo();
    DECLARE_MESSAGE_MAP()

private:
    // The movie dialog on a copy of the movie; Save writes it back.
    void ShowMovieInfo(DWORD movieId);

    CSearchDlg* m_dialog;
    CSearchResultItem* m_item;   // the result whose menu was opened
};
