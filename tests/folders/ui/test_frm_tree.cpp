// The folder window: its tree (load, add, rename, remove, save at close, two stations) and the grid
// of the entries filed under the selected folder.
#include "../../frame/ui/frame_fixture.h"
#include "../archive_fixture.h"

#include "data_control.h"
#include "file_replace.h"
#include "folder_tree_panel.h"
#include "folder_tree_store.h"
#include "frm_search.h"
#include "frm_tree.h"
#include "frmquickfind1.h"
#include "my_func.h"
#include "program_folder.h"
#include "recordset_model.h"
#include "x_keys.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

namespace quad::test {
namespace {

class FrmTreeTest : public ::testing::Test
{
protected:
    TempProgram program;
    ScriptedMessages messages;
    std::shared_ptr<Connection> db = archivio();
    int registroRiletto = 0;
    std::unique_ptr<Frm_tree> w;

    static std::shared_ptr<Connection> archivioDi(const QString& path)
    {
        DbResult err;
        auto c = Connection::shared(path, kPassword, &err);
        EXPECT_TRUE(c) << err.message.toStdString();
        return c;
    }
    std::shared_ptr<Connection> archivio() const { return archivioDi(program.archive()); }

    void cartelle(const std::vector<std::pair<QString, QString>>& rows)
    {
        for (const auto& [key, caption] : rows)
            ASSERT_TRUE(db->exec("INSERT INTO sys_tree (\"KEY\", CAPTION) VALUES (?, ?)", {key, caption}).ok());
    }
    void collega(const QString& key, int numero)
    {
        ASSERT_TRUE(db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES (?, ?, ?)",
                             {key, numero, numero % 2 ? "E" : "U"})
                        .ok());
    }

    void apri()
    {
        w = std::make_unique<Frm_tree>(
            ConnectionString::build(program.path(), "Arch_quadernolo.mdb", kPassword), [this] { ++registroRiletto; },
            nullptr);
        w->Form_Load();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void chiudi()
    {
        ASSERT_TRUE(trigger(w.get(), "tb_esci"));
        EXPECT_FALSE(w->isVisible());
    }

    FolderTreePanel* albero() const { return control<FolderTreePanel>(w.get(), "Picture1"); }
    QTreeWidget* TreeView1() const { return control<QTreeWidget>(albero(), "TreeView1"); }
    QTableView* DataGrid1() const { return control<QTableView>(w.get(), "DataGrid1"); }
    QTreeWidgetItem* nodo(const QString& key) const { return albero()->nodo(key); }
    void seleziona(const QString& key) { ASSERT_TRUE(albero()->seleziona(key)) << key.toStdString(); }
    void menu(const char* key)
    {
        for (QAction* a : control<QMenu>(albero(), "add_node_menu")->actions()) {
            if (a->objectName() == QLatin1String(key))
                a->trigger();
        }
    }
    /// Types name into the label editor of the folder being edited and ends the edit.
    void nomina(const QString& name)
    {
        QLineEdit* editor = editore();
        ASSERT_TRUE(editor);
        editor->selectAll();
        QTest::keyClicks(editor, name);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    /// The label editor open in the tree, or null.
    QLineEdit* editore() const
    {
        for (QLineEdit* e : TreeView1()->findChildren<QLineEdit*>()) {
            if (e->isVisible())
                return e;
        }
        return nullptr;
    }
    /// Keys of the children of a folder, in display order.
    QStringList figli(const QString& key) const
    {
        QStringList out;
        QTreeWidgetItem* item = nodo(key);
        for (int i = 0; item && i < item->childCount(); ++i)
            out << FolderTreePanel::chiave(item->child(i));
        return out;
    }
    QStringList stored() const
    {
        QStringList out;
        const DbResult r
            = db->query("SELECT \"KEY\", CAPTION FROM sys_tree ORDER BY rowid", {}, [&out](const Statement& s) {
                  out << s.value(0).toString() + "=" + s.value(1).toString();
                  return true;
              });
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        return out;
    }
    int conta(const QString& sql) const { return db->scalar(sql).toInt(); }

    std::shared_ptr<Recordset> griglia() const { return w->recordset(); }
    RecordsetModel* modello() const { return qobject_cast<RecordsetModel*>(DataGrid1()->model()); }
    /// Progressivo of every grid row.
    QStringList numeri() const
    {
        QStringList out;
        auto rs = griglia();
        for (int r = 0; rs && r < rs->recordCount(); ++r)
            out << rs->valueAt(r, rs->fieldIndex("Progressivo")).toString();
        return out;
    }
    /// Selects the grid cell of row and column, as a click does.
    void cella(int row, int column)
    {
        const QModelIndex index = DataGrid1()->model()->index(row, column);
        DataGrid1()->setCurrentIndex(index);
        DataGrid1()->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    }
};

TEST_F(FrmTreeTest, FreshArchiveShowsOnlyTheRootAndAnAddedFolderIsStoredAtClose)
{
    apri();
    EXPECT_EQ(w->windowTitle(), "Quadernolo - Gestione Fascicoli");
    ASSERT_EQ(TreeView1()->topLevelItemCount(), 1);
    EXPECT_EQ(albero()->radice()->text(0), "FASCICOLI");
    EXPECT_EQ(albero()->radice()->childCount(), 0);
    EXPECT_EQ(albero()->selezionato(), albero()->radice());

    ASSERT_TRUE(trigger(w.get(), "add_node"));
    EXPECT_EQ(albero()->selezionato()->text(0), "...");
    nomina("Atti");
    EXPECT_EQ(stored(), QStringList()); // nothing written before the close
    chiudi();
    EXPECT_EQ(stored(), QStringList({"1\\=Atti"}));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_tree WHERE EXPANDED = 0 AND SELECTED = 0"), 1);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join("|").toStdString();
}

TEST_F(FrmTreeTest, ANameTypedWithoutEnterIsStoredWhicheverWayTheWindowIsLeft)
{
    apri();
    ASSERT_TRUE(trigger(w.get(), "add_node"));
    QLineEdit* editor = editore();
    ASSERT_TRUE(editor);
    // Screen readers announce the name editor.
    QAccessibleInterface* accessibile = QAccessible::queryAccessibleInterface(editor);
    ASSERT_TRUE(accessibile);
    EXPECT_EQ(accessibile->text(QAccessible::Name), "Nome del fascicolo");
    editor->selectAll();
    QTest::keyClicks(editor, "Atti");
    chiudi(); // "Esci"
    EXPECT_EQ(stored(), QStringList({"1\\=Atti"}));

    apri();
    EXPECT_EQ(nodo("1\\")->text(0), "Atti");
    TreeView1()->editItem(nodo("1\\"), 0);
    ASSERT_TRUE(editore());
    editore()->selectAll();
    QTest::keyClicks(editore(), "Atti 2024");
    w->close(); // the close box
    EXPECT_EQ(stored(), QStringList({"1\\=Atti 2024"}));
}

TEST_F(FrmTreeTest, ChildAndSiblingsTakeTheirKeysAndPlaces)
{
    cartelle({{"1\\", "Atti"}});
    apri();
    seleziona("1\\");
    menu("new_child");
    nomina("Delibere");
    seleziona("1\\");
    menu("new_down");
    nomina("Contratti");
    seleziona("1\\");
    menu("new_up");
    nomina("Prima");
    EXPECT_EQ(figli("1\\"), QStringList({"1\\1\\"}));
    EXPECT_EQ(figli("FASCICOLI"), QStringList({"3\\", "1\\", "2\\"}));
    EXPECT_EQ(albero()->TreeViewToString(),
              "FASCICOLI~FASCICOLI\r\n Prima~3\\\r\n Atti~1\\\r\n  Delibere~1\\1\\\r\n"
              " Contratti~2\\\r\n");
    chiudi();
    EXPECT_EQ(stored(), QStringList({"3\\=Prima", "1\\=Atti", "1\\1\\=Delibere", "2\\=Contratti"}));
}

TEST_F(FrmTreeTest, NewNumbersFollowTheHighestStoredOfTheLevel)
{
    cartelle({{"1\\", "Uno"}, {"4\\", "Quattro"}, {"4\\2\\", "Due"}});
    apri();
    ASSERT_TRUE(trigger(w.get(), "add_node")); // at the root: a child of the root
    nomina("Cinque");
    EXPECT_TRUE(nodo("5\\"));
    seleziona("4\\");
    menu("new_child");
    nomina("Tre");
    EXPECT_EQ(figli("4\\"), QStringList({"4\\2\\", "4\\3\\"}));
}

TEST_F(FrmTreeTest, NoChildBelowTheFifthLevel)
{
    cartelle({{"1\\", "L1"}, {"1\\1\\", "L2"}, {"1\\1\\1\\", "L3"}, {"1\\1\\1\\1\\", "L4"}, {"1\\1\\1\\1\\1\\", "L5"}});
    apri();
    seleziona("1\\1\\1\\1\\1\\");
    menu("new_child");
    EXPECT_EQ(messages.last(), "Non è consentito inserire nuove etichette oltre tale livello");
    EXPECT_EQ(nodo("1\\1\\1\\1\\1\\")->childCount(), 0);
    menu("new_down");
    nomina("Accanto");
    EXPECT_EQ(figli("1\\1\\1\\1\\"), QStringList({"1\\1\\1\\1\\1\\", "1\\1\\1\\1\\2\\"}));
}

TEST_F(FrmTreeTest, TheRootCanBeNeitherRemovedNorRenamed)
{
    apri();
    ASSERT_TRUE(trigger(w.get(), "remove_node"));
    EXPECT_EQ(messages.last(), "La rimozione del nodo FASCICOLI non è consentita");
    TreeView1()->editItem(albero()->radice(), 0);
    EXPECT_FALSE(TreeView1()->findChild<QLineEdit*>() && TreeView1()->findChild<QLineEdit*>()->isVisible());
    EXPECT_EQ(albero()->radice()->text(0), "FASCICOLI");
}

TEST_F(FrmTreeTest, OnlyALeafIsRemovedAfterTheQuestionTogetherWithItsLinks)
{
    cartelle({{"1\\", "Atti"}, {"1\\1\\", "Ferie"}});
    seedRegister(program.archive(), 2);
    collega("1\\1\\", 1);
    collega("1\\", 2);
    apri();
    seleziona("1\\");
    ASSERT_TRUE(trigger(w.get(), "remove_node"));
    EXPECT_EQ(messages.last(), "E' necessario eliminare prima i sottonodi !");

    seleziona("1\\1\\");
    messages.answer(MsgAnswer::No);
    ASSERT_TRUE(trigger(w.get(), "remove_node"));
    EXPECT_EQ(messages.last(), "Confermi l' eliminazione del nodo Ferie");
    EXPECT_EQ(messages.shown().last().buttons, MsgButtons::YesNo);
    EXPECT_TRUE(nodo("1\\1\\"));

    // The grid shows none of the folder's links (a filter on it): they go all the same.
    ASSERT_TRUE(w->recordset()->setFilter("Progressivo = 99").ok());
    ASSERT_EQ(numeri(), QStringList());
    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(trigger(w.get(), "remove_node"));
    EXPECT_FALSE(nodo("1\\1\\"));
    EXPECT_EQ(stored(), QStringList({"1\\=Atti"}));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree WHERE SYS_TREE = '1\\1\\'"), 0);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree WHERE SYS_TREE = '1\\'"), 1);
}

TEST_F(FrmTreeTest, AnotherStationsChangeStopsAnAddAndTheCloseStoresOnlyWhatItDidNotTouch)
{
    cartelle({{"1\\", "Atti"}, {"3\\", "Varie"}});
    apri();
    // Station B, on a connection of its own, renames Varie and adds a folder.
    DbResult err;
    auto stazioneB = Connection::open(program.archive(), kPassword, &err);
    ASSERT_TRUE(stazioneB);
    ASSERT_EQ(salva_da_altra_stazione(*stazioneB, {{"1\\", "Atti"}, {"3\\", "Varie B"}, {"2\\", "Ferie"}}).esito,
              EsitoAlbero::Scritto);

    ASSERT_TRUE(trigger(w.get(), "add_node"));
    EXPECT_EQ(messages.last(), "Struttura Modificata da altro utente");
    EXPECT_EQ(figli("FASCICOLI"), QStringList({"1\\", "3\\"}));

    // A's rename of Atti goes on B's tree; its rename of Varie, which B renamed, is named.
    nodo("1\\")->setText(0, "Atti 2024");
    nodo("3\\")->setText(0, "Varie A");
    chiudi();
    EXPECT_TRUE(messages.last().startsWith("Struttura Modificata da altro utente\n\n"))
        << messages.last().toStdString();
    EXPECT_TRUE(messages.last().contains("\"Varie A\""));
    EXPECT_FALSE(messages.last().contains("Atti 2024"));
    EXPECT_EQ(stored(), QStringList({"1\\=Atti 2024", "3\\=Varie B", "2\\=Ferie"}));
}

TEST_F(FrmTreeTest, ClosingWithoutChangesWritesNothing)
{
    cartelle({{"1\\", "Atti"}});
    ASSERT_TRUE(db->exec("UPDATE sys_tree SET EXPANDED = -1").ok());
    apri();
    DbResult err;
    auto stazioneB = Connection::open(program.archive(), kPassword, &err);
    ASSERT_EQ(salva_da_altra_stazione(*stazioneB, {{"1\\", "Atti"}, {"2\\", "Ferie"}}).esito, EsitoAlbero::Scritto);
    chiudi();
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(stored(), QStringList({"1\\=Atti", "2\\=Ferie"}));
    EXPECT_EQ(conta("SELECT EXPANDED FROM sys_tree WHERE \"KEY\" = '1\\'"), -1);
}

TEST_F(FrmTreeTest, ANameWithATildeOrBlankIsRefusedWhenTheEditEnds)
{
    cartelle({{"1\\", "Atti"}});
    apri();
    seleziona("1\\");
    TreeView1()->editItem(nodo("1\\"), 0);
    nomina("Atti~2");
    EXPECT_TRUE(messages.last().contains("~"));
    EXPECT_EQ(nodo("1\\")->text(0), "Atti");
    TreeView1()->editItem(nodo("1\\"), 0);
    nomina("   ");
    EXPECT_EQ(nodo("1\\")->text(0), "Atti");
    TreeView1()->editItem(nodo("1\\"), 0);
    nomina("  Atti 2024  ");
    chiudi();
    EXPECT_EQ(stored(), QStringList({"1\\=Atti 2024"}));
}

TEST_F(FrmTreeTest, ExpandAllCollapseAllAndSingleBranchMode)
{
    cartelle({{"1\\", "Atti"}, {"1\\1\\", "Delibere"}, {"2\\", "Ferie"}, {"2\\1\\", "Estive"}});
    apri();
    EXPECT_TRUE(albero()->radice()->isExpanded());
    EXPECT_FALSE(nodo("1\\")->isExpanded());
    ASSERT_TRUE(trigger(w.get(), "open_all"));
    EXPECT_TRUE(nodo("1\\")->isExpanded() && nodo("2\\")->isExpanded());
    EXPECT_EQ(nodo("1\\")->icon(0).cacheKey(), albero()->immagine(2).cacheKey());
    ASSERT_TRUE(trigger(w.get(), "close_all"));
    EXPECT_FALSE(nodo("1\\")->isExpanded() || nodo("2\\")->isExpanded());
    EXPECT_TRUE(albero()->radice()->isExpanded()); // the root keeps its state

    ASSERT_TRUE(trigger(w.get(), "open_all"));
    ASSERT_TRUE(trigger(w.get(), "esclusive_modo"));
    seleziona("2\\1\\");
    EXPECT_TRUE(nodo("2\\")->isExpanded());
    EXPECT_FALSE(nodo("1\\")->isExpanded());
}

TEST(FrmTreeUnreadable, AnArchiveThatCannotBeReadIsShownAndNeverWrittenOver)
{
    TempProgram program;
    ScriptedMessages messages;
    Frm_tree w(ConnectionString::build(program.path(), "Manca.mdb", kPassword), {}, nullptr);
    w.Form_Load();
    EXPECT_TRUE(messages.texts().first().startsWith("ATTENZIONE !\n\nImpossibile leggere la struttura dei fascicoli."));
    EXPECT_EQ(control<QTreeWidget>(&w, "TreeView1")->topLevelItemCount(), 1);
    messages.clear();
    control<FolderTreePanel>(&w, "Picture1")->AddNode("children");
    EXPECT_FALSE(messages.texts().isEmpty());
    EXPECT_EQ(control<FolderTreePanel>(&w, "Picture1")->radice()->childCount(), 0);
}

class FrmTreeGridTest : public FrmTreeTest
{
protected:
    void SetUp() override
    {
        cartelle({{"1\\", "Atti"}, {"1\\1\\", "Delibere"}, {"2\\", "Ferie"}});
        seedRegister(program.archive(), 3); // entry 2 has two correspondents
        collega("1\\", 1);
        collega("1\\1\\", 2);
        collega("2\\", 3);
        apri();
    }
};

TEST_F(FrmTreeGridTest, TheGridListsOneRowPerLinkAndCorrespondentWithItsCaptions)
{
    EXPECT_EQ(numeri(), QStringList({"1", "2", "2", "3"}));
    const char* attese[] = {"N.", "E/U", "Data", "Anno", "Tipo", "N. all.", "Quad. rif.", "del", "oggetto"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(modello()->headerData(5 + i, Qt::Horizontal).toString(), QString::fromUtf8(attese[i]));
    for (int c = 0; c < modello()->columnCount(); ++c) {
        const QString caption = modello()->headerData(c, Qt::Horizontal).toString();
        EXPECT_EQ(DataGrid1()->isColumnHidden(c), caption.toUpper().startsWith("SYS")) << caption.toStdString();
    }
    EXPECT_TRUE(DataGrid1()->isColumnHidden(0));

    seleziona("1\\");
    EXPECT_EQ(numeri(), QStringList({"1", "2", "2"}));
    ASSERT_TRUE(trigger(w.get(), "sel_livello"));
    EXPECT_EQ(numeri(), QStringList({"1"}));
    // A new folder query keeps the captions and the hidden columns.
    EXPECT_EQ(modello()->headerData(13, Qt::Horizontal).toString(), "oggetto");
    EXPECT_TRUE(DataGrid1()->isColumnHidden(0));
}

TEST_F(FrmTreeGridTest, UnlinkingRemovesOnlyTheSelectedLink)
{
    ASSERT_TRUE(click(w.get(), "cmd_del"));
    EXPECT_EQ(messages.last(), "Selezionare il collegamento da eliminare !");

    ASSERT_TRUE(db->exec("UPDATE entrata SET sys_nodo = 'FASCICOLI\\Atti\\Delibere' WHERE Progressivo = 2").ok());
    cella(2, 13); // entry 2, its second correspondent
    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(click(w.get(), "cmd_del"));
    EXPECT_EQ(messages.last(), "Confermi l' eliminazione del collegamento selezionato ?");
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree"), 2);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree WHERE SYS_USER_ID = 2"), 0);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata WHERE Progressivo = 2 AND sys_nodo = ''"), 1);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 3);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 4);
    EXPECT_EQ(registroRiletto, 1);
    EXPECT_EQ(numeri(), QStringList({"1", "3"}));

    // Answered No: nothing goes.
    cella(0, 13);
    messages.answer(MsgAnswer::No);
    ASSERT_TRUE(click(w.get(), "cmd_del"));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree"), 2);
}

/// In the search dialog: the subject criterion as a filter, then "Chiudi".
void filtraOggetto(frmSearch* s, const QString& value)
{
    click(s, "cmd_avanzate");
    click(s, "cmd_imp_search_4");
    control<QComboBox>(s, "Combo1")->setCurrentText("Oggetto");
    control<QLineEdit>(s, "txt_ricerca")->setText(value);
    click(s, "cmd_data_0");
    click(s, "cmdExecAdvSearch");
    click(s, "cmdClose");
}

TEST_F(FrmTreeGridTest, APlainClickOnARowMakesItCurrentForTheUnlink)
{
    // A click on the row's selector at its left selects the whole row.
    QHeaderView* selettori = DataGrid1()->verticalHeader();
    QTest::mouseClick(
        selettori->viewport(), Qt::LeftButton, {},
        QPoint(selettori->width() / 2, selettori->sectionViewportPosition(3) + selettori->sectionSize(3) / 2));
    EXPECT_EQ(DataGrid1()->currentIndex().row(), 3);
    EXPECT_TRUE(DataGrid1()->selectionModel()->isRowSelected(3, {}));
    EXPECT_EQ(control<QLabel>(w.get(), "lbl_nodo")->text(), "FASCICOLI\\Ferie");
    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(click(w.get(), "cmd_del"));
    EXPECT_EQ(messages.texts(), QStringList({"Confermi l' eliminazione del collegamento selezionato ?"}));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree WHERE SYS_USER_ID = 3"), 0);

    // A click on a cell shows its row as current and keeps the column for the sort.
    const QRect cella = DataGrid1()->visualRect(modello()->index(0, 5));
    QTest::mouseClick(DataGrid1()->viewport(), Qt::LeftButton, {}, cella.center());
    EXPECT_TRUE(DataGrid1()->selectionModel()->isRowSelected(0, {}));
    ASSERT_TRUE(trigger(w.get(), "tb_sort_desc"));
    EXPECT_EQ(numeri(), QStringList({"2", "2", "1"}));
}

TEST_F(FrmTreeGridTest, TheUnlinkPictureButtonIsAnnouncedByWhatItDoes)
{
    auto* cmd_del = control<QPushButton>(w.get(), "cmd_del");
    QAccessibleInterface* accessibile = QAccessible::queryAccessibleInterface(cmd_del);
    ASSERT_TRUE(accessibile);
    EXPECT_EQ(accessibile->text(QAccessible::Name), "Elimina il collegamento selezionato");
    EXPECT_EQ(accessibile->text(QAccessible::Name), cmd_del->toolTip());
}

TEST_F(FrmTreeTest, ADeletedFolderIsNoLongerNamedUnderTheGrid)
{
    cartelle({{"1\\", "Pratica A"}});
    seedRegister(program.archive(), 1);
    collega("1\\", 1);
    apri();
    // The clerk clicks the folder, then the row of its entry: the label names the folder.
    QTest::mouseClick(TreeView1()->viewport(), Qt::LeftButton, {}, TreeView1()->visualItemRect(nodo("1\\")).center());
    ASSERT_EQ(numeri(), QStringList({"1"}));
    QTest::mouseClick(DataGrid1()->viewport(), Qt::LeftButton, {},
                      DataGrid1()->visualRect(modello()->index(0, 5)).center());
    auto* etichetta = control<QLabel>(w.get(), "lbl_nodo");
    EXPECT_EQ(etichetta->text(), "FASCICOLI\\Pratica A");

    // Then removes the folder from the tree's tool bar: its link goes with it, and its name.
    messages.answer(MsgAnswer::Yes);
    QTest::mouseClick(control<QToolBar>(albero(), "tool_tree")->widgetForAction(albero()->pulsante("remove_node")),
                      Qt::LeftButton);
    EXPECT_EQ(messages.texts(), QStringList({"Confermi l' eliminazione del nodo Pratica A"}));
    ASSERT_FALSE(nodo("1\\"));
    EXPECT_EQ(numeri(), QStringList());
    EXPECT_EQ(etichetta->text(), "");
}

TEST_F(FrmTreeGridTest, TheSortButtonsHaveSortPicturesOfTheirOwn)
{
    const auto immagine = [](QAction* a) { return a->icon().pixmap(16, 16).toImage(); };
    const QImage asc = immagine(w->pulsante("tb_sort_asc"));
    const QImage desc = immagine(w->pulsante("tb_sort_desc"));
    EXPECT_FALSE(asc.isNull());
    EXPECT_NE(asc, desc);
    for (const char* key : {"open_all", "close_all"}) {
        EXPECT_NE(asc, immagine(albero()->pulsante(key))) << key;
        EXPECT_NE(desc, immagine(albero()->pulsante(key))) << key;
    }
}

TEST_F(FrmTreeGridTest, AColumnWidthThatCannotBeSavedIsTold)
{
    setFileWriteFaultForTests([](const QString& path) { return path.endsWith("imposta.ini"); });
    DataGrid1()->horizontalHeader()->resizeSection(13, 210);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !")) << messages.last().toStdString();
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);

    // Dragged with the mouse, the column is saved (and the failure told) once, at the release.
    QHeaderView* intestazioni = DataGrid1()->horizontalHeader();
    const int bordo = intestazioni->sectionViewportPosition(13) + intestazioni->sectionSize(13) - 1;
    const int y = intestazioni->height() / 2;
    QTest::mousePress(intestazioni->viewport(), Qt::LeftButton, {}, QPoint(bordo, y));
    for (int dx = 5; dx <= 30; dx += 5)
        QTest::mouseMove(intestazioni->viewport(), QPoint(bordo + dx, y));
    EXPECT_EQ(messages.texts().size(), 1);
    QTest::mouseRelease(intestazioni->viewport(), Qt::LeftButton, {}, QPoint(bordo + 30, y));
    setFileWriteFaultForTests(nullptr);
    EXPECT_GT(DataGrid1()->columnWidth(13), 210);
    EXPECT_EQ(messages.texts().size(), 2);
}

TEST_F(FrmTreeGridTest, FilterOnTheSelectedCellAndRelease)
{
    ASSERT_TRUE(trigger(w.get(), "tb_filtro"));
    EXPECT_EQ(messages.last(), "Selezionare il campo di interesse.");
    EXPECT_FALSE(w->pulsante("tb_filtro")->isChecked());

    cella(1, 13); // "Oggetto n. 2 dell'ufficio": a quote in the value
    ASSERT_TRUE(trigger(w.get(), "tb_filtro"));
    EXPECT_TRUE(w->pulsante("tb_filtro")->isChecked());
    EXPECT_EQ(numeri(), QStringList({"2", "2"}));
    EXPECT_TRUE(DataGrid1()->isColumnHidden(0));
    ASSERT_TRUE(trigger(w.get(), "tb_filtro"));
    EXPECT_FALSE(w->pulsante("tb_filtro")->isChecked());
    EXPECT_EQ(numeri(), QStringList({"1", "2", "2", "3"}));

    // A new folder query releases the button.
    cella(0, 5);
    ASSERT_TRUE(trigger(w.get(), "tb_filtro"));
    EXPECT_EQ(numeri(), QStringList({"1"}));
    seleziona("2\\");
    EXPECT_FALSE(w->pulsante("tb_filtro")->isChecked());
    EXPECT_EQ(numeri(), QStringList({"3"}));
}

TEST_F(FrmTreeGridTest, SortByTheSelectedColumn)
{
    ASSERT_TRUE(trigger(w.get(), "tb_sort_desc"));
    EXPECT_EQ(messages.last(), "Selezionare una colonna.\n");
    cella(0, 5);
    ASSERT_TRUE(trigger(w.get(), "tb_sort_desc"));
    EXPECT_EQ(numeri(), QStringList({"3", "2", "2", "1"}));
    ASSERT_TRUE(trigger(w.get(), "tb_sort_asc"));
    EXPECT_EQ(numeri(), QStringList({"1", "2", "2", "3"}));
}

TEST_F(FrmTreeGridTest, FolderOfTheCurrentRowAndGoingToIt)
{
    cella(1, 5);
    EXPECT_EQ(control<QLabel>(w.get(), "lbl_nodo")->text(), "FASCICOLI\\Atti\\Delibere");
    ASSERT_TRUE(trigger(w.get(), "tb_flash"));
    EXPECT_EQ(FolderTreePanel::chiave(albero()->selezionato()), "1\\1\\");
    EXPECT_EQ(numeri(), QStringList({"2", "2"}));
}

TEST_F(FrmTreeGridTest, NewLinkAtTheRootIsRefused)
{
    ASSERT_TRUE(click(w.get(), "cmd_add_new"));
    EXPECT_EQ(messages.last(), "Non è possibile effettuare collegamenti a tale livello !");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
    seleziona("1\\");
    messages.clear();
    ASSERT_TRUE(click(w.get(), "cmd_add_new"));
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(FrmTreeGridTest, ReturnPressesTheFocusedButton)
{
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    control<QPushButton>(w.get(), "cmd_add_new")->setFocus();
    pressKeyInFocus(Qt::Key_Return);
    EXPECT_EQ(messages.texts(), QStringList({"Non è possibile effettuare collegamenti a tale livello !"}));

    cella(0, 13);
    messages.answer(MsgAnswer::No);
    control<QPushButton>(w.get(), "cmd_del")->setFocus();
    pressKeyInFocus(Qt::Key_Return);
    EXPECT_EQ(messages.last(), "Confermi l' eliminazione del collegamento selezionato ?");
}

TEST_F(FrmTreeGridTest, AReturnHeldAsXDeliversItOnTheUnlinkDeletesOneLinkOnANewPress)
{
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    cella(0, 13);
    EXPECT_EQ(holdOnButton(control<QPushButton>(w.get(), "cmd_del"), Qt::Key_Return, "\r"),
              QStringList("Confermi l' eliminazione del collegamento selezionato ?"));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM sys_rela_tree"), 2);
    EXPECT_EQ(numeri(), QStringList({"2", "2", "3"}));
}

TEST_F(FrmTreeGridTest, ColumnWidthsAreKeptInTheirOwnSettingsKey)
{
    const int colonne = modello()->columnCount();
    DataGrid1()->horizontalHeader()->resizeSection(13, 200);
    const QString testo = leggi_ini(iniPath(), "GRID_TREE_WIDTH", "Width", QString());
    EXPECT_EQ(testo.count('_'), colonne);
    EXPECT_TRUE(testo.endsWith('_'));
    EXPECT_EQ(testo.split('_').value(13), "3000");
    EXPECT_EQ(leggi_ini(iniPath(), "GRID_WIDTH", "Entrata", "nessuno"), "nessuno");

    seleziona("2\\");
    EXPECT_EQ(DataGrid1()->columnWidth(13), 200);

    // A stored width is a number of twips, rounded to the nearest pixel; one beyond any whole
    // number leaves its column as it is.
    ASSERT_TRUE(scrivi_ini(iniPath(), "GRID_TREE_WIDTH", "Width", QString(12, '_') + "1e300_3010.9_"));
    const int prima = DataGrid1()->columnWidth(12);
    ASSERT_GT(prima, 0);
    seleziona("1\\");
    EXPECT_EQ(DataGrid1()->columnWidth(12), prima);
    EXPECT_EQ(DataGrid1()->columnWidth(13), 201);
}

TEST_F(FrmTreeGridTest, TypingInTheGridOpensTheQuickFindOnThatColumn)
{
    cella(0, 13);
    ModalScript script;
    QString titolo;
    QString chiamante;
    script.then("frmquickfind1", [&](QDialog* d) {
        titolo = d->windowTitle();
        chiamante = static_cast<frmquickfind1*>(d)->p_chiamante();
        typeInto(d, "txtQuickFind", "Oggetto n. 3");
        click(d, "cmdOK");
        click(d, "cmd_esci");
    });
    QTest::keyClick(DataGrid1(), Qt::Key_O);
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(titolo, "Campo : Oggetto");
    EXPECT_EQ(chiamante, "treeview");
    EXPECT_EQ(griglia()->value("Progressivo").toInt(), 3);
    EXPECT_EQ(control<QLabel>(w.get(), "lbl_nodo")->text(), "FASCICOLI\\Ferie");
}

TEST_F(FrmTreeGridTest, TheSearchDialogFindsAndFiltersThisGrid)
{
    ModalScript script;
    QString chiamante;
    QStringList campi;
    script.then("frmSearch", [&](QDialog* d) {
        auto* s = static_cast<frmSearch*>(d);
        chiamante = control<QLabel>(s, "Label3")->text();
        for (int i = 0; i < control<QComboBox>(s, "cmbFields")->count(); ++i)
            campi << control<QComboBox>(s, "cmbFields")->itemText(i);
        control<QComboBox>(s, "cmbFields")->setCurrentText("Oggetto");
        control<QLineEdit>(s, "txtFieldValue")->setText("Oggetto n. 3");
        click(s, "cmdFindFirst");
        EXPECT_EQ(griglia()->value("Progressivo").toInt(), 3);
        // A one-field criterion set as the grid's filter.
        filtraOggetto(s, "Oggetto n. 2");
    });
    ASSERT_TRUE(trigger(w.get(), "tb_trova"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(chiamante, "Form_tree");
    EXPECT_TRUE(campi.contains("Oggetto"));
    for (const QString& campo : campi)
        EXPECT_FALSE(campo.toUpper().startsWith("SYS")) << campo.toStdString();
    EXPECT_EQ(numeri(), QStringList({"2", "2"}));
    EXPECT_TRUE(w->pulsante("tb_filtro")->isChecked());
    EXPECT_TRUE(DataGrid1()->isColumnHidden(0));

    // The filter button releases it.
    ASSERT_TRUE(trigger(w.get(), "tb_filtro"));
    EXPECT_FALSE(w->pulsante("tb_filtro")->isChecked());
    EXPECT_EQ(numeri(), QStringList({"1", "2", "2", "3"}));
    EXPECT_TRUE(DataGrid1()->isColumnHidden(0));
    EXPECT_EQ(modello()->headerData(13, Qt::Horizontal).toString(), "oggetto");
}

TEST_F(FrmTreeGridTest, AFilterThatMatchesNothingIsToldUnderTheWindowsOwnTitle)
{
    ModalScript script;
    script.then("frmSearch", [](QDialog* d) { filtraOggetto(static_cast<frmSearch*>(d), "nessuno"); });
    ASSERT_TRUE(trigger(w.get(), "tb_trova"));
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(messages.last(), "Nessun record soddisfa la query impostata.");
    EXPECT_EQ(messages.shown().last().title, "frm_tree");
    EXPECT_EQ(numeri(), QStringList({"1", "2", "2", "3"}));
    EXPECT_FALSE(w->pulsante("tb_filtro")->isChecked());
}

} // namespace
} // namespace quad::test
