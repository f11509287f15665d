// The timed look for notifications while the clerk is asked something on the entry shown (the
// annulment's question and reason, the file chooser of the link, the print pop-up): it passes its
// turn and the file waits; what the clerk then completes acts on the entry it began on, or is
// refused with a message when the register left that entry meanwhile.
#include "../../frame/ui/frame_fixture.h"
#include "../pdf_reader.h"

#include "annulment.h"
#include "clock.h"
#include "morva_print.h"
#include "print_panel.h"
#include "print_sheet.h"
#include "program_folder.h"
#include "register_query.h"

#include <QFileInfo>
#include <QLabel>
#include <QTest>

using namespace quad;
using namespace quad::test;

namespace {

class TimedLookUnderDialogs : public ::testing::Test
{
protected:
    TimedLookUnderDialogs() { Clock::install(&clock); }
    ~TimedLookUnderDialogs() override { Clock::install(nullptr); }

    /// Entries 1 and 2 in the register, open in the mask on entry 2; entry numero of the sending
    /// office laid in the program folder as a received notification.
    void SetUp() override
    {
        seedRegister(program.archive(), 2);
        ASSERT_TRUE(notifica(901));
        setProgramFolder(program.path());
        ASSERT_TRUE(startWindow(w));
        ASSERT_TRUE(click(&w, "Command1"));
        ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
        suScheda(2);
        messages.clear();
    }

    /// Writes entry numero, one correspondent, as the sending office forwards it; false on a failure.
    bool notifica(int numero)
    {
        DbResult err;
        auto db = Connection::open(mittente.archive(), QByteArray(kPassword), &err);
        if (!db || !db->exec("DELETE FROM Mittenti").ok() || !db->exec("DELETE FROM entrata").ok())
            return false;
        if (!db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (?, 'E', 'Fattura')", {numero}).ok()
            || !db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, 'E', 'Rossi')", {numero}).ok())
            return false;
        Recordset rs;
        return rs.open(db, registerQuery()).ok() && rs.save(file(numero)).ok();
    }
    QString file(int numero) const { return program.file(QStringLiteral("Notifica_%1.xml").arg(numero)); }

    /// The mask on entry numero.
    void suScheda(int numero)
    {
        ASSERT_TRUE(
            dati(w, "Adodc1")
                ->Recordset()
                ->find(QStringLiteral("Progressivo = %1").arg(numero), 0, SearchDirection::Forward, kBookmarkFirst));
        schede(w)->mostra_intestazione();
        ASSERT_EQ(registroAperto(w).currentNumber(), numero);
    }

    QVariant valore(const QString& sql) const
    {
        DbResult err;
        auto db = Connection::open(program.archive(), QByteArray(kPassword), &err);
        EXPECT_TRUE(db) << err.message.toStdString();
        return db ? db->scalar(sql) : QVariant();
    }

    /// Annuls the entry shown with reason, running during(n) while the question (n = 0) and the
    /// reason dialog (n = 1) are open.
    void annulla(const QString& reason, const std::function<void(int)>& during)
    {
        messages.onNext([&during](const ShownMessage&) { during(0); });
        messages.answer(MsgAnswer::Yes);
        ModalScript script;
        script.then("frm_annullato", [&](QDialog* d) {
            during(1);
            typeInto(d, "Text1", reason);
            click(d, "Command1_0");
        });
        ASSERT_TRUE(click(&w, "cmd_annulla"));
        ASSERT_TRUE(script.waitDone());
    }

    /// Imports the notification of entry numero as the timed look does once the clerk says "Sì"
    /// (the register moves to it), whatever is open.
    void importaSubito(int numero)
    {
        QString perche;
        EXPECT_TRUE(w.importa_notifica(file(numero), &perche)) << perche.toStdString();
        EXPECT_EQ(registroAperto(w).currentNumber(), numero);
    }

    FixedClock clock {QDateTime(QDate(2026, 12, 8), QTime(9, 0, 0))};
    TempProgram mittente;
    TempProgram program;
    ScriptedMessages messages;
    OpenedFiles opened;
    Finestra w;
};

} // namespace

TEST_F(TimedLookUnderDialogs, TheAnnulmentsQuestionAndReasonKeepTheLookAwayAndAnnulTheirEntry)
{
    annulla("Doppia registrazione", [this](int) { notifiche(w)->Timer1_Timer(); });
    EXPECT_EQ(messages.texts(), QStringList(testo_conferma_annullamento()));
    EXPECT_EQ(registroAperto(w).currentNumber(), 2);
    EXPECT_EQ(casella(w, EntryMask::Nota_annulla)->text(), "Doppia registrazione");
    EXPECT_TRUE(QFile::exists(file(901)));

    // Stored on entry 2 at its save; the next look then brings 901 in as it came.
    ASSERT_TRUE(vista(w)->salva_se_modificata());
    messages.answer(MsgAnswer::Yes);
    notifiche(w)->Timer1_Timer();
    EXPECT_FALSE(QFile::exists(file(901)));
    EXPECT_EQ(valore("SELECT Nota_annulla FROM entrata WHERE Progressivo = 2 AND Annullato = -1").toString(),
              "Doppia registrazione");
    EXPECT_EQ(valore("SELECT Annullato FROM entrata WHERE Progressivo = 901").toInt(), 0);
}

TEST_F(TimedLookUnderDialogs, TheLinksFileChooserKeepsTheLookAwayAndLinksTheFileToItsEntry)
{
    const QString documento = program.file("lettera.pdf");
    messages.file(documento);
    messages.onNextChoice([this] { notifiche(w)->Timer1_Timer(); });
    QTest::mouseClick(control<QLabel>(&w, "picOpenWWW_2"), Qt::LeftButton);
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(registroAperto(w).currentNumber(), 2);
    EXPECT_EQ(casella(w, EntryMask::Collegamento)->text(), documento);
    EXPECT_TRUE(QFile::exists(file(901)));
}

TEST_F(TimedLookUnderDialogs, ThePrintPopUpKeepsTheLookAwayAndPrintsTheReceiptOfItsEntry)
{
    if (!control<PrintPanel>(&w, "Picture1")->stampante().printer().toPdf())
        GTEST_SKIP() << "a printer is configured here: the prints would not be files";
    ASSERT_TRUE(trigger(&w, "tb_stampa"));
    ASSERT_TRUE(shown(w, "Picture1")->isVisible());
    notifiche(w)->Timer1_Timer();
    EXPECT_TRUE(messages.texts().isEmpty());
    ASSERT_TRUE(click(&w, "cmd_print_0"));
    EXPECT_EQ(pdfFiles(program.path()), QStringList("Ricevuta_quadernolo_2_2026_08_12__09_00_00.pdf"));
    EXPECT_TRUE(QFile::exists(file(901)));
}

TEST_F(TimedLookUnderDialogs, WhatTheClerkCompletesAfterTheRegisterLeftItsEntryIsRefusedWithAWord)
{
    const QString altrove = "ATTENZIONE !\n\nIl registro non mostra più il quadernolo n. 2, sul quale era iniziata "
                            "l' operazione.\n\nOperazione non eseguita: ";

    // The annulment: neither entry 2 nor the one shown now takes the reason.
    annulla("Doppia registrazione", [this](int n) {
        if (n == 1)
            importaSubito(901);
    });
    EXPECT_EQ(messages.last(), altrove + "annullamento.");
    EXPECT_EQ(casella(w, EntryMask::Nota_annulla)->text(), "");
    EXPECT_FALSE(sessione(w).p_update());

    // The link.
    ASSERT_TRUE(notifica(902));
    suScheda(2);
    messages.clear();
    messages.file(program.file("lettera.pdf"));
    messages.onNextChoice([this] { importaSubito(902); });
    QTest::mouseClick(control<QLabel>(&w, "picOpenWWW_2"), Qt::LeftButton);
    EXPECT_EQ(messages.texts(), QStringList(altrove + "collegamento del file."));
    EXPECT_EQ(casella(w, EntryMask::Collegamento)->text(), "");

    // The receipt.
    ASSERT_TRUE(notifica(903));
    suScheda(2);
    messages.clear();
    ASSERT_TRUE(trigger(&w, "tb_stampa"));
    importaSubito(903);
    ASSERT_TRUE(click(&w, "cmd_print_0"));
    EXPECT_EQ(messages.texts(), QStringList(altrove + "stampa della ricevuta."));
    EXPECT_TRUE(pdfFiles(program.path()).isEmpty());

    EXPECT_EQ(valore("SELECT COUNT(*) FROM entrata WHERE Annullato <> 0 OR Collegamento <> ''").toInt(), 0);
}

TEST_F(TimedLookUnderDialogs, ANoteTypedAndNotYetSavedKeepsTheLookAwayUntilItIsSaved)
{
    QTest::mouseClick(casella(w, EntryMask::Note), Qt::LeftButton);
    QTest::keyClicks(casella(w, EntryMask::Note), "Da richiamare");
    notifiche(w)->Timer1_Timer();
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(QFile::exists(file(901)));
    EXPECT_EQ(casella(w, EntryMask::Note)->text(), "Da richiamare");

    ASSERT_TRUE(vista(w)->salva_se_modificata());
    messages.answer(MsgAnswer::Yes);
    notifiche(w)->Timer1_Timer();
    EXPECT_FALSE(QFile::exists(file(901)));
    EXPECT_EQ(valore("SELECT Note FROM entrata WHERE Progressivo = 2").toString(), "Da richiamare");
}
