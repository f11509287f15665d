#include "column_designer.h"

#include <cmath>

namespace quad {

PrintColumnWidths::PrintColumnWidths(int fieldCount, long scaleWidth)
    : m_widths(size_t(fieldCount > 0 ? fieldCount : 0), fieldCount > 0 ? scaleWidth / fieldCount : 0)
    , m_scaleWidth(scaleWidth)
{
}

void PrintColumnWidths::ribilancia()
{
    if (m_widths.empty())
        return;
    long total = 0;
    for (long w : m_widths)
        total += w;
    m_widths.back() += m_scaleWidth - total;
}

void PrintColumnWidths::ridimensiona(int column, long width)
{
    if (column < 0 || column >= count())
        return;
    m_widths[size_t(column)] = width;
    ribilancia();
}

bool PrintColumnWidths::rimuovi(int column)
{
    if (column <= 0 || column >= count())
        return false;
    m_widths.erase(m_widths.begin() + column);
    ribilancia();
    return true;
}

int PrintColumnWidths::millimetri(long twips)
{
    return int(std::floor(double(twips) / 567.0 * 10.0));
}

} // namespace quad
