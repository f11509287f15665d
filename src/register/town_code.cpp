#include "town_code.h"

namespace quad {

QString estrai_codice_comune(int k, const QString& codici)
{
    static const int starts[] = {1, 6, 10, 14, 17, 20};
    static const int lengths[] = {5, 4, 4, 3, 3, 3};
    if (k < 1 || k > 6)
        return QString();
    const QString slice = codici.mid(starts[k - 1] - 1, lengths[k - 1]);
    QString out;
    out.reserve(slice.size());
    for (QChar c : slice) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('0') || c.unicode() > 122)
            out += c;
        else
            out += QChar(static_cast<char16_t>(122 - c.unicode()));
    }
    return out;
}

} // namespace quad
