// The main window's folder buttons: filing the current entry, the folder window, the folder list.
#include "../../register/ui/test_entries_fixture.h"
#include "../archive_fixture.h"

#include "folder_tree_panel.h"
#include "folder_tree_store.h"
#include "frm_add_tree.h"
#include "frm_tree.h"

#include <QTreeWidget>

using namespace quad;
using namespace quad::test;

namespace {

class MainWindowFoldersTest : public EntriesTest
{
protected:
    void SetUp() override
    {
        seedRegister(program.archive(), 27);
        DbResult err;
        auto db = Connection::open(program.archive(), QByteArray(kPassword), &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        ASSERT_TRUE(db->exec("INSERT INTO sys_tree (\"KEY\", CAPTION) VALUES ('1\\', 'Ferie'), ('2\\', 'Atti')").ok());
        apri(0);
        maschera(27);
    }

    void collega(const QString& key, int numero, const QString& tipo)
    {
        ASSERT_TRUE(
            archivio()
                ->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES (?, ?, ?)", {key, numero, tipo})
                .ok());
    }
    /// "Collega": files the current entry in the folder key, answering Yes.
    void archivia(const QString& key)
    {
        ModalScript script;
        script.then("frm_add_tree", [this, key](QDialog* d) {
            control<FolderTreePanel>(d, "Picture1")->seleziona(key);
            messages.answer(MsgAnswer::Yes);
            click(d, "OKButton");
        });
        ASSERT_TRUE(trigger(&w, "tb_add_tree"));
        ASSERT_TRUE(script.waitDone());
    }
    QString nodoDi(int numero) const
    {
        return scalar("SELECT sys_nodo FROM entrata WHERE Progressivo = ?", {numero}).toString();
    }
    /// Another station changes the archive's password from vecchia to nuova.
    void cambiaAltrove(const QByteArray& vecchia, const QByteArray& nuova)
    {
        DbResult err;
        auto altra = Connection::open(program.archive(), vecchia, &err);
        ASSERT_TRUE(altra && altra->rekey(nuova).ok()) << err.message.toStdString();
    }
    /// A mouse click on the tool-bar button of the main window's action name.
    void premi(const char* name)
    {
        QAction* azione = findAction(&w, name);
        QToolBar* barra = control<QToolBar>(&w, "Toolbar1");
        QWidget* pulsante = azione && barra ? barra->widgetForAction(azione) : nullptr;
        ASSERT_TRUE(pulsante && pulsante->isVisible()) << name;
        QTest::mouseClick(pulsante, Qt::LeftButton);
    }
    /// The folders under the root of the tree of a folder window.
    static int cartelle(QDialog* d) { return control<QTreeWidget>(d, "TreeView1")->topLevelItem(0)->childCount(); }
};

TEST_F(MainWindowFoldersTest, FilingTheCurrentEntryAsksThenWritesTheLinkAndItsFolder)
{
    ModalScript script;
    script.then("frm_add_tree", [this](QDialog* d) {
        auto* dialogo = static_cast<frm_add_tree*>(d);
        EXPECT_EQ(d->windowTitle(), "Quadernolo");
        control<FolderTreePanel>(dialogo, "Picture1")->seleziona("1\\");
        messages.answer(MsgAnswer::Yes);
        click(d, "OKButton");
    });
    ASSERT_TRUE(trigger(&w, "tb_add_tree"));
    ASSERT_TRUE(script.waitDone());

    EXPECT_EQ(messages.last(), "Confermi l' inserimento del quadernolo N. 27\n\nnel fascicolo Ferie");
    EXPECT_EQ(messages.shown().last().buttons, MsgButtons::YesNo);
    EXPECT_EQ(scalar("SELECT SYS_TREE || '|' || SYS_USER_ID || '|' || Tipo FROM sys_rela_tree").toString(), "1\\|27|E");
    EXPECT_EQ(nodoDi(27), "FASCICOLI\\Ferie");
    EXPECT_EQ(control<QLabel>(&w, "lbl_nodo")->text(), "Nodo : FASCICOLI\\Ferie");
    EXPECT_TRUE(control<QLabel>(&w, "lbl_nodo")->isVisible());
    EXPECT_EQ(corrente(), 27);
    EXPECT_FALSE(sessione(w).p_update());
    EXPECT_FALSE(registro()->hasPendingChanges());
    EXPECT_EQ(registro()->value("sys_nodo").toString(), "FASCICOLI\\Ferie");
}

TEST_F(MainWindowFoldersTest, TheRootRefusesAndNoWritesNothing)
{
    ModalScript script;
    bool aperto = false;
    script.then("frm_add_tree", [&](QDialog* d) {
        click(d, "OKButton"); // the root is selected
        aperto = d->isVisible();
        control<FolderTreePanel>(d, "Picture1")->seleziona("2\\");
        messages.answer(MsgAnswer::No);
        click(d, "OKButton");
    });
    ASSERT_TRUE(trigger(&w, "tb_add_tree"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_TRUE(aperto);
    EXPECT_EQ(messages.texts().first(), "Non è possibile associare schede a tale livello !");
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree"), 0);
    EXPECT_EQ(nodoDi(27), "Radice/Cartella 27");
}

TEST_F(MainWindowFoldersTest, AFolderAddedInTheDialogIsStoredBeforeTheEntryIsFiledInIt)
{
    ModalScript script;
    script.then("frm_add_tree", [this](QDialog* d) {
        auto* dialogo = static_cast<frm_add_tree*>(d);
        control<FolderTreePanel>(dialogo, "Picture1")->AddNode("after");
        control<FolderTreePanel>(dialogo, "Picture1")->selezionato()->setText(0, "Nuovo");
        messages.answer(MsgAnswer::Yes);
        click(d, "OKButton");
    });
    ASSERT_TRUE(trigger(&w, "tb_add_tree"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(scalar("SELECT CAPTION FROM sys_tree WHERE \"KEY\" = '3\\'").toString(), "Nuovo");
    EXPECT_EQ(scalar("SELECT SYS_TREE FROM sys_rela_tree").toString(), "3\\");
    EXPECT_EQ(nodoDi(27), "FASCICOLI\\Nuovo");
}

TEST_F(MainWindowFoldersTest, AFolderAddedOverAnotherStationsNewFolderIsFiledUnderTheKeyItWasStoredWith)
{
    ModalScript script;
    script.then("frm_add_tree", [this](QDialog* d) {
        auto* dialogo = static_cast<frm_add_tree*>(d);
        control<FolderTreePanel>(dialogo, "Picture1")->seleziona("2\\");
        control<FolderTreePanel>(dialogo, "Picture1")->AddNode("after"); // 3\ in this window
        control<FolderTreePanel>(dialogo, "Picture1")->selezionato()->setText(0, "Nuovo");
        DbResult err;
        auto stazioneB = Connection::open(program.archive(), QByteArray(kPassword), &err);
        ASSERT_EQ(salva_da_altra_stazione(*stazioneB, {{"1\\", "Ferie"}, {"2\\", "Atti"}, {"3\\", "Di B"}}).esito,
                  EsitoAlbero::Scritto);
        messages.answer(MsgAnswer::Ok).answer(MsgAnswer::Yes);
        click(d, "OKButton");
    });
    ASSERT_TRUE(trigger(&w, "tb_add_tree"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(messages.texts().first(),
              "Struttura Modificata da altro utente\n\nLe modifiche sono state salvate sulla struttura aggiornata.");
    EXPECT_EQ(scalar("SELECT group_concat(\"KEY\" || '=' || CAPTION, '|') FROM sys_tree").toString(),
              "1\\=Ferie|2\\=Atti|4\\=Nuovo|3\\=Di B");
    EXPECT_EQ(scalar("SELECT SYS_TREE FROM sys_rela_tree").toString(), "4\\");
    EXPECT_EQ(nodoDi(27), "FASCICOLI\\Nuovo");
}

TEST_F(MainWindowFoldersTest, FilingIntoAFolderAnotherStationRemovedIsRefused)
{
    ModalScript script;
    script.then("frm_add_tree", [this](QDialog* d) {
        control<FolderTreePanel>(d, "Picture1")->seleziona("1\\");
        DbResult err;
        auto stazioneB = Connection::open(program.archive(), QByteArray(kPassword), &err);
        ASSERT_EQ(salva_da_altra_stazione(*stazioneB, {{"2\\", "Atti"}}).esito, EsitoAlbero::Scritto);
        messages.answer(MsgAnswer::Yes);
        click(d, "OKButton");
    });
    ASSERT_TRUE(trigger(&w, "tb_add_tree"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !\n\nIl fascicolo scelto non è più in archivio: un altro utente lo ha "
              "eliminato.\n\nIl quadernolo non è stato collegato.");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree"), 0);
    EXPECT_EQ(nodoDi(27), "Radice/Cartella 27");
    // The dialog's close left B's tree as it was.
    EXPECT_EQ(scalar("SELECT group_concat(CAPTION, '|') FROM sys_tree").toString(), "Atti");
}

TEST_F(MainWindowFoldersTest, TheConfirmationFormHasNoEmptySpace)
{
    ModalScript script;
    int altezza = 0;
    int altezzaCornice = 0;
    int altezzaNecessaria = 0;
    script.then("frm_add_tree", [&](QDialog* d) {
        auto* dialogo = static_cast<frm_add_tree*>(d);
        control<FolderTreePanel>(dialogo, "Picture1")->seleziona("1\\");
        messages.onNext([&](const ShownMessage&) {
            altezza = d->height();
            altezzaCornice = control<QGroupBox>(dialogo, "frame_msg")->height();
            altezzaNecessaria = control<QGroupBox>(dialogo, "frame_msg")->sizeHint().height();
        });
        messages.answer(MsgAnswer::No);
        click(d, "OKButton");
    });
    ASSERT_TRUE(trigger(&w, "tb_add_tree"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(altezzaCornice, altezzaNecessaria);
    EXPECT_LE(altezza, altezzaCornice + 2 * 12) << altezza << " " << altezzaCornice;
}

TEST_F(MainWindowFoldersTest, AFilingTheArchiveRefusesIsShownAndWritesNothing)
{
    ASSERT_TRUE(archivio()
                    ->exec("CREATE TRIGGER rifiuta BEFORE UPDATE OF sys_nodo ON entrata "
                           "BEGIN SELECT RAISE(ABORT, 'archivio in sola lettura'); END")
                    .ok());
    archivia("1\\");
    EXPECT_TRUE(messages.last().startsWith("Si è verificato un errore !")) << messages.last().toStdString();
    EXPECT_TRUE(messages.last().contains("archivio in sola lettura"));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree"), 0);
    EXPECT_EQ(nodoDi(27), "Radice/Cartella 27");
}

TEST_F(MainWindowFoldersTest, TheFolderListNamesEveryFolderOfTheEntry)
{
    collega("1\\", 27, "E");
    collega("9\\", 27, "E"); // its folder is gone
    collega("2\\", 27, "U"); // another direction
    ASSERT_TRUE(click(&w, "cmd_tree"));
    EXPECT_EQ(messages.last(), "Il quadernolo è associato ai seguenti nodi :\n\n --Ferie\n");
    EXPECT_EQ(messages.shown().last().title, "Quadernolo");

    // An entry filed nowhere shows nothing.
    messages.clear();
    maschera(26);
    ASSERT_TRUE(click(&w, "cmd_tree"));
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(MainWindowFoldersTest, UnlinkingInTheFolderWindowShowsInTheMainWindow)
{
    archivia("1\\");
    ASSERT_EQ(control<QLabel>(&w, "lbl_nodo")->text(), "Nodo : FASCICOLI\\Ferie");

    ModalScript script;
    script.then("Frm_tree", [this](QDialog* d) {
        auto* finestra = static_cast<Frm_tree*>(d);
        EXPECT_EQ(finestra->recordset()->recordCount(), 1);
        const QModelIndex cella = control<RegisterGrid>(finestra, "DataGrid1")->model()->index(0, 13);
        control<RegisterGrid>(finestra, "DataGrid1")->setCurrentIndex(cella);
        control<RegisterGrid>(finestra, "DataGrid1")
            ->selectionModel()
            ->select(cella, QItemSelectionModel::ClearAndSelect);
        messages.answer(MsgAnswer::Yes);
        click(d, "cmd_del");
        trigger(d, "tb_esci");
    });
    ASSERT_TRUE(trigger(&w, "tb_fascicoli"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree"), 0);
    EXPECT_EQ(corrente(), 27);
    EXPECT_EQ(registro()->value("sys_nodo").toString(), "");
    EXPECT_FALSE(control<QLabel>(&w, "lbl_nodo")->isVisible());
}

TEST_F(MainWindowFoldersTest, AfterThePasswordChangedElsewhereEachFolderWindowAsksItOnceAndOpens)
{
    collega("1\\", 27, "E");
    cambiaAltrove(kPassword, "nuova");
    // The folder window, given up: the clerk is told why, and no window opens.
    {
        ModalScript script;
        script.then("frm_password", [](QDialog* d) { d->reject(); });
        premi("tb_fascicoli");
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_EQ(messages.texts(),
              QStringList({"ATTENZIONE !\n\nImpossibile leggere i fascicoli.\n\n"
                           "La password della sessione non apre più l' archivio in uso."}));
    // Given, the window shows the folders and the entries filed in them.
    messages.clear();
    int mostrate = -1;
    int righe = -1;
    {
        ModalScript script;
        scriptLogin(script, {"nuova"});
        script.then("Frm_tree", [&](QDialog* d) {
            mostrate = cartelle(d);
            righe = static_cast<Frm_tree*>(d)->recordset()->recordCount();
            trigger(d, "tb_esci");
        });
        premi("tb_fascicoli");
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_EQ(mostrate, 2);
    EXPECT_EQ(righe, 1);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();

    // The entry's folders and the filing, each after another change, ask once and go on; the
    // list given up says why, in the same words.
    cambiaAltrove("nuova", "terza");
    {
        ModalScript script;
        script.then("frm_password", [](QDialog* d) { d->reject(); });
        ASSERT_TRUE(click(&w, "cmd_tree"));
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_EQ(messages.texts(),
              QStringList({"ATTENZIONE !\n\nImpossibile leggere i fascicoli del quadernolo.\n\n"
                           "La password della sessione non apre più l' archivio in uso."}));
    messages.clear();
    {
        ModalScript script;
        scriptLogin(script, {"terza"});
        ASSERT_TRUE(click(&w, "cmd_tree"));
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_EQ(messages.texts(), QStringList({"Il quadernolo è associato ai seguenti nodi :\n\n --Ferie\n"}));
    cambiaAltrove("terza", "quarta");
    messages.clear();
    mostrate = -1;
    {
        ModalScript script;
        scriptLogin(script, {"quarta"});
        script.then("frm_add_tree", [&](QDialog* d) {
            mostrate = cartelle(d);
            click(d, "CancelButton");
        });
        premi("tb_add_tree");
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_EQ(mostrate, 2);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
}

TEST_F(MainWindowFoldersTest, AFolderTreeThatCannotBeReadIsToldOnceAndNoWindowOpensOverIt)
{
    ASSERT_TRUE(archivio()->exec("ALTER TABLE sys_tree RENAME TO sys_tree_altrove").ok());
    ModalScript nessunaFinestra; // a window that opened would fail the test
    premi("tb_fascicoli");
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !\n\nImpossibile leggere la struttura dei fascicoli."))
        << messages.last().toStdString();
}

} // namespace
