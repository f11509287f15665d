#include "print_fixture.h"

#include "receipt.h"

#include <QDate>

using namespace quad;
using namespace quad::test;

namespace {

ReceiptCorrespondent nome(const QString& n)
{
    ReceiptCorrespondent c;
    c.Nominativo = n;
    return c;
}

ReceiptData scheda27()
{
    ReceiptData d;
    d.sessione = QStringLiteral("Entrata");
    d.Progressivo = 27;
    d.data_quadernolo = QDate(2026, 12, 6);
    d.oggetto = QStringLiteral("Richiesta");
    d.corrispondenti = {nome(QStringLiteral("Rossi"))};
    return d;
}

/// "parola1", "parola2", ... up to n: a subject of n words.
QStringList parole(int n)
{
    QStringList words;
    for (int i = 1; i <= n; ++i)
        words << QStringLiteral("parola%1").arg(i);
    return words;
}

/// The lines printed between the subject's heading and the correspondents'.
QStringList righeOggetto(const QStringList& lines)
{
    const int first = int(lines.indexOf("OGGETTO :")) + 1;
    return lines.mid(first, lines.indexOf("MITTENTE :") - first);
}

class ReceiptTest : public PrintTest
{
protected:
    /// Prints the receipt and gives the lines of its file.
    QStringList stampa(const ReceiptData& d)
    {
        stampa_ricevuta(sheet, d);
        EXPECT_FALSE(stampati().isEmpty());
        return stampati().isEmpty() ? QStringList() : pdfLines(stampati().last());
    }
};

TEST(ReceiptText, CorrespondentPartsFollowTheirSeparators)
{
    ReceiptCorrespondent c {QStringLiteral("Rossi"), QStringLiteral("Via Roma"), QStringLiteral("3"),
                            QStringLiteral("Pisa"),  QStringLiteral("PI"),       QVariant(),
                            QStringLiteral("123")};
    EXPECT_EQ(testo_corrispondente(c), QStringLiteral("Rossi Via Roma,3 - Pisa (PI) - P.Iva 123"));
    c.Cap = QStringLiteral("56100");
    c.p_iva_CF = QStringLiteral("RSSMRA80A01G702X");
    EXPECT_EQ(testo_corrispondente(c),
              QStringLiteral("Rossi Via Roma,3 - Pisa (PI) - 56100 - Cod. Fisc. RSSMRA80A01G702X"));
    ReceiptCorrespondent solo = nome(QStringLiteral("Bianchi"));
    solo.Indirizzo = QString();
    EXPECT_EQ(testo_corrispondente(solo), QStringLiteral("Bianchi"));
}

TEST_F(ReceiptTest, HeadingFollowsDirectionAndCount)
{
    ReceiptData d = scheda27();
    d.corrispondenti.append(nome(QStringLiteral("Verdi")));
    EXPECT_TRUE(stampa(d).contains("MITTENTI :"));
    d.sessione = QStringLiteral("Uscita");
    d.corrispondenti.removeLast();
    const QStringList lines = stampa(d);
    EXPECT_TRUE(lines.contains("Ricevuta per quadernolo in Uscita"));
    EXPECT_TRUE(lines.contains("DESTINATARIO :"));
}

TEST_F(ReceiptTest, EmptyNotePrintsItsHeadingAndTheSignatureFourLinesLowerAt110mm)
{
    ReceiptData d = scheda27();
    d.oggetto = QVariant();
    const QStringList lines = stampa(d);
    EXPECT_EQ(lines.value(lines.indexOf("OGGETTO :") + 1), QStringLiteral("MITTENTE :"));
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList {"NOTE :", "________________________"}));
    const auto words = pdfWords(stampati().first());
    const PdfWord note = findWord(words, "NOTE");
    const PdfWord firma = findWord(words, "________________________");
    EXPECT_NEAR(firma.y - note.y, 4 * (printer->TextHeight(QStringLiteral("aA")) + 1), 0.5);
    EXPECT_NEAR(firma.x, 110, 0.5);
    EXPECT_NEAR(note.x, 10 + printer->TextWidth(QStringLiteral("    ")), 0.5); // the margin, then the blanks
}

TEST_F(ReceiptTest, ALongSubjectIsPrintedWholeWithinTheWidth)
{
    ReceiptData d = scheda27();
    const QStringList words = parole(160);
    d.oggetto = words.join(' ');
    const QStringList oggetto = righeOggetto(stampa(d));
    EXPECT_GT(oggetto.size(), 6); // more than the six lines a block once had
    EXPECT_EQ(oggetto.join(' '), words.join(' '));
    for (const PdfWord& w : pdfWords(stampati().first()))
        EXPECT_LE(w.x, 10 + 180 + 0.5) << w.text.toStdString();
}

TEST_F(ReceiptTest, AReceiptPastTheBottomGoesOnAtTheTopOfANewPage)
{
    ReceiptData d = scheda27();
    for (int i = 0; i < 40; ++i)
        d.corrispondenti.append(nome(QStringLiteral("Corrispondente%1").arg(i)));
    const QStringList lines = stampa(d);
    const QString file = stampati().first();
    const int pages = pdfPages(file);
    EXPECT_GE(pages, 2);
    EXPECT_TRUE(lines.contains(QStringLiteral("Corrispondente39")));
    EXPECT_TRUE(pdfText(file, pages).contains(QStringLiteral("________________________")));
    double top2 = 1000;
    for (const PdfWord& w : pdfWords(file)) {
        EXPECT_LT(w.bottom, 297 - 15) << w.text.toStdString();
        if (w.page == 2)
            top2 = std::min(top2, w.y);
    }
    EXPECT_NEAR(top2, 25, 2);
}

TEST_F(ReceiptTest, NoLineOfALongSubjectIsPrintedInTheBottomMargin)
{
    // A subject of consecutive lines, so that one of them falls on every line position of the
    // page down to its bottom.
    ReceiptData d = scheda27();
    const QStringList words = parole(700);
    d.oggetto = words.join(' ');
    EXPECT_EQ(righeOggetto(stampa(d)).join(' '), words.join(' '));
    const QString file = stampati().first();
    ASSERT_GE(pdfPages(file), 2);
    // The receipt's margin at the bottom of the paper (20 mm of an A4 page 297 mm high).
    const double limite = 297 - 20;
    double ultima = 0;
    for (const PdfWord& w : pdfWords(file)) {
        EXPECT_LE(w.bottom, limite) << w.text.toStdString() << " on page " << w.page;
        if (w.page == 1)
            ultima = std::max(ultima, w.bottom);
    }
    // The first page is filled down to the margin: less than a line is left below its last line.
    EXPECT_GT(ultima, limite - (printer->TextHeight(QStringLiteral("aA")) + 1));
}

TEST_F(ReceiptTest, AReceiptThatCannotBePrintedShowsOneErrorAndLeavesNothingForTheNext)
{
    printer->setPdfFolder(dir.filePath(QStringLiteral("manca")));
    stampa_ricevuta(sheet, scheda27());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().first().title, QStringLiteral("MorvaPrint"));

    printer->setPdfFolder(dir.path());
    ReceiptData next = scheda27();
    next.Progressivo = 28;
    const QStringList lines = stampa(next);
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(lines.count(QStringLiteral("OGGETTO :")), 1); // one receipt on the page, not two
    EXPECT_TRUE(lines.join(' ').contains(QStringLiteral("Quadernolo n. 28")));
}

} // namespace
