#pragma once

#include "entry_session.h"
#include "open_register.h"

#include <QObject>
#include <QScopedValueRollback>
#include <QString>

class QWidget;

namespace quad {

class AddressBookPanel;
class AXDbAutoComplete;
class DataControl;
class EntryMask;
class FieldBinder;
class MaskPickers;
struct RegisterSettings;

/// The entries of the open register as the register's window handles them: the data controls and
/// the binding of the mask's boxes, the new entry from its question to its confirmation or drop,
/// the save of a registered entry, the moves between entries, what the mask shows of the entry
/// (its correspondents' position, its annulment, its folder, the captions by direction) and the
/// count. It works on the open register and the mask's parts; what the window around them must do
/// it tells by its signals.
class EntryActions : public QObject
{
    Q_OBJECT
public:
    /// registro and mittenti are the data controls of the register and of the correspondents of
    /// the entry shown; fuoco the focus sink.
    EntryActions(OpenRegister& aperto, const RegisterSettings& impostazioni, EntryMask& maschera, FieldBinder& binder,
                 DataControl& registro, DataControl& mittenti, MaskPickers& selettori, AddressBookPanel& pannelloNomi,
                 AXDbAutoComplete& completamento, QWidget& fuoco, QObject* parent);

    /// The register is shown in the window (in vista), or it is not.
    void imposta_in_vista(bool inVista);

    // --- data controls and binding (entry_actions.cpp) -------------------------------------------
    void collega_campi_maschera();
    void collega_campi_corrispondente();
    /// The correspondent boxes show the rows of ado_mittenti.
    void collega_campi_corrispondente_origine();
    void scollega_maschera();
    void Adodc1_MoveComplete();
    /// The entry shown after the session moved the register quietly (a save, a read, the end
    /// of a new entry): its correspondents are read and the mask shows it as after a move.
    void mostra_scheda_riletta();
    void Adodc1_WillMove();
    void Adodc1_Error(const DbResult& error);
    /// A read of the register met a key that no longer opens the archive and no key that does was
    /// given (OpenRegister::archiveKeyRefused): the clerk is told that the register stays as shown.
    void chiave_rifiutata();
    /// Records in the register recordset (0 when it is not open).
    int conta_schede() const;
    /// The count of the register (and its filter mark) in the data control's caption.
    void aggiorna_totale_schede();
    /// The correspondents' position and paging of the entry shown.
    void mostra_posizione_mittenti();
    /// The annulled frame or the annulment button, as the entry shown is annulled or not.
    void mostra_annullato();
    /// The folder of the current entry (sys_nodo) in the mask.
    void mostra_nodo_corrente();
    /// The program is writing the mask's boxes (an annulment, the end of a new entry): their
    /// change and focus rules stay quiet meanwhile.
    bool in_uscita() const { return m_uscita; }
    /// Quiets the boxes' rules for as long as the value returned lives.
    [[nodiscard]] QScopedValueRollback<bool> quieta_caselle() { return QScopedValueRollback<bool>(m_uscita, true); }

    // --- a new entry (entry_actions_new.cpp) -----------------------------------------------------
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
    /// Leaving gives up a new entry being typed: nothing of it is written and its lock goes.
    void abbandona_inserimento();

    // --- a registered entry, moves and captions (entry_actions_save.cpp) -------------------------
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
    /// The page keys that reach the mask's viewport, from whichever box or button has the
    /// focus, go to Pic_mask_KeyDown.
    void collega_tasti_pagina(QWidget* viewport);
    /// The captions of the entry panel by the direction of the entry shown.
    void mostra_intestazione();

signals:
    /// The clerk is done with the window's pop-ups (a move of the register).
    void popup_lasciati();
    /// A new entry is asked from the grid: the mask is to be shown, as the view switch shows it.
    void maschera_richiesta();
    /// A new entry of registro ("Entrata" or "Uscita") is about to be typed: the window's tool
    /// bars go out of use.
    void inserimento_iniziato(const QString& registro);
    /// Back to browsing: the tool bars are in use again.
    void inserimento_finito();
    /// The register's count as its data control captions it.
    void totale_scritto(const QString& totale);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The move of cmd_move / the page keys (0 first, 1 previous, 2 next, 3 last), after the
    /// checks and the save of a changed entry; false when the register stays.
    bool muovi_registro(int verso);

    OpenRegister* m_registro;
    const RegisterSettings& m_impostazioni;
    EntryMask* Frm_mask;
    FieldBinder* binder;
    DataControl* Adodc1;
    DataControl* ado_mittenti;
    MaskPickers* m_selettori;
    AddressBookPanel* Pic_nomi;
    AXDbAutoComplete* AXDbAutoComplete1;
    QWidget* cmd_focus;
    bool m_uscita = false;
    bool m_inVista = false;
};

} // namespace quad
