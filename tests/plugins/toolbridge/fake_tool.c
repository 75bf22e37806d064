/* Stands in for the identifier tool where the real one cannot misbehave on
 * demand; built once per mode:
 *   FAKE_big    writes a report line, then 1 MiB and more of further lines
 *   FAKE_sleep  writes its process id into the file named by its argument,
 *               then sleeps for a minute
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
#elif defined(FAKE_sleep)
    FILE* file = argc > 1 ? fopen(argv[1], "w") : NULL;
    if (file != NULL) {
        fprintf(file, "%lu", (unsigned long)GetCurrentProcessId());
        fclose(file);
    }
    Sleep(60000);
    return 0;
#else
    fputs(" File Format:  Three\n", stdout);
    return 3;
#endif
}
