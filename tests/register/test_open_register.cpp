// The register open in the main window, without the window: its sources follow each other, its
// session sees the changes made through them, and it tells its listeners of moves and filters.
#include "open_register.h"

#include "clock.h"
#include "issuing_lock.h"
#include "temp_program.h"

#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace quad;

namespace {

class OpenRegisterModel : public ::testing::Test
{
protected:
    OpenRegisterModel() { Clock::install(&clock); }
    ~OpenRegisterModel() override { Clock::install(nullptr); }

    void SetUp() override
    {
        DbResult err;
        db = Connection::open(prog.archive(), test::kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        // 1 and 3 incoming, 2 outgoing; entry 2 has two recipients.
        for (int n = 1; n <= 3; ++n) {
            const QString tipo = n == 2 ? "U" : "E";
            ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Tipo_documento, Oggetto) "
                                 "VALUES (?, ?, ?, 'Lettera', 'Oggetto')",
                                 {n, tipo, QDate(2025, 1, n)})
                            .ok());
            for (int r = 0; r < (n == 2 ? 2 : 1); ++r)
                ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, ?, ?)",
                                     {n, tipo, QString("Nome %1-%2").arg(n).arg(r)})
                                .ok());
        }
        const OpenResult aperto = reg.open(prog.archive(), test::kPassword, prog.file("Quad_imposta.mdb"));
        ASSERT_TRUE(aperto.ok()) << aperto.result.message.toStdString();
        reg.registerRows()->moveLast();
    }

    QVariant archived(const QString& sql, const QVariantList& params = {}) { return db->scalar(sql, params); }

    FixedClock clock {QDateTime(QDate(2025, 6, 14), QTime(10, 20, 30))};
    test::TempProgram prog;
    std::shared_ptr<Connection> db;
    OpenRegister reg {[this] { return QFileInfo(prog.archive()).absolutePath(); }};
};

} // namespace

TEST_F(OpenRegisterModel, EachEntryShowsItsOwnCorrespondentsInItsDirection)
{
    EXPECT_EQ(reg.count(), 4); // one row per entry and correspondent
    EXPECT_EQ(reg.correspondents()->value("Nominativo").toString(), "Nome 3-0");
    reg.registerRows()->moveFirst();
    reg.registerRows()->moveNext();
    EXPECT_EQ(reg.currentNumber(), 2);
    EXPECT_EQ(reg.correspondents()->recordCount(), 2);
    EXPECT_EQ(reg.correspondents()->value("tipo").toString(), "U");
}

TEST_F(OpenRegisterModel, ANewEntryIsWrittenAtConfirmationOnceCompleteWithItsRowsAndTheLockGoes)
{
    QSignalSpy moves(&reg, &OpenRegister::currentEntryChanged);
    const Allocation numero = reg.newEntry(
        "Entrata", [] { return std::optional<QString>(); }, false);
    ASSERT_TRUE(numero.ok()) << numero.message.toStdString();
    EXPECT_EQ(reg.session().number(), 4);
    EXPECT_TRUE(IssuingLock::isPresent(reg.dataFolder()));
    // The session's own moves are not the clerk's: nobody reloads the rows being typed.
    EXPECT_EQ(moves.count(), 0);
    ASSERT_TRUE(reg.registerRows()->setValue("Oggetto", "Nuovo").ok());
    ASSERT_TRUE(reg.correspondents()->setValue("Nominativo", "Bianchi").ok());

    // Without its document type the entry is incomplete: nothing written, number and lock kept.
    EXPECT_EQ(reg.confirmEntry().outcome, SessionResult::Outcome::Incomplete);
    EXPECT_EQ(archived("SELECT count(*) FROM entrata WHERE Progressivo = 4").toInt(), 0);
    EXPECT_TRUE(IssuingLock::isPresent(reg.dataFolder()));
    EXPECT_EQ(reg.session().number(), 4);

    ASSERT_TRUE(reg.registerRows()->setValue("Tipo_documento", "Lettera").ok());
    EXPECT_EQ(reg.typedEntry().data, "14/06/2025");
    const SessionResult esito = reg.confirmEntry();
    ASSERT_TRUE(esito.ok()) << esito.message.toStdString();
    EXPECT_EQ(archived("SELECT Oggetto FROM entrata WHERE Progressivo = 4").toString(), "Nuovo");
    EXPECT_EQ(archived("SELECT Nominativo FROM Mittenti WHERE Quadernolo = 4").toString(), "Bianchi");
    EXPECT_FALSE(IssuingLock::isPresent(reg.dataFolder()));
    EXPECT_EQ(reg.currentNumber(), 4);
}

TEST_F(OpenRegisterModel, ANewEntryIsMadeOnTheWholeRegisterAndADropWritesNothing)
{
    ASSERT_TRUE(reg.setFilter("entrata.Tipo = 'U'").ok());
    QSignalSpy filtri(&reg, &OpenRegister::filterChanged);
    ASSERT_TRUE(reg.newEntry(
                       "Uscita", [] { return std::optional<QString>(); }, false)
                    .ok());
    EXPECT_FALSE(reg.hasFilter());
    ASSERT_EQ(filtri.count(), 1);
    EXPECT_EQ(reg.count(), 5); // the four rows and the new one
    ASSERT_TRUE(reg.registerRows()->setValue("Oggetto", "Da non tenere").ok());

    ASSERT_TRUE(reg.dropEntry().ok());
    EXPECT_EQ(archived("SELECT count(*) FROM entrata").toInt(), 3);
    EXPECT_EQ(archived("SELECT count(*) FROM Mittenti WHERE Quadernolo = 4").toInt(), 0);
    EXPECT_FALSE(IssuingLock::isPresent(reg.dataFolder()));
    EXPECT_EQ(reg.count(), 4);
    EXPECT_EQ(reg.currentNumber(), 3);
}

TEST_F(OpenRegisterModel, AMoveSavesTheEntryShownUnlessItIsIncomplete)
{
    ASSERT_TRUE(reg.registerRows()->setValue("Note", "Prima").ok());
    EXPECT_TRUE(reg.session().p_update());
    ASSERT_TRUE(reg.moveTo(0).ok());
    EXPECT_EQ(archived("SELECT Note FROM entrata WHERE Progressivo = 3").toString(), "Prima");
    EXPECT_FALSE(reg.session().p_update());
    EXPECT_EQ(reg.currentNumber(), 1);
    EXPECT_EQ(reg.correspondents()->value("Nominativo").toString(), "Nome 1-0");

    // A changed entry without its subject keeps the register on it, the change pending.
    ASSERT_TRUE(reg.registerRows()->setValue("Oggetto", "").ok());
    EXPECT_EQ(reg.moveTo(3).outcome, SessionResult::Outcome::Incomplete);
    EXPECT_EQ(reg.currentNumber(), 1);
    EXPECT_TRUE(reg.session().p_update());
    EXPECT_EQ(archived("SELECT Oggetto FROM entrata WHERE Progressivo = 1").toString(), "Oggetto");
}

TEST_F(OpenRegisterModel, LeavingSavesPendingChangesWhenWantedAndGivesThemUpOtherwise)
{
    ASSERT_TRUE(reg.registerRows()->setValue("Note", "Seconda").ok());
    EXPECT_TRUE(reg.leave([] { return true; }).ok());
    EXPECT_EQ(archived("SELECT Note FROM entrata WHERE Progressivo = 3").toString(), "Seconda");
    ASSERT_TRUE(reg.correspondents()->setValue("Citta", "Pisa").ok());
    EXPECT_TRUE(reg.session().p_update_mittenti());
    int asked = 0;
    EXPECT_TRUE(reg.leave([&] { return ++asked, false; }).ok());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(archived("SELECT Citta FROM Mittenti WHERE Quadernolo = 3").isNull());
}

TEST_F(OpenRegisterModel, ReadingAgainReleasesTheFilterAndShowsWhatOthersWrote)
{
    ASSERT_TRUE(reg.setFilter("entrata.Tipo = 'E'").ok());
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (4, 'U', 'Altrove')").ok());
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (4, 'U', 'Verdi')").ok());
    QSignalSpy filtri(&reg, &OpenRegister::filterChanged);
    QSignalSpy righe(&reg, &OpenRegister::rowsChanged);
    ASSERT_TRUE(reg.readAgain().ok());
    EXPECT_FALSE(reg.hasFilter());
    EXPECT_EQ(reg.count(), 5);
    ASSERT_EQ(filtri.count(), 1);
    EXPECT_FALSE(filtri.at(0).at(0).toBool());
    EXPECT_EQ(righe.count(), 1);
}

TEST_F(OpenRegisterModel, AKeyChangedElsewhereIsTakenOnlyWhenItOpensTheArchive)
{
    ASSERT_TRUE(db->rekey("nuova").ok());
    const QString prima = reg.registerSource().ConnectionString();
    EXPECT_EQ(reg.useArchiveKey("sbagliata").code, DbError::WrongKey);
    EXPECT_EQ(reg.registerSource().ConnectionString(), prima);
    ASSERT_TRUE(reg.useArchiveKey("nuova").ok());
    EXPECT_EQ(reg.correspondentSource().ConnectionString(), reg.registerSource().ConnectionString());
    ASSERT_TRUE(reg.readAgain().ok());
    EXPECT_EQ(reg.count(), 4);
}

TEST_F(OpenRegisterModel, AFilterSetRefusedDroppedOrLostInARereadIsTold)
{
    QSignalSpy filtri(&reg, &OpenRegister::filterChanged);
    ASSERT_TRUE(reg.setFilter("entrata.Tipo = 'E'").ok());
    EXPECT_TRUE(reg.hasFilter());
    EXPECT_EQ(reg.count(), 2);
    // A criterion the register refuses leaves the filter as it was.
    EXPECT_FALSE(reg.setFilter("Nessuno = 1").ok());
    EXPECT_EQ(reg.count(), 2);
    reg.dropFilter();
    EXPECT_EQ(reg.count(), 4);
    ASSERT_EQ(filtri.count(), 2);
    EXPECT_TRUE(filtri.at(0).at(0).toBool());
    EXPECT_FALSE(filtri.at(1).at(0).toBool());

    // A filter on a field another station's rebuilt table lacks cannot come back after a read.
    ASSERT_TRUE(reg.setFilter("Ufficio_conoscenza like 'x%'").ok());
    ASSERT_TRUE(db->exec("ALTER TABLE entrata RENAME TO vecchia; CREATE TABLE entrata (Progressivo INTEGER PRIMARY "
                         "KEY, Tipo TEXT, Data_quadernolo DATE, Tipo_documento TEXT, Oggetto TEXT, Note MEMO, "
                         "Collegamento TEXT, Annullato BOOLEAN, Nota_annulla MEMO); INSERT INTO entrata SELECT "
                         "Progressivo, Tipo, Data_quadernolo, Tipo_documento, Oggetto, Note, Collegamento, "
                         "Annullato, Nota_annulla FROM vecchia")
                    .ok());
    QSignalSpy righe(&reg, &OpenRegister::rowsChanged);
    EXPECT_FALSE(reg.reread(3).ok());
    EXPECT_FALSE(reg.hasFilter());
    EXPECT_FALSE(filtri.last().at(0).toBool());
    EXPECT_EQ(righe.count(), 1);
}

TEST_F(OpenRegisterModel, AnOpeningThatFailsLeavesNothingSetUp)
{
    reg.close();
    ASSERT_EQ(reg.count(), 0);
    QSignalSpy errori(&reg.registerSource(), &DataSource::error);
    // A register that cannot be read tells why through its error signal.
    OpenResult aperto = reg.open(prog.archive(), "sbagliata", prog.file("Quad_imposta.mdb"));
    EXPECT_EQ(aperto.failure, OpenResult::Failure::Register);
    EXPECT_EQ(aperto.result.code, DbError::WrongKey);
    EXPECT_EQ(errori.count(), 1);
    EXPECT_TRUE(reg.archiveFile().isEmpty());
    // The address book's settings database is needed too, and checked after the register.
    aperto = reg.open(prog.archive(), test::kPassword, prog.file("Manca.mdb"));
    EXPECT_EQ(aperto.failure, OpenResult::Failure::AddressBook);
    EXPECT_FALSE(aperto.result.ok());
    EXPECT_EQ(errori.count(), 1);
    EXPECT_EQ(reg.count(), 0);
    EXPECT_TRUE(reg.archiveFile().isEmpty());
    EXPECT_TRUE(reg.correspondentSource().ConnectionString().isEmpty());
    EXPECT_TRUE(reg.addressBookSource().ConnectionString().isEmpty());

    ASSERT_TRUE(reg.open(prog.archive(), test::kPassword, prog.file("Quad_imposta.mdb")).ok());
    EXPECT_EQ(reg.count(), 4);
    EXPECT_EQ(reg.archiveKey(), test::kPassword);
    EXPECT_EQ(reg.correspondentSource().ConnectionString(), reg.registerSource().ConnectionString());
}

TEST_F(OpenRegisterModel, ACorrespondentRowAddedBelongsToTheEntryShown)
{
    ASSERT_TRUE(reg.newEntry(
                       "Uscita", [] { return std::optional<QString>(); }, false)
                    .ok());
    ASSERT_TRUE(reg.correspondents()->setValue("Nominativo", "Primo").ok());
    ASSERT_TRUE(reg.correspondents()->setValue("Indirizzo", "Via Po").ok());
    ASSERT_TRUE(reg.addCorrespondent().ok());
    EXPECT_EQ(reg.correspondents()->recordCount(), 2);
    EXPECT_EQ(reg.correspondents()->value("Quadernolo").toLongLong(), 4);
    EXPECT_EQ(reg.correspondents()->value("tipo").toString(), "U");
    // The row left behind with a street and no house number gets "snc".
    reg.correspondents()->moveFirst();
    EXPECT_EQ(reg.correspondents()->value("Civico").toString(), "snc");
    ASSERT_TRUE(reg.dropEntry().ok());
}
