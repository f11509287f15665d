// A registered entry in the mask: what may still be typed, what is written when the clerk moves
// on, the move buttons and page keys, and leaving the register.
#include "test_entries_fixture.h"

#include <QSignalSpy>

using namespace quad;
using namespace quad::test;

namespace {

/// Five registered entries in the mask, with every UPDATE of the register logged by a trigger.
class RegisteredEntryTest : public EntriesTest
{
protected:
    void SetUp() override
    {
        seedRegister(program.archive(), 5);
        {
            DbResult err;
            auto db = Connection::open(program.archive(), QByteArray(kPassword), &err);
            ASSERT_TRUE(db) << err.message.toStdString();
            ASSERT_TRUE(db->exec("CREATE TABLE log_scritture (numero INTEGER, campi TEXT);"
                                 "CREATE TRIGGER log_entrata AFTER UPDATE ON entrata BEGIN "
                                 "INSERT INTO log_scritture VALUES (new.Progressivo, "
                                 "coalesce(new.Note, '') || '|' || coalesce(new.Collegamento, '') || '|' || "
                                 "new.Annullato); END;")
                            .ok());
            // Entry 4 lacks its subject (an entry of the old days).
            ASSERT_TRUE(db->exec("UPDATE entrata SET Oggetto = NULL WHERE Progressivo = 4").ok());
            ASSERT_TRUE(db->exec("DELETE FROM log_scritture").ok());
        }
        apri(0);
        maschera(3);
    }

    int scritture() const { return conta("SELECT count(*) FROM log_scritture"); }
};

} // namespace

TEST_F(RegisteredEntryTest, OnlyTheNoteAndTheFileAcceptTyping)
{
    EXPECT_EQ(corrente(), 3);
    // (A character typed into a locked box goes to the quick find, not into the box.)
    for (int i = 0; i <= 26; ++i)
        EXPECT_EQ(box(i)->isReadOnly(), i != 18 && i != 19) << i;
    EXPECT_FALSE(control<QCheckBox>(&w, "Check2")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(&w, "cmd_altri")->isEnabled());
    // Keys that open no quick find reach the locked boxes and change nothing there.
    for (int i : {2, 3, 7, 8, 11, 16, 24, 26}) {
        const QString prima = box(i)->text();
        box(i)->setFocus();
        box(i)->end(false);
        QTest::keyClick(box(i), '$');
        QTest::keyClick(box(i), Qt::Key_Backspace);
        EXPECT_EQ(box(i)->text(), prima) << i;
    }
    EXPECT_FALSE(sessione(w).p_update());
    EXPECT_FALSE(sessione(w).p_update_mittenti());
    for (int i : {18, 19}) {
        box(i)->setFocus();
        box(i)->end(false);
        QTest::keyClicks(box(i), "z");
        EXPECT_EQ(box(i)->text(), "z") << i;
    }
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(RegisteredEntryTest, AChangedNoteIsWrittenWhenMovingAndNothingElse)
{
    // Moving through unchanged entries writes nothing.
    click(&w, "cmd_move_0");
    click(&w, "cmd_move_2");
    click(&w, "cmd_move_3");
    click(&w, "cmd_move_1");
    EXPECT_EQ(scritture(), 0);

    maschera(3);
    typeInto(&w, "txt_mask1_18", "Sollecitare l'ufficio");
    click(&w, "cmd_move_2");
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(scritture(), 1);
    EXPECT_EQ(scalar("SELECT campi FROM log_scritture WHERE numero = 3").toString(),
              "Sollecitare l'ufficio||-1"); // entry 3 is annulled, and stays so
    EXPECT_EQ(conta("SELECT count(*) FROM entrata WHERE Note IS NOT NULL"), 1);
    EXPECT_FALSE(sessione(w).p_update());
    EXPECT_TRUE(messages.shown().isEmpty());

    // The same entry changed again is written again; the screen shows what the archive holds.
    click(&w, "cmd_move_1");
    EXPECT_EQ(corrente(), 3);
    EXPECT_EQ(box(18)->text(), "Sollecitare l'ufficio");
    typeInto(&w, "txt_mask1_18", "Fatto");
    typeInto(&w, "txt_mask1_19", "/tmp/lettera.pdf");
    click(&w, "cmd_move_1");
    EXPECT_EQ(corrente(), 2);
    EXPECT_EQ(scalar("SELECT Note || '|' || Collegamento FROM entrata WHERE Progressivo = 3").toString(),
              "Fatto|/tmp/lettera.pdf");
    EXPECT_EQ(scritture(), 2);
}

TEST_F(RegisteredEntryTest, AChangeMadeByAnotherStationToAFieldNotTouchedHereIsKept)
{
    // Another station links a file to entry 3 while this one shows it.
    ASSERT_TRUE(archivio()->exec("UPDATE entrata SET Collegamento = 'altrove.pdf' WHERE Progressivo = 3").ok());
    typeInto(&w, "txt_mask1_18", "Nota di qui");
    click(&w, "cmd_move_0");
    EXPECT_EQ(scalar("SELECT Note || '|' || Collegamento FROM entrata WHERE Progressivo = 3").toString(),
              "Nota di qui|altrove.pdf");
    // Nobody else changed the note: it went in without a word.
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(corrente(), 1);
}

TEST_F(RegisteredEntryTest, PendingCorrespondentChangesAreWrittenWhateverTheirFlagSays)
{
    maschera(2);
    ASSERT_EQ(dati(w, "ado_mittenti")->Recordset()->recordCount(), 2);
    ASSERT_TRUE(dati(w, "ado_mittenti")->Recordset()->setValue("Citta", "Milano").ok());
    EXPECT_TRUE(sessione(w).p_update_mittenti());
    // A later event of the rows (a deletion, say) clears the flag; the change is still pending.
    emit dati(w, "ado_mittenti")->source()->recordChangeComplete(ChangeReason::Delete, nullptr);
    ASSERT_FALSE(sessione(w).p_update_mittenti());
    click(&w, "cmd_move_3");
    EXPECT_EQ(corrente(), 5);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 2 AND Citta = 'Milano'"), 1);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 2"), 2);
    EXPECT_EQ(scritture(), 0);
}

TEST_F(RegisteredEntryTest, ABlankLastCorrespondentIsDroppedButAnEntryKeepsItsOnlyOne)
{
    const auto svuotaUltimo = [this] {
        const std::shared_ptr<Recordset> righe = dati(w, "ado_mittenti")->Recordset();
        righe->moveLast();
        for (const char* campo : {"Nominativo", "Citta"})
            ASSERT_TRUE(righe->setValue(campo, QStringLiteral("  ")).ok());
    };
    // Entry 2 has two correspondents: the second, blanked, is not stored.
    maschera(2);
    ASSERT_EQ(dati(w, "ado_mittenti")->Recordset()->recordCount(), 2);
    svuotaUltimo();
    click(&w, "cmd_move_3");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(scalar("SELECT group_concat(Nominativo) FROM Mittenti WHERE Quadernolo = 2").toString(), "Mittente 2-0");

    // Entry 1's only correspondent, blanked, stays: the entry stays in the register.
    maschera(1);
    ASSERT_EQ(dati(w, "ado_mittenti")->Recordset()->recordCount(), 1);
    svuotaUltimo();
    click(&w, "cmd_move_3");
    EXPECT_EQ(corrente(), 5);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 1"), 1);
    EXPECT_EQ(conta("SELECT count(*) FROM entrata INNER JOIN Mittenti ON Progressivo = Quadernolo"), 5);
    EXPECT_TRUE(registro()->find("Progressivo = 1", 0, SearchDirection::Forward, kBookmarkFirst));
    EXPECT_EQ(scritture(), 0);
}

TEST_F(RegisteredEntryTest, AFailedWriteOfTheCorrespondentsIsShownAndKeepsThemPending)
{
    ASSERT_TRUE(archivio()
                    ->exec("CREATE TRIGGER niente_modifiche BEFORE UPDATE ON Mittenti "
                           "BEGIN SELECT RAISE(ABORT, 'archivio in sola lettura'); END;")
                    .ok());
    maschera(2);
    ASSERT_TRUE(dati(w, "ado_mittenti")->Recordset()->setValue("Citta", "Milano").ok());
    click(&w, "cmd_move_2");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !!\n\nImpossibile salvare i nominativi del quadernolo.\n\n"));
    EXPECT_TRUE(messages.last().contains("archivio in sola lettura"));
    // No move: the change stays on screen, pending, for a later save.
    EXPECT_EQ(corrente(), 2);
    EXPECT_TRUE(sessione(w).p_update_mittenti());
    EXPECT_TRUE(dati(w, "ado_mittenti")->Recordset()->hasPendingChanges());
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Citta = 'Milano'"), 0);

    // Once the archive takes it, the next move writes it.
    ASSERT_TRUE(archivio()->exec("DROP TRIGGER niente_modifiche").ok());
    messages.clear();
    click(&w, "cmd_move_3");
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 2 AND Citta = 'Milano'"), 1);
    EXPECT_EQ(corrente(), 5);
}

TEST_F(RegisteredEntryTest, LeavingTheRegisterKeepsPendingCorrespondentChangesWhateverTheirFlagSays)
{
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        messages.clear();
        maschera(2);
        ASSERT_TRUE(dati(w, "ado_mittenti")->Recordset()->setValue("Citta", "Milano").ok());
        // A later event of the rows has cleared the flag; the change is still pending.
        emit dati(w, "ado_mittenti")->source()->recordChangeComplete(ChangeReason::Delete, nullptr);
        ASSERT_FALSE(sessione(w).p_update_mittenti());
        messages.answer(answer);
        w.close();
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_EQ(messages.last(), "Salvo le modifiche ?");
        EXPECT_TRUE(shown(w, "Frame1")->isVisible());
        EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 2 AND Citta = 'Milano'"),
                  answer == MsgAnswer::Yes ? 1 : 0);
        EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 2"), 2);
        EXPECT_EQ(scritture(), 0);
        if (answer == MsgAnswer::No)
            openRegister(w);
    }
}

TEST_F(RegisteredEntryTest, AnIncompleteModifiedEntryIsNotSavedAndNotLeft)
{
    maschera(4);
    typeInto(&w, "txt_mask1_18", "Nota");
    click(&w, "cmd_move_2");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "Impossibile salvare !\n\nDati non completi\n\n");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(scritture(), 0);

    // Saving it anyway (as a tool-bar key does) refuses, writes nothing and shows the archive again.
    messages.clear();
    schede(w)->salva_scheda();
    EXPECT_EQ(messages.last(), "Impossibile salvare !\n\nDati non completi\n\n");
    EXPECT_EQ(scritture(), 0);
    EXPECT_FALSE(sessione(w).p_update());
    EXPECT_TRUE(box(18)->text().isEmpty());
    // Then the entry can be left.
    click(&w, "cmd_move_2");
    EXPECT_EQ(corrente(), 5);
}

TEST_F(RegisteredEntryTest, MoveButtonsAndPageKeysStopAtTheEnds)
{
    click(&w, "cmd_move_0");
    EXPECT_EQ(corrente(), 1);
    EXPECT_EQ(box(0)->text(), "1");
    click(&w, "cmd_move_1");
    EXPECT_EQ(corrente(), 1);
    click(&w, "cmd_move_3");
    EXPECT_EQ(corrente(), 5);
    click(&w, "cmd_move_2");
    EXPECT_EQ(corrente(), 5);
    EXPECT_EQ(box(0)->text(), "5");

    // The page keys reach the mask from a box that has the focus.
    box(18)->setFocus();
    QTest::keyClick(box(18), Qt::Key_PageUp);
    EXPECT_EQ(corrente(), 4);
    QTest::keyClick(box(18), Qt::Key_PageDown);
    QTest::keyClick(box(18), Qt::Key_PageDown);
    EXPECT_EQ(corrente(), 5);
    // A note typed before a page key is saved like before a button.
    typeInto(&w, "txt_mask1_18", "Con il tasto pagina");
    QTest::keyClick(box(18), Qt::Key_PageUp);
    EXPECT_EQ(scalar("SELECT Note FROM entrata WHERE Progressivo = 5").toString(), "Con il tasto pagina");
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(box(18), Qt::Key_PageUp);
    EXPECT_EQ(corrente(), 1);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(RegisteredEntryTest, PageKeysDoNotLeaveANewEntry)
{
    nuovo(0);
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    box(3)->setFocus();
    QTest::keyClick(box(3), Qt::Key_PageUp);
    EXPECT_EQ(box(0)->text(), "6");
    EXPECT_TRUE(nuovaSchedaInCorso(w));
    click(&w, "cmd_new_ins_1");
}

TEST_F(RegisteredEntryTest, LeavingTheRegisterAsksToSaveAChangedEntry)
{
    typeInto(&w, "txt_mask1_18", "Da salvare");
    messages.answer(MsgAnswer::Yes);
    w.close();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "Salvo le modifiche ?");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Question);
    EXPECT_EQ(scalar("SELECT Note FROM entrata WHERE Progressivo = 3").toString(), "Da salvare");
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.ended, 0);

    // No: the change is given up.
    openRegister(w);
    maschera(2);
    typeInto(&w, "txt_mask1_18", "Da non salvare");
    messages.answer(MsgAnswer::No);
    w.close();
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_TRUE(scalar("SELECT Note FROM entrata WHERE Progressivo = 2").isNull());

    // An unchanged register is left without a question; at the start menu the program ends.
    openRegister(w);
    messages.clear();
    w.close();
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_TRUE(messages.shown().isEmpty());
    w.close();
    EXPECT_EQ(w.ended, 1);
    EXPECT_TRUE(messages.shown().isEmpty()); // the back-up is off
}

TEST_F(RegisteredEntryTest, LeavingWithAnIncompleteChangedEntryKeepsTheRegister)
{
    maschera(4);
    typeInto(&w, "txt_mask1_18", "Nota");
    w.close();
    EXPECT_EQ(messages.last(), "Impossibile salvare !\n\nDati non completi\n\n");
    EXPECT_FALSE(shown(w, "Frame1")->isVisible());
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(scritture(), 0);
}

TEST_F(RegisteredEntryTest, AFailedWriteIsShownAndTheEntryStaysModified)
{
    // The entry disappears from the archive behind the window's back.
    ASSERT_TRUE(archivio()->exec("DELETE FROM entrata WHERE Progressivo = 3").ok());
    typeInto(&w, "txt_mask1_18", "Persa?");
    click(&w, "cmd_move_2");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !!\n\nImpossibile salvare il quadernolo n. 3.\n\n"));
    EXPECT_EQ(corrente(), 3);
    EXPECT_TRUE(sessione(w).p_update());
    EXPECT_EQ(box(18)->text(), "Persa?");
}

TEST_F(RegisteredEntryTest, CorrespondentsThatCannotBeReadAreReported)
{
    // The correspondents' table goes away under the window (a damaged or replaced archive).
    ASSERT_TRUE(archivio()->exec("ALTER TABLE Mittenti RENAME TO Mittenti_altrove").ok());
    click(&w, "cmd_move_0");
    EXPECT_EQ(corrente(), 1);
    ASSERT_TRUE(messages.contains("Errore ADO")) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(messages.last().startsWith("Errore ADO\n\n"));
    EXPECT_TRUE(box(8)->text().isEmpty()) << "no correspondent of another entry stays on screen";
}

TEST_F(RegisteredEntryTest, ASavedEntryShowsInTheGridUnderTheSameFilterAndOrderWithoutAReRead)
{
    const std::shared_ptr<Recordset> rs = registro();
    ASSERT_TRUE(rs->setFilter("Progressivo >= 2").ok());
    ASSERT_TRUE(rs->setSort("Progressivo DESC").ok());
    maschera(3);
    QSignalSpy azzerata(rs.get(), &Recordset::modelReset);
    QSignalSpy cambiata(rs.get(), &Recordset::rowChanged);
    const int righe = rs->recordCount();

    typeInto(&w, "txt_mask1_18", "Nota dopo il filtro");
    click(&w, "cmd_move_2"); // towards lower numbers in this order
    EXPECT_EQ(scalar("SELECT Note FROM entrata WHERE Progressivo = 3").toString(), "Nota dopo il filtro");
    EXPECT_EQ(corrente(), 2);
    // The register was not read again: same recordset, same filter and order, same rows, and
    // the grid was told about the row of entry 3 only.
    EXPECT_EQ(dati(w, "Adodc1")->Recordset(), rs);
    EXPECT_EQ(rs->filterText(), "Progressivo >= 2");
    EXPECT_EQ(rs->sort(), "Progressivo DESC");
    EXPECT_EQ(azzerata.count(), 0);
    EXPECT_EQ(rs->recordCount(), righe);
    ASSERT_GE(cambiata.count(), 1);
    for (const QList<QVariant>& segnale : cambiata)
        EXPECT_EQ(rs->valueAt(segnale.at(0).toInt(), 0).toInt(), 3);

    // The grid shows the stored note on the row of entry 3, in the same order.
    ASSERT_TRUE(trigger(&w, "tb_modo"));
    QAbstractItemModel* griglia = grid(w)->model();
    ASSERT_TRUE(griglia);
    const int nota = rs->fieldIndex("Note");
    ASSERT_EQ(griglia->rowCount(), righe);
    EXPECT_EQ(griglia->index(0, 0).data().toInt(), 5);
    int riga = -1;
    for (int r = 0; r < griglia->rowCount(); ++r) {
        if (griglia->index(r, 0).data().toInt() == 3)
            riga = r;
    }
    ASSERT_GE(riga, 0);
    EXPECT_EQ(griglia->index(riga, nota).data().toString(), "Nota dopo il filtro");
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(RegisteredEntryTest, AFailedWriteOfTheCorrespondentsLeavesTheMaskOnTheCorrespondentChanged)
{
    ASSERT_TRUE(archivio()
                    ->exec("CREATE TRIGGER niente_modifiche BEFORE UPDATE ON Mittenti "
                           "BEGIN SELECT RAISE(ABORT, 'archivio in sola lettura'); END;")
                    .ok());
    // Entry 2's second correspondent, paged to, gets a city that waits to be written.
    maschera(2);
    click(&w, "cmd_mitt_1");
    ASSERT_EQ(box(8)->text(), "Mittente 2-1");
    ASSERT_TRUE(dati(w, "ado_mittenti")->Recordset()->setValue("Citta", "Milano").ok());
    click(&w, "cmd_move_2");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !!\n\nImpossibile salvare i nominativi del quadernolo.\n\n"));
    // The mask still shows the row changed, with what is still to be written.
    EXPECT_EQ(corrente(), 2);
    EXPECT_EQ(box(8)->text(), "Mittente 2-1");
    EXPECT_EQ(box(13)->text(), "Milano");
    EXPECT_EQ(control<QLabel>(&w, "lbl_numero")->text(), "2/2");
}
