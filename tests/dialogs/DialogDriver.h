// Helpers of the dialogs' tests: the application object with a profile of
// the test's own, and a driver that plays the user in modal dialogs.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/MovieCollection.h"

// Points the application's profile at a company key of its own for the
// lifetime of the object, and deletes the key afterwards.
class ScopedProfile {
public:
    explicit ScopedProfile(const char* testName);
    ~ScopedProfile();
    int GetInt(const char* section, const char* entry, int defaultValue);
    void SetInt(const char* section, const char* entry, int value);

private:
    std::string m_company;
};

// While it lives, a timer of this thread hands every dialog of the thread
// that becomes visible to the script, once. The script reads the controls
// and posts clicks; a dialog still open a minute after its script ran is
// cancelled so that a broken test fails instead of hanging.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> script);
    ~DialogDriver();
    // How many dialogs were handed to the script.
    int Count() const { return m_count; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::function<void(HWND)> m_script;
    UINT_PTR m_timer;
    int m_count;
};

// Runs f once the thread's queue is empty (timers come after posted
// messages), also inside a popup menu's loop; each call waits a step more
// than the one before, so steps run in the order they were asked for.
void Later(std::function<void()> f);
// Calls check every 20 ms until it answers true.
void Poll(std::function<bool()> check);
// The number of threads of this process: a worker that ended is gone.
int ThreadCount();

// Tests that fill the program's collection start and end with it empty.
class CollectionTest : public ::testing::Test {
protected:
    void SetUp() override { theCollection.Clear(); }
    void TearDown() override { theCollection.Clear(); }
};

// Test helpers for dialog windows.
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const char* text);
bool IsItemEnabled(HWND dialog, int id);
bool IsItemChecked(HWND dialog, int id);
// A click on the button, posted as the user's would come.
void PostClick(HWND dialog, int id);
std::string WindowCaption(HWND window);

// A folder of the build machine as Windows programs under Wine see it.
std::string WindowsPath(const char* unixPath);
