#include "file_replace.h"
#include "killed_worker.h"
#include "print_fixture.h"
#include "small_disk.h"

#include <QProcess>

#include <sys/stat.h>

using namespace quad;
using namespace quad::test;

namespace {

class MorvaPrintTest : public PrintTest
{
protected:
    MorvaPrintTest() { sheet.carattere_stampa(12); }
    QString unico() const
    {
        EXPECT_EQ(stampati().size(), 1);
        return stampati().value(0);
    }
    void scrivi(const QString& text, float x = 20, float y = 20)
    {
        QString t = text;
        printer->PrintLeft(x, y, t, 0, 0);
    }
};

TEST_F(MorvaPrintTest, EndDocWritesAPdfNamedByContentAndMomentInASerifFontAndOpensIt)
{
    printer->setNomeDocumento(QStringLiteral("Ricevuta quadernolo 27"));
    scrivi(QStringLiteral("Prova di stampa"));
    EXPECT_TRUE(opened.files.isEmpty());
    printer->EndDoc();

    EXPECT_EQ(QFileInfo(unico()).fileName(), QStringLiteral("Ricevuta_quadernolo_27_2026_06_12__09_05_07.pdf"));
    EXPECT_EQ(opened.files, stampati());
    EXPECT_EQ(pdfLines(unico()), QStringList {QStringLiteral("Prova di stampa")});
    EXPECT_TRUE(runTool(QStringLiteral("pdffonts"), {unico()}).contains(QStringLiteral("Serif")));
    // A second document in the same second does not overwrite the first.
    scrivi(QStringLiteral("Altra"));
    printer->EndDoc();
    EXPECT_EQ(stampati().size(), 2);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(MorvaPrintTest, MultiLineTextPrintsOneTrimmedLinePerCarriageReturn)
{
    const QString original = QStringLiteral("abc\r\n  def  \rghi");
    QString text = original;
    const float h = printer->TextHeight(QStringLiteral("abc"));
    printer->PrintLeft(30, 20, text, 0, 0);
    printer->EndDoc();

    EXPECT_EQ(text, original);
    EXPECT_EQ(pdfLines(unico()), (QStringList {"abc", "def", "ghi"}));
    const auto words = pdfWords(unico());
    const PdfWord abc = findWord(words, "abc"), def = findWord(words, "def"), ghi = findWord(words, "ghi");
    EXPECT_NEAR(def.x, 30, 0.5);
    EXPECT_NEAR(def.y - abc.y, h, 0.3);
    EXPECT_NEAR(ghi.y - abc.y, 2 * h, 0.3);
}

TEST_F(MorvaPrintTest, WidthLimitCutsLeftAlignedTextAtTheRightAndRightAlignedAtTheLeft)
{
    const QString wide = QStringLiteral("INIZIO parole di riempimento per una riga troppo lunga FINE");
    QString left = wide;
    QString right = wide;
    printer->PrintLeft(20, 20, left, 0, 40);
    printer->PrintRight(190, 40, right, 0, 40);
    printer->EndDoc();

    EXPECT_TRUE(wide.startsWith(left) && left.size() < wide.size());
    EXPECT_LE(printer->TextWidth(left), 40.0f);
    EXPECT_TRUE(wide.endsWith(right) && right.size() < wide.size());
    const QString printed = pdfText(unico());
    EXPECT_EQ(printed.count(QStringLiteral("INIZIO")) + printed.count(QStringLiteral("FINE")), 2);
    const PdfWord fine = findWord(pdfWords(unico()), "FINE");
    EXPECT_NEAR(fine.x + printer->TextWidth(QStringLiteral("FINE")), 190, 0.8); // ends at 190 mm
}

TEST_F(MorvaPrintTest, PaperCoordinatesHoldWhereThePrintableAreaStartsInsideThePaper)
{
    auto p = std::make_shared<MorvaPrint>(MorvaPrint::Output::Pdf, 4.23);
    p->setPdfFolder(dir.path());
    p->setCurrentX(10);
    EXPECT_FLOAT_EQ(p->CurrentX(), 10);
    EXPECT_NEAR(p->PageWidth(), 210, 0.01);
    float rounded = 8;
    p->PrintShape(20, 20, 20, 10, rounded);
    EXPECT_FLOAT_EQ(rounded, 5); // half the shorter side
    QString text = QStringLiteral("Margine");
    p->PrintLeft(30, 40, text, 0, 0);
    p->EndDoc();
    const PdfWord w = findWord(pdfWords(unico()), "Margine");
    EXPECT_NEAR(w.x, 30, 0.5);
    EXPECT_NEAR(w.y, 41, 1.5);
}

TEST_F(MorvaPrintTest, AJobThatCannotStartIsReportedOnceAndLeavesNothingPending)
{
    printer->setPdfFolder(dir.filePath(QStringLiteral("manca")));
    scrivi(QStringLiteral("Perso uno"));
    scrivi(QStringLiteral("Perso due"), 20, 30);
    printer->EndDoc();

    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().first().title, QStringLiteral("MorvaPrint"));
    EXPECT_EQ(messages.shown().first().icon, MsgIcon::Critical);
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Errore nella routine di stampa\nErrore numero: ")));
    EXPECT_TRUE(opened.files.isEmpty());

    printer->setPdfFolder(dir.path());
    scrivi(QStringLiteral("Buono"));
    printer->EndDoc();
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(pdfLines(unico()), QStringList {QStringLiteral("Buono")});
}

TEST_F(MorvaPrintTest, KillDocDiscardsTheDocument)
{
    scrivi(QStringLiteral("Scartato"));
    printer->KillDoc();
    EXPECT_TRUE(stampati().isEmpty());
    scrivi(QStringLiteral("Tenuto"));
    printer->EndDoc();
    EXPECT_EQ(pdfLines(unico()), QStringList {QStringLiteral("Tenuto")});
    EXPECT_EQ(opened.files.size(), 1);
}

TEST_F(MorvaPrintTest, ADocumentTheDiskCannotHoldIsReportedAndLeavesNoFile)
{
    SmallDisk disk(256 * 1024);
    if (!disk.available())
        GTEST_SKIP() << disk.why().toStdString();
    printer->setPdfFolder(disk.path());
    const auto documento = [this] {
        for (int riga = 0; riga < 30; ++riga)
            scrivi(QStringLiteral("Riga %1 del documento di prova con parole diverse").arg(riga), 20, 20 + 8 * riga);
        printer->EndDoc();
    };
    const auto pdfSulDisco = [&disk] { return QDir(disk.path()).entryList({"*.pdf", "*.tmp"}, QDir::Files); };
    for (const qint64 libero : {qint64(0), qint64(6000)}) {
        ASSERT_TRUE(disk.fill(libero));
        messages.clear();
        documento();
        ASSERT_EQ(messages.shown().size(), 1) << libero;
        EXPECT_EQ(messages.shown().first().title, QStringLiteral("MorvaPrint"));
        EXPECT_EQ(messages.shown().first().icon, MsgIcon::Critical);
        EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Errore nella routine di stampa\nErrore numero: ")));
        EXPECT_TRUE(pdfSulDisco().isEmpty()) << libero;
        EXPECT_TRUE(opened.files.isEmpty());
        disk.release();
    }

    // With room, the same document is written whole, with the mode a new file gets, and opened.
    const mode_t prima = ::umask(027);
    messages.clear();
    documento();
    ::umask(prima);
    EXPECT_TRUE(messages.shown().isEmpty());
    ASSERT_EQ(pdfSulDisco().size(), 1);
    const QString file = disk.filePath(pdfSulDisco().first());
    EXPECT_EQ(opened.files, QStringList {file});
    EXPECT_EQ(pdfLines(file).size(), 30);
    EXPECT_EQ(QFile::permissions(file) & 0x0777,
              QFileDevice::ReadGroup | QFileDevice::ReadUser | QFileDevice::WriteUser);
}

/// Run by APrintKilledHalfWayLeavesNothingOnceThePrintAfterItRuns as a process of its own: starts a
/// document in the folder QUAD_PRINT_FOLDER and stops for good before it ends.
TEST(PrintWorker, Run)
{
    const QString folder = qEnvironmentVariable("QUAD_PRINT_FOLDER");
    if (folder.isEmpty())
        GTEST_SKIP() << "started by MorvaPrintTest.APrintKilledHalfWayLeavesNothingOnceThePrintAfterItRuns";
    MorvaPrint printer(MorvaPrint::Output::Pdf);
    printer.setPdfFolder(folder);
    QString riga = QStringLiteral("Registro riservato");
    printer.PrintLeft(20, 20, riga, 0, 0);
    waitToBeKilled();
}

TEST_F(MorvaPrintTest, APrintKilledHalfWayLeavesNothingOnceThePrintAfterItRuns)
{
    const auto inScrittura = [this] { return QDir(dir.path()).entryList({"*.tmp"}, QDir::Files); };
    QProcessEnvironment env;
    env.insert("QUAD_PRINT_FOLDER", dir.path());
    QProcess vivo;
    QByteArray uscita;
    ASSERT_TRUE(killOneWorkerAndKeepAnother(vivo, "PrintWorker.Run", env, &uscita)) << uscita.toStdString();
    ASSERT_EQ(inScrittura().size(), 2);

    // The next document removes what the killed print left, not what a print still running writes.
    scrivi(QStringLiteral("Dopo"));
    printer->EndDoc();
    EXPECT_EQ(pdfLines(unico()), QStringList {QStringLiteral("Dopo")});
    const QStringList rimasti = inScrittura();
    ASSERT_EQ(rimasti.size(), 1);
    EXPECT_FALSE(FileLock(dir.filePath(rimasti.first())).held()); // the living print holds it
    vivo.kill();
    ASSERT_TRUE(vivo.waitForFinished(10000));
}

} // namespace
