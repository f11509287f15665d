#include "advanced_criteria.h"
#include "range_panels.h"
#include "recordset.h"

#include <QDate>

#include <gtest/gtest.h>

#include <memory>

using namespace quad;

namespace {

/// A register as the main window joins it: entrata.Tipo and Mittenti.tipo both present.
std::shared_ptr<Recordset> registro()
{
    auto rs = std::make_shared<Recordset>();
    rs->appendField("Progressivo", adInteger);
    rs->appendField("entrata.Tipo", adVarWChar);
    rs->appendField("Data_quadernolo", adDate);
    rs->appendField("Oggetto", adVarWChar);
    rs->appendField("Annullato", adBoolean);
    rs->appendField("Importo", adDouble);
    rs->appendField("Mittenti.tipo", adVarWChar);
    rs->openInMemory();
    return rs;
}

RigaCriterio riga(const QString& unione, const QString& campo, const QString& op, const QString& criterio)
{
    return {unione, campo, op, criterio};
}

QString filtro(const QList<RigaCriterio>& righe)
{
    const FiltroAvanzato f = costruisci_filtro(righe, *registro());
    return f.valido ? f.testo : QStringLiteral("<non valido>");
}

} // namespace

TEST(AdvancedCriteria, RowsJoinIntoOneFilter)
{
    EXPECT_EQ(filtro({riga(" e ", "Data_quadernolo", ">=", "01/01/2004"),
                      riga(" e ", "Data_quadernolo", "<=", "31/12/2004")}),
              "Data_quadernolo >= #01/01/2004# AND Data_quadernolo <= #31/12/2004#");
    // The join of the first row is not used; an unknown join word means AND.
    EXPECT_EQ(filtro({riga(" oppure ", "Oggetto", "like", "%nota")}), "Oggetto like '%nota%'");
    EXPECT_EQ(filtro({riga("", "Progressivo", ">=", "120"), riga("", "Progressivo", "<", "1,5"),
                      riga(" oppure ", "Annullato", "=", "Vero")}),
              "Progressivo >= 120 AND Progressivo < 1.5 OR Annullato = True");
    // The direction row compares entrata.Tipo with like, whatever its operator.
    EXPECT_EQ(filtro({riga(" e ", "Oggetto", "=", "l'ente"), riga(" e ", "Tipo", "=", "U")}),
              "Oggetto = 'l''ente' AND entrata.Tipo like 'U%'");
    EXPECT_EQ(filtro({riga(" e ", "Oggetto", "<>", "x")}), "Oggetto <> 'x'");
}

TEST(AdvancedCriteria, NothingTypedCanChangeTheExpression)
{
    EXPECT_EQ(filtro({}), "<non valido>");
    EXPECT_EQ(filtro({riga(" e ", "Progressivo", ">", "1 OR 1=1")}), "<non valido>");
    EXPECT_EQ(filtro({riga(" e ", "Progressivo", ">", "12a")}), "<non valido>");
    EXPECT_EQ(filtro({riga(" e ", "Progressivo", "> 1 OR Progressivo", "1")}), "<non valido>");
    EXPECT_EQ(filtro({riga(" e ", "Data_quadernolo", "=", "31/02/2004")}), "<non valido>");
    EXPECT_EQ(filtro({riga(" e ", "Annullato", "=", "forse")}), "<non valido>");
    EXPECT_EQ(filtro({riga(" e ", "Progressivo", "like", "1%")}), "<non valido>") << "patterns only on text";
    EXPECT_EQ(filtro({riga(" e ", "Nessuno", "=", "1")}), "<non valido>");
    EXPECT_EQ(filtro({riga(" e ", "Oggetto", "", "x")}), "<non valido>") << "no comparison chosen";
    EXPECT_EQ(filtro({riga(" e ", "Oggetto", "=", QString())}), "<non valido>") << "no value";
    // A quote cannot close the text early.
    EXPECT_EQ(filtro({riga(" e ", "Oggetto", "=", "x' OR Oggetto like '")}), "Oggetto = 'x'' OR Oggetto like '''");
}

TEST(AdvancedCriteria, OperatorsAndValueChecksByType)
{
    auto rs = registro();
    EXPECT_EQ(operatori_per_tipo(tipo_campo_criterio(rs.get(), "Oggetto")).first(), "like");
    EXPECT_EQ(operatori_per_tipo(tipo_campo_criterio(rs.get(), "Annullato")), QStringList({"=", "<>"}));
    EXPECT_EQ(operatori_per_tipo(tipo_campo_criterio(rs.get(), "Tipo")).size(), 7) << "entrata.Tipo, a text";
    EXPECT_EQ(operatori_per_tipo(tipo_campo_criterio(rs.get(), "Data_quadernolo")).size(), 6);
    EXPECT_TRUE(operatori_per_tipo(tipo_campo_criterio(rs.get(), "Nessuno")).isEmpty());
    EXPECT_TRUE(operatori_per_tipo(6).size() == 6) << "currency is a number";
    EXPECT_EQ(GetFieldNameFromString(" Oggetto [testo] "), "Oggetto");

    EXPECT_TRUE(ValidateUserInputCriteria("12,5", adDouble));
    EXPECT_FALSE(ValidateUserInputCriteria("abc", adInteger));
    EXPECT_TRUE(ValidateUserInputCriteria("5/3/2004", adDate));
    EXPECT_FALSE(ValidateUserInputCriteria("5/13/2004", adDate));
    EXPECT_TRUE(ValidateUserInputCriteria("Falso", adBoolean));
    EXPECT_TRUE(ValidateUserInputCriteria("qualsiasi '", adLongVarWChar));
    EXPECT_FALSE(ValidateUserInputCriteria("x", 0));

    EXPECT_EQ(GetFormatttedCriteriaString("7/3/2005", adDate), "#07/03/2005#") << "day first, as the engine reads";
    EXPECT_EQ(GetFormatttedCriteriaString("l'ente", adVarWChar), "'l''ente'");
    EXPECT_EQ(GetFormatttedCriteriaString("12 OR 1=1", adInteger), "");
    EXPECT_EQ(GetFormatttedCriteriaString("x", 2), "");
}

TEST(AdvancedCriteria, RowsFromText)
{
    const QList<RigaCriterio> righe = righe_da_testo(" e \tOggetto\tlike\tnota\r\r oppure \tProgressivo\t>\t5\tscarto");
    ASSERT_EQ(righe.size(), 2);
    EXPECT_EQ(righe[0].campo, "Oggetto");
    EXPECT_EQ(righe[1].unione, " oppure ");
    EXPECT_EQ(righe[1].criterio, "5");
    // Rows ended by CR LF keep the line feed at the start of the next row.
    const QList<RigaCriterio> crlf = righe_da_testo(" e \tOggetto\r\n e \tNote\r\n");
    ASSERT_EQ(crlf.size(), 3);
    EXPECT_EQ(crlf[1].unione, "\n e ");
    EXPECT_EQ(crlf[2].unione, "\n");
    EXPECT_TRUE(crlf[2].campo.isNull());
    EXPECT_TRUE(righe_da_testo("").isEmpty());
}

TEST(RangePanels, AcceptedRangesAndTheirRefusals)
{
    const EsitoPannello date = pannello_date("1/12/2004", "31/1/2005");
    ASSERT_EQ(date.righe.size(), 2) << "compared as dates, not as text";
    EXPECT_EQ(date.righe[0].criterio, "01/12/2004");
    EXPECT_EQ(date.righe[1].operatore, "<=");
    EXPECT_EQ(pannello_date("05/05/2004", "05/05/2004").righe.size(), 2);
    for (const auto& [da, a] : {std::pair<const char*, const char*> {"31/12/2004", "01/01/2004"},
                                {"", "01/01/2004"},
                                {"32/01/2004", "01/02/2004"}})
        EXPECT_EQ(pannello_date(da, a).errore, "Errore nell' inserimento delle date !") << da;

    EXPECT_EQ(pannello_numeri("Progressivo", "9", "10").righe.size(), 2) << "compared as numbers";
    EXPECT_EQ(pannello_numeri("Anno", " 2004 ", "2004").righe[0].criterio, "2004");
    for (const auto& [da, a] : {std::pair<const char*, const char*> {"10", "9"}, {"12a", "20"}, {"", ""}})
        EXPECT_EQ(pannello_numeri("Progressivo", da, a).errore, "Errore nell' inserimento dei dati !") << da;

    EXPECT_EQ(pannello_tipo(0).righe[0].criterio, "E");
    EXPECT_EQ(pannello_tipo(1).righe[0].criterio, "U");
    const RigaCriterio campo = pannello_campo(false, "Note", false, " urgente ").righe.value(0);
    EXPECT_EQ(campo.unione, " e ");
    EXPECT_EQ(campo.criterio, " urgente ") << "kept as typed";
    EXPECT_FALSE(pannello_campo(true, "Note", true, "   ").errore.isEmpty());
    EXPECT_EQ(campi_pannello_singolo().size(), 8);
}
