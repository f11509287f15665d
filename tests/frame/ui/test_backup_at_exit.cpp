// The end of the program at the start menu: the back-up of the archives, when it is switched on.
#include "frame_fixture.h"

#include <QDir>
#include <QTemporaryDir>

using namespace quad;
using namespace quad::test;

namespace {

class BackupAtExit : public ::testing::Test
{
protected:
    void scriviImpostazioni(const QString& percorso, const char* attivo = "1")
    {
        program.writeIni(QString("[IMPOSTA]\nPostazione=Server\nCheck_back_up=%1\nPath_back_up=%2\n")
                             .arg(QLatin1String(attivo), percorso));
    }

    /// Entries in an archive opened with the password.
    int entrate(const QString& file, const QByteArray& key = QByteArray(kPassword))
    {
        DbResult err;
        auto db = Connection::open(file, key, &err);
        if (!db)
            return -1;
        return db->scalar("SELECT count(*) FROM entrata", {}, &err).toInt();
    }

    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
    QTemporaryDir copie;
};

} // namespace

TEST_F(BackupAtExit, CopiesTheLiveArchiveAndEveryHistoricalOne)
{
    seedRegister(program.archive(), 3);
    seedRegister(program.addHistorical("SUB_2019"), 2);
    seedRegister(program.addHistorical("Sub_2020"), 1);
    // A copy of an earlier back-up is replaced.
    QDir(copie.path()).mkdir("SUB_2019");
    {
        QFile vecchia(QDir(copie.path()).filePath("SUB_2019/Arch_quadernolo.mdb"));
        ASSERT_TRUE(vecchia.open(QIODevice::WriteOnly));
        vecchia.write("copia vecchia");
    }
    scriviImpostazioni(copie.path());
    ASSERT_TRUE(startWindow(w));
    messages.answer(MsgAnswer::Yes);
    w.close();

    EXPECT_EQ(w.ended, 1);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "SALVATAGGIO DATI\n\nEffettuo il back up dell' archivio ?");
    EXPECT_EQ(messages.shown().last().title, "Penlio 4");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::None);
    EXPECT_EQ(messages.shown().last().buttons, MsgButtons::YesNo);

    const QDir dir(copie.path());
    EXPECT_EQ(entrate(dir.filePath("Arch_quadernolo.mdb")), 3);
    EXPECT_EQ(entrate(dir.filePath("SUB_2019/Arch_quadernolo.mdb")), 2);
    EXPECT_EQ(entrate(dir.filePath("SUB_2020/arch_quadernolo.mdb")), 1);
    // The copies are keyed as the archives: no other password opens them.
    EXPECT_EQ(entrate(dir.filePath("Arch_quadernolo.mdb"), "sbagliata"), -1);
}

TEST_F(BackupAtExit, AnEmptyPathIsReportedAndNothingIsCopied)
{
    scriviImpostazioni("   ");
    ASSERT_TRUE(startWindow(w));
    messages.answer(MsgAnswer::Yes);
    w.close();
    EXPECT_EQ(w.ended, 1);
    ASSERT_EQ(messages.shown().size(), 2);
    EXPECT_EQ(messages.last(), "ATTENZIONE\n\nIl path per il back up non è stato non impostato !");
    EXPECT_EQ(messages.shown().last().title, "Penlio 4");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Information);
}

TEST_F(BackupAtExit, AMissingFolderStopsTheBackUpWithItsError)
{
    scriviImpostazioni(QDir(copie.path()).filePath("non_esiste"));
    ASSERT_TRUE(startWindow(w));
    messages.answer(MsgAnswer::Yes);
    w.close();
    EXPECT_EQ(w.ended, 1);
    ASSERT_EQ(messages.shown().size(), 2);
    EXPECT_TRUE(messages.last().startsWith("Attenzione errore nella copia del file\nErrore n. 76\n"));
    EXPECT_EQ(messages.shown().last().title, "Quadernolo");
    EXPECT_FALSE(QDir(copie.path()).exists("non_esiste"));
}

TEST_F(BackupAtExit, OfferedOnlyWhenSwitchedOnAndOnlyAtTheEnd)
{
    scriviImpostazioni(copie.path(), "0");
    ASSERT_TRUE(startWindow(w));
    // Leaving the register is no end of the program.
    openRegister(w);
    w.close();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(w.ended, 0);
    // Switched off: the program ends without a question.
    w.close();
    EXPECT_EQ(w.ended, 1);
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(copie.path()).filePath("Arch_quadernolo.mdb")));

    // Answered No: nothing is copied.
    TestQuadernolo altra;
    scriviImpostazioni(copie.path());
    ASSERT_TRUE(startWindow(altra));
    messages.answer(MsgAnswer::No);
    altra.close();
    EXPECT_EQ(altra.ended, 1);
    EXPECT_FALSE(QFile::exists(QDir(copie.path()).filePath("Arch_quadernolo.mdb")));
}
