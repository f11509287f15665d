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

TEST(FieldBinding, ARefusedValueShowsTheStoredOneAgain)
{
    BoundRecord r;
    bool refused = false;
    QObject::connect(&r.binder, &FieldBinder::valueRefused, [&] { refused = true; });
    r.date.setText("31/02/1980");
    EXPECT_FALSE(r.binder.commitAll(&r.control).ok());
    EXPECT_TRUE(refused);
    EXPECT_EQ(r.date.text(), "");
    EXPECT_TRUE(r.rs->value("Data_nascita").isNull());
}

} // namespace
