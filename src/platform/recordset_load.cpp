// Reading a query into a recordset snapshot.

#include "recordset_p.h"
#include "sql_like.h"

#include <sqlcipher/sqlite3.h>

#include <QSet>
#include <QStringList>

#include <algorithm>

namespace quad::rs {

namespace {

/// Where row ids can be put into the query: right after its leading SELECT; -1 when the query
/// folds rows together (DISTINCT, GROUP BY, aggregates, compounds), so that a result row is not
/// one row of its tables.
qsizetype rowidInsertPoint(const QString& sql)
{
    const QList<SqlToken> words = sqlTokens(sql);
    if (words.isEmpty() || words.first().up != QLatin1String("SELECT"))
        return -1;
    static const QSet<QString> folding
        = {QStringLiteral("DISTINCT"),  QStringLiteral("GROUP"),  QStringLiteral("UNION"),
           QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT"), QStringLiteral("HAVING")};
    static const QSet<QString> aggregates
        = {QStringLiteral("COUNT"), QStringLiteral("MAX"),   QStringLiteral("MIN"),         QStringLiteral("SUM"),
           QStringLiteral("AVG"),   QStringLiteral("TOTAL"), QStringLiteral("GROUP_CONCAT")};
    for (qsizetype i = 0; i < words.size(); ++i) {
        const bool call = i + 1 < words.size() && words[i + 1].up == QLatin1String("(");
        if (folding.contains(words[i].up) || (call && aggregates.contains(words[i].up)))
            return -1;
    }
    return words.first().end;
}

QString withRowids(const QString& sql, qsizetype at, const QStringList& tables)
{
    QStringList ids;
    for (const QString& t : tables)
        ids << quoteName(t) + QLatin1String(".rowid");
    return sql.left(at) + QLatin1Char(' ') + ids.join(QLatin1String(", ")) + QLatin1Char(',') + sql.mid(at);
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

DbResult tableColumns(Connection& db, const QString& table, TableColumns* out)
{
    TableColumns info;
    QStringList keys;
    QString keyType;
    const DbResult r
        = db.query(QStringLiteral("PRAGMA table_info(%1)").arg(quoteName(table)), {}, [&](const Statement& st) {
              const QString name = st.value(1).toString().toLower();
              if (st.value(3).toLongLong() != 0)
                  info.notNull.insert(name);
              if (st.value(5).toLongLong() > 0) {
                  keys << name;
                  keyType = st.value(2).toString();
              }
              return true;
          });
    if (!r.ok())
        return r;
    if (keys.size() == 1 && keyType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
        info.rowidAlias = keys.first();
    *out = info;
    return r;
}

} // namespace

QList<SqlToken> sqlTokens(const QString& sql)
{
    QList<SqlToken> out;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    int depth = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            const qsizetype start = i++;
            while (i < n && sql[i] != close)
                ++i;
            ++i;
            out.append({QStringLiteral("\""), start, std::min(i, n), depth});
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const qsizetype close = sql.indexOf(QLatin1String("*/"), i + 2);
            i = close < 0 ? n : close + 2;
        } else if (c.isLetterOrNumber() || c == QLatin1Char('_')) {
            const qsizetype start = i;
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == QLatin1Char('_')))
                ++i;
            out.append({sql.mid(start, i - start).toUpper(), start, i, depth});
        } else if (c.isSpace()) {
            ++i;
        } else {
            if (c == QLatin1Char(')'))
                --depth;
            out.append({QString(c), i, i + 1, depth});
            if (c == QLatin1Char('('))
                ++depth;
            ++i;
        }
    }
    return out;
}

void appendResultRow(sqlite3_stmt* st, const std::vector<int>& rowidSlot, std::vector<Chunked<qint64>>& rowids,
                     const std::vector<Column*>& cells, int first)
{
    for (size_t t = 0; t < rowidSlot.size(); ++t) {
        const int slot = rowidSlot[t];
        qint64 id = kNoRowid;
        if (slot >= 0) {
            sqlite3_value* v = sqlite3_column_value(st, slot);
            if (sqlite3_value_type(v) != SQLITE_NULL)
                id = sqlite3_value_int64(v);
        }
        rowids[t].push_back(id);
    }
    // One call under the connection's mutex per cell; the value is then read directly
    // (the statement is ours alone and the connection is used from one thread).
    appendSqlRow(cells, st, first);
}

DbResult finishRead(std::vector<std::unique_ptr<Column>>& columns, std::vector<Chunked<qint64>>& rowids,
                    const QString& sql)
{
    for (auto& column : columns) {
        column->finish();
        if (!column->ok())
            return DbResult::failure(DbError::Other, QStringLiteral("Testo troppo grande da leggere: %1").arg(sql));
    }
    for (auto& ids : rowids)
        ids.shrink();
    return {};
}

DbResult loadQuery(Shared& s)
{
    // A read of the file first: a table another connection changed since this connection last
    // read is prepared as it is now, not as it was.
    DbResult err = s.db->exec(QStringLiteral("SELECT 1 FROM sqlite_master LIMIT 1"));
    if (!err.ok())
        return err;
    Statement original = s.db->prepare(s.sql, &err);
    if (!original.isValid())
        return err.ok() ? DbResult::failure(DbError::Other, QStringLiteral("Query non valida: %1").arg(s.sql)) : err;
    if (!sqlite3_stmt_readonly(original.handle()) || original.columnCount() == 0)
        return DbResult::failure(DbError::Other, QStringLiteral("La query non restituisce righe: %1").arg(s.sql));

    const int n = original.columnCount();
    QStringList tableNames;
    for (int c = 0; c < n; ++c) {
        const QString t = utf8(sqlite3_column_table_name(original.handle(), c));
        if (!t.isEmpty() && !tableNames.contains(t))
            tableNames << t;
    }

    // Re-run the query with the row id of each source table in front, so that every row can
    // be written back to its own rows. A table the query names through an alias (or a view)
    // cannot be reached this way: its fields stay read-only.
    Statement augmented;
    QStringList withIds;
    const qsizetype at = rowidInsertPoint(s.sql);
    if (at >= 0 && !tableNames.isEmpty()) {
        augmented = s.db->prepare(withRowids(s.sql, at, tableNames), nullptr);
        if (augmented.isValid()) {
            withIds = tableNames;
        } else {
            for (const QString& t : tableNames) {
                if (s.db->prepare(withRowids(s.sql, at, {t}), nullptr).isValid())
                    withIds << t;
            }
            if (!withIds.isEmpty())
                augmented = s.db->prepare(withRowids(s.sql, at, withIds), nullptr);
            if (!augmented.isValid())
                withIds.clear();
        }
    }
    Statement& statement = augmented.isValid() ? augmented : original;
    err = statement.bindAll(s.params);
    if (!err.ok())
        return err;
    sqlite3_stmt* st = statement.handle();
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
    for (const QString& t : tableNames) {
        TableColumns columns;
        err = tableColumns(*s.db, t, &columns);
        if (!err.ok())
            return err;
        columnsOf.insert(t, columns);
    }

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

    // A query ordered by a table's key is read by ranges of that key, in pieces when large.
    const bool declared = std::none_of(typeFromData.begin(), typeFromData.end(), [](bool b) { return b; });
    if (s.mayReadInPieces && declared && augmented.isValid() && k == int(tableNames.size())) {
        QList<QPair<QString, QString>> keys;
        for (const QString& t : tableNames) {
            if (!columnsOf[t].rowidAlias.isEmpty())
                keys.append({t, columnsOf[t].rowidAlias});
        }
        if (!keys.isEmpty()) {
            if (const auto split = planSplitRead(*s.db, withRowids(s.sql, at, withIds), int(s.params.size()), keys))
                return readSplit(s, *split, rowidSlot, k);
        }
    }
    s.version = s.db->dataVersion();

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
    int rc;
    std::vector<Column*> cells;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (rows == 0) {
            makeColumns(st);
            for (auto& column : s.columns)
                cells.push_back(column.get());
        }
        appendResultRow(st, rowidSlot, s.rowids, cells, k);
        s.flags.push_back(0);
        ++rows;
    }
    if (rc != SQLITE_DONE)
        return s.db->resultFor(rc, QString());
    if (rows == 0)
        makeColumns(nullptr);
    if (const DbResult finished = finishRead(s.columns, s.rowids, s.sql); !finished.ok())
        return finished;
    s.flags.shrink();
    s.baseRows = rows;
    s.totalRows = rows;
    if (rows > 0)
        s.pieces.push_back({0, rows});
    return {};
}

} // namespace quad::rs
