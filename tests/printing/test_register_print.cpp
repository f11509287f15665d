#include "print_fixture.h"
#include "register_seed.h"

#include "recordset.h"
#include "register_print.h"

#include <QFileInfo>

#include <cmath>

using namespace quad;
using namespace quad::test;

namespace {

TEST(DateRangeCheck, AcceptsRangesOverYearsAndSingleDays)
{
    const DateRange r = controlla_intervallo(QStringLiteral("15/12/2003"), QStringLiteral("10/01/2004"));
    EXPECT_TRUE(r.errore.isEmpty());
    EXPECT_EQ(r.dal, QDate(2003, 12, 15));
    EXPECT_EQ(r.al, QDate(2004, 1, 10));
    EXPECT_TRUE(controlla_intervallo(QStringLiteral("06/12/2026"), QStringLiteral("06/12/2026")).errore.isEmpty());
}

class RegisterPrintTest : public PrintTest
{
protected:
    std::shared_ptr<Recordset> leggi(const QString& tipo, const QDate& dal, const QDate& al, DbResult* err = nullptr)
    {
        DbResult e;
        auto rs = leggi_registro(program.archive(), QString::fromLatin1(kPassword), tipo, dal, al, &e);
        if (err)
            *err = e;
        return rs;
    }
    QList<int> numeri(Recordset& rs)
    {
        QList<int> out;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            out << rs.value(QStringLiteral("Progressivo")).toInt();
        return out;
    }
    /// Prints the register and returns its two files (table 1, table 2).
    QStringList stampa(const QString& sessione, const QDate& dal, const QDate& al)
    {
        auto rs = leggi(codice_registro(sessione), dal, al);
        EXPECT_TRUE(rs);
        if (!rs)
            return {};
        stampa_tabelle_registro(sheet, *rs, sessione);
        return opened.files;
    }

    /// Prints entry e and a plain entry 2 of the same day; the words of table 1.
    QList<PdfWord> primaTabella(const SeedEntry& e)
    {
        scriviSchede(program.archive(), {e, scheda(2, "E", e.data)});
        const QStringList files = stampa(QStringLiteral("Entrata"), e.data, e.data);
        EXPECT_EQ(files.size(), 2);
        return files.isEmpty() ? QList<PdfWord>() : pdfWords(files[0]);
    }

    TempProgram program;
};

TEST_F(RegisterPrintTest, ReadsBothEndDatesOneDirectionInNumberOrder)
{
    // Written out of order, across a year's end, in both directions.
    SeedEntry two = scheda(7, "E", QDate(2004, 1, 3));
    two.corrispondenti.append(SeedCorrespondent(QStringLiteral("Secondo")));
    scriviSchede(program.archive(),
                 {scheda(5, "E", QDate(2004, 1, 10)), scheda(2, "E", QDate(2003, 12, 15)),
                  scheda(3, "U", QDate(2003, 12, 20)), scheda(4, "E", QDate(2004, 1, 2)),
                  scheda(1, "E", QDate(2003, 12, 14)), scheda(6, "E", QDate(2004, 1, 11)), two});

    auto rs = leggi("E", QDate(2003, 12, 15), QDate(2004, 1, 10));
    ASSERT_TRUE(rs);
    EXPECT_EQ(numeri(*rs), (QList<int> {2, 4, 5, 7, 7}));
    auto out = leggi("U", QDate(2003, 12, 15), QDate(2004, 1, 10));
    ASSERT_TRUE(out);
    EXPECT_EQ(numeri(*out), QList<int> {3});
    auto none = leggi("U", QDate(2005, 1, 1), QDate(2005, 1, 1));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->recordCount(), 0);
}

TEST_F(RegisterPrintTest, ComputedColumns)
{
    SeedEntry e = scheda(1, "E", QDate(2026, 3, 1));
    e.corrispondenti
        = {{QStringLiteral(" Rossi "), QStringLiteral("Via Roma"), QStringLiteral("3"), QStringLiteral("Pisa"),
            QStringLiteral("PI"), QStringLiteral("56100"), QStringLiteral("RSSMRA80A01G702X"), QDate(1980, 1, 1)},
           {QStringLiteral("Bianchi"), QVariant(), QVariant(), QStringLiteral("Lucca")}};
    e.quad_rif = QStringLiteral(" 12 ");
    e.data_quad_rif = QDate(2026, 2, 1);
    e.annullato = true;
    scriviSchede(program.archive(), {e});
    auto rs = leggi("E", QDate(2026, 3, 1), QDate(2026, 3, 1));
    ASSERT_TRUE(rs);
    ASSERT_EQ(rs->recordCount(), 2);
    rs->moveFirst();
    EXPECT_EQ(testo_corrispondente_registro(*rs),
              QStringLiteral("Rossi (01/01/1980)  Via Roma,3 56100 Pisa (PI) RSSMRA80A01G702X"));
    EXPECT_EQ(testo_riferimento(*rs), QStringLiteral("12 (01/02/2026)"));
    EXPECT_EQ(segno_annullo(*rs), QStringLiteral("  X"));
    rs->moveNext();
    EXPECT_EQ(testo_corrispondente_registro(*rs), QStringLiteral("Bianchi Lucca"));

    // Another tool may store the yes/no as a word: "Falso" marks nothing.
    DbResult err;
    auto db = Connection::open(program.archive(), QByteArray(kPassword), &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    ASSERT_TRUE(db->exec("UPDATE entrata SET Annullato = 'Falso' WHERE Progressivo = 1").ok());
    rs = leggi("E", QDate(2026, 3, 1), QDate(2026, 3, 1));
    ASSERT_TRUE(rs);
    rs->moveFirst();
    EXPECT_EQ(segno_annullo(*rs), QStringLiteral(" "));
}

TEST_F(RegisterPrintTest, TwoLandscapeTablesWithTheirCaptions)
{
    SeedEntry annullata = scheda(2, "E", QDate(2026, 12, 6));
    annullata.annullato = true;
    annullata.nota_annulla = QStringLiteral("Doppione");
    scriviSchede(program.archive(),
                 {scheda(1, "E", QDate(2026, 12, 1)), annullata, scheda(3, "U", QDate(2026, 12, 3))});

    const QStringList files = stampa(QStringLiteral("Entrata"), QDate(2026, 12, 1), QDate(2026, 12, 6));
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(QFileInfo(files[0]).fileName(), QStringLiteral("Registro_Entrata_tabella_1_2026_06_12__09_05_07.pdf"));
    EXPECT_EQ(QFileInfo(files[1]).fileName(), QStringLiteral("Registro_Entrata_tabella_2_2026_06_12__09_05_07.pdf"));
    EXPECT_TRUE(pdfLandscape(files[0]) && pdfLandscape(files[1]));
    const QString t1 = pdfText(files[0]);
    for (const char* caption : {"Num.", "Data", "Ora", "Tipo", "N.", "Oggetto", "Mittente"})
        EXPECT_TRUE(t1.contains(QLatin1String(caption))) << caption;
    EXPECT_TRUE(t1.contains(QStringLiteral("06/12/2026")));
    EXPECT_TRUE(t1.contains(QStringLiteral("Nome2")));

    const QString t2 = pdfText(files[1]);
    for (const char* caption :
         {"Uff. Competente", "Uff. Conoscenza", "Quad. Rif.(Data)", "Note", "Ann.", "Nota Annullo"})
        EXPECT_TRUE(t2.contains(QLatin1String(caption))) << caption;
    // The X stands on the annulled entry's row only.
    const auto words = pdfWords(files[1]);
    const PdfWord x = findWord(words, "X");
    const PdfWord doppione = findWord(words, "Doppione");
    EXPECT_EQ(t2.count(QRegularExpression(QStringLiteral("\\bX\\b"))), 1);
    EXPECT_NEAR(x.y, doppione.y, 0.5);
    EXPECT_NEAR(x.x, 7 + 202, 3);
}

TEST_F(RegisterPrintTest, ManyRowsRunOverSeveralPagesEachWithItsHeader)
{
    QList<SeedEntry> entries;
    for (int n = 1; n <= 60; ++n)
        entries << scheda(n, "E", QDate(2026, 1, 1).addDays(n % 20));
    scriviSchede(program.archive(), entries);
    // A large font left by an earlier print must not stretch the rows.
    printer->setFontSize(40);
    const QStringList files = stampa(QStringLiteral("Entrata"), QDate(2026, 1, 1), QDate(2026, 1, 31));
    ASSERT_EQ(files.size(), 2);
    for (const QString& f : files) {
        const int pages = pdfPages(f);
        EXPECT_GE(pages, 2);
        const QString caption = f == files[0] ? QStringLiteral("Oggetto") : QStringLiteral("Nota Annullo");
        for (int page = 1; page <= pages; ++page)
            EXPECT_TRUE(pdfLines(f, page).contains(caption)) << page;
    }
    // Rows follow each other at the body font's line height, in number order, and stay in the frame.
    sheet.carattere_stampa(10);
    const float h = printer->TextHeight(QStringLiteral("aA")) + 1;
    const auto words = pdfWords(files[0]);
    const PdfWord r1 = findWord(words, "Oggetto1");
    const PdfWord r2 = findWord(words, "Oggetto2");
    const double rows = (r2.y - r1.y) / h;
    EXPECT_NEAR(rows, 1, 0.05);
    EXPECT_EQ(r1.page, 1);
    EXPECT_GT(findWord(words, "Oggetto60").page, 1);
    for (const PdfWord& w : words)
        EXPECT_LT(w.bottom, 200) << w.text.toStdString();
    const QString all = pdfText(files[0]);
    EXPECT_LT(all.indexOf(QStringLiteral("Oggetto9\n")), all.indexOf(QStringLiteral("Oggetto10\n")));
}

TEST_F(RegisterPrintTest, ALongSubjectWrapsInItsColumnAndTheRowGrows)
{
    SeedEntry e = scheda(1, "E", QDate(2026, 12, 1));
    QStringList words;
    for (int i = 0; i < 12; ++i)
        words << QStringLiteral("parola%1").arg(i);
    e.oggetto = words.join(QLatin1Char(' '));
    const auto all = primaTabella(e);
    const PdfWord first = findWord(all, "parola0");
    const PdfWord last = findWord(all, "parola11");
    EXPECT_GT(last.y, first.y + 1); // on a later line of the same column
    EXPECT_GE(last.x, first.x - 0.5); // within the subject's column
    EXPECT_LE(last.x + printer->TextWidth(QStringLiteral("parola11")), 7 + 88 + 60 + 0.5);
    EXPECT_GT(findWord(all, "Oggetto2").y, last.y); // the next row comes under the whole subject
    EXPECT_NEAR(findWord(all, "Nome1").y, first.y, 0.5); // the other columns stay on the first line
}

TEST_F(RegisterPrintTest, EveryCellKeepsItsTextInsideItAndTheTimeWholeOnTheFirstLine)
{
    // A subject whose first line would fill its 60 mm column to the last millimetre.
    sheet.carattere_stampa(10);
    QString oggetto = QStringLiteral("Verbale contravvenzione");
    while (printer->TextWidth(QLatin1Char('i') + oggetto) <= 59.8f)
        oggetto.prepend(QLatin1Char('i'));
    SeedEntry e = scheda(1, "E", QDate(2026, 12, 1));
    e.oggetto = oggetto;
    e.corrispondenti = {{QStringLiteral("Verdi")}};
    e.orario = QStringLiteral("12:38:05");
    const auto words = primaTabella(e);
    const PdfWord verdi = findWord(words, "Verdi");
    const PdfWord ora = findWord(words, "12:38:05");
    ASSERT_FALSE(verdi.text.isEmpty());
    ASSERT_FALSE(ora.text.isEmpty()); // whole, not cut to "12:38:0"
    EXPECT_NEAR(ora.y, verdi.y, 0.5); // on the row's first line
    // The words of the other columns end before the correspondents' separator, 1 mm before its text.
    const PdfWord nome2 = findWord(words, "Nome2");
    for (const PdfWord& w : words) {
        if (w.page == 1 && w.y > verdi.y - 0.5 && w.y < nome2.y - 0.5 && w.x < verdi.x - 0.5) {
            EXPECT_LT(w.right, verdi.x - 1) << w.text.toStdString();
        }
    }
    // The second row comes one line under the first's subject, which took two.
    const float h = printer->TextHeight(QStringLiteral("aA")) + 1;
    EXPECT_NEAR(findWord(words, "contravvenzione").y - verdi.y, h, 0.3);
    EXPECT_NEAR(nome2.y - verdi.y, 2 * h, 0.3);
}

} // namespace
