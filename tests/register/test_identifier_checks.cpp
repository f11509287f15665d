#include "identifier_checks.h"

#include <gtest/gtest.h>

using namespace quad;

TEST(PartitaIva, CheckDigit)
{
    EXPECT_TRUE(verifica_partita_iva("12345678903"));
    EXPECT_FALSE(verifica_partita_iva("12345678901"));
    // A total ending in 0 needs a final 0.
    EXPECT_TRUE(verifica_partita_iva("00000000000"));
    EXPECT_TRUE(verifica_partita_iva("01234567897"));
    // Doubled digits of 10 or more count as the sum of their digits: 5 -> 10 -> 1, 9 -> 18 -> 9 (45 -> 5).
    EXPECT_TRUE(verifica_partita_iva("05050505055"));
    EXPECT_TRUE(verifica_partita_iva("09090909095"));
}

TEST(PartitaIva, ShapeIsElevenDigits)
{
    EXPECT_FALSE(verifica_partita_iva(""));
    EXPECT_FALSE(verifica_partita_iva("1234567890"));
    EXPECT_FALSE(verifica_partita_iva("123456789031"));
    EXPECT_FALSE(verifica_partita_iva("1234567890A"));
    EXPECT_FALSE(verifica_partita_iva("1234 678903"));
    // Blanks after the number are not part of it; a blank before it takes a digit's place.
    EXPECT_TRUE(verifica_partita_iva("12345678903  "));
    EXPECT_FALSE(verifica_partita_iva("  12345678903 "));
    EXPECT_FALSE(verifica_partita_iva(" 12345678903"));
    // Digits of other scripts are not digits here.
    EXPECT_FALSE(verifica_partita_iva(QString::fromUtf8("1234567890\u0663")));
}

TEST(CodiceFiscale, ControlCharacter)
{
    EXPECT_EQ(calcola_car_controllo("RSSMRA80A01H501"), QChar('U'));
    EXPECT_TRUE(verifica_cod_fiscale("RSSMRA80A01H501U"));
    EXPECT_FALSE(verifica_cod_fiscale("RSSMRA80A01H501X"));
    // Place values of the published tables.
    EXPECT_EQ(valore_dispari('A'), 1);
    EXPECT_EQ(valore_dispari('0'), 1);
    EXPECT_EQ(valore_dispari('Z'), 23);
    EXPECT_EQ(valore_dispari('9'), 21);
    EXPECT_EQ(valore_pari('A'), 0);
    EXPECT_EQ(valore_pari('Z'), 25);
    EXPECT_EQ(valore_pari('7'), 7);
    EXPECT_EQ(valore_dispari('a'), 0);
    EXPECT_EQ(valore_pari(' '), 0);
}

TEST(CodiceFiscale, LowerCaseOrBlanksAroundFail)
{
    EXPECT_FALSE(verifica_cod_fiscale("rssmra80a01h501u"));
    EXPECT_FALSE(verifica_cod_fiscale("RSSMRA80A01H501u"));
    EXPECT_FALSE(verifica_cod_fiscale("  RSSMRA80A01H501U "));
    EXPECT_FALSE(verifica_cod_fiscale("RSSMRA80A01H501U "));
    // The box hands the trimmed text over, so blanks typed around a valid code pass there.
    EXPECT_EQ(rifiuto_piva_cf("  RSSMRA80A01H501U "), "");
    EXPECT_EQ(rifiuto_piva_cf("rssmra80a01h501u"), "Codice Fiscale errato !\n\n");
}

TEST(CodiceFiscale, GarbageIsRefused)
{
    EXPECT_FALSE(verifica_cod_fiscale(""));
    EXPECT_FALSE(verifica_cod_fiscale("F"));
    EXPECT_FALSE(verifica_cod_fiscale("MA"));
    EXPECT_FALSE(verifica_cod_fiscale("RSSMRA80A01H501"));
    EXPECT_FALSE(verifica_cod_fiscale("RSSMRA80A01H501UU"));
    EXPECT_FALSE(verifica_cod_fiscale("RSSMRA80A01H501U1"));
    // Digits where the code has letters, or a blank inside.
    EXPECT_FALSE(verifica_cod_fiscale("RSS1RA80A01H501U"));
    EXPECT_FALSE(verifica_cod_fiscale("RSSMRA 0A01H501U"));
    EXPECT_FALSE(verifica_cod_fiscale(QString::fromUtf8("RSSMRÀ80A01H501U")));
    // A code whose sixteen characters are all letters has letters in the digit places that
    // stand for no digit (A is not one of L M N P Q R S T U V).
    QString letters = "RSSMRAAAAAAHAAA";
    letters += calcola_car_controllo(letters);
    EXPECT_FALSE(verifica_cod_fiscale(letters));
}

TEST(CodiceFiscale, PlaceNineIsAMonthLetter)
{
    // Every month letter passes; any other letter there is refused even with the right check letter.
    for (const QChar month : QStringLiteral("ABCDEHLMPRST")) {
        QString code = QStringLiteral("RSSMRA80") + month + QStringLiteral("01H501");
        code += calcola_car_controllo(code);
        EXPECT_TRUE(verifica_cod_fiscale(code)) << code.toStdString();
    }
    for (const QChar other : QStringLiteral("FGIJKNOQUVWXYZ")) {
        QString code = QStringLiteral("RSSMRA80") + other + QStringLiteral("01H501");
        code += calcola_car_controllo(code);
        EXPECT_FALSE(verifica_cod_fiscale(code)) << code.toStdString();
        EXPECT_EQ(rifiuto_piva_cf(code), "Codice Fiscale errato !\n\n");
    }
}

TEST(CodiceFiscale, HomonymLettersInDigitPlaces)
{
    // 80 -> U L and 501 -> R L M: a code changed to tell homonyms apart.
    QString omocode = "RSSMRAULA01HRLM";
    omocode += calcola_car_controllo(omocode);
    EXPECT_TRUE(verifica_cod_fiscale(omocode));
    EXPECT_FALSE(verifica_cod_fiscale(omocode.toLower()));
    QString wrong = omocode;
    wrong[15] = wrong[15] == 'A' ? 'B' : 'A';
    EXPECT_FALSE(verifica_cod_fiscale(wrong));
}

TEST(CodeBox, TheFirstCharacterAsTypedChoosesTheCheck)
{
    EXPECT_EQ(rifiuto_piva_cf("12345678903"), "");
    EXPECT_EQ(rifiuto_piva_cf("12345678901"), "Partita iva non valida !\n\n");
    EXPECT_EQ(rifiuto_piva_cf("RSSMRA80A01H501U "), "");
    EXPECT_EQ(rifiuto_piva_cf("RSSMRA80A01H501X"), "Codice Fiscale errato !\n\n");
    // A leading blank makes a VAT number a tax code, which it is not.
    EXPECT_EQ(rifiuto_piva_cf(" 12345678903"), "Codice Fiscale errato !\n\n");
    // A code beginning with a digit is taken for a VAT number.
    EXPECT_EQ(rifiuto_piva_cf("9SSMRA80A01H501U"), "Partita iva non valida !\n\n");
    // Nothing to check.
    EXPECT_EQ(rifiuto_piva_cf(""), "");
    EXPECT_EQ(rifiuto_piva_cf("   "), "");
}

TEST(CodiceFiscale, EveryHomonymLetterCountsAsItselfInTheCheck)
{
    // L M N P Q R S T U V for 0-9, at an odd place (15) and at an even one (8), each with the
    // check letter the published tables give for the code as it stands.
    const char* codici[]
        = {"RSSMRA80A01H50LY", "RSSMRA80A01H50MM", "RSSMRA80A01H50NO", "RSSMRA80A01H50PX", "RSSMRA80A01H50QA",
           "RSSMRA80A01H50RC", "RSSMRA80A01H50SG", "RSSMRA80A01H50TI", "RSSMRA80A01H50UK", "RSSMRA80A01H50VE",
           "RSSMRA8LA01H501F", "RSSMRA8MA01H501G", "RSSMRA8NA01H501H", "RSSMRA8PA01H501J", "RSSMRA8QA01H501K",
           "RSSMRA8RA01H501L", "RSSMRA8SA01H501M", "RSSMRA8TA01H501N", "RSSMRA8UA01H501O", "RSSMRA8VA01H501P"};
    for (const char* codice : codici) {
        const QString code = QString::fromLatin1(codice);
        EXPECT_EQ(calcola_car_controllo(code.left(15)), code.at(15)) << codice;
        EXPECT_TRUE(verifica_cod_fiscale(code)) << codice;
        EXPECT_EQ(rifiuto_piva_cf(code), "") << codice;
        QString altro = code;
        altro[15] = QChar(code.at(15) == QLatin1Char('Z') ? 'A' : code.at(15).unicode() + 1);
        EXPECT_FALSE(verifica_cod_fiscale(altro)) << codice;
    }
}
