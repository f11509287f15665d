#include "backup.h"

#include "file_lookup.h"
#include "file_replace.h"
#include "program_folder.h"

#include <QDir>
#include <QFileInfo>

namespace quad {

namespace {

constexpr int kFileNotFound = 53;
constexpr int kPermissionDenied = 70;
constexpr int kFileAccessError = 75;
constexpr int kPathNotFound = 76;

const char* kSubPrefix = "SUB_";
/// The name of a historical archive's copy in its back-up folder.
const char* kSubCopyName = "arch_quadernolo.mdb";

BackupFile failed(const QString& source, const QString& destination, int number, const DbResult& result)
{
    BackupFile file;
    file.source = source;
    file.destination = destination;
    file.result = result;
    file.errorNumber = number;
    return file;
}

BackupFile copyOne(const QString& source, const QString& destination, const QByteArray& key)
{
    if (!QFileInfo(source).isFile())
        return failed(source, destination, kFileNotFound,
                      DbResult::failure(DbError::NotFound, QStringLiteral("File %1 non trovato.").arg(source)));
    if (!cartella_esiste(QFileInfo(destination).path()))
        return failed(source, destination, kPathNotFound,
                      DbResult::failure(DbError::CantOpen,
                                        QStringLiteral("Percorso %1 non trovato.").arg(QFileInfo(destination).path())));
    // What an earlier back-up killed half-way left beside this copy.
    FileBeside::removeLeftovers(destination);
    BackupFile file;
    file.source = source;
    file.destination = destination;
    DbResult result;
    auto db = Connection::shared(source, key, &result);
    if (db)
        result = db->backupTo(destination);
    if (result.code == DbError::WrongKey || result.code == DbError::Corrupt) {
        // Keyed otherwise, or damaged: the engine cannot read it, but its bytes are still worth keeping.
        QString why;
        file.bytewise = true;
        if (copyFileBytes(source, destination, &why))
            return file;
        result = DbResult::failure(DbError::Other, why);
    }
    if (!result.ok())
        return failed(source, destination,
                      result.code == DbError::ReadOnly || result.code == DbError::CantOpen ? kPermissionDenied
                                                                                           : kFileAccessError,
                      result);
    return file;
}

} // namespace

bool cartella_esiste(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool backupWanted(const WorkingState& state)
{
    bool ok = false;
    return state.p_unload && state.p_chk_back_up.trimmed().toInt(&ok) == 1 && ok;
}

BackupRequest backupRequest(const WorkingState& state)
{
    BackupRequest request;
    request.programFolder = programFolder();
    request.backupFolder = state.p_path_back_up.trimmed();
    request.subUse = state.p_sub_use;
    request.subNames = state.p_sub_dir;
    request.key = state.p_password.toUtf8();
    return request;
}

QString BackupReport::failureText() const
{
    QStringList texts;
    for (const BackupFile& file : files) {
        if (file.result.ok())
            continue;
        texts << QStringLiteral("Attenzione errore nella copia del file\nErrore n. %1\n%2\n%3")
                     .arg(file.errorNumber)
                     .arg(file.result.message, QDir::toNativeSeparators(file.source));
    }
    return texts.join(QStringLiteral("\n\n"));
}

BackupReport copyArchives(const BackupRequest& request)
{
    BackupReport report;
    const QString target = request.backupFolder.trimmed();
    if (target.isEmpty()) {
        report.status = BackupStatus::NoPath;
        return report;
    }
    // One archive that cannot be copied never keeps the others from their copies.
    auto record = [&](const BackupFile& file) {
        report.files.append(file);
        if (!file.result.ok())
            report.status = BackupStatus::Failed;
    };

    const QString archiveName = QLatin1String(kArchiveFile);
    record(copyOne(fileInFolder(request.programFolder, archiveName), fileInFolder(target, archiveName), request.key));
    // A back-up folder that is not there (it is never created) takes no copy at all.
    if (!request.subUse || !cartella_esiste(target))
        return report;

    for (const QString& name : request.subNames) {
        const QString folderName = QLatin1String(kSubPrefix) + name;
        const QString source = fileInFolder(resolveNoCase(request.programFolder, folderName), archiveName);
        QString folder = findEntryNoCase(target, folderName);
        if (folder.isNull()) {
            folder = QDir(target).filePath(folderName);
            if (!QDir(target).mkdir(folderName)) {
                record(failed(source, QDir(folder).filePath(QLatin1String(kSubCopyName)), kPathNotFound,
                              DbResult::failure(DbError::CantOpen,
                                                QStringLiteral("Impossibile creare la cartella %1.").arg(folder))));
                continue;
            }
        }
        record(copyOne(source, fileInFolder(folder, QLatin1String(kSubCopyName)), request.key));
    }
    return report;
}

} // namespace quad
