// Opening the register: the live and the historical archives, the mask and the grid, its columns and widths,
// the role of the station, failures that leave the start menu, and received notifications.
#include "frame_fixture.h"

#include "my_func.h"
#include "program_folder.h"
#include "register_query.h"

#include <sqlcipher/sqlite3.h>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using namespace quad;
using namespace quad::test;

namespace {

QString header(TestQuadernolo& w, int column)
{
    return grid(w)->model()->headerData(column, Qt::Horizontal).toString();
}

QString gridWidths()
{
    return leggi_ini(iniPath(), "GRID_WIDTH", "Entrata", "<none>");
}

void pickHistorical(ModalScript& script, const QString& name, QStringList* listed = nullptr)
{
    script.then("frm_sel_cartella", [name, listed](QDialog* d) {
        auto* list = control<QListWidget>(d, "List1");
        if (listed) {
            for (int i = 0; i < list->count(); ++i)
                *listed << list->item(i)->text();
            EXPECT_EQ(list->currentRow(), 0);
        }
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        list->setCurrentItem(items[0]);
        click(d, "OKButton");
    });
}

} // namespace

TEST(OpenRegister, LiveArchiveOpensInTheMaskOnTheLastEntry)
{
    TempProgram program;
    seedRegister(program.archive(), 5);
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    openRegister(w);

    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_FALSE(grid(w)->isVisible());
    EXPECT_FALSE(control<QPushButton>(&w, "cmd_colonne")->isVisible());
    EXPECT_FALSE(shown(w, "Frame1")->isVisible());
    EXPECT_FALSE(shown(w, "frm_menu")->isVisible());
    EXPECT_TRUE(control<QToolBar>(&w, "Toolbar1")->isVisible());
    EXPECT_TRUE(control<QToolBar>(&w, "Toolbar2")->isVisible());
    EXPECT_TRUE(shown(w, "pic_move")->isVisible());
    EXPECT_TRUE(findAction(&w, "tb_add_tree")->isVisible());
    EXPECT_EQ(findAction(&w, "tb_modo")->toolTip(), "Visualizza modalità griglia");
    EXPECT_EQ(w.windowTitle(), "Gestione quadernolo");
    EXPECT_EQ(w.state.p_sessione, "Entrata");
    EXPECT_EQ(w.state.p_path_cartella, programFolder());
    EXPECT_TRUE(casella(w, 7)->isReadOnly()) << "the register is only consulted";
    EXPECT_FALSE(control<QLabel>(&w, "lbl_sub_arch")->isVisible());

    // The mask shows the last entry, an incoming one, with its captions.
    EXPECT_EQ(dati(w, "Adodc1")->Recordset()->value("Progressivo").toInt(), 5);
    EXPECT_EQ(text(&w, "txt_mask1_0"), "5");
    EXPECT_EQ(text(&w, "txt_mask1_7"), "Oggetto n. 5 dell'ufficio");
    EXPECT_EQ(control<QLabel>(&w, "lbl_modo")->text(), "Quadernolo in ENTRATA");

    // Six rows: entry 2 has two correspondents.
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 6");
    EXPECT_EQ(control<QLabel>(&w, "lbl_filtro")->text(), "   Totale schede : 6");
    EXPECT_FALSE(control<QLabel>(&w, "lbl_filtro_ins")->isVisibleTo(mask(w)));
    EXPECT_FALSE(findAction(&w, "tb_filtro_off")->isChecked());
    EXPECT_EQ(grid(w)->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_TRUE(w.findChild<QTimer*>("Timer1")->isActive());
    EXPECT_EQ(w.findChild<QTimer*>("Timer1")->interval(), 65535);
    EXPECT_TRUE(w.findChild<QTimer*>("Timer2")->isActive());
    EXPECT_EQ(w.findChild<QTimer*>("Timer2")->interval(), 1000);
    EXPECT_TRUE(findAction(&w, "tb_insert")->isEnabled());
    EXPECT_TRUE(control<QLabel>(&w, "picOpenWWW_1")->isEnabled());

    showGrid(w);
    EXPECT_TRUE(control<QPushButton>(&w, "cmd_colonne")->isVisible());
    EXPECT_TRUE(dati(w, "Adodc1")->isVisible());
    EXPECT_FALSE(findAction(&w, "tb_add_tree")->isVisible());
    ASSERT_TRUE(grid(w)->model());
    EXPECT_EQ(header(w, 0), "N.");
    EXPECT_EQ(header(w, 1), "E/U");
    EXPECT_EQ(header(w, 2), "Data");
    EXPECT_EQ(header(w, 4), "Tipo");
    EXPECT_EQ(header(w, 5), "N. all.");
    EXPECT_EQ(header(w, 6), "Quad. rif.");
    EXPECT_EQ(header(w, 7), "del");
    EXPECT_EQ(header(w, 8), "oggetto");
    EXPECT_EQ(header(w, 16), "Nota Annulla");
    EXPECT_FALSE(grid(w)->isColumnHidden(1));
    EXPECT_FALSE(grid(w)->isColumnHidden(3));
    EXPECT_TRUE(grid(w)->isColumnHidden(18));
    // No widths stored yet: the bookkeeping column sys_nodo is hidden all the same.
    EXPECT_TRUE(grid(w)->isColumnHidden(17));
}

TEST(OpenRegister, EmptyRegisterOpens)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    openRegister(w);
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 0");
    EXPECT_FALSE(control<QFrame>(&w, "Frame_annullato")->isVisibleTo(mask(w)));
    EXPECT_FALSE(control<QFrame>(&w, "frame_annulla")->isVisibleTo(mask(w)));
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(OpenRegister, StationWithoutServerRoleCannotInsert)
{
    for (const QString& ini :
         {QStringLiteral("[IMPOSTA]\nQuad_rete=0\n"), QStringLiteral("[IMPOSTA]\nPostazione=Client\n")}) {
        TempProgram program;
        program.writeIni(ini);
        ScriptedMessages messages;
        TestQuadernolo w;
        ASSERT_TRUE(startWindow(w));
        openRegister(w);
        ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
        EXPECT_FALSE(findAction(&w, "tb_insert")->isEnabled()) << ini.toStdString();
        EXPECT_FALSE(control<QLabel>(&w, "picOpenWWW_1")->isEnabled());
        // The file was not completed along the way.
        EXPECT_EQ(program.readFile("imposta.ini").contains("Server"), false);
    }
}

TEST(OpenRegister, ColumnWidthsAreSavedOnResizeAndComeBackAfterARestart)
{
    TempProgram program;
    seedRegister(program.archive(), 3);
    ScriptedMessages messages;
    int columns = 0;
    {
        TestQuadernolo w;
        ASSERT_TRUE(startWindow(w));
        openRegister(w);
        showGrid(w);
        columns = grid(w)->model()->columnCount();
        EXPECT_EQ(gridWidths(), "<none>");
        // The clerk drags column 8 (subject) to 300 pixels.
        grid(w)->horizontalHeader()->resizeSection(8, 300);
        const QStringList parts = gridWidths().split('_');
        ASSERT_EQ(parts.size(), columns + 1);
        EXPECT_EQ(parts.last(), "");
        EXPECT_EQ(parts[8], "4500");
        // A hidden column keeps a width of its own.
        EXPECT_GT(parts[18].toInt(), 0);
        trigger(&w, "tb_esci");
    }
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    openRegister(w);
    showGrid(w);
    EXPECT_EQ(grid(w)->columnWidth(8), 300);
    // Now that widths are stored, the bookkeeping columns are hidden.
    for (int c = 0; c < columns; ++c) {
        if (header(w, c).startsWith("sys_", Qt::CaseInsensitive)) {
            EXPECT_TRUE(grid(w)->isColumnHidden(c)) << header(w, c).toStdString();
        }
    }
    EXPECT_TRUE(grid(w)->isColumnHidden(17));
    EXPECT_FALSE(grid(w)->isColumnHidden(8));
}

TEST(OpenRegister, ColumnsAreAsWideAsTheirCaptionsUnlessAStoredWidthSaysOtherwise)
{
    TempProgram program;
    seedRegister(program.archive(), 2);
    ScriptedMessages messages;
    int ufficio = -1;
    {
        TestQuadernolo w;
        ASSERT_TRUE(startWindow(w));
        openRegister(w);
        showGrid(w);
        const QFontMetrics metrics = grid(w)->horizontalHeader()->fontMetrics();
        for (int c = 0; c < grid(w)->model()->columnCount(); ++c) {
            if (header(w, c) == "Ufficio_competente")
                ufficio = c;
            if (!grid(w)->isColumnHidden(c)) {
                EXPECT_GE(grid(w)->columnWidth(c), metrics.horizontalAdvance(header(w, c)))
                    << header(w, c).toStdString();
            }
        }
        ASSERT_GE(ufficio, 0);
        // Only the clerk's resizes are stored.
        EXPECT_EQ(gridWidths(), "<none>");
    }
    // A width the clerk stored narrower than its caption is kept.
    QString widths;
    for (int c = 0; c <= ufficio; ++c)
        widths += c == ufficio ? "750_" : "900_";
    scrivi_ini(iniPath(), "GRID_WIDTH", "Entrata", widths);
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    openRegister(w);
    showGrid(w);
    EXPECT_EQ(grid(w)->columnWidth(ufficio), 50);
}

TEST(OpenRegister, ColumnMaskHidesColumnsWithOrWithoutStoredWidths)
{
    TempProgram program;
    QString mask(34, QLatin1Char('X'));
    mask[1] = '-'; // column 1, shown by the captions, hidden by the mask
    mask[5] = '-';
    program.writeIni("[IMPOSTA]\nPostazione=Server\nColonne_grid=" + mask + "\n[GRID_WIDTH]\nEntrata=900_600_1500_\n");
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    openRegister(w);
    showGrid(w);
    EXPECT_EQ(grid(w)->columnWidth(0), 60);
    EXPECT_TRUE(grid(w)->isColumnHidden(1));
    EXPECT_EQ(grid(w)->columnWidth(2), 100);
    // Column 5 has no stored width: the mask hides it all the same.
    EXPECT_TRUE(grid(w)->isColumnHidden(5));
    EXPECT_FALSE(grid(w)->isColumnHidden(4));

    // Resizing rewrites the whole list; the hidden column keeps its stored width.
    grid(w)->horizontalHeader()->resizeSection(0, 70);
    const QStringList parts = gridWidths().split('_');
    EXPECT_EQ(parts[0], "1050");
    EXPECT_EQ(parts[1], "600");
    EXPECT_EQ(parts[2], "1500");
}

TEST(OpenRegister, HistoricalArchiveChosenInTheChooser)
{
    TempProgram program;
    seedRegister(program.addHistorical("SUB_2004"), 2);
    QDir(program.path()).mkdir("sub_Vecchio");
    QFile::copy(program.file("arch_base.mdb"), program.file("sub_Vecchio/arch_quadernolo.mdb"));
    QFile note(program.file("SUB_note.txt"));
    ASSERT_TRUE(note.open(QIODevice::WriteOnly));
    note.close();
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));

    ModalScript script;
    QStringList listed;
    pickHistorical(script, "2004", &listed);
    openRegister(w);
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(script.titles(), QStringList(" Selezione archivio"));
    EXPECT_EQ(listed, QStringList({"2004", "VECCHIO"}));
    EXPECT_EQ(w.state.p_path_cartella, "SUB_2004");
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_TRUE(control<QLabel>(&w, "lbl_sub_arch")->isVisible());
    EXPECT_EQ(control<QLabel>(&w, "lbl_sub_arch")->text(), "Archivio in uso : 2004");
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 3");
    EXPECT_TRUE(ConnectionString::parse(dati(w, "Adodc1")->ConnectionString())
                    .dataSource.endsWith("/SUB_2004/Arch_quadernolo.mdb"));
    EXPECT_EQ(ConnectionString::parse(dati(w, "Adodc1")->ConnectionString()).password, kPassword);
}

TEST(OpenRegister, HistoricalFolderIsFoundAgainWithoutRegardToCase)
{
    TempProgram program;
    program.addHistorical("SUB_2004");
    QDir(program.path()).mkdir("sub_Vecchio");
    QFile::copy(program.file("arch_base.mdb"), program.file("sub_Vecchio/arch_quadernolo.mdb"));
    seedRegister(program.file("sub_Vecchio/arch_quadernolo.mdb"), 4);
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    ModalScript script;
    pickHistorical(script, "VECCHIO");
    openRegister(w);
    ASSERT_TRUE(script.waitDone());
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_EQ(control<QLabel>(&w, "lbl_sub_arch")->text(), "Archivio in uso : VECCHIO");
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 5");
}

TEST(OpenRegister, CancellingTheChooserStaysAtTheStartMenu)
{
    TempProgram program;
    program.addHistorical("SUB_2004");
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    for (bool withButton : {true, false}) {
        ModalScript script;
        script.then("frm_sel_cartella", [withButton](QDialog* d) {
            if (withButton)
                click(d, "CancelButton");
            else
                d->reject(); // the window's close button
        });
        openRegister(w);
        ASSERT_TRUE(script.waitDone());
        EXPECT_TRUE(shown(w, "Frame1")->isVisible());
        EXPECT_TRUE(shown(w, "frm_menu")->isVisible());
        EXPECT_FALSE(grid(w)->isVisible());
        EXPECT_FALSE(shown(w, "Pic_mask")->isVisible());
        EXPECT_FALSE(control<QLabel>(&w, "lbl_sub_arch")->isVisible());
        EXPECT_EQ(w.state.p_path_cartella, "");
        EXPECT_EQ(w.state.p_sessione, "Menu");
        EXPECT_FALSE(dati(w, "Adodc1")->Recordset());
    }
}

TEST(OpenRegister, MissingArchiveIsCheckedInTheChosenFolder)
{
    TempProgram program;
    QDir(program.path()).mkdir("SUB_VUOTO");
    ScriptedMessages messages;
    messages.answer(MsgAnswer::No);
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    ModalScript script;
    pickHistorical(script, "VUOTO");
    openRegister(w);
    ASSERT_TRUE(script.waitDone());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !  L' archivio è inesistente ...\n\n"
              "Nome del percorso errato o connessione di rete non attivata.\n\n"
              "Attivo la connessione di rete ?\n\n");
    EXPECT_EQ(messages.shown().at(0).buttons, MsgButtons::YesNo);
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_FALSE(dati(w, "Adodc1")->Recordset());
    EXPECT_EQ(w.state.p_sessione, "Menu");
}

TEST(OpenRegister, LocatedArchiveIsTheOneThatOpens)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    // The live archive is gone (a network folder that dropped); the clerk locates another copy.
    Connection::dropShared(program.archive());
    ASSERT_TRUE(QFile::remove(program.archive()));
    QDir(program.path()).mkdir("altrove");
    const QString copia = program.file("altrove/Arch_quadernolo.mdb");
    QFile::copy(program.file("arch_base.mdb"), copia);
    seedRegister(copia, 2);

    // A file of another name is refused without a message.
    messages.answer(MsgAnswer::Yes).file(program.file("Quad_imposta.mdb"));
    openRegister(w);
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());

    messages.clear();
    messages.answer(MsgAnswer::Yes).file(copia);
    openRegister(w);
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 3");
    EXPECT_EQ(leggi_ini(iniPath(), "Path", "ultimo_path", ""), program.file("altrove"));
    // The clerk works outside the program folder, and is shown where.
    auto* inUso = control<QLabel>(&w, "lbl_sub_arch");
    EXPECT_TRUE(inUso->isVisible());
    EXPECT_EQ(inUso->text(), "Archivio in uso : " + QDir::toNativeSeparators(program.file("altrove")));
}

TEST(OpenRegister, AWrongKeyAtOpeningAsksForThePasswordThatOpensTheLiveArchive)
{
    TempProgram program;
    seedRegister(program.archive(), 1);
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    w.state.p_password = "cambiata"; // changed meanwhile on another station

    ModalScript script;
    scriptLogin(script, {"sbagliata", kPassword});
    openRegister(w);
    ASSERT_TRUE(script.waitDone());
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 1");
    // Checked against the live archive, the password typed is the session's.
    EXPECT_EQ(w.state.p_password, kPassword);
}

namespace {

/// Another station changes the password of archivio from the session's to "nuova".
void cambiaAltrove(const QString& archivio)
{
    DbResult err;
    auto altra = Connection::open(archivio, kPassword, &err);
    EXPECT_TRUE(altra && altra->rekey("nuova").ok()) << err.message.toStdString();
}

/// The start menu, while the program still holds a connection made with the session's password.
class HeldConnection : public ::testing::Test
{
protected:
    void SetUp() override
    {
        seedRegister(program.archive(), 1);
        ASSERT_TRUE(startWindow(w));
        DbResult err;
        tenuta = Connection::shared(program.archive(), kPassword, &err);
        ASSERT_TRUE(tenuta) << err.message.toStdString();
    }
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    std::shared_ptr<Connection> tenuta;
};

/// Calls cambiaAltrove as the held connection starts its first statement after the check of its
/// key (SQLite's trace of a statement's start).
int cambiaDopoLaVerifica(unsigned, void* archivio, void*, void* testo)
{
    auto* percorso = static_cast<QString*>(archivio);
    if (percorso->isEmpty() || QByteArray(static_cast<const char*>(testo)).startsWith("SELECT count(*)"))
        return 0;
    cambiaAltrove(*percorso);
    percorso->clear();
    return 0;
}

} // namespace

TEST_F(HeldConnection, WhosePasswordAnotherStationChangedIsNotTakenAtTheOpening)
{
    cambiaAltrove(program.archive());
    ModalScript script;
    scriptLogin(script, {"nuova"});
    openRegister(w);
    ASSERT_TRUE(script.waitDone());
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 1");
    EXPECT_EQ(w.state.p_password, "nuova");
}

TEST_F(HeldConnection, APasswordChangedElsewhereBetweenItsCheckAndTheOpeningIsTold)
{
    QString daCambiare = program.archive();
    sqlite3_trace_v2(tenuta->handle(), SQLITE_TRACE_STMT, &cambiaDopoLaVerifica, &daCambiare);
    openRegister(w);
    sqlite3_trace_v2(tenuta->handle(), 0, nullptr, nullptr);
    ASSERT_TRUE(daCambiare.isEmpty()); // changed
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(messages.last().startsWith("Errore ADO\n\nPassword errata")) << messages.last().toStdString();
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_FALSE(dati(w, "Adodc1")->Recordset());
}

TEST(OpenRegister, AHistoricalArchiveKeyedOtherwiseOpensWithItsOwnPasswordOnly)
{
    TempProgram program;
    seedRegister(program.addHistorical("SUB_2004"), 2);
    const QString storico = program.addHistorical("SUB_STORICO");
    seedRegister(storico, 3);
    {
        DbResult err;
        auto db = Connection::open(storico, kPassword, &err);
        ASSERT_TRUE(db && db->rekey("storica").ok());
    }
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));

    // Closing the password dialog gives up the opening.
    {
        ModalScript script;
        pickHistorical(script, "STORICO");
        script.then("frm_password", [](QDialog* d) { d->reject(); });
        openRegister(w);
        ASSERT_TRUE(script.waitDone());
        EXPECT_TRUE(shown(w, "Frame1")->isVisible());
        EXPECT_FALSE(dati(w, "Adodc1")->Recordset());
    }
    // A wrong password is asked again; the right one opens that archive.
    {
        ModalScript script;
        pickHistorical(script, "STORICO");
        scriptLogin(script, {kPassword, "storica"});
        openRegister(w);
        ASSERT_TRUE(script.waitDone());
        EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
        EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 4");
    }
    // The session keeps the live archive's password: the next archive opens without a question.
    EXPECT_EQ(w.state.p_password, kPassword);
    trigger(&w, "tb_esci");
    ModalScript script;
    pickHistorical(script, "2004");
    openRegister(w);
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 3");
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(OpenRegister, AKeyChangedElsewhereWhileOpenAsksForTheArchivePasswordAndChecksIt)
{
    TempProgram program;
    seedRegister(program.archive(), 3);
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    openRegister(w);
    showGrid(w);
    {
        DbResult err;
        auto altra = Connection::open(program.archive(), kPassword, &err);
        ASSERT_TRUE(altra && altra->rekey("nuova").ok());
    }
    // Rows: entry 1, entry 2 twice, entry 3. A move reads the correspondents of the entry.
    const auto vaiARiga = [&w](int riga) { grid(w)->setCurrentIndex(grid(w)->model()->index(riga, 0)); };

    // Given up: the register stays as it is, and the clerk is told.
    {
        ModalScript script;
        script.then("frm_password", [](QDialog* d) { d->reject(); });
        vaiARiga(1);
        ASSERT_TRUE(script.waitDone());
    }
    ASSERT_EQ(messages.shown().size(), 1) << messages.texts().join("|").toStdString();
    EXPECT_TRUE(messages.last().contains("non apre più l' archivio in uso")) << messages.last().toStdString();
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 4");
    EXPECT_EQ(w.state.p_password, kPassword);

    // A password that does not open the archive is refused with a word and asked again; the one
    // that opens it reads it, and is the session's from now on.
    messages.clear();
    {
        ModalScript script;
        scriptLogin(script, {"sbagliata", "nuova"});
        vaiARiga(0);
        ASSERT_TRUE(script.waitDone());
    }
    EXPECT_EQ(messages.texts(),
              QStringList {"PASSWORD ERRATA !\n\nLa password inserita non è la password dell' archivio in uso."});
    messages.clear();
    EXPECT_EQ(w.state.p_password, "nuova");
    vaiARiga(3);
    EXPECT_EQ(text(&w, "txt_mask1_8"), "Mittente 3-0");
    grid(w)->setCurrentIndex(grid(w)->model()->index(1, 0));
    trigger(&w, "tb_filtro_off");
    trigger(&w, "tb_filtro_off");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join("|").toStdString();
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), "   Totale schede : 4");
}

TEST(OpenRegister, AHistoricalArchiveRegistersAndReceivesUnderItsOwnLock)
{
    TempProgram program;
    const QString altro = program.addHistorical("SUB_2025");
    seedRegister(altro, 5);
    const QString storico = program.addHistorical("SUB_2026");
    seedRegister(storico, 2);
    // Another station is issuing a number in the other historical archive.
    {
        QFile blocco(program.file("SUB_2025/emissione.txt"));
        ASSERT_TRUE(blocco.open(QIODevice::WriteOnly));
        blocco.write("altra stazione");
    }
    // Another office forwards its entry 3.
    QTemporaryDir ufficio;
    const QString mittente = QDir(ufficio.path()).filePath("Arch_quadernolo.mdb");
    ASSERT_TRUE(QFile::copy(program.file("arch_base.mdb"), mittente));
    seedRegister(mittente, 3);
    const QString notifica = program.file("Notifica_2026_05_01__09_00_00.xml");
    {
        Recordset rs;
        ASSERT_TRUE(rs.open(Connection::shared(mittente, kPassword, nullptr), registerQuery()).ok());
        ASSERT_TRUE(rs.setFilter("Progressivo = 3").ok());
        ASSERT_TRUE(rs.save(notifica).ok());
    }
    const auto entrate = [](const QString& archive) {
        return Connection::shared(archive, kPassword, nullptr)->scalar("SELECT group_concat(Progressivo) FROM entrata");
    };

    ScriptedMessages messages;
    Finestra w;
    ASSERT_TRUE(startWindow(w));
    ASSERT_EQ(w.state.p_postazione, "Server");
    ModalScript script;
    pickHistorical(script, "2026");
    messages.answer(MsgAnswer::Yes);
    click(&w, "Command1");
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(control<QLabel>(&w, "lbl_sub_arch")->text(), "Archivio in uso : 2026");
    // The look for notifications, as the register opens, brings the entry into the archive in use.
    EXPECT_EQ(messages.texts(), QStringList("Notifica in arrivo ! \n\nSalvo in archivio ?"));
    EXPECT_FALSE(QFile::exists(notifica));
    EXPECT_EQ(entrate(storico).toString(), "1,2,3");

    // "Nuovo" numbers from this archive's last entry, under this archive's lock alone.
    QTest::mouseClick(control<QToolBar>(&w, "Toolbar1")->widgetForAction(findAction(&w, "tb_insert")), Qt::LeftButton);
    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(click(&w, "cmd_ins_0"));
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    EXPECT_EQ(casella(w, 0)->text(), "4");
    EXPECT_TRUE(QFile::exists(program.file("SUB_2026/emissione.txt")));
    EXPECT_FALSE(QFile::exists(program.file("emissione.txt")));
    typeInto(&w, "txt_mask1_3", "Lettera");
    typeInto(&w, "txt_mask1_7", "Richiesta");
    typeInto(&w, "txt_mask1_8", "Rossi Mario");
    ASSERT_TRUE(click(&w, "cmd_new_ins_0"));
    EXPECT_FALSE(nuovaSchedaInCorso(w));
    EXPECT_EQ(entrate(storico).toString(), "1,2,3,4");
    EXPECT_FALSE(QFile::exists(program.file("SUB_2026/emissione.txt")));
    // The other archives are as they were, the other station's lock too.
    EXPECT_EQ(entrate(altro).toString(), "1,2,3,4,5");
    EXPECT_TRUE(entrate(program.archive()).isNull());
    EXPECT_EQ(program.readFile("SUB_2025/emissione.txt"), "altra stazione");
}

TEST(OpenRegister, DamagedArchiveShowsTheCauseAndStaysAtTheStartMenu)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    // The archive has lost its register table.
    {
        DbResult err;
        auto db = Connection::open(program.archive(), kPassword, &err);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->exec("DROP TABLE Mittenti").ok());
    }
    Connection::dropShared(program.archive());
    openRegister(w);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("Errore ADO\n\n"));
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_FALSE(control<QToolBar>(&w, "Toolbar1")->isVisible());
    EXPECT_FALSE(w.findChild<QTimer*>("Timer1")->isActive());
}

TEST(OpenRegister, MissingSettingsDatabaseStopsTheOpening)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    ASSERT_TRUE(QFile::remove(program.file("Quad_imposta.mdb")));
    openRegister(w);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("Errore ADO\n\n"));
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_FALSE(dati(w, "Adodc1")->Recordset());
}

TEST(Notifications, OfferedWhenTheRegisterOpensAndNeverAtTheStartMenu)
{
    TempProgram program;
    const QString notifica = program.file("Notifica_2024_01_05__10_20_30.xml");
    QFile f(notifica);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<xml/>");
    f.close();
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    notifiche(w)->Timer1_Timer();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(w.imported.isEmpty());

    messages.answer(MsgAnswer::Yes);
    openRegister(w);
    ASSERT_EQ(messages.shown().size(), 2);
    EXPECT_EQ(messages.shown().at(0).text, "Notifica in arrivo ! \n\nSalvo in archivio ?");
    EXPECT_EQ(messages.shown().at(0).title, "Quadernolo");
    EXPECT_EQ(messages.shown().at(0).icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown().at(0).buttons, MsgButtons::YesNo);
    EXPECT_EQ(w.imported, QStringList(notifica));
    EXPECT_EQ(messages.shown().at(1).text, "Errore nell' importazione dei dati");

    // "No" leaves the file for a later tick.
    messages.clear();
    w.imported.clear();
    notifiche(w)->Timer1_Timer();
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(w.imported.isEmpty());
    EXPECT_TRUE(QFile::exists(notifica));

    // Back at the start menu the poll stops.
    trigger(&w, "tb_esci");
    EXPECT_FALSE(w.findChild<QTimer*>("Timer1")->isActive());
    messages.clear();
    notifiche(w)->Timer1_Timer();
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(Notifications, NamesMatchWithoutRegardToCaseAndNotWhileInserting)
{
    TempProgram program;
    for (const char* name : {"notifica_a.XML", "NOTIFICA_b.xml", "altro.xml"}) {
        QFile f(program.file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ScriptedMessages messages;
    TestQuadernolo w;
    w.importOk = true;
    ASSERT_TRUE(startWindow(w));
    messages.answer(MsgAnswer::Yes).answer(MsgAnswer::Yes);
    openRegister(w);
    EXPECT_EQ(w.imported.size(), 2);
    EXPECT_EQ(messages.shown().size(), 2);

    messages.clear();
    // A new entry on the empty register: the start number is asked.
    messages.answer(MsgAnswer::Yes).input("10");
    schede(w)->cmd_ins_Click(0);
    ASSERT_TRUE(nuovaSchedaInCorso(w));
    messages.clear();
    notifiche(w)->Timer1_Timer();
    EXPECT_TRUE(messages.shown().isEmpty());
}
