#include "NetPeers.h"

#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ProgramRun.h"
#include "WinsockTestEnvironment.h"

std::string PeerFile(const char* name)
{
    return WindowsPath(std::string(VISTREL_NET_PEERS) + "/" + name);
}

int PeerPort(const char* name)
{
    FILE* file = fopen(PeerFile("ports").c_str(), "r");
    if (file == nullptr)
        return 0;
    char line[128];
    int port = 0;
    size_t n = strlen(name);
    while (fgets(line, sizeof line, file) != nullptr) {
        if (strncmp(line, name, n) == 0 && line[n] == '=')
            port = atoi(line + n + 1);
    }
    fclose(file);
    return port;
}

std::string PeerUrl(const char* path)
{
    return "http://127.0.0.1:" + std::to_string(PeerPort("http")) + path;
}

FetchResult FetchWith(CHttpClient& client, const std::string& url, const char* body,
                      CDownloadStatus* status)
{
    FetchResult result;
    client.ClearErrors();
    char* buffer = nullptr;
    size_t length = 99;
    DWORD start = GetTickCount();
    result.ok = client.Fetch(url.c_str(), body, &buffer, &length, status);
    result.elapsedMs = GetTickCount() - start;
    if (result.ok) {
        EXPECT_NE(nullptr, buffer);
        if (buffer != nullptr) {
            EXPECT_EQ('\0', buffer[length]);
            result.body.assign(buffer, length);
        }
    } else {
        EXPECT_EQ(nullptr, buffer);
        EXPECT_EQ(0u, length);
    }
    free(buffer);
    char* text = client.GetErrorText();
    result.errors = text;
    free(text);
    std::vector<CHttpError> errors = client.GetErrors();
    result.errorCount = errors.size();
    if (!errors.empty()) {
        result.firstKind = errors[0].GetKind();
        result.firstText = errors[0].GetText();
    }
    return result;
}

#endif
