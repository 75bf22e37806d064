// "Mass Update IMDb info": a worker fetches the site's details for many
// movies of the catalogue in one run, one retrieval per movie with a pause
// after each success, and logs a line per movie.
#pragma once

#include <memory>
#include <mutex>

#include "app/HelpDialog.h"
#include "classlib/WorkerJob.h"

class CImdbInfo;
class CMovieCollection;

// What the dialog and its worker share. The controls are the dialog's; the
// worker drives them by sent messages.
class CMassUpdateJob : public CWorkerJob {
public:
    CMassUpdateJob()
        : m_total(nullptr), m_pause(nullptr), m_log(nullptr), m_start(nullptr), m_showBox(nullptr),
          m_onlyBox(nullptr), m_forgetBox(nullptr), m_cancel(nullptr), m_current(nullptr), m_dialog(nullptr),
          m_only(0), m_forget(0), m_show(0), m_collection(nullptr), m_inFlight(nullptr)
    {
    }
    ~CMassUpdateJob() override { SetDone(); }

    // Runs while the job's lock is held: the retrieval in flight is
    // cancelled, and none starts after a stop.
    void CancelRetrieval();
    // The worker's side: registers the record of a retrieval about to
    // start; false when the run is to stop.
    bool BeginRetrieval(CImdbInfo* record);
    void EndRetrieval();

    HWND m_total, m_pause, m_log;
    HWND m_start, m_showBox, m_onlyBox, m_forgetBox, m_cancel, m_current;
    CWnd* m_dialog;  // owns the download windows and the dialogs the worker opens
    BYTE m_only, m_forget, m_show;
    CMovieCollection* m_collection;

private:
    std::mutex m_lock;
    CImdbInfo* m_inFlight;
};

// The worker: walks the catalogue's movies in id order.
UINT MassUpdateImdbThread(LPVOID param);
// The worker's pause sleeps through this function, ::Sleep when NULL; tests
// put in one that notes the wait asked for and returns at once.
typedef void (*MassUpdateSleep)(DWORD ms);
void SetMassUpdateSleep(MassUpdateSleep sleep);

class CMassUpdateImdbDlg : public CHelpDialog {
public:
    explicit CMassUpdateImdbDlg(CWnd* pParent = nullptr);
    ~CMassUpdateImdbDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void OnAsk();
    void OnOnlyEmpty();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    bool IsRunning() const { return m_job != nullptr && !m_job->IsDone(); }
    // Enables the overwrite boxes as the question box and "Only if empty"
    // allow: the question decides alone, then "Only if empty" the others.
    void ApplyOverwriteRule();
    // Stops the worker and waits for it up to ms; true once it has ended.
    bool StopWorker(DWORD ms);

    std::unique_ptr<CMassUpdateJob> m_job;
    BYTE m_stoppedByUser;
};
