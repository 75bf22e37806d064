#include "app/RecentFiles.h"

#include <algorithm>

#include "classlib/WinApp.h"

namespace {

const char kSection[] = "open";

bool IsSeparator(HMENU menu, int position)
{
    UINT state = GetMenuState(menu, UINT(position), MF_BYPOSITION);
    return state != UINT(-1) && (state & MF_SEPARATOR) != 0;
}

// A path as a menu text: '&' would otherwise underline the next character.
std::string MenuText(int number, const std::string& path)
{
    std::string text = "&" + std::to_string(number) + " ";
    for (char c : path) {
        if (c == '&')
            text += '&';
        text += c;
    }
    return text;
}

} // namespace

CRecentFileList::CRecentFileList(CWinApp* app) : m_app(app)
{
}

int CRecentFileList::GetSize() const
{
    if (m_app == NULL)
        return 0;
    int n = int(m_app->GetProfileInt(kSection, "recent", kDefaultEntries));
    return std::min(std::max(n, 0), int(kMaxEntries));
}

std::string CRecentFileList::EntryName(int number)
{
    return std::string("recent") + char('0' + number);
}

std::string CRecentFileList::GetEntry(int number) const
{
    if (m_app == NULL || number < 1 || number > GetSize())
        return std::string();
    return m_app->GetProfileString(kSection, EntryName(number).c_str(), "");
}

std::vector<std::string> CRecentFileList::ReadEntries(int count) const
{
    std::vector<std::string> entries;
    for (int i = 1; i <= count; ++i)
        entries.push_back(m_app->GetProfileString(kSection, EntryName(i).c_str(), ""));
    return entries;
}

void CRecentFileList::WriteEntries(const std::vector<std::string>& entries, int count)
{
    for (int i = 1; i <= count; ++i) {
        const std::string& value = size_t(i) <= entries.size() ? entries[i - 1] : std::string();
        m_app->WriteProfileString(kSection, EntryName(i).c_str(), value.c_str());
    }
}

void CRecentFileList::Add(const char* path)
{
    if (m_app == NULL || path == NULL || *path == '\0')
        return;
    std::string full = FullPath(path);
    // The newest file is always entry 1, even when no entry is shown.
    int count = std::max(GetSize(), 1);
    std::vector<std::string> entries = ReadEntries(count);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const std::string& entry) {
                                     return entry.empty() || SameFile(entry, full);
                                 }),
                  entries.end());
    entries.insert(entries.begin(), full);
    WriteEntries(entries, count);
}

void CRecentFileList::Remove(const char* path)
{
    if (m_app == NULL || path == NULL || *path == '\0')
        return;
    std::string full = FullPath(path);
    int count = GetSize();
    std::vector<std::string> entries = ReadEntries(count);
    size_t before = entries.size();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const std::string& entry) {
                                     return !entry.empty() && SameFile(entry, full);
                                 }),
                  entries.end());
    if (entries.size() != before)
        WriteEntries(entries, count);
}

void CRecentFileList::UpdateMenu(HMENU menu) const
{
    if (menu == NULL)
        return;
    for (UINT id = kFirstCommand; id < UINT(kFirstCommand + kMaxEntries); ++id) {
        while (DeleteMenu(menu, id, MF_BYCOMMAND)) {
        }
    }
    // The separators that framed the list go with it.
    int count = GetMenuItemCount(menu);
    while (count >= 2 && IsSeparator(menu, count - 2)) {
        DeleteMenu(menu, UINT(count - 2), MF_BYPOSITION);
        count = GetMenuItemCount(menu);
    }
    if (count < 1)
        return;

    UINT position = UINT(count - 1);  // Exit's
    int size = GetSize();
    bool shown = false;
    for (int number = 1; number <= size; ++number) {
        std::string entry = GetEntry(number);
        if (entry.empty())
            continue;
        if (!shown) {
            InsertMenuA(menu, position++, MF_BYPOSITION | MF_SEPARATOR, 0, NULL);
            shown = true;
        }
        InsertMenuA(menu, position++, MF_BYPOSITION | MF_STRING | MF_ENABLED,
                    kFirstCommand + number - 1, MenuText(number, entry).c_str());
    }
    if (shown)
        InsertMenuA(menu, position, MF_BYPOSITION | MF_SEPARATOR, 0, NULL);
}

std::string CRecentFileList::FullPath(const char* path)
{
    if (path == NULL || *path == '\0')
        return std::string();
    std::vector<char> buffer(MAX_PATH + 1);
    for (int tries = 0; tries < 2; ++tries) {
        DWORD n = GetFullPathNameA(path, DWORD(buffer.size()), buffer.data(), NULL);
        if (n == 0)
            break;
        if (n < buffer.size())
            return std::string(buffer.data(), n);
        buffer.resize(size_t(n) + 1);  // n is the size needed, with the zero
    }
    return std::string(path);
}

bool CRecentFileList::SameFile(const std::string& a, const std::string& b)
{
    return lstrcmpiA(FullPath(a.c_str()).c_str(), FullPath(b.c_str()).c_str()) == 0;
}
