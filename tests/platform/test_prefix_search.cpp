// The autocomplete's prefix search gives what a scan with the program's own LIKE gives: the
// same values in the same order, whatever the case, accents, quotes or wildcards typed, and it
// gets them from the index.

#include "archive_indexes.h"
#include "archive_test.h"
#include "full_disk.h"
#include "killed_worker.h"
#include "prefix_search.h"
#include "sql_like.h"

#include <sqlcipher/sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace quad;

namespace {

const QStringList kValues = {"Città di Castello",
                             "CITTÀ DI CASTELLO",
                             "città",
                             "Cittadella",
                             "citta",
                             "Civico",
                             "àncora",
                             "Àncora",
                             "ANCORA",
                             "ancona",
                             "Ancona",
                             "l'ente",
                             "L'Ente",
                             "l''ente",
                             "100% riciclato",
                             "100 anni",
                             "1000",
                             "a_b",
                             "aXb",
                             "a%b",
                             "K2",
                             "\u212A2 kelvin",
                             "k2",
                             "Straße",
                             "STRASSE",
                             "ſtrada",
                             "strada",
                             "ΣΟΦΙΑ",
                             "σοφία",
                             "ςοφ",
                             "Èlite",
                             "èlite",
                             "elite",
                             "Elite",
                             "é",
                             "😀 emoji",
                             "😀",
                             "",
                             " spazio",
                             "Zeta",
                             "zeta"};

class PrefixSearchTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    std::shared_ptr<Connection> db;

    void SetUp() override
    {
        DbResult err;
        db = Connection::create(dir.filePath("prova.mdb"), "chiave", &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        ASSERT_TRUE(db->exec("CREATE TABLE voci (id INTEGER PRIMARY KEY, Testo TEXT)").ok());
        ASSERT_TRUE(db->begin().ok());
        // Every value several times over, and Nulls: duplicates must not crowd the list.
        for (int copy = 0; copy < 3; ++copy) {
            for (const QString& v : kValues)
                ASSERT_TRUE(db->exec("INSERT INTO voci (Testo) VALUES (?)", {v}).ok());
            ASSERT_TRUE(db->exec("INSERT INTO voci (Testo) VALUES (NULL)").ok());
        }
        for (int i = 0; i < 300; ++i)
            ASSERT_TRUE(db->exec("INSERT INTO voci (Testo) VALUES ('Lettera')").ok());
        ASSERT_TRUE(db->commit().ok());
    }

    /// What a full scan with the program's LIKE gives.
    QStringList scan(const QString& prefix, int limit)
    {
        QStringList values;
        const DbResult r = db->query("SELECT DISTINCT Testo FROM voci WHERE Testo LIKE ? ESCAPE '\\' "
                                     "ORDER BY Testo COLLATE NOCASE, Testo LIMIT ?",
                                     {escapeLikeText(prefix) + "%", limit}, [&](const Statement& st) {
                                         values << st.value(0).toString();
                                         return true;
                                     });
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        return values;
    }

    void expectAgrees(const QString& prefix, int limit)
    {
        DbResult err;
        const QStringList got = prefixValues(*db, "voci", "Testo", prefix, limit, &err);
        ASSERT_TRUE(err.ok()) << err.message.toStdString();
        EXPECT_EQ(got.join('|').toStdString(), scan(prefix, limit).join('|').toStdString())
            << "prefix \"" << prefix.toStdString() << "\", limit " << limit;
    }
};

TEST_F(PrefixSearchTest, AgreesWithAFullScanOnAccentsCaseQuotesAndWildcards)
{
    const QStringList prefixes = {"c",  "C",   "città",  "CITTÀ", "cittÀ", "citta", "à",       "À",        "a", "an",
                                  "l'", "L'E", "l''",    "100%",  "100",   "10",    "a_",      "a%",       "_", "%",
                                  "k",  "K",   "\u212A", "s",     "ſ",     "STRA",  "σ",       "Σ",        "ς", "è",
                                  "È",  "e",   "😀",      " ",     "z",     "Lett",  "lettera", "letterax", "x", "'"};
    for (const QString& p : prefixes) {
        expectAgrees(p, 8);
        expectAgrees(p, 2);
    }
    // Beginnings of the stored values with their letters' case changed at random.
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        QString p = kValues[int(random() % unsigned(kValues.size()))];
        p.truncate(1 + int(random() % unsigned(qMax<qsizetype>(p.size(), 1))));
        for (QChar& c : p)
            c = random() % 2 ? c.toUpper() : c.toLower();
        if (!p.isEmpty())
            expectAgrees(p, 1 + int(random() % 8));
    }
}

TEST_F(PrefixSearchTest, ValuesStoredManyTimesComeOnceAndTheListStopsAtTheLimit)
{
    EXPECT_EQ(prefixValues(*db, "voci", "Testo", "l", 8).join("|"), "l''ente|L'Ente|l'ente|Lettera");
    EXPECT_EQ(prefixValues(*db, "voci", "Testo", "CITT", 3).join("|"), "citta|Cittadella|CITTÀ DI CASTELLO");
    EXPECT_TRUE(prefixValues(*db, "voci", "Testo", "", 8).isEmpty());
}

TEST_F(PrefixSearchTest, TheSearchMakesItsIndexAndSeeksIt)
{
    const QString index = prefixIndexName("voci", "Testo");
    EXPECT_TRUE(db->scalar("SELECT name FROM sqlite_master WHERE name = ?", {index}).isNull());
    prefixValues(*db, "voci", "Testo", "a", 8);
    EXPECT_EQ(db->scalar("SELECT name FROM sqlite_master WHERE name = ?", {index}).toString(), index);
    // Its seeks read the index, not the table.
    QStringList plan;
    EXPECT_TRUE(
        db->query("EXPLAIN QUERY PLAN SELECT Testo FROM voci WHERE Testo COLLATE NOCASE >= ?1 AND typeof(Testo) = "
                  "'text' ORDER BY Testo COLLATE NOCASE, Testo LIMIT 1",
                  {"a"},
                  [&](const Statement& st) {
                      plan << st.value(3).toString();
                      return true;
                  })
            .ok());
    ASSERT_EQ(plan.size(), 1);
    EXPECT_TRUE(plan.first().contains(index)) << plan.first().toStdString();
    EXPECT_FALSE(plan.first().startsWith("SCAN")) << plan.first().toStdString();
    // The index uses nothing a plain SQLCipher shell lacks.
    EXPECT_FALSE(db->scalar("SELECT sql FROM sqlite_master WHERE name = ?", {index}).toString().contains("like"));
}

TEST_F(PrefixSearchTest, InsideATransactionTheTableIsScannedAndNoIndexMade)
{
    ASSERT_TRUE(db->begin().ok());
    EXPECT_EQ(prefixValues(*db, "voci", "Testo", "àn", 8), scan("àn", 8));
    ASSERT_TRUE(db->rollback().ok());
    EXPECT_TRUE(
        db->scalar("SELECT name FROM sqlite_master WHERE name = ?", {prefixIndexName("voci", "Testo")}).isNull());
}

TEST_F(PrefixSearchTest, AnotherConnectionsCommitIsFoundAtTheNextSearch)
{
    prefixValues(*db, "voci", "Testo", "q", 8);
    DbResult err;
    auto other = Connection::open(dir.filePath("prova.mdb"), "chiave", &err);
    ASSERT_TRUE(other) << err.message.toStdString();
    ASSERT_TRUE(other->exec("INSERT INTO voci (Testo) VALUES ('Quaderno nuovo')").ok());
    EXPECT_EQ(prefixValues(*db, "voci", "Testo", "QUAD", 8), QStringList({"Quaderno nuovo"}));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The archive's columns: a table of distinct values kept by triggers, or an index on the first
// characters of the value.

namespace {

/// Characters the subject's prefix index holds.
int keyChars()
{
    return archiveColumn("entrata", "Oggetto").prefixChars;
}

/// Values that share their first characters (as many as a prefix index holds, and fewer), differ
/// in case or accent past them, are longer than a text block, or begin with wide characters.
QStringList archiveValues()
{
    const QString stem = "richiesta di rilascio certificato di destinazione urbanistica";
    QStringList values = kValues;
    for (int chars : {keyChars(), kValueKeyChars}) {
        for (int cut : {-2, -1, 0, 1}) {
            const QString v = stem.left(chars + cut);
            values << v << v.toUpper() << v + "à" << v + "À" << v + "%_'";
        }
    }
    values << QString("😀").repeated(keyChars()) + "x" << QString("😀").repeated(keyChars() - 1) + "Y"
           << QString(70000, QChar(u'è')) << QString(70000, QChar(u'è')) + "x";
    return values;
}

/// SQL on the archive through SQLite alone, as another SQLCipher tool writes it.
class OtherTool
{
public:
    explicit OtherTool(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_key(m_db, test::kPassword, int(qstrlen(test::kPassword)));
        sqlite3_exec(m_db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~OtherTool() { sqlite3_close_v2(m_db); }

    bool exec(const char* sql, const QStringList& texts = {})
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) != SQLITE_OK)
            return false;
        for (int i = 0; i < texts.size(); ++i) {
            const QByteArray t = texts[i].toUtf8();
            sqlite3_bind_text(st, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* m_db = nullptr;
};

class ArchivePrefixSearchTest : public test::ArchiveTest
{
protected:
    /// Every value in Oggetto and P_iva_CF (prefix indexes) and Nominativo (the table of values),
    /// twice over and beside Null, on entries numbered from first.
    void fill(int first)
    {
        ASSERT_TRUE(db->begin().ok());
        int number = first;
        for (int copy = 0; copy < 2; ++copy) {
            for (const QString& v : archiveValues() + QStringList {QString()}) {
                const QVariant value = v.isNull() ? QVariant() : QVariant(v);
                ASSERT_TRUE(
                    db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (?, 'E', ?)", {number, value})
                        .ok());
                ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo, P_iva_CF) VALUES (?, 'E', ?, "
                                     "?)",
                                     {number++, value, value})
                                .ok());
            }
        }
        ASSERT_TRUE(db->commit().ok());
    }

    /// The archive as the program made it before the table of values and the prefix indexes.
    void dropValueStructures()
    {
        ASSERT_TRUE(db->exec("DROP TRIGGER sys_voci_entrata_ins; DROP TRIGGER sys_voci_entrata_del; "
                             "DROP TRIGGER sys_voci_entrata_upd; DROP TRIGGER sys_voci_mittenti_ins; "
                             "DROP TRIGGER sys_voci_mittenti_del; DROP TRIGGER sys_voci_mittenti_upd; DROP TABLE "
                             "sys_voci; DROP INDEX entrata_oggetto_inizio; DROP INDEX mittenti_p_iva_cf_inizio")
                        .ok());
    }

    QStringList scan(const QString& table, const QString& field, const QString& prefix, int limit)
    {
        QStringList values;
        // The beginning of a value is enough for the short prefixes asked here: long values are
        // not made into UTF-16 whole for every row.
        const DbResult r = db->query(QString("SELECT DISTINCT %1 FROM %2 WHERE substr(%1, 1, 50) LIKE ? ESCAPE '\\' "
                                             "AND typeof(%1) = 'text' ORDER BY %1 COLLATE NOCASE, %1 LIMIT ?")
                                         .arg(field, table),
                                     {escapeLikeText(prefix) + "%", limit}, [&](const Statement& st) {
                                         values << st.value(0).toString();
                                         return true;
                                     });
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        return values;
    }

    /// Both columns answer as a scan does, for the beginnings of every value in changed case.
    void expectAgreesWithScan()
    {
        std::mt19937 random(11);
        QStringList prefixes = {"r", "RICH", "è", "È", "l'", "100%", "a_", "%", "_"};
        const int fixed = prefixes.size();
        for (const QString& v : archiveValues()) {
            for (int n : {1, keyChars() + 1, kValueKeyChars + 1}) {
                QString p = v.left(n);
                for (QChar& c : p)
                    c = random() % 2 ? c.toUpper() : c.toLower();
                if (!p.isEmpty() && !prefixes.contains(p))
                    prefixes << p;
            }
        }
        for (int i = 0; i < prefixes.size(); ++i) {
            const QString& p = prefixes[i];
            for (const auto& [table, field] : std::vector<std::pair<QString, QString>> {
                     {"entrata", "Oggetto"}, {"Mittenti", "Nominativo"}, {"Mittenti", "P_iva_CF"}}) {
                for (int limit : i < fixed ? std::vector<int> {8, 2} : std::vector<int> {8}) {
                    DbResult err;
                    const QStringList got = prefixValues(*db, table, field, p, limit, &err);
                    ASSERT_TRUE(err.ok()) << err.message.toStdString();
                    const QStringList expected = scan(table, field, p, limit);
                    ASSERT_TRUE(got == expected) // the long values whole
                        << field.toStdString() << " \"" << p.left(40).toStdString()
                        << "\": " << got.join('|').left(300).toStdString() << " instead of "
                        << expected.join('|').left(300).toStdString();
                }
            }
        }
    }

    /// The table of values holds each distinct text of a served column once, with its rows' count.
    void expectCountsMatchRows()
    {
        for (const auto& [table, field] :
             std::vector<std::pair<QString, QString>> {{"entrata", "Note"}, {"Mittenti", "Nominativo"}}) {
            QStringList counted, held;
            ASSERT_TRUE(db->query(QString("SELECT %1, count(*) FROM %2 WHERE typeof(%1) = 'text' GROUP BY %1 "
                                          "ORDER BY %1")
                                      .arg(field, table),
                                  {},
                                  [&](const Statement& st) {
                                      counted << st.value(0).toString().left(20) + "=" + st.value(1).toString();
                                      return true;
                                  })
                            .ok());
            ASSERT_TRUE(db->query("SELECT inizio || resto, volte FROM sys_voci WHERE campo = ? ORDER BY 1", {field},
                                  [&](const Statement& st) {
                                      held << st.value(0).toString().left(20) + "=" + st.value(1).toString();
                                      return true;
                                  })
                            .ok());
            EXPECT_EQ(held, counted) << field.toStdString();
        }
    }
};

TEST_F(ArchivePrefixSearchTest, TheArchivesStructuresAnswerAsAScanAndAreSeeked)
{
    fill(1);
    ASSERT_TRUE(archiveServesValues(*db, "entrata", "Oggetto"));
    ASSERT_TRUE(archiveServesValues(*db, "Mittenti", "Nominativo"));
    expectAgreesWithScan();
    expectCountsMatchRows();
    // None reads its table whole.
    const QString key = archivePrefixKeySql("Oggetto", keyChars());
    const QString whole = archiveShortValueSql("Oggetto", keyChars());
    for (const auto& [sql, params] : std::vector<std::pair<QString, QVariantList>> {
             {"SELECT inizio FROM sys_voci WHERE campo = ?2 AND inizio COLLATE NOCASE >= ?1 ORDER BY inizio COLLATE "
              "NOCASE LIMIT 1",
              {"a", "Nominativo"}},
             {QString("SELECT %1 FROM entrata WHERE Oggetto IS NOT NULL AND %1 >= lower(?1) ORDER BY %1 LIMIT 1")
                  .arg(key),
              {"a"}},
             {QString("SELECT %2 FROM entrata WHERE Oggetto IS NOT NULL AND %1 = ?1 AND %2 > ?2 ORDER BY %2 LIMIT 1")
                  .arg(key, whole),
              {"a", "a"}},
             {"SELECT DISTINCT P_iva_CF FROM Mittenti WHERE P_iva_CF IS NOT NULL AND P_iva_CF COLLATE NOCASE = ?1",
              {"a"}}}) {
        QStringList plan;
        ASSERT_TRUE(db->query("EXPLAIN QUERY PLAN " + sql, params, [&](const Statement& st) {
                          plan << st.value(3).toString();
                          return true;
                      }).ok());
        EXPECT_TRUE(plan.first().startsWith("SEARCH")) << plan.join("; ").toStdString();
    }
}

TEST_F(ArchivePrefixSearchTest, RowsWrittenByAnotherToolKeepTheValuesRight)
{
    fill(1);
    {
        OtherTool tool(program.archive());
        ASSERT_TRUE(tool.exec("UPDATE Mittenti SET Nominativo = upper(Nominativo) WHERE Quadernolo % 3 = 0"));
        ASSERT_TRUE(tool.exec("UPDATE entrata SET Note = 'Consegnata a mano', Oggetto = ?1 WHERE Progressivo % 4 = 1",
                              {"richiesta di rilascio nuova"}));
        ASSERT_TRUE(tool.exec("DELETE FROM Mittenti WHERE Quadernolo % 5 = 0"));
        ASSERT_TRUE(tool.exec("DELETE FROM entrata WHERE Progressivo % 7 = 0"));
        ASSERT_TRUE(
            tool.exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (1000, 'U', ?1)", {"L'Ente nuovo"}));
        ASSERT_TRUE(tool.exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (1001, 'U', 12345)"));
        ASSERT_TRUE(tool.exec("UPDATE Mittenti SET Nominativo = NULL WHERE Quadernolo = 2"));
        ASSERT_TRUE(tool.exec("UPDATE entrata SET Note = NULL WHERE Progressivo = 5"));
    }
    expectAgreesWithScan();
    expectCountsMatchRows();
    EXPECT_EQ(prefixValues(*db, "Mittenti", "Nominativo", "l'ente n", 8), QStringList({"L'Ente nuovo"}));
    EXPECT_EQ(prefixValues(*db, "Mittenti", "Nominativo", "123", 8), QStringList({"12345"}));
    // The last row of a value takes the value from the list.
    ASSERT_TRUE(db->exec("DELETE FROM Mittenti WHERE Nominativo = 'L''Ente nuovo'").ok());
    EXPECT_TRUE(prefixValues(*db, "Mittenti", "Nominativo", "l'ente n", 8).isEmpty());
    expectCountsMatchRows();
}

TEST_F(ArchivePrefixSearchTest, AnArchiveMadeBeforeAnswersTheSameAndIsUpgradedInOneGo)
{
    // An archive as the program made it before: an index of the whole value per column.
    dropValueStructures();
    ASSERT_TRUE(db->exec(prefixIndexSql("entrata", "Oggetto")).ok());
    fill(1);
    ASSERT_TRUE(db->exec("UPDATE entrata SET Note = Oggetto WHERE Progressivo % 2 = 0").ok());
    expectAgreesWithScan(); // the old index, and a scan where there is none: no index is made
    EXPECT_TRUE(
        db->scalar("SELECT 1 FROM sqlite_master WHERE name = ?", {prefixIndexName("Mittenti", "Nominativo")}).isNull());

    // Opening the archive upgrades it on a worker thread.
    ensureArchiveIndexes(*db);
    waitForArchiveUpgrades();
    ASSERT_TRUE(archiveServesValues(*db, "entrata", "Oggetto"));
    ASSERT_TRUE(archiveServesValues(*db, "Mittenti", "Nominativo"));
    EXPECT_TRUE(db->scalar("SELECT 1 FROM sqlite_master WHERE name LIKE '%prefisso'").isNull());
    expectAgreesWithScan();
    expectCountsMatchRows();

    // A structure another tool removed: the next opening makes them again whole.
    ASSERT_TRUE(db->exec("DROP TRIGGER sys_voci_mittenti_del").ok());
    ASSERT_TRUE(db->exec("DELETE FROM Mittenti WHERE Quadernolo < 30").ok());
    EXPECT_FALSE(archiveServesValues(*db, "Mittenti", "Nominativo"));
    ASSERT_TRUE(upgradeArchive(*db).ok());
    expectCountsMatchRows();
    fill(500); // and the triggers count on
    expectCountsMatchRows();

    // An index of the whole value that a station running the program made before adds again goes.
    ASSERT_TRUE(db->exec(prefixIndexSql("Mittenti", "Nominativo")).ok());
    ASSERT_TRUE(upgradeArchive(*db).ok());
    EXPECT_TRUE(db->scalar("SELECT 1 FROM sqlite_master WHERE name LIKE '%prefisso'").isNull());
    expectCountsMatchRows();
}

TEST_F(ArchivePrefixSearchTest, AnUpgradeThatCannotWriteLeavesTheArchiveAsItWas)
{
    dropValueStructures();
    fill(1);
    OtherTool station(program.archive());
    ASSERT_TRUE(station.exec("BEGIN IMMEDIATE"));
    ASSERT_TRUE(station.exec("INSERT INTO entrata (Progressivo, Oggetto) VALUES (9999, 'altra postazione')"));
    sqlite3_busy_timeout(db->handle(), 10);
    EXPECT_FALSE(upgradeArchive(*db).ok());
    ASSERT_TRUE(station.exec("COMMIT"));
    EXPECT_TRUE(db->scalar("SELECT 1 FROM sqlite_master WHERE name = 'sys_voci'").isNull());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 2 * (archiveValues().size() + 1) + 1);
    sqlite3_busy_timeout(db->handle(), 5000);
    ASSERT_TRUE(upgradeArchive(*db).ok());
    expectAgreesWithScan();
}

// An upgrade killed part-way: a copy of this test program, started with QUAD_UPGRADE_ARCHIVE
// set, runs ArchiveUpgradeWorker.Run (skipped otherwise) and stops while it commits.
TEST(ArchiveUpgradeWorker, Run)
{
    const QString archive = qEnvironmentVariable("QUAD_UPGRADE_ARCHIVE");
    if (archive.isEmpty())
        GTEST_SKIP() << "started by ArchivePrefixSearchTest.AnUpgradeCutShortLeavesTheArchiveAsItWas";
    // Its journal whole, some of the archive's pages written.
    int written = 0;
    test::FullDisk midCommit(archive, [&written](const QString& path) {
        if (!path.endsWith("-journal") && ++written == 3)
            test::waitToBeKilled();
    });
    DbResult err;
    auto db = Connection::open(archive, test::kPassword, &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    (void)upgradeArchive(*db);
    FAIL() << "the upgrade was to be stopped while it commits";
}

TEST_F(ArchivePrefixSearchTest, AnUpgradeCutShortLeavesTheArchiveAsItWas)
{
    dropValueStructures();
    ASSERT_TRUE(db->exec(prefixIndexSql("entrata", "Oggetto")).ok());
    fill(1);
    auto schema = [this] {
        QStringList names;
        EXPECT_TRUE(db->query("SELECT type || ' ' || name FROM sqlite_master ORDER BY 1", {}, [&](const Statement& st) {
                          names << st.value(0).toString();
                          return true;
                      }).ok());
        return names.join("; ").toStdString();
    };
    const std::string before = schema();
    const int rows = db->scalar("SELECT count(*) FROM Mittenti").toInt();

    {
        test::FullDisk full(program.archive());
        DbResult err;
        auto station = Connection::open(program.archive(), test::kPassword, &err);
        ASSERT_TRUE(station) << err.message.toStdString();
        EXPECT_FALSE(upgradeArchive(*station).ok());
    }
    EXPECT_EQ(schema(), before);

    QProcess worker;
    QProcessEnvironment env;
    env.insert("QUAD_UPGRADE_ARCHIVE", program.archive());
    QByteArray output;
    ASSERT_TRUE(test::startWorkerUntilReady(worker, "ArchiveUpgradeWorker.Run", env, &output)) << output.toStdString();
    worker.kill();
    ASSERT_TRUE(worker.waitForFinished(10000));
    EXPECT_TRUE(QFileInfo::exists(program.archive() + "-journal"));
    EXPECT_EQ(schema(), before);
    EXPECT_EQ(db->scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Mittenti").toInt(), rows);

    // The next opening upgrades it whole.
    ASSERT_TRUE(upgradeArchive(*db).ok());
    EXPECT_TRUE(archiveServesValues(*db, "Mittenti", "Nominativo"));
    expectCountsMatchRows();
}

} // namespace
