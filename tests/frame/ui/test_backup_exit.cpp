// The back-up the clerk is offered at the end of the program, and the start menu's compaction,
// as the clerk meets them: a damaged archive, a back-up folder that leads to the archives, a
// password accepted while the register was open.
#include "frame_fixture.h"

#include "backup.h"
#include "file_checks.h"

#include <QTemporaryDir>
#include <QTest>

using namespace quad;
using namespace quad::test;

namespace {

/// Starts the window with the back-up at exit switched on into folder.
void startWithBackUp(TempProgram& program, TestQuadernolo& w, const QString& folder)
{
    program.writeIni("[IMPOSTA]\nPostazione=Server\nCheck_back_up=1\nPath_back_up=" + folder + "\n");
    ASSERT_TRUE(startWindow(w));
}

/// "Esci" at the start menu, answering Yes to the back-up question.
void exitWithBackUp(TestQuadernolo& w, ScriptedMessages& messages)
{
    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(click(&w, "cmd_menu_4"));
    EXPECT_EQ(w.ended, 1);
    ASSERT_FALSE(messages.shown().isEmpty());
    EXPECT_EQ(messages.shown().at(0).text, "SALVATAGGIO DATI\n\nEffettuo il back up dell' archivio ?");
}

} // namespace

TEST(ExitBackUp, ADamagedArchiveNeverReplacesTheEarlierCopyAndTheClerkIsToldWhich)
{
    TempProgram program;
    {
        // Entries enough that the middle of the file is theirs.
        DbResult err;
        auto db = Connection::open(program.archive(), kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        for (int i = 1; i <= 150; ++i)
            ASSERT_TRUE(
                db->exec("INSERT INTO entrata (Progressivo, Oggetto) VALUES (?, ?)", {i, QString(300, 'o')}).ok());
    }
    QTemporaryDir folder;
    const QString copy = QDir(folder.path()).filePath("Arch_quadernolo.mdb");
    ASSERT_TRUE(QFile::copy(program.archive(), copy));
    const QByteArray good = bytesOf(copy);
    {
        // A page in the middle goes bad.
        QFile raw(program.archive());
        ASSERT_TRUE(raw.open(QIODevice::ReadWrite));
        ASSERT_TRUE(raw.seek(raw.size() / 4096 / 2 * 4096 + 1000));
        raw.write(QByteArray(64, '\x5a'));
    }
    ScriptedMessages messages;
    TestQuadernolo w;
    startWithBackUp(program, w, folder.path());
    exitWithBackUp(w, messages);

    ASSERT_EQ(messages.shown().size(), 2) << messages.texts().join("|").toStdString();
    const QString beside = QDir(folder.path()).filePath("Arch_quadernolo_non_verificato.mdb");
    EXPECT_EQ(messages.last(),
              "ATTENZIONE: l' archivio " + QDir::toNativeSeparators(program.archive())
                  + " non è stato letto.\nArchivio danneggiato: una sua pagina non si legge.\n"
                    "Non potendo essere verificato, è stato copiato così com' è in "
                  + QDir::toNativeSeparators(beside) + ".\nLa copia precedente non è stata sostituita e resta in "
                  + QDir::toNativeSeparators(copy) + ".");
    EXPECT_EQ(bytesOf(copy), good);
    EXPECT_EQ(bytesOf(beside), bytesOf(program.archive()));
}

TEST(ExitBackUp, IntoTheProgramFolderItIsRefusedAndTheArchiveStaysAsItWas)
{
    TempProgram program;
    seedRegister(program.archive(), 2);
    const QByteArray before = bytesOf(program.archive());
    ScriptedMessages messages;
    TestQuadernolo w;
    startWithBackUp(program, w, program.path());
    exitWithBackUp(w, messages);

    ASSERT_EQ(messages.shown().size(), 2);
    EXPECT_EQ(messages.last(),
              "ATTENZIONE\n\nIl back up non è stato effettuato: nella cartella "
                  + QDir::toNativeSeparators(program.path()) + " la copia prenderebbe il posto dell' archivio "
                  + QDir::toNativeSeparators(program.archive())
                  + " stesso.\n\nScegliere per il back up un' altra cartella.");
    EXPECT_EQ(messages.shown().at(1).title, "Penlio 4");
    EXPECT_EQ(messages.shown().at(1).icon, MsgIcon::Exclamation);
    EXPECT_EQ(bytesOf(program.archive()), before);
}

TEST(ExitBackUp, APasswordAcceptedWhileTheRegisterWasOpenCompactsAndCopiesThatArchive)
{
    TempProgram program;
    seedRegister(program.archive(), 3);
    QTemporaryDir folder;
    ScriptedMessages messages;
    TestQuadernolo w;
    startWithBackUp(program, w, folder.path());
    openRegister(w);
    showGrid(w);
    {
        // Another station changes the password while the register is open here.
        DbResult err;
        auto altra = Connection::open(program.archive(), kPassword, &err);
        ASSERT_TRUE(altra && altra->rekey("nuova").ok());
    }
    {
        ModalScript script;
        scriptLogin(script, {"nuova"});
        grid(w)->setCurrentIndex(grid(w)->model()->index(1, 0));
        ASSERT_TRUE(script.waitDone());
    }
    ASSERT_TRUE(trigger(&w, "tb_esci"));
    ASSERT_TRUE(messages.shown().isEmpty()) << messages.texts().join("|").toStdString();
    EXPECT_EQ(w.state.p_password, "nuova");

    messages.answer(MsgAnswer::Yes);
    ASSERT_TRUE(click(&w, "cmd_menu_1"));
    EXPECT_EQ(messages.last(), "Compattazione del database terminata con successo.");
    messages.clear();
    exitWithBackUp(w, messages);
    EXPECT_EQ(messages.texts(), QStringList {"SALVATAGGIO DATI\n\nEffettuo il back up dell' archivio ?"});

    // A checked copy, which the archive's own password opens.
    const QString copy = QDir(folder.path()).filePath("Arch_quadernolo.mdb");
    DbResult err;
    auto db = Connection::open(copy, "nuova", &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 3);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList {"Arch_quadernolo.mdb"});
}

TEST(ExitBackUp, AHistoricalArchiveOpenedWithItsOwnPasswordIsCopiedAndChecked)
{
    TempProgram program;
    const QString storico = program.addHistorical("SUB_STORICO");
    seedRegister(storico, 2);
    {
        DbResult err;
        auto db = Connection::open(storico, kPassword, &err);
        ASSERT_TRUE(db && db->rekey("storica").ok());
    }
    QTemporaryDir folder;
    ScriptedMessages messages;
    TestQuadernolo w;
    startWithBackUp(program, w, folder.path());
    {
        ModalScript script;
        script.then("frm_sel_cartella", [](QDialog* d) {
            auto* list = control<QListWidget>(d, "List1");
            const auto items = list->findItems("STORICO", Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items[0]).center());
            click(d, "OKButton");
        });
        scriptLogin(script, {"storica"});
        openRegister(w);
        ASSERT_TRUE(script.waitDone());
    }
    ASSERT_TRUE(trigger(&w, "tb_esci"));
    exitWithBackUp(w, messages);
    EXPECT_EQ(messages.texts(), QStringList {"SALVATAGGIO DATI\n\nEffettuo il back up dell' archivio ?"});

    const QString copy = QDir(folder.path()).filePath("SUB_STORICO/arch_quadernolo.mdb");
    DbResult err;
    auto db = Connection::open(copy, "storica", &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 2);
    EXPECT_EQ(QDir(QFileInfo(copy).path()).entryList(QDir::Files), QStringList {"arch_quadernolo.mdb"});
}
