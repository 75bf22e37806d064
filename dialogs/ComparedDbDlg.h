// "Compared databases": a worker compares the open catalogue with the other
// one; each side then lists its movies without a partner, which can be
// copied across, and the other catalogue can be saved.
#pragma once

#include <memory>
#include <string>

#include "classlib/Dialog.h"
#include "classlib/WorkerJob.h"
#include "core/MovieCollection.h"
#include "dialogs/CompareCollections.h"

class CComparedDbDlg;

class CCompareJob : public CWorkerJob {
public:
    CCompareJob() : m_dialog(nullptr), m_other(nullptr), m_step(0.0) {}
    CComparedDbDlg* m_dialog;
    CMovieCollection* m_other;
    std::string m_template;
    double m_step;  // progress per movie
};

UINT CompareDatabasesThread(LPVOID param);

class CComparedDbDlg : public CDialog {
public:
    explicit CComparedDbDlg(CWnd* pParent = nullptr);
    ~CComparedDbDlg() override;

    void SetCompareSource(CMovieCollection* other, const std::string& templateText);
    // Movies were copied into the open catalogue.
    bool IsCurrentChanged() const { return m_currentChanged != 0; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void OnSelChange();
    void OnCopyRight();
    void OnCopyLeft();
    void OnSaveOther();
    void OnInfoCurrent();
    void OnInfoOther();
    void OnDestroy();
    LRESULT OnCompared(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void Copy(CMovieCollection& source, CMovieCollection& destination, int fromList);
    // The caret line's movie, read-only in the movie dialog on its catalogue.
    void ShowInfo(CMovieCollection& collection, int fromList);
    // Stops and joins the worker, then asks before unsaved copies are lost.
    bool MayClose();

    CMovieCollection* m_other;
    std::string m_template;
    std::unique_ptr<CCompareJob> m_job;
    BYTE m_otherChanged;
    BYTE m_currentChanged;
};
