#pragma once

#include "database.h"

#include <QString>
#include <QStringList>

namespace quad {

/// Name of the index that serves prefix searches on table.field.
QString prefixIndexName(const QString& table, const QString& field);
/// The statement that makes it: the column without regard to ASCII case, then as it is, so
/// that the index gives the rows in the order of "ORDER BY field COLLATE NOCASE, field".
/// It uses SQLite's own NOCASE only: any SQLCipher tool can still write the table.
QString prefixIndexSql(const QString& table, const QString& field);

/// The distinct values of table.field that begin with prefix without regard to case (simple
/// Unicode case folding, accents kept; '%', '_' and quotes are plain characters), in the order
/// of "ORDER BY field COLLATE NOCASE, field", at most limit of them; Null and non-text values
/// are left out. Served by seeks on the prefix index, which is made when the file lacks it;
/// when it cannot be made (a file opened read-only, another station writing) the table is
/// scanned instead, with the same result. An empty prefix gives nothing. Names are used as given
/// (the caller takes them from the file's own schema); a database error comes back in *error.
QStringList prefixValues(Connection& db, const QString& table, const QString& field, const QString& prefix, int limit,
                         DbResult* error = nullptr);

} // namespace quad
