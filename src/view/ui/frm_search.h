#pragma once

#include "calendar_popup.h"
#include "database.h"

#include <QDialog>
#include <QVariant>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableView;
class QWidget;

namespace quad {

/// Window heights, in twips, of the search dialog's two modes.
constexpr int kSearchSimpleHeight = 1620;
constexpr int kSearchAdvancedHeight = 6735;

class CallerForm;
class CriteriaModel;
class Recordset;
class SearchCaller;
struct EsitoPannello;
struct RigaCriterio;

/// The search dialog "Ricerche" over the register of the window that opens it. Simple mode
/// finds a row by one field ("Trova primo", "Trova Successivo"); advanced mode ("Ricerche
/// avanzate") builds a list of criteria, by hand in the criteria grid or through the range
/// panels, and sets them as the register's filter. It holds no data of its own: it moves the
/// caller's current record, sets or drops the caller's filter, and has the caller show the
/// outcome on its grid, filter button and status line.
///
/// Opening: the dialog writes the caller's mark into Label3 ("Quadernolo" or "Form_tree"); the
/// caller runs InitSearch and shows it modally (apri_frm_search does both).
class frmSearch : public QDialog
{
    Q_OBJECT
public:
    frmSearch(SearchCaller& caller, QWidget* parent);
    ~frmSearch() override;

    // --- frame ----------------------------------------------------------------------------
    /// Fills the field list (the folder window's without its "SYS" fields) and prepares an
    /// empty criteria list. Never fails: a step that cannot run is skipped.
    void InitSearch();
    void cmdFindFirst_Click();
    void cmdFindNext_Click();
    void cmdClose_Click();
    void cmd_avanzate_Click();
    void txtFieldValue_Change();
    void cmdExecAdvSearch_Click();
    /// True in advanced mode.
    bool modo_avanzato() const;

    // --- simple find ----------------------------------------------------------------------
    void DoSearch(bool FirstSearch);
    QVariant CurrentBookMark() const { return m_currentBookMark; }
    /// Stores the bookmark; in simple mode a bookmark above 0 enables "Trova Successivo" and
    /// makes it the default button, any other value disables it and makes "Trova primo" the
    /// default.
    void setCurrentBookMark(const QVariant& value);
    QString CurrentTable() const { return m_currentTable; }
    void setCurrentTable(const QString& value) { m_currentTable = value; }
    QString CurrentDb() const { return m_currentDb; }
    void setCurrentDb(const QString& value) { m_currentDb = value; }

    // --- range panels ---------------------------------------------------------------------
    void cmd_imp_search_Click(int Index);
    void cmd_data_Click(int Index);
    void CalendarVB1_DateDblClick();

    // --- criteria grid --------------------------------------------------------------------
    /// A new, empty criteria list bound to the grid.
    void PrepareADVSearch();
    void FillAdvFieldsList();
    void FillAdvOperatorsList(const QString& strF);
    /// Opens the drop-down list of column ColIndex (0 join, 1 field, 2 operator) under the
    /// current cell.
    void gridFilter_ButtonClick(int ColIndex);
    /// Writes the selected item of the open list into the current cell; on the new-row line
    /// it starts a criterion first.
    void lstDropDown_DblClick();
    /// The check of the value typed into column ColIndex of row, the row that was edited
    /// (the current cell may have moved on since): only the value column is checked, and a
    /// refused value is emptied and its cell takes the caret again.
    void gridFilter_AfterColUpdate(int ColIndex, int row);
    /// A criterion started from the new-row line: a row joined with " e " whose join cell
    /// becomes current.
    void gridFilter_OnAddNew();
    /// Insert adds a row joined with " e "; Delete removes the selected rows.
    void gridFilter_KeyUp(int KeyCode);

    // --- advanced filter ------------------------------------------------------------------
    void DoAdvSearch();
    /// Appends criteria rows read from a text (rows at carriage returns, cells at tabs).
    void BuildFilterFromString(const QString& strString);
    /// The calling form, when one was given this way (the windows of this program use Label3).
    CallerForm* Caller() const { return m_callerForm; }
    /// Stores the calling form and prepares the dialog for it. A "frmtree" or "frmtables"
    /// form gets its last criteria in the list and its source recordset (a "frmtree" form's is
    /// read from its database by its view mode; a "frmtables" form's is its table); the field
    /// list holds the source's searchable fields, "SYS_" ones left out, each with its kind
    /// ("NOME [testo]"), on "NOME" or, for groups, "GRUPPO". Any form: "Tutto" and the first
    /// search kind chosen, the focus in the value box. A source that cannot be read is
    /// returned, the field list then stays empty.
    DbResult setCaller(CallerForm* form);
    /// The rows of the calling form that the dialog works on; null when none.
    std::shared_ptr<Recordset> SourceRecordset() const { return m_sorgente; }
    /// The move handler of the criteria data control over pRecordset: its caption counts the
    /// rows ("Totale : 4 records trovati."); a move to the first, next, previous or last row
    /// (reasons 12 to 15) also keeps the calling form in step: a "frmtree" form gets the
    /// row's node clicked and its grid moved to the row's user or group, a "frmtables" form
    /// gets the row selected in its grid and its table moved to it. Errors are ignored.
    void adodcAdvSearch_MoveComplete(int adReason, Recordset* pRecordset);

    /// The criteria rows as they stand, in list order.
    QList<RigaCriterio> righe_criteri() const;
    std::shared_ptr<Recordset> RsFilter() const { return m_rsFilter; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Escape closes an open list or the calendar, never the dialog: the criteria stay.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void creaControlli();
    void creaPannello();
    void creaCriteri();
    void collegaSegnali();
    /// The range panel in place of the criteria frame.
    void ShowRangePanel();
    /// The criteria frame back in place of the range panel.
    void chiudi_pannello();
    void aggiungi_righe(const QList<RigaCriterio>& righe);
    /// The date box's calendar, in the dates panel only.
    void apri_calendario(QLineEdit* box);
    void SetDateFromCalendar();
    /// Writes a cell of the criteria list; storing a field empties the row's operator.
    void scrivi_cella(int row, int column, const QVariant& value);
    /// A value typed into the criteria grid: written and checked on its own row.
    void valore_digitato(int row, int column, const QString& text);
    /// Appends a criteria row joined with " e ", its other cells Null.
    void aggiungi_riga_vuota();
    /// Makes a cell current (and opens its editor) once the grid has finished the edit or the
    /// move under way.
    void rendi_corrente(int row, int column, bool modifica);
    void lstDropDown_KeyDown(int KeyCode);
    void lstDropDown_KeyUp(int KeyCode);
    void gridFilter_RowColChange();
    /// The controls of advanced mode in use (the range buttons, the criteria and the range panel)
    /// or not: in simple mode they lie below the window's edge, where no key may reach them.
    void abilita_avanzate(bool abilitati);
    /// Places the dialog against the height of the caller's grid.
    void posiziona(int altezzaTwips);
    /// The state of the criteria frame after a filter that could not be set.
    void criteri_non_validi();
    /// The status line under the criteria grid shows testo; an empty one is not shown.
    void mostra_stato(const QString& testo);

    // --- controls -------------------------------------------------------------------------
    QLabel* lblFields = nullptr;
    QComboBox* cmbFields = nullptr;
    QLabel* lblValue = nullptr;
    QLineEdit* txtFieldValue = nullptr;
    QPushButton* cmdFindFirst = nullptr;
    QPushButton* cmdFindNext = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmd_avanzate = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cmbSearchDirection = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cmbSearchType = nullptr;
    QCheckBox* chkCaseSensitive = nullptr;
    QCheckBox* chkAdvSearch = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmd_focus = nullptr;
    QFrame* Frame1 = nullptr;
    std::vector<QPushButton*> cmd_imp_search; ///< 0..4
    QGroupBox* frAdvSearch = nullptr;
    QTableView* gridFilter = nullptr;
    QListWidget* lstDropDown = nullptr;
    QLabel* adodcAdvSearch = nullptr; ///< the status bar under the criteria grid
    QPushButton* cmdExecAdvSearch = nullptr;
    QPushButton* cmdFilterSourceRecordset = nullptr;
    QGroupBox* frame_date = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txt_data_1 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txt_data_2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QWidget* pic_search = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::vector<QRadioButton*> Option1; ///< 0 "AND", 1 "OR"
    QCheckBox* Check1 = nullptr;
    QLineEdit* txt_ricerca = nullptr;
    CalendarPopup* Frame_calendar = nullptr; ///< with CalendarVB1, lbl_data and Label6
    std::vector<QPushButton*> cmd_data; ///< 0 "Okay", 1 "Annulla"

    /// True while a range panel appends rows: the grid's lists do not open.
    bool p_insdate = false;

    SearchCaller& m_caller;
    std::shared_ptr<Recordset> m_rsFilter;
    CriteriaModel* m_model = nullptr;
    bool bCriteriaBusy = false;
    QVariant m_currentBookMark;
    QString m_currentTable;
    QString m_currentDb;
    CallerForm* m_callerForm = nullptr;
    std::shared_ptr<Recordset> m_sorgente;
    /// The rows' header, and true while rows are picked by it: the current cell moves then
    /// without opening a list.
    QWidget* m_intestazioneRighe = nullptr;
    bool m_righeDaIntestazione = false;
};

/// Opens the search dialog over parent for caller: runs InitSearch and shows it modally. Returns
/// when the dialog has closed.
void apri_frm_search(SearchCaller& caller, QWidget* parent);

} // namespace quad
