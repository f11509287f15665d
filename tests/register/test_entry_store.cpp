#include "entry_store.h"
#include "issuing_lock.h"
#include "numbering.h"
#include "temp_program.h"

#include <gtest/gtest.h>

using namespace quad;

namespace {

class EntryStoreTest : public ::testing::Test
{
protected:
    test::TempProgram prog;
    std::shared_ptr<Connection> db;

    void SetUp() override
    {
        DbResult err;
        db = Connection::open(prog.archive(), test::kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
    }

    qint64 count(const QString& sql, const QVariantList& params = {}) { return db->scalar(sql, params).toLongLong(); }

    /// A complete new entry with one named correspondent.
    static NewEntry typed(qint64 number, const QString& sessione = "Entrata", const QString& name = "Rossi Mario")
    {
        NewEntry e = makeNewEntry(number, sessione, QDateTime(QDate(2025, 3, 7), QTime(9, 5, 3)));
        e.record["Tipo_documento"] = "Lettera";
        e.record["Oggetto"] = "Richiesta documenti";
        e.correspondents[0]["Nominativo"] = name;
        return e;
    }

    void registered(qint64 number, const QString& tipo)
    {
        ASSERT_TRUE(
            db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (?, ?, 'x')", {number, tipo}).ok());
        ASSERT_TRUE(
            db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, ?, 'n')", {number, tipo}).ok());
    }

    QVariant field(qint64 number, const QString& name)
    {
        // The name is one of this test's constants.
        return db->scalar(QString("SELECT %1 FROM entrata WHERE Progressivo = ?").arg(name), {number});
    }
};

TEST(Completeness, RequiredFieldsAndHowBlanksCount)
{
    const QVariant date = QDate(2025, 3, 7);
    EXPECT_TRUE(isEntryComplete(date, "Lettera", "Oggetto", "Rossi"));
    EXPECT_TRUE(isEntryComplete("07/03/2025", "Lettera", "Oggetto", "Rossi"));
    // The date is tested without trimming; the other three are trimmed.
    EXPECT_TRUE(isEntryComplete(" ", "Lettera", "Oggetto", "Rossi"));
    EXPECT_FALSE(isEntryComplete("", "Lettera", "Oggetto", "Rossi"));
    EXPECT_FALSE(isEntryComplete(QVariant(), "Lettera", "Oggetto", "Rossi"));
    EXPECT_FALSE(isEntryComplete(QDate(), "Lettera", "Oggetto", "Rossi"));
    EXPECT_FALSE(isEntryComplete(date, "  ", "Oggetto", "Rossi"));
    EXPECT_FALSE(isEntryComplete(date, "Lettera", "\t", "Rossi"));
    EXPECT_FALSE(isEntryComplete(date, "Lettera", "Oggetto", QVariant()));
    EXPECT_FALSE(isEntryComplete(date, "Lettera", "Oggetto", "   "));

    NewEntry e = makeNewEntry(1, "Entrata", QDateTime(QDate(2025, 3, 7), QTime(9, 0)));
    e.record["Tipo_documento"] = "Lettera";
    e.record["oggetto"] = "Oggetto"; // names match without regard to case
    EXPECT_FALSE(isEntryComplete(e, 0));
    e.correspondents[0]["Nominativo"] = "Rossi";
    e.correspondents.append(newCorrespondent(1, "E"));
    EXPECT_TRUE(isEntryComplete(e, 0));
    EXPECT_FALSE(isEntryComplete(e, 1)); // the current row is the blank one
    EXPECT_FALSE(isEntryComplete(e, 2));
    EXPECT_FALSE(isEntryComplete(e, -1));
}

TEST(Completeness, BlankRowsAndHouseNumber)
{
    QVariantMap row = newCorrespondent(4, "U");
    EXPECT_TRUE(isBlankCorrespondent(row));
    row["Nominativo"] = "   ";
    row["Citta"] = QVariant();
    EXPECT_TRUE(isBlankCorrespondent(row));
    row["cap"] = "00184";
    EXPECT_FALSE(isBlankCorrespondent(row));

    QVariantMap address {{"Indirizzo", "Via Roma"}, {"Civico", " "}};
    EXPECT_TRUE(fillMissingHouseNumber(address));
    EXPECT_EQ(address.value("Civico").toString(), "snc");
    QVariantMap numbered {{"indirizzo", "Via Roma"}, {"civico", "3"}};
    EXPECT_FALSE(fillMissingHouseNumber(numbered));
    EXPECT_EQ(fieldValue(numbered, "Civico").toString(), "3");
    QVariantMap noStreet {{"Indirizzo", "  "}};
    EXPECT_FALSE(fillMissingHouseNumber(noStreet));
    EXPECT_FALSE(noStreet.contains("Civico"));
}

TEST_F(EntryStoreTest, ConfirmationWritesTheEntryAndItsRowsTogether)
{
    NewEntry e = typed(58, "Uscita", "D'Amico \"Studio\"; DROP TABLE entrata; --");
    e.record["Oggetto"] = "L'oggetto, con 'apici'";
    e.record["Data_quadernolo"] = QDate(2024, 12, 30); // changed by the user: the year follows
    e.record["Numero_documenti"] = "3";
    e.correspondents[0]["Indirizzo"] = "Via Roma";
    QVariantMap second = newCorrespondent(58, "U");
    second["Nominativo"] = "Bianchi";
    second["Data_nascita"] = "1970-05-01";
    e.correspondents << second << newCorrespondent(58, "U"); // the blank last row is dropped

    ASSERT_TRUE(EntryStore(*db).commitNewEntry(e).ok());
    EXPECT_EQ(field(58, "Oggetto").toString(), "L'oggetto, con 'apici'");
    EXPECT_EQ(field(58, "Data_quadernolo").toString(), "2024-12-30");
    EXPECT_EQ(field(58, "Anno").toInt(), 2024);
    EXPECT_EQ(field(58, "Orario").toString(), "09:05:03");
    EXPECT_EQ(field(58, "Numero_documenti").toInt(), 3);
    EXPECT_EQ(field(58, "Tipo").toString(), "U");
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti WHERE Quadernolo = 58 AND tipo = 'U'"), 2);
    EXPECT_EQ(db->scalar("SELECT Civico FROM Mittenti WHERE Nominativo LIKE 'D''Amico%'").toString(), "snc");
    EXPECT_EQ(db->scalar("SELECT Nominativo FROM Mittenti WHERE Civico = 'snc'").toString(),
              "D'Amico \"Studio\"; DROP TABLE entrata; --");
    EXPECT_EQ(db->scalar("SELECT Data_nascita FROM Mittenti WHERE Nominativo = 'Bianchi'").toString(), "1970-05-01");
    EXPECT_TRUE(db->scalar("SELECT Civico FROM Mittenti WHERE Nominativo = 'Bianchi'").isNull());
}

TEST_F(EntryStoreTest, ANumberTakenBehindItsBackIsRefusedAndNothingIsWritten)
{
    DbResult err;
    auto other = Connection::open(prog.archive(), test::kPassword, &err);
    ASSERT_TRUE(other);
    const NewEntry mine = typed(58);
    ASSERT_TRUE(other->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (58, 'U', 'altrui')").ok());
    ASSERT_TRUE(other->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (58, 'U', 'Verdi')").ok());

    const DbResult r = EntryStore(*db).commitNewEntry(mine);
    EXPECT_EQ(r.code, DbError::Constraint);
    EXPECT_TRUE(r.message.contains("58"));
    EXPECT_EQ(field(58, "Oggetto").toString(), "altrui");
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti WHERE Quadernolo = 58"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti WHERE Nominativo = 'Rossi Mario'"), 0);
    EXPECT_FALSE(db->inTransaction());
    // The entry typed is still whole and goes in under the next number.
    NewEntry again = mine;
    setFieldValue(again.record, "Progressivo", nextNumber(*db).number);
    ASSERT_TRUE(EntryStore(*db).commitNewEntry(again).ok());
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti WHERE Quadernolo = 59 AND Nominativo = 'Rossi Mario'"), 1);
}

TEST_F(EntryStoreTest, AFailureHalfWayKeepsNothingHalfWritten)
{
    // Rows left by an entry that was never completed, and a row the archive refuses.
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (58, 'E', 'vecchio')").ok());
    ASSERT_TRUE(db->exec("CREATE TRIGGER refuse BEFORE INSERT ON Mittenti WHEN NEW.Nominativo = 'guasto' "
                         "BEGIN SELECT RAISE(ABORT, 'riga rifiutata'); END")
                    .ok());
    NewEntry e = typed(58);
    QVariantMap bad = newCorrespondent(58, "E");
    bad["Nominativo"] = "guasto";
    e.correspondents << bad;
    const DbResult r = EntryStore(*db).commitNewEntry(e);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.message.contains("riga rifiutata")) << r.message.toStdString();
    EXPECT_EQ(count("SELECT count(*) FROM entrata"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti"), 1);
    EXPECT_EQ(db->scalar("SELECT Nominativo FROM Mittenti").toString(), "vecchio");
    EXPECT_FALSE(db->inTransaction());
}

TEST_F(EntryStoreTest, RowsLeftUnderTheNumberGiveWayToTheNewEntry)
{
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (58, 'E', 'resto E'), "
                         "(58, 'U', 'resto U')")
                    .ok());
    ASSERT_TRUE(EntryStore(*db).commitNewEntry(typed(58)).ok());
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti WHERE Quadernolo = 58"), 1);
    EXPECT_EQ(db->scalar("SELECT Nominativo FROM Mittenti WHERE Quadernolo = 58").toString(), "Rossi Mario");
}

TEST_F(EntryStoreTest, EntriesThatCannotBeStoredAreRefusedWhole)
{
    EntryStore store(*db);
    NewEntry noRows = typed(5);
    noRows.correspondents = {newCorrespondent(5, "E")};
    EXPECT_FALSE(store.commitNewEntry(noRows).ok());

    NewEntry unknown = typed(5);
    unknown.record["Colore"] = "rosso";
    EXPECT_TRUE(store.commitNewEntry(unknown).message.contains("Colore"));

    NewEntry badDate = typed(5);
    badDate.record["Data_quad_rif"] = "31/02/2025";
    EXPECT_TRUE(store.commitNewEntry(badDate).message.contains("Data_quad_rif"));

    NewEntry badTime = typed(5);
    badTime.record["Orario"] = "25:00:00";
    EXPECT_FALSE(store.commitNewEntry(badTime).ok());

    for (const char* count : {"tre", "-1", "2,5"}) {
        NewEntry badCount = typed(5);
        badCount.record["Numero_documenti"] = count;
        EXPECT_TRUE(store.commitNewEntry(badCount).message.contains("Numero_documenti")) << count;
    }

    // An annulment cannot be undone: never stored without its reason, however it is written.
    for (const QVariant& yes : {QVariant(true), QVariant(-1), QVariant("sì"), QVariant("1")}) {
        NewEntry annulled = typed(5);
        annulled.record["Annullato"] = yes;
        annulled.record["Nota_annulla"] = "   ";
        EXPECT_TRUE(store.commitNewEntry(annulled).message.contains("annullamento senza motivo"))
            << yes.toString().toStdString();
    }

    NewEntry twice = typed(5);
    twice.record["oggetto"] = "doppio";
    EXPECT_FALSE(store.commitNewEntry(twice).ok());

    NewEntry zero = typed(0);
    EXPECT_FALSE(store.commitNewEntry(zero).ok());
    NewEntry badTipo = typed(5);
    badTipo.record["Tipo"] = "X";
    EXPECT_FALSE(store.commitNewEntry(badTipo).ok());

    EXPECT_EQ(count("SELECT count(*) FROM entrata"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti"), 0);
}

TEST_F(EntryStoreTest, TypedTextIsReadAsTheMaskReadsIt)
{
    // The same readings the boxes and the register accept: day-first dates, a whole count
    // written with decimals, yes/no in words.
    EntryStore store(*db);
    NewEntry e = typed(7);
    e.record["Data_quadernolo"] = "14/06/2025";
    e.record["Data_quad_rif"] = "2025-06-01";
    e.record["Numero_documenti"] = "3,0";
    e.record["Riservato"] = "sì";
    e.record["Orario"] = "08:30";
    ASSERT_TRUE(store.commitNewEntry(e).ok());
    EXPECT_EQ(field(7, "Data_quadernolo").toString(), "2025-06-14");
    EXPECT_EQ(field(7, "Anno").toLongLong(), 2025);
    EXPECT_EQ(field(7, "Data_quad_rif").toString(), "2025-06-01");
    EXPECT_EQ(field(7, "Numero_documenti").toLongLong(), 3);
    EXPECT_EQ(field(7, "Riservato").toLongLong(), -1);
    EXPECT_EQ(field(7, "Orario").toString(), "08:30:00");
}

TEST_F(EntryStoreTest, ADropLeavesNoTraceAndTheNumberIsReused)
{
    registered(57, "E");
    IssuingLock lock(prog.path());
    const Allocation first = allocateNumber(*db, lock, {});
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first.number, 58);
    NewEntry dropped = typed(first.number);
    dropped.correspondents << newCorrespondent(58, "E");
    // "Annulla": the entry typed is thrown away and the lock given back.
    ASSERT_TRUE(lock.release());
    EXPECT_FALSE(IssuingLock::isPresent(prog.path()));
    EXPECT_EQ(count("SELECT count(*) FROM entrata"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti"), 1);

    IssuingLock again(prog.path());
    const Allocation second = allocateNumber(*db, again, {});
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.number, 58);
}

TEST_F(EntryStoreTest, CancellaMittentiNeverTouchesRowsOfAnEntry)
{
    registered(5, "E");
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (5, 'U', 'altro verso'), "
                         "(9, 'E', 'resto E'), (9, 'U', 'resto U'), (9, 'U', 'resto U2')")
                    .ok());
    EntryStore store(*db);
    int deleted = -1;
    ASSERT_TRUE(store.cancella_mittenti(5, QString(), &deleted).ok());
    EXPECT_EQ(deleted, 0);
    ASSERT_TRUE(store.cancella_mittenti(5, "U", &deleted).ok());
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti WHERE Quadernolo = 5"), 2);

    ASSERT_TRUE(store.cancella_mittenti(9, "u", &deleted).ok());
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti WHERE Quadernolo = 9"), 1);
    ASSERT_TRUE(store.cancella_mittenti(9, QString(), &deleted).ok());
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti"), 2);

    ASSERT_TRUE(db->exec("DROP TABLE Mittenti").ok());
    EXPECT_FALSE(store.cancella_mittenti(9).ok());
}

TEST_F(EntryStoreTest, SalvaNoteAnnulloWritesOnlyWhatChanged)
{
    registered(7, "E");
    ASSERT_TRUE(db->exec("UPDATE entrata SET Note = NULL, Collegamento = '/doc/a.pdf' WHERE Progressivo = 7").ok());
    EntryStore store(*db);
    QStringList written;

    RegisteredEntryEdit edit;
    edit.note = ""; // Null and "" are the same
    edit.collegamento = "/doc/a.pdf";
    ASSERT_TRUE(store.salva_note_annullo(7, edit, nullptr, &written).ok());
    EXPECT_TRUE(written.isEmpty());

    edit.note = "Nota dell'ufficio \"protocollo\"";
    ASSERT_TRUE(store.salva_note_annullo(7, edit, nullptr, &written).ok());
    EXPECT_EQ(written, QStringList {"Note"});
    EXPECT_EQ(field(7, "Note").toString(), "Nota dell'ufficio \"protocollo\"");
    EXPECT_EQ(field(7, "Collegamento").toString(), "/doc/a.pdf");
    EXPECT_EQ(field(7, "Annullato").toInt(), 0);

    // Another station changes the link meanwhile: a link this station did not touch leaves it be.
    ASSERT_TRUE(db->exec("UPDATE entrata SET Collegamento = '/doc/b.pdf' WHERE Progressivo = 7").ok());
    const RegisteredEntryEdit loaded = edit;
    edit.note = "seconda nota";
    ASSERT_TRUE(store.salva_note_annullo(7, edit, &loaded, &written).ok());
    EXPECT_EQ(written, QStringList {"Note"});
    EXPECT_EQ(field(7, "Collegamento").toString(), "/doc/b.pdf");
    EXPECT_EQ(field(7, "Note").toString(), "seconda nota");
    // Without the loaded values the stored ones are the reference.
    ASSERT_TRUE(store.salva_note_annullo(7, edit, nullptr, &written).ok());
    EXPECT_EQ(written, QStringList {"Collegamento"});
    EXPECT_EQ(field(7, "Collegamento").toString(), "/doc/a.pdf");
}

TEST_F(EntryStoreTest, SalvaNoteAnnulloLeavesAFieldAnotherStationChangedTooAndWritesTheRest)
{
    registered(7, "E");
    ASSERT_TRUE(db->exec("UPDATE entrata SET Note = 'nota di prima' WHERE Progressivo = 7").ok());
    RegisteredEntryEdit loaded;
    loaded.note = "nota di prima";
    // Meanwhile another station empties the note.
    ASSERT_TRUE(db->exec("UPDATE entrata SET Note = NULL WHERE Progressivo = 7").ok());
    RegisteredEntryEdit edit = loaded;
    edit.note = "nota \"di qui\"";
    edit.collegamento = "b.pdf"; // untouched elsewhere: written
    EntryStore store(*db);
    QStringList written;
    QList<FieldConflict> conflicts;
    ASSERT_TRUE(store.salva_note_annullo(7, edit, &loaded, &written, &conflicts).ok());
    EXPECT_EQ(written, QStringList {"Collegamento"});
    EXPECT_TRUE(field(7, "Note").isNull());
    EXPECT_EQ(field(7, "Collegamento").toString(), "b.pdf");
    ASSERT_EQ(conflicts.size(), 1);
    EXPECT_EQ(conflictText(7, conflicts),
              "ATTENZIONE !\n\nIl quadernolo n. 7 è stato modificato da un' altra postazione dopo che era stato "
              "letto qui.\n\nNOTE\nnell' archivio: (vuoto)\nscritto qui: \"nota \"di qui\"\"");
}

TEST_F(EntryStoreTest, AnAnnulmentAnotherToolStoredAsTextIsReadAsTheProgramReadsAYesNo)
{
    registered(7, "E");
    registered(8, "E");
    ASSERT_TRUE(
        db->exec("UPDATE entrata SET Annullato = 'True', Nota_annulla = 'altro programma' WHERE Progressivo = 7").ok());
    ASSERT_TRUE(db->exec("UPDATE entrata SET Annullato = 'Falso' WHERE Progressivo = 8").ok());
    // Both shown here as not annulled, and annulled here.
    const RegisteredEntryEdit loaded;
    RegisteredEntryEdit edit;
    edit.annullato = true;
    edit.notaAnnulla = "di qui";
    EntryStore store(*db);
    QList<FieldConflict> conflicts;
    ASSERT_TRUE(store.salva_note_annullo(7, edit, &loaded, nullptr, &conflicts).ok());
    EXPECT_EQ(field(7, "Nota_annulla").toString(), "altro programma");
    ASSERT_EQ(conflicts.size(), 1);
    EXPECT_EQ(conflicts[0].field, "Annullato");
    ASSERT_TRUE(store.salva_note_annullo(8, edit, &loaded, nullptr, &conflicts).ok());
    EXPECT_EQ(field(8, "Annullato").toInt(), -1);
    EXPECT_EQ(field(8, "Nota_annulla").toString(), "di qui");
}

TEST_F(EntryStoreTest, AnAnnulmentIsNeverUndone)
{
    registered(7, "E");
    EntryStore store(*db);
    QStringList written;
    RegisteredEntryEdit edit;
    edit.annullato = true;
    edit.notaAnnulla = "   ";
    edit.note = "cambiata";
    EXPECT_FALSE(store.salva_note_annullo(7, edit, nullptr, &written).ok());
    EXPECT_TRUE(written.isEmpty());
    EXPECT_TRUE(field(7, "Note").isNull());
    EXPECT_EQ(field(7, "Annullato").toInt(), 0);

    edit.notaAnnulla = "  errore di registrazione";
    ASSERT_TRUE(store.salva_note_annullo(7, edit, nullptr, &written).ok());
    EXPECT_EQ(field(7, "Annullato").toInt(), -1);
    EXPECT_EQ(field(7, "Nota_annulla").toString(), "  errore di registrazione");

    // A stale view of the entry, not annulled, cannot bring it back nor change its reason.
    RegisteredEntryEdit stale;
    stale.note = "nota nuova";
    stale.annullato = false;
    stale.notaAnnulla = "";
    ASSERT_TRUE(store.salva_note_annullo(7, stale, nullptr, &written).ok());
    EXPECT_EQ(written, QStringList {"Note"});
    EXPECT_EQ(field(7, "Annullato").toInt(), -1);
    EXPECT_EQ(field(7, "Nota_annulla").toString(), "  errore di registrazione");

    const DbResult missing = store.salva_note_annullo(99, stale, nullptr, &written);
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(missing.message.contains("99"));
}

TEST_F(EntryStoreTest, ANewEntrysAnnulmentGivenAsTextIsReadAsTheProgramReadsAYesNo)
{
    EntryStore store(*db);
    // "No" in words, without a reason: an entry like any other, stored as not annulled.
    qint64 number = 10;
    for (const char* no : {"Falso", "No", "false"}) {
        NewEntry entry = typed(++number);
        entry.record["Annullato"] = no;
        const DbResult r = store.commitNewEntry(entry);
        ASSERT_TRUE(r.ok()) << no << ": " << r.message.toStdString();
        EXPECT_EQ(field(number, "Annullato").toInt(), 0) << no;
    }
    // "Yes" in words needs its reason.
    NewEntry annulled = typed(20);
    annulled.record["Annullato"] = "Vero";
    EXPECT_TRUE(store.commitNewEntry(annulled).message.contains("annullamento senza motivo"));
    annulled.record["Nota_annulla"] = "Doppione";
    ASSERT_TRUE(store.commitNewEntry(annulled).ok());
    EXPECT_EQ(field(20, "Annullato").toInt(), -1);
}

} // namespace
