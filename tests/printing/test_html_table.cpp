#include "html_table.h"

#include "database.h"
#include "temp_program.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace quad;

namespace {

class HtmlTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbResult err;
        auto db = Connection::shared(program.archive(), test::kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        ASSERT_TRUE(db->exec("CREATE TABLE Schede_html (sys_cod INTEGER, NOME TEXT, data_quadernolo DATE)").ok());
        ASSERT_TRUE(
            db->exec("INSERT INTO Schede_html VALUES (5, NULL, '2026-03-04'), (5, 'Rossi <& \"Figli\">', NULL), "
                     "(6, 'altro', NULL)")
                .ok());
        archivio = program.archive();
        chiave = QString::fromLatin1(test::kPassword);
    }

    test::TempProgram program;
    QString archivio;
    QString chiave;
};

const QString kCella = "<td><font face=Arial size=2>";
const QString kFine = "</font></td>";

} // namespace

TEST_F(HtmlTable, TwoRowsAsOneTable)
{
    QString errore;
    const QString html = tabella_html_record(archivio, chiave, "schede_HTML", 5, &errore);
    EXPECT_TRUE(errore.isEmpty()) << errore.toStdString();
    EXPECT_EQ(html,
              "<table border = 1 borderColor=black borderColorDark=white borderColorLight=black>"
              "<tr bgcolor=#C0C0C0>"
                  + kCella + "Sys_cod" + kFine + kCella + "Nome" + kFine + kCella + "Data_quadernolo" + kFine
                  + "</tr><tr>" + kCella + "5" + kFine + kCella + "&nbsp;" + kFine + kCella + "04/03/2026" + kFine
                  + "</tr><tr>" + kCella + "5" + kFine + kCella + "Rossi &lt;&amp; &quot;Figli&quot;&gt;" + kFine
                  + kCella + "&nbsp;" + kFine + "</tr></table>");
}

TEST_F(HtmlTable, NoRowNoTableAndNamesCheckedAgainstTheArchive)
{
    QString errore;
    EXPECT_EQ(tabella_html_record(archivio, chiave, "Schede_html", 9, &errore), "");
    EXPECT_TRUE(errore.isEmpty());
    EXPECT_EQ(tabella_html_record(archivio, chiave, "Schede_html where 1=1; --", 5, &errore), "");
    EXPECT_FALSE(errore.isEmpty());
    EXPECT_EQ(tabella_html_record(archivio, chiave, "entrata", 5, &errore), ""); // no sys_cod column
    EXPECT_FALSE(errore.isEmpty());
    chiave = "sbagliata";
    EXPECT_EQ(tabella_html_record(archivio, chiave, "Schede_html", 5, &errore), "");
    EXPECT_FALSE(errore.isEmpty());
}

TEST_F(HtmlTable, TheArchiveInUseOpensWithItsOwnKey)
{
    // A historical archive keyed otherwise than the login password.
    {
        DbResult err;
        auto db = Connection::open(archivio, test::kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        ASSERT_TRUE(db->rekey("chiave storica").ok());
    }
    Connection::dropShared(archivio);
    QString errore;
    EXPECT_EQ(tabella_html_record(archivio, chiave, "Schede_html", 6, &errore), "");
    EXPECT_FALSE(errore.isEmpty());
    chiave = "chiave storica";
    EXPECT_TRUE(tabella_html_record(archivio, chiave, "Schede_html", 6, &errore).contains("altro"))
        << errore.toStdString();
}
