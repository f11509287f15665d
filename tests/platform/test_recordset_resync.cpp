// Reading one entry's rows again after it was written leaves the register as a re-read of the
// whole register would: same rows, same order under every filter and sort, the current record
// kept, and the grid told about that entry's rows only.

#include "archive_test.h"
#include "recordset_model.h"
#include "temp_program.h"

#include "register_query.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

#include <random>

using namespace quad;

namespace {

const QStringList kFilters = {QString(), QStringLiteral("Oggetto like '%rossi%'"), QStringLiteral("Note like 'vista%'"),
                              QStringLiteral("Progressivo >= 20 AND Progressivo <= 70"),
                              QStringLiteral("Nominativo like 'b%' OR Annullato = True")};
const QStringList kSorts = {QString(), QStringLiteral("Oggetto"), QStringLiteral("Note DESC, Progressivo"),
                            QStringLiteral("Nominativo, Oggetto DESC"), QStringLiteral("Annullato")};
const QStringList kWords = {"rossi", "Rossi", "vista", "atto", "àncora", "Èlite", "l'ente", "100%", "a_b"};

class RecordsetResyncTest : public test::ArchiveTest
{
protected:
    std::mt19937 random {19};

    int pick(int n) { return int(random() % unsigned(n)); }
    QString word() { return kWords[pick(kWords.size())]; }

    void SetUp() override
    {
        ArchiveTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(db->begin().ok());
        // Numbers with gaps, so that entries can also appear between others.
        for (int n = 2; n <= 120; n += 2)
            addEntry(n, 1 + pick(3));
        ASSERT_TRUE(db->commit().ok());
    }

    void addEntry(int n, int rows)
    {
        ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Oggetto, Note, Annullato) "
                             "VALUES (?, ?, '2010-05-04', ?, ?, 0)",
                             {n, n % 3 ? "E" : "U", word() + " " + word(), pick(3) ? QVariant(word()) : QVariant()})
                        .ok());
        for (int r = 0; r < rows; ++r)
            addRow(n);
    }

    void addRow(int n)
    {
        ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, ?, ?)",
                             {n, n % 3 ? "E" : "U", pick(2) ? "bianchi " + word() : "Verdi " + word()})
                        .ok());
    }

    QList<qint64> numbers()
    {
        QList<qint64> all;
        EXPECT_TRUE(db->query("SELECT Progressivo FROM entrata", {}, [&](const Statement& st) {
                          all << st.value(0).toLongLong();
                          return true;
                      }).ok());
        return all;
    }

    /// One change to entry n in the archive, as the program's saves make them.
    void change(qint64 n)
    {
        switch (pick(6)) {
        case 0:
            ASSERT_TRUE(db->exec("UPDATE entrata SET Note = ? WHERE Progressivo = ?", {word(), n}).ok());
            break;
        case 1:
            ASSERT_TRUE(db->exec("UPDATE entrata SET Oggetto = ?, Annullato = -1 WHERE Progressivo = ?",
                                 {word() + " " + word(), n})
                            .ok());
            break;
        case 2:
            addRow(int(n));
            break;
        case 3:
            ASSERT_TRUE(db->exec("DELETE FROM Mittenti WHERE rowid = (SELECT max(rowid) FROM Mittenti "
                                 "WHERE Quadernolo = ?)",
                                 {n})
                            .ok());
            break;
        case 4:
            ASSERT_TRUE(db->exec("UPDATE Mittenti SET Nominativo = ? WHERE rowid = (SELECT min(rowid) FROM "
                                 "Mittenti WHERE Quadernolo = ?)",
                                 {"bianchi " + word(), n})
                            .ok());
            break;
        default:
            break; // saved with nothing changed
        }
    }

    static void expectSame(const Recordset& got, const Recordset& full, const char* when)
    {
        ASSERT_EQ(got.recordCount(), full.recordCount()) << when;
        for (int r = 0; r < full.recordCount(); ++r) {
            for (int c = 0; c < full.fieldCount(); ++c)
                ASSERT_EQ(got.valueAt(r, c), full.valueAt(r, c)) << when << " row " << r << " column " << c;
        }
    }
};

TEST_F(RecordsetResyncTest, AfterEverySaveTheRegisterEqualsAFullReRead)
{
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    RecordsetModel model(&rs);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    for (int step = 0; step < 300; ++step) {
        if (pick(4) == 0) {
            ASSERT_TRUE(rs.setFilter(kFilters[pick(kFilters.size())]).ok());
        }
        if (pick(4) == 0) {
            ASSERT_TRUE(rs.setSort(kSorts[pick(kSorts.size())]).ok());
        }
        if (rs.recordCount() > 0)
            rs.setAbsolutePosition(1 + pick(rs.recordCount()));

        // An existing entry changed, or a new one (after the last or in a gap).
        const QList<qint64> known = numbers();
        qint64 n;
        if (pick(5) == 0) {
            n = pick(3) == 0 ? 1 + 2 * pick(60) : *std::max_element(known.begin(), known.end()) + 1;
            if (!known.contains(n))
                addEntry(int(n), 2);
            else
                change(n);
        } else {
            n = known[pick(known.size())];
            // The clerk's edit is pending on the entry's row when it is written.
            if (rs.recordCount() > 0 && pick(3) == 0 && rs.value("Progressivo").toLongLong() == n) {
                ASSERT_TRUE(rs.setValue("Note", "in sospeso").ok());
            }
            change(n);
        }

        // A new entry being typed is dropped before the one written is read back, as the
        // confirmation does.
        if (pick(4) == 0) {
            rs.addNew();
            ASSERT_TRUE(rs.setValue("Oggetto", "in corso").ok());
            rs.cancelBatch();
            if (rs.recordCount() > 0)
                rs.setAbsolutePosition(1 + pick(rs.recordCount()));
        }

        const Bookmark current = rs.bookmark();
        const qint64 currentNumber = current ? rs.value("Progressivo").toLongLong() : 0;
        QList<int> told;
        auto record = [&](int first, int last) {
            for (int i = first; i <= last; ++i)
                told << i;
        };
        const auto c1 = QObject::connect(&rs, &Recordset::rowChanged, [&](int row) { record(row, row); });
        const auto c2 = QObject::connect(&rs, &Recordset::rowsInserted, record);
        int resets = 0;
        const auto c3 = QObject::connect(&rs, &Recordset::modelReset, [&] { ++resets; });

        ASSERT_TRUE(refreshRegisterEntry(rs, n).ok()) << "step " << step;

        QObject::disconnect(c1);
        QObject::disconnect(c2);
        QObject::disconnect(c3);
        EXPECT_EQ(resets, 0);
        // The grid heard of the entry's rows only.
        for (int i : told)
            EXPECT_EQ(rs.valueAt(i, 0).toLongLong(), n) << "step " << step;
        // The current record stays when it is still shown.
        if (current && rs.rowOfBookmark(current) >= 0) {
            EXPECT_EQ(rs.bookmark(), current) << "step " << step;
            EXPECT_EQ(rs.value("Progressivo").toLongLong(), currentNumber);
        }

        Recordset full;
        ASSERT_TRUE(full.open(db, registerQuery()).ok());
        if (!rs.sort().isEmpty()) {
            ASSERT_TRUE(full.setSort(rs.sort()).ok());
        }
        if (rs.hasFilter()) {
            ASSERT_TRUE(full.setFilter(rs.filterText()).ok());
        }
        expectSame(rs, full, qPrintable(QStringLiteral("step %1, entry %2").arg(step).arg(n)));
        // The grid shows what the recordset holds.
        ASSERT_EQ(model.rowCount(), rs.recordCount());
        if (rs.recordCount() > 0) {
            const int r = pick(rs.recordCount());
            EXPECT_EQ(model.data(model.index(r, 8)).toString(), Recordset::displayText(rs.valueAt(r, 8)));
        }
        if (HasFatalFailure())
            return;
    }
}

TEST_F(RecordsetResyncTest, TheSavedEntryStaysCurrentAndShowsItsNewValues)
{
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    ASSERT_TRUE(rs.setSort("Note DESC").ok());
    ASSERT_TRUE(rs.find("Progressivo = 40", 0, SearchDirection::Forward, kBookmarkFirst));
    ASSERT_TRUE(db->exec("UPDATE entrata SET Note = 'ùùù ultima' WHERE Progressivo = 40").ok());
    ASSERT_TRUE(refreshRegisterEntry(rs, 40).ok());
    EXPECT_EQ(rs.value("Progressivo").toLongLong(), 40);
    EXPECT_EQ(rs.value("Note").toString(), "ùùù ultima");
    // Sorted descending by note, the entry now comes first.
    EXPECT_EQ(rs.valueAt(0, 0).toLongLong(), 40);
}

TEST_F(RecordsetResyncTest, AnEntryWithNoRowsLeftLeavesTheRegister)
{
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    const int before = rs.recordCount();
    int rowsOf10 = 0;
    for (int r = 0; r < before; ++r)
        rowsOf10 += rs.valueAt(r, 0).toLongLong() == 10 ? 1 : 0;
    ASSERT_TRUE(rs.find("Progressivo = 10"));
    ASSERT_TRUE(db->exec("DELETE FROM Mittenti WHERE Quadernolo = 10").ok());
    ASSERT_TRUE(refreshRegisterEntry(rs, 10).ok());
    EXPECT_EQ(rs.recordCount(), before - rowsOf10);
    EXPECT_FALSE(rs.find("Progressivo = 10", 0, SearchDirection::Forward, kBookmarkFirst));
}

TEST_F(RecordsetResyncTest, AQueryOfOtherColumnsChangesNothing)
{
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    const int before = rs.recordCount();
    ASSERT_TRUE(db->exec("DELETE FROM Mittenti WHERE Quadernolo = 12").ok());
    EXPECT_FALSE(rs.resyncKey("Progressivo", 12, "SELECT * FROM entrata WHERE Progressivo = ?", {12}).ok());
    EXPECT_FALSE(rs.resyncKey("Progressivo", 12, "SELECT entrata.*, Mittenti.* FROM entrata, Mittenti WHERE", {}).ok());
    EXPECT_EQ(rs.recordCount(), before);
}

TEST_F(RecordsetResyncTest, AnotherStationsEntryAppearsAfterTheNextFullReRead)
{
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    const int before = rs.recordCount();
    DbResult err;
    // A second connection to the same file, as another station has.
    auto other = Connection::open(program.archive(), test::kPassword, &err);
    ASSERT_TRUE(other) << err.message.toStdString();
    ASSERT_TRUE(
        other->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (501, 'E', 'da altra postazione')").ok());
    ASSERT_TRUE(other->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (501, 'E', 'x')").ok());
    EXPECT_EQ(rs.recordCount(), before);
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_EQ(rs.recordCount(), before + 1);
    ASSERT_TRUE(rs.find("Oggetto = 'da altra postazione'"));
    EXPECT_EQ(rs.value("Progressivo").toLongLong(), 501);
}

} // namespace
