#pragma once

#include "database.h"

#include <QString>

namespace quad {

/// Field codes of salva_oggetto.
enum CampoCorrezione { CampoOggetto = 1 };

/// Writes one field of the stored entry numero straight into the archive, bypassing whatever
/// is pending in the register: campo 1 (CampoOggetto) writes Oggetto; any other code writes
/// nothing. Only that row changes. An entry that is not in the archive writes nothing and is
/// no error; a failed write changes nothing and returns why.
DbResult salva_oggetto(Connection& archive, qint64 numero, int campo, const QString& valore);

} // namespace quad
