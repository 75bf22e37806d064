/* Stands in for the identifier tool where the real one cannot misbehave on
 * demand; built once per mode:
 *   FAKE_big    writes a report line, then 1 MiB and more of further lines
 *   FAKE_busy   writes its process id into the file named by its argument,
 *               then blank lines in 64 KiB blocks without a pause for a
 *               minute
 *   FAKE_exit3  writes a report line and exits with 3 */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv)
{
#if defined(FAKE_big)
    char line[80];
    int i;
    fputs(" File Format:  Big\n", stdout);
    memset(line, 'x', sizeof(line));
    memcpy(line, "    Web Site:  ", 15);
    line[sizeof(line) - 1] = '\n';
    for (i = 0; i < (1 << 20) / (int)sizeof(line) + 1000; i++)
        fwrite(line, 1, sizeof(line), stdout);
    return 0;
#elif defined(FAKE_busy)
    static char block[65536];
    FILE* file = argc > 1 ? fopen(argv[1], "w") : NULL;
    DWORD started = GetTickCount();
    if (file != NULL) {
        fprintf(file, "%lu", (unsigned long)GetCurrentProcessId());
        fclose(file);
    }
    memset(block, ' ', sizeof(block));
    block[sizeof(block) - 1] = '\n';
    while (GetTickCount() - started < 60000)
        fwrite(block, 1, sizeof(block), stdout);
    return 0;
#else
    fputs(" File Format:  Three\n", stdout);
    return 3;
#endif
}
