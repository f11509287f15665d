#pragma once

#include "address_book_panel.h"
#include "control_factory.h"
#include "database.h"
#include "entry_mask.h"
#include "entry_session.h"
#include "main_grid.h"
#include "mask_autocomplete.h"
#include "mask_pickers.h"
#include "open_register.h"
#include "print_panel.h"
#include "recordset.h"
#include "register_grid.h"
#include "window_parts.h"
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

/// The main window: the start frame with its menu, the two views of the open register (grid and
/// entry mask), the tool bars, the pop-up panels, the data controls and the working state.
///
/// Every control is a public member named as the program names it, with that objectName; arrays
/// of controls are vectors indexed as the program indexes them (a slot the program never uses
/// holds nullptr). The handlers are spread over several files by concern: start-up and login,
/// opening the register, the tool bars, the data controls, the register grid and the mask.
class Quadernolo : public QMainWindow, public EntryMaskEvents, public MaskAutocompleteHost
{
    Q_OBJECT
public:
    explicit Quadernolo(QWidget* parent = nullptr);
    ~Quadernolo() override;

    /// The session's state: settings, historical archives, the archive in use.
    WorkingState state;
    const WorkingState& workingState() const { return state; }
    /// The life of the entry shown: its changes, a new entry and its issuing lock. Other windows
    /// read p_new_ins(), p_update() and the like from it.
    EntrySession& sessione() { return m_registro->session(); }
    /// The register open in the window, its data sources and its entry session.
    OpenRegister& registroAperto() { return *m_registro; }
    /// The program is writing the mask's boxes (an annulment, the end of a new entry): their
    /// change and focus rules stay quiet meanwhile.
    bool p_uscita() const override { return m_uscita; }
    /// The program is filling the correspondent row from the address book.
    bool p_modifica() const override { return Pic_nomi->p_modifica(); }
    /// The address-book correction dialog is open: it serves its own town box.
    bool p_frm_nomi() const override { return Pic_nomi->p_frm_nomi(); }

    // --- start frame ----------------------------------------------------------------------
    StartFrame* Frame1 = nullptr; ///< with the archive button Frame1->Command1
    StartMenu* frm_menu = nullptr; ///< with frm_menu->cmd_menu
    QPushButton* cmd_focus = nullptr; ///< focus sink, out of sight
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QPushButton* cmd_scroll = nullptr;

    // --- tool bars ------------------------------------------------------------------------
    ToolStrip* pic_tool_orizz = nullptr; ///< with pic_tool_orizz->Toolbar1, pic_tool_orizz->Toolbar2 and their images

    // --- pop-ups and status ---------------------------------------------------------------
    PopupButtons* Picture4 = nullptr; ///< new-entry pop-up: Picture4->buttons 0 "ENTRATA", 1 "USCITA"
    PrintPanel* Picture1 = nullptr; ///< print pop-up
    NavigationStrip* pic_move = nullptr; ///< record navigation strip of the mask view, with pic_move->lbl_filtro
    ArchiveCaption* Frame3 = nullptr; ///< with the archive in use lbl_sub_arch
    HistoricalBanner* frm_label = nullptr; ///< with lbl_storico
    QLabel* lbl_msg = nullptr;
    /// The mask's pickers, with the office list list_elenco and the document types list_view.
    MaskPickers* m_selettori = nullptr;

    // --- register grid --------------------------------------------------------------------
    /// The register grid DataGrid1 with its column button cmd_colonne.
    MainGrid* m_griglia = nullptr;

    // --- address-book panel ---------------------------------------------------------------
    AddressBookPanel* Pic_nomi = nullptr; ///< with its grid DataGridAC and buttons
    /// The name completion control; the address-book code installs it.
    class AXDbAutoComplete* AXDbAutoComplete1 = nullptr;

    // --- entry mask -----------------------------------------------------------------------
    MaskViewport* Pic_mask = nullptr; ///< viewport of the mask, with its scroll bars
    /// The mask itself, with its boxes, captions, check boxes, frames and calendar.
    EntryMask* Frm_mask = nullptr;

    // --- data controls and timers ---------------------------------------------------------
    DataControl* Adodc1 = nullptr; ///< register: entrata joined with Mittenti
    DataControl* ado_mittenti = nullptr; ///< correspondents of the current entry
    DataControl* Ado_nomi = nullptr; ///< address book
    RegisterTimers* m_timers = nullptr; ///< Timer1 and Timer2
    /// Shows the fields of the data controls in the mask's boxes.
    FieldBinder* binder = nullptr;

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
    /// Shows the login dialog once; true, with the password typed, on OK.
    bool chiedi_password(QString* password);
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
    /// The key that opens archive: p_password, or for an archive keyed otherwise the password
    /// the clerk types for it (asked again while it does not open), with the program's connection
    /// it opened in *aperta. Only a password that opens the live archive becomes the session's.
    /// False when the clerk closed the dialog.
    bool chiave_archivio(const QString& archivio, QString* chiave, std::shared_ptr<Connection>* aperta);
    /// True while a historical archive (a SUB_ folder) is in use: nothing is registered into it.
    bool archivio_storico_in_uso() const;

    // --- start menu and tool bars (toolbar_dispatch.cpp) ----------------------------------
    void cmd_menu_Click(int Index);
    void Toolbar1_ButtonClick(QAction* Button);
    void Toolbar2_ButtonClick(QAction* Button);
    void avviso_inserimento_in_corso();
    /// The two sides of the tb_modo switch: the mask view and the grid view of the register.
    void vista_maschera();
    void vista_griglia();
    /// The pending-changes check made before every tool-bar action: the entry on screen, when
    /// modified, is saved (or reported incomplete and given up). False when its save failed: the
    /// cause was shown and the entry stays modified, so the action must not go on.
    bool verifica_modifiche_in_sospeso();
    /// Leaves the register for the start menu.
    void ripristina_menu();
    void Timer1_Timer();
    bool registro_aperto() const;

    // --- data controls and binding (data_controls.cpp) ------------------------------------
    void collega_campi_maschera();
    void collega_campi_corrispondente();
    /// The correspondent boxes show the rows of ado_mittenti.
    void collega_campi_corrispondente_origine();
    void carica_corrispondenti(const QVariant& numero);
    void scollega_maschera();
    void chiudi_origini_dati();
    void Adodc1_MoveComplete();
    void Adodc1_WillMove();
    void Adodc1_Error(const DbResult& error);
    /// Records in the register recordset (0 when it is not open).
    int conta_schede() const override;

    // --- register grid (register_grid.cpp) ---------------------------------------------
    /// Puts the one-field filter button back to "no filter": released, "Filtro on", "Imposta filtro".
    void rilascia_pulsante_filtro();
    /// The count of the register (and its filter mark) in the status line.
    void aggiorna_totale_schede();

    // --- entry display (mask_view.cpp) ----------------------------------------------------
    void disponi_maschera();
    void mostra_annullato();
    void blocca_maschera();

    // --- mask box events (mask_events.cpp) -----------------------------------------------
    /// Return true to swallow the key.
    bool txt_mask1_KeyDown(int Index, QKeyEvent* event) override;
    bool txt_mask1_KeyPress(int Index, QKeyEvent* event) override;
    void txt_mask1_GotFocus(int Index) override;
    void txt_mask1_LostFocus(int Index) override;
    void txt_mask1_Change(int Index) override;
    /// Return false to keep the focus in the box.
    bool txt_mask1_Validate(int Index) override;

    // --- actions other windows supply (hooks.cpp); they do nothing until wired ------------
    virtual void apri_impostazioni();
    virtual void compatta_archivi();
    virtual void apri_ricerca();
    virtual void apri_fascicoli();
    virtual void apri_collega_fascicolo();
    /// The list of the current entry's folders (folders/ui).
    void cmd_tree_Click() override;
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
    virtual void cmd_move_Click(int Index);
    void cmd_new_ins_Click(int Index) override;
    void cmd_mitt_Click(int Index) override;
    void cmd_altri_Click() override;
    void cmd_annulla_Click() override;
    void cmd_annullato_Click() override;
    void picOpenWWW_Click(int Index) override;

    // --- office notification and transfer file (printing/ui/notification_window.cpp) -------
    /// picOpenWWW(1): on a "Server" station, forwards the undelivered rows of the competent
    /// office of the entry on screen, then saves the entry and moves to the last row.
    void inoltra_ufficio_competente();
    /// modo 1: the notification file of ufficio's rows; modo 0: the transfer file of the rows
    /// selected in the grid (ufficio only shows in the question); other values do nothing.
    void esporta_notifica(int modo, const QString& ufficio);
    /// Reads a transfer file (named relative to the program folder) into the archive; true when
    /// it went in.
    bool importa_file_trasferimento(const QString& nome);
    /// The writer's progress in lbl_msg.
    void mostra_messaggio_stato(int modo, int n);
    /// Bookmarks of the rows selected in the register grid, in the order of the selection.
    std::vector<Bookmark> DataGrid1_SelBookmarks() const;

    // --- entries: new entry, numbering, saving, moving, leaving (entry_*.cpp) ---------------
    /// Takes the issuing lock, allocates the next number (or asks the start number of an empty
    /// register) and opens a new entry of direction tipo ("E" or "U") in the mask. Nothing is
    /// written until the confirmation.
    void nuovo_quadernolo(const QString& tipo);
    /// Back to browsing after a new entry that did not start (lock held, start number refused).
    void ripristina_consultazione();
    /// The end shared by the confirmation and the drop of a new entry: avviso, when not empty,
    /// is shown first; the address book is offered the correspondents after a confirmation.
    void fine_inserimento(bool confermata, const QString& avviso);
    /// True while this station holds the issuing lock.
    bool emissione_in_corso() const;
    /// The editable state of a new entry (boxes 2 to 19 and 24 to 26, Riservato, cmd_altri).
    void sblocca_maschera();
    /// "" for a Null value, the value itself otherwise.
    static QVariant nz_stringa(const QVariant& value);
    /// Moves the correspondents to their last row; true when its nine boxes are blank.
    bool mittente_vuoto();
    /// Every correspondent row as a line of text.
    QString elenco_corrispondenti_testo();
    /// salva_scheda with its outcome: false when something could not be written (the cause was
    /// shown and the entry stays modified).
    bool salva_scheda_esito();
    /// Page Up / Page Down in the mask; true when the key was used.
    bool Pic_mask_KeyDown(int KeyCode);
    /// Leaves the open register for the start menu, asking to save a modified entry; false when
    /// the register stays (incomplete entry, failed save).
    bool lascia_registro();

private:
    /// Writes what is typed in the boxes into the entry and its correspondent rows before the
    /// entry is stored; false when a box holds a value its field cannot take (the clerk was told,
    /// the text stays in the box, and nothing may be stored).
    bool scrivi_caselle_prima_di_salvare();
    /// The checks and the save made before a move between registered entries; false to stop.
    bool salva_prima_di_muovere();
    /// The move of pic_move->cmd_move / the page keys: 0 first, 1 previous, 2 next, 3 last.
    void muovi_registro(int verso);
    /// Reads the register again after a save, keeping its filter, order and the entry shown.
    /// soloScheda: only entry numero was written; its rows alone are read back (the whole
    /// register when that fails).
    void rileggi_registro(qint64 numero, bool soloScheda = false);
    /// Shows what a save of the session ended with and the entry as it now stands; false when
    /// the save failed (the entry stays modified).
    bool mostra_esito_salvataggio(const SessionResult& esito);
    /// Connects what the entry handling needs (once).
    void collega_gestori_schede();

    std::unique_ptr<OpenRegister> m_registro;
    MaskAutocomplete* m_completamentoMaschera = nullptr;
    bool m_uscita = false;

public:
    // --- mask rules: boxes, pickers, annulment, correction, link (mask_*.cpp) ---------------
    /// Connects the mask's own events (link box drops and double click, the preview, calendar,
    /// pick lists, pop-up dismissal, the grid's quick find). The constructor runs it once;
    /// later calls do nothing.
    void collega_regole_maschera();
    /// The mask box that last got the focus (on a register with records) or lost it; null
    /// until then. The one-field filter reads its text and field.
    QLineEdit* ctrl_filtro() const { return m_ctrl_filtro; }
    void set_ctrl_filtro(QLineEdit* box) { m_ctrl_filtro = box; }
    /// The quick find on the field of box Index, starting from the typed text; nothing on an
    /// empty register, on a box without a field or for a text that does not print.
    void apri_ricerca_campo(const QString& KeyAscii, int Index);
    /// Refreshes Frm_mask->lbl_nodo from the current entry's sys_nodo (after a quick find).
    void mostra_nodo_corrente();
    /// A day chosen in the calendar / the calendar closed without a choice.
    void CalendarVB1_DateDblClick() override;
    void CalendarVB1_Close() override;
    /// F12 on the subject of a registered entry: the correction dialog and its write.
    void correggi_oggetto_scheda();
    /// The file choice of the link box (double click, F2, "Inserisci file").
    void scegli_collegamento();
    void txt_mask1_DblClick(int Index) override;
    /// A file or a text dropped on box Index (only the link box takes it).
    void txt_mask1_OLEDragDrop(int Index, const QString& dropped) override;
    void Image1_DblClick() override;
    /// Hides the print and new-entry pop-ups.
    void nascondi_popup() override;

private:
    /// Leaving box 2 or changing it: a date before p_ultima_data is refused. While typing
    /// (leaving false) only a date with its four-digit year is judged.
    void regola_data_quadernolo(bool leaving);
    QLineEdit* m_ctrl_filtro = nullptr;

public:
    // --- address book and autocomplete (address_*.cpp) -------------------------------------
    /// The address-book names beginning with text, in the panel Pic_nomi under the name box.
    void cerca_in_elenco(const QString& text) override;
    /// Connects the panel, its buttons and the autocomplete to the window's controls. Runs once,
    /// as soon as the window is built (later calls do nothing).
    void collega_rubrica();
    /// Makes the autocomplete control (the initializer of AXDbAutoComplete1).
    class AXDbAutoComplete* crea_autocomplete();

private:
    std::unique_ptr<class PartHosts> m_parti;

public:
    // --- layout (main_window.cpp) ---------------------------------------------------------
    void Form_Resize();

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
};

} // namespace quad
