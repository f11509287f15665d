// The address-book check run by the confirmation of a new entry, through the real window: "Nuovo",
// the boxes typed, "Conferma ed Esci".
#include "test_entries_fixture.h"

#include "address_book.h"

#include <optional>

using namespace quad;
using namespace quad::test;

namespace {

class AddressCheckAtConfirmation : public EntriesTest
{
protected:
    /// Names in the address book living at a street.
    QStringList nomiInVia(const QString& via) const
    {
        QStringList out;
        DbResult err;
        const auto book = AddressBook::openSettings(&err);
        EXPECT_TRUE(book) << err.message.toStdString();
        if (book)
            err = book->query("SELECT Nominativo FROM Elenco WHERE Indirizzo = ? ORDER BY Nominativo", {via},
                              [&](const Statement& st) {
                                  out << st.value(0).toString();
                                  return true;
                              });
        EXPECT_TRUE(err.ok()) << err.message.toStdString();
        return out;
    }

    /// A new incoming entry with one correspondent, confirmed; risposta answers the question
    /// about the address book if it is asked.
    void registra(const QString& nome, const QString& via, std::optional<MsgAnswer> risposta = std::nullopt)
    {
        nuovo(0);
        compila("Lettera", "Richiesta", nome);
        typeInto(&w, "txt_mask1_11", via);
        messages.clear();
        if (risposta)
            messages.answer(*risposta);
        click(&w, "cmd_new_ins_0");
    }

    const QString domanda = "Dati anagrafici non presenti in archivio.\n\nAggiorno l' archivio ?\n\n";
};

} // namespace

TEST_F(AddressCheckAtConfirmation, AnUnknownCorrespondentIsOfferedAndAKnownOneIsNot)
{
    apri(3);
    registra("D'Angelo Ugo", "Via dei Mille", MsgAnswer::Yes);
    EXPECT_EQ(corrente(), 4);
    ASSERT_EQ(messages.texts(), QStringList {domanda});
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown().last().buttons, MsgButtons::YesNo);
    EXPECT_EQ(nomiInVia("Via dei Mille"), QStringList {"D'Angelo Ugo"});

    // The same correspondent again: known now, nothing is asked and nothing added.
    registra("D'Angelo Ugo", "Via dei Mille");
    EXPECT_EQ(corrente(), 5);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(nomiInVia("Via dei Mille"), QStringList {"D'Angelo Ugo"});

    // No adds nothing.
    registra("Neri Ida", "Via dei Mille", MsgAnswer::No);
    EXPECT_EQ(messages.texts(), QStringList {domanda});
    EXPECT_EQ(nomiInVia("Via dei Mille"), QStringList {"D'Angelo Ugo"});
}
