#pragma once

// The notification between offices: the rows of a competent office forwarded as a rowset file
// into the office's folder, and the files received in the program folder copied into the archive.

#include "database.h"
#include "recordset.h"
#include "working_state.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

namespace quad {

/// The folder of the office named ufficio in the office list (names compared without regard to
/// case; of two equal names the later one wins), or "" when the list holds no such office or no
/// folder at its position.
QString cartella_ufficio(const WorkingState& state, const QString& ufficio);

/// The filter of the rows still to forward to ufficio: not delivered, competent office exactly
/// that name (quoted, so that any text is safe in it).
QString filtro_notifica(const QString& ufficio);

/// "Notifica_yyyy_dd_MM__hh_mm_ss.xml" for the moment given.
QString nome_file_notifica(const QDateTime& moment);

/// Saves the rows of the view of righe as a notification file in folder. The file is written
/// under a temporary name that no importer takes for a notification and then renamed to its
/// name without replacing any file: a name already present gets "_2", "_3", ... before ".xml".
/// On success *placed is the file's path; on failure nothing is left in the folder.
DbResult scrivi_notifica(const Recordset& righe, const QString& folder, const QDateTime& moment, QString* placed);

/// Writes the delivery stamp (sys_consegnato True, sys_data_consegna and sys_ora_consegna from
/// moment) on the rows with the given bookmarks and commits it, with the recordset's pending
/// changes, in one transaction. The filter is dropped (the stamped rows would leave it). On
/// failure the stamps stay pending and the error is returned.
DbResult timbra_consegna(Recordset& righe, const std::vector<Bookmark>& segni, const QDateTime& moment);
/// The same on every row of the view of righe.
DbResult timbra_consegna(Recordset& righe, const QDateTime& moment);

/// A received notification file claimed for import: renamed first, so that no other tick or
/// station reads it too.
class NotificaRicevuta
{
public:
    /// Claims path by renaming it beside itself under a name that no importer matches. False
    /// when the file is gone (another station took it) or cannot be renamed.
    bool rivendica(const QString& path);
    /// The claimed file's path while it is claimed.
    QString file() const { return m_claimed; }
    /// The import went in: the claimed file is deleted.
    bool elimina();
    /// The import failed: the file takes its name back for a later tick.
    bool rilascia();

private:
    QString m_original;
    QString m_claimed;
};

/// What copia_righe did.
struct EsitoImportazione
{
    bool ok = false;
    bool vuoto = false; ///< the file held no row (not an import)
    QString errore; ///< why it failed
    qint64 ultimo = 0; ///< the register number of the last row added
    int righe = 0; ///< rows read from the file
};

/// Copies the rows of the rowset file into the archive, its columns matched by position with the
/// columns of registro (the register: entrata's columns followed by Mittenti's). Each entry is
/// written once and each row gives one correspondent. All rows go in one transaction, or none:
/// a file that is not a rowset, has fewer columns than the register or no row, a register number
/// the archive already holds, or a value its column refuses writes nothing.
EsitoImportazione copia_righe(const std::shared_ptr<Connection>& db, const Recordset& registro, const QString& file);

} // namespace quad
