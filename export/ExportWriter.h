// Writing an export: one big file (the head, one body per movie in the
// chosen order, the foot) or one file per movie, and the movies' cover
// images into a cover folder. All text comes from the scripts through the
// token engine; every failure is told through an error box. The wizard's
// run (CExportSummaryPage::Apply) fills the job from its pages.
#pragma once

#include <string>
#include <vector>

#include "core/WinTypes.h"
#include "export/ScriptFiles.h"

class ILoadProgress;

// Movie ids start..end (inclusive) when used, else every movie.
struct ExportRange {
    bool used;
    DWORD start;
    DWORD end;
};

struct ExportJob {
    // The big list: the file, its order (a sort code, and 51 for descending)
    // and the head, body and foot, already in the file's line format.
    std::string outputFile;
    int sortCode = 55;
    int order = 1;
    ExportRange bigRange = {false, 0, 0};
    ThreePartScript bigScripts;

    // One file per movie: folder (with its separator), name kind (31 by
    // title, else by id), extension without a point, the script.
    std::string outputFolder;
    int nameKind = 31;
    std::string fileType = "htm";
    ExportRange smallRange = {false, 0, 0};
    std::string smallScript;

    // Covers: folder (with its separator, or empty), the range, the link
    // from the output folder to it, and the name of the default picture
    // ("" for none) with its bytes.
    std::string coverFolder;
    ExportRange coverRange = {false, 0, 0};
    std::string coverPrefix;
    std::string noCoverName;
    std::vector<BYTE> noCoverBytes;
};

// How many movies the range holds, and how many of them have a cover that
// is written (cover bytes and a plain cover type).
DWORD CountExportMovies(const ExportRange& range);
DWORD CountExportCovers(const ExportRange& range);

// Each returns false when the run has to stop (a file or a movie it can't
// do without, or no memory: "Out of memory."); a failure that only ends its
// own part returns true. Every file is written under a temporary name and
// replaces its target only when complete.
bool WriteBigList(const ExportJob& job, ILoadProgress* progress);
bool WriteSmallFiles(const ExportJob& job, ILoadProgress* progress);
bool WriteCovers(const ExportJob& job, ILoadProgress* progress);

// Says "Out of memory." in an error box; never throws.
void ShowOutOfMemory();
