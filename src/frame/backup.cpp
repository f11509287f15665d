#include "backup.h"

#include "file_lookup.h"
#include "file_replace.h"
#include "program_folder.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace quad {

namespace {

constexpr int kFileNotFound = 53;
constexpr int kPermissionDenied = 70;
constexpr int kFileAccessError = 75;
constexpr int kPathNotFound = 76;

const char* kSubPrefix = "SUB_";
/// The name of a historical archive's copy in its back-up folder.
const char* kSubCopyName = "arch_quadernolo.mdb";
/// Added to a copy's name for the bytes of an archive that could not be read.
const char* kUnverifiedSuffix = "_non_verificato";

/// One copy to make: the folder is made first when it is not there.
struct PlannedCopy
{
    QString source;
    QString destination;
    QString folderToMake; ///< "" when the folder exists
};

BackupFile failed(const QString& source, const QString& destination, int number, const DbResult& result)
{
    BackupFile file;
    file.source = source;
    file.destination = destination;
    file.result = result;
    file.errorNumber = number;
    return file;
}

/// The name, beside destination, of the bytes of an archive that could not be read
/// ("Arch_quadernolo_non_verificato.mdb"), an existing one found without regard to case.
QString unverifiedName(const QString& destination)
{
    const QFileInfo info(destination);
    QString name = info.completeBaseName() + QLatin1String(kUnverifiedSuffix);
    if (!info.suffix().isEmpty())
        name += QLatin1Char('.') + info.suffix();
    return fileInFolder(info.path(), name);
}

BackupFile copyOne(const QString& source, const QString& destination, const QList<QByteArray>& keys)
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
    if (auto db = openWithKeys(source, keys, &result))
        result = db->backupTo(destination);
    if (result.code == DbError::WrongKey || result.code == DbError::Corrupt) {
        // Keyed otherwise, or damaged: it cannot be checked, but its bytes are still worth keeping,
        // beside the earlier copy and never over it.
        file.unreadable = result;
        file.unverifiedCopy = unverifiedName(destination);
        file.previousKept = QFileInfo::exists(destination);
        QString why;
        if (copyFileBytes(source, file.unverifiedCopy, &why))
            return file;
        file.result = DbResult::failure(DbError::Other, result.message + QLatin1Char('\n') + why);
        file.errorNumber = kFileAccessError;
        return file;
    }
    if (!result.ok())
        return failed(source, destination,
                      result.code == DbError::ReadOnly || result.code == DbError::CantOpen ? kPermissionDenied
                                                                                           : kFileAccessError,
                      result);
    return file;
}

/// True when both paths name one existing file, whatever the path that leads to it.
bool sameFile(const QString& a, const QString& b)
{
    struct stat first
    {
    };
    struct stat second
    {
    };
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

/// The copies of a back-up into target, folders found without regard to case.
QList<PlannedCopy> plan(const BackupRequest& request, const QString& target)
{
    QList<PlannedCopy> copies;
    const QString archiveName = QLatin1String(kArchiveFile);
    copies.append({fileInFolder(request.programFolder, archiveName), fileInFolder(target, archiveName), QString()});
    // A back-up folder that is not there (it is never created) takes no copy at all.
    if (!request.subUse || !cartella_esiste(target))
        return copies;
    for (const QString& name : request.subNames) {
        const QString folderName = QLatin1String(kSubPrefix) + name;
        const QString source = fileInFolder(resolveNoCase(request.programFolder, folderName), archiveName);
        const QString folder = findEntryNoCase(target, folderName);
        if (folder.isNull()) {
            const QString made = QDir(target).filePath(folderName);
            copies.append({source, QDir(made).filePath(QLatin1String(kSubCopyName)), made});
        } else {
            copies.append({source, fileInFolder(folder, QLatin1String(kSubCopyName)), QString()});
        }
    }
    return copies;
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
    request.otherKeys = state.chiavi_archivi;
    return request;
}

QString BackupReport::failureText() const
{
    QStringList texts;
    for (const BackupFile& file : files) {
        if (!file.result.ok()) {
            texts << QStringLiteral("Attenzione errore nella copia del file\nErrore n. %1\n%2\n%3")
                         .arg(file.errorNumber)
                         .arg(file.result.message, QDir::toNativeSeparators(file.source));
        } else if (!file.unverifiedCopy.isEmpty()) {
            QString text = QStringLiteral("ATTENZIONE: l' archivio %1 non è stato letto.\n%2\n"
                                          "Non potendo essere verificato, è stato copiato così com' è in %3.")
                               .arg(QDir::toNativeSeparators(file.source), file.unreadable.message,
                                    QDir::toNativeSeparators(file.unverifiedCopy));
            if (file.previousKept)
                text += QStringLiteral("\nLa copia precedente non è stata sostituita e resta in %1.")
                            .arg(QDir::toNativeSeparators(file.destination));
            texts << text;
        }
    }
    return texts.join(QStringLiteral("\n\n"));
}

QString BackupReport::sameFileText() const
{
    return QStringLiteral("ATTENZIONE\n\nIl back up non è stato effettuato: nella cartella %1 la copia prenderebbe il "
                          "posto dell' archivio %2 stesso.\n\nScegliere per il back up un' altra cartella.")
        .arg(QDir::toNativeSeparators(sameFileFolder), QDir::toNativeSeparators(sameFileArchive));
}

BackupReport copyArchives(const BackupRequest& request)
{
    BackupReport report;
    const QString target = request.backupFolder.trimmed();
    if (target.isEmpty()) {
        report.status = BackupStatus::NoPath;
        return report;
    }
    const QList<PlannedCopy> copies = plan(request, target);
    // A copy over an archive itself would leave it changed under the stations that hold it open
    // (or damaged, should the copy fail half-way): then nothing is copied at all.
    for (const PlannedCopy& copy : copies) {
        for (const PlannedCopy& archive : copies) {
            if (sameFile(copy.destination, archive.source)) {
                report.status = BackupStatus::SameFile;
                report.sameFileArchive = archive.source;
                report.sameFileFolder = target;
                return report;
            }
        }
    }

    // One archive that cannot be copied never keeps the others from their copies.
    for (const PlannedCopy& copy : copies) {
        BackupFile file;
        if (!copy.folderToMake.isEmpty() && !QDir().mkdir(copy.folderToMake))
            file = failed(
                copy.source, copy.destination, kPathNotFound,
                DbResult::failure(DbError::CantOpen,
                                  QStringLiteral("Impossibile creare la cartella %1.").arg(copy.folderToMake)));
        else
            file = copyOne(copy.source, copy.destination, request.otherKeys.keysFor(copy.source, request.key));
        report.files.append(file);
        if (!file.result.ok())
            report.status = BackupStatus::Failed;
        else if (!file.unverifiedCopy.isEmpty() && report.status == BackupStatus::Copied)
            report.status = BackupStatus::Unverified;
    }
    return report;
}

} // namespace quad
