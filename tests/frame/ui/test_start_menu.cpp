// The start menu's settings and "Database" buttons, driven through the main window: the settings
// dialog works on the window's own state, and what it changes reaches the register and the next
// login.
#include "file_checks.h"
#include "frame_fixture.h"

#include "my_func.h"
#include "program_folder.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QTabBar>

using namespace quad;
using namespace quad::test;

namespace {

QString ini(const QString& section, const QString& key)
{
    return leggi_ini(iniPath(), section, key, "<manca>");
}

/// The live archive of program with forty entries of which the last twenty are deleted: free
/// pages for a compaction to take back. The connection that wrote them, or null after a failure.
std::shared_ptr<Connection> conPagineLibere(const TempProgram& program)
{
    DbResult err;
    auto db = Connection::open(program.archive(), kPassword, &err);
    EXPECT_TRUE(db) << err.message.toStdString();
    bool scritto = db != nullptr;
    for (int i = 1; scritto && i <= 40; ++i)
        scritto = db->exec("INSERT INTO entrata (Progressivo, Oggetto) VALUES (?, ?)", {i, QString(300, 'x')}).ok();
    scritto = scritto && db->exec("DELETE FROM entrata WHERE Progressivo > 20").ok();
    EXPECT_TRUE(scritto);
    return scritto ? db : nullptr;
}

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write("...\r\n");
}

/// Opens the settings dialog from the start menu and runs action in it.
void settings(TestQuadernolo& w, std::function<void(QDialog*)> action)
{
    ModalScript script;
    script.then("frm_mod_pass", std::move(action));
    ASSERT_TRUE(click(&w, "cmd_menu_0"));
    ASSERT_TRUE(script.waitDone());
}

} // namespace

TEST(StartMenuSettings, TheCloseBoxSavesTheGeneralPanelIntoTheWindowsState)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    ASSERT_EQ(w.state.p_postazione, "Server");

    QString title;
    QStringList tabs;
    settings(w, [&](QDialog* d) {
        title = d->windowTitle();
        auto* strip = control<QTabBar>(d, "TabStrip1");
        for (int i = 0; i < strip->count(); ++i)
            tabs << strip->tabText(i);
        click(d, "Option1_1");
        typeInto(d, "txt_server", "/srv/centrale");
        click(d, "chk_rete");
        click(d, "chk_back_up");
        messages.file("/media/copia");
        click(d, "cmd_back_up");
        d->close();
    });
    EXPECT_EQ(title, "Quadernolo - Impostazioni programma");
    EXPECT_EQ(tabs, QStringList({"Generale", "Password", "Elenco A.O.O."}));
    EXPECT_EQ(ini("IMPOSTA", "Postazione"), "Client");
    EXPECT_EQ(ini("IMPOSTA", "Path_Postazione"), "/srv/centrale");
    EXPECT_EQ(ini("IMPOSTA", "Quad_rete"), "1");
    EXPECT_EQ(ini("IMPOSTA", "Check_back_up"), "1");
    EXPECT_EQ(ini("IMPOSTA", "Path_back_up"), "/media/copia");
    EXPECT_EQ(w.state.p_postazione, "Client");
    EXPECT_EQ(w.state.p_quad_rete, "1");
    EXPECT_EQ(w.state.p_chk_back_up, "1");
    EXPECT_EQ(w.state.p_path_back_up, "/media/copia");
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_TRUE(messages.shown().isEmpty());

    // The station is a Client now: the register opens without "Nuovo".
    openRegister(w);
    ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_FALSE(findAction(&w, "tb_insert")->isEnabled());
}

TEST(StartMenuSettings, NothingOfTheStartFrameShowsAroundTheDialog)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    const QRect startFrame(shown(w, "Frame1")->mapToGlobal(QPoint(0, 0)), shown(w, "Frame1")->size());
    settings(w, [&](QDialog* d) {
        auto* strip = control<QTabBar>(d, "TabStrip1");
        for (int tab : {0, 1, 2, 0}) {
            strip->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            EXPECT_TRUE(d->frameGeometry().contains(startFrame))
                << "tab " << tab << ": dialog " << d->frameGeometry().width() << "x" << d->frameGeometry().height()
                << ", start frame " << startFrame.width() << "x" << startFrame.height();
        }
        d->close();
    });
}

TEST(StartMenuSettings, OfficesAddedOnAServerStationReachTheRegistersPickList)
{
    TempProgram program;
    program.writeIni("[Uffici]\nElenco=Z\nPath=/srv/z\n[IMPOSTA]\nPostazione=Client\n");
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));

    settings(w, [&](QDialog* d) {
        auto* strip = control<QTabBar>(d, "TabStrip1");
        strip->setCurrentIndex(2);
        EXPECT_EQ(messages.last(), "Non autorizzato alla gestione delle tabelle !\n\n");
        EXPECT_EQ(strip->currentIndex(), 0);
        EXPECT_FALSE(control<QFrame>(d, "Frame1")->isVisible());
        // Chosen "Server", the tab opens at once.
        click(d, "Option1_0");
        strip->setCurrentIndex(2);
        EXPECT_TRUE(control<QFrame>(d, "Frame1")->isVisible());
        for (const char* name : {"A", "B", "C"}) {
            messages.input(name);
            click(d, "cmd_add_uffici");
        }
        EXPECT_EQ(control<QListWidget>(d, "List1")->count(), 4);
        d->close();
    });
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(ini("Uffici", "Elenco"), "Z;A;B;C");
    EXPECT_EQ(ini("Uffici", "Path"), "/srv/z");
    EXPECT_EQ(ini("IMPOSTA", "Postazione"), "Server");
    EXPECT_EQ(w.state.p_eln_uffici, "Z;A;B;C");

    openRegister(w);
    ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_TRUE(findAction(&w, "tb_insert")->isEnabled());
    QStringList picks;
    for (int i = 0; i < control<QListWidget>(&w, "list_elenco")->count(); ++i)
        picks << control<QListWidget>(&w, "list_elenco")->item(i)->text();
    EXPECT_EQ(picks, QStringList({"Z", "A", "B", "C"}));
}

TEST(StartMenuSettings, ATransferFileIsReadIntoTheHistoricalArchiveInUse)
{
    TempProgram program;
    const QString storico = program.addHistorical("SUB_2019");
    QFile file(program.file("esporta.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"Progressivo\tentrata.Tipo\tOggetto\tNominativo\xff"
               "10\tE\tdieci\tAnna\xff\"\r\n");
    file.close();
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    ModalScript chooser;
    chooser.then("frm_sel_cartella", [](QDialog* d) { click(d, "OKButton"); });
    openRegister(w);
    ASSERT_TRUE(chooser.waitDone());
    ASSERT_EQ(control<QLabel>(&w, "lbl_sub_arch")->text(), "Archivio in uso : 2019");
    EXPECT_TRUE(notifiche(w)->importa_file_trasferimento("esporta.txt"));
    DbResult err;
    auto db = Connection::shared(storico, kPassword, &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    EXPECT_EQ(db->scalar("SELECT group_concat(Progressivo || Oggetto) FROM entrata").toString(), "10dieci");
    EXPECT_EQ(Connection::shared(program.archive(), kPassword, &err)->scalar("SELECT COUNT(*) FROM entrata").toInt(),
              0);
}

TEST(StartMenuSettings, APasswordChangeIsWhatTheRegisterAndTheNextLoginNeed)
{
    TempProgram program;
    seedRegister(program.archive(), 2);
    const QString storico = program.addHistorical("SUB_2019");
    const QString nuova = "Nuova 2025; 'x'";
    ScriptedMessages messages;
    {
        TestQuadernolo w;
        ASSERT_TRUE(startWindow(w));
        settings(w, [&](QDialog* d) {
            control<QTabBar>(d, "TabStrip1")->setCurrentIndex(1);
            typeInto(d, "Text4", kPassword);
            typeInto(d, "Text2", nuova);
            typeInto(d, "Text3", nuova);
            click(d, "Command1");
        });
        EXPECT_EQ(messages.texts(), QStringList({"Modifica password effettuata !"}));
        EXPECT_EQ(w.state.p_password, nuova);
        for (const QString& file : {program.archive(), program.file("arch_base.mdb"), storico}) {
            EXPECT_TRUE(opensWith(file, nuova)) << file.toStdString();
            EXPECT_FALSE(opensWith(file, kPassword)) << file.toStdString();
        }

        // The historical archive opens with the new password in this same session.
        ModalScript chooser;
        chooser.then("frm_sel_cartella", [](QDialog* d) { click(d, "OKButton"); });
        openRegister(w);
        ASSERT_TRUE(chooser.waitDone());
        EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
        EXPECT_EQ(control<QLabel>(&w, "lbl_sub_arch")->text(), "Archivio in uso : 2019");
        EXPECT_EQ(messages.shown().size(), 1);
        trigger(&w, "tb_esci");
    }

    // The next start: the old password is refused, the new one logs in.
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    TestQuadernolo w;
    ModalScript script;
    scriptLogin(script, {kPassword, nuova});
    EXPECT_TRUE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().at(0).title, "Errore password");
    EXPECT_EQ(w.state.p_password, nuova);
    EXPECT_EQ(w.ended, 0);
}

TEST(StartMenuSettings, SbloccaArchivioRemovesTheLockOfTheProgramFolder)
{
    TempProgram program;
    touch(program.file("emissione.txt"));
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    settings(w, [](QDialog* d) {
        click(d, "cmd_kill");
        click(d, "Command4");
    });
    EXPECT_FALSE(QFile::exists(program.file("emissione.txt")));
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(StartMenuDatabase, CompactsTheLiveArchiveKeepingItsRowsAndItsKey)
{
    TempProgram program;
    ASSERT_TRUE(conPagineLibere(program));
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));

    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(click(&w, "cmd_menu_1"));
    EXPECT_EQ(messages.texts(),
              QStringList({"Compattare il database?", "Compattazione del database terminata con successo."}));
    EXPECT_EQ(messages.shown().at(0).title, "Gestione quadernolo");
    EXPECT_EQ(messages.shown().at(0).buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown().at(1).icon, MsgIcon::Information);
    {
        DbResult err;
        auto db = Connection::open(program.archive(), kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 20);
    }
    EXPECT_FALSE(opensWith(program.archive(), ""));
    EXPECT_FALSE(QFile::exists(program.file("Temp.mdb")));

    // A scratch file left by an earlier run does not stop it.
    touch(program.file("Temp.mdb"));
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(click(&w, "cmd_menu_1"));
    EXPECT_EQ(messages.last(), "Compattazione del database terminata con successo.");

    // The register opens on the compacted archive.
    openRegister(w);
    ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->recordCount(), 0); // entries without correspondents do not join
    EXPECT_EQ(messages.shown().size(), 2);
}

TEST(StartMenuDatabase, AnArchiveAnotherStationIsReadingIsNotCompactedAndTheClerkIsToldWhy)
{
    TempProgram program;
    const std::shared_ptr<Connection> altra = conPagineLibere(program);
    ASSERT_TRUE(altra);
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));

    // The other station is half-way through a read of the register.
    DbResult err;
    Statement lettura = altra->prepare("SELECT Progressivo FROM entrata ORDER BY Progressivo", &err);
    ASSERT_TRUE(lettura.next()) << lettura.error().message.toStdString();
    const QByteArray prima = bytesOf(program.archive());
    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(click(&w, "cmd_menu_1"));
    ASSERT_EQ(messages.shown().size(), 2) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(messages.last(),
              "Errore durante il tentativo di compattazione del database: Archivio in uso da "
              "un'altra postazione, riprovare.");
    EXPECT_EQ(messages.shown().at(1).title, "Service");
    EXPECT_EQ(messages.shown().at(1).icon, MsgIcon::Critical);

    // The other station reads on; the archive is as it was.
    int letti = 1;
    while (lettura.next())
        ++letti;
    EXPECT_TRUE(lettura.error().ok()) << lettura.error().message.toStdString();
    EXPECT_EQ(letti, 20);
    lettura = Statement();
    EXPECT_EQ(bytesOf(program.archive()), prima);
    EXPECT_EQ(altra->scalar("SELECT count(*) FROM entrata").toInt(), 20);
}
