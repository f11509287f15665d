#include "archive_fixture.h"
#include "folder_links.h"
#include "recordset.h"

#include <gtest/gtest.h>

using namespace quad;

namespace {

class FolderLinksTest : public test::ArchiveTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db);
        // Entry 1 (E) with two correspondents, 2 (U) with one, 3 (E) with none.
        for (int n = 1; n <= 3; ++n)
            ASSERT_TRUE(
                db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto, sys_nodo) VALUES (?, ?, ?, 'vecchio')",
                         {n, n == 2 ? "U" : "E", QString("oggetto %1").arg(n)})
                    .ok());
        for (const auto& [n, nome] : std::vector<std::pair<int, QString>> {{1, "Rossi"}, {1, "Bianchi"}, {2, "Verdi"}})
            ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, ?, ?)",
                                 {n, n == 2 ? "U" : "E", nome})
                            .ok());
        for (const auto& [key, caption] :
             std::vector<std::pair<QString, QString>> {{"4\\", "Atti"}, {"4\\2\\", "Ferie"}, {"40\\", "Altro"}})
            ASSERT_TRUE(db->exec("INSERT INTO sys_tree (\"KEY\", CAPTION) VALUES (?, ?)", {key, caption}).ok());
    }

    qint64 link(const QString& key, int numero, const QString& tipo)
    {
        EXPECT_TRUE(
            db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES (?, ?, ?)", {key, numero, tipo})
                .ok());
        return db->lastInsertId();
    }

    /// Progressivo/Nominativo of every row of the folder query.
    QStringList righe(const QString& key, bool soloLivello)
    {
        QVariantList params;
        Recordset rs;
        const DbResult r = rs.open(db, query_nodo(key, soloLivello, &params), params);
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        QStringList out;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            out << rs.value("Progressivo").toString() + "/" + rs.value("Nominativo").toString();
        return out;
    }
};

TEST_F(FolderLinksTest, FilingAnEntryNoLongerThereWritesNothing)
{
    const DbResult r = archivia_scheda(*db, "4\\", 99, "E", "FASCICOLI\\Atti");
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.message.contains("99"));
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_rela_tree").toInt(), 0);
}

TEST_F(FolderLinksTest, FilingIntoAFolderAnotherStationRemovedIsRefused)
{
    // Station B removes Ferie after station A was shown it.
    auto stazioneB = apri();
    ASSERT_EQ(test::salva_da_altra_stazione(*stazioneB, {{"4\\", "Atti"}, {"40\\", "Altro"}}).esito,
              EsitoAlbero::Scritto);
    const DbResult r = archivia_scheda(*db, "4\\2\\", 1, "E", "FASCICOLI\\Atti\\Ferie");
    EXPECT_EQ(r.code, DbError::NotFound);
    EXPECT_EQ(r.message, kFascicoloEliminato);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_rela_tree").toInt(), 0);
    EXPECT_EQ(db->scalar("SELECT sys_nodo FROM entrata WHERE Progressivo = 1").toString(), "vecchio");
}

TEST_F(FolderLinksTest, UnlinkRemovesExactlyOneLinkAndEmptiesTheFolderPath)
{
    const qint64 primo = link("4\\", 1, "E");
    const qint64 doppio = link("4\\", 1, "E");
    link("4\\2\\", 1, "E");
    ASSERT_TRUE(scollega_scheda(*db, doppio, 1).ok());
    EXPECT_EQ(db->scalar("SELECT group_concat(SYS_ID) FROM sys_rela_tree WHERE SYS_TREE = '4\\'").toLongLong(), primo);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_rela_tree").toInt(), 2);
    EXPECT_EQ(db->scalar("SELECT sys_nodo FROM entrata WHERE Progressivo = 1").toString(), "");

    // A link another station already removed: an error, and the entry keeps its path.
    ASSERT_TRUE(db->exec("UPDATE entrata SET sys_nodo = 'FASCICOLI\\Atti' WHERE Progressivo = 1").ok());
    EXPECT_FALSE(scollega_scheda(*db, doppio, 1).ok());
    EXPECT_EQ(db->scalar("SELECT sys_nodo FROM entrata WHERE Progressivo = 1").toString(), "FASCICOLI\\Atti");
}

TEST_F(FolderLinksTest, FolderListNamesEachLinkInFilingOrder)
{
    link("4\\2\\", 1, "E");
    link("9\\", 1, "E"); // a folder that is gone
    link("4\\", 1, "E");
    link("4\\2\\", 1, "E");
    link("40\\", 1, "U"); // same number, other direction
    DbResult err;
    const QStringList captions = nodi_della_scheda(*db, 1, "E", &err);
    ASSERT_TRUE(err.ok());
    EXPECT_EQ(captions, QStringList({"Ferie", "Atti", "Ferie"}));
    EXPECT_EQ(testo_elenco_nodi({"Ferie"}), "Il quadernolo è associato ai seguenti nodi :\n\n --Ferie\n");
    EXPECT_TRUE(nodi_della_scheda(*db, 2, "U", &err).isEmpty());
}

TEST_F(FolderLinksTest, FolderQueryCoversSubfoldersOrTheFolderAlone)
{
    link("4\\", 1, "E");
    link("4\\2\\", 2, "U");
    link("40\\", 2, "U");
    link("4\\", 3, "E"); // no correspondent: never listed
    // The root lists every link, one row per correspondent.
    EXPECT_EQ(righe("FASCICOLI", false), QStringList({"1/Rossi", "1/Bianchi", "2/Verdi", "2/Verdi"}));
    // 4\ covers 4\2\ but not 40\.
    EXPECT_EQ(righe("4\\", false), QStringList({"1/Rossi", "1/Bianchi", "2/Verdi"}));
    EXPECT_EQ(righe("4\\", true), QStringList({"1/Rossi", "1/Bianchi"}));
    EXPECT_EQ(righe("4\\2\\", false), QStringList({"2/Verdi"}));
}

} // namespace
