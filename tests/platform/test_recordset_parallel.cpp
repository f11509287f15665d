// A register read in pieces on several threads is exactly the register read on one: the same
// rows, in the same order, with the same cells. A read that fails on any piece changes nothing.
// A register read again with nothing written meanwhile keeps its rows, and shows every change
// another connection made.

#include "archive_indexes.h"
#include "archive_test.h"
#include "temp_program.h"

#include "register_query.h"

#include <sqlcipher/sqlite3.h>

#include <QDate>
#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

using namespace quad;

namespace {

// A folder grid's shape: links, entries and correspondents joined, ordered by entry and link.
const QString kFolderGrid = QStringLiteral(
    "SELECT sys_rela_tree.*, entrata.*, mittenti.* FROM (entrata INNER JOIN sys_rela_tree "
    "ON entrata.Progressivo = sys_rela_tree.SYS_USER_ID) INNER JOIN mittenti ON (entrata.Progressivo = "
    "mittenti.Quadernolo AND entrata.Tipo = mittenti.tipo) WHERE substr(sys_rela_tree.SYS_TREE, 1, ?) = ? "
    "ORDER BY entrata.Progressivo, sys_rela_tree.SYS_ID");

const QStringList kTexts = {"Richiesta di variante",
                            "richiesta",
                            "CITTÀ di Forlì",
                            "città",
                            "l'ente",
                            "100% riciclato",
                            "a_b",
                            "Straße",
                            "σοφία",
                            "😀 emoji",
                            ""};

class RecordsetParallelTest : public test::ArchiveTest
{
protected:
    void TearDown() override { Recordset::setParallelRead(0, 50000); }

    /// Entries numbered with gaps, Null and accented cells, a long text now and then, dates and
    /// times, 1 to 5 correspondents each, filed into folders.
    void fill(unsigned seed, int entries)
    {
        std::mt19937 random(seed);
        auto pick = [&random](int n) { return int(random() % unsigned(n)); };
        auto text = [&]() -> QVariant {
            if (pick(6) == 0)
                return QVariant();
            QString t = kTexts[pick(int(kTexts.size()))];
            if (pick(40) == 0)
                t += QString(70000 + pick(100), QChar(pick(2) ? u'x' : u'è'));
            return t;
        };
        int number = int(db->scalar("SELECT max(Progressivo) FROM entrata").toLongLong());
        ASSERT_TRUE(db->begin().ok());
        for (int i = 0; i < entries; ++i) {
            number += 1 + (pick(5) == 0 ? pick(300) : 0);
            const QString tipo = pick(2) ? "E" : "U";
            const QVariant date = pick(8) ? QVariant(QDate(1999, 12, 30).addDays(pick(9000))) : QVariant();
            const DbResult added
                = db->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Oggetto, Note, Orario, "
                           "Annullato, Numero_documenti) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                           {number, tipo, date, text(), text(), pick(3) ? QVariant("09:30:05") : QVariant(),
                            pick(7) == 0 ? -1 : 0, pick(4) ? QVariant(pick(9)) : QVariant()});
            ASSERT_TRUE(added.ok()) << added.message.toStdString();
            for (int r = 1 + pick(5); r > 0; --r)
                ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo, Data_nascita) "
                                     "VALUES (?, ?, ?, ?)",
                                     {number, tipo, text(), pick(2) ? QVariant("1970-02-28") : QVariant()})
                                .ok());
            for (int f = pick(3); f > 0; --f)
                ASSERT_TRUE(db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES (?, ?, ?)",
                                     {pick(2) ? "1\\" : "1\\2\\", number, tipo})
                                .ok());
        }
        ASSERT_TRUE(db->commit().ok());
    }

    /// The rows of sql read with threads threads, split from the smallest register on.
    std::shared_ptr<Recordset> read(const QString& sql, const QVariantList& params, int threads)
    {
        Recordset::setParallelRead(threads, 0);
        auto rs = std::make_shared<Recordset>();
        const DbResult r = rs->open(db, sql, params);
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        EXPECT_EQ(rs->readThreads(), threads);
        return rs;
    }

    static void expectSame(const Recordset& got, const Recordset& one, const char* what)
    {
        ASSERT_EQ(got.recordCount(), one.recordCount()) << what;
        ASSERT_EQ(got.fieldCount(), one.fieldCount()) << what;
        for (int r = 0; r < one.recordCount(); ++r) {
            for (int c = 0; c < one.fieldCount(); ++c) {
                const QVariant a = got.valueAt(r, c);
                const QVariant b = one.valueAt(r, c);
                ASSERT_TRUE(a.isNull() == b.isNull() && a == b && a.metaType() == b.metaType())
                    << what << " row " << r << " column " << one.field(c).name.toStdString();
            }
        }
    }
};

TEST_F(RecordsetParallelTest, ReadInPiecesEqualsTheOneThreadReadCellByCell)
{
    for (unsigned seed : {3u, 11u}) {
        SCOPED_TRACE(seed);
        ASSERT_TRUE(db->exec("DELETE FROM Mittenti; DELETE FROM entrata; DELETE FROM sys_rela_tree").ok());
        fill(seed, 1500);
        auto one = read(registerQuery(), {}, 1);
        ASSERT_GT(one->recordCount(), 1500);
        expectSame(*read(registerQuery(), {}, 4), *one, "register");
        expectSame(*read(registerQuery(), {}, 7), *one, "register, 7 threads");
        const QVariantList folder = {2, "1\\"};
        expectSame(*read(kFolderGrid, folder, 3), *read(kFolderGrid, folder, 1), "folder grid");

        // A re-read after entries came in (an import) equals a new read on one thread.
        auto again = read(registerQuery(), {}, 4);
        fill(seed + 100, 40);
        ASSERT_TRUE(again->requery().ok());
        expectSame(*again, *read(registerQuery(), {}, 1), "re-read");
    }
}

TEST_F(RecordsetParallelTest, AnArchiveMadeBeforeItsIndexesGetsThemAndItsFolderGridIsReadInPieces)
{
    fill(4, 300);
    ASSERT_TRUE(db->exec("DROP INDEX sys_rela_tree_scheda; DROP INDEX entrata_data; "
                         "DROP INDEX entrata_oggetto_inizio")
                    .ok());
    const QVariantList folder = {2, "1\\"};
    auto before = read(kFolderGrid, folder, 1);
    Recordset::setParallelRead(3, 0);
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kFolderGrid, folder).ok());
    EXPECT_EQ(rs.readThreads(), 1); // no index to read the links entry by entry
    ASSERT_TRUE(upgradeArchive(*db).ok());
    for (const char* index : {"sys_rela_tree_scheda", "entrata_data", "entrata_oggetto_inizio"})
        EXPECT_FALSE(db->scalar("SELECT name FROM sqlite_master WHERE name = ?", {index}).isNull()) << index;
    expectSame(*read(kFolderGrid, folder, 3), *before, "folder grid");
}

TEST_F(RecordsetParallelTest, AFailedPieceFailsTheWholeReadAndKeepsTheOldRows)
{
    fill(5, 1500);
    auto rs = read(registerQuery(), {}, 4);
    const int rows = rs->recordCount();
    const QVariant last = rs->valueAt(rows - 1, rs->fieldIndex("Oggetto"));
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo) SELECT max(Progressivo), 'E' FROM entrata").ok());
    db.reset();
    Connection::dropShared(program.archive());

    // Damaged pages in the middle of the file: the pieces that read them fail.
    {
        QFile file(program.archive());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const qint64 pages = file.size() / 4096;
        for (qint64 page = pages / 3; page < 2 * pages / 3; page += 3) {
            ASSERT_TRUE(file.seek(page * 4096 + 100));
            ASSERT_EQ(file.write(QByteArray(64, '\x5a')), 64);
        }
    }
    EXPECT_FALSE(rs->requery().ok());
    ASSERT_EQ(rs->recordCount(), rows);
    EXPECT_EQ(rs->valueAt(rows - 1, rs->fieldIndex("Oggetto")), last);
}

TEST_F(RecordsetParallelTest, AWrongKeyFailsTheReadAndKeepsTheOldRows)
{
    fill(6, 1200);
    auto rs = read(registerQuery(), {}, 4);
    const int rows = rs->recordCount();
    DbResult err;
    auto other = Connection::open(program.archive(), test::kPassword, &err);
    ASSERT_TRUE(other && other->rekey("altra").ok());
    other.reset();
    EXPECT_FALSE(rs->requery().ok());
    EXPECT_EQ(rs->recordCount(), rows);
}

TEST_F(RecordsetParallelTest, AReReadWithNothingWrittenKeepsTheRowsAndShowsEveryOtherWrite)
{
    fill(8, 1200);
    Recordset::setParallelRead(4, 0);
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    const int rows = rs.recordCount();
    ASSERT_TRUE(rs.setFilter("Annullato = True").ok());
    rs.moveLast();
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_FALSE(rs.hasFilter());
    EXPECT_EQ(rs.recordCount(), rows);
    EXPECT_EQ(rs.absolutePosition(), 1);
    expectSame(rs, *read(registerQuery(), {}, 1), "nothing written");

    DbResult err;
    auto other = Connection::open(program.archive(), test::kPassword, &err);
    ASSERT_TRUE(other);
    const qint64 first = rs.valueAt(0, 0).toLongLong();
    const qint64 next = other->scalar("SELECT max(Progressivo) + 1 FROM entrata").toLongLong();
    ASSERT_TRUE(other->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (?, 'E', 'nuova')", {next}).ok());
    ASSERT_TRUE(other->exec("INSERT INTO Mittenti (Quadernolo, tipo) VALUES (?, 'E')", {next}).ok());
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_TRUE(rs.findKey("Progressivo", next));
    expectSame(rs, *read(registerQuery(), {}, 1), "insert");

    ASSERT_TRUE(other->exec("UPDATE entrata SET Oggetto = 'cambiata' WHERE Progressivo = ?", {first}).ok());
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_EQ(rs.valueAt(0, rs.fieldIndex("Oggetto")).toString(), "cambiata");

    ASSERT_TRUE(other->exec("DELETE FROM Mittenti WHERE Quadernolo = ?", {next}).ok());
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_FALSE(rs.findKey("Progressivo", next));
    expectSame(rs, *read(registerQuery(), {}, 1), "delete");
}

TEST_F(RecordsetParallelTest, AnotherStationCommitsWhileTheRegisterIsReadInPieces)
{
    fill(9, 1500);
    DbResult err;
    auto station = Connection::open(program.archive(), test::kPassword, &err);
    ASSERT_TRUE(station) << err.message.toStdString();
    // Its commit waits for a read under way, and a read never waits for it.
    sqlite3_busy_timeout(station->handle(), 2000);
    std::atomic<bool> reading {true};
    std::atomic<int> commits {0};
    DbResult failed;
    std::thread writer([&] {
        for (int i = 0; reading && failed.ok(); ++i) {
            const DbResult r = station->exec("UPDATE entrata SET Note = ? WHERE Progressivo = (SELECT min(Progressivo) "
                                             "FROM entrata)",
                                             {QString::number(i)});
            if (r.ok())
                ++commits;
            else
                failed = r;
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    });
    Recordset::setParallelRead(4, 0);
    Recordset rs;
    for (int i = 0; i < 10 && failed.ok(); ++i)
        EXPECT_TRUE(rs.open(db, registerQuery()).ok());
    reading = false;
    writer.join();
    EXPECT_TRUE(failed.ok()) << failed.message.toStdString();
    EXPECT_GT(commits, 0);
}

} // namespace
