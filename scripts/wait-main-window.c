/* Watches the main program from outside on a display without a person in
 * front of it (scripts/run.sh builds and runs it under Wine).
 *
 *   wait-main-window wait TITLE SECONDS
 *       answers the start-up questions nobody can answer here (the warning
 *       that no format plug-in was found: OK; the offer of a crash copy:
 *       Cancel, which keeps the copy), then waits until the window TITLE is
 *       shown, no other dialog of the program is up and its message loop
 *       answers. Exit status 0 then, 1 on time-out.
 *   wait-main-window close TITLE SECONDS
 *       closes the window TITLE through its close box and waits until it is
 *       gone. Exit status 0 then, 1 on time-out.
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct Search {
    const char* title;
    HWND main;
    int busy;   /* another dialog (progress, message) is up */
};

static void TextOf(HWND window, char* text, int size)
{
    DWORD_PTR result = 0;
    text[0] = '\0';
    if (SendMessageTimeoutA(window, WM_GETTEXT, (WPARAM)size, (LPARAM)text, SMTO_ABORTIFHUNG, 1000,
                            &result))
        text[size - 1] = '\0';
    else
        text[0] = '\0';
}

static BOOL CALLBACK CollectText(HWND child, LPARAM lParam)
{
    char* all = (char*)lParam;
    char text[512];
    TextOf(child, text, sizeof(text));
    if (strlen(all) + strlen(text) + 2 < 2048) {
        strcat(all, text);
        strcat(all, "\n");
    }
    return TRUE;
}

static void Answer(HWND box, int button, const char* what)
{
    printf("wait-main-window: answered %s\n", what);
    fflush(stdout);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(box, button));
}

static BOOL CALLBACK Look(HWND window, LPARAM lParam)
{
    struct Search* search = (struct Search*)lParam;
    char className[64] = "";
    char all[2048] = "";
    if (!IsWindowVisible(window))
        return TRUE;
    GetClassNameA(window, className, sizeof(className));
    if (strcmp(className, "#32770") == 0) {
        EnumChildWindows(window, CollectText, (LPARAM)all);
        if (strstr(all, "Couldn't find any import plugins") != NULL)
            Answer(window, IDOK, "the warning that no format plug-in was found");
        else if (strstr(all, "It seams you had a crash last time") != NULL)
            Answer(window, IDCANCEL, "the offer of a crash copy (it is kept)");
        else
            search->busy = 1;
        return TRUE;
    }
    TextOf(window, all, sizeof(all));
    if (strcmp(all, search->title) == 0)
        search->main = window;
    return TRUE;
}

int main(int argc, char** argv)
{
    if (argc != 4 || (strcmp(argv[1], "wait") != 0 && strcmp(argv[1], "close") != 0)) {
        fprintf(stderr, "usage: wait-main-window wait|close TITLE SECONDS\n");
        return 2;
    }
    int closing = strcmp(argv[1], "close") == 0;
    DWORD limit = (DWORD)atoi(argv[3]) * 1000;
    DWORD start = GetTickCount();
    int posted = 0;
    while (GetTickCount() - start < limit) {
        struct Search search = { argv[2], NULL, 0 };
        EnumWindows(Look, (LPARAM)&search);
        if (closing) {
            if (search.main == NULL)
                return 0;
            if (!posted)
                posted = PostMessageA(search.main, WM_CLOSE, 0, 0);
        } else if (search.main != NULL && !search.busy) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(search.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result))
                return 0;
        }
        Sleep(100);
    }
    fprintf(stderr, "wait-main-window: timed out\n");
    return 1;
}
