// Prefix searches without regard to case, answered from an index instead of a scan.
//
// SQLite's NOCASE folds ASCII letters only, so an index on "field COLLATE NOCASE" keeps together
// the values that begin with "ab", "AB" or "aB", but not those beginning with "à" and "À". A
// search therefore walks the letters of the prefix: where a letter has case variants that NOCASE
// keeps apart, each variant (in NOCASE order) is a separate range of the index, and a range
// holding no value ends that branch at once. Within a range the distinct values come one seek
// each, so a value stored a hundred thousand times costs no more than one stored once.

#include "prefix_search.h"

#include "criteria_match.h"
#include "sql_like.h"

#include <algorithm>
#include <array>
#include <vector>

namespace quad {

namespace {

using criteria::foldUnit;

QString quoteId(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

/// What NOCASE compares for a code point: ASCII letters lower-cased, the rest as it is.
char32_t nocaseOf(char32_t c)
{
    return (c >= U'A' && c <= U'Z') ? c + 32 : c;
}

/// The code points of the Basic Multilingual Plane in rings of those that fold alike: next[u] is
/// the next code point after u that folds like u (u itself when none does).
struct FoldRings
{
    std::array<char16_t, 0x10000> next;

    FoldRings()
    {
        std::vector<qint32> last(0x10000, -1);
        std::vector<qint32> first(0x10000, -1);
        for (char32_t u = 0; u <= 0xFFFF; ++u) {
            next[u] = char16_t(u);
            if (QChar::isSurrogate(u))
                continue;
            const char16_t f = foldUnit(char16_t(u));
            if (last[f] < 0) {
                first[f] = qint32(u);
            } else {
                next[size_t(last[f])] = char16_t(u);
                next[u] = char16_t(first[f]);
            }
            last[f] = qint32(u);
        }
    }
};

/// Made when the program starts, not at the first keystroke.
const FoldRings& foldRings()
{
    static const FoldRings rings;
    return rings;
}
[[maybe_unused]] const FoldRings& g_madeAtStart = foldRings();

/// For a code point, the code points NOCASE tells apart that fold like it, in NOCASE order.
std::vector<char32_t> variantsOf(char32_t c)
{
    if (c > 0xFFFF || QChar::isSurrogate(c))
        return {c};
    const FoldRings& rings = foldRings();
    std::vector<char32_t> out;
    char16_t u = char16_t(c);
    do {
        out.push_back(nocaseOf(u));
        u = rings.next[u];
    } while (u != char16_t(c));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

/// True when value begins with start as NOCASE compares (start's non-ASCII letters exactly).
bool beginsWith(const QString& value, const QString& start)
{
    if (value.size() < start.size())
        return false;
    for (qsizetype i = 0; i < start.size(); ++i) {
        if (nocaseOf(value[i].unicode()) != nocaseOf(start[i].unicode()))
            return false;
    }
    return true;
}

class Search
{
public:
    Search(Connection& db, const QString& table, const QString& field, int limit)
        : m_db(db)
        , m_limit(limit)
    {
        const QString t = quoteId(table);
        const QString f = quoteId(field);
        const QString order = QStringLiteral(" ORDER BY %1 COLLATE NOCASE, %1 LIMIT 1").arg(f);
        m_from = QStringLiteral("SELECT %1 FROM %2 WHERE %1 COLLATE NOCASE >= ?1 AND typeof(%1) = 'text'").arg(f, t)
            + order;
        m_sameAfter
            = QStringLiteral("SELECT %1 FROM %2 WHERE %1 COLLATE NOCASE = ?1 AND %1 > ?1 AND typeof(%1) = 'text'")
                  .arg(f, t)
            + order;
        m_after = QStringLiteral("SELECT %1 FROM %2 WHERE %1 COLLATE NOCASE > ?1 AND typeof(%1) = 'text'").arg(f, t)
            + order;
    }

    /// Walks the prefix from letter at on, with start holding the letters chosen so far.
    void walk(const std::u32string& prefix, size_t at, const QString& start)
    {
        if (full() || !m_error.ok())
            return;
        // Letters with a single variant need no seek of their own.
        QString chosen = start;
        while (at < prefix.size()) {
            const std::vector<char32_t> variants = variantsOf(prefix[at]);
            if (variants.size() > 1)
                break;
            chosen += QString::fromUcs4(&variants.front(), 1);
            ++at;
        }
        if (at == prefix.size()) {
            collect(chosen);
            return;
        }
        for (char32_t v : variantsOf(prefix[at])) {
            const QString next = chosen + QString::fromUcs4(&v, 1);
            // A variant that no value begins with ends its branch.
            if (!beginsWith(first(m_from, next), next))
                continue;
            walk(prefix, at + 1, next);
            if (full() || !m_error.ok())
                return;
        }
    }

    QStringList values;
    DbResult m_error;

private:
    bool full() const { return values.size() >= m_limit; }

    QString first(const QString& sql, const QString& bound)
    {
        const QVariant v = m_db.scalar(sql, {bound}, &m_error);
        return v.isNull() ? QString() : v.toString();
    }

    /// The distinct values beginning with start, one seek each.
    void collect(const QString& start)
    {
        QString value = first(m_from, start);
        while (m_error.ok() && !value.isNull() && beginsWith(value, start)) {
            values << value;
            if (full())
                return;
            QString next = first(m_sameAfter, value);
            if (next.isNull() && m_error.ok())
                next = first(m_after, value);
            value = next;
        }
    }

    Connection& m_db;
    int m_limit;
    QString m_from;
    QString m_sameAfter;
    QString m_after;
};

/// The same answer from a scan of the whole table, for a file that cannot have the index.
QStringList scanValues(Connection& db, const QString& table, const QString& field, const QString& prefix, int limit,
                       DbResult* error)
{
    QStringList values;
    const QString f = quoteId(field);
    *error = db.query(QStringLiteral("SELECT DISTINCT %1 FROM %2 WHERE %1 LIKE ? ESCAPE '\\' AND typeof(%1) = "
                                     "'text' ORDER BY %1 COLLATE NOCASE, %1 LIMIT ?")
                          .arg(f, quoteId(table)),
                      {escapeLikeText(prefix) + QLatin1Char('%'), limit}, [&](const Statement& st) {
                          values << st.value(0).toString();
                          return true;
                      });
    return values;
}

} // namespace

QString prefixIndexName(const QString& table, const QString& field)
{
    return table.toLower() + QLatin1Char('_') + field.toLower() + QStringLiteral("_prefisso");
}

QString prefixIndexSql(const QString& table, const QString& field)
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3 COLLATE NOCASE, %3)")
        .arg(quoteId(prefixIndexName(table, field)), quoteId(table), quoteId(field));
}

QStringList prefixValues(Connection& db, const QString& table, const QString& field, const QString& prefix, int limit,
                         DbResult* error)
{
    DbResult local;
    DbResult& err = error ? *error : local;
    err = {};
    if (prefix.isEmpty() || limit <= 0)
        return {};
    const bool indexed = !db.scalar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND "
                                                   "lower(name) = lower(?)"),
                                    {prefixIndexName(table, field)}, &err)
                              .isNull();
    if (!err.ok())
        return {};
    // A file made before the index existed gets it once (a single statement: nothing half made).
    if (!indexed && (db.inTransaction() || !db.exec(prefixIndexSql(table, field)).ok()))
        return scanValues(db, table, field, prefix, limit, &err);

    Search search(db, table, field, limit);
    const QVector<uint> points = prefix.toUcs4();
    search.walk(std::u32string(points.begin(), points.end()), 0, QString());
    err = search.m_error;
    return err.ok() ? search.values : QStringList();
}

} // namespace quad
