// The "Downloading" window run by the test thread while another thread
// plays the worker: texts, the Cancel button and closing.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "net/DownloadStatus.h"

namespace {

std::string ControlText(HWND window, int id)
{
    char text[256] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

// Waits up to a minute for the condition, from the worker's side.
template <class Condition>
bool WaitUntil(Condition condition)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > 60000)
            return false;
        Sleep(20);
    }
    return true;
}

void CountCancel(void* argument)
{
    ++*static_cast<std::atomic<int>*>(argument);
}

} // namespace

TEST(DownloadStatus, WorkerSetsTextsAndCancelEndsTheWindow)
{
    std::atomic<int> cancels(0);
    CDownloadStatus status(nullptr, CountCancel, &cancels);
    status.SetSpeed(0, "Connecting...");
    bool texts = false, disabledCancelIgnored = false, enabled = false;
    std::thread worker([&] {
        if (!WaitUntil([&] { return status.GetWindow() != nullptr; }))
            return;
        HWND window = status.GetWindow();
        texts = WaitUntil([&] { return ControlText(window, CDownloadStatus::IDC_STATUS) == "Connecting..."; });
        status.SetSpeed(2048, "Download data...");
        texts = texts && WaitUntil([&] {
            return ControlText(window, CDownloadStatus::IDC_SPEED) == "Speed: 2.00kb/s" &&
                   ControlText(window, CDownloadStatus::IDC_STATUS) == "Download data...";
        });
        // A click on the disabled button does nothing.
        SendMessageA(window, WM_COMMAND, IDCANCEL, LPARAM(GetDlgItem(window, IDCANCEL)));
        disabledCancelIgnored = cancels == 0 && !status.IsClosed();
        status.EnableCancel(true);
        enabled = WaitUntil([&] { return IsWindowEnabled(GetDlgItem(window, IDCANCEL)) != FALSE; });
        PostMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    });
    status.Run();
    worker.join();
    EXPECT_TRUE(texts);
    EXPECT_TRUE(disabledCancelIgnored);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(1, cancels);
    EXPECT_TRUE(status.IsClosed());
    EXPECT_EQ(nullptr, status.GetWindow());
}

TEST(DownloadStatus, CloseFromTheWorkerEndsRun)
{
    CDownloadStatus status(nullptr, nullptr, nullptr);
    std::string caption, first;
    std::thread worker([&] {
        if (WaitUntil([&] { return status.GetWindow() != nullptr; })) {
            char text[64] = {};
            GetWindowTextA(status.GetWindow(), text, sizeof text);
            caption = text;
            first = ControlText(status.GetWindow(), CDownloadStatus::IDC_STATUS);
        }
        status.Close();
    });
    status.Run();
    worker.join();
    EXPECT_EQ("Downloading", caption);
    EXPECT_EQ("Loading...", first);
    EXPECT_EQ(nullptr, status.GetWindow());
}

// Shown for screenshots only.
TEST(DownloadStatus, DISABLED_Showcase)
{
    CDownloadStatus status(nullptr, nullptr, nullptr);
    status.SetSpeed(48230, "Download data...");
    status.EnableCancel(true);
    std::thread worker([&] {
        Sleep(6000);
        status.Close();
    });
    status.Run();
    worker.join();
}

#endif
