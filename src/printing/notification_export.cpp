#include "notification_export.h"

#include "file_replace.h"
#include "notification.h"
#include "transfer_file.h"

#include <QFile>

namespace quad {

std::shared_ptr<Recordset> righe_da_inoltrare(Recordset& registro, const QString& ufficio, DbResult* error)
{
    std::shared_ptr<Recordset> righe = registro.clone();
    const DbResult filtro = righe->setFilter(filtro_notifica(ufficio));
    if (!filtro.ok()) {
        if (error)
            *error = filtro;
        return nullptr;
    }
    return righe;
}

EsitoInoltro inoltra_notifica(Recordset& registro, Recordset& righe, const QString& cartella, const QDateTime& moment)
{
    EsitoInoltro inoltro;
    inoltro.esito = scrivi_notifica(righe, cartella, moment, &inoltro.file);
    if (!inoltro.esito.ok()) {
        inoltro.passo = EsitoInoltro::Passo::NonScritto;
        return inoltro;
    }
    inoltro.esito = timbra_consegna(righe, moment);
    if (!inoltro.esito.ok()) {
        // Not delivered after all: the file goes and the rows stay to be sent.
        registro.cancelBatch();
        QFile::remove(inoltro.file);
        inoltro.passo = EsitoInoltro::Passo::NonTimbrato;
        inoltro.file.clear();
    }
    return inoltro;
}

DbResult esporta_trasferimento(Recordset& registro, const std::vector<Bookmark>& segni, const QString& path,
                               const QDateTime& moment)
{
    const std::shared_ptr<Recordset> righe = registro.clone();
    QByteArray testo;
    FileReplacement file(path);
    DbResult esito = testo_trasferimento(*righe, segni, moment, &testo);
    if (esito.ok())
        esito = scrivi_file_trasferimento(file, testo);
    // The rows are stamped only once the file holds them; rows not stamped after all leave the
    // earlier file in its place.
    if (esito.ok() && !(esito = timbra_consegna(*righe, segni, moment)).ok() && !file.undo())
        esito.message += QStringLiteral("\n\n") + file.errorString();
    if (!esito.ok() && registro.hasPendingChanges())
        registro.cancelBatch();
    return esito;
}

} // namespace quad
