#include "column_mask.h"

namespace quad {

bool campo_sistema(const QString& name)
{
    return name.left(4).toUpper() == QLatin1String("SYS_");
}

QString maschera_colonne(const QString& mask, int count)
{
    QString completa = mask;
    if (completa.size() < count)
        completa += QString(count - completa.size(), QLatin1Char('X'));
    return completa;
}

bool colonna_esclusa(const QString& mask, int index)
{
    return index >= 0 && index < mask.size() && mask.at(index) == QLatin1Char('-');
}

QString applica_scelta_colonne(const QString& mask, const QList<SceltaColonna>& scelte)
{
    int massima = 0;
    for (const SceltaColonna& scelta : scelte)
        massima = std::max(massima, scelta.posizione);
    QString nuova = maschera_colonne(mask, massima);
    for (const SceltaColonna& scelta : scelte) {
        if (scelta.posizione >= 1)
            nuova[scelta.posizione - 1] = scelta.spuntata ? QLatin1Char('X') : QLatin1Char('-');
    }
    return nuova;
}

} // namespace quad
