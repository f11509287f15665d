#pragma once
// Small checks on the recordsets that the windows handling entries share, and the way they show a
// failed data operation.

#include "message_service.h"
#include "recordset.h"

#include <memory>

namespace quad::schede {

/// True when the recordset exists and is open.
inline bool aperto(const std::shared_ptr<Recordset>& rs)
{
    return rs && rs->isOpen();
}

/// True when the recordset is open and stands on a record (neither BOF nor EOF).
inline bool suUnRecord(const std::shared_ptr<Recordset>& rs)
{
    return aperto(rs) && !rs->bof() && !rs->eof();
}

/// True when the recordset is open and holds changes not yet written (rows added, changed or
/// deleted), whatever the modified flags of the window say.
inline bool inSospeso(const std::shared_ptr<Recordset>& rs)
{
    return aperto(rs) && rs->hasPendingChanges();
}

/// Shows a failed data operation as "Errore ADO" with its cause; true when it went through.
inline bool mostra_errore_ado(const DbResult& result)
{
    if (!result.ok())
        msgBox(QStringLiteral("Errore ADO\n\n") + result.message);
    return result.ok();
}

} // namespace quad::schede
