#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

namespace quad {

class MorvaPrint;

/// Lines of text per column of a printed row, filled one row at a time. Line indexes run from 0
/// to lines() - 1; nothing is ever written past the last line.
class CellGrid
{
public:
    CellGrid(int columns, int lines);
    int columns() const { return int(m_cells.size()); }
    int lines() const { return m_lines; }
    QString& at(int column, int line) { return m_cells[size_t(column)][size_t(line)]; }
    const QString& at(int column, int line) const { return m_cells[size_t(column)][size_t(line)]; }
    /// Empties every cell.
    void clear();

private:
    int m_lines;
    std::vector<std::vector<QString>> m_cells;
};

/// The columns of a printed table: position of each column (millimetres from the page margin),
/// width and caption.
struct TableColumns
{
    std::vector<float> x;
    std::vector<int> width;
    QStringList caption;

    /// Columns side by side from x = 1, with the given widths and captions.
    static TableColumns fromWidths(const std::vector<int>& widths, const QStringList& captions);
};

/// The page set-up shared by the prints, over the one page-printing object: the margin and the
/// printable width of the last set-up, the table header and the cell wrapping.
class PrintSheet
{
public:
    explicit PrintSheet(std::shared_ptr<MorvaPrint> printer);

    MorvaPrint& printer() const { return *m_printer; }
    float margine_stampa() const { return m_margine_stampa; }
    float larghezza_stampa() const { return m_larghezza_stampa; }

    /// A4, high quality, monochrome, not bold; orientation 0 portrait, 1 landscape (other values
    /// keep the one in force); margin in millimetres, printable width = page width less twice
    /// the margin.
    void imposta_pagina_stampa(int orientation, float margin);
    /// The page header of a table: the rounded frame from 18 mm, the line under the captions at
    /// 24 mm, dotted column separators and the captions at 19 mm (the first left-aligned, the
    /// others centred). Leaves the body font set: "New Times Romans", 10 points, plain.
    void stampa_intestazione(const TableColumns& columns);
    /// Splits text at single blanks into lines no wider than width millimetres (as measured in
    /// the current font) into column c of the grid. Words beyond the grid's last line are
    /// dropped; a first word wider than the column leaves line 0 empty.
    void stampa_cella(const QString& text, int width, CellGrid& grid, int c) const;
    /// Ends the current print job.
    void chiudi_stampa();

    /// Sets the font the prints use: "New Times Romans" at size points, plain.
    void carattere_stampa(int size);

private:
    std::shared_ptr<MorvaPrint> m_printer;
    float m_margine_stampa = 0;
    float m_larghezza_stampa = 0;
};

} // namespace quad
