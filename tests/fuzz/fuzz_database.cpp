// Feeds arbitrary bytes to the database loader as a file. Whatever loads must
// save over the file, keeping a damaged original aside byte for byte, and the
// saved file must load and save again to the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/ErrorBox.h"
#include "core/MovieCollection.h"

namespace {

// A memory-backed folder where there is one: every save flushes to disc.
std::string ScratchPath(const char* name)
{
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/fuzz_database_" + std::to_string(getpid()) + "_" + name;
}

std::string ReadAll(const std::string& path)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (f == NULL)
        abort();
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (SetErrorBoxRecording(true), true);
    (void)quiet;
    static const std::string input = ScratchPath("in.vdb");
    static const std::string first = ScratchPath("first.vdb");
    static const std::string second = ScratchPath("second.vdb");

    FILE* f = fopen(input.c_str(), "wb");
    if (f == NULL)
        return 0;
    fwrite(data, 1, size, f);
    fclose(f);

    CMovieCollection loaded;
    int boxes = ErrorBoxCount();
    bool ok = loaded.Load(input.c_str());
    // A damaged input is kept byte for byte by the save over it.
    bool damaged = ok && ErrorBoxCount() != boxes && LastErrorBoxText().find("kept as") != std::string::npos;
    if (ok && !loaded.Save(input.c_str(), true))
        abort();
    static const std::string kept = input + ".damaged";
    if (damaged && ReadAll(kept) != std::string(reinterpret_cast<const char*>(data), size))
        abort();
    remove(kept.c_str());
    remove(input.c_str());
    if (!ok)
        return 0;
    if (!loaded.Save(first.c_str(), true))
        abort();
    CMovieCollection again;
    if (!again.Load(first.c_str()) || !again.Save(second.c_str(), true))
        abort();
    if (ReadAll(first) != ReadAll(second))
        abort();
    remove(first.c_str());
    remove(second.c_str());
    return 0;
}
