#pragma once
// Small checks on the recordsets of the entry handling, shared by its files.

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

} // namespace quad::schede
