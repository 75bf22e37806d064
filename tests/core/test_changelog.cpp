// The movie change log: how add, change and remove notes combine.
#include <gtest/gtest.h>

#include <vector>

#include "core/MovieChangeLog.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

struct Lists {
    std::vector<DWORD> removed, added, changed;
};

Lists Read(const CMovieChangeLog& log)
{
    Lists lists;
    log.GetRemoved(lists.removed);
    log.GetAdded(lists.added);
    log.GetChanged(lists.changed);
    return lists;
}

typedef std::vector<DWORD> Ids;

TEST(ChangeLog, NotesCombinePerMovie)
{
    CMovieChangeLog log(NULL);

    // Added, then changed: still only added.
    log.OnMovieAdded(1);
    log.OnMovieChanged(1);
    // Changed, then removed: only removed.
    log.OnMovieChanged(2);
    log.OnMovieRemoved(2);
    // Removed, then added again: only changed.
    log.OnMovieRemoved(3);
    log.OnMovieAdded(3);
    // Added, then removed: only removed.
    log.OnMovieAdded(4);
    log.OnMovieRemoved(4);
    // Repeated notes are kept once.
    log.OnMovieChanged(5);
    log.OnMovieChanged(5);
    log.OnMovieAdded(5);  // a changed movie stays changed

    Lists lists = Read(log);
    EXPECT_EQ((Ids{ 1 }), lists.added);
    EXPECT_EQ((Ids{ 2, 4 }), lists.removed);
    EXPECT_EQ((Ids{ 3, 5 }), lists.changed);

    log.Reset();
    std::vector<DWORD> ids = { 99 };
    EXPECT_EQ(0u, log.GetChanged(ids));
    EXPECT_TRUE(ids.empty());
    EXPECT_FALSE(log.IsReloadAll());
    log.SetReloadAll();
    EXPECT_TRUE(log.IsReloadAll());
}

TEST(ChangeLog, AttachesToItsCollectionWhileItLives)
{
    CMovieCollection collection;
    CMovie movie;
    StrSet(&movie.m_title, "A");
    {
        CMovieChangeLog log(&collection);
        DWORD id = collection.AddMovie(&movie, false);
        CMovie* copy = collection.GetMovieCopy(id);
        StrSet(&copy->m_title, "B");
        collection.ReleaseMovieCopy(&copy);
        EXPECT_EQ((Ids{ id }), Read(log).added);
        EXPECT_TRUE(Read(log).changed.empty());
    }
    // Detached: changes go on without a log.
    DWORD id = collection.AddMovie(&movie, false);
    collection.RemoveMovie(id);
    EXPECT_EQ(1u, collection.GetMovieCount());
}

} // namespace
