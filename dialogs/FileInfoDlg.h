// "File Information": one media file or one disc of a catalogue, as a modal
// dialog or as the panel docked beside the drives tree. It plays the file,
// re-reads the disc, makes a movie for a free file, and in its remove mode
// deletes the file or the disc.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/HelpDialog.h"
#include "core/WinTypes.h"

class CMovieCollection;

class CFileInfoDlg : public CHelpDialog {
public:
    // The modal form uses IDD_FILE_INFO; the panel is made with
    // Create(IDD_FILE_INFO_PANEL, view).
    explicit CFileInfoDlg(CWnd* pParent = nullptr);

    // A disc id when disc is set, else a file id (the disc becomes the one
    // holding the file). collection NULL means theCollection. Refills at
    // once when the window exists.
    void SetFile(DWORD id, bool disc, CMovieCollection* collection, bool remove, bool reReadAllowed);

    // What rebuilds the view after a removal (the drives view's tree); the
    // dialog only refills itself without one.
    void SetRemovalHandler(std::function<void()> handler) { m_onRemoved = std::move(handler); }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // "1023 B", "1.00 KB", "4.66 GB": the size in the largest unit it reaches.
    static std::string FormatSize(int64_t size);
    // The next drive letter to look for a moved file on, after letter; 0 once
    // the walk that began at start has tried every letter.
    static char NextDriveLetter(char letter, char start, int* tried);

protected:
    void OnPlayFile();
    void OnReReadDisc();
    void OnCreateMovie();
    DECLARE_MESSAGE_MAP()

private:
    void Fill();
    void ShowItem(int id, bool show);
    void RemoveShownRecord();
    void RefreshAfterRemoval();

    DWORD m_fileId;
    DWORD m_discId;
    bool m_disc;
    bool m_remove;
    bool m_layout;  // whether the file controls are hidden now
    CMovieCollection* m_collection;
    bool m_reReadAllowed;
    std::function<void()> m_onRemoved;
};
