// The controls of the entry mask and their places inside it.
#include "calendar_popup.h"
#include "control_factory.h"
#include "data_control.h"
#include "main_window.h"
#include "toolbar_icons.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace quad {

using namespace controls;

void Quadernolo::creaMaschera()
{
    Frm_mask = nominato(new QFrame(Pic_mask), QStringLiteral("Frm_mask"));
    Frm_mask->setFrameShape(QFrame::StyledPanel);
    Frm_mask->setGeometry(0, 0, tw(10215), tw(6495));
    QFont piccolo = Frm_mask->font();
    piccolo.setPointSizeF(8);
    Frm_mask->setFont(piccolo);
    cmd_scroll_1 = bottone(Pic_mask, "cmd_scroll_1", QString(), QRect(0, 0, tw(255), tw(255)));
    cmd_scroll_1->setEnabled(false);
    cmd_scroll_1->hide();
    VScroll2 = nominato(new QScrollBar(Qt::Vertical, Pic_mask), QStringLiteral("VScroll2"));
    VScroll2->setGeometry(0, 0, tw(255), tw(2000));
    VScroll2->hide();
    HScroll2 = nominato(new QScrollBar(Qt::Horizontal, Pic_mask), QStringLiteral("HScroll2"));
    HScroll2->setGeometry(0, 0, tw(2000), tw(255));
    HScroll2->hide();

    // Header strip.
    Frame2 = nominato(new QFrame(Frm_mask), QStringLiteral("Frame2"));
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
    cmd_tree->setIcon(ImageList1[15]);

    // The boxes: index, caption, label x, box x, y, box width (pixels inside their container).
    txt_mask1.assign(27, nullptr);
    lbl_mask1.assign(27, nullptr);
    Frame6 = nominato(new QGroupBox(Frm_mask), QStringLiteral("Frame6"));
    Frame6->setGeometry(4, 86, 673, 56);
    struct Casella
    {
        int index;
        const char* caption;
        int lx, bx, y, width;
    };
    const Casella caselle[] = {{0, "Quadernolo N.", 8, 100, 36, 70},
                               {1, "Anno", 180, 212, 36, 50},
                               {2, "del", 272, 296, 36, 85},
                               {24, "Ora", 390, 416, 36, 70},
                               {3, "Tipo documento", 8, 100, 62, 285},
                               {4, "N. allegati", 395, 460, 62, 40},
                               {5, "Quad. rif.", 4, 96, 4, 120},
                               {6, "del", 226, 250, 4, 85},
                               {7, "Oggetto", 4, 96, 30, 570},
                               {8, "Mittente", 8, 100, 148, 350},
                               {9, "P.iva/CF", 8, 100, 174, 160},
                               {10, "Nato il", 270, 315, 174, 85},
                               {11, "Indirizzo", 8, 100, 200, 300},
                               {12, "N. Civico", 410, 465, 200, 50},
                               {13, "Città", 8, 100, 226, 200},
                               {14, "Prov", 310, 340, 226, 35},
                               {25, "CAP", 385, 415, 226, 55},
                               {15, "Stato", 480, 515, 226, 40},
                               {16, "A.O.O. competente", 8, 140, 256, 250},
                               {17, "A.O.O. per conoscenza", 8, 140, 282, 250},
                               {18, "NOTE", 8, 140, 308, 400},
                               {19, "File", 8, 140, 334, 330},
                               {20, "Data consegna", 8, 100, 362, 80},
                               {21, "Ora", 190, 215, 362, 65},
                               {22, "Data restituzione", 290, 395, 362, 80},
                               {23, "Ora", 485, 510, 362, 65},
                               {26, nullptr, 0, 8, 410, 400}};
    for (const Casella& c : caselle) {
        QWidget* contenitore = (c.index >= 5 && c.index <= 7) ? static_cast<QWidget*>(Frame6) : Frm_mask;
        auto* box = new QLineEdit(contenitore);
        box->setObjectName(indicizzato("txt_mask1", c.index));
        box->setGeometry(c.bx, c.y, c.width, 21);
        box->installEventFilter(this);
        txt_mask1[c.index] = box;
        if (c.caption) {
            lbl_mask1[c.index] = etichetta(contenitore, indicizzato("lbl_mask1", c.index), QString::fromUtf8(c.caption),
                                           QRect(c.lx, c.y + 2, c.bx - c.lx - 4, 18));
        }
    }
    // Boxes the window's design keeps locked and grey.
    for (int i : {0, 1, 20, 21, 22, 23}) {
        txt_mask1[i]->setReadOnly(true);
        txt_mask1[i]->setStyleSheet(QStringLiteral("QLineEdit { background-color: #E0E0E0; }"));
    }
    Check1 = nominato(new QCheckBox(Frm_mask), QStringLiteral("Check1"));
    Check1->setGeometry(610, 36, 20, 21);
    // Only the annulment ticks it: the clerk never does.
    Check1->setEnabled(false);
    Check2 = nominato(new QCheckBox(QStringLiteral("Riservato"), Frame6), QStringLiteral("Check2"));
    Check2->setGeometry(340, 4, 100, 21);

    // Correspondent paging.
    Picture2.assign(3, nullptr);
    Picture2[2] = nominato(new QWidget(Frm_mask), QStringLiteral("Picture2_2"));
    Picture2[2]->setGeometry(460, 146, 96, 26);
    cmd_mitt.assign(3, nullptr);
    const char* mitt[] = {"Nominativo precedente", "Nominativo successivo", "Visualizza nominativi in griglia"};
    const char* frecce[] = {"◀", "▶", "▦"};
    for (int i = 0; i < 3; ++i) {
        cmd_mitt[i] = bottone(Picture2[2], "", QString::fromUtf8(frecce[i]), QRect(i * 32, 1, 30, 24),
                              QString::fromUtf8(mitt[i]));
        cmd_mitt[i]->setObjectName(indicizzato("cmd_mitt", i));
    }
    cmd_altri = bottone(Frm_mask, "cmd_altri", QStringLiteral("Altri destinatari"), QRect(560, 148, 115, 22));
    lbl_numero = etichetta(Frm_mask, QStringLiteral("lbl_numero"), QString(), QRect(490, 38, 110, 18));
    lbl_nodo = etichetta(Frm_mask, QStringLiteral("lbl_nodo"), QStringLiteral("Nodo :"), QRect(8, 390, 400, 18));

    // Link images and the preview.
    picOpenWWW.assign(3, nullptr);
    const char* link[] = {" Apri collegamento ipertestuale ", "Inoltra all' A.O.O. competente", "Inserisci file"};
    const char* linkIcone[] = {"ing_find", "img_notifica", "img_new"};
    for (int i = 0; i < 3; ++i) {
        picOpenWWW[i] = etichetta(Frm_mask, indicizzato("picOpenWWW", i), QString(), QRect(475 + i * 26, 333, 24, 24));
        picOpenWWW[i]->setPixmap(disegna_icona(QLatin1String(linkIcone[i])).pixmap(22, 22));
        picOpenWWW[i]->setToolTip(QString::fromUtf8(link[i]));
        picOpenWWW[i]->installEventFilter(this);
    }
    Image1 = etichetta(Frm_mask, QStringLiteral("Image1"), QString(), QRect(560, 256, 115, 72));
    Image1->setToolTip(QStringLiteral("Doppio click per visualizzare l' immagine"));
    Image1->setScaledContents(true);
    Image1->setFrameShape(QFrame::Box);

    // Annulment and new-entry frames share one place.
    Frame_annullato = nominato(new QFrame(Frm_mask), QStringLiteral("Frame_annullato"));
    Frame_annullato->setGeometry(420, 386, 256, 40);
    Label4 = etichetta(Frame_annullato, QStringLiteral("Label4"), QStringLiteral("Annullato"), QRect(4, 10, 120, 20));
    Label4->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
    cmd_annullato = bottone(Frame_annullato, "cmd_annullato", QStringLiteral("Vedi note"), QRect(130, 6, 120, 28));
    Frame_annullato->hide();
    frame_annulla = nominato(new QFrame(Frm_mask), QStringLiteral("frame_annulla"));
    frame_annulla->setGeometry(420, 386, 256, 40);
    cmd_annulla = bottone(frame_annulla, "cmd_annulla", QStringLiteral("ANNULLA"), QRect(130, 6, 120, 28));
    frame_annulla->hide();
    Frame_new_ins = nominato(new QFrame(Frm_mask), QStringLiteral("Frame_new_ins"));
    Frame_new_ins->setGeometry(420, 386, 256, 40);
    cmd_new_ins.assign(2, nullptr);
    cmd_new_ins[0] = bottone(Frame_new_ins, "cmd_new_ins_0", QStringLiteral("Conferma ed Esci"), QRect(4, 6, 124, 28));
    cmd_new_ins[1] = bottone(Frame_new_ins, "cmd_new_ins_1", QStringLiteral("Annulla"), QRect(132, 6, 120, 28));
    Frame_new_ins->hide();

    // Calendar pop-up (hidden until a date box opens it).
    auto* calendario = new CalendarPopup(Frm_mask);
    Frame_calendar = calendario;
    CalendarVB1 = calendario->CalendarVB1;
    Label5 = calendario->Label5;
    lbl_data = calendario->lbl_data;
    Frame_calendar->hide();

    ado_mittenti = nominato(new DataControl(Frm_mask), QStringLiteral("ado_mittenti"));
    ado_mittenti->setCaption(QStringLiteral("ado_mittenti"));
    ado_mittenti->setGeometry(8, 430, 200, 22);
    ado_mittenti->hide();

    for (int y : {144, 252, 358}) {
        auto* linea = new QFrame(Frm_mask);
        linea->setObjectName(indicizzato("Shape1", int(Shape1.size())));
        linea->setFrameShape(QFrame::HLine);
        linea->setFrameShadow(QFrame::Sunken);
        linea->setGeometry(4, y, 673, 3);
        Shape1.push_back(linea);
    }
}

} // namespace quad
