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
    DbResult r = db.rekey(key);
    if (r.ok()) {
        // The file must read back under the new key before it counts as done.
        db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"), {}, &r);
    }
    return r;
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
        const DbResult r = rekeyFile(*open[i], newKey);
        if (r.ok())
            continue;
        out.result = r;
        out.failedFile = files.at(static_cast<int>(i));
        // Put back the old key on the files already done, newest first.
        for (size_t j = i; j-- > 0;) {
            if (!open[j]->rekey(oldKey).ok())
                out.notRestored << files.at(static_cast<int>(j));
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
