#pragma once

#include "database.h"

namespace quad {

/// Makes in an archive made before them the indexes the program reads through: the entries of a
/// folder by entry number (the folder grid, read in pieces), the entries by date (the register
/// print) and the prefix indexes of the autocomplete's columns (see prefixIndexSql), so that
/// none is made at a keystroke. Each is one statement, made only when missing, with SQLite's own functions only. Does
/// nothing inside a transaction; a file that cannot be written keeps working without them (the
/// error is returned).
DbResult ensureArchiveIndexes(Connection& db);

} // namespace quad
