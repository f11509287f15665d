#pragma once

// The rows of an archive table that carry a given code, as one HTML table.

#include <QString>

namespace quad {

/// The rows of the table tabella of the archive file archivio, read with key chiave (a table of
/// the archive named without regard to case) whose sys_cod is codice, as one HTML table without
/// line breaks: a grey caption row of the column names (first letter upper case, the rest lower
/// case), then one row per record with the values as the register shows them ("&nbsp;" for Null).
/// Names and values are HTML-escaped. "" when no row matches, and also on an error, which is put
/// in *errore (a name that is no table of the archive, an archive that does not open with the
/// key, a table without sys_cod).
QString tabella_html_record(const QString& archivio, const QString& chiave, const QString& tabella, int codice,
                            QString* errore);

} // namespace quad
