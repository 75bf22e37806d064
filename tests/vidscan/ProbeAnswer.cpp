#include "ProbeAnswer.h"

#include <cstdlib>
#include <fstream>

const std::map<std::string, std::string>* ProbeAnswer::Stream(const char* type) const
{
    for (const auto& stream : streams) {
        auto found = stream.find("codec_type");
        if (found != stream.end() && found->second == type)
            return &stream;
    }
    return NULL;
}

bool ReadProbeAnswer(const std::string& path, ProbeAnswer& answer)
{
    // ffprobe writes one member a line ("name": value,); a stream begins
    // with its index. Members of nested objects (tags) come after a
    // stream's own, which are kept when a name is seen twice.
    answer = ProbeAnswer();
    std::ifstream in(path);
    std::string line;
    std::map<std::string, std::string>* into = NULL;
    while (std::getline(in, line)) {
        if (line.find("\"index\": ") != std::string::npos) {
            answer.streams.emplace_back();
            into = &answer.streams.back();
        } else if (line.find("\"format\": {") != std::string::npos) {
            into = &answer.format;
        }
        size_t open = line.find('"');
        size_t close = line.find("\": ", open + 1);
        if (into == NULL || open == std::string::npos || close == std::string::npos)
            continue;
        std::string value = line.substr(close + 3);
        if (!value.empty() && value.back() == ',')
            value.pop_back();
        if (value.size() >= 2 && value.front() == '"')
            value = value.substr(1, value.size() - 2);
        into->insert({line.substr(open + 1, close - open - 1), value});
    }
    return !answer.streams.empty();
}

double ProbeRate(const std::string& fraction)
{
    size_t slash = fraction.find('/');
    double den = slash == std::string::npos ? 1 : atof(fraction.c_str() + slash + 1);
    return den != 0 ? atof(fraction.c_str()) / den : 0;
}
