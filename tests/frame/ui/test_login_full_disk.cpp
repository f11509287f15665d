// The first login on a program folder whose disk is full: the live archive cannot be made from
// the template, and the clerk is told so instead of a wrong password.
#include "frame_fixture.h"

#include "program_folder.h"
#include "small_disk.h"

#include <cerrno>
#include <cstring>

using namespace quad;
using namespace quad::test;

TEST(Login, AFullDiskAtTheFirstLoginIsToldAndThePasswordIsNotBlamed)
{
    SmallDisk disk(256 * 1024);
    if (!disk.available())
        GTEST_SKIP() << qPrintable(disk.why());
    TempProgram program(false);
    ASSERT_TRUE(QFile::copy(program.file("arch_base.mdb"), disk.filePath("arch_base.mdb")));
    {
        QFile ini(disk.filePath("imposta.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[IMPOSTA]\r\nPostazione=Server\r\n");
    }
    setProgramFolder(disk.path());
    ASSERT_TRUE(disk.fill(QFileInfo(disk.filePath("arch_base.mdb")).size() / 2));

    ScriptedMessages messages;
    QStringList filesAtTheMessage;
    messages.onNext([&](const ShownMessage&) {
        filesAtTheMessage = QDir(disk.path()).entryList(QDir::Files);
        disk.release(); // the clerk makes room before trying again
    });
    messages.answer(MsgAnswer::Yes);
    TestQuadernolo w;
    ModalScript script;
    scriptLogin(script, {kPassword, kPassword});
    EXPECT_TRUE(w.Form_Load());
    ASSERT_TRUE(script.waitDone());

    ASSERT_EQ(messages.shown().size(), 1);
    const ShownMessage told = messages.shown().at(0);
    EXPECT_TRUE(told.text.startsWith("ATTENZIONE !\n\nImpossibile creare l' archivio "
                                     + QDir::toNativeSeparators(disk.filePath("Arch_quadernolo.mdb"))
                                     + " dal modello "))
        << told.text.toStdString();
    EXPECT_TRUE(told.text.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << told.text.toStdString();
    EXPECT_TRUE(told.text.contains("Il disco è pieno")) << told.text.toStdString();
    EXPECT_TRUE(told.text.endsWith("[Tentativo N. 2...]       Riprovo ?")) << told.text.toStdString();
    EXPECT_FALSE(told.text.contains("PASSWORD ERRATA"));
    // Nothing of the copy cut short was left to pass for the archive.
    EXPECT_EQ(filesAtTheMessage, QStringList({"arch_base.mdb", "imposta.ini", "riempitivo.bin"}));

    // With room made, the next attempt creates the archive and the login goes through.
    EXPECT_TRUE(w.state.p_unload);
    DbResult err;
    EXPECT_TRUE(Connection::open(disk.filePath("Arch_quadernolo.mdb"), kPassword, &err)) << err.message.toStdString();
}
