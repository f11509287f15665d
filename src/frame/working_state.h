#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace quad {

/// The working state of the program: what the main window and its dialogs hand each other.
/// One instance lives in the main window; dialogs get a reference to it.
struct WorkingState
{
    // Settings loaded from imposta.ini.
    QString p_chk_back_up; ///< "0" or "1"
    QString p_path_back_up; ///< back-up folder
    QString p_eln_colonne; ///< grid column mask, one "X" or "-" per column
    QString p_quad_rete; ///< network register switch, "0" or "1"
    QString p_eln_uffici; ///< office names joined by ";"
    QString p_path_eln_uffici; ///< office folders joined by ";"
    QString p_postazione; ///< "Server" or "Client" (or "" when the key is missing)
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
    QString p_nome_database = QStringLiteral("Arch_quadernolo.mdb");

    // Dialog hand-over.
    QVariant p_txt_corr; ///< corrected subject (null when none)
    bool p_alert0 = false; ///< annulment confirmed
    QVariant p_alert1; ///< from-date of the date-range dialog
    QVariant p_alert2; ///< to-date of the date-range dialog
    QString p_mess_annullato; ///< annulment note ("" on cancel)
    bool p_modo_window = false; ///< OK pressed in the date-range dialog

    // Address book.
    bool p_frm_nomi = false; ///< the address-book correction dialog is open
    bool p_update_nomi = false; ///< the address-book record was modified
};

} // namespace quad
