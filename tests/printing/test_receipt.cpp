#include "print_fixture.h"

#include "receipt.h"
#include "receipt_lines.h"

#include <QDate>

using namespace quad;
using namespace quad::test;

namespace {

ReceiptCorrespondent rossi()
{
    return {QStringLiteral("Rossi"),      QStringLiteral("Via Roma"), QStringLiteral("3"),
            QStringLiteral("Pisa"),       QStringLiteral("PI"),       QVariant(),
            QStringLiteral("01234567890")};
}

ReceiptData entrata27()
{
    ReceiptData d;
    d.sessione = QStringLiteral("Entrata");
    d.Progressivo = 27;
    d.data_quadernolo = QDate(2026, 12, 6);
    d.tipo_documento = QStringLiteral("Lettera");
    d.numero_documenti = 2;
    d.ufficio_competente = QStringLiteral("Ragioneria");
    d.oggetto = QStringLiteral("Richiesta di rimborso dell'anno 2026");
    d.note = QStringLiteral("Consegnata a mano");
    d.corrispondenti = {rossi()};
    return d;
}

class ReceiptTest : public PrintTest
{
protected:
    /// Prints the receipt and gives its lines (blanks folded).
    QStringList stampa(const ReceiptData& d)
    {
        stampa_ricevuta(sheet, d);
        const QStringList files = stampati();
        EXPECT_EQ(files.size(), 1);
        return files.isEmpty() ? QStringList() : pdfLines(files.last());
    }
};

TEST(ReceiptText, CorrespondentPartsFollowTheirSeparators)
{
    EXPECT_EQ(testo_corrispondente(rossi()), QStringLiteral("Rossi Via Roma,3 - Pisa (PI) - P.Iva 01234567890"));

    ReceiptCorrespondent full = rossi();
    full.Cap = QStringLiteral("56100");
    full.p_iva_CF = QStringLiteral("RSSMRA80A01G702X");
    EXPECT_EQ(testo_corrispondente(full),
              QStringLiteral("Rossi Via Roma,3 - Pisa (PI) - 56100 - Cod. Fisc. RSSMRA80A01G702X"));

    ReceiptCorrespondent nameOnly;
    nameOnly.Nominativo = QStringLiteral("Bianchi");
    nameOnly.Indirizzo = QStringLiteral("");
    EXPECT_EQ(testo_corrispondente(nameOnly), QStringLiteral("Bianchi"));

    ReceiptCorrespondent noName;
    noName.Citta = QStringLiteral("Lucca");
    EXPECT_EQ(testo_corrispondente(noName), QStringLiteral(" - Lucca"));
}

TEST_F(ReceiptTest, IncomingEntryWithOneSender)
{
    const QStringList lines = stampa(entrata27());
    const QStringList expected = righeRicevuta27(QStringLiteral("Richiesta di rimborso dell'anno 2026"));
    // The number and the date stand on one line, five blanks apart.
    EXPECT_EQ(lines.join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));
    const auto words = pdfWords(stampati().first());
    EXPECT_NEAR(findWord(words, "27").y, findWord(words, "06/12/2026").y, 0.3);
    ASSERT_EQ(stampati().size(), 1);
    EXPECT_TRUE(
        QFileInfo(stampati().first()).fileName().startsWith(QStringLiteral("Ricevuta_quadernolo_27_2026_06_12")));
    EXPECT_EQ(opened.files, stampati());
    EXPECT_FALSE(pdfLandscape(stampati().first()));
    EXPECT_EQ(pdfPages(stampati().first()), 1);
}

TEST_F(ReceiptTest, HeadingFollowsDirectionAndCount)
{
    ReceiptData d = entrata27();
    ReceiptCorrespondent second;
    second.Nominativo = QStringLiteral("Verdi");
    d.corrispondenti.append(second);
    QStringList lines = stampa(d);
    EXPECT_TRUE(lines.contains("MITTENTI :"));
    EXPECT_TRUE(lines.contains("Verdi"));

    QDir(dir.path()).removeRecursively();
    QDir().mkpath(dir.path());
    d.sessione = QStringLiteral("Uscita");
    lines = stampa(d);
    EXPECT_TRUE(lines.contains("Ricevuta per quadernolo in Uscita"));
    EXPECT_TRUE(lines.contains("DESTINATARI :"));

    QDir(dir.path()).removeRecursively();
    QDir().mkpath(dir.path());
    d.corrispondenti.removeLast();
    lines = stampa(d);
    EXPECT_TRUE(lines.contains("DESTINATARIO :"));
    EXPECT_FALSE(lines.contains("MITTENTE :"));
}

TEST_F(ReceiptTest, EmptySubjectAndNotePrintOnlyTheirHeadings)
{
    ReceiptData d = entrata27();
    d.oggetto = QVariant();
    d.note = QString();
    const QStringList lines = stampa(d);
    const int oggetto = int(lines.indexOf("OGGETTO :"));
    EXPECT_EQ(lines.value(oggetto + 1), QStringLiteral("MITTENTE :"));
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList {"NOTE :", "________________________"}));
    // The signature lies four lines under the note heading, at 110 mm from the paper's edge.
    const auto words = pdfWords(stampati().first());
    const PdfWord note = findWord(words, "NOTE");
    const PdfWord firma = findWord(words, "________________________");
    const float h = printer->TextHeight(QStringLiteral("aA")) + 1;
    EXPECT_NEAR(firma.y - note.y, 4 * h, 0.5);
    EXPECT_NEAR(firma.x, 110, 0.5);
    EXPECT_NEAR(note.x, 10 + printer->TextWidth(QStringLiteral("    ")), 0.5); // the margin, then the blanks
}

TEST_F(ReceiptTest, ALongSubjectIsPrintedWholeWithinTheWidth)
{
    ReceiptData d = entrata27();
    QStringList words;
    for (int i = 1; i <= 160; ++i)
        words << QStringLiteral("parola%1").arg(i);
    d.oggetto = words.join(QLatin1Char(' '));
    const QStringList lines = stampa(d);

    // Every word is there, in order, on more lines than the old six-line buffer held.
    const int first = int(lines.indexOf("OGGETTO :")) + 1;
    const int last = int(lines.indexOf("MITTENTE :"));
    EXPECT_GT(last - first, 6);
    EXPECT_EQ(lines.mid(first, last - first).join(QLatin1Char(' ')), words.join(QLatin1Char(' ')));
    EXPECT_EQ(lines.last(), QStringLiteral("________________________"));
    for (const PdfWord& w : pdfWords(stampati().first()))
        EXPECT_LE(w.x, 10 + 180 + 0.5) << w.text.toStdString();
}

TEST_F(ReceiptTest, AReceiptPastTheBottomGoesOnOnANewPage)
{
    ReceiptData d = entrata27();
    for (int i = 0; i < 40; ++i) {
        ReceiptCorrespondent c;
        c.Nominativo = QStringLiteral("Corrispondente%1").arg(i);
        d.corrispondenti.append(c);
    }
    const QStringList lines = stampa(d);
    const QString file = stampati().first();
    const int pages = pdfPages(file);
    EXPECT_GE(pages, 2);
    for (int i = 0; i < 40; ++i)
        EXPECT_TRUE(lines.contains(QStringLiteral("Corrispondente%1").arg(i))) << i;
    EXPECT_TRUE(pdfText(file, pages).contains(QStringLiteral("________________________")));
    for (const PdfWord& w : pdfWords(file))
        EXPECT_LT(w.bottom, 297 - 15) << w.text.toStdString();
    // The second page starts at the top again.
    double top2 = 1000;
    for (const PdfWord& w : pdfWords(file))
        if (w.page == 2)
            top2 = std::min(top2, w.y);
    EXPECT_NEAR(top2, 25, 2);
}

} // namespace

namespace {

TEST_F(ReceiptTest, AReceiptThatCannotBePrintedShowsOneErrorAndLeavesNothingForTheNext)
{
    printer->setPdfFolder(dir.filePath(QStringLiteral("manca")));
    stampa_ricevuta(sheet, entrata27());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().first().title, QStringLiteral("MorvaPrint"));
    EXPECT_TRUE(opened.files.isEmpty());

    printer->setPdfFolder(dir.path());
    ReceiptData next = entrata27();
    next.Progressivo = 28;
    const QStringList lines = stampa(next);
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(lines.count(QStringLiteral("OGGETTO :")), 1); // one receipt on the page, not two
    EXPECT_TRUE(lines.join(' ').contains(QStringLiteral("Quadernolo n. 28")));
}

} // namespace
