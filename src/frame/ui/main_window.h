#pragma once

#include "database.h"
#include "recordset.h"
#include "working_state.h"

#include <QIcon>
#include <QMainWindow>
#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class QAction;
class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QTableView;
class QTimer;
class QToolBar;
class QToolButton;

namespace quad {

class DataControl;
class FieldBinder;

/// Window positions are designed in twips, 15 to a pixel.
constexpr int tw(int twips)
{
    return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}
/// Pixels back to twips (column widths are stored in twips).
constexpr int toTwips(int pixels)
{
    return pixels * 15;
}

/// The main window: the start frame with its menu, the two views of the open register (grid and
/// entry mask), the tool bars, the pop-up panels, the data controls and the working state.
///
/// Every control is a public member named as the program names it, with that objectName; arrays
/// of controls are vectors indexed as the program indexes them (a slot the program never uses
/// holds nullptr). The handlers are spread over several files by concern: start-up and login,
/// opening the register, the tool bars, the data controls, the register grid and the mask.
class Quadernolo : public QMainWindow
{
    Q_OBJECT
public:
    explicit Quadernolo(QWidget* parent = nullptr);
    ~Quadernolo() override;

    /// The working state every dialog reads and writes.
    WorkingState state;
    WorkingState& workingState() { return state; }

    // --- start frame ----------------------------------------------------------------------
    QGroupBox* Frame1 = nullptr;
    QPushButton* Command1 = nullptr; ///< "ARCHIVIO": opens the register
    QLabel* Img_logo = nullptr;
    QWidget* Picture5 = nullptr;
    QPushButton* cmd_entrata = nullptr;
    QPushButton* cmd_uscita = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* frm_menu = nullptr;
    std::vector<QToolButton*> cmd_menu; ///< 0..5, nullptr at 2
    QPushButton* cmd_focus = nullptr; ///< focus sink, out of sight
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QPushButton* cmd_scroll = nullptr;

    // --- tool bars ------------------------------------------------------------------------
    QWidget* pic_tool_orizz = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QToolBar* Toolbar2 = nullptr;
    /// Images of both tool bars, 1-based as the buttons address them (index 0 unused).
    std::vector<QIcon> ImageList1;
    QStringList ImageList1Keys; ///< keys, same indexes
    std::vector<QIcon> ImageList2;
    QComboBox* ImageCombo1 = nullptr;
    /// Tool-bar button by its 1-based index, or nullptr.
    QAction* Toolbar1_Buttons(int index) const;
    QAction* Toolbar2_Buttons(int index) const;
    /// Tool-bar button (of either bar) by key, or nullptr.
    QAction* toolbarButton(const QString& key) const;

    // --- pop-ups and status ---------------------------------------------------------------
    QWidget* Picture4 = nullptr; ///< new-entry pop-up
    std::vector<QPushButton*> cmd_ins; ///< 0 "ENTRATA", 1 "USCITA"
    QWidget* Picture1 = nullptr; ///< print pop-up
    std::vector<QPushButton*> cmd_print; ///< 0..3
    QWidget* pic_move = nullptr; ///< record navigation strip of the mask view
    std::vector<QPushButton*> cmd_move; ///< 0..3
    QLabel* lbl_filtro = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLabel* lbl_sub_arch = nullptr;
    QFrame* frm_label = nullptr;
    QLabel* lbl_storico = nullptr;
    QLabel* lbl_msg = nullptr;
    QListWidget* list_elenco = nullptr;
    QListWidget* list_view = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command3 = nullptr;
    QComboBox* Combo1 = nullptr;

    // --- register grid --------------------------------------------------------------------
    QTableView* DataGrid1 = nullptr;
    QPushButton* cmd_colonne = nullptr;

    // --- address-book panel ---------------------------------------------------------------
    QWidget* Pic_nomi = nullptr;
    QWidget* Picture3 = nullptr;
    QPushButton* cmd_mod_nomi = nullptr;
    QPushButton* cmd_del_nomi = nullptr;
    QTableView* DataGridAC = nullptr;
    /// The name completion control; the address-book code installs it.
    QWidget* AXDbAutoComplete1 = nullptr;

    // --- entry mask -----------------------------------------------------------------------
    QWidget* Pic_mask = nullptr; ///< viewport of the mask
    QPushButton* cmd_scroll_1 = nullptr;
    QScrollBar* VScroll2 = nullptr;
    QScrollBar* HScroll2 = nullptr;
    QFrame* Frm_mask = nullptr; ///< the mask itself
    std::vector<QLineEdit*> txt_mask1; ///< 0..26
    std::vector<QLabel*> lbl_mask1; ///< 0..25 (26 has no label)
    QCheckBox* Check1 = nullptr; ///< Annullato
    QGroupBox* Frame6 = nullptr;
    QCheckBox* Check2 = nullptr; ///< "Riservato"
    QFrame* Frame2 = nullptr; ///< header strip of the mask
    QPushButton* cmd_tree = nullptr;
    QLabel* lbl_filtro_ins = nullptr;
    QLabel* lbl_modo = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* Frame_annullato = nullptr;
    QPushButton* cmd_annullato = nullptr;
    QLabel* Label4 = nullptr;
    QFrame* frame_annulla = nullptr;
    QPushButton* cmd_annulla = nullptr;
    QFrame* Frame_new_ins = nullptr;
    std::vector<QPushButton*> cmd_new_ins; ///< 0 "Conferma ed Esci", 1 "Annulla"
    std::vector<QWidget*> Picture2; ///< only index 2 exists
    std::vector<QPushButton*> cmd_mitt; ///< 0..2
    QPushButton* cmd_altri = nullptr;
    QLabel* lbl_numero = nullptr;
    QLabel* lbl_nodo = nullptr;
    std::vector<QLabel*> picOpenWWW; ///< 0..2, images beside the link box
    QLabel* Image1 = nullptr; ///< preview of the linked picture
    QFrame* Frame_calendar = nullptr;
    QCalendarWidget* CalendarVB1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lbl_data = nullptr;
    std::vector<QFrame*> Shape1; ///< the mask's three separator lines

    // --- data controls and timers ---------------------------------------------------------
    DataControl* Adodc1 = nullptr; ///< register: entrata joined with Mittenti
    DataControl* ado_mittenti = nullptr; ///< correspondents of the current entry
    DataControl* Ado_nomi = nullptr; ///< address book
    QTimer* Timer1 = nullptr; ///< polls for received notifications
    QTimer* Timer2 = nullptr; ///< ticks without an action
    /// Shows the fields of the data controls in the mask's boxes.
    FieldBinder* binder = nullptr;

    /// The register query of Adodc1.
    static QString registerQuery();

    // --- start-up and login (startup.cpp) -------------------------------------------------
    /// The start sequence: logo, settings, login (three attempts), historical archives, start
    /// menu. False when the login failed and the program was ended.
    bool Form_Load();
    /// Copies the template to the live archive when that is missing.
    void percorso_arch_base();
    /// True when the live archive opens with p_password.
    bool prova_apertura_archivio();
    /// Lists the SUB_ folders of the program folder into p_sub_use / p_sub_dir.
    void raccogli_archivi_storici();
    /// Shows the login dialog once; p_password changes only on OK.
    void mostra_login();
    /// Ends the program. Tests override it to observe the end instead.
    virtual void termina_programma();
    bool terminato() const { return m_terminato; }

    // --- opening the register (archive_open.cpp) ------------------------------------------
    void Command1_Click();
    /// True when the archive of p_path_cartella (the program folder when empty) exists or the
    /// clerk located it.
    bool verifica_archivio();
    bool scegli_cartella_archivio();
    /// The full path of a file the clerk picks, or "" when cancelled.
    QString scegli_file_collegamento();
    void imposta_modo_storico();
    void carica_elenco();
    /// The archive file of a data folder as stored in p_path_cartella.
    QString percorso_archivio(const QString& cartella) const;

    // --- start menu and tool bars (toolbar_dispatch.cpp) ----------------------------------
    void cmd_menu_Click(int Index);
    void Toolbar1_ButtonClick(QAction* Button);
    void Toolbar2_ButtonClick(QAction* Button);
    void avviso_inserimento_in_corso();
    /// The two sides of the tb_modo switch: the mask view and the grid view of the register.
    void vista_maschera();
    void vista_griglia();
    /// The pending-changes check made before every tool-bar action.
    void verifica_modifiche_in_sospeso();
    /// Leaves the register for the start menu.
    void ripristina_menu();
    void Timer1_Timer();
    bool registro_aperto() const;

    // --- data controls and binding (data_controls.cpp) ------------------------------------
    void collega_campi_maschera();
    void collega_campi_corrispondente();
    void carica_corrispondenti(const QVariant& numero);
    void scollega_maschera();
    void chiudi_origini_dati();
    void Adodc1_MoveComplete();
    void Adodc1_WillMove();
    void Adodc1_RecordChangeComplete(ChangeReason adReason, EventStatus* adStatus);
    void ado_mittenti_RecordChangeComplete(ChangeReason adReason, EventStatus* adStatus);
    void Ado_nomi_RecordChangeComplete(ChangeReason adReason, EventStatus* adStatus);
    void Adodc1_Error(const DbResult& error);
    /// Records in the register recordset (0 when it is not open).
    int conta_schede() const;

    // --- register grid (view/ui/register_grid.cpp) ----------------------------------------
    void colore_griglia_filtro();
    void aggiorna_totale_schede();
    void imposta_intestazioni_griglia();
    void imposta_colonne_griglia();
    void carica_colonne_griglia();
    void salva_larghezza_colonne();
    void DataGrid1_DblClick();
    void DataGrid1_ColResize(int ColIndex);
    void cmd_colonne_Click();
    /// Binds the grid to the register recordset (and keeps grid row and record in step).
    void collega_griglia();
    void scollega_griglia();

    // --- entry display (mask_view.cpp) ----------------------------------------------------
    void disponi_maschera();
    void mostra_annullato();
    void blocca_maschera();

    // --- mask box events (mask_events.cpp; the mask's rules fill them in) -----------------
    /// Return true to swallow the key.
    virtual bool txt_mask1_KeyDown(int Index, QKeyEvent* event);
    virtual bool txt_mask1_KeyPress(int Index, QKeyEvent* event);
    virtual void txt_mask1_GotFocus(int Index);
    virtual void txt_mask1_LostFocus(int Index);
    virtual void txt_mask1_Change(int Index);
    /// Return false to keep the focus in the box.
    virtual bool txt_mask1_Validate(int Index);

    // --- actions other windows supply (hooks.cpp); they do nothing until wired ------------
    virtual void apri_impostazioni();
    virtual void compatta_archivi();
    virtual void apri_ricerca();
    virtual void apri_fascicoli();
    virtual void apri_collega_fascicolo();
    virtual void apri_scelta_colonne();
    virtual void filtro_campo();
    virtual void salva_scheda();
    virtual void mostra_intestazione();
    virtual void mostra_anteprima_collegamento();
    virtual void mostra_posizione_mittenti();
    virtual void esegui_back_up();
    /// Imports a received notification file; true on success.
    virtual bool importa_notifica(const QString& path);
    virtual void cmd_ins_Click(int Index);
    virtual void cmd_print_Click(int Index);
    virtual void cmd_move_Click(int Index);
    virtual void cmd_new_ins_Click(int Index);
    virtual void cmd_mitt_Click(int Index);
    virtual void cmd_altri_Click();
    virtual void cmd_annulla_Click();
    virtual void cmd_annullato_Click();
    virtual void picOpenWWW_Click(int Index);

    // --- entries: new entry, numbering, saving, moving, leaving (register/ui/entry_*.cpp) ---

    // --- mask rules: boxes, pickers, annulment, correction, link (register/ui/mask_*.cpp) ---

    // --- address book and autocomplete (register/ui/address_*.cpp) -------------------------
    /// After a confirmed entry: offers to add correspondents missing from the address book.
    virtual void aggiorna_nominativi();

    // --- layout (main_window.cpp) ---------------------------------------------------------
    void Form_Resize();
    /// Minimum outer size, in pixels.
    static constexpr int kMinSize = tw(2500);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void creaControlli();
    void creaBarre();
    void creaMaschera();
    void creaPannelli();
    void collegaSegnali();
    void caricaLogo();
    void VScroll1_Change(int value);
    void VScroll2_Change(int value);
    void HScroll2_Change(int value);
    /// Puts back what a failed opening had started.
    void annulla_apertura(const QString& cartellaPrecedente);

    QWidget* m_centrale = nullptr;
    bool m_terminato = false;
    bool m_inTimer1 = false;
    bool m_gridSync = false; ///< grid and recordset being put in step
    bool m_gridProgrammatic = false; ///< column sizes being set by the program
    QMap<int, int> m_hiddenWidths; ///< widths in twips of columns the program hid
};

} // namespace quad
