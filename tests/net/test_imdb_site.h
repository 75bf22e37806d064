// The test site of imdb_site.py as the Windows tests see it: its
// address and the requests it got. The site runs as a CTest fixture and
// writes its port and its request log into VISTREL_IMDB_SITE. Programs that
// use it have Winsock started for them.
#pragma once

#ifdef _WIN32

#include <fstream>
#include <string>
#include <vector>

#include "../app/ProgramRun.h"
#include "WinsockTestEnvironment.h"
#include "net/ImdbSite.h"

class TestImdbSite {
public:
    TestImdbSite() : m_seen(RequestLines().size()) {}

    static std::string File(const char* name) { return WindowsPath(std::string(VISTREL_IMDB_SITE) + "/" + name); }
    static int Port()
    {
        std::ifstream in(File("imdb_port"));
        int port = 0;
        in >> port;
        return port;
    }
    static std::string Base() { return "http://127.0.0.1:" + std::to_string(Port()); }

    // The requests since this object was made, as "GET target" or "POST
    // target body".
    std::vector<std::string> Requests() const
    {
        std::vector<std::string> lines = RequestLines();
        return std::vector<std::string>(lines.begin() + long(m_seen < lines.size() ? m_seen : lines.size()),
                                        lines.end());
    }

private:
    static std::vector<std::string> RequestLines()
    {
        std::ifstream in(File("imdb_requests"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    size_t m_seen;
};

// The base of a fixture whose tests retrieve from the site: while it lives
// the site is the program's movie site, and At gives its addresses.
class TestImdbSiteUser {
protected:
    TestImdbSiteUser() { SetImdbBaseAddress(TestImdbSite::Base().c_str()); }
    ~TestImdbSiteUser() { SetImdbBaseAddress(nullptr); }
    static std::string At(const char* path) { return TestImdbSite::Base() + path; }
};

#endif
