#pragma once

#include "recordset.h"

#include <QModelIndex>
#include <QObject>
#include <QRect>

#include <vector>

class QEvent;
class QKeyEvent;
class QPushButton;
class QTableView;
class QWidget;

namespace quad {

class OpenRegister;
class RegisterGrid;
struct RegisterSettings;

/// The register grid DataGrid1 of the register's window with its column button cmd_colonne: bound
/// to the open register, captioned, its columns shown, hidden and sized as the settings keep them
/// (the column chooser writes the settings' mask), coloured by the filter, and the quick find of a
/// character typed on a column. It tells a double click on a row and an entry found by the quick
/// find; the focus goes to the focus sink before the column chooser opens.
class MainGrid : public QObject
{
    Q_OBJECT
public:
    MainGrid(OpenRegister& registro, RegisterSettings& impostazioni, QWidget* fuoco, QWidget* area);

    /// The grid, as the search dialog sees it.
    QTableView* vista() const;
    /// True unless the grid is hidden.
    bool visibile() const;
    QRect geometria() const;
    /// The current cell.
    QModelIndex cella_corrente() const;
    /// Bookmarks of the rows selected, in the order of the selection.
    std::vector<Bookmark> righe_scelte() const;

    /// Binds the grid to the register recordset (and keeps grid row and record in step).
    void collega_griglia();
    void scollega_griglia();
    /// Light yellow while the filter button is pressed, white otherwise.
    void colore_griglia_filtro(bool premuto);
    void imposta_intestazioni_griglia();
    /// Sizes the grid to its area: below the tool bars (barra high), above the bottom bar (fondo
    /// high), full width.
    void posiziona_griglia(int barra, int fondo);
    /// The grid shown, with its column button at its top left corner, scostamento inside it.
    void mostra(int scostamento);
    /// The grid and its column button hidden.
    void nascondi();
    void carica_colonne_griglia();
    void salva_larghezza_colonne();
    void DataGrid1_ColResize(int ColIndex);
    /// A click on a column header: that column becomes the current cell's, in the current row.
    void DataGrid1_HeadClick(int ColIndex);
    /// The column chooser, then the columns built again from the recordset.
    void cmd_colonne_Click();
    /// A typed character in the grid opens the quick find on the current column; true when it
    /// did (the key is then used up).
    bool DataGrid1_KeyDown(QKeyEvent* event);

signals:
    /// A double click on a row: its record is the current one.
    void DataGrid1_DblClick();
    /// The quick find moved the register to the entry found.
    void record_trovato();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OpenRegister& m_registro;
    RegisterSettings& m_impostazioni;
    QWidget* m_fuoco;
    RegisterGrid* DataGrid1 = nullptr;
    QPushButton* cmd_colonne = nullptr;
};

} // namespace quad
