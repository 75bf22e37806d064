// Runs arbitrary cast names through the person address: the query after
// "/Name?" holds one separating comma and only characters safe in a URL.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/ImdbPersonAddress.h"
#include "net/ImdbSite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string name(reinterpret_cast<const char*>(data), size);
    std::string address = ImdbPersonAddress(name.c_str());
    std::string prefix = std::string(ImdbBaseAddress()) + "/Name?";
    if (address.compare(0, prefix.size(), prefix) != 0)
        abort();
    std::string query = address.substr(prefix.size());
    size_t comma = query.find(',');
    if (comma == std::string::npos || query.find(',', comma + 1) != std::string::npos)
        abort();
    if (comma + 1 != query.size() && query.compare(comma, 2, ",+") != 0)
        abort();
    for (unsigned char c : query) {
        if (c <= ' ' || c >= 0x7f || std::strchr("\"<>\\^`{|}#&;?", c) != nullptr)
            abort();
    }
    return 0;
}
