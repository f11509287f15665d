#include "compaction.h"
#include "database.h"
#include "file_checks.h"
#include "program_folder.h"
#include "temp_program.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace quad;
using quad::test::bytesOf;

namespace {

/// Fills the register with rows and deletes every other one, leaving free pages to reclaim.
void fillWithHoles(const QString& archive, int rows)
{
    DbResult err;
    auto db = Connection::open(archive, test::kPassword, &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    Transaction tx(*db);
    for (int i = 1; i <= rows; ++i) {
        ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (?, 'E', ?)",
                             {i, QString("Oggetto l'%1 ").arg(i) + QString(200, QChar(0xe8))})
                        .ok());
    }
    ASSERT_TRUE(db->exec("DELETE FROM entrata WHERE Progressivo % 2 = 0").ok());
    ASSERT_TRUE(tx.commit().ok());
}

qint64 rowsIn(const QString& archive, const QString& password)
{
    DbResult err;
    auto db = Connection::open(archive, password.toUtf8(), &err);
    if (!db)
        return -1;
    return db->scalar("SELECT count(*) FROM entrata").toLongLong();
}

TEST(Compaction, KeepsEveryRowAndTheKeyAndLeavesNoScratchFile)
{
    test::TempProgram prog;
    fillWithHoles(prog.archive(), 400);
    const qint64 before = QFileInfo(prog.archive()).size();

    WorkingState s;
    s.p_password = test::kPassword;
    s.p_path_cartella = prog.path();
    const DbResult r = compatta_database(s);
    ASSERT_TRUE(r.ok()) << r.message.toStdString();

    EXPECT_EQ(rowsIn(prog.archive(), test::kPassword), 200);
    EXPECT_LT(QFileInfo(prog.archive()).size(), before);
    // Still encrypted: it does not open without the key, nor with another.
    EXPECT_EQ(rowsIn(prog.archive(), ""), -1);
    EXPECT_EQ(rowsIn(prog.archive(), "altra"), -1);
    EXPECT_FALSE(bytesOf(prog.archive()).startsWith("SQLite format 3"));
    EXPECT_FALSE(QFile::exists(prog.file("Temp.mdb")));
}

TEST(Compaction, AStaleScratchFileDoesNotBlockItAndIsLeftAlone)
{
    test::TempProgram prog;
    fillWithHoles(prog.archive(), 50);
    {
        QFile stale(prog.file("Temp.mdb"));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("rimasto da una volta precedente");
    }
    const DbResult r = compatta_database(prog.archive(), test::kPassword);
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(rowsIn(prog.archive(), test::kPassword), 25);
    EXPECT_EQ(bytesOf(prog.file("Temp.mdb")), QByteArray("rimasto da una volta precedente"));
}

TEST(Compaction, AWrongOrEmptyPasswordLeavesTheArchiveUntouched)
{
    test::TempProgram prog;
    fillWithHoles(prog.archive(), 20);
    const QByteArray before = bytesOf(prog.archive());
    DbResult r = compatta_database(prog.archive(), "sbagliata");
    EXPECT_EQ(r.code, DbError::WrongKey);
    r = compatta_database(prog.archive(), "");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(bytesOf(prog.archive()), before);
    EXPECT_FALSE(QFile::exists(prog.file("Temp.mdb")));
}

TEST(Compaction, AMissingArchiveIsNotCreated)
{
    test::TempProgram prog(false);
    const DbResult r = compatta_database(prog.archive(), test::kPassword);
    EXPECT_EQ(r.code, DbError::NotFound);
    EXPECT_FALSE(QFile::exists(prog.archive()));
}

TEST(Compaction, AHistoricalArchiveIsFoundAgainstTheProgramFolder)
{
    test::TempProgram prog;
    const QString sub = prog.addHistorical("sub_Vecchio");
    fillWithHoles(sub, 30);
    WorkingState s;
    s.p_password = test::kPassword;
    s.p_path_cartella = "SUB_Vecchio";
    EXPECT_EQ(archivio_da_compattare(s), sub);
    ASSERT_TRUE(compatta_database(s).ok());
    EXPECT_EQ(rowsIn(sub, test::kPassword), 15);
    EXPECT_EQ(rowsIn(prog.archive(), test::kPassword), 0);
}

TEST(Compaction, AnArchiveThatNoLongerOpensWithTheKeyItWasOpenedWithTakesTheSessionPassword)
{
    test::TempProgram prog;
    fillWithHoles(prog.archive(), 40);
    WorkingState s;
    s.p_password = test::kPassword;
    s.p_path_cartella = prog.path();
    // The archive was opened this session with a password another station had given it, and
    // has since been given the session's back.
    s.chiavi_archivi.accept(prog.archive(), "nuova", s.p_password);
    const DbResult r = compatta_database(s);
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(rowsIn(prog.archive(), test::kPassword), 20);
}

TEST(Compaction, FailureMessageEndsWithOneFullStop)
{
    EXPECT_EQ(messaggio_errore_compattazione(DbResult::failure(DbError::Busy, "Archivio in uso.")),
              "Errore durante il tentativo di compattazione del database: Archivio in uso.");
    EXPECT_EQ(messaggio_errore_compattazione(DbResult::failure(DbError::Other, "disco pieno")),
              "Errore durante il tentativo di compattazione del database: disco pieno.");
}

} // namespace
