#include "frm_mod_pass.h"

#include "database.h"
#include "file_checks.h"
#include "file_replace.h"
#include "full_disk.h"
#include "gui_helpers.h"
#include "my_func.h"
#include "program_folder.h"
#include "scripted_messages.h"
#include "settings.h"
#include "temp_program.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace quad;
using namespace quad::test;

namespace {

/// Scripted messages that also remember where each folder chooser started.
class RecordingMessages : public ScriptedMessages
{
public:
    QStringList folderStarts;
    QStringList fileStarts;

protected:
    QString chooseFolder(const QString& title, const QString& start) override
    {
        folderStarts << start;
        return ScriptedMessages::chooseFolder(title, start);
    }
    QString chooseFile(const QString& title, const QString& folder, const QString& filter) override
    {
        fileStarts << folder;
        return ScriptedMessages::chooseFile(title, folder, filter);
    }
};

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write("...\r\n");
}

class SettingsDialog : public ::testing::Test
{
protected:
    TempProgram prog;
    RecordingMessages msgs;
    WorkingState s;
    QWidget owner;
    std::unique_ptr<frm_mod_pass> dlg;

    /// Writes the settings file, loads it as the program does at start and opens the dialog.
    void open(const QString& ini)
    {
        prog.writeIni(ini);
        leggi_impostazioni(s);
        s.p_password = kPassword;
        dlg = std::make_unique<frm_mod_pass>(s, &owner);
        dlg->show();
    }
    QTabBar* TabStrip1() const { return control<QTabBar>(dlg.get(), "TabStrip1"); }
    QListWidget* List1() const { return control<QListWidget>(dlg.get(), "List1"); }
    QLineEdit* txt_server() const { return control<QLineEdit>(dlg.get(), "txt_server"); }
    QLineEdit* txt_percorso() const { return control<QLineEdit>(dlg.get(), "txt_percorso"); }
    QLabel* lbl_percorso() const { return control<QLabel>(dlg.get(), "lbl_percorso"); }
    QString ini(const QString& section, const QString& key) const
    {
        return leggi_ini(iniPath(), section, key, "<manca>");
    }
    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < List1()->count(); ++i)
            out << List1()->item(i)->text();
        return out;
    }
    void showOffices()
    {
        TabStrip1()->setCurrentIndex(2);
        ASSERT_TRUE(control<QFrame>(dlg.get(), "Frame1")->isVisible());
    }
    void selectRow(int row) { List1()->setCurrentRow(row); }
    /// A Server station with the historical archive 2019, on the password panel with the current
    /// password and the new one typed twice; returns the historical archive's file.
    QString passwordPanelWithHistorical(const QString& newPassword)
    {
        const QString sub = prog.addHistorical("SUB_2019");
        passwordPanel("2019", newPassword);
        return sub;
    }
    /// The dialog of a Server station whose one historical archive is SUB_<historical>, on the
    /// password panel (its tab clicked) with the current password and the new one typed twice.
    void passwordPanel(const QString& historical, const QString& newPassword)
    {
        open("[IMPOSTA]\nPostazione=Server\n");
        s.p_sub_use = true;
        s.p_sub_dir = QStringList {historical};
        QTest::mouseClick(TabStrip1(), Qt::LeftButton, {}, TabStrip1()->tabRect(1).center());
        ASSERT_TRUE(control<QFrame>(dlg.get(), "Frame3")->isVisible());
        typeInto(dlg.get(), "Text4", kPassword);
        typeInto(dlg.get(), "Text2", newPassword);
        typeInto(dlg.get(), "Text3", newPassword);
    }
};

// ---------------------------------------------------------------------------------------------
// Frame, loading, closing

TEST_F(SettingsDialog, CaptionTabsAndTheGeneralPanelFirst)
{
    open("[IMPOSTA]\nPostazione=Server\n");
    EXPECT_EQ(dlg->objectName(), "frm_mod_pass");
    EXPECT_EQ(dlg->windowTitle(), "Quadernolo - Impostazioni programma");
    ASSERT_EQ(TabStrip1()->count(), 3);
    EXPECT_EQ(TabStrip1()->tabText(0), "Generale");
    EXPECT_EQ(TabStrip1()->tabText(1), "Password");
    EXPECT_EQ(TabStrip1()->tabText(2), "Elenco A.O.O.");
    EXPECT_EQ(TabStrip1()->tabData(0).toString(), "Imp_generale");
    EXPECT_EQ(TabStrip1()->tabData(2).toString(), "Elenco_uffici");
    EXPECT_EQ(TabStrip1()->currentIndex(), 0);
    EXPECT_TRUE(control<QFrame>(dlg.get(), "Frame2")->isVisible());
    EXPECT_FALSE(control<QFrame>(dlg.get(), "Frame1")->isVisible());
    EXPECT_FALSE(control<QFrame>(dlg.get(), "Frame3")->isVisible());

    TabStrip1()->setCurrentIndex(1);
    EXPECT_TRUE(control<QFrame>(dlg.get(), "Frame3")->isVisible());
    EXPECT_TRUE(control<QFrame>(dlg.get(), "Frame4")->isVisible());
    EXPECT_FALSE(control<QFrame>(dlg.get(), "Frame2")->isVisible());
    EXPECT_EQ(control<QLineEdit>(dlg.get(), "Text4")->echoMode(), QLineEdit::Password);
    // Every box is announced by its caption.
    EXPECT_EQ(announcedName(control<QLineEdit>(dlg.get(), "Text4")), "Vecchia password");
    EXPECT_EQ(announcedName(control<QLineEdit>(dlg.get(), "Text2")), "Nuova password");
    EXPECT_EQ(announcedName(control<QLineEdit>(dlg.get(), "Text3")), "Conferma password");
    EXPECT_EQ(announcedName(txt_server()), "Percorso di rete per il Server [F2]");
    EXPECT_EQ(announcedName(txt_percorso()), "Percorso di rete per A.O.O.");
    EXPECT_EQ(announcedName(control<QLineEdit>(dlg.get(), "txt_corr")), "Correzione voce :");
    // The office folder is named while no office is shown too, and never announced as a box to type in.
    showOffices();
    ASSERT_TRUE(lbl_percorso()->text().isEmpty());
    EXPECT_EQ(announcedName(txt_percorso()), "Percorso di rete per A.O.O.");
    const QAccessible::State percorso = QAccessible::queryAccessibleInterface(txt_percorso())->state();
    EXPECT_FALSE(percorso.editable);
    EXPECT_TRUE(percorso.readOnly);
    TabStrip1()->setCurrentIndex(0);
    EXPECT_TRUE(control<QFrame>(dlg.get(), "Frame2")->isVisible());
    EXPECT_FALSE(control<QFrame>(dlg.get(), "Frame3")->isVisible());
    EXPECT_TRUE(msgs.shown().isEmpty());
}

TEST_F(SettingsDialog, LoadsTheWorkingState)
{
    open("[IMPOSTA]\nPostazione=Server\nPath_Postazione=/srv/q\nQuad_rete=1\nCheck_back_up=1\n"
         "Path_back_up=/media/copia\n");
    EXPECT_TRUE(control<QRadioButton>(dlg.get(), "Option1_0")->isChecked());
    EXPECT_FALSE(txt_server()->isEnabled());
    EXPECT_FALSE(control<QLabel>(dlg.get(), "lbl_server")->isEnabled());
    EXPECT_EQ(txt_server()->text(), "/srv/q");
    EXPECT_TRUE(control<QCheckBox>(dlg.get(), "chk_rete")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(dlg.get(), "chk_back_up")->isChecked());
    EXPECT_EQ(control<QLabel>(dlg.get(), "lbl_back_up")->text(), "/media/copia");
}

TEST_F(SettingsDialog, ClosingWithTheCloseBoxWritesTheFiveKeys)
{
    open("[IMPOSTA]\nPostazione=Server\nQuad_rete=0\nColonne_grid=XX-\n");
    click(dlg.get(), "Option1_1");
    typeInto(dlg.get(), "txt_server", "/srv/server");
    click(dlg.get(), "chk_rete");
    click(dlg.get(), "chk_back_up");
    msgs.file("/media/copia");
    click(dlg.get(), "cmd_back_up");
    dlg->close();

    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(ini("IMPOSTA", "Postazione"), "Client");
    EXPECT_EQ(ini("IMPOSTA", "Path_Postazione"), "/srv/server");
    EXPECT_EQ(ini("IMPOSTA", "Quad_rete"), "1");
    EXPECT_EQ(ini("IMPOSTA", "Check_back_up"), "1");
    EXPECT_EQ(ini("IMPOSTA", "Path_back_up"), "/media/copia");
    EXPECT_EQ(ini("IMPOSTA", "Colonne_grid"), "XX-");
    EXPECT_EQ(s.p_postazione, "Client");
    EXPECT_EQ(s.p_path_postazione, "/srv/server");
    EXPECT_EQ(s.p_quad_rete, "1");
    EXPECT_EQ(s.p_chk_back_up, "1");
    EXPECT_EQ(s.p_path_back_up, "/media/copia");
}

TEST_F(SettingsDialog, ClosingOnAFullDiskSaysSoAndKeepsTheSettingsFileWhole)
{
    open("[Uffici]\nElenco=Ragioneria\n[IMPOSTA]\nPostazione=Server\nCheck_back_up=1\nPath_back_up=/media/copia\n");
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    click(dlg.get(), "Option1_1");
    setFileWriteFaultForTests([](const QString& path) { return path.endsWith("imposta.ini"); });
    dlg->close();
    setFileWriteFaultForTests(nullptr);

    ASSERT_EQ(msgs.texts().size(), 1);
    EXPECT_TRUE(msgs.texts().at(0).startsWith("ATTENZIONE !\n\nImpossibile scrivere il file "))
        << msgs.texts().at(0).toStdString();
    EXPECT_TRUE(msgs.texts().at(0).contains("imposta.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(ini("IMPOSTA", "Postazione"), "Server");
    EXPECT_EQ(ini("IMPOSTA", "Path_back_up"), "/media/copia");
}

TEST_F(SettingsDialog, TerminaWritesTheSameKeysAndAnUnknownRoleBecomesClient)
{
    open("[IMPOSTA]\nPath_Postazione=/srv/q\n");
    EXPECT_TRUE(control<QRadioButton>(dlg.get(), "Option1_1")->isChecked());
    EXPECT_TRUE(txt_server()->isEnabled());
    EXPECT_EQ(s.p_postazione, "Client");
    click(dlg.get(), "Command4");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(ini("IMPOSTA", "Postazione"), "Client");
    EXPECT_EQ(ini("IMPOSTA", "Path_Postazione"), "/srv/q");
    EXPECT_EQ(ini("IMPOSTA", "Quad_rete"), "0");
    EXPECT_EQ(ini("IMPOSTA", "Check_back_up"), "0");
    EXPECT_EQ(ini("IMPOSTA", "Path_back_up"), "");
}

TEST_F(SettingsDialog, BackUpFolderChooserStartsAtHomeAndCancelKeepsTheFolder)
{
    open("[IMPOSTA]\nPostazione=Server\n");
    msgs.file("/media/copia");
    click(dlg.get(), "cmd_back_up");
    EXPECT_EQ(msgs.folderStarts.value(0), QDir::homePath());
    EXPECT_EQ(control<QLabel>(dlg.get(), "lbl_back_up")->text(), "/media/copia");
    click(dlg.get(), "cmd_back_up"); // cancelled
    EXPECT_EQ(msgs.folderStarts.value(1), "/media/copia");
    EXPECT_EQ(control<QLabel>(dlg.get(), "lbl_back_up")->text(), "/media/copia");
}

TEST_F(SettingsDialog, F2InTheServerPathTakesOnlyAnArchiveFile)
{
    open("[IMPOSTA]\nPostazione=Client\nPath_Postazione=/srv/q\n");
    QTemporaryDir server;
    touch(QDir(server.path()).filePath("arch_quadernolo.MDB"));
    touch(QDir(server.path()).filePath("altro.mdb"));

    msgs.file(QDir(server.path()).filePath("altro.mdb"));
    pressKey(dlg.get(), "txt_server", Qt::Key_F2);
    EXPECT_EQ(txt_server()->text(), "/srv/q");
    EXPECT_EQ(msgs.fileStarts.value(0), prog.path());
    pressKey(dlg.get(), "txt_server", Qt::Key_F2); // cancelled
    EXPECT_EQ(txt_server()->text(), "/srv/q");
    msgs.file(QDir(server.path()).filePath("arch_quadernolo.MDB"));
    pressKey(dlg.get(), "txt_server", Qt::Key_F2);
    EXPECT_EQ(txt_server()->text(), QDir::cleanPath(server.path()));
}

// ---------------------------------------------------------------------------------------------
// Role and the office list tab

TEST_F(SettingsDialog, AClientStationIsRefusedTheOfficeListUntilItBecomesServer)
{
    open("[Uffici]\nElenco=A;B\n[IMPOSTA]\nPostazione=Client\n");
    TabStrip1()->setCurrentIndex(2);
    ASSERT_EQ(msgs.shown().size(), 1);
    EXPECT_EQ(msgs.last(), "Non autorizzato alla gestione delle tabelle !\n\n");
    EXPECT_EQ(msgs.shown().first().icon, MsgIcon::Information);
    EXPECT_EQ(msgs.shown().first().title, "Quadernolo");
    EXPECT_EQ(TabStrip1()->currentIndex(), 0);
    EXPECT_TRUE(control<QFrame>(dlg.get(), "Frame2")->isVisible());
    EXPECT_FALSE(control<QFrame>(dlg.get(), "Frame1")->isVisible());

    click(dlg.get(), "Option1_0");
    EXPECT_EQ(s.p_postazione, "Server");
    TabStrip1()->setCurrentIndex(2);
    EXPECT_EQ(msgs.shown().size(), 1);
    EXPECT_TRUE(control<QFrame>(dlg.get(), "Frame1")->isVisible());
    EXPECT_FALSE(control<QFrame>(dlg.get(), "Frame2")->isVisible());
    EXPECT_EQ(rows(), QStringList({"A", "B"}));

    // Switched back to Client while the dialog is open: refused again.
    TabStrip1()->setCurrentIndex(0);
    click(dlg.get(), "Option1_1");
    TabStrip1()->setCurrentIndex(2);
    EXPECT_EQ(msgs.shown().size(), 2);
    EXPECT_EQ(TabStrip1()->currentIndex(), 0);
}

// ---------------------------------------------------------------------------------------------
// Office list

TEST_F(SettingsDialog, AddingThreeOfficesJoinsThemAndLeavesPathAlone)
{
    open("[Uffici]\nElenco=\nPath=\n[IMPOSTA]\nPostazione=Server\n");
    showOffices();
    EXPECT_EQ(List1()->count(), 0);
    EXPECT_EQ(lbl_percorso()->text(), "");
    for (const char* name : {"A", "B", "C"}) {
        msgs.input(name);
        click(dlg.get(), "cmd_add_uffici");
    }
    EXPECT_EQ(msgs.prompts.value(0), "Inserire nuovo ufficio");
    EXPECT_EQ(ini("Uffici", "Elenco"), "A;B;C");
    EXPECT_EQ(ini("Uffici", "Path"), "");
    EXPECT_EQ(rows(), QStringList({"A", "B", "C"}));
    EXPECT_EQ(dlg->listIndex(), 0);
    EXPECT_EQ(lbl_percorso()->text(), "Percorso di rete per A.O.O. : A");

    // Cancel, an empty name and a name with ";" add nothing.
    msgs.input(QString());
    click(dlg.get(), "cmd_add_uffici");
    msgs.input("D;E");
    click(dlg.get(), "cmd_add_uffici");
    EXPECT_EQ(msgs.shown().size(), 1);
    EXPECT_EQ(ini("Uffici", "Elenco"), "A;B;C");
    EXPECT_EQ(rows(), QStringList({"A", "B", "C"}));
}

TEST_F(SettingsDialog, RemovingWithoutASelectionAsksForOne)
{
    open("[Uffici]\nElenco=A;B\n[IMPOSTA]\nPostazione=Server\n");
    showOffices();
    List1()->clearSelection();
    click(dlg.get(), "cmd_del_uff");
    EXPECT_EQ(msgs.last(), "Selezionare la voce da eliminare !");
    click(dlg.get(), "cmd_corr_uff");
    EXPECT_EQ(msgs.last(), "Selezionare la voce da correggere !");
    EXPECT_EQ(rows(), QStringList({"A", "B"}));
    EXPECT_FALSE(control<QFrame>(dlg.get(), "frm_corr")->isVisible());
}

TEST_F(SettingsDialog, DeletingTheFirstOfficeKeepsTheOthersWithTheirFolders)
{
    open("[Uffici]\nElenco=A;B;C\nPath=/srv/a;/srv/b;/srv/c\n[IMPOSTA]\nPostazione=Server\n");
    showOffices();
    selectRow(0);
    click(dlg.get(), "cmd_del_uff"); // answered No
    EXPECT_EQ(msgs.last(), "Elimino la voce [A] dall' elenco ?");
    EXPECT_EQ(msgs.shown().last().buttons, MsgButtons::YesNo);
    EXPECT_EQ(rows(), QStringList({"A", "B", "C"}));

    msgs.answer(MsgAnswer::Yes);
    click(dlg.get(), "cmd_del_uff");
    EXPECT_EQ(rows(), QStringList({"B", "C"}));
    EXPECT_EQ(ini("Uffici", "Elenco"), "B;C");
    EXPECT_EQ(ini("Uffici", "Path"), "/srv/b;/srv/c");
    EXPECT_EQ(s.p_path_eln_uffici, "/srv/b;/srv/c");
    selectRow(1);
    EXPECT_EQ(txt_percorso()->text(), "/srv/c");
    EXPECT_EQ(lbl_percorso()->text(), "Percorso di rete per A.O.O. : C");
}

TEST_F(SettingsDialog, DeleteKeyThenAFolderForALaterRowGoesToThatRow)
{
    open("[Uffici]\nElenco=A;B;C\nPath=/srv/a;/srv/b;/srv/c\n[IMPOSTA]\nPostazione=Server\n");
    showOffices();
    selectRow(0);
    msgs.answer(MsgAnswer::Yes);
    pressKey(dlg.get(), "List1", Qt::Key_Delete);
    EXPECT_EQ(msgs.last(), "Elimino la voce [A] dall' elenco ?");
    EXPECT_EQ(dlg->listIndex(), -1);
    EXPECT_EQ(ini("Uffici", "Path"), "/srv/b;/srv/c");

    QTemporaryDir office;
    touch(QDir(office.path()).filePath("Arch_quadernolo.mdb"));
    selectRow(1);
    msgs.file(QDir(office.path()).filePath("Arch_quadernolo.mdb"));
    click(dlg.get(), "pic_sfoglia");
    EXPECT_EQ(txt_percorso()->text(), QDir::cleanPath(office.path()));
    // The folder reaches the file at "Termina e Salva".
    EXPECT_EQ(ini("Uffici", "Path"), "/srv/b;/srv/c");
    click(dlg.get(), "Command3");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(ini("Uffici", "Elenco"), "B;C");
    EXPECT_EQ(ini("Uffici", "Path"), "/srv/b;" + QDir::cleanPath(office.path()));
}

TEST_F(SettingsDialog, CancellingTheFolderChooserKeepsTheFolder)
{
    open("[Uffici]\nElenco=A;B\nPath=/srv/a;/srv/b\n[IMPOSTA]\nPostazione=Server\n");
    showOffices();
    selectRow(1);
    click(dlg.get(), "pic_sfoglia"); // cancelled
    EXPECT_EQ(txt_percorso()->text(), "/srv/b");
    QTemporaryDir other;
    touch(QDir(other.path()).filePath("notArch.mdb"));
    msgs.file(QDir(other.path()).filePath("notArch.mdb"));
    click(dlg.get(), "pic_sfoglia");
    EXPECT_EQ(txt_percorso()->text(), "/srv/b");
    click(dlg.get(), "Command3");
    EXPECT_EQ(ini("Uffici", "Path"), "/srv/a;/srv/b");
}

TEST_F(SettingsDialog, AFolderHoldingTheSeparatorIsRefused)
{
    open("[Uffici]\nElenco=A;B\nPath=/srv/a;/srv/b\n[IMPOSTA]\nPostazione=Server\n");
    QTemporaryDir base;
    QDir(base.path()).mkdir("x;y");
    touch(QDir(base.path()).filePath("x;y/Arch_quadernolo.mdb"));
    showOffices();
    selectRow(0);
    msgs.file(QDir(base.path()).filePath("x;y/Arch_quadernolo.mdb"));
    click(dlg.get(), "pic_sfoglia");
    EXPECT_EQ(msgs.shown().size(), 1);
    EXPECT_EQ(txt_percorso()->text(), "/srv/a");
    click(dlg.get(), "Command3");
    EXPECT_EQ(ini("Uffici", "Path"), "/srv/a;/srv/b");
}

TEST_F(SettingsDialog, CorrectingANameKeepsItsFolder)
{
    open("[Uffici]\nElenco=A;B;C\nPath=/srv/a;/srv/b;/srv/c\n[IMPOSTA]\nPostazione=Server\n");
    showOffices();
    selectRow(1);
    click(dlg.get(), "cmd_corr_uff");
    EXPECT_TRUE(control<QFrame>(dlg.get(), "frm_corr")->isVisible());
    EXPECT_FALSE(List1()->isEnabled());
    EXPECT_FALSE(control<QPushButton>(dlg.get(), "cmd_add_uffici")->isEnabled());
    EXPECT_EQ(control<QLineEdit>(dlg.get(), "txt_corr")->text(), "B");

    // A ";" or an empty name is refused and the correction stays open.
    typeInto(dlg.get(), "txt_corr", "B;D");
    click(dlg.get(), "cmd_corr_0");
    EXPECT_EQ(msgs.shown().size(), 1);
    EXPECT_TRUE(control<QFrame>(dlg.get(), "frm_corr")->isVisible());
    typeInto(dlg.get(), "txt_corr", "");
    pressKey(dlg.get(), "txt_corr", Qt::Key_Return);
    EXPECT_EQ(msgs.shown().size(), 2);
    EXPECT_EQ(ini("Uffici", "Elenco"), "A;B;C");

    typeInto(dlg.get(), "txt_corr", "Ufficio Beta");
    pressKey(dlg.get(), "txt_corr", Qt::Key_Return);
    EXPECT_FALSE(control<QFrame>(dlg.get(), "frm_corr")->isVisible());
    EXPECT_TRUE(List1()->isEnabled());
    EXPECT_EQ(ini("Uffici", "Elenco"), "A;Ufficio Beta;C");
    EXPECT_EQ(ini("Uffici", "Path"), "/srv/a;/srv/b;/srv/c");

    // "Annulla" stores nothing.
    selectRow(0);
    click(dlg.get(), "cmd_corr_uff");
    typeInto(dlg.get(), "txt_corr", "Z");
    click(dlg.get(), "cmd_corr_1");
    EXPECT_EQ(rows(), QStringList({"A", "Ufficio Beta", "C"}));
    EXPECT_EQ(ini("Uffici", "Elenco"), "A;Ufficio Beta;C");
}

TEST_F(SettingsDialog, ChoosingTheTabAgainLeavesACorrectionWithoutStoring)
{
    open("[Uffici]\nElenco=A\n[IMPOSTA]\nPostazione=Server\n");
    showOffices();
    selectRow(0);
    click(dlg.get(), "cmd_corr_uff");
    typeInto(dlg.get(), "txt_corr", "Z");
    QTest::mouseClick(TabStrip1(), Qt::LeftButton, {}, TabStrip1()->tabRect(2).center());
    EXPECT_FALSE(control<QFrame>(dlg.get(), "frm_corr")->isVisible());
    EXPECT_TRUE(List1()->isEnabled());
    EXPECT_EQ(rows(), QStringList({"A"}));
}

TEST_F(SettingsDialog, TypingInTheListShowsNothing)
{
    open("[Uffici]\nElenco=A;B\n[IMPOSTA]\nPostazione=Server\n");
    showOffices();
    QTest::keyClicks(List1(), "b");
    QTest::keyClick(List1(), Qt::Key_Return);
    EXPECT_TRUE(msgs.shown().isEmpty());
}

TEST_F(SettingsDialog, EscapeClosesNothingAndDropsNoFolderChosen)
{
    open("[Uffici]\nElenco=A;B\nPath=/srv/a;/srv/b\n[IMPOSTA]\nPostazione=Server\n");
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    showOffices();
    selectRow(1);
    QTemporaryDir office;
    touch(QDir(office.path()).filePath("Arch_quadernolo.mdb"));
    msgs.file(QDir(office.path()).filePath("Arch_quadernolo.mdb"));
    click(dlg.get(), "pic_sfoglia");
    pressKeyInFocus(Qt::Key_Escape);
    ASSERT_TRUE(dlg->isVisible());

    // In the correction box Escape gives the correction up.
    click(dlg.get(), "cmd_corr_uff");
    ASSERT_TRUE(control<QLineEdit>(dlg.get(), "txt_corr")->hasFocus());
    typeInFocus("Z");
    pressKeyInFocus(Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(control<QFrame>(dlg.get(), "frm_corr")->isVisible());
    EXPECT_EQ(rows(), QStringList({"A", "B"}));

    click(dlg.get(), "Command3");
    EXPECT_EQ(ini("Uffici", "Path"), "/srv/a;" + QDir::cleanPath(office.path()));
    EXPECT_EQ(ini("Uffici", "Elenco"), "A;B");
}

TEST_F(SettingsDialog, ReturnPressesTheFocusedButton)
{
    open("[IMPOSTA]\nPostazione=Server\n");
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    click(dlg.get(), "Option1_1");
    control<QPushButton>(dlg.get(), "Command4")->setFocus();
    pressKeyInFocus(Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(ini("IMPOSTA", "Postazione"), "Client");
}

// ---------------------------------------------------------------------------------------------
// Password

TEST_F(SettingsDialog, PasswordRefusalsLeaveTheDialogOpen)
{
    open("[IMPOSTA]\nPostazione=Client\n");
    TabStrip1()->setCurrentIndex(1);
    typeInto(dlg.get(), "Text4", "QUADERNOLO");
    typeInto(dlg.get(), "Text2", "nuova");
    typeInto(dlg.get(), "Text3", "nuova");
    click(dlg.get(), "Command1");
    EXPECT_EQ(msgs.last(), "ATTENZIONE ... \n\nNon autorizzato alla modifica della password !");

    typeInto(dlg.get(), "Text4", kPassword);
    typeInto(dlg.get(), "Text2", "   ");
    click(dlg.get(), "Command1");
    EXPECT_EQ(msgs.last(), "ATTENZIONE ... \n\nE' obbligatorio inserire una password !");

    typeInto(dlg.get(), "Text2", "nuova");
    typeInto(dlg.get(), "Text3", "nuovA");
    click(dlg.get(), "Command1");
    EXPECT_EQ(msgs.last(), "ATTENZIONE ... \n\nErrore nella digitazione della password di conferma!");
    EXPECT_EQ(msgs.shown().last().icon, MsgIcon::Information);

    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(control<QLineEdit>(dlg.get(), "Text2")->text(), "nuova");
    EXPECT_EQ(s.p_password, kPassword);
    EXPECT_TRUE(opensWith(prog.archive(), kPassword));
}

TEST_F(SettingsDialog, PasswordChangeReachesEveryArchiveAndTheNextLogin)
{
    const QString sub = passwordPanelWithHistorical("Nuova;1");
    click(dlg.get(), "Command1");
    EXPECT_EQ(msgs.texts(), QStringList({"Modifica password effettuata !"}));
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(s.p_password, "Nuova;1");
    for (const QString& file : {prog.archive(), prog.file("arch_base.mdb"), sub}) {
        EXPECT_TRUE(opensWith(file, "Nuova;1")) << file.toStdString();
        EXPECT_FALSE(opensWith(file, kPassword)) << file.toStdString();
    }
    // The closing still saved the General panel.
    EXPECT_EQ(ini("IMPOSTA", "Postazione"), "Server");
}

TEST_F(SettingsDialog, APasswordChangeOnAFullDiskIsNotReportedDone)
{
    const QString sub = passwordPanelWithHistorical("Nuova");
    {
        FullDisk full("SUB_2019");
        click(dlg.get(), "Command1");
    }
    ASSERT_EQ(msgs.texts().size(), 1);
    EXPECT_TRUE(msgs.texts().at(0).startsWith("Impossibile effettuare la modifica della password !"));
    EXPECT_TRUE(msgs.texts().at(0).contains(QDir::toNativeSeparators(sub))) << msgs.texts().at(0).toStdString();
    EXPECT_EQ(s.p_password, kPassword);
    for (const QString& file : {prog.archive(), prog.file("arch_base.mdb"), sub}) {
        EXPECT_TRUE(opensWith(file, kPassword)) << file.toStdString();
        EXPECT_FALSE(opensWith(file, "Nuova")) << file.toStdString();
    }
}

/// Answers the password request of an archive as the clerk does: the password typed in the box
/// that has the focus and Return, or, for a null password, Escape (the request given up).
void answerPasswordRequest(ModalScript& script, const QString& password, QString* request = nullptr)
{
    script.then("frm_password", [password, request](QDialog* d) {
        auto* box = control<QLineEdit>(d, "txt_password");
        ASSERT_TRUE(QTest::qWaitFor([box] { return QApplication::focusWidget() == box; }));
        if (request)
            *request = control<QLabel>(d, "Label1")->text();
        if (password.isNull()) {
            pressKeyInFocus(Qt::Key_Escape);
            return;
        }
        typeInFocus(password);
        pressKeyInFocus(Qt::Key_Return);
    });
}

TEST_F(SettingsDialog, AnUnreadableHistoricalArchiveIsNamedAndNothingChanges)
{
    const QString sub = prog.addHistorical("SUB_2019");
    {
        QFile f(sub);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("non un archivio");
    }
    passwordPanel("2019", "nuova");
    // No key opens it: its password is asked for, as for an archive keyed otherwise.
    ModalScript script;
    answerPasswordRequest(script, "qualsiasi");
    click(dlg.get(), "Command1");
    ASSERT_TRUE(script.waitDone());
    ASSERT_EQ(msgs.shown().size(), 1);
    EXPECT_TRUE(msgs.last().startsWith("Impossibile effettuare la modifica della password !"));
    EXPECT_TRUE(msgs.last().contains(QDir::toNativeSeparators(sub)));
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(s.p_password, kPassword);
    EXPECT_TRUE(opensWith(prog.archive(), kPassword));
    EXPECT_TRUE(opensWith(prog.file("arch_base.mdb"), kPassword));
    EXPECT_FALSE(opensWith(prog.archive(), "nuova"));
}

/// Every file opens with password and with none of others.
void expectOnlyWith(const QStringList& files, const QString& password, const QStringList& others)
{
    for (const QString& file : files) {
        EXPECT_TRUE(opensWith(file, password)) << file.toStdString();
        for (const QString& other : others)
            EXPECT_FALSE(opensWith(file, other)) << file.toStdString() << " " << other.toStdString();
    }
}

/// The historical archive SUB_OLD, keyed "vecchia", with one entry.
QString historicalKeyedOtherwise(const TempProgram& prog)
{
    const QString sub = prog.addHistorical("SUB_OLD");
    DbResult err;
    auto db = Connection::open(sub, kPassword, &err);
    EXPECT_TRUE(db && db->exec("INSERT INTO entrata (Progressivo, Oggetto) VALUES (7, 'storica')").ok());
    EXPECT_TRUE(db && db->rekey("vecchia").ok());
    return sub;
}

TEST_F(SettingsDialog, APasswordChangeTakesTheKeyTheSessionKnowsForAHistoricalArchive)
{
    const QString sub = historicalKeyedOtherwise(prog);
    passwordPanel("OLD", "Nuova;1");
    // The clerk opened SUB_OLD this session with its own password.
    s.chiavi_archivi.accept(sub, "vecchia", kPassword);
    ModalScript noRequest; // any dialog shown fails the test
    click(dlg.get(), "Command1");
    EXPECT_EQ(msgs.texts(), QStringList({"Modifica password effettuata !"}));
    EXPECT_EQ(s.p_password, "Nuova;1");
    const QStringList files {prog.archive(), prog.file("arch_base.mdb"), sub};
    expectOnlyWith(files, "Nuova;1", {kPassword, "vecchia"});
    DbResult err;
    auto db = Connection::open(sub, "Nuova;1", &err);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 7").toString(), "storica");
    // No archive keeps a password of its own: the session's new one opens them all.
    EXPECT_EQ(s.chiavi_archivi.keysFor(sub, "Nuova;1"), QList<QByteArray>({"Nuova;1"}));
    EXPECT_EQ(QDir(prog.path()).entryList({"cambio_password*"}, QDir::Files), QStringList());
}

TEST_F(SettingsDialog, AHistoricalArchiveOfAPasswordTheSessionDoesNotKnowIsAskedForOnce)
{
    const QString sub = historicalKeyedOtherwise(prog);
    passwordPanel("OLD", "nuova");
    ModalScript script;
    QString request;
    answerPasswordRequest(script, "vecchia", &request);
    click(dlg.get(), "Command1");
    ASSERT_TRUE(script.waitDone());
    // The request of the archive's opening, asked once.
    EXPECT_EQ(request, "Inserire la password di accesso ");
    EXPECT_EQ(script.titles(), QStringList("Quadernolo - Inserimento password"));
    EXPECT_EQ(msgs.texts(), QStringList({"Modifica password effettuata !"}));
    EXPECT_EQ(s.p_password, "nuova");
    expectOnlyWith({prog.archive(), prog.file("arch_base.mdb"), sub}, "nuova", {kPassword, "vecchia"});
}

TEST_F(SettingsDialog, AWrongOrNoPasswordForAHistoricalArchiveChangesNoArchiveAndNamesIt)
{
    const QString sub = historicalKeyedOtherwise(prog);
    const QString head
        = "Impossibile effettuare la modifica della password !\n\nArchivio: " + QDir::toNativeSeparators(sub);
    const struct
    {
        QString typed; ///< null: the request given up
        QString reason;
    } cases[] = {{"sbagliata", "\nLa password inserita non apre l' archivio: nessun archivio è stato modificato."},
                 {QString(), "\nPassword dell' archivio non inserita: nessun archivio è stato modificato."}};
    for (const auto& c : cases) {
        msgs.clear();
        passwordPanel("OLD", "nuova");
        ModalScript script;
        answerPasswordRequest(script, c.typed);
        click(dlg.get(), "Command1");
        ASSERT_TRUE(script.waitDone());
        EXPECT_EQ(msgs.texts(), QStringList({head + c.reason}));
        EXPECT_EQ(s.p_password, kPassword);
        expectOnlyWith({prog.archive(), prog.file("arch_base.mdb")}, kPassword, {"nuova"});
        expectOnlyWith({sub}, "vecchia", {"nuova", kPassword});
        EXPECT_EQ(QDir(prog.path()).entryList({"cambio_password*"}, QDir::Files), QStringList());
    }
}

// ---------------------------------------------------------------------------------------------
// Lock removal

TEST_F(SettingsDialog, SbloccaArchivioDeletesTheLockOfTheProgramFolder)
{
    open("[IMPOSTA]\nPostazione=Server\n");
    click(dlg.get(), "cmd_kill"); // no lock: nothing said
    EXPECT_TRUE(msgs.shown().isEmpty());
    touch(prog.file("emissione.txt"));
    click(dlg.get(), "cmd_kill");
    EXPECT_FALSE(QFile::exists(prog.file("emissione.txt")));
    EXPECT_TRUE(msgs.shown().isEmpty());
}

TEST_F(SettingsDialog, SbloccaArchivioWithHistoricalArchivesUsesTheChosenFolder)
{
    prog.addHistorical("SUB_2019");
    prog.addHistorical("SUB_2020");
    touch(prog.file("emissione.txt"));
    touch(prog.file("SUB_2019/emissione.txt"));
    touch(prog.file("SUB_2020/emissione.txt"));
    open("[IMPOSTA]\nPostazione=Server\n");
    s.p_sub_use = true;
    s.p_sub_dir = QStringList {"2019", "2020"};

    {
        ModalScript script;
        script.then("frm_sel_cartella", [](QDialog* d) { click(d, "CancelButton"); });
        click(dlg.get(), "cmd_kill");
        EXPECT_TRUE(script.waitDone());
    }
    EXPECT_EQ(s.p_path_cartella, "");
    EXPECT_TRUE(QFile::exists(prog.file("SUB_2019/emissione.txt")));
    EXPECT_TRUE(QFile::exists(prog.file("SUB_2020/emissione.txt")));

    {
        ModalScript script;
        script.then("frm_sel_cartella", [](QDialog* d) {
            control<QListWidget>(d, "List1")->setCurrentRow(1);
            click(d, "OKButton");
        });
        click(dlg.get(), "cmd_kill");
        EXPECT_TRUE(script.waitDone());
    }
    EXPECT_EQ(s.p_path_cartella, "SUB_2020");
    EXPECT_FALSE(QFile::exists(prog.file("SUB_2020/emissione.txt")));
    EXPECT_TRUE(QFile::exists(prog.file("SUB_2019/emissione.txt")));
    EXPECT_TRUE(QFile::exists(prog.file("emissione.txt")));
}

// ---------------------------------------------------------------------------------------------
// Compaction from the start menu

TEST_F(SettingsDialog, DatabaseAnsweredNoChangesNothing)
{
    owner.setWindowTitle("Quadernolo - Registro");
    s.p_password = kPassword;
    s.p_path_cartella = "SUB_x";
    cmd_menu_database(&owner, s);
    ASSERT_EQ(msgs.shown().size(), 1);
    EXPECT_EQ(msgs.last(), "Compattare il database?");
    EXPECT_EQ(msgs.shown().first().title, "Quadernolo - Registro");
    EXPECT_EQ(msgs.shown().first().buttons, MsgButtons::YesNo);
    EXPECT_EQ(s.p_path_cartella, "SUB_x");
}

TEST_F(SettingsDialog, DatabaseCompactsTheLiveArchiveKeepingRowsAndKey)
{
    {
        DbResult err;
        auto db = Connection::open(prog.archive(), kPassword, &err);
        ASSERT_TRUE(db);
        for (int i = 1; i <= 30; ++i)
            ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Oggetto) VALUES (?, 'x')", {i}).ok());
    }
    s.p_password = kPassword;
    msgs.answer(MsgAnswer::Yes);
    cmd_menu_database(&owner, s);
    EXPECT_EQ(msgs.texts(),
              QStringList({"Compattare il database?", "Compattazione del database terminata con successo."}));
    EXPECT_EQ(msgs.shown().last().icon, MsgIcon::Information);
    EXPECT_EQ(s.p_path_cartella, prog.path());
    DbResult err;
    auto db = Connection::open(prog.archive(), kPassword, &err);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 30);
    EXPECT_FALSE(opensWith(prog.archive(), ""));
    EXPECT_FALSE(QFile::exists(prog.file("Temp.mdb")));
}

TEST_F(SettingsDialog, DatabaseWithHistoricalArchivesCompactsTheChosenOneOrNothing)
{
    prog.addHistorical("SUB_2019");
    s.p_password = kPassword;
    s.p_sub_use = true;
    s.p_sub_dir = QStringList {"2019"};
    {
        ModalScript script;
        script.then("frm_sel_cartella", [](QDialog* d) { click(d, "CancelButton"); });
        msgs.answer(MsgAnswer::Yes);
        cmd_menu_database(&owner, s);
        EXPECT_TRUE(script.waitDone());
    }
    EXPECT_EQ(msgs.texts(), QStringList({"Compattare il database?"}));
    {
        ModalScript script;
        script.then("frm_sel_cartella", [](QDialog* d) { click(d, "OKButton"); });
        msgs.answer(MsgAnswer::Yes);
        cmd_menu_database(&owner, s);
        EXPECT_TRUE(script.waitDone());
    }
    EXPECT_EQ(msgs.last(), "Compattazione del database terminata con successo.");
    EXPECT_EQ(s.p_path_cartella, "SUB_2019");
}

TEST_F(SettingsDialog, DatabaseFailureIsShownUnderService)
{
    s.p_password = "sbagliata";
    msgs.answer(MsgAnswer::Yes);
    cmd_menu_database(&owner, s);
    ASSERT_EQ(msgs.shown().size(), 2);
    EXPECT_TRUE(msgs.last().startsWith("Errore durante il tentativo di compattazione del database: "));
    EXPECT_TRUE(msgs.last().endsWith("."));
    EXPECT_EQ(msgs.shown().last().title, "Service");
    EXPECT_EQ(msgs.shown().last().icon, MsgIcon::Critical);
    EXPECT_TRUE(opensWith(prog.archive(), kPassword));
}

} // namespace

TEST_F(SettingsDialog, KeepsItsWidthWithLongNamesAndPaths)
{
    const QString ufficio = "Ufficio " + QString(292, 'x');
    const QString percorso = "/srv/rete/" + QString(200, 'p');
    open("[Uffici]\nElenco=Ragioneria;" + ufficio + "\nPath=/srv/r;" + percorso
         + "\n[IMPOSTA]\nPostazione=Server\nPath_back_up=" + percorso + "\nPath_Postazione=" + percorso + "\n");
    QCoreApplication::processEvents();
    const int larghezza = dlg->width();
    // Neither the window's size nor the smallest size it asks of the window manager grows.
    const auto keepsItsWidth = [&](const char* when) {
        QCoreApplication::processEvents();
        EXPECT_EQ(dlg->width(), larghezza) << when;
        EXPECT_LE(dlg->minimumSizeHint().width(), larghezza) << when;
        EXPECT_LE(dlg->minimumWidth(), larghezza) << when;
    };
    keepsItsWidth("opened");
    // The long folder is cut, whole in its tool tip; the server path shows its beginning.
    control<QLabel>(dlg.get(), "lbl_back_up")->repaint();
    EXPECT_EQ(control<QLabel>(dlg.get(), "lbl_back_up")->text(), percorso);
    EXPECT_EQ(control<QLabel>(dlg.get(), "lbl_back_up")->toolTip(), percorso);
    EXPECT_EQ(txt_server()->cursorPosition(), 0);

    showOffices();
    selectRow(1);
    keepsItsWidth("a 300-character office");
    lbl_percorso()->repaint();
    EXPECT_EQ(lbl_percorso()->text(), "Percorso di rete per A.O.O. : " + ufficio);
    EXPECT_EQ(lbl_percorso()->toolTip(), lbl_percorso()->text());
    EXPECT_EQ(txt_percorso()->text(), percorso);

    // A short label has no tool tip.
    selectRow(0);
    lbl_percorso()->repaint();
    EXPECT_EQ(lbl_percorso()->toolTip(), "");

    // The correction box takes the width of its row: the name shows whole.
    click(dlg.get(), "cmd_corr_uff");
    keepsItsWidth("correcting");
    EXPECT_EQ(control<QLineEdit>(dlg.get(), "txt_corr")->text(), "Ragioneria");
    EXPECT_GT(control<QLineEdit>(dlg.get(), "txt_corr")->width(),
              control<QLineEdit>(dlg.get(), "txt_corr")->fontMetrics().horizontalAdvance("Ragioneria") + 20);
    EXPECT_GE(control<QLineEdit>(dlg.get(), "txt_corr")->width(), control<QFrame>(dlg.get(), "frm_corr")->width() / 2);

    TabStrip1()->setCurrentIndex(0);
    keepsItsWidth("back on the first tab");
}

TEST_F(SettingsDialog, TheOfficeFolderIsChosenNeverTyped)
{
    open("[Uffici]\nElenco=A;B\nPath=/srv/a;/srv/b\n[IMPOSTA]\nPostazione=Server\n");
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    showOffices();
    selectRow(0);
    QTest::mouseClick(txt_percorso(), Qt::LeftButton);
    ASSERT_TRUE(txt_percorso()->hasFocus());
    typeInFocus("/srv/x");
    pressKeyInFocus(Qt::Key_Backspace);
    EXPECT_EQ(txt_percorso()->text(), "/srv/a");

    // F2 in the box chooses the folder as "Sfoglia" does, and it is stored with the list.
    QTemporaryDir office;
    touch(QDir(office.path()).filePath("Arch_quadernolo.mdb"));
    msgs.file(QDir(office.path()).filePath("Arch_quadernolo.mdb"));
    pressKeyInFocus(Qt::Key_F2);
    EXPECT_EQ(txt_percorso()->text(), QDir::cleanPath(office.path()));
    click(dlg.get(), "Command3");
    EXPECT_EQ(ini("Uffici", "Path"), QDir::cleanPath(office.path()) + ";/srv/b");
    EXPECT_TRUE(msgs.shown().isEmpty());
}
