// Prefix searches without regard to case, answered by seeks instead of a scan.
//
// The values come in groups that NOCASE holds equal, read in the groups' order: the whole
// values of an index on (field COLLATE NOCASE, field) or of the archive's table of distinct
// values, or the first characters of a value in the archive's prefix indexes. SQLite's NOCASE
// folds ASCII letters only, so that the values beginning with "ab", "AB" or "aB" are together,
// but not those beginning with "à" and "À". A search therefore walks the letters of the prefix
// (those a key holds): where a letter has case variants that NOCASE keeps apart, each variant
// (in NOCASE order) is a separate range, and a range holding no key ends that branch at once.
// Within a range the groups come one seek each; a value stored a hundred thousand times costs no
// more than one stored once, except under a prefix index, whose groups are read row by row.

#include "prefix_search.h"

#include "archive_indexes.h"
#include "criteria_match.h"
#include "sql_like.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace quad {

namespace {

using criteria::foldUnit;

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

/// Where the values of a column are found in the order "ORDER BY value COLLATE NOCASE, value":
/// groups of values whose keys NOCASE holds equal, the groups in the keys' order. A key is the
/// whole value, or its first keyChars characters.
struct Groups
{
    int keyChars = 0; ///< 0: the whole value
    QString first; ///< the first key at or after ?1
    QString after; ///< the first key after ?1
    /// The group's values one seek each, where a value may be stored many times: the first text
    /// value after ?2 in the group of key ?1 (?2 empty for the first).
    QString nextMember;
    /// Then the group's other distinct text values, all in order (of key ?1).
    QString members;
    QVariantList extra; ///< bound after the statements' own values
};

/// The groups of an index on (field COLLATE NOCASE, field).
Groups fullIndexGroups(const QString& table, const QString& field)
{
    const QString t = quoteName(table);
    const QString f = quoteName(field);
    const QString order = QStringLiteral(" AND typeof(%1) = 'text' ORDER BY %1 COLLATE NOCASE, %1 LIMIT 1").arg(f);
    Groups g;
    g.first = QStringLiteral("SELECT %1 FROM %2 WHERE %1 COLLATE NOCASE >= ?1").arg(f, t) + order;
    g.after = QStringLiteral("SELECT %1 FROM %2 WHERE %1 COLLATE NOCASE > ?1").arg(f, t) + order;
    g.nextMember = QStringLiteral("SELECT %1 FROM %2 WHERE %1 COLLATE NOCASE = ?1 AND %1 > ?2").arg(f, t) + order;
    return g;
}

/// The groups of the archive's table of distinct values, for field.
Groups valueTableGroups(const QString& field)
{
    const QString from = QStringLiteral(" FROM %1 WHERE campo = ?2 AND ").arg(archiveValueTableName());
    Groups g;
    g.keyChars = kValueKeyChars;
    g.first = QStringLiteral("SELECT inizio") + from
        + QStringLiteral("inizio COLLATE NOCASE >= ?1 ORDER BY inizio COLLATE NOCASE LIMIT 1");
    g.after = QStringLiteral("SELECT inizio") + from
        + QStringLiteral("inizio COLLATE NOCASE > ?1 ORDER BY inizio COLLATE NOCASE LIMIT 1");
    g.members = QStringLiteral("SELECT DISTINCT inizio || resto") + from
        + QStringLiteral("inizio COLLATE NOCASE = ?1 ORDER BY (inizio || resto) COLLATE NOCASE, inizio || resto");
    g.extra = {field};
    return g;
}

/// The groups of the archive's prefix index of table.field (see ArchiveColumn).
Groups prefixIndexGroups(const QString& table, const QString& field, int chars)
{
    const QString t = quoteName(table);
    const QString f = quoteName(field);
    const QString from = QStringLiteral(" FROM %1 WHERE %2 IS NOT NULL AND ").arg(t, f);
    Groups g;
    if (chars == 0) {
        g.first = QStringLiteral("SELECT %1").arg(f) + from
            + QStringLiteral("%1 COLLATE NOCASE >= ?1 ORDER BY %1 COLLATE NOCASE LIMIT 1").arg(f);
        g.after = QStringLiteral("SELECT %1").arg(f) + from
            + QStringLiteral("%1 COLLATE NOCASE > ?1 ORDER BY %1 COLLATE NOCASE LIMIT 1").arg(f);
        g.members = QStringLiteral("SELECT DISTINCT %1").arg(f) + from
            + QStringLiteral("%1 COLLATE NOCASE = ?1 AND typeof(%1) = 'text' ORDER BY %1").arg(f);
        return g;
    }
    // The values no longer than the key come whole from the index, one seek each; a longer value
    // sorts after them (they are its beginning) and is read from its row.
    const QString key = archivePrefixKeySql(f, chars);
    const QString whole = archiveShortValueSql(f, chars);
    g.keyChars = chars;
    g.first
        = QStringLiteral("SELECT %1").arg(key) + from + QStringLiteral("%1 >= lower(?1) ORDER BY %1 LIMIT 1").arg(key);
    g.after
        = QStringLiteral("SELECT %1").arg(key) + from + QStringLiteral("%1 > lower(?1) ORDER BY %1 LIMIT 1").arg(key);
    g.nextMember = QStringLiteral("SELECT %1").arg(whole) + from
        + QStringLiteral("%1 = ?1 AND %2 > ?2 AND typeof(%3) = 'text' ORDER BY %2 LIMIT 1").arg(key, whole, f);
    g.members = QStringLiteral("SELECT DISTINCT %1").arg(f) + from
        + QStringLiteral("%1 = ?1 AND %2 IS NULL AND typeof(%3) = 'text' ORDER BY %3 COLLATE NOCASE, %3")
              .arg(key, whole, f);
    return g;
}

class Search
{
public:
    Search(Connection& db, Groups groups, const QString& typed, int limit)
        : m_db(db)
        , m_groups(std::move(groups))
        , m_pattern(escapeLikeText(typed) + QLatin1Char('%'))
        , m_limit(limit)
    {
    }

    /// Walks the prefix from letter at on, with start holding the letters chosen so far. Only
    /// the letters a key holds are walked; the rest are checked on the values.
    void walk(const std::u32string& prefix, size_t at, const QString& start)
    {
        if (full() || !m_error.ok())
            return;
        const size_t end = m_groups.keyChars > 0 ? std::min(prefix.size(), size_t(m_groups.keyChars)) : prefix.size();
        // Letters with a single variant need no seek of their own.
        QString chosen = start;
        while (at < end) {
            const std::vector<char32_t> variants = variantsOf(prefix[at]);
            if (variants.size() > 1)
                break;
            chosen += QString::fromUcs4(&variants.front(), 1);
            ++at;
        }
        if (at == end) {
            collect(chosen);
            return;
        }
        for (char32_t v : variantsOf(prefix[at])) {
            const QString next = chosen + QString::fromUcs4(&v, 1);
            // A variant that no key begins with ends its branch.
            if (!beginsWith(key(m_groups.first, {next}), next))
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

    QString key(const QString& sql, QVariantList bound)
    {
        const QVariant v = m_db.scalar(sql, bound + m_groups.extra, &m_error);
        return v.isNull() ? QString() : v.toString();
    }

    /// Takes a value of the list when it begins with what was typed; false once the list is full.
    bool take(const QString& value)
    {
        if (sqlLikeMatch(m_pattern, value, QLatin1Char('\\')))
            values << value;
        return !full();
    }

    /// The values of the groups whose keys begin with start.
    void collect(const QString& start)
    {
        QString group = key(m_groups.first, {start});
        while (m_error.ok() && !group.isNull() && beginsWith(group, start)) {
            bool more = true;
            if (!m_groups.nextMember.isEmpty()) {
                QString value = key(m_groups.nextMember, {group, QString(QLatin1String(""))});
                while (more && m_error.ok() && !value.isNull()) {
                    more = take(value);
                    value = more ? key(m_groups.nextMember, {group, value}) : QString();
                }
            }
            if (more && m_error.ok() && !m_groups.members.isEmpty())
                m_error = m_db.query(m_groups.members, QVariantList {group} + m_groups.extra,
                                     [this](const Statement& st) { return take(st.value(0).toString()); });
            if (full() || !m_error.ok())
                return;
            group = key(m_groups.after, {group});
        }
    }

    Connection& m_db;
    Groups m_groups;
    QString m_pattern;
    int m_limit;
};

/// The same answer from a scan of the whole table, for a file that cannot have the index.
QStringList scanValues(Connection& db, const QString& table, const QString& field, const QString& prefix, int limit,
                       DbResult* error)
{
    QStringList values;
    const QString f = quoteName(field);
    // Only as many characters of a value as the prefix has are matched: a long text is not
    // decoded whole for every row.
    *error = db.query(QStringLiteral("SELECT DISTINCT %1 FROM %2 WHERE substr(%1, 1, ?) LIKE ? ESCAPE '\\' AND "
                                     "typeof(%1) = 'text' ORDER BY %1 COLLATE NOCASE, %1 LIMIT ?")
                          .arg(f, quoteName(table)),
                      {prefix.toUcs4().size(), escapeLikeText(prefix) + QLatin1Char('%'), limit},
                      [&](const Statement& st) {
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
        .arg(quoteName(prefixIndexName(table, field)), quoteName(table), quoteName(field));
}

QStringList prefixValues(Connection& db, const QString& table, const QString& field, const QString& prefix, int limit,
                         DbResult* error)
{
    DbResult local;
    DbResult& err = error ? *error : local;
    err = {};
    if (prefix.isEmpty() || limit <= 0)
        return {};
    std::optional<Groups> groups;
    const ArchiveColumn served = archiveColumn(table, field);
    const ValueSource source = served.source;
    if (source != ValueSource::None && archiveServesValues(db, table, field)) {
        groups = source == ValueSource::ValueTable ? valueTableGroups(served.field)
                                                   : prefixIndexGroups(table, field, served.prefixChars);
    } else {
        const bool indexed = !db.scalar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND "
                                                       "lower(name) = lower(?)"),
                                        {prefixIndexName(table, field)}, &err)
                                  .isNull();
        if (!err.ok())
            return {};
        // A small table made before its index gets it once (a single statement: nothing half
        // made); an archive's columns get their structures when the archive is opened, never at
        // a keystroke.
        if (indexed
            || (source == ValueSource::None && !db.inTransaction() && db.exec(prefixIndexSql(table, field)).ok()))
            groups = fullIndexGroups(table, field);
    }
    if (!groups)
        return scanValues(db, table, field, prefix, limit, &err);

    Search search(db, *groups, prefix, limit);
    const QVector<uint> points = prefix.toUcs4();
    search.walk(std::u32string(points.begin(), points.end()), 0, QString());
    err = search.m_error;
    return err.ok() ? search.values : QStringList();
}

} // namespace quad
