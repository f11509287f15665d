#pragma once

// The transfer file "esporta.txt": the register rows chosen in the grid as tab-separated text
// with a header of column names, and its reading back into the archive's entries.
//
// On disk the text is one record between double quotes followed by CR LF, in the Windows ANSI
// code page (1252): the header's names joined by TAB and ended by the byte 0xFF (ÿ), then per
// row its values joined by TAB and ended by 0xFF. Null is written as one blank.

#include "database.h"
#include "file_replace.h"
#include "received_entries.h"
#include "recordset.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

namespace quad {

/// The status line's text for the writer's progress: mode 0 waiting, mode 1 done with n rows
/// (empty for 0), mode 2 rows added (n) or none; any other mode the empty text.
QString testo_stato(int modo, int n);

/// The transfer text of the rows of righe with the given bookmarks, in that order, with the
/// delivery stamp of moment in place of the rows' own delivery fields (the rows are stamped once
/// the file is written). Values as the register shows them, yes/no as -1 / 0. A value holding a
/// TAB, a double quote, a ÿ or a character the code page lacks is refused (it would split or end
/// the record, or change on reading): the error names the entry and the column.
DbResult testo_trasferimento(Recordset& righe, const std::vector<Bookmark>& segni, const QDateTime& moment,
                             QByteArray* out);

/// Writes bytes into the transfer file as a whole: an earlier file is replaced only once the new
/// one is complete, and file.undo() brings it back (or removes the new one when there was none)
/// while file lives.
DbResult scrivi_file_trasferimento(FileReplacement& file, const QByteArray& bytes);

/// What leggi_file_trasferimento did (with the entries added, passed over and named of EsitoSchede).
struct EsitoTrasferimento : EsitoSchede
{
    bool ok = false;
    QString errore;
};

/// Appends the entries of a transfer file to the archive, each with its correspondents, in one
/// transaction (all or none). Columns are taken by the header's names: "entrata.x" and
/// "Mittenti.x" name their table, a bare name is entrata's column when it has one, else the
/// correspondents'. Each row gives one correspondent of its entry, joined to it by the entry's
/// number and direction: a correspondent's Quadernolo or tipo left blank gives the entry's, and a
/// row that gives its entry no Tipo (none, or the blank) gives it its correspondent's tipo. A row
/// of a single value is skipped. The rows are checked and made into entries by raccogli_schede, as
/// a notification's are; an entry the archive already holds is passed over or named as
/// SchedeRicevute does. The whole file is refused, with a message naming the row or the column,
/// for: a header without Progressivo, that names a column neither table has, or one column twice;
/// a row with more values than the header; a double quote or a NUL inside a value; rows that
/// raccogli_schede refuses (a register number, the entry's or its correspondent's, other than 1 to
/// 2147483647 in digits alone, a direction other than "E" or "U", a correspondent of another
/// number or direction than its entry, rows of one number that give its entry other values); a
/// number beyond what its column holds; a value its column refuses. Numbers take the number the
/// text begins with (0 when none), dates the trimmed text when not empty, texts the text as it is;
/// the blank that stands for Null assigns nothing.
EsitoTrasferimento leggi_file_trasferimento(const std::shared_ptr<Connection>& db, const QString& path);

} // namespace quad
