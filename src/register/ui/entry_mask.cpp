#include "entry_mask.h"

#include "data_control.h"
#include "field_binding.h"
#include "link_preview.h"

#include "accessible_names.h"
#include "calendar_popup.h"
#include "control_factory.h"
#include "mask_rules.h"

#include <QApplication>
#include <QCheckBox>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

namespace quad {

using namespace controls;

EntryMask::EntryMask(QWidget* parent, QWidget* fuoco)
    : QFrame(parent)
    , cmd_focus(fuoco)
{
    setObjectName(QStringLiteral("Frm_mask"));
    setFrameShape(QFrame::StyledPanel);
    setGeometry(0, 0, tw(10215), tw(6495));
    QFont piccolo = font();
    piccolo.setPointSizeF(8);
    setFont(piccolo);

    // Header strip.
    Frame2 = nominato(new QFrame(this), QStringLiteral("Frame2"));
    Frame2->setFrameShape(QFrame::StyledPanel);
    Frame2->setGeometry(0, 0, 681, 28);
    Label3 = etichetta(Frame2, QStringLiteral("Label3"), QStringLiteral("GESTIONE QUADERNOLO"), QRect(8, 5, 190, 18));
    QFont grassetto = Label3->font();
    grassetto.setBold(true);
    Label3->setFont(grassetto);
    lbl_modo = etichetta(Frame2, QStringLiteral("lbl_modo"), QString(), QRect(205, 5, 170, 18));
    lbl_filtro_ins = etichetta(Frame2, QStringLiteral("lbl_filtro_ins"), QStringLiteral("[Filtro attivato]"),
                               QRect(385, 5, 150, 18));
    lbl_filtro_ins->hide();
    cmd_tree = bottone(Frame2, "cmd_tree", QString(), QRect(645, 2, 32, 24));

    creaCaselle();
    creaRiquadri();
    // Return on a focused button presses it, as Space does.
    for (QPushButton* pulsante : findChildren<QPushButton*>())
        preme_con_invio(pulsante);
    collegaSegnali();
    ordinaTab();
    // A screen reader announces each box by its caption; the annulment note stands without one.
    annuncia_caselle(this, {{txt_mask1[Nota_annulla], QStringLiteral("Nota Annulla")}});
    // Captions that repeat ("del", "Ora") name their boxes by what each holds.
    const std::pair<Casella, const char*> nomi[] = {{Data_quadernolo, "Data quadernolo"},
                                                    {Orario, "Ora quadernolo"},
                                                    {Data_quad_rif, "Data quad. rif."},
                                                    {Ora_consegna, "Ora consegna"},
                                                    {Ora_restituzione, "Ora restituzione"}};
    for (const auto& [index, nome] : nomi)
        txt_mask1[index]->setAccessibleName(QString::fromUtf8(nome));
    Check1->setAccessibleName(QStringLiteral("Annullato"));
    // Buttons and images that show a picture or an arrow are announced by what they do.
    cmd_tree->setAccessibleName(QStringLiteral("Fascicoli del quadernolo"));
    for (QPushButton* freccia : cmd_mitt)
        freccia->setAccessibleName(freccia->toolTip());
    for (QLabel* immagine : picOpenWWW)
        immagine->setAccessibleName(immagine->toolTip().trimmed());
    for (QObject* watched : osservati())
        watched->installEventFilter(this);
}

EntryMask::~EntryMask()
{
    // The controls die after this body, in QWidget's destructor: nothing of theirs may reach the
    // filter or the window from then on.
    m_events = nullptr;
    for (QObject* watched : osservati())
        watched->removeEventFilter(this);
}

void EntryMask::setEvents(EntryMaskEvents* events)
{
    m_events = events;
}

std::vector<QObject*> EntryMask::osservati() const
{
    std::vector<QObject*> watched(txt_mask1.begin(), txt_mask1.end());
    watched.insert(watched.end(), picOpenWWW.begin(), picOpenWWW.end());
    watched.push_back(Image1);
    watched.push_back(const_cast<EntryMask*>(this));
    watched.push_back(Frame2);
    return watched;
}

void EntryMask::creaCaselle()
{
    // The boxes: index, caption, label x, box x, y, box width (pixels inside their container).
    txt_mask1.assign(kCaselleMaschera, nullptr);
    lbl_mask1.assign(kCaselleMaschera, nullptr);
    Frame6 = nominato(new QGroupBox(this), QStringLiteral("Frame6"));
    Frame6->setGeometry(4, 86, 673, 56);
    struct Posto
    {
        Casella index;
        const char* caption;
        int lx, bx, y, width;
    };
    const Posto posti[] = {{Progressivo, "Quadernolo N.", 8, 100, 36, 70},
                           {Anno, "Anno", 180, 212, 36, 50},
                           {Data_quadernolo, "del", 272, 296, 36, 85},
                           {Orario, "Ora", 390, 416, 36, 70},
                           {Tipo_documento, "Tipo documento", 8, 100, 62, 285},
                           {Numero_documenti, "N. allegati", 395, 460, 62, 40},
                           {Quad_rif, "Quad. rif.", 4, 96, 4, 120},
                           {Data_quad_rif, "del", 226, 250, 4, 85},
                           {Oggetto, "Oggetto", 4, 96, 30, 570},
                           {Nominativo, "Mittente", 8, 100, 148, 350},
                           {P_iva_CF, "P.iva/CF", 8, 100, 174, 160},
                           {Data_nascita, "Nato il", 270, 315, 174, 85},
                           {Indirizzo, "Indirizzo", 8, 100, 200, 300},
                           {Civico, "N. Civico", 410, 465, 200, 50},
                           {Citta, "Città", 8, 100, 226, 200},
                           {Prov, "Prov", 310, 340, 226, 35},
                           {Cap, "CAP", 385, 415, 226, 55},
                           {Stato, "Stato", 480, 515, 226, 40},
                           {Ufficio_competente, "A.O.O. competente", 8, 140, 256, 250},
                           {Ufficio_conoscenza, "A.O.O. per conoscenza", 8, 140, 282, 250},
                           {Note, "NOTE", 8, 140, 308, 400},
                           {Collegamento, "File", 8, 140, 334, 330},
                           {Data_consegna, "Data consegna", 8, 100, 362, 80},
                           {Ora_consegna, "Ora", 190, 215, 362, 65},
                           {Data_restituzione, "Data restituzione", 290, 395, 362, 80},
                           {Ora_restituzione, "Ora", 485, 510, 362, 65},
                           {Nota_annulla, nullptr, 0, 8, 410, 400}};
    for (const Posto& c : posti) {
        // The reference and the subject lie in the frame with "Riservato".
        const bool riquadro = c.index == Quad_rif || c.index == Data_quad_rif || c.index == Oggetto;
        QWidget* contenitore = riquadro ? static_cast<QWidget*>(Frame6) : this;
        auto* box = new QLineEdit(contenitore);
        box->setObjectName(indicizzato("txt_mask1", c.index));
        box->setGeometry(c.bx, c.y, c.width, 21);
        txt_mask1[c.index] = box;
        if (c.caption) {
            lbl_mask1[c.index] = etichetta(contenitore, indicizzato("lbl_mask1", c.index), QString::fromUtf8(c.caption),
                                           QRect(c.lx, c.y + 2, c.bx - c.lx - 4, 18));
        }
    }
    // Boxes the window's design keeps locked and grey.
    for (Casella i : {Progressivo, Anno, Data_consegna, Ora_consegna, Data_restituzione, Ora_restituzione}) {
        txt_mask1[i]->setReadOnly(true);
        txt_mask1[i]->setStyleSheet(QStringLiteral("QLineEdit { background-color: #E0E0E0; }"));
    }
    // Only the link box takes drops.
    for (QLineEdit* box : txt_mask1)
        box->setAcceptDrops(box == txt_mask1[Collegamento]);
    Check1 = nominato(new QCheckBox(this), QStringLiteral("Check1"));
    Check1->setGeometry(610, 36, 20, 21);
    // Only the annulment ticks it: the clerk never does.
    Check1->setEnabled(false);
    Check2 = nominato(new QCheckBox(QStringLiteral("Riservato"), Frame6), QStringLiteral("Check2"));
    Check2->setGeometry(340, 4, 100, 21);
}

void EntryMask::creaRiquadri()
{
    // Correspondent paging.
    Picture2.assign(3, nullptr);
    Picture2[2] = nominato(new QWidget(this), QStringLiteral("Picture2_2"));
    Picture2[2]->setGeometry(460, 146, 96, 26);
    cmd_mitt.assign(3, nullptr);
    const char* mitt[] = {"Nominativo precedente", "Nominativo successivo", "Visualizza nominativi in griglia"};
    const char* frecce[] = {"◀", "▶", "▦"};
    for (int i = 0; i < 3; ++i) {
        cmd_mitt[i] = bottone(Picture2[2], "", QString::fromUtf8(frecce[i]), QRect(i * 32, 1, 30, 24),
                              QString::fromUtf8(mitt[i]));
        cmd_mitt[i]->setObjectName(indicizzato("cmd_mitt", i));
    }
    cmd_altri = bottone(this, "cmd_altri", QStringLiteral("Altri destinatari"), QRect(560, 148, 115, 22));
    lbl_numero = etichetta(this, QStringLiteral("lbl_numero"), QString(), QRect(490, 38, 110, 18));
    lbl_nodo = etichetta(this, QStringLiteral("lbl_nodo"), QStringLiteral("Nodo :"), QRect(8, 390, 400, 18));

    // Link images and the preview.
    picOpenWWW.assign(3, nullptr);
    const char* link[] = {" Apri collegamento ipertestuale ", "Inoltra all' A.O.O. competente", "Inserisci file"};
    for (int i = 0; i < 3; ++i) {
        picOpenWWW[i] = etichetta(this, indicizzato("picOpenWWW", i), QString(), QRect(475 + i * 26, 333, 24, 24));
        picOpenWWW[i]->setToolTip(QString::fromUtf8(link[i]));
    }
    Image1 = etichetta(this, QStringLiteral("Image1"), QString(), QRect(560, 256, 115, 72));
    Image1->setToolTip(QStringLiteral("Doppio click per visualizzare l' immagine"));
    Image1->setScaledContents(true);
    Image1->setFrameShape(QFrame::Box);

    // Annulment and new-entry frames share one place.
    Frame_annullato = nominato(new QFrame(this), QStringLiteral("Frame_annullato"));
    Frame_annullato->setGeometry(420, 386, 256, 40);
    Label4 = etichetta(Frame_annullato, QStringLiteral("Label4"), QStringLiteral("Annullato"), QRect(4, 10, 120, 20));
    Label4->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
    cmd_annullato = bottone(Frame_annullato, "cmd_annullato", QStringLiteral("Vedi note"), QRect(130, 6, 120, 28));
    Frame_annullato->hide();
    frame_annulla = nominato(new QFrame(this), QStringLiteral("frame_annulla"));
    frame_annulla->setGeometry(420, 386, 256, 40);
    cmd_annulla = bottone(frame_annulla, "cmd_annulla", QStringLiteral("ANNULLA"), QRect(130, 6, 120, 28));
    frame_annulla->hide();
    Frame_new_ins = nominato(new QFrame(this), QStringLiteral("Frame_new_ins"));
    Frame_new_ins->setGeometry(420, 386, 256, 40);
    cmd_new_ins.assign(2, nullptr);
    cmd_new_ins[0] = bottone(Frame_new_ins, "cmd_new_ins_0", QStringLiteral("Conferma ed Esci"), QRect(4, 6, 124, 28));
    cmd_new_ins[1] = bottone(Frame_new_ins, "cmd_new_ins_1", QStringLiteral("Annulla"), QRect(132, 6, 120, 28));
    Frame_new_ins->hide();

    // Calendar pop-up (hidden until a date box opens it).
    Frame_calendar = new CalendarPopup(this);
    Frame_calendar->hide();

    for (int y : {144, 252, 358}) {
        auto* linea = new QFrame(this);
        linea->setObjectName(indicizzato("Shape1", int(Shape1.size())));
        linea->setFrameShape(QFrame::HLine);
        linea->setFrameShadow(QFrame::Sunken);
        linea->setGeometry(4, y, 673, 3);
        Shape1.push_back(linea);
    }
}

void EntryMask::collegaSegnali()
{
    // Each signal reaches the handler through whatever events are set at that moment.
    const auto verso = [this](auto handler) {
        return [this, handler] {
            if (m_events)
                handler(*m_events);
        };
    };
    for (int i = 0; i < 2; ++i)
        connect(cmd_new_ins[i], &QPushButton::clicked, this,
                verso([i](EntryMaskEvents& e) { e.cmd_new_ins_Click(i); }));
    for (int i = 0; i < 3; ++i)
        connect(cmd_mitt[i], &QPushButton::clicked, this, verso([i](EntryMaskEvents& e) { e.cmd_mitt_Click(i); }));
    connect(cmd_altri, &QPushButton::clicked, this, verso([](EntryMaskEvents& e) { e.cmd_altri_Click(); }));
    connect(cmd_annulla, &QPushButton::clicked, this, verso([](EntryMaskEvents& e) { e.cmd_annulla_Click(); }));
    connect(cmd_annullato, &QPushButton::clicked, this, verso([](EntryMaskEvents& e) { e.cmd_annullato_Click(); }));
    connect(cmd_tree, &QPushButton::clicked, this, verso([](EntryMaskEvents& e) { e.cmd_tree_Click(); }));
    for (int i = 0; i < int(txt_mask1.size()); ++i)
        connect(txt_mask1[i], &QLineEdit::textChanged, this, verso([i](EntryMaskEvents& e) { e.txt_mask1_Change(i); }));
    connect(Frame_calendar, &CalendarPopup::datePicked, this,
            verso([](EntryMaskEvents& e) { e.CalendarVB1_DateDblClick(); }));
    connect(Frame_calendar, &CalendarPopup::closedWithoutPick, this,
            verso([](EntryMaskEvents& e) { e.CalendarVB1_Close(); }));
}

void EntryMask::ordinaTab()
{
    // Tab walks the mask as it reads, line by line and left to right, to the confirmation.
    std::vector<QWidget*> ordine {cmd_tree};
    for (Casella i : {Progressivo, Anno, Data_quadernolo, Orario})
        ordine.push_back(txt_mask1[i]);
    ordine.push_back(Check1);
    for (Casella i : {Tipo_documento, Numero_documenti, Quad_rif, Data_quad_rif})
        ordine.push_back(txt_mask1[i]);
    ordine.push_back(Check2);
    for (Casella i : {Oggetto, Nominativo})
        ordine.push_back(txt_mask1[i]);
    ordine.insert(ordine.end(), cmd_mitt.begin(), cmd_mitt.end());
    ordine.push_back(cmd_altri);
    for (Casella i :
         {P_iva_CF, Data_nascita, Indirizzo, Civico, Citta, Prov, Cap, Stato, Ufficio_competente, Ufficio_conoscenza,
          Note, Collegamento, Data_consegna, Ora_consegna, Data_restituzione, Ora_restituzione, Nota_annulla})
        ordine.push_back(txt_mask1[i]);
    ordine.insert(ordine.end(), cmd_new_ins.begin(), cmd_new_ins.end());
    ordine.push_back(cmd_annulla);
    ordine.push_back(cmd_annullato);
    for (size_t i = 1; i < ordine.size(); ++i)
        QWidget::setTabOrder(ordine[i - 1], ordine[i]);
}

int EntryMask::indexOf(const QObject* box) const
{
    for (int i = 0; i < int(txt_mask1.size()); ++i) {
        if (txt_mask1[i] == box)
            return i;
    }
    return -1;
}

bool EntryMask::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_events)
        return QFrame::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    const int index = indexOf(watched);
    if (index == Collegamento && eventoCollegamento(event))
        return true;
    if (index >= 0)
        return eventoCasella(index, event) || QFrame::eventFilter(watched, event);
    for (int i = 0; i < int(picOpenWWW.size()); ++i) {
        if (watched == picOpenWWW[i]) {
            if (type == QEvent::MouseButtonRelease && picOpenWWW[i]->isEnabled())
                m_events->picOpenWWW_Click(i);
            return false;
        }
    }
    if (watched == Image1 && type == QEvent::MouseButtonDblClick) {
        m_events->Image1_DblClick();
        return true;
    }
    // A click on the mask or its header strip (beside their controls) dismisses the pop-ups.
    if ((watched == this || watched == Frame2) && type == QEvent::MouseButtonPress)
        m_events->nascondi_popup();
    return QFrame::eventFilter(watched, event);
}

bool EntryMask::eventoCasella(int index, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (m_events->txt_mask1_KeyDown(index, key))
            return true;
        return !key->text().isEmpty() && m_events && m_events->txt_mask1_KeyPress(index, key);
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // The window losing or regaining the activation (a message box, another program) and a
        // pop-up menu do not move the focus from box to box...
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool attivazione = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
        if (event->type() == QEvent::FocusOut) {
            // ...nor does the calendar a date box opens as it gets the focus, and which takes the
            // focus then (the focus widget is already the one the focus goes to): the box is left,
            // and its date judged, when the focus goes on from the calendar to another control.
            const QWidget* verso = QApplication::focusWidget();
            const bool calendario = verso && Frame_calendar->isAncestorOf(verso);
            if (!attivazione && !calendario)
                lasciaCasella(index);
            return false;
        }
        // ...unless the box is not the one the window left: a box clicked while the window was
        // not active gets the focus with the activation, and is the box the clerk went to. (A
        // message box shown as the clerk leaves a box may bring the window back to the next box
        // before its own arrival is told: that box has then arrived already.)
        if (index == m_casellaAttiva)
            return false;
        if (m_casellaAttiva >= 0)
            lasciaCasella(m_casellaAttiva);
        m_casellaAttiva = index;
        if (m_events)
            m_events->txt_mask1_GotFocus(index);
        return false;
    }
    default:
        return false;
    }
}

void EntryMask::lasciaCasella(int index)
{
    m_casellaAttiva = -1;
    if (!m_events)
        return;
    if (!m_events->txt_mask1_Validate(index)) {
        QLineEdit* box = txt_mask1[index];
        QTimer::singleShot(0, box, [box] { box->setFocus(); });
    }
    if (m_events)
        m_events->txt_mask1_LostFocus(index);
}

bool EntryMask::eventoCollegamento(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (testo_rilascio(drag->mimeData())) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::optional<QString> dropped = testo_rilascio(drop->mimeData());
        if (!dropped) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        m_events->txt_mask1_OLEDragDrop(Collegamento, *dropped);
        return true;
    }
    case QEvent::MouseButtonDblClick:
        m_events->txt_mask1_DblClick(Collegamento);
        return true;
    default:
        return false;
    }
}

QString EntryMask::didascalia(int index) const
{
    const QLabel* label = index >= 0 && index < int(lbl_mask1.size()) ? lbl_mask1[size_t(index)] : nullptr;
    return label ? label->text() : QString();
}

// --- the fields the boxes show -------------------------------------------------------------

namespace {

struct CampoCasella
{
    EntryMask::Casella index;
    const char* field;
};

// Register fields of the mask's boxes.
const CampoCasella kCampiScheda[] = {{EntryMask::Progressivo, "Progressivo"},
                                     {EntryMask::Anno, "Anno"},
                                     {EntryMask::Data_quadernolo, "Data_quadernolo"},
                                     {EntryMask::Tipo_documento, "Tipo_documento"},
                                     {EntryMask::Numero_documenti, "Numero_documenti"},
                                     {EntryMask::Quad_rif, "Quad_rif"},
                                     {EntryMask::Data_quad_rif, "Data_quad_rif"},
                                     {EntryMask::Oggetto, "Oggetto"},
                                     {EntryMask::Ufficio_competente, "Ufficio_competente"},
                                     {EntryMask::Ufficio_conoscenza, "Ufficio_conoscenza"},
                                     {EntryMask::Note, "Note"},
                                     {EntryMask::Collegamento, "Collegamento"},
                                     {EntryMask::Orario, "Orario"},
                                     {EntryMask::Nota_annulla, "Nota_annulla"}};

// Correspondent fields.
const CampoCasella kCampiCorrispondente[] = {{EntryMask::Nominativo, "Nominativo"},
                                             {EntryMask::P_iva_CF, "P_iva_CF"},
                                             {EntryMask::Data_nascita, "Data_nascita"},
                                             {EntryMask::Indirizzo, "Indirizzo"},
                                             {EntryMask::Civico, "Civico"},
                                             {EntryMask::Citta, "Citta"},
                                             {EntryMask::Prov, "Prov"},
                                             {EntryMask::Stato, "Stato"},
                                             {EntryMask::Cap, "Cap"}};

} // namespace

void EntryMask::collega_campi_scheda(FieldBinder& binder, DataControl* registro)
{
    for (const CampoCasella& c : kCampiScheda)
        binder.setDataField(txt_mask1[c.index], QLatin1String(c.field));
    binder.setDataField(Check1, QStringLiteral("Annullato"));
    binder.setDataField(Check2, QStringLiteral("Riservato"));
    // "N. allegati" counts documents: a whole number from 0 up.
    binder.setFieldKind(txt_mask1[Numero_documenti], FieldKind::Count);

    // The entry's boxes, with the delivery and return boxes, which show no field.
    for (int i = 0; i < kCaselleMaschera; ++i) {
        if (i <= Oggetto || (i >= Ufficio_competente && i <= Orario) || i == Nota_annulla)
            binder.setDataSource(txt_mask1[i], registro);
    }
    binder.setDataSource(Check1, registro);
    binder.setDataSource(Check2, registro);
}

void EntryMask::collega_campi_corrispondente(FieldBinder& binder)
{
    for (const CampoCasella& c : kCampiCorrispondente)
        binder.setDataField(txt_mask1[c.index], QLatin1String(c.field));
}

void EntryMask::collega_origine_corrispondente(FieldBinder& binder, DataControl* mittenti)
{
    for (const CampoCasella& c : kCampiCorrispondente)
        binder.setDataSource(txt_mask1[c.index], mittenti);
}

void EntryMask::scollega(FieldBinder& binder)
{
    for (QLineEdit* box : txt_mask1) {
        binder.setDataField(box, QString());
        binder.setDataSource(box, nullptr);
        box->clear();
    }
    for (QCheckBox* check : {Check2, Check1}) {
        binder.setDataField(check, QString());
        binder.setDataSource(check, nullptr);
    }
    Check2->setChecked(false);
}

// --- what the mask shows of the entry --------------------------------------------------------

void EntryMask::blocca()
{
    bloccaCaselle(true);
}

void EntryMask::sblocca()
{
    bloccaCaselle(false);
}

void EntryMask::bloccaCaselle(bool bloccate)
{
    // Notes and link stay editable on a registered entry: they are what it may still change.
    QList<int> caselle;
    for (int i = Data_quadernolo; i <= (bloccate ? Ufficio_conoscenza : Collegamento); ++i)
        caselle << i;
    caselle << Orario << Cap << Nota_annulla;
    for (int i : caselle) {
        txt_mask1[i]->setReadOnly(bloccate);
        txt_mask1[i]->setFrame(!bloccate);
        // Grey when locked, the window's own background colour otherwise.
        txt_mask1[i]->setStyleSheet(bloccate ? QStringLiteral("QLineEdit { background-color: #E0E0E0; }") : QString());
    }
    Check2->setEnabled(!bloccate);
    cmd_altri->setEnabled(!bloccate);
}

void EntryMask::abilita_caselle()
{
    for (int i = Progressivo; i <= Data_nascita; ++i)
        txt_mask1[i]->setEnabled(true);
}

void EntryMask::mostra_verso(bool entrata)
{
    if (entrata) {
        lbl_modo->setText(QStringLiteral("Quadernolo in ENTRATA"));
        cmd_altri->setText(QStringLiteral("Altri mittenti"));
        lbl_mask1[Nominativo]->setText(QStringLiteral("Mittente"));
        lbl_mask1[Quad_rif]->setText(QStringLiteral("Quad. Rif."));
        Check2->show();
    } else {
        lbl_modo->setText(QStringLiteral("Quadernolo in USCITA"));
        cmd_altri->setText(QStringLiteral("Altri destinatari"));
        Check2->hide();
        lbl_mask1[Nominativo]->setText(QStringLiteral("Destinatario"));
        lbl_mask1[Quad_rif]->setText(QStringLiteral("Quad. Interno"));
    }
}

void EntryMask::reimposta_altri()
{
    cmd_altri->setText(QStringLiteral("Altri mittenti"));
}

void EntryMask::nascondi(QWidget* parte)
{
    // The window's focus widget, which it keeps while a dialog over it has the keyboard: a hidden
    // button left holding it would be pressed by the keys typed once the window is active again.
    QWidget* attuale = window()->focusWidget();
    if (cmd_focus && attuale && parte->isAncestorOf(attuale))
        cmd_focus->setFocus();
    parte->hide();
}

void EntryMask::mostra_annullamento(bool annullato)
{
    nascondi(annullato ? frame_annulla : Frame_annullato);
    (annullato ? Frame_annullato : frame_annulla)->show();
}

void EntryMask::nascondi_annullamento()
{
    nascondi(frame_annulla);
    nascondi(Frame_annullato);
}

void EntryMask::mostra_nuova_scheda(bool mostra)
{
    if (!mostra) {
        nascondi(Frame_new_ins);
        return;
    }
    Frame_new_ins->show();
    Frame_new_ins->raise();
}

bool EntryMask::nuova_scheda_in_corso() const
{
    return !Frame_new_ins->isHidden();
}

void EntryMask::scrivi_posizione_mittenti(int posizione, int righe)
{
    lbl_numero->setText(QString::number(posizione) + QLatin1Char('/') + QString::number(righe));
}

void EntryMask::mostra_paginazione_mittenti(bool mostra)
{
    if (mostra)
        Picture2[2]->show();
    else
        nascondi(Picture2[2]);
    lbl_numero->setVisible(mostra);
}

void EntryMask::allinea_posizione_mittenti()
{
    lbl_numero->setVisible(!Picture2[2]->isHidden());
}

void EntryMask::mostra_nodo(const QString& nodo)
{
    if (nodo.trimmed().isEmpty()) {
        lbl_nodo->hide();
        return;
    }
    lbl_nodo->setText(QStringLiteral("Nodo : ") + nodo);
    lbl_nodo->show();
}

void EntryMask::mostra_filtro_inserito(bool filtrato)
{
    lbl_filtro_ins->setVisible(filtrato);
}

void EntryMask::mostra_anteprima_collegamento()
{
    quad::mostra_anteprima_collegamento(txt_mask1[Collegamento]->text(), Image1);
}

void EntryMask::apri_anteprima_collegamento()
{
    quad::apri_anteprima_collegamento(window(), txt_mask1[Collegamento]->text(), Image1);
}

void EntryMask::abilita_inoltro(bool abilitato)
{
    picOpenWWW[1]->setEnabled(abilitato);
}

void EntryMask::imposta_icone(const QIcon& fascicoli, const std::vector<QPixmap>& collegamento)
{
    cmd_tree->setIcon(fascicoli);
    for (size_t i = 0; i < picOpenWWW.size() && i < collegamento.size(); ++i)
        picOpenWWW[i]->setPixmap(collegamento[i]);
}

CalendarPopup* EntryMask::calendario() const
{
    return Frame_calendar;
}

void EntryMask::nascondi_calendario()
{
    Frame_calendar->hide();
}

} // namespace quad
