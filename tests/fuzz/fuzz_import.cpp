// Import files: read, split, map and add to a collection. The first two
// bytes choose the dividers, the rest is the file.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/MovieCollection.h"
#include "dialogs/ImportText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char kData[] = {';', ',', ':', ' ', '\t'};
    static const char kString[] = {'"', '\'', '\0'};
    char dataDivider = size > 0 ? kData[data[0] % sizeof(kData)] : ';';
    char stringDivider = size > 1 ? kString[data[1] % sizeof(kString)] : '"';
    size_t skip = size > 2 ? 2 : size;

    FILE* file = fmemopen(const_cast<uint8_t*>(data + skip), size - skip, "rb");
    if (file == NULL)
        return 0;
    std::vector<std::string> lines;
    bool read = ReadImportLines(file, lines);
    fclose(file);
    if (!read)
        return 0;
    ImportTable table;
    if (ParseImportLines(lines, dataDivider, stringDivider, table) != IMPORT_PARSED)
        return 0;

    std::vector<std::string> choices = {"ID", "Title", "Movie genre", "Comment", "IMDB address",
                                        "File type", "Title"};
    NormaliseImportChoices(choices, table.lines[table.sample].size());
    ImportMapping mapping = MappingFromChoices(choices);
    mapping.overwriteId = true;
    mapping.overwriteName = true;
    std::vector<ImportRow> rows = BuildImportRows(table, mapping);
    CMovieCollection collection;
    CImportAdder adder(collection, mapping);
    for (ImportRow& row : rows)
        adder.Add(row);
    return 0;
}
