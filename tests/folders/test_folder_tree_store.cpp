#include "archive_fixture.h"
#include "folder_tree_store.h"

#include <gtest/gtest.h>

using namespace quad;

namespace {

class TreeStoreTest : public test::ArchiveTest
{
protected:
    void righe(const std::vector<std::pair<QString, QString>>& rows)
    {
        for (const auto& [key, caption] : rows)
            ASSERT_TRUE(db->exec("INSERT INTO sys_tree (\"KEY\", CAPTION) VALUES (?, ?)", {key, caption}).ok());
    }

    /// key=caption pairs in stored order.
    QStringList stored()
    {
        QStringList out;
        EXPECT_TRUE(db->query("SELECT \"KEY\", CAPTION FROM sys_tree ORDER BY rowid", {}, [&out](const Statement& s) {
                          out << s.value(0).toString() + "=" + s.value(1).toString();
                          return true;
                      }).ok());
        return out;
    }

    static QStringList mostrati(const AlberoCaricato& a)
    {
        QStringList out;
        for (const auto& [n, padre] : a.nodi)
            out << n.key + "<" + padre;
        return out;
    }
};

TEST(FolderKeys, LevelAndNumber)
{
    EXPECT_EQ(livello_chiave("3\\12\\4\\"), 3);
    EXPECT_EQ(livello_chiave("FASCICOLI"), 0);
    EXPECT_EQ(numero_chiave("3\\12\\"), 12);
    EXPECT_EQ(numero_chiave("70000\\"), 70000); // not limited to 16 bits
    EXPECT_EQ(numero_chiave("x\\"), 0);
}

TEST(TreeText, RootSkippedCaptionsTrimmedKeyAfterLastTilde)
{
    const auto nodi = nodi_da_testo("FASCICOLI~FASCICOLI\r\n Atti  ~1\\\r\n  Delibere~1\\1\\\r\n"
                                    " FASCICOLI~2\\\r\nsenza tilde\r\n");
    ASSERT_EQ(nodi.size(), 3u);
    EXPECT_EQ(nodi[0].key, "1\\");
    EXPECT_EQ(nodi[0].caption, "Atti");
    EXPECT_EQ(nodi[1].key, "1\\1\\");
    // A folder named like the root is stored like any other.
    EXPECT_EQ(nodi[2].caption, "FASCICOLI");
    EXPECT_TRUE(nodi_da_testo("").empty());
}

TEST_F(TreeStoreTest, LevelMaximaComeFromEveryKeyOfTheLevel)
{
    righe({{"1\\", "A"}, {"4\\", "B"}, {"4\\2\\", "C"}, {"2\\", "D"}, {"2\\5\\", "E"}, {"40000\\", "F"}});
    DbResult err;
    const AlberoCaricato a = carica_albero(*db, &err);
    ASSERT_TRUE(err.ok());
    EXPECT_EQ(a.nodi.size(), 6u);
    EXPECT_EQ(a.levelMax[1], 40000);
    EXPECT_EQ(a.levelMax[2], 5);
    EXPECT_EQ(a.snapshot, "1\\\tA\r4\\\tB\r4\\2\\\tC\r2\\\tD\r2\\5\\\tE\r40000\\\tF\r");

    // A key a link still names is never given out again, even with its folder gone: a new folder
    // would show entries filed elsewhere.
    ASSERT_TRUE(db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES ('4\\7\\', 1, 'E')").ok());
    EXPECT_EQ(carica_albero(*db, &err).levelMax[2], 7);
}

TEST_F(TreeStoreTest, LoadFollowsStoredOrderAndSkipsBadRows)
{
    // Row ids given out of key order: the stored (row id) order wins.
    ASSERT_TRUE(db->exec("INSERT INTO sys_tree (rowid, \"KEY\", CAPTION) VALUES (20, '2\\', 'Due')").ok());
    ASSERT_TRUE(db->exec("INSERT INTO sys_tree (rowid, \"KEY\", CAPTION) VALUES (10, '1\\', 'Uno')").ok());
    ASSERT_TRUE(db->exec("INSERT INTO sys_tree (rowid, \"KEY\", CAPTION) VALUES (30, '1\\1\\', 'Figlio')").ok());
    ASSERT_TRUE(db->exec("INSERT INTO sys_tree (rowid, \"KEY\", CAPTION) VALUES (40, 'nessuno', 'X')").ok());
    ASSERT_TRUE(db->exec("INSERT INTO sys_tree (rowid, \"KEY\", CAPTION) VALUES (50, '1\\1\\1\\1\\1\\1\\', 'Y')").ok());
    ASSERT_TRUE(db->exec("INSERT INTO sys_tree (rowid, \"KEY\", CAPTION) VALUES (5, '9\\9\\', 'Orfano')").ok());
    DbResult err;
    const AlberoCaricato a = carica_albero(*db, &err);
    // The level-2 row after "Due" hangs under "Due", as its position says.
    EXPECT_EQ(mostrati(a), QStringList({"1\\<", "2\\<", "1\\1\\<2\\"}));
    // The orphan is not shown but its number is never given out again.
    EXPECT_EQ(a.levelMax[2], 9);

    // A save of the tree shown keeps every row the load cannot show: a link may name it.
    std::vector<NodoAlbero> nodi = test::letti(a);
    nodi.push_back({"3\\", "Nuovo"});
    ASSERT_EQ(salva_albero(*db, a.snapshot, test::letti(a), nodi).esito, EsitoAlbero::Scritto);
    EXPECT_EQ(stored(),
              QStringList({"9\\9\\=Orfano", "nessuno=X", "1\\1\\1\\1\\1\\1\\=Y", "1\\=Uno", "2\\=Due", "1\\1\\=Figlio",
                           "3\\=Nuovo"}));
}

TEST_F(TreeStoreTest, FlagsAnotherToolStoredAsTextAreReadAsTheProgramReadsAYesNo)
{
    righe({{"1\\", "Atti"}, {"2\\", "Ferie"}});
    ASSERT_TRUE(db->exec("UPDATE sys_tree SET EXPANDED = 'Vero', SELECTED = 'False' WHERE CAPTION = 'Atti'").ok());
    ASSERT_TRUE(db->exec("UPDATE sys_tree SET EXPANDED = 'no', SELECTED = 'True' WHERE CAPTION = 'Ferie'").ok());
    const AlberoCaricato a = carica_albero(*db, nullptr);
    ASSERT_EQ(a.nodi.size(), 2u);
    EXPECT_TRUE(a.nodi[0].first.expanded);
    EXPECT_FALSE(a.nodi[0].first.selected);
    EXPECT_FALSE(a.nodi[1].first.expanded);
    EXPECT_TRUE(a.nodi[1].first.selected);
}

TEST_F(TreeStoreTest, OnlyWhatChangedIsWritten)
{
    righe({{"1\\", "Atti"}, {"1\\1\\", "Delibere"}, {"2\\", "Ferie"}});
    ASSERT_TRUE(db->exec("UPDATE sys_tree SET EXPANDED = -1").ok());
    const QVariant idFerie = db->scalar("SELECT rowid FROM sys_tree WHERE \"KEY\" = '2\\'");

    // Nothing changed: nothing written, the rows keep their flags.
    QString snap = snapshot_albero(*db, nullptr);
    const std::vector<NodoAlbero> letto = {{"1\\", "Atti"}, {"1\\1\\", "Delibere"}, {"2\\", "Ferie"}};
    SalvataggioAlbero s = salva_albero(*db, snap, letto, letto);
    EXPECT_EQ(s.esito, EsitoAlbero::NienteDaScrivere);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_tree WHERE EXPANDED = -1").toInt(), 3);

    // A rename changes that row in place; an added last folder is appended.
    const std::vector<NodoAlbero> nuovo
        = {{"1\\", "Atti"}, {"1\\1\\", "Delibere 2024"}, {"2\\", "Ferie"}, {"3\\", "Nuovo"}};
    s = salva_albero(*db, snap, letto, nuovo);
    EXPECT_EQ(s.esito, EsitoAlbero::Scritto);
    EXPECT_EQ(stored(), QStringList({"1\\=Atti", "1\\1\\=Delibere 2024", "2\\=Ferie", "3\\=Nuovo"}));
    EXPECT_EQ(db->scalar("SELECT rowid FROM sys_tree WHERE \"KEY\" = '2\\'"), idFerie);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_tree WHERE EXPANDED = -1").toInt(), 3);

    // A folder placed before another: the order is written again from there on.
    snap = s.snapshot;
    s = salva_albero(
        *db, snap, nuovo,
        {{"1\\", "Atti"}, {"4\\", "Prima"}, {"1\\1\\", "Delibere 2024"}, {"2\\", "Ferie"}, {"3\\", "Nuovo"}});
    EXPECT_EQ(s.esito, EsitoAlbero::Scritto);
    EXPECT_EQ(stored(), QStringList({"1\\=Atti", "4\\=Prima", "1\\1\\=Delibere 2024", "2\\=Ferie", "3\\=Nuovo"}));
}

TEST_F(TreeStoreTest, RemovingAFolderDeletesItsLinksTogether)
{
    righe({{"3\\", "Tre"}, {"30\\", "Trenta"}});
    for (const char* key : {"3\\", "3\\", "30\\"})
        ASSERT_TRUE(db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES (?, 1, 'E')", {key}).ok());
    const SalvataggioAlbero s
        = salva_albero(*db, snapshot_albero(*db, nullptr), {{"3\\", "Tre"}, {"30\\", "Trenta"}}, {{"30\\", "Trenta"}});
    EXPECT_EQ(s.esito, EsitoAlbero::Scritto);
    EXPECT_EQ(stored(), QStringList({"30\\=Trenta"}));
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_rela_tree WHERE SYS_TREE = '3\\'").toInt(), 0);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_rela_tree WHERE SYS_TREE = '30\\'").toInt(), 1);
}

TEST_F(TreeStoreTest, AfterAnotherStationsSaveOnlyTheClerksEditsThatTouchNoneOfItsChangesAreWritten)
{
    righe({{"1\\", "Atti"}, {"1\\1\\", "Delibere"}, {"2\\", "Ferie"}, {"3\\", "Varie"}});
    ASSERT_TRUE(db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES ('3\\', 1, 'E')").ok());
    const AlberoCaricato lettoDaA = carica_albero(*db, nullptr);

    // Station B renames Ferie, adds a subfolder of Atti and a folder 4\.
    auto stazioneB = apri();
    ASSERT_EQ(test::salva_da_altra_stazione(*stazioneB,
                                            {{"1\\", "Atti"},
                                             {"1\\1\\", "Delibere"},
                                             {"1\\2\\", "Contratti B"},
                                             {"2\\", "Ferie 2024"},
                                             {"3\\", "Varie"},
                                             {"4\\", "Di B"}})
                  .esito,
              EsitoAlbero::Scritto);

    // Station A renames Atti and Ferie, adds 4\ with a subfolder and a subfolder of Delibere,
    // and removes Varie.
    const SalvataggioAlbero s = salva_albero(*db, lettoDaA.snapshot, test::letti(lettoDaA),
                                             {{"1\\", "Atti 2024"},
                                              {"1\\1\\", "Delibere"},
                                              {"1\\1\\1\\", "Giunta"},
                                              {"2\\", "Vacanze"},
                                              {"4\\", "Di A"},
                                              {"4\\1\\", "Sotto A"}});
    EXPECT_EQ(s.esito, EsitoAlbero::ModificatoAltrove);
    // B's 4\ keeps its key: A's folder (after Ferie, as A placed it) and its subfolder take new numbers.
    EXPECT_EQ(stored(),
              QStringList({"1\\=Atti 2024", "1\\1\\=Delibere", "1\\1\\1\\=Giunta", "1\\2\\=Contratti B",
                           "2\\=Ferie 2024", "5\\=Di A", "5\\1\\=Sotto A", "4\\=Di B"}));
    EXPECT_EQ(s.nuoveChiavi.value("4\\"), "5\\");
    EXPECT_EQ(s.nuoveChiavi.value("4\\1\\"), "5\\1\\");
    EXPECT_EQ(
        s.nonApplicate,
        QStringList(
            {"il nuovo nome \"Vacanze\" del fascicolo \"Ferie\": il fascicolo è stato rinominato \"Ferie 2024\""}));
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_rela_tree").toInt(), 0);
    EXPECT_EQ(s.snapshot, snapshot_albero(*db, nullptr));
}

TEST_F(TreeStoreTest, AStaleSnapshotNeverWritesOverWhatAnotherStationChanged)
{
    righe({{"1\\", "Atti"}, {"1\\1\\", "Delibere"}, {"2\\", "Ferie"}, {"3\\", "Varie"}});
    ASSERT_TRUE(db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES ('2\\', 1, 'E')").ok());
    const AlberoCaricato lettoDaA = carica_albero(*db, nullptr);

    // B renames Ferie, removes Varie and adds a subfolder to Delibere.
    auto stazioneB = apri();
    const std::vector<NodoAlbero> diB
        = {{"1\\", "Atti"}, {"1\\1\\", "Delibere"}, {"1\\1\\1\\", "Giunta"}, {"2\\", "Ferie 2024"}};
    ASSERT_EQ(test::salva_da_altra_stazione(*stazioneB, diB).esito, EsitoAlbero::Scritto);
    const QStringList tenuti = stored();

    // A removes Ferie and Delibere and adds a subfolder to Varie: each meets one of B's changes.
    const SalvataggioAlbero s = salva_albero(*db, lettoDaA.snapshot, test::letti(lettoDaA),
                                             {{"1\\", "Atti"}, {"3\\", "Varie"}, {"3\\1\\", "Sotto"}});
    EXPECT_EQ(s.esito, EsitoAlbero::ModificatoAltrove);
    EXPECT_EQ(stored(), tenuti);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_rela_tree WHERE SYS_TREE = '2\\'").toInt(), 1);
    EXPECT_EQ(s.nonApplicate.size(), 3) << s.nonApplicate.join("|").toStdString();
    EXPECT_TRUE(s.nonApplicate.join("|").contains("\"Sotto\""));
    EXPECT_FALSE(db->inTransaction());
}

TEST_F(TreeStoreTest, AFailedSaveLosesNothing)
{
    righe({{"1\\", "Atti"}, {"2\\", "Ferie"}});
    ASSERT_TRUE(db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES ('2\\', 1, 'E')").ok());
    ASSERT_TRUE(db->exec("CREATE TRIGGER rifiuta BEFORE INSERT ON sys_tree WHEN NEW.CAPTION = 'Guasto' "
                         "BEGIN SELECT RAISE(ABORT, 'scrittura rifiutata'); END")
                    .ok());
    const QString snap = snapshot_albero(*db, nullptr);
    const SalvataggioAlbero s
        = salva_albero(*db, snap, {{"1\\", "Atti"}, {"2\\", "Ferie"}}, {{"1\\", "Atti 2"}, {"3\\", "Guasto"}});
    EXPECT_EQ(s.esito, EsitoAlbero::Errore);
    EXPECT_TRUE(s.error.message.contains("scrittura rifiutata")) << s.error.message.toStdString();
    EXPECT_EQ(stored(), QStringList({"1\\=Atti", "2\\=Ferie"}));
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_rela_tree").toInt(), 1);
    EXPECT_FALSE(db->inTransaction());
}

TEST_F(TreeStoreTest, AFolderRemovedWhileItsSubfolderStaysIsRefused)
{
    righe({{"1\\", "Atti"}, {"1\\1\\", "Delibere"}, {"2\\", "Ferie"}});
    ASSERT_TRUE(db->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES ('1\\1\\', 1, 'E')").ok());
    const QString snap = snapshot_albero(*db, nullptr);
    const std::vector<NodoAlbero> letto = {{"1\\", "Atti"}, {"1\\1\\", "Delibere"}, {"2\\", "Ferie"}};
    const QStringList tenuti = stored();

    // Atti goes, Delibere stays; then Atti and Delibere go, but a folder added under Atti stays.
    for (const std::vector<NodoAlbero>& nodi : {std::vector<NodoAlbero>({{"1\\1\\", "Delibere"}, {"2\\", "Ferie"}}),
                                                std::vector<NodoAlbero>({{"2\\", "Ferie"}, {"1\\7\\", "Nuovo"}})}) {
        const SalvataggioAlbero s = salva_albero(*db, snap, letto, nodi);
        EXPECT_EQ(s.esito, EsitoAlbero::Errore);
        EXPECT_TRUE(s.error.message.startsWith("E' necessario eliminare prima i sottonodi !\n\nIl fascicolo "
                                               "\"Atti\" contiene ancora il fascicolo \""))
            << s.error.message.toStdString();
        EXPECT_EQ(stored(), tenuti);
        EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM sys_rela_tree").toInt(), 1);
        EXPECT_FALSE(db->inTransaction());
    }
}

TEST_F(TreeStoreTest, AFolderAddedOverAnotherStationsChangesNeverTakesTheKeyOfAGoneFolderThatALinkNames)
{
    righe({{"1\\", "Atti"}, {"2\\", "Ferie"}});
    const AlberoCaricato lettoDaA = carica_albero(*db, nullptr);

    // Station B adds Varie and Di B and files an entry into Varie; Varie is then removed by a
    // station whose removal leaves the links behind.
    auto stazioneB = apri();
    ASSERT_EQ(test::salva_da_altra_stazione(*stazioneB,
                                            {{"1\\", "Atti"}, {"2\\", "Ferie"}, {"3\\", "Varie"}, {"4\\", "Di B"}})
                  .esito,
              EsitoAlbero::Scritto);
    ASSERT_TRUE(stazioneB->exec("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES ('3\\', 1, 'E')").ok());
    ASSERT_TRUE(stazioneB->exec("DELETE FROM sys_tree WHERE \"KEY\" = '3\\'").ok());

    // Station A adds a folder with the key it reckoned, 3\: the entry filed into Varie stays out of it.
    const SalvataggioAlbero s = salva_albero(*db, lettoDaA.snapshot, test::letti(lettoDaA),
                                             {{"1\\", "Atti"}, {"2\\", "Ferie"}, {"3\\", "Di A"}});
    EXPECT_EQ(s.esito, EsitoAlbero::ModificatoAltrove);
    EXPECT_EQ(stored(), QStringList({"1\\=Atti", "2\\=Ferie", "5\\=Di A", "4\\=Di B"}));
    EXPECT_EQ(s.nuoveChiavi.value("3\\"), "5\\");
    EXPECT_EQ(db->scalar("SELECT SYS_TREE FROM sys_rela_tree").toString(), "3\\");
}

} // namespace
