// A new entry whose number another station stored while it was typed (the lock removed there with
// "Sblocca archivio"): "Conferma ed Esci" offers the next free number, read under the lock.
#include "test_entries_fixture.h"

#include "issuing_lock.h"
#include "unlock.h"

using namespace quad;
using namespace quad::test;

namespace {

/// Entry 46 typed here with two correspondents while another station removes the lock, registers
/// 46 itself and gives its own lock back.
class NumberTakenElsewhere : public EntriesTest
{
protected:
    void SetUp() override
    {
        apri(45);
        nuovo(0);
        ASSERT_EQ(box(0)->text(), "46");
        compila("Lettera", "Scritto qui", "Verdi");
        ASSERT_TRUE(click(&w, "cmd_altri"));
        typeInto(&w, "txt_mask1_8", "Gialli");

        ASSERT_TRUE(rimuovi_blocco(program.path()));
        ASSERT_EQ(registraAltrove(), 46);
        messages.clear();
    }

    /// Another station registers the next entry under its own lock; its number, 0 when refused.
    qint64 registraAltrove()
    {
        auto altra = Connection::open(program.archive(), QByteArray(kPassword), nullptr);
        if (!altra)
            return 0;
        IssuingLock blocco(program.path());
        const Allocation numero = allocateNumber(*altra, blocco, nullptr);
        if (!numero.ok())
            return 0;
        NewEntry scheda = makeNewEntry(numero.number, "Uscita", Clock::currentDateTime());
        scheda.record.insert("Oggetto", "Registrato altrove");
        scheda.correspondents.first().insert("Nominativo", "Altrove");
        return EntryStore(*altra).commitNewEntry(scheda).ok() && blocco.release() ? numero.number : 0;
    }

    QString nominativi(int numero) const
    {
        return scalar("SELECT group_concat(Nominativo) FROM (SELECT Nominativo FROM Mittenti WHERE Quadernolo = ? "
                      "ORDER BY Nominativo)",
                      {numero})
            .toString();
    }
};

} // namespace

TEST_F(NumberTakenElsewhere, TheNextNumberAcceptedStoresTheEntryWithItsCorrespondents)
{
    messages.answer(MsgAnswer::Yes);
    click(&w, "cmd_new_ins_0");

    // Asked before anything is stored; then only the address book's offer of the new names.
    ASSERT_EQ(messages.shown().size(), 2) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(messages.shown().first().text,
              "Il numero 46 è già stato assegnato a un altro quadernolo.\n\n"
              "Registro questo quadernolo con il numero 47 ?");
    EXPECT_EQ(messages.shown().first().icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown().first().buttons, MsgButtons::YesNo);
    EXPECT_TRUE(messages.last().startsWith("Dati anagrafici non presenti in archivio."));

    EXPECT_EQ(scalar("SELECT Oggetto || '|' || Tipo FROM entrata WHERE Progressivo = 47").toString(), "Scritto qui|E");
    EXPECT_EQ(nominativi(47), "Gialli,Verdi");
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 47 AND tipo = 'E'"), 2);
    // The other station's entry is as it stored it.
    EXPECT_EQ(scalar("SELECT Oggetto || '|' || Tipo FROM entrata WHERE Progressivo = 46").toString(),
              "Registrato altrove|U");
    EXPECT_EQ(nominativi(46), "Altrove");
    EXPECT_FALSE(QFile::exists(lock()));

    // The register shows the entry under its new number, in the mask, the grid and the count.
    attesoConsultazione();
    EXPECT_EQ(corrente(), 47);
    EXPECT_EQ(box(0)->text(), "47");
    EXPECT_EQ(box(7)->text(), "Scritto qui");
    EXPECT_EQ(dati(w, "Adodc1")->Caption(),
              QStringLiteral("   Totale schede : %1")
                  .arg(conta("SELECT count(*) FROM entrata INNER JOIN Mittenti ON Progressivo = Quadernolo")));
    ASSERT_TRUE(trigger(&w, "tb_modo"));
    QAbstractItemModel* righe = grid(w)->model();
    QList<int> ultimi;
    for (int r = righe->rowCount() - 4; r < righe->rowCount(); ++r)
        ultimi << righe->index(r, 0).data().toInt();
    EXPECT_EQ(ultimi, QList<int>({45, 46, 47, 47}));

    // The next entry follows it.
    messages.clear();
    nuovo(0);
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "48");
    click(&w, "cmd_new_ins_1");
}

TEST_F(NumberTakenElsewhere, TheNextNumberRefusedKeepsTheEntryOnScreenUnderItsNumberAndTheLock)
{
    messages.answer(MsgAnswer::No);
    click(&w, "cmd_new_ins_0");
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(messages.last().endsWith("Registro questo quadernolo con il numero 47 ?"));

    EXPECT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "46");
    EXPECT_EQ(box(7)->text(), "Scritto qui");
    EXPECT_EQ(box(8)->text(), "Gialli");
    // The lock, taken again for the number offered, is held: no other station issues meanwhile.
    EXPECT_EQ(lockContent(), QByteArray("...\r\n"));
    EXPECT_EQ(registraAltrove(), 0);
    EXPECT_EQ(conta("SELECT count(*) FROM entrata"), 46);
    EXPECT_EQ(nominativi(46), "Altrove");

    // Asked again, the clerk takes it.
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    click(&w, "cmd_new_ins_0");
    EXPECT_TRUE(messages.shown().first().text.endsWith("con il numero 47 ?"));
    EXPECT_FALSE(messages.contains("ATTENZIONE")) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(nominativi(47), "Gialli,Verdi");
    EXPECT_FALSE(QFile::exists(lock()));
    attesoConsultazione();
}

TEST_F(NumberTakenElsewhere, ALockAnotherStationHoldsNowOffersNothingAndKeepsTheEntry)
{
    IssuingLock altra(program.path());
    ASSERT_TRUE(altra.acquire().ok());
    click(&w, "cmd_new_ins_0");
    EXPECT_EQ(messages.texts(),
              QStringList({"ATTENZIONE !!\n\nQuadernolo in emissione da altro utente.\n\n"
                           "Il numero 46 è già stato assegnato a un altro quadernolo.\n\n"
                           "Il quadernolo non è stato salvato e resta sullo schermo."}));
    EXPECT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "46");
    EXPECT_EQ(box(7)->text(), "Scritto qui");
    EXPECT_EQ(conta("SELECT count(*) FROM entrata"), 46);

    // The other station's lock stays its own, also when the entry is given up.
    click(&w, "cmd_new_ins_1");
    EXPECT_TRUE(QFile::exists(lock()));
    attesoConsultazione();
}
