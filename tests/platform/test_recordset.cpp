#include "archive_test.h"
#include "recordset.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTime>

#include <algorithm>

#include "register_query.h"

#include <gtest/gtest.h>

using namespace quad;

namespace {

const QString kRegister = registerQuery();

class RecordsetTest : public test::ArchiveTest
{
protected:
    void addEntry(qint64 number, const QString& tipo, const QString& oggetto, const QStringList& names,
                  const QVariant& date = QStringLiteral("2004-03-12"))
    {
        ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, Oggetto, Orario, "
                             "Annullato) VALUES (?, ?, ?, 2004, ?, '14:05:09', 0)",
                             {number, tipo, date, oggetto})
                        .ok());
        for (const QString& name : names)
            ASSERT_TRUE(
                db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, ?, ?)", {number, tipo, name})
                    .ok());
    }

    std::unique_ptr<Recordset> openRegister()
    {
        auto rs = std::make_unique<Recordset>();
        const DbResult r = rs->open(db, kRegister);
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        return rs;
    }

    QString scalarText(const QString& sql, const QVariantList& params = {})
    {
        return db->scalar(sql, params).toString();
    }

    QByteArray fileHash()
    {
        QFile f(program.archive());
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }
};

TEST_F(RecordsetTest, JoinRepeatsAreQualifiedAndABareRepeatIsRefused)
{
    addEntry(1, "E", "Richiesta", {"Rossi"});
    auto rs = openRegister();
    ASSERT_EQ(rs->fieldCount(), 32);
    EXPECT_EQ(rs->field(1).name, "Tipo");
    EXPECT_EQ(rs->field(1).table, "entrata");
    EXPECT_EQ(rs->field(1).uniqueName, "entrata.Tipo");
    EXPECT_EQ(rs->field(22).uniqueName, "Mittenti.tipo");
    EXPECT_EQ(rs->field(8).uniqueName, "Oggetto");

    EXPECT_EQ(rs->fieldIndex("Tipo"), -1);
    EXPECT_EQ(rs->fieldIndex("entrata.Tipo"), 1);
    EXPECT_EQ(rs->fieldIndex("MITTENTI.TIPO"), 22);
    EXPECT_EQ(rs->fieldIndex("[entrata].[tipo]"), 1);
    EXPECT_EQ(rs->fieldIndex("oggetto"), 8);
    EXPECT_EQ(rs->fieldIndex("entrata.oggetto"), 8);
    EXPECT_EQ(rs->fieldIndex("nessuno"), -1);

    EXPECT_THROW(rs->value("Tipo"), RecordsetError);
    EXPECT_THROW(rs->setValue("tipo", "U"), RecordsetError);
    EXPECT_THROW(rs->value("nessuno"), RecordsetError);
    EXPECT_EQ(rs->value("entrata.tipo").toString(), "E");
    EXPECT_EQ(rs->value("Nominativo").toString(), "Rossi");

    EXPECT_FALSE(rs->setFilter("Tipo = 'E'").ok());
    EXPECT_TRUE(rs->setFilter("entrata.Tipo = 'E'").ok());
    EXPECT_EQ(rs->recordCount(), 1);
}

TEST_F(RecordsetTest, TypesAndValuesFollowTheDeclaredColumns)
{
    addEntry(7, "U", "L'ente \"X\" à Milano € 5", {"D'Amico"});
    ASSERT_TRUE(db->exec("UPDATE entrata SET Annullato = -1, Riservato = 1, Note = 'a\nb' WHERE Progressivo = 7").ok());
    auto rs = openRegister();
    EXPECT_EQ(rs->field(0).type, adInteger);
    EXPECT_EQ(rs->field(2).type, adDate);
    EXPECT_EQ(rs->field(13).type, adDate); // Orario TIME
    EXPECT_EQ(rs->field(14).type, adBoolean);
    EXPECT_EQ(rs->field(11).type, adLongVarWChar);
    EXPECT_EQ(rs->field(8).type, adVarWChar);

    EXPECT_EQ(rs->value("Progressivo"), QVariant(qint64(7)));
    EXPECT_EQ(rs->value("Data_quadernolo").toDate(), QDate(2004, 3, 12));
    EXPECT_EQ(rs->value("Data_quadernolo").metaType().id(), QMetaType::QDate);
    EXPECT_EQ(rs->value("Orario").toTime(), QTime(14, 5, 9));
    EXPECT_EQ(rs->value("Orario").metaType().id(), QMetaType::QTime);
    EXPECT_EQ(rs->value("Annullato"), QVariant(true));
    EXPECT_EQ(rs->value("Riservato"), QVariant(true));
    EXPECT_EQ(rs->value("sys_consegnato"), QVariant(false));
    EXPECT_TRUE(rs->value("Data_quad_rif").isNull());
    EXPECT_TRUE(rs->value("Quad_rif").isNull());
    EXPECT_EQ(rs->value("Oggetto").toString(), QString::fromUtf8("L'ente \"X\" à Milano € 5"));
    EXPECT_EQ(rs->value("Note").toString(), "a\nb");
    EXPECT_EQ(rs->value("Nominativo").toString(), "D'Amico");

    EXPECT_EQ(Recordset::displayText(QDate(2004, 3, 2)), "02/03/2004");
    EXPECT_EQ(Recordset::displayText(QTime(9, 5, 0)), "09:05:00");
    EXPECT_EQ(Recordset::displayText(true), "Vero");
    EXPECT_EQ(Recordset::displayText(1234.5), "1234,5");
    EXPECT_EQ(Recordset::displayText(QDateTime(QDate(2004, 3, 2), QTime(9, 5, 7))), "02/03/2004 09:05:07");
    EXPECT_EQ(Recordset::displayText(QVariant()), "");
}

TEST_F(RecordsetTest, OddCellsAreKeptAsTheyWere)
{
    addEntry(1, "E", "a", {"x"}, QStringLiteral("31/12/2004"));
    ASSERT_TRUE(db->exec("UPDATE entrata SET Anno = 'duemila', Orario = '' WHERE Progressivo = 1").ok());
    auto rs = openRegister();
    EXPECT_EQ(rs->value("Data_quadernolo").toString(), "31/12/2004");
    EXPECT_EQ(rs->value("Anno").toString(), "duemila");
    EXPECT_TRUE(rs->value("Orario").isNull());
}

TEST_F(RecordsetTest, TextsAndDatesReadBackExactlyWhateverTheirCharacters)
{
    // Texts around the 4-, 8- and 16-byte steps of the copy and the ASCII check, accents after an ASCII start, a
    // character beyond Latin-1 after accents, Null and empty; dates repeated, then one that
    // is no date right after a valid one.
    const QStringList texts = {"",
                               "abcdefg",
                               "abcdefgh",
                               "abcdefghi",
                               QString::fromUtf8("abcdefghijklmnoè"),
                               QString::fromUtf8("abcdefghijklmnopè"),
                               QString::fromUtf8("città di Forlì"),
                               QString::fromUtf8("abcdefgh città € fine"),
                               QString::fromUtf8("µ ÿ ß"),
                               QString::fromUtf8("àèìòù ŁÓDŹ"),
                               "ab",
                               QString::fromUtf8("èa"),
                               QString::fromUtf8("abcè"),
                               QString::fromUtf8("abcdefghijklmnè"),
                               QString()};
    const QStringList dates = {"2004-02-29", "2004-02-29", "2004-02-30", "2004-02-29", "2004-03-01",
                               "2004-03-01", "2004-03-1",  "2004-03-01", "2004-03-01", "",
                               "2004-03-01", "2004-03-01", "2004-03-02", "2004-03-02", "1999-12-31"};
    for (int i = 0; i < texts.size(); ++i)
        addEntry(i + 1, "E", texts[i], {texts[texts.size() - 1 - i]}, dates[i]);
    ASSERT_TRUE(db->exec("UPDATE entrata SET Oggetto = NULL WHERE Progressivo = 15").ok());
    ASSERT_TRUE(db->exec("UPDATE Mittenti SET Nominativo = NULL WHERE Quadernolo = 1").ok());
    auto rs = openRegister();
    ASSERT_EQ(rs->recordCount(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(rs->valueAt(i, rs->fieldIndex("Oggetto")), texts[i].isNull() ? QVariant() : QVariant(texts[i])) << i;
        const QString name = texts[texts.size() - 1 - i];
        EXPECT_EQ(rs->valueAt(i, rs->fieldIndex("Nominativo")), name.isNull() ? QVariant() : QVariant(name)) << i;
        const QVariant date = rs->valueAt(i, rs->fieldIndex("Data_quadernolo"));
        const QDate asDate = QDate::fromString(dates[i], "yyyy-MM-dd");
        if (dates[i].isEmpty())
            EXPECT_TRUE(date.isNull()) << i;
        else if (asDate.isValid())
            EXPECT_EQ(date, QVariant(asDate)) << i;
        else
            EXPECT_EQ(date, QVariant(dates[i])) << i; // kept as it was
    }
}

TEST_F(RecordsetTest, MovesBofEofPositionsAndBookmarks)
{
    auto empty = openRegister();
    EXPECT_TRUE(empty->bof());
    EXPECT_TRUE(empty->eof());
    EXPECT_EQ(empty->recordCount(), 0);
    EXPECT_EQ(empty->absolutePosition(), 0);
    EXPECT_EQ(empty->bookmark(), 0);
    EXPECT_THROW(empty->value(0), RecordsetError);

    addEntry(1, "E", "uno", {"a"});
    addEntry(2, "U", "due", {"b", "c"});
    addEntry(3, "E", "tre", {"d"});
    auto rs = openRegister();
    QSignalSpy will(rs.get(), &Recordset::willMove);
    QSignalSpy done(rs.get(), &Recordset::moveComplete);
    EXPECT_EQ(rs->recordCount(), 4);
    EXPECT_EQ(rs->absolutePosition(), 1);
    rs->moveLast();
    EXPECT_EQ(rs->value("Nominativo").toString(), "d");
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_FALSE(rs->bof());
    EXPECT_EQ(rs->absolutePosition(), 0);
    EXPECT_EQ(rs->currentRow(), -1);
    rs->moveFirst();
    rs->movePrevious();
    EXPECT_TRUE(rs->bof());
    EXPECT_EQ(will.count(), 4);
    EXPECT_EQ(done.count(), 4);

    rs->setAbsolutePosition(3);
    EXPECT_EQ(rs->value("Nominativo").toString(), "c");
    const Bookmark mark = rs->bookmark();
    EXPECT_EQ(mark, 3);
    rs->moveFirst();
    EXPECT_TRUE(rs->setBookmark(mark));
    EXPECT_EQ(rs->value("Nominativo").toString(), "c");
    EXPECT_FALSE(rs->setBookmark(99));
    EXPECT_EQ(rs->bookmarkAt(0), 1);
    EXPECT_EQ(rs->rowOfBookmark(4), 3);
}

TEST_F(RecordsetTest, BookmarksSurviveFilterAndSortChanges)
{
    for (int i = 1; i <= 10; ++i)
        addEntry(i, i % 2 ? "E" : "U", QStringLiteral("oggetto %1").arg(i), {QStringLiteral("n%1").arg(i)});
    auto rs = openRegister();
    rs->setAbsolutePosition(6);
    const Bookmark six = rs->bookmark();
    ASSERT_TRUE(rs->setFilter("entrata.Tipo = 'E'").ok());
    EXPECT_EQ(rs->recordCount(), 5);
    EXPECT_FALSE(rs->setBookmark(six)); // filtered out
    EXPECT_EQ(rs->rowOfBookmark(six), -1);
    ASSERT_TRUE(rs->setSort("Progressivo DESC").ok());
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 1); // still current, now last
    EXPECT_EQ(rs->absolutePosition(), 5);
    rs->clearFilter();
    EXPECT_EQ(rs->filterText(), "none");
    ASSERT_TRUE(rs->setBookmark(six));
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 6);
    EXPECT_EQ(rs->absolutePosition(), 5); // 10 9 8 7 6
    ASSERT_TRUE(rs->setSort("").ok());
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 6); // the current record stays current
    EXPECT_EQ(rs->absolutePosition(), 6);
}

TEST_F(RecordsetTest, ARefusedFilterOrSortKeepsStateAndPosition)
{
    for (int i = 1; i <= 4; ++i)
        addEntry(i, "E", QStringLiteral("o%1").arg(i), {"x"});
    auto rs = openRegister();
    ASSERT_TRUE(rs->setFilter("Progressivo >= 2").ok());
    rs->moveNext();
    EXPECT_FALSE(rs->setFilter("Progressivo >= 'abc'").ok());
    EXPECT_FALSE(rs->setFilter("Nessuno = 1").ok());
    EXPECT_EQ(rs->filterText(), "Progressivo >= 2");
    EXPECT_EQ(rs->recordCount(), 3);
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 3);
    EXPECT_FALSE(rs->setSort("Nessuno ASC").ok());
    EXPECT_FALSE(rs->setSort("Tipo").ok()); // ambiguous in the join
    EXPECT_EQ(rs->sort(), "");
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 3);
}

TEST_F(RecordsetTest, FindSkipsDirectionsAndStarts)
{
    for (int i = 1; i <= 6; ++i)
        addEntry(i, i == 2 || i == 5 ? "U" : "E", QStringLiteral("o%1").arg(i), {"x"});
    auto rs = openRegister();
    DbResult err;
    EXPECT_TRUE(rs->find("entrata.Tipo = 'U'", 0, SearchDirection::Forward, kBookmarkCurrent, &err));
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 2);
    EXPECT_TRUE(rs->find("entrata.Tipo = 'U'", 0)); // skip 0 includes the current record
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 2);
    EXPECT_TRUE(rs->find("entrata.Tipo = 'U'", 1));
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 5);
    EXPECT_FALSE(rs->find("entrata.Tipo = 'U'", 1));
    EXPECT_TRUE(rs->eof());
    EXPECT_TRUE(rs->find("entrata.Tipo = 'U'", 0, SearchDirection::Backward));
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 5);
    EXPECT_TRUE(rs->find("entrata.Tipo = 'U'", 1, SearchDirection::Backward));
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 2);
    EXPECT_FALSE(rs->find("entrata.Tipo = 'U'", 1, SearchDirection::Backward));
    EXPECT_TRUE(rs->bof());
    EXPECT_TRUE(rs->find("Progressivo = 3", 0, SearchDirection::Forward, kBookmarkFirst));
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 3);
    EXPECT_TRUE(rs->find("Progressivo > 0", 0, SearchDirection::Forward, 5)); // from bookmark 5
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 5);

    // Refusals keep the position.
    EXPECT_FALSE(rs->find("Progressivo = 1 AND Progressivo = 2", 0, SearchDirection::Forward, kBookmarkFirst, &err));
    EXPECT_FALSE(err.ok());
    EXPECT_FALSE(rs->find("Progressivo = 'x'", 0, SearchDirection::Forward, kBookmarkFirst, &err));
    EXPECT_FALSE(err.ok());
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 5);
}

TEST_F(RecordsetTest, RequeryDropsFilterSortPendingAndReadsTheFileAgain)
{
    addEntry(1, "E", "uno", {"a"});
    addEntry(2, "E", "due", {"b"});
    auto rs = openRegister();
    ASSERT_TRUE(rs->setFilter("Progressivo = 2").ok());
    ASSERT_TRUE(rs->setSort("Oggetto").ok());
    ASSERT_TRUE(rs->setValue("Oggetto", "cambiato").ok());
    addEntry(3, "E", "tre", {"c"});
    QSignalSpy reset(rs.get(), &Recordset::modelReset);
    ASSERT_TRUE(rs->requery().ok());
    EXPECT_EQ(reset.count(), 1);
    EXPECT_FALSE(rs->hasFilter());
    EXPECT_EQ(rs->sort(), "");
    EXPECT_FALSE(rs->hasPendingChanges());
    EXPECT_EQ(rs->recordCount(), 3);
    EXPECT_EQ(rs->absolutePosition(), 1);
    rs->setAbsolutePosition(2);
    EXPECT_EQ(rs->value("Oggetto").toString(), "due");

    // With nothing written since, a row added and a value changed are given up all the same.
    ASSERT_TRUE(rs->setValue("Oggetto", "cambiato").ok());
    rs->addNew();
    ASSERT_TRUE(rs->setValue("Oggetto", "aggiunto").ok());
    ASSERT_TRUE(rs->requery().ok());
    EXPECT_FALSE(rs->hasPendingChanges());
    EXPECT_EQ(rs->recordCount(), 3);
    EXPECT_FALSE(rs->find("Oggetto = 'aggiunto' OR Oggetto = 'cambiato'", 0, SearchDirection::Forward, kBookmarkFirst));
}

TEST_F(RecordsetTest, UpdateBatchWritesOnlyChangedFieldsToTheirOwnTableAndRow)
{
    addEntry(1, "E", "uno", {"a"});
    addEntry(2, "E", "due", {"b", "c"});
    auto rs = openRegister();
    // Another station changes the notes meanwhile: they must survive our write.
    ASSERT_TRUE(db->exec("UPDATE entrata SET Note = 'altrove' WHERE Progressivo = 2").ok());
    rs->setAbsolutePosition(3); // entry 2, correspondent c
    ASSERT_TRUE(rs->setValue("Oggetto", "nuovo oggetto").ok());
    ASSERT_TRUE(rs->setValue("Nominativo", "C'è").ok());
    ASSERT_TRUE(rs->setValue("Data_quadernolo", "05/06/2007").ok());
    ASSERT_TRUE(rs->setValue("Annullato", true).ok());
    EXPECT_EQ(rs->rowStatus(), RowStatus::Modified);
    ASSERT_TRUE(rs->updateBatch().ok());
    EXPECT_FALSE(rs->hasPendingChanges());
    EXPECT_EQ(rs->rowStatus(), RowStatus::Unmodified);

    EXPECT_EQ(scalarText("SELECT Oggetto FROM entrata WHERE Progressivo = 2"), "nuovo oggetto");
    EXPECT_EQ(scalarText("SELECT Note FROM entrata WHERE Progressivo = 2"), "altrove");
    EXPECT_EQ(scalarText("SELECT Data_quadernolo FROM entrata WHERE Progressivo = 2"), "2007-06-05");
    EXPECT_EQ(scalarText("SELECT Annullato FROM entrata WHERE Progressivo = 2"), "-1");
    EXPECT_EQ(scalarText("SELECT group_concat(Nominativo, '|') FROM (SELECT Nominativo FROM Mittenti WHERE "
                         "Quadernolo = 2 ORDER BY rowid)"),
              QString::fromUtf8("b|C'è"));
    EXPECT_EQ(scalarText("SELECT Oggetto FROM entrata WHERE Progressivo = 1"), "uno");
    // The other row of the same entry shows the new subject too.
    rs->setAbsolutePosition(2);
    EXPECT_EQ(rs->value("Nominativo").toString(), "b");
    EXPECT_EQ(rs->value("Oggetto").toString(), "nuovo oggetto");
}

TEST_F(RecordsetTest, UpdateBatchIsAllOrNothing)
{
    addEntry(1, "E", "uno", {"a"});
    addEntry(2, "E", "due", {"b"});
    auto rs = openRegister();
    QSignalSpy errors(rs.get(), &Recordset::error);
    const QByteArray before = fileHash();

    ASSERT_TRUE(rs->setValue("Oggetto", "cambiato").ok());
    rs->addNew();
    ASSERT_TRUE(rs->setValue("Progressivo", 2).ok()); // already taken
    ASSERT_TRUE(rs->setValue("entrata.Tipo", "E").ok());
    ASSERT_TRUE(rs->setValue("Quadernolo", 2).ok());
    ASSERT_TRUE(rs->setValue("Mittenti.tipo", "E").ok());
    ASSERT_TRUE(rs->setValue("Nominativo", "nuovo").ok());

    const DbResult failed = rs->updateBatch();
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.code, DbError::Constraint);
    EXPECT_EQ(errors.count(), 1);
    EXPECT_EQ(fileHash(), before);
    EXPECT_EQ(scalarText("SELECT Oggetto FROM entrata WHERE Progressivo = 1"), "uno");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Mittenti").toLongLong(), 2);
    EXPECT_FALSE(db->inTransaction());
    // Everything is still pending and can be mended.
    EXPECT_TRUE(rs->hasPendingChanges());
    EXPECT_EQ(rs->rowStatus(), RowStatus::New);
    EXPECT_EQ(rs->value("Nominativo").toString(), "nuovo");
    rs->moveFirst();
    EXPECT_EQ(rs->value("Oggetto").toString(), "cambiato");
    EXPECT_EQ(rs->rowStatus(), RowStatus::Modified);

    rs->moveLast();
    ASSERT_TRUE(rs->setValue("Progressivo", 3).ok());
    ASSERT_TRUE(rs->setValue("Quadernolo", 3).ok());
    ASSERT_TRUE(rs->updateBatch().ok());
    EXPECT_EQ(scalarText("SELECT Oggetto FROM entrata WHERE Progressivo = 1"), "cambiato");
    EXPECT_EQ(scalarText("SELECT Nominativo FROM Mittenti WHERE Quadernolo = 3"), "nuovo");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toLongLong(), 3);
}

TEST_F(RecordsetTest, UpdateBatchInsideAnOpenTransactionRollsBackOnlyItsOwnPart)
{
    addEntry(1, "E", "uno", {"a"});
    auto rs = openRegister();
    ASSERT_TRUE(db->begin().ok());
    ASSERT_TRUE(db->exec("UPDATE entrata SET Note = 'prima' WHERE Progressivo = 1").ok());
    ASSERT_TRUE(rs->setValue("Oggetto", "x").ok());
    ASSERT_TRUE(db->exec("DELETE FROM Mittenti").ok());
    ASSERT_TRUE(rs->setValue("Nominativo", "y").ok()); // its row is gone: the batch fails
    EXPECT_FALSE(rs->updateBatch().ok());
    EXPECT_TRUE(db->inTransaction());
    EXPECT_EQ(scalarText("SELECT Oggetto FROM entrata"), "uno");
    EXPECT_EQ(scalarText("SELECT Note FROM entrata"), "prima");
    ASSERT_TRUE(db->rollback().ok());
}

TEST_F(RecordsetTest, ARowGoneFromTheFileFailsTheBatch)
{
    addEntry(1, "E", "uno", {"a"});
    addEntry(2, "E", "due", {"b"});
    auto rs = openRegister();
    ASSERT_TRUE(rs->setValue("Oggetto", "mio").ok());
    rs->moveNext();
    ASSERT_TRUE(rs->setValue("Oggetto", "suo").ok());
    ASSERT_TRUE(db->exec("DELETE FROM entrata WHERE Progressivo = 2").ok());
    const DbResult r = rs->updateBatch();
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.message.contains("non è più presente"));
    EXPECT_EQ(scalarText("SELECT Oggetto FROM entrata WHERE Progressivo = 1"), "uno");
    EXPECT_TRUE(rs->hasPendingChanges());
}

TEST_F(RecordsetTest, AddNewOnAJoinInsertsIntoTheTablesGiven)
{
    auto rs = openRegister();
    QSignalSpy changes(rs.get(), &Recordset::recordChangeComplete);
    rs->addNew();
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->rowStatus(), RowStatus::New);
    ASSERT_TRUE(rs->setValue("Progressivo", 10).ok());
    ASSERT_TRUE(rs->setValue("entrata.Tipo", "E").ok());
    ASSERT_TRUE(rs->setValue("Oggetto", "nuova").ok());
    ASSERT_TRUE(rs->setValue("Orario", "09:30:00").ok());
    ASSERT_TRUE(rs->setValue("Quadernolo", 10).ok());
    ASSERT_TRUE(rs->setValue("Mittenti.Tipo", "E").ok());
    ASSERT_TRUE(rs->setValue("Nominativo", "Bianchi").ok());
    rs->addNew(); // an entry alone: only entrata is written
    ASSERT_TRUE(rs->setValue("Tipo_documento", "Lettera").ok());
    ASSERT_TRUE(rs->updateBatch().ok());

    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toLongLong(), 2);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Mittenti").toLongLong(), 1);
    EXPECT_EQ(scalarText("SELECT Orario FROM entrata WHERE Progressivo = 10"), "09:30:00");
    EXPECT_EQ(scalarText("SELECT Annullato FROM entrata WHERE Progressivo = 10"), "0"); // default kept
    // The number SQLite gave the second entry shows in the recordset.
    EXPECT_EQ(rs->value("Progressivo").toLongLong(), 11);

    // A later change of the new row goes to the row just written.
    ASSERT_TRUE(rs->setValue("Oggetto", "dopo").ok());
    ASSERT_TRUE(rs->updateBatch().ok());
    EXPECT_EQ(scalarText("SELECT Oggetto FROM entrata WHERE Progressivo = 11"), "dopo");

    QList<ChangeReason> reasons;
    for (const auto& call : changes)
        reasons << call.at(0).value<ChangeReason>();
    EXPECT_EQ(reasons,
              (QList<ChangeReason> {ChangeReason::AddNew, ChangeReason::AddNew, ChangeReason::Update,
                                    ChangeReason::FirstChange, ChangeReason::Update}));
}

TEST_F(RecordsetTest, DeleteStaysCurrentUntilTheNextMoveAndUniqueTableLimitsIt)
{
    addEntry(1, "E", "uno", {"a"});
    addEntry(2, "E", "due", {"b"});
    addEntry(3, "E", "tre", {"c"});
    ASSERT_TRUE(db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES ('K1', 2, 'E')").ok());
    ASSERT_TRUE(db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES ('K2', 2, 'E')").ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(db,
                        "SELECT sys_rela_tree.*, entrata.*, mittenti.*FROM (entrata INNER JOIN sys_rela_tree "
                        "ON [entrata].[progressivo]=[sys_rela_tree].[SYS_USER_ID]) INNER JOIN mittenti ON "
                        "([entrata].[progressivo]=[mittenti].[quadernolo] AND entrata.Tipo = Mittenti.Tipo) "
                        "ORDER BY SYS_ID")
                    .ok());
    ASSERT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.field(5).uniqueName, "Progressivo");
    QSignalSpy removed(&rs, &Recordset::rowsRemoved);
    rs.setUniqueTable("Sys_rela_tree");
    ASSERT_TRUE(rs.deleteCurrent().ok());
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.rowStatus(), RowStatus::Deleted);
    EXPECT_FALSE(rs.bof());
    EXPECT_FALSE(rs.eof());
    EXPECT_EQ(rs.value("SYS_TREE").toString(), "K1");
    EXPECT_FALSE(rs.deleteCurrent().ok());
    EXPECT_FALSE(rs.setValue("Oggetto", "x").ok());
    ASSERT_TRUE(rs.updateBatch().ok());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM sys_rela_tree").toLongLong(), 1);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toLongLong(), 3);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Mittenti").toLongLong(), 3);
    rs.moveNext();
    EXPECT_EQ(rs.value("SYS_TREE").toString(), "K2");

    // On a one-table recordset a delete removes that row; movePrevious from a deleted record.
    Recordset rows;
    ASSERT_TRUE(rows.open(db, "SELECT * FROM Mittenti ORDER BY Quadernolo").ok());
    rows.moveNext();
    ASSERT_TRUE(rows.deleteCurrent().ok());
    rows.movePrevious();
    EXPECT_EQ(rows.value("Nominativo").toString(), "a");
    ASSERT_TRUE(rows.updateBatch().ok());
    EXPECT_EQ(scalarText("SELECT group_concat(Nominativo) FROM Mittenti"), "a,c");
}

TEST_F(RecordsetTest, CancelBatchRestoresEveryCursor)
{
    addEntry(1, "E", "uno", {"a"});
    addEntry(2, "E", "due", {"b"});
    auto rs = openRegister();
    auto other = rs->clone();
    ASSERT_TRUE(rs->setValue("Oggetto", "cambiato").ok());
    rs->moveNext();
    ASSERT_TRUE(rs->deleteCurrent().ok());
    EXPECT_EQ(other->recordCount(), 1);
    rs->addNew();
    EXPECT_EQ(other->recordCount(), 2);
    QSignalSpy changes(rs.get(), &Recordset::recordChangeComplete);
    rs->cancelBatch();
    EXPECT_FALSE(rs->hasPendingChanges());
    EXPECT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(other->recordCount(), 2);
    other->moveFirst();
    EXPECT_EQ(other->value("Oggetto").toString(), "uno");
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).value<ChangeReason>(), ChangeReason::UndoUpdate);
    ASSERT_TRUE(rs->updateBatch().ok());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toLongLong(), 2);
}

TEST_F(RecordsetTest, FirstChangeIsSignalledOncePerRowAndHandlersSeeTheStatus)
{
    addEntry(1, "E", "uno", {"a"});
    auto rs = openRegister();
    QList<ChangeReason> reasons;
    QObject::connect(rs.get(), &Recordset::recordChangeComplete, [&](ChangeReason reason, EventStatus* status) {
        reasons << reason;
        EXPECT_EQ(*status, EventStatus::OK);
        *status = EventStatus::UnwantedEvent;
    });
    ASSERT_TRUE(rs->setValue("Oggetto", "a").ok());
    ASSERT_TRUE(rs->setValue("Note", "b").ok());
    ASSERT_TRUE(rs->deleteCurrent().ok());
    EXPECT_EQ(reasons, (QList<ChangeReason> {ChangeReason::FirstChange, ChangeReason::Delete}));
}

TEST_F(RecordsetTest, FieldWritesAreConvertedOrRefused)
{
    addEntry(1, "E", "uno", {"a"});
    Recordset rs;
    ASSERT_TRUE(rs.open(db,
                        "SELECT Progressivo, Anno, Data_quadernolo, Orario, Annullato, Oggetto, "
                        "Oggetto || '!' AS Esclamato FROM entrata")
                    .ok());
    EXPECT_FALSE(rs.setValue("Anno", "abc").ok());
    EXPECT_FALSE(rs.setValue("Data_quadernolo", "31/02/1980").ok());
    EXPECT_FALSE(rs.setValue("Annullato", "forse").ok());
    EXPECT_FALSE(rs.setValue("Esclamato", "x").ok()); // an expression has no row to go to
    EXPECT_FALSE(rs.hasPendingChanges());

    ASSERT_TRUE(rs.setValue("Anno", " 2005 ").ok());
    ASSERT_TRUE(rs.setValue("Data_quadernolo", "1/2/04").ok());
    ASSERT_TRUE(rs.setValue("Orario", "").ok());
    ASSERT_TRUE(rs.setValue("Annullato", "Vero").ok());
    ASSERT_TRUE(rs.setValue("Oggetto", QDate(2001, 2, 3)).ok());
    EXPECT_EQ(rs.value("Anno"), QVariant(qint64(2005)));
    EXPECT_EQ(rs.value("Data_quadernolo"), QVariant(QDate(2004, 2, 1)));
    EXPECT_TRUE(rs.value("Orario").isNull());
    EXPECT_EQ(rs.value("Annullato"), QVariant(true));
    EXPECT_EQ(rs.value("Oggetto").toString(), "03/02/2001");
    ASSERT_TRUE(rs.updateBatch().ok());
    EXPECT_EQ(scalarText("SELECT Data_quadernolo || '|' || Annullato || '|' || ifnull(Orario, 'null') FROM entrata"),
              "2004-02-01|-1|null");
}

TEST_F(RecordsetTest, ParametersBindAndRowsWithoutAWayBackAreReadOnly)
{
    addEntry(1, "E", "uno", {"a", "b"});
    addEntry(2, "U", "due", {"c"});
    Recordset rs;
    ASSERT_TRUE(rs.open(db, "select * from mittenti where (mittenti.quadernolo = ? AND mittenti.tipo = ?)",
                        {1, QStringLiteral("E")})
                    .ok());
    EXPECT_EQ(rs.recordCount(), 2);
    ASSERT_TRUE(rs.setValue("Nominativo", "scritto").ok());
    ASSERT_TRUE(rs.updateBatch().ok());
    EXPECT_EQ(scalarText("SELECT Nominativo FROM Mittenti WHERE rowid = 1"), "scritto");

    // Through an alias the table cannot be reached; a grouped row is no row of a table.
    ASSERT_TRUE(rs.open(db, "SELECT e.Progressivo, e.Oggetto FROM entrata e").ok());
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_FALSE(rs.setValue("Oggetto", "x").ok());
    ASSERT_TRUE(rs.open(db, "SELECT Tipo, count(*) AS Quanti FROM entrata GROUP BY Tipo").ok());
    EXPECT_EQ(rs.field(1).type, adInteger);
    EXPECT_EQ(rs.value("Quanti").toLongLong(), 1);
    EXPECT_FALSE(rs.setValue("Tipo", "X").ok());
    ASSERT_TRUE(rs.open(db, "SELECT DISTINCT Tipo FROM entrata").ok());
    EXPECT_FALSE(rs.setValue("Tipo", "X").ok());
    EXPECT_EQ(scalarText("SELECT group_concat(Tipo) FROM entrata"), "E,U");
}

TEST_F(RecordsetTest, ClonesShareRowsAndChangesButNotPositionOrFilter)
{
    addEntry(1, "E", "uno", {"a"});
    addEntry(2, "U", "due", {"b"});
    auto rs = openRegister();
    rs->moveLast();
    auto copy = rs->clone();
    EXPECT_EQ(copy->absolutePosition(), 1);
    ASSERT_TRUE(copy->setFilter("entrata.Tipo = 'U'").ok());
    EXPECT_EQ(copy->recordCount(), 1);
    EXPECT_EQ(rs->recordCount(), 2);

    QSignalSpy changed(rs.get(), &Recordset::rowChanged);
    ASSERT_TRUE(copy->setValue("sys_consegnato", true).ok());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 1);
    EXPECT_EQ(rs->value("sys_consegnato"), QVariant(true));
    EXPECT_TRUE(rs->hasPendingChanges());
    ASSERT_TRUE(copy->updateBatch().ok());
    EXPECT_FALSE(rs->hasPendingChanges());
    EXPECT_EQ(db->scalar("SELECT sys_consegnato FROM entrata WHERE Progressivo = 2").toLongLong(), -1);

    auto unfiltered = rs->clone();
    QSignalSpy inserted(unfiltered.get(), &Recordset::rowsInserted);
    rs->addNew();
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(unfiltered->recordCount(), 3);
    EXPECT_EQ(copy->recordCount(), 1); // a filtered clone does not take it
    rs->cancelBatch();
    EXPECT_EQ(unfiltered->recordCount(), 2);
}

TEST_F(RecordsetTest, InMemoryRecordsetWithAppendedFields)
{
    Recordset rs;
    rs.appendField("OPERATORE_UNIONE", 200, 20);
    rs.appendField("NOME_CAMPO", 200, 255);
    rs.appendField("OPERATORE_FILTRO", 200, 20);
    rs.appendField("CRITERIO", 200, 255);
    rs.openInMemory();
    EXPECT_TRUE(rs.isOpen());
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.fieldCount(), 4);
    EXPECT_THROW(rs.appendField("X", adVarWChar), RecordsetError);
    rs.addNew();
    ASSERT_TRUE(rs.setValue(0, " e ").ok());
    ASSERT_TRUE(rs.setValue("nome_campo", "Oggetto").ok());
    EXPECT_FALSE(rs.setValue("OPERATORE_FILTRO", QString(21, 'x')).ok());
    rs.addNew();
    ASSERT_TRUE(rs.setValue("NOME_CAMPO", "Progressivo").ok());
    ASSERT_TRUE(rs.setValue("CRITERIO", "l'ente").ok());
    EXPECT_TRUE(rs.value("OPERATORE_FILTRO").isNull());
    EXPECT_EQ(rs.recordCount(), 2);
    ASSERT_TRUE(rs.updateBatch().ok());
    EXPECT_FALSE(rs.hasPendingChanges());
    ASSERT_TRUE(rs.setFilter("CRITERIO = 'L''ENTE'").ok());
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.value("NOME_CAMPO").toString(), "Progressivo");
    rs.clearFilter();
    rs.moveFirst();
    ASSERT_TRUE(rs.deleteCurrent().ok());
    rs.moveFirst();
    EXPECT_EQ(rs.value("NOME_CAMPO").toString(), "Progressivo");
    EXPECT_FALSE(rs.requery().ok());
}

TEST_F(RecordsetTest, GetStringReadsFromTheCurrentRecordOn)
{
    addEntry(1, "E", "uno", {"a"});
    addEntry(2, "E", "due", {"b"});
    addEntry(3, "E", "tre", {"c"});
    Recordset rs;
    ASSERT_TRUE(rs.open(db, "SELECT Progressivo, Data_quadernolo, Quad_rif, Annullato FROM entrata").ok());
    rs.moveNext();
    EXPECT_EQ(rs.getString("\t", QString(QChar(0xFF)), " ", 1), QString("2\t12/03/2004\t \t0") + QChar(0xFF));
    EXPECT_EQ(rs.absolutePosition(), 3);
    EXPECT_EQ(rs.getString(";", "\n", "NULL"), "3;12/03/2004;NULL;0\n");
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.getString(), "");
}

TEST_F(RecordsetTest, ErrorsAreSignalledAndAWrongKeyIsToldApart)
{
    Recordset rs;
    QSignalSpy errors(&rs, &Recordset::error);
    DbResult r = rs.open(db, "SELECT * FROM nessuna_tabella");
    EXPECT_EQ(r.code, DbError::MissingTable);
    EXPECT_FALSE(rs.isOpen());
    EXPECT_EQ(rs.open(db, "DELETE FROM entrata").code, DbError::Other); // never run
    EXPECT_EQ(errors.count(), 2);

    addEntry(1, "E", "uno", {"a"});
    ASSERT_TRUE(rs.open(db, "SELECT * FROM entrata").ok());
    // Another station changes the password: our key no longer opens the file.
    {
        DbResult err;
        auto other = Connection::open(program.archive(), test::kPassword, &err);
        ASSERT_TRUE(other);
        ASSERT_TRUE(other->rekey("nuova").ok());
    }
    r = rs.requery();
    EXPECT_EQ(r.code, DbError::WrongKey);
    EXPECT_EQ(errors.count(), 3);
    EXPECT_EQ(errors.last().at(0).value<DbResult>().code, DbError::WrongKey);
    EXPECT_EQ(rs.recordCount(), 1); // the old rows stay
}

TEST_F(RecordsetTest, AConnectionWithAKeyChangedElsewhereReadsTheFileAgain)
{
    addEntry(1, "E", "uno", {"a"});
    DbResult err;
    auto prima = Connection::open(program.archive(), test::kPassword, &err);
    ASSERT_TRUE(prima) << err.message.toStdString();
    Recordset rs;
    ASSERT_TRUE(rs.open(prima, "SELECT * FROM entrata").ok());
    // Another station changes the password and registers an entry; the rows are read with the new key.
    ASSERT_TRUE(db->rekey("nuova").ok());
    addEntry(2, "U", "due", {"b"});
    auto dopo = Connection::open(program.archive(), "nuova", &err);
    ASSERT_TRUE(dopo) << err.message.toStdString();
    rs.useConnection(dopo);
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_EQ(rs.recordCount(), 2);
}

/// Text sorts ignore case and keep accents, characters past Latin-1 included, whatever the
/// length of a shared beginning, with snapshot cells and pending values mixed.
TEST(RecordsetSortTest, TextOrderIgnoresCaseOverLongPrefixesAndWideCharacters)
{
    const QStringList texts = {"richiesta di b",
                               "Richiesta di A",
                               "richiesta di",
                               "RICHIESTA DI AB",
                               "zeta",
                               QString::fromUtf8("Ärger"),
                               "arbre",
                               QString::fromUtf8("µm"),
                               QString::fromUtf8("€uro"),
                               "",
                               "b",
                               "B",
                               "richiesta di ab",
                               QString::fromUtf8("àbaco"),
                               "abaco"};
    QTemporaryDir dir;
    const QString file = dir.filePath("testi.xml");
    {
        Recordset rs;
        rs.appendField("T", adVarWChar);
        rs.appendField("N", adInteger);
        rs.openInMemory();
        for (int i = 0; i < texts.size(); ++i) {
            rs.addNew();
            ASSERT_TRUE(rs.setValue(0, texts[i]).ok());
            ASSERT_TRUE(rs.setValue(1, i).ok());
        }
        rs.addNew();
        ASSERT_TRUE(rs.setValue(1, 99).ok());
        ASSERT_TRUE(rs.save(file).ok());
    }
    DbResult err;
    auto rs = Recordset::openXml(file, &err);
    ASSERT_TRUE(rs) << err.message.toStdString();
    ASSERT_TRUE(rs->setBookmark(2));
    ASSERT_TRUE(rs->setValue(0, "richiesta di aa").ok()); // a pending value among snapshot cells

    QList<QPair<QString, int>> expected;
    for (int i = 0; i < texts.size(); ++i)
        expected.append({i == 1 ? QString("richiesta di aa") : texts[i], i});

    for (bool descending : {false, true}) {
        // Equal texts ("b" and "B") keep their own order either way.
        std::sort(expected.begin(), expected.end(), [descending](const auto& a, const auto& b) {
            const QString x = a.first.toCaseFolded(), y = b.first.toCaseFolded();
            if (x != y)
                return descending ? y < x : x < y;
            return a.second < b.second;
        });
        ASSERT_TRUE(rs->setSort(descending ? "T DESC" : "T ASC").ok());
        QList<int> order;
        for (int i = 0; i < rs->recordCount(); ++i)
            order << int(rs->valueAt(i, 1).toLongLong());
        QList<int> want;
        for (const auto& e : expected)
            want << e.second;
        if (descending)
            want << 99; // Null last
        else
            want.prepend(99); // Null first
        EXPECT_EQ(order, want) << (descending ? "DESC" : "ASC");
    }
}

} // namespace
