// The autocomplete's prefix search gives what a scan with the program's own LIKE gives: the
// same values in the same order, whatever the case, accents, quotes or wildcards typed, and it
// gets them from the index.

#include "prefix_search.h"
#include "sql_like.h"

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
