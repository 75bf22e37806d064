// The program's own path and the topics of its help file, which every dialog
// opens from its help handler.
#pragma once

#include <windows.h>

#include <string>

// The full path of the main program, however long it is; empty when the
// system can't tell.
std::string GetModulePath();

// The help file beside the program, "<folder>\vistrel.chm", followed by
// "::/" and the topic when one is given.
std::string GetHelpTopicPath(const char* topic);

// Opens the help file at a topic over the owner window (HTML Help, bound
// from hhctrl.ocx at first use). Dialogs call it from their help handler.
void ShowHelpTopic(HWND owner, const char* topic);
