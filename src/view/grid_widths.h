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
    /// How a stored piece is read. Whole: a whole number of twips (the main grid). Decimal: any
    /// number up to the largest whole number, its whole twips (the folder window).
    enum class Reading { Whole, Decimal };

    GridWidthStore(QString section, QString key, Reading reading);

    /// The stored widths in twips, one per stored piece (the empty piece after the last "_" is
    /// not a width); a piece that does not read as a width, or is negative, is std::nullopt.
    /// Empty when nothing (or only blanks) is stored.
    std::vector<std::optional<int>> load() const;

    /// Writes the widths, given in twips. False, with the cause in *error, when the settings file
    /// could not be written.
    bool save(const std::vector<int>& twips, QString* error) const;

private:
    QString m_iniSection;
    QString m_iniKey;
    Reading m_reading;
};

} // namespace quad
