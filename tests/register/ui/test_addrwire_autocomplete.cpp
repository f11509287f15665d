// The autocomplete control on the main window's mask: earlier values proposed as the clerk
// types, the keys of its list, and the town pick into the current correspondent row.
#include "test_addrwire_fixture.h"

#include "archive_indexes.h"
#include "prefix_search.h"

using namespace quad;
using namespace quad::test;

namespace {

class AddrwireAutocomplete : public AddrwireTest
{
protected:
    void SetUp() override
    {
        AddrwireTest::SetUp();
        // Earlier entries: twelve references of one kind, entered in no particular order, two of
        // them twice.
        auto archivio = Connection::shared(program.archive(), kPassword, nullptr);
        ASSERT_TRUE(archivio);
        int numero = 100;
        for (int n : {7, 12, 1, 3, 10, 5, 2, 9, 11, 4, 8, 6, 2, 1})
            ASSERT_TRUE(archivio
                            ->exec("INSERT INTO entrata (Progressivo, Tipo, Quad_rif) VALUES (?, 'E', ?)",
                                   {++numero, QString("Prot. %1").arg(n, 2, 10, QChar('0'))})
                            .ok());
        inserisci();
    }
};

} // namespace

TEST_F(AddrwireAutocomplete, EarlierValuesAreProposedUpToMaxItems)
{
    const int posizione = dati(w, "Adodc1")->Recordset()->absolutePosition();
    scrivi(5, "prot. ");
    ASSERT_TRUE(ac->isListVisible());
    // Distinct values of the register's column, ascending, at most eight.
    EXPECT_EQ(
        voci(),
        QStringList({"Prot. 01", "Prot. 02", "Prot. 03", "Prot. 04", "Prot. 05", "Prot. 06", "Prot. 07", "Prot. 08"}));
    EXPECT_EQ(voceScelta(), "Prot. 01");
    // The list never takes the focus.
    EXPECT_EQ(QApplication::focusWidget(), box(5));

    // Down, Down, Up move the selection; Enter writes it into the box and closes the list.
    tasto(5, Qt::Key_Down);
    tasto(5, Qt::Key_Down);
    EXPECT_EQ(voceScelta(), "Prot. 03");
    tasto(5, Qt::Key_Up);
    EXPECT_EQ(voceScelta(), "Prot. 02");
    tasto(5, Qt::Key_PageDown);
    EXPECT_EQ(voceScelta(), "Prot. 08");
    tasto(5, Qt::Key_PageUp);
    EXPECT_EQ(voceScelta(), "Prot. 01");
    tasto(5, Qt::Key_Down);
    tasto(5, Qt::Key_Return);
    EXPECT_FALSE(ac->isListVisible());
    EXPECT_EQ(box(5)->text(), "Prot. 02");
    EXPECT_EQ(QApplication::focusWidget(), box(5));
    // The register did not move under the keys.
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->absolutePosition(), posizione);

    // Escape closes the list and leaves the text as typed.
    riscrivi(5, "Prot. 1");
    ASSERT_TRUE(ac->isListVisible());
    EXPECT_EQ(voci(), QStringList({"Prot. 10", "Prot. 11", "Prot. 12"}));
    tasto(5, Qt::Key_Escape);
    EXPECT_FALSE(ac->isListVisible());
    EXPECT_EQ(box(5)->text(), "Prot. 1");

    // A smaller limit.
    ac->setMaxItems(3);
    riscrivi(5, "Prot");
    EXPECT_EQ(voci(), QStringList({"Prot. 01", "Prot. 02", "Prot. 03"}));
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(AddrwireAutocomplete, RegisterFieldsWithQuotesAreProposedToo)
{
    // The subjects of the three entries: "Oggetto n. 1 dell'ufficio" ...
    scrivi(7, "oggetto n. 2 dell'");
    ASSERT_TRUE(ac->isListVisible());
    EXPECT_EQ(voci(), QStringList({"Oggetto n. 2 dell'ufficio"}));
    // Leaving the box closes the list.
    box(18)->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(ac->isListVisible());
}

TEST_F(AddrwireAutocomplete, NumbersLockedBoxesAndTheNameBoxGetNoList)
{
    scrivi(4, "1");
    EXPECT_FALSE(ac->isListVisible());

    // A registered entry's boxes are locked.
    box(5)->setReadOnly(true);
    scrivi(5, "Prot");
    EXPECT_FALSE(ac->isListVisible());

    // The name box has the address book instead: no list of earlier names.
    box(5)->setReadOnly(false);
    scrivi(5, "Prot. 0");
    ASSERT_TRUE(ac->isListVisible());
    scrivi(8, "Altro");
    EXPECT_FALSE(ac->isListVisible());
}

TEST_F(AddrwireAutocomplete, RomaFillsProvinceCountryAndPostalCode)
{
    scrivi(13, "Roma");
    ASSERT_TRUE(ac->isListVisible());
    EXPECT_EQ(voceScelta(), "Roma");
    tasto(13, Qt::Key_Return);
    EXPECT_FALSE(ac->isListVisible());
    EXPECT_EQ(riga("Citta").toString(), "Roma");
    EXPECT_EQ(riga("Prov").toString(), "RM");
    EXPECT_EQ(riga("Stato").toString(), "IT");
    EXPECT_EQ(riga("Cap").toString(), "00118");
    EXPECT_EQ(box(13)->text(), "Roma");
    EXPECT_EQ(box(14)->text(), "RM");
    EXPECT_EQ(box(15)->text(), "IT");
    EXPECT_EQ(box(25)->text(), "00118");
    EXPECT_EQ(QApplication::focusWidget(), box(13));
    EXPECT_FALSE(ac->p_cliccato);

    // What the town box holds reaches the row when it is left.
    box(16)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(riga("Citta").toString(), "Roma");
}

TEST_F(AddrwireAutocomplete, AForeignStateEmptiesProvinceAndPostalCode)
{
    scrivi(14, "RM");
    scrivi(25, "00118");
    scrivi(11, "Rue de Rivoli");
    scrivi(13, "Francia");
    ASSERT_TRUE(ac->isListVisible());
    ASSERT_EQ(voceScelta(), "Francia");
    tasto(13, Qt::Key_Return);
    EXPECT_EQ(riga("Stato").toString(), "EE");
    EXPECT_TRUE(riga("Prov").toString().isEmpty());
    EXPECT_TRUE(riga("Cap").toString().isEmpty());
    EXPECT_EQ(box(15)->text(), "EE");
    EXPECT_TRUE(box(14)->text().isEmpty());
    EXPECT_TRUE(box(25)->text().isEmpty());
    // Text typed in the other boxes is kept.
    EXPECT_EQ(riga("Indirizzo").toString(), "Rue de Rivoli");
    EXPECT_EQ(box(11)->text(), "Rue de Rivoli");
}

TEST_F(AddrwireAutocomplete, TownsThatShareANameShowTheirProvince)
{
    scrivi(13, "Castro");
    ASSERT_TRUE(ac->isListVisible());
    const QStringList items = voci();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items.mid(0, 2), QStringList({"Castro (BG)", "Castro (LE)"}));
    tasto(13, Qt::Key_Down);
    tasto(13, Qt::Key_Return);
    EXPECT_EQ(riga("Citta").toString(), "Castro");
    EXPECT_EQ(riga("Prov").toString(), "LE");
    EXPECT_EQ(box(13)->text(), "Castro");
}

TEST_F(AddrwireAutocomplete, LeavingTheRegisterLetsTheDatabaseGo)
{
    scrivi(5, "Prot");
    ASSERT_TRUE(ac->isListVisible());
    EXPECT_FALSE(ac->ConnectionString().isEmpty());
    vista(w)->chiudi();
    EXPECT_FALSE(ac->isListVisible());
    EXPECT_TRUE(ac->ConnectionString().isEmpty());
    EXPECT_EQ(ac->TextObject(), nullptr);
}

TEST_F(AddrwireAutocomplete, ListsAfterAConfirmedEntryAndOnTheFirstBoxOfTheNext)
{
    // The entry being typed is confirmed.
    scrivi(3, "Lettera");
    scrivi(7, "Prima voce");
    scrivi(8, "Bianchi");
    ASSERT_TRUE(click(&w, "cmd_new_ins_0"));
    ASSERT_FALSE(nuovaSchedaInCorso(w));
    ASSERT_TRUE(messages.contains("Aggiorno l' archivio"));

    // The next entry: the first box the clerk types in proposes as before.
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    schede(w)->cmd_ins_Click(0);
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    scrivi(5, "prot. ");
    ASSERT_TRUE(ac->isListVisible());
    EXPECT_EQ(voci().first(), "Prot. 01");
    scrivi(7, "prima v");
    ASSERT_TRUE(ac->isListVisible());
    EXPECT_EQ(voci(), QStringList({"Prima voce"}));
}

TEST_F(AddrwireAutocomplete, AnotherStationsEntryIsProposedAfterTheNextFocus)
{
    scrivi(7, "Quaderno d");
    EXPECT_FALSE(ac->isListVisible());
    // Another station registers an entry while the clerk types here.
    DbResult err;
    auto altra = Connection::open(program.archive(), kPassword, &err);
    ASSERT_TRUE(altra) << err.message.toStdString();
    ASSERT_TRUE(altra
                    ->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (300, 'U', ?)",
                           {QString::fromUtf8("QUADERNO DELL'ALTRA POSTAZIONE, 100% àccento")})
                    .ok());
    ASSERT_TRUE(altra->exec("INSERT INTO entrata (Progressivo, Tipo, Quad_rif) VALUES (301, 'U', 'Prot. 99')").ok());
    box(18)->setFocus(Qt::TabFocusReason);
    riscrivi(7, "quaderno dell'altra postazione, 100% À");
    ASSERT_TRUE(ac->isListVisible());
    EXPECT_EQ(voci(), QStringList({QString::fromUtf8("QUADERNO DELL'ALTRA POSTAZIONE, 100% àccento")}));
    riscrivi(5, "prot. 9");
    EXPECT_EQ(voci(), QStringList({"Prot. 99"}));
}

TEST_F(AddrwireAutocomplete, TheArchiveTemplateHasTheStructuresTheBoxesSearch)
{
    auto archivio = Connection::shared(program.archive(), kPassword, nullptr);
    ASSERT_TRUE(archivio);
    for (const auto& [table, field] : std::vector<std::pair<QString, QString>> {
             {"entrata", "Oggetto"}, {"entrata", "Tipo_documento"}, {"entrata", "Note"}, {"entrata", "Quad_rif"}})
        EXPECT_TRUE(archiveServesValues(*archivio, table, field)) << field.toStdString();
    auto impostazioni = Connection::shared(program.file("Quad_imposta.mdb"), QByteArray(), nullptr);
    ASSERT_TRUE(impostazioni);
    EXPECT_FALSE(
        impostazioni->scalar("SELECT 1 FROM sqlite_master WHERE name = ?", {prefixIndexName("Comuni", "Citta")})
            .isNull());
}

TEST_F(AddrwireAutocomplete, TheCorrespondentBoxesButTheTownProposeNothing)
{
    auto archivio = Connection::shared(program.archive(), kPassword, nullptr);
    ASSERT_TRUE(archivio);
    ASSERT_TRUE(archivio
                    ->exec("UPDATE Mittenti SET P_iva_CF = '01234567897', Indirizzo = 'Via Po', Civico = '3', "
                           "Prov = 'TO', Stato = 'IT', Cap = '10121'")
                    .ok());
    // The earlier correspondent's VAT number typed again: nothing is proposed, and a click where
    // the address box lies types there.
    scrivi(9, "01234567897");
    EXPECT_FALSE(ac->isListVisible());
    QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, box(11)->mapTo(&w, box(11)->rect().center()));
    typeInFocus("Via Po");
    EXPECT_EQ(box(11)->text(), "Via Po");
    EXPECT_EQ(box(9)->text(), "01234567897");
    EXPECT_EQ(riga("P_iva_CF").toString(), "01234567897");
    for (const auto& [casella, testo] :
         std::vector<std::pair<int, QString>> {{12, "3"}, {14, "TO"}, {15, "IT"}, {25, "10121"}}) {
        scrivi(casella, testo);
        EXPECT_FALSE(ac->isListVisible()) << casella;
    }
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}
