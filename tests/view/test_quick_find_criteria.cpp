#include "quick_find.h"

#include <gtest/gtest.h>

using namespace quad;

TEST(QuickFindCriteria, TextFieldsMatchTheBeginningWithQuotesDoubled)
{
    EXPECT_EQ(crea_criterio("Oggetto", 202, "  rossi ").text, "Oggetto like 'rossi%'");
    EXPECT_EQ(crea_criterio("Note", 203, "l'atto").text, "Note like 'l''atto%'");
    // A quote cannot close the literal and add a clause of its own.
    EXPECT_EQ(crea_criterio("Oggetto", 202, "x' OR Progressivo > '0").text, "Oggetto like 'x'' OR Progressivo > ''0%'");
    EXPECT_EQ(crea_criterio("Oggetto", 202, "").text, "Oggetto like '%'");
}

TEST(QuickFindCriteria, PartOfTheFieldWildcardOnlyOnText)
{
    EXPECT_EQ(valore_ricerca("ros*i", false, 202), "ros%i");
    EXPECT_EQ(valore_ricerca(" rossi", true, 202), "%rossi");
    EXPECT_EQ(valore_ricerca("12", true, 3), "12");
    EXPECT_EQ(valore_ricerca("12/03/2025", true, 7), "12/03/2025");
    EXPECT_EQ(crea_criterio("Oggetto", 202, valore_ricerca("rossi", true, 202)).text, "Oggetto like '%rossi%'");
    // A number field searched with "part of the field" still looks for the number typed.
    EXPECT_EQ(crea_criterio("Progressivo", 3, valore_ricerca("58", true, 3)).text, "Progressivo = 58");
}

TEST(QuickFindCriteria, NumbersReadTheirLeadingNumber)
{
    EXPECT_EQ(crea_criterio("Progressivo", 3, "58").text, "Progressivo = 58");
    EXPECT_EQ(crea_criterio("Progressivo", 3, " 0058abc").text, "Progressivo = 58");
    EXPECT_EQ(crea_criterio("Importo", 5, "12,50").text, "Importo = 12.5");
    EXPECT_EQ(crea_criterio("Importo", 5, "-3.0").text, "Importo = -3");
    EXPECT_EQ(crea_criterio("Progressivo", 3, "0").text, "Progressivo = 0");
    for (const char* bad : {"", "abc", "%5", "-", "."}) {
        const QuickFindCriterion c = crea_criterio("Progressivo", 3, bad);
        EXPECT_FALSE(c.ok()) << bad;
        EXPECT_TRUE(c.text.isEmpty());
        EXPECT_TRUE(c.error.contains("Progressivo"));
    }
}

TEST(QuickFindCriteria, DatesMustReadAsDates)
{
    EXPECT_EQ(crea_criterio("Data_quadernolo", 7, "5/3/2025").text, "Data_quadernolo = #05/03/2025#");
    EXPECT_EQ(crea_criterio("Data_quadernolo", 133, "2025-03-05").text, "Data_quadernolo = #05/03/2025#");
    for (const char* bad : {"31/02/2025", "1", "%05/03/2025", "05/03/2025#", "25:00"})
        EXPECT_FALSE(crea_criterio("Data_quadernolo", 7, bad).ok()) << bad;
    // Times are kept in date/time fields too (Orario): a time alone is a time of day.
    EXPECT_EQ(crea_criterio("Orario", 7, "9:30").text, "Orario = #09:30:00#");
    EXPECT_EQ(crea_criterio("Stamp", 135, "05/03/2025 10:00").text, "Stamp = #05/03/2025 10:00:00#");
}

TEST(QuickFindCriteria, TypesWithoutAFormOfTheirOwnGetOneThatFits)
{
    EXPECT_EQ(crea_criterio("Importo", 6, "12,50").text, "Importo = 12.5");
    EXPECT_EQ(crea_criterio("Piccolo", 17, "7").text, "Piccolo = 7");
    EXPECT_EQ(crea_criterio("Grande", 20, "-3").text, "Grande = -3");
    EXPECT_EQ(crea_criterio("Codice", 129, "ab'c").text, "Codice like 'ab''c%'");
    EXPECT_EQ(crea_criterio("Nome", 200, " x ").text, "Nome like 'x%'");
}

TEST(QuickFindCriteria, YesNoAndOtherTypes)
{
    EXPECT_EQ(crea_criterio("Annullato", 11, "Vero").text, "Annullato = True");
    EXPECT_EQ(crea_criterio("Annullato", 11, "-1").text, "Annullato = True");
    EXPECT_EQ(crea_criterio("Annullato", 11, "falso").text, "Annullato = False");
    EXPECT_FALSE(crea_criterio("Annullato", 11, "V OR Progressivo = 1").ok());
    EXPECT_FALSE(crea_criterio("Foto", 205, "x").ok());
    EXPECT_FALSE(crea_criterio("Foto", 0, "x").ok());
}

TEST(QuickFindCriteria, FieldNames)
{
    EXPECT_EQ(crea_criterio("entrata.Tipo", 202, "E").text, "entrata.Tipo like 'E%'");
    EXPECT_EQ(crea_criterio("N. all", 3, "2").text, "[N. all] = 2");
    EXPECT_FALSE(crea_criterio("", 202, "x").ok());
    EXPECT_FALSE(crea_criterio("a]b", 202, "x").ok());
}
