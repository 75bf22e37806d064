// Selection, type-ahead, removal and order of the painted movie list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ListOrder.h"
#include "app/ListSelection.h"
#include "app/TypeAhead.h"
#include "core/ImdbInfo.h"
#include "core/Movie.h"
#include "core/StrUtil.h"
#include "export/SortKeys.h"

namespace {

class Entries : public IListSelection {
public:
    explicit Entries(const char* pattern) : marks(pattern) {}
    DWORD GetEntryCount() const override { return DWORD(marks.size()); }
    bool IsEntrySelected(DWORD i) const override { return marks[i] == 'x'; }
    void SetEntrySelected(DWORD i, bool on) override { marks[i] = on ? 'x' : '.'; }
    std::string marks;
};

TEST(ListSelection, PlainClickSelectsOneAndTogglesTheOnlySelected)
{
    Entries e("x.x..");
    DWORD anchor = kNoEntry;
    ClickEntry(e, 3, &anchor);
    EXPECT_EQ("...x.", e.marks);
    EXPECT_EQ(3u, anchor);
    ClickEntry(e, 3, &anchor);
    EXPECT_EQ(".....", e.marks);
    ClickEntry(e, 3, &anchor);
    EXPECT_EQ("...x.", e.marks);
    // Selected together with others: stays selected, the others go.
    Entries f("xx.x");
    ClickEntry(f, 1, &anchor);
    EXPECT_EQ(".x..", f.marks);
}

TEST(ListSelection, CtrlClickTogglesAndKeepsTheAnchor)
{
    Entries e("x...");
    ToggleEntry(e, 2);
    ToggleEntry(e, 0);
    EXPECT_EQ("..x.", e.marks);
}

TEST(ListSelection, ShiftClickSelectsTheRangeToTheAnchor)
{
    Entries down("x.x...x");
    ExtendToEntry(down, 4, 2);
    EXPECT_EQ("..xxx.x", down.marks);  // before: cleared; after both: kept
    Entries up("x.....x");
    ExtendToEntry(up, 2, 5);
    EXPECT_EQ("..xxx.x", up.marks);    // an anchor after the click keeps its state
    Entries none("x.x.");
    ExtendToEntry(none, 1, kNoEntry);
    EXPECT_EQ(".x..", none.marks);
}

TEST(ListSelection, KeysMoveTheAnchorWithinTheList)
{
    EXPECT_EQ(0u, MoveTarget(MOVE_HOME, 5, 10, 3));
    EXPECT_EQ(9u, MoveTarget(MOVE_END, kNoEntry, 10, 3));
    EXPECT_EQ(kNoEntry, MoveTarget(MOVE_UP, 0, 10, 3));
    EXPECT_EQ(kNoEntry, MoveTarget(MOVE_DOWN, 9, 10, 3));
    EXPECT_EQ(kNoEntry, MoveTarget(MOVE_DOWN, kNoEntry, 10, 3));
    EXPECT_EQ(6u, MoveTarget(MOVE_DOWN, 5, 10, 3));
    EXPECT_EQ(8u, MoveTarget(MOVE_PAGE_DOWN, 5, 10, 3));
    EXPECT_EQ(9u, MoveTarget(MOVE_PAGE_DOWN, 8, 10, 3));
    EXPECT_EQ(0u, MoveTarget(MOVE_PAGE_UP, 2, 10, 3));
    EXPECT_EQ(99996u, MoveTarget(MOVE_PAGE_UP, 99999, 100000, 3));
    EXPECT_EQ(kNoEntry, MoveTarget(MOVE_HOME, 0, 0, 3));
}

TEST(ListSelection, RemovalStepsLowerTheLaterIndexes)
{
    // Removing entries 1, 3 and 5 of 7 one after another.
    std::vector<DWORD> steps = RemovalSteps({1, 3, 5}, 7);
    EXPECT_EQ((std::vector<DWORD>{1, 2, 3}), steps);
    std::string list = "abcdefg";
    for (DWORD s : steps)
        list.erase(s, 1);
    EXPECT_EQ("aceg", list);
    // Any order, repeats and indexes out of range.
    steps = RemovalSteps({5, 1, 9, 5, 3}, 7);
    list = "abcdefg";
    for (DWORD s : steps)
        list.erase(s, 1);
    EXPECT_EQ("aceg", list);
    EXPECT_EQ(kNoEntry, IndexAfterRemoval(3, steps));
    EXPECT_EQ(2u, IndexAfterRemoval(4, steps));
    EXPECT_EQ(0u, IndexAfterRemoval(0, steps));
}

TEST(TypeAhead, LettersExtendThePrefixAndFallBackToShorterOnes)
{
    std::vector<const char*> titles = {"Brazil", "alien", "Aliens", "Amadeus", NULL, "bambi", "Zed"};
    TypeAheadState state;
    DWORD anchor = kNoEntry;
    anchor = TypeAheadFind(titles, anchor, state, 'A');
    EXPECT_EQ(1u, anchor);  // "alien" before "Aliens" ignoring case
    anchor = TypeAheadFind(titles, anchor, state, 'M');
    EXPECT_EQ(3u, anchor);  // "am"
    EXPECT_EQ(2u, state.length);
    // No title begins with "amb": the shorter tries end at "b" alone.
    anchor = TypeAheadFind(titles, anchor, state, 'B');
    EXPECT_EQ(5u, anchor);  // "bambi" before "Brazil"
    EXPECT_EQ(1u, state.length);
    // A letter no title begins with changes nothing.
    TypeAheadState before = state;
    EXPECT_EQ(kNoEntry, TypeAheadFind(titles, anchor, state, 'Q'));
    EXPECT_EQ(before.entry, state.entry);
    // The anchor itself fits the prefix: it stays and the letter is not counted.
    EXPECT_EQ(kNoEntry, TypeAheadFind(titles, anchor, state, 'A'));
    EXPECT_EQ(1u, state.length);
    // Accented letters of the code page (Windows-1252) match either case:
    // a typed small e acute (0xE9) finds the title beginning with its capital.
    std::vector<const char*> accented = {"Eve", "\xC9tranger", "Zed"};
    state = TypeAheadState();
    EXPECT_EQ(1u, TypeAheadFind(accented, kNoEntry, state, '\xE9'));
}

TEST(TypeAhead, AMovedAnchorRestartsTheSearch)
{
    std::vector<const char*> titles = {"Alien", "Apple", "Pear", "Zed"};
    TypeAheadState state;
    ASSERT_EQ(0u, TypeAheadFind(titles, kNoEntry, state, 'A'));
    EXPECT_EQ(1u, TypeAheadFind(titles, 0, state, 'P'));  // "ap" goes on from "a"
    // The anchor moved to Zed: "p" starts afresh, "ap" is not tried.
    state = TypeAheadState();
    ASSERT_EQ(0u, TypeAheadFind(titles, kNoEntry, state, 'A'));
    EXPECT_EQ(2u, TypeAheadFind(titles, 3, state, 'P'));
}

std::unique_ptr<CMovie> MakeMovie(DWORD id, const char* title, const char* type, const char* genre)
{
    std::unique_ptr<CMovie> m(new CMovie(id));
    StrSet(&m->m_title, title);
    StrSet(&m->m_customType, type);
    if (genre != NULL) {
        m->m_imdbInfo.reset(new CImdbInfo);
        StrSet(&m->m_imdbInfo->m_genre, genre);
    }
    return m;
}

std::string OrderedTitles(const std::vector<std::unique_ptr<CMovie>>& movies, int code, bool ascending)
{
    std::vector<char*> keys(movies.size() * 2, nullptr);
    std::vector<EntrySortKeys> entries;
    for (size_t i = 0; i < movies.size(); i++) {
        MovieSortKeys(code, movies[i].get(), &keys[2 * i], &keys[2 * i + 1]);
        entries.push_back({keys[2 * i], keys[2 * i + 1]});
    }
    std::string out;
    for (DWORD i : SortEntryOrder(entries, ascending))
        out += std::string(movies[i]->m_title) + ";";
    for (char* k : keys)
        StrSet(&k, NULL);
    return out;
}

const char* CustomScript() { return "%movie_type"; }

TEST(ListOrder, EveryKeyInBothDirections)
{
    std::vector<std::unique_ptr<CMovie>> movies;
    movies.push_back(MakeMovie(10, "The Zoo", "DVD", "drama"));
    movies.push_back(MakeMovie(2, "alpha", "VHS", "Comedy"));
    movies.push_back(MakeMovie(33, "Beta", "dvd", NULL));
    movies.push_back(MakeMovie(4, "Gamma", "avi", "Drama"));

    EXPECT_EQ("alpha;Gamma;The Zoo;Beta;", OrderedTitles(movies, SORT_BY_ID, true));
    EXPECT_EQ("Beta;The Zoo;Gamma;alpha;", OrderedTitles(movies, SORT_BY_ID, false));
    EXPECT_EQ("alpha;Beta;Gamma;The Zoo;", OrderedTitles(movies, SORT_BY_TITLE, true));
    EXPECT_EQ("The Zoo;Gamma;Beta;alpha;", OrderedTitles(movies, SORT_BY_TITLE, false));
    // Equal first keys ("DVD", "dvd") order by the title.
    EXPECT_EQ("Gamma;Beta;The Zoo;alpha;", OrderedTitles(movies, SORT_BY_TYPE, true));
    EXPECT_EQ("alpha;The Zoo;Beta;Gamma;", OrderedTitles(movies, SORT_BY_TYPE, false));
    EXPECT_EQ("Beta;alpha;Gamma;The Zoo;", OrderedTitles(movies, SORT_BY_GENRE, true));
    EXPECT_EQ("The Zoo;Gamma;alpha;Beta;", OrderedTitles(movies, SORT_BY_GENRE, false));
    SetCustomSortScriptSource(CustomScript);
    EXPECT_EQ("Gamma;Beta;The Zoo;alpha;", OrderedTitles(movies, SORT_BY_CUSTOM, true));
    SetCustomSortScriptSource(NULL);
}

}  // namespace
