// A key held down as a box or a dialog opens: its repeats there answer and type nothing, a new
// press does. The boxes are the program's own message boxes, shown for real.
#include "test_entries_fixture.h"

#include "address_book.h"
#include "annulment.h"
#include "qt_message_service.h"

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
    DbResult err;
    const auto rubrica = AddressBook::openSettings(&err);
    ASSERT_TRUE(rubrica) << err.message.toStdString();
    EXPECT_EQ(rubrica->scalar("SELECT COUNT(*) FROM Elenco WHERE Nominativo = 'Gialli Nuovo'").toInt(), 1);

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
