#include "print_fixture.h"

using namespace quad;
using namespace quad::test;

namespace {

class PrintSheetTest : public PrintTest
{
protected:
    PrintSheetTest() { sheet.carattere_stampa(10); }
};

TEST_F(PrintSheetTest, CellWrapsAtBlanksWithinTheWidthAndDropsWhatPassesTheLastLine)
{
    CellGrid g(2, 3);
    QStringList words;
    for (int i = 0; i < 40; ++i)
        words << QStringLiteral("parola%1").arg(i);
    sheet.stampa_cella(words.mid(0, 5).join(' '), 30, g, 1);
    EXPECT_EQ((QStringList {g.at(1, 0), g.at(1, 1), g.at(1, 2)}).join(QString()).simplified(),
              words.mid(0, 5).join(' '));
    for (int l = 0; l < 3; ++l) {
        EXPECT_LE(printer->TextWidth(g.at(1, l).trimmed()), 30.0f);
        EXPECT_TRUE(g.at(0, l).isEmpty()); // the other column is untouched
    }
    g.clear();
    sheet.stampa_cella(words.join(' '), 30, g, 0);
    EXPECT_TRUE(g.at(0, 0).startsWith(QStringLiteral("parola0 ")));
    EXPECT_FALSE(g.at(0, 2).contains(QStringLiteral("parola39")));
}

TEST_F(PrintSheetTest, AFirstWordWiderThanTheColumnStartsOnTheSecondLine)
{
    CellGrid g(1, 11);
    sheet.stampa_cella(QStringLiteral("Lunghissimaparolasenzaspazi corta"), 10, g, 0);
    EXPECT_TRUE(g.at(0, 0).isEmpty());
    EXPECT_EQ(g.at(0, 1).trimmed(), QStringLiteral("Lunghissimaparolasenzaspazi"));
    EXPECT_EQ(g.at(0, 2).trimmed(), QStringLiteral("corta"));
}

} // namespace
