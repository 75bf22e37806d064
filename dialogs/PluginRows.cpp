#include "dialogs/PluginRows.h"

#include <algorithm>

std::string PluginFormatsText(const char* formats)
{
    std::string out;
    if (formats == NULL)
        return out;
    // Bars alternate: description, pattern list, description, ...; an outer
    // bar at either end is optional.
    std::string text = formats;
    if (text.empty() || text[0] != '|')
        text.insert(text.begin(), '|');
    size_t start = 1;
    bool description = true;
    while (start <= text.size()) {
        size_t bar = text.find('|', start);
        if (bar == std::string::npos)
            bar = text.size();
        if (description && bar > start)
            out += text.substr(start, bar - start) + ", ";
        description = !description;
        start = bar + 1;
    }
    return out;
}

int32_t PluginRowPriority(int32_t stored)
{
    return stored < -1 ? -1 : stored;
}

std::string PluginRowKey(const PluginRow& row, int column)
{
    switch (column) {
    case 1:
        return std::to_string(row.version);
    case 2:
        return row.priority < 0 ? "Disabled" : std::to_string(row.priority);
    case 3:
        return row.formats;
    default:
        return row.fileName;
    }
}

std::vector<size_t> OrderPluginRows(const std::vector<PluginRow>& rows, int column, bool ascending)
{
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const PluginRow& row : rows)
        keys.push_back(PluginRowKey(row, column));
    std::vector<size_t> order(rows.size());
    for (size_t i = 0; i < order.size(); i++)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        int c = keys[a].compare(keys[b]);
        if (c != 0)
            return c < 0;
        return rows[a].fileName < rows[b].fileName;
    });
    if (!ascending)
        std::reverse(order.begin(), order.end());
    return order;
}

int32_t StepPluginPriority(int32_t priority, bool up)
{
    priority = PluginRowPriority(priority);
    if (up)
        return priority <= 65533 ? priority + 1 : priority;
    return priority >= 0 ? priority - 1 : -1;
}

std::string PluginPriorityText(int32_t priority)
{
    return priority < 0 ? "Disable" : std::to_string(priority);
}
