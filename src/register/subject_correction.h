#pragma once

#include "database.h"
#include "entry_store.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace quad {

/// Field codes of salva_oggetto.
enum CampoCorrezione { CampoOggetto = 1 };

/// The stored subject of entry numero into *oggetto; *trovato tells whether the entry is in the
/// archive (*oggetto is left as it was when it is not). A failed read returns why.
DbResult leggi_oggetto(Connection& archive, qint64 numero, QVariant* oggetto, bool* trovato = nullptr);

/// Writes one field of the stored entry numero straight into the archive, bypassing whatever
/// is pending in the register: campo 1 (CampoOggetto) writes Oggetto; any other code writes
/// nothing. Only that row changes. An entry that is not in the archive writes nothing and is
/// no error; a failed write changes nothing and returns why. With letto (the subject the
/// correction started from), a subject another station changed since then is left as it is
/// and goes to *conflicts (see fieldWrite()); the compare and the write are one transaction that
/// holds the archive's write lock from the start.
DbResult salva_oggetto(Connection& archive, qint64 numero, int campo, const QString& valore,
                       const QVariant* letto = nullptr, QList<FieldConflict>* conflicts = nullptr);

} // namespace quad
