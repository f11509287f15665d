#include "quick_find.h"

#include "date_text.h"
#include "field_text.h"
#include "sql_like.h"

#include <QRegularExpression>

namespace quad {

namespace {

/// The field as a criteria text names it, or "" when it cannot be named.
QString nomeCampo(const QString& campo)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    if (plain.match(campo).hasMatch())
        return campo;
    if (campo.trimmed().isEmpty() || campo.contains(QLatin1Char(']')))
        return QString();
    return QLatin1Char('[') + campo + QLatin1Char(']');
}

/// The number a text begins with (blanks before it skipped), as decimal text with a point;
/// "" when it begins with none.
QString numeroIniziale(const QString& value)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([-+]?)(\\d*)(?:[.,](\\d*))?"));
    const QRegularExpressionMatch m = number.match(value);
    QString whole = m.captured(2);
    QString fraction = m.captured(3);
    if (whole.isEmpty() && fraction.isEmpty())
        return QString();
    whole.remove(QRegularExpression(QStringLiteral("^0+(?=\\d)")));
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString text = whole;
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    if (m.captured(1) == QLatin1String("-") && text != QLatin1String("0"))
        text.prepend(QLatin1Char('-'));
    return text;
}

QuickFindCriterion refused(const QString& campo)
{
    return {QString(), QStringLiteral("ATTENZIONE !\n\nValore non valido per il campo ") + campo + QLatin1Char('.')};
}

} // namespace

bool tipo_numero(int adoType)
{
    const FieldKind kind = fieldKindOfAdoType(adoType);
    return kind == FieldKind::Integer || kind == FieldKind::Real;
}

bool tipo_testo(int adoType)
{
    return adoType == 202 || adoType == 203;
}

bool tipo_data(int adoType)
{
    const FieldKind kind = fieldKindOfAdoType(adoType);
    return kind == FieldKind::Date || kind == FieldKind::Time || kind == FieldKind::DateTime;
}

QString valore_ricerca(const QString& typed, bool parte, int adoType)
{
    QString value = typed;
    value.replace(QLatin1Char('*'), QLatin1Char('%'));
    if (parte && tipo_testo(adoType))
        value = QLatin1Char('%') + value.trimmed();
    return value;
}

QuickFindCriterion crea_criterio(const QString& campo, int adoType, const QString& valore)
{
    const QString name = nomeCampo(campo);
    if (name.isEmpty())
        return {QString(), QStringLiteral("ATTENZIONE !\n\nCampo non ricercabile.")};

    if (tipo_numero(adoType)) {
        const QString number = numeroIniziale(valore);
        if (number.isEmpty())
            return refused(campo);
        return {name + QStringLiteral(" = ") + number, QString()};
    }
    if (tipo_data(adoType)) {
        // A time alone serves the time fields (Orario): the engine reads it as a time of day.
        const auto value = parseDateText(valore.trimmed());
        if (!value || !value->valid())
            return refused(campo);
        QString literal;
        if (value->date)
            literal = showDate(*value->date);
        if (value->time)
            literal += (literal.isEmpty() ? QString() : QStringLiteral(" ")) + showTime(*value->time);
        return {name + QStringLiteral(" = #") + literal + QLatin1Char('#'), QString()};
    }
    if (adoType == 11) {
        const QString v = valore.trimmed().toLower();
        if (v == QLatin1String("true") || v == QLatin1String("vero") || v == QLatin1String("-1"))
            return {name + QStringLiteral(" = True"), QString()};
        if (v == QLatin1String("false") || v == QLatin1String("falso") || v == QLatin1String("0"))
            return {name + QStringLiteral(" = False"), QString()};
        return refused(campo);
    }
    if (tipo_testo(adoType) || adoType == 8 || adoType == 129 || adoType == 130 || adoType == 200 || adoType == 201)
        return {name + QStringLiteral(" like ") + quoteText(valore.trimmed() + QLatin1Char('%')), QString()};
    return {QString(), QStringLiteral("ATTENZIONE !\n\nCampo non ricercabile.")};
}

} // namespace quad
