#pragma once

#include "archive_keys.h"
#include "register_settings.h"

#include <QString>
#include <QStringList>

namespace quad {

/// The session's state: the settings, the historical archives and the archive in use. One
/// instance lives in the main window; a window that changes it gets a reference to it, one that
/// only reads it a const reference. Dialogs hand their answers back through their own accessors,
/// never through this state. The settings the register's window works with are its
/// RegisterSettings, which that window is given.
struct WorkingState : RegisterSettings
{
    // Settings loaded from imposta.ini (and those of RegisterSettings).
    QString p_chk_back_up; ///< "0" or "1"
    QString p_path_back_up; ///< back-up folder
    QString p_path_eln_uffici; ///< office folders joined by ";"
    QString p_path_postazione; ///< Path_Postazione setting

    // Historical archives.
    bool p_sub_use = false; ///< historical archives (SUB_ folders) exist
    /// Their names without the prefix, in upper case; the folders are found again on disk
    /// without regard to case.
    QStringList p_sub_dir;

    // Archive in use.
    QString p_sessione = QStringLiteral("Menu"); ///< "Menu", "Entrata" or "Uscita"
    bool p_unload = false; ///< the login succeeded
    QString p_path_archivio; ///< folder chosen in the archive file dialog
    QString p_path_cartella; ///< data folder of the archive in use ("" until opened)
    QString p_password; ///< login password, also the archives' key
    /// The key of the archive in use: p_password, or the password typed for a historical archive
    /// keyed otherwise (it opens that archive only).
    QString p_password_archivio;
    /// The passwords that opened an archive this session other than p_password (the archive in use
    /// or any other): compaction, back-up and the password change open each archive with the one
    /// that opens it.
    ArchiveKeys chiavi_archivi;
    QString p_nome_database = QStringLiteral("Arch_quadernolo.mdb");
};

} // namespace quad
