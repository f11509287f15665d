#include "database.h"
#include "field_text.h"
#include "recordset.h"

#include <QDate>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTime>

#include <gtest/gtest.h>

using namespace quad;

namespace {

QVariant read(const QString& text, FieldKind kind)
{
    return valueFromText(text, kind).value_or(QVariant(QStringLiteral("<rifiutato>")));
}

bool refused(const QString& text, FieldKind kind)
{
    return !valueFromText(text, kind).has_value();
}

TEST(FieldText, NumbersWithPointOrCommaAndNothingElse)
{
    EXPECT_EQ(read(" 12 ", FieldKind::Integer), QVariant(qint64(12)));
    EXPECT_EQ(read("-3", FieldKind::Integer), QVariant(qint64(-3)));
    EXPECT_EQ(read("3,0", FieldKind::Integer), QVariant(qint64(3)));
    EXPECT_EQ(read("3.00", FieldKind::Integer), QVariant(qint64(3)));
    EXPECT_TRUE(refused("3,5", FieldKind::Integer)); // never rounded into another number
    EXPECT_TRUE(refused("tre", FieldKind::Integer));
    EXPECT_TRUE(refused("1e3", FieldKind::Integer));
    EXPECT_TRUE(refused("1.000,5", FieldKind::Real));
    EXPECT_TRUE(refused("12a", FieldKind::Real));
    EXPECT_TRUE(refused("1,", FieldKind::Real));
    EXPECT_EQ(read("1,5", FieldKind::Real), QVariant(1.5));
    EXPECT_EQ(read("2.75", FieldKind::Real), QVariant(2.75));
    EXPECT_TRUE(read("  ", FieldKind::Integer).isNull());
}

TEST(FieldText, ACountIsAWholeNumberFromZeroUp)
{
    EXPECT_EQ(read("0", FieldKind::Count), QVariant(qint64(0)));
    EXPECT_EQ(read("4", FieldKind::Count), QVariant(qint64(4)));
    EXPECT_TRUE(refused("-1", FieldKind::Count));
    EXPECT_TRUE(refused("1,5", FieldKind::Count));
    EXPECT_TRUE(refused("tre", FieldKind::Count));
}

TEST(FieldText, YesNoInWordsOrNumbers)
{
    for (const char* yes : {"Vero", "true", "sì", "SÌ", "si", "-1", "1"})
        EXPECT_EQ(read(QString::fromUtf8(yes), FieldKind::YesNo), QVariant(true)) << yes;
    for (const char* no : {"Falso", "FALSE", "no", "0"})
        EXPECT_EQ(read(QString::fromUtf8(no), FieldKind::YesNo), QVariant(false)) << no;
    EXPECT_TRUE(refused("2", FieldKind::YesNo));
    EXPECT_TRUE(refused("forse", FieldKind::YesNo));
}

TEST(FieldText, DatesDayFirstOrIsoAndNeverRescued)
{
    EXPECT_EQ(read("14/06/2025", FieldKind::Date), QVariant(QDate(2025, 6, 14)));
    EXPECT_EQ(read("2025-06-14", FieldKind::Date), QVariant(QDate(2025, 6, 14)));
    EXPECT_TRUE(refused("31/02/2025", FieldKind::Date));
    EXPECT_TRUE(refused("31/02/2025", FieldKind::DateTime));
    EXPECT_TRUE(refused("10:00", FieldKind::Date));
    EXPECT_TRUE(refused("14/06/2025", FieldKind::Time));
    EXPECT_EQ(read("8:30", FieldKind::Time), QVariant(QTime(8, 30)));
    EXPECT_EQ(read("14/06/2025 08:30", FieldKind::DateTime), QVariant(QDateTime(QDate(2025, 6, 14), QTime(8, 30))));
    EXPECT_EQ(read(" tre ", FieldKind::Text), QVariant(" tre ")); // text is kept as typed
}

TEST(FieldText, WhatIsShownReadsBackToTheSameValue)
{
    const struct
    {
        QVariant value;
        FieldKind kind;
        const char* shown;
    } cases[] = {{QDate(2025, 6, 4), FieldKind::Date, "04/06/2025"},
                 {QTime(9, 5, 7), FieldKind::Time, "09:05:07"},
                 {QDateTime(QDate(2025, 6, 4), QTime(9, 5)), FieldKind::DateTime, "04/06/2025 09:05:00"},
                 {true, FieldKind::YesNo, "Vero"},
                 {false, FieldKind::YesNo, "Falso"},
                 {1234.5, FieldKind::Real, "1234,5"},
                 {qint64(-7), FieldKind::Integer, "-7"}};
    for (const auto& c : cases) {
        EXPECT_EQ(textOfValue(c.value), QString::fromUtf8(c.shown));
        EXPECT_EQ(read(textOfValue(c.value), c.kind), c.value) << c.shown;
    }
    EXPECT_EQ(textOfValue(QVariant()), "");
}

TEST(FieldText, TheRecordsetAndItsFiltersReadTextAlike)
{
    auto rs = std::make_shared<Recordset>();
    rs->appendField("Numero", adInteger);
    rs->appendField("Annullato", adBoolean);
    rs->appendField("Data", adDate);
    rs->openInMemory();
    rs->addNew();
    EXPECT_TRUE(rs->setValue("Numero", "3,0").ok());
    EXPECT_FALSE(rs->setValue("Numero", "3,5").ok());
    EXPECT_TRUE(rs->setValue("Annullato", QString::fromUtf8("sì")).ok());
    EXPECT_TRUE(rs->setValue("Data", "14/06/2025").ok());
    EXPECT_FALSE(rs->setValue("Data", "31/02/2025").ok());
    EXPECT_EQ(rs->value("Numero"), QVariant(qint64(3)));
    EXPECT_EQ(rs->value("Annullato"), QVariant(true));
    EXPECT_EQ(rs->value("Data").toDate(), QDate(2025, 6, 14));
    rs->addNew();
    EXPECT_TRUE(rs->setValue("Annullato", "0").ok());

    for (const char* criteria : {"Annullato = 1", "Annullato = Vero", "Annullato = -1", "Numero = 3,0"}) {
        ASSERT_TRUE(rs->setFilter(criteria).ok()) << criteria;
        EXPECT_EQ(rs->recordCount(), 1) << criteria;
    }
    EXPECT_FALSE(rs->setFilter("Annullato = 2").ok());
}

TEST(FieldText, AYesNoAnotherToolStoredAsTextIsReadOneWayByValuesAndFilters)
{
    QTemporaryDir dir;
    DbResult err;
    auto db = Connection::create(dir.filePath("sino.db"), "chiave", &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    ASSERT_TRUE(db->exec("CREATE TABLE t (n INTEGER, Annullato BOOLEAN NOT NULL DEFAULT 0);"
                         "INSERT INTO t VALUES (1, 'Vero'), (2, 'Falso'), (3, 'True'), (4, 'no'), (5, -1), (6, 0)")
                    .ok());
    auto rs = std::make_shared<Recordset>();
    ASSERT_TRUE(rs->open(db, "SELECT n, Annullato FROM t ORDER BY n").ok());
    const auto veri = [&rs](bool lettura) {
        QList<int> numeri;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
            if (!lettura || isTrueValue(rs->value("Annullato")))
                numeri << rs->value("n").toInt();
        }
        return numeri;
    };
    EXPECT_EQ(veri(true), QList<int>({1, 3, 5}));
    ASSERT_TRUE(rs->setFilter("Annullato = True").ok());
    EXPECT_EQ(veri(false), QList<int>({1, 3, 5}));
}

} // namespace
