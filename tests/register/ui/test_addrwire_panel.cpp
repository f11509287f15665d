// The address-book panel of the main window: look-up while a new entry is typed, the pick into
// the correspondent row, deletion, correction, and the check after a confirmed entry.
#include "test_addrwire_fixture.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

using namespace quad;
using namespace quad::test;

namespace {

class AddrwirePanel : public AddrwireTest
{
protected:
    void SetUp() override
    {
        AddrwireTest::SetUp();
        rubrica(QVariantMap {{"Nominativo", "D'Amico Sergio"},
                             {"P_iva_CF", "DMCSRG70E01H501X"},
                             {"Data_nascita", QDate(1970, 5, 1)},
                             {"Indirizzo", "Via Po"},
                             {"Civico", "3"},
                             {"Citta", "Torino"},
                             {"Prov", "TO"},
                             {"Stato", "IT"},
                             {"Cap", "10121"}});
        rubrica("d'Alessandro Anna", "Via Roma");
        rubrica("Damiani Luca");
        rubrica("Rossi Mario");
        rubrica("50% Servizi");
        rubrica("500 Auto");
        inserisci();
    }
};

} // namespace

TEST_F(AddrwirePanel, TypingANameListsTheAddressBookNamesBeginningWithIt)
{
    scrivi(8, "D'A");
    ASSERT_TRUE(shown(w, "Pic_nomi")->isVisible());
    EXPECT_EQ(nomiInGriglia(), QStringList({"d'Alessandro Anna", "D'Amico Sergio"}));
    // The focus stays in the name box, so that typing goes on; the panel hangs under it.
    EXPECT_EQ(QApplication::focusWidget(), box(8));
    const QPoint sotto = box(8)->mapTo(shown(w, "Pic_nomi")->parentWidget(), QPoint(0, box(8)->height()));
    EXPECT_EQ(shown(w, "Pic_nomi")->pos(), sotto);
    EXPECT_TRUE(shown(w, "Picture3")->isVisible());
    EXPECT_TRUE(control<QPushButton>(&w, "cmd_mod_nomi")->isVisible());
    // The record's id is kept out of sight.
    int visibili = 0;
    for (int c = 0; c < griglia()->model()->columnCount(); ++c)
        visibili += griglia()->isColumnHidden(c) ? 0 : 1;
    EXPECT_EQ(visibili, 9);

    QTest::keyClicks(box(8), "m");
    EXPECT_EQ(nomiInGriglia(), QStringList({"D'Amico Sergio"}));
    // No match: the panel goes.
    QTest::keyClicks(box(8), "x");
    EXPECT_FALSE(shown(w, "Pic_nomi")->isVisible());

    // What the clerk types is taken literally.
    riscrivi(8, "50%");
    EXPECT_EQ(nomiInGriglia(), QStringList({"50% Servizi"}));
    riscrivi(8, "%");
    EXPECT_FALSE(shown(w, "Pic_nomi")->isVisible());
    riscrivi(8, "R_");
    EXPECT_FALSE(shown(w, "Pic_nomi")->isVisible());
    // Leading blanks belong to the name.
    riscrivi(8, " D");
    EXPECT_FALSE(shown(w, "Pic_nomi")->isVisible());
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(AddrwirePanel, TheFocusStaysInTheNameBoxUntilTheClerkGoesElsewhere)
{
    rubrica("Verdi Anna Maria", "Via Po", "Torino");
    QWidget* pannello = shown(w, "Pic_nomi");
    const auto clic = [this](QWidget* dove, const QPoint& punto) {
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, dove->mapTo(&w, punto));
    };
    // A click on a name chooses it; the typing goes on in the name box.
    scrivi(8, "Verdi Anna");
    ASSERT_TRUE(pannello->isVisible());
    clic(griglia()->viewport(), cella(0).center());
    EXPECT_EQ(griglia()->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(pannello->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), box(8));

    // A click where the address box lies, beneath the panel, closes it and types there.
    clic(box(11), box(11)->rect().center());
    EXPECT_FALSE(pannello->isVisible());
    typeInFocus("Via Po");
    EXPECT_EQ(box(11)->text(), "Via Po");

    // Tab closes it and goes on; Escape closes it and leaves the name as typed.
    riscrivi(8, "Verdi Anna");
    ASSERT_TRUE(pannello->isVisible());
    pressKeyInFocus(Qt::Key_Tab);
    EXPECT_FALSE(pannello->isVisible());
    EXPECT_NE(QApplication::focusWidget(), box(8));
    EXPECT_FALSE(pannello->isAncestorOf(QApplication::focusWidget()));
    riscrivi(8, "Verdi Anna");
    ASSERT_TRUE(pannello->isVisible());
    pressKeyInFocus(Qt::Key_Escape);
    EXPECT_FALSE(pannello->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), box(8));
    EXPECT_EQ(box(8)->text(), "Verdi Anna");
}

TEST_F(AddrwirePanel, AContextMenuOverTheNameBoxLeavesThePanelUp)
{
    rubrica("Verdi Anna Maria", "Via Po", "Torino");
    QWidget* pannello = shown(w, "Pic_nomi");
    scrivi(8, "Verdi Anna");
    ASSERT_TRUE(pannello->isVisible());
    const auto clicDestro = [this] {
        QTest::mouseClick(w.windowHandle(), Qt::RightButton, {}, box(8)->mapTo(&w, box(8)->rect().center()));
    };
    // The desktop hands the menu key to the focused widget as a context menu asked by the keyboard.
    const auto tastoMenu = [] {
        QWidget* f = QApplication::focusWidget();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, f->rect().center(), f->mapToGlobal(f->rect().center()));
        QApplication::sendEvent(f, &menu);
    };
    // The name box's own menu, and Escape closes it: the clerk is still in the box, the panel up.
    for (const std::function<void()>& apri : {std::function<void()>(clicDestro), std::function<void()>(tastoMenu)}) {
        apri();
        ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
        EXPECT_TRUE(pannello->isVisible());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activePopupWidget(); }));
        EXPECT_TRUE(pannello->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), box(8));
    }
    EXPECT_EQ(box(8)->text(), "Verdi Anna");
}

TEST_F(AddrwirePanel, NoLookUpOutsideTheTypingOfANewEntry)
{
    // A blank name looks nothing up.
    riscrivi(8, "  ");
    EXPECT_FALSE(shown(w, "Pic_nomi")->isVisible());

    // The program writing the name starts no look-up.
    box(8)->setText("D'A");
    EXPECT_FALSE(shown(w, "Pic_nomi")->isVisible());

    // Another box getting the focus hides the panel.
    riscrivi(8, "D'A");
    ASSERT_TRUE(shown(w, "Pic_nomi")->isVisible());
    box(9)->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(shown(w, "Pic_nomi")->isVisible());

    // Once the entry is dropped the register is only consulted: its name box is locked.
    ASSERT_TRUE(click(&w, "cmd_new_ins_1"));
    EXPECT_TRUE(box(8)->isReadOnly());
    EXPECT_FALSE(shown(w, "Pic_nomi")->isVisible());
}

TEST_F(AddrwirePanel, DoubleClickCopiesTheRecordIntoTheRowAndMovesOnToTheOffice)
{
    ASSERT_TRUE(mittenti()->setValue("Data_nascita", QDate(2001, 2, 3)).ok());
    scrivi(11, "Via Vecchia");
    scrivi(8, "D'Am");
    ASSERT_EQ(nomiInGriglia(), QStringList({"D'Amico Sergio"}));
    doppioClic(0);

    EXPECT_FALSE(shown(w, "Pic_nomi")->isVisible());
    EXPECT_FALSE(control<AddressBookPanel>(&w, "Pic_nomi")->p_modifica());
    EXPECT_EQ(QApplication::focusWidget(), box(16));
    EXPECT_EQ(riga("Nominativo").toString(), "D'Amico Sergio");
    EXPECT_EQ(riga("P_iva_CF").toString(), "DMCSRG70E01H501X");
    EXPECT_EQ(riga("Data_nascita").toDate(), QDate(1970, 5, 1));
    EXPECT_EQ(riga("Indirizzo").toString(), "Via Po");
    EXPECT_EQ(riga("Civico").toString(), "3");
    EXPECT_EQ(riga("Citta").toString(), "Torino");
    EXPECT_EQ(riga("Prov").toString(), "TO");
    EXPECT_EQ(riga("Stato").toString(), "IT");
    EXPECT_EQ(riga("Cap").toString(), "10121");
    // The boxes show the row.
    EXPECT_EQ(box(8)->text(), "D'Amico Sergio");
    EXPECT_EQ(box(10)->text(), "01/05/1970");
    EXPECT_EQ(box(11)->text(), "Via Po");
    EXPECT_EQ(box(25)->text(), "10121");
    // Nothing is written before the entry is confirmed.
    EXPECT_TRUE(mittenti()->hasPendingChanges());
    auto archivio = Connection::shared(program.archive(), kPassword, nullptr);
    EXPECT_EQ(archivio->scalar("SELECT count(*) FROM Mittenti WHERE Quadernolo = 99").toInt(), 0);
}

TEST_F(AddrwirePanel, APickWithoutABirthDateKeepsTheRowsDateAndEmptiesTheRest)
{
    ASSERT_TRUE(mittenti()->setValue("Data_nascita", QDate(2001, 2, 3)).ok());
    ASSERT_TRUE(mittenti()->setValue("Prov", "MI").ok());
    scrivi(8, "Damiani");
    doppioClic(0);
    EXPECT_EQ(riga("Nominativo").toString(), "Damiani Luca");
    EXPECT_EQ(riga("Data_nascita").toDate(), QDate(2001, 2, 3));
    EXPECT_TRUE(riga("Prov").toString().isEmpty());
    EXPECT_EQ(box(10)->text(), "03/02/2001");
    EXPECT_TRUE(box(14)->text().isEmpty());
}

TEST_F(AddrwirePanel, EliminaAsksFirstAndNeedsASelection)
{
    scrivi(8, "D");
    ASSERT_EQ(nomiInGriglia(), QStringList({"d'Alessandro Anna", "D'Amico Sergio", "Damiani Luca"}));

    click(&w, "cmd_del_nomi");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "Selezionare il nominativo da modificare !");
    EXPECT_EQ(messages.shown().last().buttons, MsgButtons::Ok);
    EXPECT_EQ(messages.shown().last().title, "Quadernolo");
    EXPECT_EQ(nomiInRubrica().size(), 6);

    // No keeps the record.
    scegliRiga(1);
    messages.answer(MsgAnswer::No);
    click(&w, "cmd_del_nomi");
    EXPECT_EQ(messages.last(), "Confermi l' eliminazione del nominativo selezionato ?");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown().last().buttons, MsgButtons::YesNo);
    EXPECT_EQ(nomiInRubrica().size(), 6);

    // Yes deletes the selected one, and only it.
    scegliRiga(1);
    messages.answer(MsgAnswer::Yes);
    click(&w, "cmd_del_nomi");
    EXPECT_EQ(nomiInRubrica("Nominativo LIKE 'D%'"), QStringList({"Damiani Luca", "d'Alessandro Anna"}));
    EXPECT_EQ(nomiInGriglia(), QStringList({"d'Alessandro Anna", "Damiani Luca"}));
    EXPECT_TRUE(shown(w, "Pic_nomi")->isVisible());
}

TEST_F(AddrwirePanel, DeletingTheLastNameOfTheLookUpHidesThePanel)
{
    scrivi(8, "Rossi");
    ASSERT_EQ(nomiInGriglia(), QStringList({"Rossi Mario"}));
    scegliRiga(0);
    messages.answer(MsgAnswer::Yes);
    click(&w, "cmd_del_nomi");
    EXPECT_FALSE(shown(w, "Pic_nomi")->isVisible());
    EXPECT_TRUE(nomiInRubrica("Nominativo = 'Rossi Mario'").isEmpty());
}

TEST_F(AddrwirePanel, CorreggiOpensTheDialogThatDiscardsOrStores)
{
    scrivi(8, "D'A");
    click(&w, "cmd_mod_nomi");
    EXPECT_EQ(messages.last(), "Selezionare il nominativo da modificare !");

    const auto correggi = [this](const QString& button, const QString& via) {
        ModalScript script;
        script.then("frm_nominativi", [&](QDialog* d) {
            // A town picked meanwhile in the mask's own list belongs to the dialog, not to the
            // correspondent row of the entry.
            emit control<AXDbAutoComplete>(&w, "AXDbAutoComplete1")->townPicked("Milano", "MI", "IT", "20100");
            EXPECT_EQ(mittenti()->value("Citta").toString(), "");
            EXPECT_EQ(d->windowTitle(), "Quadernolo : CORREZIONE ANAGRAFICA");
            EXPECT_EQ(text(d, "txt_mask1_8"), "D'Amico Sergio");
            EXPECT_EQ(text(d, "txt_mask1_10"), "01/05/1970");
            typeInto(d, "txt_mask1_11", via);
            if (button.isEmpty())
                d->close();
            else
                click(d, button);
        });
        scegliRiga(1);
        click(&w, "cmd_mod_nomi");
        EXPECT_TRUE(script.waitDone());
    };
    const auto indirizzo = [this] {
        return book->scalar("SELECT Indirizzo FROM Elenco WHERE Nominativo = ?", {"D'Amico Sergio"}).toString();
    };

    correggi("Command1_1", "Via Annullata"); // "Annulla"
    EXPECT_EQ(indirizzo(), "Via Po");
    correggi(QString(), "Via Chiusa"); // the window's close box
    EXPECT_EQ(indirizzo(), "Via Po");
    correggi("Command1_0", "Via Nuova"); // "Salva ed esci"
    EXPECT_EQ(indirizzo(), "Via Nuova");
    // The other records are untouched, the birth date kept, and the grid shows the record anew.
    EXPECT_EQ(book->scalar("SELECT Data_nascita FROM Elenco WHERE Nominativo = ?", {"D'Amico Sergio"}).toString(),
              "1970-05-01");
    EXPECT_EQ(book->scalar("SELECT Indirizzo FROM Elenco WHERE Nominativo = ?", {"d'Alessandro Anna"}).toString(),
              "Via Roma");
    ASSERT_TRUE(shown(w, "Pic_nomi")->isVisible());
    EXPECT_EQ(nomiInGriglia(), QStringList({"d'Alessandro Anna", "D'Amico Sergio"}));
    const QAbstractItemModel* m = griglia()->model();
    EXPECT_EQ(m->index(1, 3).data().toString(), "Via Nuova");
    // With the dialog gone, a town picked goes into the correspondent row again.
    emit control<AXDbAutoComplete>(&w, "AXDbAutoComplete1")->townPicked("Milano", "MI", "IT", "20100");
    EXPECT_EQ(mittenti()->value("Citta").toString(), "Milano");
}

// --- the check after a confirmed entry ----------------------------------------------------------

namespace {

class AddrwireCheck : public AddrwirePanel
{
protected:
    /// Fills the current correspondent row.
    void compila(const QString& nome, const QString& indirizzo = QString(), const QString& citta = QString())
    {
        ASSERT_TRUE(mittenti()->setValue("Nominativo", nome).ok());
        if (!indirizzo.isEmpty()) {
            ASSERT_TRUE(mittenti()->setValue("Indirizzo", indirizzo).ok());
        }
        if (!citta.isEmpty()) {
            ASSERT_TRUE(mittenti()->setValue("Citta", citta).ok());
        }
    }
    /// Writes the entry's rows, as its confirmation does.
    void conferma() { ASSERT_TRUE(mittenti()->updateBatch().ok()); }

    const QString domanda = "Dati anagrafici non presenti in archivio.\n\nAggiorno l' archivio ?\n\n";
};

} // namespace

TEST_F(AddrwireCheck, AnUnknownCorrespondentIsAddedAfterYes)
{
    compila("D'Angelo Ugo", "Via Po", "Roma");
    conferma();
    messages.answer(MsgAnswer::Yes);
    control<AddressBookPanel>(&w, "Pic_nomi")->aggiorna_nominativi();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), domanda);
    EXPECT_EQ(messages.shown().last().title, "Quadernolo");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown().last().buttons, MsgButtons::YesNo);
    EXPECT_EQ(nomiInRubrica("Nominativo = 'D''Angelo Ugo' AND Citta = 'Roma' AND Indirizzo = 'Via Po'"),
              QStringList({"D'Angelo Ugo"}));

    // Now known: nothing is asked.
    messages.clear();
    control<AddressBookPanel>(&w, "Pic_nomi")->aggiorna_nominativi();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(nomiInRubrica("Nominativo = 'D''Angelo Ugo'").size(), 1);
}

TEST_F(AddrwireCheck, AKnownCorrespondentAsksNothing)
{
    compila("D'Amico Sergio", "Via Po", "Torino");
    conferma();
    control<AddressBookPanel>(&w, "Pic_nomi")->aggiorna_nominativi();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(nomiInRubrica().size(), 6);
}

TEST_F(AddrwireCheck, OneQuestionPerEntry)
{
    // Two unknown correspondents and the same one twice: one question, each added once.
    compila("Bianchi Ada", "Via Po");
    nuovaRiga();
    compila("Verdi Elio");
    nuovaRiga();
    compila("Verdi Elio");
    conferma();
    messages.answer(MsgAnswer::Yes);
    control<AddressBookPanel>(&w, "Pic_nomi")->aggiorna_nominativi();
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(nomiInRubrica("Nominativo IN ('Bianchi Ada', 'Verdi Elio')"), QStringList({"Bianchi Ada", "Verdi Elio"}));
    // The correspondents are shown from the first again.
    EXPECT_EQ(mittenti()->absolutePosition(), 1);
}

TEST_F(AddrwireCheck, NoAddsNothingAndAsksNoMore)
{
    compila("Bianchi Ada");
    nuovaRiga();
    compila("Verdi Elio");
    conferma();
    messages.answer(MsgAnswer::No);
    control<AddressBookPanel>(&w, "Pic_nomi")->aggiorna_nominativi();
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(nomiInRubrica().size(), 6);
}

TEST_F(AddrwireCheck, ADroppedEntryIsNotChecked)
{
    compila("Bianchi Ada");
    ASSERT_TRUE(click(&w, "cmd_new_ins_1"));
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(nomiInRubrica().size(), 6);
}

TEST_F(AddrwireCheck, ADatabaseFailureIsReported)
{
    compila("Bianchi Ada");
    conferma();
    ASSERT_TRUE(book->exec("ALTER TABLE Elenco RENAME TO Elenco_vecchio").ok());
    control<AddressBookPanel>(&w, "Pic_nomi")->aggiorna_nominativi();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "Errore nel Database dei nominativi !");
}

TEST_F(AddrwirePanel, CorreggiWorksOnTheChosenRecordWhateverItsStoredForm)
{
    // A record written by another program: a date with a time, an empty text instead of Null.
    ASSERT_TRUE(book->exec("INSERT INTO Elenco (Nominativo, P_iva_CF, Data_nascita, Indirizzo) "
                           "VALUES ('Zeta Ugo', '', '1975-04-25 00:00:00', 'Via Vecchia')")
                    .ok());
    scrivi(8, "Zeta");
    ASSERT_EQ(nomiInGriglia(), QStringList({"Zeta Ugo"}));
    ModalScript script;
    script.then("frm_nominativi", [](QDialog* d) {
        typeInto(d, "txt_mask1_11", "Via Nuova");
        click(d, "Command1_0");
    });
    scegliRiga(0);
    click(&w, "cmd_mod_nomi");
    ASSERT_TRUE(script.waitDone());
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(book->scalar("SELECT Indirizzo FROM Elenco WHERE Nominativo = 'Zeta Ugo'").toString(), "Via Nuova");
}

TEST_F(AddrwirePanel, ThePanelLiesInsideTheWindowAndShowsATaxCodeWhole)
{
    scrivi(8, "D'Am");
    QWidget* pannello = shown(w, "Pic_nomi");
    ASSERT_TRUE(pannello->isVisible());
    EXPECT_TRUE(w.rect().contains(QRect(pannello->mapTo(&w, QPoint(0, 0)), pannello->size())));
    const int codice = 1; // P.iva/CF
    ASSERT_EQ(griglia()->model()->index(0, codice).data().toString(), "DMCSRG70E01H501X");
    EXPECT_GE(griglia()->columnWidth(codice), griglia()->fontMetrics().horizontalAdvance("DMCSRG70E01H501X"));
    EXPECT_LE(griglia()->columnViewportPosition(codice) + griglia()->columnWidth(codice),
              griglia()->viewport()->width());
}

TEST_F(AddrwirePanel, TheArchiveCaptionOverThePanelLetsItsButtonsTakeTheClick)
{
    scrivi(8, "D'A");
    auto* correggi = control<QPushButton>(&w, "cmd_mod_nomi");
    ASSERT_TRUE(correggi && correggi->isVisible());
    // In a low window the caption of the archive in use lies over the panel's buttons.
    QWidget* strip = control<QWidget>(&w, "Frame3");
    ASSERT_TRUE(strip);
    strip->setGeometry(QRect(correggi->mapTo(strip->parentWidget(), QPoint(0, 0)), correggi->size()));
    strip->show();
    strip->raise();
    // A click as the window system delivers it, to whatever lies at that place of the window.
    QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, correggi->mapTo(&w, correggi->rect().center()));
    EXPECT_EQ(messages.last(), "Selezionare il nominativo da modificare !");
}
