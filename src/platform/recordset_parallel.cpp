// Reading a large query in pieces on several threads. A query ordered first by a table's integer
// key (the register by its number) is read as ranges of that key, each range on a read-only
// connection of its own, and the pieces are joined in key order into the one snapshot, with no
// copy of their cells. The pieces run one statement with the join order fixed, so that every
// range gives its rows in the order the whole query gives them; a query whose plan would sort,
// scan an inner table or build a temporary index is read in one piece.

#include "recordset_p.h"
#include "sql_like.h"

#include <sqlcipher/sqlite3.h>

#include <QStringList>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

namespace quad::rs {

namespace {

std::atomic<int> g_threads {0}; // 0: as many as the machine has
std::atomic<qint64> g_minKeys {50000};

QString unquote(QString name)
{
    name = name.trimmed();
    if (name.size() >= 2
        && ((name.front() == QLatin1Char('[') && name.back() == QLatin1Char(']'))
            || (name.front() == QLatin1Char('"') && name.back() == QLatin1Char('"'))
            || (name.front() == QLatin1Char('`') && name.back() == QLatin1Char('`'))))
        name = name.mid(1, name.size() - 2);
    return name;
}

/// One piece of the result: the rows of one key range, read apart.
struct Piece
{
    qint64 lo = 0;
    qint64 hi = 0;
    std::vector<std::unique_ptr<Column>> columns;
    std::vector<Chunked<qint64>> rowids;
    qsizetype rows = 0;
};

/// Reads the rows of one piece with a prepared split statement.
DbResult readPiece(Connection& db, sqlite3_stmt* st, const Shared& s, const SplitRead& split,
                   const std::vector<int>& rowidSlot, int first, Piece& piece, const std::atomic<bool>& stop)
{
    sqlite3_reset(st);
    sqlite3_bind_int64(st, split.loParameter, piece.lo);
    sqlite3_bind_int64(st, split.hiParameter, piece.hi);
    for (const FieldInfo& f : s.fields)
        piece.columns.push_back(makeColumn(storageFor(f.type)));
    piece.rowids.resize(s.tables.size());
    std::vector<Column*> cells;
    for (auto& column : piece.columns)
        cells.push_back(column.get());
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        appendResultRow(st, rowidSlot, piece.rowids, cells, first);
        if ((++piece.rows & 1023) == 0 && stop.load(std::memory_order_relaxed)) {
            sqlite3_reset(st);
            return DbResult::failure(DbError::Other, QStringLiteral("Lettura interrotta."));
        }
    }
    const DbResult result = rc == SQLITE_DONE ? DbResult() : db.resultFor(rc, QString());
    sqlite3_reset(st);
    if (const DbResult finished = finishRead(piece.columns, piece.rowids, s.sql); !finished.ok())
        return finished;
    return result;
}

/// Holds a read transaction on a connection, with its read lock taken at once, for its lifetime
/// (none when a transaction is open already): no other connection can commit meanwhile.
class ReadSnapshot
{
public:
    /// wait: see Connection::beginRead.
    ReadSnapshot(Connection& db, bool wait)
        : m_db(db)
    {
        if (db.inTransaction())
            return;
        m_result = db.beginRead(wait);
        m_begun = m_result.ok();
    }
    ~ReadSnapshot()
    {
        if (m_begun)
            (void)m_db.rollback(); // nothing was written: the read lock goes
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;
    DbResult result() const { return m_result; }

private:
    Connection& m_db;
    DbResult m_result;
    bool m_begun = false;
};

/// Takes the read locks of db and of every reader, so that all read the same contents and a
/// station that wants to commit waits for the read to end (the pieces then need no lock it could
/// hold back). A reader never waits while db holds its lock: when a station is committing, every
/// lock is let go for it, and taken again once it is done.
DbResult lockForRead(Connection& db, const std::vector<std::shared_ptr<Connection>>& readers,
                     std::optional<ReadSnapshot>& snapshot, std::vector<std::unique_ptr<ReadSnapshot>>& locks)
{
    for (int attempt = 0;; ++attempt) {
        snapshot.emplace(db, true); // waits for a station that is committing
        if (!snapshot->result().ok())
            return snapshot->result();
        locks.clear();
        for (const auto& reader : readers) {
            locks.push_back(std::make_unique<ReadSnapshot>(*reader, false));
            const DbResult taken = locks.back()->result();
            if (taken.ok())
                continue;
            if (taken.code != DbError::Busy || attempt == 1000)
                return taken;
            break;
        }
        if (locks.empty() || locks.back()->result().ok())
            return {};
        locks.clear();
        snapshot.reset();
    }
}

/// The first and the last key of the split's table as the connection reads them now.
void readKeyRange(Connection& db, SplitRead& split)
{
    const QVariant lo = db.scalar(QStringLiteral("SELECT min(rowid) FROM %1").arg(quoteName(split.keyTable)));
    const QVariant hi = db.scalar(QStringLiteral("SELECT max(rowid) FROM %1").arg(quoteName(split.keyTable)));
    split.empty = lo.isNull();
    split.lo = lo.toLongLong();
    split.hi = hi.toLongLong();
}

} // namespace

void setReadPieces(int threads, qint64 minKeys)
{
    g_threads = std::max(0, threads);
    g_minKeys = std::max<qint64>(0, minKeys);
}

int readThreads()
{
    const int set = g_threads.load();
    if (set > 0)
        return set;
    const unsigned cores = std::thread::hardware_concurrency();
    return int(std::clamp(cores, 1u, 16u));
}

std::optional<SplitRead> planSplitRead(Connection& db, const QString& sql, int parameters,
                                       const QList<QPair<QString, QString>>& keys)
{
    const QList<SqlToken> words = sqlTokens(sql);
    if (words.isEmpty() || words.first().up != QLatin1String("SELECT"))
        return std::nullopt;
    static const QStringList refused
        = {QStringLiteral("LIMIT"), QStringLiteral("OFFSET"),    QStringLiteral("GROUP"),   QStringLiteral("HAVING"),
           QStringLiteral("UNION"), QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT"),  QStringLiteral("DISTINCT"),
           QStringLiteral("LEFT"),  QStringLiteral("RIGHT"),     QStringLiteral("FULL"),    QStringLiteral("NATURAL"),
           QStringLiteral("OUTER"), QStringLiteral("WITH"),      QStringLiteral("COLLATE"), QStringLiteral("DESC")};
    qsizetype from = -1, where = -1, order = -1;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const SqlToken& w = words[i];
        if (refused.contains(w.up))
            return std::nullopt;
        if (w.depth != 0)
            continue;
        if (w.up == QLatin1String("FROM") && from < 0)
            from = i;
        else if (w.up == QLatin1String("WHERE") && where < 0)
            where = i;
        else if (w.up == QLatin1String("ORDER") && i + 1 < words.size() && words[i + 1].up == QLatin1String("BY"))
            order = i;
        else if (w.up == QLatin1String("SELECT") && i > 0)
            return std::nullopt;
    }
    if (from < 0 || order < 0 || (where >= 0 && (where < from || where > order)))
        return std::nullopt;
    // Nothing bound after the ordering: the range's parameters come after the query's own.
    for (qsizetype i = order; i < words.size(); ++i) {
        if (words[i].up == QLatin1String("?") || words[i].up == QLatin1String(":") || words[i].up == QLatin1String("@")
            || words[i].up == QLatin1String("$"))
            return std::nullopt;
    }

    // The first ordering term must be a table's integer key.
    qsizetype termEnd = sql.size();
    for (qsizetype i = order + 2; i < words.size(); ++i) {
        if (words[i].depth == 0 && (words[i].up == QLatin1String(",") || words[i].up == QLatin1String(";"))) {
            termEnd = words[i].start;
            break;
        }
    }
    if (order + 2 >= words.size())
        return std::nullopt;
    QString term = sql.mid(words[order + 2].start, termEnd - words[order + 2].start).trimmed();
    if (term.endsWith(QLatin1String(" ASC"), Qt::CaseInsensitive))
        term.chop(4);
    const qsizetype dot = term.lastIndexOf(QLatin1Char('.'));
    const QString qualifier = dot >= 0 ? unquote(term.left(dot)) : QString();
    const QString column = unquote(dot >= 0 ? term.mid(dot + 1) : term);
    QString keyTable, keyColumn;
    for (const auto& key : keys) {
        if (key.second.compare(column, Qt::CaseInsensitive) != 0)
            continue;
        if (!qualifier.isEmpty() && key.first.compare(qualifier, Qt::CaseInsensitive) != 0)
            continue;
        if (!keyTable.isEmpty())
            return std::nullopt; // ambiguous
        keyTable = key.first;
        keyColumn = key.second;
    }
    if (keyTable.isEmpty())
        return std::nullopt;

    // The joins in the order written, and the key range in the condition.
    const qsizetype fromEnd = where >= 0 ? where : order;
    QString text;
    qsizetype copied = 0;
    for (qsizetype i = from + 1; i < fromEnd; ++i) {
        const SqlToken& w = words[i];
        if (w.depth == 0 && w.up == QLatin1String(","))
            return std::nullopt;
        if (w.up == QLatin1String("INNER") && i + 1 < fromEnd && words[i + 1].up == QLatin1String("JOIN")) {
            text += sql.mid(copied, w.start - copied) + QLatin1String("CROSS");
            copied = w.end;
        } else if (w.up == QLatin1String("JOIN") && words[i - 1].up != QLatin1String("INNER")
                   && words[i - 1].up != QLatin1String("CROSS")) {
            text += sql.mid(copied, w.start - copied) + QLatin1String("CROSS ");
            copied = w.start;
        }
    }
    const QString range
        = QStringLiteral("%1.%2 BETWEEN :quad_lo AND :quad_hi").arg(quoteName(keyTable), quoteName(keyColumn));
    const qsizetype orderAt = words[order].start;
    if (where >= 0) {
        const qsizetype whereEnd = words[where].end;
        text += sql.mid(copied, whereEnd - copied) + QLatin1String(" (") + sql.mid(whereEnd, orderAt - whereEnd)
            + QLatin1String(") AND ") + range + QLatin1Char(' ') + sql.mid(orderAt);
    } else {
        text += sql.mid(copied, orderAt - copied) + QLatin1String(" WHERE ") + range + QLatin1Char(' ')
            + sql.mid(orderAt);
    }

    SplitRead split;
    split.sql = text;
    {
        Statement probe = db.prepare(text, nullptr);
        if (!probe.isValid())
            return std::nullopt;
        split.loParameter = sqlite3_bind_parameter_index(probe.handle(), ":quad_lo");
        split.hiParameter = sqlite3_bind_parameter_index(probe.handle(), ":quad_hi");
        if (sqlite3_bind_parameter_count(probe.handle()) != parameters + 2 || split.loParameter != parameters + 1
            || split.hiParameter != parameters + 2)
            return std::nullopt;
    }
    // The plan: the key's table first, by ranges of its key; every other table through an index
    // of the archive; nothing sorted afterwards.
    QStringList plan;
    const DbResult explained = db.query(QStringLiteral("EXPLAIN QUERY PLAN ") + text, {}, [&](const Statement& st) {
        plan << st.value(3).toString().toUpper();
        return true;
    });
    if (!explained.ok() || plan.isEmpty())
        return std::nullopt;
    const QString head = plan.first();
    if (!head.startsWith(QLatin1String("SEARCH TABLE ") + keyTable.toUpper() + QLatin1Char(' '))
        || !head.contains(QLatin1String("INTEGER PRIMARY KEY")))
        return std::nullopt;
    for (qsizetype i = 1; i < plan.size(); ++i) {
        if (!plan[i].startsWith(QLatin1String("SEARCH TABLE ")) || plan[i].contains(QLatin1String("AUTOMATIC")))
            return std::nullopt;
    }
    for (const QString& step : plan) {
        if (step.contains(QLatin1String("TEMP B-TREE")))
            return std::nullopt;
    }
    split.keyTable = keyTable;
    return split;
}

DbResult readSplit(Shared& s, const SplitRead& plan, const std::vector<int>& rowidSlot, int first)
{
    Connection& db = *s.db;
    // Readers of their own do not see what this connection has not committed yet.
    const bool ownTransaction = db.inTransaction();
    SplitRead split = plan;
    readKeyRange(db, split); // a first look, to choose the threads
    int threads = ownTransaction ? 1 : readThreads();
    // Pieces of a few thousand keys at least; a few per thread even out the threads' speeds.
    if (split.empty || split.hi - split.lo + 1 < std::max<qint64>(g_minKeys.load(), 2))
        threads = 1;
    // The readers are opened here, on this thread, with the key derived once and before any read
    // lock is held; each thread then owns its reader until it ends.
    std::vector<std::shared_ptr<Connection>> readers;
    for (int t = 0; threads > 1 && t < threads; ++t) {
        DbResult err;
        std::shared_ptr<Connection> reader = db.openReader(&err);
        if (!reader)
            return err;
        readers.push_back(std::move(reader));
    }
    // Every piece reads what the file holds while these locks are held (let go before the
    // readers close).
    std::optional<ReadSnapshot> snapshot;
    std::vector<std::unique_ptr<ReadSnapshot>> locks;
    if (const DbResult locked = lockForRead(db, readers, snapshot, locks); !locked.ok())
        return locked;
    // The range again under the lock: another station may have written since.
    readKeyRange(db, split);
    s.version = db.dataVersion();
    const qint64 span = split.empty ? 0 : split.hi - split.lo + 1;
    const qint64 pieces = threads == 1 ? 1 : std::min<qint64>(qint64(threads) * 4, span);
    s.readThreads = threads;

    std::vector<Piece> parts(size_t(std::max<qint64>(pieces, 1)));
    for (qint64 p = 0; p < qint64(parts.size()); ++p) {
        parts[size_t(p)].lo = split.lo + (span * p) / qint64(parts.size());
        parts[size_t(p)].hi = split.lo + (span * (p + 1)) / qint64(parts.size()) - 1;
    }
    std::atomic<bool> stop {false};
    std::atomic<size_t> next {0};
    std::mutex failedMutex;
    DbResult failed;
    auto fail = [&](const DbResult& r) {
        std::lock_guard<std::mutex> lock(failedMutex);
        if (failed.ok())
            failed = r;
        stop = true;
    };
    auto work = [&](Connection& reader) {
        DbResult err;
        Statement st = reader.prepare(split.sql, &err);
        if (!st.isValid()) {
            fail(err.ok() ? DbResult::failure(DbError::Other, QStringLiteral("Query non valida: %1").arg(split.sql))
                          : err);
            return;
        }
        err = st.bindAll(s.params);
        if (!err.ok()) {
            fail(err);
            return;
        }
        for (size_t p = next++; p < parts.size() && !stop; p = next++) {
            const DbResult r = readPiece(reader, st.handle(), s, split, rowidSlot, first, parts[p], stop);
            if (!r.ok()) {
                fail(r);
                return;
            }
        }
    };
    if (threads == 1 || split.empty) {
        if (!split.empty)
            work(db);
    } else {
        std::vector<std::thread> running;
        for (auto& reader : readers)
            running.emplace_back([&work, r = reader.get()] { work(*r); });
        for (std::thread& t : running)
            t.join();
    }
    if (!failed.ok())
        return failed;

    // The pieces in key order, each from a chunk boundary on; the indexes in between are rows
    // that are gone.
    for (const FieldInfo& f : s.fields)
        s.columns.push_back(makeColumn(storageFor(f.type)));
    s.rowids.resize(s.tables.size());
    qsizetype rows = 0;
    for (Piece& piece : parts) {
        if (piece.rows == 0)
            continue;
        const qsizetype start = (rows + kChunkMask) & ~kChunkMask;
        for (qsizetype r = rows; r < start; ++r)
            s.flags.push_back(kGone);
        for (size_t c = 0; c < piece.columns.size(); ++c) {
            s.columns[c]->join(*piece.columns[c]);
            piece.columns[c].reset();
        }
        for (size_t t = 0; t < piece.rowids.size(); ++t)
            s.rowids[t].appendAligned(std::move(piece.rowids[t]));
        for (qsizetype r = 0; r < piece.rows; ++r)
            s.flags.push_back(0);
        rows = start + piece.rows;
        s.pieces.push_back({start, piece.rows});
    }
    s.flags.shrink();
    s.baseRows = rows;
    s.totalRows = rows;
    return {};
}

} // namespace quad::rs
