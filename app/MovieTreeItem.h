// One line of the tree list of movies: its movie and the line's text, made
// from the template "[%movie_id] %movie_name (%movie_year4)".
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "core/WinTypes.h"

class CTreeCtrl;

class CMovieTreeItem {
public:
    // Builds the text of the movie's line.
    CMovieTreeItem(CTreeCtrl* tree, DWORD movie);
    // Deletes the line from the control when it has one.
    virtual ~CMovieTreeItem();

    // Builds the text again and shows it when the line is in the control.
    void Refresh();
    // Takes the line's handle and makes this object the line's data; NULL
    // forgets the line (the control deleted it).
    void Attach(HTREEITEM item);

    DWORD GetMovie() const { return m_movie; }
    HTREEITEM GetItem() const { return m_item; }
    const char* GetText() const { return m_text != NULL ? m_text : ""; }

private:
    CMovieTreeItem(const CMovieTreeItem&) = delete;
    CMovieTreeItem& operator=(const CMovieTreeItem&) = delete;

    void BuildText();

    CTreeCtrl* m_tree;
    HTREEITEM m_item;
    DWORD m_movie;
    char* m_text;
};
