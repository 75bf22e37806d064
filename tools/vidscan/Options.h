// The tool's command line: vidscan [options] <file>.
#pragma once

#include <cstdint>

struct VidscanOptions {
    bool asciiTexts;               // "A": ASF texts in the ANSI code page
    uint32_t atomLimit;            // "Q": top-level atoms searched for a movie
    uint32_t embeddedSearchBytes;  // "M": bytes searched for an embedded MPEG pack
    uint32_t tailScanBytes;        // "D": bytes read backwards at an MPEG file's end

    VidscanOptions()
        : asciiTexts(false), atomLimit(4), embeddedSearchBytes(131072), tailScanBytes(262144)
    {
    }
};

// An argument is an option when it begins with "-" or "/", has a second
// character and its third is not a letter; every other argument is the file
// name, the last one winning. The letter is taken in any case; "Q", "M" and
// "D" take a decimal value right after it or after a ":" (-Q8, /m:65536).
// False, for the usage text, on an unknown letter or without a file name.
bool ParseCommandLine(int argc, const char* const* argv, VidscanOptions& options,
                      const char** fileName);
