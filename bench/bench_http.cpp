// Times an 8 MiB reply, plain and chunked, through the HTTP client and
// through curl in the same run, and prints the speed of each and the
// client's peak memory against the reply's size. A plain blocking recv loop
// of the same program shows what the platform's sockets allow by
// themselves (under Wine much less than curl on the host).
//
//   tests/net/peers.sh start /tmp/peers      (the web server peer)
//   wine bench_http.exe <port of "http" in /tmp/peers/ports>
//
// Each fetch runs in a child process of its own, so that the peak memory
// it reports is its own.
#ifdef _WIN32

#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BenchFiles.h"
#include "net/HttpClient.h"
#include "net/Winsock.h"

namespace {

const size_t kReplySize = 8u * 1024 * 1024;
const int kRounds = 3;

SIZE_T PrivateBytes(bool peak)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

// The child: one fetch, printing seconds, bytes and the peak above the
// memory in use before it.
int FetchOnce(const char* url)
{
    if (!InitWinsock())
        return 1;
    CHttpClient client;
    SIZE_T before = PrivateBytes(false);
    char* buffer = nullptr;
    size_t length = 0;
    BenchClock::time_point start = BenchClock::now();
    bool ok = client.Fetch(url, nullptr, &buffer, &length, nullptr);
    double seconds = SecondsSince(start);
    SIZE_T peak = PrivateBytes(true);
    free(buffer);
    if (!ok)
        return 1;
    printf("%f %zu %zu\n", seconds, length, size_t(peak > before ? peak - before : 0));
    return 0;
}

// The child for the floor under the client: the same GET on one blocking
// socket, its reply received whole into a buffer made for it. Under Wine
// every recv goes through the emulated socket layer, as the client's do.
int RawFetchOnce(const char* url)
{
    if (!InitWinsock())
        return 1;
    unsigned port = 0;
    char path[512] = "";
    if (sscanf(url, "http://127.0.0.1:%u%511s", &port, path) != 2)
        return 1;
    BenchClock::time_point start = BenchClock::now();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(u_short(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0)
        return 1;
    std::string request = std::string("GET ") + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
    send(s, request.data(), int(request.size()), 0);
    std::string reply(kReplySize + 64 * 1024, '\0');
    size_t have = 0;
    for (;;) {
        if (have == reply.size())
            reply.resize(reply.size() * 2);
        int got = recv(s, &reply[have], int(reply.size() - have < 65536 ? reply.size() - have : 65536), 0);
        if (got <= 0)
            break;
        have += size_t(got);
    }
    closesocket(s);
    double seconds = SecondsSince(start);
    printf("%f %zu %zu\n", seconds, have, size_t(0));
    return 0;
}

// Runs a command line and returns what it printed (through a temporary
// file: the child may be a Unix program).
std::string Run(const std::string& commandLine)
{
    char folder[MAX_PATH], file[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "bh", 0, file);
    SECURITY_ATTRIBUTES inherit = { sizeof inherit, nullptr, TRUE };
    HANDLE out = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 120000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(out);
    std::string text;
    if (FILE* f = fopen(file, "rb")) {
        char chunk[512];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
            text.append(chunk, n);
        fclose(f);
    }
    DeleteFileA(file);
    return text;
}

struct Figures {
    double seconds = 1e9;
    size_t bytes = 0;
    size_t peak = 0;
};

Figures BestOfClient(const std::string& url, const char* mode = "--fetch")
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    Figures best;
    for (int i = 0; i < kRounds; i++) {
        double seconds = 0;
        size_t bytes = 0, peak = 0;
        std::string out = Run(std::string("\"") + self + "\" " + mode + " " + url);
        if (sscanf(out.c_str(), "%lf %zu %zu", &seconds, &bytes, &peak) != 3)
            continue;
        if (seconds < best.seconds) {
            best.seconds = seconds;
            best.bytes = bytes;
        }
        best.peak = peak > best.peak ? peak : best.peak;
    }
    return best;
}

// curl runs as the Unix program it is, from a script in /tmp. Wine can't
// wait for a Unix process, so the script's last act is the file with the
// time, which is waited for.
double BestOfCurl(const std::string& url)
{
    const char script[] = "Z:\\tmp\\vistrel_bench_curl.sh";
    const char result[] = "Z:\\tmp\\vistrel_bench_curl.time";
    if (FILE* f = fopen(script, "wb")) {
        fprintf(f, "curl -s -o /dev/null -w '%%{time_total}' '%s' > /tmp/vistrel_bench_curl.part\n"
                   "mv /tmp/vistrel_bench_curl.part /tmp/vistrel_bench_curl.time\n",
                url.c_str());
        fclose(f);
    }
    double best = 1e9;
    for (int i = 0; i < kRounds; i++) {
        DeleteFileA(result);
        Run("Z:\\bin\\sh /tmp/vistrel_bench_curl.sh");
        FILE* f = nullptr;
        for (int wait = 0; wait < 600 && (f = fopen(result, "rb")) == nullptr; wait++)
            Sleep(100);
        if (f == nullptr)
            continue;
        double seconds = 0;
        if (fscanf(f, "%lf", &seconds) == 1 && seconds > 0 && seconds < best)
            best = seconds;
        fclose(f);
    }
    DeleteFileA(script);
    DeleteFileA(result);
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "--fetch") == 0)
        return FetchOnce(argv[2]);
    if (argc == 3 && strcmp(argv[1], "--raw") == 0)
        return RawFetchOnce(argv[2]);
    if (argc != 2) {
        fprintf(stderr, "usage: bench_http PORT (of tests/net/http_peer.py)\n");
        return 2;
    }
    std::string base = std::string("http://127.0.0.1:") + argv[1] + "/big?size=" + std::to_string(kReplySize);
    const double mib = 1024.0 * 1024.0;
    printf("reply of %.0f MiB, best of %d\n", kReplySize / mib, kRounds);
    printf("%-8s %12s %12s %10s %12s %9s %12s %10s\n", "body", "client MB/s", "curl MB/s", "time/curl",
           "recv MB/s", "time/recv", "peak MiB", "peak/reply");
    for (const char* mode : { "plain", "chunked" }) {
        std::string url = base + (strcmp(mode, "chunked") == 0 ? "&chunked=1" : "");
        Figures client = BestOfClient(url);
        double curl = BestOfCurl(url);
        Figures raw = BestOfClient(url, "--raw");
        if (client.bytes != kReplySize) {
            printf("%-8s the client's fetch failed\n", mode);
            continue;
        }
        printf("%-8s %12.1f %12.1f %10.2f %12.1f %9.2f %12.1f %10.2f\n", mode, kReplySize / mib / client.seconds,
               kReplySize / mib / curl, client.seconds / curl, raw.bytes / mib / raw.seconds,
               client.seconds / raw.seconds, client.peak / mib, double(client.peak) / kReplySize);
    }
    return 0;
}

#else

#include <cstdio>

int main()
{
    fprintf(stderr, "bench_http times the Windows HTTP client: run the Windows build under Wine\n");
    return 0;
}

#endif
