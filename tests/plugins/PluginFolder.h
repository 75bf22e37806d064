// Test helpers of the format plug-ins' tests: fixture paths, and on Windows
// a temporary "plugins" folder that the real CPluginManager loads from.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/MediaFormat.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

// A scratch name no other test process takes at the same time: the builds
// of one test program run side by side, sharing the temporary folder.
inline std::string UniqueScratchName(const std::string& prefix)
{
    static int serial = 0;
    return prefix + std::to_string(long(getpid())) + "_" + std::to_string(++serial);
}

inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fixture under tests/data in the form the code under test takes: the
// host path, or under Wine the same file on drive Z: with backslashes.
inline std::string FixturePath(const std::string& relative)
{
    std::string path = std::string(VISTREL_TEST_DATA) + "/" + relative;
#ifdef _WIN32
    path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
#endif
    return path;
}

// The folder part (with its separator) and the rest of a fixture path.
inline std::string FixtureDir(const std::string& relative)
{
    std::string path = FixturePath(relative);
    return path.substr(0, path.find_last_of("/\\") + 1);
}

#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include "core/ErrorBox.h"
#include "core/PluginManager.h"

// Copies one built plug-in (or several copies of it, the others named
// "<n>_<name>") into a fresh temporary folder and loads them with a
// CPluginManager of its own; everything goes away with the object.
class PluginFolder {
public:
    explicit PluginFolder(const char* dllName, int copyCount = 1)
    {
        SetErrorBoxRecording(true);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int serial = 0;
        folder = std::string(temp) + "vistrel_" + dllName + "_" +
                 std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial) + "\\";
        CreateDirectoryA(folder.c_str(), NULL);
        std::string from = std::string(VISTREL_PLUGIN_DIR) + "/" + dllName;
        for (int i = 0; i < copyCount; i++) {
            copies.push_back(folder + (i > 0 ? std::to_string(i) + "_" : "") + dllName);
            EXPECT_TRUE(CopyFileA(from.c_str(), copies.back().c_str(), FALSE)) << from;
        }
        manager.SetPluginFolder(folder.c_str());
        boxesBefore = ErrorBoxCount();
        manager.LoadPlugins();
    }
    ~PluginFolder()
    {
        manager.UnloadPlugins();
        for (const std::string& copy : copies)
            DeleteFileA(copy.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    // Message boxes shown since the folder was made.
    int NewBoxes() const { return ErrorBoxCount() - boxesBefore; }

    CPluginManager manager;

private:
    std::string folder;
    std::vector<std::string> copies;
    int boxesBefore;
};

// The plug-in's ReadFromFile, asked for dir + name + ext in pass 0 with
// its next allocation failing and then throwing an int (the switch of a
// test build, tests/plugins/FailAllocation.cpp): NULL both times, and the
// switch met inside the call.
inline void ExpectNullOnEveryException(PluginEntry* entry, const std::string& dir,
                                       const char* name, const char* ext)
{
    typedef int (*FailNextFn)(int arm);
    FailNextFn failNext =
        reinterpret_cast<FailNextFn>(GetProcAddress(entry->module, "TestFailNextAllocation"));
    ASSERT_NE(nullptr, failNext);
    for (int kind : {1, 2}) {
        failNext(kind);
        MediaFormat* record = entry->ReadFromFile(dir.c_str(), name, ext, 0);
        EXPECT_EQ(0, failNext(0)) << entry->fileName << ", kind " << kind;  // met
        EXPECT_EQ(nullptr, record) << entry->fileName << ", kind " << kind;
        entry->FreeFormat(&record);
    }
}

// What was appended to the program-wide format log since the watch began
// (tests of other plug-ins may append too).
class LogWatch {
public:
    LogWatch() : before(ReadAll("c:\\format_msg.log").size()) {}
    std::string Added() const
    {
        std::string all = ReadAll("c:\\format_msg.log");
        return all.size() > before ? all.substr(before) : std::string();
    }

private:
    size_t before;
};
#endif
