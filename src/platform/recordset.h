#pragma once

#include "database.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>
#include <stdexcept>

namespace quad {

class Criteria;

/// Raised for programming faults only: an unknown or ambiguous field name, a read with no
/// current record. User input errors (a criteria text that does not parse) come back as
/// DbResult instead.
class RecordsetError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// ADO's reasons for a record change.
enum class ChangeReason {
    AddNew = 1,
    Delete = 2,
    Update = 3,
    UndoUpdate = 4,
    UndoAddNew = 5,
    UndoDelete = 6,
    Requery = 7,
    Resynch = 8,
    Close = 9,
    Move = 10,
    FirstChange = 11
};

/// ADO's event statuses.
enum class EventStatus { OK = 1, ErrorsOccurred = 2, CantDeny = 3, Cancel = 4, UnwantedEvent = 5 };

enum class SearchDirection { Forward = 1, Backward = -1 };

/// Pending state of a row since the last UpdateBatch.
enum class RowStatus { Unmodified, Modified, New, Deleted };

/// A column of a recordset.
struct FieldInfo
{
    QString name; ///< as the query names it (for "SELECT a.*, b.*" the bare column name)
    QString table; ///< source table ("" for expressions and in-memory recordsets)
    int type = adVarWChar; ///< ADO type code (adInteger, adDouble, adDate, adBoolean, adVarWChar, adLongVarWChar)
    int definedSize = 0;
    /// The name the recordset shows for the field (ADO's Fields(i).Name): the bare name, or
    /// "table.name" when the recordset repeats the bare name. fieldIndex() always accepts it.
    QString uniqueName;
    /// "table.name" when the source table is known, else the name.
    QString qualifiedName() const { return table.isEmpty() ? name : table + QLatin1Char('.') + name; }
};

/// Bookmarks are stable for the life of a snapshot (until Requery): positive numbers that grow
/// with the row's place in the query's own order as read (rows added later follow the last row;
/// a large read in pieces leaves numbers unused between pieces). 0 is no bookmark.
using Bookmark = qint64;
/// Start positions for Recordset::find besides a real bookmark.
constexpr Bookmark kBookmarkCurrent = -1;
constexpr Bookmark kBookmarkFirst = -2;
constexpr Bookmark kBookmarkLast = -3;

/// A client-side recordset over a query snapshot, in batch mode: the rows are read once when
/// it opens, edits stay pending in memory until updateBatch() writes them all in one
/// transaction, or cancelBatch() drops them.
///
/// Field values are QVariants: null for Null; qint64 for integers; double; QString for text;
/// QDate for dates, QTime for time-only values, QDateTime for date-and-time values; bool for
/// yes/no fields (stored -1/0, any non-zero number reads True). An empty text in a field that
/// is not text reads as Null; a cell that does not read as its field's type (a date field
/// holding "31/12/2004") comes back as it is stored.
///
/// Fields are found by index, by name without regard to case, or by "table.name" when a join
/// repeats a name. An unqualified name that a join repeats is ambiguous: fieldIndex() gives -1
/// and value()/setValue() by name raise RecordsetError.
class Recordset : public QObject
{
    Q_OBJECT
public:
    explicit Recordset(QObject* parent = nullptr);
    ~Recordset() override;

    // --- opening -------------------------------------------------------------------------
    /// Runs the query on the connection and keeps its rows; the first row becomes current.
    /// Only a query that reads is run. Fields of tables the query names directly can be
    /// written back; fields of expressions, of tables reached through an alias or a view, and
    /// every field of a query that folds rows (DISTINCT, GROUP BY, aggregates, UNION) are
    /// read-only. Types come from the declared column types (adoTypeForDeclared); an
    /// expression takes the type of its first value. On failure the recordset stays closed
    /// and the error is returned (and signalled).
    DbResult open(std::shared_ptr<Connection> db, const QString& sql, const QVariantList& params = {});
    /// Starts an in-memory recordset: appendField() for each column (on a closed recordset;
    /// RecordsetError otherwise), then openInMemory(). A text longer than a field's
    /// definedSize (when not 0) is refused. Every field can be written; updateBatch() just
    /// accepts the changes.
    void appendField(const QString& name, int adoType, int definedSize = 0);
    void openInMemory();
    /// Reads the query again; drops the filter, the sort, pending changes and bookmarks; the
    /// first row becomes current. Emits modelReset(). When nothing was written to the file since
    /// the rows were read (readVersion()) and no clone shares them, the rows in memory are kept
    /// instead of reading the file: they are what a read would give. A read that fails (wrong
    /// key, file held, gone or damaged, on any thread) changes nothing: the old rows stay until
    /// the new ones are read whole, and the error is returned and signalled.
    DbResult requery();
    /// Reads again the rows whose field keyField equals key (the rows of one register entry,
    /// after it was written) and leaves the recordset as a requery would, without reading the
    /// other rows: sql (with params) must be the recordset's own query narrowed to that key (same
    /// columns, same order) and the query must be ordered by keyField. Rows still there keep
    /// their bookmarks and get the stored values; rows gone leave; new rows take their place in
    /// the query's order. Pending changes of those rows are dropped; other rows, the filter and
    /// the sort stay, and every cursor shows the rows where its filter and sort put them, telling
    /// its models about those rows only. The current record stays current when it is still in
    /// the view; one that left is replaced by the first row of the key (or the row that followed
    /// it). A query that fails, or gives other columns or other keys, changes nothing and
    /// returns the error.
    DbResult resyncKey(const QString& keyField, const QVariant& key, const QString& sql,
                       const QVariantList& params = {});
    /// Makes current the first row of the view whose keyField equals key, found through the key's
    /// order when the query was ordered by it (else by a search of the rows); false, without a
    /// move, when the view shows none.
    bool findKey(const QString& keyField, const QVariant& key);
    /// The file's contents as they were when the rows were last read whole (or brought up to date
    /// with adoptVersion()); compare with connection()->dataVersion().
    DataVersion readVersion() const;
    /// Records that the rows now show what the file holds at version (the caller read back
    /// everything that was written since readVersion()).
    void adoptVersion(const DataVersion& version);
    /// Reads and writes through db from now on: the same file, opened with the key that opens it
    /// now (another station changed it). The rows, pending changes, filter, order and position
    /// stay; the next requery() reads the file whole. Nothing changes for an in-memory or closed
    /// recordset, or for a null db.
    void useConnection(std::shared_ptr<Connection> db);
    /// Threads the last full read used.
    int readThreads() const;
    /// How full reads are split: at most threads threads (0: as many as the machine has), and
    /// only queries over at least minKeys keys. For tests and the benchmark; the program keeps
    /// the defaults.
    static void setParallelRead(int threads, qint64 minKeys);
    void close();
    bool isOpen() const;
    std::shared_ptr<Connection> connection() const;
    QString source() const; ///< the query text

    // --- fields --------------------------------------------------------------------------
    int fieldCount() const;
    const FieldInfo& field(int index) const;
    /// Index of a field by name, by "table.name" or "[name]"; -1 when unknown or ambiguous.
    int fieldIndex(const QString& name) const;
    /// Value of a field of the current record. Raises RecordsetError at BOF/EOF or for an
    /// unknown name.
    QVariant value(int index) const;
    QVariant value(const QString& name) const;
    /// Value of a field of the row at index row of the view (for grids; no move). Raises
    /// RecordsetError for a row or column out of range.
    QVariant valueAt(int row, int column) const;
    /// Writes a field of the current record (pending until updateBatch). The first change of
    /// a row emits recordChangeComplete(FirstChange); a text is converted to the field's type
    /// (numbers with point or comma, dates read day first as the criteria do, yes/no as
    /// True/False/Vero/Falso/-1/0; a blank text empties the field) and refused when it does
    /// not fit ("abc" into a number); a read-only field, or a deleted record, is refused. A
    /// refusal leaves the value as it was. Raises RecordsetError at BOF/EOF or for an unknown
    /// or ambiguous name.
    DbResult setValue(int index, const QVariant& value);
    DbResult setValue(const QString& name, const QVariant& value);

    // --- position ------------------------------------------------------------------------
    bool bof() const;
    bool eof() const;
    /// Rows in the current view (after the filter).
    int recordCount() const;
    /// 1-based position of the current record in the view; 0 at BOF or EOF or when empty.
    int absolutePosition() const;
    void setAbsolutePosition(int position);
    /// Index in the view of the current record, or -1 at BOF/EOF (for grids).
    int currentRow() const;
    void setCurrentRow(int row);
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    /// Bookmark of the current record; 0 at BOF/EOF.
    Bookmark bookmark() const;
    /// Makes the row with this bookmark current; false (and no move) when it is not in the view.
    bool setBookmark(Bookmark mark);
    /// Bookmark of the row at index row of the view (0 when out of range).
    Bookmark bookmarkAt(int row) const;
    /// Index in the view of the row with this bookmark, or -1 when it is not in the view.
    int rowOfBookmark(Bookmark mark) const;

    // --- filter, find, sort --------------------------------------------------------------
    /// Applies a criteria text ("Oggetto like '%rossi%' AND Progressivo >= 10"); an empty text
    /// clears the filter. The first row of the new view becomes current. A text that does not
    /// parse, names an unknown field or compares a value of the wrong kind is refused and
    /// leaves the filter and the position as they were.
    DbResult setFilter(const QString& criteria);
    void clearFilter();
    bool hasFilter() const;
    /// The filter text, or "none" when there is none.
    QString filterText() const;
    /// ADO's Find: one clause "field op value"; starts at start (kBookmarkCurrent: the current
    /// record, kBookmarkFirst / kBookmarkLast: the first / last row of the view, else the row of
    /// that bookmark), skipping skip records, in the given direction. From BOF forward or from
    /// EOF backward the search starts at the first or last row. Found: that record becomes
    /// current and the result is true. Not found: EOF (forward) or BOF (backward). A refused text,
    /// a text of more than one clause or a start bookmark that is not in the view returns an
    /// error in *error and keeps the position.
    bool find(const QString& criteria, int skip = 0, SearchDirection direction = SearchDirection::Forward,
              Bookmark start = kBookmarkCurrent, DbResult* error = nullptr);
    /// "field [ASC|DESC][, field ...]"; an empty text restores the query order. A bad key is
    /// refused and leaves the order as it was. The current record stays current. Null sorts
    /// first ascending; text ignores case; rows of equal keys keep the query order.
    DbResult setSort(const QString& sort);
    QString sort() const;
    /// A second cursor over the same rows and pending changes, with its own position and filter
    /// (the clone starts unfiltered, unsorted, on the first row). A change made through one
    /// cursor shows in the others at once; a row added through one appears at the end of every
    /// unfiltered cursor. After requery() the two no longer share rows.
    std::shared_ptr<Recordset> clone();

    // --- changes -------------------------------------------------------------------------
    /// Appends a new empty row (pending) and makes it current; emits recordChangeComplete(AddNew).
    void addNew();
    /// Marks the current record deleted (pending); it leaves the view of every cursor. As in
    /// ADO it stays the current record (its values can still be read; rowStatus() is Deleted)
    /// until the next move: moveNext() goes to the row that followed it, movePrevious() to the
    /// one before. A row added and not yet written simply goes. Emits
    /// recordChangeComplete(Delete). Refused at BOF/EOF or on a row already deleted.
    DbResult deleteCurrent();
    /// Writes every pending change in one transaction, each change back to its own table and row
    /// (found by the row id kept per source table). Only the fields that changed are written. A
    /// deleted join row is deleted from every source table, or only from uniqueTable() when set;
    /// a new join row is inserted into the tables whose fields were given a value (only
    /// uniqueTable() when set). A row that is no longer in the file fails the batch. On failure
    /// nothing is written, the changes stay pending and the error is returned and signalled.
    /// On success emits recordChangeComplete(Update). An in-memory recordset just accepts its
    /// changes.
    DbResult updateBatch();
    /// Drops every pending change: new rows go, deleted rows come back, values return to what
    /// they were. Every cursor shows its rows as a rebuilt view would (filter and sort kept; a
    /// current record that went leaves the first row current), telling its models about the
    /// rows concerned only when they are few; emits
    /// recordChangeComplete(UndoUpdate) when something was pending.
    void cancelBatch();
    bool hasPendingChanges() const;
    RowStatus rowStatus() const; ///< of the current record
    /// ADO's "Unique Table" property: the one source table that deletes and inserts of a join
    /// touch ("" for every table). Matched without regard to case.
    void setUniqueTable(const QString& table);
    QString uniqueTable() const;

    // --- persistence ---------------------------------------------------------------------
    /// Writes the rows of the view in ADO's XML rowset format (pending changes as they stand).
    DbResult save(const QString& file) const;
    /// The same text into *bytes, for a caller that writes the file its own way.
    DbResult saveXml(QByteArray* bytes) const;
    /// Reads a file in ADO's XML rowset format into a new in-memory recordset; a malformed file
    /// gives null and an error, never a partial result. So does one the reader would not take in
    /// full: a DOCTYPE (and so any entity it declares), a second schema or data section, a
    /// second row description or another schema in the schema, an element out of its place (a
    /// row outside the data section, anything but z:rows and the batch's change wrappers in it,
    /// anything in a row), a row's value (or rs:forcenull name) of a field the schema lacks, a
    /// value the writer could not write back (a NUL), or text other than blanks between
    /// elements; text found where none belongs is named with its invisible characters as codes.
    static std::shared_ptr<Recordset> openXml(const QString& file, DbResult* error);
    /// The rows of the view from the current record on (at most rows when rows >= 0), fields
    /// joined by columnSep and rows ended by rowSep, Null written as nullExpr. Values read as
    /// displayText() shows them, except yes/no, written -1 / 0 so that the text reads back as a
    /// number. The position moves past the last row read (EOF when every row was read).
    QString getString(const QString& columnSep = QStringLiteral("\t"), const QString& rowSep = QStringLiteral("\r"),
                      const QString& nullExpr = QString(), int rows = -1);

    /// Displays a value as the program shows it: dates dd/MM/yyyy, times HH:mm:ss, date and time
    /// "dd/MM/yyyy HH:mm:ss", yes/no as "Vero"/"Falso", reals with a decimal comma and no
    /// grouping, Null as "".
    static QString displayText(const QVariant& value);

signals:
    /// Before the current record changes (data control WillMove).
    void willMove();
    /// After the current record changed, also to BOF/EOF (data control MoveComplete).
    void moveComplete();
    /// After a record change (data control RecordChangeComplete). The handler may set *status.
    void recordChangeComplete(quad::ChangeReason reason, quad::EventStatus* status);
    /// A database error while opening, re-reading or writing (data control Error).
    void error(const quad::DbResult& result);
    /// Just before the rows, the view or the order change wholesale (for models).
    void modelAboutToReset();
    /// The rows, the view or the order changed wholesale (requery, filter, sort).
    void modelReset();
    /// Field values of a row in the view changed.
    void rowChanged(int row);
    /// Rows first..last of the view are about to appear / have appeared (addNew, a row added
    /// through a clone).
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted(int first, int last);
    /// Rows first..last of the view are about to leave / have left it (a delete).
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved(int first, int last);

public:
    /// Private state of one cursor (opaque outside the recordset's own files).
    struct Impl;

private:
    /// Puts a parsed filter (null: none) in place and shows the first row of the new view.
    void applyFilter(std::unique_ptr<Criteria> filter, const QString& text);

    std::shared_ptr<Impl> d;
};

} // namespace quad
