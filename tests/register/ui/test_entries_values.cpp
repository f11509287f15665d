// Typed values the fields cannot hold: the clerk is told, the text stays in its box, and nothing
// of it reaches the record or the archive.
#include "test_entries_fixture.h"

#include "field_binding.h"

using namespace quad;
using namespace quad::test;

namespace {

class TypedValueTest : public EntriesTest
{
protected:
    void SetUp() override
    {
        apri(3);
        nuovo(0);
        messages.clear();
    }

    /// Types text into box index and leaves it with Tab.
    void digita(int index, const QString& text)
    {
        ASSERT_TRUE(typeInto(&w, QStringLiteral("txt_mask1_%1").arg(index), text));
        QTest::keyClick(box(index), Qt::Key_Tab);
    }
};

} // namespace

TEST_F(TypedValueTest, AWordInNAllegatiIsRefusedAloudAndKeptInTheBox)
{
    digita(4, "tre");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().at(0).text, "ATTENZIONE !\n\nValore non valido per il campo N. allegati.");
    EXPECT_EQ(box(4)->text(), "tre");
    EXPECT_TRUE(w.findChild<FieldBinder*>()->isDirty(box(4)));
    EXPECT_EQ(registro()->value("Numero_documenti").toLongLong(), 0);

    // Mended, the count is written.
    messages.clear();
    digita(4, "2");
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(registro()->value("Numero_documenti").toLongLong(), 2);
}

TEST_F(TypedValueTest, ANegativeOrPartCountIsRefusedAndNothingIsStored)
{
    for (const char* typed : {"-1", "1,5"}) {
        messages.clear();
        digita(4, typed);
        ASSERT_EQ(messages.shown().size(), 1) << typed;
        EXPECT_EQ(messages.shown().at(0).text, "ATTENZIONE !\n\nValore non valido per il campo N. allegati.");
        EXPECT_EQ(box(4)->text(), typed);
        EXPECT_EQ(registro()->value("Numero_documenti").toLongLong(), 0);
    }
    EXPECT_EQ(conta("SELECT count(*) FROM entrata WHERE Numero_documenti < 0"), 0);
}

TEST_F(TypedValueTest, AnImpossibleReferenceDateIsRefusedAloudAndKeptInTheBox)
{
    // The calendar opens on the date box; the typed date is written when the next box is left.
    ASSERT_TRUE(typeInto(&w, "txt_mask1_6", "31/02/2025"));
    digita(7, "Richiesta");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().at(0).text, "ATTENZIONE !\n\nValore non valido per il campo Data_quad_rif.");
    EXPECT_EQ(box(6)->text(), "31/02/2025");
    EXPECT_TRUE(registro()->value("Data_quad_rif").isNull());
    EXPECT_EQ(registro()->value("Oggetto").toString(), "Richiesta");

    messages.clear();
    ASSERT_TRUE(typeInto(&w, "txt_mask1_6", "28/02/2025"));
    digita(7, "Richiesta urgente");
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(registro()->value("Data_quad_rif").toDate(), QDate(2025, 2, 28));
}

TEST_F(TypedValueTest, ARefusedValueStopsTheConfirmationWithTheEntryAsTyped)
{
    compila("Lettera", "Richiesta di accesso", "Rossi Mario");
    digita(4, "tre");
    messages.clear();

    // Confirming again tells the clerk once more and stores nothing: the old count is not
    // written in place of the typed one.
    click(&w, "cmd_new_ins_0");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().at(0).text, "ATTENZIONE !\n\nValore non valido per il campo N. allegati.");
    EXPECT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(4)->text(), "tre");
    EXPECT_TRUE(QFile::exists(lock()));
    EXPECT_EQ(conta("SELECT count(*) FROM entrata WHERE Progressivo = 4"), 0);

    // Mended, the confirmation stores the entry with the count typed.
    messages.clear();
    digita(4, "2");
    click(&w, "cmd_new_ins_0");
    EXPECT_FALSE(messages.contains("Valore non valido"));
    EXPECT_FALSE(nuovaSchedaInCorso(w));
    EXPECT_EQ(scalar("SELECT Numero_documenti FROM entrata WHERE Progressivo = 4").toInt(), 2);
}

TEST_F(TypedValueTest, WhatIsTypedIsInTheEntryAsItIsTypedAndAHalfTypedValueLeavesItAsItWas)
{
    box(7)->setFocus();
    QTest::keyClicks(box(7), "Domanda d'accesso");
    EXPECT_EQ(registro()->value("Oggetto").toString(), "Domanda d'accesso");
    EXPECT_EQ(box(7)->text(), "Domanda d'accesso");

    box(4)->setFocus();
    box(4)->selectAll();
    QTest::keyClicks(box(4), "2");
    EXPECT_EQ(registro()->value("Numero_documenti").toLongLong(), 2);
    QTest::keyClicks(box(4), ",");
    EXPECT_EQ(registro()->value("Numero_documenti").toLongLong(), 0);
    EXPECT_EQ(box(4)->text(), "2,");
    // Nothing is told while the clerk is typing.
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}
