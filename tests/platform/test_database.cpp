#include "database.h"
#include "test_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quad;

namespace {

class DatabaseTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("Arch_quadernolo.mdb");

    void SetUp() override { ASSERT_TRUE(QFile::copy(QDir(QUAD_TEST_PROGRAM_DIR).filePath("arch_base.mdb"), path)); }
};

TEST_F(DatabaseTest, TemplateOpensWithItsKeyAndReadsTestPass)
{
    DbResult err;
    auto db = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    EXPECT_TRUE(db->testRead().ok());
}

TEST_F(DatabaseTest, WrongOrMissingKeyIsWrongPassword)
{
    DbResult err;
    EXPECT_FALSE(Connection::open(path, "Quadernolo", &err));
    EXPECT_EQ(err.code, DbError::WrongKey);
    EXPECT_FALSE(Connection::open(path, QByteArray(), &err));
    EXPECT_EQ(err.code, DbError::WrongKey);
}

TEST_F(DatabaseTest, OpeningAMissingFileNeverCreatesIt)
{
    DbResult err;
    const QString missing = dir.filePath("nothing.mdb");
    EXPECT_FALSE(Connection::open(missing, "quadernolo", &err));
    EXPECT_EQ(err.code, DbError::NotFound);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(Connection::open(dir.path(), "quadernolo", &err));
    EXPECT_EQ(err.code, DbError::CantOpen);
}

TEST_F(DatabaseTest, AFileThatIsNoDatabaseIsToldApart)
{
    const QString junk = dir.filePath("junk.mdb");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    DbResult err;
    EXPECT_FALSE(Connection::open(junk, "quadernolo", &err));
    EXPECT_EQ(err.code, DbError::WrongKey);
}

TEST_F(DatabaseTest, MissingTestTableIsNotAWrongKey)
{
    DbResult err;
    auto db = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->exec("DROP TABLE test_pass").ok());
    EXPECT_EQ(db->testRead().code, DbError::MissingTable);
}

TEST_F(DatabaseTest, ValuesAreBoundNotPasted)
{
    DbResult err;
    auto db = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(db);
    const QString nasty = "D'Amico'); DROP TABLE entrata; --";
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, ?, ?)", {1, "E", nasty}).ok());
    EXPECT_EQ(db->scalar("SELECT Nominativo FROM Mittenti WHERE Nominativo = ?", {nasty}).toString(), nasty);
    EXPECT_TRUE(db->tableExists("ENTRATA"));
}

TEST_F(DatabaseTest, LikeIgnoresCaseKeepsAccentsAndHonoursEscape)
{
    DbResult err;
    auto db = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(db);
    for (const char* name : {"Forlì", "FORLI", "d'amico", "100% srl", "1000 srl"})
        ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (1, 'E', ?)",
                             {QString::fromUtf8(name)})
                        .ok());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Mittenti WHERE Nominativo LIKE ?", {QString::fromUtf8("forlì")}).toInt(),
              1);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Mittenti WHERE Nominativo LIKE ?", {"D'A%"}).toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Mittenti WHERE Nominativo LIKE ? ESCAPE '\\'", {"100\\%%"}).toInt(), 1);
}

TEST_F(DatabaseTest, RekeyChangesThePasswordForGood)
{
    DbResult err;
    {
        auto db = Connection::open(path, "quadernolo", &err);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->exec("INSERT INTO test_pass (id, testo) VALUES (2, 'x')").ok());
        ASSERT_TRUE(db->rekey("nuova;pass'word").ok());
        EXPECT_EQ(db->key(), QByteArray("nuova;pass'word"));
    }
    EXPECT_FALSE(Connection::open(path, "quadernolo", &err));
    EXPECT_EQ(err.code, DbError::WrongKey);
    auto again = Connection::open(path, "nuova;pass'word", &err);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->scalar("SELECT count(*) FROM test_pass").toInt(), 2);
}

TEST_F(DatabaseTest, VacuumKeepsKeyAndRows)
{
    DbResult err;
    {
        auto db = Connection::open(path, "quadernolo", &err);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->begin().ok());
        for (int i = 1; i <= 300; ++i)
            EXPECT_TRUE(
                db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (?, 'E', ?)", {i, QString(200, 'a')})
                    .ok());
        ASSERT_TRUE(db->commit().ok());
        ASSERT_TRUE(db->exec("DELETE FROM entrata WHERE Progressivo > 10").ok());
        ASSERT_TRUE(db->vacuum().ok());
    }
    EXPECT_FALSE(Connection::open(path, QByteArray(), &err));
    auto db = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 10);
}

TEST_F(DatabaseTest, BackupCopyOpensWithTheKeyAndReplacesTheOldCopy)
{
    DbResult err;
    auto db = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo) VALUES (7, 'U')").ok());
    const QString copy = dir.filePath("copia.mdb");
    QFile old(copy);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old copy");
    old.close();
    ASSERT_TRUE(db->backupTo(copy).ok());
    auto c = Connection::open(copy, "quadernolo", &err);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->scalar("SELECT Tipo FROM entrata WHERE Progressivo = 7").toString(), "U");
    EXPECT_FALSE(QFile::exists(copy + ".tmp"));
}

TEST_F(DatabaseTest, FailedBackupKeepsTheLastGoodCopy)
{
    DbResult err;
    auto db = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(db);
    const QString copy = dir.filePath("missing-folder/copia.mdb");
    EXPECT_FALSE(db->backupTo(copy).ok());
    EXPECT_FALSE(QFile::exists(copy));
}

TEST_F(DatabaseTest, SharedConnectionIsOnePerFileAndKey)
{
    DbResult err;
    auto a = Connection::shared(path, "quadernolo", &err);
    auto b = Connection::shared(dir.path() + "/./Arch_quadernolo.mdb", "quadernolo", &err);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a.get(), b.get());
    EXPECT_FALSE(Connection::shared(path, "other", &err));
    EXPECT_EQ(err.code, DbError::WrongKey);

    // Another station changes the key: the connection opened with the old one is given as it is,
    // without a read (and so at no cost), until a read of it meets the key changed; from then on
    // the old key is tried afresh.
    auto altraStazione = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(altraStazione && altraStazione->rekey("nuova").ok());
    EXPECT_EQ(Connection::shared(path, "quadernolo", &err).get(), a.get());
    (void)a->scalar("SELECT count(*) FROM test_pass", {}, &err);
    EXPECT_EQ(err.code, DbError::WrongKey);
    EXPECT_FALSE(Connection::shared(path, "quadernolo", &err));
    EXPECT_EQ(err.code, DbError::WrongKey);
    auto nuova = Connection::shared(path, "nuova", &err);
    ASSERT_TRUE(nuova);
    EXPECT_EQ(nuova->scalar("SELECT count(*) FROM test_pass", {}, &err).toInt(), 1) << err.message.toStdString();

    // Changed back: a key proved by a read is taken only when it opens the file now.
    ASSERT_TRUE(altraStazione->rekey("quadernolo").ok());
    EXPECT_FALSE(Connection::shared(path, "nuova", &err, true));
    EXPECT_EQ(err.code, DbError::WrongKey);
    auto tornata = Connection::shared(path, "quadernolo", &err, true);
    ASSERT_TRUE(tornata);
    EXPECT_EQ(tornata->scalar("SELECT count(*) FROM test_pass", {}, &err).toInt(), 1) << err.message.toStdString();
}

TEST_F(DatabaseTest, TransactionRollsBackUnlessCommitted)
{
    DbResult err;
    auto db = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(db);
    {
        Transaction t(*db);
        ASSERT_TRUE(t.begun().ok());
        EXPECT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo) VALUES (1, 'E')").ok());
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 0);
    {
        Transaction t(*db);
        EXPECT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo) VALUES (1, 'E')").ok());
        ASSERT_TRUE(t.commit().ok());
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 1);
    // The key rejects a second row with the same number.
    EXPECT_EQ(db->exec("INSERT INTO entrata (Progressivo, Tipo) VALUES (1, 'U')").code, DbError::Constraint);
}

TEST(ConnectionStringTest, ParsesSourceAndPasswordWithSeparators)
{
    const QString s = ConnectionString::build("/data/SUB_2004", "Arch_quadernolo.mdb", "pa;ss=w'rd");
    EXPECT_TRUE(s.startsWith("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/SUB_2004/Arch_quadernolo.mdb;"));
    const ConnectionString cs = ConnectionString::parse(s);
    EXPECT_EQ(cs.dataSource, "/data/SUB_2004/Arch_quadernolo.mdb");
    EXPECT_EQ(cs.password, "pa;ss=w'rd");
    const ConnectionString win = ConnectionString::parse(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\q\\Arch_quadernolo.mdb;Persist Security Info=False ;"
        "Jet OLEDB:Database Password=");
    EXPECT_EQ(win.dataSource, "C:/q/Arch_quadernolo.mdb");
    EXPECT_EQ(win.password, "");
}

TEST(AdoTypes, DeclaredTypesMap)
{
    EXPECT_EQ(adoTypeForDeclared("INTEGER"), adInteger);
    EXPECT_EQ(adoTypeForDeclared("BOOLEAN"), adBoolean);
    EXPECT_EQ(adoTypeForDeclared("DATE"), adDate);
    EXPECT_EQ(adoTypeForDeclared("TIME"), adDate);
    EXPECT_EQ(adoTypeForDeclared("TEXT MEMO"), adLongVarWChar);
    EXPECT_EQ(adoTypeForDeclared("TEXT"), adVarWChar);
    EXPECT_EQ(adoTypeForDeclared("REAL"), adDouble);
}

TEST(SettingsDatabase, OpensWithoutKeyAndHoldsDocumentTypes)
{
    DbResult err;
    auto db = Connection::open(QDir(QUAD_TEST_PROGRAM_DIR).filePath("Quad_imposta.mdb"), QByteArray(), &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    EXPECT_GT(db->scalar("SELECT count(*) FROM tipo_doc_entrata").toInt(), 5);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Elenco").toInt(), 0);
}

} // namespace

namespace {

TEST_F(DatabaseTest, BackupGivesUpWhenAnotherStationHoldsTheArchiveTooLong)
{
    DbResult err;
    auto db = Connection::open(path, "quadernolo", &err);
    auto other = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(db && other);
    // The other station writes and keeps its transaction open.
    ASSERT_TRUE(other->exec("BEGIN EXCLUSIVE").ok());
    ASSERT_TRUE(other->exec("INSERT INTO entrata (Progressivo, Tipo) VALUES (1, 'E')").ok());
    const QString copy = dir.filePath("copia.mdb");
    const DbResult r = db->backupTo(copy);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.code, DbError::Busy);
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_TRUE(other->rollback().ok());
}

} // namespace

namespace {

/// A keyed archive with 1 KB cipher pages, as the program made them before it used 4 KB pages.
QString oldArchive(const QTemporaryDir& dir)
{
    const QString file = dir.filePath("Vecchio.mdb");
    DbResult err;
    auto db = Connection::create(file, "quadernolo", &err, 1024);
    EXPECT_TRUE(db) << err.message.toStdString();
    EXPECT_TRUE(db->exec("CREATE TABLE test_pass (id INTEGER PRIMARY KEY, testo TEXT); "
                         "INSERT INTO test_pass VALUES (1, 'vecchio')")
                    .ok());
    return file;
}

/// The page size a file really has: it opens with that one alone.
int pageSizeOf(const QString& file)
{
    DbResult err;
    auto db = Connection::open(file, "quadernolo", &err);
    return db ? db->cipherPageSize() : -1;
}

} // namespace

TEST_F(DatabaseTest, TheTemplateHasFourKilobytePagesAndOldArchivesStillOpen)
{
    EXPECT_EQ(pageSizeOf(path), 4096);
    // Without the page size, the template's first page does not read as a database.
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.size() % 4096, 0);

    const QString old = oldArchive(dir);
    DbResult err;
    auto db = Connection::open(old, "quadernolo", &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    EXPECT_EQ(db->cipherPageSize(), 1024);
    EXPECT_EQ(db->scalar("SELECT testo FROM test_pass").toString(), "vecchio");
    // A wrong password is still a wrong password, whatever the page size.
    EXPECT_FALSE(Connection::open(old, "sbagliata", &err));
    EXPECT_EQ(err.code, DbError::WrongKey);
}

TEST_F(DatabaseTest, ADamagedArchiveIsNotAWrongPassword)
{
    {
        DbResult err;
        auto db = Connection::open(path, "quadernolo", &err);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->exec("CREATE TABLE grande (t TEXT)").ok());
        for (int i = 0; i < 200; ++i)
            ASSERT_TRUE(db->exec("INSERT INTO grande VALUES (?)", {QString(300, QChar('a' + i % 26))}).ok());
    }
    // Pages past the first are overwritten: the key still opens the file, the data is damaged.
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadWrite));
    ASSERT_GT(raw.size(), 4096 * 6);
    raw.seek(raw.size() - 4096 * 3);
    raw.write(QByteArray(4096 * 2, '\x5a'));
    raw.close();
    DbResult err;
    auto db = Connection::open(path, "quadernolo", &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    db->scalar("SELECT count(*) FROM grande WHERE t LIKE '%b%'", {}, &err);
    EXPECT_FALSE(err.ok());
    EXPECT_NE(err.code, DbError::WrongKey);
}

TEST_F(DatabaseTest, CopiesCompactionAndPasswordChangeKeepEachFilesPageSize)
{
    const QString old = oldArchive(dir);
    for (const QString& file : {path, old}) {
        const int size = pageSizeOf(file);
        DbResult err;
        {
            auto db = Connection::open(file, "quadernolo", &err);
            ASSERT_TRUE(db);
            const QString copy = file + ".copia";
            ASSERT_TRUE(db->backupTo(copy).ok());
            EXPECT_EQ(pageSizeOf(copy), size);
            ASSERT_TRUE(db->vacuum().ok());
            ASSERT_TRUE(db->rekey("nuova").ok());
        }
        auto db = Connection::open(file, "nuova", &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        EXPECT_EQ(db->cipherPageSize(), size);
        EXPECT_TRUE(db->testRead().ok());
    }
}
