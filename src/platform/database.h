#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace quad {

/// What went wrong with a database call, told apart so that a window can say the right thing:
/// a wrong password is not a damaged file, and a missing file is not a busy one.
enum class DbError {
    None,
    NotFound, ///< the file does not exist (nothing was created)
    WrongKey, ///< the file exists but the key does not open it (or it is not a database at all)
    Busy, ///< another station holds a lock longer than the busy timeout
    CantOpen, ///< the file exists but cannot be opened (permissions, a folder, ...)
    Corrupt, ///< the file opens with the key but its pages are damaged
    MissingTable, ///< the statement names a table the file does not have
    Constraint, ///< a key or NOT NULL rule refused the write
    ReadOnly, ///< the file or its folder cannot be written
    Other
};

/// The outcome of a database call: a code and a readable (Italian where it reaches the user) text.
struct [[nodiscard]] DbResult
{
    DbError code = DbError::None;
    QString message;

    bool ok() const { return code == DbError::None; }
    static DbResult success() { return {}; }
    static DbResult failure(DbError c, const QString& text) { return {c, text}; }
};

/// A prepared statement. Values are bound as parameters, never pasted into the text.
class Statement
{
public:
    Statement() = default;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    bool isValid() const { return m_stmt != nullptr; }
    /// Binds every value in order (1-based positions). A null QVariant binds NULL; a QDate binds
    /// 'yyyy-MM-dd', a QTime 'HH:mm:ss', a QDateTime 'yyyy-MM-dd HH:mm:ss', a bool -1/0.
    DbResult bindAll(const QVariantList& values);
    DbResult bind(int position, const QVariant& value);
    /// Steps once: true while a row is available. A failure ends with false and sets error().
    bool next();
    DbResult error() const { return m_error; }
    DbResult reset();

    int columnCount() const;
    QString columnName(int column) const;
    QString declaredType(int column) const;
    /// Value of a column of the current row: int64, double, QString, QByteArray or a null QVariant.
    QVariant value(int column) const;
    sqlite3_stmt* handle() const { return m_stmt; }

private:
    friend class Connection;
    sqlite3_stmt* m_stmt = nullptr;
    sqlite3* m_db = nullptr;
    DbResult m_error;
};

/// How far the contents of a file have come, as one connection sees them: the commits of other
/// connections (SQLite's data version) and the rows this connection has changed. Two equal
/// versions of one connection mean that nothing was written in between.
struct DataVersion
{
    qint64 others = -1;
    qint64 own = -1;

    bool isValid() const { return others >= 0; }
    bool operator==(const DataVersion& o) const { return others == o.others && own == o.own; }
    bool operator!=(const DataVersion& o) const { return !(*this == o); }
};

/// One open database file. Opening never creates a file; a keyed file is keyed before its first read.
/// One connection per file and key is shared across the program through shared(): key derivation is
/// slow by design, and one connection per file keeps locking simple.
class Connection
{
public:
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    /// Opens an existing file for reading and writing. An empty key opens an unkeyed file.
    /// Checks the key with a read of the schema: a wrong key gives DbError::WrongKey, a missing file
    /// DbError::NotFound. Returns null on failure and fills *error. A keyed file is read with
    /// 4 KB cipher pages, or with the 1 KB pages of older archives when 4 KB do not fit; only when
    /// neither fits is the key wrong.
    static std::shared_ptr<Connection> open(const QString& path, const QByteArray& key, DbResult* error);
    /// The program-wide connection for this file and key, opened on first use. A connection already
    /// open is given as it is, without a read: a key changed meanwhile at another station shows at
    /// its next read (DbError::WrongKey), and from that read on the connection is not given again:
    /// the key is tried afresh, and a key that no longer opens the file gives DbError::WrongKey.
    /// proveKey: a connection already open is read once first, so that it is given only when the
    /// key opens the file now (where a password was just typed).
    static std::shared_ptr<Connection> shared(const QString& path, const QByteArray& key, DbResult* error,
                                              bool proveKey = false);
    /// Forgets every shared connection of this file (after a rekey or before a file is replaced).
    static void dropShared(const QString& path);
    /// Creates a new empty database file; fails if the file exists. For the build tool and tests.
    /// A keyed file gets cipher pages of pageSize bytes (0: the program's 4 KB).
    static std::shared_ptr<Connection> create(const QString& path, const QByteArray& key, DbResult* error,
                                              int pageSize = 0);
    /// A further connection to this file that only reads, for one thread at a time: it is keyed with
    /// the key derived once for this connection (derivedKey()), so opening it costs no derivation.
    /// It has the program's LIKE, the same page size and busy timeout. Never shared. Null on failure
    /// (the key does not open the file, the file is gone) with the cause in *error.
    std::shared_ptr<Connection> openReader(DbResult* error) const;
    /// The key SQLCipher derives from the password for this file, in its raw form "x'<key><salt>'":
    /// derived once per connection (the derivation is slow by design) and kept. Empty for an
    /// unkeyed file or when the file's salt cannot be read.
    QByteArray derivedKey() const;

    QString path() const { return m_path; }
    QByteArray key() const { return m_key; }
    /// Bytes per cipher page of a keyed file (4096, or 1024 for older archives); 0 unkeyed.
    int cipherPageSize() const { return m_pageSize; }
    sqlite3* handle() const { return m_db; }

    /// Prepares a statement; on failure the statement is invalid and *error says why.
    Statement prepare(const QString& sql, DbResult* error) const;
    /// Runs a statement (or several separated by ';' when params is empty) to the end.
    DbResult exec(const QString& sql, const QVariantList& params = {});
    /// Runs a query and calls row() for every row until it returns false.
    DbResult query(const QString& sql, const QVariantList& params, const std::function<bool(const Statement&)>& row);
    /// First column of the first row, or a null QVariant when there is none.
    QVariant scalar(const QString& sql, const QVariantList& params = {}, DbResult* error = nullptr);
    bool tableExists(const QString& table);

    DbResult begin(bool immediate = false);
    /// Begins a transaction that holds the file's read lock from now on (it reads the schema), so
    /// that what this connection reads stays as the file is now until the transaction ends. wait
    /// false: fails at once with DbError::Busy, beginning nothing, while another station is
    /// committing, instead of waiting for it.
    DbResult beginRead(bool wait = true);
    DbResult commit();
    DbResult rollback();
    bool inTransaction() const;

    /// Proves the key opens the archive: reads "select * from test_pass". A missing table is
    /// DbError::MissingTable, a wrong key DbError::WrongKey.
    DbResult testRead();
    /// Changes the key of the open file (its page size stays). The connection goes on with the
    /// new key.
    DbResult rekey(const QByteArray& newKey);
    /// Rebuilds the file in place; the key and the page size are kept.
    DbResult vacuum();
    /// Copies the whole database into destination with the online backup. The copy has this
    /// connection's key and page size, and the file's mode. It is written to a FileBeside the
    /// destination and renamed over it only when complete and read back whole through the key,
    /// so a failed copy leaves an older destination as it was and no temporary file or journal.
    /// A page of this file that cannot be read, wherever it lies, fails with DbError::Corrupt.
    DbResult backupTo(const QString& destination);

    /// Turns an SQLite result code of this connection into a DbResult.
    DbResult resultFor(int rc, const QString& what) const;
    /// The version of the file's contents as this connection sees it now (a read of the file's
    /// header); an invalid version when the file cannot be read.
    DataVersion dataVersion() const;
    /// Last row id inserted on this connection.
    qint64 lastInsertId() const;
    int changes() const;

private:
    Connection() = default;
    static std::shared_ptr<Connection> openImpl(const QString& path, const QByteArray& key, bool create, int pageSize,
                                                DbResult* error, bool reader = false);
    QString m_path;
    QByteArray m_key;
    mutable QByteArray m_derivedKey;
    mutable bool m_derived = false;
    int m_pageSize = 0;
    sqlite3* m_db = nullptr;
};

/// RAII transaction: rolls back unless commit() succeeded.
class Transaction
{
public:
    explicit Transaction(Connection& db, bool immediate = false);
    ~Transaction();
    DbResult begun() const { return m_beginResult; }
    DbResult commit();

private:
    Connection& m_db;
    DbResult m_beginResult;
    bool m_active = false;
};

/// The parts of an archive connection string that matter here:
/// "...;Data Source=<folder>\<file>;...;Jet OLEDB:Database Password=<password>".
struct ConnectionString
{
    QString dataSource;
    QString password;

    static ConnectionString parse(const QString& text);
    static QString build(const QString& folder, const QString& file, const QString& password);
};

/// ADO type codes for declared column types.
enum AdoType { adInteger = 3, adDouble = 5, adDate = 7, adBoolean = 11, adVarWChar = 202, adLongVarWChar = 203 };
/// Maps a declared SQLite column type to the ADO type code used across the program.
int adoTypeForDeclared(const QString& declared);

} // namespace quad
