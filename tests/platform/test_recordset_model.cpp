#include "archive_test.h"
#include "recordset_model.h"
#include "temp_program.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "register_query.h"

#include <gtest/gtest.h>

using namespace quad;

namespace {

class RecordsetModelTest : public test::ArchiveTest
{
protected:
    Recordset rs;

    void SetUp() override
    {
        ArchiveTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(db->begin().ok());
        for (int n = 1; n <= 40; ++n) {
            ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Oggetto, Annullato) "
                                 "VALUES (?, ?, ?, ?, ?)",
                                 {n, n % 3 ? "E" : "U", QString("2004-03-%1").arg(1 + n % 28, 2, 10, QChar('0')),
                                  QString("oggetto %1").arg(n % 7), n % 5 == 0 ? -1 : 0})
                            .ok());
            ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, 'E', 'x')", {n}).ok());
        }
        ASSERT_TRUE(db->commit().ok());
        ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    }
};

TEST_F(RecordsetModelTest, FollowsTheRecordsetThroughEveryChange)
{
    RecordsetModel model(&rs);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 40);
    EXPECT_EQ(model.columnCount(), 32);

    ASSERT_TRUE(rs.setFilter("entrata.Tipo = 'U'").ok());
    EXPECT_EQ(model.rowCount(), 13);
    ASSERT_TRUE(rs.setSort("Oggetto DESC, Progressivo").ok());
    EXPECT_EQ(model.data(model.index(0, 8)).toString(), "oggetto 6");

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    rs.setCurrentRow(2);
    ASSERT_TRUE(rs.setValue("Oggetto", "zzz").ok());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex().row(), 2);
    EXPECT_EQ(model.data(model.index(2, 8)).toString(), "zzz");

    rs.addNew();
    EXPECT_EQ(model.rowCount(), 14);
    rs.moveFirst();
    ASSERT_TRUE(rs.deleteCurrent().ok());
    EXPECT_EQ(model.rowCount(), 13);
    rs.cancelBatch();
    EXPECT_EQ(model.rowCount(), 13);

    auto clone = rs.clone();
    clone->addNew();
    EXPECT_EQ(model.rowCount(), 13); // filtered: the clone's new row does not show here
    clone->cancelBatch();

    rs.clearFilter();
    EXPECT_EQ(model.rowCount(), 40);
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_EQ(model.rowCount(), 40);
    rs.close();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
}

TEST_F(RecordsetModelTest, ShowsValuesAsTheProgramDoesAndKeepsCaptions)
{
    RecordsetModel model(&rs);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.data(model.index(0, 2)).toString(), "02/03/2004");
    EXPECT_EQ(model.data(model.index(4, 14)).toString(), "Vero");
    EXPECT_EQ(model.data(model.index(0, 0), Qt::EditRole), QVariant(qint64(1)));
    EXPECT_EQ(model.data(model.index(0, 3)).toString(), ""); // Null
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "entrata.Tipo");
    EXPECT_EQ(model.headerData(8, Qt::Horizontal).toString(), "Oggetto");

    QSignalSpy header(&model, &QAbstractItemModel::headerDataChanged);
    model.setHeaderCaption(0, "N.");
    model.setHeaderCaption(8, "oggetto");
    EXPECT_EQ(header.count(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "N.");
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "N.");
    model.setHeaderCaption(0, QString());
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Progressivo");
    model.clearHeaderCaptions();
    EXPECT_EQ(model.headerData(8, Qt::Horizontal).toString(), "Oggetto");
}

TEST_F(RecordsetModelTest, TellsTheCurrentRowAndEmptiesWhenTheRecordsetGoes)
{
    auto owned = std::make_unique<Recordset>();
    ASSERT_TRUE(owned->open(db, "SELECT * FROM entrata").ok());
    RecordsetModel model(owned.get());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy current(&model, &RecordsetModel::currentRowChanged);
    owned->moveLast();
    owned->moveNext();
    ASSERT_EQ(current.count(), 2);
    EXPECT_EQ(current.at(0).at(0).toInt(), 39);
    EXPECT_EQ(current.at(1).at(0).toInt(), -1);
    owned.reset();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.recordset(), nullptr);
}

} // namespace
