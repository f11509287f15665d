#pragma once

// Private state of the recordset: the snapshot shared by a recordset and its clones, and the
// state of one cursor over it.

#include "criteria.h"
#include "recordset.h"
#include "recordset_storage.h"

#include <QBitArray>
#include <QHash>
#include <QSet>
#include <QVector>

#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace quad::rs {

constexpr qint64 kNoRowid = std::numeric_limits<qint64>::min();

/// A table that fields of the recordset come from.
struct SourceTable
{
    QString name;
    bool hasRowid = false; ///< the query carries its row id (rows can be written back)
    int aliasField = -1; ///< the field that is the table's INTEGER PRIMARY KEY, if shown
};

/// What the recordset knows of a field beyond FieldInfo.
struct FieldMeta
{
    QString origin; ///< the column's name in its table
    int table = -1; ///< index into Shared::tables, -1 for expressions
    bool notNull = false;
};

/// Pending and written changes of one row. Base rows keep their snapshot cells; what changed
/// since lives here. New rows live here only.
struct RowState
{
    bool isNew = false;
    RowStatus status = RowStatus::Unmodified; ///< pending state
    QVector<QVariant> committed; ///< values written since the snapshot
    QBitArray committedSet;
    QVector<QVariant> pending; ///< values waiting for updateBatch
    QBitArray pendingSet;
    std::vector<qint64> rowids; ///< new rows: the row id per source table once written
};

enum RowFlag : quint8 { kTouched = 1, kGone = 2 };

/// The rows, fields and changes a recordset shares with its clones.
struct Shared
{
    Shared() = default;
    ~Shared();
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    std::shared_ptr<Connection> db;
    QString sql;
    QVariantList params;
    bool inMemory = false;
    QString uniqueTable;

    QVector<FieldInfo> fields;
    QVector<FieldMeta> meta;
    QHash<QString, int> byName; ///< lower-case bare name -> index, -2 when repeated
    QHash<QString, int> byQualified; ///< lower-case "table.name" -> index

    std::vector<std::unique_ptr<Column>> columns;
    std::vector<SourceTable> tables;
    std::vector<Chunked<qint64>> rowids; ///< per table, per base row
    qsizetype baseRows = 0;
    qsizetype totalRows = 0;
    Chunked<quint8> flags; ///< RowFlag per row
    /// The rows in the query's order when a re-read of some rows put rows out of row order
    /// (empty while the order is the rows' own), and each row's place in it.
    std::vector<qint32> order;
    std::vector<qint32> rankOf;
    QHash<qsizetype, RowState> touched;
    int pendingRows = 0;
    /// The base rows as read, in pieces read apart: (first row, rows) each, in the query's order.
    /// The indexes between two pieces are rows that are gone (kGone).
    std::vector<std::pair<qsizetype, qsizetype>> pieces;
    /// What the file held when the rows were read (or since brought up to date with).
    DataVersion version;
    int readThreads = 1; ///< threads the last read used
    bool mayReadInPieces = true; ///< false for the few rows of one key read back
    /// Per field: 1 when the base rows hold its integers in rising order, 0 when not, -1 unknown.
    mutable std::vector<qint8> keyOrder;
    quint64 generation = 0; ///< grows with every change of rows or values

    std::vector<Recordset::Impl*> cursors;

    void addField(const FieldInfo& info, const FieldMeta& meta);
    /// Rebuilds byName/byQualified and the fields' unique names.
    void indexFields();
    int fieldIndex(const QString& name, bool* ambiguous = nullptr) const;

    bool isLive(qsizetype row) const;
    RowState* state(qsizetype row);
    const RowState* state(qsizetype row) const;
    RowState& touch(qsizetype row);
    /// The value a loose change or the snapshot gives, or null when none (base cell).
    const QVariant* loose(qsizetype row, int column) const;
    QVariant value(qsizetype row, int column) const;
    bool isNull(qsizetype row, int column) const;
    qint64 rowid(qsizetype row, int table) const;
    void setRowid(qsizetype row, int table, qint64 id);
    RowStatus status(qsizetype row) const;
    qsizetype addRow();
    /// Place of a row in the query's order (its own index unless the order was rearranged).
    qint64 rank(qsizetype row) const { return rankOf.empty() ? row : rankOf[size_t(row)]; }
    /// Sets the query's order of every row (rows not given follow in their own order).
    void setOrder(std::vector<qint32> rows);
};

struct SortKey
{
    int column;
    bool descending;
};

/// Sorts row ids by the keys (Null first ascending, text ignoring case); ties keep the order
/// the rows came in.
void sortRows(const Shared& s, const std::vector<SortKey>& keys, std::vector<qint32>& rows);
/// The order sortRows gives: negative when row a comes before row b, 0 when the keys tie.
int compareRows(const Shared& s, const std::vector<SortKey>& keys, qsizetype a, qsizetype b);

/// Criteria access to one row of the shared rows, pending changes included.
class RowReader final : public CriteriaRow
{
public:
    explicit RowReader(const Shared& shared);
    void setRow(qsizetype row);

    bool isNull(int column) const override;
    qint64 integer(int column) const override;
    double real(int column) const override;
    QStringView text(int column) const override;
    qint64 dateTime(int column) const override;

private:
    const QVariant* loose(int column) const;

    const Shared& m_s;
    qsizetype m_row = -1;
    const RowState* m_rowState = nullptr;
    mutable std::vector<TextScratch> m_scratch;
};

/// Criteria access to whole runs of the shared rows: straight from the columns while no row of
/// the run has changes, else row by row through a RowReader.
class ColumnReader final : public CriteriaColumns
{
public:
    explicit ColumnReader(const Shared& shared);

    void integers(int column, const qint32* rows, qsizetype n, quint8* null, qint64* values) const override;
    void reals(int column, const qint32* rows, qsizetype n, quint8* null, double* values) const override;
    void dateTimes(int column, const qint32* rows, qsizetype n, quint8* null, qint64* values) const override;
    void texts(int column, const qint32* rows, qsizetype n, Text* values) const override;
    const CriteriaRow& row(qint32 row) const override;

private:
    /// True when no row of the run has changes of its own.
    bool plain(const qint32* rows, qsizetype n) const;
    template <typename T, typename FromColumn, typename FromRow>
    void read(int column, const qint32* rows, qsizetype n, quint8* null, T* values, FromColumn fromColumn,
              FromRow fromRow) const;

    const Shared& m_s;
    mutable RowReader m_reader;
    mutable std::vector<QString> m_made;
};

/// Converts a value to the form a field of this type keeps (qint64, double, bool, QDate /
/// QTime / QDateTime, QString) or null. False, with a message, when it does not fit.
bool convertForField(const FieldInfo& field, const QVariant& in, QVariant* out, QString* error);

/// Text of a loose value in the program's display form (see Recordset::displayText).
QString displayOf(const QVariant& value);

/// A resolver over the shared fields for the criteria engine (used while parsing only).
CriteriaFieldResolver resolverFor(const std::shared_ptr<Shared>& shared);

/// A word, a quoted name or text (as "\""), or a single sign of an SQL text outside comments,
/// upper-cased, with its place and the depth of parentheses it stands at.
struct SqlToken
{
    QString up;
    qsizetype start;
    qsizetype end;
    int depth;
};
QList<SqlToken> sqlTokens(const QString& sql);

/// Appends the current row of st: its row id per source table (rowidSlot: the result column that
/// holds it, -1 when none) to rowids, and its cells from result column first on.
void appendResultRow(sqlite3_stmt* st, const std::vector<int>& rowidSlot, std::vector<Chunked<qint64>>& rowids,
                     const std::vector<Column*>& cells, int first);
/// Ends a read into columns and rowids: gives their slack back; fails when a column could not
/// hold what it read (a text block over 4 GB).
DbResult finishRead(std::vector<std::unique_ptr<Column>>& columns, std::vector<Chunked<qint64>>& rowids,
                    const QString& sql);

/// Runs s.sql with s.params on s.db and fills the fields, tables and rows of s: in pieces on
/// several threads when the query allows it (see planSplitRead), else in one.
DbResult loadQuery(Shared& s);
/// Lets go of a snapshot that a cursor no longer shows: a large one that nothing else holds is
/// freed on a worker thread, so that its pages go back to the system while the window goes on.
void releaseSnapshot(std::shared_ptr<Shared> snapshot);

/// A query narrowed to a range of its first ordering key, the integer key of keyTable: the range
/// is bound to the parameters loParameter..hiParameter, after the query's own.
struct SplitRead
{
    QString sql;
    QString keyTable;
    int loParameter = 0;
    int hiParameter = 0;
    qint64 lo = 0;
    qint64 hi = 0;
    bool empty = true;
};
/// The split form of sql (with parameters of its own bound first) when its first ordering term is
/// the integer key of one of keys (table, key column), the joins are inner, nothing folds or limits
/// the rows, and its plan reads the key's table by ranges of the key, every other table through
/// an index, with no sort: then each range gives its rows in the order the whole query gives
/// them. std::nullopt otherwise.
std::optional<SplitRead> planSplitRead(Connection& db, const QString& sql, int parameters,
                                       const QList<QPair<QString, QString>>& keys);
/// Reads the rows of split into s (whose fields and tables are set): in pieces on up to
/// readThreads() threads when the key range spans the keys worth splitting (setReadPieces), else
/// in one piece on this thread; under one read lock of s.db so that every
/// piece sees the same contents. A failure on any piece fails the whole read and leaves no rows.
DbResult readSplit(Shared& s, const SplitRead& split, const std::vector<int>& rowidSlot, int first);
/// Threads for a read in pieces (0: as many as the machine has) and the least key range worth
/// splitting.
void setReadPieces(int threads, qint64 minKeys);
int readThreads();

} // namespace quad::rs

namespace quad {

using rs::SortKey;

struct Recordset::Impl
{
    Recordset* q = nullptr;
    std::shared_ptr<rs::Shared> s;
    std::shared_ptr<rs::Shared> building; ///< fields appended before openInMemory()

    std::vector<qint32> view; ///< row ids in view order
    int pos = -1; ///< -1 BOF, view.size() EOF
    qint64 deletedCurrent = -1; ///< row id of a just deleted current record
    QString filterText;
    std::unique_ptr<Criteria> filter;
    QString sortText;
    std::vector<SortKey> sortKeys;
    std::vector<qint32> sorted; ///< every row in sort order (cache)
    quint64 sortedGeneration = ~quint64(0);
    mutable std::vector<qint32> inverse; ///< row id -> view index (cache for sorted views)
    mutable bool inverseValid = false;

    ~Impl();
    void attach(std::shared_ptr<rs::Shared> shared);
    void detach();

    int count() const { return int(view.size()); }
    qint64 currentRowId() const;
    qint64 requireCurrent() const;
    int viewIndexOf(qint64 row) const;
    void invalidateInverse() { inverseValid = false; }

    /// Rebuilds the view from the rows, the filter and the sort.
    void rebuildView();
    void ensureSorted();
    bool matches(rs::RowReader& reader, qint64 row) const;

    /// Moves with the data control's events.
    void moveTo(int newPos);
    /// Replaces the view wholesale with the model signals; keeps the current row when it stays.
    void resetView(bool keepCurrent);

    // Notifications of changes made through any cursor over the same rows.
    void rowValuesChanged(qint64 row);
    void rowAdded(qint64 row, bool own);
    void rowRemoved(qint64 row);
    /// Index in the view of each given row (-1 when not shown), before a re-read changes them.
    std::vector<int> indexesOf(const std::vector<qint32>& rows) const;
    /// Brings the view up to date after some rows were read again: rows in `before` (shown at
    /// the indexes `shownAt`) may have gone, rows in `after` may show at new places; `changed`
    /// holds the rows whose values changed. Tells the models about those rows only.
    /// A current record that left goes to the first row read again, or with leftGoesFirst to
    /// the first row of the view (as a rebuilt view has it).
    void rowsReread(const std::vector<qint32>& before, const std::vector<int>& shownAt,
                    const std::vector<qint32>& after, const QSet<qint32>& changed, bool leftGoesFirst = false);
    /// True when row a comes before row b in this view's order.
    bool precedes(qint64 a, qint64 b) const;

    DbResult fail(const DbResult& result);
};

} // namespace quad
