#pragma once

#include "database.h"

#include <QString>
#include <QStringList>

namespace quad {

/// Name of the index of the whole value that serves prefix searches on table.field (the small
/// tables of the settings database, and the archive's columns in archives not yet upgraded).
QString prefixIndexName(const QString& table, const QString& field);
/// The statement that makes it: the column without regard to ASCII case, then as it is, so
/// that the index gives the rows in the order of "ORDER BY field COLLATE NOCASE, field".
/// It uses SQLite's own NOCASE only: any SQLCipher tool can still write the table.
QString prefixIndexSql(const QString& table, const QString& field);

/// The distinct values of table.field that begin with prefix without regard to case (simple
/// Unicode case folding, accents kept; '%', '_' and quotes are plain characters), in the order
/// of "ORDER BY field COLLATE NOCASE, field", at most limit of them; Null and non-text values
/// are left out. The archive's served columns (archiveColumn) are answered by seeks on
/// their structures (see archive_indexes.h), or on the index of the whole value of an archive
/// not yet upgraded; other tables by seeks on the index of the whole value, which is made when
/// the file lacks it. Where there is neither (an archive being upgraded, a file opened read-only)
/// the table is scanned, with the same result. An empty prefix gives nothing. Names are used as
/// given (the caller takes them from the file's own schema); a database error comes back in
/// *error.
QStringList prefixValues(Connection& db, const QString& table, const QString& field, const QString& prefix, int limit,
                         DbResult* error = nullptr);

} // namespace quad
