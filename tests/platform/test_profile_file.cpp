#include "file_replace.h"
#include "profile_file.h"

#include <QDir>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using quad::ProfileFile;

namespace {

class ProfileFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString ini = dir.filePath("imposta.ini");

    void put(const QByteArray& bytes)
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray content()
    {
        QFile f(ini);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesDefault)
{
    EXPECT_EQ(ProfileFile::read(ini, "IMPOSTA", "Postazione", "def"), "def");
    put("[IMPOSTA]\r\nQuad_rete=1\r\n");
    EXPECT_EQ(ProfileFile::read(ini, "Uffici", "Elenco", "d1"), "d1");
    EXPECT_EQ(ProfileFile::read(ini, "IMPOSTA", "Postazione", "d2"), "d2");
}

TEST_F(ProfileFileTest, PresentEmptyKeyGivesEmptyNotDefault)
{
    put("[Uffici]\r\nElenco=\r\n");
    const QString v = ProfileFile::read(ini, "Uffici", "Elenco", "default");
    EXPECT_TRUE(v.isEmpty());
    EXPECT_FALSE(v.isNull() && false);
}

TEST_F(ProfileFileTest, SectionsAndKeysIgnoreCaseAndBlanks)
{
    put("[ imposta ]\r\n  POSTAZIONE =  Client  \r\n");
    EXPECT_EQ(ProfileFile::read(ini, "IMPOSTA", "Postazione", ""), "Client");
}

TEST_F(ProfileFileTest, QuotedValueLosesItsQuotes)
{
    put("[A]\nk=\"  spaced  \"\n");
    EXPECT_EQ(ProfileFile::read(ini, "A", "k", ""), "  spaced  ");
}

TEST_F(ProfileFileTest, KeyOfAnotherSectionIsNotRead)
{
    put("[A]\r\nk=1\r\n[B]\r\nj=2\r\n");
    EXPECT_EQ(ProfileFile::read(ini, "B", "k", "none"), "none");
    EXPECT_EQ(ProfileFile::read(ini, "A", "j", "none"), "none");
}

TEST_F(ProfileFileTest, WriteCreatesFileAndSection)
{
    EXPECT_TRUE(ProfileFile::write(ini, "Uffici", "Elenco", ""));
    EXPECT_TRUE(ProfileFile::write(ini, "IMPOSTA", "Postazione", "Server"));
    EXPECT_EQ(content(), QByteArray("[Uffici]\r\nElenco=\r\n[IMPOSTA]\r\nPostazione=Server\r\n"));
}

TEST_F(ProfileFileTest, WriteKeepsHandEditedLines)
{
    put("; settings edited by hand\n[Altro]\nx = 1\n\n[imposta]\n# "
        "note\nquad_rete=0\nPostazione=Client\n\n[Coda]\nz=9\n");
    EXPECT_TRUE(ProfileFile::write(ini, "IMPOSTA", "Quad_rete", "1"));
    EXPECT_TRUE(ProfileFile::write(ini, "IMPOSTA", "Check_back_up", "1"));
    EXPECT_EQ(content(),
              QByteArray("; settings edited by hand\n[Altro]\nx = 1\n\n[imposta]\n# note\nQuad_rete=1\n"
                         "Postazione=Client\nCheck_back_up=1\n\n[Coda]\nz=9\n"));
    EXPECT_EQ(ProfileFile::read(ini, "Coda", "z", ""), "9");
    EXPECT_EQ(ProfileFile::read(ini, "Altro", "X", ""), "1");
}

TEST_F(ProfileFileTest, ValueWithEqualsAndSemicolonsRoundTrips)
{
    ASSERT_TRUE(ProfileFile::write(ini, "Uffici", "Path", "/a=b;/c d;/è"));
    EXPECT_EQ(ProfileFile::read(ini, "Uffici", "Path", ""), "/a=b;/c d;/è");
}

TEST_F(ProfileFileTest, WriteToUnwritableFolderFailsAndLeavesNothing)
{
    const QString bad = dir.filePath("missing/imposta.ini");
    EXPECT_FALSE(ProfileFile::write(bad, "A", "k", "v"));
    EXPECT_FALSE(QFile::exists(bad));
}

TEST_F(ProfileFileTest, LongValueRoundTrips)
{
    const QString widths = QString("1200_").repeated(200);
    ASSERT_TRUE(ProfileFile::write(ini, "GRID_WIDTH", "Entrata", widths));
    EXPECT_EQ(ProfileFile::read(ini, "GRID_WIDTH", "Entrata", ""), widths);
}

TEST_F(ProfileFileTest, AWriteOnAFullDiskKeepsTheOldFileWholeAndSaysWhy)
{
    const QByteArray before = "[Uffici]\r\nElenco=Ragioneria\r\n[IMPOSTA]\r\nPostazione=Server\r\nCheck_back_up=1\r\n";
    put(before);
    quad::setFileWriteFaultForTests([](const QString&) { return true; });
    QString error;
    const bool written = ProfileFile::write(ini, "IMPOSTA", "Postazione", "Client", &error);
    quad::setFileWriteFaultForTests(nullptr);
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains("imposta.ini")) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << error.toStdString();
    EXPECT_EQ(content(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {"imposta.ini"});
    EXPECT_EQ(ProfileFile::read(ini, "IMPOSTA", "Postazione", ""), "Server");
}

TEST_F(ProfileFileTest, AFileInTheWindowsCodePageIsReadAndWrittenBackInIt)
{
    // "Città" and "Forlì" as another Windows program writes them: one byte a letter.
    put("[Uffici]\r\nElenco=Citt\xe0;Forl\xec\r\n[IMPOSTA]\r\nPostazione=Server\r\n");
    EXPECT_EQ(ProfileFile::read(ini, "Uffici", "Elenco", ""), QString::fromUtf8("Città;Forlì"));
    ASSERT_TRUE(ProfileFile::write(ini, "IMPOSTA", "Postazione", "Client"));
    EXPECT_EQ(content(), QByteArray("[Uffici]\r\nElenco=Citt\xe0;Forl\xec\r\n[IMPOSTA]\r\nPostazione=Client\r\n"));
    // The euro sign has its own place in the code page.
    ASSERT_TRUE(ProfileFile::write(ini, "IMPOSTA", "Path_back_up", QString::fromUtf8("€ uro")));
    EXPECT_TRUE(content().endsWith("Path_back_up=\x80 uro\r\n"));
    EXPECT_EQ(ProfileFile::read(ini, "IMPOSTA", "Path_back_up", ""), QString::fromUtf8("€ uro"));
    // A letter the code page cannot hold is refused, and the file stays as it was.
    const QByteArray before = content();
    QString error;
    EXPECT_FALSE(ProfileFile::write(ini, "Uffici", "Elenco", QString::fromUtf8("Łódź"), &error));
    EXPECT_TRUE(error.contains("Elenco")) << error.toStdString();
    EXPECT_EQ(content(), before);
}

TEST_F(ProfileFileTest, AFileTheProgramCreatesIsUtf8)
{
    ASSERT_TRUE(ProfileFile::write(ini, "Uffici", "Elenco", QString::fromUtf8("Città")));
    EXPECT_EQ(content(), QByteArray("[Uffici]\r\nElenco=Citt\xc3\xa0\r\n"));
    ASSERT_TRUE(ProfileFile::write(ini, "IMPOSTA", "Postazione", "Server"));
    EXPECT_EQ(ProfileFile::read(ini, "Uffici", "Elenco", ""), QString::fromUtf8("Città"));
}

} // namespace
