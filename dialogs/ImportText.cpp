#include "dialogs/ImportText.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

const char* const kImportTargetNames[IMPORT_TARGET_COUNT] = {
    "ID", "Title", "IMDB address", "File type", "Movie genre", "Comment"};
const char* const kImportSkip = "[skip]";

namespace {

const size_t kBlockSize = 128;

// Length of the UTF-8 sequence at text[i], 0 when it is not valid there.
size_t Utf8SequenceLength(const std::string& text, size_t i, uint32_t* codePoint)
{
    unsigned char c = (unsigned char)text[i];
    size_t length;
    uint32_t value;
    if (c < 0x80) {
        *codePoint = c;
        return 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        value = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        value = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        value = c & 0x07;
    } else {
        return 0;
    }
    if (text.size() - i < length)
        return 0;
    for (size_t k = 1; k < length; k++) {
        unsigned char next = (unsigned char)text[i + k];
        if ((next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    // Over-long forms, surrogates and values past the last code point.
    static const uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return length;
}

// True when every line is valid UTF-8 and at least one byte is not ASCII.
bool IsUtf8WithNonAscii(const std::vector<std::string>& lines)
{
    bool nonAscii = false;
    for (const std::string& line : lines) {
        for (size_t i = 0; i < line.size();) {
            uint32_t codePoint;
            size_t length = Utf8SequenceLength(line, i, &codePoint);
            if (length == 0)
                return false;
            nonAscii = nonAscii || length > 1;
            i += length;
        }
    }
    return nonAscii;
}

bool HasData(const std::vector<std::string>& fields)
{
    for (const std::string& field : fields) {
        if (!field.empty())
            return true;
    }
    return false;
}

size_t CountData(const std::vector<std::string>& fields)
{
    return size_t(std::count_if(fields.begin(), fields.end(),
                                [](const std::string& field) { return !field.empty(); }));
}

int TargetOfText(const std::string& text)
{
    for (int target = 0; target < IMPORT_TARGET_COUNT; target++) {
        if (text == kImportTargetNames[target])
            return target;
    }
    return -1;
}

// Moves the field at index into text; false (and text left alone) when the
// line has no such field.
bool TakeField(std::vector<std::string>& fields, int index, std::string& text)
{
    if (index < 0 || size_t(index) >= fields.size())
        return false;
    text = std::move(fields[size_t(index)]);
    return true;
}

// Sets a heap text only from a non-empty value.
void TakeText(char** target, const std::string& value)
{
    if (!value.empty())
        StrSet(target, value.c_str());
}

} // namespace

std::string Utf8ToLatin1(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        uint32_t codePoint = '?';
        size_t length = Utf8SequenceLength(utf8, i, &codePoint);
        if (length == 0) {
            length = 1;
            codePoint = '?';
        }
        out += codePoint <= 0xFF ? char(codePoint) : '?';
        i += length;
    }
    return out;
}

bool ReadImportLines(FILE* file, std::vector<std::string>& lines, ImportUtf8Converter convert)
{
    lines.clear();
    std::string line;
    char block[kBlockSize];
    bool first = true;
    for (;;) {
        size_t got = fread(block, 1, sizeof(block), file);
        size_t start = 0;
        if (first && got >= 3 && memcmp(block, "\xEF\xBB\xBF", 3) == 0)
            start = 3;
        first = false;
        // Whole runs of text go into the line at once.
        const char* p = block + start;
        const char* end = block + got;
        while (p < end) {
            const char* stop = p;
            while (stop < end && *stop != '\r' && *stop != '\n' && *stop != '\0')
                stop++;
            line.append(p, size_t(stop - p));
            if (stop == end)
                break;
            if (*stop == '\0')
                return false;
            if (!line.empty()) {
                // The next line is likely as long as this one.
                size_t length = line.size();
                lines.push_back(std::move(line));
                line = std::string();
                line.reserve(length);
            }
            p = stop + 1;
        }
        if (got < sizeof(block))
            break;
    }
    if (ferror(file))
        return false;
    if (!line.empty())
        lines.push_back(std::move(line));
    if (convert != NULL && IsUtf8WithNonAscii(lines)) {
        for (std::string& text : lines)
            text = convert(text);
    }
    return true;
}

bool SplitImportLine(const std::string& line, char dataDivider, char stringDivider,
                     std::vector<std::string>& fields)
{
    fields.clear();
    size_t i = 0;
    const size_t n = line.size();
    for (;;) {
        std::string field;
        if (stringDivider != '\0' && i < n && line[i] == stringDivider) {
            i++;
            for (;;) {
                if (i >= n)
                    return false;
                if (line[i] == stringDivider) {
                    if (i + 1 < n && line[i + 1] == stringDivider) {
                        field += stringDivider;
                        i += 2;
                        continue;
                    }
                    i++;
                    break;
                }
                size_t quote = line.find(stringDivider, i);
                if (quote == std::string::npos)
                    return false;
                field.append(line, i, quote - i);
                i = quote;
            }
        }
        size_t next = line.find(dataDivider, i);
        if (next == std::string::npos)
            next = n;
        field.append(line, i, next - i);
        fields.push_back(std::move(field));
        if (next >= n)
            return true;
        i = next + 1;  // past the data divider
    }
}

ImportParseResult ParseImportLines(const std::vector<std::string>& lines, char dataDivider,
                                   char stringDivider, ImportTable& table)
{
    table = ImportTable();
    std::vector<std::string> fields;
    size_t mostData = 0;
    size_t widest = 0;
    for (size_t i = 0; i < lines.size(); i++) {
        if (!SplitImportLine(lines[i], dataDivider, stringDivider, fields))
            return table.lines.empty() ? IMPORT_NEWLINE_IN_STRING : IMPORT_BAD_LINE;
        if (!HasData(fields)) {
            if (table.lines.empty())
                return IMPORT_NO_FIELDS;
            continue;
        }
        if (table.lines.empty())
            table.fieldCount = fields.size();
        size_t data = CountData(fields);
        if (data > mostData) {
            mostData = data;
            table.sample = table.lines.size();
        }
        widest = std::max(widest, fields.size());
        table.lines.push_back(std::move(fields));
        fields.clear();
    }
    if (table.lines.empty())
        return IMPORT_NO_FIELDS;
    for (std::vector<std::string>& line : table.lines)
        line.resize(widest);
    return IMPORT_PARSED;
}

ImportMapping::ImportMapping()
{
    std::fill(field, field + IMPORT_TARGET_COUNT, -1);
}

void NormaliseImportChoices(std::vector<std::string>& choices, size_t fieldCount)
{
    choices.resize(kImportBoxCount);
    bool taken[IMPORT_TARGET_COUNT] = {};
    for (size_t box = 0; box < choices.size(); box++) {
        int target = TargetOfText(choices[box]);
        if (box >= fieldCount || target < 0 || taken[target]) {
            choices[box] = kImportSkip;
            continue;
        }
        taken[target] = true;
    }
}

std::vector<std::string> ImportBoxOptions(const std::vector<std::string>& choices, size_t box,
                                          size_t fieldCount)
{
    std::vector<std::string> options;
    if (box < fieldCount) {
        for (int target = 0; target < IMPORT_TARGET_COUNT; target++) {
            bool mine = box < choices.size() && choices[box] == kImportTargetNames[target];
            bool elsewhere = false;
            for (size_t other = 0; other < choices.size(); other++) {
                if (other != box && choices[other] == kImportTargetNames[target])
                    elsewhere = true;
            }
            if (mine || !elsewhere)
                options.push_back(kImportTargetNames[target]);
        }
    }
    options.push_back(kImportSkip);
    return options;
}

ImportMapping MappingFromChoices(const std::vector<std::string>& choices)
{
    ImportMapping mapping;
    for (size_t box = 0; box < choices.size(); box++) {
        int target = TargetOfText(choices[box]);
        if (target >= 0 && mapping.field[target] < 0)
            mapping.field[target] = int(box);
    }
    return mapping;
}

int32_t ParseImportId(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos)
        return -1;
    int64_t value = 0;
    for (size_t i = begin; i <= end; i++) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX)
            return -1;
    }
    return int32_t(value);
}

std::vector<ImportRow> BuildImportRows(ImportTable table, const ImportMapping& mapping)
{
    std::vector<ImportRow> rows;
    rows.reserve(table.lines.size());
    // A box shows one target, so each field goes to one text at most and
    // can be moved out of the table.
    for (std::vector<std::string>& fields : table.lines) {
        ImportRow row;
        TakeField(fields, mapping.field[IMPORT_TITLE], row.title);
        TakeField(fields, mapping.field[IMPORT_FILE_TYPE], row.fileType);
        TakeField(fields, mapping.field[IMPORT_GENRE], row.genre);
        TakeField(fields, mapping.field[IMPORT_COMMENT], row.comment);
        TakeField(fields, mapping.field[IMPORT_ADDRESS], row.imdbAddress);
        std::string id;
        if (mapping.field[IMPORT_ID] >= 0 && TakeField(fields, mapping.field[IMPORT_ID], id))
            row.id = ParseImportId(id);
        rows.push_back(std::move(row));
    }
    return rows;
}

CImportAdder::CImportAdder(CMovieCollection& collection, const ImportMapping& mapping)
    : m_collection(collection), m_mapping(mapping), m_titlesRead(false)
{
}

void CImportAdder::ReadTitles()
{
    // The titles are read once per run of adds and then follow the run's own
    // changes, so a later row finds a movie an earlier row added or renamed.
    m_titles.clear();
    for (DWORD id = m_collection.GetNextIdOfMovie(NO_ID); id != NO_ID;
         id = m_collection.GetNextIdOfMovie(id)) {
        CMovie* movie = m_collection.GetMovieCopy(id);
        if (movie == NULL)
            continue;
        if (movie->m_title != NULL && movie->m_title[0] != '\0')
            m_titles.emplace(movie->m_title, id);
        m_collection.ReleaseMovieCopy(&movie);
    }
    m_titlesRead = true;
}

uint32_t CImportAdder::FindByTitle(const std::string& title)
{
    if (!m_titlesRead)
        ReadTitles();
    // Entries order by title, then id: the first of a title has its lowest id.
    auto it = m_titles.lower_bound(std::make_pair(title, uint32_t(0)));
    return it != m_titles.end() && it->first == title ? it->second : NO_ID;
}

bool CImportAdder::Add(ImportRow& row)
{
    CMovie* movie = NULL;
    if (row.id >= 0 && m_mapping.overwriteId)
        movie = m_collection.GetMovieCopy(DWORD(row.id));
    // An untitled row never matches by title: it would update the first
    // untitled movie.
    if (movie == NULL && m_mapping.overwriteName && !row.title.empty()) {
        DWORD id = FindByTitle(row.title);
        if (id != NO_ID)
            movie = m_collection.GetMovieCopy(id);
    }

    std::unique_ptr<CMovie> fresh;
    if (movie == NULL) {
        fresh.reset(new CMovie());
        movie = fresh.get();
    }
    std::string oldTitle = movie->m_title != NULL ? movie->m_title : "";
    TakeText(&movie->m_title, row.title);
    TakeText(&movie->m_customType, row.fileType);
    if (movie->m_imdbInfo == NULL &&
        (!row.imdbAddress.empty() || !row.genre.empty() || !row.comment.empty()))
        movie->m_imdbInfo.reset(new CImdbInfo());
    if (movie->m_imdbInfo != NULL) {
        TakeText(&movie->m_imdbInfo->m_address, row.imdbAddress);
        TakeText(&movie->m_imdbInfo->m_genre, row.genre);
        TakeText(&movie->m_imdbInfo->m_comment, row.comment);
    }

    DWORD id = movie->m_id;
    if (fresh != NULL) {
        id = m_collection.AddMovie(movie, false);
        if (id == NO_ID)
            return false;
    } else {
        m_collection.ReleaseMovieCopy(&movie);
    }
    if (m_titlesRead && !row.title.empty() && row.title != oldTitle) {
        if (!oldTitle.empty())
            m_titles.erase(std::make_pair(oldTitle, uint32_t(id)));
        m_titles.emplace(row.title, uint32_t(id));
    }
    row.added = true;
    return true;
}
