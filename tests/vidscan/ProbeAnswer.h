// ffprobe's answers (-show_streams -show_format -of json) committed beside
// the media fixtures, read into the fields the tests compare.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ProbeAnswer {
    // The members of each stream and of the format, as texts.
    std::vector<std::map<std::string, std::string>> streams;
    std::map<std::string, std::string> format;

    // The first stream of the type ("video", "audio"), or NULL.
    const std::map<std::string, std::string>* Stream(const char* type) const;
};

bool ReadProbeAnswer(const std::string& path, ProbeAnswer& answer);

// "25/1" and "30000/1001" as numbers; 0 for "0/0".
double ProbeRate(const std::string& fraction);
