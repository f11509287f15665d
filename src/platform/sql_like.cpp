#include "sql_like.h"

#include <sqlcipher/sqlite3.h>

#include "criteria_match.h"

namespace quad {

namespace {

/// LIKE over UTF-16 units, folding case as the units are read (no copy of either text).
bool matchUnits(const char16_t* p, qsizetype pn, const char16_t* t, qsizetype tn, char16_t escape, bool hasEscape)
{
    using criteria::foldUnit;
    qsizetype pi = 0, ti = 0;
    qsizetype starP = -1, starT = 0;
    while (ti < tn) {
        if (pi < pn) {
            char16_t pc = p[pi];
            if (pc == u'%') {
                starP = ++pi;
                starT = ti;
                if (starP == pn)
                    return true; // a pattern ending in '%' matches whatever text is left
                continue;
            }
            bool literal = false;
            if (hasEscape && pc == escape && pi + 1 < pn) {
                pc = p[pi + 1];
                literal = true;
            }
            if ((!literal && pc == u'_') || foldUnit(pc) == foldUnit(t[ti])) {
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
    while (pi < pn && p[pi] == u'%')
        ++pi;
    return pi == pn;
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    char16_t escape = 0;
    bool hasEscape = false;
    if (argc == 3 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        const auto* e = static_cast<const char16_t*>(sqlite3_value_text16(argv[2]));
        if (sqlite3_value_bytes16(argv[2]) != 2) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e[0];
        hasEscape = true;
    }
    // like(X, Y) is "Y LIKE X". SQLite hands the texts over as UTF-16 without a copy of ours.
    const auto* pattern = static_cast<const char16_t*>(sqlite3_value_text16(argv[0]));
    const qsizetype patternSize = sqlite3_value_bytes16(argv[0]) / 2;
    const auto* text = static_cast<const char16_t*>(sqlite3_value_text16(argv[1]));
    const qsizetype textSize = sqlite3_value_bytes16(argv[1]) / 2;
    sqlite3_result_int(ctx, matchUnits(pattern, patternSize, text, textSize, escape, hasEscape) ? 1 : 0);
}

} // namespace

bool sqlLikeMatch(QStringView pattern, QStringView text, QChar escape)
{
    return matchUnits(reinterpret_cast<const char16_t*>(pattern.data()), pattern.size(),
                      reinterpret_cast<const char16_t*>(text.data()), text.size(), escape.unicode(), !escape.isNull());
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

QString quoteName(const QString& name)
{
    QString out = name;
    out.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

} // namespace quad
