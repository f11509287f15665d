// A key held down as a box or a dialog opens: its repeats there answer and type nothing, a new
// press does. The boxes are the program's own message boxes, shown for real.
#include "test_entries_fixture.h"

#include "address_book.h"
#include "annulment.h"
#include "qt_message_service.h"
#include "x_keys.h"

#include <QMessageBox>

using namespace quad;
using namespace quad::test;

namespace {

/// The widget that has the focus once dialog d is the active window. A dialog that never takes
/// the focus is closed, failing the test, which then never hangs on it.
QWidget* fuocoDi(QDialog* d)
{
    if (QTest::qWaitFor([d] { return QApplication::activeWindow() == d && d->focusWidget(); }))
        return d->focusWidget();
    ADD_FAILURE() << d->objectName().toStdString() << " never took the focus";
    d->reject();
    return nullptr;
}

/// The key goes down (a first press, or a repeat while it is held) or comes up on w.
void tasto(QWidget* w, Qt::Key key, const QString& testo, bool giu, bool ripetuto = false)
{
    QTest::simulateEvent(w, giu, key, Qt::NoModifier, testo, ripetuto);
}

class HeldKeysTest : public EntriesTest
{
protected:
    /// The next box takes five repeats of the Return held down; then the key comes up and a new
    /// press of Return answers the box. domande gets the text of each box still open after the
    /// repeats.
    void ripetizioniPoiNuovaPressione(ModalScript& script)
    {
        script.then("", [this](QDialog* d) {
            QWidget* fuoco = fuocoDi(d);
            if (!fuoco)
                return;
            for (int i = 0; i < 5; ++i)
                tasto(fuoco, Qt::Key_Return, "\r", true, true);
            if (!d->isVisible())
                return; // a repeat answered it
            domande << qobject_cast<QMessageBox*>(d)->text();
            tasto(fuoco, Qt::Key_Return, "\r", false);
            QTest::keyClick(fuoco, Qt::Key_Return);
        });
    }
    /// Return goes down on the button, which has the focus, with the program's own message boxes.
    void invioGiu(QPushButton* pulsante)
    {
        QtMessageService veri;
        MessageService::install(&veri);
        pulsante->setFocus();
        tasto(pulsante, Qt::Key_Return, "\r", true);
        MessageService::install(&messages);
    }

    /// How many times the address book holds nome.
    int inRubrica(const QString& nome)
    {
        DbResult err;
        const auto rubrica = AddressBook::openSettings(&err);
        EXPECT_TRUE(rubrica) << err.message.toStdString();
        return rubrica ? rubrica->scalar("SELECT COUNT(*) FROM Elenco WHERE Nominativo = ?", {nome}).toInt() : -1;
    }

    QStringList domande;
};

} // namespace

TEST_F(HeldKeysTest, AReturnHeldOnAButtonLeavesTheQuestionItAsksToANewPress)
{
    apri(5);
    nuovo(0);
    compila("Lettera", "Richiesta", "Gialli Nuovo");
    ModalScript script;
    ripetizioniPoiNuovaPressione(script);
    invioGiu(control<QPushButton>(&w, "cmd_new_ins_0"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_FALSE(nuovaSchedaInCorso(w));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 6);
    // The new press answered "Sì".
    EXPECT_EQ(inRubrica("Gialli Nuovo"), 1);

    maschera(1);
    ripetizioniPoiNuovaPressione(script);
    script.then("frm_annullato", [](QDialog* d) {
        typeInto(d, "Text1", "Doppia registrazione");
        click(d, "Command1_0");
    });
    invioGiu(control<QPushButton>(&w, "cmd_annulla"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(box(26)->text(), "Doppia registrazione");

    EXPECT_EQ(domande,
              QStringList({"Dati anagrafici non presenti in archivio.\n\nAggiorno l' archivio ?\n\n",
                           testo_conferma_annullamento()}));
}

TEST_F(HeldKeysTest, ALetterHeldOnTheGridTypesItOnceIntoTheQuickFindItOpens)
{
    apri(5);
    showGrid(w);
    grid(w)->setFocus();
    grid(w)->setCurrentIndex(grid(w)->model()->index(0, registro()->fieldIndex("Oggetto")));
    QString dopoLeRipetizioni;
    QString dopoUnaNuovaPressione;
    ModalScript script;
    script.then("frmquickfind1", [&](QDialog* d) {
        QWidget* casella = fuocoDi(d);
        if (!casella)
            return;
        EXPECT_EQ(casella->objectName(), "txtQuickFind");
        for (int i = 0; i < 5; ++i)
            tasto(casella, Qt::Key_R, "R", true, true);
        tasto(casella, Qt::Key_R, "R", false);
        dopoLeRipetizioni = text(d, "txtQuickFind");
        // A key pressed in the dialog types, and so do its repeats.
        tasto(casella, Qt::Key_O, "o", true);
        tasto(casella, Qt::Key_O, "o", true, true);
        tasto(casella, Qt::Key_O, "o", false);
        dopoUnaNuovaPressione = text(d, "txtQuickFind");
        click(d, "cmd_esci");
    });
    tasto(grid(w), Qt::Key_R, "R", true);
    ASSERT_TRUE(script.waitDone());

    EXPECT_EQ(dopoLeRipetizioni, "R");
    EXPECT_EQ(dopoUnaNuovaPressione, "Roo");
}

TEST_F(HeldKeysTest, AReturnHeldAsXDeliversItLeavesTheAddressBooksQuestionToANewPress)
{
    apri(5);
    nuovo(0);
    compila("Lettera", "Richiesta", "Gialli Nuovo");
    EXPECT_EQ(holdOnButton(control<QPushButton>(&w, "cmd_new_ins_0"), Qt::Key_Return, "\r"),
              QStringList("Dati anagrafici non presenti in archivio.\n\nAggiorno l' archivio ?\n\n"));
    EXPECT_FALSE(nuovaSchedaInCorso(w));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 6);
    EXPECT_EQ(inRubrica("Gialli Nuovo"), 1);
}

TEST_F(HeldKeysTest, ReturnOrSpaceHeldAsXDeliversThemOnAnnullaLeaveItsQuestionAndItsReasonToTheClerk)
{
    apri(5);
    for (const auto& [key, testo] :
         {std::pair {Qt::Key_Return, QString("\r")}, std::pair {Qt::Key_Space, QString(" ")}}) {
        SCOPED_TRACE(testo.toStdString());
        maschera(key == Qt::Key_Return ? 1 : 2);
        QString motivoAperto = "non aperto";
        ModalScript script;
        script.then("frm_annullato", [&motivoAperto](QDialog* d) {
            motivoAperto = text(d, "Text1");
            typeInto(d, "Text1", "Doppia registrazione");
            click(d, "Command1_0");
        });
        EXPECT_EQ(holdOnButton(control<QPushButton>(&w, "cmd_annulla"), key, testo),
                  QStringList(testo_conferma_annullamento()));
        ASSERT_TRUE(script.waitDone());
        // The reason box opened empty: no blank of the held Space went into it.
        EXPECT_EQ(motivoAperto, "");
        EXPECT_EQ(box(26)->text(), "Doppia registrazione");
    }
}
