#include "backup.h"

#include "file_lookup.h"
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
    DbResult result;
    auto db = Connection::shared(source, key, &result);
    if (db)
        result = db->backupTo(destination);
    if (!result.ok())
        return failed(source, destination,
                      result.code == DbError::ReadOnly || result.code == DbError::CantOpen ? kPermissionDenied
                                                                                           : kFileAccessError,
                      result);
    BackupFile file;
    file.source = source;
    file.destination = destination;
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
    if (status != BackupStatus::Failed || files.isEmpty())
        return QString();
    const BackupFile& last = files.last();
    return QStringLiteral("Attenzione errore nella copia del file\nErrore n. %1\n%2")
        .arg(last.errorNumber)
        .arg(last.result.message);
}

BackupReport copyArchives(const BackupRequest& request)
{
    BackupReport report;
    const QString target = request.backupFolder.trimmed();
    if (target.isEmpty()) {
        report.status = BackupStatus::NoPath;
        return report;
    }
    auto record = [&](const BackupFile& file) {
        report.files.append(file);
        if (!file.result.ok())
            report.status = BackupStatus::Failed;
        return file.result.ok();
    };

    const QString archiveName = QLatin1String(kArchiveFile);
    if (!record(
            copyOne(fileInFolder(request.programFolder, archiveName), fileInFolder(target, archiveName), request.key)))
        return report;
    if (!request.subUse)
        return report;

    for (const QString& name : request.subNames) {
        const QString folderName = QLatin1String(kSubPrefix) + name;
        const QString source = fileInFolder(resolveNoCase(request.programFolder, folderName), archiveName);
        QString folder = findEntryNoCase(target, folderName);
        if (folder.isNull()) {
            folder = QDir(target).filePath(folderName);
            if (!cartella_esiste(target) || !QDir(target).mkdir(folderName)) {
                record(failed(source, QDir(folder).filePath(QLatin1String(kSubCopyName)), kPathNotFound,
                              DbResult::failure(DbError::CantOpen,
                                                QStringLiteral("Impossibile creare la cartella %1.").arg(folder))));
                return report;
            }
        }
        if (!record(copyOne(source, fileInFolder(folder, QLatin1String(kSubCopyName)), request.key)))
            return report;
    }
    return report;
}

} // namespace quad
