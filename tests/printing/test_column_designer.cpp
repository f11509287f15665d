#include "column_designer.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace quad;

namespace {

long somma(const PrintColumnWidths& w)
{
    return std::accumulate(w.widths().begin(), w.widths().end(), 0L);
}

TEST(PrintColumnWidths, StartEqualAndShowWholeMillimetres)
{
    const PrintColumnWidths w(30, 15000);
    EXPECT_EQ(w.widths(), std::vector<long>(30, 500));
    EXPECT_EQ(PrintColumnWidths::millimetri(500), 8);
    const PrintColumnWidths four(4, 15876);
    EXPECT_EQ(four.widths(), std::vector<long>(4, 3969));
    EXPECT_EQ(PrintColumnWidths::millimetri(3969), 70);
    EXPECT_EQ(PrintColumnWidths::millimetri(566), 9);
    EXPECT_EQ(PrintColumnWidths::millimetri(567), 10);
}

TEST(PrintColumnWidths, TheLastColumnTakesUpWhatTheOthersLeave)
{
    PrintColumnWidths w(4, 15876);
    w.ridimensiona(0, 4536);
    EXPECT_EQ(w.widths(), (std::vector<long> {4536, 3969, 3969, 3402}));
    EXPECT_EQ(PrintColumnWidths::millimetri(4536), 80);
    EXPECT_EQ(PrintColumnWidths::millimetri(3402), 60);
    EXPECT_EQ(somma(w), 15876);

    // An uneven division leaves the remainder to the last column too, once anything moves.
    PrintColumnWidths odd(3, 1000);
    odd.ridimensiona(2, 333);
    EXPECT_EQ(odd.widths(), (std::vector<long> {333, 333, 334}));
}

TEST(PrintColumnWidths, RemovingAColumnGivesItsWidthToTheLast)
{
    PrintColumnWidths w(4, 15876);
    EXPECT_FALSE(w.rimuovi(0));
    EXPECT_FALSE(w.rimuovi(4));
    EXPECT_EQ(w.count(), 4);
    EXPECT_TRUE(w.rimuovi(3));
    EXPECT_EQ(w.widths(), (std::vector<long> {3969, 3969, 7938}));
    EXPECT_TRUE(w.rimuovi(1));
    EXPECT_EQ(w.widths(), (std::vector<long> {3969, 11907}));
    EXPECT_EQ(somma(w), 15876);
}

} // namespace
