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

/// Which key a file opens with, tried afresh: 1 the new one (and not the old), 0 the old one,
/// -1 neither.
int keyInUse(const QString& file, const QByteArray& oldKey, const QByteArray& newKey)
{
    DbResult err;
    if (Connection::open(file, newKey, &err))
        return Connection::open(file, oldKey, &err) ? -1 : 1;
    return Connection::open(file, oldKey, &err) ? 0 : -1;
}

/// Gives a file the key wanted when a fresh open finds it under the other one; true when the
/// file then opens with wanted and not with other.
bool bringToKey(const QString& file, const QByteArray& wanted, const QByteArray& other)
{
    Connection::dropShared(file);
    const int now = keyInUse(file, wanted, other);
    if (now == 0)
        return true;
    if (now == 1) {
        DbResult err;
        auto db = Connection::open(file, other, &err);
        if (!db || !db->rekey(wanted).ok())
            return false;
    }
    return keyInUse(file, wanted, other) == 0;
}

/// The record of a password change under way, kept beside the archives until every file has one
/// key again: cambio_password_vecchia.db, keyed with the old password, holds the new one;
/// cambio_password_nuova.db, keyed with the new password, holds the old one; both list the files,
/// relative to the program folder. So whichever of the two passwords the next login brings, the
/// other can be read, and every file given the one typed. Nothing else ever holds a password.
/// While a change runs its files stay locked: a login elsewhere leaves them alone.
class PasswordJournal
{
public:
    explicit PasswordJournal(const QString& folder)
        : m_folder(folder)
        , m_old(fileInFolder(folder, QLatin1String(kPasswordJournalOld)))
        , m_new(fileInFolder(folder, QLatin1String(kPasswordJournalNew)))
    {
    }

    /// Writes both files, each whole before it takes its name; the old one first. What a change
    /// killed while it wrote them left beside them goes first (a change still writing elsewhere
    /// holds its own).
    DbResult write(const QStringList& files, const QByteArray& oldKey, const QByteArray& newKey)
    {
        removeLeftovers();
        QStringList relative;
        for (const QString& file : files)
            relative << QDir(m_folder).relativeFilePath(file);
        DbResult r = writeOne(m_old, m_heldOld, oldKey, newKey, relative);
        if (r.ok())
            r = writeOne(m_new, m_heldNew, newKey, oldKey, relative);
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
                             const QByteArray& other, const QStringList& relative)
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
                                              "CREATE TABLE archivi (percorso TEXT NOT NULL)"));
            if (err.ok())
                err = db->exec(QStringLiteral("INSERT INTO cambio (password) VALUES (?)"), {other});
            for (const QString& file : relative) {
                if (err.ok())
                    err = db->exec(QStringLiteral("INSERT INTO archivi (percorso) VALUES (?)"), {file});
            }
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
    err = db->query(QStringLiteral("SELECT percorso FROM archivi ORDER BY rowid"), {}, [&](const Statement& st) {
        out.files << QDir(folder).filePath(st.value(0).toString());
        return true;
    });
    out.opened = err.ok();
    return out;
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
                                          const QString& newPassword)
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

    // Every file must open with the old key before any is touched.
    std::vector<std::shared_ptr<Connection>> open;
    for (const QString& file : files) {
        DbResult err;
        auto db = Connection::open(file, oldKey, &err);
        if (!db) {
            out.result = err;
            out.failedFile = file;
            return out;
        }
        open.push_back(db);
    }

    // From the first rekey to the last, a change cut short is finished or undone at the next login.
    PasswordJournal journal(programFolder());
    out.result = journal.write(files, oldKey, newKey);
    if (!out.result.ok()) {
        out.failedFile = journal.oldPath();
        return out;
    }
    step(QStringLiteral("giornale"));

    bool keepJournal = false;
    for (size_t i = 0; i < open.size(); ++i) {
        const QString file = files.at(static_cast<int>(i));
        DbResult r = rekeyFile(*open[i], newKey);
        open[i].reset();
        if (r.ok()) {
            // Done only when the file, opened afresh, takes the new key and refuses the old one.
            if (keyInUse(file, oldKey, newKey) == 1) {
                step(QStringLiteral("archivio %1").arg(i));
                continue;
            }
            r = DbResult::failure(DbError::Other,
                                  QStringLiteral("La nuova password non risulta applicata all'archivio (archivio in "
                                                 "uso o disco pieno)."));
        }
        out.result = r;
        out.failedFile = file;
        // Put back the old key on the files already done, newest first, and on this one if the
        // change reached it after all.
        for (size_t j = i + 1; j-- > 0;) {
            const QString done = files.at(static_cast<int>(j));
            if (!bringToKey(done, oldKey, newKey))
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

PasswordChangeResult cambia_password_archivi(WorkingState& s, const QString& newPassword)
{
    PasswordChangeResult r = cambia_password_file(archivi_con_password(s), s.p_password, newPassword);
    if (r.ok()) {
        s.p_password = newPassword;
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
    if (!content.opened)
        return out; // not a password of the change: the login goes on as usual

    out.outcome = PasswordRecovery::Outcome::Completed;
    for (const QString& file : content.files) {
        if (!QFileInfo::exists(file))
            continue; // an archive removed since has no key to mend
        if (!bringToKey(file, key, content.otherKey)) {
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
