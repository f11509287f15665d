#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

namespace quad {

/// A date, a time or both, as read from text.
struct DateTimeValue
{
    std::optional<QDate> date;
    std::optional<QTime> time;

    bool valid() const { return date.has_value() || time.has_value(); }
    /// Seconds since 1899-12-30 00:00:00 (the epoch the criteria engine compares on).
    qint64 serial() const;
};

/// The one date reader of the program: the criteria engine and every "is this a date" check
/// use it, so what a check accepts the engine reads. Day first ("d/m/yyyy", one or two digits,
/// separators / - .), ISO "yyyy-mm-dd", an optional "hh:mm[:ss]" after the date, or a time
/// alone. Two-digit years 00-29 are 20xx, 30-99 are 19xx. Day and month are never swapped to
/// rescue an impossible date: "31/02/1980" is not a date. Blanks around the text are ignored;
/// anything else around it makes it no date. Returns nullopt for a text that is not read whole.
std::optional<DateTimeValue> parseDateText(const QString& text);

/// True when text is a whole valid date (with or without a time). A time alone is not a date
/// here (parseDateText reads it).
bool isDateText(const QString& text);

/// Shows a date as dd/MM/yyyy and a time as HH:mm:ss (never a locale format).
QString showDate(const QDate& date);
QString showTime(const QTime& time);

/// Seconds since 1899-12-30 00:00:00 for a date (at midnight) and an optional time.
qint64 dateSerial(const QDate& date, const QTime& time = QTime(0, 0));

} // namespace quad
