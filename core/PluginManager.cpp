// Loads the format plug-ins of the "plugins" folder beside the main program
// and asks them, in priority order, to describe media files.
#include "core/PluginManager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ErrorBox.h"
#include "core/FormatList.h"
#include "core/StrUtil.h"

CPluginManager thePluginManager;

// The folder of the running program, with its trailing backslash; empty
// when the module name cannot be read or holds no backslash. The buffer
// grows until the whole name fits, so a long install path is never cut.
static std::string ProgramFolder()
{
#ifdef _WIN32
    std::string path;
    for (DWORD size = MAX_PATH;; size *= 2) {
        path.assign(size, '\0');
        DWORD n = GetModuleFileNameA(NULL, &path[0], size);
        if (n == 0)
            return std::string();
        if (n < size) {
            path.resize(n);
            break;
        }
        if (size >= 0x100000)
            return std::string();
    }
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos)
        return std::string();
    return path.substr(0, slash + 1);
#else
    return std::string();
#endif
}

CPluginManager::CPluginManager()
    : pluginFolder(NULL), fileFilter(NULL), profileIntReader(NULL)
{
    std::string folder = ProgramFolder() + "plugins\\";
    StrAssign(&pluginFolder, folder.c_str());
}

CPluginManager::~CPluginManager()
{
    UnloadPlugins();
    free(pluginFolder);
    pluginFolder = NULL;
}

void CPluginManager::SetPluginFolder(const char* folder)
{
    StrAssign(&pluginFolder, folder != NULL ? folder : "");
}

PluginEntry* CPluginManager::GetEntry(int index) const
{
    if (index < 0 || size_t(index) >= entries.size())
        return NULL;
    return entries[index];
}

void CPluginManager::UnloadPlugins()
{
    free(fileFilter);
    fileFilter = NULL;
    for (PluginEntry* entry : entries) {
#ifdef _WIN32
        if (entry->module != NULL)
            FreeLibrary(entry->module);
#endif
        free(entry->fileName);
        delete entry;
    }
    entries.clear();
}

#ifdef _WIN32
// Loads one library and binds its exports; NULL when it is not a usable
// plug-in of this contract (the library is unloaded again).
static PluginEntry* LoadOnePlugin(const std::string& path, const char* fileName)
{
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == NULL)
        return NULL;

    PluginEntry* entry = new PluginEntry();
    entry->module = module;
    entry->fileName = NULL;
    StrSet(&entry->fileName, fileName);
    entry->PluginDesc = reinterpret_cast<PluginDescFn>(GetProcAddress(module, "PluginDesc"));
    entry->ReadFromFile =
        reinterpret_cast<PluginReadFromFileFn>(GetProcAddress(module, "ReadFromFile"));
    entry->Version = reinterpret_cast<PluginVersionFn>(GetProcAddress(module, "Version"));
    entry->FreeFormat = reinterpret_cast<PluginFreeFormatFn>(GetProcAddress(module, "FreeFormat"));
    entry->PluginFormats =
        reinterpret_cast<PluginFormatsFn>(GetProcAddress(module, "PluginFormats"));
    entry->priority = 10;

    bool usable = entry->PluginDesc != NULL && entry->ReadFromFile != NULL &&
                  entry->Version != NULL && entry->FreeFormat != NULL &&
                  entry->PluginFormats != NULL;
    if (usable) {
        entry->Version();
        entry->PluginDesc();
        usable = entry->Version() == PLUGIN_API_VERSION;
    }
    if (!usable) {
        FreeLibrary(module);
        free(entry->fileName);
        delete entry;
        return NULL;
    }
    return entry;
}
#endif

void CPluginManager::LoadPlugins()
{
    UnloadPlugins();

#ifdef _WIN32
    std::string pattern = std::string(pluginFolder) + "*.dll";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string path = std::string(pluginFolder) + found.cFileName;
            PluginEntry* entry = LoadOnePlugin(path, found.cFileName);
            if (entry == NULL)
                continue;
            entry->priority = profileIntReader != NULL
                                  ? profileIntReader("plugins", found.cFileName, 10)
                                  : 10;
            entries.push_back(entry);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
#endif

    SortByPriority();

    CFormatList formats;
    for (PluginEntry* entry : entries)
        formats.AddFormats(entry->PluginFormats());
    formats.BuildFilter(&fileFilter);

    if (entries.empty()) {
        ShowError(0, "%s",
                  "Warning: Couldn't find any import plugins. Check the plugins directory "
                  "where vistrel.exe lay.");
    }
}

const char* CPluginManager::GetFileFilter() const
{
    return fileFilter != NULL ? fileFilter : "All files (*.*)|*.*||";
}

void CPluginManager::SortByPriority()
{
    // Disabled plug-ins (negative priority) go after every enabled one;
    // equal priorities keep the order in which their files were found.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const PluginEntry* a, const PluginEntry* b) {
                         bool aOff = a->priority < 0, bOff = b->priority < 0;
                         if (aOff != bOff)
                             return bOff;
                         if (aOff)
                             return false;
                         return a->priority < b->priority;
                     });
}

void CPluginManager::SplitPath(const char* path, char** dir, char** name, char** ext)
{
    if (path == NULL)
        path = "";
    const char* slash = strrchr(path, '\\');
    const char* fileName = slash != NULL ? slash + 1 : path;
    const char* dot = strrchr(fileName, '.');

    StrAssignN(dir, path, size_t(fileName - path));
    if (dot != NULL) {
        StrAssignN(name, fileName, size_t(dot - fileName));
        StrAssign(ext, dot);
    } else {
        StrAssign(name, fileName);
        StrAssign(ext, NULL);
    }
}

bool CPluginManager::ReadFileInfo(MediaFormat& target, const char* path)
{
    if (entries.empty())
        return false;

    char* dir = NULL;
    char* name = NULL;
    char* ext = NULL;
    SplitPath(path, &dir, &name, &ext);

    bool answered = false;
    for (BYTE pass = 0; pass < 2 && !answered; pass++) {
        for (PluginEntry* entry : entries) {
            if (entry->priority < 0)
                continue;
            entry->PluginDesc();
            MediaFormat* record = entry->ReadFromFile(dir, name, ext, pass);
            if (record == NULL)
                continue;
            CopyMediaFormat(target, *record);
            entry->FreeFormat(&record);
            answered = true;
            break;
        }
    }

    free(dir);
    free(name);
    free(ext);
    return answered;
}
