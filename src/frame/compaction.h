#pragma once

#include "database.h"
#include "working_state.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace quad {

/// The archive the start menu's "Database" compacts: p_nome_database in the data folder
/// p_path_cartella (a relative "SUB_<name>" resolved against the program folder), found without
/// regard to case.
QString archivio_da_compattare(const WorkingState& s);

/// Compacts the archive file with VACUUM on a connection keyed with the first of keys that opens
/// it. SQLite rewrites the file under its journal, so a failure at any point leaves the archive as
/// it was; the file keeps its key and no scratch file is made (a Temp.mdb left in the program
/// folder by an earlier run plays no part). Refuses a missing file (nothing is created) and keys
/// none of which opens it. The compacted file is checked with the key before success is reported.
DbResult compatta_database(const QString& archive, const QList<QByteArray>& keys);
/// The same with one password.
DbResult compatta_database(const QString& archive, const QString& password);

/// Compacts archivio_da_compattare(s) with the key that opens it: the one that opened it this
/// session (s.chiavi_archivi), or the login password.
DbResult compatta_database(const WorkingState& s);

/// The text shown when a compaction failed.
QString messaggio_errore_compattazione(const DbResult& r);

} // namespace quad
