#pragma once

#include "address_book_panel.h"
#include "entry_mask.h"
#include "mask_autocomplete.h"
#include "mask_pickers.h"
#include "open_register.h"
#include "window_parts.h"
#include "working_state.h"

#include <QObject>
#include <QString>
#include <QVariant>

class QKeyEvent;
class QLineEdit;

namespace quad {

class AXDbAutoComplete;
class DataControl;
class FieldBinder;

/// What the entry mask's handlers ask of the main window: the entries' and folders' actions, the
/// reading of the register after a write, the link's file choice, the pop-ups and the focus sink.
class MaskControllerHost
{
public:
    virtual ~MaskControllerHost() = default;
    virtual void cmd_new_ins_Click(int Index) = 0;
    virtual void cmd_tree_Click() = 0;
    virtual void nascondi_popup() = 0;
    virtual void collega_campi_maschera() = 0;
    virtual void collega_gestori_schede() = 0;
    virtual void mostra_intestazione() = 0;
    virtual void rileggi_registro(qint64 numero, bool soloScheda) = 0;
    virtual QString scegli_file_collegamento() = 0;
    virtual void inoltra_ufficio_competente() = 0;
    virtual bool verifica_modifiche_in_sospeso() = 0;
    /// The register grid, whose place the mask's viewport takes.
    virtual QWidget* griglia() const = 0;
};

/// The handlers of the entry mask: its boxes' events and rules, the link box and its preview, the
/// annulment and the subject correction, the correspondent rows, the display and lock state of the
/// entry shown, and the name completion. It works on the mask, its binder and the open register,
/// and reaches the main window through MaskControllerHost.
class MaskController : public QObject, public EntryMaskEvents, public MaskAutocompleteHost
{
    Q_OBJECT
public:
    /// The parts the handlers work on.
    struct Parti
    {
        EntryMask* maschera = nullptr;
        MaskViewport* viewport = nullptr;
        FieldBinder* binder = nullptr;
        DataControl* registro = nullptr;
        DataControl* mittenti = nullptr;
        DataControl* rubrica = nullptr;
        MaskPickers* selettori = nullptr;
        AddressBookPanel* pannelloNomi = nullptr;
        QWidget* fuoco = nullptr;
    };

    MaskController(OpenRegister& registro, const WorkingState& stato, const Parti& parti, MaskControllerHost& host,
                   QObject* parent);
    ~MaskController() override;

    /// The name completion control (made with the controller).
    AXDbAutoComplete* AXDbAutoComplete1 = nullptr;
    /// The program is writing the mask's boxes (an annulment, the end of a new entry): their
    /// change and focus rules stay quiet meanwhile.
    bool m_uscita = false;

    // --- EntryMaskEvents (mask_events.cpp, mask_link.cpp, mask_actions.cpp, entry_rows.cpp) --
    /// Return true to swallow the key.
    bool txt_mask1_KeyDown(int Index, QKeyEvent* event) override;
    bool txt_mask1_KeyPress(int Index, QKeyEvent* event) override;
    void txt_mask1_GotFocus(int Index) override;
    void txt_mask1_LostFocus(int Index) override;
    void txt_mask1_Change(int Index) override;
    /// Return false to keep the focus in the box.
    bool txt_mask1_Validate(int Index) override;
    void txt_mask1_DblClick(int Index) override;
    /// A file or a text dropped on box Index (only the link box takes it).
    void txt_mask1_OLEDragDrop(int Index, const QString& dropped) override;
    void picOpenWWW_Click(int Index) override;
    void Image1_DblClick() override;
    void cmd_new_ins_Click(int Index) override { m_host.cmd_new_ins_Click(Index); }
    void cmd_mitt_Click(int Index) override;
    void cmd_altri_Click() override;
    void cmd_annulla_Click() override;
    void cmd_annullato_Click() override;
    void cmd_tree_Click() override { m_host.cmd_tree_Click(); }
    void CalendarVB1_DateDblClick() override;
    void CalendarVB1_Close() override;
    void nascondi_popup() override { m_host.nascondi_popup(); }
    /// Records in the register recordset (0 when it is not open).
    int conta_schede() const override;

    // --- MaskAutocompleteHost (address_autocomplete.cpp) ---------------------------------------
    bool p_uscita() const override { return m_uscita; }
    bool p_modifica() const override;
    bool p_frm_nomi() const override;
    void cerca_in_elenco(const QString& text) override;
    /// Connects the name completion to the mask's boxes (once).
    void collega_rubrica();

    // --- the entry shown (mask_view.cpp, entry_display.cpp, entry_rows.cpp) ----------------
    void disponi_maschera();
    void mostra_annullato();
    void blocca_maschera();
    /// The editable state of a new entry (boxes 2 to 19 and 24 to 26, Riservato, cmd_altri).
    void sblocca_maschera();
    /// "" for a Null value, the value itself otherwise.
    static QVariant nz_stringa(const QVariant& value);
    /// Moves the correspondents to their last row; true when its nine boxes are blank.
    bool mittente_vuoto();
    /// Every correspondent row as a line of text.
    QString elenco_corrispondenti_testo();
    void mostra_posizione_mittenti();

    // --- the link, the annulment, the correction, the quick find (mask_link.cpp, mask_actions.cpp)
    /// Refreshes the preview of the linked file after a change of the entry or of the link box.
    void mostra_anteprima_collegamento();
    /// The file choice of the link box (double click, F2, "Inserisci file").
    void scegli_collegamento();
    /// F12 on the subject of a registered entry: the correction dialog and its write.
    void correggi_oggetto_scheda();
    /// The quick find on the field of box Index, starting from the typed text; nothing on an
    /// empty register, on a box without a field or for a text that does not print.
    void apri_ricerca_campo(const QString& KeyAscii, int Index);
    /// Refreshes lbl_nodo from the current entry's sys_nodo (after a quick find).
    void mostra_nodo_corrente();

    /// The mask box that last got the focus (on a register with records) or lost it; null
    /// until then. The one-field filter reads its text and field.
    QLineEdit* ctrl_filtro() const { return m_ctrl_filtro; }
    void set_ctrl_filtro(QLineEdit* box) { m_ctrl_filtro = box; }

private:
    /// Leaving box 2 or changing it: a date before p_ultima_data is refused. While typing
    /// (leaving false) only a date with its four-digit year is judged.
    void regola_data_quadernolo(bool leaving);
    /// The window the mask's dialogs open over.
    QWidget* finestra() const;

    // The host's actions, under the names the handlers call them by.
    void collega_campi_maschera() { m_host.collega_campi_maschera(); }
    void collega_gestori_schede() { m_host.collega_gestori_schede(); }
    void mostra_intestazione() { m_host.mostra_intestazione(); }
    void rileggi_registro(qint64 numero, bool soloScheda = false) { m_host.rileggi_registro(numero, soloScheda); }
    QString scegli_file_collegamento() { return m_host.scegli_file_collegamento(); }
    void inoltra_ufficio_competente() { m_host.inoltra_ufficio_competente(); }
    bool verifica_modifiche_in_sospeso() { return m_host.verifica_modifiche_in_sospeso(); }

    OpenRegister* m_registro;
    const WorkingState& state;
    MaskControllerHost& m_host;
    EntryMask* Frm_mask;
    MaskViewport* Pic_mask;
    FieldBinder* binder;
    DataControl* Adodc1;
    DataControl* ado_mittenti;
    DataControl* Ado_nomi;
    MaskPickers* m_selettori;
    AddressBookPanel* Pic_nomi;
    QWidget* cmd_focus;
    MaskAutocomplete* m_completamentoMaschera = nullptr;
    QLineEdit* m_ctrl_filtro = nullptr;
};

} // namespace quad
