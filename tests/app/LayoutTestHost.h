// A layout host over a fresh folder and an in-memory profile, for the tests
// and the fuzz target of the listing layout.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "app/LayoutHost.h"
#include "app/ListLayout.h"

// The bytes of a whole file; empty when it can't be read.
inline std::vector<BYTE> ReadWholeFile(const std::string& path)
{
    std::vector<BYTE> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (f == NULL)
        return bytes;
    int c;
    while ((c = fgetc(f)) != EOF)
        bytes.push_back(BYTE(c));
    fclose(f);
    return bytes;
}

// Each element of a layout in its order: the element, its text, anchors,
// flags and placement.
typedef std::tuple<const CLayoutSubItem*, std::string, int32_t, int32_t, DWORD, int> ElementState;
inline std::vector<ElementState> ElementStates(const CListLayout& layout)
{
    std::vector<ElementState> states;
    for (int32_t i = 0; i < layout.GetItemCount(); i++) {
        const CLayoutSubItem* item = layout.GetItem(i);
        states.emplace_back(item, item->m_text != NULL ? item->m_text : "", item->m_hAnchor, item->m_vAnchor,
                            item->m_flags, int(item->m_placement));
    }
    return states;
}

class CTestLayoutHost : public ILayoutHost {
public:
    CTestLayoutHost()
    {
        static int serial = 0;
        std::filesystem::path base = std::filesystem::temp_directory_path();
        for (;;) {
            std::string name = "vistrel-layout-" + std::to_string(long(std::rand())) + "-" +
                               std::to_string(serial++);
            m_dir = base / name;
            if (std::filesystem::create_directory(m_dir))
                break;
        }
        m_folder = m_dir.string();
        m_folder += char(std::filesystem::path::preferred_separator);
        SetLayoutHost(this);
    }

    ~CTestLayoutHost() override
    {
        SetLayoutHost(NULL);
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string GetFolder() override { return m_folder; }

    int GetProfileInt(const char* section, const char* entry, int defaultValue) override
    {
        auto found = ints.find(Key(section, entry));
        return found != ints.end() ? found->second : defaultValue;
    }
    bool WriteProfileInt(const char* section, const char* entry, int value) override
    {
        ints[Key(section, entry)] = value;
        return true;
    }
    bool GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>* data) override
    {
        auto found = binaries.find(Key(section, entry));
        if (found == binaries.end())
            return false;
        *data = found->second;
        return true;
    }
    bool WriteProfileBinary(const char* section, const char* entry, const void* data,
                            UINT bytes) override
    {
        const BYTE* begin = static_cast<const BYTE*>(data);
        binaries[Key(section, entry)].assign(begin, begin + bytes);
        return true;
    }
    void ShowStopMessage(HWND parent, const char* text, const char* caption) override
    {
        messages++;
        lastMessage = text;
        lastCaption = caption;
    }

    // "paintitem" values.
    int Int(const char* entry, int missing = -12345) { return GetProfileInt("paintitem", entry, missing); }
    void SetInt(const char* entry, int value) { WriteProfileInt("paintitem", entry, value); }

    std::string Path(const std::string& name) const { return m_folder + name; }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Path(name)); }
    void WriteFile(const std::string& name, const std::vector<BYTE>& bytes) const
    {
        FILE* f = fopen(Path(name).c_str(), "wb");
        if (f != NULL) {
            if (!bytes.empty())
                fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
    }
    std::vector<BYTE> ReadFile(const std::string& name) const
    {
        return ReadWholeFile(Path(name));
    }

    std::map<std::string, int> ints;
    std::map<std::string, std::vector<BYTE>> binaries;
    int messages = 0;
    std::string lastMessage;
    std::string lastCaption;

private:
    static std::string Key(const char* section, const char* entry)
    {
        return std::string(section) + "/" + entry;
    }

    std::filesystem::path m_dir;
    std::string m_folder;
};
