#pragma once

#include "database.h"

#include <QString>
#include <QStringList>

namespace quad {

/// How the autocomplete finds the earlier values of a column of the archive.
enum class ValueSource {
    None, ///< not a column of the archive the autocomplete serves in its own way
    ValueTable, ///< a column of repeated values: its distinct values in sys_voci, with how many rows hold each
    PrefixIndex ///< a column where nearly every value differs: an index of the value, or of its beginning
};

/// An archive column the autocomplete serves.
struct ArchiveColumn
{
    ValueSource source = ValueSource::None;
    QString field; ///< the name as the table of values and the triggers spell it
    /// PrefixIndex: characters of a value the index orders by (ASCII letters in lower case), the
    /// whole value beside them when it is no longer; 0: the whole value, without regard to case.
    int prefixChars = 0;
};

/// How the archive's table.field (names without regard to case) is served.
ArchiveColumn archiveColumn(const QString& table, const QString& field);
/// Name of the prefix index of table.field (a ValueSource::PrefixIndex column).
QString archivePrefixIndexName(const QString& table, const QString& field);
/// What a prefix index of chars characters orders by first, as SQL over column (a quoted name):
/// the first chars characters with ASCII letters in lower case, which orders as SQLite's NOCASE.
QString archivePrefixKeySql(const QString& column, int chars);
/// What it orders by next: the value itself when it has no more than chars characters, else Null.
QString archiveShortValueSql(const QString& column, int chars);
/// Characters of a value that the table of values keeps apart, in its column inizio, and orders
/// by; the rest of the value is in its column resto.
constexpr int kValueKeyChars = 48;
/// Name of the table of distinct values (columns campo, inizio, resto, volte).
QString archiveValueTableName();
/// True when the file holds, whole, the structures that serve table.field: the table of values
/// with the triggers of table.field's table, or its prefix index.
bool archiveServesValues(Connection& db, const QString& table, const QString& field);

/// The statements that give an archive whose tables hold no rows yet the autocomplete's
/// structures: the table of values with its index and the triggers that keep it (on insert,
/// delete and update of a served column), and the prefix indexes. The triggers use SQLite's
/// own functions and collations only, so that a row another SQLCipher tool writes keeps the
/// table right.
QStringList archiveValueStructuresSql();

/// Brings an archive made before them up to the structures the program reads through, in one
/// transaction: the indexes of the folder grid (links by entry) and of the register print (entries
/// by date), and the autocomplete's structures, filled from the rows the archive holds; then the
/// indexes of the whole value that served the autocomplete before are dropped. Nothing is done when
/// everything is there; structures found in part are made again whole. Fails (writing nothing)
/// inside a transaction, on a file that cannot be written or when another station holds the file.
DbResult upgradeArchive(Connection& db);

/// Runs upgradeArchive on a worker thread over a connection of its own when the archive lacks
/// something (a quick look at its schema here), so that the window never waits for it; until it
/// is done, the autocomplete answers from what the archive has. Returns at once; one upgrade per
/// file at a time. A failed upgrade (read-only file, another station writing) is tried again at
/// the next call.
void ensureArchiveIndexes(Connection& db);
/// Waits until no upgrade started by ensureArchiveIndexes runs.
void waitForArchiveUpgrades();

} // namespace quad
