// Reading a query into a recordset snapshot.

#include "recordset_p.h"

#include <sqlcipher/sqlite3.h>

#include <QSet>
#include <QStringList>

namespace quad::rs {

namespace {

/// Finalizes a raw statement when it goes out of scope.
struct StatementGuard
{
    sqlite3_stmt* st = nullptr;
    ~StatementGuard()
    {
        if (st)
            sqlite3_finalize(st);
    }
    void reset(sqlite3_stmt* other)
    {
        if (st)
            sqlite3_finalize(st);
        st = other;
    }
};

QString quoteIdentifier(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

/// The words of an SQL text outside quotes, brackets and comments, upper-cased, with the
/// position where each ends and whether an opening parenthesis follows it.
struct Word
{
    QString text;
    qsizetype end;
    bool call;
};

QList<Word> sqlWords(const QString& sql)
{
    QList<Word> words;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            ++i;
            while (i < n && sql[i] != close)
                ++i;
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const qsizetype close = sql.indexOf(QLatin1String("*/"), i + 2);
            i = close < 0 ? n : close + 2;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            const qsizetype start = i;
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == QLatin1Char('_')))
                ++i;
            qsizetype j = i;
            while (j < n && sql[j].isSpace())
                ++j;
            words.append({sql.mid(start, i - start).toUpper(), i, j < n && sql[j] == QLatin1Char('(')});
        } else {
            ++i;
        }
    }
    return words;
}

/// Where row ids can be put into the query: right after its leading SELECT; -1 when the query
/// folds rows together (DISTINCT, GROUP BY, aggregates, compounds), so that a result row is not
/// one row of its tables.
qsizetype rowidInsertPoint(const QString& sql)
{
    const QList<Word> words = sqlWords(sql);
    if (words.isEmpty() || words.first().text != QLatin1String("SELECT"))
        return -1;
    static const QSet<QString> folding
        = {QStringLiteral("DISTINCT"),  QStringLiteral("GROUP"),  QStringLiteral("UNION"),
           QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT"), QStringLiteral("HAVING")};
    static const QSet<QString> aggregates
        = {QStringLiteral("COUNT"), QStringLiteral("MAX"),   QStringLiteral("MIN"),         QStringLiteral("SUM"),
           QStringLiteral("AVG"),   QStringLiteral("TOTAL"), QStringLiteral("GROUP_CONCAT")};
    for (const Word& w : words) {
        if (folding.contains(w.text) || (w.call && aggregates.contains(w.text)))
            return -1;
    }
    return words.first().end;
}

QString withRowids(const QString& sql, qsizetype at, const QStringList& tables)
{
    QStringList ids;
    for (const QString& t : tables)
        ids << quoteIdentifier(t) + QLatin1String(".rowid");
    return sql.left(at) + QLatin1Char(' ') + ids.join(QLatin1String(", ")) + QLatin1Char(',') + sql.mid(at);
}

sqlite3_stmt* prepare(sqlite3* db, const QString& sql, int* rc)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    *rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr);
    if (*rc != SQLITE_OK && st) {
        sqlite3_finalize(st);
        st = nullptr;
    }
    return st;
}

QString utf8(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

/// NOT NULL columns and the INTEGER PRIMARY KEY (the row id's alias) of a table.
struct TableColumns
{
    QSet<QString> notNull; // lower-case
    QString rowidAlias; // lower-case, "" when none
};

TableColumns tableColumns(Connection& db, const QString& table)
{
    TableColumns info;
    QStringList keys;
    QString keyType;
    db.query(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(table)), {}, [&](const Statement& st) {
        const QString name = st.value(1).toString().toLower();
        if (st.value(3).toLongLong() != 0)
            info.notNull.insert(name);
        if (st.value(5).toLongLong() > 0) {
            keys << name;
            keyType = st.value(2).toString();
        }
        return true;
    });
    if (keys.size() == 1 && keyType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
        info.rowidAlias = keys.first();
    return info;
}

} // namespace

DbResult loadQuery(Shared& s)
{
    sqlite3* db = s.db->handle();
    int rc = SQLITE_OK;
    StatementGuard original;
    original.reset(prepare(db, s.sql, &rc));
    if (!original.st)
        return s.db->resultFor(rc == SQLITE_OK ? SQLITE_ERROR : rc, QString());
    if (!sqlite3_stmt_readonly(original.st) || sqlite3_column_count(original.st) == 0)
        return DbResult::failure(DbError::Other, QStringLiteral("La query non restituisce righe: %1").arg(s.sql));

    const int n = sqlite3_column_count(original.st);
    QStringList tableNames;
    for (int c = 0; c < n; ++c) {
        const QString t = utf8(sqlite3_column_table_name(original.st, c));
        if (!t.isEmpty() && !tableNames.contains(t))
            tableNames << t;
    }

    // Re-run the query with the row id of each source table in front, so that every row can
    // be written back to its own rows. A table the query names through an alias (or a view)
    // cannot be reached this way: its fields stay read-only.
    StatementGuard augmented;
    QStringList withIds;
    const qsizetype at = rowidInsertPoint(s.sql);
    if (at >= 0 && !tableNames.isEmpty()) {
        augmented.reset(prepare(db, withRowids(s.sql, at, tableNames), &rc));
        if (augmented.st) {
            withIds = tableNames;
        } else {
            for (const QString& t : tableNames) {
                StatementGuard probe;
                probe.reset(prepare(db, withRowids(s.sql, at, {t}), &rc));
                if (probe.st)
                    withIds << t;
            }
            if (!withIds.isEmpty())
                augmented.reset(prepare(db, withRowids(s.sql, at, withIds), &rc));
            if (!augmented.st)
                withIds.clear();
        }
    }
    sqlite3_stmt* st = augmented.st ? augmented.st : original.st;
    const int k = int(withIds.size());
    if (sqlite3_column_count(st) != n + k)
        return DbResult::failure(DbError::Other, QStringLiteral("Query non leggibile: %1").arg(s.sql));

    for (const QString& t : tableNames) {
        SourceTable table;
        table.name = t;
        table.hasRowid = withIds.contains(t);
        s.tables.push_back(table);
    }
    s.rowids.resize(s.tables.size());
    std::vector<int> rowidSlot(s.tables.size(), -1);
    for (int i = 0; i < k; ++i)
        rowidSlot[size_t(tableNames.indexOf(withIds[i]))] = i;

    QHash<QString, TableColumns> columnsOf;
    for (const QString& t : tableNames)
        columnsOf.insert(t, tableColumns(*s.db, t));

    std::vector<bool> typeFromData(size_t(n), false);
    for (int c = 0; c < n; ++c) {
        FieldInfo info;
        FieldMeta fm;
        info.name = utf8(sqlite3_column_name(st, c + k));
        info.table = utf8(sqlite3_column_table_name(st, c + k));
        fm.origin = utf8(sqlite3_column_origin_name(st, c + k));
        fm.table = int(tableNames.indexOf(info.table));
        const char* decl = sqlite3_column_decltype(st, c + k);
        typeFromData[size_t(c)] = decl == nullptr;
        info.type = adoTypeForDeclared(utf8(decl));
        if (fm.table >= 0) {
            const TableColumns& tc = columnsOf[info.table];
            fm.notNull = tc.notNull.contains(fm.origin.toLower());
            if (!tc.rowidAlias.isEmpty() && tc.rowidAlias == fm.origin.toLower()
                && s.tables[size_t(fm.table)].aliasField < 0)
                s.tables[size_t(fm.table)].aliasField = c;
        }
        s.addField(info, fm);
    }
    s.indexFields();

    for (int i = 0; i < s.params.size(); ++i) {
        const QVariant& v = s.params[i];
        int brc = SQLITE_OK;
        if (v.isNull()) {
            brc = sqlite3_bind_null(st, i + 1);
        } else {
            switch (v.metaType().id()) {
            case QMetaType::Bool:
                brc = sqlite3_bind_int64(st, i + 1, v.toBool() ? -1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Long:
            case QMetaType::ULong:
                brc = sqlite3_bind_int64(st, i + 1, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                brc = sqlite3_bind_double(st, i + 1, v.toDouble());
                break;
            default: {
                QString text;
                if (v.metaType().id() == QMetaType::QDate)
                    text = v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
                else if (v.metaType().id() == QMetaType::QTime)
                    text = v.toTime().toString(QStringLiteral("HH:mm:ss"));
                else if (v.metaType().id() == QMetaType::QDateTime)
                    text = v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                else
                    text = v.toString();
                const QByteArray bytes = text.toUtf8();
                brc = sqlite3_bind_text(st, i + 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (brc != SQLITE_OK)
            return s.db->resultFor(brc, QStringLiteral("parametro %1").arg(i + 1));
    }

    auto makeColumns = [&](sqlite3_stmt* row) {
        for (int c = 0; c < n; ++c) {
            FieldInfo& info = s.fields[c];
            if (typeFromData[size_t(c)] && row) {
                switch (sqlite3_column_type(row, c + k)) {
                case SQLITE_INTEGER:
                    info.type = adInteger;
                    break;
                case SQLITE_FLOAT:
                    info.type = adDouble;
                    break;
                default:
                    break;
                }
            }
            s.columns.push_back(makeColumn(storageFor(info.type)));
        }
    };

    qsizetype rows = 0;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (rows == 0)
            makeColumns(st);
        for (int i = 0; i < int(s.tables.size()); ++i) {
            const int slot = rowidSlot[size_t(i)];
            qint64 id = kNoRowid;
            if (slot >= 0 && sqlite3_column_type(st, slot) != SQLITE_NULL)
                id = sqlite3_column_int64(st, slot);
            s.rowids[size_t(i)].push_back(id);
        }
        // One call under the connection's mutex per cell; the value is then read directly
        // (the statement is ours alone and the connection is used from one thread).
        for (int c = 0; c < n; ++c)
            s.columns[size_t(c)]->appendSql(sqlite3_column_value(st, c + k));
        s.flags.push_back(0);
        ++rows;
    }
    if (rc != SQLITE_DONE)
        return s.db->resultFor(rc, QString());
    if (rows == 0)
        makeColumns(nullptr);
    for (auto& column : s.columns) {
        column->finish();
        if (!column->ok())
            return DbResult::failure(DbError::Other, QStringLiteral("Testo troppo grande da leggere: %1").arg(s.sql));
    }
    for (auto& ids : s.rowids)
        ids.shrink();
    s.flags.shrink();
    s.baseRows = rows;
    s.totalRows = rows;
    return {};
}

} // namespace quad::rs
