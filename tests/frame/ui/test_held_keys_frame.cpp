// A key held down on a button of the start menu or of "Impostazioni" as the X server delivers it
// (release and press pairs with one time stamp, most not flagged as repeats): the box the first
// press opened is answered only by a new press, and the button is pressed once.
#include "file_checks.h"
#include "frame_fixture.h"
#include "x_keys.h"

#include "my_func.h"
#include "program_folder.h"

#include <QListWidget>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

using namespace quad;
using namespace quad::test;

namespace {

class HeldKeysFrameTest : public ::testing::Test
{
protected:
    /// Opens "Impostazioni" from the start menu and runs action in it, the dialog active.
    void impostazioni(const std::function<void(QDialog*)>& action)
    {
        ModalScript script;
        script.then("frm_mod_pass", [&action](QDialog* d) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(d));
            action(d);
        });
        ASSERT_TRUE(click(&w, "cmd_menu_0"));
        ASSERT_TRUE(script.waitDone(20000));
    }

    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
};

} // namespace

TEST_F(HeldKeysFrameTest, AReturnHeldOnRimuoviVoceRemovesOneOfficeOnANewPress)
{
    program.writeIni("[Uffici]\nElenco=A;B;C\nPath=\n[IMPOSTA]\nPostazione=Server\n");
    ASSERT_TRUE(startWindow(w));
    QStringList rimaste;
    impostazioni([&](QDialog* d) {
        control<QTabBar>(d, "TabStrip1")->setCurrentIndex(2);
        control<QListWidget>(d, "List1")->setCurrentRow(0);
        EXPECT_EQ(holdOnButton(control<QPushButton>(d, "cmd_del_uff"), Qt::Key_Return, "\r"),
                  QStringList("Elimino la voce [A] dall' elenco ?"));
        for (int i = 0; i < control<QListWidget>(d, "List1")->count(); ++i)
            rimaste << control<QListWidget>(d, "List1")->item(i)->text();
        control<QTabBar>(d, "TabStrip1")->setCurrentIndex(0);
        click(d, "Command4");
    });
    EXPECT_EQ(rimaste, QStringList({"B", "C"}));
    EXPECT_EQ(leggi_ini(iniPath(), "Uffici", "Elenco", "<manca>"), "B;C");
}

TEST_F(HeldKeysFrameTest, AReturnHeldOnRegistraLeavesThePasswordChangesResultToBeRead)
{
    program.writeIni("[IMPOSTA]\nPostazione=Server\n");
    ASSERT_TRUE(startWindow(w));
    impostazioni([&](QDialog* d) {
        control<QTabBar>(d, "TabStrip1")->setCurrentIndex(1);
        typeInto(d, "Text4", kPassword);
        typeInto(d, "Text2", "nuova");
        typeInto(d, "Text3", "nuova");
        EXPECT_EQ(holdOnButton(control<QPushButton>(d, "Command1"), Qt::Key_Return, "\r"),
                  QStringList("Modifica password effettuata !"));
    });
    EXPECT_TRUE(opensWith(program.archive(), "nuova"));
    EXPECT_EQ(w.state.p_password, "nuova");
}

TEST_F(HeldKeysFrameTest, ASpaceHeldOnDatabaseLeavesTheQuestionAndTheResultToNewPresses)
{
    ASSERT_TRUE(startWindow(w));
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(holdOnButton(control<QToolButton>(&w, "cmd_menu_1"), Qt::Key_Space, " "),
              QStringList({"Compattare il database?", "Compattazione del database terminata con successo."}));
    EXPECT_TRUE(opensWith(program.archive(), kPassword));
}
