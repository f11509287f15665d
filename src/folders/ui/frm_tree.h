#pragma once

#include "database.h"
#include "register_grid.h"

#include <QDialog>

#include <functional>
#include <memory>

class QAction;
class QKeyEvent;
class QLabel;
class QPushButton;
class QTableView;
class QToolBar;

namespace quad {

class DataControl;
class FolderTreePanel;
class Recordset;
class RecordsetModel;

/// The folder window: the folder tree on the left and, on the right, the entries filed under the
/// selected folder (and its subfolders unless the level button is pressed), one row per link and
/// correspondent, with a tool bar to find, filter and sort them and a button to unlink one.
class Frm_tree : public QDialog
{
    Q_OBJECT
public:
    /// connectionString: the archive of the main window's register. registroCambiato runs after
    /// an unlink changed an entry, so that the main window reads its register again.
    Frm_tree(const QString& connectionString, std::function<void()> registroCambiato, QWidget* parent);
    ~Frm_tree() override;

    /// Loads the tree, selects and expands the root, opens the grid on every filed entry. False,
    /// with the grid not opened, when the tree could not be read (the window told why).
    bool Form_Load();
    /// Saves the tree (a failure is shown).
    void Form_Unload();

    void RefreshNodeGrid();
    void BuildNodeQuery();
    void SetGridCaptions();
    void HideSysColumns();
    void SaveGridWidths();
    void LoadGridWidths();
    /// The folder path of the current row in lbl_nodo.
    void Adodc1_MoveComplete();
    /// A typed character opens the quick find on the current column; true when it did.
    bool DataGrid1_KeyDown(QKeyEvent* event);
    void tb_mask_ButtonClick(QAction* Button);
    void FilterBySelectedCell();
    /// 0 ascending, 1 descending.
    void SortBySelectedColumn(int direction);
    void cmd_del_Click();
    void cmd_add_new_Click();
    void TreeView1_NodeClick();
    void DrawSelectedRow() { }

    /// Tool-bar button of the grid by key, or null.
    QAction* pulsante(const QString& key) const;
    std::shared_ptr<Recordset> recordset() const;

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window as the search dialog and the filters see it (its grid, register and filter).
    friend class RegistroFascicolo;

    FolderTreePanel* Picture1 = nullptr; ///< the tree with tool_tree and TreeView1
    QWidget* Picture2 = nullptr; ///< the grid side
    QToolBar* tb_mask = nullptr;
    RegisterGrid* DataGrid1 = nullptr;
    DataControl* Adodc1 = nullptr;
    QWidget* pic_cmd = nullptr;
    QPushButton* cmd_add_new = nullptr;
    QPushButton* cmd_del = nullptr;
    QLabel* lbl_nodo = nullptr;

    void collegaGriglia();
    void rilasciaFiltro();
    /// The column the user selected, or -1.
    int colonnaSelezionata() const;

    std::shared_ptr<Connection> m_db;
    std::function<void()> m_registroCambiato;
    RecordsetModel* m_model = nullptr;
    bool m_scaricato = false;
};

/// Opens the folder window over parent on the archive of connectionString; returns when it closed.
/// A tree that cannot be read is told, and the window does not open.
void apri_frm_tree(QWidget* parent, const QString& connectionString, const std::function<void()>& registroCambiato);

} // namespace quad
