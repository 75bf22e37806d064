#include "ZipTestSupport.h"

#include <fstream>
#include <iterator>
#include <sstream>

std::string ZipFixture(const char* name)
{
    std::string path = std::string(VISTREL_TEST_DATA) + "/zip/" + name;
#ifdef _WIN32
    std::string windows = "Z:";
    for (char c : path)
        windows += c == '/' ? '\\' : c;
    return windows;
#else
    return path;
#endif
}

ScratchFolder::ScratchFolder(const char* name)
    : m_path(std::filesystem::temp_directory_path() / (std::string("vistrel-zip-") + name))
{
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWhole(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}
