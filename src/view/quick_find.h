#pragma once

#include <QString>

namespace quad {

/// A quick-find criterion, or why none could be built.
struct QuickFindCriterion
{
    QString text; ///< one clause for Recordset::find ("" when error is set)
    QString error; ///< the message to show when the value does not fit the field
    bool ok() const { return error.isEmpty() && !text.isEmpty(); }
};

/// True for the ADO number types (2 to 6, 14, 16 to 21, 131).
bool tipo_numero(int adoType);

/// True for the ADO text types (202 text, 203 memo): the only fields a "part of the field"
/// search puts a leading wildcard on.
bool tipo_testo(int adoType);

/// True for the date and time types (7, 133, 134, 135).
bool tipo_data(int adoType);

/// The value the quick find searches for: the typed text with "*" read as "%" and, when parte
/// is set and the field is a text field, a leading "%" so the text may stand anywhere.
QString valore_ricerca(const QString& typed, bool parte, int adoType);

/// Builds the quick-find criterion for field campo of ADO type adoType and the value typed:
/// - numbers (2, 3, 4, 5, 6, 14, 16 to 21, 131): campo = the number the value begins with
///   (point or comma as decimal separator); a value that begins with no number is refused;
/// - dates and times (7, 133, 134, 135): campo = #the date# (or #the time# for a time alone)
///   when the value reads as one, else refused;
/// - yes/no (11): campo = True or False for True/False/Vero/Falso/-1/0 (any case), else refused;
/// - text (8, 129, 130, 200 to 203): campo like 'value%', the value trimmed and quoted with quoteText;
/// - any other type: refused.
/// A field name that is not a plain name is written between brackets.
QuickFindCriterion crea_criterio(const QString& campo, int adoType, const QString& valore);

} // namespace quad
