#pragma once

#include <QFrame>

#include <memory>

class QLineEdit;
class QPushButton;
class QTableView;

namespace quad {

class EntryMask;
class OpenRegister;
class Recordset;

/// The address-book panel Pic_nomi: while a new entry is typed, the names of the address book
/// beginning with what is typed in the name box, under it; a double click copies one into the
/// current correspondent row; "Correggi" and "Elimina" (in Picture3) correct or delete the name
/// chosen. It reads the address book and the correspondents through the open register; it hangs
/// under the mask's name box, as wide as the mask from the box on. The focus stays in the name
/// box while it is shown: the name box left, or Escape there, closes it, and a click on it where
/// it shows no name and no button closes it and goes to the box beneath.
class AddressBookPanel : public QFrame
{
    Q_OBJECT
public:
    AddressBookPanel(OpenRegister& registro, EntryMask& maschera, QWidget* parent);

    /// The address-book names beginning with text (as typed, not trimmed) under the name box; the
    /// panel hides when there is none. The focus stays in the name box.
    void cerca_in_elenco(const QString& text);
    /// Copies the current address-book record into the current correspondent row, hides the
    /// panel and moves the focus to "A.O.O. competente".
    void DataGridAC_DblClick();
    /// "Elimina": deletes the selected address-book record after a question.
    void cmd_del_nomi_Click();
    /// "Correggi": the correction dialog on the selected record, then the look-up again.
    void cmd_mod_nomi_Click();
    /// After a confirmed entry: offers to add correspondents missing from the address book.
    void aggiorna_nominativi();
    /// The program is filling the correspondent row from the address book.
    bool p_modifica() const { return m_p_modifica; }
    /// The address-book correction dialog is open: it serves its own town box.
    bool p_frm_nomi() const;
    /// The grid lets the address book go (the register is closing).
    void scollega();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Closes the panel and puts the focus, and the caret, where the click at globale falls when
    /// a box lies there.
    void vaiSotto(const QPoint& globale);
    /// The address book's recordset on the record chosen in the grid; null, after telling the
    /// clerk to choose one, when no row is chosen.
    std::shared_ptr<Recordset> nominativoScelto();
    /// Shows the address book's recordset in the grid.
    void collegaGriglia();
    void mostraPannello();

    OpenRegister& m_registro;
    EntryMask& m_maschera;
    QWidget* Picture3 = nullptr;
    QPushButton* cmd_mod_nomi = nullptr;
    QPushButton* cmd_del_nomi = nullptr;
    QTableView* DataGridAC = nullptr;
    bool m_p_modifica = false;
};

} // namespace quad
