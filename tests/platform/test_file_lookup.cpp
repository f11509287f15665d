#include "file_lookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FileLookup, FindsWithoutRegardToCase)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("sub_Vecchio");
    QFile f(dir.filePath("sub_Vecchio/arch_QUADERNOLO.mdb"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(quad::findEntryNoCase(dir.path(), "SUB_VECCHIO"), dir.filePath("sub_Vecchio"));
    EXPECT_EQ(quad::resolveNoCase(dir.path(), "SUB_VECCHIO\\Arch_quadernolo.mdb"),
              dir.filePath("sub_Vecchio/arch_QUADERNOLO.mdb"));
    EXPECT_TRUE(quad::findEntryNoCase(dir.path(), "nothing").isNull());
    // A missing part keeps the spelling it was given.
    EXPECT_EQ(quad::resolveNoCase(dir.path(), "SUB_X/y.mdb"), dir.filePath("SUB_X/y.mdb"));
}

TEST(FileLookup, ExactNameWinsOverOtherCase)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("SUB_a");
    QDir(dir.path()).mkdir("sub_A");
    EXPECT_EQ(quad::findEntryNoCase(dir.path(), "sub_A"), dir.filePath("sub_A"));
}

TEST(FileLookup, SubFoldersByPrefixSkipFiles)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("SUB_2004");
    QDir(dir.path()).mkdir("sub_Vecchio");
    QDir(dir.path()).mkdir("altro");
    QFile f(dir.filePath("SUB_note.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QStringList found = quad::subFoldersWithPrefix(dir.path(), "SUB_");
    EXPECT_EQ(found, QStringList({"SUB_2004", "sub_Vecchio"}));
}
