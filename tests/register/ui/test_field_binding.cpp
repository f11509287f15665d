#include "data_control.h"
#include "field_binding.h"
#include "recordset.h"

#include <QDate>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace quad;

namespace {

/// One record with a name, a town and a date, shown in three bound boxes.
struct BoundRecord
{
    DataControl control;
    FieldBinder binder;
    QLineEdit name, town, date;
    std::shared_ptr<Recordset> rs = std::make_shared<Recordset>();

    BoundRecord()
    {
        rs->appendField("Nominativo", adVarWChar);
        rs->appendField("Citta", adVarWChar);
        rs->appendField("Data_nascita", adDate);
        rs->openInMemory();
        rs->addNew();
        EXPECT_TRUE(rs->setValue("Nominativo", "Rossi").ok());
        EXPECT_TRUE(rs->setValue("Citta", "Roma").ok());
        control.setRecordset(rs);
        bind(name, "Nominativo");
        bind(town, "Citta");
        bind(date, "Data_nascita");
    }
    void bind(QLineEdit& box, const QString& field)
    {
        binder.setDataField(&box, field);
        binder.setDataSource(&box, &control);
    }
};

TEST(FieldBinding, TypedTextSurvivesAChangeOfAnotherField)
{
    BoundRecord r;
    r.name.setText("Bianchi"); // typed, not written yet
    ASSERT_TRUE(r.rs->setValue("Citta", "Milano").ok()); // the program fills another field of the same record
    EXPECT_EQ(r.town.text(), "Milano");
    EXPECT_EQ(r.name.text(), "Bianchi");
    ASSERT_TRUE(r.binder.commitAll(&r.control).ok());
    EXPECT_EQ(r.rs->value("Nominativo").toString(), "Bianchi");
}

TEST(FieldBinding, AFieldTheProgramWritesShowsTheNewValue)
{
    BoundRecord r;
    r.town.setText("Rom");
    ASSERT_TRUE(r.rs->setValue("Citta", "Roma Capitale").ok());
    EXPECT_EQ(r.town.text(), "Roma Capitale");
    EXPECT_FALSE(r.binder.isDirty(&r.town));
}

TEST(FieldBinding, CommitAllWritesEveryTypedBox)
{
    BoundRecord r;
    r.name.setText("Verdi");
    r.town.setText("Forlì");
    r.date.setText("03/04/1980");
    ASSERT_TRUE(r.binder.commitAll(&r.control).ok());
    EXPECT_EQ(r.rs->value("Nominativo").toString(), "Verdi");
    EXPECT_EQ(r.rs->value("Citta").toString(), "Forlì");
    EXPECT_EQ(r.rs->value("Data_nascita").toDate(), QDate(1980, 4, 3));
    EXPECT_EQ(r.date.text(), "03/04/1980");
}

TEST(FieldBinding, ARefusedValueStaysInTheBoxStillToBeWritten)
{
    BoundRecord r;
    EXPECT_TRUE(r.rs->setValue("Data_nascita", QDate(1970, 1, 2)).ok());
    int refused = 0;
    QObject::connect(&r.binder, &FieldBinder::valueRefused, [&] { ++refused; });
    r.date.setText("31/02/1980");
    EXPECT_FALSE(r.binder.commitAll(&r.control).ok());
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(r.date.text(), "31/02/1980");
    EXPECT_TRUE(r.binder.isDirty(&r.date));
    EXPECT_EQ(r.rs->value("Data_nascita").toDate(), QDate(1970, 1, 2));
    // Mended, it is written.
    r.date.setText("28/02/1980");
    ASSERT_TRUE(r.binder.commitAll(&r.control).ok());
    EXPECT_EQ(r.rs->value("Data_nascita").toDate(), QDate(1980, 2, 28));
    EXPECT_FALSE(r.binder.isDirty(&r.date));
}

TEST(FieldBinding, ARefusedTextIsReportedOnceUntilTheClerkChangesIt)
{
    // Showing the refusal takes the focus from the box, which ends its editing once more; the
    // window also writes every typed box before its own rules run.
    BoundRecord r;
    int refused = 0;
    QObject::connect(&r.binder, &FieldBinder::valueRefused, [&] {
        ++refused;
        EXPECT_FALSE(r.binder.commit(&r.date).ok());
    });
    r.date.setText("tre");
    EXPECT_FALSE(r.binder.commit(&r.date).ok());
    EXPECT_FALSE(r.binder.commitAll(&r.control).ok());
    EXPECT_EQ(refused, 1);
    r.date.setText("quattro");
    EXPECT_FALSE(r.binder.commit(&r.date).ok());
    EXPECT_EQ(refused, 2);
}

} // namespace
