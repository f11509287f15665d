// The open register: grid and mask views, the tool-bar dispatch, leaving the register, and a
// whole-program run.
#include "frame_fixture.h"

#include "file_replace.h"
#include "program_folder.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using namespace quad;
using namespace quad::test;

namespace {

void doubleClickRow(TestQuadernolo& w, int row)
{
    QTableView* grid = quad::test::grid(w);
    const QRect cell = grid->visualRect(grid->model()->index(row, 8));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

class OpenRegisterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        seedRegister(program.archive(), 5);
        ASSERT_TRUE(startWindow(w));
        openRegister(w);
        // The register opens in the mask, on its last entry.
        ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
        ASSERT_EQ(dati(w, "Adodc1")->Recordset()->value("Progressivo").toInt(), 5);
    }

    /// The note of entry n as the archive holds it ("" for none).
    QString note(int n) const
    {
        DbResult err;
        auto db = Connection::shared(program.archive(), kPassword, &err);
        return db ? db->scalar("SELECT coalesce(Note, '') FROM entrata WHERE Progressivo = ?", {n}).toString()
                  : QString("<no archive>");
    }

    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
};

} // namespace

TEST_F(OpenRegisterTest, DoubleClickShowsTheMaskOnThatEntry)
{
    showGrid(w);
    // Row 2 is the second correspondent of entry 2 (outgoing), row 3 is entry 3 (annulled).
    doubleClickRow(w, 2);
    EXPECT_FALSE(grid(w)->isVisible());
    EXPECT_FALSE(control<QPushButton>(&w, "cmd_colonne")->isVisible());
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_TRUE(shown(w, "pic_move")->isVisible());
    EXPECT_FALSE(dati(w, "Adodc1")->isVisible());
    EXPECT_TRUE(findAction(&w, "tb_add_tree")->isVisible());
    EXPECT_EQ(strumenti(w)->Toolbar1_Buttons(1)->toolTip(), "Visualizza modalità griglia");

    EXPECT_EQ(text(&w, "txt_mask1_0"), "2");
    EXPECT_EQ(text(&w, "txt_mask1_1"), "2024");
    EXPECT_EQ(text(&w, "txt_mask1_2"), "03/03/2024");
    EXPECT_EQ(text(&w, "txt_mask1_3"), "Lettera");
    EXPECT_EQ(text(&w, "txt_mask1_7"), "Oggetto n. 2 dell'ufficio");
    EXPECT_EQ(text(&w, "txt_mask1_24"), "09:30:00");
    EXPECT_EQ(text(&w, "txt_mask1_13"), "Roma");
    // The correspondent boxes show the entry's first correspondent row of its direction.
    EXPECT_EQ(text(&w, "txt_mask1_8"), "Mittente 2-0");
    EXPECT_EQ(dati(w, "ado_mittenti")->Recordset()->recordCount(), 2);
    EXPECT_TRUE(text(&w, "txt_mask1_20").isEmpty());
    EXPECT_TRUE(control<QFrame>(&w, "frame_annulla")->isVisible());
    EXPECT_FALSE(control<QFrame>(&w, "Frame_annullato")->isVisible());

    // Shown read-only, but for its note and its linked file.
    for (int i = 0; i <= 26; ++i)
        EXPECT_EQ(casella(w, i)->isReadOnly(), i != 18 && i != 19) << i;
    EXPECT_FALSE(control<QCheckBox>(&w, "Check2")->isEnabled());
    EXPECT_FALSE(sessione(w).p_update());

    // Moving the register moves the mask.
    dati(w, "Adodc1")->Recordset()->moveNext();
    dati(w, "Adodc1")->Recordset()->moveNext();
    EXPECT_EQ(text(&w, "txt_mask1_0"), "4");
    EXPECT_EQ(text(&w, "txt_mask1_8"), "Mittente 4-0");
    dati(w, "Adodc1")->Recordset()->movePrevious();
    EXPECT_EQ(text(&w, "txt_mask1_0"), "3");
    EXPECT_TRUE(control<QCheckBox>(&w, "Check1")->isChecked());
    EXPECT_EQ(text(&w, "txt_mask1_26"), "Errore");
    EXPECT_TRUE(control<QFrame>(&w, "Frame_annullato")->isVisible());
    EXPECT_FALSE(control<QFrame>(&w, "frame_annulla")->isVisible());
}

TEST_F(OpenRegisterTest, SwitchingBackToTheGridGoesToTheFirstEntry)
{
    trigger(&w, "tb_modo");
    EXPECT_TRUE(grid(w)->isVisible());
    EXPECT_FALSE(shown(w, "Pic_mask")->isVisible());
    EXPECT_FALSE(shown(w, "pic_move")->isVisible());
    EXPECT_TRUE(dati(w, "Adodc1")->isVisible());
    EXPECT_FALSE(findAction(&w, "tb_add_tree")->isVisible());
    EXPECT_EQ(strumenti(w)->Toolbar1_Buttons(1)->toolTip(), "Visualizza modalità maschera");
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->value("Progressivo").toInt(), 1);
    EXPECT_EQ(grid(w)->currentIndex().row(), 0);
    EXPECT_EQ(grid(w)->model()->headerData(8, Qt::Horizontal).toString(), "oggetto");
    EXPECT_TRUE(grid(w)->isColumnHidden(18));
    EXPECT_EQ(control<QPushButton>(&w, "cmd_colonne")->pos(), grid(w)->pos() + QPoint(tw(20), tw(20)));
}

TEST_F(OpenRegisterTest, ANoteBeingTypedIsSavedBeforeAToolBarAction)
{
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    typeInto(&w, "txt_mask1_18", "Nota in corso");
    // A real click: the tool button takes no focus, so the box is not left before the action.
    QTest::mouseClick(control<QToolBar>(&w, "Toolbar1")->widgetForAction(findAction(&w, "tb_modo")), Qt::LeftButton);
    ASSERT_TRUE(grid(w)->isVisible());
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->value("Progressivo").toInt(), 1);
    EXPECT_EQ(note(5), "Nota in corso");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();

    // The next action finds nothing pending, and the first entry stays as it was.
    QTest::mouseClick(control<QToolBar>(&w, "Toolbar1")->widgetForAction(findAction(&w, "tb_modo")), Qt::LeftButton);
    ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_EQ(text(&w, "txt_mask1_18"), "");
    EXPECT_EQ(note(1), "");
    EXPECT_EQ(note(5), "Nota in corso");
}

TEST_F(OpenRegisterTest, AFailedSaveStopsTheToolBarActionAndKeepsTheChange)
{
    // The entry disappears from the archive behind the window's back.
    DbResult err;
    auto db = Connection::shared(program.archive(), kPassword, &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    ASSERT_TRUE(db->exec("DELETE FROM entrata WHERE Progressivo = 5").ok());
    typeInto(&w, "txt_mask1_18", "Da non perdere");
    trigger(&w, "tb_esci");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.last().contains("Impossibile salvare il quadernolo n. 5")) << messages.last().toStdString();
    // Still in the register, on the entry, with what was typed.
    EXPECT_FALSE(shown(w, "Frame1")->isVisible());
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_TRUE(sessione(w).p_update());
    EXPECT_EQ(text(&w, "txt_mask1_18"), "Da non perdere");
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->value("Progressivo").toInt(), 5);
}

TEST_F(OpenRegisterTest, TheGridFollowsARefreshOfTheRegister)
{
    showGrid(w);
    // Another station registers entry 6; then a window reads the register again.
    DbResult err;
    auto db = Connection::shared(program.archive(), kPassword, &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (6, 'E', 'Arrivata ora')").ok());
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (6, 'E', 'Altro')").ok());
    ASSERT_TRUE(dati(w, "Adodc1")->Refresh().ok());

    ASSERT_TRUE(grid(w)->model());
    EXPECT_EQ(grid(w)->model()->rowCount(), 7);
    EXPECT_EQ(grid(w)->model()->headerData(8, Qt::Horizontal).toString(), "oggetto");
    EXPECT_TRUE(grid(w)->isColumnHidden(18));
    dati(w, "Adodc1")->Recordset()->moveLast();
    EXPECT_EQ(grid(w)->currentIndex().row(), 6);
    grid(w)->selectRow(2);
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->currentRow(), 2);

    // In the mask view the grid is not bound; it shows the new rows when it comes back.
    trigger(&w, "tb_modo");
    ASSERT_TRUE(dati(w, "Adodc1")->Refresh().ok());
    EXPECT_EQ(grid(w)->model(), nullptr);
    trigger(&w, "tb_modo");
    EXPECT_EQ(grid(w)->model()->rowCount(), 7);
}

TEST_F(OpenRegisterTest, AtItsFirstSizeTheWindowShowsTheWholeMask)
{
    QCoreApplication::processEvents();
    const QRect maschera(mask(w)->mapTo(&w, QPoint(0, 0)), mask(w)->size());
    EXPECT_TRUE(w.rect().contains(maschera)) << maschera.right() << " " << w.width();
    EXPECT_TRUE(shown(w, "Pic_mask")->rect().contains(mask(w)->geometry()));
    EXPECT_FALSE(control<QScrollBar>(&w, "HScroll2")->isVisible());
}

TEST_F(OpenRegisterTest, TheGridFillsTheWindowAfterAResizeBothWays)
{
    const auto fillsTheWindow = [this](const char* when) {
        QCoreApplication::processEvents();
        QWidget* area = w.centralWidget();
        const QRect grid = quad::test::grid(w)->geometry();
        EXPECT_EQ(grid.topLeft(), QPoint(0, shown(w, "pic_tool_orizz")->height())) << when;
        EXPECT_EQ(grid.width(), area->width()) << when;
        EXPECT_EQ(grid.bottom() + 1, area->height() - dati(w, "Adodc1")->height() - tw(300)) << when;
        // Thirty-odd columns never fit: the bar that scrolls them lies inside the window.
        const QScrollBar* bar = quad::test::grid(w)->horizontalScrollBar();
        EXPECT_TRUE(bar->isVisible()) << when;
        EXPECT_TRUE(area->rect().contains(QRect(bar->mapTo(area, QPoint(0, 0)), bar->size()))) << when;
    };
    showGrid(w);
    w.resize(1400, 1000);
    fillsTheWindow("larger");
    w.resize(500, 380);
    fillsTheWindow("smaller");
    // Resized while the mask shows, the grid fits when it comes back.
    trigger(&w, "tb_modo");
    w.resize(1100, 800);
    QCoreApplication::processEvents();
    trigger(&w, "tb_modo");
    fillsTheWindow("back from the mask");
}

TEST_F(OpenRegisterTest, GridRowAndRegisterRecordFollowEachOther)
{
    showGrid(w);
    grid(w)->selectRow(1);
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->currentRow(), 1);
    dati(w, "Adodc1")->Recordset()->moveFirst();
    EXPECT_EQ(grid(w)->currentIndex().row(), 0);
}

TEST_F(OpenRegisterTest, TheCurrentCellShowsAndAColumnHeaderMakesItsColumnCurrent)
{
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    showGrid(w);
    QTableView* grid = quad::test::grid(w);
    const auto cella = [grid](int row, int col) { return grid->model()->index(row, col); };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cella(1, 8)).center());
    EXPECT_EQ(grid->currentIndex(), cella(1, 8));
    // Only the current cell is highlighted, not its row.
    EXPECT_EQ(grid->selectionModel()->selectedIndexes(), QModelIndexList {cella(1, 8)});

    // A header click moves the current cell to that column, on the same entry.
    QHeaderView* intestazione = grid->horizontalHeader();
    const int x = intestazione->sectionViewportPosition(0) + intestazione->sectionSize(0) / 2;
    QTest::mouseClick(intestazione->viewport(), Qt::LeftButton, {}, QPoint(x, intestazione->height() / 2));
    EXPECT_EQ(grid->currentIndex(), cella(1, 0));
    EXPECT_EQ(grid->selectionModel()->selectedIndexes(), QModelIndexList {cella(1, 0)});
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->value("Progressivo").toInt(), 2);
    EXPECT_TRUE(grid->hasFocus());

    // The one-field filter acts on that column: entry 2, with its two correspondents.
    trigger(&w, "tb_filtro_off");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->recordCount(), 2);
}

TEST_F(OpenRegisterTest, AColumnDraggedWiderIsSavedOnceAtTheRelease)
{
    showGrid(w);
    QHeaderView* intestazioni = grid(w)->horizontalHeader();
    const int bordo = intestazioni->sectionViewportPosition(8) + intestazioni->sectionSize(8) - 1;
    const int y = intestazioni->height() / 2;
    const int prima = grid(w)->columnWidth(8);
    // A settings file that cannot be written is told once for the whole drag, not at every step.
    setFileWriteFaultForTests([](const QString& path) { return path.endsWith("imposta.ini", Qt::CaseInsensitive); });
    QTest::mousePress(intestazioni->viewport(), Qt::LeftButton, {}, QPoint(bordo, y));
    for (int dx = 5; dx <= 40; dx += 5)
        QTest::mouseMove(intestazioni->viewport(), QPoint(bordo + dx, y));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    QTest::mouseRelease(intestazioni->viewport(), Qt::LeftButton, {}, QPoint(bordo + 40, y));
    setFileWriteFaultForTests(nullptr);
    ASSERT_GT(grid(w)->columnWidth(8), prima);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !")) << messages.last().toStdString();
}

TEST_F(OpenRegisterTest, EsciReturnsToTheStartMenu)
{
    trigger(&w, "tb_esci");
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_TRUE(shown(w, "frm_menu")->isVisible());
    EXPECT_FALSE(control<QToolBar>(&w, "Toolbar1")->isVisible());
    EXPECT_FALSE(shown(w, "pic_tool_orizz")->isVisible());
    EXPECT_FALSE(grid(w)->isVisible());
    EXPECT_FALSE(shown(w, "Pic_mask")->isVisible());
    EXPECT_FALSE(dati(w, "Adodc1")->isVisible());
    EXPECT_FALSE(shown(w, "pic_move")->isVisible());
    EXPECT_FALSE(w.findChild<QTimer*>("Timer1")->isActive());
    EXPECT_FALSE(w.findChild<QTimer*>("Timer2")->isActive());
    EXPECT_FALSE(dati(w, "Adodc1")->Recordset());
    EXPECT_FALSE(dati(w, "ado_mittenti")->Recordset());
    EXPECT_TRUE(dati(w, "Adodc1")->ConnectionString().isEmpty());
    EXPECT_EQ(grid(w)->model(), nullptr);
    EXPECT_TRUE(text(&w, "txt_mask1_0").isEmpty());
    EXPECT_TRUE(text(&w, "txt_mask1_8").isEmpty());
    EXPECT_EQ(w.windowTitle(), "Gestione quadernolo");
    EXPECT_EQ(w.state.p_sessione, "Menu");
    EXPECT_EQ(w.ended, 0);

    // And the register opens again.
    openRegister(w);
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 6");
}

TEST_F(OpenRegisterTest, ClosingTheWindowWithTheRegisterShownReturnsToTheStartMenu)
{
    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_EQ(w.ended, 0);
    w.close();
    EXPECT_EQ(w.ended, 1);
}

TEST_F(OpenRegisterTest, PopUpsToggleAndCloseWithOtherKeys)
{
    showGrid(w);
    trigger(&w, "tb_stampa");
    EXPECT_TRUE(shown(w, "Picture1")->isVisible());
    trigger(&w, "tb_stampa");
    EXPECT_FALSE(shown(w, "Picture1")->isVisible());
    trigger(&w, "tb_insert");
    EXPECT_TRUE(shown(w, "Picture4")->isVisible());
    trigger(&w, "tb_stampa");
    EXPECT_TRUE(shown(w, "Picture1")->isVisible());
    EXPECT_TRUE(shown(w, "Picture4")->isVisible());
    // The search key from the grid leaves the pop-ups open; any other key closes them.
    ModalScript search;
    search.then("frmSearch", [&](QDialog* d) {
        EXPECT_TRUE(shown(w, "Picture1")->isVisible());
        click(d, "cmdClose");
    });
    trigger(&w, "tb_trova");
    EXPECT_TRUE(search.waitDone());
    EXPECT_TRUE(shown(w, "Picture1")->isVisible());
    trigger(&w, "tb_notifica");
    EXPECT_FALSE(shown(w, "Picture1")->isVisible());
    EXPECT_FALSE(shown(w, "Picture4")->isVisible());
    trigger(&w, "tb_insert");
    trigger(&w, "tb_insert");
    EXPECT_FALSE(shown(w, "Picture4")->isVisible());
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(OpenRegisterTest, ActionsAreRefusedWhileAnEntryIsInserted)
{
    messages.answer(MsgAnswer::Yes);
    schede(w)->cmd_ins_Click(0);
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    messages.clear();
    control<QListWidget>(&w, "list_elenco")->show();
    // The tool bars are disabled while an entry is typed; their handlers refuse all the same.
    EXPECT_FALSE(control<QToolBar>(&w, "Toolbar1")->isEnabled());
    const auto premi = [&](const char* key) {
        QAction* button = findAction(&w, QString::fromLatin1(key));
        if (control<QToolBar>(&w, "Toolbar1")->actions().contains(button))
            w.Toolbar1_ButtonClick(button);
        else
            w.Toolbar2_ButtonClick(button);
    };
    premi("tb_modo");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !\n\nImpossibile effettuare tale operazione nella\n"
              "fase di inserimento di un nuovo quadernolo");
    EXPECT_EQ(messages.shown().at(0).icon, MsgIcon::Information);
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    // The new entry stays in the mask.
    EXPECT_FALSE(grid(w)->isVisible());
    EXPECT_EQ(casella(w, 0)->text(), "6");
    // A refusal skips the closing of the pick lists.
    EXPECT_TRUE(control<QListWidget>(&w, "list_elenco")->isVisible());
    premi("tb_stampa");
    premi("tb_insert");
    EXPECT_EQ(messages.shown().size(), 3);
    EXPECT_FALSE(shown(w, "Picture1")->isVisible());
    // Esci ends the insertion without questions: nothing is written and the lock goes.
    premi("tb_esci");
    EXPECT_FALSE(nuovaSchedaInCorso(w));
    EXPECT_FALSE(QFile::exists(program.file(QString::fromLatin1(kLockFile))));
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
}

TEST_F(OpenRegisterTest, IncompleteModifiedEntryIsReportedAndTheActionRuns)
{
    // A subject of blanks only: the change marks the entry modified.
    ASSERT_TRUE(dati(w, "Adodc1")->Recordset()->setValue("Oggetto", "   ").ok());
    EXPECT_TRUE(sessione(w).p_update());
    EXPECT_EQ(casella(w, 7)->text(), "   ");
    trigger(&w, "tb_modo");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "Impossibile salvare !\n\nDati non completi\n\n");
    EXPECT_EQ(messages.shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_FALSE(sessione(w).p_update());
    EXPECT_TRUE(grid(w)->isVisible());
}

TEST(Views, FilingKeyOnAnEmptyRegisterOnlyMovesTheFocus)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    openRegister(w);
    control<QListWidget>(&w, "list_view")->show();
    trigger(&w, "tb_add_tree");
    EXPECT_TRUE(control<QListWidget>(&w, "list_view")->isVisible());
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(Views, ALongSubjectShowsItsBeginning)
{
    TempProgram program;
    seedRegister(program.archive(), 2);
    QString oggetto = "Richiesta di contributo";
    while (oggetto.size() < 200)
        oggetto += " per le attivita' dell'anno scolastico";
    oggetto.truncate(200);
    {
        DbResult err;
        auto db = Connection::open(program.archive(), kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        ASSERT_TRUE(db->exec("UPDATE entrata SET Oggetto = ?", {oggetto}).ok());
    }
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    openRegister(w);
    QLineEdit* box = casella(w, 7);
    for (int move : {0, 1}) { // at the opening, and after a move
        if (move)
            click(&w, "cmd_move_1");
        box->repaint();
        EXPECT_EQ(box->text(), oggetto);
        ASSERT_GT(box->fontMetrics().horizontalAdvance(oggetto), box->width());
        // The caret, where the box's view starts, stands at the left edge before the first letter.
        EXPECT_EQ(box->cursorPosition(), 0) << move;
        EXPECT_LT(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), box->width() / 4) << move;
    }
}

TEST_F(OpenRegisterTest, FoldersKeyShowsTheEntrysFolderAfterwards)
{
    ModalScript script;
    script.then("Frm_tree", [](QDialog* d) { d->close(); });
    trigger(&w, "tb_fascicoli");
    EXPECT_TRUE(script.waitDone());
    EXPECT_TRUE(control<QLabel>(&w, "lbl_nodo")->isVisibleTo(mask(w)));
    EXPECT_EQ(control<QLabel>(&w, "lbl_nodo")->text(), "Nodo : Radice/Cartella 5");
}

TEST_F(OpenRegisterTest, MaskScrollsWhenTheWindowIsSmall)
{
    w.resize(400, 300);
    QCoreApplication::processEvents();
    ASSERT_GT(mask(w)->height(), shown(w, "Pic_mask")->height());
    EXPECT_TRUE(control<QScrollBar>(&w, "VScroll2")->isVisible());
    EXPECT_EQ(control<QScrollBar>(&w, "VScroll2")->maximum(), mask(w)->height() - shown(w, "Pic_mask")->height());
    EXPECT_TRUE(control<QScrollBar>(&w, "HScroll2")->isVisible());
    control<QScrollBar>(&w, "VScroll2")->setValue(control<QScrollBar>(&w, "VScroll2")->maximum());
    EXPECT_EQ(mask(w)->y(), -control<QScrollBar>(&w, "VScroll2")->maximum());
    control<QScrollBar>(&w, "HScroll2")->setValue(10);
    EXPECT_EQ(mask(w)->x(), -10);

    w.resize(900, 800);
    QCoreApplication::processEvents();
    EXPECT_FALSE(control<QScrollBar>(&w, "VScroll2")->isVisible());
    EXPECT_FALSE(control<QScrollBar>(&w, "HScroll2")->isVisible());
}

TEST(Views, InALowWindowTheRegisterLiesInFrontOfTheStartFramesBarAndCaption)
{
    TempProgram program;
    seedRegister(program.addHistorical("SUB_2004"), 5);
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    // Made low at the start menu, the window gives the start frame its scroll bar.
    w.resize(700, 250);
    QCoreApplication::processEvents();
    ASSERT_TRUE(control<QScrollBar>(&w, "VScroll1")->isVisible());
    ModalScript chooser;
    chooser.then("frm_sel_cartella", [](QDialog* d) { click(d, "OKButton"); });
    openRegister(w);
    ASSERT_TRUE(chooser.waitDone());
    EXPECT_FALSE(control<QScrollBar>(&w, "VScroll1")->isVisible());

    // A click at the lower right corner of "▶|", delivered to whatever lies there, moves to the last entry.
    ASSERT_TRUE(click(&w, "cmd_move_0"));
    const auto numero = [&w] { return dati(w, "Adodc1")->Recordset()->value("Progressivo").toInt(); };
    ASSERT_EQ(numero(), 1);
    auto* ultimo = control<QPushButton>(&w, "cmd_move_3");
    QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {},
                      ultimo->mapTo(&w, QPoint(ultimo->width() - 2, ultimo->height() - 2)));
    EXPECT_EQ(numero(), 5);

    // The archive in use lies beneath the register's window: where it meets a box, the box is drawn.
    auto* archivio = control<QLabel>(&w, "lbl_sub_arch");
    ASSERT_EQ(archivio->text(), "Archivio in uso : 2004");
    QLineEdit* box = casella(w, 8);
    const QRect incontro
        = QRect(archivio->mapTo(&w, QPoint()), archivio->size()) & QRect(box->mapTo(&w, QPoint()), box->size());
    ASSERT_FALSE(incontro.isEmpty());
    const QImage visto = w.grab(incontro).toImage();
    archivio->hide();
    EXPECT_EQ(w.grab(incontro).toImage(), visto);
    archivio->show();

    // Back at the start menu the start frame has its scroll bar again.
    ASSERT_TRUE(trigger(&w, "tb_esci"));
    EXPECT_TRUE(control<QScrollBar>(&w, "VScroll1")->isVisible());
}

TEST(Program, WholeRunFromLoginToExit)
{
    TempProgram program(false);
    ScriptedMessages messages;
    messages.answer(MsgAnswer::Yes);
    TestQuadernolo w;
    ModalScript script;
    scriptLogin(script, {"sbagliata", kPassword});
    ASSERT_TRUE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QFile::exists(program.archive()));

    click(&w, "Command1");
    ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 0");
    trigger(&w, "tb_modo");
    EXPECT_TRUE(grid(w)->isVisible());
    trigger(&w, "tb_modo");
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    trigger(&w, "tb_esci");
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    click(&w, "cmd_menu_4");
    EXPECT_EQ(w.ended, 1);
    EXPECT_EQ(messages.shown().size(), 1);
}
