#include "tools/vidscan/CodecList.h"

#include <cstring>

#include "core/StrUtil.h"

namespace {

// Header lines are read up to 128 characters, body lines up to 256.
const size_t kHeaderLineLimit = 128;
const size_t kBodyLineLimit = 256;

// A header line: a class of one to five letters, ":", then either "0x" and
// a hexadecimal number or up to four characters of a FourCC.
struct ListHeader {
    std::string className;
    bool hasNumber;
    uint64_t number;
    std::string fourcc;
};

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}


bool ParseHeader(const std::string& line, ListHeader& header)
{
    size_t i = 0;
    while (i < line.size() && i < 5 && IsLetter(line[i]))
        i++;
    if (i == 0 || i >= line.size() || line[i] != ':')
        return false;
    header.className = line.substr(0, i);
    i++;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' ||
                               line[i] == '\v' || line[i] == '\f'))
        i++;
    header.hasNumber = false;
    header.number = 0;
    if (line.compare(i, 2, "0x") == 0 && i + 2 < line.size() && HexDigitValue(line[i + 2]) >= 0) {
        header.hasNumber = true;
        for (size_t k = i + 2; k < line.size() && HexDigitValue(line[k]) >= 0; k++) {
            // Past 32 bits no id can match; the value stops growing there.
            if (header.number <= 0xFFFFFFFFull)
                header.number = header.number * 16 + uint64_t(HexDigitValue(line[k]));
        }
        return true;
    }
    if (i >= line.size())
        return false;
    header.fourcc = line.substr(i, 4);
    return true;
}

bool KeyIs(const char* key, const char* shortKey, const char* longKey)
{
    return StrEqualNoCase(key, shortKey) || StrEqualNoCase(key, longKey);
}

void ApplyBodyLine(const std::string& line, bool hasEnd, CodecRecord& record)
{
    char key[16] = "";
    char value[256] = "";
    char third[32] = "";
    int fields = sscanf(line.c_str(), " %15s %255[^;\n]; %31[^;\n]", key, value, third);
    if (fields >= 1) {
        if (KeyIs(key, "N:", "Name:")) {
            SetCodecField(record.name, value);
            SetCodecField(record.code, third);
            return;
        }
        if (KeyIs(key, "A:", "Author:")) {
            SetCodecField(record.author, value);
            return;
        }
        if (KeyIs(key, "W:", "WebSite:")) {
            SetCodecField(record.webSite, value);
            return;
        }
        if (key[strlen(key) - 1] == ':')
            return;
    }
    // A free line goes to the notes with its line end, while they stay
    // below their size.
    size_t used = strlen(record.notes);
    size_t add = line.size() + (hasEnd ? 1 : 0);
    if (used + add < sizeof(record.notes)) {
        memcpy(record.notes + used, line.data(), line.size());
        if (hasEnd)
            record.notes[used + line.size()] = '\n';
        record.notes[used + add] = '\0';
    }
}

} // namespace

void ClearCodecRecord(CodecRecord& record)
{
    memset(&record, 0, sizeof(record));
}

void SetCodecField(char* field, size_t size, const char* text)
{
    size_t n = strlen(text);
    if (n >= size)
        n = size - 1;
    memcpy(field, text, n);
    memset(field + n, 0, size - n);
}

bool ReadListLine(FILE* file, size_t limit, std::string& line, bool* hasEnd)
{
    line.clear();
    size_t length = 0;
    bool any = false;
    bool ended = false;
    int c;
    while ((c = getc(file)) != EOF) {
        any = true;
        if (c == '\n') {
            ended = true;
            break;
        }
        if (length++ < limit)
            line += char(c);
    }
    // A CR before the LF belongs to the line end (lists written on Windows
    // read the same in every build).
    if (ended && length <= limit && !line.empty() && line.back() == '\r')
        line.pop_back();
    if (hasEnd != NULL)
        *hasEnd = ended;
    return any;
}

void ReadCodecEntry(FILE* file, CodecRecord& record)
{
    ClearCodecRecord(record);
    std::string line;
    bool hasEnd = false;
    for (;;) {
        int c = getc(file);
        if (c != ' ' && c != '\t') {
            if (c != EOF)
                ungetc(c, file);
            return;
        }
        ungetc(c, file);
        if (!ReadListLine(file, kBodyLineLimit, line, &hasEnd))
            return;
        ApplyBodyLine(line, hasEnd, record);
    }
}

CCodecList::CCodecList(const char* programPath)
{
    std::string program = programPath != NULL ? programPath : "";
    size_t slash = program.find_last_of("/\\");
    path = (slash == std::string::npos ? std::string() : program.substr(0, slash + 1)) + "vidscan.cdb";
}

bool FindCodecEntry(FILE* file, const char* className, uint32_t id, CodecRecord& record)
{
    // The id as FourCC text: its four bytes, low byte first, each in 7 bits.
    char idText[5];
    for (int k = 0; k < 4; k++)
        idText[k] = char((id >> (8 * k)) & 0x7F);
    idText[4] = '\0';

    std::string line;
    ListHeader header;
    while (ReadListLine(file, kHeaderLineLimit, line)) {
        if (!ParseHeader(line, header) || !StrEqualNoCase(header.className.c_str(), className))
            continue;
        bool match = header.hasNumber ? header.number == id
                                      : (header.fourcc == idText || header.fourcc[0] == '*');
        if (match) {
            ReadCodecEntry(file, record);
            return true;
        }
    }
    return false;
}

bool CCodecList::LookupCodec(const char* className, uint32_t id, CodecRecord& record) const
{
    FILE* file = fopen(path.c_str(), "r");
    if (file == NULL)
        return false;
    FindCodecEntry(file, className, id, record);
    fclose(file);
    return true;
}
