#include "date_text.h"

#include <gtest/gtest.h>

using quad::dateSerial;
using quad::DateTimeValue;
using quad::isDateText;
using quad::parseDateText;
using quad::showDate;
using quad::showTime;

namespace {

std::optional<QDate> dateOf(const QString& text)
{
    const std::optional<DateTimeValue> value = parseDateText(text);
    if (!value || value->time)
        return std::nullopt;
    return value->date;
}

} // namespace

TEST(DateText, DayComesFirstWithAnySeparator)
{
    EXPECT_EQ(dateOf("03/04/2004"), QDate(2004, 4, 3));
    EXPECT_EQ(dateOf("3/4/2004"), QDate(2004, 4, 3));
    EXPECT_EQ(dateOf("03-04-2004"), QDate(2004, 4, 3));
    EXPECT_EQ(dateOf("03.04.2004"), QDate(2004, 4, 3));
    EXPECT_EQ(dateOf("  03/04/2004  "), QDate(2004, 4, 3));
    EXPECT_EQ(dateOf("2004-04-03"), QDate(2004, 4, 3)); // ISO, as the archive stores dates
    EXPECT_EQ(dateOf("2004-4-3"), QDate(2004, 4, 3));

    EXPECT_FALSE(parseDateText("03/04-2004")); // separators must agree
    EXPECT_FALSE(parseDateText("2004/04/03")); // year first only in the ISO form
    EXPECT_FALSE(parseDateText("2004.04.03"));
}

TEST(DateText, TwoDigitYearsPivotAtThirty)
{
    EXPECT_EQ(dateOf("01/01/00"), QDate(2000, 1, 1));
    EXPECT_EQ(dateOf("31/12/29"), QDate(2029, 12, 31));
    EXPECT_EQ(dateOf("01/01/30"), QDate(1930, 1, 1));
    EXPECT_EQ(dateOf("31/12/99"), QDate(1999, 12, 31));
    EXPECT_EQ(dateOf("1/2/04"), QDate(2004, 2, 1));

    EXPECT_FALSE(parseDateText("1/2/4"));
    EXPECT_FALSE(parseDateText("1/2/204"));
    EXPECT_FALSE(parseDateText("1/2/20045"));
}

TEST(DateText, ImpossibleDatesAreNeverRescued)
{
    EXPECT_FALSE(parseDateText("31/02/1980"));
    EXPECT_FALSE(parseDateText("29/02/2005"));
    EXPECT_FALSE(parseDateText("29/02/1900"));
    EXPECT_FALSE(parseDateText("00/01/2004"));
    EXPECT_FALSE(parseDateText("32/01/2004"));
    EXPECT_FALSE(parseDateText("12/31/2004")); // month first is not read by swapping
    EXPECT_FALSE(parseDateText("13/13/2004"));
    EXPECT_FALSE(parseDateText("2004-02-30"));
    EXPECT_FALSE(parseDateText("01/02/0000"));
    EXPECT_EQ(dateOf("29/02/2004"), QDate(2004, 2, 29));
    EXPECT_EQ(dateOf("29/02/2000"), QDate(2000, 2, 29));
}

TEST(DateText, TimesAloneAndAfterADate)
{
    std::optional<DateTimeValue> v = parseDateText("10:30");
    ASSERT_TRUE(v);
    EXPECT_FALSE(v->date);
    EXPECT_EQ(v->time, QTime(10, 30));

    v = parseDateText("9:05:07");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->time, QTime(9, 5, 7));

    v = parseDateText("01/02/2004 10:00");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->date, QDate(2004, 2, 1));
    EXPECT_EQ(v->time, QTime(10, 0));

    v = parseDateText("2004-02-01   23:59:59");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->date, QDate(2004, 2, 1));
    EXPECT_EQ(v->time, QTime(23, 59, 59));

    EXPECT_FALSE(parseDateText("24:00"));
    EXPECT_FALSE(parseDateText("10:60"));
    EXPECT_FALSE(parseDateText("10:30:60"));
    EXPECT_FALSE(parseDateText("10:5"));
    EXPECT_FALSE(parseDateText("10:30:"));
    EXPECT_FALSE(parseDateText("01/02/2004 10"));
    EXPECT_FALSE(parseDateText("01/02/2004 10:00 x"));
    EXPECT_FALSE(parseDateText("10:00 01/02/2004"));
    EXPECT_FALSE(parseDateText("31/02/2004 10:00"));
}

TEST(DateText, WhatIsNotADateAtAll)
{
    for (const char* text : {"", "   ", "abc", "12", "01/02", "01/02/2004x", "x01/02/2004", "01//2004", "1,5",
                             "01/02/2004.", "-1/02/2004", "+01/02/2004"})
        EXPECT_FALSE(parseDateText(QString::fromUtf8(text))) << text;
}

TEST(DateText, IsDateTextWantsADate)
{
    EXPECT_TRUE(isDateText("01/02/2004"));
    EXPECT_TRUE(isDateText("01/02/2004 10:00:00"));
    EXPECT_TRUE(isDateText("2004-02-01"));
    EXPECT_FALSE(isDateText("10:00"));
    EXPECT_FALSE(isDateText("31/02/2004"));
    EXPECT_FALSE(isDateText("1"));
    EXPECT_FALSE(isDateText(""));
}

TEST(DateText, ShownValuesReadBack)
{
    EXPECT_EQ(showDate(QDate(2004, 2, 1)), "01/02/2004");
    EXPECT_EQ(showDate(QDate(987, 7, 9)), "09/07/0987");
    EXPECT_EQ(showTime(QTime(8, 5, 3)), "08:05:03");
    EXPECT_EQ(showDate(QDate()), "");
    EXPECT_EQ(showTime(QTime()), "");

    for (QDate d(1900, 1, 1); d.year() < 2100; d = d.addDays(37))
        ASSERT_EQ(dateOf(showDate(d)), d) << showDate(d).toStdString();
    for (int s = 0; s < 86400; s += 3541) {
        const QTime t = QTime(0, 0).addSecs(s);
        const std::optional<DateTimeValue> v = parseDateText(showTime(t));
        ASSERT_TRUE(v && v->time);
        EXPECT_EQ(*v->time, t);
    }
}

TEST(DateText, SerialsCountFromTheEndOf1899)
{
    EXPECT_EQ(dateSerial(QDate(1899, 12, 30)), 0);
    EXPECT_EQ(dateSerial(QDate(1900, 1, 1)), 2 * 86400);
    EXPECT_EQ(dateSerial(QDate(2004, 2, 1)), qint64(38018) * 86400);
    EXPECT_EQ(dateSerial(QDate(2004, 2, 1), QTime(12, 0)), qint64(38018) * 86400 + 43200);
    EXPECT_EQ(dateSerial(QDate(1899, 12, 29)), -86400);

    DateTimeValue timeOnly;
    timeOnly.time = QTime(10, 0);
    EXPECT_EQ(timeOnly.serial(), 36000);
    DateTimeValue dateOnly;
    dateOnly.date = QDate(2004, 2, 1);
    EXPECT_EQ(dateOnly.serial(), dateSerial(QDate(2004, 2, 1)));
    DateTimeValue both = dateOnly;
    both.time = QTime(0, 0, 1);
    EXPECT_EQ(both.serial(), dateOnly.serial() + 1);
}
