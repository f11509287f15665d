#include "password_change.h"

#include "file_lookup.h"
#include "file_replace.h"
#include "program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <vector>

namespace quad {

namespace {

std::function<RekeyFault(const QString&)>& rekeyFault()
{
    static std::function<RekeyFault(const QString&)> f;
    return f;
}

std::function<void(const QString&)>& stepHook()
{
    static std::function<void(const QString&)> f;
    return f;
}

void step(const QString& name)
{
    if (stepHook())
        stepHook()(name);
}

DbResult rekeyFile(Connection& db, const QByteArray& key)
{
    const RekeyFault fault = rekeyFault() ? rekeyFault()(db.path()) : RekeyFault::None;
    if (fault == RekeyFault::Refused)
        return DbResult::failure(DbError::ReadOnly, QStringLiteral("Archivio non scrivibile."));
    // The engine may report a rekey as done although it could not write the file (another
    // station reading it, a full disk): first make sure nobody else holds the file.
    DbResult r = db.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    if (!r.ok())
        return r;
    r = db.exec(QStringLiteral("COMMIT"));
    if (!r.ok())
        return r;
    r = db.rekey(key);
    if (r.ok() && fault == RekeyFault::WrittenButReported)
        return DbResult::failure(DbError::Other, QStringLiteral("Cambio password non riuscito."));
    return r;
}

/// The one of keys a file opens with, each tried afresh: its index, or -1 when none does or more
/// than one.
int keyInUse(const QString& file, const QList<QByteArray>& keys)
{
    int found = -1;
    for (int i = 0; i < keys.size(); ++i) {
        DbResult err;
        if (!Connection::open(file, keys.at(i), &err))
            continue;
        if (found >= 0)
            return -1;
        found = i;
    }
    return found;
}

/// Gives a file the key wanted when a fresh open finds it under one of others; true when the file
/// then opens with wanted and with none of the others.
bool bringToKey(const QString& file, const QByteArray& wanted, const QList<QByteArray>& others)
{
    Connection::dropShared(file);
    QList<QByteArray> keys {wanted};
    for (const QByteArray& key : others) {
        if (!key.isEmpty() && !keys.contains(key))
            keys << key;
    }
    const int now = keyInUse(file, keys);
    if (now == 0)
        return true;
    if (now > 0) {
        DbResult err;
        auto db = Connection::open(file, keys.at(now), &err);
        if (!db || !db->rekey(wanted).ok())
            return false;
    }
    return keyInUse(file, keys) == 0;
}

/// The record of a password change under way, kept beside the archives until every file has one
/// key again: cambio_password_nuova.db, keyed with the new password, holds the old one;
/// cambio_password_vecchia.db, keyed with the old password, holds the new one; both list the
/// files, relative to the program folder, each with the key it had before the change (a
/// historical archive may have had one of its own). So whichever of the two passwords the next
/// login brings, the other can be read, and every file given the one typed. Nothing else ever
/// holds a password. While a change runs its files stay locked: a login elsewhere leaves them alone.
class PasswordJournal
{
public:
    explicit PasswordJournal(const QString& folder)
        : m_folder(folder)
        , m_old(fileInFolder(folder, QLatin1String(kPasswordJournalOld)))
        , m_new(fileInFolder(folder, QLatin1String(kPasswordJournalNew)))
    {
    }

    /// Writes both files, each whole before it takes its name; the new one first, so that a change
    /// stopped between the two is finished by a login with the new password as well. What a change
    /// killed while it wrote them left beside them goes first (a change still writing elsewhere
    /// holds its own).
    DbResult write(const QStringList& files, const QList<QByteArray>& fileKeys, const QByteArray& oldKey,
                   const QByteArray& newKey)
    {
        removeLeftovers();
        QStringList relative;
        for (const QString& file : files)
            relative << QDir(m_folder).relativeFilePath(file);
        DbResult r = writeOne(m_new, m_heldNew, newKey, oldKey, relative, fileKeys);
        if (r.ok())
            r = writeOne(m_old, m_heldOld, oldKey, newKey, relative, fileKeys);
        if (!r.ok()) {
            QFile::remove(m_new);
            QFile::remove(m_old);
        }
        return r;
    }

    /// Removes both files once every archive has one key again (the new one when keepingNew): the
    /// file that would lead back to the other password goes first.
    void removeAll(bool keepingNew)
    {
        const QString first = keepingNew ? m_old : m_new;
        const QString second = keepingNew ? m_new : m_old;
        QFile::remove(first);
        step(QStringLiteral("rimosso"));
        QFile::remove(second);
    }

    /// Removes what a change killed while it wrote the record left beside it (a change still
    /// writing elsewhere holds its own).
    void removeLeftovers()
    {
        FileBeside::removeLeftovers(m_old);
        FileBeside::removeLeftovers(m_new);
    }

    QString oldPath() const { return m_old; }
    QString newPath() const { return m_new; }

private:
    static DbResult writeOne(const QString& path, std::unique_ptr<FileBeside>& held, const QByteArray& key,
                             const QByteArray& other, const QStringList& relative, const QList<QByteArray>& fileKeys)
    {
        held = std::make_unique<FileBeside>(path);
        if (!held->isOpen())
            return DbResult::failure(DbError::ReadOnly,
                                     QStringLiteral("Impossibile creare %1: %2").arg(path, held->errorString()));
        {
            DbResult err;
            auto db = Connection::open(held->path(), key, &err);
            if (!db)
                return err;
            Transaction t(*db);
            err = t.begun();
            if (err.ok())
                err = db->exec(QStringLiteral("CREATE TABLE cambio (password BLOB NOT NULL);"
                                              "CREATE TABLE archivi (percorso TEXT NOT NULL, password BLOB NOT NULL)"));
            if (err.ok())
                err = db->exec(QStringLiteral("INSERT INTO cambio (password) VALUES (?)"), {other});
            for (int i = 0; i < relative.size() && err.ok(); ++i)
                err = db->exec(QStringLiteral("INSERT INTO archivi (percorso, password) VALUES (?, ?)"),
                               {relative.at(i), fileKeys.at(i)});
            if (err.ok())
                err = t.commit();
            if (!err.ok())
                return err;
        }
        if (!held->commit())
            return DbResult::failure(DbError::ReadOnly,
                                     QStringLiteral("Impossibile scrivere %1: %2").arg(path, held->errorString()));
        return {};
    }

    QString m_folder;
    QString m_old;
    QString m_new;
    std::unique_ptr<FileBeside> m_heldOld;
    std::unique_ptr<FileBeside> m_heldNew;
};

/// What one journal file, opened with password, holds.
struct JournalContent
{
    bool opened = false;
    QByteArray otherKey;
    QStringList files;
    QList<QByteArray> fileKeys; ///< the key each file had before the change
};

JournalContent readJournal(const QString& path, const QString& folder, const QByteArray& key)
{
    JournalContent out;
    DbResult err;
    auto db = Connection::open(path, key, &err);
    if (!db)
        return out;
    out.otherKey = db->scalar(QStringLiteral("SELECT password FROM cambio"), {}, &err).toByteArray();
    if (!err.ok() || out.otherKey.isEmpty())
        return out;
    // A record written before files kept a key of their own lists their paths only.
    err = db->query(QStringLiteral("SELECT * FROM archivi ORDER BY rowid"), {}, [&](const Statement& st) {
        out.files << QDir(folder).filePath(st.value(0).toString());
        out.fileKeys << (st.columnCount() > 1 ? st.value(1).toByteArray() : QByteArray());
        return true;
    });
    out.opened = err.ok();
    return out;
}

/// Opens file with the key it has before a change, which goes to *key: the first of known's keys
/// for it (then oldKey) that opens it, else the password ask gets for it. Null, with the file and
/// why in *out, when none opens it.
std::shared_ptr<Connection> openBeforeChange(const QString& file, const QByteArray& oldKey, const ArchiveKeys& known,
                                             const PasswordRequest& ask, QByteArray* key, PasswordChangeResult* out)
{
    DbResult err;
    auto db = openWithKeys(file, known.keysFor(file, oldKey), &err, key);
    if (!db && err.code == DbError::WrongKey && ask) {
        QString typed;
        if (!ask(file, &typed)) {
            err = DbResult::failure(DbError::WrongKey,
                                    QStringLiteral("Password dell' archivio non inserita: "
                                                   "nessun archivio è stato modificato."));
        } else {
            *key = typed.toUtf8();
            // An empty password is no key: the file, which no key known opens, stays refused.
            if (!key->isEmpty())
                db = Connection::open(file, *key, &err);
            if (!db && err.code == DbError::WrongKey)
                err = DbResult::failure(DbError::WrongKey,
                                        QStringLiteral("La password inserita non apre l' archivio: "
                                                       "nessun archivio è stato modificato."));
        }
    }
    if (!db) {
        out->result = err;
        out->failedFile = file;
    }
    return db;
}

} // namespace

QStringList archivi_con_password(const WorkingState& s)
{
    const QString folder = programFolder();
    QStringList files;
    files << fileInFolder(folder, s.p_nome_database);
    files << fileInFolder(folder, QLatin1String(kTemplateFile));
    if (s.p_sub_use) {
        for (const QString& name : s.p_sub_dir) {
            const QString subFolder = resolveNoCase(folder, QStringLiteral("SUB_") + name);
            files << fileInFolder(subFolder, QLatin1String(kArchiveFile));
        }
    }
    return files;
}

QString verifica_cambio_password(const WorkingState& s, const QString& vecchia, const QString& nuova,
                                 const QString& conferma)
{
    const QString head = QStringLiteral("ATTENZIONE ... \n\n");
    if (vecchia != s.p_password)
        return head + QStringLiteral("Non autorizzato alla modifica della password !");
    if (nuova.trimmed().isEmpty())
        return head + QStringLiteral("E' obbligatorio inserire una password !");
    // Compared as typed: the password stored is the one typed, blanks included.
    if (conferma != nuova)
        return head + QStringLiteral("Errore nella digitazione della password di conferma!");
    return QString();
}

PasswordChangeResult cambia_password_file(const QStringList& files, const QString& oldPassword,
                                          const QString& newPassword, const ArchiveKeys& known,
                                          const PasswordRequest& ask)
{
    PasswordChangeResult out;
    const QByteArray oldKey = oldPassword.toUtf8();
    const QByteArray newKey = newPassword.toUtf8();
    if (newKey.isEmpty()) {
        out.result = DbResult::failure(DbError::Other, QStringLiteral("La nuova password è vuota."));
        return out;
    }

    // A connection the program keeps would go on with the old key: forget them all first.
    for (const QString& file : files)
        Connection::dropShared(file);

    // Every file must open with the key it has before any is touched.
    std::vector<std::shared_ptr<Connection>> open;
    QList<QByteArray> keys;
    for (const QString& file : files) {
        QByteArray key;
        auto db = openBeforeChange(file, oldKey, known, ask, &key, &out);
        if (!db)
            return out;
        open.push_back(db);
        keys << key;
    }

    // From the first rekey to the last, a change cut short is finished or undone at the next login.
    PasswordJournal journal(programFolder());
    out.result = journal.write(files, keys, oldKey, newKey);
    if (!out.result.ok()) {
        out.failedFile = journal.newPath();
        return out;
    }
    step(QStringLiteral("giornale"));

    bool keepJournal = false;
    for (size_t i = 0; i < open.size(); ++i) {
        const QString file = files.at(static_cast<int>(i));
        const QByteArray before = keys.at(static_cast<int>(i));
        // A file that has the new key already keeps it as it is.
        DbResult r = before == newKey ? DbResult() : rekeyFile(*open[i], newKey);
        open[i].reset();
        if (r.ok()) {
            // Done only when the file, opened afresh, takes the new key and refuses the one it had.
            if (before == newKey || keyInUse(file, {newKey, before}) == 0) {
                step(QStringLiteral("archivio %1").arg(i));
                continue;
            }
            r = DbResult::failure(DbError::Other,
                                  QStringLiteral("La nuova password non risulta applicata all'archivio (archivio in "
                                                 "uso o disco pieno)."));
        }
        out.result = r;
        out.failedFile = file;
        // Put back the key each had on the files already done, newest first, and on this one if
        // the change reached it after all.
        for (size_t j = i + 1; j-- > 0;) {
            const QString done = files.at(static_cast<int>(j));
            if (!bringToKey(done, keys.at(static_cast<int>(j)), {newKey}))
                out.notRestored << done;
        }
        // Files left with the new key are given one key at the next login.
        keepJournal = !out.notRestored.isEmpty();
        break;
    }
    step(QStringLiteral("fine"));
    if (!keepJournal)
        journal.removeAll(out.result.ok());

    open.clear();
    for (const QString& file : files)
        Connection::dropShared(file);
    return out;
}

PasswordChangeResult cambia_password_archivi(WorkingState& s, const QString& newPassword, const PasswordRequest& ask)
{
    PasswordChangeResult r
        = cambia_password_file(archivi_con_password(s), s.p_password, newPassword, s.chiavi_archivi, ask);
    if (r.ok()) {
        s.p_password = newPassword;
        s.p_password_archivio = newPassword;
        // Every archive now opens with the new password: none keeps one of its own.
        s.chiavi_archivi.clear();
    }
    return r;
}

QString descrivi_errore_password(const PasswordChangeResult& r)
{
    QString text = QStringLiteral("Impossibile effettuare la modifica della password !");
    if (!r.failedFile.isEmpty())
        text += QStringLiteral("\n\nArchivio: ") + QDir::toNativeSeparators(r.failedFile);
    if (!r.result.message.isEmpty())
        text += QStringLiteral("\n") + r.result.message;
    if (!r.notRestored.isEmpty()) {
        text += QStringLiteral("\n\nATTENZIONE: hanno ancora la nuova password (al prossimo accesso tutti gli "
                               "archivi prenderanno la password inserita):\n")
            + QDir::toNativeSeparators(r.notRestored.join(QLatin1Char('\n')));
    }
    return text;
}

PasswordRecovery riprendi_cambio_password(const QString& password)
{
    PasswordRecovery out;
    const QString folder = programFolder();
    PasswordJournal journal(folder);
    const bool hasOld = QFileInfo::exists(journal.oldPath());
    const bool hasNew = QFileInfo::exists(journal.newPath());
    if (!hasOld && !hasNew) {
        // A change killed while it wrote its first record file left only that file's copy.
        journal.removeLeftovers();
        return out;
    }
    // A change still running on another station is left to finish.
    const FileLock oldLock(journal.oldPath());
    const FileLock newLock(journal.newPath());
    if ((hasOld && !oldLock.held()) || (hasNew && !newLock.held()))
        return out;

    const QByteArray key = password.toUtf8();
    bool typedNew = false;
    JournalContent content = readJournal(journal.oldPath(), folder, key);
    if (!content.opened) {
        content = readJournal(journal.newPath(), folder, key);
        typedNew = true;
    }
    if (!content.opened) {
        // Only the record's new file, which this password does not read, while the live archive
        // still opens with it: a change stopped before its record was whole, with no archive
        // touched, is dropped.
        if (hasNew && !hasOld && !key.isEmpty()) {
            DbResult err;
            if (Connection::open(fileInFolder(folder, QLatin1String(kArchiveFile)), key, &err)) {
                QFile::remove(journal.newPath());
                journal.removeLeftovers();
            }
        }
        return out; // not a password of the change: the login goes on as usual
    }

    out.outcome = PasswordRecovery::Outcome::Completed;
    for (int i = 0; i < content.files.size(); ++i) {
        const QString& file = content.files.at(i);
        if (!QFileInfo::exists(file))
            continue; // an archive removed since has no key to mend
        // The file has the key it had before the change or the new one; one killed in its rekey
        // goes back whole to the key it had as that key opens it.
        if (!bringToKey(file, key, {content.otherKey, content.fileKeys.at(i)})) {
            out.outcome = PasswordRecovery::Outcome::Failed;
            out.failedFile = file;
            return out;
        }
    }
    journal.removeAll(typedNew);
    journal.removeLeftovers();
    return out;
}

QString descrivi_ripresa_password(const PasswordRecovery& r)
{
    if (r.outcome == PasswordRecovery::Outcome::Completed)
        return QStringLiteral("ATTENZIONE !\n\nUn cambio della password era rimasto interrotto: ora tutti gli archivi "
                              "si aprono con la password inserita.");
    if (r.outcome == PasswordRecovery::Outcome::Failed)
        return QStringLiteral("ATTENZIONE !\n\nUn cambio della password era rimasto interrotto e non è stato possibile "
                              "dare la password inserita a tutti gli archivi.\n\nArchivio: ")
            + QDir::toNativeSeparators(r.failedFile);
    return QString();
}

void setRekeyFaultForTests(std::function<RekeyFault(const QString&)> fault)
{
    rekeyFault() = std::move(fault);
}

void setPasswordChangeStepForTests(std::function<void(const QString&)> hook)
{
    stepHook() = std::move(hook);
}

} // namespace quad
