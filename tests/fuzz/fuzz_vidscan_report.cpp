// The tool bridge's report parser on any tool output.
#include <cstdint>
#include <string>

#include "plugins/toolbridge/ToolRunner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MediaFormat record;
    InitMediaFormat(record);
    ReportParseState state;
    size_t position = 0;
    std::string line;
    while (NextReportLine(reinterpret_cast<const char*>(data), size, position, line))
        CToolRunner::ParseReportLine(record, line.c_str(), state);
    FreeMediaFormat(record);
    return 0;
}
