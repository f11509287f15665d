#include "grid_widths.h"

#include "my_func.h"
#include "program_folder.h"

#include <QStringList>

#include <limits>

namespace quad {

GridWidthStore::GridWidthStore(QString section, QString key, Reading reading)
    : m_iniSection(std::move(section))
    , m_iniKey(std::move(key))
    , m_reading(reading)
{
}

std::vector<std::optional<int>> GridWidthStore::load() const
{
    const QString testo = leggi_ini(iniPath(), m_iniSection, m_iniKey, QString());
    std::vector<std::optional<int>> larghezze;
    if (testo.trimmed().isEmpty())
        return larghezze;
    QStringList parti = testo.split(QLatin1Char('_'));
    // The text ends with "_": its last piece is empty and not a width.
    parti.removeLast();
    for (const QString& parte : parti) {
        bool ok = false;
        std::optional<int> twips;
        if (m_reading == Reading::Whole) {
            const int letto = parte.trimmed().toInt(&ok);
            if (ok && letto >= 0)
                twips = letto;
        } else {
            const double letto = parte.trimmed().toDouble(&ok);
            // A width beyond any whole number of twips is no width.
            if (ok && letto >= 0 && letto <= std::numeric_limits<int>::max())
                twips = int(letto);
        }
        larghezze.push_back(twips);
    }
    return larghezze;
}

bool GridWidthStore::save(const std::vector<int>& twips, QString* error) const
{
    QString testo;
    for (int larghezza : twips)
        testo += QString::number(larghezza) + QLatin1Char('_');
    return scrivi_ini(iniPath(), m_iniSection, m_iniKey, testo, error) != 0;
}

} // namespace quad
