// Filter, find, sort and clone agree with SQLite running the same predicate on the same rows.

#include "recordset.h"
#include "temp_program.h"

#include <QDate>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace quad;

namespace {

const QString kFrom = QStringLiteral(" FROM entrata INNER JOIN Mittenti ON entrata.Progressivo = Mittenti.Quadernolo ");
const QString kRegister
    = QStringLiteral("SELECT entrata.*, Mittenti.*") + kFrom + QStringLiteral("order by progressivo");

struct Predicate
{
    const char* criteria; ///< as the program writes it
    const char* sql; ///< the same condition in SQL
};

const Predicate kPredicates[] = {
    {"Oggetto like '%rossi%'", "Oggetto LIKE '%rossi%'"},
    {"Oggetto LIKE '*ufficio*'", "Oggetto LIKE '%ufficio%'"},
    {"Oggetto like 'nota%'", "Oggetto LIKE 'nota%'"},
    {"Oggetto = 'l''ente'", "lower(Oggetto) = 'l''ente'"},
    {"Progressivo >= 50 AND Progressivo <= 120", "Progressivo >= 50 AND Progressivo <= 120"},
    {"Progressivo= 120", "Progressivo = 120"},
    {"Data_quadernolo >= #01/01/2005# and Data_quadernolo <= #31/12/2010#",
     "Data_quadernolo >= '2005-01-01' AND Data_quadernolo <= '2010-12-31'"},
    {"Data_quadernolo < #1/6/2003#", "Data_quadernolo < '2003-06-01'"},
    {"Annullato = True", "Annullato = -1"},
    {"sys_consegnato <> -1 and Ufficio_competente = 'Ufficio A'",
     "sys_consegnato <> -1 AND lower(Ufficio_competente) = 'ufficio a'"},
    {"entrata.Tipo like 'U%' OR Numero_documenti > 3", "entrata.Tipo = 'U' OR Numero_documenti > 3"},
    {"Numero_documenti <> 2", "Numero_documenti <> 2"},
    {"Nominativo like 'b%'", "Nominativo LIKE 'b%'"},
    {"(Progressivo < 100 OR Progressivo > 250) AND Oggetto like '%a%'",
     "(Progressivo < 100 OR Progressivo > 250) AND Oggetto LIKE '%a%'"},
};

class RecordsetQueryTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        program = new test::TempProgram;
        DbResult err;
        db = Connection::open(program->archive(), test::kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        seed();
    }
    static void TearDownTestSuite()
    {
        db.reset();
        delete program;
    }

    /// A few hundred random entries (fixed seed), some with two correspondents.
    static void seed()
    {
        std::mt19937 random(20240611);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        const QStringList words = {"nota",  "richiesta", "rossi", "ufficio", "l'ente", "Comune", "verbale",
                                   "ROSSI", "Nota",      "atto",  "prot.",   "bando",  "gara",   "esito"};
        const QStringList names = {"bianchi", "Rossi", "Bruno", "verdi", "Bassi", "neri", "Ferrari"};
        const QStringList offices = {"Ufficio A", "Ufficio B", "ufficio a"};
        ASSERT_TRUE(db->begin().ok());
        for (int n = 1; n <= 300; ++n) {
            QString oggetto;
            const int count = 1 + pick(4);
            for (int w = 0; w < count; ++w)
                oggetto += (w ? " " : "") + words[pick(words.size())];
            if (pick(10) == 0)
                oggetto = "l'ente";
            const QVariant date
                = pick(12) == 0 ? QVariant() : QVariant(QDate(2000, 1, 1).addDays(pick(7300)).toString("yyyy-MM-dd"));
            const QVariant documents = pick(8) == 0 ? QVariant() : QVariant(pick(6));
            const QVariant subject = pick(15) == 0 ? QVariant() : QVariant(oggetto);
            const QString tipo = pick(2) ? "E" : "U";
            ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, Oggetto, "
                                 "Numero_documenti, Annullato, sys_consegnato, Ufficio_competente) "
                                 "VALUES (?, ?, ?, 2004, ?, ?, ?, ?, ?)",
                                 {n, tipo, date, subject, documents, pick(5) == 0 ? -1 : 0, pick(3) == 0 ? -1 : 0,
                                  offices[pick(offices.size())]})
                            .ok());
            const int correspondents = pick(4) == 0 ? 2 : 1;
            for (int c = 0; c < correspondents; ++c)
                ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, ?, ?)",
                                     {n, tipo, names[pick(names.size())]})
                                .ok());
        }
        ASSERT_TRUE(db->commit().ok());
    }

    /// Identity of a register row: entry number and correspondent row id.
    static QList<QPair<qint64, qint64>> sqlRows(const QString& where, const QString& order = "")
    {
        QList<QPair<qint64, qint64>> rows;
        const QString sql = "SELECT entrata.Progressivo, Mittenti.rowid" + kFrom
            + (where.isEmpty() ? "" : "WHERE " + where) + (order.isEmpty() ? "" : " ORDER BY " + order);
        const DbResult r = db->query(sql, {}, [&](const Statement& st) {
            rows.append({st.value(0).toLongLong(), st.value(1).toLongLong()});
            return true;
        });
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        return rows;
    }

    /// The same identities from the recordset's view, with the correspondent's row id looked up
    /// by its name and number (the register query does not carry row ids).
    static QList<QPair<qint64, qint64>> viewRows(Recordset& rs)
    {
        QList<QPair<qint64, qint64>> rows;
        for (int i = 0; i < rs.recordCount(); ++i) {
            const qint64 number = rs.valueAt(i, 0).toLongLong();
            rows.append({number, mittenteId(rs.bookmarkAt(i))});
        }
        return rows;
    }

    /// Bookmarks are the row's ordinal in the query order: map them to Mittenti row ids once.
    static qint64 mittenteId(Bookmark mark)
    {
        if (ordinals.isEmpty()) {
            EXPECT_TRUE(
                db->query("SELECT Mittenti.rowid" + kFrom + "order by progressivo", {}, [](const Statement& st) {
                      ordinals.append(st.value(0).toLongLong());
                      return true;
                  }).ok());
        }
        return ordinals.value(int(mark - 1), -1);
    }

    static test::TempProgram* program;
    static std::shared_ptr<Connection> db;
    static QList<qint64> ordinals;
};

test::TempProgram* RecordsetQueryTest::program = nullptr;
std::shared_ptr<Connection> RecordsetQueryTest::db;
QList<qint64> RecordsetQueryTest::ordinals;

template <typename T> QList<T> sorted(QList<T> list)
{
    std::sort(list.begin(), list.end());
    return list;
}

TEST_F(RecordsetQueryTest, FilterMatchesSql)
{
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister).ok());
    for (const Predicate& p : kPredicates) {
        SCOPED_TRACE(p.criteria);
        const DbResult r = rs.setFilter(p.criteria);
        ASSERT_TRUE(r.ok()) << r.message.toStdString();
        const auto expected = sqlRows(p.sql);
        EXPECT_GT(expected.size(), 0);
        EXPECT_EQ(rs.recordCount(), expected.size());
        EXPECT_EQ(sorted(viewRows(rs)), sorted(expected));
        EXPECT_EQ(rs.absolutePosition(), 1);
    }
}

TEST_F(RecordsetQueryTest, FindWalksTheSameRowsInViewOrder)
{
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister).ok());
    auto walker = rs.clone();
    for (const Predicate& p : kPredicates) {
        if (QString(p.criteria).contains(" AND ", Qt::CaseInsensitive)
            || QString(p.criteria).contains(" OR ", Qt::CaseInsensitive))
            continue;
        SCOPED_TRACE(p.criteria);
        ASSERT_TRUE(rs.setFilter(p.criteria).ok());
        QList<Bookmark> expected;
        for (int i = 0; i < rs.recordCount(); ++i)
            expected << rs.bookmarkAt(i);

        QList<Bookmark> forward;
        DbResult err;
        bool found = walker->find(p.criteria, 0, SearchDirection::Forward, kBookmarkFirst, &err);
        ASSERT_TRUE(err.ok()) << err.message.toStdString();
        while (found) {
            forward << walker->bookmark();
            found = walker->find(p.criteria, 1);
        }
        EXPECT_TRUE(walker->eof());
        EXPECT_EQ(forward, expected);

        QList<Bookmark> backward;
        found = walker->find(p.criteria, 0, SearchDirection::Backward, kBookmarkLast);
        while (found) {
            backward.prepend(walker->bookmark());
            found = walker->find(p.criteria, 1, SearchDirection::Backward);
        }
        EXPECT_TRUE(walker->bof());
        EXPECT_EQ(backward, expected);
    }
}

TEST_F(RecordsetQueryTest, SortMatchesSqlOrderBy)
{
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister).ok());
    struct Order
    {
        const char* sort;
        const char* sql;
        int column;
    };
    const Order orders[] = {
        {"Oggetto", "Oggetto COLLATE NOCASE", 8},
        {"Oggetto DESC", "Oggetto COLLATE NOCASE DESC", 8},
        {"Data_quadernolo DESC, Progressivo", "Data_quadernolo DESC, Progressivo", 2},
        {"[Numero_documenti] asc, Progressivo desc", "Numero_documenti, Progressivo DESC", 0},
        {"Nominativo, entrata.Progressivo", "Nominativo COLLATE NOCASE, entrata.Progressivo", 0},
    };
    for (const Order& o : orders) {
        SCOPED_TRACE(o.sort);
        ASSERT_TRUE(rs.setSort(o.sort).ok());
        QStringList ours;
        for (int i = 0; i < rs.recordCount(); ++i)
            ours << QString("%1/%2").arg(rs.valueAt(i, 0).toString(), rs.valueAt(i, o.column).toString()).toLower();
        QStringList theirs;
        EXPECT_TRUE(db->query(QString("SELECT entrata.Progressivo, %1%2ORDER BY %3")
                                  .arg(o.column == 8       ? "Oggetto"
                                           : o.column == 2 ? "Data_quadernolo"
                                                           : "entrata.Progressivo",
                                       kFrom, o.sql),
                              {},
                              [&](const Statement& st) {
                                  QVariant v = st.value(1);
                                  if (o.column == 2 && !v.isNull())
                                      v = QDate::fromString(v.toString(), "yyyy-MM-dd");
                                  theirs << QString("%1/%2").arg(st.value(0).toString(), v.toString()).toLower();
                                  return true;
                              })
                        .ok());
        if (QString(o.sort).startsWith("Oggetto")) {
            // Equal subjects may come in either order: compare the subjects alone.
            for (QString& s : ours)
                s = s.section('/', 1);
            for (QString& s : theirs)
                s = s.section('/', 1);
        }
        EXPECT_EQ(ours, theirs);
    }
}

TEST_F(RecordsetQueryTest, SortedFilteredViewAndClonesAgree)
{
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister).ok());
    ASSERT_TRUE(rs.setSort("Progressivo DESC").ok());
    auto clone = rs.clone();
    EXPECT_EQ(clone->recordCount(), rs.recordCount());
    for (const Predicate& p : kPredicates) {
        SCOPED_TRACE(p.criteria);
        ASSERT_TRUE(rs.setFilter(p.criteria).ok());
        ASSERT_TRUE(clone->setFilter(p.criteria).ok());
        QList<qint64> numbers;
        for (int i = 0; i < rs.recordCount(); ++i)
            numbers << rs.valueAt(i, 0).toLongLong();
        EXPECT_TRUE(std::is_sorted(numbers.rbegin(), numbers.rend()));
        EXPECT_EQ(sorted(viewRows(rs)), sorted(sqlRows(p.sql)));
        EXPECT_EQ(sorted(viewRows(*clone)), sorted(viewRows(rs)));
    }
    clone->clearFilter();
    EXPECT_EQ(clone->recordCount(), sqlRows("").size());
    EXPECT_TRUE(rs.hasFilter());
}

TEST_F(RecordsetQueryTest, PendingChangesAreFilteredAndFoundAsTheyStand)
{
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister).ok());
    rs.setAbsolutePosition(10);
    ASSERT_TRUE(rs.setValue("Oggetto", "unico zebra").ok());
    ASSERT_TRUE(rs.setValue("Data_quadernolo", QDate(1990, 1, 1)).ok());
    rs.addNew();
    ASSERT_TRUE(rs.setValue("Oggetto", "altra Zebra").ok());
    ASSERT_TRUE(rs.setFilter("Oggetto like '%zebra%'").ok());
    EXPECT_EQ(rs.recordCount(), 2);
    ASSERT_TRUE(rs.setFilter("Data_quadernolo < #01/01/2000#").ok());
    EXPECT_EQ(rs.recordCount(), 1);
    rs.clearFilter();
    EXPECT_TRUE(rs.find("Oggetto = 'ALTRA ZEBRA'", 0, SearchDirection::Forward, kBookmarkFirst));
    EXPECT_EQ(rs.rowStatus(), RowStatus::New);
    ASSERT_TRUE(rs.setSort("Oggetto").ok());
    rs.cancelBatch();
}

} // namespace
