#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace quad {

class Recordset;

/// The query of a "frmtree" form's source recordset for its grid view mode: 0 the users with
/// their relations, 1 the groups with their relations, 2 every relation with its user and its
/// group (either may be missing). Every query is ordered by the relation's key.
QString sorgente_albero(int GridViewMode);

/// The field the field list starts on: "GRUPPO" for a view of groups, else "NOME".
QString campo_predefinito(bool gruppi);

/// The field-list items of a source recordset, in field order: every field whose name does
/// not contain "SYS_" (in any case) and whose type can be searched (numbers, dates and times,
/// yes/no, text), written "name [kind]" with the kind in words (testo, numero, data, ora,
/// data e ora, sì/no).
QStringList campi_annotati(const Recordset& rs);

/// "campo = value" for a find: a number as it is, any other value quoted with every quote
/// doubled. Empty when the value is Null.
QString criterio_uguale(const QString& campo, const QVariant& valore);

} // namespace quad
