#pragma once

#include <QList>
#include <QString>

namespace quad {

/// True for a bookkeeping field or column: its name, upper-cased, begins with "SYS_". The grid
/// hides such columns and the column chooser leaves them out.
bool campo_sistema(const QString& name);

/// The column mask with at least count positions: the positions it lacks are "X" (shown).
QString maschera_colonne(const QString& mask, int count);

/// True when the mask hides column index (0-based): its character index + 1 is "-".
bool colonna_esclusa(const QString& mask, int index);

/// One entry of the column chooser: the field's position counted from 1, and whether it is ticked.
struct SceltaColonna
{
    int posizione = 0;
    bool spuntata = false;
};

/// The mask after the chooser's "OK": each listed position becomes "X" when ticked and "-" when
/// not; every other character stays as it was. The mask is first padded with "X" to cover every
/// listed position, and never shortened.
QString applica_scelta_colonne(const QString& mask, const QList<SceltaColonna>& scelte);

} // namespace quad
