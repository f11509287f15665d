// The forward image of the entry mask and the timed import of received notifications, through
// the real main window, with two installations (program folders).
#include "../../frame/ui/frame_fixture.h"

#include "clock.h"
#include "file_replace.h"
#include "full_disk.h"
#include "killed_worker.h"
#include "notification.h"
#include "program_folder.h"
#include "register_query.h"

#include <sqlcipher/sqlite3.h>

#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace quad::test {

namespace {

std::shared_ptr<Connection> archivio(const QString& path)
{
    DbResult err;
    auto db = Connection::shared(path, QByteArray(kPassword), &err);
    EXPECT_TRUE(db) << err.message.toStdString();
    return db;
}

void scriviFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList notificheIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("notifica_*")}, QDir::Files, QDir::Name);
}

/// The permission bits of a file.
int modo(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

/// Seeds an archive with entries 1..count and writes all its rows as a notification file.
void notificaDi(const QString& archive, int count, const QString& file)
{
    seedRegister(archive, count);
    Recordset rs;
    ASSERT_TRUE(rs.open(archivio(archive), registerQuery()).ok());
    ASSERT_TRUE(rs.save(file).ok());
}

/// Update hook of an importer that is to be killed: at its first correspondent it says so and
/// waits for its end.
void fermaAlPrimoMittente(void*, int, const char*, const char* table, sqlite3_int64)
{
    if (QByteArray(table).compare("Mittenti", Qt::CaseInsensitive) != 0)
        return;
    waitToBeKilled();
}

class NotificationWindow : public ::testing::Test
{
protected:
    NotificationWindow() { Clock::install(&clock); }
    ~NotificationWindow() override { Clock::install(nullptr); }

    /// Installation A (a "Server" or "Client" station) with entries 1..3, entry 2 (two
    /// correspondents) for "Ufficio B", whose folder is installation B's program folder.
    void apriMittente(Quadernolo& w, const QString& postazione)
    {
        mittente.writeIni(QStringLiteral("[IMPOSTA]\nPostazione=%1\n[Uffici]\nElenco=Altro;Ufficio B\nPath=%2;%3\n")
                              .arg(postazione, QDir::tempPath(), destinatario.path()));
        seedRegister(mittente.archive(), 3);
        ASSERT_TRUE(archivio(mittente.archive())
                        ->exec("UPDATE entrata SET Ufficio_competente = 'Ufficio B' WHERE Progressivo = 2")
                        .ok());
        setProgramFolder(mittente.path());
        ASSERT_TRUE(startWindow(w));
        click(&w, "Command1");
        // The register opens in the mask; on entry 2.
        ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
        ASSERT_TRUE(
            dati(w, "Adodc1")->Recordset()->find("Progressivo = 2", 0, SearchDirection::Forward, kBookmarkFirst));
        schede(w)->mostra_intestazione();
        ASSERT_EQ(casella(w, 16)->text(), "Ufficio B");
    }

    void clickInoltra(Quadernolo& w) { QTest::mouseClick(control<QLabel>(&w, "picOpenWWW_1"), Qt::LeftButton); }

    /// Installation B opens its register, answering the questions of the notifications it finds.
    void apriDestinatario(Quadernolo& b, std::initializer_list<MsgAnswer> risposte)
    {
        setProgramFolder(destinatario.path());
        ASSERT_TRUE(startWindow(b));
        messages.clear();
        for (const MsgAnswer r : risposte)
            messages.answer(r);
        click(&b, "Command1");
    }

    int consegnate(const QString& arch) const
    {
        return archivio(arch)->scalar("SELECT COUNT(*) FROM entrata WHERE sys_consegnato = -1").toInt();
    }

    FixedClock clock {QDateTime(QDate(2025, 6, 14), QTime(10, 20, 30))};
    TempProgram destinatario;
    TempProgram mittente;
    ScriptedMessages messages;
};

} // namespace

TEST_F(NotificationWindow, AClientStationsForwardImageDoesNothing)
{
    Finestra w;
    apriMittente(w, "Client");
    EXPECT_FALSE(control<QLabel>(&w, "picOpenWWW_1")->isEnabled());
    messages.clear();
    clickInoltra(w);
    regole(w)->picOpenWWW_Click(1);
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(notificheIn(destinatario.path()).isEmpty());
    EXPECT_EQ(consegnate(mittente.archive()), 0);
}

TEST_F(NotificationWindow, AServerForwardsOnceAndTheOtherInstallationImportsIt)
{
    const QString nome = "Notifica_2025_14_06__10_20_30.xml";
    {
        Finestra w;
        apriMittente(w, "Server");
        messages.clear();
        messages.answer(MsgAnswer::Yes);
        clickInoltra(w);
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_EQ(messages.shown().at(0).text,
                  "Esporto i  [2]  records nel file ESPORTA.TXT \n\ndell' ufficio : Ufficio B");
        EXPECT_EQ(messages.shown().at(0).title, "Quadernolo");
        EXPECT_EQ(messages.shown().at(0).icon, MsgIcon::Question);
        EXPECT_EQ(messages.shown().at(0).buttons, MsgButtons::YesNo);
        EXPECT_EQ(QDir(destinatario.path()).entryList(QDir::Files).filter(".xml"), QStringList(nome));
        const QString testo = destinatario.readFile(nome);
        EXPECT_TRUE(testo.contains("<s:Schema id=\"RowsetSchema\">"));
        EXPECT_EQ(testo.count("<z:row "), 2);
        EXPECT_TRUE(testo.contains("Mittente 2-0"));
        EXPECT_TRUE(testo.contains("Mittente 2-1"));
        EXPECT_TRUE(testo.contains("sys_consegnato=\"False\"")); // saved before the stamp
        auto db = archivio(mittente.archive());
        EXPECT_EQ(db->scalar("SELECT sys_consegnato || sys_data_consegna || sys_ora_consegna FROM entrata WHERE "
                             "Progressivo = 2")
                      .toString(),
                  "-12025-06-1410:20:30");
        EXPECT_EQ(consegnate(mittente.archive()), 1);
        // The grid shows the stamp without a re-read; the mask moved to the last row.
        EXPECT_EQ(dati(w, "Adodc1")->Recordset()->value("Progressivo").toInt(), 3);

        // Back on entry 2, a second forward finds nothing to send.
        ASSERT_TRUE(
            dati(w, "Adodc1")->Recordset()->find("Progressivo = 2", 0, SearchDirection::Forward, kBookmarkFirst));
        schede(w)->mostra_intestazione();
        messages.clear();
        clickInoltra(w);
        EXPECT_EQ(messages.texts(), QStringList("Nessun record da inviare !"));
        EXPECT_EQ(notificheIn(destinatario.path()).size(), 1);
    }

    // Installation B: the file is offered when the register opens.
    Finestra b;
    apriDestinatario(b, {MsgAnswer::Yes});
    ASSERT_EQ(messages.texts(), QStringList("Notifica in arrivo ! \n\nSalvo in archivio ?"));
    EXPECT_TRUE(QDir(destinatario.path()).entryList(QDir::Files).filter(QRegularExpression("(?i)notifica")).isEmpty());
    auto db = archivio(destinatario.archive());
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT Progressivo || sys_consegnato FROM entrata").toString(), "20");
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM Mittenti WHERE Quadernolo = 2").toInt(), 2);
    EXPECT_EQ(dati(b, "Adodc1")->Recordset()->recordCount(), 2);
    EXPECT_EQ(dati(b, "Adodc1")->Recordset()->value("Progressivo").toInt(), 2);

    messages.clear();
    notifiche(b)->Timer1_Timer();
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(NotificationWindow, RefusedCorruptRepeatedAndPostponedFiles)
{
    // A notification of entry 2 (two rows) made at installation A.
    {
        auto db = archivio(mittente.archive());
        seedRegister(mittente.archive(), 2);
        Recordset rs;
        ASSERT_TRUE(rs.open(db, registerQuery() + " ").ok());
        ASSERT_TRUE(rs.setFilter("Progressivo = 2").ok());
        ASSERT_TRUE(rs.save(destinatario.file("NOTIFICA_x.txt")).ok());
    }
    QFile::copy(destinatario.file("NOTIFICA_x.txt"), destinatario.file("notifica_copia.xml"));
    scriviFile(destinatario.file("notifica_rotta.xml"), "<xml><rs:data>");
    setProgramFolder(destinatario.path());
    Finestra w;
    ASSERT_TRUE(startWindow(w));
    auto db = archivio(destinatario.archive());

    // NOTIFICA_x.txt: No; notifica_copia.xml: No; notifica_rotta.xml: Yes, and refused.
    messages.answer(MsgAnswer::No).answer(MsgAnswer::No).answer(MsgAnswer::Yes);
    click(&w, "Command1");
    EXPECT_EQ(messages.texts().size(), 4);
    EXPECT_TRUE(messages.last().startsWith("Errore nell' importazione dei dati\n\n"
                                           + destinatario.file("notifica_rotta.xml") + ": File XML non valido"))
        << messages.last().toStdString();
    EXPECT_EQ(notificheIn(destinatario.path()).size(), 3);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 0);

    // NOTIFICA_x.txt: Yes, imported and deleted; its copy: Yes, the same entry received again:
    // removed, and said once.
    messages.clear();
    messages.answer(MsgAnswer::Yes).answer(MsgAnswer::Yes).answer(MsgAnswer::No);
    notifiche(w)->Timer1_Timer();
    EXPECT_EQ(
        messages.texts(),
        QStringList({"Notifica in arrivo ! \n\nSalvo in archivio ?", "Notifica in arrivo ! \n\nSalvo in archivio ?",
                     "ATTENZIONE !\n\nLa notifica notifica_copia.xml contiene solo quadernoli già in archivio "
                     "con gli stessi dati (n. 2): il file è stato eliminato.",
                     "Notifica in arrivo ! \n\nSalvo in archivio ?"}));
    EXPECT_EQ(notificheIn(destinatario.path()), QStringList({"notifica_rotta.xml"}));
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 2);
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->recordCount(), 2);

    // While the entry on screen has changes, nothing is offered.
    messages.clear();
    ASSERT_TRUE(dati(w, "Adodc1")->Recordset()->setValue("Note", "In corso").ok());
    ASSERT_TRUE(sessione(w).p_update());
    notifiche(w)->Timer1_Timer();
    EXPECT_TRUE(messages.shown().isEmpty());
    // Given up: the entry on screen has no changes any more.
    dati(w, "Adodc1")->Recordset()->cancelBatch();
    ASSERT_FALSE(sessione(w).p_update());

    // Another station takes the file while the question is open: nothing more is said or done.
    messages.clear();
    messages.onNext([this](const ShownMessage&) {
        QFile::rename(destinatario.file("notifica_rotta.xml"), destinatario.file("in_importazione_altrove.xml"));
    });
    messages.answer(MsgAnswer::Yes);
    notifiche(w)->Timer1_Timer();
    EXPECT_EQ(messages.texts().size(), 1);
    EXPECT_FALSE(messages.contains("Errore"));
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 1);
}

TEST_F(NotificationWindow, NoImportWhileAForwardQuestionIsOpen)
{
    Finestra w;
    apriMittente(w, "Server");
    QFile::copy(mittente.archive(), mittente.file("notifica_estranea.xml")); // would be refused anyway
    messages.clear();
    messages.onNext([&w](const ShownMessage&) { notifiche(w)->Timer1_Timer(); });
    messages.answer(MsgAnswer::No);
    clickInoltra(w);
    EXPECT_EQ(messages.texts().size(), 1); // the forward's question alone
    EXPECT_TRUE(messages.last().startsWith("Esporto i  [2]"));
}

TEST_F(NotificationWindow, NothingIsForwardedOrStampedWhileANewEntryIsTyped)
{
    Finestra w;
    apriMittente(w, "Server");
    ASSERT_TRUE(trigger(&w, "tb_insert"));
    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(click(&w, "cmd_ins_0"));
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    messages.clear();
    notifiche(w)->esporta_notifica(1, "Ufficio B");
    notifiche(w)->esporta_notifica(0, "Ufficio B");
    ASSERT_EQ(messages.texts().size(), 2);
    EXPECT_TRUE(messages.last().contains("fase di inserimento di un nuovo quadernolo"));
    EXPECT_TRUE(notificheIn(destinatario.path()).isEmpty());
    EXPECT_EQ(consegnate(mittente.archive()), 0);
    EXPECT_EQ(archivio(mittente.archive())->scalar("SELECT COUNT(*) FROM entrata").toInt(), 3);
}

TEST_F(NotificationWindow, TransferFileOfTheRowsSelectedInTheGrid)
{
    Finestra w;
    apriMittente(w, "Server");
    ASSERT_TRUE(trigger(&w, "tb_modo")); // back to the grid
    messages.clear();
    grid(w)->clearSelection();
    notifiche(w)->esporta_notifica(0, "Ufficio B");
    EXPECT_EQ(messages.texts(), QStringList("Selezionare i records da inviare !"));

    // Rows 3 (entry 3) and 0 (entry 1), in that order.
    QItemSelectionModel* sel = grid(w)->selectionModel();
    sel->select(grid(w)->model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sel->select(grid(w)->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    notifiche(w)->esporta_notifica(0, "Ufficio B");
    EXPECT_EQ(messages.texts(), QStringList("Esporto i records selezionati nel file ...\n\ndell' ufficio : Ufficio B"));
    EXPECT_EQ(control<QLabel>(&w, "lbl_msg")->text(),
              "Trasferimento completato nel file PENLIO_TRANS.TXT (2 record) !");
    QFile file(mittente.file("esporta.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> pezzi = file.readAll().split('\xff');
    ASSERT_EQ(pezzi.size(), 4);
    EXPECT_TRUE(pezzi[0].startsWith("\"Progressivo\tentrata.Tipo\t"));
    EXPECT_TRUE(pezzi[1].startsWith("3\tE\t"));
    EXPECT_TRUE(pezzi[2].startsWith("1\tE\t"));
    EXPECT_EQ(pezzi[3], "\"\r\n");
    EXPECT_EQ(consegnate(mittente.archive()), 2);

    // Read back into the same archive, where entry 3's correspondent has moved since: entry 1 is
    // passed over, entry 3 is named, and nothing is added.
    ASSERT_TRUE(archivio(mittente.archive())->exec("UPDATE Mittenti SET Citta = 'Pisa' WHERE Quadernolo = 3").ok());
    messages.clear();
    EXPECT_TRUE(notifiche(w)->importa_file_trasferimento("esporta.txt"));
    EXPECT_EQ(messages.texts(),
              QStringList("Completato l' inserimento di 0 schede\n\nATTENZIONE ! Il file contiene quadernoli già in "
                          "archivio con altri dati: restano in archivio come sono.\n\nn. 3: Citta"));
    EXPECT_EQ(archivio(mittente.archive())->scalar("SELECT Citta FROM Mittenti WHERE Quadernolo = 3").toString(),
              "Pisa");
    // A double quote inside a value: refused, naming the row, and nothing of the file written.
    scriviFile(mittente.file("virgolette.txt"),
               "\"Progressivo\tentrata.Tipo\tOggetto\tNominativo\xff"
               "10\tE\tdieci\tAnna\xff"
               "11\tE\tdetto \"undici\"\tBruno\xff\"\r\n");
    messages.clear();
    EXPECT_FALSE(notifiche(w)->importa_file_trasferimento("virgolette.txt"));
    EXPECT_EQ(messages.texts(),
              QStringList("Errore nel caricamento dei dati !\n\nLa riga 2 contiene un doppio apice "
                          "(\") in un valore."));
    EXPECT_EQ(archivio(mittente.archive())->scalar("SELECT COUNT(*) FROM entrata").toInt(), 3);
    w.close();

    // Another installation reads the file: its entries show in the register with their correspondents.
    QFile::copy(mittente.file("esporta.txt"), destinatario.file("esporta.txt"));
    Finestra b;
    apriDestinatario(b, {});
    ASSERT_TRUE(trigger(&b, "tb_modo"));
    messages.clear();
    EXPECT_TRUE(notifiche(b)->importa_file_trasferimento("esporta.txt"));
    EXPECT_EQ(messages.texts(), QStringList("Completato l' inserimento di 2 schede"));
    QAbstractItemModel* griglia = grid(b)->model();
    ASSERT_EQ(griglia->rowCount(), 2);
    const int nome = dati(b, "Adodc1")->Recordset()->fieldIndex("Nominativo");
    EXPECT_EQ(griglia->index(0, 0).data().toString(), "1");
    EXPECT_EQ(griglia->index(0, nome).data().toString(), "Mittente 1-0");
    EXPECT_EQ(griglia->index(1, 0).data().toString(), "3");
    EXPECT_EQ(griglia->index(1, nome).data().toString(), "Mittente 3-0");
}

/// Run by AnImportKilledHalfWayIsOfferedAgain as a process of its own: claims the notification
/// QUAD_IMPORT_FILE, imports it into the archive QUAD_IMPORT_ARCHIVE and stops for good half-way.
TEST(ImportWorker, Run)
{
    const QString file = qEnvironmentVariable("QUAD_IMPORT_FILE");
    if (file.isEmpty())
        GTEST_SKIP() << "started by NotificationWindow.AnImportKilledHalfWayIsOfferedAgain";
    auto db = archivio(qEnvironmentVariable("QUAD_IMPORT_ARCHIVE"));
    ASSERT_TRUE(db);
    Recordset registro;
    ASSERT_TRUE(registro.open(db, registerQuery()).ok());
    NotificaRicevuta notifica;
    ASSERT_TRUE(notifica.rivendica(file));
    sqlite3_update_hook(db->handle(), fermaAlPrimoMittente, nullptr);
    (void)copia_righe(db, registro, notifica.file());
    FAIL() << "the importer was to stop half-way";
}

TEST_F(NotificationWindow, AnImportKilledHalfWayIsOfferedAgain)
{
    notificaDi(mittente.archive(), 2, destinatario.file("Notifica_uno.xml"));
    QProcess importatore;
    QProcessEnvironment env;
    env.insert("QUAD_IMPORT_FILE", destinatario.file("Notifica_uno.xml"));
    env.insert("QUAD_IMPORT_ARCHIVE", destinatario.archive());
    QByteArray uscita;
    ASSERT_TRUE(startWorkerUntilReady(importatore, "ImportWorker.Run", env, &uscita)) << uscita.toStdString();

    // While its importer lives, the claimed file is nobody else's.
    EXPECT_TRUE(notifiche_in_arrivo(destinatario.path()).isEmpty());
    importatore.kill();
    ASSERT_TRUE(importatore.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(destinatario.file("in_importazione_Notifica_uno.xml")));

    // Its importer gone, the next look offers it again, and it goes in whole.
    Finestra b;
    apriDestinatario(b, {MsgAnswer::Yes});
    EXPECT_EQ(messages.texts(), QStringList("Notifica in arrivo ! \n\nSalvo in archivio ?"));
    EXPECT_TRUE(QDir(destinatario.path()).entryList({"*notifica*"}, QDir::Files).isEmpty());
    auto db = archivio(destinatario.archive());
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 2);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 3);
}

TEST_F(NotificationWindow, AForwardSentTwiceIsTakenOnceAndTheSecondFileRemoved)
{
    const mode_t prima = ::umask(022);
    {
        Finestra w;
        apriMittente(w, "Server");
        messages.answer(MsgAnswer::Yes);
        clickInoltra(w);
    }
    // The sender stopped after placing the file and before marking the rows delivered: the
    // next forward sends them again.
    ASSERT_TRUE(archivio(mittente.archive())->exec("UPDATE entrata SET sys_consegnato = 0").ok());
    {
        Finestra w;
        ASSERT_TRUE(startWindow(w));
        click(&w, "Command1");
        ASSERT_TRUE(
            dati(w, "Adodc1")->Recordset()->find("Progressivo = 2", 0, SearchDirection::Forward, kBookmarkFirst));
        schede(w)->mostra_intestazione();
        messages.answer(MsgAnswer::Yes);
        clickInoltra(w);
    }
    ::umask(prima);
    const QStringList inviate = notificheIn(destinatario.path());
    ASSERT_EQ(inviate.size(), 2);
    // Readable by a station working under another account.
    for (const QString& nome : inviate)
        EXPECT_EQ(modo(destinatario.file(nome)), 0644) << nome.toStdString();

    Finestra b;
    apriDestinatario(b, {MsgAnswer::Yes, MsgAnswer::Yes});
    ASSERT_EQ(messages.texts().size(), 3);
    EXPECT_EQ(messages.texts().at(2),
              "ATTENZIONE !\n\nLa notifica " + inviate.at(1)
                  + " contiene solo quadernoli già in archivio con gli stessi dati (n. 2): il "
                    "file è stato eliminato.");
    EXPECT_TRUE(notificheIn(destinatario.path()).isEmpty());
    auto db = archivio(destinatario.archive());
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 2);
    messages.clear();
    notifiche(b)->Timer1_Timer();
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(NotificationWindow, ANotificationThisStationCannotReadIsToldOnce)
{
    notificaDi(mittente.archive(), 2, destinatario.file("Notifica_altrui.xml"));
    Finestra b;
    apriDestinatario(b, {MsgAnswer::No});
    ASSERT_EQ(messages.texts().size(), 1);

    // Written under another account with a mode that lets nobody else read it.
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(QFile::setPermissions(destinatario.path(), QFileDevice::Permissions(0x7755)));
    ASSERT_TRUE(
        QFile::setPermissions(destinatario.file("Notifica_altrui.xml"),
                              root ? QFileDevice::ReadOwner | QFileDevice::WriteOwner : QFileDevice::Permissions()));
    const auto tick = [&b, root] {
        if (root) {
            ASSERT_EQ(::seteuid(65534), 0); // another account
        }
        notifiche(b)->Timer1_Timer();
        if (root) {
            ASSERT_EQ(::seteuid(0), 0);
        }
    };
    messages.clear();
    tick();
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !\n\nLa notifica " + destinatario.file("Notifica_altrui.xml")
                                           + " non può essere letta da questa postazione:"))
        << messages.last().toStdString();
    EXPECT_EQ(messages.shown().at(0).icon, MsgIcon::Exclamation);
    messages.clear();
    tick();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(QFile::exists(destinatario.file("Notifica_altrui.xml")));
}

TEST_F(NotificationWindow, AnImportThatFailsSaysWhy)
{
    notificaDi(mittente.archive(), 2, destinatario.file("Notifica_uno.xml"));
    const FullDisk pieno(destinatario.archive());
    Finestra b;
    apriDestinatario(b, {MsgAnswer::Yes});
    ASSERT_EQ(messages.texts().size(), 2);
    EXPECT_EQ(messages.texts().at(1).toStdString(),
              "Errore nell' importazione dei dati\n\nSalvataggio non riuscito: database or disk is full");
    EXPECT_EQ(notificheIn(destinatario.path()), QStringList("Notifica_uno.xml"));
}

TEST_F(NotificationWindow, ANotificationAfterThePasswordChangedElsewhereAsksItOnceAndGoesIn)
{
    notificaDi(mittente.archive(), 2, destinatario.file("Notifica_uno.xml"));
    Finestra b;
    apriDestinatario(b, {MsgAnswer::No}); // offered as the register opens, and left for later
    {
        // Another station changes the password meanwhile.
        DbResult err;
        auto altra = Connection::open(destinatario.archive(), QByteArray(kPassword), &err);
        ASSERT_TRUE(altra && altra->rekey("nuova").ok()) << err.message.toStdString();
    }
    // Given up: nothing goes in, the file stays, and the clerk is told why.
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    {
        ModalScript script;
        script.then("frm_password", [](QDialog* d) { d->reject(); });
        notifiche(b)->Timer1_Timer();
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_EQ(messages.texts(),
              QStringList({"Notifica in arrivo ! \n\nSalvo in archivio ?",
                           "Errore nell' importazione dei dati\n\nLa password della sessione non apre più l' "
                           "archivio in uso."}));
    EXPECT_EQ(notificheIn(destinatario.path()), QStringList("Notifica_uno.xml"));

    // At the next look, given: the rows go in.
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    {
        ModalScript script;
        scriptLogin(script, {"nuova"});
        notifiche(b)->Timer1_Timer();
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_EQ(messages.texts(), QStringList("Notifica in arrivo ! \n\nSalvo in archivio ?"));
    EXPECT_TRUE(notificheIn(destinatario.path()).isEmpty());
    DbResult err;
    auto db = Connection::open(destinatario.archive(), "nuova", &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 2);
    EXPECT_EQ(dati(b, "Adodc1")->Recordset()->recordCount(), 3); // entry 2 has two correspondents
}

TEST_F(NotificationWindow, ACorrectionAfterAForwardCutShortKeepsTheLaterDelivery)
{
    // Installation A: entries 1..3 for "Ufficio B". A forward killed before its stamps left its
    // file; then entry 2's subject was corrected and entry 4 registered, and the next forward
    // sent them all.
    seedRegister(mittente.archive(), 3);
    auto db = archivio(mittente.archive());
    ASSERT_TRUE(db->exec("UPDATE entrata SET Ufficio_competente = 'Ufficio B'").ok());
    const auto inoltra = [&db, this](const QDateTime& momento) {
        Recordset rs;
        ASSERT_TRUE(rs.open(db, registerQuery()).ok());
        ASSERT_TRUE(rs.setFilter(filtro_notifica("Ufficio B")).ok());
        ASSERT_TRUE(scrivi_notifica(rs, destinatario.path(), momento, nullptr).ok());
    };
    inoltra(clock.now());
    ASSERT_TRUE(db->exec("UPDATE entrata SET Oggetto = 'Oggetto corretto' WHERE Progressivo = 2").ok());
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto, Ufficio_competente) VALUES "
                         "(4, 'U', 'Quarto', 'Ufficio B')")
                    .ok());
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (4, 'U', 'Elena')").ok());
    inoltra(clock.now().addSecs(60));

    // Installation B takes both: the second one gives entry 4, names entry 2 and is kept aside.
    Finestra b;
    apriDestinatario(b, {MsgAnswer::Yes, MsgAnswer::Yes});
    ASSERT_EQ(messages.texts().size(), 3);
    EXPECT_EQ(messages.texts().at(2),
              "ATTENZIONE !\n\nLa notifica Notifica_2025_14_06__10_21_30.xml contiene quadernoli già in archivio "
              "con altri dati: restano in archivio come sono.\n\nn. 2: Oggetto\n\nSalvati in archivio i quadernoli "
              "nuovi del file: n. 4.\n\nIl file è stato conservato nella cartella del programma come "
              "da_verificare_Notifica_2025_14_06__10_21_30.xml.");
    auto arrivo = archivio(destinatario.archive());
    EXPECT_EQ(
        arrivo->scalar("SELECT group_concat(Progressivo) FROM (SELECT Progressivo FROM entrata ORDER BY 1)").toString(),
        "1,2,3,4");
    EXPECT_EQ(arrivo->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 2").toString(),
              "Oggetto n. 2 dell'ufficio");
    EXPECT_EQ(arrivo->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 5);
    EXPECT_EQ(dati(b, "Adodc1")->Recordset()->recordCount(), 5);
    EXPECT_TRUE(notificheIn(destinatario.path()).isEmpty());
    EXPECT_TRUE(QFile::exists(destinatario.file("da_verificare_Notifica_2025_14_06__10_21_30.xml")));
    messages.clear();
    notifiche(b)->Timer1_Timer();
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(NotificationWindow, ACorrectedCorrespondentIsNamedAndRowsOfOneEntryThatDisagreeAreRefused)
{
    // Entry 901 with its correspondent "D'Amico Srl", whose address the sending office has corrected.
    const auto registra901 = [](const QString& arch, const QString& indirizzo) {
        auto db = archivio(arch);
        ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (901, 'E', 'Fattura')").ok());
        ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo, Indirizzo, Citta) VALUES "
                             "(901, 'E', 'D''Amico Srl', ?, 'Roma')",
                             {indirizzo})
                        .ok());
    };
    registra901(destinatario.archive(), "Via Po 1");
    registra901(mittente.archive(), "Via Dante 5");
    // Entry 902 with two correspondents, whose second row gives it (and its correspondent) the
    // other direction.
    auto db = archivio(mittente.archive());
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (902, 'E', 'Domanda')").ok());
    ASSERT_TRUE(
        db->exec(
              "INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (902, 'E', 'Rossi'), (902, 'E', 'Bianchi')")
            .ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    ASSERT_TRUE(rs.setFilter("Progressivo = 901").ok());
    ASSERT_TRUE(rs.save(destinatario.file("Notifica_901.xml")).ok());
    ASSERT_TRUE(rs.setFilter("Progressivo = 902").ok());
    rs.moveLast();
    ASSERT_TRUE(rs.setValue("entrata.Tipo", "U").ok());
    ASSERT_TRUE(rs.setValue("Mittenti.tipo", "U").ok());
    ASSERT_TRUE(rs.save(destinatario.file("Notifica_902.xml")).ok());

    Finestra b;
    apriDestinatario(b, {MsgAnswer::Yes, MsgAnswer::Ok, MsgAnswer::Yes});
    ASSERT_EQ(messages.texts().size(), 4);
    EXPECT_EQ(messages.texts().at(1),
              "ATTENZIONE !\n\nLa notifica Notifica_901.xml contiene quadernoli già in archivio con altri dati: "
              "restano in archivio come sono.\n\nn. 901: Indirizzo\n\nNessun quadernolo nuovo nel file.\n\nIl file "
              "è stato conservato nella cartella del programma come da_verificare_Notifica_901.xml.");
    EXPECT_EQ(messages.texts().at(3),
              "Errore nell' importazione dei dati\n\nRiga 2, colonna Tipo: il quadernolo n. "
              "902 vi ha \"U\", alla riga 1 \"E\".");
    EXPECT_TRUE(QFile::exists(destinatario.file("da_verificare_Notifica_901.xml")));
    EXPECT_EQ(notificheIn(destinatario.path()), QStringList("Notifica_902.xml"));
    auto arrivo = archivio(destinatario.archive());
    EXPECT_EQ(arrivo->scalar("SELECT group_concat(Progressivo) FROM entrata").toString(), "901");
    EXPECT_EQ(arrivo->scalar("SELECT group_concat(Indirizzo) FROM Mittenti").toString(), "Via Po 1");
}

TEST_F(NotificationWindow, ANotificationOfNeitherDirectionOrANumberPastTheArchiveIsRefusedAndNumberingGoesOn)
{
    // The receiving register ends at entry 901.
    ASSERT_TRUE(archivio(destinatario.archive())
                    ->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (901, 'E', 'Fattura')")
                    .ok());
    ASSERT_TRUE(archivio(destinatario.archive())
                    ->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (901, 'E', 'Rossi')")
                    .ok());
    // Entry 950 given the direction "X"; entry 902 given a number no register holds, in columns
    // declared as text.
    auto db = archivio(mittente.archive());
    ASSERT_TRUE(
        db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (950, 'E', 'Verso'), (902, 'E', 'Numero')")
            .ok());
    ASSERT_TRUE(
        db->exec(
              "INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (950, 'E', 'Bianchi'), (902, 'E', 'Verdi')")
            .ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    ASSERT_TRUE(rs.setFilter("Progressivo = 950").ok());
    ASSERT_TRUE(rs.setValue("entrata.Tipo", "X").ok());
    ASSERT_TRUE(rs.setValue("Mittenti.tipo", "X").ok());
    ASSERT_TRUE(rs.save(destinatario.file("Notifica_verso.xml")).ok());
    QByteArray testo;
    ASSERT_TRUE(rs.setFilter("Progressivo = 902").ok());
    ASSERT_TRUE(rs.saveXml(&testo).ok());
    testo.replace(R"(dt:type="int" dt:maxLength="4" rs:precision="10" rs:fixedlength="true" rs:maybenull="false")",
                  R"(dt:type="string" dt:maxLength="255")");
    testo.replace("=\"902\"", "=\"9223372036854775807\"");

    // The direction "X", found when the register opens.
    Finestra b;
    apriDestinatario(b, {MsgAnswer::Yes});
    const QString domanda = "Notifica in arrivo ! \n\nSalvo in archivio ?";
    EXPECT_EQ(messages.texts().join("|").toStdString(),
              (domanda
               + "|Errore nell' importazione dei dati\n\nRiga 1, colonna Tipo: \"X\" non è una direzione (E "
                 "per entrata, U per uscita).")
                  .toStdString());
    // The number, found by the next look (the refused file is offered again, and kept again).
    scriviFile(destinatario.file("Notifica_numero.xml"), testo);
    messages.clear();
    messages.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok).answer(MsgAnswer::No);
    notifiche(b)->Timer1_Timer();
    EXPECT_EQ(messages.texts().join("|").toStdString(),
              (domanda
               + "|Errore nell' importazione dei dati\n\nRiga 1, colonna Progressivo: \"9223372036854775807\" non è "
                 "un numero di registro (un numero intero da 1 a 2147483647).|"
               + domanda)
                  .toStdString());
    // Kept for a later look, as every refused file is; nothing of them in the archive.
    EXPECT_EQ(notificheIn(destinatario.path()), QStringList({"Notifica_numero.xml", "Notifica_verso.xml"}));
    EXPECT_EQ(archivio(destinatario.archive())->scalar("SELECT group_concat(Progressivo) FROM entrata").toString(),
              "901");
    EXPECT_EQ(archivio(destinatario.archive())->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 1);
    EXPECT_EQ(dati(b, "Adodc1")->Caption(), "   Totale schede : 1");

    // The numbering goes on from the register's last entry.
    messages.clear();
    ASSERT_TRUE(trigger(&b, "tb_insert"));
    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(click(&b, "cmd_ins_0"));
    ASSERT_TRUE(nuovaSchedaInCorso(b));
    EXPECT_EQ(casella(b, 0)->text(), "902");
    EXPECT_FALSE(messages.contains("non valido"));
    click(&b, "cmd_new_ins_1");
}

TEST_F(NotificationWindow, ANotificationWithASecondDataSectionIsRefusedWholeAndKept)
{
    // Entries 901, 903 and 904 of the sending office, each forwarded as the forward writes it; the
    // file of 901 then carries, before its own end of data, a data section of its own with 903,
    // and 904 after it.
    auto db = archivio(mittente.archive());
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (901, 'E', 'Fattura'), "
                         "(903, 'E', 'Domanda'), (904, 'U', 'Risposta')")
                    .ok());
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (901, 'E', 'Rossi'), "
                         "(903, 'E', 'Bianchi'), (904, 'U', 'Verdi')")
                    .ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    const auto notificaDi = [&rs](int numero) {
        QByteArray testo;
        EXPECT_TRUE(rs.setFilter(QStringLiteral("Progressivo = %1").arg(numero)).ok());
        EXPECT_TRUE(rs.saveXml(&testo).ok());
        return testo;
    };
    const auto rigaDi = [&notificaDi](int numero) {
        const QByteArray testo = notificaDi(numero);
        const qsizetype inizio = testo.indexOf("<z:row ");
        return testo.mid(inizio, testo.indexOf("/>", inizio) + 2 - inizio);
    };
    QByteArray testo = notificaDi(901);
    testo.replace("</rs:data>", "<rs:data>" + rigaDi(903) + "</rs:data>" + rigaDi(904) + "</rs:data>");
    scriviFile(destinatario.file("Notifica_901.xml"), testo);

    Finestra b;
    apriDestinatario(b, {MsgAnswer::Yes});
    ASSERT_EQ(messages.texts().size(), 2);
    EXPECT_TRUE(messages.last().startsWith("Errore nell' importazione dei dati\n\n"
                                           + destinatario.file("Notifica_901.xml")
                                           + ": Più di una sezione di dati (rs:data) nel file XML"))
        << messages.last().toStdString();
    EXPECT_EQ(notificheIn(destinatario.path()), QStringList("Notifica_901.xml"));
    EXPECT_EQ(archivio(destinatario.archive())->scalar("SELECT COUNT(*) FROM entrata").toInt(), 0);
    EXPECT_EQ(archivio(destinatario.archive())->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 0);
}

TEST_F(NotificationWindow, ATransferFileWhoseRowsCannotBeStampedLeavesTheEarlierFileInPlace)
{
    Finestra w;
    apriMittente(w, "Server");
    ASSERT_TRUE(trigger(&w, "tb_modo")); // to the grid
    ASSERT_TRUE(
        archivio(mittente.archive())
            ->exec("CREATE TRIGGER rifiuta BEFORE UPDATE ON entrata BEGIN SELECT RAISE(ABORT, 'rifiutato'); END")
            .ok());
    const QString esporta = mittente.file("esporta.txt");
    for (const QByteArray& prima : {QByteArray(), QByteArray("\"precedente\"\r\n")}) {
        if (!prima.isEmpty())
            scriviFile(esporta, prima);
        QTableView* griglia = grid(w);
        QTest::mouseClick(griglia->viewport(), Qt::LeftButton, {},
                          griglia->visualRect(griglia->model()->index(0, 1)).center());
        messages.clear();
        messages.answer(MsgAnswer::Yes);
        notifiche(w)->esporta_notifica(0, "Ufficio B");
        ASSERT_EQ(messages.texts().size(), 2);
        EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !\n\nTrasferimento non eseguito.\n\n"))
            << messages.last().toStdString();
        const QStringList rimasti = QDir(mittente.path()).entryList({"esporta*"}, QDir::Files);
        EXPECT_EQ(rimasti, prima.isEmpty() ? QStringList() : QStringList("esporta.txt"));
        QFile file(esporta);
        EXPECT_EQ(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), prima);
        EXPECT_EQ(consegnate(mittente.archive()), 0);
    }
}

/// Run by AForwardRemovesWhatAForwardKilledHalfWayLeft as a process of its own: forwards the
/// register of the archive QUAD_FORWARD_ARCHIVE into the folder QUAD_FORWARD_FOLDER and stops for
/// good while it writes.
TEST(ForwardWorker, Run)
{
    const QString folder = qEnvironmentVariable("QUAD_FORWARD_FOLDER");
    if (folder.isEmpty())
        GTEST_SKIP() << "started by NotificationWindow.AForwardRemovesWhatAForwardKilledHalfWayLeft";
    Recordset rs;
    ASSERT_TRUE(rs.open(archivio(qEnvironmentVariable("QUAD_FORWARD_ARCHIVE")), registerQuery()).ok());
    setFileWriteFaultForTests([](const QString&) -> bool { waitToBeKilled(); });
    (void)scrivi_notifica(rs, folder, QDateTime::currentDateTime(), nullptr);
    FAIL() << "the forward was to stop half-way";
}

TEST_F(NotificationWindow, AForwardRemovesWhatAForwardKilledHalfWayLeft)
{
    Finestra w;
    apriMittente(w, "Server");
    const auto inScrittura = [this] { return QDir(destinatario.path()).entryList({"*.tmp"}, QDir::Files); };
    QProcessEnvironment env;
    env.insert("QUAD_FORWARD_FOLDER", destinatario.path());
    env.insert("QUAD_FORWARD_ARCHIVE", mittente.archive());
    QProcess vivo;
    QByteArray uscita;
    ASSERT_TRUE(killOneWorkerAndKeepAnother(vivo, "ForwardWorker.Run", env, &uscita)) << uscita.toStdString();
    ASSERT_EQ(inScrittura().size(), 2);

    messages.clear();
    messages.answer(MsgAnswer::Yes);
    clickInoltra(w);
    EXPECT_EQ(notificheIn(destinatario.path()), QStringList("Notifica_2025_14_06__10_20_30.xml"));
    const QStringList rimasti = inScrittura();
    ASSERT_EQ(rimasti.size(), 1);
    EXPECT_FALSE(FileLock(destinatario.file(rimasti.first())).held()); // the living forward holds it
    vivo.kill();
    ASSERT_TRUE(vivo.waitForFinished(10000));
}

TEST_F(NotificationWindow, ANotificationWithADoctypeIsRefusedWholeAndKept)
{
    // Entry 901 of the sending office with two correspondents, forwarded as the forward writes it;
    // its second row then given as a reference to an entity of another file.
    auto db = archivio(mittente.archive());
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (901, 'E', 'Fattura')").ok());
    ASSERT_TRUE(
        db->exec(
              "INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (901, 'E', 'Rossi'), (901, 'E', 'Bianchi')")
            .ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    QByteArray testo;
    ASSERT_TRUE(rs.saveXml(&testo).ok());
    const qsizetype seconda = testo.indexOf("<z:row ", testo.indexOf("<z:row ") + 1);
    ASSERT_GT(seconda, 0);
    testo.replace(seconda, testo.indexOf("/>", seconda) + 2 - seconda, "&righe;");
    testo.prepend("<!DOCTYPE xml [<!ENTITY righe SYSTEM \"righe.xml\">]>\n");
    scriviFile(destinatario.file("Notifica_901.xml"), testo);

    Finestra b;
    apriDestinatario(b, {MsgAnswer::Yes});
    ASSERT_EQ(messages.texts().size(), 2);
    EXPECT_EQ(messages.last(),
              "Errore nell' importazione dei dati\n\n" + destinatario.file("Notifica_901.xml")
                  + ": Dichiarazione DOCTYPE nel file XML (riga 1): un file di dati non ne ha.");
    EXPECT_EQ(notificheIn(destinatario.path()), QStringList("Notifica_901.xml"));
    QFile rimasto(destinatario.file("Notifica_901.xml"));
    ASSERT_TRUE(rimasto.open(QIODevice::ReadOnly));
    EXPECT_EQ(rimasto.readAll(), testo);
    EXPECT_EQ(archivio(destinatario.archive())->scalar("SELECT COUNT(*) FROM entrata").toInt(), 0);
    EXPECT_EQ(archivio(destinatario.archive())->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 0);
}

} // namespace quad::test
