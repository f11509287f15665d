#pragma once
// The autocomplete of the entry mask's boxes: which source the control serves for each box that
// gets the focus, the keys and typing handed to it, and the town pick written into the current
// correspondent row.

#include <QObject>
#include <QString>

#include <vector>

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace quad {

class AXDbAutoComplete;
class DataControl;
class EntrySession;
class FieldBinder;

/// What the mask's autocomplete asks of the window that shows the mask.
class MaskAutocompleteHost
{
public:
    virtual ~MaskAutocompleteHost() = default;
    /// Records in the register (0 when none is open).
    virtual int conta_schede() const = 0;
    /// The program is writing the mask's boxes: their rules stay quiet.
    virtual bool p_uscita() const = 0;
    /// The program is filling the correspondent row from the address book.
    virtual bool p_modifica() const = 0;
    /// The address-book correction dialog is open: a town picked belongs to its own boxes.
    virtual bool p_frm_nomi() const = 0;
    /// The address-book names beginning with text, under the name box.
    virtual void cerca_in_elenco(const QString& text) = 0;
};

/// Watches the mask's boxes for the autocomplete and the name look-up, with its own event filter
/// and textEdited connections (the mask's own events go to the mask's handlers). It leaves the
/// boxes alone when it goes, so it must go before them.
class MaskAutocomplete : public QObject
{
    Q_OBJECT
public:
    /// It works with the mask's boxes (caselle, by index), the control, the register's, the
    /// address book's and the correspondents' data controls, the binder, the address-book panel
    /// and the entry session.
    MaskAutocomplete(MaskAutocompleteHost& host, const std::vector<QLineEdit*>& caselle,
                     AXDbAutoComplete& completamento, DataControl& registro, DataControl& rubrica,
                     DataControl& mittenti, FieldBinder& binder, QWidget& pannelloNomi, const EntrySession& sessione,
                     QObject* parent);
    ~MaskAutocomplete() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOf(QObject* box) const;
    /// A box got the focus: the control is given the box's source (connection, table, field).
    void casellaAttiva(int index);
    /// A key in a box: true when the control used it and the box must not have it.
    bool tasto(int index, QKeyEvent* event);
    /// The clerk changed a box's text.
    void testoDigitato(int index);
    /// A town was picked in the list: its data go into the current correspondent row.
    void comuneScelto(const QString& citta, const QString& prov, const QString& stato, const QString& cap);
    /// The register was closed: the control lets its database go.
    void registroChiuso();

    MaskAutocompleteHost& m_host;
    std::vector<QLineEdit*> m_caselle;
    AXDbAutoComplete& m_completamento;
    DataControl& Adodc1;
    DataControl& Ado_nomi;
    DataControl& ado_mittenti;
    FieldBinder& m_binder;
    QWidget& m_pannelloNomi;
    const EntrySession& m_session;
};

} // namespace quad
