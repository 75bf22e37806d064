#include "app/NumberText.h"

#include <cctype>

bool ReadNumberText(const std::string& text, int32_t low, int32_t high, int32_t* value)
{
    if (text.empty())
        return false;
    size_t at = 0;
    while (at < text.size() && isspace((unsigned char)text[at]))
        at++;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    // Past the bounds every further digit changes nothing.
    const int64_t limit = int64_t(1) << 40;
    int64_t number = 0;
    for (; at < text.size() && isdigit((unsigned char)text[at]); at++) {
        if (number < limit)
            number = number * 10 + (text[at] - '0');
    }
    if (negative)
        number = -number;
    if (number < low)
        number = low;
    if (number > high)
        number = high;
    *value = int32_t(number);
    return true;
}
