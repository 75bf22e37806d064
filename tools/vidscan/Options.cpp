#include "tools/vidscan/Options.h"

#include <cstddef>

#include "core/StrUtil.h"

namespace {

// Values are kept within what a file under 2 GB can use.
const uint32_t kAtomLimitMax = 1000000;
const uint32_t kByteCountMax = 0x7FFFFFFF;

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The decimal value after the letter, from its leading digits; none is 0.
uint32_t OptionValue(const char* text, uint32_t limit)
{
    if (*text == ':')
        text++;
    uint64_t value = 0;
    for (; IsAsciiDigit(*text); text++) {
        value = value * 10 + uint64_t(*text - '0');
        if (value > limit)
            return limit;
    }
    return uint32_t(value);
}

} // namespace

bool ParseCommandLine(int argc, const char* const* argv, VidscanOptions& options,
                      const char** fileName)
{
    *fileName = NULL;
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        bool isOption = (arg[0] == '-' || arg[0] == '/') && arg[1] != '\0' && !IsLetter(arg[2]);
        if (!isOption) {
            *fileName = arg;
            continue;
        }
        switch (arg[1]) {
        case 'a':
        case 'A':
            options.asciiTexts = true;
            break;
        case 'q':
        case 'Q':
            options.atomLimit = OptionValue(arg + 2, kAtomLimitMax);
            break;
        case 'm':
        case 'M':
            options.embeddedSearchBytes = OptionValue(arg + 2, kByteCountMax);
            break;
        case 'd':
        case 'D':
            options.tailScanBytes = OptionValue(arg + 2, kByteCountMax);
            break;
        default:
            return false;
        }
    }
    return *fileName != NULL;
}
