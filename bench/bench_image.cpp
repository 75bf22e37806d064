// Times making small covers: 1,000 covers made by ImageMagick in this run
// (900 JPEG, 50 GIF and 50 PNG pictures of 300 x 475), each decoded,
// resized to 93 pixels wide and encoded again by the image library, against
// ImageMagick's one-process batch "mogrify -resize 93x" on the same files
// with one thread. Best of three each; per-cover times and their ratio.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchFiles.h"
#include "image/Image.h"

#ifndef _WIN32

namespace {

int Run(const std::string& command)
{
    return std::system(command.c_str());
}

struct Batch {
    const char* folder;
    const char* extension;
    DWORD format;
    int count;
    const char* options;
};

const Batch kBatches[] = {
    { "jpg", "jpg", IMAGE_FORMAT_JPEG, 900, "-quality 75" },
    { "gif", "gif", IMAGE_FORMAT_GIF, 50, "-colors 128" },
    { "png", "png", IMAGE_FORMAT_PNG, 50, "" },
};

std::string CoverName(const std::string& folder, int index, const char* extension)
{
    char name[32];
    std::snprintf(name, sizeof name, "/cover%03d.%s", index, extension);
    return folder + name;
}

} // namespace

int main()
{
    const std::string root = "/tmp/vistrel-bench-image";
    Run("rm -rf " + root + " && mkdir -p " + root);
    // Fifty plasma pictures per process, each cover a different one.
    int seed = 1;
    for (const Batch& batch : kBatches) {
        Run("mkdir " + root + "/" + batch.folder);
        for (int first = 0; first < batch.count; first += 50) {
            std::string make = "cd " + root + " && convert -seed " + std::to_string(seed++) + " -size 300x475";
            for (int i = first; i < batch.count && i < first + 50; i++)
                make += " plasma:";
            make += std::string(" -strip ") + batch.options + " -scene " + std::to_string(first) + " +adjoin " +
                    batch.folder + "/cover%03d." + batch.extension;
            if (Run(make) != 0) {
                std::fprintf(stderr, "bench_image: ImageMagick could not make the covers\n");
                return 1;
            }
        }
    }
    const int covers = 1000;

    double ours = 1e9, peer = 1e9;
    int failed = 0;
    for (int round = 0; round < 3; round++) {
        Run("rm -rf " + root + "/ours " + root + "/peer && mkdir -p " + root + "/ours " + root + "/peer");
        failed = 0;
        BenchClock::time_point start = BenchClock::now();
        for (const Batch& batch : kBatches) {
            for (int i = 0; i < batch.count; i++) {
                CxImage image;
                std::string in = CoverName(root + "/" + batch.folder, i, batch.extension);
                if (!image.Load(in.c_str(), batch.format)) {
                    failed++;
                    continue;
                }
                DWORD height = DWORD(std::floor(double(image.GetHeight()) / image.GetWidth() * 93.0));
                std::string out = CoverName(root + "/ours", i, batch.extension);
                if (!image.Resize(93, height, 0) || !image.Save(out.c_str(), batch.format))
                    failed++;
            }
        }
        ours = std::min(ours, SecondsSince(start));

        start = BenchClock::now();
        for (const Batch& batch : kBatches)
            Run("cd " + root + " && MAGICK_THREAD_LIMIT=1 mogrify -resize 93x -path peer " + batch.folder + "/*." +
                batch.extension);
        peer = std::min(peer, SecondsSince(start));
    }
    std::printf("covers: %d (900 JPEG, 50 GIF, 50 PNG, 300 x 475), failures: %d\n", covers, failed);
    std::printf("image library: %.3f ms per cover\n", ours * 1000.0 / covers);
    std::printf("ImageMagick mogrify -resize 93x, one thread: %.3f ms per cover\n", peer * 1000.0 / covers);
    std::printf("ratio (ours / ImageMagick): %.2f\n", ours / peer);
    Run("rm -rf " + root);
    return failed == 0 ? 0 : 1;
}

#else

int main()
{
    std::printf("bench_image runs in the host build, beside ImageMagick\n");
    return 0;
}

#endif
