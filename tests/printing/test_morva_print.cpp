#include "pdf_reader.h"
#include "scripted_messages.h"

#include "clock.h"
#include "morva_print.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quad;
using namespace quad::test;

namespace {

class MorvaPrintTest : public ::testing::Test
{
protected:
    MorvaPrintTest() { Clock::install(&clock); }
    ~MorvaPrintTest() override { Clock::install(nullptr); }

    /// A PDF printer over the temporary folder, printing the body font of the program.
    std::unique_ptr<MorvaPrint> stampante(double margins = 0)
    {
        auto p = std::make_unique<MorvaPrint>(MorvaPrint::Output::Pdf, margins);
        p->setPdfFolder(dir.path());
        p->setFontName(QStringLiteral("New Times Romans"));
        p->setFontSize(12);
        return p;
    }
    QString unico() const
    {
        const QStringList files = pdfFiles(dir.path());
        EXPECT_EQ(files.size(), 1) << files.join(QLatin1Char(' ')).toStdString();
        return files.isEmpty() ? QString() : dir.filePath(files.first());
    }

    FixedClock clock {QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7))};
    QTemporaryDir dir;
    ScriptedMessages messages;
    OpenedFiles opened;
};

TEST_F(MorvaPrintTest, EndDocWritesAPdfNamedByContentAndMomentAndOpensIt)
{
    auto p = stampante();
    p->setNomeDocumento(QStringLiteral("Ricevuta quadernolo 27"));
    QString text = QStringLiteral("Prova di stampa");
    p->PrintLeft(20, 20, text, 0, 0);
    EXPECT_TRUE(opened.files.isEmpty()); // nothing is opened before the end
    p->EndDoc();

    EXPECT_EQ(pdfFiles(dir.path()), QStringList {QStringLiteral("Ricevuta_quadernolo_27_2026_06_12__09_05_07.pdf")});
    EXPECT_EQ(opened.files, QStringList {unico()});
    EXPECT_EQ(p->ultimoPdf(), unico());
    EXPECT_TRUE(pdfText(unico()).contains(QStringLiteral("Prova di stampa")));

    // A second document in the same second does not overwrite the first.
    p->PrintLeft(20, 20, text, 0, 0);
    p->EndDoc();
    EXPECT_EQ(pdfFiles(dir.path()).size(), 2);
    EXPECT_EQ(opened.files.size(), 2);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(MorvaPrintTest, MultiLineTextPrintsOneTrimmedLinePerCarriageReturn)
{
    auto p = stampante();
    const QString original = QStringLiteral("abc\r\n  def  \rghi");
    QString text = original;
    const float h = p->TextHeight(QStringLiteral("abc"));
    p->PrintLeft(30, 20, text, 0, 0);
    p->EndDoc();

    EXPECT_EQ(text, original);
    EXPECT_EQ(pdfLines(unico()), (QStringList {"abc", "def", "ghi"}));
    const auto words = pdfWords(unico());
    const PdfWord abc = findWord(words, "abc"), def = findWord(words, "def"), ghi = findWord(words, "ghi");
    EXPECT_NEAR(abc.x, 30, 0.5);
    EXPECT_NEAR(def.x, 30, 0.5);
    EXPECT_NEAR(def.y - abc.y, h, 0.3);
    EXPECT_NEAR(ghi.y - abc.y, 2 * h, 0.3);
    EXPECT_GT(abc.y, 19.5);
    EXPECT_LT(abc.y, 20 + h);
}

TEST_F(MorvaPrintTest, WidthLimitCutsLeftAlignedTextAtTheRightAndRightAlignedAtTheLeft)
{
    auto p = stampante();
    const QString wide = QStringLiteral("INIZIO parole di riempimento per una riga troppo lunga FINE");
    QString left = wide;
    QString right = wide;
    p->PrintLeft(20, 20, left, 0, 40);
    p->PrintRight(190, 40, right, 0, 40);
    p->EndDoc();

    EXPECT_TRUE(wide.startsWith(left));
    EXPECT_LT(left.size(), wide.size());
    EXPECT_LE(p->TextWidth(left), 40.0f);
    EXPECT_TRUE(wide.endsWith(right));
    EXPECT_LT(right.size(), wide.size());
    const QString printed = pdfText(unico());
    EXPECT_TRUE(printed.contains(QStringLiteral("INIZIO")));
    EXPECT_TRUE(printed.contains(QStringLiteral("FINE")));
    EXPECT_EQ(printed.count(QStringLiteral("INIZIO")) + printed.count(QStringLiteral("FINE")), 2);
    // The right-aligned line ends at 190 mm.
    const PdfWord fine = findWord(pdfWords(unico()), "FINE");
    EXPECT_NEAR(fine.x + p->TextWidth(QStringLiteral("FINE")), 190, 0.8);
}

TEST_F(MorvaPrintTest, CentredTextIsCentredOnItsPoint)
{
    auto p = stampante();
    QString text = QStringLiteral("Centro");
    const float w = p->TextWidth(text);
    p->PrintCentre(100, 30, text, 0);
    p->EndDoc();
    EXPECT_NEAR(findWord(pdfWords(unico()), "Centro").x, 100 - w / 2, 0.5);
}

TEST_F(MorvaPrintTest, PaperCoordinatesHoldWhereThePrintableAreaStartsInsideThePaper)
{
    auto p = stampante(4.23);
    p->setCurrentX(10);
    EXPECT_FLOAT_EQ(p->CurrentX(), 10);
    p->setCurrentY(12);
    EXPECT_FLOAT_EQ(p->CurrentY(), 12);
    EXPECT_NEAR(p->PageWidth(), 210, 0.01);
    EXPECT_NEAR(p->PageHeight(), 297, 0.01);

    QString text = QStringLiteral("Margine");
    p->PrintLeft(30, 40, text, 0, 0);
    p->EndDoc();
    const PdfWord w = findWord(pdfWords(unico()), "Margine");
    EXPECT_NEAR(w.x, 30, 0.5);
    EXPECT_GT(w.y, 39.5);
    EXPECT_LT(w.y, 45);
}

TEST_F(MorvaPrintTest, LineSpacingRefusesNegativeValues)
{
    auto p = stampante();
    EXPECT_FLOAT_EQ(p->SpaziaturaLinea(), 0);
    p->setSpaziaturaLinea(-3);
    EXPECT_FLOAT_EQ(p->SpaziaturaLinea(), 1.0f);
    p->setSpaziaturaLinea(0);
    EXPECT_FLOAT_EQ(p->SpaziaturaLinea(), 0);
}

TEST_F(MorvaPrintTest, RoundedCornersShrinkToHalfTheShorterSide)
{
    auto p = stampante();
    float rounded = 8;
    p->PrintShape(20, 20, 20, 10, rounded);
    EXPECT_FLOAT_EQ(rounded, 5);
    EXPECT_NEAR(p->CurrentX(), 40, 0.001);
    EXPECT_NEAR(p->CurrentY(), 30, 0.001);
    float none = 0;
    p->PrintShape(20, 50, 100, 0, none);
    EXPECT_FLOAT_EQ(none, 0);
    p->EndDoc();
    EXPECT_EQ(pdfPages(unico()), 1);
}

TEST_F(MorvaPrintTest, PagesAndOrientation)
{
    auto p = stampante();
    p->setOrientation(2);
    EXPECT_NEAR(p->PageWidth(), 297, 0.01);
    QString a = QStringLiteral("Prima");
    QString b = QStringLiteral("Seconda");
    p->PrintLeft(20, 20, a, 0, 0);
    EXPECT_EQ(p->Page(), 1);
    p->NewPage();
    EXPECT_EQ(p->Page(), 2);
    p->PrintLeft(20, 20, b, 0, 0);
    p->EndDoc();

    EXPECT_EQ(pdfPages(unico()), 2);
    EXPECT_TRUE(pdfLandscape(unico()));
    EXPECT_TRUE(pdfText(unico(), 2).contains(QStringLiteral("Seconda")));
    EXPECT_FALSE(pdfText(unico(), 1).contains(QStringLiteral("Seconda")));
}

TEST_F(MorvaPrintTest, TheProgramsFontIsPrintedInASerifFont)
{
    auto p = stampante();
    EXPECT_EQ(p->FontName(), QStringLiteral("New Times Romans"));
    QString text = QStringLiteral("Prova");
    p->PrintLeft(20, 20, text, 0, 0);
    p->EndDoc();
    const QString fonts = runTool(QStringLiteral("pdffonts"), {unico()});
    EXPECT_TRUE(fonts.contains(QStringLiteral("Serif"))) << fonts.toStdString();
}

TEST_F(MorvaPrintTest, AJobThatCannotStartIsReportedOnceAndLeavesNothingPending)
{
    auto p = stampante();
    p->setPdfFolder(dir.filePath(QStringLiteral("manca")));
    QString one = QStringLiteral("Perso uno");
    QString two = QStringLiteral("Perso due");
    p->PrintLeft(20, 20, one, 0, 0);
    p->PrintLeft(20, 30, two, 0, 0);
    float r = 0;
    p->PrintShape(10, 10, 10, 10, r);
    p->EndDoc();

    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().first().title, QStringLiteral("MorvaPrint"));
    EXPECT_EQ(messages.shown().first().icon, MsgIcon::Critical);
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Errore nella routine di stampa\nErrore numero: ")));
    EXPECT_TRUE(opened.files.isEmpty());
    EXPECT_TRUE(p->ultimoPdf().isEmpty());

    // The next document starts clean in a folder that can be written.
    p->setPdfFolder(dir.path());
    QString three = QStringLiteral("Buono");
    p->PrintLeft(20, 20, three, 0, 0);
    p->EndDoc();
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(pdfLines(unico()), QStringList {QStringLiteral("Buono")});
}

TEST_F(MorvaPrintTest, KillDocDiscardsTheDocument)
{
    auto p = stampante();
    QString text = QStringLiteral("Scartato");
    p->PrintLeft(20, 20, text, 0, 0);
    p->KillDoc();
    EXPECT_TRUE(pdfFiles(dir.path()).isEmpty());
    EXPECT_TRUE(opened.files.isEmpty());

    QString next = QStringLiteral("Tenuto");
    p->PrintLeft(20, 20, next, 0, 0);
    p->EndDoc();
    EXPECT_EQ(pdfLines(unico()), QStringList {QStringLiteral("Tenuto")});
}

TEST_F(MorvaPrintTest, PictureSizes)
{
    auto p = stampante();
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setDotsPerMeterX(4000); // 4 dots a millimetre: 25 x 12.5 mm
    image.setDotsPerMeterY(4000);
    p->PrintPicture(20, 20, image, -1, 30); // a negative height: natural size
    p->PrintPicture(20, 60, image, 0, 30);
    p->EndDoc();
    // pdfimages gives each placement's resolution: 100 dots over 25 mm, then over 30 mm.
    QList<int> ppi;
    for (const QString& line : runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), unico()}).split('\n')) {
        const QStringList cols = line.simplified().split(' ');
        if (cols.size() > 13 && cols.at(2) == QLatin1String("image"))
            ppi << cols.at(12).toInt();
    }
    EXPECT_EQ(ppi, (QList<int> {102, 85}));
}

} // namespace
