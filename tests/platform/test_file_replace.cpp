// Files the program replaces or copies: on a genuinely full disk, with the process's umask, and
// the leftovers of a write killed half-way.
#include "file_checks.h"
#include "file_replace.h"
#include "profile_file.h"
#include "recordset.h"
#include "small_disk.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

using namespace quad;
using quad::test::bytesOf;
using quad::test::modeOf;

namespace {

void put(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    f.write(bytes);
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

/// A small real disk, with the old file on it and every other byte taken.
class FullDiskTest : public ::testing::Test
{
protected:
    test::SmallDisk disk;
    QByteArray old = "vecchio contenuto\r\n";

    void SetUp() override
    {
        if (!disk.available())
            GTEST_SKIP() << qPrintable(disk.why());
    }
    void fill() { ASSERT_TRUE(disk.fill()); }
    void expectOnlyTheOldFile(const QString& name)
    {
        EXPECT_EQ(bytesOf(disk.filePath(name)), old);
        EXPECT_EQ(filesIn(disk.path()), QStringList({name, "riempitivo.bin"}));
    }
};

TEST_F(FullDiskTest, AReplacementOfAnySizeFailsWithTheSystemsCauseAndKeepsTheOldFile)
{
    const QString file = disk.filePath("dati.bin");
    put(file, old);
    fill();
    // Sizes below and above what a buffered writer keeps before it writes.
    for (int size : {100, 3000, 16000, 17000}) {
        QString error;
        EXPECT_FALSE(replaceFile(file, QByteArray(size, 'x'), &error)) << size;
        EXPECT_TRUE(error.contains("dati.bin")) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << error.toStdString();
        expectOnlyTheOldFile("dati.bin");
    }
    disk.release();
    ASSERT_TRUE(replaceFile(file, QByteArray(17000, 'y')));
    EXPECT_EQ(bytesOf(file), QByteArray(17000, 'y'));
}

TEST_F(FullDiskTest, TheSettingsFileAndAnXmlRowsetKeepTheirOldContent)
{
    const QString ini = disk.filePath("imposta.ini");
    old = "[IMPOSTA]\r\nPostazione=Server\r\n";
    put(ini, old);
    fill();
    QString error;
    EXPECT_FALSE(ProfileFile::write(ini, "IMPOSTA", "Postazione", "Client", &error));
    EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << error.toStdString();
    expectOnlyTheOldFile("imposta.ini");

    disk.release();
    const QString xml = disk.filePath("notifica.xml");
    old = "<xml/>";
    put(xml, old);
    put(ini, "[IMPOSTA]\r\nPostazione=Server\r\n");
    fill();
    Recordset rs;
    rs.appendField("Oggetto", adVarWChar, 255);
    rs.openInMemory();
    rs.addNew();
    ASSERT_TRUE(rs.setValue(0, "Richiesta").ok());
    const DbResult saved = rs.save(xml);
    EXPECT_FALSE(saved.ok());
    EXPECT_TRUE(saved.message.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << saved.message.toStdString();
    EXPECT_EQ(bytesOf(xml), old);
    EXPECT_EQ(filesIn(disk.path()), QStringList({"imposta.ini", "notifica.xml", "riempitivo.bin"}));
}

TEST(FileReplace, NewFilesGetTheModeOfTheUmaskAndExistingOnesKeepTheirs)
{
    QTemporaryDir dir;
    const mode_t before = ::umask(027);
    const QFileDevice::Permissions permissions = newFilePermissions();
    ASSERT_TRUE(replaceFile(dir.filePath("nuovo.ini"), "a"));
    put(dir.filePath("vecchio.ini"), "b");
    ::chmod(QFile::encodeName(dir.filePath("vecchio.ini")).constData(), 0604);
    ASSERT_TRUE(replaceFile(dir.filePath("vecchio.ini"), "c"));
    ASSERT_TRUE(copyFileBytes(dir.filePath("vecchio.ini"), dir.filePath("copia.ini")));
    ::umask(before);

    EXPECT_EQ(permissions,
              QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::WriteOwner | QFileDevice::WriteUser
                  | QFileDevice::ReadGroup);
    EXPECT_EQ(modeOf(dir.filePath("nuovo.ini")), 0640u);
    EXPECT_EQ(modeOf(dir.filePath("vecchio.ini")), 0604u);
    EXPECT_EQ(modeOf(dir.filePath("copia.ini")), 0604u);
    EXPECT_EQ(bytesOf(dir.filePath("copia.ini")), "c");
}

TEST(FileReplace, LeftoversOfAKilledWriteGoButNotAFileStillBeingWrittenNorOthers)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("imposta.ini");
    // What writers killed half-way left, and files that only look alike.
    for (const char* name :
         {"imposta.ini.Ab3dE9.tmp", "imposta.ini.Ab3dE9.tmp-journal", "imposta.ini.zzzzzz.tmp-journal",
          "imposta.ini.tmp", "imposta.ini.abc.tmp", "Imposta.ini.Qwerty.tmp", "altro.ini.Qwerty.tmp"})
        put(dir.filePath(name), "x");
    FileBeside living(target);
    ASSERT_TRUE(living.isOpen());
    ASSERT_TRUE(living.write("in corso"));

    ASSERT_TRUE(replaceFile(target, "[A]\r\n"));
    const QStringList left = filesIn(dir.path());
    EXPECT_EQ(QSet<QString>(left.begin(), left.end()),
              QSet<QString>({"Imposta.ini.Qwerty.tmp", "altro.ini.Qwerty.tmp", "imposta.ini", "imposta.ini.abc.tmp",
                             "imposta.ini.tmp", QFileInfo(living.path()).fileName()}));
    EXPECT_EQ(bytesOf(living.path()), "in corso");
}

} // namespace

namespace {

TEST(FileReplace, AFlushToDiskThatFailsKeepsTheOldFileAndTellsWhy)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("imposta.ini");
    const QString copy = dir.filePath("copia.ini");
    put(ini, "[IMPOSTA]\r\nPostazione=Server\r\n");
    put(copy, "vecchia copia");
    setFileSyncFaultForTests([](const QString&) { return true; });
    QString replaced;
    QString copied;
    const bool replacedOk = ProfileFile::write(ini, "IMPOSTA", "Postazione", "Client", &replaced);
    const bool copiedOk = copyFileBytes(ini, copy, &copied);
    setFileSyncFaultForTests(nullptr);

    const QString cause = QString::fromLocal8Bit(std::strerror(EIO));
    EXPECT_FALSE(replacedOk);
    EXPECT_TRUE(replaced.contains("imposta.ini") && replaced.contains(cause)) << replaced.toStdString();
    EXPECT_FALSE(copiedOk);
    EXPECT_TRUE(copied.contains("copia.ini") && copied.contains(cause)) << copied.toStdString();
    EXPECT_EQ(bytesOf(ini), "[IMPOSTA]\r\nPostazione=Server\r\n");
    EXPECT_EQ(bytesOf(copy), "vecchia copia");
    EXPECT_EQ(filesIn(dir.path()), QStringList({"copia.ini", "imposta.ini"}));
}

} // namespace
