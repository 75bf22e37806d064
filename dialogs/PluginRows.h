// The rows of the plug-in configuration dialog: one per loaded plug-in, with
// the order of the list and the priority arrows' rule. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PluginRow {
    std::string fileName;
    std::string description;
    std::string formats;   // the format descriptions, each followed by ", "
    int version = 0;
    int32_t priority = 0;  // -1 disabled
};

// The description parts of a "|description|patterns|..." format text, each
// followed by ", "; empty for NULL.
std::string PluginFormatsText(const char* formats);

// A stored priority below -1 counts as disabled.
int32_t PluginRowPriority(int32_t stored);

// The sort key of a row in a column: 0 file name, 1 version, 2 priority
// ("Disabled" when disabled), 3 formats.
std::string PluginRowKey(const PluginRow& row, int column);

// Row indexes in list order: keys compared as byte strings, equal keys by
// file name; descending reverses the whole order.
std::vector<size_t> OrderPluginRows(const std::vector<PluginRow>& rows, int column, bool ascending);

// One step of the arrows: down disables at 0 and stays disabled; up
// enables from disabled at 0 and stops at 65534.
int32_t StepPluginPriority(int32_t priority, bool up);

// The priority as the list and the edit show it: "Disable" when disabled.
std::string PluginPriorityText(int32_t priority);
