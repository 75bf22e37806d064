// Writes what the float arithmetic of the portable code decides into one
// folder, so that the builds (host, x86_64 and i686 Windows, the x87 host
// build) can be compared byte for byte: the demo catalogue exported through
// the shipped scripts in two orders, the media tool's report of every media
// fixture, and pictures resized every way.
//
//   compare_dump SOURCE-FOLDER OUTPUT-FOLDER
//
// The output folder's files are removed first.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "export/ExportWriter.h"
#include "export/ScriptFiles.h"
#include "export/SortKeys.h"
#include "image/Image.h"
#include "tools/vidscan/Vidscan.h"

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

int g_failures = 0;

void Fail(const std::string& what)
{
    fprintf(stderr, "compare_dump: %s\n", what.c_str());
    g_failures++;
}

// The source tree's files are named by their Unix paths; Wine shows the
// root as drive Z:.
std::string NativePath(std::string path)
{
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
    if (!path.empty() && path[0] == '\\')
        path = "Z:" + path;
#endif
    return path;
}

bool MakeFolder(const std::string& path)
{
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0 || errno == EEXIST;
#else
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
#endif
}

// The names in a folder, sorted: the listing order differs between systems.
std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
#ifdef _WIN32
    _finddata_t found;
    intptr_t search = _findfirst((folder + "\\*").c_str(), &found);
    if (search != -1) {
        do {
            if (!(found.attrib & _A_SUBDIR))
                names.push_back(found.name);
        } while (_findnext(search, &found) == 0);
        _findclose(search);
    }
#else
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        }
        closedir(dir);
    }
#endif
    std::sort(names.begin(), names.end());
    return names;
}

bool EndsWith(const std::string& text, const char* end)
{
    std::string tail = end;
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Removes the files of a folder, and of its folders one level down.
void EmptyFolder(const std::string& folder, const std::string& separator)
{
    for (const std::string& name : FolderNames(folder))
        remove((folder + separator + name).c_str());
    for (const char* inner : {"export-small"}) {
        for (const std::string& name : FolderNames(folder + separator + inner))
            remove((folder + separator + inner + separator + name).c_str());
    }
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == NULL)
        return false;
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

void DumpExport(const std::string& source, const std::string& out)
{
    if (!theCollection.Load(NativePath(source + "/samples/demo.vdb").c_str())) {
        Fail("the demo catalogue does not load");
        return;
    }
    std::string scripts = NativePath(source + "/resources/scripts/template-script/");
    ThreePartScript big;
    std::string small;
    if (!LoadThreePartScriptFile((scripts + "big.vsc").c_str(), false, &big) ||
        !LoadSingleScriptFile((scripts + "small.vsc").c_str(), false, &small)) {
        Fail("the shipped scripts do not load");
        return;
    }
    // By title, and by genre the other way round (51: descending).
    const struct {
        const char* name;
        int sortCode;
        int order;
    } orders[] = {{"title", SORT_BY_TITLE, 1}, {"genre-descending", SORT_BY_GENRE, 51}};
    for (const auto& order : orders) {
        ExportJob job;
        job.sortCode = order.sortCode;
        job.order = order.order;
        job.outputFile = out + "export-big-" + order.name + ".html";
        job.bigScripts = big;
        job.coverPrefix = "covers/";
        if (!WriteBigList(job, NULL))
            Fail(std::string("the big list by ") + order.name + " was not written");
    }
    // One file per movie, named by id.
    ExportJob job;
    std::string folder = out + "export-small";
    if (!MakeFolder(folder)) {
        Fail("cannot make " + folder);
        return;
    }
    job.outputFolder = folder + (folder.find('\\') != std::string::npos ? "\\" : "/");
    job.nameKind = 32;
    job.smallScript = small;
    job.coverPrefix = "covers/";
    if (!WriteSmallFiles(job, NULL))
        Fail("the small files were not written");
    theCollection.Clear();
}

void DumpVidscan(const std::string& source, const std::string& out)
{
    std::string folder = source + "/tests/data/vidscan";
    std::string reports;
    std::vector<std::string> names = FolderNames(NativePath(folder));
    if (names.empty())
        Fail("no media fixtures in " + folder);
    for (const std::string& name : names) {
        if (EndsWith(name, ".json") || EndsWith(name, ".report"))
            continue;
        // Named relative to the folder: the report starts with the file name.
        std::string path = NativePath(folder + "/" + name);
        const char* argv[] = {"vidscan", path.c_str()};
        std::string report;
        int code = RunVidscan(2, argv, report);
        std::string shown = report.substr(0, report.find('\n') + 1);
        if (shown.find(path) != std::string::npos)
            report.replace(report.find(path), path.size(), name);
        // Texts beyond ASCII are shown in the system's code page where there
        // is one (Windows) and as "?" elsewhere: not what is compared here.
        for (char& c : report) {
            if (static_cast<unsigned char>(c) >= 0x80)
                c = '?';
        }
        reports += "== " + name + " (exit " + std::to_string(code) + ")\n" + report;
    }
    if (!WriteFile(out + "vidscan-reports.txt", reports))
        Fail("cannot write the media reports");
}

void DumpResized(const CxImage& picture, const std::string& name, const std::string& out)
{
    const DWORD w = picture.GetWidth(), h = picture.GetHeight();
    // Smaller both ways (areas), larger (interpolation), one way each, and
    // half the width with the height that keeps the proportions.
    const DWORD sizes[][2] = {{w / 2, h / 2}, {w / 3, h / 3 + 1}, {w * 5 / 2, h * 3 / 2 + 1},
                              {w / 2 + 1, h * 2}, {31, h * 31 / w}};
    for (const auto& size : sizes) {
        if (size[0] == 0 || size[1] == 0)
            continue;
        for (int mode : {0, 1}) {
            CxImage resized(picture);
            std::string file = out + "image-" + name + "-" + std::to_string(size[0]) + "x" +
                               std::to_string(size[1]) + (mode == 0 ? "-smooth" : "-nearest") + ".bmp";
            if (!resized.Resize(size[0], size[1], mode) || !resized.Save(file.c_str(), IMAGE_FORMAT_BMP))
                Fail("cannot resize " + name + " into " + file);
        }
    }
}

void DumpImages(const std::string& source, const std::string& out)
{
    const struct {
        const char* name;
        DWORD format;
    } pictures[] = {{"cover.jpg", IMAGE_FORMAT_JPEG},
                    {"cover.png", IMAGE_FORMAT_PNG},
                    {"colour.jpg", IMAGE_FORMAT_JPEG},
                    {"rgba.png", IMAGE_FORMAT_PNG}};
    for (const auto& picture : pictures) {
        CxImage image;
        if (!image.Load(NativePath(source + "/tests/data/images/" + picture.name).c_str(), picture.format)) {
            Fail(std::string("cannot load ") + picture.name);
            continue;
        }
        DumpResized(image, picture.name, out);
        // The cover at a small cover's odd size, and that halved.
        if (picture.format == IMAGE_FORMAT_JPEG && image.GetWidth() > 62) {
            CxImage odd(image);
            if (odd.Resize(62, 87, 1))
                DumpResized(odd, std::string(picture.name) + "-62x87", out);
            else
                Fail("cannot resize the cover to 62x87");
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: compare_dump SOURCE-FOLDER OUTPUT-FOLDER\n");
        return 2;
    }
    SetErrorBoxRecording(true);
    std::string source = argv[1];
    std::string out = NativePath(argv[2]);
    if (!MakeFolder(out)) {
        fprintf(stderr, "compare_dump: cannot make %s\n", out.c_str());
        return 1;
    }
    std::string separator = out.find('\\') != std::string::npos ? "\\" : "/";
    EmptyFolder(out, separator);
    out += separator;
    DumpExport(source, out);
    DumpVidscan(source, out);
    DumpImages(source, out);
    return g_failures == 0 ? 0 : 1;
}
