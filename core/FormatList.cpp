// Joins the plug-ins' format texts into one open-file dialog filter.
#include "core/FormatList.h"

#include <cstdlib>
#include <cstring>

#include "core/StrUtil.h"

void CFormatList::AddFormats(const char* formats)
{
    if (formats == NULL || *formats == 0)
        return;

    // Work on a copy framed by bars, then take the texts between bars in
    // turn as description and pattern list.
    std::string text = formats;
    if (text[0] != '|')
        text.insert(text.begin(), '|');
    if (text[text.size() - 1] != '|')
        text.push_back('|');

    std::vector<std::string> parts;
    size_t start = 1;
    while (start < text.size()) {
        size_t bar = text.find('|', start);
        parts.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }

    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::string& description = parts[i];
        const std::string& patterns = parts[i + 1];
        size_t from = 0;
        for (;;) {
            size_t semicolon = patterns.find(';', from);
            size_t end = semicolon == std::string::npos ? patterns.size() : semicolon;
            entries.push_back(FormatEntry{patterns.substr(from, end - from), description, false});
            if (semicolon == std::string::npos)
                break;
            from = semicolon + 1;
        }
    }
}

void CFormatList::BuildFilter(char** out)
{
    std::string filter = "All supported formats|";
    for (size_t i = 0; i < entries.size(); i++) {
        if (i > 0)
            filter += ';';
        filter += entries[i].pattern;
        entries[i].used = false;
    }

    // One entry per distinct description, its patterns in list order.
    for (size_t i = 0; i < entries.size(); i++) {
        if (entries[i].used)
            continue;
        filter += '|';
        filter += entries[i].description;
        filter += '|';
        filter += entries[i].pattern;
        filter += "; ";
        for (size_t j = i + 1; j < entries.size(); j++) {
            if (!entries[j].used && entries[j].description == entries[i].description) {
                filter += entries[j].pattern;
                filter += "; ";
                entries[j].used = true;
            }
        }
        filter.resize(filter.size() - 2);
    }

    filter += "|All files (*.*)|*.*||";
    free(*out);
    *out = NULL;
    StrAssign(out, filter.c_str());
}
