#include "field_text.h"

#include "date_text.h"

#include <QDateTime>
#include <QLocale>

#include <cmath>
#include <limits>

namespace quad {

FieldKind fieldKindOfAdoType(int adoType)
{
    switch (adoType) {
    case 2: // adSmallInt
    case 3: // adInteger
    case 16: // adTinyInt
    case 17: // adUnsignedTinyInt
    case 18: // adUnsignedSmallInt
    case 19: // adUnsignedInt
    case 20: // adBigInt
    case 21: // adUnsignedBigInt
        return FieldKind::Integer;
    case 4: // adSingle
    case 5: // adDouble
    case 6: // adCurrency
    case 14: // adDecimal
    case 131: // adNumeric
        return FieldKind::Real;
    case 11: // adBoolean
        return FieldKind::YesNo;
    case 7: // adDate
    case 135: // adDBTimeStamp
        return FieldKind::DateTime;
    case 133: // adDBDate
        return FieldKind::Date;
    case 134: // adDBTime
        return FieldKind::Time;
    default:
        return FieldKind::Text;
    }
}

bool integerFitsAdoType(qint64 v, int adoType)
{
    switch (adoType) {
    case 2:
        return v >= -32768 && v <= 32767;
    case 3:
        return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
    case 16:
        return v >= -128 && v <= 127;
    case 17:
        return v >= 0 && v <= 255;
    case 18:
        return v >= 0 && v <= 65535;
    case 19:
        return v >= 0 && v <= qint64(std::numeric_limits<quint32>::max());
    case 21:
        return v >= 0;
    default:
        return true;
    }
}

bool readNumberText(QStringView text, qint64* integer, double* real, bool* integral)
{
    text = text.trimmed();
    qsizetype pos = 0;
    if (pos < text.size() && (text[pos] == QLatin1Char('-') || text[pos] == QLatin1Char('+')))
        ++pos;
    const qsizetype digitsStart = pos;
    while (pos < text.size() && text[pos].unicode() >= '0' && text[pos].unicode() <= '9')
        ++pos;
    if (pos == digitsStart)
        return false;
    const qsizetype wholeEnd = pos;
    bool zeroFraction = true;
    if (pos < text.size() && (text[pos] == QLatin1Char('.') || text[pos] == QLatin1Char(','))) {
        ++pos;
        const qsizetype fractionStart = pos;
        while (pos < text.size() && text[pos].unicode() >= '0' && text[pos].unicode() <= '9') {
            if (text[pos] != QLatin1Char('0'))
                zeroFraction = false;
            ++pos;
        }
        if (pos == fractionStart)
            return false;
    }
    if (pos != text.size())
        return false;

    QString normal = text.toString();
    normal.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(normal, &ok);
    if (!ok || !std::isfinite(value))
        return false;
    *real = value;
    *integral = false;
    if (zeroFraction) {
        // "3,0" is the whole number 3; beyond 64 bits the value is only a real number.
        *integer = text.first(wholeEnd).toString().toLongLong(&ok);
        *integral = ok;
    }
    return true;
}

bool isTrueValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return false;
    const int type = value.metaType().id();
    if (type == QMetaType::QString || type == QMetaType::QByteArray) {
        // Text another tool wrote into the field: read as a typed yes/no ("Vero", "False", "-1"),
        // or as a number; any other text is False.
        const QString text = value.toString();
        if (const std::optional<bool> yes = readYesNoText(text))
            return *yes;
        qint64 integer = 0;
        double real = 0;
        bool integral = false;
        return readNumberText(text, &integer, &real, &integral) && real != 0;
    }
    return value.toBool();
}

std::optional<bool> readYesNoText(QStringView text)
{
    const QString t = text.trimmed().toString().toLower();
    if (t == QLatin1String("vero") || t == QLatin1String("true") || t == QStringLiteral("sì")
        || t == QLatin1String("si") || t == QLatin1String("-1") || t == QLatin1String("1"))
        return true;
    if (t == QLatin1String("falso") || t == QLatin1String("false") || t == QLatin1String("no")
        || t == QLatin1String("0"))
        return false;
    return std::nullopt;
}

std::optional<QVariant> valueFromText(const QString& text, FieldKind kind)
{
    if (kind == FieldKind::Text)
        return QVariant(text);
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QVariant();

    switch (kind) {
    case FieldKind::Text:
        break;
    case FieldKind::Integer:
    case FieldKind::Count:
    case FieldKind::Real: {
        qint64 integer = 0;
        double real = 0;
        bool integral = false;
        if (!readNumberText(t, &integer, &real, &integral))
            return std::nullopt;
        if (kind == FieldKind::Real)
            return QVariant(real);
        if (!integral || (kind == FieldKind::Count && integer < 0))
            return std::nullopt;
        return QVariant(integer);
    }
    case FieldKind::YesNo:
        if (const std::optional<bool> yes = readYesNoText(t))
            return QVariant(*yes);
        return std::nullopt;
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime: {
        const std::optional<DateTimeValue> parsed = parseDateText(t);
        if (!parsed)
            return std::nullopt;
        if (kind == FieldKind::Date) {
            if (!parsed->date || (parsed->time && *parsed->time != QTime(0, 0)))
                return std::nullopt;
            return QVariant(*parsed->date);
        }
        if (kind == FieldKind::Time) {
            if (parsed->date || !parsed->time)
                return std::nullopt;
            return QVariant(*parsed->time);
        }
        if (parsed->date && parsed->time)
            return QVariant(QDateTime(*parsed->date, *parsed->time));
        if (parsed->date)
            return QVariant(*parsed->date);
        return QVariant(*parsed->time);
    }
    }
    return std::nullopt;
}

QString textOfValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Vero") : QStringLiteral("Falso");
    case QMetaType::QDate:
        return showDate(value.toDate());
    case QMetaType::QTime:
        return showTime(value.toTime());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return showDate(dt.date()) + QLatin1Char(' ') + showTime(dt.time());
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        // The program is Italian whatever the system's locale: decimal comma, no grouping.
        QLocale locale(QLocale::Italian, QLocale::Italy);
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    }
    default:
        return value.toString();
    }
}

} // namespace quad
