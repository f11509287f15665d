#pragma once

#include "address_book_panel.h"
#include "entry_mask.h"
#include "main_grid.h"
#include "mask_controller.h"
#include "mask_pickers.h"
#include "open_register.h"
#include "print_panel.h"
#include "register_grid.h"
#include "window_parts.h"
#include "working_state.h"

#include <QObject>
#include <QString>
#include <QVariant>

class QAction;
class QPushButton;

namespace quad {

class DataControl;
class FieldBinder;

/// What the register's entries ask of the main window: the switch to the mask, the historical
/// archive in use, the password of the archive in use asked again, the filter button.
class EntryActionsHost
{
public:
    virtual ~EntryActionsHost() = default;
    virtual void Toolbar1_ButtonClick(QAction* Button) = 0;
    virtual bool archivio_storico_in_uso() const = 0;
    /// Asks the clerk for the password of the archive in use until one opens it, which the
    /// register then reads it with; the session's password stays. A cancel leaves the register
    /// as it is and tells the clerk.
    virtual void chiedi_chiave_archivio_in_uso() = 0;
    virtual void rilascia_pulsante_filtro() = 0;
};

/// The entries of the open register as the main window handles them: the data controls and the
/// binding of the mask's boxes, the new entry from its question to its confirmation or drop, the
/// save of a registered entry, the moves between entries, the captions by direction and the count
/// in the status line. It works on the open register and the window's parts.
class EntryActions : public QObject
{
    Q_OBJECT
public:
    /// The parts the entries work on: the mask's, and the window's around it.
    struct Parti
    {
        MaskController::Parti maschera;
        MaskController* regole = nullptr;
        MainGrid* griglia = nullptr;
        ToolStrip* strumenti = nullptr;
        NavigationStrip* navigazione = nullptr;
        PopupButtons* nuovo = nullptr;
        PrintPanel* stampa = nullptr;
        StartFrame* avvio = nullptr;
        StartMenu* menu = nullptr;
    };

    EntryActions(OpenRegister& registro, WorkingState& stato, const Parti& parti, EntryActionsHost& host,
                 QObject* parent);

    // --- data controls and binding (data_controls.cpp) ------------------------------------
    void collega_campi_maschera();
    void collega_campi_corrispondente();
    /// The correspondent boxes show the rows of ado_mittenti.
    void collega_campi_corrispondente_origine();
    void scollega_maschera();
    void chiudi_origini_dati();
    void Adodc1_MoveComplete();
    /// The entry shown after the session moved the register quietly (a save, a read, the end
    /// of a new entry): its correspondents are read and the mask shows it as after a move.
    void mostra_scheda_riletta();
    void Adodc1_WillMove();
    void Adodc1_Error(const DbResult& error);
    /// Records in the register recordset (0 when it is not open).
    int conta_schede() const;
    /// The count of the register (and its filter mark) in the status line.
    void aggiorna_totale_schede();

    // --- a new entry (entry_new.cpp) -------------------------------------------------------
    void cmd_ins_Click(int Index);
    void cmd_new_ins_Click(int Index);
    /// Takes the issuing lock, allocates the next number (or asks the start number of an empty
    /// register) and opens a new entry of the register registro ("Entrata" or "Uscita") in the
    /// mask. Nothing is written until the confirmation.
    void nuovo_quadernolo(const QString& registro);
    /// Back to browsing after a new entry that did not start (lock held, start number refused).
    void ripristina_consultazione();
    /// The end shared by the confirmation and the drop of a new entry: avviso, when not empty,
    /// is shown first; the address book is offered the correspondents after a confirmation.
    void fine_inserimento(bool confermata, const QString& avviso);
    /// True while this station holds the issuing lock.
    bool emissione_in_corso() const;

    // --- a registered entry, moves and captions (entry_save.cpp) ----------------------------
    void salva_scheda();
    /// salva_scheda with its outcome: false when something could not be written (the cause was
    /// shown and the entry stays modified).
    bool salva_scheda_esito();
    /// The check of the boxes before the entry is stored: false when a box holds a value its
    /// field cannot take (the clerk was told, the text stays in the box, and nothing may be
    /// stored). Everything else typed is in the entry and its correspondent rows already.
    bool caselle_valide();
    /// Shows what a save of the session ended with and the entry as it now stands; false when
    /// the save failed (the entry stays modified).
    bool mostra_esito_salvataggio(const SessionResult& esito);
    /// Reads the register again after a save, keeping its filter, order and the entry shown.
    /// soloScheda: only entry numero was written; its rows alone are read back (the whole
    /// register when that fails).
    void rileggi_registro(qint64 numero, bool soloScheda = false);
    void cmd_move_Click(int Index);
    /// Page Up / Page Down in the mask; true when the key was used.
    bool Pic_mask_KeyDown(int KeyCode);
    /// The captions of the entry panel by the direction of the entry shown.
    void mostra_intestazione();
    /// Connects what the entry handling needs (once).
    void collega_gestori_schede();

private:
    /// The move of cmd_move / the page keys (0 first, 1 previous, 2 next, 3 last), after the
    /// checks and the save of a changed entry; false when the register stays.
    bool muovi_registro(int verso);

    // The host's actions, under the names the handlers call them by.
    void Toolbar1_ButtonClick(QAction* Button) { m_host.Toolbar1_ButtonClick(Button); }
    bool archivio_storico_in_uso() const { return m_host.archivio_storico_in_uso(); }
    void chiedi_chiave_archivio_in_uso() { m_host.chiedi_chiave_archivio_in_uso(); }
    void rilascia_pulsante_filtro() { m_host.rilascia_pulsante_filtro(); }

    OpenRegister* m_registro;
    WorkingState& state;
    EntryActionsHost& m_host;
    EntryMask* Frm_mask;
    MaskViewport* Pic_mask;
    MaskController* m_maschera;
    MaskPickers* m_selettori;
    AddressBookPanel* Pic_nomi;
    MainGrid* m_griglia;
    FieldBinder* binder;
    DataControl* Adodc1;
    DataControl* ado_mittenti;
    ToolStrip* pic_tool_orizz;
    NavigationStrip* pic_move;
    PopupButtons* Picture4;
    PrintPanel* Picture1;
    StartFrame* Frame1;
    StartMenu* frm_menu;
    QWidget* cmd_focus;
};

} // namespace quad
