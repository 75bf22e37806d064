// Gathers the (pattern, description) pairs of the loaded plug-ins' format
// texts and joins them into one open-file dialog filter.
#pragma once

#include <string>
#include <vector>

class CFormatList {
public:
    CFormatList() = default;
    virtual ~CFormatList() = default;

    // Adds the pairs of one "|description|*.a;*.b|..." text; NULL or empty
    // adds nothing. The outer bars are optional.
    void AddFormats(const char* formats);

    // Frees *out and stores a new heap text: "All supported formats|" with
    // every pattern, one entry per distinct description, then "All files".
    void BuildFilter(char** out);

private:
    struct FormatEntry {
        std::string pattern;      // as cut out of the plug-in text, blanks kept
        std::string description;
        bool used;                // only meaningful while a filter is built
    };

    std::vector<FormatEntry> entries;
};
