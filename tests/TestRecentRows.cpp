#include "RecentRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using pellorin::RecentRows;

namespace {

// Adds rows first..last with handles 100 + row; returns the handles dropped.
std::vector<RecentRows::Handle> addRows(RecentRows& rows, int first, int last)
{
    std::vector<RecentRows::Handle> dropped;
    for (int row = first; row <= last; ++row)
        if (const auto handle = rows.add(row, RecentRows::Handle(100 + row)))
            dropped.push_back(*handle);
    return dropped;
}

} // namespace

TEST(RecentRows, KeepsTheRowsUsedLastUpToItsCapacity)
{
    RecentRows rows(3);
    EXPECT_TRUE(addRows(rows, 0, 2).empty());
    EXPECT_EQ(rows.use(0), 100u);
    // Row 1 is now the least recently used: it goes first, then row 2.
    EXPECT_EQ(addRows(rows, 3, 4), (std::vector<RecentRows::Handle> { 101, 102 }));
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows.use(1));
    EXPECT_FALSE(rows.use(2));
    EXPECT_EQ(rows.use(0), 100u);
    EXPECT_EQ(rows.use(4), 104u);
}

TEST(RecentRows, TheHeldRowOutlivesAWalkOverEveryRow)
{
    RecentRows rows(4);
    addRows(rows, 0, 9);
    rows.hold(7);
    const auto dropped = addRows(rows, 10, 1000);
    EXPECT_EQ(std::count(dropped.begin(), dropped.end(), 107u), 0);
    EXPECT_EQ(rows.use(7), 107u);
    EXPECT_EQ(rows.size(), 4u);
    // Let go, it falls out like any other row.
    rows.hold(-1);
    const auto later = addRows(rows, 1001, 1004);
    EXPECT_EQ(std::count(later.begin(), later.end(), 107u), 1);
}

TEST(RecentRows, ClearingHandsBackEveryHandleAndLetsGoOfTheHeldRow)
{
    RecentRows rows(8);
    addRows(rows, 0, 4);
    rows.hold(2);
    auto handles = rows.clear();
    std::sort(handles.begin(), handles.end());
    EXPECT_EQ(handles, (std::vector<RecentRows::Handle> { 100, 101, 102, 103, 104 }));
    EXPECT_EQ(rows.size(), 0u);
    EXPECT_EQ(rows.held(), -1);
    EXPECT_FALSE(rows.use(2));
}
