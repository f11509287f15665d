#include "address_book.h"
#include "temp_program.h"

#include <QDate>

#include <gtest/gtest.h>

using namespace quad;

namespace {

class AddressBookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbResult err;
        db = AddressBook::openSettings(&err);
        ASSERT_TRUE(db) << err.message.toStdString();
        book = std::make_unique<AddressBook>(db);
    }

    qint64 add(const QString& name, const QString& citta = QString(), const QVariant& nato = QVariant())
    {
        EXPECT_TRUE(db->exec("INSERT INTO Elenco (Nominativo, Citta, Data_nascita) VALUES (?, ?, ?)",
                             {name, citta.isNull() ? QVariant() : QVariant(citta), nato})
                        .ok());
        return db->lastInsertId();
    }

    QStringList names(const QString& typed)
    {
        QStringList out;
        DbResult err;
        for (const AddressRecord& r : book->cerca_in_elenco(typed, &err))
            out << r.value("Nominativo").toString();
        EXPECT_TRUE(err.ok()) << err.message.toStdString();
        return out;
    }

    int count(const QString& where = "1", const QVariantList& params = {})
    {
        return db->scalar("SELECT count(*) FROM Elenco WHERE " + where, params).toInt();
    }

    test::TempProgram program {false};
    std::shared_ptr<Connection> db;
    std::unique_ptr<AddressBook> book;
};

QVariantMap row(const QString& name, const QString& citta = QString(), const QString& indirizzo = QString())
{
    QVariantMap r {{"Quadernolo", 1}, {"tipo", "E"}, {"Nominativo", name}};
    if (!citta.isNull())
        r.insert("Citta", citta);
    if (!indirizzo.isNull())
        r.insert("Indirizzo", indirizzo);
    return r;
}

} // namespace

TEST_F(AddressBookTest, LookUpListsNamesBeginningWithTheTypedTextInOrder)
{
    add("D'Amico Sergio");
    add("d'Alessandro Anna");
    add("Damiani Luca");
    add("Rossi Mario");
    add(" Bianchi");
    EXPECT_EQ(names("D'A"), QStringList({"d'Alessandro Anna", "D'Amico Sergio"}));
    EXPECT_EQ(names("da"), QStringList({"Damiani Luca"}));
    // Leading blanks are part of the pattern.
    EXPECT_EQ(names(" B"), QStringList({" Bianchi"}));
    EXPECT_TRUE(names("B").isEmpty());
    EXPECT_TRUE(names("Z").isEmpty());

    // The statement a recordset can be opened with gives the table's columns in order.
    const BoundQuery q = cerca_in_elenco_query("D'A");
    QStringList columns;
    int rows = 0;
    ASSERT_TRUE(db->query(q.sql, q.params, [&](const Statement& st) {
                      if (columns.isEmpty())
                          for (int i = 0; i < st.columnCount(); ++i)
                              columns << st.columnName(i);
                      ++rows;
                      return true;
                  }).ok());
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(columns, campiAnagrafici() + QStringList {"Id"});
}

TEST_F(AddressBookTest, LookUpTakesWildcardsTypedAsThemselves)
{
    add("50% Servizi");
    add("500 Auto");
    add("Rossi");
    add("R_ssi & C.");
    add("C:\\Percorso");
    EXPECT_EQ(names("50%"), QStringList({"50% Servizi"}));
    EXPECT_EQ(names("R_"), QStringList({"R_ssi & C."}));
    EXPECT_TRUE(names("%").isEmpty());
    EXPECT_EQ(names("C:\\"), QStringList({"C:\\Percorso"}));
}

TEST_F(AddressBookTest, UnknownCorrespondentIsAddedAfterOneYes)
{
    QVariantMap r = row("D'Amico Sergio", "Roma", "Via Po");
    r.insert("Data_nascita", QDate(1970, 5, 1));
    r.insert("Prov", "RM");
    r.insert("Stato", "IT");
    r.insert("Cap", "00118");
    r.insert("P_iva_CF", "   "); // blank: neither compared nor stored
    int questions = 0;
    UpdateOutcome out = book->aggiorna_nominativi({r}, [&] {
        ++questions;
        return true;
    });
    EXPECT_TRUE(out.error.ok());
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(out.asked);
    EXPECT_EQ(out.added, 1);
    EXPECT_EQ(count("Nominativo = ? AND Citta = 'Roma' AND Data_nascita = '1970-05-01' AND Cap = '00118' "
                    "AND P_iva_CF IS NULL AND Civico IS NULL",
                    {"D'Amico Sergio"}),
              1);

    // The same correspondent again, names in another case: found, nothing asked.
    QVariantMap again = r;
    again.insert("Nominativo", "D'AMICO SERGIO");
    out = book->aggiorna_nominativi({again}, [&] {
        ++questions;
        return true;
    });
    EXPECT_FALSE(out.asked);
    EXPECT_EQ(out.added, 0);
    EXPECT_EQ(count(), 1);

    // A known name at another address is a new record.
    QVariantMap moved = row("D'Amico Sergio", "Roma", "Via Tevere");
    out = book->aggiorna_nominativi({moved}, [] { return true; });
    EXPECT_EQ(out.added, 1);
    EXPECT_EQ(count(), 2);

    // A different birth date is a different person.
    QVariantMap other = r;
    other.insert("Data_nascita", QDate(1971, 5, 1));
    EXPECT_FALSE(book->trova_corrispondente(other, nullptr));
    EXPECT_TRUE(book->trova_corrispondente(r, nullptr));
}

TEST_F(AddressBookTest, OneQuestionPerRunAndItsAnswerHoldsForEveryRow)
{
    add("Noto");
    const QList<QVariantMap> rows {row("Primo"), row("Noto"), row("Secondo"), row("Primo")};

    int questions = 0;
    UpdateOutcome out = book->aggiorna_nominativi(rows, [&] {
        ++questions;
        return false;
    });
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(out.added, 0);
    EXPECT_EQ(count(), 1);

    out = book->aggiorna_nominativi(rows, [&] {
        ++questions;
        return true;
    });
    EXPECT_EQ(questions, 2);
    // Two identical correspondents: the first is added, the second then found.
    EXPECT_EQ(out.added, 2);
    EXPECT_EQ(count("Nominativo = 'Primo'"), 1);
    EXPECT_EQ(count("Nominativo = 'Secondo'"), 1);

    // Nothing missing: no question.
    out = book->aggiorna_nominativi(rows, [&] {
        ++questions;
        return true;
    });
    EXPECT_EQ(questions, 2);
    EXPECT_FALSE(out.asked);
}

TEST_F(AddressBookTest, RowsThatFillNothingAreNeverLookedFor)
{
    bool looked = true;
    QVariantMap empty {{"Quadernolo", 1}, {"tipo", "E"}, {"Nominativo", QVariant()}, {"Citta", "  "}};
    EXPECT_FALSE(book->trova_corrispondente(empty, &looked));
    EXPECT_FALSE(looked);
    int questions = 0;
    const UpdateOutcome out = book->aggiorna_nominativi({empty}, [&] {
        ++questions;
        return true;
    });
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(count(), 0);

    // A blank name that is not Null asks for a blank name.
    EXPECT_FALSE(book->trova_corrispondente(row(""), &looked));
    EXPECT_TRUE(looked);
}

TEST_F(AddressBookTest, ADatabaseFailureEndsTheCheckAndKeepsWhatWasAdded)
{
    ASSERT_TRUE(db->exec("CREATE TRIGGER rifiuta BEFORE INSERT ON Elenco WHEN NEW.Nominativo = 'Rotto' "
                         "BEGIN SELECT RAISE(ABORT, 'rifiutato'); END")
                    .ok());
    const UpdateOutcome out
        = book->aggiorna_nominativi({row("Primo"), row("Rotto"), row("Terzo")}, [] { return true; });
    EXPECT_FALSE(out.error.ok());
    EXPECT_EQ(out.added, 1);
    EXPECT_EQ(count("Nominativo = 'Primo'"), 1);
    EXPECT_EQ(count("Nominativo = 'Terzo'"), 0);

    ASSERT_TRUE(db->exec("DROP TABLE Elenco").ok());
    EXPECT_FALSE(book->aggiorna_nominativi({row("Primo")}, [] { return true; }).error.ok());
    DbResult err;
    EXPECT_TRUE(book->cerca_in_elenco("P", &err).isEmpty());
    EXPECT_FALSE(err.ok());
}

TEST_F(AddressBookTest, CorrectAndDeleteByIdOrByValues)
{
    const qint64 id = add("Verdi", "Milano", "1980-02-29");
    add("Verdi", "Torino");

    AddressRecord rec;
    ASSERT_TRUE(book->leggi(id, &rec));
    EXPECT_EQ(rec.value("Data_nascita").toDate(), QDate(1980, 2, 29));
    EXPECT_TRUE(rec.value("Prov").isNull());

    QVariantMap values = rec.values;
    values.insert("Nominativo", "Verdi O'Hara");
    values.insert("Civico", "");
    values.insert("Data_nascita", QVariant());
    ASSERT_TRUE(book->correggi(&rec, values).ok());
    EXPECT_EQ(rec.id, id);
    EXPECT_EQ(count("rowid = ? AND Nominativo = ? AND Civico IS NULL AND Data_nascita IS NULL AND Citta = 'Milano'",
                    {id, "Verdi O'Hara"}),
              1);
    EXPECT_EQ(count("Citta = 'Torino' AND Nominativo = 'Verdi'"), 1);

    // A record known only by its values (no id), Nulls matching Nulls.
    AddressRecord byValues;
    byValues.values = {{"Nominativo", "Verdi"}, {"Citta", "Torino"}};
    values = byValues.values;
    values.insert("Prov", "TO");
    ASSERT_TRUE(book->correggi(&byValues, values).ok());
    EXPECT_GT(byValues.id, 0);
    EXPECT_EQ(count("Citta = 'Torino' AND Prov = 'TO'"), 1);

    ASSERT_TRUE(book->elimina(rec).ok());
    EXPECT_EQ(count(), 1);
    // Gone: neither a correction nor a second deletion pretends to succeed.
    AddressRecord stale = rec;
    EXPECT_FALSE(book->correggi(&stale, values).ok());
    EXPECT_EQ(stale.values, rec.values);
    EXPECT_FALSE(book->elimina(rec).ok());
    AddressRecord unknown;
    unknown.values = {{"Nominativo", "Nessuno"}};
    EXPECT_FALSE(book->elimina(unknown).ok());
    EXPECT_EQ(count(), 1);
}

TEST(AddressBookCopy, PickFillsTheRowAndKeepsItsBirthDateWhenTheBookHasNone)
{
    AddressRecord rec;
    rec.values = {{"Nominativo", "Neri"}, {"P_iva_CF", QVariant()}, {"Data_nascita", QVariant()},
                  {"Citta", "Lecce"},     {"Prov", "LE"},           {"Cap", QVariant()}};
    QVariantMap r {{"nominativo", "x"}, {"data_nascita", QDate(1990, 1, 2)}, {"CAP", "99999"}, {"tipo", "E"}};
    copia_in_corrispondente(rec, &r);
    EXPECT_EQ(r.value("nominativo").toString(), "Neri");
    EXPECT_EQ(r.value("data_nascita").toDate(), QDate(1990, 1, 2));
    EXPECT_EQ(r.value("CAP"), QVariant(QString()));
    EXPECT_EQ(r.value("P_iva_CF"), QVariant(QString()));
    EXPECT_EQ(r.value("Citta").toString(), "Lecce");
    EXPECT_EQ(r.value("tipo").toString(), "E");
    EXPECT_FALSE(r.contains("Nominativo"));

    rec.values.insert("Data_nascita", QDate(1960, 3, 4));
    copia_in_corrispondente(rec, &r);
    EXPECT_EQ(r.value("data_nascita").toDate(), QDate(1960, 3, 4));
}

TEST(AddressBookDates, BirthDatesReadFromEveryFormTheyArriveIn)
{
    EXPECT_EQ(dataDaValore(QDate(2000, 1, 31)), QDate(2000, 1, 31));
    EXPECT_EQ(dataDaValore("2000-01-31"), QDate(2000, 1, 31));
    EXPECT_EQ(dataDaValore(QDateTime(QDate(2000, 1, 31), QTime(10, 0))), QDate(2000, 1, 31));
    EXPECT_FALSE(dataDaValore(QVariant()).isValid());
    EXPECT_FALSE(dataDaValore("2000-02-30").isValid());
    EXPECT_FALSE(dataDaValore("abc").isValid());
}
