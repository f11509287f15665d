// A new entry typed at the keyboard alone: where the focus stands after "Nuovo", dates typed while
// the calendar is open, and the way Tab walks the mask to the confirmation.
#include "test_entries_fixture.h"

#include "ax_db_autocomplete.h"
#include "qt_message_service.h"

#include <QCalendarWidget>
#include <QInputDialog>
#include <QMessageBox>

using namespace quad;
using namespace quad::test;

namespace {

void tab()
{
    pressKeyInFocus(Qt::Key_Tab);
}

/// Shift+Tab as the keyboard gives it.
void shiftTab()
{
    QWidget* f = QApplication::focusWidget();
    ASSERT_TRUE(f) << "nothing has the focus";
    QTest::keyClick(f, Qt::Key_Backtab, Qt::ShiftModifier);
    QCoreApplication::processEvents();
}

class MaskKeyboardTest : public EntriesTest
{
protected:
    /// True once the calendar has the focus.
    bool nelCalendario() const
    {
        return QTest::qWaitFor(
            [this] { return control<QCalendarWidget>(&w, "CalendarVB1")->isAncestorOf(QApplication::focusWidget()); });
    }
    /// "Nuovo" and "ENTRATA" with the program's own message boxes, answered as the clerk answers
    /// them: Yes, then, on an empty register, the start number typed.
    void nuovoConMessaggiVeri(const QString& numeroIniziale = QString())
    {
        QtMessageService veri;
        MessageService::install(&veri);
        ModalScript script;
        script.then("", [](QDialog* d) { qobject_cast<QMessageBox*>(d)->button(QMessageBox::Yes)->click(); });
        if (!numeroIniziale.isEmpty()) {
            script.then("", [numeroIniziale](QDialog* d) {
                ASSERT_TRUE(qobject_cast<QInputDialog*>(d));
                QTest::keyClicks(d->focusWidget(), numeroIniziale);
                QTest::keyClick(d->focusWidget(), Qt::Key_Return);
            });
        }
        EXPECT_TRUE(trigger(&w, "tb_insert"));
        EXPECT_TRUE(click(&w, "cmd_ins_0"));
        EXPECT_TRUE(script.waitDone());
        MessageService::install(&messages);
    }
    /// Clicks into box index as the clerk does.
    void clicca(int index) { QTest::mouseClick(box(index), Qt::LeftButton); }
    /// A new incoming entry with its required fields typed, and Tab on to "Altri mittenti".
    void suAltriMittenti()
    {
        apri(5);
        nuovo(0);
        compila("Lettera", "Richiesta di accesso", "Rossi Mario");
        messages.clear();
        ASSERT_EQ(tabFino("cmd_altri").last(), "cmd_altri");
    }

    /// Presses Tab (Shift+Tab when not avanti) until the control named nome has the focus, typing
    /// the entry's texts into its empty boxes on the way; the names of the controls passed (a
    /// calendar by the box it serves).
    QStringList tabFino(const QString& nome, bool avanti = true)
    {
        const QMap<QString, QString> testi {
            {"txt_mask1_3", "Lettera"}, {"txt_mask1_7", "Richiesta di accesso"}, {"txt_mask1_8", "Rossi Mario"}};
        QStringList percorso;
        for (int i = 0; i < 60 && percorso.value(percorso.size() - 1) != nome; ++i) {
            if (avanti)
                tab();
            else
                shiftTab();
            QWidget* f = QApplication::focusWidget();
            if (!f)
                break;
            const bool calendario = control<QCalendarWidget>(&w, "CalendarVB1")->isAncestorOf(f);
            percorso << (calendario ? "calendario " + control<QLabel>(&w, "lbl_data")->text() : f->objectName());
            EXPECT_TRUE(f->isVisible()) << percorso.last().toStdString();
            EXPECT_EQ(control<QFrame>(&w, "Frame_calendar")->isVisible(), calendario) << percorso.last().toStdString();
            EXPECT_TRUE(w.rect().contains(QRect(f->mapTo(&w, QPoint(0, 0)), f->size())))
                << percorso.last().toStdString();
            auto* box = qobject_cast<QLineEdit*>(f);
            if (box && box->text().isEmpty() && testi.contains(f->objectName()))
                typeInFocus(testi.value(f->objectName()));
        }
        return percorso;
    }
};

} // namespace

TEST_F(MaskKeyboardTest, ANewEntryIsTypedFromItsDateToItsConfirmationWithKeysAlone)
{
    apri(5);
    // When the question of "Nuovo" closes, the window has the focus again, in the date box.
    nuovoConMessaggiVeri();
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    ASSERT_TRUE(nelCalendario()) << "the date box and its calendar have the focus";
    EXPECT_EQ(control<QLabel>(&w, "lbl_data")->text(), "Data quadernolo");

    clicca(7);
    clicca(2);
    ASSERT_TRUE(nelCalendario());
    typeInFocus("03012026");
    tab();
    EXPECT_EQ(box(2)->text(), "03/01/2026");
    EXPECT_EQ(box(1)->text(), "2026");
    EXPECT_FALSE(control<QFrame>(&w, "Frame_calendar")->isVisible());

    // Tab walks the mask in its order, over controls in sight only, to "Conferma ed Esci" and round
    // again; the calendar of a date box takes the focus and hands it on at the next Tab.
    EXPECT_EQ(tabFino("cmd_new_ins_0").join(",").toStdString(),
              "txt_mask1_3,txt_mask1_4,txt_mask1_5,calendario Data quad. rif.,Check2,txt_mask1_7,txt_mask1_8,"
              "cmd_altri,txt_mask1_9,txt_mask1_10,txt_mask1_11,txt_mask1_12,txt_mask1_13,txt_mask1_14,txt_mask1_25,"
              "txt_mask1_15,txt_mask1_16,txt_mask1_17,txt_mask1_18,txt_mask1_19,txt_mask1_20,txt_mask1_21,"
              "txt_mask1_22,txt_mask1_23,txt_mask1_26,cmd_new_ins_0");
    EXPECT_EQ(tabFino("txt_mask1_24").join(",").toStdString(),
              "cmd_new_ins_1,cmd_tree,txt_mask1_0,txt_mask1_1,calendario Data quadernolo,txt_mask1_24");
    ASSERT_EQ(tabFino("cmd_new_ins_0").last(), "cmd_new_ins_0");

    pressKeyInFocus(Qt::Key_Space);
    EXPECT_FALSE(nuovaSchedaInCorso(w));
    EXPECT_EQ(
        scalar("SELECT Data_quadernolo || '|' || Anno || '|' || Oggetto FROM entrata WHERE Progressivo = 6").toString(),
        "2026-01-03|2026|Richiesta di accesso");
    EXPECT_EQ(scalar("SELECT Nominativo FROM Mittenti WHERE Quadernolo = 6").toString(), "Rossi Mario");
}

TEST_F(MaskKeyboardTest, ShiftTabWalksTheMaskBackThroughTheSameStops)
{
    apri(5);
    nuovo(0);
    ASSERT_TRUE(nelCalendario());
    ASSERT_EQ(tabFino("cmd_new_ins_0").last(), "cmd_new_ins_0");
    // Every stop of the forward walk, in reverse order, round to the confirmation again.
    EXPECT_EQ(tabFino("cmd_new_ins_0", false).join(",").toStdString(),
              "txt_mask1_26,txt_mask1_23,txt_mask1_22,txt_mask1_21,txt_mask1_20,txt_mask1_19,txt_mask1_18,"
              "txt_mask1_17,txt_mask1_16,txt_mask1_15,txt_mask1_25,txt_mask1_14,txt_mask1_13,txt_mask1_12,"
              "txt_mask1_11,txt_mask1_10,txt_mask1_9,cmd_altri,txt_mask1_8,txt_mask1_7,Check2,"
              "calendario Data quad. rif.,txt_mask1_5,txt_mask1_4,txt_mask1_3,txt_mask1_24,"
              "calendario Data quadernolo,txt_mask1_1,txt_mask1_0,cmd_tree,cmd_new_ins_1,cmd_new_ins_0");
}

TEST_F(MaskKeyboardTest, ADateTypedWhileTheCalendarIsOpenIsTheDateTypedOrRefused)
{
    apri(5);
    nuovo(0);
    messages.clear();
    for (const QString typed : {"03012026", "3/1/2026", "03/01/2026"}) {
        clicca(7);
        clicca(2);
        ASSERT_TRUE(nelCalendario());
        typeInFocus(typed);
        EXPECT_FALSE(control<QFrame>(&w, "Frame_calendar")->isVisible());
        tab();
        EXPECT_EQ(box(2)->text(), "03/01/2026") << typed.toStdString();
        EXPECT_EQ(registro()->value("Data_quadernolo").toDate(), QDate(2026, 1, 3)) << typed.toStdString();
    }
    EXPECT_TRUE(messages.shown().isEmpty());

    // A day that does not exist is refused, in words, and the entry keeps the date it had.
    clicca(2);
    ASSERT_TRUE(nelCalendario());
    typeInFocus("31022026");
    tab();
    EXPECT_EQ(messages.last(), "ATTENZIONE !\n\nValore non valido per il campo Data_quadernolo.");
    EXPECT_EQ(box(2)->text(), "31022026");
    EXPECT_EQ(registro()->value("Data_quadernolo").toDate(), QDate(2026, 1, 3));
    // The focus stays in the box for the clerk to mend the date, at the confirmation too.
    ASSERT_TRUE(QTest::qWaitFor([this] { return box(2)->hasFocus(); }));
    compila("Lettera", "Richiesta", "Rossi Mario");
    messages.clear();
    QTest::mouseClick(control<QPushButton>(&w, "cmd_new_ins_0"), Qt::LeftButton);
    EXPECT_EQ(messages.texts(), QStringList {"ATTENZIONE !\n\nValore non valido per il campo Data_quadernolo."});
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    ASSERT_TRUE(QTest::qWaitFor([this] { return box(2)->hasFocus(); }));
    typeInFocus("28022026");
    tab();
    EXPECT_EQ(box(2)->text(), "28/02/2026");
    EXPECT_EQ(registro()->value("Data_quadernolo").toDate(), QDate(2026, 2, 28));

    // The calendar goes when the focus goes elsewhere.
    clicca(6);
    ASSERT_TRUE(nelCalendario());
    clicca(7);
    EXPECT_FALSE(control<QFrame>(&w, "Frame_calendar")->isVisible());
    EXPECT_TRUE(box(7)->hasFocus());
}

TEST_F(MaskKeyboardTest, TheFirstEntryOfAnEmptyRegisterStartsInItsDateBoxToo)
{
    apri(0);
    // The start number is asked right after the question, over the window.
    nuovoConMessaggiVeri("100");
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "100");
    ASSERT_TRUE(nelCalendario());
    EXPECT_EQ(control<QLabel>(&w, "lbl_data")->text(), "Data quadernolo");
}

TEST_F(MaskKeyboardTest, ThePickListsAreWorkedWithTheArrowsReturnAndEscape)
{
    program.writeIni("[Uffici]\nElenco=Ragioneria;Tecnico\n[IMPOSTA]\nPostazione=Server\n");
    apri(5);
    nuovo(0);
    messages.clear();
    auto* uffici = control<QListWidget>(&w, "list_elenco");

    // The empty office box shows the list beside it; Down goes into it, Up and Down move in it and
    // Return puts the office chosen into the box, which has the focus back.
    clicca(16);
    ASSERT_TRUE(uffici->isVisible());
    pressKeyInFocus(Qt::Key_Down);
    ASSERT_TRUE(uffici->hasFocus());
    EXPECT_EQ(uffici->currentItem()->text(), "Ragioneria");
    pressKeyInFocus(Qt::Key_Down);
    pressKeyInFocus(Qt::Key_Up);
    pressKeyInFocus(Qt::Key_Return);
    EXPECT_EQ(box(16)->text(), "Ragioneria");
    EXPECT_EQ(registro()->value("Ufficio_competente").toString(), "Ragioneria");
    EXPECT_TRUE(box(16)->hasFocus());

    // Escape goes back to the box without a pick.
    clicca(17);
    pressKeyInFocus(Qt::Key_Down);
    pressKeyInFocus(Qt::Key_Down);
    ASSERT_TRUE(uffici->hasFocus());
    pressKeyInFocus(Qt::Key_Escape);
    EXPECT_TRUE(box(17)->hasFocus());
    EXPECT_EQ(box(17)->text(), "");

    // The document type proposed as it is typed is taken by Down and Return, as by a click.
    clicca(3);
    typeInFocus("Let");
    auto* proposte = control<AXDbAutoComplete>(&w, "AXDbAutoComplete1");
    ASSERT_TRUE(proposte->isListVisible());
    pressKeyInFocus(Qt::Key_Down);
    pressKeyInFocus(Qt::Key_Return);
    EXPECT_EQ(box(3)->text(), "Lettera");
    EXPECT_FALSE(proposte->isListVisible());
    EXPECT_TRUE(box(3)->hasFocus());
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}

TEST_F(MaskKeyboardTest, ShiftTabOutOfTheOfficeInCopyOpensNoOfficeList)
{
    program.writeIni("[Uffici]\nElenco=Ragioneria;Tecnico\n[IMPOSTA]\nPostazione=Server\n");
    apri(5);
    nuovo(0);
    messages.clear();
    auto* uffici = control<QListWidget>(&w, "list_elenco");
    // Both offices picked from the list, which the note box closes.
    for (int casella : {16, 17}) {
        clicca(casella);
        pressKeyInFocus(Qt::Key_Down);
        ASSERT_TRUE(uffici->hasFocus());
        pressKeyInFocus(Qt::Key_Return);
        ASSERT_EQ(box(casella)->text(), "Ragioneria");
    }
    clicca(18);
    clicca(17);
    ASSERT_FALSE(uffici->isVisible());
    shiftTab();
    EXPECT_TRUE(box(16)->hasFocus());
    EXPECT_FALSE(uffici->isVisible());
    EXPECT_EQ(box(17)->text(), "Ragioneria");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}

TEST_F(MaskKeyboardTest, ReturnPressesTheFocusedButtonAndTheFocusThenRestsOutOfTheWay)
{
    apri(5);
    // "Conferma ed Esci" by Return: the entry is written.
    nuovo(0);
    ASSERT_EQ(tabFino("cmd_new_ins_0").last(), "cmd_new_ins_0");
    pressKeyInFocus(Qt::Key_Return);
    EXPECT_FALSE(nuovaSchedaInCorso(w));
    EXPECT_EQ(scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 6").toString(), "Richiesta di accesso");
    // The key pressed next reaches no button of the mask ("ANNULLA" asks nothing).
    messages.clear();
    pressKeyInFocus(Qt::Key_Space);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();

    // "Annulla" by Return: the entry is given up, and the focus rests out of the way again.
    nuovo(1);
    ASSERT_EQ(tabFino("cmd_new_ins_1").last(), "cmd_new_ins_1");
    pressKeyInFocus(Qt::Key_Return);
    EXPECT_FALSE(nuovaSchedaInCorso(w));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 6);
    messages.clear();
    pressKeyInFocus(Qt::Key_Space);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}

TEST_F(MaskKeyboardTest, KeypadEnterPressesTheFocusedButton)
{
    suAltriMittenti();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(control<QLabel>(&w, "lbl_numero")->text(), "2/2");
    EXPECT_TRUE(box(8)->hasFocus());
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}

TEST_F(MaskKeyboardTest, AReturnHeldDownOnAButtonPressesItOnce)
{
    suAltriMittenti();
    // Return goes down on "Altri mittenti", repeats there while it is held, and comes up.
    QWidget* altri = QApplication::focusWidget();
    const auto invio = [altri](bool giu, bool ripetuto) {
        QTest::simulateEvent(altri, giu, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), ripetuto);
    };
    invio(true, false);
    for (int i = 0; i < 5; ++i)
        invio(true, true);
    invio(false, false);
    EXPECT_EQ(control<QLabel>(&w, "lbl_numero")->text(), "2/2");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}

TEST_F(MaskKeyboardTest, ReturnOnAFocusedButtonOfTheNewEntryPopUpPressesIt)
{
    apri(5);
    QWidget* pulsante = control<QToolBar>(&w, "Toolbar1")->widgetForAction(findAction(&w, "tb_insert"));
    ASSERT_TRUE(pulsante);
    QTest::mouseClick(pulsante, Qt::LeftButton);
    ASSERT_TRUE(shown(w, "Picture4")->isVisible());
    control<QPushButton>(&w, "cmd_ins_1")->setFocus();
    messages.answer(MsgAnswer::Yes);
    pressKeyInFocus(Qt::Key_Return);
    EXPECT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(w.state.p_sessione, "Uscita");
}
