#pragma once

#include "database.h"
#include "working_state.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace quad {

/// The two files that record a password change under way, in the program folder (see
/// cambia_password_file).
inline const char* kPasswordJournalOld = "cambio_password_vecchia.db";
inline const char* kPasswordJournalNew = "cambio_password_nuova.db";

/// The files keyed with the login password, in the order they are changed: the live archive,
/// the template a missing archive is copied from, then each historical archive in the order of
/// p_sub_dir (only when p_sub_use). Existing files are found without regard to case.
QStringList archivi_con_password(const WorkingState& s);

/// The refusal shown for the password panel's three boxes, or "" when the change may go ahead.
/// The current password must equal the login password exactly; the new one must hold something
/// besides blanks; the confirmation must equal the new password exactly as typed.
QString verifica_cambio_password(const WorkingState& s, const QString& vecchia, const QString& nuova,
                                 const QString& conferma);

/// What a password change did.
struct PasswordChangeResult
{
    DbResult result; ///< ok when every file now opens with the new password
    QString failedFile; ///< the file that stopped the change ("" on success)
    QStringList notRestored; ///< files that kept the new key because keying them back failed too

    bool ok() const { return result.ok(); }
};

/// Asks the clerk for the password of file, which none of the keys known to the session opens:
/// true with the password typed, false when the clerk gave it up.
using PasswordRequest = std::function<bool(const QString& file, QString* password)>;

/// Changes the key of every file to newPassword, all or nothing. Every file is first opened with
/// the key it has now: the first of the keys known that opens it (known's for that file, then
/// oldPassword, the session's), else the password ask gets for it, asked once per file; a password
/// typed that does not open the file, a request given up, a missing ask or any other failure to
/// open stops the change there, before any file is touched, with the file named. Then each file is rekeyed
/// (refused while another connection holds the file) and counts as done only when it opens
/// afresh with the new key and no longer with the one it had (a file that had the new key already
/// is left as it is). When one fails, every file that took the new key is keyed back to the key it
/// had; those that could not be are listed. The program's shared connections of the files are
/// dropped. Passwords reach the engine only as keys.
/// Before the first rekey the program folder gets the change's record: kPasswordJournalNew, keyed
/// with the new password, holding the old one, then kPasswordJournalOld, keyed with oldPassword,
/// holding the new one; both list the files, each with the key it had. It goes when every file has
/// one key again (kept when a file could not be keyed back), so a change cut short at any moment
/// is mended by riprendi_cambio_password() at the next login. A record that cannot be written stops
/// the change before any file is touched.
PasswordChangeResult cambia_password_file(const QStringList& files, const QString& oldPassword,
                                          const QString& newPassword, const ArchiveKeys& known = {},
                                          const PasswordRequest& ask = {});

/// Changes the password of archivi_con_password(s) from the key each has now (see
/// cambia_password_file: the keys of s.chiavi_archivi, then s.p_password, else ask) to
/// newPassword; on success s.p_password and s.p_password_archivio become newPassword and
/// s.chiavi_archivi is emptied, otherwise s is left as it was.
PasswordChangeResult cambia_password_archivi(WorkingState& s, const QString& newPassword,
                                             const PasswordRequest& ask = {});

/// The text shown when a change failed: the file, why, and any file left with the new key.
QString descrivi_errore_password(const PasswordChangeResult& r);

/// What a login found of a password change cut short.
struct PasswordRecovery
{
    enum class Outcome {
        None, ///< no change to mend, or one the password typed has no part in, or still running elsewhere
        Completed, ///< every file of the change now opens with the password typed; the record is gone
        Failed ///< failedFile could not be given the password typed; the record stays for the next login
    };
    Outcome outcome = Outcome::None;
    QString failedFile;
};

/// At a login with password: when the program folder holds the record of a password change cut
/// short and password is its old or its new one, every file of the change is given password (the
/// change is undone or finished; a file that had a key of its own takes it too), checked afresh,
/// and the record removed, with what the change left beside it while it wrote the record. A record
/// that only a new password could read, left by a change stopped before any file was touched, is
/// removed when password opens the live archive (the change is dropped). A record some living
/// program still holds is left alone.
PasswordRecovery riprendi_cambio_password(const QString& password);

/// What the clerk is told of a recovery ("" when there was none).
QString descrivi_ripresa_password(const PasswordRecovery& r);

/// How a rekey the tests pick goes wrong.
enum class RekeyFault {
    None,
    Refused, ///< the engine refuses it before writing
    WrittenButReported ///< the engine writes the new key but reports a failure
};
/// Lets tests make the rekey of chosen files go wrong (after the old key was checked), to prove
/// that the files done are keyed back. Null restores normal working.
void setRekeyFaultForTests(std::function<RekeyFault(const QString& file)> fault);
/// Calls hook at the steps of a password change ("giornale" once its record is written, "archivio
/// N" once file N has the new key, "fine" after the last file, "rimosso" between the removals of
/// the record's two files), so that tests can stop it there as a crash would. Null: no calls.
void setPasswordChangeStepForTests(std::function<void(const QString& step)> hook);

} // namespace quad
