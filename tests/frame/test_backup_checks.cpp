// The back-up against archives it cannot read, whichever page is bad, and against back-up folders
// where a copy would be an archive itself.
#include "backup.h"
#include "file_checks.h"
#include "temp_program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quad;
using quad::test::bytesOf;

namespace {

constexpr int kPage = 4096;

/// Fills the archive over many pages, then empties a table written last: the file ends in pages
/// that no table uses.
void fill(const QString& archive)
{
    DbResult err;
    auto db = Connection::open(archive, test::kPassword, &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    ASSERT_TRUE(db->exec("CREATE TABLE scarto (t TEXT)").ok());
    for (int i = 1; i <= 120; ++i) {
        ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Oggetto) VALUES (?, ?)", {i, QString(300, 'o')}).ok());
        ASSERT_TRUE(db->exec("INSERT INTO scarto (t) VALUES (?)", {QString(300, 's')}).ok());
    }
    ASSERT_TRUE(db->exec("DELETE FROM scarto").ok());
    ASSERT_GT(db->scalar("PRAGMA freelist_count").toInt(), 0);
}

/// Spoils a few bytes in the middle of page (1 the first).
void damage(const QString& archive, qint64 page)
{
    QFile raw(archive);
    ASSERT_TRUE(raw.open(QIODevice::ReadWrite));
    ASSERT_TRUE(raw.seek((page - 1) * kPage + 1000));
    raw.write(QByteArray(64, '\x5a'));
}

BackupRequest liveOnly(const QString& programFolder, const QString& backupFolder)
{
    BackupRequest r;
    r.programFolder = programFolder;
    r.backupFolder = backupFolder;
    r.key = test::kPassword;
    return r;
}

TEST(BackupOfAnUnreadableArchive, KeepsTheEarlierCopyAndPutsItsBytesBesideItWhicheverPageIsBad)
{
    for (const char* which : {"first", "second", "middle", "last, unused", "readable, of two tables"}) {
        SCOPED_TRACE(which);
        test::TempProgram prog;
        QTemporaryDir backupDir;
        fill(prog.archive());
        const BackupRequest request = liveOnly(prog.path(), backupDir.path());
        ASSERT_EQ(copyArchives(request).status, BackupStatus::Copied);
        const QString copy = QDir(backupDir.path()).filePath("Arch_quadernolo.mdb");
        const QByteArray good = bytesOf(copy);

        const qint64 pages = QFileInfo(prog.archive()).size() / kPage;
        const QString page = which;
        if (page.startsWith("readable")) {
            // Every page reads, but two tables claim the same ones.
            DbResult err;
            auto db = Connection::open(prog.archive(), test::kPassword, &err);
            ASSERT_TRUE(db) << err.message.toStdString();
            ASSERT_TRUE(db->exec("PRAGMA writable_schema = ON; UPDATE sqlite_master SET rootpage = (SELECT rootpage "
                                 "FROM sqlite_master WHERE name = 'entrata') WHERE name = 'scarto'")
                            .ok());
        } else {
            damage(prog.archive(), page == "first" ? 1 : page == "second" ? 2 : page == "middle" ? pages / 2 : pages);
        }
        const BackupReport report = copyArchives(request);

        ASSERT_EQ(report.status, BackupStatus::Unverified) << report.failureText().toStdString();
        const BackupFile& file = report.files.at(0);
        EXPECT_EQ(file.unreadable.code, page == "first" ? DbError::WrongKey : DbError::Corrupt);
        EXPECT_EQ(bytesOf(copy), good);
        const QString beside = QDir(backupDir.path()).filePath("Arch_quadernolo_non_verificato.mdb");
        EXPECT_EQ(file.unverifiedCopy, beside);
        EXPECT_EQ(bytesOf(beside), bytesOf(prog.archive()));
        const QString text = report.failureText();
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(prog.archive()) + " non è stato letto"))
            << text.toStdString();
        EXPECT_TRUE(text.contains(file.unreadable.message)) << text.toStdString();
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(beside))) << text.toStdString();
        EXPECT_TRUE(
            text.contains("La copia precedente non è stata sostituita e resta in " + QDir::toNativeSeparators(copy)))
            << text.toStdString();
    }
}

TEST(BackupFolder, ThatLeadsToAnArchiveItselfIsRefusedAndNothingIsCopied)
{
    test::TempProgram prog;
    const QString historical = prog.addHistorical("SUB_2019");
    QTemporaryDir links;
    const QString link = QDir(links.path()).filePath("programma");
    ASSERT_TRUE(QFile::link(prog.path(), link));
    const QByteArray live = bytesOf(prog.archive());
    const QByteArray old = bytesOf(historical);
    const QStringList before = QDir(prog.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    // The program folder as it is, through a link, and a historical archive's folder, which would
    // take the live archive over its own.
    for (const QString& folder : {prog.path(), prog.path() + "/", link, prog.file("SUB_2019")}) {
        SCOPED_TRACE(folder.toStdString());
        BackupRequest request = liveOnly(prog.path(), folder);
        request.subUse = true;
        request.subNames = QStringList {"2019"};
        const BackupReport report = copyArchives(request);
        EXPECT_EQ(report.status, BackupStatus::SameFile);
        EXPECT_TRUE(report.files.isEmpty());
        EXPECT_TRUE(report.sameFileText().startsWith("ATTENZIONE\n\nIl back up non è stato effettuato: nella "
                                                     "cartella "
                                                     + QDir::toNativeSeparators(folder)))
            << report.sameFileText().toStdString();
        EXPECT_EQ(bytesOf(prog.archive()), live);
        EXPECT_EQ(bytesOf(historical), old);
        EXPECT_EQ(QDir(prog.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        EXPECT_EQ(QDir(prog.file("SUB_2019")).entryList(QDir::Files), QStringList {"Arch_quadernolo.mdb"});
    }
}

} // namespace
