#include "common_dialog.h"

#include "my_func.h"
#include "scripted_messages.h"

#include <QColor>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <gtest/gtest.h>

#include <optional>

using namespace quad;
using namespace quad::test;

namespace {

/// The dialogs answered from the test: an empty optional is a cancel.
class ScriptedDialogs : public clsCommonDialog
{
public:
    std::optional<QString> saveAnswer;
    QString saveStart, saveFilter, saveSelected;
    std::optional<QColor> colorAnswer;
    QColor colorShown;
    std::optional<QFont> fontAnswer;
    QFont fontShown;
    bool printerOk = false;
    int printerFrom = 0, printerTo = 0, printerCopies = 0, shownMin = 0, shownMax = 0;
    int printerMin = 0, printerMax = 0;
    int pageSetupCalls = 0;
    QMarginsF marginsShown, minimumShown;
    std::function<void(QPrinter&)> pageSetupAction;

protected:
    QString askSaveFileName(const QString&, const QString& start, const QString& filter,
                            const QString& selected) override
    {
        saveStart = start;
        saveFilter = filter;
        saveSelected = selected;
        return saveAnswer.value_or(QString());
    }
    bool askColor(QColor& color) override
    {
        colorShown = color;
        if (colorAnswer)
            color = *colorAnswer;
        return colorAnswer.has_value();
    }
    bool askFont(QFont& font) override
    {
        fontShown = font;
        if (fontAnswer)
            font = *fontAnswer;
        return fontAnswer.has_value();
    }
    bool askPrinter(QPrinter& printer, int& minPage, int& maxPage) override
    {
        shownMin = minPage;
        shownMax = maxPage;
        if (printerOk) {
            printer.setFromTo(printerFrom, printerTo);
            printer.setCopyCount(printerCopies);
            minPage = printerMin;
            maxPage = printerMax;
        }
        return printerOk;
    }
    bool askPageSetup(QPrinter& printer) override
    {
        ++pageSetupCalls;
        marginsShown = printer.pageLayout().margins(QPageLayout::Millimeter);
        minimumShown = printer.pageLayout().minimumMargins();
        if (pageSetupAction)
            pageSetupAction(printer);
        return true;
    }
};

TEST(CommonDialogFilter, BarsBecomeQtFilters)
{
    EXPECT_EQ(filtro_qt(""), "");
    EXPECT_EQ(filtro_qt("Archivio|Arch_quadernolo.mdb"), "Archivio (Arch_quadernolo.mdb)");
    EXPECT_EQ(filtro_qt("Immagini|*.bmp;*.jpg|Tutti i file|*.*"), "Immagini (*.bmp *.jpg);;Tutti i file (*.*)");
    EXPECT_EQ(filtro_qt("Solo descrizione"), "Solo descrizione (*)");
}

TEST(CommonDialog, StartsEmpty)
{
    clsCommonDialog d;
    EXPECT_EQ(d.Action(), 0);
    EXPECT_EQ(d.APIReturn(), 0);
    EXPECT_EQ(d.ExtendedError(), 0);
    EXPECT_FALSE(d.CancelError());
    EXPECT_EQ(d.FileName(), "");
    EXPECT_EQ(d.Color(), 0);
    EXPECT_EQ(d.FontSize(), 0);
    EXPECT_EQ(d.MaxFileSize(), 0);
}

TEST(CommonDialog, OpenGoesThroughTheMessageServiceAndKeepsAction)
{
    ScriptedMessages msgs;
    ScriptedDialogs d;
    d.setColor(0x0000ff);
    d.colorAnswer = QColor(1, 2, 3);
    d.ShowColor();
    EXPECT_EQ(d.Action(), 3);

    msgs.file("/srv/dati/Arch_quadernolo.mdb");
    d.setFilter("Archivio|Arch_quadernolo.mdb");
    d.ShowOpen();
    EXPECT_EQ(d.FileName(), "/srv/dati/Arch_quadernolo.mdb");
    EXPECT_EQ(d.FileTitle(), "Arch_quadernolo.mdb");
    EXPECT_EQ(d.APIReturn(), 1);
    EXPECT_EQ(d.Action(), 3);

    // Cancel without CancelError: nothing raised, outputs as they were.
    d.ShowOpen();
    EXPECT_EQ(d.APIReturn(), 0);
    EXPECT_EQ(d.FileName(), "/srv/dati/Arch_quadernolo.mdb");
    d.setCancelError(true);
    try {
        d.ShowOpen();
        ADD_FAILURE() << "cancel not raised";
    } catch (const CommonDialogError& e) {
        EXPECT_EQ(e.number(), 2001);
    }
}

/// Records the filter list the open dialog is given.
class FilterRecorder : public ScriptedMessages
{
public:
    QString filter;

protected:
    QString chooseFile(const QString& title, const QString& folder, const QString& f) override
    {
        filter = f;
        return ScriptedMessages::chooseFile(title, folder, f);
    }
};

TEST(CommonDialog, OpenStartsOnTheFilterIndexFilter)
{
    FilterRecorder msgs;
    clsCommonDialog d;
    d.setFilter("Testo|*.txt|Immagini|*.bmp|Tutti|*.*");
    d.setFilterIndex(3);
    d.ShowOpen();
    EXPECT_EQ(msgs.filter, "Tutti (*.*);;Testo (*.txt);;Immagini (*.bmp)");
    d.setFilterIndex(0);
    d.ShowOpen();
    EXPECT_EQ(msgs.filter, "Testo (*.txt);;Immagini (*.bmp);;Tutti (*.*)");
}

TEST(CommonDialog, ANameLongerThanMaxFileSizeFailsAndTheHelpReportsIt)
{
    ScriptedMessages msgs;
    clsCommonDialog d;
    // 260 characters with the terminator by default.
    const QString lungo = "/" + QString(258, 'x');
    msgs.file(lungo);
    d.ShowOpen();
    EXPECT_EQ(d.APIReturn(), 1);
    msgs.file(lungo + "y");
    d.ShowOpen();
    EXPECT_EQ(d.APIReturn(), 0);
    EXPECT_EQ(d.ExtendedError(), 0x3003);
    EXPECT_EQ(d.FileName(), lungo);

    d.setMaxFileSize(12);
    msgs.file("/srv/a.mdb");
    d.ShowOpen();
    EXPECT_EQ(d.FileName(), "/srv/a.mdb");
    EXPECT_EQ(d.ExtendedError(), 0);
    msgs.file("/srv/abc.mdb");
    d.ShowOpen();
    EXPECT_EQ(d.FileName(), "/srv/a.mdb");
    EXPECT_EQ(d.FileTitle(), "a.mdb");

    // The help reports the last dialog's failure; "quit" opens nothing.
    QStringList opened;
    setDocumentOpener([&](const QString& file) {
        opened << file;
        return true;
    });
    d.setHelpFile("/srv/q/manuale quadernolo.chm");
    d.setHelpCommand(2);
    d.ShowHelp();
    EXPECT_EQ(d.ExtendedError(), 0x3003);
    EXPECT_EQ(d.APIReturn(), 1);
    EXPECT_TRUE(opened.isEmpty());
    d.setHelpCommand(3);
    d.ShowHelp();
    EXPECT_EQ(opened, QStringList({"/srv/q/manuale quadernolo.chm"}));
    setDocumentOpener([](const QString&) { return false; });

    // With CancelError the failure is raised as a cancel.
    d.setCancelError(true);
    msgs.file("/srv/abc.mdb");
    EXPECT_THROW(d.ShowOpen(), CommonDialogError);
}

TEST(CommonDialog, SaveStartsOnTheNamedFileAndAddsTheDefaultExtension)
{
    ScriptedDialogs d;
    d.setInitDir("/srv/dati");
    d.setFileName("elenco");
    d.setFilter("Testo|*.txt|Tutti|*.*");
    d.setFilterIndex(2);
    d.setDefaultExt("txt");
    d.saveAnswer = "/srv/dati/esporta";
    d.ShowSave();
    EXPECT_EQ(d.saveStart, "/srv/dati/elenco");
    EXPECT_EQ(d.saveFilter, "Testo (*.txt);;Tutti (*.*)");
    EXPECT_EQ(d.saveSelected, "Tutti (*.*)");
    EXPECT_EQ(d.FileName(), "/srv/dati/esporta.txt");
    EXPECT_EQ(d.FileTitle(), "esporta.txt");
    d.saveAnswer = "/srv/dati/nota.csv";
    d.ShowSave();
    EXPECT_EQ(d.FileName(), "/srv/dati/nota.csv");
}

TEST(CommonDialog, ColorTravelsAsBlueGreenRed)
{
    ScriptedDialogs d;
    d.setColor(0x00332211); // red 0x11, green 0x22, blue 0x33
    d.colorAnswer = QColor(0xaa, 0xbb, 0xcc);
    d.ShowColor();
    EXPECT_EQ(d.colorShown, QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(d.Color(), 0x00ccbbaa);
    EXPECT_EQ(d.APIReturn(), 1);

    d.colorAnswer.reset();
    d.ShowColor();
    EXPECT_EQ(d.Color(), 0x00ccbbaa);
    EXPECT_EQ(d.APIReturn(), 0);
    d.setCancelError(true);
    try {
        d.ShowColor();
        ADD_FAILURE() << "cancel not raised";
    } catch (const CommonDialogError& e) {
        EXPECT_EQ(e.number(), -2147220610);
        EXPECT_EQ(e.description(), "Cancel Pressed");
    }
}

TEST(CommonDialog, FontInAndOutWithSizeRoundedHalfToEven)
{
    ScriptedDialogs d;
    d.setFontBold(true);
    d.setFontUnderline(true);
    d.setFontSize(12);
    QFont chosen("Serif");
    chosen.setPointSizeF(10.5);
    chosen.setItalic(true);
    chosen.setStrikeOut(true);
    d.fontAnswer = chosen;
    d.ShowFont();
    EXPECT_EQ(d.Action(), 4);
    EXPECT_TRUE(d.fontShown.bold());
    EXPECT_TRUE(d.fontShown.underline());
    EXPECT_EQ(d.fontShown.pointSize(), 12);
    EXPECT_FALSE(d.FontBold());
    EXPECT_FALSE(d.FontUnderline());
    EXPECT_TRUE(d.FontItalic());
    EXPECT_TRUE(d.FontStrikethru());
    EXPECT_EQ(d.FontName(), chosen.family());
    EXPECT_EQ(d.FontSize(), 10);
    chosen.setPointSizeF(11.5);
    d.fontAnswer = chosen;
    d.ShowFont();
    EXPECT_EQ(d.FontSize(), 12);
}

TEST(CommonDialog, PrinterPagesAndCopies)
{
    ScriptedDialogs d;
    d.setMin(1);
    d.setMax(9);
    d.setFromPage(2);
    d.setToPage(3);
    d.printerOk = true;
    d.printerFrom = 4;
    d.printerTo = 6;
    d.printerCopies = 2;
    d.printerMin = 2;
    d.printerMax = 8;
    d.ShowPrinter();
    EXPECT_EQ(d.Action(), 5);
    EXPECT_EQ(d.shownMin, 1);
    EXPECT_EQ(d.shownMax, 9);
    EXPECT_EQ(d.FromPage(), 4);
    EXPECT_EQ(d.ToPage(), 6);
    EXPECT_EQ(d.Copies(), 2);
    EXPECT_EQ(d.Min(), 2);
    EXPECT_EQ(d.Max(), 8);
    d.printerOk = false;
    d.ShowPrinter();
    EXPECT_EQ(d.FromPage(), 4);
    EXPECT_EQ(d.Max(), 8);
    EXPECT_EQ(d.APIReturn(), 0);
}

TEST(CommonDialog, PageSetupKeepsItsValuesBetweenCalls)
{
    ScriptedDialogs d;
    d.setPaperLeftMargin(2000);
    d.setPaperUpperMargin(1500);
    d.setPaperRightMargin(1000);
    d.setPaperLowerMargin(1000);
    d.setPaperMinLeftMargin(500);
    d.pageSetupAction = [](QPrinter& p) { p.setPageSize(QPageSize(QPageSize::A5)); };
    d.ShowPageSetup();
    EXPECT_NEAR(d.marginsShown.left(), 20.0, 0.01);
    EXPECT_NEAR(d.marginsShown.top(), 15.0, 0.01);
    EXPECT_NEAR(d.minimumShown.left(), 5.0, 0.01);
    EXPECT_EQ(d.PaperWidth(), 14800);
    EXPECT_EQ(d.PaperHeight(), 21000);
    EXPECT_EQ(d.PaperLeftMargin(), 2000);
    EXPECT_EQ(d.PaperUpperMargin(), 1500);
    // A second call starts from what the first one left.
    d.pageSetupAction = nullptr;
    d.ShowPageSetup();
    EXPECT_EQ(d.pageSetupCalls, 2);
    EXPECT_EQ(d.PaperWidth(), 14800);
    EXPECT_EQ(d.Action(), 0);
}

TEST(CommonDialog, HelpOpensTheHelpFile)
{
    QStringList opened;
    setDocumentOpener([&](const QString& file) {
        opened << file;
        return true;
    });
    clsCommonDialog d;
    d.setHelpFile("/srv/q/manuale quadernolo.chm");
    d.ShowHelp();
    setDocumentOpener([](const QString&) { return false; });
    EXPECT_EQ(opened, QStringList({"/srv/q/manuale quadernolo.chm"}));
    EXPECT_EQ(d.Action(), 6);
    EXPECT_EQ(d.APIReturn(), 1);
}

} // namespace
