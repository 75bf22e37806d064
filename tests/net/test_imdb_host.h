// A site for the retrieval tests without a network: the pages of
// tests/data/imdb/routes.txt (and pages a test adds) under a made-up base
// address, the requests it got, the texts it showed and the questions it
// asked. Pictures are measured from their headers.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/CoverSize.h"
#include "net/ImdbHost.h"
#include "net/ImdbSettings.h"
#include "net/ImdbSite.h"

#ifndef VISTREL_TEST_DATA
#define VISTREL_TEST_DATA "tests/data"
#endif

inline std::string ReadTestFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream data;
    data << in.rdbuf();
    return data.str();
}

inline std::string ImdbFixture(const std::string& name)
{
    return ReadTestFile(std::string(VISTREL_TEST_DATA) + "/imdb/" + name);
}

class TestImdbSettings : public IImdbSettings {
public:
    int Overwrite(int defaultValue) override { return overwrite < 0 ? defaultValue : overwrite; }
    bool ForceSmallCover() override { return forceSmall; }
    bool NoNewCover() override { return noNewCover; }
    int overwrite = -1;  // -1: unset
    bool forceSmall = false;
    bool noNewCover = false;
};

class TestImdbHost : public IImdbHost {
public:
    static constexpr const char* kBase = "http://imdb.test";

    TestImdbHost()
    {
        std::ifstream routes(std::string(VISTREL_TEST_DATA) + "/imdb/routes.txt");
        std::string line;
        while (std::getline(routes, line)) {
            std::istringstream words(line);
            std::string method, target, body, file;
            words >> method >> target;
            if (method == "GET")
                words >> file;
            else if (method == "POST")
                words >> body >> file;
            if (!file.empty())
                pages[Key(target, method == "POST" ? body.c_str() : nullptr)] = ImdbFixture(file);
        }
    }

    static std::string Key(const std::string& target, const char* body)
    {
        return body != nullptr ? "POST " + target + " " + body : "GET " + target;
    }
    void AddPage(const std::string& target, const std::string& page) { pages[Key(target, nullptr)] = page; }
    void RemovePage(const std::string& target) { pages.erase(Key(target, nullptr)); }

    bool Fetch(const char* url, const char* body, std::string* answer) override
    {
        std::string address = url;
        requests.push_back(body != nullptr ? address + " " + body : address);
        std::string base = kBase;
        auto page = address.compare(0, base.size(), base) == 0
                        ? pages.find(Key(address.substr(base.size()), body))
                        : pages.end();
        if (page == pages.end()) {
            errors += "404 - Not Found " + address + "\r\n";
            return false;
        }
        *answer = page->second;
        return true;
    }
    std::string GetErrorText() override { return "Error(s) returned:\r\n" + errors; }
    void ClearErrors() override { errors.clear(); }
    void SetStatus(const char* text) override { status = text; }
    void ShowError(const char* text) override { shown.push_back(text); }
    void AskOverwrite() override
    {
        questions++;
        if (onQuestion)
            onQuestion();
    }
    ImdbPicture CheckPicture(const BYTE* data, size_t length, long* width, long* height) override
    {
        return MeasurePicture(data, length, width, height) ? IMDB_PICTURE_MEASURED : IMDB_PICTURE_NONE;
    }

    std::map<std::string, std::string> pages;
    std::vector<std::string> requests;
    std::vector<std::string> shown;
    std::string errors;
    std::string status;
    int questions = 0;
    std::function<void()> onQuestion;
};

// Each test gets the test site's base address and its own settings.
class ImdbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetImdbBaseAddress(TestImdbHost::kBase);
        SetImdbSettings(&settings);
    }
    void TearDown() override
    {
        SetImdbSettings(nullptr);
        SetImdbBaseAddress(nullptr);
    }
    TestImdbSettings settings;
    TestImdbHost host;
};
