#include "ProbeAnswer.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Just enough JSON for ffprobe's answers: objects, arrays, strings without
// escapes beyond \", numbers and words. Scalar members of the objects at
// the given path are collected.
class CProbeReader {
public:
    explicit CProbeReader(const std::string& text) : text(text), at(0) {}

    bool Read(ProbeAnswer& answer)
    {
        Skip();
        return Expect('{') && Members(answer, "");
    }

private:
    void Skip()
    {
        while (at < text.size() && isspace((unsigned char)text[at]))
            at++;
    }
    bool Expect(char c)
    {
        Skip();
        if (at >= text.size() || text[at] != c)
            return false;
        at++;
        return true;
    }
    bool String(std::string& out)
    {
        if (!Expect('"'))
            return false;
        out.clear();
        while (at < text.size() && text[at] != '"') {
            if (text[at] == '\\' && at + 1 < text.size())
                at++;
            out += text[at++];
        }
        return Expect('"');
    }
    // The members of an object whose '{' was read; where names it.
    bool Members(ProbeAnswer& answer, const std::string& where)
    {
        std::map<std::string, std::string> scalars;
        Skip();
        if (at < text.size() && text[at] == '}') {
            at++;
            return Finish(answer, where, scalars);
        }
        do {
            std::string name, value;
            if (!String(name) || !Expect(':') || !Value(answer, where + "/" + name, value))
                return false;
            scalars[name] = value;
        } while (Expect(','));
        return Expect('}') && Finish(answer, where, scalars);
    }
    bool Finish(ProbeAnswer& answer, const std::string& where,
                const std::map<std::string, std::string>& scalars)
    {
        if (where == "/streams")
            answer.streams.push_back(scalars);
        else if (where == "/format")
            answer.format = scalars;
        return true;
    }
    bool Value(ProbeAnswer& answer, const std::string& where, std::string& out)
    {
        Skip();
        if (at >= text.size())
            return false;
        if (text[at] == '"')
            return String(out);
        if (text[at] == '{') {
            at++;
            return Members(answer, where);
        }
        if (text[at] == '[') {
            at++;
            Skip();
            if (at < text.size() && text[at] == ']')
                return ++at, true;
            do {
                std::string ignored;
                if (!Value(answer, where, ignored))
                    return false;
            } while (Expect(','));
            return Expect(']');
        }
        size_t start = at;
        while (at < text.size() && text[at] != ',' && text[at] != '}' && text[at] != ']' &&
               !isspace((unsigned char)text[at]))
            at++;
        out = text.substr(start, at - start);
        return at > start;
    }

    const std::string& text;
    size_t at;
};

} // namespace

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
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string json = text.str();
    answer = ProbeAnswer();
    return CProbeReader(json).Read(answer);
}

double ProbeRate(const std::string& fraction)
{
    size_t slash = fraction.find('/');
    double den = slash == std::string::npos ? 1 : atof(fraction.c_str() + slash + 1);
    return den != 0 ? atof(fraction.c_str()) / den : 0;
}
