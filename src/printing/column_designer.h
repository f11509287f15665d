#pragma once

#include <vector>

namespace quad {

/// The column widths of the print column designer, in twips (567 to a centimetre). The widths
/// always add up to the printable width: the last column takes up what the others leave.
class PrintColumnWidths
{
public:
    /// fieldCount columns of equal width (the integer part of scaleWidth / fieldCount).
    PrintColumnWidths(int fieldCount, long scaleWidth);

    const std::vector<long>& widths() const { return m_widths; }
    long scaleWidth() const { return m_scaleWidth; }
    int count() const { return int(m_widths.size()); }

    /// Gives column a new width; the last column is then rebalanced.
    void ridimensiona(int column, long width);
    /// Removes a column and gives its width to the last one. The first column stays: false
    /// (nothing changed) for column 0 or an index out of range.
    bool rimuovi(int column);
    /// A width in twips as whole millimetres (the integer part).
    static int millimetri(long twips);

private:
    void ribilancia();

    std::vector<long> m_widths;
    long m_scaleWidth;
};

} // namespace quad
