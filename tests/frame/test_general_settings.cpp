#include "general_settings.h"
#include "my_func.h"
#include "program_folder.h"
#include "temp_program.h"
#include "unlock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quad;

namespace {

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("...\r\n");
}

TEST(GeneralSettings, WritesTheFiveKeysAndTheWorkingState)
{
    test::TempProgram prog;
    prog.writeIni("[IMPOSTA]\nColonne_grid=XX\n");
    WorkingState s;
    ImpostazioniGenerali v;
    v.postazione = "Client";
    v.pathPostazione = "/srv/server";
    v.rete = true;
    v.backUp = false;
    v.pathBackUp = "/media/copia";
    salva_impostazioni_generali(s, v);
    const QString ini = iniPath();
    EXPECT_EQ(leggi_ini(ini, "IMPOSTA", "Postazione", "?"), "Client");
    EXPECT_EQ(leggi_ini(ini, "IMPOSTA", "Path_Postazione", "?"), "/srv/server");
    EXPECT_EQ(leggi_ini(ini, "IMPOSTA", "Quad_rete", "?"), "1");
    EXPECT_EQ(leggi_ini(ini, "IMPOSTA", "Check_back_up", "?"), "0");
    EXPECT_EQ(leggi_ini(ini, "IMPOSTA", "Path_back_up", "?"), "/media/copia");
    EXPECT_EQ(leggi_ini(ini, "IMPOSTA", "Colonne_grid", "?"), "XX");
    EXPECT_EQ(s.p_postazione, "Client");
    EXPECT_EQ(s.p_path_postazione, "/srv/server");
    EXPECT_EQ(s.p_quad_rete, "1");
    EXPECT_EQ(s.p_chk_back_up, "0");
    EXPECT_EQ(s.p_path_back_up, "/media/copia");
}

TEST(GeneralSettings, SwitchValues)
{
    EXPECT_TRUE(valore_spunta("1"));
    EXPECT_TRUE(valore_spunta(" 1 "));
    EXPECT_FALSE(valore_spunta("0"));
    EXPECT_FALSE(valore_spunta(""));
    EXPECT_FALSE(valore_spunta("si"));
}

TEST(GeneralSettings, FolderChooserStartsAtHomeOrAtTheFolderWithoutTrailingSeparator)
{
    EXPECT_EQ(normalizza_percorso(""), QDir::homePath());
    EXPECT_EQ(normalizza_percorso("/media/copia/"), "/media/copia");
    EXPECT_EQ(normalizza_percorso("/media/copia"), "/media/copia");
    EXPECT_EQ(normalizza_percorso("/"), "/");
}

TEST(GeneralSettings, ArchiveFolderOnlyForAnExistingArchiveFile)
{
    QTemporaryDir dir;
    touch(dir.filePath("ARCH_QUADERNOLO.MDB"));
    touch(dir.filePath("altro.mdb"));
    EXPECT_EQ(cartella_archivio(dir.filePath("ARCH_QUADERNOLO.MDB")), QDir::cleanPath(dir.path()));
    EXPECT_EQ(cartella_archivio(dir.filePath("altro.mdb")), "");
    EXPECT_EQ(cartella_archivio(dir.filePath("Arch_quadernolo.mdb.bak")), "");
    EXPECT_EQ(cartella_archivio(dir.filePath("sub/Arch_quadernolo.mdb")), "");
    EXPECT_EQ(cartella_archivio(""), "");
}

TEST(Unlock, RemovesTheLockOfTheProgramFolder)
{
    test::TempProgram prog;
    touch(prog.file("emissione.txt"));
    EXPECT_TRUE(rimuovi_blocco(prog.path()));
    EXPECT_FALSE(QFile::exists(prog.file("emissione.txt")));
    // No lock: nothing to do, and no error.
    EXPECT_TRUE(rimuovi_blocco(prog.path()));
}

TEST(Unlock, AHistoricalFolderIsResolvedAgainstTheProgramFolderNotTheCurrentOne)
{
    test::TempProgram prog;
    prog.addHistorical("sub_Vecchio");
    touch(prog.file("sub_Vecchio/Emissione.TXT"));
    touch(prog.file("emissione.txt"));
    QTemporaryDir elsewhere;
    QDir(elsewhere.path()).mkdir("SUB_Vecchio");
    touch(QDir(elsewhere.path()).filePath("SUB_Vecchio/emissione.txt"));
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    const bool ok = rimuovi_blocco("SUB_Vecchio");
    QDir::setCurrent(cwd);
    EXPECT_TRUE(ok);
    EXPECT_FALSE(QFile::exists(prog.file("sub_Vecchio/Emissione.TXT")));
    EXPECT_TRUE(QFile::exists(prog.file("emissione.txt")));
    EXPECT_TRUE(QFile::exists(QDir(elsewhere.path()).filePath("SUB_Vecchio/emissione.txt")));
}

TEST(Unlock, AFolderNamedLikeTheLockIsNotDeleted)
{
    test::TempProgram prog;
    QDir(prog.path()).mkdir("emissione.txt");
    EXPECT_TRUE(rimuovi_blocco(prog.path()));
    EXPECT_TRUE(QFileInfo(prog.file("emissione.txt")).isDir());
}

} // namespace
