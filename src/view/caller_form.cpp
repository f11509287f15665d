#include "caller_form.h"

#include "field_text.h"
#include "recordset.h"
#include "sql_like.h"

namespace quad {

namespace {

bool ricercabile(int adoType)
{
    return (adoType >= 2 && adoType <= 8) || adoType == 11 || adoType == 14 || (adoType >= 16 && adoType <= 21)
        || (adoType >= 129 && adoType <= 131) || (adoType >= 133 && adoType <= 135) || adoType == 202 || adoType == 203;
}

QString tipo_in_parole(int adoType)
{
    switch (fieldKindOfAdoType(adoType)) {
    case FieldKind::Integer:
    case FieldKind::Count:
    case FieldKind::Real:
        return QStringLiteral("numero");
    case FieldKind::YesNo:
        return QStringLiteral("sì/no");
    case FieldKind::Date:
        return QStringLiteral("data");
    case FieldKind::Time:
        return QStringLiteral("ora");
    case FieldKind::DateTime:
        return QStringLiteral("data e ora");
    case FieldKind::Text:
        break;
    }
    return QStringLiteral("testo");
}

} // namespace

QString sorgente_albero(int GridViewMode)
{
    switch (GridViewMode) {
    case 1:
        return QStringLiteral("SELECT DISTINCT groups.Gruppo, relations.SYS_KEY FROM groups INNER JOIN relations "
                              "ON groups.SYS_COUNTER = relations.SYS_GROUP_ID ORDER BY relations.SYS_KEY");
    case 2:
        // Every relation, with or without its group: the engine joins left only.
        return QStringLiteral("SELECT relations.SYS_COUNTER, relations.SYS_USER_ID, relations.SYS_KEY, "
                              "relations.SYS_GROUP_ID, groups.Gruppo, groups.SYS_COUNTER, Users.* "
                              "FROM (relations LEFT JOIN Users ON relations.SYS_USER_ID = Users.SYS_COUNTER) "
                              "LEFT JOIN groups ON groups.SYS_COUNTER = relations.SYS_GROUP_ID "
                              "ORDER BY relations.SYS_KEY");
    default:
        return QStringLiteral("SELECT relations.SYS_COUNTER, relations.SYS_USER_ID, relations.SYS_KEY, "
                              "relations.SYS_GROUP_ID, Users.* FROM Users INNER JOIN relations "
                              "ON Users.SYS_COUNTER = relations.SYS_USER_ID ORDER BY relations.SYS_KEY");
    }
}

QString campo_predefinito(bool gruppi)
{
    return gruppi ? QStringLiteral("GRUPPO") : QStringLiteral("NOME");
}

QStringList campi_annotati(const Recordset& rs)
{
    QStringList voci;
    for (int i = 0; rs.isOpen() && i < rs.fieldCount(); ++i) {
        const FieldInfo& campo = rs.field(i);
        if (campo.uniqueName.toUpper().contains(QLatin1String("SYS_")) || !ricercabile(campo.type))
            continue;
        voci << campo.uniqueName + QStringLiteral(" [") + tipo_in_parole(campo.type) + QLatin1Char(']');
    }
    return voci;
}

QString criterio_uguale(const QString& campo, const QVariant& valore)
{
    if (valore.isNull())
        return QString();
    QString letterale;
    switch (valore.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        letterale = valore.toString();
        break;
    default:
        letterale = quoteText(valore.toString());
    }
    return campo + QStringLiteral(" = ") + letterale;
}

} // namespace quad
