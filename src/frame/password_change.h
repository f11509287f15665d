#pragma once

#include "database.h"
#include "working_state.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace quad {

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

/// Changes the key of every file from oldPassword to newPassword, all or nothing: every file is
/// first opened with the old key, and nothing is changed unless all of them open; then each is
/// rekeyed (refused while another connection holds the file) and counts as done only when it
/// opens afresh with the new key and no longer with the old one. When one fails, every file
/// that took the new key is keyed back to the old password; those that could not be are listed. The
/// program's shared connections of the files are dropped. Passwords reach the engine only as keys.
PasswordChangeResult cambia_password_file(const QStringList& files, const QString& oldPassword,
                                          const QString& newPassword);

/// Changes the password of archivi_con_password(s) from s.p_password to newPassword; on success
/// s.p_password becomes newPassword, otherwise it is left as it was.
PasswordChangeResult cambia_password_archivi(WorkingState& s, const QString& newPassword);

/// The text shown when a change failed: the file, why, and any file left with the new key.
QString descrivi_errore_password(const PasswordChangeResult& r);

/// Lets tests make the rekey of chosen files fail (after the old key was checked), to prove that
/// the files done before are keyed back. Null restores normal working.
void setRekeyFaultForTests(std::function<bool(const QString& file)> fails);

} // namespace quad
