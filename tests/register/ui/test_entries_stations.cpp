// Two stations on one archive, as the clerk of one of them meets the other: an entry registered
// there while this station writes, and a password changed there while this station works.
#include "test_entries_fixture.h"

#include "compaction.h"
#include "entry_session.h"

#include <QLabel>
#include <QTabBar>

using namespace quad;
using namespace quad::test;

namespace {

/// Another station's connection to the archive, with key.
std::shared_ptr<Connection> altraPostazione(const TempProgram& program, const QByteArray& key = kPassword)
{
    DbResult err;
    auto db = Connection::open(program.archive(), key, &err);
    EXPECT_TRUE(db) << err.message.toStdString();
    return db;
}

/// The numbers the grid shows, in its order.
QList<int> numeriInGriglia(TestQuadernolo& w)
{
    QList<int> numeri;
    QAbstractItemModel* model = grid(w)->model();
    for (int r = 0; model && r < model->rowCount(); ++r)
        numeri << model->index(r, 0).data().toInt();
    return numeri;
}

/// A statement run on the archive by another station.
void scriveAltrove(const TempProgram& program, const QString& sql)
{
    auto altra = altraPostazione(program);
    ASSERT_TRUE(altra);
    ASSERT_TRUE(altra->exec(sql).ok());
}

/// F12 on the subject shown, with action on the correction dialog it opens, once the dialog is
/// the active window (as the desktop makes a modal dialog).
void correggiOggetto(TestQuadernolo& w, const std::function<void(QDialog*)>& action)
{
    ModalScript script;
    script.then("frm_correzione", [action](QDialog* d) {
        d->activateWindow();
        // (A dialog counts as active while its parent window is: wait for the dialog itself.)
        if (!QTest::qWaitFor([d] { return QApplication::activeWindow() == d; })) {
            ADD_FAILURE() << "the correction dialog is not active";
            d->reject();
            return;
        }
        action(d);
    });
    casella(w, EntryMask::Oggetto)->setFocus();
    QTest::keyClick(casella(w, EntryMask::Oggetto), Qt::Key_F12);
    EXPECT_TRUE(script.waitDone());
}

/// In the correction dialog, as the clerk: " (corr. B)" typed at the end of the subject, then
/// Return.
void aggiungiCorrezione(QDialog* d)
{
    // The dialog opens with the focus in its box.
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>(d, "txt_correzione"));
    pressKeyInFocus(Qt::Key_End);
    typeInFocus(" (corr. B)");
    pressKeyInFocus(Qt::Key_Return);
}

/// The correction dialog in script: once it is the active window another station changes the
/// password to "nuova", then " (corr. B)" is added to the subject (aggiungiCorrezione).
void correzioneDuranteIlCambio(ModalScript& script, const TempProgram& program)
{
    script.then("frm_correzione", [&program](QDialog* d) {
        d->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([d] { return QApplication::activeWindow() == d; }));
        ASSERT_TRUE(altraPostazione(program)->rekey("nuova").ok());
        aggiungiCorrezione(d);
    });
}

/// Clicks the subject of the entry shown, then the filter button, whose widget is returned.
QWidget* filtraSullOggetto(TestQuadernolo& w)
{
    QWidget* pulsante = control<QToolBar>(&w, "Toolbar2")->widgetForAction(findAction(&w, "tb_filtro_off"));
    QTest::mouseClick(casella(w, EntryMask::Oggetto), Qt::LeftButton);
    QTest::mouseClick(pulsante, Qt::LeftButton);
    return pulsante;
}

/// Runs azione, which meets the password changed at another station: the password dialog it opens
/// is answered with password, or closed when password is null (given up).
void conPassword(const QString& password, const std::function<void()>& azione)
{
    ModalScript script;
    if (password.isNull())
        script.then("frm_password", [](QDialog* d) { d->reject(); });
    else
        scriptLogin(script, {password});
    azione();
    EXPECT_TRUE(script.waitDone());
}

/// A new entry typed while another station changes the password to "nuova".
class PasswordChangedElsewhere : public EntriesTest
{
protected:
    void SetUp() override
    {
        apri(5);
        nuovo(0);
        compila("Lettera", "Scritto durante il cambio", "Verdi");
        ASSERT_TRUE(altraPostazione(program)->rekey("nuova").ok());
        messages.clear();
    }

    /// Clicks button and closes the password dialog it opens without a password.
    void senzaPassword(const char* button)
    {
        ModalScript script;
        script.then("frm_password", [](QDialog* d) { d->reject(); });
        click(&w, button);
        EXPECT_TRUE(script.waitDone());
    }
};

} // namespace

TEST_F(EntriesTest, AnEntryRegisteredElsewhereWhileThisStationReadsBackItsOwnShowsAtTheNextReRead)
{
    apri(5);
    maschera(3);
    // Another station registers entry 6 just after this one checked that nobody else wrote and
    // before it reads back the note it saved.
    int altre = 0;
    setReadBackGapForTests([&] {
        if (altre++ > 0)
            return;
        auto altra = altraPostazione(program);
        ASSERT_TRUE(altra);
        ASSERT_TRUE(altra
                        ->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Oggetto) VALUES "
                               "(6, 'E', '2025-06-14', 'Dall''altra postazione');"
                               "INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (6, 'E', 'Neri')")
                        .ok());
    });
    typeInto(&w, "txt_mask1_18", "Nota di qui");
    click(&w, "cmd_move_2");
    ASSERT_EQ(altre, 1);
    EXPECT_EQ(corrente(), 4);

    // The correction of entry 4's subject reads the register again: the other station's entry
    // is there, and counted.
    ModalScript script;
    script.then("frm_correzione", [](QDialog* d) {
        typeInto(d, "txt_correzione", "Oggetto corretto");
        click(d, "OKButton");
    });
    box(7)->setFocus();
    QTest::keyClick(box(7), Qt::Key_F12);
    ASSERT_TRUE(script.waitDone());
    setReadBackGapForTests(nullptr);
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(box(7)->text(), "Oggetto corretto");
    EXPECT_EQ(control<QLabel>(&w, "lbl_filtro")->text(), "   Totale schede : 7");
    ASSERT_TRUE(trigger(&w, "tb_modo"));
    EXPECT_EQ(numeriInGriglia(w), QList<int>({1, 2, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
}

TEST_F(PasswordChangedElsewhere, IsAskedAtTheConfirmationWhichWritesTheEntryAsTyped)
{
    // Without the password the entry stays on screen, unconfirmed, under its number and lock.
    senzaPassword("cmd_new_ins_0");
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !!\n\nIl quadernolo non è stato salvato.\n\n"
              "La password della sessione non apre più l' archivio in uso.");
    EXPECT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "6");
    EXPECT_EQ(box(7)->text(), "Scritto durante il cambio");
    EXPECT_EQ(box(8)->text(), "Verdi");
    EXPECT_EQ(lockContent(), QByteArray("...\r\n"));

    // With it (after a wrong one) the entry is written as typed.
    messages.clear();
    {
        ModalScript script;
        scriptLogin(script, {"sbagliata", "nuova"});
        click(&w, "cmd_new_ins_0");
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_FALSE(messages.contains("ATTENZIONE")) << messages.texts().join(" | ").toStdString();
    auto archivio = altraPostazione(program, "nuova");
    ASSERT_TRUE(archivio);
    EXPECT_EQ(archivio->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 6").toString(),
              "Scritto durante il cambio");
    EXPECT_EQ(archivio->scalar("SELECT group_concat(Nominativo) FROM Mittenti WHERE Quadernolo = 6").toString(),
              "Verdi");
    EXPECT_FALSE(QFile::exists(lock()));
    attesoConsultazione();
    EXPECT_EQ(corrente(), 6);
    EXPECT_EQ(box(8)->text(), "Verdi");
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 7");
}

TEST_F(PasswordChangedElsewhere, WithoutItADropGivesTheEntryUpAndReadsNothing)
{
    // One question only: nothing is read afterwards with the key that no longer opens the archive.
    senzaPassword("cmd_new_ins_1");
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !!\n\nIl quadernolo è stato annullato.\n\n"
              "La password della sessione non apre più l' archivio in uso.\n\n"
              "Il registro resta come era: le schede non sono state rilette.");
    EXPECT_FALSE(QFile::exists(lock()));
    attesoConsultazione();
    EXPECT_EQ(corrente(), 5);
    EXPECT_EQ(box(7)->text(), "Oggetto n. 5 dell'ufficio");
    EXPECT_TRUE(box(8)->text().isEmpty());
    EXPECT_EQ(altraPostazione(program, "nuova")->scalar("SELECT count(*) FROM entrata").toInt(), 5);
}

TEST_F(EntriesTest, ANoteSavedAfterThePasswordChangedElsewhereAsksItAndIsWritten)
{
    apri(5);
    maschera(3);
    ASSERT_TRUE(altraPostazione(program)->rekey("nuova").ok());
    typeInto(&w, "txt_mask1_18", "Nota dopo il cambio");
    ModalScript script;
    scriptLogin(script, {"nuova"});
    click(&w, "cmd_move_2");
    ASSERT_TRUE(script.waitDone());
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(altraPostazione(program, "nuova")->scalar("SELECT Note FROM entrata WHERE Progressivo = 3").toString(),
              "Nota dopo il cambio");
    EXPECT_EQ(corrente(), 4);
    EXPECT_FALSE(sessione(w).p_update());
}

TEST_F(EntriesTest, ANewEntryAfterThePasswordChangedElsewhereAsksItAndIsWrittenWithIt)
{
    apri(5);
    ASSERT_TRUE(altraPostazione(program)->rekey("nuova").ok());
    // Given up: no entry is begun, and the clerk is told why in the words of every other step.
    conPassword(QString(), [&] { nuovo(0); });
    ASSERT_EQ(messages.shown().size(), 2) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !!\n\nImpossibile leggere l' archivio.\n\n"
              "La password della sessione non apre più l' archivio in uso.");
    attesoConsultazione();
    messages.clear();
    conPassword("nuova", [&] { nuovo(0); });
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "6");
    compila("Lettera", "Dopo il cambio", "Verdi");
    click(&w, "cmd_new_ins_0");
    EXPECT_FALSE(messages.contains("ATTENZIONE")) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(altraPostazione(program, "nuova")->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 6").toString(),
              "Dopo il cambio");
    EXPECT_FALSE(QFile::exists(lock()));
}

TEST_F(EntriesTest, ASubjectCorrectedAfterThePasswordChangedElsewhereAsksIt)
{
    apri(5);
    maschera(4);
    ASSERT_TRUE(altraPostazione(program)->rekey("nuova").ok());
    // The subject the correction starts from is read first: the password is asked before the
    // dialog opens.
    const auto correggi = [this](const std::function<void(QDialog*)>& password, bool dialogo) {
        ModalScript script;
        script.then("frm_password", password);
        if (dialogo) {
            script.then("frm_correzione", [](QDialog* d) {
                typeInto(d, "txt_correzione", "Oggetto corretto");
                click(d, "OKButton");
            });
        }
        box(7)->setFocus();
        QTest::keyClick(box(7), Qt::Key_F12);
        EXPECT_TRUE(script.waitDone());
    };
    // Without it no dialog opens, nothing is written, and nothing more is asked.
    correggi([](QDialog* d) { d->reject(); }, false);
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !\n\nCorrezione non salvata.\n\n"
              "La password della sessione non apre più l' archivio in uso.");
    EXPECT_EQ(box(7)->text(), "Oggetto n. 4 dell'ufficio");

    messages.clear();
    correggi(
        [](QDialog* d) {
            typeInto(d, "txt_password", "nuova");
            click(d, "OKButton");
        },
        true);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(altraPostazione(program, "nuova")->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 4").toString(),
              "Oggetto corretto");
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(box(7)->text(), "Oggetto corretto");
}

TEST_F(EntriesTest, ThePreviousPasswordIsRefusedWhenTheNewOneIsAsked)
{
    apri(5);
    maschera(3);
    ASSERT_TRUE(altraPostazione(program)->rekey("nuova").ok());
    // The move reads the next entry's correspondents and meets the key changed: the password the
    // register was opened with is refused with a word, the new one is taken.
    {
        ModalScript script;
        scriptLogin(script, {QString::fromLatin1(kPassword), "nuova"});
        click(&w, "cmd_move_2");
        ASSERT_TRUE(script.waitDone());
    }
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(messages.last(), "PASSWORD ERRATA !\n\nLa password inserita non è la password dell' archivio in uso.");
    EXPECT_EQ(messages.shown().first().title, "Errore password");
    messages.clear();
    EXPECT_EQ(corrente(), 4);
    // The back-up and the compaction open the archive with the new one.
    EXPECT_TRUE(compatta_database(w.state).ok());
    // A note is written with it, and nothing more is asked.
    typeInto(&w, "txt_mask1_18", "Nota con la nuova");
    click(&w, "cmd_move_2");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(altraPostazione(program, "nuova")->scalar("SELECT Note FROM entrata WHERE Progressivo = 4").toString(),
              "Nota con la nuova");
}

TEST_F(EntriesTest, AMoveGivenUpAfterThePasswordChangedElsewhereStaysOnTheEntryShownWithItsCorrespondents)
{
    apri(5);
    maschera(4);
    ASSERT_EQ(box(8)->text(), "Mittente 4-0");
    ASSERT_TRUE(altraPostazione(program)->rekey("nuova").ok());
    conPassword(QString(), [&] { click(&w, "cmd_move_1"); });
    EXPECT_EQ(messages.texts(),
              QStringList({"ATTENZIONE !\n\nLa password della sessione non apre più l' archivio "
                           "in uso.\n\nIl registro resta come era: le schede non sono state "
                           "rilette."}));
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(box(7)->text(), "Oggetto n. 4 dell'ufficio");
    EXPECT_EQ(box(8)->text(), "Mittente 4-0");

    // A note typed there is saved by the next move, which asks again.
    messages.clear();
    typeInto(&w, "txt_mask1_18", "Nota dopo la rinuncia");
    conPassword("nuova", [&] { click(&w, "cmd_move_1"); });
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(altraPostazione(program, "nuova")->scalar("SELECT Note FROM entrata WHERE Progressivo = 4").toString(),
              "Nota dopo la rinuncia");
    EXPECT_EQ(corrente(), 3);
    EXPECT_EQ(box(8)->text(), "Mittente 3-0");
}

TEST_F(EntriesTest, ThePasswordGivenAfterAChangeElsewhereIsTheOneTheSettingsChangeFrom)
{
    apri(5);
    maschera(3);
    // Another station changed the password of every archive.
    ASSERT_TRUE(altraPostazione(program)->rekey("nuova").ok());
    {
        DbResult err;
        auto modello = Connection::open(program.file("arch_base.mdb"), kPassword, &err);
        ASSERT_TRUE(modello && modello->rekey("nuova").ok()) << err.message.toStdString();
    }
    conPassword("nuova", [&] { click(&w, "cmd_move_2"); });
    ASSERT_TRUE(trigger(&w, "tb_esci"));
    ASSERT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();

    // "Impostazioni", "Password": the password given is the one to change from.
    ModalScript script;
    script.then("frm_mod_pass", [](QDialog* d) {
        auto* schede = control<QTabBar>(d, "TabStrip1");
        QTest::mouseClick(schede, Qt::LeftButton, {}, schede->tabRect(1).center());
        typeInto(d, "Text4", "nuova");
        typeInto(d, "Text2", "terza");
        typeInto(d, "Text3", "terza");
        click(d, "Command1");
        // A refusal leaves the dialog open: "Termina" closes it.
        if (d->isVisible())
            click(d, "Command2");
    });
    ASSERT_TRUE(click(&w, "cmd_menu_0"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(messages.texts(), QStringList({"Modifica password effettuata !"}));
    EXPECT_TRUE(altraPostazione(program, "terza"));
}

TEST_F(EntriesTest, AKeyChangedElsewhereJustAfterAWriteIsAskedByTheReadBackWhichShowsWhatWasWritten)
{
    apri(5);
    maschera(3);
    // Another station changes the password just after each write here, before its read back.
    QByteArray chiave = kPassword;
    QList<QByteArray> prossime {"nuova", "terza"};
    setReadBackGapForTests([&] {
        if (prossime.isEmpty())
            return;
        const QByteArray nuova = prossime.takeFirst();
        ASSERT_TRUE(altraPostazione(program, chiave)->rekey(nuova).ok());
        chiave = nuova;
    });
    // A note saved on a move.
    typeInto(&w, "txt_mask1_18", "Nota riletta");
    conPassword("nuova", [&] { click(&w, "cmd_move_2"); });
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(box(8)->text(), "Mittente 4-0");

    // A new entry confirmed: the register shows it.
    nuovo(0);
    compila("Lettera", "Confermata durante il cambio", "Verdi");
    messages.clear();
    conPassword("terza", [&] { click(&w, "cmd_new_ins_0"); });
    setReadBackGapForTests(nullptr);
    EXPECT_TRUE(prossime.isEmpty());
    EXPECT_FALSE(messages.contains("ATTENZIONE")) << messages.texts().join(" | ").toStdString();
    attesoConsultazione();
    EXPECT_EQ(corrente(), 6);
    EXPECT_EQ(box(7)->text(), "Confermata durante il cambio");
    EXPECT_EQ(box(8)->text(), "Verdi");
    auto archivio = altraPostazione(program, "terza");
    ASSERT_TRUE(archivio);
    EXPECT_EQ(archivio->scalar("SELECT Note FROM entrata WHERE Progressivo = 3").toString(), "Nota riletta");
}

TEST_F(EntriesTest, ASubjectCorrectedWhileThePasswordChangesElsewhereAsksItAtTheWrite)
{
    apri(5);
    maschera(4);
    ModalScript script;
    correzioneDuranteIlCambio(script, program);
    scriptLogin(script, {"nuova"});
    box(7)->setFocus();
    QTest::keyClick(box(7), Qt::Key_F12);
    ASSERT_TRUE(script.waitDone());
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(altraPostazione(program, "nuova")->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 4").toString(),
              "Oggetto n. 4 dell'ufficio (corr. B)");
    EXPECT_EQ(box(7)->text(), "Oggetto n. 4 dell'ufficio (corr. B)");
}

TEST_F(EntriesTest, NuovoUnderAFilterAfterThePasswordChangedElsewhereAsksItAndBeginsTheEntry)
{
    apri(3);
    maschera(1);
    QAction* filtro = findAction(&w, "tb_filtro_off");
    filtraSullOggetto(w);
    ASSERT_EQ(filtro->text(), "Filtro off");
    ASSERT_TRUE(altraPostazione(program)->rekey("nuova").ok());
    conPassword("nuova", [&] { nuovo(0); });
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "4");
    EXPECT_EQ(filtro->text(), "Filtro on");
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString(); // the question of "Nuovo"
}

TEST_F(EntriesTest, TheSubjectCorrectionStartsFromTheSubjectAnotherStationStored)
{
    apri(5);
    maschera(4);
    scriveAltrove(program, "UPDATE entrata SET Oggetto = 'Oggetto n. 4 (corr. A)' WHERE Progressivo = 4");
    ASSERT_EQ(box(7)->text(), "Oggetto n. 4 dell'ufficio");
    QString aperto;
    correggiOggetto(w, [&aperto](QDialog* d) {
        aperto = text(d, "txt_correzione");
        aggiungiCorrezione(d);
    });
    EXPECT_EQ(aperto, "Oggetto n. 4 (corr. A)");
    EXPECT_EQ(scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 4").toString(),
              "Oggetto n. 4 (corr. A) (corr. B)");
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(box(7)->text(), "Oggetto n. 4 (corr. A) (corr. B)");

    // A correction given up writes nothing, and the mask shows the subject stored.
    scriveAltrove(program, "UPDATE entrata SET Oggetto = 'Oggetto n. 4 (corr. C)' WHERE Progressivo = 4");
    correggiOggetto(w, [](QDialog*) { pressKeyInFocus(Qt::Key_Escape); });
    EXPECT_EQ(scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 4").toString(), "Oggetto n. 4 (corr. C)");
    EXPECT_EQ(box(7)->text(), "Oggetto n. 4 (corr. C)");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
}

TEST_F(EntriesTest, ASubjectCorrectedElsewhereWhileTheDialogIsOpenIsKeptAndBothAreNamed)
{
    apri(5);
    maschera(4);
    correggiOggetto(w, [this](QDialog* d) {
        scriveAltrove(program, "UPDATE entrata SET Oggetto = 'Oggetto n. 4 (corr. A)' WHERE Progressivo = 4");
        aggiungiCorrezione(d);
    });
    EXPECT_EQ(messages.texts(),
              QStringList({"ATTENZIONE !\n\nIl quadernolo n. 4 è stato modificato da un' altra postazione dopo che "
                           "era stato letto qui.\n\nOggetto\nnell' archivio: \"Oggetto n. 4 (corr. A)\"\n"
                           "scritto qui: \"Oggetto n. 4 dell'ufficio (corr. B)\"\n\nCorrezione non salvata."}))
        << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 4").toString(), "Oggetto n. 4 (corr. A)");
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(box(7)->text(), "Oggetto n. 4 (corr. A)");
}

TEST_F(EntriesTest, ANoteStoredElsewhereMeanwhileIsKeptAndTheClerksStaysOnScreenNamedBesideIt)
{
    apri(5);
    maschera(4);
    typeInto(&w, "txt_mask1_18", "nota B4");
    typeInto(&w, "txt_mask1_19", "/tmp/b4.pdf");
    scriveAltrove(program, "UPDATE entrata SET Note = 'nota A4' WHERE Progressivo = 4");
    click(&w, "cmd_move_2");
    EXPECT_EQ(messages.texts(),
              QStringList({"ATTENZIONE !\n\nIl quadernolo n. 4 è stato modificato da un' altra postazione dopo che "
                           "era stato letto qui.\n\nNOTE\nnell' archivio: \"nota A4\"\nscritto qui: \"nota B4\"\n\n"
                           "Il testo scritto qui non è stato salvato e resta sullo schermo: lasciando il quadernolo "
                           "sostituirà quello dell' archivio."}));
    // The file, which the other station left alone, went in with the same save.
    EXPECT_EQ(scalar("SELECT Note || '|' || Collegamento FROM entrata WHERE Progressivo = 4").toString(),
              "nota A4|/tmp/b4.pdf");
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(box(18)->text(), "nota B4");
    EXPECT_EQ(box(19)->text(), "/tmp/b4.pdf");

    // Told, the clerk moves on again: the note typed here replaces the other.
    messages.clear();
    click(&w, "cmd_move_2");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(corrente(), 5);
    EXPECT_EQ(scalar("SELECT Note FROM entrata WHERE Progressivo = 4").toString(), "nota B4");
}

TEST_F(EntriesTest, ANoteStoredElsewhereAsTheOneTypedHereIsNoConflict)
{
    apri(5);
    maschera(4);
    typeInto(&w, "txt_mask1_18", "nota comune");
    scriveAltrove(program, "UPDATE entrata SET Note = 'nota comune' WHERE Progressivo = 4");
    click(&w, "cmd_move_2");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(corrente(), 5);
    EXPECT_EQ(scalar("SELECT Note FROM entrata WHERE Progressivo = 4").toString(), "nota comune");
}

TEST_F(EntriesTest, ANoteStoredElsewhereIsToldAndTheClerksKeptWhenTheCorrespondentsCannotBeWritten)
{
    apri(5);
    maschera(4);
    scriveAltrove(program,
                  "CREATE TRIGGER niente_nominativi BEFORE UPDATE ON Mittenti "
                  "BEGIN SELECT RAISE(ABORT, 'archivio in sola lettura'); END;");
    typeInto(&w, "txt_mask1_18", "nota B4");
    // A change of the correspondents waits to be written with the note.
    ASSERT_TRUE(dati(w, "ado_mittenti")->Recordset()->setValue("Citta", "Milano").ok());
    scriveAltrove(program, "UPDATE entrata SET Note = 'nota A4' WHERE Progressivo = 4");
    click(&w, "cmd_move_2");
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(messages.last().startsWith(
        "ATTENZIONE !\n\nIl quadernolo n. 4 è stato modificato da un' altra postazione dopo che era stato letto "
        "qui.\n\nNOTE\nnell' archivio: \"nota A4\"\nscritto qui: \"nota B4\"\n\nIl testo scritto qui non è stato "
        "salvato e resta sullo schermo"))
        << messages.last().toStdString();
    EXPECT_TRUE(messages.last().contains("Impossibile salvare i nominativi del quadernolo.\n\n"));
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(box(18)->text(), "nota B4");

    // Once the archive takes the rows, leaving the entry stores them and the note typed here.
    scriveAltrove(program, "DROP TRIGGER niente_nominativi");
    messages.clear();
    click(&w, "cmd_move_2");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(corrente(), 5);
    EXPECT_EQ(scalar("SELECT Note FROM entrata WHERE Progressivo = 4").toString(), "nota B4");
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 4 AND Citta = 'Milano'"), 1);
}

TEST_F(EntriesTest, AFilterReleasedAfterThePasswordChangedElsewhereAsksItOnceAndShowsEveryEntry)
{
    apri(3); // entry 2 has two correspondents: four rows
    maschera(1);
    QAction* filtro = findAction(&w, "tb_filtro_off");
    QWidget* pulsante = filtraSullOggetto(w);
    ASSERT_EQ(filtro->text(), "Filtro off");
    QLabel* totale = control<QLabel>(&w, "lbl_filtro");
    const QString filtrato = QStringLiteral("   Totale schede : 1  [Filtro inserito !]");
    ASSERT_EQ(totale->text().toStdString(), filtrato.toStdString());
    ASSERT_TRUE(altraPostazione(program)->rekey("nuova").ok());

    // Given up: asked once, with the reason; the register stays as it was, filter and all.
    QString richiesta;
    {
        ModalScript script;
        script.then("frm_password", [&richiesta](QDialog* d) {
            richiesta = control<QLabel>(d, "Label1")->text();
            d->reject();
        });
        QTest::mouseClick(pulsante, Qt::LeftButton);
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_TRUE(richiesta.contains("cambiata da un'altra postazione")) << richiesta.toStdString();
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !\n\nLa password della sessione non apre più l' archivio in uso.\n\n"
              "Il registro resta come era: le schede non sono state rilette.");
    EXPECT_EQ(totale->text().toStdString(), filtrato.toStdString());
    EXPECT_EQ(filtro->text(), "Filtro off");
    EXPECT_EQ(box(7)->text(), "Oggetto n. 1 dell'ufficio");

    // Again: the password the register was opened with is refused with a word; given up, the
    // register still stays as it was.
    messages.clear();
    {
        ModalScript script;
        scriptLogin(script, {QString::fromLatin1(kPassword)});
        script.then("frm_password", [](QDialog* d) { d->reject(); });
        QTest::mouseClick(pulsante, Qt::LeftButton);
        ASSERT_TRUE(script.waitDone());
    }
    ASSERT_EQ(messages.shown().size(), 2) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(messages.shown().first().text.toStdString(),
              "PASSWORD ERRATA !\n\nLa password inserita non è la password dell' archivio in uso.");
    EXPECT_EQ(totale->text().toStdString(), filtrato.toStdString());
    EXPECT_EQ(box(7)->text(), "Oggetto n. 1 dell'ufficio");

    // The new password releases the filter and shows every entry.
    messages.clear();
    {
        ModalScript script;
        scriptLogin(script, {"nuova"});
        QTest::mouseClick(pulsante, Qt::LeftButton);
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(totale->text().toStdString(), "   Totale schede : 4");
    EXPECT_EQ(filtro->text(), "Filtro on");
    EXPECT_EQ(corrente(), 3);

    // "Nuovo" then registers entry 4 with it, asking no password: a dialog would fail the test.
    messages.clear();
    ModalScript nessunaRichiesta;
    nuovo(0);
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(box(0)->text(), "4");
    compila("Lettera", "Dopo il filtro", "Verdi");
    click(&w, "cmd_new_ins_0");
    EXPECT_FALSE(messages.contains("ATTENZIONE")) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(altraPostazione(program, "nuova")->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 4").toString(),
              "Dopo il filtro");
    EXPECT_EQ(totale->text().toStdString(), "   Totale schede : 5");
}

TEST_F(EntriesTest, ASubjectCorrectionGivenUpAtThePasswordItsWriteAsksIsAskedOnceAndWritesNothing)
{
    apri(5);
    maschera(4);
    // The dialog is open when another station changes the password; the password asked at the
    // write is not given.
    ModalScript script;
    correzioneDuranteIlCambio(script, program);
    script.then("frm_password", [](QDialog* d) { d->reject(); });
    box(7)->setFocus();
    QTest::keyClick(box(7), Qt::Key_F12);
    ASSERT_TRUE(script.waitDone());
    // Nothing is read afterwards with the key that no longer opens the archive: a second request
    // would be a dialog the script does not expect, and a second message.
    EXPECT_EQ(messages.texts(),
              QStringList({"ATTENZIONE !\n\nCorrezione non salvata.\n\n"
                           "La password della sessione non apre più l' archivio in uso."}));
    EXPECT_EQ(altraPostazione(program, "nuova")->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 4").toString(),
              "Oggetto n. 4 dell'ufficio");
    EXPECT_EQ(corrente(), 4);
    EXPECT_EQ(box(7)->text(), "Oggetto n. 4 dell'ufficio");
}
