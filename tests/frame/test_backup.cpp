#include "backup.h"
#include "file_checks.h"
#include "full_disk.h"
#include "program_folder.h"
#include "small_disk.h"
#include "temp_program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quad;
using quad::test::bytesOf;
using quad::test::modeOf;

namespace {

class BackupTest : public ::testing::Test
{
protected:
    test::TempProgram prog;
    QTemporaryDir backupDir;

    void SetUp() override
    {
        prog.addHistorical("SUB_2019");
        prog.addHistorical("SUB_2020");
        mark(prog.archive(), "live 1");
        mark(sub("2019"), "2019 1");
        mark(sub("2020"), "2020 1");
    }

    QString sub(const QString& name) const { return QDir(prog.file("SUB_" + name)).filePath("Arch_quadernolo.mdb"); }
    QString copy(const QString& relative) const { return QDir(backupDir.path()).filePath(relative); }

    /// Writes a marker row that tells the archives (and their generations) apart.
    static void mark(const QString& archive, const QString& text)
    {
        DbResult err;
        auto db = Connection::open(archive, test::kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        ASSERT_TRUE(db->exec("INSERT OR REPLACE INTO test_pass (id, testo) VALUES (2, ?)", {text}).ok());
    }

    /// The marker of an archive opened with the password; "" when it does not open.
    static QString marker(const QString& archive)
    {
        DbResult err;
        auto db = Connection::open(archive, test::kPassword, &err);
        if (!db || !db->testRead().ok())
            return QString();
        return db->scalar("SELECT testo FROM test_pass WHERE id = 2").toString();
    }

    BackupRequest request() const
    {
        BackupRequest r;
        r.programFolder = prog.path();
        r.backupFolder = backupDir.path();
        r.subUse = true;
        r.subNames = QStringList {"2019", "2020"};
        r.key = test::kPassword;
        return r;
    }
};

TEST_F(BackupTest, CopiesTheLiveArchiveAndEveryHistoricalOneKeyed)
{
    const BackupReport report = copyArchives(request());
    ASSERT_EQ(report.status, BackupStatus::Copied) << report.failureText().toStdString();
    ASSERT_EQ(report.files.size(), 3);
    EXPECT_EQ(report.files[0].destination, copy("Arch_quadernolo.mdb"));
    EXPECT_EQ(report.files[1].destination, copy("SUB_2019/arch_quadernolo.mdb"));
    EXPECT_EQ(report.files[2].destination, copy("SUB_2020/arch_quadernolo.mdb"));
    EXPECT_TRUE(report.failureText().isEmpty());

    EXPECT_EQ(marker(copy("Arch_quadernolo.mdb")), "live 1");
    EXPECT_EQ(marker(copy("SUB_2019/arch_quadernolo.mdb")), "2019 1");
    EXPECT_EQ(marker(copy("SUB_2020/arch_quadernolo.mdb")), "2020 1");
    // The copies are keyed: without the password they do not open.
    DbResult err;
    EXPECT_FALSE(Connection::open(copy("Arch_quadernolo.mdb"), "altra", &err));
    EXPECT_EQ(err.code, DbError::WrongKey);
    // Nothing else is copied and no temporary file stays behind.
    EXPECT_EQ(QDir(backupDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"Arch_quadernolo.mdb", "SUB_2019", "SUB_2020"}));
    EXPECT_EQ(QDir(copy("SUB_2019")).entryList(QDir::Files), QStringList {"arch_quadernolo.mdb"});
}

TEST_F(BackupTest, WithoutHistoricalArchivesOnlyTheLiveOneIsCopied)
{
    BackupRequest r = request();
    r.subUse = false;
    const BackupReport report = copyArchives(r);
    ASSERT_EQ(report.status, BackupStatus::Copied);
    EXPECT_EQ(report.files.size(), 1);
    EXPECT_EQ(QDir(backupDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList {"Arch_quadernolo.mdb"});
}

TEST_F(BackupTest, OlderCopiesAreReplacedWhateverTheCaseOfTheirNames)
{
    ASSERT_TRUE(QDir(backupDir.path()).mkdir("sub_2019"));
    ASSERT_TRUE(QFile::copy(prog.file("arch_base.mdb"), copy("sub_2019/arch_quadernolo.mdb")));
    ASSERT_TRUE(QFile::copy(prog.file("arch_base.mdb"), copy("ARCH_QUADERNOLO.MDB")));
    const BackupReport report = copyArchives(request());
    ASSERT_EQ(report.status, BackupStatus::Copied) << report.failureText().toStdString();
    EXPECT_EQ(marker(copy("sub_2019/arch_quadernolo.mdb")), "2019 1");
    EXPECT_EQ(marker(copy("ARCH_QUADERNOLO.MDB")), "live 1");
    EXPECT_FALSE(QFileInfo::exists(copy("SUB_2019")));
    EXPECT_FALSE(QFileInfo::exists(copy("Arch_quadernolo.mdb")));
}

TEST_F(BackupTest, AFailedCopyKeepsTheOldOneAndTheOthersAreStillCopied)
{
    ASSERT_EQ(copyArchives(request()).status, BackupStatus::Copied);
    mark(prog.archive(), "live 2");
    mark(sub("2019"), "2019 2");
    mark(sub("2020"), "2020 2");
    // The disk of the 2019 copy is full.
    BackupReport report;
    {
        test::FullDisk full(copy("SUB_2019"));
        report = copyArchives(request());
    }
    ASSERT_EQ(report.status, BackupStatus::Failed);
    ASSERT_EQ(report.files.size(), 3);
    EXPECT_FALSE(report.files[1].result.ok());
    EXPECT_NE(report.files[1].errorNumber, 0);
    EXPECT_EQ(report.failureText(),
              QString("Attenzione errore nella copia del file\nErrore n. %1\n%2\n%3")
                  .arg(report.files[1].errorNumber)
                  .arg(report.files[1].result.message, QDir::toNativeSeparators(sub("2019"))));

    EXPECT_EQ(marker(copy("Arch_quadernolo.mdb")), "live 2");
    EXPECT_EQ(marker(copy("SUB_2019/arch_quadernolo.mdb")), "2019 1");
    EXPECT_EQ(marker(copy("SUB_2020/arch_quadernolo.mdb")), "2020 2");
    // No temporary copy and no journal are left behind.
    EXPECT_EQ(QDir(copy("SUB_2019")).entryList(QDir::Files), QStringList {"arch_quadernolo.mdb"});
}

TEST_F(BackupTest, ArchivesTheKeyDoesNotOpenAreCopiedByteForByteBesideAndTheOthersStillOpen)
{
    // 2019 keyed with another password, 2020 damaged beyond reading; the live archive is fine.
    {
        DbResult err;
        auto db = Connection::open(sub("2019"), test::kPassword, &err);
        ASSERT_TRUE(db && db->rekey("diversa").ok());
    }
    {
        QFile damaged(sub("2020"));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(QByteArray(5000, 'x'));
    }
    // Copies keep their archive's mode, whatever the umask.
    ::chmod(QFile::encodeName(prog.archive()).constData(), 0644);
    ::chmod(QFile::encodeName(sub("2020")).constData(), 0640);
    const mode_t before = ::umask(077);
    const BackupReport report = copyArchives(request());
    ::umask(before);

    ASSERT_EQ(report.status, BackupStatus::Unverified) << report.failureText().toStdString();
    EXPECT_EQ(marker(copy("Arch_quadernolo.mdb")), "live 1");
    EXPECT_TRUE(report.files[0].unverifiedCopy.isEmpty());
    // Under names of their own: nothing takes the copies' names unchecked.
    EXPECT_FALSE(QFileInfo::exists(copy("SUB_2019/arch_quadernolo.mdb")));
    EXPECT_EQ(bytesOf(copy("SUB_2019/arch_quadernolo_non_verificato.mdb")), bytesOf(sub("2019")));
    EXPECT_EQ(bytesOf(copy("SUB_2020/arch_quadernolo_non_verificato.mdb")), bytesOf(sub("2020")));
    EXPECT_EQ(report.files[1].unreadable.code, DbError::WrongKey);
    EXPECT_FALSE(report.files[1].previousKept);
    EXPECT_EQ(modeOf(copy("Arch_quadernolo.mdb")), 0644u);
    EXPECT_EQ(modeOf(copy("SUB_2020/arch_quadernolo_non_verificato.mdb")), 0640u);
}

TEST_F(BackupTest, LeftoversOfAKilledBackUpGoAndAFailedOneOnAFullDiskLeavesNone)
{
    // What back-ups killed half-way left, beside the copy of the live archive and of 2019.
    ASSERT_TRUE(QDir(backupDir.path()).mkdir("SUB_2019"));
    for (const char* name : {"Arch_quadernolo.mdb.aB3xY9.tmp", "Arch_quadernolo.mdb.aB3xY9.tmp-journal",
                             "SUB_2019/arch_quadernolo.mdb.Q1w2E3.tmp", "SUB_2019/nota.txt"}) {
        QFile f(copy(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(1000, 'x'));
    }
    ASSERT_EQ(copyArchives(request()).status, BackupStatus::Copied);
    EXPECT_EQ(QDir(backupDir.path()).entryList(QDir::Files), QStringList {"Arch_quadernolo.mdb"});
    EXPECT_EQ(QDir(copy("SUB_2019")).entryList(QDir::Files), QStringList({"arch_quadernolo.mdb", "nota.txt"}));

    // A back-up folder on a real disk with too little room for the copy.
    test::SmallDisk disk(256 * 1024);
    if (!disk.available())
        GTEST_SKIP() << qPrintable(disk.why());
    ASSERT_TRUE(disk.fill(QFileInfo(prog.archive()).size() / 2));
    BackupRequest small = request();
    small.backupFolder = disk.path();
    small.subUse = false;
    const BackupReport report = copyArchives(small);
    ASSERT_EQ(report.status, BackupStatus::Failed);
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"riempitivo.bin"});
}

TEST_F(BackupTest, TheTemporaryCopyNeverTouchesAFileOfAnotherName)
{
    // A file someone left under the name a temporary copy could once have had.
    ASSERT_TRUE(QDir(backupDir.path()).mkdir("SUB_2019"));
    {
        QFile other(copy("SUB_2019/arch_quadernolo.mdb.tmp"));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("di un altro");
    }
    ASSERT_TRUE(QDir(copy("SUB_2019")).mkdir("Arch_quadernolo.mdb.tmp"));
    const BackupReport report = copyArchives(request());
    ASSERT_EQ(report.status, BackupStatus::Copied) << report.failureText().toStdString();
    EXPECT_EQ(marker(copy("SUB_2019/arch_quadernolo.mdb")), "2019 1");
    QFile other(copy("SUB_2019/arch_quadernolo.mdb.tmp"));
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), "di un altro");
    const QStringList left = QDir(copy("SUB_2019")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_EQ(QSet<QString>(left.begin(), left.end()),
              QSet<QString>({"Arch_quadernolo.mdb.tmp", "arch_quadernolo.mdb", "arch_quadernolo.mdb.tmp"}));
}

TEST_F(BackupTest, AMissingArchiveFailsWithItsNumberAndTheNextIsCopied)
{
    // A historical archive named in the settings but gone from the disk.
    BackupRequest missing = request();
    missing.subNames = QStringList {"2019", "1999", "2020"};
    const BackupReport report = copyArchives(missing);
    ASSERT_EQ(report.status, BackupStatus::Failed);
    ASSERT_EQ(report.files.size(), 4);
    EXPECT_EQ(report.files[2].errorNumber, 53);
    EXPECT_EQ(marker(copy("SUB_2020/arch_quadernolo.mdb")), "2020 1");
}

TEST_F(BackupTest, TheBackUpFolderMustBeSetAndIsNeverCreated)
{
    BackupRequest r = request();
    r.backupFolder = "   ";
    BackupReport report = copyArchives(r);
    EXPECT_EQ(report.status, BackupStatus::NoPath);
    EXPECT_TRUE(report.files.isEmpty());
    EXPECT_EQ(QString(kBackupNoPathText), QString("ATTENZIONE\n\nIl path per il back up non è stato non impostato !"));

    r.backupFolder = copy("manca");
    report = copyArchives(r);
    ASSERT_EQ(report.status, BackupStatus::Failed);
    ASSERT_EQ(report.files.size(), 1);
    EXPECT_EQ(report.files[0].errorNumber, 76);
    EXPECT_FALSE(QFileInfo::exists(copy("manca")));
}

TEST_F(BackupTest, OfferedOnlyAfterALoginWithTheBackUpSwitchedOn)
{
    WorkingState s;
    s.p_chk_back_up = "1";
    EXPECT_FALSE(backupWanted(s));
    s.p_unload = true;
    EXPECT_TRUE(backupWanted(s));
    for (const char* off : {"0", "", "si", "2"}) {
        s.p_chk_back_up = off;
        EXPECT_FALSE(backupWanted(s)) << off;
    }

    s.p_path_back_up = "  /bk  ";
    s.p_sub_use = true;
    s.p_sub_dir = QStringList {"2019"};
    s.p_password = QString::fromUtf8("pàss");
    const BackupRequest r = backupRequest(s);
    EXPECT_EQ(r.programFolder, prog.path());
    EXPECT_EQ(r.backupFolder, "/bk");
    EXPECT_EQ(r.subNames, QStringList {"2019"});
    EXPECT_EQ(r.key, QString::fromUtf8("pàss").toUtf8());

    EXPECT_TRUE(cartella_esiste(prog.path()));
    EXPECT_FALSE(cartella_esiste(prog.archive()));
    EXPECT_FALSE(cartella_esiste(prog.file("manca")));
    EXPECT_FALSE(cartella_esiste(QString()));
}

} // namespace
