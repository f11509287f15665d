#include "print_sheet.h"

#include "morva_print.h"

namespace quad {

CellGrid::CellGrid(int columns, int lines)
    : m_lines(lines)
    , m_cells(size_t(columns), std::vector<QString>(size_t(lines)))
{
}

void CellGrid::clear()
{
    for (auto& column : m_cells)
        for (QString& cell : column)
            cell.clear();
}

TableColumns TableColumns::fromWidths(const std::vector<int>& widths, const QStringList& captions)
{
    TableColumns t;
    t.width = widths;
    t.caption = captions;
    float x = 1;
    for (int w : widths) {
        t.x.push_back(x);
        x += float(w);
    }
    return t;
}

PrintSheet::PrintSheet(std::shared_ptr<MorvaPrint> printer)
    : m_printer(std::move(printer))
{
}

void PrintSheet::imposta_pagina_stampa(int orientation, float margin)
{
    MorvaPrint& p = *m_printer;
    p.setPrintQuality(-4);
    p.setColorMode(1);
    p.setPaperSize(9);
    p.setFontBold(false);
    if (orientation == 0)
        p.setOrientation(1);
    else if (orientation == 1)
        p.setOrientation(2);
    m_margine_stampa = margin;
    m_larghezza_stampa = p.PageWidth() - margin - m_margine_stampa;
}

void PrintSheet::carattere_stampa(int size)
{
    MorvaPrint& p = *m_printer;
    p.setFontItalic(false);
    p.setFontBold(false);
    p.setFontSize(size);
    p.setFontName(QStringLiteral("New Times Romans"));
}

void PrintSheet::stampa_intestazione(const TableColumns& columns)
{
    MorvaPrint& p = *m_printer;
    carattere_stampa(12);

    p.setDrawWidth(3);
    float rounded = 1;
    p.PrintShape(m_margine_stampa, 18, m_larghezza_stampa, 180, rounded);
    p.setDrawWidth(2);
    float flat = 0;
    p.PrintShape(m_margine_stampa, 24, m_larghezza_stampa, 0, flat);
    p.setDrawStyle(2);
    for (size_t i = 1; i < columns.x.size(); ++i) {
        flat = 0;
        p.PrintShape(m_margine_stampa + columns.x[i] - 1, 18, 0, 180, flat);
    }

    carattere_stampa(10);
    for (size_t i = 0; i < columns.x.size(); ++i) {
        QString caption = columns.caption.value(int(i));
        if (i == 0)
            p.PrintLeft(m_margine_stampa + columns.x[i], 19, caption, 0, 0);
        else
            p.PrintCentre(m_margine_stampa + columns.x[i] + float(columns.width[i]) / 2, 19, caption, 0);
    }
}

void PrintSheet::stampa_cella(const QString& text, int width, CellGrid& grid, int c) const
{
    const QStringList words = text.split(QLatin1Char(' '));
    QString line;
    int n = 0;
    for (const QString& word : words) {
        const QString candidate = line + QLatin1Char(' ') + word;
        if (m_printer->TextWidth(candidate) > float(width)) {
            grid.at(c, n) = line;
            line = word + QLatin1Char(' ');
            if (++n >= grid.lines())
                return; // the words that no longer fit are dropped
        } else {
            line += word + QLatin1Char(' ');
        }
    }
    grid.at(c, n) = line;
}

void PrintSheet::chiudi_stampa()
{
    m_printer->EndDoc();
}

} // namespace quad
