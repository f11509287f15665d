#include "password_change.h"

#include "file_lookup.h"
#include "program_folder.h"

#include <QDir>

#include <memory>
#include <vector>

namespace quad {

namespace {

std::function<bool(const QString&)>& rekeyFault()
{
    static std::function<bool(const QString&)> f;
    return f;
}

DbResult rekeyFile(Connection& db, const QByteArray& key)
{
    if (rekeyFault() && rekeyFault()(db.path()))
        return DbResult::failure(DbError::ReadOnly, QStringLiteral("Archivio non scrivibile."));
    // The engine may report a rekey as done although it could not write the file (another
    // station reading it, a full disk): first make sure nobody else holds the file.
    DbResult r = db.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    if (!r.ok())
        return r;
    r = db.exec(QStringLiteral("COMMIT"));
    if (!r.ok())
        return r;
    return db.rekey(key);
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

/// Puts the old key back on a file that a fresh open finds under the new key; true when the file
/// then opens with the old key and not with the new one.
bool restoreOldKey(const QString& file, const QByteArray& oldKey, const QByteArray& newKey)
{
    Connection::dropShared(file);
    const int now = keyInUse(file, oldKey, newKey);
    if (now == 0)
        return true;
    if (now == 1) {
        DbResult err;
        auto db = Connection::open(file, newKey, &err);
        if (!db || !db->rekey(oldKey).ok())
            return false;
    }
    return keyInUse(file, oldKey, newKey) == 0;
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

    for (size_t i = 0; i < open.size(); ++i) {
        const QString file = files.at(static_cast<int>(i));
        DbResult r = rekeyFile(*open[i], newKey);
        open[i].reset();
        if (r.ok()) {
            // Done only when the file, opened afresh, takes the new key and refuses the old one.
            if (keyInUse(file, oldKey, newKey) == 1)
                continue;
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
            if (!restoreOldKey(done, oldKey, newKey))
                out.notRestored << done;
        }
        break;
    }

    open.clear();
    for (const QString& file : files)
        Connection::dropShared(file);
    return out;
}

PasswordChangeResult cambia_password_archivi(WorkingState& s, const QString& newPassword)
{
    PasswordChangeResult r = cambia_password_file(archivi_con_password(s), s.p_password, newPassword);
    if (r.ok())
        s.p_password = newPassword;
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
        text += QStringLiteral("\n\nATTENZIONE: hanno ancora la nuova password:\n")
            + QDir::toNativeSeparators(r.notRestored.join(QLatin1Char('\n')));
    }
    return text;
}

void setRekeyFaultForTests(std::function<bool(const QString&)> fails)
{
    rekeyFault() = std::move(fails);
}

} // namespace quad
