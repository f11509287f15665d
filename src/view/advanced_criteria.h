#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace quad {

class Recordset;

/// One row of the search dialog's criteria list. A Null cell reads as a null QString.
struct RigaCriterio
{
    QString unione; ///< " e " (and) or " oppure " (or): how the row joins the rows before it
    QString campo; ///< a field of the register, or "Tipo" for the entry's direction
    QString operatore; ///< "=", "<>", ">", "<", ">=", "<=" or "like"; "" until chosen
    QString criterio; ///< the value as typed
};

/// The field name of a field-list item: the text before the first "[", trimmed.
QString GetFieldNameFromString(const QString& strFieldString);

/// The index in rs of the field a criteria row names: "Tipo" stands for the entry's direction,
/// entrata.Tipo, where the register has it. -1 when the register lacks the field.
int indice_campo_criterio(const Recordset& rs, const QString& campo);

/// The ADO type of the field a criteria row names, 0 when rs is null or lacks it.
int tipo_campo_criterio(const Recordset* rs, const QString& campo);

/// The comparisons offered for a field of this ADO type: six for numbers and dates, "=" and
/// "<>" for yes/no, "like" first and then the six for text, none for any other type.
QStringList operatori_per_tipo(int adoType);

/// The value c as a literal of a clause with operator op on a field of this ADO type, or none
/// when c is not, as a whole, a value of that type: numbers with point or comma, dates (and
/// times) as the program reads them between "#", yes/no as True/False, text quoted with every
/// quote doubled and, for "like", a "%" after it. No typed text can change the expression.
std::optional<QString> letterale_criterio(int adoType, const QString& op, const QString& c);

/// The check of a value typed into the criteria list for a field of this ADO type.
bool ValidateUserInputCriteria(const QString& strCOnd, int nFtype);

/// The value written as a literal of a filter clause for a field of this type ("" when it
/// does not fit): numbers and yes/no as read, dates as #dd/mm/yyyy#, text quoted.
QString GetFormatttedCriteriaString(const QString& strCOnd, int nFtype);

/// A filter text built from criteria rows, or why none could be built.
struct FiltroAvanzato
{
    QString testo;
    bool valido = false;
};

/// Joins the rows into one filter over rs: each row "field operator value", joined with AND
/// (" e " or anything else) or OR (" oppure "); the join of the first row is not used. A "Tipo"
/// row compares the entry's direction with like. Not valid when there is no row, a row names no
/// field of rs, has an operator that is not one of the comparisons, or a value that is not a
/// whole value of its field's type.
FiltroAvanzato costruisci_filtro(const QList<RigaCriterio>& righe, const Recordset& rs);

/// Rows read from a text: rows split at carriage returns, cells at tabs, in the order join,
/// field, operator, value; an empty row is skipped, cells past the fourth are dropped.
QList<RigaCriterio> righe_da_testo(const QString& strString);

} // namespace quad
