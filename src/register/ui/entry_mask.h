#pragma once

#include <QFrame>
#include <QPointer>
#include <QString>

#include <vector>

class QCheckBox;
class QGroupBox;
class QIcon;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPixmap;
class QPushButton;

namespace quad {

class CalendarPopup;
class DataControl;
class FieldBinder;

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
/// window can let go of the mask before its controls die. Its handlers read and write the boxes;
/// what else it shows they set through the calls below.
class EntryMask : public QFrame
{
    Q_OBJECT
public:
    /// The boxes of the entry mask (txt_mask1) by index, each named after the field it shows. The four
    /// boxes of the delivery and the return (a date and a time each) show no field.
    enum Casella : int {
        Progressivo = 0,
        Anno = 1,
        Data_quadernolo = 2,
        Tipo_documento = 3,
        Numero_documenti = 4,
        Quad_rif = 5,
        Data_quad_rif = 6,
        Oggetto = 7,
        Nominativo = 8,
        P_iva_CF = 9,
        Data_nascita = 10,
        Indirizzo = 11,
        Civico = 12,
        Citta = 13,
        Prov = 14,
        Stato = 15,
        Ufficio_competente = 16,
        Ufficio_conoscenza = 17,
        Note = 18,
        Collegamento = 19,
        Data_consegna = 20,
        Ora_consegna = 21,
        Data_restituzione = 22,
        Ora_restituzione = 23,
        Orario = 24,
        Cap = 25,
        Nota_annulla = 26,
    };

    /// How many boxes the entry mask has.
    static constexpr int kCaselleMaschera = Nota_annulla + 1;

    /// fuoco: the focus sink, which takes the focus before the mask hides a button that holds
    /// it (null: none; the focus then goes where the toolkit moves it).
    explicit EntryMask(QWidget* parent, QWidget* fuoco = nullptr);
    ~EntryMask() override;

    /// Where the events go (null: nowhere).
    void setEvents(EntryMaskEvents* events);

    // --- the boxes ----------------------------------------------------------------------------
    /// Box index (a Casella).
    QLineEdit* casella(int index) const { return txt_mask1[size_t(index)]; }
    /// Every box, by index.
    const std::vector<QLineEdit*>& caselle() const { return txt_mask1; }
    /// The index of box, or -1 when it is not one of the mask's boxes.
    int indexOf(const QObject* box) const;
    /// The caption beside box index ("" for the annulment note, which has none).
    QString didascalia(int index) const;

    // --- the fields the boxes show ------------------------------------------------------------
    /// The entry's boxes and check boxes show the fields of registro (the register's data
    /// control); "N. allegati" reads a count.
    void collega_campi_scheda(FieldBinder& binder, DataControl* registro);
    /// The correspondent's boxes name their fields (shown once they have their source).
    void collega_campi_corrispondente(FieldBinder& binder);
    /// The correspondent's boxes show the rows of mittenti.
    void collega_origine_corrispondente(FieldBinder& binder, DataControl* mittenti);
    /// Every box and check box lets its field go and is emptied; "Riservato" is unticked.
    void scollega(FieldBinder& binder);

    // --- what the mask shows of the entry -----------------------------------------------------
    /// A registered entry: only its note (Note) and its link (Collegamento) can be typed.
    void blocca();
    /// A new entry: boxes Data_quadernolo to Collegamento and Orario to Nota_annulla, "Riservato"
    /// and the other correspondents' button.
    void sblocca();
    /// Boxes Progressivo to Data_nascita in use (they are never put out of use by the mask itself).
    void abilita_caselle();
    /// The captions of an incoming (entrata) or outgoing entry: the header, the correspondent's
    /// caption and button, the reference caption; "Riservato" only for an incoming one.
    void mostra_verso(bool entrata);
    /// The other correspondents' button as an incoming entry names it ("Altri mittenti").
    void reimposta_altri();
    /// The annulled frame with its note button (annullato) or the annulment button (not).
    void mostra_annullamento(bool annullato);
    /// Neither the annulled frame nor the annulment button.
    void nascondi_annullamento();
    /// The confirmation and drop of a new entry in front (shown) or hidden.
    void mostra_nuova_scheda(bool mostra);
    /// True while the confirmation and drop of a new entry are shown.
    bool nuova_scheda_in_corso() const;
    /// "posizione/righe" beside the correspondents' paging.
    void scrivi_posizione_mittenti(int posizione, int righe);
    /// The correspondents' paging and their position shown or hidden.
    void mostra_paginazione_mittenti(bool mostra);
    /// The correspondents' position shown as the paging is.
    void allinea_posizione_mittenti();
    /// "Nodo : " and the folder of the entry shown; hidden for a blank one.
    void mostra_nodo(const QString& nodo);
    /// The mark of a filtered register in the header.
    void mostra_filtro_inserito(bool filtrato);
    /// The preview of the linked file after a change of the entry or of the link box.
    void mostra_anteprima_collegamento();
    /// The linked picture in its viewer, over the mask's window (a double click on the preview).
    void apri_anteprima_collegamento();
    /// The image that forwards the entry to its competent office in use or not.
    void abilita_inoltro(bool abilitato);
    /// The pictures of the folders' button and of the three images beside the link box.
    void imposta_icone(const QIcon& fascicoli, const std::vector<QPixmap>& collegamento);
    /// The calendar of the two date boxes.
    CalendarPopup* calendario() const;
    /// Hides the calendar as it stands (the focus stays where it is).
    void nascondi_calendario();

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
    /// The boxes of a registered entry locked (bloccate) or those of a new entry open.
    void bloccaCaselle(bool bloccate);
    /// Hides parte; when the focus of the mask's window lies in it (also while a dialog is over
    /// the window), the focus sink takes it first, so that no key reaches a control out of sight.
    void nascondi(QWidget* parte);
    /// The leaving of box index: its validation, then its lost focus.
    void lasciaCasella(int index);
    /// Every object this mask watches.
    std::vector<QObject*> osservati() const;

    std::vector<QLineEdit*> txt_mask1; ///< by Casella
    std::vector<QLabel*> lbl_mask1; ///< by Casella (Nota_annulla has no label)
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
    CalendarPopup* Frame_calendar = nullptr;
    std::vector<QFrame*> Shape1; ///< the mask's three separator lines

    QPointer<QWidget> cmd_focus; ///< the window's focus sink (may be null)
    EntryMaskEvents* m_events = nullptr;
    /// The box whose focus gain was handled and whose leaving was not yet (-1: none).
    int m_casellaAttiva = -1;
};

} // namespace quad
