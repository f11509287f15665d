#include "identifier_checks.h"

namespace quad {

namespace {

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

bool isAsciiUpper(QChar c)
{
    return c.unicode() >= 'A' && c.unicode() <= 'Z';
}

/// Letters that replace the digits 0-9 in the digit places of a homonym's tax code.
bool isOmocodiaLetter(QChar c)
{
    return QStringLiteral("LMNPQRSTUV").contains(c);
}

/// Letters that stand for the month of birth, January to December.
bool isMonthLetter(QChar c)
{
    return QStringLiteral("ABCDEHLMPRST").contains(c);
}

/// True when code has the tax code's shape: 'L' a letter, 'N' a digit or its homonym letter,
/// 'M' the month letter.
bool hasTaxCodeShape(const QString& code)
{
    static const QString shape = QStringLiteral("LLLLLLNNMNNLNNNL");
    if (code.size() != shape.size())
        return false;
    for (int i = 0; i < shape.size(); ++i) {
        const QChar c = code.at(i);
        const QChar kind = shape.at(i);
        const bool ok = kind == QLatin1Char('L') ? isAsciiUpper(c)
            : kind == QLatin1Char('M')           ? isMonthLetter(c)
                                                 : (isAsciiDigit(c) || isOmocodiaLetter(c));
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

int valore_dispari(QChar c)
{
    // Odd-place values of the letters A-Z; a digit is worth what the letter in its order is.
    static const int letters[26]
        = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    if (isAsciiUpper(c))
        return letters[c.unicode() - 'A'];
    if (isAsciiDigit(c))
        return letters[c.unicode() - '0'];
    return 0;
}

int valore_pari(QChar c)
{
    if (isAsciiUpper(c))
        return c.unicode() - 'A';
    if (isAsciiDigit(c))
        return c.unicode() - '0';
    return 0;
}

QChar calcola_car_controllo(const QString& code)
{
    const QString padded = code.leftJustified(16, QLatin1Char(' '), true);
    int sum = 0;
    for (int i = 0; i < 15; ++i) {
        // Places are counted from 1: index 0 is place 1, an odd place.
        sum += (i % 2 == 0) ? valore_dispari(padded.at(i)) : valore_pari(padded.at(i));
    }
    return QChar(static_cast<char16_t>('A' + sum % 26));
}

bool verifica_cod_fiscale(const QString& text)
{
    // Taken as it stands: a code in lower case or with blanks around it is not a code.
    if (!hasTaxCodeShape(text))
        return false;
    return text.at(15) == calcola_car_controllo(text);
}

bool verifica_partita_iva(const QString& text)
{
    // The length is that of the trimmed text, but the digits are read from the text as it
    // stands: a blank before the number takes the place of a digit.
    if (text.trimmed().size() != 11)
        return false;
    const QString number = text.left(11);
    for (QChar c : number) {
        if (!isAsciiDigit(c))
            return false;
    }
    int total = 0;
    for (int i = 0; i < 10; ++i) {
        const int digit = number.at(i).unicode() - '0';
        if (i % 2 == 0) {
            total += digit;
        } else {
            const int doubled = digit * 2;
            total += doubled >= 10 ? doubled - 9 : doubled;
        }
    }
    const int check = (10 - total % 10) % 10;
    return check == number.at(10).unicode() - '0';
}

QString rifiuto_piva_cf(const QString& text)
{
    const QString code = text.trimmed();
    if (code.isEmpty())
        return QString();
    if (isAsciiDigit(text.at(0)))
        return verifica_partita_iva(code) ? QString() : QStringLiteral("Partita iva non valida !\n\n");
    return verifica_cod_fiscale(code) ? QString() : QStringLiteral("Codice Fiscale errato !\n\n");
}

} // namespace quad
