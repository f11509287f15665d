#pragma once

#include "entry_mask.h"
#include "mask_autocomplete.h"

#include <QObject>
#include <QString>
#include <QVariant>

class QKeyEvent;
class QLineEdit;

namespace quad {

class AddressBookPanel;
class AXDbAutoComplete;
class DataControl;
class EntryActions;
class FieldBinder;
class MaskPickers;
class OpenRegister;

/// The handlers of the entry mask: its boxes' events and rules, the link box and its preview, the
/// annulment and the subject correction, the correspondent rows and the name completion. It works
/// on the mask, its binder, the pickers and the address-book panel, the open register and its
/// entries (EntryActions); what only the window around it can do it tells by its signals.
class MaskController : public QObject, public EntryMaskEvents, public MaskAutocompleteHost
{
    Q_OBJECT
public:
    /// registro, mittenti and rubrica are the data controls of the register, of the
    /// correspondents of the entry shown and of the address book; fuoco the focus sink.
    MaskController(OpenRegister& aperto, EntryActions& azioniSchede, EntryMask& maschera, FieldBinder& binder,
                   DataControl& registro, DataControl& mittenti, DataControl& rubrica, MaskPickers& selettori,
                   AddressBookPanel& pannelloNomi, AXDbAutoComplete& completamento, QWidget& fuoco, QObject* parent);
    ~MaskController() override;

    // --- EntryMaskEvents (mask_controller_*.cpp) -------------------------------------------------
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
    void cmd_new_ins_Click(int Index) override;
    void cmd_mitt_Click(int Index) override;
    void cmd_altri_Click() override;
    void cmd_annulla_Click() override;
    void cmd_annullato_Click() override;
    void cmd_tree_Click() override { emit elenco_fascicoli_richiesto(); }
    void CalendarVB1_DateDblClick() override;
    void CalendarVB1_Close() override;
    void nascondi_popup() override { emit popup_lasciati(); }
    /// Records in the register recordset (0 when it is not open).
    int conta_schede() const override;

    // --- MaskAutocompleteHost (mask_controller.cpp) --------------------------------------------
    bool p_uscita() const override;
    bool p_modifica() const override;
    bool p_frm_nomi() const override;
    void cerca_in_elenco(const QString& text) override;

    // --- the correspondent rows (mask_controller_rows.cpp) ---------------------------------------
    /// "" for a Null value, the value itself otherwise.
    static QVariant nz_stringa(const QVariant& value);
    /// Moves the correspondents to their last row; true when its nine boxes are blank.
    bool mittente_vuoto();
    /// Every correspondent row as a line of text.
    QString elenco_corrispondenti_testo();

    // --- the link, the correction, the quick find (mask_controller_link.cpp, _actions.cpp) -------
    /// The file choice of the link box (double click, F2, "Inserisci file").
    void scegli_collegamento();
    /// F12 on the subject of a registered entry: the correction dialog and its write.
    void correggi_oggetto_scheda();
    /// The quick find on the field of box Index, starting from the typed text; nothing on an
    /// empty register, on a box without a field or for a text that does not print.
    void apri_ricerca_campo(const QString& KeyAscii, int Index);

    /// The mask box that last got the focus (on a register with records) or lost it; null
    /// until then. The one-field filter reads its text and field.
    QLineEdit* ctrl_filtro() const { return m_ctrl_filtro; }
    void set_ctrl_filtro(QLineEdit* box) { m_ctrl_filtro = box; }

signals:
    /// A click on the mask, or a box taking the focus: the window's pop-ups are to go.
    void popup_lasciati();
    /// The list of the folders of the entry shown is asked (the mask's folders button).
    void elenco_fascicoli_richiesto();
    /// The entry shown is to be forwarded to its competent office (picOpenWWW(1)).
    void inoltro_richiesto();

private:
    /// Leaving the box Data_quadernolo or changing it: a date before p_ultima_data is refused. While typing
    /// (leaving false) only a date with its four-digit year is judged.
    void regola_data_quadernolo(bool leaving);
    /// The window the mask's dialogs open over.
    QWidget* finestra() const;

    OpenRegister* m_registro;
    EntryActions* m_azioniSchede;
    EntryMask* Frm_mask;
    FieldBinder* binder;
    DataControl* Adodc1;
    DataControl* ado_mittenti;
    MaskPickers* m_selettori;
    AddressBookPanel* Pic_nomi;
    AXDbAutoComplete* AXDbAutoComplete1;
    QWidget* cmd_focus;
    MaskAutocomplete* m_completamentoMaschera = nullptr;
    QLineEdit* m_ctrl_filtro = nullptr;
};

} // namespace quad
