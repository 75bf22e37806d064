// Finds, loads, orders and calls the format plug-ins in the "plugins" folder
// beside the main program. One global instance, thePluginManager.
#pragma once

#include <vector>

#include "core/MediaFormat.h"
#include "core/PluginApi.h"

#ifdef _WIN32
typedef HMODULE PluginModule;
#else
typedef void* PluginModule;
#endif

// One loaded plug-in.
struct PluginEntry {
    PluginModule module;
    char* fileName;              // as found, without folder ("dvdtitles.dll")
    PluginVersionFn Version;
    PluginReadFromFileFn ReadFromFile;
    PluginDescFn PluginDesc;
    PluginFreeFormatFn FreeFormat;
    PluginFormatsFn PluginFormats;
    int32_t priority;            // smaller is asked first; -1 disabled
};

class CPluginManager {
public:
    CPluginManager();
    virtual ~CPluginManager();

    // Reads a priority setting: section "plugins", one value per plug-in file
    // name, default 10. The application points this at its profile; without
    // it every plug-in gets the default.
    typedef int (*ProfileIntReader)(const char* section, const char* entry, int defaultValue);
    void SetProfileIntReader(ProfileIntReader reader) { profileIntReader = reader; }

    // (Re)loads every plug-in of the plug-in folder, orders them and builds
    // the file filter; warns when none could be kept. Windows only; the
    // host build keeps no plug-ins.
    void LoadPlugins();
    void UnloadPlugins();

    // The built filter, or "All files (*.*)|*.*||" before any load.
    const char* GetFileFilter() const;

    // Asks the plug-ins, in two passes and in priority order, to describe
    // the file at path; the first answer is deep-copied into target.
    bool ReadFileInfo(MediaFormat& target, const char* path);

    // Runs the plug-in configuration dialog; re-orders on OK. Defined beside
    // that dialog.
    void ConfigurePlugins();

    // Ascending priority, disabled ones last, equal ones in the order found.
    void SortByPriority();

    // The folder searched for "*.dll", ending in a backslash. Set from the
    // program's own path at construction; tests point it elsewhere.
    const char* GetPluginFolder() const { return pluginFolder; }
    void SetPluginFolder(const char* folder);
    int GetCount() const { return int(entries.size()); }
    PluginEntry* GetEntry(int index) const;

    // Splits a path into folder (with its trailing backslash, or empty), file
    // name without extension, and extension from the last "." of the file
    // name (NULL when it has none). The three texts are heap texts.
    static void SplitPath(const char* path, char** dir, char** name, char** ext);

private:
    CPluginManager(const CPluginManager&) = delete;
    CPluginManager& operator=(const CPluginManager&) = delete;

    char* pluginFolder;
    char* fileFilter;
    std::vector<PluginEntry*> entries;
    ProfileIntReader profileIntReader;
};

extern CPluginManager thePluginManager;
