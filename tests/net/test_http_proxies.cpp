// Requests through real proxies (tinyproxy, microsocks, dante) and through
// the scripted SOCKS peer, which records the handshake bytes and answers
// what the test tells it.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "NetPeers.h"
#include "net/HttpClient.h"

namespace {

const char kUnknownHost[] = "movies.invalid";

void WriteText(const std::string& path, const std::string& text)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
}

// The scripted peer's answers for the next connection; its record goes.
void Script(const std::string& lines)
{
    WriteText(PeerFile("socks_script"), lines);
    DeleteFileA(PeerFile("socks_record").c_str());
}

std::string Recorded()
{
    FILE* file = fopen(PeerFile("socks_record").c_str(), "rb");
    if (file == nullptr)
        return "<none>";
    char text[4096] = {};
    size_t n = fread(text, 1, sizeof text - 1, file);
    fclose(file);
    return std::string(text, n);
}

std::string Hex(const std::string& bytes)
{
    std::string hex;
    char two[3];
    for (unsigned char c : bytes) {
        snprintf(two, sizeof two, "%02x", c);
        hex += two;
    }
    return hex;
}

std::string PortHex(int port)
{
    return Hex(std::string(1, char(port >> 8)) + std::string(1, char(port & 0xFF)));
}

class ProxyTest : public ::testing::Test {
protected:
    void Use(int type, const char* peer, const char* login = nullptr, const char* password = nullptr)
    {
        client.SetProxy(type, "127.0.0.1", (unsigned short)PeerPort(peer), login, password);
    }
    // The echo of the web server's peer, reached by the name only the
    // proxy can resolve.
    std::string UnknownHostUrl() const
    {
        return std::string("http://") + kUnknownHost + ":" + std::to_string(PeerPort("http")) + "/echo";
    }

    CHttpClient client;
};

} // namespace

TEST_F(ProxyTest, HttpProxyWithAndWithoutLogin)
{
    ASSERT_NE(0, PeerPort("tinyproxy")) << "the peers are not running";
    Use(HTTP_PROXY_HTTP, "tinyproxy");
    FetchResult plain = FetchWith(client, PeerUrl("/echo/plain"));
    ASSERT_TRUE(plain.ok) << plain.errors;
    EXPECT_EQ(0u, plain.body.find("GET /echo/plain HTTP/1."));
    EXPECT_NE(std::string::npos, plain.body.find("User-Agent: vistrel/1.3.x"));

    Use(HTTP_PROXY_HTTP, "tinyproxy_auth", "vistrel", "secret");
    FetchResult login = FetchWith(client, PeerUrl("/chunked"));
    ASSERT_TRUE(login.ok) << login.errors;
    EXPECT_EQ("chunked bbbbbbbbbbbbbbbbbbbbbbbbbbb", login.body);

    Use(HTTP_PROXY_HTTP, "tinyproxy_auth");
    FetchResult refused = FetchWith(client, PeerUrl("/echo"));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(2, refused.firstKind);
    EXPECT_EQ(0u, refused.firstText.find("HTTP/1.")) << refused.firstText;
    EXPECT_NE(std::string::npos, refused.firstText.find(" 407 ")) << refused.firstText;
}

TEST_F(ProxyTest, RealSocksServers)
{
    Use(HTTP_PROXY_SOCKS5, "microsocks");
    FetchResult open = FetchWith(client, PeerUrl("/redirect/2"));
    ASSERT_TRUE(open.ok) << open.errors;
    EXPECT_EQ("arrived", open.body);

    Use(HTTP_PROXY_SOCKS5, "microsocks_auth", "vistrel", "secret");
    FetchResult login = FetchWith(client, PeerUrl("/echo"));
    ASSERT_TRUE(login.ok) << login.errors;

    Use(HTTP_PROXY_SOCKS5, "microsocks_auth", "vistrel", "wrong");
    FetchResult wrong = FetchWith(client, PeerUrl("/echo"));
    EXPECT_FALSE(wrong.ok);
    EXPECT_EQ(1, wrong.firstKind);
    EXPECT_EQ("Invalid username/password.", wrong.firstText);

    Use(HTTP_PROXY_SOCKS5, "microsocks_auth");
    FetchResult none = FetchWith(client, PeerUrl("/echo"));
    EXPECT_EQ("You must authenticate to this server", none.firstText);
    EXPECT_NE(std::string::npos, none.errors.find("Proxy error:\r\n\tYou must authenticate to this server\r\n"));

    Use(HTTP_PROXY_SOCKS4, "dante");
    FetchResult socks4 = FetchWith(client, PeerUrl("/status/200"));
    ASSERT_TRUE(socks4.ok) << socks4.errors;
    EXPECT_EQ("status 200", socks4.body);
}

TEST_F(ProxyTest, HandshakeBytesSent)
{
    char user[257] = {};
    DWORD size = sizeof user;
    ASSERT_TRUE(GetUserNameA(user, &size));
    std::string port = PortHex(PeerPort("http"));

    // SOCKS4A hands an unknown name to the proxy behind 0.0.0.1.
    Use(HTTP_PROXY_SOCKS4A, "socks");
    Script("");
    FetchResult socks4a = FetchWith(client, UnknownHostUrl());
    ASSERT_TRUE(socks4a.ok) << socks4a.errors;
    EXPECT_EQ("0401" + port + "00000001" + Hex(user) + "00" + Hex(kUnknownHost) + "00", Recorded());
    EXPECT_NE(std::string::npos, socks4a.body.find(std::string("\r\nHost: ") + kUnknownHost + ":"));

    // SOCKS4 can't: the name must be known here.
    Use(HTTP_PROXY_SOCKS4, "socks");
    FetchResult socks4 = FetchWith(client, UnknownHostUrl());
    EXPECT_EQ(7, socks4.firstKind);
    EXPECT_EQ("Unable to get hostname to http server.", socks4.firstText);

    // SOCKS5 names it with type 03; a resolved address goes as type 01.
    Use(HTTP_PROXY_SOCKS5, "socks");
    Script("");
    ASSERT_TRUE(FetchWith(client, UnknownHostUrl()).ok);
    EXPECT_EQ("050100" "05010003" + Hex(std::string(1, char(sizeof kUnknownHost - 1))) + Hex(kUnknownHost) + port,
              Recorded());
    Script("");
    ASSERT_TRUE(FetchWith(client, PeerUrl("/echo")).ok);
    EXPECT_EQ("050100" "050100017f000001" + port, Recorded());

    // With a login it is offered; a proxy that picks no login gets none.
    Use(HTTP_PROXY_SOCKS5, "socks", "me", "pw");
    Script("method=00\n");
    ASSERT_TRUE(FetchWith(client, PeerUrl("/echo")).ok);
    EXPECT_EQ("05020002" "050100017f000001" + port, Recorded());
    Script("");
    ASSERT_TRUE(FetchWith(client, PeerUrl("/echo")).ok);
    EXPECT_EQ("05020002" "01026d65027077" "050100017f000001" + port, Recorded());

    // Only a login and a password together offer it: either alone is not
    // sent, and a proxy that asks for a login then gets none.
    const char* const halves[][2] = { { "me", "" }, { "", "pw" } };
    for (const auto& half : halves) {
        Use(HTTP_PROXY_SOCKS5, "socks", half[0], half[1]);
        Script("");
        ASSERT_TRUE(FetchWith(client, PeerUrl("/echo")).ok) << half[0];
        EXPECT_EQ("050100" "050100017f000001" + port, Recorded()) << half[0];
        Script("method=02\n");
        FetchResult asked = FetchWith(client, PeerUrl("/echo"));
        EXPECT_EQ("You must authenticate to this server", asked.firstText) << half[0];
        EXPECT_EQ("050100", Recorded()) << half[0];
    }

    // A login a length byte can't hold is never sent.
    Use(HTTP_PROXY_SOCKS5, "socks", std::string(256, 'l').c_str(), "pw");
    Script("");
    FetchResult tooLong = FetchWith(client, PeerUrl("/echo"));
    EXPECT_EQ(0, tooLong.firstKind);
    EXPECT_EQ("Internal proxy handling error", tooLong.firstText);
    EXPECT_EQ("<none>", Recorded());
}

TEST_F(ProxyTest, EveryReplyOfTheScriptedPeer)
{
    struct Case {
        int type;
        const char* script;
        const char* text;  // NULL: the request goes through
    };
    const Case cases[] = {
        { HTTP_PROXY_SOCKS5, "bound=1", nullptr },
        { HTTP_PROXY_SOCKS5, "bound=3", nullptr },
        { HTTP_PROXY_SOCKS5, "bound=4", nullptr },
        { HTTP_PROXY_SOCKS5, "code=1", "General SOCKS server failure" },
        { HTTP_PROXY_SOCKS5, "code=2", "Connection not allowed by ruleset" },
        { HTTP_PROXY_SOCKS5, "code=3", "Network unreachable" },
        { HTTP_PROXY_SOCKS5, "code=4", "Host unreachable" },
        { HTTP_PROXY_SOCKS5, "code=5", "Connection refused" },
        { HTTP_PROXY_SOCKS5, "code=6", "TTL expired" },
        { HTTP_PROXY_SOCKS5, "code=7", "Command not supported" },
        { HTTP_PROXY_SOCKS5, "code=8", "Address type not supported" },
        { HTTP_PROXY_SOCKS5, "code=9", "Unknown proxy error." },
        { HTTP_PROXY_SOCKS5, "version=4", "Proxy is not a SOCKS5 server as stated" },
        { HTTP_PROXY_SOCKS5, "method=01", "GSSAPI is not supported" },
        { HTTP_PROXY_SOCKS5, "method=ff", "You must authenticate to this server" },
        { HTTP_PROXY_SOCKS5, "method=07", "The proxy uses an unsupported method." },
        { HTTP_PROXY_SOCKS4, "code=91", "Request rejected or failed" },
        { HTTP_PROXY_SOCKS4, "code=92",
          "Request rejected becasue SOCKS server cannot connect to identd on the client" },
        { HTTP_PROXY_SOCKS4, "code=93",
          "Request rejected because the client program and identd report different user-ids" },
        { HTTP_PROXY_SOCKS4, "code=94", "Unknown proxy error." },
        { HTTP_PROXY_SOCKS4, "version=4", "Proxy is not a SOCKS4 server as stated" },
    };
    for (const Case& c : cases) {
        Use(c.type, "socks");
        Script(std::string(c.script) + "\n");
        FetchResult result = FetchWith(client, PeerUrl("/status/200"));
        if (c.text == nullptr) {
            EXPECT_TRUE(result.ok) << c.script << "\n" << result.errors;
            EXPECT_EQ("status 200", result.body) << c.script;
            continue;
        }
        EXPECT_FALSE(result.ok) << c.script;
        EXPECT_EQ(1, result.firstKind) << c.script;
        EXPECT_EQ(c.text, result.firstText) << c.script;
        EXPECT_EQ(1u, result.errorCount) << c.script << "\n" << result.errors;
    }

    // A login the proxy refuses, and a refusal of both offered methods.
    Use(HTTP_PROXY_SOCKS5, "socks", "me", "pw");
    Script("method=02\nauth=1\n");
    FetchResult login = FetchWith(client, PeerUrl("/echo"));
    EXPECT_EQ("Invalid username/password.", login.firstText);
    Use(HTTP_PROXY_SOCKS5, "socks", "me", "pw");
    Script("method=ff\n");
    EXPECT_EQ("The proxy uses an unsupported method.", FetchWith(client, PeerUrl("/echo")).firstText);
}

#endif
