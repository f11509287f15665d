// Start-up of the main window: settings file, login, start menu, historical archives, layout.
#include "frame_fixture.h"

#include "my_func.h"
#include "password_change.h"
#include "program_folder.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <stdexcept>

using namespace quad;
using namespace quad::test;

namespace {

/// The "key=value" lines of a settings file, section by section ("[IMPOSTA]Postazione=Server").
QStringList iniEntries(const QString& content)
{
    QStringList out;
    QString section;
    for (const QString& raw : content.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            section = line;
        else if (!line.isEmpty())
            out << section + line;
    }
    return out;
}

} // namespace

TEST(Startup, MissingSettingsFileIsCreatedWithItsFiveKeys)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));

    const QStringList entries = iniEntries(program.readFile("imposta.ini"));
    EXPECT_EQ(
        entries,
        QStringList({"[Uffici]Elenco=", "[IMPOSTA]Postazione=Server", "[IMPOSTA]Path_Postazione=" + programFolder(),
                     "[IMPOSTA]Quad_rete=0", "[IMPOSTA]Colonne_grid=" + QString(34, QLatin1Char('X'))}));
    EXPECT_EQ(w.state.p_postazione, "Server");
    EXPECT_EQ(w.state.p_chk_back_up, "0");
    EXPECT_TRUE(w.state.p_path_back_up.isEmpty());
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(Startup, ExistingSettingsFileWithoutPostazioneIsNotCompleted)
{
    TempProgram program;
    program.writeIni("[IMPOSTA]\nQuad_rete=1\n");
    const QString before = program.readFile("imposta.ini");
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    EXPECT_EQ(w.state.p_postazione, "");
    EXPECT_EQ(w.state.p_quad_rete, "1");
    EXPECT_EQ(w.state.p_eln_colonne, QString(34, QLatin1Char('X')));
    EXPECT_EQ(program.readFile("imposta.ini"), before);
}

TEST(Startup, ASettingsFileNamedInAnotherCaseIsTheOneUsed)
{
    TempProgram program;
    {
        QFile f(program.file("IMPOSTA.INI"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Uffici]\r\nElenco=A;B\r\n[IMPOSTA]\r\nPostazione=Client\r\n");
    }
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    EXPECT_EQ(w.state.p_postazione, "Client");
    EXPECT_EQ(w.state.p_eln_uffici, "A;B");
    // Not completed, and no second settings file beside it.
    EXPECT_EQ(QDir(program.path()).entryList({"*.ini"}, QDir::Files, QDir::Name), QStringList("IMPOSTA.INI"));
    EXPECT_FALSE(program.readFile("IMPOSTA.INI").contains("Colonne_grid"));

    // What the program writes later goes to the same file.
    openRegister(w);
    EXPECT_FALSE(findAction(&w, "tb_insert")->isEnabled());
    showGrid(w);
    grid(w)->horizontalHeader()->resizeSection(0, 50);
    EXPECT_TRUE(program.readFile("IMPOSTA.INI").contains("[GRID_WIDTH]"));
    EXPECT_EQ(QDir(program.path()).entryList({"*.ini"}, QDir::Files, QDir::Name), QStringList("IMPOSTA.INI"));
}

TEST(Login, DialogIsMaskedAndEnterConfirms)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ModalScript script;
    bool masked = false;
    QString label;
    QString announced;
    script.then("frm_password", [&](QDialog* d) {
        auto* box = control<QLineEdit>(d, "txt_password");
        masked = box->echoMode() == QLineEdit::Password;
        label = control<QLabel>(d, "Label1")->text();
        announced = announcedName(box);
        typeInto(d, "txt_password", kPassword);
        pressKey(d, "txt_password", Qt::Key_Return);
    });
    EXPECT_TRUE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(script.titles(), QStringList("Quadernolo - Inserimento password"));
    EXPECT_TRUE(masked);
    EXPECT_EQ(label, "Inserire la password di accesso ");
    EXPECT_EQ(announced, label);
    EXPECT_TRUE(w.state.p_unload);
    EXPECT_EQ(w.state.p_password, kPassword);
    EXPECT_EQ(w.state.p_sessione, "Menu");
    EXPECT_EQ(w.ended, 0);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(Login, TwoRetryQuestionsThenTheThirdFailureEndsTheProgram)
{
    TempProgram program;
    ScriptedMessages messages;
    messages.answer(MsgAnswer::Yes).answer(MsgAnswer::Yes);
    TestQuadernolo w;
    ModalScript script;
    scriptLogin(script, {"uno", "Quadernolo", "quadernolo "});
    EXPECT_FALSE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());

    ASSERT_EQ(messages.shown().size(), 2);
    const ShownMessage first = messages.shown().at(0);
    EXPECT_EQ(first.title, "Errore password");
    EXPECT_EQ(first.text, "PASSWORD ERRATA ! \n\n[Tentativo N. 2...]       Riprovo ?\n\n");
    EXPECT_EQ(first.icon, MsgIcon::Information);
    EXPECT_EQ(first.buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown().at(1).text, "PASSWORD ERRATA ! \n\n[Ultimo tentativo...]       Riprovo ?\n\n");
    EXPECT_EQ(w.ended, 1);
    EXPECT_FALSE(w.state.p_unload);
}

TEST(Login, NoAtTheRetryQuestionEndsAtOnce)
{
    TempProgram program;
    ScriptedMessages messages;
    messages.answer(MsgAnswer::No);
    TestQuadernolo w;
    ModalScript script;
    scriptLogin(script, {"sbagliata"});
    EXPECT_FALSE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(w.ended, 1);

    // The second retry question answered No ends it too.
    ScriptedMessages again;
    again.answer(MsgAnswer::Yes).answer(MsgAnswer::No);
    TestQuadernolo w2;
    ModalScript script2;
    scriptLogin(script2, {"a", "b"});
    EXPECT_FALSE(w2.Form_Load());
    ASSERT_TRUE(script2.waitDone());
    EXPECT_EQ(again.shown().size(), 2);
    EXPECT_EQ(w2.ended, 1);
}

TEST(Login, RightPasswordAtTheSecondAttemptReachesTheStartMenu)
{
    TempProgram program;
    ScriptedMessages messages;
    messages.answer(MsgAnswer::Yes);
    TestQuadernolo w;
    ModalScript script;
    scriptLogin(script, {"", kPassword});
    EXPECT_TRUE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(w.state.p_unload);
    EXPECT_EQ(w.ended, 0);
}

TEST(Login, ClosingTheDialogKeepsThePreviousPassword)
{
    TempProgram program;
    ScriptedMessages messages;
    messages.answer(MsgAnswer::Yes).answer(MsgAnswer::Yes);
    TestQuadernolo w;
    ModalScript script;
    scriptLogin(script, {"sbagliata"});
    // Closed with the window's button: the test open runs again with "sbagliata".
    script.then("frm_password", [](QDialog* d) {
        typeInto(d, "txt_password", kPassword);
        d->reject();
    });
    scriptLogin(script, {kPassword});
    EXPECT_TRUE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(messages.shown().size(), 2);
    EXPECT_EQ(w.state.p_password, kPassword);
}

TEST(Login, OnlyTheTemplatePresentTheFirstAttemptCreatesTheLiveArchive)
{
    TempProgram program(false);
    ASSERT_FALSE(QFile::exists(program.archive()));
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    EXPECT_TRUE(QFile::exists(program.archive()));
    DbResult err;
    EXPECT_TRUE(Connection::open(program.archive(), kPassword, &err)) << err.message.toStdString();
}

TEST(Login, APasswordChangeCutShortTakesThePasswordTypedEverywhere)
{
    TempProgram program;
    const QString historical = program.addHistorical("SUB_2019");
    WorkingState s;
    s.p_password = kPassword;
    s.p_sub_use = true;
    s.p_sub_dir = QStringList {"2019"};
    // The station stopped after the live archive and the template took the new password.
    setPasswordChangeStepForTests([](const QString& step) {
        if (step == "archivio 1")
            throw std::runtime_error("interrotto");
    });
    EXPECT_THROW((void)cambia_password_archivi(s, "nuova"), std::runtime_error);
    setPasswordChangeStepForTests(nullptr);

    ScriptedMessages messages;
    TestQuadernolo w;
    ModalScript script;
    scriptLogin(script, {"nuova"});
    EXPECT_TRUE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(),
              "ATTENZIONE !\n\nUn cambio della password era rimasto interrotto: ora tutti gli "
              "archivi si aprono con la password inserita.");
    EXPECT_TRUE(w.state.p_unload);
    DbResult err;
    EXPECT_TRUE(Connection::open(historical, "nuova", &err)) << err.message.toStdString();
    EXPECT_TRUE(QDir(program.path()).entryList({"cambio_password*"}).isEmpty());
}

TEST(Login, APasswordChangeCutShortLeavesNoFileOfItsRecordBehind)
{
    TempProgram program;
    WorkingState s;
    s.p_password = kPassword;
    setPasswordChangeStepForTests([](const QString& step) {
        if (step == "archivio 0")
            throw std::runtime_error("interrotto");
    });
    EXPECT_THROW((void)cambia_password_archivi(s, "nuova"), std::runtime_error);
    setPasswordChangeStepForTests(nullptr);
    // What a change killed while it wrote its record leaves beside it: its files under temporary
    // names, with their journals.
    const QStringList avanzi {"cambio_password_vecchia.db.k3P0aZ.tmp", "cambio_password_vecchia.db.k3P0aZ.tmp-journal",
                              "cambio_password_nuova.db.Q7x2Lm.tmp", "cambio_password_nuova.db.Q7x2Lm.tmp-journal"};
    for (const QString& nome : avanzi) {
        QFile f(program.file(nome));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("avanzo");
    }
    ASSERT_EQ(QDir(program.path()).entryList({"cambio_password*"}).size(), 6);

    ScriptedMessages messages;
    TestQuadernolo w;
    ModalScript script;
    scriptLogin(script, {kPassword});
    EXPECT_TRUE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());
    EXPECT_TRUE(messages.last().startsWith("ATTENZIONE !\n\nUn cambio della password era rimasto interrotto"));
    EXPECT_EQ(QDir(program.path()).entryList({"cambio_password*"}), QStringList());
}

TEST(Login, AChangeKilledWhileItWroteItsFirstRecordFileLeavesNothingBehind)
{
    TempProgram program;
    // Only the first record file had begun, under its temporary name, with its journal.
    const QStringList avanzi {"cambio_password_nuova.db.k3P0aZ.tmp", "cambio_password_nuova.db.k3P0aZ.tmp-journal"};
    for (const QString& nome : avanzi) {
        QFile f(program.file(nome));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("avanzo");
    }
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(QDir(program.path()).entryList({"cambio_password*"}), QStringList());
}

TEST(Login, NeitherArchiveNorTemplateFailsEveryAttempt)
{
    TempProgram program(false);
    QFile::remove(program.file("arch_base.mdb"));
    ScriptedMessages messages;
    messages.answer(MsgAnswer::Yes).answer(MsgAnswer::Yes);
    TestQuadernolo w;
    ModalScript script;
    scriptLogin(script, {kPassword, kPassword, kPassword});
    EXPECT_FALSE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(messages.shown().size(), 2);
    EXPECT_EQ(w.ended, 1);
    EXPECT_FALSE(QFile::exists(program.archive()));
}

TEST(StartMenu, ShowsFourButtonsAndTheArchiveButton)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    EXPECT_EQ(w.windowTitle(), "Gestione quadernolo");
    EXPECT_EQ(w.objectName(), "Quadernolo");
    const QStringList captions = {"Impostazioni", "Database", "", "Storico", "Esci", "Manuale"};
    const QStringList tips = {"Impostazione programma",   "Compatta gli archivi", "",
                              "Consulta archivi storici", "Termina il programma", "Manuale d' uso"};
    EXPECT_EQ(w.findChild<QToolButton*>("cmd_menu_2"), nullptr);
    for (int i : {0, 1, 3, 4, 5}) {
        auto* b = control<QAbstractButton>(&w, QStringLiteral("cmd_menu_%1").arg(i));
        ASSERT_TRUE(b);
        EXPECT_EQ(b->text(), captions[i]);
        EXPECT_EQ(b->toolTip(), tips[i]);
        EXPECT_EQ(b->isVisible(), i != 3) << i;
    }
    EXPECT_TRUE(shown(w, "Frame1")->isVisible());
    EXPECT_TRUE(shown(w, "frm_menu")->isVisible());
    EXPECT_EQ(control<QPushButton>(&w, "Command1")->text().trimmed(), "ARCHIVIO");
    EXPECT_EQ(control<QPushButton>(&w, "Command1")->toolTip(), "Accedi all' archivio");
    EXPECT_FALSE(control<QToolBar>(&w, "Toolbar1")->isVisible());
    EXPECT_FALSE(control<QToolBar>(&w, "Toolbar2")->isVisible());
    EXPECT_FALSE(grid(w)->isVisible());
    EXPECT_FALSE(shown(w, "Pic_mask")->isVisible());
    EXPECT_FALSE(w.findChild<QTimer*>("Timer1")->isActive());
    EXPECT_FALSE(w.findChild<QTimer*>("Timer2")->isActive());
    // The focus sink lies out of sight.
    EXPECT_LT(control<QPushButton>(&w, "cmd_focus")->x() + control<QPushButton>(&w, "cmd_focus")->width(), 0);
}

TEST(StartMenu, ToolBarsCarryTheirKeysCaptionsAndTips)
{
    TempProgram program;
    TestQuadernolo w;
    const QStringList keys = {"tb_modo",        "tb_insert",  "tb_trova",     "tb_stampa",   "tb_notifica",
                              "tb_statistiche", "tb_scanner", "tb_fascicoli", "tb_add_tree", "tb_esci"};
    const QStringList captions = {"Modalità",    "Nuovo",   "Cerca",     "Stampa",  "Notifica",
                                  "Statistiche", "Scanner", "Fascicoli", "Collega", "Esci"};
    for (int i = 1; i <= 10; ++i) {
        QAction* a = strumenti(w)->Toolbar1_Buttons(i);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->objectName(), keys[i - 1]);
        EXPECT_EQ(a->text(), captions[i - 1]);
        EXPECT_FALSE(a->icon().isNull()) << i;
    }
    EXPECT_EQ(strumenti(w)->Toolbar1_Buttons(1)->toolTip(), "Visualizza modalità maschera");
    EXPECT_EQ(strumenti(w)->Toolbar1_Buttons(10)->toolTip(), "Termina ed esci");
    EXPECT_EQ(strumenti(w)->Toolbar1_Buttons(11), nullptr);
    EXPECT_EQ(strumenti(w)->Toolbar2_Buttons(1)->objectName(), "tb_filtro_off");
    EXPECT_TRUE(strumenti(w)->Toolbar2_Buttons(1)->isCheckable());
    EXPECT_EQ(strumenti(w)->Toolbar2_Buttons(2)->toolTip(), "Manuale d' uso");
    EXPECT_EQ(strumenti(w)->chiavi_immagini().size(), 20);
    EXPECT_EQ(strumenti(w)->chiavi_immagini()[4], "ing_find");
    for (int i = 0; i <= 26; ++i)
        EXPECT_EQ(casella(w, i)->objectName(), QStringLiteral("txt_mask1_%1").arg(i));
}

TEST(StartMenu, HistoricalFoldersAreCollectedFromFoldersOnly)
{
    TempProgram program;
    program.addHistorical("SUB_2004");
    QDir(program.path()).mkdir("sub_Vecchio");
    QFile note(program.file("SUB_note.txt"));
    ASSERT_TRUE(note.open(QIODevice::WriteOnly));
    note.close();
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    EXPECT_TRUE(w.state.p_sub_use);
    EXPECT_EQ(w.state.p_sub_dir, QStringList({"2004", "VECCHIO"}));
}

TEST(StartMenu, NoHistoricalFolder)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    EXPECT_FALSE(w.state.p_sub_use);
    EXPECT_TRUE(w.state.p_sub_dir.isEmpty());
}

TEST(StartMenu, LogoShownOnlyWhenPresent)
{
    {
        TempProgram program;
        ScriptedMessages messages;
        TestQuadernolo w;
        ASSERT_TRUE(startWindow(w));
        EXPECT_TRUE(control<QLabel>(&w, "Img_logo")->pixmap().isNull());
        EXPECT_TRUE(messages.shown().isEmpty());
    }
    TempProgram program;
    QImage logo(40, 30, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(program.file("Logo.BMP"), "BMP"));
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    EXPECT_FALSE(control<QLabel>(&w, "Img_logo")->pixmap().isNull());
}

TEST(StartMenu, ManualAndExit)
{
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    ASSERT_TRUE(startWindow(w));
    QStringList opened;
    setDocumentOpener([&](const QString& file) {
        opened << file;
        return true;
    });
    click(&w, "cmd_menu_5");
    setDocumentOpener([](const QString&) { return false; });
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith("/manuale quadernolo.chm"));

    // "Impostazioni" opens the settings dialog; "Database" asks before compacting; neither ends the program.
    {
        ModalScript script;
        script.then("frm_mod_pass", [](QDialog* d) { d->close(); });
        click(&w, "cmd_menu_0");
        EXPECT_TRUE(script.waitDone());
    }
    messages.answer(MsgAnswer::No);
    click(&w, "cmd_menu_1");
    EXPECT_EQ(messages.last(), "Compattare il database?");
    EXPECT_EQ(w.ended, 0);
    click(&w, "cmd_menu_4");
    EXPECT_EQ(w.ended, 1);
}

TEST(Layout, WindowNeverShrinksBelowItsMinimum)
{
    TempProgram program;
    TestQuadernolo w;
    w.show();
    w.resize(60, 40);
    QCoreApplication::processEvents();
    EXPECT_GE(w.width(), tw(2500));
    EXPECT_GE(w.height(), tw(2500));
    EXPECT_EQ(tw(2500), 167);
}

TEST(Layout, StartFrameScrollsWhenTheWindowIsTooLow)
{
    TempProgram program;
    TestQuadernolo w;
    w.show();
    const int barra = shown(w, "pic_tool_orizz")->height();
    w.resize(700, shown(w, "Frame1")->height() - 30);
    QCoreApplication::processEvents();
    const int ch = w.centralWidget()->height();
    ASSERT_LT(ch - barra, shown(w, "Frame1")->height());
    EXPECT_TRUE(control<QScrollBar>(&w, "VScroll1")->isVisible());
    EXPECT_EQ(control<QScrollBar>(&w, "VScroll1")->maximum(), shown(w, "Frame1")->height() - ch);
    EXPECT_EQ(control<QScrollBar>(&w, "VScroll1")->x() + control<QScrollBar>(&w, "VScroll1")->width(),
              w.centralWidget()->width());
    EXPECT_TRUE(control<QPushButton>(&w, "cmd_scroll")->isVisible());
    control<QScrollBar>(&w, "VScroll1")->setValue(control<QScrollBar>(&w, "VScroll1")->maximum());
    EXPECT_EQ(shown(w, "Frame1")->y(), -control<QScrollBar>(&w, "VScroll1")->maximum());

    w.resize(700, 600);
    QCoreApplication::processEvents();
    EXPECT_FALSE(control<QScrollBar>(&w, "VScroll1")->isVisible());
    EXPECT_FALSE(control<QPushButton>(&w, "cmd_scroll")->isVisible());
    EXPECT_EQ(shown(w, "Frame1")->x(), (w.centralWidget()->width() - shown(w, "Frame1")->width()) / 2);
    EXPECT_EQ(shown(w, "Frame1")->y(), (w.centralWidget()->height() - shown(w, "Frame1")->height()) / 2);
    // Esci and Manuale stay packed against the strip's right edge.
    EXPECT_EQ(control<QToolButton>(&w, "cmd_menu_4")->x() + control<QToolButton>(&w, "cmd_menu_4")->width(),
              shown(w, "frm_menu")->width() - tw(20));
    EXPECT_EQ(control<QToolButton>(&w, "cmd_menu_5")->x() + control<QToolButton>(&w, "cmd_menu_5")->width(),
              control<QToolButton>(&w, "cmd_menu_4")->x());
}
