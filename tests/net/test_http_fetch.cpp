// Requests straight to the web server peer (http_peer.py): the texts sent,
// redirects, status lines, chunks, logins, and servers that misbehave.
#ifdef _WIN32

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "DialogDriver.h"
#include "NetPeers.h"
#include "ProgramRun.h"
#include "net/DownloadStatus.h"
#include "net/HttpClient.h"

namespace {

std::string HostText()
{
    return "127.0.0.1:" + std::to_string(PeerPort("http"));
}

} // namespace

TEST(HttpFetch, SendsTheExactRequestTexts)
{
    ASSERT_NE(0, PeerPort("http")) << "the peers are not running";
    CHttpClient client;
    client.SetHttpVersion(0);
    FetchResult get = FetchWith(client, PeerUrl("/echo/a?b=c"));
    ASSERT_TRUE(get.ok) << get.errors;
    EXPECT_EQ("GET /echo/a?b=c HTTP/1.0\r\nAccept: */*\r\nUser-Agent: vistrel/1.3.x\r\nConnection: close\r\n\r\n",
              get.body);

    client.SetHttpVersion(1);
    FetchResult post = FetchWith(client, PeerUrl("/echo"), "for=The+Movie&x=1");
    ASSERT_TRUE(post.ok) << post.errors;
    EXPECT_EQ("POST /echo HTTP/1.1\r\nAccept: */*\r\nHost: " + HostText() +
                  "\r\nUser-Agent: vistrel/1.3.x\r\nConnection: close\r\n"
                  "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 17\r\n\r\nfor=The+Movie&x=1",
              post.body);

    // A login of 60 characters each way goes on one header line.
    std::string user(60, 'u'), password(59, 'p');
    password += ':';
    FetchResult auth = FetchWith(client, "http://" + user + ":" + password + "@" + HostText() + "/auth");
    ASSERT_TRUE(auth.ok) << auth.errors;
    EXPECT_EQ(user + ":" + password, auth.body);
}

TEST(HttpFetch, FollowsRedirectsWithinBounds)
{
    CHttpClient client;
    FetchResult chain = FetchWith(client, PeerUrl("/redirect/10"));
    ASSERT_TRUE(chain.ok) << chain.errors;
    EXPECT_EQ("arrived", chain.body);
    EXPECT_EQ(0u, chain.errorCount);

    FetchResult tooMany = FetchWith(client, PeerUrl("/redirect/11"));
    EXPECT_FALSE(tooMany.ok);
    EXPECT_EQ(1u, tooMany.errorCount);
    EXPECT_EQ(0u, tooMany.firstText.find("Too many 301/302 responses in a row. "));

    FetchResult loop = FetchWith(client, PeerUrl("/loop/a"));
    EXPECT_FALSE(loop.ok);
    EXPECT_EQ(0u, loop.firstText.find("Too many 301/302 responses in a row. "));

    FetchResult same = FetchWith(client, PeerUrl("/same"));
    EXPECT_FALSE(same.ok);
    EXPECT_EQ(2, same.firstKind);
    EXPECT_EQ(0u, same.firstText.find("A 301/302 respone is pointing to the same address"));

    FetchResult slashes = FetchWith(client, PeerUrl("/slashes"));
    ASSERT_TRUE(slashes.ok) << slashes.errors;
    EXPECT_EQ(0u, slashes.body.find("GET /echo/x HTTP/1.1\r\n"));

    FetchResult nowhere = FetchWith(client, PeerUrl("/nolocation"));
    EXPECT_FALSE(nowhere.ok);
    EXPECT_EQ(0, nowhere.firstKind);
    EXPECT_EQ(0u, nowhere.firstText.find("Unable to fullfill a 301/302"));
}

TEST(HttpFetch, StatusLinesVersionsAndEncodings)
{
    CHttpClient client;
    struct Case {
        const char* path;
        bool ok;
        const char* text;  // the body, or the first error's text
    };
    const Case cases[] = {
        { "/status/150", true, "status 150" },
        { "/status/700", true, "status 700" },
        { "/status/404", false, "404 - Not Found" },
        { "/status/418", false, "HTTP/1.1 418 Scripted" },
        { "/version/1.0", true, "versioned" },
        { "/version/2.0", false, "Incompatible HTTP version. I only read 1.0 and 1.1" },
        { "/nonhttp", false, "Not a HTML server we're talking to." },
        { "/gzip", false, "Unknown encoding used. Try forcing HTTP version 1.0. gzip" },
        { "/chunked", true, "chunked bbbbbbbbbbbbbbbbbbbbbbbbbbb" },
        { "/truncated-chunked", false, "Unable to read chunked data. Try forcing HTTP version 1.0." },
        { "/truncated", false, "Unable to read data from http server (threw proxy ?)" },
    };
    for (const Case& c : cases) {
        FetchResult result = FetchWith(client, PeerUrl(c.path));
        EXPECT_EQ(c.ok, result.ok) << c.path << "\n" << result.errors;
        EXPECT_EQ(c.text, c.ok ? result.body : result.firstText) << c.path;
        EXPECT_EQ(c.ok ? 0u : 1u, result.errorCount) << c.path << "\n" << result.errors;
    }

    FetchResult scheme = FetchWith(client, "ftp://127.0.0.1/");
    EXPECT_EQ("Unable to parse http address: ftp://127.0.0.1/", scheme.firstText);

    // Nothing listens on the port of a socket just closed.
    SOCKET probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in any = {};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<sockaddr*>(&any), sizeof any);
    int size = sizeof any;
    getsockname(probe, reinterpret_cast<sockaddr*>(&any), &size);
    closesocket(probe);
    client.ClearErrors();
    FetchResult refused = FetchWith(client, "http://127.0.0.1:" + std::to_string(ntohs(any.sin_port)) + "/");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(6, refused.firstKind);
    EXPECT_NE(std::string::npos, refused.errors.find("System said:\r\n\tThe attempt to connect was rejected.\r\n"))
        << refused.errors;
}

TEST(HttpFetch, MisbehavingServersEndInTime)
{
    CHttpClient client;
    client.SetReadTimeout(1500);

    // A byte every 400 ms keeps a request alive past its time-out.
    FetchResult slow = FetchWith(client, PeerUrl("/slow?ms=400&n=6"));
    ASSERT_TRUE(slow.ok) << slow.errors;
    EXPECT_EQ("ssssss", slow.body);

    FetchResult silent = FetchWith(client, PeerUrl("/silent"));
    EXPECT_FALSE(silent.ok);
    EXPECT_EQ("Unable to read data from http server (threw proxy ?)", silent.firstText);
    // Ended by the time-out, long before the server's 30 s.
    EXPECT_GE(silent.elapsedMs, 1400u);
    EXPECT_LT(silent.elapsedMs, 15000u);

    // A server that never closes gives its whole reply after the time-out.
    FetchResult open = FetchWith(client, PeerUrl("/neverclose"));
    ASSERT_TRUE(open.ok) << open.errors;
    EXPECT_EQ("all of it", open.body);
    EXPECT_LT(open.elapsedMs, 15000u);

    // A reply of exactly 16 MiB, head included, is the largest taken.
    FetchResult largest = FetchWith(client, PeerUrl("/big?size=16777171"));
    ASSERT_TRUE(largest.ok) << largest.errors;
    EXPECT_EQ(16777171u, largest.body.size());
    FetchResult over = FetchWith(client, PeerUrl("/big?size=16777172"));
    EXPECT_EQ("The reply is larger than 16 MB.", over.firstText);

    FetchResult huge = FetchWith(client, PeerUrl("/big?size=17000000"));
    EXPECT_FALSE(huge.ok);
    EXPECT_EQ(3, huge.firstKind);
    EXPECT_EQ("The reply is larger than 16 MB.", huge.firstText);
    EXPECT_EQ(1u, huge.errorCount) << huge.errors;
}

TEST(HttpFetch, CloseFromAnotherThreadEndsTheRequest)
{
    CHttpClient client;
    int before = ThreadCount();
    FetchResult result;
    // A status without a window tells when the request waits for its reply.
    CDownloadStatus status(nullptr, nullptr, nullptr);
    std::thread worker([&] { result = FetchWith(client, PeerUrl("/silent"), nullptr, &status); });
    EXPECT_TRUE(WaitFor([&] { return status.GetStatusText() == "Download data..."; }));
    DWORD start = GetTickCount();
    client.Close();
    worker.join();
    EXPECT_LT(GetTickCount() - start, 10000u);  // the read time-out is 20 s
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(before, ThreadCount());

    // The next request runs as usual.
    FetchResult next = FetchWith(client, PeerUrl("/status/200"));
    EXPECT_TRUE(next.ok) << next.errors;
}

#endif
