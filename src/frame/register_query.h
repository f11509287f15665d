#pragma once

#include <QString>

namespace quad {

/// The register as the main window shows it: every column of entrata followed by every column
/// of Mittenti, one row per correspondent, in number order.
inline QString registerQuery()
{
    return QStringLiteral("SELECT entrata.*, Mittenti.* FROM entrata INNER JOIN Mittenti ON "
                          "entrata.Progressivo = Mittenti.Quadernolo order by progressivo");
}

} // namespace quad
