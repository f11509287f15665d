// An entry is annulled once: the keys the clerk presses after the mask hides "ANNULLA" or "Vedi
// note" reach neither, whichever way the entry shown changed, and an entry annulled already, at
// this station or at another, keeps its first reason.
#include "test_maskrules_fixture.h"

#include "annulment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

using namespace quad;
using namespace quad::test;

namespace {

class MaskAnnulmentTest : public MaskRulesTest
{
protected:
    /// Annuls the entry shown as the clerk does: "ANNULLA", "Sì", the reason, "Salva ed Esci".
    void annulla(const QString& motivo)
    {
        messages.answer(MsgAnswer::Yes);
        ModalScript script;
        script.then("frm_annullato", [motivo](QDialog* d) {
            typeInto(d, "Text1", motivo);
            click(d, "Command1_0");
        });
        click(&w, "cmd_annulla");
        EXPECT_TRUE(script.waitDone());
    }
    /// "Cerca", the entry numbered numero found by its number with "Trova primo", "Chiudi".
    void cerca(int numero)
    {
        ModalScript script;
        script.then("frmSearch", [numero](QDialog* d) {
            ASSERT_EQ(control<QComboBox>(d, "cmbFields")->currentText(), "Progressivo");
            typeInto(d, "txtFieldValue", QString::number(numero));
            click(d, "cmdFindFirst");
            click(d, "cmdClose");
        });
        ASSERT_TRUE(trigger(&w, "tb_trova"));
        ASSERT_TRUE(script.waitDone());
        ASSERT_EQ(corrente(), numero);
    }
    /// Another station annuls entry numero with the reason "dall'altra postazione".
    void annullataAltrove(int numero = 1)
    {
        DbResult err;
        auto altra = Connection::open(program.archive(), QByteArray(kPassword), &err);
        ASSERT_TRUE(altra) << err.message.toStdString();
        ASSERT_TRUE(altra
                        ->exec("UPDATE entrata SET Annullato = -1, Nota_annulla = 'dall''altra postazione' "
                               "WHERE Progressivo = ?",
                               {numero})
                        .ok());
    }
    /// The mask shows the annulment another station stored.
    void mostraAnnullamentoAltrui()
    {
        EXPECT_TRUE(control<QFrame>(&w, "Frame_annullato")->isVisible());
        EXPECT_FALSE(control<QFrame>(&w, "frame_annulla")->isVisible());
        EXPECT_TRUE(control<QCheckBox>(&w, "Check1")->isChecked());
        EXPECT_EQ(box(26)->text(), "dall'altra postazione");
    }
    /// Space, then Return, to the widget that has the focus: no message, no dialog, no move.
    void tastiSenzaEffetto()
    {
        const int scheda = corrente();
        // The control the window gives the keys to once it is active again is none the mask hid.
        QWidget* fuoco = w.focusWidget();
        EXPECT_TRUE(!fuoco || fuoco->isVisible()) << fuoco->objectName().toStdString() << " is hidden";
        // The window is active again once the dialogs have gone, as the desktop makes it.
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        messages.clear();
        ModalScript nessuno; // a dialog opened by the keys fails the test
        pressKeyInFocus(Qt::Key_Space);
        pressKeyInFocus(Qt::Key_Return);
        EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
        EXPECT_EQ(corrente(), scheda);
    }
};

} // namespace

TEST_F(MaskAnnulmentTest, TheKeysAfterAnAnnulmentAnnulNothingAgain)
{
    annulla("prima ragione");
    ASSERT_TRUE(control<QFrame>(&w, "Frame_annullato")->isVisible());
    tastiSenzaEffetto();
    EXPECT_EQ(box(26)->text(), "prima ragione");

    // Moving on stores the first reason, and the keys pressed then ask nothing either.
    click(&w, "cmd_move_0");
    ASSERT_EQ(corrente(), 1);
    EXPECT_EQ(archivio("Nota_annulla", 1).toString(), "prima ragione");
    tastiSenzaEffetto();
    EXPECT_EQ(archivio("Annullato", 1).toInt(), -1);
    EXPECT_EQ(archivio("Nota_annulla", 1).toString(), "prima ragione");
}

TEST_F(MaskAnnulmentTest, AnAnnulmentAnsweredNoLeavesNoButtonToTheAnnulledEntryFoundNext)
{
    // "ANNULLA" answered No keeps its button in sight; the search then moves to annulled entry 3.
    messages.answer(MsgAnswer::No);
    click(&w, "cmd_annulla");
    cerca(3);
    ASSERT_TRUE(control<QFrame>(&w, "Frame_annullato")->isVisible());
    tastiSenzaEffetto();
    EXPECT_EQ(archivio("Nota_annulla", 3).toString(), "Errore");
}

TEST_F(MaskAnnulmentTest, AMoveToAnAnnulledEntryLeavesNoKeyToTheButtonsOfAnActiveWindow)
{
    // The window is active and "ANNULLA" holds the focus when the register moves to annulled
    // entry 3, which hides it.
    entra(26);
    pressKeyInFocus(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), control<QPushButton>(&w, "cmd_annulla"));
    vai(3);
    ASSERT_TRUE(control<QFrame>(&w, "Frame_annullato")->isVisible());
    tastiSenzaEffetto();
}

namespace {

/// Entry 4 says "Falso" in words, entry 5 "Vero", as another tool may write them.
class TextYesNoTest : public MaskAnnulmentTest
{
protected:
    void prepareArchive(Connection& db) override
    {
        ASSERT_TRUE(db.exec("UPDATE entrata SET Annullato = 'Falso' WHERE Progressivo = 4").ok());
        ASSERT_TRUE(
            db.exec("UPDATE entrata SET Annullato = 'Vero', Nota_annulla = 'altro programma' WHERE Progressivo = 5")
                .ok());
    }
};

} // namespace

TEST_F(TextYesNoTest, ShowsAndAnnulsAsTheProgramReadsAYesNo)
{
    cerca(5);
    EXPECT_TRUE(control<QFrame>(&w, "Frame_annullato")->isVisible());
    cerca(4);
    ASSERT_TRUE(control<QFrame>(&w, "frame_annulla")->isVisible());
    EXPECT_FALSE(control<QCheckBox>(&w, "Check1")->isChecked());
    // Annulled here, and at another station before it is saved: the first reason stays, told.
    annulla("ragione di qui");
    annullataAltrove(4);
    click(&w, "cmd_move_2");
    EXPECT_EQ(messages.texts(),
              QStringList({testo_conferma_annullamento(),
                           "ATTENZIONE !\n\nIl quadernolo n. 4 è stato annullato da un' altra postazione.\n\n"
                           "Motivo dell' annullamento: dall'altra postazione\n\n"
                           "Il motivo scritto qui (\"ragione di qui\") non è stato salvato."}));
    EXPECT_EQ(archivio("Nota_annulla", 4).toString(), "dall'altra postazione");
}

TEST_F(MaskAnnulmentTest, TheReasonReadLeavesNoButtonToTheEntryFoundNext)
{
    // The reason of annulled entry 3 read with "Vedi note", then the search to entry 1.
    cerca(3);
    ModalScript script;
    script.then("frm_annullato", [](QDialog* d) { click(d, "Command1_1"); });
    click(&w, "cmd_annullato");
    ASSERT_TRUE(script.waitDone());
    cerca(1);
    ASSERT_TRUE(control<QFrame>(&w, "frame_annulla")->isVisible());
    tastiSenzaEffetto();
    EXPECT_EQ(archivio("Annullato", 1).toInt(), 0);
}

TEST_F(MaskAnnulmentTest, AnEntryAnnulledAtAnotherStationKeepsItsReasonAndTheClerkIsTold)
{
    const QString altrove = "ATTENZIONE !\n\nIl quadernolo n. %1 è stato annullato da un' altra postazione."
                            "\n\nMotivo dell' annullamento: dall'altra postazione";
    // Entry 1 is on screen, not annulled, when another station annuls it: "ANNULLA" tells it at
    // once, asking nothing.
    annullataAltrove();
    ASSERT_TRUE(control<QFrame>(&w, "frame_annulla")->isVisible());
    {
        ModalScript nessuno; // the reason dialog would fail the test
        click(&w, "cmd_annulla");
    }
    EXPECT_EQ(messages.texts(), QStringList {altrove.arg(1)});
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
    mostraAnnullamentoAltrui();

    click(&w, "cmd_move_2");
    ASSERT_EQ(corrente(), 2);
    EXPECT_EQ(archivio("Nota_annulla", 1).toString(), "dall'altra postazione");
    click(&w, "cmd_move_1");
    ASSERT_EQ(corrente(), 1);
    EXPECT_EQ(box(26)->text(), "dall'altra postazione");

    // Entry 2 is annulled there while the clerk types the reason here: told after it.
    click(&w, "cmd_move_2");
    ASSERT_EQ(corrente(), 2);
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    ModalScript script;
    script.then("frm_annullato", [this](QDialog* d) {
        annullataAltrove(2);
        typeInto(d, "Text1", "seconda ragione");
        click(d, "Command1_0");
    });
    click(&w, "cmd_annulla");
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(messages.texts(), QStringList({testo_conferma_annullamento(), altrove.arg(2)}));
    mostraAnnullamentoAltrui();
    click(&w, "cmd_move_2");
    EXPECT_EQ(archivio("Nota_annulla", 2).toString(), "dall'altra postazione");
}

TEST_F(MaskAnnulmentTest, AnAnnulmentMadeElsewhereBeforeThisOneIsSavedKeepsItsReasonAndTheClerkIsTold)
{
    // Entry 1 is annulled here; before the clerk leaves it, another station annuls it too.
    annulla("seconda ragione");
    ASSERT_TRUE(control<QFrame>(&w, "Frame_annullato")->isVisible());
    ASSERT_EQ(box(26)->text(), "seconda ragione");
    annullataAltrove();
    messages.clear();
    click(&w, "cmd_move_2");
    ASSERT_FALSE(messages.shown().isEmpty());
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !\n\nIl quadernolo n. 1 è stato annullato da un' altra postazione."
              "\n\nMotivo dell' annullamento: dall'altra postazione"
              "\n\nIl motivo scritto qui (\"seconda ragione\") non è stato salvato.");
    EXPECT_EQ(archivio("Nota_annulla", 1).toString(), "dall'altra postazione");
    // The mask shows the annulment stored, and leaving the entry again writes nothing more.
    ASSERT_EQ(corrente(), 1);
    EXPECT_EQ(box(26)->text(), "dall'altra postazione");
    messages.clear();
    click(&w, "cmd_move_2");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(corrente(), 2);
    EXPECT_EQ(archivio("Nota_annulla", 1).toString(), "dall'altra postazione");
}
