// "Make Small Covers...": a worker shrinks every large cover of the open
// catalogue to 93 pixels wide, each in its own format, while the dialog shows
// the movies done. Cancel stops the worker between steps and inside the
// picture's resampling, and waits for it; covers already made small stay so.
#pragma once

#include <memory>

#include "classlib/Dialog.h"
#include "classlib/ProgressCtrl.h"
#include "classlib/WorkerJob.h"
#include "image/Image.h"

// The worker's job. Its stop flag is the dialog's cancel; the image is the
// one the worker resamples in, whose escape Cancel sets too.
class CSmallCoversJob : public CWorkerJob {
public:
    CSmallCoversJob() : m_dialog(nullptr), m_progress(nullptr) {}
    HWND m_dialog;
    HWND m_progress;
    CxImage m_image;
};

// Shrinks the covers of every movie of theCollection; ends with 1 when it
// was cancelled, else posts WM_CLOSE to the dialog and ends with 0.
UINT MakeSmallCoversThread(LPVOID param);

class CMakeSmallCoversDlg : public CDialog {
public:
    explicit CMakeSmallCoversDlg(CWnd* pParent = nullptr);
    ~CMakeSmallCoversDlg() override;

    // The class's name in the program's run-time class information.
    static const char* GetRuntimeClassName() { return "CMakeSmallCoversDlg"; }

    BOOL OnInitDialog() override;
    // Also reached by the worker's WM_CLOSE at the end of its run.
    void OnCancel() override;

private:
    CProgressCtrl m_progress;
    std::unique_ptr<CSmallCoversJob> m_job;
};
