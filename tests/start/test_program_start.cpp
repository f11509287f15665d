// The program's own start, in an application that nothing but the program's start-up has set up:
// what it installs for every window is there because the program put it there.
#include "application_setup.h"
#include "gui_helpers.h"
#include "program.h"
#include "temp_program.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quad;
using namespace quad::test;

namespace {

/// Return typed on the focused button of a dialog whose default is another: the caption of the
/// button it pressed.
QString premutoDaInvio()
{
    QWidget proprietario;
    QDialog dialogo(&proprietario);
    auto* predefinito = new QPushButton(QStringLiteral("predefinito"), &dialogo);
    auto* altro = new QPushButton(QStringLiteral("altro"), &dialogo);
    altro->move(0, 40);
    // As the program's buttons: a focused one does not become the default by Qt's own rule.
    altro->setAutoDefault(false);
    predefinito->setAutoDefault(false);
    predefinito->setDefault(true);
    QString premuto;
    QObject::connect(predefinito, &QPushButton::clicked, [&] { premuto = predefinito->text(); });
    QObject::connect(altro, &QPushButton::clicked, [&] { premuto = altro->text(); });
    dialogo.show();
    altro->setFocus();
    QTest::keyClick(altro, Qt::Key_Return);
    return premuto;
}

} // namespace

TEST(ProgramStart, InstallsTheKeysEveryWindowTakes)
{
    // Before the start, Return presses a dialog's default button, as Qt has it.
    ASSERT_EQ(premutoDaInvio(), "predefinito");

    TempProgram program;
    ModalScript script;
    script.then("frm_password", [](QDialog* d) {
        typeInto(d, "txt_password", "sbagliata");
        click(d, "OKButton");
    });
    // "PASSWORD ERRATA !": not tried again, the program ends at its login.
    QTimer risposta;
    QObject::connect(&risposta, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::No)->click();
    });
    risposta.start(10);
    EXPECT_EQ(esegui_programma(*qApp), 0);
    EXPECT_TRUE(script.waitDone());

    // The program's start made Return press the focused button of every dialog.
    EXPECT_EQ(premutoDaInvio(), "altro");
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareItalianEnvironment();
    QApplication app(argc, argv);
    setUpApplication(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
