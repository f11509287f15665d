#pragma once

#include <QObject>

class QKeyEvent;
class QPushButton;
class QWidget;

namespace quad {

class OpenRegister;
class RegisterGrid;

/// What the main window's grid asks of the window around it.
class MainGridHost
{
public:
    virtual ~MainGridHost() = default;
    /// The one-field filter button is pressed.
    virtual bool filtroPremuto() const = 0;
    /// The column mask of the settings ("X" shown, "-" hidden).
    virtual QString mascheraColonne() const = 0;
    /// The column chooser: the clerk picks the columns shown.
    virtual void scegliColonne() = 0;
    /// The switch to the entry mask of a double click on a row (as the tool bar's first button).
    virtual void mostraMaschera() = 0;
    /// After a quick find moved the register: the folder label of the entry found.
    virtual void recordTrovato() = 0;
    /// The focus sink, given the focus before the column chooser opens.
    virtual QWidget* fuoco() const = 0;
    /// The start frame, hidden when the grid is shown.
    virtual QWidget* cornice() const = 0;
    /// The heights of the tool strip above the grid and of the bottom bar below it.
    virtual int altezzaBarre() const = 0;
    virtual int altezzaFondo() const = 0;
};

/// The register grid DataGrid1 of the main window with its column button cmd_colonne: bound to the
/// open register, captioned, its columns shown, hidden and sized as the settings keep them, coloured
/// by the filter, and the quick find of a character typed on a column.
class MainGrid : public QObject
{
    Q_OBJECT
public:
    MainGrid(OpenRegister& registro, MainGridHost& host, QWidget* area);

    RegisterGrid* DataGrid1 = nullptr;
    QPushButton* cmd_colonne = nullptr;

    /// Binds the grid to the register recordset (and keeps grid row and record in step).
    void collega_griglia();
    void scollega_griglia();
    /// Light yellow while the filter button is pressed, white otherwise.
    void colore_griglia_filtro();
    void imposta_intestazioni_griglia();
    /// Places and shows the grid under the tool bars and hides the start frame.
    void imposta_colonne_griglia();
    /// Sizes the grid to the window: below the tool bars, above the bottom bar, full width.
    void posiziona_griglia();
    void carica_colonne_griglia();
    void salva_larghezza_colonne();
    void DataGrid1_DblClick();
    void DataGrid1_ColResize(int ColIndex);
    /// A click on a column header: that column becomes the current cell's, in the current row.
    void DataGrid1_HeadClick(int ColIndex);
    void cmd_colonne_Click();
    /// A typed character in the grid opens the quick find on the current column; true when it
    /// did (the key is then used up).
    bool DataGrid1_KeyDown(QKeyEvent* event);

private:
    OpenRegister& m_registro;
    MainGridHost& m_host;
    QWidget* m_area;
};

} // namespace quad
