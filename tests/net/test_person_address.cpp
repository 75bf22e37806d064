// The address of an actor's page, from the names cast lists give.
#include <gtest/gtest.h>

#include <string>

#include "net/ImdbPersonAddress.h"
#include "net/ImdbSite.h"

TEST(PersonAddress, LastNameFirstAndTheQualifierWithTheFirstNames)
{
    const std::string base = std::string(ImdbBaseAddress()) + "/Name?";
    const struct {
        const char* name;
        const char* query;
    } cases[] = {
        {"Madonna", "Madonna,"},
        {"Bruce Willis", "Willis,+Bruce"},
        {"Samuel L. Jackson", "Jackson,+Samuel+L."},
        {"John Smith (II)", "Smith,+John+(II)"},
        {"Mary Jo Anne Smith (IV)", "Smith,+Mary+Jo+Anne+(IV)"},
        {"Cher (I)", "Cher,"},      // one word: the qualifier goes
        {"(I)", "(I),"},            // a bracket first is no qualifier
        {"Smith(II)", "Smith(II),"},  // nor one without a blank before it
        {"", ","},
        {nullptr, ","},
        // Page text that isn't a plain name stays inside the query.
        {"Ann \"x\" & <b>Lee", "%3Cb%3ELee,+Ann+%22x%22+%26"},
        {"Lee, Jr. Ann", "Ann,+Lee%2C+Jr."},
        {"Pen\xe9lope Cruz", "Cruz,+Pen%E9lope"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(base + c.query, ImdbPersonAddress(c.name)) << (c.name != nullptr ? c.name : "(null)");

    SetImdbBaseAddress("http://127.0.0.1:8080");
    EXPECT_EQ("http://127.0.0.1:8080/Name?Willis,+Bruce", ImdbPersonAddress("Bruce Willis"));
    SetImdbBaseAddress(nullptr);
}
