// The life of an entry without a window: a new entry from its lock and number to its
// confirmation or drop, and the changes of a registered entry saved on a move, on leaving and by
// an annulment.
#include "entry_session.h"

#include "clock.h"
#include "entry_store.h"
#include "issuing_lock.h"
#include "register_query.h"
#include "temp_program.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

#include <gtest/gtest.h>

using namespace quad;

namespace {

/// The register and the correspondents as the window's data controls hold them, over one archive.
class Sources : public EntrySources
{
public:
    explicit Sources(std::shared_ptr<Connection> db, QString folder)
        : m_db(std::move(db))
        , m_folder(std::move(folder))
    {
    }

    void open(EntrySession& session)
    {
        m_session = &session;
        reg = std::make_shared<Recordset>();
        QObject::connect(reg.get(), &Recordset::recordChangeComplete,
                         [this](ChangeReason r, EventStatus* s) { m_session->registerChanged(r, s); });
        ASSERT_TRUE(reg->open(m_db, registerQuery()).ok());
        if (reg->recordCount() > 0) {
            reg->moveLast();
            loadCorrespondents(reg->value("Progressivo").toLongLong());
        }
        session.rememberLoaded();
    }

    std::shared_ptr<Connection> archive(DbResult*) override
    {
        std::shared_ptr<Connection> given = m_db;
        if (const std::function<void()> work = std::exchange(afterHandOut, nullptr))
            work();
        return given;
    }
    /// The clerk gives renewKey (none when empty) when asked for the archive's password.
    bool renewArchiveKey() override
    {
        ++keyRequests;
        DbResult err;
        auto db = renewKey.isEmpty() ? nullptr : Connection::open(m_db->path(), renewKey, &err);
        if (!db)
            return false;
        m_db = db;
        for (const std::shared_ptr<Recordset>& rs : {reg, rows}) {
            if (rs)
                rs->useConnection(m_db);
        }
        return true;
    }
    std::shared_ptr<Recordset> registerRows() override { return reg; }
    std::shared_ptr<Recordset> correspondents() override { return rows; }
    void loadCorrespondents(qint64 number) override
    {
        const QString tipo = !reg->bof() && !reg->eof() && reg->value(1).toString() == "E" ? "E" : "U";
        rows = std::make_shared<Recordset>();
        QObject::connect(rows.get(), &Recordset::recordChangeComplete,
                         [this](ChangeReason r, EventStatus* s) { m_session->correspondentsChanged(r, s); });
        ASSERT_TRUE(rows->open(m_db, "select * from mittenti where (mittenti.quadernolo = ? AND mittenti.tipo = ?)",
                               {number, tipo})
                        .ok());
    }
    QString dataFolder() override { return m_folder; }

    std::shared_ptr<Recordset> reg;
    std::shared_ptr<Recordset> rows;
    /// Run once, the next time the connection is handed out, before it is used.
    std::function<void()> afterHandOut;
    QByteArray renewKey;
    int keyRequests = 0;

private:
    std::shared_ptr<Connection> m_db;
    QString m_folder;
    EntrySession* m_session = nullptr;
};

class EntrySessionTest : public ::testing::Test
{
protected:
    EntrySessionTest() { Clock::install(&clock); }
    ~EntrySessionTest() override { Clock::install(nullptr); }

    void SetUp() override
    {
        DbResult err;
        db = Connection::open(prog.archive(), test::kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        for (int n = 1; n <= 3; ++n) {
            ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Tipo_documento, Oggetto) "
                                 "VALUES (?, 'E', ?, 'Lettera', 'Oggetto')",
                                 {n, QDate(2025, 1, n)})
                            .ok());
            ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, 'E', ?)",
                                 {n, QString("Nome %1").arg(n)})
                            .ok());
        }
        sources = std::make_unique<Sources>(db, QFileInfo(prog.archive()).absolutePath());
        session = std::make_unique<EntrySession>(*sources);
        sources->open(*session);
    }

    qint64 count(const QString& sql, const QVariantList& params = {}) { return db->scalar(sql, params).toLongLong(); }
    bool lockPresent() const { return IssuingLock::isPresent(sources->dataFolder()); }

    /// Starts a new incoming entry and types its required fields.
    void begin()
    {
        const Allocation a = session->begin(
            "Entrata", [] { return std::optional<QString>(); }, false);
        ASSERT_TRUE(a.ok()) << a.message.toStdString();
        ASSERT_TRUE(sources->reg->setValue("Tipo_documento", "Lettera").ok());
        ASSERT_TRUE(sources->reg->setValue("Oggetto", "Nuovo").ok());
        ASSERT_TRUE(sources->rows->setValue("Nominativo", "Bianchi").ok());
    }
    static TypedEntry typed(const QString& nome = "Bianchi") { return {"14/06/2025", "Lettera", "Nuovo", nome}; }
    /// Another station rebuilds the register's table without its office fields.
    void rebuildWithoutOffices()
    {
        DbResult err;
        auto other = Connection::open(prog.archive(), test::kPassword, &err);
        ASSERT_TRUE(other) << err.message.toStdString();
        ASSERT_TRUE(other
                        ->exec("ALTER TABLE entrata RENAME TO vecchia; CREATE TABLE entrata (Progressivo INTEGER "
                               "PRIMARY KEY, Tipo TEXT, Data_quadernolo DATE, Tipo_documento TEXT, Oggetto TEXT, Note "
                               "MEMO, Collegamento TEXT, Annullato BOOLEAN, Nota_annulla MEMO); INSERT INTO entrata "
                               "SELECT Progressivo, Tipo, Data_quadernolo, Tipo_documento, Oggetto, Note, "
                               "Collegamento, Annullato, Nota_annulla FROM vecchia")
                        .ok());
    }

    FixedClock clock {QDateTime(QDate(2025, 6, 14), QTime(10, 20, 30))};
    test::TempProgram prog;
    std::shared_ptr<Connection> db;
    std::unique_ptr<Sources> sources;
    std::unique_ptr<EntrySession> session;
};

TEST_F(EntrySessionTest, ConfirmWritesTheEntryAndItsRowsAndReleasesTheLock)
{
    EXPECT_EQ(session->state(), EntrySession::State::Browsing);
    begin();
    EXPECT_EQ(session->state(), EntrySession::State::Inserting);
    EXPECT_TRUE(session->p_new_ins());
    EXPECT_FALSE(session->p_locked());
    EXPECT_EQ(session->number(), 4);
    EXPECT_EQ(session->p_ultima_data(), QDate(2025, 1, 3));
    EXPECT_TRUE(lockPresent());
    // Nothing is written while the entry is typed.
    EXPECT_EQ(count("SELECT count(*) FROM entrata WHERE Progressivo = 4"), 0);

    const SessionResult r = session->confirm(typed());
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_TRUE(r.written);
    EXPECT_EQ(session->state(), EntrySession::State::Browsing);
    EXPECT_FALSE(lockPresent());
    EXPECT_EQ(count("SELECT count(*) FROM entrata WHERE Progressivo = 4 AND Oggetto = 'Nuovo' AND Tipo = 'E'"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti WHERE Quadernolo = 4 AND Nominativo = 'Bianchi'"), 1);
    // The register stands on the new entry.
    EXPECT_EQ(sources->reg->value("Progressivo").toLongLong(), 4);
    EXPECT_FALSE(sources->reg->hasPendingChanges());
}

TEST_F(EntrySessionTest, AnIncompleteConfirmationKeepsTheEntryAndTheLock)
{
    begin();
    const SessionResult r = session->confirm(typed("   "));
    EXPECT_EQ(r.outcome, SessionResult::Outcome::Incomplete);
    EXPECT_EQ(r.message, "ATTENZIONE\n\nDati incompleti per il salvataggio !");
    EXPECT_TRUE(session->p_new_ins());
    EXPECT_TRUE(lockPresent());
    EXPECT_EQ(count("SELECT count(*) FROM entrata"), 3);
}

TEST_F(EntrySessionTest, AFailedCommitKeepsTheEntryTypedTheNumberAndTheLock)
{
    begin();
    // Another station wrote number 4 meanwhile, bypassing the lock.
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (4, 'U', 'altrove')").ok());
    const SessionResult r = session->confirm(typed());
    EXPECT_EQ(r.outcome, SessionResult::Outcome::Failed);
    EXPECT_TRUE(r.message.startsWith("ATTENZIONE !!\n\nIl quadernolo non è stato salvato.\n\n"))
        << r.message.toStdString();
    EXPECT_EQ(session->state(), EntrySession::State::Inserting);
    EXPECT_EQ(session->number(), 4);
    EXPECT_TRUE(lockPresent());
    // What was typed is still there, pending.
    EXPECT_EQ(sources->reg->value("Oggetto").toString(), "Nuovo");
    EXPECT_EQ(sources->rows->value("Nominativo").toString(), "Bianchi");
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti WHERE Nominativo = 'Bianchi'"), 0);

    // Once the way is clear the same entry is confirmed.
    ASSERT_TRUE(db->exec("DELETE FROM entrata WHERE Progressivo = 4").ok());
    EXPECT_TRUE(session->confirm(typed()).ok());
    EXPECT_EQ(count("SELECT count(*) FROM entrata WHERE Progressivo = 4 AND Oggetto = 'Nuovo'"), 1);
    EXPECT_FALSE(lockPresent());
}

TEST_F(EntrySessionTest, TheLastNumberStoredElsewhereMeanwhileLeavesNoNumberToOffer)
{
    ASSERT_TRUE(
        db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (?, 'E', 'penultimo')", {kLastNumber - 1})
            .ok());
    ASSERT_TRUE(sources->reg->requery().ok());
    begin();
    ASSERT_EQ(session->number(), kLastNumber);
    // Another station stores the last number, bypassing the lock.
    ASSERT_TRUE(
        db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (?, 'U', 'altrove')", {kLastNumber}).ok());
    int asked = 0;
    const SessionResult r = session->confirm(typed(), [&asked](qint64, qint64) { return ++asked, true; });
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(r.outcome, SessionResult::Outcome::Failed);
    EXPECT_EQ(r.message,
              QString::fromUtf8(kLastNumberText)
                  + "\n\nIl numero 2147483647 è già stato assegnato a un altro quadernolo.\n\n"
                    "Il quadernolo non è stato salvato e resta sullo schermo.");
    EXPECT_EQ(session->number(), kLastNumber);
    EXPECT_EQ(sources->reg->value("Oggetto").toString(), "Nuovo");
    EXPECT_TRUE(lockPresent());
    EXPECT_EQ(count("SELECT count(*) FROM entrata WHERE Oggetto = 'Nuovo'"), 0);
}

TEST_F(EntrySessionTest, DropWritesNothingRemovesOrphanRowsAndReleasesTheLock)
{
    // Rows left under number 4 by a station stopped while typing.
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (4, 'U', 'Orfano')").ok());
    begin();
    const SessionResult r = session->drop();
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.notice.isEmpty());
    EXPECT_EQ(session->state(), EntrySession::State::Browsing);
    EXPECT_FALSE(lockPresent());
    EXPECT_EQ(count("SELECT count(*) FROM entrata"), 3);
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti WHERE Quadernolo = 4"), 0);
    EXPECT_EQ(sources->reg->value("Progressivo").toLongLong(), 3);
    EXPECT_FALSE(sources->reg->hasPendingChanges());
}

TEST_F(EntrySessionTest, ALockHeldElsewhereStartsNothing)
{
    IssuingLock other(sources->dataFolder());
    ASSERT_TRUE(other.acquire().ok());
    const Allocation a = session->begin(
        "Entrata", [] { return std::optional<QString>(); }, false);
    EXPECT_EQ(a.status, AllocationStatus::LockHeld);
    EXPECT_EQ(session->state(), EntrySession::State::Browsing);
    EXPECT_EQ(sources->reg->recordCount(), 3);
    EXPECT_FALSE(sources->reg->hasPendingChanges());
    EXPECT_TRUE(other.isHeld());
}

TEST_F(EntrySessionTest, ANumberReadMeetingAKeyChangedAfterTheArchiveWasHandedOutAsksItAndAllocates)
{
    // Another station changes the password once the connection is handed out, before the read of
    // the highest number.
    sources->afterHandOut = [this] {
        DbResult err;
        auto other = Connection::open(prog.archive(), test::kPassword, &err);
        ASSERT_TRUE(other && other->rekey("nuova").ok()) << err.message.toStdString();
    };
    sources->renewKey = "nuova";
    const Allocation a = session->begin(
        "Entrata", [] { return std::optional<QString>(); }, false);
    ASSERT_TRUE(a.ok()) << a.message.toStdString();
    EXPECT_EQ(a.number, 4);
    EXPECT_EQ(sources->keyRequests, 1);
    EXPECT_TRUE(lockPresent());

    ASSERT_TRUE(sources->reg->setValue("Tipo_documento", "Lettera").ok());
    ASSERT_TRUE(sources->reg->setValue("Oggetto", "Nuovo").ok());
    ASSERT_TRUE(sources->rows->setValue("Nominativo", "Bianchi").ok());
    ASSERT_TRUE(session->confirm(typed()).ok());
    DbResult err;
    auto nuova = Connection::open(prog.archive(), "nuova", &err);
    ASSERT_TRUE(nuova) << err.message.toStdString();
    EXPECT_EQ(nuova->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 4").toString(), "Nuovo");
    EXPECT_EQ(sources->keyRequests, 1);
    EXPECT_FALSE(lockPresent());
}

TEST_F(EntrySessionTest, TheRegisterReadAgainForANewEntryAfterAKeyChangedMeanwhileAsksItAndShowsTheOthersEntries)
{
    ASSERT_TRUE(db->exec("DELETE FROM Mittenti; DELETE FROM entrata").ok());
    ASSERT_TRUE(sources->reg->requery().ok());
    sources->renewKey = "nuova";
    // While the clerk types the start number, another station registers an entry and changes
    // the password.
    const Allocation a = session->begin(
        "Entrata",
        [this] {
            DbResult err;
            auto other = Connection::open(prog.archive(), test::kPassword, &err);
            EXPECT_TRUE(other) << err.message.toStdString();
            EXPECT_TRUE(other
                            ->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Tipo_documento, Oggetto) "
                                   "VALUES (50, 'E', '2025-01-05', 'Lettera', 'Altrove');"
                                   "INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (50, 'E', 'Neri')")
                            .ok());
            EXPECT_TRUE(other->rekey("nuova").ok());
            return std::optional<QString>("100");
        },
        true);
    ASSERT_TRUE(a.ok()) << a.message.toStdString();
    EXPECT_EQ(a.number, 100);
    EXPECT_EQ(sources->keyRequests, 1);
    // The register read again shows the other station's entry before the new one.
    ASSERT_EQ(sources->reg->recordCount(), 2);
    EXPECT_EQ(sources->reg->valueAt(0, 0).toLongLong(), 50);
}

TEST_F(EntrySessionTest, ChangesAreSavedBeforeAMove)
{
    // Entry 3 is shown; the clerk writes a note and adds a city to its correspondent.
    ASSERT_TRUE(sources->reg->setValue("Note", "Vista").ok());
    ASSERT_TRUE(sources->rows->setValue("Citta", "Roma").ok());
    EXPECT_EQ(session->state(), EntrySession::State::Modified);
    EXPECT_TRUE(session->p_update());
    EXPECT_TRUE(session->p_update_mittenti());

    const SessionResult r = session->saveBeforeMove({"03/01/2025", "Lettera", "Oggetto", "Nome 3"});
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(session->state(), EntrySession::State::Browsing);
    EXPECT_EQ(db->scalar("SELECT Note FROM entrata WHERE Progressivo = 3").toString(), "Vista");
    EXPECT_EQ(db->scalar("SELECT Citta FROM Mittenti WHERE Quadernolo = 3").toString(), "Roma");
    // The register was read again and still shows entry 3.
    EXPECT_EQ(sources->reg->value("Progressivo").toLongLong(), 3);
    EXPECT_EQ(sources->reg->value("Note").toString(), "Vista");

    // An unchanged entry writes nothing.
    EXPECT_FALSE(session->saveBeforeMove({"03/01/2025", "Lettera", "Oggetto", "Nome 3"}).written);
}

TEST_F(EntrySessionTest, AnIncompleteChangedEntryStopsTheMoveAndKeepsItsChanges)
{
    ASSERT_TRUE(sources->reg->setValue("Note", "Vista").ok());
    const SessionResult r = session->saveBeforeMove({"03/01/2025", "Lettera", "Oggetto", " "});
    EXPECT_EQ(r.outcome, SessionResult::Outcome::Incomplete);
    EXPECT_EQ(r.message, "Impossibile salvare !\n\nDati non completi\n\n");
    EXPECT_TRUE(session->p_update());
    EXPECT_EQ(sources->reg->value("Note").toString(), "Vista");
    EXPECT_TRUE(db->scalar("SELECT Note FROM entrata WHERE Progressivo = 3").isNull());
}

TEST_F(EntrySessionTest, AnAnnulmentIsMarkedAndWrittenByTheNextSave)
{
    EXPECT_FALSE(session->annul("   ").ok()) << "a blank reason is refused";
    EXPECT_FALSE(session->p_update());
    ASSERT_TRUE(session->annul("  Doppione").ok());
    EXPECT_TRUE(session->p_update());
    EXPECT_TRUE(sources->reg->value("Annullato").toBool());
    EXPECT_EQ(count("SELECT count(*) FROM entrata WHERE Annullato <> 0"), 0);

    ASSERT_TRUE(session->save({"03/01/2025", "Lettera", "Oggetto", "Nome 3"}).ok());
    EXPECT_EQ(count("SELECT count(*) FROM entrata WHERE Progressivo = 3 AND Annullato <> 0"), 1);
    EXPECT_EQ(db->scalar("SELECT Nota_annulla FROM entrata WHERE Progressivo = 3").toString(), "  Doppione");
    EXPECT_FALSE(session->p_update());
}

TEST_F(EntrySessionTest, AnEntryIsAnnulledOnceAndKeepsItsFirstReason)
{
    ASSERT_TRUE(session->annul("prima").ok());
    // Annulled on screen, not yet stored: refused, and the reason shown stays.
    SessionResult again = session->annul("seconda");
    EXPECT_EQ(again.outcome, SessionResult::Outcome::Failed);
    EXPECT_EQ(again.message, "ATTENZIONE !\n\nIl quadernolo n. 3 è già annullato.\n\nMotivo dell' annullamento: prima");
    EXPECT_EQ(sources->reg->value("Nota_annulla").toString(), "prima");

    // Stored: refused all the same.
    ASSERT_TRUE(session->save({"03/01/2025", "Lettera", "Oggetto", "Nome 3"}).ok());
    again = session->annul("terza");
    EXPECT_EQ(again.outcome, SessionResult::Outcome::Failed);
    EXPECT_FALSE(session->p_update());
    EXPECT_EQ(db->scalar("SELECT Nota_annulla FROM entrata WHERE Progressivo = 3").toString(), "prima");
}

TEST_F(EntrySessionTest, AReasonTheRegisterRefusesIsReportedAndAnnulsNothing)
{
    // A register whose reason field holds five characters at most.
    auto reg = std::make_shared<Recordset>();
    reg->appendField("Progressivo", 3);
    reg->appendField("Annullato", 11);
    reg->appendField("Nota_annulla", 202, 5);
    reg->openInMemory();
    reg->addNew();
    ASSERT_TRUE(reg->setValue("Progressivo", 3).ok());
    ASSERT_TRUE(reg->setValue("Annullato", false).ok());
    ASSERT_TRUE(reg->updateBatch().ok());
    sources->reg = reg;

    const SessionResult r = session->annul("Registrato due volte");
    EXPECT_EQ(r.outcome, SessionResult::Outcome::Failed);
    EXPECT_TRUE(r.message.startsWith("ATTENZIONE !\n\nIl quadernolo n. 3 non è stato annullato.\n\n"))
        << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("5 caratteri")) << r.message.toStdString();
    EXPECT_FALSE(reg->value("Annullato").toBool());
    EXPECT_TRUE(reg->value("Nota_annulla").isNull());
    EXPECT_FALSE(session->p_update());
}

TEST_F(EntrySessionTest, LeavingWithPendingChangesAsksAndSavesOrGivesThemUp)
{
    const TypedEntry entry {"03/01/2025", "Lettera", "Oggetto", "Nome 3"};
    // Nothing pending: no question.
    int asked = 0;
    EXPECT_TRUE(session->leave(entry, [&] { return ++asked, true; }).ok());
    EXPECT_EQ(asked, 0);

    // Rows changed without any report still count.
    ASSERT_TRUE(sources->rows->setValue("Citta", "Pisa").ok());
    session->correspondentsChanged(ChangeReason::Delete, nullptr);
    ASSERT_FALSE(session->p_update_mittenti());
    EXPECT_TRUE(session->leave(entry, [&] { return ++asked, false; }).ok());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(db->scalar("SELECT Citta FROM Mittenti WHERE Quadernolo = 3").isNull());

    ASSERT_TRUE(sources->reg->setValue("Note", "Prima di uscire").ok());
    EXPECT_TRUE(session->leave(entry, [&] { return ++asked, true; }).ok());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(db->scalar("SELECT Note FROM entrata WHERE Progressivo = 3").toString(), "Prima di uscire");
    EXPECT_EQ(session->state(), EntrySession::State::Browsing);

    // While a new entry is typed the register is not left.
    begin();
    EXPECT_FALSE(session->leave(typed(), [&] { return ++asked, true; }).ok());
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(session->p_new_ins());
}

TEST_F(EntrySessionTest, AfterAConfirmADropOrACorrectionTheRegisterShowsWhatAnotherStationWrote)
{
    DbResult err;
    auto other = Connection::open(prog.archive(), test::kPassword, &err);
    ASSERT_TRUE(other) << err.message.toStdString();
    auto otherEntry = [&](int n) {
        ASSERT_TRUE(other->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (?, 'U', 'altra')", {n}).ok());
        ASSERT_TRUE(other->exec("INSERT INTO Mittenti (Quadernolo, tipo) VALUES (?, 'U')", {n}).ok());
    };
    const auto stored
        = [&] { return count("SELECT count(*) FROM entrata INNER JOIN Mittenti ON Progressivo = Quadernolo"); };

    begin();
    otherEntry(10);
    ASSERT_TRUE(session->confirm(typed()).ok());
    EXPECT_EQ(sources->reg->recordCount(), stored());
    EXPECT_EQ(sources->reg->value("Progressivo").toLongLong(), 4);

    begin();
    otherEntry(20);
    ASSERT_TRUE(session->drop().ok());
    EXPECT_EQ(sources->reg->recordCount(), stored());
    EXPECT_EQ(sources->reg->value("Progressivo").toLongLong(), 20);

    // A subject corrected in the archive, then read back.
    otherEntry(30);
    ASSERT_TRUE(db->exec("UPDATE entrata SET Oggetto = 'corretto' WHERE Progressivo = 2").ok());
    ASSERT_TRUE(session->reread(2, true).ok());
    EXPECT_EQ(sources->reg->recordCount(), stored());
    EXPECT_EQ(sources->reg->value("Oggetto").toString(), "corretto");

    // With nobody else writing, only the entry is read back, and it shows.
    ASSERT_TRUE(db->exec("UPDATE entrata SET Oggetto = 'di nuovo' WHERE Progressivo = 3").ok());
    ASSERT_TRUE(session->reread(3, true).ok());
    EXPECT_EQ(sources->reg->value("Oggetto").toString(), "di nuovo");
    EXPECT_EQ(sources->reg->recordCount(), stored());
}

TEST_F(EntrySessionTest, AFullReReadShowsEveryEntryThisStationWrote)
{
    // This station writes two entries at once (an import, say), then asks for the whole register.
    for (int n : {40, 41}) {
        ASSERT_TRUE(
            db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (?, 'U', 'importata')", {n}).ok());
        ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, 'U', 'Neri')", {n}).ok());
    }
    ASSERT_TRUE(session->reread(40).ok());
    EXPECT_EQ(sources->reg->recordCount(), 5);
    EXPECT_EQ(sources->reg->value("Progressivo").toLongLong(), 40);
    EXPECT_TRUE(sources->reg->findKey("Progressivo", 41));
}

TEST_F(EntrySessionTest, AReReadWhoseFilterCannotComeBackSaysSoAndShowsEveryRow)
{
    ASSERT_TRUE(sources->reg->setFilter("Ufficio_conoscenza like 'x%'").ok());
    ASSERT_EQ(sources->reg->recordCount(), 0);
    // Another station rebuilds the table without the field filtered on.
    ASSERT_NO_FATAL_FAILURE(rebuildWithoutOffices());
    const DbResult r = session->reread(2);

    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(sources->reg->hasFilter());
    EXPECT_EQ(sources->reg->recordCount(), 3);
    EXPECT_EQ(sources->reg->value("Progressivo").toLongLong(), 2);
}

TEST_F(EntrySessionTest, ASaveWhoseReReadFailsIsStoredAndSaysSo)
{
    ASSERT_TRUE(db->exec("UPDATE entrata SET Ufficio_conoscenza = 'x'").ok());
    ASSERT_TRUE(sources->reg->requery().ok());
    ASSERT_TRUE(sources->reg->setFilter("Ufficio_conoscenza like 'x%'").ok());
    sources->reg->moveLast();
    ASSERT_TRUE(sources->reg->setValue("Note", "Vista").ok());
    // Another station rebuilds the table without the field filtered on.
    ASSERT_NO_FATAL_FAILURE(rebuildWithoutOffices());
    const SessionResult r = session->save({"03/01/2025", "Lettera", "Oggetto", "Nome 3"});

    // Stored, and the clerk is told the register shown is no longer the filtered one.
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.written);
    EXPECT_EQ(db->scalar("SELECT Note FROM entrata WHERE Progressivo = 3").toString(), "Vista");
    EXPECT_TRUE(r.message.startsWith("ATTENZIONE !!\n\nImpossibile rileggere l' archivio.\n\n"))
        << r.message.toStdString();
    EXPECT_FALSE(sources->reg->hasFilter());
}

TEST_F(EntrySessionTest, ASaveGivenUpAtThePasswordChangedElsewhereIsAskedOnceAndKeepsWhatTheClerkChanged)
{
    const TypedEntry shown {"03/01/2025", "Lettera", "Oggetto", "Nome 3"};
    DbResult err;
    auto other = Connection::open(prog.archive(), test::kPassword, &err);
    ASSERT_TRUE(other && other->rekey("nuova").ok()) << err.message.toStdString();
    const QString refused = "\n\nLa password della sessione non apre più l' archivio in uso.";

    // The note of the entry shown.
    ASSERT_TRUE(sources->reg->setValue("Note", "Vista").ok());
    SessionResult r = session->save(shown);
    EXPECT_EQ(r.outcome, SessionResult::Outcome::Failed);
    EXPECT_TRUE(r.keyRefused);
    EXPECT_EQ(r.message, "ATTENZIONE !!\n\nImpossibile salvare il quadernolo n. 3." + refused);
    EXPECT_EQ(sources->keyRequests, 1);
    EXPECT_TRUE(session->p_update());
    EXPECT_EQ(sources->reg->value("Note").toString(), "Vista");

    // Only a correspondent's city.
    sources->reg->cancelBatch();
    session->clearRecordModified();
    ASSERT_TRUE(sources->rows->setValue("Citta", "Pisa").ok());
    r = session->save(shown);
    EXPECT_EQ(r.outcome, SessionResult::Outcome::Failed);
    EXPECT_TRUE(r.keyRefused);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.message, "ATTENZIONE !!\n\nImpossibile salvare i nominativi del quadernolo." + refused);
    EXPECT_EQ(sources->keyRequests, 2);
    EXPECT_TRUE(session->rowsPending());
    EXPECT_EQ(sources->rows->value("Citta").toString(), "Pisa");
}

} // namespace
