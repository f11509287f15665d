#pragma once

// The notification between offices: the rows of a competent office forwarded as a rowset file
// into the office's folder, and the files received in the program folder copied into the archive.

#include "database.h"
#include "received_entries.h"
#include "recordset.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

namespace quad {

/// The folder of the office named ufficio in the office list, given as the settings keep it: the
/// names and, position by position, their folders, each joined by ";". Names are compared without
/// regard to case; of two equal names the later one wins. "" when the list holds no such office
/// or no folder at its position.
QString cartella_ufficio(const QString& uffici, const QString& cartelle, const QString& ufficio);

/// The filter of the rows still to forward to ufficio: not delivered, competent office exactly
/// that name (quoted, so that any text is safe in it).
QString filtro_notifica(const QString& ufficio);

/// "Notifica_yyyy_dd_MM__hh_mm_ss.xml" for the moment given.
QString nome_file_notifica(const QDateTime& moment);

/// Saves the rows of the view of righe as a notification file in folder. The file is written
/// under a temporary name that no importer takes for a notification and then renamed to its
/// name without replacing any file: a name already present gets "_2", "_3", ... before ".xml".
/// The file gets the mode the process's umask gives a new file, so that a station working under
/// another account can read it. On success *placed is the file's path; on failure nothing is
/// left in the folder. The temporary files that forwards killed half-way left in folder, and no
/// living forward still writes, are removed first.
DbResult scrivi_notifica(const Recordset& righe, const QString& folder, const QDateTime& moment, QString* placed);

/// Writes the delivery stamp (sys_consegnato True, sys_data_consegna and sys_ora_consegna from
/// moment) on the rows with the given bookmarks and commits it, with the recordset's pending
/// changes, in one transaction. The filter is dropped (the stamped rows would leave it). On
/// failure the stamps stay pending and the error is returned.
DbResult timbra_consegna(Recordset& righe, const std::vector<Bookmark>& segni, const QDateTime& moment);
/// The same on every row of the view of righe.
DbResult timbra_consegna(Recordset& righe, const QDateTime& moment);

/// A received notification file claimed for import: locked and renamed first, so that no other
/// tick or station reads it too. The lock (an OS lock on the file, which the system drops when
/// the process ends however it ends) is held until the import is over: a claimed file whose
/// lock is free was left by an importer that is gone.
class NotificaRicevuta
{
public:
    NotificaRicevuta() = default;
    ~NotificaRicevuta();
    NotificaRicevuta(const NotificaRicevuta&) = delete;
    NotificaRicevuta& operator=(const NotificaRicevuta&) = delete;

    /// Locks path and renames it beside itself under a name that no importer matches. False
    /// when the file is gone or locked (another tick or station took it), or cannot be renamed.
    bool rivendica(const QString& path);
    /// The claimed file's path while it is claimed.
    QString file() const { return m_claimed; }
    /// The name the file arrived with.
    QString nome() const;
    /// The import went in: the claimed file is deleted and the lock goes.
    bool elimina();
    /// The import failed: the file takes its name back for a later tick and the lock goes.
    bool rilascia();
    /// The file holds what the clerk has to look at: it is kept beside, as
    /// "da_verificare_<name it arrived with>" ("da_verificare_2_<name>", ... when that is taken),
    /// a name no importer takes, given in *nome; the lock goes. False, with the file still
    /// claimed (rilascia() gives its name back), when it cannot be renamed.
    bool accantona(QString* nome);

    /// A claimed file left by an importer that is gone (its lock is free) takes back the name it
    /// arrived with. False when its importer still holds it, or the name cannot be given back.
    static bool recupera(const QString& claimedPath);

private:
    void sblocca();

    QString m_original;
    QString m_claimed;
    int m_lock = -1;
};

/// The notification files waiting in folder (names that begin with "notifica_" in any case, in
/// name order, readable or not), with their paths. Files claimed by an importer that is gone are
/// given back their names first, so that they are among them.
QStringList notifiche_in_arrivo(const QString& folder);

/// True when this process can read path; otherwise why in *why.
bool notifica_leggibile(const QString& path, QString* why);

/// What copia_righe did (with the entries added, passed over and named of EsitoSchede).
struct EsitoImportazione : EsitoSchede
{
    bool ok = false;
    bool vuoto = false; ///< the file held no row (not an import)
    /// Every entry of the file is in the archive already with the same values (a file sent again):
    /// nothing was written, and the file has no more to give.
    bool doppione = false;
    QString errore; ///< why it failed
    qint64 ultimo = 0; ///< the register number of the last entry added
};

/// Copies the rows of the rowset file into the archive, its columns matched by position with the
/// columns of registro (the register: entrata's columns followed by Mittenti's). Each entry is
/// written once and each row gives one correspondent; an entry the archive already holds is
/// passed over or named as SchedeRicevute does. All new entries go in one transaction, or none: a
/// file that is not a rowset, has fewer columns than the register or no row, rows that
/// raccogli_schede refuses (a register number outside 1 to 2147483647, whatever type the file
/// gives its column, a direction other than "E" and "U", a correspondent not of its entry, rows of
/// one number that give its entry other values), or a value its column refuses writes nothing, and
/// the error names the row and the column where there is one (rows counted from 1 in file order).
EsitoImportazione copia_righe(const std::shared_ptr<Connection>& db, const Recordset& registro, const QString& file);

} // namespace quad
