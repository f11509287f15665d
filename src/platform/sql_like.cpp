#include "sql_like.h"

#include <sqlcipher/sqlite3.h>

#include <QVarLengthArray>

namespace quad {

namespace {

bool matchFolded(const QChar* p, qsizetype pn, const QChar* t, qsizetype tn, QChar escape)
{
    qsizetype pi = 0, ti = 0;
    qsizetype starP = -1, starT = 0;
    while (ti < tn) {
        if (pi < pn) {
            QChar pc = p[pi];
            if (pc == QLatin1Char('%')) {
                starP = ++pi;
                starT = ti;
                continue;
            }
            bool literal = false;
            if (!escape.isNull() && pc == escape && pi + 1 < pn) {
                pc = p[pi + 1];
                literal = true;
            }
            if ((!literal && pc == QLatin1Char('_')) || pc == t[ti]) {
                pi += literal ? 2 : 1;
                ++ti;
                continue;
            }
        }
        if (starP < 0)
            return false;
        pi = starP;
        ti = ++starT;
    }
    while (pi < pn && p[pi] == QLatin1Char('%'))
        ++pi;
    return pi == pn;
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    QChar escape;
    if (argc == 3 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        const QString e = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[2])));
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.at(0);
    }
    // like(X, Y) is "Y LIKE X".
    const QString pattern
        = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[1])), sqlite3_value_bytes(argv[1]));
    sqlite3_result_int(ctx, sqlLikeMatch(pattern, text, escape) ? 1 : 0);
}

} // namespace

bool sqlLikeMatch(QStringView pattern, QStringView text, QChar escape)
{
    const QString p = pattern.toString().toCaseFolded();
    const QString t = text.toString().toCaseFolded();
    QChar e = escape.isNull() ? QChar() : QString(escape).toCaseFolded().at(0);
    return matchFolded(p.constData(), p.size(), t.constData(), t.size(), e);
}

void registerSqlLike(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr);
}

QString escapeLikeText(const QString& text)
{
    QString out;
    out.reserve(text.size() + 4);
    for (QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString quoteText(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

} // namespace quad
