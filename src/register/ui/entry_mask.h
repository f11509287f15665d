#pragma once

#include "entry_session.h"

#include <QFrame>
#include <QString>

#include <vector>

class QCalendarWidget;
class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quad {

class DataControl;
class DataSource;

/// What the entry mask hands to the window that shows it: the events of its controls, by the
/// names of their handlers. Returning true from a key handler swallows the key; returning false
/// from txt_mask1_Validate keeps the focus in the box.
class EntryMaskEvents
{
public:
    virtual ~EntryMaskEvents() = default;
    virtual bool txt_mask1_KeyDown(int Index, QKeyEvent* event) = 0;
    virtual bool txt_mask1_KeyPress(int Index, QKeyEvent* event) = 0;
    virtual void txt_mask1_GotFocus(int Index) = 0;
    virtual void txt_mask1_LostFocus(int Index) = 0;
    virtual void txt_mask1_Change(int Index) = 0;
    virtual bool txt_mask1_Validate(int Index) = 0;
    virtual void txt_mask1_DblClick(int Index) = 0;
    /// A file or a text dropped on box Index (only the link box takes drops).
    virtual void txt_mask1_OLEDragDrop(int Index, const QString& dropped) = 0;
    virtual void picOpenWWW_Click(int Index) = 0;
    virtual void Image1_DblClick() = 0;
    virtual void cmd_new_ins_Click(int Index) = 0;
    virtual void cmd_mitt_Click(int Index) = 0;
    virtual void cmd_altri_Click() = 0;
    virtual void cmd_annulla_Click() = 0;
    virtual void cmd_annullato_Click() = 0;
    virtual void cmd_tree_Click() = 0;
    virtual void CalendarVB1_DateDblClick() = 0;
    virtual void CalendarVB1_Close() = 0;
    /// A click on the mask (beside its controls) dismisses the window's pop-ups.
    virtual void nascondi_popup() = 0;
};

/// The entry mask: the boxes of an entry and its correspondent (txt_mask1, 0..26) with their
/// captions, the annulled and confidential check boxes, the header strip, the correspondent
/// paging, the link images and preview, the annulment and new-entry frames and the calendar.
/// It owns its controls, each named as the program names it, and routes their events to the
/// EntryMaskEvents it is given; without one (setEvents(nullptr)) the events go nowhere, so a
/// window can let go of the mask before its controls die.
class EntryMask : public QFrame
{
    Q_OBJECT
public:
    explicit EntryMask(QWidget* parent);

    /// The data control of the correspondents of the entry shown, over source (made once).
    DataControl* ado_mittenti = nullptr;
    void mostra_corrispondenti(DataSource& source);
    ~EntryMask() override;

    /// Where the events go (null: nowhere).
    void setEvents(EntryMaskEvents* events);

    std::vector<QLineEdit*> txt_mask1; ///< 0..26
    std::vector<QLabel*> lbl_mask1; ///< 0..25 (26 has no label)
    QCheckBox* Check1 = nullptr; ///< Annullato: only the annulment ticks it
    QGroupBox* Frame6 = nullptr;
    QCheckBox* Check2 = nullptr; ///< "Riservato"
    QFrame* Frame2 = nullptr; ///< header strip of the mask
    QPushButton* cmd_tree = nullptr;
    QLabel* lbl_filtro_ins = nullptr;
    QLabel* lbl_modo = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* Frame_annullato = nullptr;
    QPushButton* cmd_annullato = nullptr;
    QLabel* Label4 = nullptr;
    QFrame* frame_annulla = nullptr;
    QPushButton* cmd_annulla = nullptr;
    QFrame* Frame_new_ins = nullptr;
    std::vector<QPushButton*> cmd_new_ins; ///< 0 "Conferma ed Esci", 1 "Annulla"
    std::vector<QWidget*> Picture2; ///< only index 2 exists
    std::vector<QPushButton*> cmd_mitt; ///< 0..2
    QPushButton* cmd_altri = nullptr;
    QLabel* lbl_numero = nullptr;
    QLabel* lbl_nodo = nullptr;
    std::vector<QLabel*> picOpenWWW; ///< 0..2, images beside the link box
    QLabel* Image1 = nullptr; ///< preview of the linked picture
    QFrame* Frame_calendar = nullptr;
    QCalendarWidget* CalendarVB1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lbl_data = nullptr;
    std::vector<QFrame*> Shape1; ///< the mask's three separator lines

    /// The index of box, or -1 when it is not one of the mask's boxes.
    int indexOf(const QObject* box) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void creaCaselle();
    void creaRiquadri();
    void collegaSegnali();
    /// The order Tab walks the mask's controls in.
    void ordinaTab();
    bool eventoCasella(int index, QEvent* event);
    bool eventoCollegamento(QEvent* event);
    /// The leaving of box index: its validation, then its lost focus.
    void lasciaCasella(int index);
    /// Every object this mask watches.
    std::vector<QObject*> osservati() const;

    EntryMaskEvents* m_events = nullptr;
    /// The box whose focus gain was handled and whose leaving was not yet (-1: none).
    int m_casellaAttiva = -1;
};

} // namespace quad
