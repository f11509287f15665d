#pragma once

#include "database.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace quad {

/// The entries filed under a folder, one row per link and correspondent: every column of
/// sys_rela_tree (five of them), then of entrata, then of Mittenti. At the root (key
/// "FASCICOLI") every link of every folder; otherwise the links of the folder and of its
/// subfolders, or of the folder alone when soloLivello is set. The key is bound into params.
QString query_nodo(const QString& key, bool soloLivello, QVariantList* params);

/// Why a filing is refused when its folder is no longer in the archive.
inline const QString kFascicoloEliminato
    = QStringLiteral("Il fascicolo scelto non è più in archivio: un altro utente lo ha eliminato.");

/// Files entry numero of direction tipo under the folder key: writes the link row and the
/// entry's sys_nodo (the folder's full path) in one transaction; nothing is written on failure.
/// A folder no longer stored is refused with DbError::NotFound (kFascicoloEliminato).
DbResult archivia_scheda(Connection& db, const QString& key, qint64 numero, const QString& tipo,
                         const QString& percorso);

/// Removes exactly the link row idLink and empties sys_nodo of entry numero, in one
/// transaction. A link that is no longer there is an error and nothing is written.
DbResult scollega_scheda(Connection& db, qint64 idLink, qint64 numero);

/// The captions of the folders entry numero of direction tipo is filed in, one per link in
/// filing order (a folder filed twice shows twice; a link whose folder is gone shows nothing).
QStringList nodi_della_scheda(Connection& db, qint64 numero, const QString& tipo, DbResult* error);

/// The text of the folder list: a heading and one " --caption" line per folder.
QString testo_elenco_nodi(const QStringList& captions);

} // namespace quad
