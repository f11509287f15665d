#include "sql_like.h"

#include <gtest/gtest.h>

using quad::sqlLikeMatch;

TEST(SqlLike, WildcardsAnywhere)
{
    EXPECT_TRUE(sqlLikeMatch(u"D''%", u"D''Amico"));
    EXPECT_TRUE(sqlLikeMatch(u"%ross%", u"Mario Rossi"));
    EXPECT_TRUE(sqlLikeMatch(u"R_ssi", u"Rossi"));
    EXPECT_FALSE(sqlLikeMatch(u"R_ssi", u"Rosssi"));
    EXPECT_TRUE(sqlLikeMatch(u"%", u""));
    EXPECT_FALSE(sqlLikeMatch(u"_", u""));
    EXPECT_TRUE(sqlLikeMatch(u"a%b%c", u"aXXbYYc"));
    EXPECT_FALSE(sqlLikeMatch(u"a%b%c", u"aXXbYY"));
}

TEST(SqlLike, CaseFoldedAccentsKept)
{
    EXPECT_TRUE(sqlLikeMatch(u"forlì", u"FORLÌ"));
    EXPECT_FALSE(sqlLikeMatch(u"forli", u"Forlì"));
    EXPECT_TRUE(sqlLikeMatch(u"CITTÀ DI CASTELLO", u"Città di Castello"));
}

TEST(SqlLike, EscapeMakesWildcardsLiteral)
{
    const QString typed = quad::escapeLikeText("50%_x");
    EXPECT_TRUE(sqlLikeMatch(typed + "%", u"50%_xyz", QChar('\\')));
    EXPECT_FALSE(sqlLikeMatch(typed + "%", u"500_xyz", QChar('\\')));
    EXPECT_FALSE(sqlLikeMatch(typed + "%", u"50%axyz", QChar('\\')));
}

TEST(SqlLike, QuoteTextDoublesQuotes)
{
    EXPECT_EQ(quad::quoteText("D'Amico"), "'D''Amico'");
    EXPECT_EQ(quad::quoteText(""), "''");
    EXPECT_EQ(quad::quoteText("''"), "''''''");
}
