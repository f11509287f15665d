#pragma once

#include "address_book_panel.h"
#include "database.h"
#include "entry_actions.h"
#include "entry_mask.h"
#include "entry_session.h"
#include "main_grid.h"
#include "mask_controller.h"
#include "mask_pickers.h"
#include "open_register.h"
#include "print_panel.h"
#include "recordset.h"
#include "register_grid.h"
#include "window_parts.h"
#include "working_state.h"

#include <QMainWindow>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QPushButton;

namespace quad {

class DataControl;
class FieldBinder;

/// The main window: the start frame with its menu, the tool strip, the two views of the open
/// register (the grid and the entry mask), the pop-up panels, the data controls over the open
/// register and the session's state.
///
/// The window composes parts that own their controls (window_parts.h, the grid MainGrid, the
/// mask's MaskController and MaskPickers, the print and address-book panels); each part carries
/// the name the program gives its container, and its controls keep theirs as objectName. The
/// window's own handlers are spread over files by concern: start-up and login, opening the
/// register, the tool bars, the data controls, the entries, the folders and notifications, the
/// layout and the exit.
class Quadernolo : public QMainWindow
{
    Q_OBJECT
public:
    explicit Quadernolo(QWidget* parent = nullptr);
    ~Quadernolo() override;

    /// The session's state: settings, historical archives, the archive in use.
    WorkingState state;

    // --- parts --------------------------------------------------------------------------------
    StartFrame* Frame1 = nullptr; ///< the start frame, with the archive button Command1
    StartMenu* frm_menu = nullptr; ///< the start menu, with cmd_menu
    QPushButton* cmd_focus = nullptr; ///< focus sink, out of sight
    FrameScroll* m_scorrimento = nullptr; ///< VScroll1, HScroll1 and their corner cmd_scroll
    ToolStrip* pic_tool_orizz = nullptr; ///< the tool strip, with Toolbar1, Toolbar2 and their images
    PopupButtons* Picture4 = nullptr; ///< new-entry pop-up: cmd_ins 0 "ENTRATA", 1 "USCITA"
    PrintPanel* Picture1 = nullptr; ///< print pop-up, with cmd_print
    NavigationStrip* pic_move = nullptr; ///< navigation strip of the mask view, with cmd_move and lbl_filtro
    StatusArea* m_stato = nullptr; ///< Frame3 with the archive in use, frm_label, lbl_msg
    MainGrid* m_griglia = nullptr; ///< the register grid DataGrid1 with its column button cmd_colonne
    MaskViewport* Pic_mask = nullptr; ///< viewport of the mask, with its scroll bars
    /// The mask itself, with its boxes, captions, check boxes, frames and calendar.
    EntryMask* Frm_mask = nullptr;
    MaskController* m_maschera = nullptr; ///< the mask's handlers, with the name completion
    EntryActions* m_schede = nullptr; ///< the data controls' handlers and the entries' actions
    MaskPickers* m_selettori = nullptr; ///< the mask's pickers, with list_elenco and list_view
    AddressBookPanel* Pic_nomi = nullptr; ///< the address-book panel, with DataGridAC
    DataControl* Adodc1 = nullptr; ///< register: entrata joined with Mittenti
    DataControl* ado_mittenti = nullptr; ///< the correspondents of the entry shown, in the mask
    RegisterTimers* m_timers = nullptr; ///< Timer1 and Timer2
    /// Shows the fields of the data controls in the mask's boxes.
    FieldBinder* binder = nullptr;

    // --- start-up and login (startup.cpp) -------------------------------------------------
    /// The start sequence: logo, settings, login (three attempts), historical archives, start
    /// menu. False when the login failed and the program was ended.
    bool Form_Load();
    /// Copies the template to the live archive when that is missing. False, with the cause in
    /// *why, when the copy could not be made (nothing of it is left).
    bool percorso_arch_base(QString* why);
    /// True when the live archive opens with p_password. False otherwise; when the live archive
    /// could not even be made from the template, *why says so and why (the password has no part).
    bool prova_apertura_archivio(QString* why);
    /// Lists the SUB_ folders of the program folder into p_sub_use / p_sub_dir.
    void raccogli_archivi_storici();
    /// Shows the login dialog once; p_password changes only on OK.
    void mostra_login();
    /// Shows the login dialog once; true, with the password typed, on OK.
    bool chiedi_password(QString* password);
    /// Ends the program. Tests override it to observe the end instead.
    virtual void termina_programma();

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
    /// The password of the archive in use asked while the register is open, when the key it was
    /// opened with no longer opens it: asked again until one opens it, which the register reads
    /// and writes it with from now on (true); the session's p_password stays. False when the
    /// clerk closed the dialog (*rinuncia) or the archive could not be read (the clerk was told):
    /// nothing changed.
    bool chiave_archivio_in_uso(bool* rinuncia);
    /// chiave_archivio_in_uso when a read of the register met the key: a cancel leaves the
    /// register as it is, with a message.
    void chiedi_chiave_archivio_in_uso();
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
    /// Hides the print and new-entry pop-ups.
    void nascondi_popup();

    // --- filters and dialogs over the register (register_filters.cpp, hooks.cpp) ---------
    /// Puts the one-field filter button back to "no filter": released, "Filtro on", "Imposta filtro".
    void rilascia_pulsante_filtro();
    void apri_impostazioni();
    void compatta_archivi();
    void apri_ricerca();
    void apri_scelta_colonne();
    void filtro_campo();
    void esegui_back_up();

    // --- folders (folder_actions.cpp) -----------------------------------------------------
    void apri_fascicoli();
    void apri_collega_fascicolo();
    /// The list of the current entry's folders.
    void cmd_tree_Click();

    // --- office notification and transfer file (notification_actions.cpp) ------------------
    /// picOpenWWW(1): on a "Server" station, forwards the undelivered rows of the competent
    /// office of the entry on screen, then saves the entry and moves to the last row.
    void inoltra_ufficio_competente();
    /// modo 1: the notification file of ufficio's rows; modo 0: the transfer file of the rows
    /// selected in the grid (ufficio only shows in the question); other values do nothing.
    void esporta_notifica(int modo, const QString& ufficio);
    /// Imports a received notification file: true when it went in (or another station took it
    /// meanwhile), false with the reason in *perche when it did not.
    virtual bool importa_notifica(const QString& path, QString* perche);
    /// Reads a transfer file (named relative to the program folder) into the archive; true when
    /// it went in.
    bool importa_file_trasferimento(const QString& nome);
    /// The writer's progress in lbl_msg.
    void mostra_messaggio_stato(int modo, int n);
    /// Bookmarks of the rows selected in the register grid, in the order of the selection.
    std::vector<Bookmark> DataGrid1_SelBookmarks() const;

    // --- leaving the register (exit.cpp) ------------------------------------------------------
    /// Leaves the open register for the start menu, asking to save a modified entry; false when
    /// the register stays (incomplete entry, failed save).
    bool lascia_registro();
    /// Connects the mask's own events (link box drops and double click, the preview, calendar,
    /// pick lists, pop-up dismissal, the grid's quick find). The constructor runs it once;
    /// later calls do nothing.
    void collega_regole_maschera();

    // --- layout (layout.cpp) --------------------------------------------------------------
    void Form_Resize();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void creaControlli();
    void creaMaschera();
    void creaPannelli();
    void collegaSegnali();
    void caricaLogo();
    /// Puts back what a failed opening had started.
    void annulla_apertura(const QString& cartellaPrecedente);

    QWidget* m_centrale = nullptr;
    std::unique_ptr<class PartHosts> m_parti;
    /// The register open in the window (object name "registro_aperto"), its data sources and its
    /// entry session.
    std::unique_ptr<OpenRegister> m_registro;
};

} // namespace quad
