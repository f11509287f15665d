#include "file_replace.h"
#include "my_func.h"
#include "program_folder.h"
#include "settings.h"
#include "temp_program.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace quad;

namespace {

TEST(LeggiImpostazioni, MissingFileIsCreatedWithExactlyFiveKeys)
{
    test::TempProgram prog;
    WorkingState s;
    leggi_impostazioni(s);
    const QString text = prog.readFile("imposta.ini");
    EXPECT_EQ(text,
              QString("[Uffici]\r\nElenco=\r\n[IMPOSTA]\r\nPostazione=Server\r\nPath_Postazione=%1\r\n"
                      "Quad_rete=0\r\nColonne_grid=%2\r\n")
                  .arg(prog.path(), QString(34, 'X')));
    EXPECT_EQ(s.p_postazione, "Server");
    EXPECT_EQ(s.p_path_postazione, prog.path());
    EXPECT_EQ(s.p_quad_rete, "0");
    EXPECT_EQ(s.p_eln_colonne, QString(34, 'X'));
    EXPECT_EQ(s.p_chk_back_up, "0");
    EXPECT_TRUE(s.p_path_back_up.isEmpty());
    EXPECT_TRUE(s.p_path_eln_uffici.isEmpty());
    EXPECT_TRUE(s.p_eln_uffici.isEmpty());
}

TEST(LeggiImpostazioni, ASettingsFileThatCannotBeCreatedIsReportedAndNotLeftEmpty)
{
    test::TempProgram prog;
    WorkingState s;
    setFileWriteFaultForTests([](const QString&) { return true; });
    const QString error = leggi_impostazioni(s);
    setFileWriteFaultForTests(nullptr);
    EXPECT_TRUE(error.contains("imposta.ini")) << error.toStdString();
    // No empty file that would be read as all defaults at the next start: it is created then.
    EXPECT_FALSE(QFile::exists(prog.file("imposta.ini")));
    EXPECT_EQ(leggi_impostazioni(s), "");
    EXPECT_EQ(s.p_postazione, "Server");
}

TEST(LeggiImpostazioni, ExistingFileIsNotCompleted)
{
    test::TempProgram prog;
    prog.writeIni("[Uffici]\nElenco=A;B\nPath=/a;/b\n[IMPOSTA]\nQuad_rete=1\nCheck_back_up=1\nPath_back_up=/bk\n");
    const QString before = prog.readFile("imposta.ini");
    WorkingState s;
    leggi_impostazioni(s);
    EXPECT_EQ(prog.readFile("imposta.ini"), before);
    EXPECT_EQ(s.p_postazione, "");
    EXPECT_EQ(s.p_eln_uffici, "A;B");
    EXPECT_EQ(s.p_path_eln_uffici, "/a;/b");
    EXPECT_EQ(s.p_quad_rete, "1");
    EXPECT_EQ(s.p_eln_colonne, QString(34, 'X'));
    EXPECT_EQ(s.p_chk_back_up, "1");
    EXPECT_EQ(s.p_path_back_up, "/bk");
}

TEST(ProgramFolder, DataFolderResolvesAgainstProgramFolderWithoutCase)
{
    test::TempProgram prog;
    prog.addHistorical("sub_Vecchio");
    EXPECT_EQ(resolveDataFolder(""), prog.path());
    EXPECT_EQ(resolveDataFolder("SUB_VECCHIO"), prog.file("sub_Vecchio"));
    EXPECT_EQ(fileInFolder(resolveDataFolder("SUB_VECCHIO"), "ARCH_QUADERNOLO.MDB"),
              prog.file("sub_Vecchio/Arch_quadernolo.mdb"));
    EXPECT_EQ(iniPath(), prog.file("imposta.ini"));
}

} // namespace
