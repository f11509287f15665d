#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>

namespace quad {

/// What a field holds, as far as reading typed text into it is concerned.
enum class FieldKind {
    Text, ///< any text, kept as typed
    Integer, ///< a whole number
    Count, ///< a whole number from 0 up (how many of something)
    Real, ///< a number with an optional decimal part
    YesNo, ///< yes/no
    Date, ///< a date (a time after it is allowed only when it is midnight)
    Time, ///< a time of day
    DateTime ///< a date, a time, or both
};

/// The kind of a field of the given ADO type code (adInteger 3, adDouble 5, adDate 7,
/// adBoolean 11, ...); every code that is not a number, a yes/no or a date is text.
FieldKind fieldKindOfAdoType(int adoType);

/// Whether a whole number lies within the range of an integer ADO type (adSmallInt 2 16 bits,
/// adInteger 3 32 bits, adTinyInt 16, the unsigned 17, 18, 19, 21); true for any other type.
bool integerFitsAdoType(qint64 value, int adoType);

/// The one reader of typed text for every field of the program: mask boxes, new entries,
/// recordset writes and the values of filters and finds all go through it.
///
/// - Text: the text as it stands (blanks kept).
/// - Any other kind: blanks alone give Null.
/// - Integer / Count / Real: an optional sign, digits, and for Real an optional decimal part
///   after a point or a comma ("12", "-3", "1,5", "2.75"); nothing else (no grouping, no
///   exponent, no letters). A whole number may be written with a zero decimal part ("3,0").
///   Integer and Count give qint64, Real gives double. A Count below 0 is refused.
/// - YesNo: "Vero"/"Falso", "True"/"False", "Sì"/"Si"/"No" in any case, "-1", "1" and "0";
///   gives bool.
/// - Date / Time / DateTime: read by parseDateText (day first or ISO, never day and month
///   swapped); gives QDate, QTime or QDateTime. A Date refuses a time alone; a Time refuses a
///   date.
/// Returns nullopt when the text does not fit the kind; blanks around the text are ignored.
std::optional<QVariant> valueFromText(const QString& text, FieldKind kind);

/// The one writer of shown text: how the program shows a field's value in a box, a grid or a
/// text export. Dates dd/MM/yyyy, times HH:mm:ss, date and time "dd/MM/yyyy HH:mm:ss", yes/no
/// "Vero"/"Falso", reals with a decimal comma and no grouping, Null as "". What it shows,
/// valueFromText reads back to the same value.
QString textOfValue(const QVariant& value);

/// A yes/no as valueFromText reads it; nullopt for any other text.
std::optional<bool> readYesNoText(QStringView text);

/// The one reading of a yes/no field's value: True for a true bool or a number other than 0
/// (the archive stores True as -1); a text (written by another tool) as readYesNoText reads it,
/// or as a number other than 0, any other text being False. Null is False.
bool isTrueValue(const QVariant& value);

/// A number as valueFromText reads it: *integral tells a whole number (then *integer holds it);
/// *real always holds the value. False for any other text.
bool readNumberText(QStringView text, qint64* integer, double* real, bool* integral);

} // namespace quad
