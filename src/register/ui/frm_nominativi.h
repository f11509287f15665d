#pragma once

#include "address_book.h"

#include <QDialog>

#include <vector>

class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quad {

class AXDbAutoComplete;

/// "Quadernolo : CORREZIONE ANAGRAFICA": corrects one address-book record. The record's values
/// are shown in the boxes; nothing is written until "Salva ed esci", which stores every box
/// over the record. "Annulla" and the window's close box discard the edits; Escape does not
/// close the dialog (in the town box it closes the list). The town box offers the towns of
/// Comuni and a pick fills province, country and postal code.
///
/// Boxes keep the entry mask's indexes: txt_mask1[8..15] are Nominativo, P_iva_CF,
/// Data_nascita, Indirizzo, Civico, Citta, Prov, Stato; txt_mask1[0] is Cap; the other slots
/// hold nullptr (lbl_mask1 likewise).
class frm_nominativi : public QDialog
{
    Q_OBJECT
public:
    /// book: the address book written by "Salva ed esci"; record: the record to correct (by row
    /// id, or by its values when the id is 0).
    frm_nominativi(AddressBook* book, const AddressRecord& record, QWidget* parent);

    /// The record as it now stands (the stored values after a save).
    const AddressRecord& record() const { return m_record; }
    /// True once "Salva ed esci" has written the record.
    bool salvato() const { return m_salvato; }
    /// True while the boxes hold edits not yet saved.
    bool modificato() const { return m_modificato; }

    /// 0: save (when something changed) and close; 1: discard and close. A failed save shows
    /// why and keeps the dialog open with the edits.
    void Command1_Click(int Index);

    void txt_mask1_GotFocus(int Index);
    void txt_mask1_Change(int Index);
    /// Return true to swallow the key.
    bool txt_mask1_KeyDown(int Index, QKeyEvent* event);
    bool txt_mask1_KeyPress(int Index, QKeyEvent* event);
    void txt_mask1_LostFocus(int Index);
    void txt_mask1_Validate(int Index);

public slots:
    /// "Annulla" and the window's close box: the edits are dropped.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFrame* Frame5 = nullptr;
    std::vector<QLineEdit*> txt_mask1;
    std::vector<QLabel*> lbl_mask1;
    std::vector<QPushButton*> Command1; ///< 0 "Salva ed esci", 1 "Annulla"
    AXDbAutoComplete* AXDbAutoComplete1 = nullptr;

    void Form_Load();
    int indexOf(QObject* box) const;
    QVariantMap valoriMaschera() const;
    void segnaModificato();

    AddressBook* m_book;
    AddressRecord m_record;
    bool m_modificato = false;
    bool m_salvato = false;
};

} // namespace quad
