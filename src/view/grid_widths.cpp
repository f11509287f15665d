#include "grid_widths.h"

#include "my_func.h"
#include "program_folder.h"

#include <QStringList>

namespace quad {

namespace {

constexpr int kTwipsPerPixel = 15;

/// Twips to the nearest pixel, halves away from zero's side as the window layout rounds them.
int nearestPixel(int twips)
{
    return twips >= 0 ? (twips + 7) / kTwipsPerPixel : -((-twips + 7) / kTwipsPerPixel);
}

} // namespace

GridWidthStore::GridWidthStore(QString section, QString key, Reading reading)
    : m_section(std::move(section))
    , m_key(std::move(key))
    , m_reading(reading)
{
}

std::vector<std::optional<GridWidthStore::Width>> GridWidthStore::load() const
{
    const QString testo = leggi_ini(iniPath(), m_section, m_key, QString());
    std::vector<std::optional<Width>> larghezze;
    if (testo.trimmed().isEmpty())
        return larghezze;
    QStringList parti = testo.split(QLatin1Char('_'));
    // The text ends with "_": its last piece is empty and not a width.
    parti.removeLast();
    for (const QString& parte : parti) {
        bool ok = false;
        std::optional<Width> larghezza;
        if (m_reading == Reading::Whole) {
            const int twips = parte.trimmed().toInt(&ok);
            if (ok && twips >= 0)
                larghezza = Width {twips, nearestPixel(twips)};
        } else {
            const double twips = parte.trimmed().toDouble(&ok);
            if (ok && twips >= 0)
                larghezza = Width {int(twips), int(twips) / kTwipsPerPixel};
        }
        larghezze.push_back(larghezza);
    }
    return larghezze;
}

bool GridWidthStore::save(const std::vector<int>& twips, QString* error) const
{
    QString testo;
    for (int larghezza : twips)
        testo += QString::number(larghezza) + QLatin1Char('_');
    return scrivi_ini(iniPath(), m_section, m_key, testo, error) != 0;
}

} // namespace quad
