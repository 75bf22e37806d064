// Times extracting a generated archive of about 50 MB in ~500 members
// (text, random bytes, some stored), made by Info-ZIP's zip, with the zip
// library and with "unzip -q -o" in the same run; best of three each.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "setup/ZipContainer.h"
#include "setup/ZipFile.h"

namespace {

typedef std::chrono::steady_clock Clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int Run(const std::string& command)
{
    return system(command.c_str());
}

} // namespace

int main()
{
    const std::string root = "/tmp/vistrel-bench-zip";
    Run("rm -rf " + root + " && mkdir -p " + root + "/src");
    // 500 files of ~100 KB: half text, half random; every tenth stored.
    std::string make = "cd " + root + "/src && python3 -c \""
                       "import os,random\n"
                       "random.seed(1)\n"
                       "for i in range(500):\n"
                       "  n=100000+random.randrange(5000)\n"
                       "  data=(('row %d of file %d; ' % (i, i)) * (n // 20)).encode()[:n] if i % 2 else os.urandom(n)\n"
                       "  open('f%03d.%s' % (i, 'txt' if i % 2 else 'bin'),'wb').write(data)\n\"";
    Run(make);
    Run("cd " + root + "/src && zip -q -r ../a.zip . -x 'f*0.*' && zip -q -0 ../a.zip f*0.*");
    std::string archive = root + "/a.zip";

    double ours = 1e9, peer = 1e9;
    uint64_t bytes = 0;
    for (int round = 0; round < 3; round++) {
        Run("rm -rf " + root + "/ours " + root + "/peer && mkdir -p " + root + "/ours " + root + "/peer");
        Clock::time_point start = Clock::now();
        CZipFile file;
        file.Open(archive, ZIP_MODE_READ, true);
        CZipContainer zip;
        zip.Open(file, CZipContainer::zipOpenReadOnly);
        bytes = 0;
        for (int i = 0; i < zip.GetCount(); i++) {
            CZipEntryHeader header;
            zip.GetEntryInfo(i, header);
            bytes += header.m_uncompressedSize;
            zip.ExtractEntry(i, root + "/ours", true, nullptr, nullptr, nullptr, 65535);
        }
        zip.Close();
        double t = SecondsSince(start);
        ours = t < ours ? t : ours;
        start = Clock::now();
        Run("unzip -q -o " + archive + " -d " + root + "/peer");
        t = SecondsSince(start);
        peer = t < peer ? t : peer;
    }
    printf("archive: %.1f MB unpacked\n", bytes / 1e6);
    printf("zip library: %.3f s (%.0f MB/s)\n", ours, bytes / 1e6 / ours);
    printf("unzip -q -o: %.3f s (%.0f MB/s)\n", peer, bytes / 1e6 / peer);
    printf("ratio: %.2f\n", ours / peer);
    printf("same files as unzip's: %s\n", Run("diff -rq " + root + "/ours " + root + "/peer >/dev/null") == 0 ? "yes" : "NO");
    Run("rm -rf " + root);
    return 0;
}
