#include "print_fixture.h"

using namespace quad;
using namespace quad::test;

namespace {

class PrintSheetTest : public PrintTest
{
protected:
    PrintSheetTest() { sheet.carattere_stampa(10); }
    QStringList colonna(const CellGrid& g, int c) const
    {
        QStringList out;
        for (int l = 0; l < g.lines(); ++l)
            out << g.at(c, l);
        return out;
    }
};

TEST_F(PrintSheetTest, PageSetUpGivesTheMarginAndPrintableWidth)
{
    sheet.imposta_pagina_stampa(1, 7);
    EXPECT_FLOAT_EQ(sheet.margine_stampa(), 7);
    EXPECT_NEAR(sheet.larghezza_stampa(), 283, 0.01);
    sheet.imposta_pagina_stampa(0, 10);
    EXPECT_NEAR(sheet.larghezza_stampa(), 190, 0.01);
    // Another orientation value keeps the one in force.
    sheet.imposta_pagina_stampa(5, 10);
    EXPECT_NEAR(sheet.larghezza_stampa(), 190, 0.01);
}

TEST_F(PrintSheetTest, CellWrapsAtBlanksWithinTheWidth)
{
    CellGrid g(2, 11);
    const QString text = QStringLiteral("uno due tre quattro cinque sei sette otto nove dieci");
    sheet.stampa_cella(text, 30, g, 1);
    QStringList lines;
    for (const QString& l : colonna(g, 1)) {
        if (!l.isEmpty()) {
            EXPECT_LE(printer->TextWidth(l.trimmed()), 30.0f) << l.toStdString();
            lines << l.trimmed();
        }
    }
    EXPECT_GT(lines.size(), 1);
    EXPECT_EQ(lines.join(QLatin1Char(' ')), text);
    EXPECT_EQ(colonna(g, 0), QStringList(11, QString())); // other columns untouched
}

TEST_F(PrintSheetTest, WordsPastTheLastLineAreDroppedAndNothingIsWrittenBeyond)
{
    CellGrid g(1, 3);
    QStringList words;
    for (int i = 0; i < 40; ++i)
        words << QStringLiteral("parolona%1").arg(i);
    sheet.stampa_cella(words.join(QLatin1Char(' ')), 20, g, 0);
    const QStringList lines = colonna(g, 0);
    EXPECT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("parolona0 ")));
    EXPECT_FALSE(lines.join(QLatin1Char(' ')).contains(QStringLiteral("parolona39")));
}

TEST_F(PrintSheetTest, AFirstWordWiderThanTheColumnStartsOnTheSecondLine)
{
    CellGrid g(1, 11);
    sheet.stampa_cella(QStringLiteral("Lunghissimaparolasenzaspazi corta"), 10, g, 0);
    EXPECT_TRUE(g.at(0, 0).isEmpty());
    EXPECT_EQ(g.at(0, 1).trimmed(), QStringLiteral("Lunghissimaparolasenzaspazi"));
    EXPECT_EQ(g.at(0, 2).trimmed(), QStringLiteral("corta"));
    g.clear();
    EXPECT_TRUE(g.at(0, 1).isEmpty());
}

TEST_F(PrintSheetTest, HeaderPrintsTheCaptionsInTheirColumns)
{
    sheet.imposta_pagina_stampa(1, 7);
    const TableColumns t = TableColumns::fromWidths({12, 19, 40}, {"Num.", "Data", "Oggetto"});
    EXPECT_EQ(t.x, (std::vector<float> {1, 13, 32}));
    sheet.stampa_intestazione(t);
    sheet.chiudi_stampa();
    const auto words = pdfWords(stampati().first());
    EXPECT_NEAR(findWord(words, "Num.").x, 8, 0.5);
    const PdfWord oggetto = findWord(words, "Oggetto");
    EXPECT_NEAR(oggetto.x + printer->TextWidth(QStringLiteral("Oggetto")) / 2, 7 + 32 + 20, 0.6);
    EXPECT_EQ(printer->FontSize(), 10);
    EXPECT_EQ(printer->FontName(), QStringLiteral("New Times Romans"));
}

} // namespace
