#include "net/Base64Coding.h"

#include <cstring>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const BYTE kSkip = 64;
const BYTE kInvalid = 255;
const size_t kLineLength = 72;

struct Table {
    BYTE value[256];
    Table()
    {
        memset(value, kInvalid, sizeof value);
        for (int i = 0; i < 64; i++)
            value[BYTE(kAlphabet[i])] = BYTE(i);
        value[BYTE('\t')] = value[BYTE('\n')] = value[BYTE('\r')] = value[BYTE(' ')] = kSkip;
    }
};

// Appends the characters of the input; lineBreaks puts CR LF after every 72.
template <class Out>
void EncodeInto(const BYTE* data, size_t size, bool lineBreaks, Out& out)
{
    size_t inLine = 0;
    auto put = [&](char c) {
        if (lineBreaks && inLine == kLineLength) {
            out.push_back('\r');
            out.push_back('\n');
            inLine = 0;
        }
        out.push_back(c);
        inLine++;
    };
    for (size_t i = 0; i < size; i += 3) {
        size_t left = size - i;
        unsigned group = unsigned(data[i]) << 16;
        if (left > 1)
            group |= unsigned(data[i + 1]) << 8;
        if (left > 2)
            group |= data[i + 2];
        put(kAlphabet[(group >> 18) & 63]);
        put(kAlphabet[(group >> 12) & 63]);
        put(left > 1 ? kAlphabet[(group >> 6) & 63] : '=');
        put(left > 2 ? kAlphabet[group & 63] : '=');
    }
}

} // namespace

const BYTE* CBase64Coding::DecodeTable()
{
    static const Table table;
    return table.value;
}

bool CBase64Coding::Decode(const char* text, std::vector<BYTE>& out)
{
    return Decode(reinterpret_cast<const BYTE*>(text != NULL ? text : ""), text != NULL ? strlen(text) : 0, out);
}

bool CBase64Coding::Decode(const BYTE* data, size_t size, std::vector<BYTE>& out)
{
    out.clear();
    const BYTE* table = DecodeTable();
    unsigned group = 0;
    int count = 0;
    for (size_t i = 0; i < size && data[i] != '='; i++) {
        BYTE value = table[data[i]];
        if (value == kSkip)
            continue;
        if (value == kInvalid)
            return false;
        group = (group << 6) | value;
        if (++count == 4) {
            out.push_back(BYTE(group >> 16));
            out.push_back(BYTE(group >> 8));
            out.push_back(BYTE(group));
            group = 0;
            count = 0;
        }
    }
    // A last group of two or three characters holds one or two bytes.
    if (count == 2) {
        out.push_back(BYTE(group >> 4));
    } else if (count == 3) {
        out.push_back(BYTE(group >> 10));
        out.push_back(BYTE(group >> 2));
    }
    return true;
}

bool CBase64Coding::Encode(const BYTE* data, size_t size, std::string& text)
{
    text.clear();
    EncodeInto(data, size, true, text);
    return true;
}

bool CBase64Coding::Encode(const BYTE* data, size_t size, std::vector<BYTE>& out)
{
    out.clear();
    EncodeInto(data, size, false, out);
    return true;
}
