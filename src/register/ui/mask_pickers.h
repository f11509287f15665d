#pragma once

#include <QObject>
#include <QStringList>

class QEvent;
class QListWidget;
class QWidget;

namespace quad {

class EntryMask;
class FieldBinder;
class OpenRegister;

/// The pickers of the entry mask: the calendar of the two date boxes, the office list list_elenco
/// of the two office boxes and the document-type list list_view of the document type's box, whose pick also fills
/// the offices. The lists are children of the window's area, placed beside the box they serve;
/// Enter picks in either list, Esc closes either and gives the focus back to its box.
class MaskPickers : public QObject
{
    Q_OBJECT
public:
    MaskPickers(EntryMask& mask, FieldBinder& binder, OpenRegister& registro, QWidget* area);

    /// The mask box that last got the focus (the office list writes into it).
    void imposta_casella(int Index);
    /// The offices the office list offers.
    void carica_uffici(const QStringList& uffici);
    bool elenco_uffici_visibile() const;
    void nascondi_elenco_uffici();
    void nascondi_tipi_documento();

    /// The calendar over the box Data_quadernolo or Data_quad_rif, when the box is not locked.
    void apri_calendario(int Index);
    /// Writes the calendar's date into the box lbl_data names (Data_quadernolo also sets the year).
    void imposta_data_calendario();
    /// A day chosen in the calendar / the calendar closed without a choice.
    void CalendarVB1_DateDblClick();
    void CalendarVB1_Close();
    /// The office list beside the box Ufficio_competente or Ufficio_conoscenza (not when the box is locked): "Nessuna
    /// voce in elenco." when there is no office. withFocus gives the list the focus. True when the key that opened it
    /// is to be swallowed.
    bool apri_elenco_uffici(int Index, bool withFocus);
    /// The office list already shown takes the focus, on its office chosen or its first; false
    /// when it is not shown.
    bool entra_elenco_uffici();
    /// Adds the office chosen in list_elenco to the box last focused ("Già inserito !" when there).
    void list_elenco_DblClick();
    /// The document types beside their box, the first one selected and the list focused.
    void apri_tipi_documento();
    /// Writes the document type chosen in list_view into its box and its offices into the office boxes.
    void list_view_DblClick();

signals:
    /// An office was added to its box from the list: the name box's suggestions are to go.
    void ufficio_aggiunto();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EntryMask& m_mask;
    FieldBinder& m_binder;
    OpenRegister& m_registro;
    QListWidget* list_elenco = nullptr;
    QListWidget* list_view = nullptr;
    int p_index = 0;
};

} // namespace quad
