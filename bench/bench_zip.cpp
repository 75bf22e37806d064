// Times extracting generated archives made by Info-ZIP's zip, with the zip
// library and with "unzip -q -o" in the same run; best of three each: one
// of about 50 MB in ~500 members (text, random bytes, some stored), and one
// of 20,000 small members, where the per-member costs (the directory, the
// checks of each member's place) show.
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
    Run("cd " + root + " && mkdir many && cd many && python3 -c \""
        "for i in range(20000): open('m%05d.txt' % i, 'w').write('member %d\\n' % i * 8)\" && zip -q -r ../many.zip .");

    bool same = true;
    for (const char* name : {"a.zip", "many.zip"}) {
        std::string archive = root + "/" + name;
        double ours = 1e9, peer = 1e9, open = 1e9;
        uint64_t bytes = 0;
        int members = 0;
        for (int round = 0; round < 3; round++) {
            Run("rm -rf " + root + "/ours " + root + "/peer && mkdir -p " + root + "/ours " + root + "/peer");
            Clock::time_point start = Clock::now();
            CZipFile file;
            file.Open(archive, ZIP_MODE_READ, true);
            CZipContainer zip;
            zip.Open(file, CZipContainer::zipOpenReadOnly);
            double opened = SecondsSince(start);
            open = opened < open ? opened : open;
            bytes = 0;
            members = zip.GetCount();
            for (int i = 0; i < members; i++) {
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
        printf("%s: %d members, %.1f MB unpacked\n", name, members, bytes / 1e6);
        printf("  zip library: %.3f s (%.0f MB/s, %.1f us per member)\n", ours, bytes / 1e6 / ours, ours * 1e6 / members);
        printf("  unzip -q -o: %.3f s (%.0f MB/s, %.1f us per member)\n", peer, bytes / 1e6 / peer, peer * 1e6 / members);
        printf("  ratio: %.2f; of it opening (the directory and the members' places): %.1f ms\n", ours / peer,
               open * 1e3);
        same = same && Run("diff -rq " + root + "/ours " + root + "/peer >/dev/null") == 0;
    }
    printf("same files as unzip's: %s\n", same ? "yes" : "NO");
    Run("rm -rf " + root);
    return 0;
}
