#include "net/ImdbSite.h"

#include <string>

namespace {

const char kDefaultBase[] = "http://www.imdb.com";

std::string& Base() {
  static std::string base = kDefaultBase;
  return base;
}

}  // namespace

const char* ImdbBaseAddress() { return Base().c_str(); }

void SetImdbBaseAddress(const char* address) { Base() = address ? address : kDefaultBase; }
