#include "net/ImdbPersonAddress.h"

#include "net/ImdbSite.h"

namespace {

// Characters a query may carry as they are; every other byte is written as
// "%XX". Blanks have become "+" before, and "," only separates the last name
// from the first names, so a comma of the name itself is escaped too.
bool IsPlainQueryChar(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '-': case '.': case '_': case '~': case '!': case '*': case '\'': case '(': case ')': case '+':
        return true;
    default:
        return false;
    }
}

std::string EscapeQueryPart(const std::string& part)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(part.size());
    for (unsigned char c : part) {
        if (IsPlainQueryChar(c)) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// "First Middle Last (II)" becomes "First Middle (II) Last": the site lists
// the qualifier with the first names. A single word loses its qualifier.
std::string MoveQualifier(const std::string& name)
{
    if (name.empty() || name.back() != ')')
        return name;
    size_t open = name.rfind('(');
    if (open == std::string::npos || open == 0 || name[open - 1] != ' ')
        return name;
    std::string qualifier = name.substr(open);
    std::string cut = name.substr(0, open - 1);
    size_t blank = cut.rfind(' ');
    if (blank == std::string::npos)
        return cut;
    return cut.substr(0, blank) + " " + qualifier + cut.substr(blank);
}

} // namespace

std::string ImdbPersonAddress(const char* name)
{
    std::string words = MoveQualifier(name != nullptr ? name : "");
    for (char& c : words) {
        if (c == ' ')
            c = '+';
    }
    std::string address = std::string(ImdbBaseAddress()) + "/Name?";
    size_t plus = words.rfind('+');
    if (plus == std::string::npos)
        return address + EscapeQueryPart(words) + ",";
    return address + EscapeQueryPart(words.substr(plus + 1)) + ",+" + EscapeQueryPart(words.substr(0, plus));
}
