#include "file_replace.h"
#include "my_func.h"
#include "office_list.h"
#include "program_folder.h"
#include "temp_program.h"

#include <gtest/gtest.h>

using namespace quad;

namespace {

QString ini(const QString& key)
{
    return leggi_ini(iniPath(), "Uffici", key, "<manca>");
}

TEST(OfficeList, SplitsAsTheSettingsKeepIt)
{
    EXPECT_TRUE(dividi_elenco("").isEmpty());
    EXPECT_EQ(dividi_elenco("A"), QStringList({"A"}));
    EXPECT_EQ(dividi_elenco("A;B"), QStringList({"A", "B"}));
    EXPECT_EQ(dividi_elenco("A;"), QStringList({"A", ""}));
    EXPECT_EQ(dividi_elenco(";B"), QStringList({"", "B"}));
}

TEST(OfficeList, AddingThreeOfficesWritesOnlyTheNames)
{
    test::TempProgram prog;
    prog.writeIni("[Uffici]\nElenco=\nPath=\n");
    WorkingState s;
    for (const char* name : {"A", "B", "C"})
        EXPECT_EQ(aggiungi_ufficio(s, name), "");
    EXPECT_EQ(s.p_eln_uffici, "A;B;C");
    EXPECT_EQ(ini("Elenco"), "A;B;C");
    EXPECT_EQ(ini("Path"), "");
    EXPECT_EQ(s.p_path_eln_uffici, "");
}

TEST(OfficeList, AddingKeepsTheFoldersOfTheOfficesBefore)
{
    test::TempProgram prog;
    prog.writeIni("[Uffici]\nElenco=A;B\nPath=/srv/a;/srv/b\n");
    WorkingState s;
    s.p_eln_uffici = "A;B";
    s.p_path_eln_uffici = "/srv/a;/srv/b";
    EXPECT_EQ(aggiungi_ufficio(s, "Ufficio d'Arte"), "");
    EXPECT_EQ(ini("Elenco"), "A;B;Ufficio d'Arte");
    EXPECT_EQ(ini("Path"), "/srv/a;/srv/b");
}

TEST(OfficeList, ANewOfficeNeverInheritsAStrayFolder)
{
    test::TempProgram prog;
    prog.writeIni("[Uffici]\nElenco=A\nPath=/srv/a;/srv/vecchio\n");
    WorkingState s;
    s.p_eln_uffici = "A";
    s.p_path_eln_uffici = "/srv/a;/srv/vecchio";
    EXPECT_EQ(aggiungi_ufficio(s, "B"), "");
    EXPECT_EQ(ini("Elenco"), "A;B");
    EXPECT_EQ(ini("Path"), "/srv/a");
    EXPECT_EQ(s.p_path_eln_uffici, "/srv/a");
}

TEST(OfficeList, EmptyNamesAndSeparatorsAreRefusedAndChangeNothing)
{
    test::TempProgram prog;
    prog.writeIni("[Uffici]\nElenco=A\nPath=/srv/a\n");
    WorkingState s;
    s.p_eln_uffici = "A";
    s.p_path_eln_uffici = "/srv/a";
    for (const char* bad : {"", "   ", "B;C", ";"})
        EXPECT_FALSE(aggiungi_ufficio(s, bad).isEmpty()) << bad;
    EXPECT_EQ(s.p_eln_uffici, "A");
    EXPECT_EQ(ini("Elenco"), "A");
    EXPECT_EQ(ini("Path"), "/srv/a");
    EXPECT_FALSE(verifica_percorso_ufficio("/srv/a;b").isEmpty());
    EXPECT_EQ(verifica_percorso_ufficio("/srv/a b"), "");
    EXPECT_EQ(verifica_percorso_ufficio(""), "");
}

TEST(OfficeList, SavingPairsEveryNameWithAFolder)
{
    test::TempProgram prog;
    WorkingState s;
    salva_elenco_uffici(s, {"A", "B", "C"}, {"/srv/a"});
    EXPECT_EQ(ini("Elenco"), "A;B;C");
    EXPECT_EQ(ini("Path"), "/srv/a;;");
    EXPECT_EQ(dividi_elenco(s.p_path_eln_uffici).size(), 3);
    // Folders beyond the names are dropped.
    salva_elenco_uffici(s, {"B"}, {"/srv/b", "/srv/x"});
    EXPECT_EQ(ini("Elenco"), "B");
    EXPECT_EQ(ini("Path"), "/srv/b");
    salva_elenco_uffici(s, {}, {});
    EXPECT_EQ(ini("Elenco"), "");
    EXPECT_EQ(ini("Path"), "");
    EXPECT_EQ(s.p_eln_uffici, "");
    EXPECT_EQ(s.p_path_eln_uffici, "");
}

TEST(OfficeList, AFailedWriteNeverPairsAnOfficeWithAnothersFolder)
{
    test::TempProgram prog;
    prog.writeIni("[Uffici]\nElenco=A;B;C\nPath=/srv/a;/srv/b;/srv/c\n");
    WorkingState s;
    s.p_eln_uffici = "A;B;C";
    s.p_path_eln_uffici = "/srv/a;/srv/b;/srv/c";
    const auto pairs = [] {
        const QStringList names = dividi_elenco(ini("Elenco"));
        const QStringList folders = dividi_elenco(ini("Path"));
        QStringList out;
        for (int i = 0; i < names.size(); ++i)
            out << names[i] + "=" + folders.value(i);
        return out.join(' ').toStdString();
    };
    // Deleting A: every write of the settings file after the first fails, as on a disk that
    // has just filled up.
    int writes = 0;
    setFileWriteFaultForTests([&](const QString&) { return ++writes > 1; });
    const QString error = salva_elenco_uffici(s, {"B", "C"}, {"/srv/b", "/srv/c"});
    EXPECT_EQ(pairs(), "B=/srv/b C=/srv/c") << error.toStdString();

    // Whatever write fails, the file keeps offices and folders together.
    setFileWriteFaultForTests([](const QString&) { return true; });
    EXPECT_FALSE(salva_elenco_uffici(s, {"C"}, {"/srv/c"}).isEmpty());
    EXPECT_FALSE(aggiungi_ufficio(s, "D").isEmpty());
    setFileWriteFaultForTests(nullptr);
    EXPECT_EQ(pairs(), "B=/srv/b C=/srv/c");
}

} // namespace
