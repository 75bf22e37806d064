// "Search movie or file": a worker walks the catalogue for a text and fills
// the result list; the dialog stays usable and can stop it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/HelpDialog.h"
#include "classlib/WorkerJob.h"
#include "dialogs/SearchResultList.h"
#include "dialogs/SearchWalk.h"

class CSearchDlg;

class CSearchJob : public CWorkerJob {
public:
    CSearchJob() : m_dialog(nullptr) {}
    CSearchDlg* m_dialog;
    SearchOptions m_options;
    // Why the walk failed (out of memory, say); empty when it ran through.
    std::string m_failure;
};

// The worker: walks the collection with the job's options and hands each
// result to the dialog.
UINT SearchThread(LPVOID param);

class CSearchDlg : public CHelpDialog {
public:
    explicit CSearchDlg(CWnd* pParent = nullptr);
    ~CSearchDlg() override;

    // A movie was saved from a result.
    bool IsChanged() const { return m_changed != 0; }
    void SetChanged() { m_changed = 1; }
    bool IsSearching() const { return m_job != nullptr && !m_job->IsDone(); }

    // Shows the record in the main window and closes the dialog.
    void Locate(int kind, DWORD id);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void OnTextChange();
    void OnExact();
    void OnAnyWord();
    void OnMovies();
    void OnFiles();
    void OnDestroy();
    LRESULT OnFound(WPARAM wParam, LPARAM lParam);
    LRESULT OnSearchEnded(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    friend UINT SearchThread(LPVOID param);
    // Enables the inputs and Search again, relabels Cancel "Close" and stops
    // the animation; or the opposite while searching.
    void ShowSearching(bool searching);
    // Reads the options, writes the settings and starts the worker; throws
    // when that fails.
    void StartSearch();
    void ClearResults();

    std::vector<std::unique_ptr<CSearchResultItem>> m_items;
    std::unique_ptr<CSearchJob> m_job;
    CSearchResultList m_results;
    BYTE m_changed;
    bool m_anyFound;
    // Why a result could not be listed; empty while all were.
    std::string m_listFailure;
};
