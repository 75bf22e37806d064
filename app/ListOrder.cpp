#include "app/ListOrder.h"

#include <algorithm>

#include "app/TypeAhead.h"

int CompareEntryKeys(const EntrySortKeys& a, const EntrySortKeys& b)
{
    int d = CompareNoCase(a.key, b.key);
    return d != 0 ? d : CompareNoCase(a.key2, b.key2);
}

std::vector<DWORD> SortEntryOrder(const std::vector<EntrySortKeys>& keys, bool ascending)
{
    std::vector<DWORD> order(keys.size());
    for (size_t i = 0; i < order.size(); i++)
        order[i] = DWORD(i);
    std::stable_sort(order.begin(), order.end(), [&](DWORD a, DWORD b) {
        int d = CompareEntryKeys(keys[a], keys[b]);
        return ascending ? d < 0 : d > 0;
    });
    return order;
}
