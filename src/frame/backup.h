#pragma once

#include "database.h"
#include "working_state.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace quad {

/// Texts of the back-up at exit, shown by the main window as they stand.
inline const char* kBackupTitle = "Penlio 4";
inline const char* kBackupQuestion = "SALVATAGGIO DATI\n\nEffettuo il back up dell' archivio ?";
inline const char* kBackupNoPathText = "ATTENZIONE\n\nIl path per il back up non è stato non impostato !";

/// True when the folder exists (any error counts as missing).
bool cartella_esiste(const QString& path);

/// True when the back-up is offered at exit: the login passed and the back-up is switched on
/// (the setting "1").
bool backupWanted(const WorkingState& state);

/// What a back-up copies: the live archive of the program folder and, when historical archives
/// are in use, each one's archive.
struct BackupRequest
{
    QString programFolder;
    QString backupFolder; ///< p_path_back_up
    bool subUse = false; ///< p_sub_use
    QStringList subNames; ///< p_sub_dir: the historical archives' names without "SUB_"
    QByteArray key; ///< the archives' key (the login password)
};

/// The request for the program folder and the working state's settings.
BackupRequest backupRequest(const WorkingState& state);

/// One archive of a back-up.
struct BackupFile
{
    QString source;
    QString destination;
    DbResult result;
    /// The number shown after "Errore n. " when the copy failed: 53 the archive is missing,
    /// 76 the back-up folder is missing or cannot be made, 70 it cannot be written, 75 any other
    /// failure of the copy.
    int errorNumber = 0;
    /// The engine could not read the archive (keyed otherwise, or damaged): it was copied byte
    /// for byte instead.
    bool bytewise = false;
};

enum class BackupStatus {
    Copied, ///< every archive was copied
    NoPath, ///< the back-up folder is not set: show kBackupNoPathText, nothing was copied
    Failed ///< at least one copy failed; every other archive was copied all the same
};

struct BackupReport
{
    BackupStatus status = BackupStatus::Copied;
    QList<BackupFile> files; ///< the copies tried, in order

    /// For each failed copy, "Attenzione errore nella copia del file", the error number, the
    /// cause and the archive, one per line; the copies apart by an empty line. "" when none failed.
    QString failureText() const;
};

/// Copies the live archive to backupFolder/"Arch_quadernolo.mdb" and each historical archive NAME
/// to backupFolder/"SUB_"NAME/"arch_quadernolo.mdb", creating those sub-folders (one level) when
/// missing; the back-up folder itself is never created. Existing files and folders are found
/// without regard to case and replaced. Each archive is copied with the database's own online
/// backup into a FileBeside the copy, renamed over the old copy, so a failed copy leaves the old
/// copy as it was and nothing else; an archive the key does not open, or a damaged one, is copied
/// byte for byte the same way. The leftovers of a back-up killed half-way are removed first. A
/// failure stops only its own copy. Copies keep their archive's mode.
BackupReport copyArchives(const BackupRequest& request);

} // namespace quad
