// vidscan: identifies one media file and prints its report on standard
// output.
#include <cstdio>
#include <string>

#include "tools/vidscan/Vidscan.h"

int main(int argc, char** argv)
{
    std::string out;
    int code = RunVidscan(argc, argv, out);
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
    return code;
}
