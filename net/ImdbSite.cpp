#include "net/ImdbSite.h"

namespace {

const char kDefaultBase[] = "http://www.imdb.com";

std::string& Base() {
  static std::string base = kDefaultBase;
  return base;
}

}  // namespace

const char kImdbTitlePath[] = "/Title";
const char kImdbCreditsPath[] = "/Credits";
const char kImdbTaglinesPath[] = "/Taglines";
const char kImdbPlotPath[] = "/Plot";
const char kImdbSearchQuery[] = "?type=fuzzy&title=";
const char kImdbFindFormBody[] = "select=Titles&Go.x=1&Go.y=16&for=";

const char* ImdbBaseAddress() { return Base().c_str(); }

void SetImdbBaseAddress(const char* address) { Base() = address ? address : kDefaultBase; }

std::string ImdbSearchAddress() { return Base() + "/Tsearch"; }

std::string ImdbFindAddress() { return Base() + "/Find"; }

std::string ImdbFullAddress(const char* address) {
  if (address == nullptr) return std::string();
  if (address[0] == '/') return Base() + address;
  return address;
}
