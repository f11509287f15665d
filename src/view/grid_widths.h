#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace quad {

/// The column widths of a register grid as the settings file keeps them: every column's width in
/// twips, in column order, each followed by "_" (so the text ends with "_").
class GridWidthStore
{
public:
    /// How a stored piece is read. Whole: a whole number of twips, shown at the nearest pixel
    /// (the main grid). Truncated: any number, its whole twips shown at the pixel below (the
    /// folder window).
    enum class Reading { Whole, Truncated };

    GridWidthStore(QString section, QString key, Reading reading);

    /// One stored width: as stored, in whole twips, and as shown, in pixels.
    struct Width
    {
        int twips = 0;
        int pixels = 0;
    };

    /// The stored widths, one per stored piece (the empty piece after the last "_" is not a
    /// width); a piece that does not read as a width, or is negative, is std::nullopt. Empty when
    /// nothing (or only blanks) is stored.
    std::vector<std::optional<Width>> load() const;

    /// Writes the widths, given in twips. False, with the cause in *error, when the settings file
    /// could not be written.
    bool save(const std::vector<int>& twips, QString* error) const;

private:
    QString m_section;
    QString m_key;
    Reading m_reading;
};

} // namespace quad
