#include "my_func.h"

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
}

TEST(AggiungiBarra, AddsTheSeparatorOnce)
{
    EXPECT_EQ(aggiungi_barra(""), "/");
    EXPECT_EQ(aggiungi_barra("/"), "/");
    EXPECT_EQ(aggiungi_barra("/srv/dati"), "/srv/dati/");
    EXPECT_EQ(aggiungi_barra("/srv/dati/"), "/srv/dati/");
    EXPECT_EQ(aggiungi_barra(aggiungi_barra("/srv/dati")), "/srv/dati/");
}

TEST(FileEsiste, OrdinaryFilesOnly)
{
    QTemporaryDir dir;
    touch(dir.filePath("Notifica_2026_07_12__10_00_00.xml"));
    touch(dir.filePath(".nascosto"));
    QDir(dir.path()).mkdir("cartella");
    EXPECT_TRUE(file_esiste(dir.filePath("Notifica_2026_07_12__10_00_00.xml")));
    EXPECT_FALSE(file_esiste(dir.filePath("cartella")));
    EXPECT_FALSE(file_esiste(dir.filePath(".nascosto")));
    EXPECT_FALSE(file_esiste(dir.filePath("manca.txt")));
    EXPECT_FALSE(file_esiste(""));
    EXPECT_FALSE(file_esiste(dir.filePath("no/such/folder/x.txt")));
}

TEST(FileEsiste, WildcardsMatchAnyOrdinaryFile)
{
    QTemporaryDir dir;
    EXPECT_FALSE(file_esiste(dir.filePath("Notifica_*.*")));
    QDir(dir.path()).mkdir("Notifica_dir.x");
    EXPECT_FALSE(file_esiste(dir.filePath("Notifica_*.*")));
    touch(dir.filePath("Notifica_1.xml"));
    EXPECT_TRUE(file_esiste(dir.filePath("Notifica_*.*")));
}

TEST(LeggiScriviIni, EmptyValueIsNotTheDefault)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("imposta.ini");
    EXPECT_EQ(leggi_ini(ini, "IMPOSTA", "Quad_rete", "0"), "0");
    EXPECT_NE(scrivi_ini(ini, "IMPOSTA", "Quad_rete", ""), 0);
    EXPECT_EQ(leggi_ini(ini, "IMPOSTA", "Quad_rete", "0"), "");
}

TEST(ApriDocumento, GoesThroughTheOpener)
{
    QStringList opened;
    setDocumentOpener([&](const QString& f) {
        opened << f;
        return true;
    });
    EXPECT_GT(apri_documento("/prog/manuale quadernolo.chm"), 32);
    setDocumentOpener([](const QString&) { return false; });
    EXPECT_LE(apri_documento("C:\\x\\y.pdf"), 32);
    EXPECT_EQ(opened, QStringList({"/prog/manuale quadernolo.chm"}));
    // Without an opener in place (a library used outside the program) nothing opens.
    setDocumentOpener(nullptr);
    EXPECT_LE(apri_documento("/prog/manuale quadernolo.chm"), 32);
}

} // namespace
