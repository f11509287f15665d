#pragma once

#include "database.h"
#include "recordset.h"

#include <QString>

#include <memory>

class QTableView;

namespace quad {

/// What the search dialog, the one-field filter and its release ask of the window whose register
/// they work on (the main window, the folder window). The dialog holds no data of its own: it
/// moves the caller's current record, sets or drops the caller's filter and has the caller show
/// the outcome on its grid, filter button and status line.
///
/// The dialog asks registro() afresh at every step, because rileggi_registro() may put a new
/// recordset in place.
class SearchCaller
{
public:
    virtual ~SearchCaller() = default;

    /// The caller's mark written into the dialog's Label3: "Quadernolo" for the main window,
    /// "Form_tree" for the folder window. Any mark other than "Quadernolo" is taken for the
    /// folder window (its field list leaves out the fields beginning with "SYS").
    virtual QString nome_chiamante() const = 0;

    /// The register recordset that is searched and filtered; null when none is open.
    virtual std::shared_ptr<Recordset> registro() const = 0;

    /// The grid showing the register (the dialog places itself against its height).
    virtual QTableView* griglia() const = 0;

    /// Title of the message shown when no row passes a filter: "Quadernolo" / "frm_tree".
    virtual QString titolo_messaggi() const = 0;

    /// Shows the filter state on the caller's filter button: pressed with "Filtro off" /
    /// "Disattiva filtro", or released with "Filtro on" / "Imposta filtro" (caption and tool tip
    /// always match the state), and the grid colour where the caller colours its grid.
    virtual void imposta_pulsante_filtro(bool premuto) = 0;

    /// Writes the caller's count of rows and filter mark (nothing where the caller has none).
    virtual void aggiorna_totale() { }

    /// Reads the register again after its filter was dropped (the data control's Refresh). The
    /// error, when any, has been shown by the caller.
    virtual DbResult rileggi_registro() = 0;

    /// Lays the grid out again after the register was read again: captions, stored widths and
    /// hidden columns, as the caller lays it out when it shows it.
    virtual void ridisponi_griglia() = 0;

    /// Before the filter is dropped: deals with pending changes of the current entry (saving
    /// them, or reporting why not). False stops the release.
    virtual bool verifica_modifiche() { return true; }

    /// After a find moved the current record (the main window refreshes its folder label).
    virtual void record_trovato() { }
};

/// A form that hands itself to the search dialog through its Caller property, with a source
/// recordset of its own: "frmtree" shows users, groups and their relations in a tree beside a
/// grid, "frmtables" one table of users or groups in a grid. The program's own windows use
/// SearchCaller instead; these forms are met only through this interface.
class CallerForm
{
public:
    virtual ~CallerForm() = default;

    /// The form's name; "frmtree" and "frmtables", in any case, are prepared for.
    virtual QString Name() const = 0;
    /// The criteria of the form's last search, as BuildFilterFromString reads them.
    virtual QString LastFilter() const = 0;

    // --- "frmtree" ------------------------------------------------------------------------
    /// What the grid shows: 0 users, 1 groups, 2 every relation with its user and group.
    virtual int GridViewMode() const { return 0; }
    /// The database of users, groups and relations that the source recordset is read from.
    virtual std::shared_ptr<Connection> SourceConnection() const { return nullptr; }
    /// Switches off the form's file tool bar (tbFile).
    virtual void DisableTbFile() { }
    /// Selects the tree's node with this key as a click on it does; in the users view also
    /// names the user's field and its value.
    virtual void MakeNodeClick(const QString& nodeKey, const QString& fieldName, const QVariant& value) { }
    /// The recordset of the form's grid (its data control Adodc).
    virtual std::shared_ptr<Recordset> Adodc() const { return nullptr; }

    // --- "frmtables" ----------------------------------------------------------------------
    /// The table shown: 1 groups, any other value users.
    virtual int TableType() const { return 0; }
    /// The form's table (DatPrimaryRs): the dialog's source recordset.
    virtual std::shared_ptr<Recordset> DatPrimaryRs() const { return nullptr; }
    /// Adds a row to the rows selected in the form's grid (Grid.SelBookmarks).
    virtual void SelBookmarksAdd(Bookmark bookmark) { }
};

} // namespace quad
