// Times the media identifier against ffprobe on about 200 varied files
// made by scripts/make-vidscan-fixtures.sh --bench (not committed): each
// program runs once per file in the same run. Prints the mean time per file
// of each, their ratio, and how many files' answers (picture size, frame
// rate, sample rate, channels) differ where the report gives them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFiles.h"
#include "tests/vidscan/ProbeAnswer.h"
#include "tests/vidscan/ToolProcess.h"

namespace {

// The values of the report that differ from ffprobe's answer.
int Differences(const std::string& report, const ProbeAnswer& probe)
{
    auto fields = ReportFields(report);
    int differ = 0;
    const auto* video = probe.Stream("video");
    const auto* audio = probe.Stream("audio");
    int width = 0, height = 0;
    double rate = 0;
    std::string videoInfo = fields["Video Info"];
    if (video != NULL && sscanf(videoInfo.c_str(), "%d x %d", &width, &height) == 2)
        differ += width != atoi(video->at("width").c_str()) || height != atoi(video->at("height").c_str());
    size_t fps = videoInfo.find(" fps");
    if (video != NULL && fps != std::string::npos) {
        size_t start = videoInfo.rfind(", ", fps);
        rate = atof(videoInfo.c_str() + (start == std::string::npos ? 0 : start + 2));
        differ += std::fabs(rate - ProbeRate(video->at("r_frame_rate"))) > 0.001;
    }
    std::string audioInfo = fields["Audio Info"];
    size_t hz = audioInfo.find(" Hz");
    if (audio != NULL && hz != std::string::npos)
        differ += atoi(audioInfo.c_str()) != atoi(audio->at("sample_rate").c_str());
    bool mono = audioInfo.find("mono") != std::string::npos;
    bool stereo = audioInfo.find("stereo") != std::string::npos;
    if (audio != NULL && (mono || stereo))
        differ += (mono ? "1" : "2") != audio->at("channels");
    return differ;
}

} // namespace

int main()
{
    const std::string folder = "/tmp/vistrel-bench-vidscan";
    std::vector<std::string> files;
    auto list = [&]() {
        files.clear();
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error))
            files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
    };
    list();
    if (files.size() < 200) {
        std::string make = VISTREL_SOURCE_DIR "/scripts/make-vidscan-fixtures.sh --bench " + folder;
        if (system(make.c_str()) != 0)
            return 1;
        list();
    }

    double ours = 0, theirs = 0;
    int differing = 0;
    for (const std::string& file : files) {
        BenchClock::time_point start = BenchClock::now();
        ProgramResult report = RunProgram(VIDSCAN_EXE, {file});
        ours += SecondsSince(start);
        start = BenchClock::now();
        ProgramResult probe = RunProgram("/usr/bin/ffprobe",
                                         {"-v", "error", "-show_streams", "-show_format", "-of", "json", file});
        theirs += SecondsSince(start);

        std::string answer = file + ".json.tmp";
        WriteBytes(answer, probe.out);
        ProbeAnswer parsed;
        int differ = ReadProbeAnswer(answer, parsed) ? Differences(report.out, parsed) : 1;
        std::filesystem::remove(answer);
        if (differ != 0) {
            differing++;
            printf("differs: %s\n", file.c_str());
        }
    }
    double n = double(files.size());
    printf("%zu files\n", files.size());
    printf("vidscan: %.2f ms a file\n", 1000 * ours / n);
    printf("ffprobe: %.2f ms a file\n", 1000 * theirs / n);
    printf("ffprobe / vidscan: %.1f\n", theirs / ours);
    printf("files whose answers differ: %d\n", differing);
    return 0;
}
