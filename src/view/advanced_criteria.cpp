#include "advanced_criteria.h"

#include "date_text.h"
#include "quick_find.h"
#include "recordset.h"
#include "sql_like.h"

#include <QRegularExpression>

namespace quad {

namespace {

const QStringList& confronti()
{
    static const QStringList list {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral(">"),
                                   QStringLiteral("<"), QStringLiteral(">="), QStringLiteral("<=")};
    return list;
}

/// A whole number, point or comma as decimal separator, as criteria text ("" when it is not one).
QString numero(const QString& text)
{
    static const QRegularExpression whole(QStringLiteral("^\\s*([-+]?\\d+(?:[.,]\\d*)?|[-+]?[.,]\\d+)\\s*$"));
    const QRegularExpressionMatch m = whole.match(text);
    if (!m.hasMatch())
        return QString();
    QString n = m.captured(1);
    n.replace(QLatin1Char(','), QLatin1Char('.'));
    if (n.startsWith(QLatin1Char('+')))
        n.remove(0, 1);
    if (n.endsWith(QLatin1Char('.')))
        n.chop(1);
    return n;
}

std::optional<QString> siNo(const QString& text)
{
    const QString v = text.trimmed().toLower();
    if (v == QLatin1String("true") || v == QLatin1String("vero") || v == QLatin1String("-1"))
        return QStringLiteral("True");
    if (v == QLatin1String("false") || v == QLatin1String("falso") || v == QLatin1String("0"))
        return QStringLiteral("False");
    return std::nullopt;
}

std::optional<QString> dataOra(const QString& text)
{
    const auto value = parseDateText(text.trimmed());
    if (!value || !value->valid())
        return std::nullopt;
    QString literal;
    if (value->date)
        literal = showDate(*value->date);
    if (value->time)
        literal += (literal.isEmpty() ? QString() : QStringLiteral(" ")) + showTime(*value->time);
    return literal;
}

bool testo(int adoType)
{
    return tipo_testo(adoType) || adoType == 8 || adoType == 129 || adoType == 130;
}

} // namespace

QString GetFieldNameFromString(const QString& strFieldString)
{
    const int bracket = strFieldString.indexOf(QLatin1Char('['));
    return (bracket < 0 ? strFieldString : strFieldString.left(bracket)).trimmed();
}

int indice_campo_criterio(const Recordset& rs, const QString& campo)
{
    const QString nome = GetFieldNameFromString(campo);
    if (nome.isEmpty() || !rs.isOpen())
        return -1;
    if (nome == QLatin1String("Tipo")) {
        const int direzione = rs.fieldIndex(QStringLiteral("entrata.Tipo"));
        if (direzione >= 0)
            return direzione;
    }
    return rs.fieldIndex(nome);
}

int tipo_campo_criterio(const Recordset* rs, const QString& campo)
{
    const int index = rs ? indice_campo_criterio(*rs, campo) : -1;
    return index >= 0 ? rs->field(index).type : 0;
}

QStringList operatori_per_tipo(int adoType)
{
    if (tipo_numero(adoType) || tipo_data(adoType))
        return confronti();
    if (adoType == 11)
        return {QStringLiteral("="), QStringLiteral("<>")};
    if (testo(adoType))
        return {QStringLiteral("like"), QStringLiteral("<>"), QStringLiteral("="), QStringLiteral(">"),
                QStringLiteral("<"),    QStringLiteral(">="), QStringLiteral("<=")};
    return {};
}

std::optional<QString> letterale_criterio(int adoType, const QString& op, const QString& c)
{
    const bool like = op.compare(QLatin1String("like"), Qt::CaseInsensitive) == 0;
    if (!like && !confronti().contains(op))
        return std::nullopt;
    if (testo(adoType))
        return quoteText(like ? c + QLatin1Char('%') : c);
    if (like)
        return std::nullopt; // a pattern only fits text
    if (tipo_numero(adoType)) {
        const QString n = numero(c);
        return n.isEmpty() ? std::nullopt : std::optional<QString>(n);
    }
    if (tipo_data(adoType)) {
        const auto d = dataOra(c);
        return d ? std::optional<QString>(QLatin1Char('#') + *d + QLatin1Char('#')) : std::nullopt;
    }
    if (adoType == 11)
        return siNo(c);
    return std::nullopt;
}

bool ValidateUserInputCriteria(const QString& strCOnd, int nFtype)
{
    if (testo(nFtype))
        return true;
    return letterale_criterio(nFtype, QStringLiteral("="), strCOnd).has_value();
}

QString GetFormatttedCriteriaString(const QString& strCOnd, int nFtype)
{
    return letterale_criterio(nFtype, QStringLiteral("="), strCOnd).value_or(QString());
}

FiltroAvanzato costruisci_filtro(const QList<RigaCriterio>& righe, const Recordset& rs)
{
    FiltroAvanzato filtro;
    if (righe.isEmpty() || !rs.isOpen())
        return filtro;
    QString testoFiltro;
    for (const RigaCriterio& riga : righe) {
        const int index = indice_campo_criterio(rs, riga.campo);
        if (index < 0)
            return filtro;
        const FieldInfo& campo = rs.field(index);
        const bool direzione = GetFieldNameFromString(riga.campo) == QLatin1String("Tipo");
        const QString op = direzione ? QStringLiteral("like") : riga.operatore.trimmed().toLower();
        if (riga.criterio.isNull() && !direzione)
            return filtro;
        const std::optional<QString> valore = letterale_criterio(campo.type, op, riga.criterio);
        if (!valore)
            return filtro;
        const QString termine = campo.uniqueName + QLatin1Char(' ') + op + QLatin1Char(' ') + *valore;
        if (testoFiltro.isEmpty())
            testoFiltro = termine;
        else
            testoFiltro += (riga.unione == QLatin1String(" oppure ") ? QStringLiteral(" OR ") : QStringLiteral(" AND "))
                + termine;
    }
    filtro.testo = testoFiltro;
    filtro.valido = true;
    return filtro;
}

QList<RigaCriterio> righe_da_testo(const QString& strString)
{
    QList<RigaCriterio> righe;
    if (strString.isEmpty())
        return righe;
    for (const QString& linea : strString.split(QLatin1Char('\r'))) {
        if (linea.isEmpty())
            continue;
        const QStringList celle = linea.split(QLatin1Char('\t'));
        RigaCriterio riga;
        QString* campi[] = {&riga.unione, &riga.campo, &riga.operatore, &riga.criterio};
        for (int j = 0; j < celle.size() && j < 4; ++j)
            *campi[j] = celle[j];
        righe.append(riga);
    }
    return righe;
}

} // namespace quad
