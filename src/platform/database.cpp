#include "database.h"

#include "file_replace.h"
#include "sql_like.h"

#include <sqlcipher/sqlite3.h>

#include <openssl/evp.h>

#include <vector>

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QTime>

#include <sys/stat.h>

namespace quad {

namespace {

constexpr int kBusyTimeoutMs = 5000;
/// Cipher pages of the archives the program makes, and of archives made before it used them.
constexpr int kCipherPageSize = 4096;
constexpr int kOldCipherPageSize = 1024;

DbError errorCodeFor(int rc, const char* text)
{
    switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return DbError::None;
    case SQLITE_NOTADB:
        return DbError::WrongKey;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DbError::Busy;
    case SQLITE_CANTOPEN:
        return DbError::CantOpen;
    case SQLITE_CORRUPT:
        return DbError::Corrupt;
    case SQLITE_CONSTRAINT:
        return DbError::Constraint;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return DbError::ReadOnly;
    case SQLITE_ERROR:
        if (text && QByteArray(text).startsWith("no such table"))
            return DbError::MissingTable;
        return DbError::Other;
    default:
        return DbError::Other;
    }
}

QString describe(DbError code, const QString& sqliteText)
{
    switch (code) {
    case DbError::WrongKey:
        return QStringLiteral("Password errata o file non valido.");
    case DbError::Busy:
        return QStringLiteral("Archivio in uso da un'altra postazione, riprovare.");
    case DbError::Corrupt:
        return QStringLiteral("Archivio danneggiato.");
    case DbError::ReadOnly:
        return QStringLiteral("Archivio non scrivibile.");
    default:
        return sqliteText;
    }
}

QString canonicalKey(const QString& path)
{
    QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

struct SharedEntry
{
    QString path;
    QByteArray key;
    std::weak_ptr<Connection> connection;
    sqlite3* handle = nullptr; ///< the connection's, to know it by when one of its reads fails
};

QMutex g_sharedMutex;
QList<SharedEntry> g_shared;

/// A read of db that ended with rc: one that found the file no longer opening with the key (changed
/// at another station) takes db out of the shared connections, so that the key is tried afresh.
/// Nothing is done on any other outcome: the reads that go well pay nothing for it.
void noteRead(sqlite3* db, int rc)
{
    if ((rc & 0xff) != SQLITE_NOTADB)
        return;
    QMutexLocker lock(&g_sharedMutex);
    for (int i = g_shared.size() - 1; i >= 0; --i) {
        if (g_shared[i].handle == db)
            g_shared.removeAt(i);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Statement

Statement::Statement(Statement&& other) noexcept
    : m_stmt(other.m_stmt)
    , m_db(other.m_db)
    , m_error(other.m_error)
{
    other.m_stmt = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
        m_stmt = other.m_stmt;
        m_db = other.m_db;
        m_error = other.m_error;
        other.m_stmt = nullptr;
    }
    return *this;
}

Statement::~Statement()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

DbResult Statement::bindAll(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i) {
        DbResult r = bind(i + 1, values.at(i));
        if (!r.ok())
            return r;
    }
    return {};
}

DbResult Statement::bind(int position, const QVariant& value)
{
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, position);
    } else {
        switch (value.metaType().id()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_stmt, position, value.toBool() ? -1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(m_stmt, position, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, position, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(m_stmt, position, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate:
            rc = sqlite3_bind_text(m_stmt, position, value.toDate().toString("yyyy-MM-dd").toUtf8().constData(), -1,
                                   SQLITE_TRANSIENT);
            break;
        case QMetaType::QTime:
            rc = sqlite3_bind_text(m_stmt, position, value.toTime().toString("HH:mm:ss").toUtf8().constData(), -1,
                                   SQLITE_TRANSIENT);
            break;
        case QMetaType::QDateTime:
            rc = sqlite3_bind_text(m_stmt, position,
                                   value.toDateTime().toString("yyyy-MM-dd HH:mm:ss").toUtf8().constData(), -1,
                                   SQLITE_TRANSIENT);
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, position, text.constData(), text.size(), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        return DbResult::failure(DbError::Other, QString::fromUtf8(sqlite3_errmsg(m_db)));
    return {};
}

bool Statement::next()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        noteRead(m_db, rc);
        const char* text = sqlite3_errmsg(m_db);
        const DbError code = errorCodeFor(rc, text);
        m_error = DbResult::failure(code, describe(code, QString::fromUtf8(text)));
    }
    return false;
}

DbResult Statement::reset()
{
    m_error = {};
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return {};
}

int Statement::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QString Statement::declaredType(int column) const
{
    const char* decl = sqlite3_column_decltype(m_stmt, column);
    return decl ? QString::fromUtf8(decl) : QString();
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qint64>(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)),
                                          sqlite3_column_bytes(m_stmt, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, column)),
                                   sqlite3_column_bytes(m_stmt, column)));
    default:
        return QVariant();
    }
}

// ---------------------------------------------------------------------------------------------
// Connection

Connection::~Connection()
{
    if (m_db)
        sqlite3_close_v2(m_db);
}

std::shared_ptr<Connection> Connection::openImpl(const QString& path, const QByteArray& key, bool create, int pageSize,
                                                 DbResult* error, bool reader)
{
    DbResult local;
    DbResult& err = error ? *error : local;
    err = {};

    QFileInfo info(path);
    if (create) {
        if (info.exists()) {
            err = DbResult::failure(DbError::CantOpen, QStringLiteral("Il file %1 esiste già.").arg(path));
            return nullptr;
        }
    } else {
        if (!info.exists()) {
            err = DbResult::failure(DbError::NotFound, QStringLiteral("File %1 non trovato.").arg(path));
            return nullptr;
        }
        if (!info.isFile()) {
            err = DbResult::failure(DbError::CantOpen, QStringLiteral("%1 non è un file.").arg(path));
            return nullptr;
        }
    }

    // A keyed file is tried with the cipher page size the program writes (or the one asked
    // for), then with SQLCipher's default of older archives: the page size is not stored in
    // the clear, and a wrong size reads like a wrong key.
    std::vector<int> pageSizes;
    if (key.isEmpty())
        pageSizes = {0};
    else if (pageSize > 0 || create)
        pageSizes = {pageSize > 0 ? pageSize : kCipherPageSize};
    else
        pageSizes = {kCipherPageSize, kOldCipherPageSize};

    std::shared_ptr<Connection> conn;
    for (size_t attempt = 0; attempt < pageSizes.size(); ++attempt) {
        conn.reset(new Connection);
        conn->m_path = info.absoluteFilePath();
        conn->m_key = key;
        conn->m_pageSize = pageSizes[attempt];
        // A reader serves one thread only: it needs no mutex of its own.
        const int flags = reader ? (SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX)
                                 : (SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_FULLMUTEX);
        int rc = sqlite3_open_v2(QFile::encodeName(conn->m_path).constData(), &conn->m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const DbError code = errorCodeFor(rc, conn->m_db ? sqlite3_errmsg(conn->m_db) : nullptr);
            err = DbResult::failure(code == DbError::None ? DbError::CantOpen : code,
                                    QStringLiteral("Impossibile aprire %1: %2")
                                        .arg(path,
                                             conn->m_db ? QString::fromUtf8(sqlite3_errmsg(conn->m_db))
                                                        : QStringLiteral("memoria esaurita")));
            return nullptr;
        }
        if (!key.isEmpty()) {
            rc = sqlite3_key(conn->m_db, key.constData(), key.size());
            if (rc != SQLITE_OK) {
                err = conn->resultFor(rc, QStringLiteral("chiave"));
                return nullptr;
            }
            const QByteArray pragma = "PRAGMA cipher_page_size = " + QByteArray::number(conn->m_pageSize);
            rc = sqlite3_exec(conn->m_db, pragma.constData(), nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) {
                err = conn->resultFor(rc, QStringLiteral("dimensione pagine"));
                return nullptr;
            }
        }
        sqlite3_busy_timeout(conn->m_db, kBusyTimeoutMs);
        sqlite3_extended_result_codes(conn->m_db, 0);

        // The first read decides whether the key (and the page size) fits.
        rc = sqlite3_exec(conn->m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) {
            err = {};
            break;
        }
        err = conn->resultFor(rc, QString());
        if (err.code == DbError::WrongKey)
            err.message = QStringLiteral("Password errata o file non valido: %1").arg(path);
        if (err.code != DbError::WrongKey || attempt + 1 == pageSizes.size())
            return nullptr;
    }
    // Archives live in shared folders: keep a rollback journal, never WAL.
    if (!reader)
        sqlite3_exec(conn->m_db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    else // a reader walks its rows once: a small page cache serves it
        sqlite3_exec(conn->m_db, "PRAGMA cache_size = -512", nullptr, nullptr, nullptr);
    registerSqlLike(conn->m_db);
    return conn;
}

std::shared_ptr<Connection> Connection::open(const QString& path, const QByteArray& key, DbResult* error)
{
    return openImpl(path, key, false, 0, error);
}

std::shared_ptr<Connection> Connection::create(const QString& path, const QByteArray& key, DbResult* error,
                                               int pageSize)
{
    return openImpl(path, key, true, pageSize, error);
}

std::shared_ptr<Connection> Connection::shared(const QString& path, const QByteArray& key, DbResult* error,
                                               bool proveKey)
{
    const QString canonical = canonicalKey(path);
    std::shared_ptr<Connection> cached;
    {
        QMutexLocker lock(&g_sharedMutex);
        for (int i = g_shared.size() - 1; i >= 0; --i) {
            auto conn = g_shared[i].connection.lock();
            if (!conn) {
                g_shared.removeAt(i);
                continue;
            }
            if (g_shared[i].path == canonical && g_shared[i].key == key) {
                cached = conn;
                break;
            }
        }
    }
    if (cached) {
        // Proved by a read: one that finds the key changed at another station has forgotten the
        // connection (noteRead), and the key is tried afresh below.
        DbResult prova;
        if (proveKey)
            (void)cached->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"), {}, &prova);
        if (prova.code != DbError::WrongKey) {
            if (error)
                *error = {};
            return cached;
        }
    }
    auto conn = open(path, key, error);
    if (conn) {
        QMutexLocker lock(&g_sharedMutex);
        g_shared.append({canonical, key, conn, conn->handle()});
    }
    return conn;
}

std::shared_ptr<Connection> Connection::openReader(DbResult* error) const
{
    const QByteArray key = m_key.isEmpty() ? QByteArray() : derivedKey();
    if (!m_key.isEmpty() && key.isEmpty()) {
        if (error)
            *error = DbResult::failure(DbError::WrongKey, QStringLiteral("Chiave non leggibile: %1").arg(m_path));
        return nullptr;
    }
    auto reader = openImpl(m_path, key, false, m_pageSize, error, true);
    if (reader)
        reader->m_key = m_key;
    return reader;
}

QByteArray Connection::derivedKey() const
{
    if (m_derived || m_key.isEmpty())
        return m_derivedKey;
    m_derived = true;
    // SQLCipher derives the key with PBKDF2-HMAC-SHA1 over the file's salt (its first 16
    // bytes) with the connection's iteration count; the raw form carries key and salt.
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray salt = file.read(16);
    if (salt.size() != 16)
        return {};
    const qint64 iterations = const_cast<Connection*>(this)->scalar(QStringLiteral("PRAGMA kdf_iter")).toLongLong();
    if (iterations <= 0)
        return {};
    unsigned char derived[32];
    if (PKCS5_PBKDF2_HMAC_SHA1(m_key.constData(), int(m_key.size()),
                               reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()),
                               int(iterations), int(sizeof derived), derived)
        != 1)
        return {};
    m_derivedKey
        = "x'" + QByteArray(reinterpret_cast<const char*>(derived), sizeof derived).toHex() + salt.toHex() + "'";
    return m_derivedKey;
}

void Connection::dropShared(const QString& path)
{
    const QString canonical = canonicalKey(path);
    QMutexLocker lock(&g_sharedMutex);
    for (int i = g_shared.size() - 1; i >= 0; --i) {
        if (g_shared[i].path == canonical)
            g_shared.removeAt(i);
    }
}

DbResult Connection::resultFor(int rc, const QString& what) const
{
    noteRead(m_db, rc);
    const char* text = m_db ? sqlite3_errmsg(m_db) : nullptr;
    const DbError code = errorCodeFor(rc, text);
    if (code == DbError::None)
        return {};
    QString detail = QString::fromUtf8(text ? text : "");
    if (!what.isEmpty())
        detail = what + QStringLiteral(": ") + detail;
    return DbResult::failure(code, describe(code, detail));
}

Statement Connection::prepare(const QString& sql, DbResult* error) const
{
    Statement st;
    st.m_db = m_db;
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, text.constData(), text.size(), &st.m_stmt, nullptr);
    DbResult r = rc == SQLITE_OK ? DbResult() : resultFor(rc, QString());
    if (error)
        *error = r;
    return st;
}

DbResult Connection::exec(const QString& sql, const QVariantList& params)
{
    if (params.isEmpty()) {
        char* msg = nullptr;
        const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &msg);
        if (msg)
            sqlite3_free(msg);
        return resultFor(rc, QString());
    }
    DbResult err;
    Statement st = prepare(sql, &err);
    if (!err.ok())
        return err;
    err = st.bindAll(params);
    if (!err.ok())
        return err;
    while (st.next()) { }
    return st.error();
}

DbResult Connection::query(const QString& sql, const QVariantList& params,
                           const std::function<bool(const Statement&)>& row)
{
    DbResult err;
    Statement st = prepare(sql, &err);
    if (!err.ok())
        return err;
    err = st.bindAll(params);
    if (!err.ok())
        return err;
    while (st.next()) {
        if (!row(st))
            break;
    }
    return st.error();
}

QVariant Connection::scalar(const QString& sql, const QVariantList& params, DbResult* error)
{
    QVariant result;
    DbResult r = query(sql, params, [&](const Statement& st) {
        result = st.value(0);
        return false;
    });
    if (error)
        *error = r;
    return result;
}

bool Connection::tableExists(const QString& table)
{
    return scalar("SELECT count(*) FROM sqlite_master WHERE type='table' AND lower(name)=lower(?)", {table})
               .toLongLong()
        > 0;
}

DbResult Connection::begin(bool immediate)
{
    return exec(immediate ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
}

DbResult Connection::beginRead(bool wait)
{
    DbResult r = begin();
    if (!r.ok())
        return r;
    if (!wait)
        sqlite3_busy_timeout(m_db, 0);
    r = exec(QStringLiteral("SELECT 1 FROM sqlite_master LIMIT 1"));
    if (!wait)
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    if (!r.ok())
        (void)rollback(); // the cause is what the caller reports
    return r;
}

DbResult Connection::commit()
{
    return exec(QStringLiteral("COMMIT"));
}

DbResult Connection::rollback()
{
    if (!inTransaction())
        return {};
    return exec(QStringLiteral("ROLLBACK"));
}

bool Connection::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

DbResult Connection::testRead()
{
    return query(QStringLiteral("select * from test_pass"), {}, [](const Statement&) { return false; });
}

DbResult Connection::rekey(const QByteArray& newKey)
{
    if (newKey.isEmpty())
        return DbResult::failure(DbError::Other, QStringLiteral("La nuova password è vuota."));
    const int rc = sqlite3_rekey(m_db, newKey.constData(), newKey.size());
    if (rc != SQLITE_OK)
        return resultFor(rc, QStringLiteral("cambio password"));
    m_key = newKey;
    return {};
}

DbResult Connection::vacuum()
{
    return exec(QStringLiteral("VACUUM"));
}

DbResult Connection::backupTo(const QString& destination)
{
    // The copy is made in a file of its own beside the destination (a file of that name left by
    // anyone else is never removed or written through), with the archive's own mode.
    FileBeside copy(destination);
    if (!copy.isOpen())
        return DbResult::failure(DbError::ReadOnly,
                                 QStringLiteral("Impossibile creare la copia temporanea in %1: %2")
                                     .arg(QFileInfo(destination).path(), copy.errorString()));
    struct stat source
    {
    };
    if (::stat(QFile::encodeName(m_path).constData(), &source) == 0)
        copy.setMode(source.st_mode);
    DbResult err;
    {
        // The copy keeps the archive's page size: a copy is opened like its original.
        auto target = openImpl(copy.path(), m_key, false, m_pageSize, &err);
        if (!target)
            return err;
        // The cipher leaves a page of the archive it cannot read as this connection's error, even
        // when the copy goes on to the end (the last page): start from none.
        err = exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (!err.ok())
            return err;
        sqlite3_backup* backup = sqlite3_backup_init(target->handle(), "main", m_db, "main");
        if (!backup) {
            err = target->resultFor(sqlite3_errcode(target->handle()), QStringLiteral("copia"));
        } else {
            // Another station may hold the archive for a while: wait for it, but not forever.
            constexpr int kBusyPauseMs = 50;
            int busyFor = 0;
            int rc;
            do {
                rc = sqlite3_backup_step(backup, 256);
                if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
                    busyFor += kBusyPauseMs;
                    sqlite3_sleep(kBusyPauseMs);
                } else {
                    busyFor = 0;
                }
            } while (rc == SQLITE_OK || ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && busyFor < kBusyTimeoutMs));
            sqlite3_backup_finish(backup);
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                err = resultFor(rc, QStringLiteral("copia"));
            else if (sqlite3_errcode(m_db) != SQLITE_OK)
                err = DbResult::failure(DbError::Corrupt,
                                        QStringLiteral("Archivio danneggiato: una sua pagina non si legge."));
            else if (rc != SQLITE_DONE)
                err = target->resultFor(rc, QStringLiteral("copia"));
        }
        if (err.ok()) {
            // Read back through the key so a copy that would not open, or holds a damaged page,
            // is never put in place.
            const QVariant check = target->scalar(QStringLiteral("PRAGMA quick_check"), {}, &err);
            if (err.ok() && check.toString() != QLatin1String("ok"))
                err = DbResult::failure(DbError::Corrupt,
                                        QStringLiteral("Archivio danneggiato: %1").arg(check.toString()));
        }
    } // the copy is closed before it is put in place or removed (with any journal it left)
    if (!err.ok())
        return err;
    if (!copy.commit())
        return DbResult::failure(
            DbError::ReadOnly,
            QStringLiteral("Impossibile sostituire la copia %1: %2").arg(destination, copy.errorString()));
    return {};
}

DataVersion Connection::dataVersion() const
{
    DataVersion v;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA data_version", -1, &st, nullptr) != SQLITE_OK)
        return v;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        v.others = sqlite3_column_int64(st, 0);
        v.own = sqlite3_total_changes(m_db);
    }
    sqlite3_finalize(st);
    noteRead(m_db, rc);
    return v;
}

qint64 Connection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int Connection::changes() const
{
    return sqlite3_changes(m_db);
}

// ---------------------------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Connection& db, bool immediate)
    : m_db(db)
{
    m_beginResult = m_db.begin(immediate);
    m_active = m_beginResult.ok();
}

Transaction::~Transaction()
{
    // Reached only when the work failed or was abandoned: that cause is what the caller reports.
    if (m_active)
        (void)m_db.rollback();
}

DbResult Transaction::commit()
{
    if (!m_active)
        return m_beginResult.ok() ? DbResult::failure(DbError::Other, QStringLiteral("Nessuna transazione aperta."))
                                  : m_beginResult;
    DbResult r = m_db.commit();
    if (r.ok())
        m_active = false;
    return r;
}

// ---------------------------------------------------------------------------------------------
// Connection strings and types

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString result;
    // The password comes last and may hold ';' or '=': everything after its key is the password.
    static const QString passwordKey = QStringLiteral("Jet OLEDB:Database Password=");
    QString rest = text;
    const int pw = text.indexOf(passwordKey, 0, Qt::CaseInsensitive);
    if (pw >= 0) {
        result.password = text.mid(pw + passwordKey.size());
        rest = text.left(pw);
    }
    const QStringList parts = rest.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (part.left(eq).trimmed().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            result.dataSource
                = QDir::cleanPath(part.mid(eq + 1).trimmed().replace(QLatin1Char('\\'), QLatin1Char('/')));
    }
    return result;
}

QString ConnectionString::build(const QString& folder, const QString& file, const QString& password)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + QDir(folder).filePath(file)
        + QStringLiteral(";Persist Security Info=False ;") + QStringLiteral("Jet OLEDB:Database Password=") + password;
}

int adoTypeForDeclared(const QString& declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("BOOL")) || t.contains(QLatin1String("YESNO")) || t.contains(QLatin1String("BIT")))
        return adBoolean;
    if (t.contains(QLatin1String("MEMO")))
        return adLongVarWChar;
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return adDate;
    if (t.contains(QLatin1String("INT")) || t.contains(QLatin1String("COUNTER")))
        return adInteger;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB"))
        || t.contains(QLatin1String("CURRENCY")) || t.contains(QLatin1String("NUMERIC")))
        return adDouble;
    return adVarWChar;
}

} // namespace quad
