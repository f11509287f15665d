#include "database.h"
#include "temp_program.h"
#include "town_code.h"

#include <gtest/gtest.h>

using namespace quad;

TEST(TownCode, SlicesDecodeAndCodingIsItsOwnInverse)
{
    const QString coded = estrai_codice_comune(1, "00184");
    EXPECT_EQ(coded, "00IBF");
    EXPECT_EQ(estrai_codice_comune(1, coded), "00184");
    EXPECT_EQ(estrai_codice_comune(1, "  00 "), "  00 ");
    EXPECT_EQ(estrai_codice_comune(1, "HF"), "24");
    EXPECT_EQ(estrai_codice_comune(2, "00HFEIIII"), "1111");
    EXPECT_EQ(estrai_codice_comune(7, "00HFE"), "");
}

TEST(SeedData, TownsHavePostalCodesAndForeignStatesAreEE)
{
    test::TempProgram prog;
    DbResult err;
    auto db = Connection::open(prog.file("Quad_imposta.mdb"), QByteArray(), &err);
    ASSERT_TRUE(db);
    const int italian = db->scalar("SELECT count(*) FROM Comuni WHERE Prov <> 'EE'").toInt();
    EXPECT_GT(italian, 7500);
    QString prov, codici;
    EXPECT_TRUE(db->query("SELECT Prov, codici FROM Comuni WHERE Citta = ?", {"Roma"}, [&](const Statement& st) {
                      prov = st.value(0).toString();
                      codici = st.value(1).toString();
                      return false;
                  }).ok());
    EXPECT_EQ(prov, "RM");
    EXPECT_TRUE(estrai_codice_comune(1, codici).startsWith("001")) << codici.toStdString();
    EXPECT_GT(db->scalar("SELECT count(*) FROM Comuni WHERE Prov = 'EE'").toInt(), 150);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Comuni WHERE Prov = 'EE' AND codici IS NOT NULL").toInt(), 0);
    // Towns that share a name stay apart.
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Comuni WHERE Citta = 'Castro'").toInt(), 2);
    // Every Italian town's postal code decodes to five digits.
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Comuni WHERE Prov <> 'EE' AND length(codici) <> 5").toInt(), 0);
}
