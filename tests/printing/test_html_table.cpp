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
        state.p_path_cartella = program.path();
        state.p_password = QString::fromLatin1(test::kPassword);
    }

    test::TempProgram program;
    WorkingState state;
};

const QString kCella = "<td><font face=Arial size=2>";
const QString kFine = "</font></td>";

} // namespace

TEST_F(HtmlTable, TwoRowsAsOneTable)
{
    QString errore;
    const QString html = tabella_html_record(state, "schede_HTML", 5, &errore);
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
    EXPECT_EQ(tabella_html_record(state, "Schede_html", 9, &errore), "");
    EXPECT_TRUE(errore.isEmpty());
    EXPECT_EQ(tabella_html_record(state, "Schede_html where 1=1; --", 5, &errore), "");
    EXPECT_FALSE(errore.isEmpty());
    EXPECT_EQ(tabella_html_record(state, "entrata", 5, &errore), ""); // no sys_cod column
    EXPECT_FALSE(errore.isEmpty());
    state.p_password = "sbagliata";
    EXPECT_EQ(tabella_html_record(state, "Schede_html", 5, &errore), "");
    EXPECT_FALSE(errore.isEmpty());
}

TEST_F(HtmlTable, TheArchiveInUseOpensWithItsOwnKey)
{
    // A historical archive keyed otherwise than the login password.
    state.p_password = "password di accesso";
    state.p_password_archivio = QString::fromLatin1(test::kPassword);
    QString errore;
    EXPECT_TRUE(tabella_html_record(state, "Schede_html", 6, &errore).contains("altro")) << errore.toStdString();
}
