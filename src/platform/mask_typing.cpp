#include "mask_typing.h"

#include "date_text.h"

namespace quad {

namespace {

const QString kDateTemplate = QStringLiteral("__/__/____");
const QString kTimeTemplate = QStringLiteral("00:00:00");

bool inRange(QChar c, char low, char high)
{
    return c.unicode() >= static_cast<ushort>(low) && c.unicode() <= static_cast<ushort>(high);
}

bool isDigit(QChar c)
{
    return inRange(c, '0', '9');
}

QChar charAt(const QString& text, int position)
{
    return position < text.size() ? text.at(position) : QChar();
}

/// Writes key over the character at position (appending when the text ends there) and moves
/// the caret on.
MaskResult rewrite(QString text, int position, QChar key, int next)
{
    if (position < text.size())
        text[position] = key;
    else
        text += key;
    return {text, next, true};
}

MaskResult refuse(const QString& text, int caret)
{
    return {text, caret, true};
}

} // namespace

QString data_otto_caratteri(const QString& text)
{
    if (text.size() != 8)
        return text;
    const QDate cifre = QDate::fromString(text, QStringLiteral("ddMMyyyy"));
    if (cifre.isValid())
        return showDate(cifre);
    const auto value = parseDateText(text);
    if (value && value->date && !value->time)
        return showDate(*value->date);
    return text;
}

MaskResult mask_data(const QString& original, int caret, QChar key)
{
    if (!inRange(key, '/', '9'))
        return refuse(original, caret);

    QString text = original;
    if (text.isEmpty())
        text = kDateTemplate;
    else
        text = data_otto_caratteri(text);
    // The template's places stay where they are: a shortened text is filled up from the
    // template and a longer one is cut.
    if (text.size() < kDateTemplate.size())
        text += kDateTemplate.mid(text.size());
    text.truncate(kDateTemplate.size());

    switch (caret) {
    case 0:
        if (inRange(key, '0', '3'))
            return rewrite(text, 0, key, 1);
        break;
    case 1:
        if (charAt(text, 0) == QLatin1Char('3') ? inRange(key, '0', '1') : isDigit(key))
            return rewrite(text, 1, key, 3);
        break;
    case 2:
    case 5:
        // A slash typed on the slash steps over it instead of being inserted.
        if (key == QLatin1Char('/'))
            return {text, caret + 1, true};
        break;
    case 3:
        if (inRange(key, '0', '1'))
            return rewrite(text, 3, key, 4);
        break;
    case 4:
        if (charAt(text, 3) == QLatin1Char('1') ? inRange(key, '0', '2') : inRange(key, '1', '9'))
            return rewrite(text, 4, key, 6);
        break;
    case 6:
        if (inRange(key, '1', '2'))
            return rewrite(text, 6, key, 7);
        break;
    case 7:
    case 8:
        if (isDigit(key))
            return rewrite(text, caret, key, caret + 1);
        break;
    case 9:
        if (isDigit(key))
            return {text.left(9) + key, 10, true};
        break;
    default:
        break;
    }
    return refuse(text, caret);
}

MaskResult mask_ora(const QString& original, int caret, QChar key)
{
    if (!inRange(key, '0', ':'))
        return refuse(original, caret);

    QString text = original;
    if (text.size() < kTimeTemplate.size()) {
        text = kTimeTemplate;
    } else {
        text.replace(QLatin1Char('.'), QLatin1Char(':'));
        text.truncate(kTimeTemplate.size());
    }

    switch (caret) {
    case 0:
        if (inRange(key, '0', '2'))
            return rewrite(text, 0, key, 1);
        break;
    case 1:
        if (charAt(text, 0) == QLatin1Char('2') ? inRange(key, '0', '3') : isDigit(key))
            return rewrite(text, 1, key, 3);
        break;
    case 2:
        if (key == QLatin1Char(':'))
            return rewrite(text, 2, key, 3);
        break;
    case 3:
        if (inRange(key, '0', '5'))
            return rewrite(text, 3, key, 4);
        break;
    case 4:
        if (isDigit(key))
            return rewrite(text, 4, key, 6);
        break;
    case 5:
        // On the second colon the key only moves the caret past it.
        return {text.left(5) + QLatin1Char(':') + text.mid(6), 6, true};
    case 6:
        if (inRange(key, '0', '5'))
            return rewrite(text, 6, key, 7);
        break;
    case 7:
        if (isDigit(key))
            return {text.left(7) + key, 8, true};
        break;
    default:
        break;
    }
    return refuse(text, caret);
}

} // namespace quad
