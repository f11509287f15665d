#include "date_text.h"

namespace quad {

namespace {

/// 1899-12-30, day 0 of the serial dates.
QDate epoch()
{
    return QDate(1899, 12, 30);
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isDateSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

/// Reads a run of ASCII digits at pos; returns its length (0 when none) and its value.
int readDigits(QStringView text, qsizetype& pos, int* value)
{
    int length = 0;
    int v = 0;
    while (pos < text.size() && isDigit(text[pos]) && length < 9) {
        v = v * 10 + (text[pos].unicode() - '0');
        ++pos;
        ++length;
    }
    if (pos < text.size() && isDigit(text[pos]))
        return 0; // absurdly long number
    *value = v;
    return length;
}

/// "d/m/yy", "d/m/yyyy" (separators / - ., the same twice) or "yyyy-m-d".
std::optional<QDate> readDate(QStringView text)
{
    qsizetype pos = 0;
    int a = 0, b = 0, c = 0;
    const int la = readDigits(text, pos, &a);
    if (la == 0 || pos >= text.size() || !isDateSeparator(text[pos]))
        return std::nullopt;
    const QChar sep = text[pos++];
    const int lb = readDigits(text, pos, &b);
    if (lb == 0 || lb > 2 || pos >= text.size() || text[pos] != sep)
        return std::nullopt;
    ++pos;
    const int lc = readDigits(text, pos, &c);
    if (lc == 0 || pos != text.size())
        return std::nullopt;

    int day, month, year;
    if (la == 4) {
        if (sep != QLatin1Char('-') || lc > 2)
            return std::nullopt;
        year = a;
        month = b;
        day = c;
    } else {
        if (la > 2 || (lc != 2 && lc != 4))
            return std::nullopt;
        day = a;
        month = b;
        year = c;
        if (lc == 2)
            year += year < 30 ? 2000 : 1900;
    }
    if (year < 1)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

/// "h:mm" or "h:mm:ss", hours 0-23.
std::optional<QTime> readTime(QStringView text)
{
    qsizetype pos = 0;
    int h = 0, m = 0, s = 0;
    const int lh = readDigits(text, pos, &h);
    if (lh == 0 || lh > 2 || pos >= text.size() || text[pos] != QLatin1Char(':'))
        return std::nullopt;
    ++pos;
    if (readDigits(text, pos, &m) != 2)
        return std::nullopt;
    if (pos < text.size()) {
        if (text[pos] != QLatin1Char(':'))
            return std::nullopt;
        ++pos;
        if (readDigits(text, pos, &s) != 2 || pos != text.size())
            return std::nullopt;
    }
    const QTime time(h, m, s);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

} // namespace

qint64 DateTimeValue::serial() const
{
    return dateSerial(date.value_or(epoch()), time.value_or(QTime(0, 0)));
}

std::optional<DateTimeValue> parseDateText(const QString& text)
{
    const QStringView trimmed = QStringView(text).trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;

    qsizetype blank = 0;
    while (blank < trimmed.size() && !trimmed[blank].isSpace())
        ++blank;
    const QStringView first = trimmed.left(blank);
    const QStringView rest = trimmed.mid(blank).trimmed();

    DateTimeValue value;
    if (rest.isEmpty()) {
        if (first.contains(QLatin1Char(':')))
            value.time = readTime(first);
        else
            value.date = readDate(first);
        if (!value.valid())
            return std::nullopt;
        return value;
    }
    value.date = readDate(first);
    value.time = readTime(rest);
    if (!value.date || !value.time)
        return std::nullopt;
    return value;
}

bool isDateText(const QString& text)
{
    const std::optional<DateTimeValue> value = parseDateText(text);
    return value && value->date.has_value();
}

QString showDate(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString showTime(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

qint64 dateSerial(const QDate& date, const QTime& time)
{
    return epoch().daysTo(date) * 86400 + QTime(0, 0).secsTo(time);
}

} // namespace quad
