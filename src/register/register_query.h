#pragma once

#include "recordset.h"

#include <QString>

namespace quad {

/// The register as the main window shows it: every column of entrata followed by every column
/// of Mittenti, one row per correspondent, in number order.
inline QString registerQuery()
{
    return QStringLiteral("SELECT entrata.*, Mittenti.* FROM entrata INNER JOIN Mittenti ON "
                          "entrata.Progressivo = Mittenti.Quadernolo order by progressivo");
}

/// The register query narrowed to the rows of one entry (its number bound as the parameter).
inline QString registerEntryQuery()
{
    return QStringLiteral("SELECT entrata.*, Mittenti.* FROM entrata INNER JOIN Mittenti ON "
                          "entrata.Progressivo = Mittenti.Quadernolo WHERE entrata.Progressivo = ? "
                          "order by progressivo");
}

/// Brings the register recordset up to date with the stored rows of entry numero only (after
/// the entry was written), as a re-read of the whole register would leave it: filter, sort and
/// current record kept (see Recordset::resyncKey). On failure nothing changes.
inline DbResult refreshRegisterEntry(Recordset& registro, qint64 numero)
{
    return registro.resyncKey(QStringLiteral("Progressivo"), numero, registerEntryQuery(), {numero});
}

} // namespace quad
