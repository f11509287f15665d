#pragma once

#include <QObject>

class QListWidget;
class QWidget;

namespace quad {

class EntryMask;
class FieldBinder;
class OpenRegister;

/// What the pickers ask of the window that shows the entry mask.
class MaskPickersHost
{
public:
    virtual ~MaskPickersHost() = default;
    /// Hides the suggestions of the name box (the autocomplete's list and the address-book panel).
    virtual void nascondi_suggerimenti() = 0;
};

/// The pickers of the entry mask: the calendar of the two date boxes, the office list list_elenco
/// of the two office boxes and the document-type list list_view of box 3, whose pick also fills
/// the offices. The lists are children of the window's area, placed beside the box they serve.
class MaskPickers : public QObject
{
    Q_OBJECT
public:
    MaskPickers(EntryMask& mask, FieldBinder& binder, OpenRegister& registro, MaskPickersHost& host, QWidget* area);

    QListWidget* list_elenco = nullptr;
    QListWidget* list_view = nullptr;
    /// The mask box that last got the focus (the office list writes into it).
    int p_index = 0;

    /// The calendar over box 2 or 6, when the box is not locked.
    void apri_calendario(int Index);
    /// Writes the calendar's date into the box lbl_data names (box 2 also sets the year).
    void imposta_data_calendario();
    /// A day chosen in the calendar / the calendar closed without a choice.
    void CalendarVB1_DateDblClick();
    void CalendarVB1_Close();
    /// The office list beside box 16 or 17 (not when the box is locked): "Nessuna voce in
    /// elenco." when there is no office. withFocus gives the list the focus. True when the key
    /// that opened it is to be swallowed.
    bool apri_elenco_uffici(int Index, bool withFocus);
    /// Adds the office chosen in list_elenco to the box last focused ("Già inserito !" when there).
    void list_elenco_DblClick();
    /// The document types beside box 3, the first one selected and the list focused.
    void apri_tipi_documento();
    /// Writes the document type chosen in list_view into box 3 and its offices into 16 and 17.
    void list_view_DblClick();

private:
    EntryMask& m_mask;
    FieldBinder& m_binder;
    OpenRegister& m_registro;
    MaskPickersHost& m_host;
};

} // namespace quad
