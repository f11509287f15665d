#pragma once

#include "archive_keys.h"
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
    QByteArray key; ///< the session's key (the login password)
    /// The passwords that opened an archive otherwise this session: such an archive is read with
    /// its own.
    ArchiveKeys otherKeys;
};

/// The request for the program folder and the working state's settings.
BackupRequest backupRequest(const WorkingState& state);

/// One archive of a back-up.
struct BackupFile
{
    QString source;
    QString destination;
    DbResult result; ///< failed: nothing of this archive was copied, an older copy is as it was
    /// The number shown after "Errore n. " when the copy failed: 53 the archive is missing,
    /// 76 the back-up folder is missing or cannot be made, 70 it cannot be written, 75 any other
    /// failure of the copy.
    int errorNumber = 0;
    /// Why the archive could not be read with its key (keyed otherwise, or damaged on any page);
    /// ok when it was read whole and its copy checked.
    DbResult unreadable;
    /// The unreadable archive's bytes, copied as they are beside destination under a name of
    /// their own ("..._non_verificato.mdb"): destination, an earlier copy, is never replaced by them.
    QString unverifiedCopy;
    bool previousKept = false; ///< destination held an earlier copy, which stays as it was
};

enum class BackupStatus {
    Copied, ///< every archive was copied and its copy read back whole
    NoPath, ///< the back-up folder is not set: show kBackupNoPathText, nothing was copied
    /// A copy would have taken the place of an archive itself (the back-up folder is the program
    /// folder, or leads to it): nothing was copied, sameFileText() says so
    SameFile,
    /// Every archive was copied, but at least one could not be read: its bytes went beside the
    /// earlier copy, failureText() says which
    Unverified,
    Failed ///< at least one copy failed; every other archive was copied all the same
};

struct BackupReport
{
    BackupStatus status = BackupStatus::Copied;
    QList<BackupFile> files; ///< the copies tried, in order
    QString sameFileArchive; ///< SameFile: the archive a copy would have replaced
    QString sameFileFolder; ///< SameFile: the back-up folder that leads to it

    /// For each failed copy, "Attenzione errore nella copia del file", the error number, the
    /// cause and the archive, one per line; for each archive that could not be read, which one,
    /// why, where its bytes went and where the earlier copy stays; apart by an empty line. "" when
    /// every copy was made and checked.
    QString failureText() const;
    /// The refusal of a back-up whose copy would replace an archive itself.
    QString sameFileText() const;
};

/// Copies the live archive to backupFolder/"Arch_quadernolo.mdb" and each historical archive NAME
/// to backupFolder/"SUB_"NAME/"arch_quadernolo.mdb", creating those sub-folders (one level) when
/// missing; the back-up folder itself is never created. Existing files and folders are found
/// without regard to case and replaced. Nothing at all is copied when any copy would be one of
/// the archives itself (SameFile). Each archive is opened with the key that opens it and copied
/// with the database's own online backup into a FileBeside the copy, read back whole, then
/// renamed over the old copy, so a failed copy leaves the old copy as it was and nothing else. An
/// archive no key opens, or one with a page that cannot be read, is copied byte for byte beside
/// the old copy under a name of its own and reported (Unverified). The leftovers of a back-up
/// killed half-way are removed first. A failure stops only its own copy. Copies keep their
/// archive's mode.
BackupReport copyArchives(const BackupRequest& request);

} // namespace quad
