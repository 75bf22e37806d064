// The list boxes of persons: a line per stored person in ascending id
// order, the name as text and the id as item data.
#pragma once

#include <windows.h>

#include <vector>

#include "core/WinTypes.h"

void FillPersonList(HWND list);
// The ids of the selected lines of a multiple-selection list.
std::vector<DWORD> SelectedPersonIds(HWND list);
