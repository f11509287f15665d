#include "../../frame/ui/frame_fixture.h"
#include "../pdf_reader.h"
#include "../register_seed.h"

#include "clock.h"
#include "frm_date.h"
#include "morva_print.h"
#include "print_sheet.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace quad;
using namespace quad::test;

namespace {

SeedEntry entrata27()
{
    SeedEntry e;
    e.numero = 27;
    e.tipo = QStringLiteral("E");
    e.data = QDate(2026, 12, 6);
    e.oggetto = QStringLiteral("Richiesta di rimborso");
    e.note = QStringLiteral("Consegnata a mano");
    e.numero_documenti = 2;
    e.corrispondenti = {{QStringLiteral("Rossi"), QStringLiteral("Via Roma"), QStringLiteral("3"),
                         QStringLiteral("Pisa"), QStringLiteral("PI"), QVariant(), QStringLiteral("01234567890")}};
    return e;
}

class PrintPanelTest : public ::testing::Test
{
protected:
    PrintPanelTest() { Clock::install(&clock); }
    ~PrintPanelTest() override { Clock::install(nullptr); }

    /// Seeds the entries and opens the register on the last one.
    void apri(const QList<SeedEntry>& entries)
    {
        scriviSchede(program.archive(), entries);
        ASSERT_TRUE(startWindow(w));
        openRegister(w);
        ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
        if (!control<PrintPanel>(&w, "Picture1")->stampante().printer().toPdf())
            GTEST_SKIP() << "a printer is configured here: the prints would not be files";
    }
    /// The print panel's button Index, opened from the tool bar.
    void stampa(int index)
    {
        ASSERT_TRUE(trigger(&w, "tb_stampa"));
        ASSERT_TRUE(shown(w, "Picture1")->isVisible());
        ASSERT_TRUE(click(&w, QStringLiteral("cmd_print_%1").arg(index)));
    }
    /// Prints the register, answering the date dialog with the two texts.
    void registro(const QString& dal, const QString& al)
    {
        ModalScript script;
        script.then("frm_date", [&](QDialog* d) {
            typeInto(d, "txt_dalla", dal);
            typeInto(d, "txt_alla", al);
            click(d, "OKButton");
        });
        stampa(1);
        EXPECT_TRUE(script.waitDone());
    }
    QStringList stampati() const { return pdfFiles(program.path()); }

    FixedClock clock {QDateTime(QDate(2026, 12, 6), QTime(11, 0, 0))};
    TempProgram program;
    ScriptedMessages messages;
    OpenedFiles opened;
    TestQuadernolo w;
};

TEST_F(PrintPanelTest, ReceiptOfTheEntryOnScreen)
{
    apri({entrata27()});
    stampa(0);

    ASSERT_EQ(stampati().size(), 1);
    const QString file = program.file(stampati().first());
    EXPECT_EQ(QFileInfo(file).fileName(), QStringLiteral("Ricevuta_quadernolo_27_2026_06_12__11_00_00.pdf"));
    EXPECT_EQ(opened.files, QStringList {file});
    const QString text = pdfLines(file).join(QLatin1Char(' '));
    const QStringList expected {"Ricevuta per quadernolo in Entrata",
                                "Quadernolo n. 27 del 06/12/2026",
                                "Tipo documento : Lettera",
                                "N. documenti : 2",
                                "Ufficio competente : Ragioneria",
                                "OGGETTO :",
                                "Richiesta di rimborso",
                                "MITTENTE :",
                                "Rossi Via Roma,3 - Pisa (PI) - P.Iva 01234567890",
                                "NOTE :",
                                "Consegnata a mano",
                                "________________________"};
    EXPECT_EQ(text, expected.join(QLatin1Char(' ')));
    EXPECT_FALSE(shown(w, "Picture1")->isVisible());
    EXPECT_FALSE(shown(w, "Picture4")->isVisible());
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(PrintPanelTest, ReturnOnTheFocusedReceiptButtonPrintsIt)
{
    apri({entrata27()});
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(trigger(&w, "tb_stampa"));
    control<QPushButton>(&w, "cmd_print_0")->setFocus();
    pressKeyInFocus(Qt::Key_Return);
    EXPECT_EQ(stampati(), QStringList("Ricevuta_quadernolo_27_2026_06_12__11_00_00.pdf"));
    EXPECT_FALSE(shown(w, "Picture1")->isVisible());
}

TEST_F(PrintPanelTest, AReceiptNoProgramOpensSaysWhereItWasWritten)
{
    apri({entrata27()});
    setDocumentOpener([](const QString&) { return false; });
    stampa(0);
    ASSERT_EQ(stampati().size(), 1);
    EXPECT_EQ(messages.texts(),
              QStringList("Nessun programma ha aperto il documento stampato.\n\nIl documento è nel file:\n"
                          + QDir::toNativeSeparators(program.file(stampati().first()))));
    EXPECT_EQ(messages.shown().first().icon, MsgIcon::Information);
}

TEST_F(PrintPanelTest, ReceiptOfAnOutgoingEntryNamesItsRecipients)
{
    SeedEntry uscita = entrata27();
    uscita.numero = 28;
    uscita.tipo = QStringLiteral("U");
    uscita.corrispondenti.append(SeedCorrespondent(QStringLiteral("Bianchi"), QVariant(), QVariant(),
                                                   QStringLiteral("Lucca"), QVariant(), QVariant(),
                                                   QStringLiteral("BNCLRA70A01E715K")));
    apri({entrata27(), uscita});
    ASSERT_EQ(w.state.p_sessione, QStringLiteral("Entrata")); // the register opens so
    stampa(0);

    ASSERT_EQ(stampati().size(), 1);
    const QStringList lines = pdfLines(program.file(stampati().first()));
    EXPECT_TRUE(lines.contains("Ricevuta per quadernolo in Uscita"));
    EXPECT_TRUE(lines.contains("DESTINATARI :"));
    EXPECT_TRUE(lines.contains("Bianchi - Lucca - Cod. Fisc. BNCLRA70A01E715K"));
    EXPECT_FALSE(lines.join(' ').contains("MITTENT"));
}

TEST_F(PrintPanelTest, LabelAndBarCodeButtonsAndLeavingTheButtonsOnlyHideThePanels)
{
    apri({entrata27()});
    for (int i : {2, 3}) {
        shown(w, "Picture4")->show();
        ASSERT_TRUE(trigger(&w, "tb_stampa"));
        control<PrintPanel>(&w, "Picture1")->cmd_print_Click(i);
        EXPECT_FALSE(shown(w, "Picture1")->isVisible() || shown(w, "Picture4")->isVisible()) << i;
    }
    EXPECT_TRUE(stampati().isEmpty());

    ASSERT_TRUE(trigger(&w, "tb_stampa"));
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    control<PrintPanel>(&w, "Picture1")->cmd_print[2]->setFocus();
    ASSERT_TRUE(control<PrintPanel>(&w, "Picture1")->cmd_print[2]->hasFocus());
    control<QPushButton>(&w, "cmd_focus")->setFocus();
    EXPECT_FALSE(shown(w, "Picture1")->isVisible());
}

TEST_F(PrintPanelTest, RegisterBetweenTwoDates)
{
    SeedEntry annullata = scheda(30, "E", QDate(2026, 12, 6));
    annullata.annullato = true;
    apri({scheda(20, "E", QDate(2026, 11, 30)), scheda(21, "E", QDate(2026, 12, 1)), entrata27(),
          scheda(29, "U", QDate(2026, 12, 2)), annullata, scheda(31, "E", QDate(2026, 12, 7))});
    registro("01122026", "06122026");

    ASSERT_EQ(stampati().size(), 2);
    const QString t1 = program.file(QStringLiteral("Registro_Entrata_tabella_1_2026_06_12__11_00_00.pdf"));
    const QString t2 = program.file(QStringLiteral("Registro_Entrata_tabella_2_2026_06_12__11_00_00.pdf"));
    EXPECT_EQ(opened.files, (QStringList {t1, t2}));
    const QString text = pdfText(t1);
    for (const char* present : {"Oggetto21", "Richiesta di rimborso", "Oggetto30", "Mittente"})
        EXPECT_TRUE(text.contains(QLatin1String(present))) << present;
    for (const char* absent : {"Oggetto20", "Oggetto29", "Oggetto31"})
        EXPECT_FALSE(text.contains(QLatin1String(absent))) << absent;
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(PrintPanelTest, OutgoingRegister)
{
    apri({entrata27(), scheda(29, "U", QDate(2026, 12, 2))});
    w.state.p_sessione = QStringLiteral("Uscita");
    registro("01122026", "06122026");
    ASSERT_EQ(opened.files.size(), 2);
    const QString text = pdfText(opened.files.first());
    EXPECT_TRUE(text.contains(QStringLiteral("Destinatario")));
    EXPECT_TRUE(text.contains(QStringLiteral("Oggetto29")));
    EXPECT_FALSE(text.contains(QStringLiteral("Rossi")));
}

TEST_F(PrintPanelTest, DateDialogRefusals)
{
    apri({entrata27()});
    const struct
    {
        const char* dal;
        const char* al;
        const char* message;
    } cases[] = {{"", "06122026", "Errore inserimento data inizio"},
                 {"0112", "06122026", "Errore inserimento data inizio"},
                 {"01122026", "3102", "Errore inserimento data fine"},
                 {"06122026", "01122026", "Errore nell' inserimento delle date !"},
                 {"01012025", "31012025", "Nessun quadernolo per le date inserite !"}};
    for (const auto& c : cases) {
        messages.clear();
        registro(QLatin1String(c.dal), QLatin1String(c.al));
        ASSERT_EQ(messages.shown().size(), 1) << c.message;
        EXPECT_EQ(messages.last(), QLatin1String(c.message));
        EXPECT_EQ(messages.shown().first().title, QStringLiteral("Quadernolo"));
    }
    EXPECT_TRUE(stampati().isEmpty());
}

TEST_F(PrintPanelTest, ARegisterPrintedAfterThePasswordChangedElsewhereAsksForTheNewOne)
{
    apri({entrata27()});
    {
        // Another station changed the archive's password meanwhile.
        DbResult err;
        auto altra = Connection::open(program.archive(), QByteArray(kPassword), &err);
        ASSERT_TRUE(altra && altra->rekey("cambiata").ok());
    }
    const auto stampaConPassword = [this](const std::function<void(ModalScript&)>& password) {
        ModalScript script;
        script.then("frm_date", [](QDialog* d) {
            typeInto(d, "txt_dalla", "01122026");
            typeInto(d, "txt_alla", "06122026");
            click(d, "OKButton");
        });
        password(script);
        stampa(1);
        EXPECT_TRUE(script.waitDone());
    };
    // Given up: nothing is printed, and the clerk is told why.
    stampaConPassword([](ModalScript& script) { script.then("frm_password", [](QDialog* d) { d->reject(); }); });
    EXPECT_EQ(messages.texts(),
              QStringList({"ATTENZIONE !\n\nImpossibile leggere il registro da stampare:\n"
                           "La password della sessione non apre più l' archivio in uso."}));
    EXPECT_TRUE(stampati().isEmpty());

    // The password the register was opened with is refused, though the register still holds its
    // connection; with the new one the register is printed.
    messages.clear();
    stampaConPassword([](ModalScript& script) { scriptLogin(script, {QString::fromLatin1(kPassword), "cambiata"}); });
    EXPECT_EQ(messages.texts(),
              QStringList({"PASSWORD ERRATA !\n\nLa password inserita non è la password dell' archivio in uso."}));
    ASSERT_EQ(stampati().size(), 2);
    EXPECT_TRUE(pdfText(opened.files.first()).contains(QStringLiteral("Richiesta di rimborso")));
}

TEST_F(PrintPanelTest, ClosingTheDialogPrintsNothing)
{
    apri({entrata27()});
    ModalScript script;
    script.then("frm_date", [&](QDialog* d) {
        typeInto(d, "txt_dalla", "01122026");
        typeInto(d, "txt_alla", "06122026");
        d->close();
    });
    stampa(1);
    EXPECT_TRUE(script.waitDone());
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(stampati().isEmpty());
}

TEST(frm_date, CaptionsMaskAndTodaysDate)
{
    FixedClock clock(QDateTime(QDate(2026, 12, 6), QTime(11, 0, 0)));
    Clock::install(&clock);
    QWidget owner;
    frm_date d(&owner);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Quadernolo - Stampa registro quadernoli"));
    EXPECT_EQ(control<QLabel>(&d, "Label1")->text(), QStringLiteral("Dalla data :"));
    EXPECT_EQ(control<QLabel>(&d, "Label2")->text(), QStringLiteral("Alla data :"));
    EXPECT_EQ(control<QLabel>(&d, "Label3")->text(), QStringLiteral("[ F2 ] per la data odierna"));
    EXPECT_EQ(control<QPushButton>(&d, "OKButton")->text(), QStringLiteral("Stampa"));
    EXPECT_EQ(control<QPushButton>(&d, "CancelButton")->text(), QStringLiteral("Annulla"));
    EXPECT_TRUE(control<QLineEdit>(&d, "txt_dalla")->text().isEmpty());
    EXPECT_EQ(test::announcedName(control<QLineEdit>(&d, "txt_dalla")), "Dalla data :");
    EXPECT_EQ(test::announcedName(control<QLineEdit>(&d, "txt_alla")), "Alla data :");
    d.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));

    typeInto(&d, "txt_dalla", "1512x2003");
    EXPECT_EQ(control<QLineEdit>(&d, "txt_dalla")->text(), QStringLiteral("15/12/2003"));
    typeInto(&d, "txt_alla", "10");
    EXPECT_EQ(control<QLineEdit>(&d, "txt_alla")->text(), QStringLiteral("10/__/____"));
    pressKey(&d, "txt_alla", Qt::Key_F2);
    EXPECT_EQ(control<QLineEdit>(&d, "txt_alla")->text(), QStringLiteral("06/12/2026"));

    // Return in a date box does nothing; on the focused "Stampa" it presses it.
    pressKey(&d, "txt_alla", Qt::Key_Return);
    EXPECT_TRUE(d.isVisible());
    pressKey(&d, "txt_alla", Qt::Key_Tab);
    ASSERT_EQ(d.focusWidget(), control<QPushButton>(&d, "OKButton"));
    pressKey(&d, "OKButton", Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.p_alert1(), QStringLiteral("15/12/2003"));
    EXPECT_EQ(d.p_alert2(), QStringLiteral("06/12/2026"));
    Clock::install(nullptr);
}

} // namespace
