// A new entry through the main window: the number, the issuing lock, the start number of an empty
// register, the required fields, the correspondent rows, the confirmation and the drop.
#include "test_entries_fixture.h"

#include <cstring>

using namespace quad;
using namespace quad::test;

namespace {

class NewEntryDirection : public EntriesTest, public ::testing::WithParamInterface<int>
{
};

} // namespace

TEST_P(NewEntryDirection, FollowsTheLastEntryOfEitherDirectionAndIsWrittenAtConfirmation)
{
    const int index = GetParam();
    const QString tipo = index == 0 ? "E" : "U";
    apri(57);
    nuovo(index);
    ASSERT_TRUE(messages.shown().size() >= 1);
    EXPECT_EQ(messages.shown().at(0).text, "Confermi inserimento nuovo quadernolo ?\n\n");
    EXPECT_EQ(messages.shown().at(0).title, "Richiesta nuovo inserimento");
    EXPECT_EQ(messages.shown().at(0).icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown().size(), 1);

    // The mask shows the new entry, open for typing; the number is reserved by the lock.
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_TRUE(control<QFrame>(&w, "Frame_new_ins")->isVisible());
    EXPECT_EQ(box(0)->text(), "58");
    EXPECT_EQ(box(1)->text(), "2025");
    EXPECT_EQ(box(2)->text(), "14/06/2025");
    EXPECT_EQ(box(24)->text(), "10:20:30");
    EXPECT_EQ(box(4)->text(), "0");
    EXPECT_TRUE(box(7)->text().isEmpty());
    EXPECT_TRUE(box(8)->text().isEmpty());
    EXPECT_FALSE(box(7)->isReadOnly());
    EXPECT_FALSE(control<QCheckBox>(&w, "Check1")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(&w, "Check2")->isChecked());
    EXPECT_FALSE(control<QToolBar>(&w, "Toolbar1")->isEnabled());
    EXPECT_FALSE(control<QToolBar>(&w, "Toolbar2")->isEnabled());
    EXPECT_FALSE(shown(w, "pic_move")->isEnabled());
    EXPECT_FALSE(dati(w, "Adodc1")->isEnabled());
    EXPECT_FALSE(control<QFrame>(&w, "frame_annulla")->isVisibleTo(mask(w)));
    EXPECT_FALSE(control<QFrame>(&w, "Frame_annullato")->isVisibleTo(mask(w)));
    EXPECT_EQ(sessione(w).p_ultima_data(), QDate(2024, 3, 1).addDays(57));
    EXPECT_EQ(lockContent(), QByteArray("...\r\n"));
    // Nothing is in the archive yet.
    EXPECT_EQ(conta("SELECT count(*) FROM entrata WHERE Progressivo = 58"), 0);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 58"), 0);

    compila("Lettera", "Richiesta di accesso agli atti", "Rossi Mario");
    typeInto(&w, "txt_mask1_11", "Via Roma");
    click(&w, "cmd_new_ins_0");

    // One entry with its correspondent, as typed, at the moment the number was given.
    EXPECT_FALSE(messages.contains("ATTENZIONE"));
    EXPECT_EQ(scalar("SELECT Tipo FROM entrata WHERE Progressivo = 58").toString(), tipo);
    EXPECT_EQ(scalar("SELECT Data_quadernolo FROM entrata WHERE Progressivo = 58").toString(), "2025-06-14");
    EXPECT_EQ(scalar("SELECT Orario FROM entrata WHERE Progressivo = 58").toString(), "10:20:30");
    EXPECT_EQ(scalar("SELECT Anno FROM entrata WHERE Progressivo = 58").toInt(), 2025);
    EXPECT_EQ(scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 58").toString(),
              "Richiesta di accesso agli atti");
    EXPECT_EQ(scalar("SELECT Annullato FROM entrata WHERE Progressivo = 58").toInt(), 0);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 58"), 1);
    EXPECT_EQ(
        scalar("SELECT Nominativo || '|' || tipo || '|' || Civico FROM Mittenti WHERE Quadernolo = 58").toString(),
        "Rossi Mario|" + tipo + "|snc");
    EXPECT_FALSE(QFile::exists(lock()));

    // Back to browsing, on the new entry.
    attesoConsultazione();
    EXPECT_EQ(corrente(), 58);
    EXPECT_EQ(box(0)->text(), "58");
    EXPECT_EQ(box(8)->text(), "Rossi Mario");
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 59");
    EXPECT_TRUE(control<QFrame>(&w, "frame_annulla")->isVisibleTo(mask(w)));
}

INSTANTIATE_TEST_SUITE_P(BothDirections, NewEntryDirection, ::testing::Values(0, 1));

TEST_F(EntriesTest, EmptyRegisterRefusesAStartNumberThatIsNotAPositiveWholeNumber)
{
    apri(0);
    int asked = 0;
    for (const QString& answer : {QString(""), QString("0"), QString("abc"), QString(), QString("-5"), QString("1.5"),
                                  QString("12abc"), QString("2147483648")}) {
        messages.clear();
        // A null text is a cancelled input box.
        messages.input(answer);
        nuovo(0);
        ++asked;
        ASSERT_EQ(messages.prompts.size(), asked);
        EXPECT_EQ(messages.prompts.last(), "Primo inserimento ...\n\nInserire il numero di quadernolo di partenza.");
        EXPECT_EQ(messages.last(), "   AZIONE ANNULLATA   \n\n    Valore non valido !") << answer.toStdString();
        EXPECT_EQ(messages.shown().last().icon, MsgIcon::None);
        EXPECT_EQ(messages.shown().last().title, "Quadernolo");
        EXPECT_FALSE(QFile::exists(lock())) << answer.toStdString();
        EXPECT_EQ(conta("SELECT count(*) FROM entrata"), 0);
        EXPECT_EQ(conta("SELECT count(*) FROM Mittenti"), 0);
        EXPECT_FALSE(nuovaSchedaInCorso(w));
        EXPECT_FALSE(control<QFrame>(&w, "Frame_new_ins")->isVisibleTo(mask(w)));
        EXPECT_TRUE(control<QToolBar>(&w, "Toolbar1")->isEnabled());
        EXPECT_TRUE(shown(w, "pic_move")->isEnabled());
    }
}

TEST_F(EntriesTest, EmptyRegisterStartsAtTheNumberTyped)
{
    apri(0);
    messages.input(" 100 ");
    nuovo(1);
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "100");
    EXPECT_EQ(sessione(w).p_ultima_data(), QDate(2025, 6, 14));
    EXPECT_EQ(control<QLabel>(&w, "lbl_modo")->text(), "Quadernolo in USCITA");
    compila("Circolare", "Prima uscita", "Ufficio tecnico");
    click(&w, "cmd_new_ins_0");
    EXPECT_EQ(conta("SELECT count(*) FROM entrata WHERE Progressivo = 100 AND Tipo = 'U'"), 1);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 100 AND tipo = 'U'"), 1);
    EXPECT_EQ(corrente(), 100);
    EXPECT_FALSE(QFile::exists(lock()));

    // The next one follows, without a question.
    nuovo(0);
    EXPECT_EQ(box(0)->text(), "101");
    EXPECT_EQ(messages.prompts.size(), 1);
    click(&w, "cmd_new_ins_1");
}

TEST_F(EntriesTest, AtTheLastNumberNuovoRefusesAndLeavesNoLock)
{
    apri(0);
    messages.input("2147483647");
    nuovo(0);
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "2147483647");
    compila("Lettera", "Ultimo numero", "Rossi Mario");
    click(&w, "cmd_new_ins_0");
    ASSERT_EQ(conta("SELECT count(*) FROM entrata WHERE Progressivo = 2147483647"), 1);

    messages.clear();
    nuovo(0);
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !\n\nIl registro ha raggiunto l' ultimo numero (2147483647): non si "
              "possono registrare altri quadernoli.");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(messages.prompts.size(), 1);
    attesoConsultazione();
    EXPECT_FALSE(QFile::exists(lock()));
    EXPECT_EQ(box(0)->text(), "2147483647");
    EXPECT_EQ(conta("SELECT count(*) FROM entrata"), 1);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti"), 1);
}

TEST_F(EntriesTest, ALockHeldByAnotherStationRefusesAndLeavesItsFileAlone)
{
    apri(5);
    for (const char* name : {"emissione.txt", "EMISSIONE.TXT"}) {
        QFile other(program.file(name));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("altra stazione");
        other.close();
        messages.clear();
        nuovo(0);
        EXPECT_EQ(messages.last(), "ATTENZIONE !!\n\nQuadernolo in emissione da altro utente.") << name;
        EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
        attesoConsultazione();
        EXPECT_EQ(conta("SELECT count(*) FROM entrata"), 5);
        // The other station's lock is still there, as it was.
        QFile still(program.file(name));
        ASSERT_TRUE(still.open(QIODevice::ReadOnly));
        EXPECT_EQ(still.readAll(), QByteArray("altra stazione"));
        still.close();
        ASSERT_TRUE(QFile::remove(program.file(name)));
    }
    // Once it is gone a new entry starts.
    nuovo(0);
    EXPECT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "6");
    click(&w, "cmd_new_ins_1");
}

TEST(EntriesNetwork, TheNumberComesFromTheArchiveEvenWhenTheRegisterOnScreenIsOld)
{
    for (const char* rete : {"0", "1"}) {
        TempProgram local;
        ScriptedMessages msgs;
        TestQuadernolo win;
        local.writeIni(QString("[IMPOSTA]\nPostazione=Server\nQuad_rete=%1\n").arg(rete));
        seedRegister(local.archive(), 5);
        ASSERT_TRUE(startWindow(win));
        openRegister(win);
        // Another station registers entry 6 after this one read the register.
        auto db = Connection::shared(local.archive(), QByteArray(kPassword), nullptr);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Oggetto) VALUES "
                             "(6, 'U', '2025-06-13', 'altra stazione')")
                        .ok());
        ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (6, 'U', 'X')").ok());
        ASSERT_TRUE(trigger(&win, "tb_insert"));
        msgs.answer(MsgAnswer::Yes);
        ASSERT_TRUE(click(&win, "cmd_ins_0"));
        EXPECT_EQ(casella(win, 0)->text(), "7") << rete;
        EXPECT_EQ(sessione(win).p_ultima_data(), QDate(2025, 6, 13));
        // With the network switch on the register is read again and shows the other entry too.
        const int righe = std::strcmp(rete, "1") == 0 ? 8 : 7;
        EXPECT_EQ(schede(win)->conta_schede(), righe) << rete;
        click(&win, "cmd_new_ins_1");
    }
}

TEST_F(EntriesTest, MissingRequiredFieldsKeepTheEntryBeingTyped)
{
    apri(5);
    nuovo(0);
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    struct Caso
    {
        const char* tipo;
        const char* oggetto;
        const char* nome;
    };
    for (const Caso& c : {Caso {"", "Oggetto", "Nome"}, Caso {"Lettera", "", "Nome"}, Caso {"Lettera", "Oggetto", ""},
                          Caso {"Lettera", "   ", "Nome"}, Caso {"Lettera", "Oggetto", "   "}}) {
        messages.clear();
        compila(c.tipo, c.oggetto, c.nome);
        click(&w, "cmd_new_ins_0");
        EXPECT_EQ(messages.last(), "ATTENZIONE\n\nDati incompleti per il salvataggio !");
        EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
        EXPECT_TRUE(nuovaSchedaInCorso(w));
        EXPECT_TRUE(control<QFrame>(&w, "Frame_new_ins")->isVisible());
        EXPECT_FALSE(box(3)->isReadOnly());
        EXPECT_EQ(lockContent(), QByteArray("...\r\n"));
        EXPECT_EQ(box(7)->text(), QString::fromLatin1(c.oggetto));
        EXPECT_EQ(conta("SELECT count(*) FROM entrata WHERE Progressivo = 6"), 0);
        EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 6"), 0);
    }
    // Closing the window is refused as well while the entry is typed.
    messages.clear();
    w.close();
    EXPECT_EQ(messages.last(), "Impossibile uscire in tale fase !");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(w.ended, 0);
    // Completed, it is taken.
    compila("Lettera", "Oggetto", "Nome");
    click(&w, "cmd_new_ins_0");
    EXPECT_EQ(conta("SELECT count(*) FROM entrata WHERE Progressivo = 6"), 1);
    EXPECT_FALSE(QFile::exists(lock()));
}

TEST_F(EntriesTest, DroppingLeavesNoTraceAndTheNextEntryReusesTheNumber)
{
    apri(5);
    // Rows a station stopped while typing entry 6 left behind, in both directions.
    auto db = archivio();
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (6, 'E', 'Orfano E'), "
                         "(6, 'U', 'Orfano U')")
                    .ok());
    nuovo(0);
    EXPECT_EQ(box(0)->text(), "6");
    // They are no correspondents of the new entry.
    EXPECT_TRUE(box(8)->text().isEmpty());
    EXPECT_EQ(dati(w, "ado_mittenti")->Recordset()->recordCount(), 1);
    compila("Lettera", "Da buttare", "Bianchi");
    click(&w, "cmd_new_ins_1");

    EXPECT_EQ(conta("SELECT count(*) FROM entrata WHERE Progressivo = 6"), 0);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 6"), 0);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti"), 6);
    EXPECT_FALSE(QFile::exists(lock()));
    attesoConsultazione();
    EXPECT_EQ(corrente(), 5);
    EXPECT_EQ(box(0)->text(), "5");
    EXPECT_EQ(box(8)->text(), "Mittente 5-0");

    nuovo(1);
    EXPECT_EQ(box(0)->text(), "6");
    EXPECT_TRUE(box(7)->text().isEmpty());
    click(&w, "cmd_new_ins_1");
    EXPECT_EQ(conta("SELECT count(*) FROM entrata"), 5);
}

TEST_F(EntriesTest, AFailedConfirmationKeepsTheEntryTypedAndTheLock)
{
    apri(5);
    nuovo(0);
    compila("Lettera", "Scritto a mano", "Verdi");
    // Behind the window's back the number is taken (a lock removed by hand, say).
    ASSERT_TRUE(archivio()
                    ->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Oggetto) VALUES "
                           "(6, 'U', '2025-06-14', 'intruso');"
                           "INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (6, 'U', 'Intruso')")
                    .ok());
    messages.clear();
    // The next number offered is refused.
    messages.answer(MsgAnswer::No);
    click(&w, "cmd_new_ins_0");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(),
              "Il numero 6 è già stato assegnato a un altro quadernolo.\n\n"
              "Registro questo quadernolo con il numero 7 ?");
    EXPECT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_TRUE(control<QFrame>(&w, "Frame_new_ins")->isVisible());
    EXPECT_EQ(box(7)->text(), "Scritto a mano");
    EXPECT_EQ(box(8)->text(), "Verdi");
    EXPECT_EQ(lockContent(), QByteArray("...\r\n"));
    EXPECT_EQ(scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 6").toString(), "intruso");
    EXPECT_EQ(scalar("SELECT group_concat(Nominativo) FROM Mittenti WHERE Quadernolo = 6").toString(), "Intruso");

    // Dropped, it takes nothing of the other entry with it, not even its correspondent.
    click(&w, "cmd_new_ins_1");
    EXPECT_EQ(scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 6").toString(), "intruso");
    EXPECT_EQ(scalar("SELECT group_concat(Nominativo) FROM Mittenti WHERE Quadernolo = 6").toString(), "Intruso");
    EXPECT_FALSE(QFile::exists(lock()));
    attesoConsultazione();
}

TEST_F(EntriesTest, TheConfirmationWritesTheEntryWhateverTheModifiedFlagsSay)
{
    apri(5);
    nuovo(1);
    compila("Lettera", "Senza segni di modifica", "Neri");
    ASSERT_TRUE(click(&w, "cmd_altri"));
    typeInto(&w, "txt_mask1_8", "Gialli");
    // Later events of the data controls may have cleared both flags; the entry is written all the same.
    emit dati(w, "Adodc1")->source()->recordChangeComplete(ChangeReason::Requery, nullptr);
    emit dati(w, "ado_mittenti")->source()->recordChangeComplete(ChangeReason::Delete, nullptr);
    ASSERT_EQ(sessione(w).state(), EntrySession::State::Inserting);
    click(&w, "cmd_new_ins_0");
    EXPECT_FALSE(messages.contains("ATTENZIONE"));
    EXPECT_EQ(scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 6").toString(), "Senza segni di modifica");
    EXPECT_EQ(scalar("SELECT group_concat(Nominativo, ',') FROM (SELECT Nominativo FROM Mittenti WHERE "
                     "Quadernolo = 6 AND tipo = 'U' ORDER BY Nominativo)")
                  .toString(),
              "Gialli,Neri");
    EXPECT_FALSE(QFile::exists(lock()));
    attesoConsultazione();
}

TEST_F(EntriesTest, AConfirmationThatFailsHalfWayWritesNothingAndCanBeRepeated)
{
    apri(5);
    // The archive takes the entry but refuses its correspondents.
    ASSERT_TRUE(archivio()
                    ->exec("CREATE TRIGGER niente_nominativi BEFORE INSERT ON Mittenti "
                           "BEGIN SELECT RAISE(ABORT, 'disco pieno'); END;")
                    .ok());
    nuovo(0);
    compila("Lettera", "Tutto o niente", "Viola");
    messages.clear();
    click(&w, "cmd_new_ins_0");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !!\n\nIl quadernolo non è stato salvato.\n\n"));
    EXPECT_TRUE(messages.last().contains("disco pieno"));
    // Not the record without its rows: nothing at all, and the entry still typed under its lock.
    EXPECT_EQ(conta("SELECT count(*) FROM entrata WHERE Progressivo = 6"), 0);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 6"), 0);
    EXPECT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "6");
    EXPECT_EQ(box(7)->text(), "Tutto o niente");
    EXPECT_EQ(lockContent(), QByteArray("...\r\n"));

    // Once the archive takes it, the same confirmation writes the entry whole.
    ASSERT_TRUE(archivio()->exec("DROP TRIGGER niente_nominativi").ok());
    messages.clear();
    click(&w, "cmd_new_ins_0");
    EXPECT_FALSE(messages.contains("ATTENZIONE"));
    EXPECT_EQ(scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 6").toString(), "Tutto o niente");
    EXPECT_EQ(scalar("SELECT Nominativo FROM Mittenti WHERE Quadernolo = 6").toString(), "Viola");
    EXPECT_FALSE(QFile::exists(lock()));
    attesoConsultazione();
    EXPECT_EQ(corrente(), 6);
}

TEST_F(EntriesTest, ADropWhoseCleaningFailsSaysSoAndWritesNothing)
{
    apri(5);
    // Rows left under number 6 by a station stopped while typing, which this archive refuses to delete.
    ASSERT_TRUE(archivio()
                    ->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (6, 'E', 'Orfano');"
                           "CREATE TRIGGER niente_cancellazioni BEFORE DELETE ON Mittenti "
                           "BEGIN SELECT RAISE(ABORT, 'cancellazione vietata'); END;")
                    .ok());
    nuovo(0);
    compila("Lettera", "Da buttare", "Bianchi");
    messages.clear();
    click(&w, "cmd_new_ins_1");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !!\n\nErrore nell' eliminazione dei nominativi.\n\n"));
    EXPECT_TRUE(messages.last().contains("cancellazione vietata"));
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
    // Nothing of the dropped entry was written; the rows left behind are still there.
    EXPECT_EQ(conta("SELECT count(*) FROM entrata"), 5);
    EXPECT_EQ(scalar("SELECT group_concat(Nominativo) FROM Mittenti WHERE Quadernolo = 6").toString(), "Orfano");
    EXPECT_FALSE(QFile::exists(lock()));
    attesoConsultazione();
}

TEST_F(EntriesTest, CorrespondentRowsAreAddedPagedAndWrittenTogether)
{
    apri(5);
    nuovo(0);
    EXPECT_EQ(control<QPushButton>(&w, "cmd_altri")->text(), "Altri mittenti");
    EXPECT_TRUE(control<QPushButton>(&w, "cmd_altri")->isEnabled());
    // A blank row is never followed by another.
    click(&w, "cmd_altri");
    EXPECT_EQ(messages.last(), "ATTENZIONE ! \n\nNon è possibile inserire righe vuote !");
    EXPECT_EQ(dati(w, "ado_mittenti")->Recordset()->recordCount(), 1);
    EXPECT_FALSE(control<QWidget>(&w, "Picture2_2")->isVisibleTo(mask(w)));

    compila("Lettera", "Due mittenti", "Primo");
    typeInto(&w, "txt_mask1_11", "Via Po");
    click(&w, "cmd_altri");
    EXPECT_EQ(dati(w, "ado_mittenti")->Recordset()->recordCount(), 2);
    EXPECT_EQ(control<QLabel>(&w, "lbl_numero")->text(), "2/2");
    EXPECT_TRUE(control<QWidget>(&w, "Picture2_2")->isVisibleTo(mask(w)));
    EXPECT_TRUE(control<QLabel>(&w, "lbl_numero")->isVisibleTo(mask(w)));
    EXPECT_TRUE(box(8)->text().isEmpty());
    typeInto(&w, "txt_mask1_8", "Secondo");
    typeInto(&w, "txt_mask1_13", "Roma");
    click(&w, "cmd_altri");
    EXPECT_EQ(control<QLabel>(&w, "lbl_numero")->text(), "3/3");

    // Paging clamps at both ends.
    click(&w, "cmd_mitt_0");
    EXPECT_EQ(control<QLabel>(&w, "lbl_numero")->text(), "2/3");
    EXPECT_EQ(box(8)->text(), "Secondo");
    click(&w, "cmd_mitt_0");
    click(&w, "cmd_mitt_0");
    EXPECT_EQ(control<QLabel>(&w, "lbl_numero")->text(), "1/3");
    EXPECT_EQ(box(8)->text(), "Primo");
    EXPECT_EQ(box(12)->text(), "snc");
    // One line per row; the blank third row adds only its line break.
    EXPECT_EQ(regole(w)->elenco_corrispondenti_testo(), "Primo Via Po,snc\nSecondo Roma\n\n");

    // The blank third row is left out; the other two go in with the entry.
    click(&w, "cmd_new_ins_0");
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 6 AND tipo = 'E'"), 2);
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 6 AND Nominativo = 'Secondo' AND Citta = "
                    "'Roma'"),
              1);
    EXPECT_EQ(dati(w, "ado_mittenti")->Recordset()->recordCount(), 2);
    EXPECT_EQ(control<QLabel>(&w, "lbl_numero")->text(), "1/2");
    // Browsing, a click on the add button only moves the focus.
    EXPECT_FALSE(control<QPushButton>(&w, "cmd_altri")->isEnabled());
    regole(w)->cmd_altri_Click();
    EXPECT_EQ(dati(w, "ado_mittenti")->Recordset()->recordCount(), 2);
}

TEST_F(EntriesTest, CorrespondentsAsTextLeaveOutWhatIsEmpty)
{
    apri(5);
    nuovo(0);
    // The first row of a new entry is blank: no text, no line break.
    EXPECT_EQ(regole(w)->elenco_corrispondenti_testo(), "");
    typeInto(&w, "txt_mask1_8", "Rossi");
    typeInto(&w, "txt_mask1_10", "02/01/1970");
    typeInto(&w, "txt_mask1_11", "Via Po");
    typeInto(&w, "txt_mask1_12", "3");
    control<QPushButton>(&w, "cmd_focus")->setFocus(); // the box left, its text goes into the row
    EXPECT_EQ(regole(w)->elenco_corrispondenti_testo(), "Rossi (02/01/1970) Via Po,3\n");
    click(&w, "cmd_new_ins_1");

    EXPECT_EQ(MaskController::nz_stringa(QVariant()).metaType().id(), QMetaType::QString);
    EXPECT_EQ(MaskController::nz_stringa(QVariant()).toString(), "");
    for (const QVariant& v : {QVariant(QString("")), QVariant(42), QVariant(QDate(2025, 6, 14))})
        EXPECT_EQ(MaskController::nz_stringa(v), v);
}

TEST_F(EntriesTest, ANewEntryIsMadeOnTheWholeRegister)
{
    apri(5);
    ASSERT_TRUE(registro()->setFilter("Progressivo <= 2").ok());
    QAction* filtro = findAction(&w, "tb_filtro_off");
    filtro->setChecked(true);
    filtro->setText("Filtro off");
    nuovo(1);
    EXPECT_FALSE(registro()->hasFilter());
    EXPECT_FALSE(filtro->isChecked());
    EXPECT_EQ(filtro->text(), "Filtro on");
    EXPECT_EQ(filtro->toolTip(), "Imposta filtro");
    EXPECT_EQ(box(0)->text(), "6");
    click(&w, "cmd_new_ins_1");
    EXPECT_FALSE(registro()->hasFilter());
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 6");
}

TEST_F(EntriesTest, CaptionsFollowTheDirection)
{
    apri(5);
    nuovo(1);
    EXPECT_EQ(control<QLabel>(&w, "lbl_modo")->text(), "Quadernolo in USCITA");
    EXPECT_EQ(control<QLabel>(&w, "lbl_mask1_8")->text(), "Destinatario");
    EXPECT_EQ(control<QLabel>(&w, "lbl_mask1_5")->text(), "Quad. Interno");
    EXPECT_EQ(control<QPushButton>(&w, "cmd_altri")->text(), "Altri destinatari");
    EXPECT_FALSE(control<QCheckBox>(&w, "Check2")->isVisibleTo(mask(w)));
    EXPECT_FALSE(control<QLabel>(&w, "lbl_nodo")->isVisibleTo(mask(w)));
    click(&w, "cmd_new_ins_1");

    nuovo(0);
    EXPECT_EQ(control<QLabel>(&w, "lbl_modo")->text(), "Quadernolo in ENTRATA");
    EXPECT_EQ(control<QLabel>(&w, "lbl_mask1_8")->text(), "Mittente");
    EXPECT_EQ(control<QLabel>(&w, "lbl_mask1_5")->text(), "Quad. Rif.");
    EXPECT_EQ(control<QPushButton>(&w, "cmd_altri")->text(), "Altri mittenti");
    EXPECT_TRUE(control<QCheckBox>(&w, "Check2")->isVisibleTo(mask(w)));
    EXPECT_TRUE(control<QCheckBox>(&w, "Check2")->isEnabled());
    click(&w, "cmd_new_ins_1");

    // Browsing: entry 5 is incoming and filed, entry 4 outgoing.
    EXPECT_EQ(corrente(), 5);
    EXPECT_EQ(control<QLabel>(&w, "lbl_modo")->text(), "Quadernolo in ENTRATA");
    EXPECT_EQ(control<QLabel>(&w, "lbl_nodo")->text(), "Nodo : Radice/Cartella 5");
    EXPECT_TRUE(control<QLabel>(&w, "lbl_nodo")->isVisibleTo(mask(w)));
    click(&w, "cmd_move_1");
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(control<QLabel>(&w, "lbl_modo")->text(), "Quadernolo in USCITA");
    EXPECT_EQ(control<QLabel>(&w, "lbl_mask1_8")->text(), "Destinatario");
    EXPECT_FALSE(control<QCheckBox>(&w, "Check2")->isVisibleTo(mask(w)));
    EXPECT_EQ(control<QLabel>(&w, "lbl_nodo")->text(), "Nodo : Radice/Cartella 4");

    // "Cerca" moves the register too: the captions follow the incoming entry found.
    ModalScript script;
    script.then("frmSearch", [](QDialog* s) {
        typeInto(s, "txtFieldValue", "3");
        click(s, "cmdFindFirst");
        click(s, "cmdClose");
    });
    ASSERT_TRUE(trigger(&w, "tb_trova"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(corrente(), 3);
    EXPECT_EQ(control<QLabel>(&w, "lbl_modo")->text(), "Quadernolo in ENTRATA");
    EXPECT_EQ(control<QLabel>(&w, "lbl_mask1_8")->text(), "Mittente");
    EXPECT_EQ(control<QLabel>(&w, "lbl_mask1_5")->text(), "Quad. Rif.");
}

TEST_F(EntriesTest, AfterAnEntryDatedAfterTodayNuovoKeepsTodayAndADateTypedBeforeTheLastIsStillRefused)
{
    seedRegister(program.archive(), 5);
    ASSERT_TRUE(archivio()->exec("UPDATE entrata SET Data_quadernolo = '2025-06-20' WHERE Progressivo = 5").ok());
    apri(0);
    nuovo(0);
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    // The date box hands the focus to its calendar.
    auto* calendario = control<QCalendarWidget>(&w, "CalendarVB1");
    ASSERT_TRUE(QTest::qWaitFor([calendario] { return calendario->hasFocus(); }));
    // Only the question of "Nuovo": the date the program wrote stays.
    EXPECT_EQ(messages.texts(), QStringList({"Confermi inserimento nuovo quadernolo ?\n\n"}))
        << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(box(2)->text(), "14/06/2025");
    EXPECT_EQ(registro()->value("Data_quadernolo").toDate(), QDate(2025, 6, 14));
    ASSERT_EQ(sessione(w).p_ultima_data(), QDate(2025, 6, 20));

    // Typed over it, a date before the last entry's is refused; from it on one is taken.
    messages.clear();
    typeInFocus("19/06/2025");
    EXPECT_EQ(messages.texts(), QStringList({"Data inferiore all' ultima inserita !"}));
    EXPECT_TRUE(box(2)->text().isEmpty());
    messages.clear();
    typeInFocus("20/06/2025");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(box(2)->text(), "20/06/2025");
    click(&w, "cmd_new_ins_1");

    // The date the program wrote is judged as any other once the clerk goes on from it.
    messages.clear();
    nuovo(1);
    ASSERT_TRUE(QTest::qWaitFor([calendario] { return calendario->hasFocus(); }));
    pressKeyInFocus(Qt::Key_Tab);
    EXPECT_EQ(messages.texts(),
              QStringList({"Confermi inserimento nuovo quadernolo ?\n\n", "Data inferiore all' ultima inserita !"}));
    EXPECT_TRUE(box(2)->text().isEmpty());
    click(&w, "cmd_new_ins_1");
}
