#include "mask_typing.h"

#include <gtest/gtest.h>

using namespace quad;

namespace {

/// Types keys one after the other from caret, as the box would after each result.
MaskResult typeDate(QString text, int caret, const QString& keys)
{
    MaskResult r {text, caret, true};
    for (QChar k : keys)
        r = mask_data(r.text, r.caret, k);
    return r;
}

MaskResult typeTime(QString text, int caret, const QString& keys)
{
    MaskResult r {text, caret, true};
    for (QChar k : keys)
        r = mask_ora(r.text, r.caret, k);
    return r;
}

} // namespace

TEST(DateMask, EmptyBoxStartsFromTheTemplate)
{
    const MaskResult one = mask_data("", 0, '1');
    EXPECT_EQ(one.text, "1_/__/____");
    EXPECT_EQ(one.caret, 1);
    EXPECT_TRUE(one.swallowed);

    const MaskResult four = mask_data("", 0, '4');
    EXPECT_EQ(four.text, "__/__/____");
    EXPECT_EQ(four.caret, 0);
    EXPECT_TRUE(four.swallowed);
}

TEST(DateMask, EightDigitsTypeAWholeDateJumpingTheSlashes)
{
    const MaskResult r = typeDate("", 0, "15032025");
    EXPECT_EQ(r.text, "15/03/2025");
    EXPECT_EQ(r.caret, 10);
    // A full box with the caret at its end takes nothing more and does not grow.
    for (QChar k : QString("0123456789/")) {
        const MaskResult more = mask_data(r.text, r.caret, k);
        EXPECT_EQ(more.text, "15/03/2025");
        EXPECT_EQ(more.caret, 10);
        EXPECT_TRUE(more.swallowed);
    }
}

TEST(DateMask, LimitsOnDayMonthAndYear)
{
    // After a 3 the day's units are 0 or 1.
    EXPECT_EQ(mask_data("3_/__/____", 1, '5').text, "3_/__/____");
    const MaskResult thirty = mask_data("3_/__/____", 1, '1');
    EXPECT_EQ(thirty.text, "31/__/____");
    EXPECT_EQ(thirty.caret, 3);
    // Month tens 0-1; after a 1 the units are 0-2; after a 0 they are 1-9.
    EXPECT_EQ(mask_data("01/__/____", 3, '2').caret, 3);
    EXPECT_EQ(mask_data("01/1_/____", 4, '3').text, "01/1_/____");
    EXPECT_EQ(mask_data("01/1_/____", 4, '2').text, "01/12/____");
    EXPECT_EQ(mask_data("01/0_/____", 4, '0').text, "01/0_/____");
    EXPECT_EQ(mask_data("01/0_/____", 4, '9').caret, 6);
    // The year begins with 1 or 2.
    EXPECT_EQ(mask_data("01/01/____", 6, '3').text, "01/01/____");
    EXPECT_EQ(mask_data("01/01/____", 6, '1').text, "01/01/1___");
}

TEST(DateMask, DigitsOnlyOnDigitPlacesAndSlashesStepOver)
{
    // A slash on a slash moves past it; the text never takes a second slash.
    const MaskResult slash = mask_data("12/__/____", 2, '/');
    EXPECT_EQ(slash.text, "12/__/____");
    EXPECT_EQ(slash.caret, 3);
    EXPECT_TRUE(slash.swallowed);
    EXPECT_EQ(mask_data("12/03/____", 5, '/').caret, 6);
    // A digit on a slash place is refused, a slash on a digit place too.
    EXPECT_EQ(mask_data("12/__/____", 2, '0').text, "12/__/____");
    EXPECT_EQ(mask_data("12/__/____", 2, '0').caret, 2);
    EXPECT_EQ(mask_data("1_/__/____", 1, '/').text, "1_/__/____");
    EXPECT_EQ(mask_data("12/03/20__", 8, '/').text, "12/03/20__");
}

TEST(DateMask, LettersBlanksAndBackspaceAreSwallowed)
{
    for (QChar k : {QChar('a'), QChar(' '), QChar(8), QChar(':'), QChar('.')}) {
        const MaskResult r = mask_data("12/__/____", 3, k);
        EXPECT_EQ(r.text, "12/__/____");
        EXPECT_EQ(r.caret, 3);
        EXPECT_TRUE(r.swallowed);
    }
}

TEST(DateMask, TwoDigitYearIsWidenedAndOddTextsKeepTheTemplateLength)
{
    // "12/03/25" reads as 12 March 2025 and is rewritten before the key is placed.
    EXPECT_EQ(mask_data("12/03/25", 0, '2').text, "22/03/2025");
    // Eight digits without separators are day, month and year.
    EXPECT_EQ(mask_data("03012026", 10, '1').text, "03/01/2026");
    EXPECT_EQ(data_otto_caratteri("03012026"), "03/01/2026");
    EXPECT_EQ(data_otto_caratteri("3/1/2026"), "03/01/2026");
    // Not a date, or not eight characters: left as it is.
    EXPECT_EQ(data_otto_caratteri("31022026"), "31022026");
    EXPECT_EQ(data_otto_caratteri("0301202"), "0301202");
    EXPECT_EQ(data_otto_caratteri("03/01/2026"), "03/01/2026");
    // A shortened text is filled up from the template, a longer one cut.
    const MaskResult shortText = mask_data("1", 1, '5');
    EXPECT_EQ(shortText.text, "15/__/____");
    EXPECT_EQ(shortText.caret, 3);
    EXPECT_EQ(mask_data("12/03/2025/////", 0, '0').text, "02/03/2025");
}

TEST(TimeMask, EmptyBoxStartsFromTheTemplate)
{
    const MaskResult r = mask_ora("", 0, '1');
    EXPECT_EQ(r.text, "10:00:00");
    EXPECT_EQ(r.caret, 1);
    EXPECT_TRUE(r.swallowed);
    // A text shorter than the template is started again.
    EXPECT_EQ(mask_ora("12:3", 0, '0').text, "00:00:00");
}

TEST(TimeMask, SixDigitsTypeAWholeTime)
{
    const MaskResult r = typeTime("", 0, "235959");
    EXPECT_EQ(r.text, "23:59:59");
    EXPECT_EQ(r.caret, 8);
    EXPECT_EQ(mask_ora(r.text, 8, '1').text, "23:59:59");
    EXPECT_EQ(mask_ora(r.text, 8, '1').caret, 8);
}

TEST(TimeMask, HourAndMinuteLimits)
{
    // After a first digit 2, a 7 is swallowed; after a 1 it is written.
    const MaskResult seven = mask_ora("20:00:00", 1, '7');
    EXPECT_EQ(seven.text, "20:00:00");
    EXPECT_EQ(seven.caret, 1);
    EXPECT_TRUE(seven.swallowed);
    const MaskResult seventeen = mask_ora("10:00:00", 1, '7');
    EXPECT_EQ(seventeen.text, "17:00:00");
    EXPECT_EQ(seventeen.caret, 3);
    EXPECT_EQ(mask_ora("00:00:00", 0, '3').caret, 0);
    EXPECT_EQ(mask_ora("12:00:00", 3, '6').text, "12:00:00");
    EXPECT_EQ(mask_ora("12:30:00", 6, '6').text, "12:30:00");
}

TEST(TimeMask, ColonsStayOnColonPlacesOnly)
{
    // A colon is not a digit: refused on the digit places.
    EXPECT_EQ(mask_ora("10:00:00", 1, ':').text, "10:00:00");
    EXPECT_EQ(mask_ora("10:00:00", 4, ':').text, "10:00:00");
    EXPECT_EQ(mask_ora("10:00:00", 7, ':').text, "10:00:00");
    // On the first colon a colon is taken (and written again).
    const MaskResult colon = mask_ora("10:00:00", 2, ':');
    EXPECT_EQ(colon.text, "10:00:00");
    EXPECT_EQ(colon.caret, 3);
    // On the second colon a digit only moves the caret: the colon stays, the digit is dropped.
    const MaskResult three = mask_ora("10:20:00", 5, '3');
    EXPECT_EQ(three.text, "10:20:00");
    EXPECT_EQ(three.caret, 6);
}

TEST(TimeMask, DotsBecomeColonsAndTheTextNeverGrows)
{
    EXPECT_EQ(mask_ora("10.20.30", 0, '2').text, "20:20:30");
    // A key outside the mask's range does not touch the text at all.
    EXPECT_EQ(mask_ora("10.20.30", 0, 'a').text, "10.20.30");
    EXPECT_EQ(mask_ora("10:20:30 pm", 0, '1').text, "10:20:30");
    EXPECT_EQ(mask_ora("10:20:3", 7, '9').text, "00:00:09");
    for (QChar k : {QChar('a'), QChar(' '), QChar(8), QChar('/')}) {
        const MaskResult r = mask_ora("10:20:30", 4, k);
        EXPECT_EQ(r.text, "10:20:30");
        EXPECT_EQ(r.caret, 4);
        EXPECT_TRUE(r.swallowed);
    }
}
