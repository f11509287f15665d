#pragma once

// Sending the register's rows to another office: the notification file of the rows still to
// forward to an office, and the transfer file of the rows chosen in the grid. Each file is written
// first and the rows are stamped delivered only once it is in place; rows that cannot be stamped
// leave no file delivered and no stamp pending.

#include "database.h"
#include "recordset.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

namespace quad {

/// The rows of registro still to forward to ufficio (filtro_notifica), in a view of their own over
/// registro's rows (a clone: a stamp written in it is a change of registro's). Null, with the cause
/// in *error, when the filter is refused.
std::shared_ptr<Recordset> righe_da_inoltrare(Recordset& registro, const QString& ufficio, DbResult* error);

/// What inoltra_notifica ended with.
struct EsitoInoltro
{
    enum class Passo {
        Inoltrato, ///< the file is in the office's folder and the rows are stamped delivered
        NonScritto, ///< the file could not be written: nothing changed
        NonTimbrato ///< the rows could not be stamped: the file was taken back, the rows stay to send
    };
    Passo passo = Passo::Inoltrato;
    DbResult esito; ///< the cause, when not forwarded
    QString file; ///< the notification file placed (Inoltrato)

    bool ok() const { return passo == Passo::Inoltrato; }
};

/// Forwards the rows of righe (righe_da_inoltrare over registro) to the office's folder cartella at
/// moment: the notification file is written (scrivi_notifica), then the rows are stamped delivered
/// (timbra_consegna) with registro's pending changes in one transaction. When the stamps cannot be
/// written nothing is delivered: registro's pending changes are given up and the file removed, so
/// that the rows stay to be sent.
EsitoInoltro inoltra_notifica(Recordset& registro, Recordset& righe, const QString& cartella, const QDateTime& moment);

/// Writes the rows of registro with the given bookmarks, in that order, as the transfer file path
/// and stamps them delivered at moment: the text (testo_trasferimento) replaces the file as a whole
/// (scrivi_file_trasferimento), then the rows are stamped (timbra_consegna) in one transaction.
/// When the text, the file or the stamps fail nothing is delivered: the earlier file is back in its
/// place (a new one is removed), registro's pending changes are given up, and the cause comes back,
/// with why the earlier file could not be put back when it could not.
DbResult esporta_trasferimento(Recordset& registro, const std::vector<Bookmark>& segni, const QString& path,
                               const QDateTime& moment);

} // namespace quad
